// What the front-end tests share: small image files, a program folder with a menu of our
// own, a renderer on the recording device, a shell that writes down what it was asked,
// and a front end wired to a real game and real settings on temporary files.
#pragma once

#include "front/D3DMenu.h"
#include "front/FrontHost.h"
#include "app/InputRouting.h"
#include "front/FrontEnd.h"
#include "base/Options.h"
#include "render/RecordingDevice.h"
#include "render/Renderer.h"
#include "tests/support/TestSupport.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// An uncompressed 32-bit TGA (or, by extension .bmp, a 24-bit BMP) of one colour.
void WriteImage(const std::filesystem::path& file, int width, int height,
                uint32_t argb = 0xFF808080);
// A baseline JPEG of one colour.
void WriteJpeg(const std::filesystem::path& file, int width, int height, uint8_t grey);

// The width of the recorded texture (0 for none): the tests tell images apart by size.
int TextureWidth(const TTextureRef& texture);
int TextureHeight(const TTextureRef& texture);

// A renderer whose device records every draw, with the shared vertex buffer filled.
struct TRecordingRenderer
{
    TRecordingRenderer();
    TRecordingDevice& Device() { return *Recorder; }

    std::shared_ptr<TRecordingDevice> Recorder;
    TRenderer R;
};

// The shell as the front end sees it, writing everything down.
struct TRecordingHost final : IFrontHost
{
    void PlaySound(TSound sound) override { Sounds.push_back(sound); }
    void StopSound(TSound sound) override { Stopped.push_back(sound); }
    void PlayMusic(TTune tune) override
    {
        Tune = tune;
        ++MusicStarts;
    }
    void StopMusic() override { ++MusicStops; }
    void ApplySoundVolume() override { ++SoundVolumeApplied; }
    void ApplyMusicVolume() override { ++MusicVolumeApplied; }
    void CloseMainWindow() override { Closed = true; }
    void ShowMessage(const std::string& text) override { Messages.push_back(text); }

    std::vector<TSound> Sounds;
    std::vector<TSound> Stopped;
    int Tune = -1;
    int MusicStarts = 0;
    int MusicStops = 0;
    int SoundVolumeApplied = 0;
    int MusicVolumeApplied = 0;
    bool Closed = false;
    std::vector<std::string> Messages;
};

// Item images: normal image of item i on screen s is 100 * s + i pixels wide and 1 high,
// the highlighted one the same width and 2 high.
int NormalWidth(int screen, int item);

// A program folder with data/Menu.dat (ten screens laid out as the game uses them, every
// item of a screen stacked 0.5 apart from y = 4 down, 1 wide and 0.4 high, the options
// screen's volume bars where the sliders are), the item images, the level and figure
// files, nine tutorial JPEGs and the five cube skins.
void WriteProgramFolder(const std::filesystem::path& folder);
// Where item i of a test menu screen lies.
float ItemY(int item);

// A front end over a real game, real settings and a recording renderer, reached by the
// shell's input routing, with a clock the test moves: Key() and Click() wait out the menu's 0.25 s
// guard first.
struct TFrontFixture
{
    TFrontFixture();
    ~TFrontFixture();

    void Key(int key);
    void Wait(double seconds = 0.3) { Now += seconds; }
    // A left (0) or right (1) release with the cursor first moved over (x, y).
    void Click(float x, float y, int button = 0);
    // A left click on item i of the current screen.
    void ClickItem(int item, int button = 0);
    int Screen() const { return Front.Menu->CurrentScreen; }
    int Selected() const { return Front.Menu->Current().SelectedItem; }
    bool Visible(int screen, int item) const
    {
        return Front.Menu->Screens[screen].Items[item].Visible;
    }

    TempFolder Tmp;
    std::filesystem::path Program;
    std::filesystem::path User;
    double Now = 1000;
    TRecordingHost Host;
    TRecordingRenderer Renderer;
    TOptions Options;
    TScreenState State;
    TestGame Play;
    TFrontEnd Front;
    // The shell's routing of keys and game-over to the front end, as the program has it.
    bool AppActive = true;
    TInputRouter Router{State, Front, AppActive};
};
