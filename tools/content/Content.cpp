#include "tools/content/Content.h"

#include "tools/content/AppIcon.h"
#include "tools/content/Board.h"
#include "tools/content/Fonts.h"
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
} // namespace

std::vector<TContentJob> ContentJobs()
{
    return {
        {"music/theme1", Tune("theme1.ogg", NormalTheme)},
        {"music/theme2", Tune("theme2.ogg", TimedTheme)},
        {"music/menu1", Tune("menu1.ogg", MenuTuneOne)},
        {"music/menu2", Tune("menu2.ogg", MenuTuneTwo)},
        {"sounds", MakeSounds},
        {"voices", MakeVoices},
        {"fonts", MakeFonts},
        {"skins", MakeSkins},
        {"background", MakeBackground},
        {"sprites", MakeSprites},
        {"room", MakeRoom},
        {"pictures", MakePictures},
        {"menu", MakeMenu},
        {"tutorial", MakeTutorial, true},
        {"help", MakeHelp, true},
        {"icons", MakeIcons, false, true},
    };
}
