#include "app/ControllerMappings.h"

#include "base/PlayerFile.h"

#include <SDL.h>

std::string AddControllerMappings(const std::filesystem::path& file)
{
    const TPlayerFile read = ReadPlayerFile(file, MaxControllerMappingsSize);
    if (read.Status == TPlayerFile::TStatus::Missing)
    {
        return {};
    }
    if (read.Status != TPlayerFile::TStatus::Read)
    {
        return " Controller mappings not read: " + file.string() + " " + read.Problem;
    }
    SDL_RWops* bytes = SDL_RWFromConstMem(read.Bytes.data(), static_cast<int>(read.Bytes.size()));
    const int added = bytes != nullptr ? SDL_GameControllerAddMappingsFromRW(bytes, 1) : -1;
    return added < 0 ? " Controller mappings not read: " + file.string() + ": " + Excerpt(SDL_GetError(), 120)
                     : " Controller mappings read: " + std::to_string(added);
}
