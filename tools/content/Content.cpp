#include "Content.h"

#include "Fonts.h"

std::vector<TContentJob> ContentJobs()
{
    return {
        {"fonts", MakeFonts},
    };
}
