// Where the game's 4:3 picture lies in a window of any shape: the largest centred area of
// that shape. The rest of the window shows a dimmed, blurred extension of the picture.
// On a 4:3 window the area is the whole window.
#pragma once

struct TPictureArea
{
    int Left = 0; // from the window's top left, in pixels
    int Top = 0;
    int Width = 0;
    int Height = 0;

    bool Fills(int width, int height) const
    {
        return Left == 0 && Top == 0 && Width == width && Height == height;
    }
    friend bool operator==(const TPictureArea&, const TPictureArea&) = default;
};

inline TPictureArea PictureArea(int width, int height)
{
    if (width <= 0 || height <= 0)
    {
        return {0, 0, width > 0 ? width : 0, height > 0 ? height : 0};
    }
    const long long w = width, h = height;
    if (w * 3 == h * 4)
    {
        return {0, 0, width, height};
    }
    if (w * 3 > h * 4)
    {
        // Wider than 4:3: bands left and right.
        const int pw = static_cast<int>((h * 4 + 1) / 3);
        return {(width - pw) / 2, 0, pw, height};
    }
    const int ph = static_cast<int>((w * 3 + 2) / 4);
    return {0, (height - ph) / 2, width, ph};
}
