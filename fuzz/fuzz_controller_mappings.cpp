// The player's controller mappings (gamecontrollerdb.txt), read as the game reads them.
#include "app/ControllerMappings.h"
#include "fuzz/FuzzFiles.h"

#include <SDL.h>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The mappings SDL holds are dropped now and then (they would only grow, input after
    // input): controller support starts again from nothing.
    static int runs = 0;
    if (runs++ % 1000 == 0)
    {
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
        if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
        {
            std::abort();
        }
    }
    const std::filesystem::path file = ScratchFolder() / "gamecontrollerdb.txt";
    WriteBytes(file, data, size);
    AddControllerMappings(file);
    return 0;
}
