// Where the saved game of each mode lives.
#include "game/Game.h"

std::filesystem::path TGame::SaveFile(int mode) const
{
    return UserFolder / (mode == 2 ? "Save2.dat" : "Save1.dat");
}
