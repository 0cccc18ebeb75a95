// The C library's heap and the system: the game's pictures are large blocks that come and go
// (a full-screen picture is 7 MB), and what they leave behind is handed back.
#pragma once

// Large blocks (a picture, a texture under a software rasteriser) get pages of their own,
// given back the moment they are freed, instead of the heap's threshold rising to them and
// leaving their holes in the heap. Called once, first thing in main.
void KeepLargeBlocksOutOfTheHeap();

// Hands the heap's free pages back to the system; after loading and after letting go of
// pictures.
void ReturnFreedMemory();
