#include "tests/front/FrontFixture.h"

#include "base/DebugLog.h"
#include "game/Game.h"
#include "render/LoadingBar.h"

#include <SDL.h>
#include <SDL_image.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace
{
void Put(std::string& b, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
    {
        b.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
}

void WriteBytes(const fs::path& file, const std::string& bytes)
{
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// One item of the test menu, in the seven lines of the menu file.
void Item(std::ostringstream& s, int screen, int item, float x, float y, float w, float h,
          bool visible, bool selectable)
{
    s << "Images/Menu/s" << screen << "i" << item << ".tga\n";
    s << "Images/Menu/s" << screen << "i" << item << "h.tga\n";
    s << x << " " << y << " 0.1\n" << w << " " << h << " 1\n0 0 0\n";
    s << (visible ? 1 : 0) << "\n" << (selectable ? 1 : 0) << "\n";
}

struct TItemSpec
{
    bool Visible = true;
    bool Selectable = true;
};

// Visible and selectable flags of each screen's items, as the game's own menu has them.
std::vector<TItemSpec> ScreenItems(int screen)
{
    const TItemSpec on{true, true}, caption{true, false}, hiddenButton{false, true},
        hidden{false, false};
    switch (screen)
    {
    case 1:
    case 2: return {on, on, on, on};
    case 3:
    {
        std::vector<TItemSpec> v = {on,      on, hidden,  on, caption, on,      caption,
                                    on,      caption, on, caption, on, caption, on};
        v.resize(static_cast<size_t>(SkinLabel(SkinCount)), caption); // the skin labels
        return v;
    }
    case 4: return {on, on};
    case 5: return {caption, on, on, hidden, hiddenButton};
    case 7: return {caption, on, on};
    case 6:
    case 10: return {on, on, hiddenButton};
    case 9: return {on, on, on};
    default: return {on};
    }
}
} // namespace

void WriteImage(const fs::path& file, int width, int height, uint32_t argb)
{
    std::string b;
    if (file.extension() == ".bmp")
    {
        const int stride = (width * 3 + 3) & ~3;
        Put(b, 'B' | ('M' << 8), 2);
        Put(b, 54 + stride * height, 4);
        Put(b, 0, 4);
        Put(b, 54, 4);
        Put(b, 40, 4);
        Put(b, width, 4);
        Put(b, height, 4);
        Put(b, 1, 2);
        Put(b, 24, 2);
        Put(b, 0, 4);
        Put(b, stride * height, 4);
        Put(b, 2835, 4);
        Put(b, 2835, 4);
        Put(b, 0, 8);
        for (int y = 0; y < height; ++y)
        {
            for (int x = 0; x < width; ++x)
            {
                Put(b, argb & 0xFFFFFF, 3);
            }
            b.append(static_cast<size_t>(stride - width * 3), '\0');
        }
    }
    else
    {
        Put(b, 0, 2); // no image id, no colour map
        Put(b, 2, 1); // uncompressed true colour
        Put(b, 0, 5); // colour map spec
        Put(b, 0, 4); // origin
        Put(b, width, 2);
        Put(b, height, 2);
        Put(b, 32, 1);
        Put(b, 8, 1); // eight alpha bits, bottom-up rows
        for (int i = 0; i < width * height; ++i)
        {
            Put(b, argb, 4); // B, G, R, A
        }
    }
    WriteBytes(file, b);
}

void WriteJpeg(const fs::path& file, int width, int height, uint8_t grey)
{
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, width, height, 24, SDL_PIXELFORMAT_RGB24);
    if (s == nullptr)
    {
        throw std::runtime_error("cannot make a surface");
    }
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, grey, grey, grey));
    fs::create_directories(file.parent_path());
    const int r = IMG_SaveJPG(s, file.string().c_str(), 90);
    SDL_FreeSurface(s);
    if (r != 0)
    {
        throw std::runtime_error("cannot write " + file.string() + ": " + IMG_GetError());
    }
}

int TextureWidth(const TTextureRef& texture)
{
    const auto* t = dynamic_cast<const TRecordedTexture*>(texture.get());
    return t != nullptr ? t->Width : 0;
}

int TextureHeight(const TTextureRef& texture)
{
    const auto* t = dynamic_cast<const TRecordedTexture*>(texture.get());
    return t != nullptr ? t->Height : 0;
}

