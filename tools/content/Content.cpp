#include "tools/content/Content.h"

#include "tools/content/AppIcon.h"
#include "tools/content/Board.h"
#include "tools/content/Fonts.h"
#include "tools/content/Languages.h"
#include "tools/content/MenuArt.h"
#include "tools/content/Music.h"
#include "tools/content/Pictures.h"
#include "tools/content/Room.h"
#include "tools/content/Skins.h"
#include "tools/content/Sprites.h"
#include "tools/content/TutorialPages.h"
#include "tools/content/SoundEffects.h"

namespace
{
// A job that composes one tune and writes it to Music/`file`.
std::function<void(const TOutput&, const TSources&)> Tune(const char* file, TSong (*compose)())
{
    return [file, compose](const TOutput& o, const TSources&) { MakeTune(o, file, compose()); };
}

// A job that makes the words of translation `index` of the sources with `make`.
std::function<void(const TOutput&, const TSources&)> Words(size_t index,
                                                          void (*make)(const TOutput&, const TSources&))
{
    return [index, make](const TOutput& o, const TSources& sources)
    {
        TSources in = sources;
        in.Language = &sources.Translations.at(index);
        make(LanguageOutput(o, in), in);
    };
}
} // namespace

std::vector<TContentJob> ContentJobs(const TSources& sources)
{
    std::vector<TContentJob> jobs = {
        {"music/theme1", Tune("theme1.ogg", NormalTheme)},
        {"music/theme2", Tune("theme2.ogg", TimedTheme)},
        {"music/menu1", Tune("menu1.ogg", MenuTuneOne)},
        {"music/menu2", Tune("menu2.ogg", MenuTuneTwo)},
        {"pictures", MakePictures},
        {"sounds", MakeSounds},
        {"voices", MakeVoices},
        {"fonts", MakeFonts},
        {"skins", MakeSkins},
        {"background", MakeBackground},
        {"sprites", MakeSprites},
        {"room", MakeRoom},
        {"menu", MakeMenu},
    };
    for (size_t i = 0; i < sources.Translations.size(); ++i)
    {
        const std::string& code = sources.Translations[i].Code;
        jobs.push_back({"menu/" + code, Words(i, MakeMenuWords)});
        // The pseudo-language is for the eye: its pictures only.
        if (code != PseudoLanguage)
        {
            jobs.push_back({"voices/" + code, Words(i, MakeVoices)});
        }
    }
    for (int page = 1; page <= TutorialPageCount(); ++page)
    {
        jobs.push_back({"tutorial/" + std::to_string(page),
                        [page](const TOutput& o, const TSources& s) { MakeTutorialPage(o, s, page); },
                        true});
    }
    jobs.push_back({"help", MakeHelp, true});
    jobs.push_back({"icons", MakeIcons, false, true});
    return jobs;
}
