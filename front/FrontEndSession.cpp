// The game session of the front end: starting a game with its skin's pictures, the saved
// game offered and resumed, the autosave, leaving with or without the game.
#include "front/FrontEnd.h"

#include "base/Text.h"
#include "render/Font.h"

#include "base/DataError.h"
#include "base/LanguageFiles.h"
#include "game/Game.h"
#include "front/MenuFile.h"
#include "base/Options.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <exception>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

// --- games ------------------------------------------------------------------------------------

fs::path SkinPicture(const fs::path& programFolder, int skin, int k)
{
    // Joker, bomb, shot and stone look the same in every skin.
    if (k == 7 || k == 8 || k == 9 || k == 17)
    {
        skin = 1;
    }
    return programFolder / SkinFile(skin, k);
}

std::vector<fs::path> FrontPictures(const fs::path& programFolder)
{
    std::vector<fs::path> files;
    for (int skin = 1; skin <= SkinCount; ++skin)
    {
        for (int k = 0; k < CubeTextureCount; ++k)
        {
            if (skin == 1 || SkinPicture(programFolder, skin, k) != SkinPicture(programFolder, 1, k))
            {
                files.push_back(SkinPicture(programFolder, skin, k));
            }
        }
    }
    for (int n = 1; n <= TutorialPages; ++n)
    {
        files.push_back(ShippedTutorialPage(programFolder, n));
    }
    return files;
}

fs::path TFrontEnd::SkinTexture(int k) const
{
    return SkinPicture(ProgramFolder, StoredSkin(Options.Texture), k);
}

void TFrontEnd::StartGame(uint8_t mode)
{
    if (Game == nullptr)
    {
        return;
    }
    TGame& g = *Game;
    for (int k = 0; k < static_cast<int>(Renderer.CubeTextures.size()); ++k)
    {
        LoadTexture(*Renderer.Device, SkinTexture(k), Renderer.CubeTextures[k]);
    }
    g.Start(mode);
    Autosaved = false;
    LastSave.clear();
    State = gsGame;
    std::error_code ec;
    ShowScreen(fs::exists(g.SaveFile(mode), ec) && OfferSavedGame(mode) ? scResume : scInGame);
}

bool TFrontEnd::OfferSavedGame(uint8_t mode)
{
    TGame& g = *Game;
    try
    {
        Waiting = g.ReadSavedGame(mode);
        g.LoadGame(mode); // the offer shows the game that waits, not a fresh board
    }
    catch (const std::exception& e)
    {
        // The damaged file is kept aside once, so it is not offered (and refused) at every
        // new game, and the new game goes on.
        const fs::path save = g.SaveFile(mode);
        fs::path aside = save;
        aside += ".damaged";
        std::error_code ec;
        fs::rename(save, aside, ec);
        Host.ShowMessage(std::string(e.what()) + "\n" + _("The saved game cannot be resumed; a new game starts.") +
                         (ec ? std::string() : "\n" + Formatted(_("The file is kept as %s."), aside.filename().string())));
        g.Start(mode);
        return false;
    }
    g.Pause();
    return true;
}

void TFrontEnd::ResumeSavedGame()
{
    WriteSave(false); // the resumed game is kept from now on, after every move
}

void TFrontEnd::DrawSavedGame()
{
    constexpr int Font = 1, Size = 8, Colour = 4, Opaque = 255;
    constexpr float Depth = 0.1f, Centre = 0.0f, MaxWidth = 6.2f; // the plate's middle and inner width
    // The file's time in the player's own date and time format (LC_TIME).
    std::string when = "-";
    const std::time_t t = std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(std::chrono::file_clock::to_sys(Waiting.Written)));
    std::tm local{};
    char text[128] = {};
    if (localtime_r(&t, &local) != nullptr && std::strftime(text, sizeof text, "%x %X", &local) > 0)
    {
        when = text;
    }
    const std::string level = std::to_string(Waiting.Level);
    const std::string score = std::to_string(PointsText(Waiting.Score));
    // TRANSLATORS: the saved game offered to resume: its level and score
    const char* timed = _("timed game, level %s, score %s");
    // TRANSLATORS: the saved game offered to resume: its level and score
    const char* classic = _("classic game, level %s, score %s");
    // TRANSLATORS: when the offered game was saved: the date and time in the player's format
    const std::string lines[2] = {Formatted(Waiting.Mode == gmTimed ? timed : classic, {level, score}),
                                  Formatted(_("saved %s"), when)};
    // Above the answers, in the band the plate keeps free for them.
    const TItemTransform& answer = Menu->Screen(scResume).Items[resumeYes].NormalTransform;
    float y = answer.Position.y + answer.Scale.y / 2 + 0.7f;
    for (const std::string& line : lines)
    {
        CheckShownText(line);
        // A translation too wide for the plate is drawn smaller.
        const float width = TextWidth(Renderer.Fonts, Font, Size, line);
        const int size = width > MaxWidth ? std::max(5, static_cast<int>(Size * MaxWidth / width)) : Size;
        DrawText(*Renderer.Device, Renderer.Fonts, Font, Colour, size,
                 Centre + 0.5f * TextWidth(Renderer.Fonts, Font, size, line), y, line, Depth, Opaque);
        y -= 0.35f;
    }
}

