#include "Content.h"

#include "Fonts.h"
#include "Sounds.h"

std::vector<TContentJob> ContentJobs()
{
    return {
        {"sounds", MakeSounds},
        {"voices", MakeVoices},
        {"fonts", MakeFonts},
    };
}
