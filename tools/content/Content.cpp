#include "Content.h"

#include "Board.h"
#include "Fonts.h"
#include "Menu.h"
#include "Music.h"
#include "Pictures.h"
#include "Room.h"
#include "Skins.h"
#include "Sprites.h"
#include "Tutorial.h"
#include "Sounds.h"

std::vector<TContentJob> ContentJobs()
{
    return {
        {"music/theme1",
         [](const TOutput& o, const TSources&)
         {
             MakeTune(o, "theme1.ogg", NormalTheme());
         }},
        {"music/theme2",
         [](const TOutput& o, const TSources&)
         {
             MakeTune(o, "theme2.ogg", TimedTheme());
         }},
        {"music/menu1",
         [](const TOutput& o, const TSources&)
         {
             MakeTune(o, "menu1.ogg", MenuTuneOne());
         }},
        {"music/menu2",
         [](const TOutput& o, const TSources&)
         {
             MakeTune(o, "menu2.ogg", MenuTuneTwo());
         }},
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
    };
}