void TFrontEnd::LeaveGameToMenu()
{
    if (Game != nullptr)
    {
        if (const std::string problem = WriteSave(true); !problem.empty())
        {
            // The game stays on the board, paused, until it is saved or the player chooses
            // to leave without it.
            TellSaveState();
            Host.ShowMessage(problem + "\n" +
                             _("The game could not be saved and stays paused. Choose Save and leave to "
                               "try again, or Leave unsaved to leave without it."));
            return;
        }
    }
    ShowMenuAfterGame();
}

void TFrontEnd::LeaveUnsaved()
{
    DropSave();
    ShowMenuAfterGame();
}

void TFrontEnd::DropGameOnExit()
{
    DropSave();
    Saves.Finish();
}

void TFrontEnd::DropSave()
{
    // The player's choice: the game is dropped, and what it saved of itself goes too.
    if (Autosaved)
    {
        Saves.Remove(LastSave);
    }
    Autosaved = false;
    LastSave.clear();
}

void TFrontEnd::PauseOnLeaveScreen()
{
    SetCursor(2);
    Game->Pause();
    ShowScreen(scLeave); // tells whether the game is saved
}

void TFrontEnd::BackToPausedGame()
{
    if (State != gsGame || Game == nullptr || !Menu)
    {
        return;
    }
    if (Menu->CurrentScreen == scLeave)
    {
        TellSaveState();
        return;
    }
    if (Menu->CurrentScreen == scInGame)
    {
        PauseOnLeaveScreen(); // says the game is not saved, and offers to leave without it
    }
}

void TFrontEnd::ShowMenuAfterGame()
{
    Autosaved = false;
    LastSave.clear();
    State = gsMenu;
    Host.StopMusic();
    Host.StopSound(snSelected);
    Host.PlayMusic(tnMenu1);
    Menu->ShowScreen(scMain);
}

std::string TFrontEnd::WriteSave(bool wait)
{
    LastSave = Game->SaveFile(Game->View().Mode);
    Saves.Write(LastSave, Game->SaveText());
    Autosaved = true;
    if (!wait)
    {
        return {};
    }
    Saves.Finish();
    const std::string problem = Saves.Problem(LastSave);
    return problem.empty() ? problem : TDataError(LastSave, 0, problem).what();
}

void TFrontEnd::Autosave()
{
    if (Game == nullptr)
    {
        return;
    }
    const uint8_t request = Game->TakeSaveRequest();
    if (request == srWrite)
    {
        WriteSave(false);
    }
    else if (request == srRemove)
    {
        Saves.Remove(Game->SaveFile(Game->View().Mode)); // after any write still on its way
        Autosaved = false;
        LastSave.clear();
    }
}

void TFrontEnd::TellSaveState()
{
    if (!Menu || Menu->Screen(scLeave).ItemCount < leaveUnsaved)
    {
        return;
    }
    // Known to have failed: the last save of this game, written or still on its way, went
    // wrong; the next one may mend it.
    const bool failed = !LastSave.empty() && !Saves.Problem(LastSave).empty();
    TMenuScreen& pause = Menu->Screen(scLeave);
    // Item 1 says "Your game is saved and waits for you.", the hidden item 4 "Your game
    // could not be saved.": the plate lies under the answers, so the one that tells takes
    // the first item's place in the drawing order rather than being drawn over them.
    if (failed != PauseTellsFailure)
    {
        std::swap(pause.Items[1].NormalSprite, pause.Items[leaveNotSaved].NormalSprite);
        std::swap(pause.Items[1].HighlightSprite, pause.Items[leaveNotSaved].HighlightSprite);
        PauseTellsFailure = failed;
    }
    pause.Items[leaveUnsaved].Visible = failed;
}

std::string TFrontEnd::SaveGameOnExit()
{
    if (State != gsGame || Game == nullptr || Game->View().EndPhase == epGameOver || (Menu && Menu->CurrentScreen == scResume))
    {
        Saves.Finish(); // what was asked before lands before the program ends
        return {};
    }
    if (const std::string problem = WriteSave(true); !problem.empty())
    {
        return problem + "\n" + _("The game in progress could not be saved.");
    }
    return {};
}
