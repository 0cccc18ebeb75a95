#include "Content.h"

#include "Fonts.h"
#include "Music.h"
#include "Sounds.h"

std::vector<TContentJob> ContentJobs()
{
    return {
        {"music/theme1", [](const TOutput& o, const TSources&) { MakeTune(o, "theme1.ogg", NormalTheme()); }},
        {"music/theme2", [](const TOutput& o, const TSources&) { MakeTune(o, "theme2.ogg", TimedTheme()); }},
        {"music/menu1", [](const TOutput& o, const TSources&) { MakeTune(o, "menu1.ogg", MenuTuneOne()); }},
        {"music/menu2", [](const TOutput& o, const TSources&) { MakeTune(o, "menu2.ogg", MenuTuneTwo()); }},
        {"sounds", MakeSounds},
        {"voices", MakeVoices},
        {"fonts", MakeFonts},
    };
}
