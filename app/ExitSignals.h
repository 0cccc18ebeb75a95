// The ways a desktop ends a program from outside: SIGTERM (shutdown, kill), SIGHUP (logout,
// a closed terminal) and SIGINT (Ctrl+C). Each only raises a flag; the main loop sees it on
// its next pass and closes the window as the close button does, saving the game on the
// board and the settings. Whatever waits elsewhere (a message box, a loading step) watches
// the same flag, through ExitSignalFd, and gives way to the main loop at once.
#pragma once

// Replaces the default actions of the three signals (once the main window runs).
void InstallExitSignals();
// True once any of them has arrived.
bool ExitSignalled();
// A descriptor that becomes readable when one of them arrives and stays readable (nothing
// reads it); -1 before InstallExitSignals.
int ExitSignalFd();