TRecordingRenderer::TRecordingRenderer() : Recorder(std::make_shared<TRecordingDevice>())
{
    R.Device = Recorder;
    InitVertices(R);
}

int NormalWidth(int screen, int item)
{
    return 100 * screen + item;
}

float ItemY(int item)
{
    return 4.0f - 0.5f * static_cast<float>(item);
}

void WriteProgramFolder(const fs::path& folder)
{
    std::ostringstream s;
    s << "Tandrel test menu\nImages/menubg.tga\n-- screens\n10\n";
    for (int screen = 1; screen <= 10; ++screen)
    {
        const auto items = ScreenItems(screen);
        s << "--- screen " << screen << "\n" << items.size() << "\n";
        for (int i = 1; i <= static_cast<int>(items.size()); ++i)
        {
            float x = 0, y = ItemY(i), w = 1.0f, h = 0.4f;
            if (screen == 3 && (i == optSoundBar || i == optMusicBar))
            {
                // The volume bars lie over the slider zones, left of the buttons.
                x = -1.8f;
                y = i == optSoundBar ? 2.0f : 0.2f;
                w = 1.6f;
                h = 0.3f;
            }
            Item(s, screen, i, x, y, w, h, items[i - 1].Visible, items[i - 1].Selectable);
            WriteImage(folder / "Images" / "Menu" /
                           ("s" + std::to_string(screen) + "i" + std::to_string(i) + ".tga"),
                       NormalWidth(screen, i), 1);
            WriteImage(folder / "Images" / "Menu" /
                           ("s" + std::to_string(screen) + "i" + std::to_string(i) + "h.tga"),
                       NormalWidth(screen, i), 2);
        }
    }
    WriteBytes(folder / "data" / "Menu.dat", s.str());
    WriteImage(folder / "Images" / "menubg.tga", 64, 48);

    const fs::path content = fs::path(TANDREL_SOURCE_DIR) / "content" / "data";
    for (const char* name : {"Levels.dat", "BonusFigures.dat"})
    {
        fs::create_directories(folder / "data");
        fs::copy_file(content / name, folder / "data" / name, fs::copy_options::overwrite_existing);
    }
    // Skin k of skin n is n pixels wide and k + 1 high.
    for (int skin = 1; skin <= SkinCount; ++skin)
    {
        for (int k = 0; k < CubeTextureCount; ++k)
        {
            WriteImage(folder / SkinFile(skin, k), skin, k + 1);
        }
    }
    // Tutorial page n is 10 + n pixels wide.
    for (int n = 1; n <= 9; ++n)
    {
        WriteJpeg(folder / "Images" / "Tutorial" / ("tut" + std::to_string(n) + ".jpg"), 10 + n, 8,
                  static_cast<uint8_t>(20 * n));
    }
}

TFrontFixture::TFrontFixture()
    : Program(Tmp.Path() / "program"), User(Tmp.Path() / "user"),
      Options(Tmp.Path() / "config" / "tandrel" / "settings.ini"),
      Play(Program / "data", User / "data"), Front(Host, Renderer.R, Options, State, Program, User)
{
    SetDebugLogFolder(User);
    State = gsLoading;
    WriteProgramFolder(Program);
    Options.ShowMessage = [this](const std::string& text) { Host.Messages.push_back(text); };
    Options.Load();
    Front.Clock = [this] { return Now; };
    Front.LoadMenu(nullptr);
    Play.Game.Create();
    Front.Game = &Play.Game;
    Router.Game = &Play.Game;
    Front.CreateHiScores();
    Play.Game.CreateLevels();
    Play.Game.CreateBonus();
    LoadResources(Renderer.R, nullptr, Program);
    Front.EnterMainMenu();
}

TFrontFixture::~TFrontFixture()
{
    SetDebugLogFolder({});
}

void TFrontFixture::Key(int key)
{
    Wait();
    Front.MenuCommand(key);
}

void TFrontFixture::Click(float x, float y, int button)
{
    Wait();
    if (State == gsMenu)
    {
        Front.HighlightOptionLabels();
    }
    Front.Menu->HandleMouseMove(x, y);
    Front.MenuMouseDown();
    Front.MenuMouseUp(button, x, y);
}

void TFrontFixture::ClickItem(int item, int button)
{
    const TMenuItem& it = Front.Menu->Current().Items[item];
    Click(it.NormalTransform.Position.x, it.NormalTransform.Position.y, button);
}
