// tandrel-snapshot: renders one frame of a chosen scene on a hidden window and writes it
// as a PNG; with --bench it measures the heaviest game scene against the floor frame.
//
//   tandrel-snapshot --scene loading|menu-picture|game|gameover|help|heaviest [--level L]
//                    [--mode 1|2] [--seed S] [--moves N] [--size WxH] [--skin 1..5] [--out FILE]
//                    [--program DIR]
//   tandrel-snapshot --bench FRAMES [--size WxH]
//   tandrel-snapshot --bench-change FRAMES [--size WxH]
//   tandrel-snapshot --setup SCENEFILE [--only NAME,...] [--size WxH] [--out FOLDER]
//                    [--program DIR]
// With --setup every scene of the file (SetupScene.h) is rendered to FOLDER/NAME.ppm. Exit
// status 3: no display or no OpenGL 3.3 device to render with.
#include "tools/snapshot/SetupRender.h"
#include "tools/snapshot/SnapshotScenes.h"

#include "base/DebugLog.h"
#include "render/GLDevice.h"
#include "game/Game.h"
#include "render/GameScene.h"
#include "render/LoadingBar.h"
#include "render/RenderScene.h"
#include "render/Texture.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
struct TOptions
{
    std::string Scene = "game";
    int Level = 1;
    int Mode = 1;
    int Skin = 1; // the cube skin, 1..5 (Images/SkinN)
    uint32_t Seed = 1;
    int Moves = 0;
    int Width = 1280;
    int Height = 960;
    std::string Out = "snapshot.png";
    fs::path Program = TANDREL_GAME_DIR;
    int Bench = 0;
    int BenchChange = 0;
    fs::path Setup;
    std::vector<std::string> Only;
};

constexpr int NoDevice = 3;

[[noreturn]] void Usage(const std::string& problem)
{
    std::fprintf(stderr, "tandrel-snapshot: %s\n", problem.c_str());
    std::fprintf(stderr,
                 "usage: tandrel-snapshot --scene\n"
                 "         loading|menu-picture|game|gameover|help|heaviest\n"
                 "         [--level L] [--mode 1|2] [--seed S] [--moves N] [--size WxH]\n"
                 "         [--skin 1..5] [--out FILE] [--program DIR]\n"
                 "       tandrel-snapshot --bench FRAMES [--size WxH]\n"
                 "       tandrel-snapshot --bench-change FRAMES [--size WxH]\n"
                 "       tandrel-snapshot --setup SCENEFILE [--only NAME,...] [--size WxH]\n"
                 "         [--out FOLDER] [--program DIR]\n");
    std::exit(2);
}

int Number(const char* text, const char* option)
{
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < 0 || v > 1000000000)
    {
        Usage(std::string("bad number for ") + option + ": " + text);
    }
    return static_cast<int>(v);
}

TOptions Parse(int argc, char** argv)
{
    TOptions o;
    for (int i = 1; i < argc; ++i)
    {
        const std::string a = argv[i];
        if (i + 1 >= argc)
        {
            Usage("missing value for " + a);
        }
        const char* v = argv[++i];
        if (a == "--scene")
        {
            o.Scene = v;
        }
        else if (a == "--level")
        {
            o.Level = Number(v, "--level");
        }
        else if (a == "--mode")
        {
            o.Mode = Number(v, "--mode");
        }
        else if (a == "--skin")
        {
            o.Skin = Number(v, "--skin");
        }
        else if (a == "--seed")
        {
            o.Seed = static_cast<uint32_t>(Number(v, "--seed"));
        }
        else if (a == "--moves")
        {
            o.Moves = Number(v, "--moves");
        }
        else if (a == "--size")
        {
            if (std::sscanf(v, "%dx%d", &o.Width, &o.Height) != 2 || o.Width < 16 ||
                o.Height < 16 || o.Width > 8192 || o.Height > 8192)
            {
                Usage(std::string("bad size: ") + v);
            }
        }
        else if (a == "--out")
        {
            o.Out = v;
        }
        else if (a == "--program")
        {
            o.Program = v;
        }
        else if (a == "--setup")
        {
            o.Setup = v;
        }
        else if (a == "--only")
        {
            std::string names = v;
            for (size_t start = 0; start <= names.size();)
            {
                const size_t comma = std::min(names.find(',', start), names.size());
                if (comma > start)
                {
                    o.Only.push_back(names.substr(start, comma - start));
                }
                start = comma + 1;
            }
        }
        else if (a == "--bench-change")
        {
            o.BenchChange = Number(v, "--bench-change");
        }
        else if (a == "--bench")
        {
            o.Bench = Number(v, "--bench");
        }
        else
        {
            Usage("unknown option " + a);
        }
    }
    if (o.Level < 1 || o.Level > MaxLevels)
    {
        Usage("--level must be 1..100");
    }
    if (o.Mode != 1 && o.Mode != 2)
    {
        Usage("--mode must be 1 or 2");
    }
    if (o.Skin < 1 || o.Skin > 5)
    {
        Usage("--skin must be 1..5");
    }
    return o;
}

// The menu background named on the second line of the menu file, when there is one.
void LoadMenuBackground(TRenderer& r, const fs::path& program)
{
    std::ifstream in(program / "data" / "Menu.dat");
    std::string line;
    if (!std::getline(in, line) || !std::getline(in, line))
    {
        return;
    }
    line = line.substr(0, line.find(' '));
    while (!line.empty() && (line.back() == '\r' || line.back() == '\t'))
    {
        line.pop_back();
    }
    for (char& c : line)
    {
        c = c == '\\' ? '/' : c;
    }
    LoadMipmappedTexture(*r.Device, program / line, r.MenuBackground);
}

void LoadSkin(TRenderer& r, const fs::path& program, int skin)
{
    for (int k = 0; k <= 17; ++k)
    {
        LoadTexture(*r.Device,
                    program / "Images" / ("Skin" + std::to_string(skin)) /
                        ("tex" + std::to_string(k) + ".tga"),
                    r.CubeTextures[k]);
    }
}

bool SavePng(const TImage& image, const std::string& file)
{
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(image.Pixels.data()),
                                                        image.Width, image.Height, 32,
                                                        image.Width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (s == nullptr)
    {
        return false;
    }
    const bool ok = IMG_SavePNG(s, file.c_str()) == 0;
    SDL_FreeSurface(s);
    return ok;
}

double Seconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// A small change on a level-1 board at rest (one cube turning, then one growing): what a
// full frame costs against a frame that redraws only the change's region of the window
// (a scissor rectangle around the cube), and whether the region redrawn over the last
// frame gives the very pixels of a full redraw.
int BenchChange(const TOptions& o, TRenderer& r, TGLDevice& gl, TGame& game, NullGameHost& host)
{
    host.MouseX = 100; // the pointer off the board
    host.MouseY = 100;
    game.NewGame();
    for (int k = 0; k < 2000 && !game.Still(); ++k)
    {
        game.Update(16);
    }
    TFrame frame;
    frame.Game = &game;
    frame.State = gsGame;
    frame.Eye = host.Eye();
    frame.Fullscreen = true;
    r.Cursor->CursorIndex = 2;

    // The window rectangle holding a cube of the board wherever it turns or grows.
    TMatrix view, projection;
    BuildViewMatrix(view, frame.Eye, {RoomCentreX, RoomCentreY, 0}, {0, 0, 1});
    BuildProjectionMatrix(projection, 0.8f, 0.75f, 0.01f, 200);
    const TMatrix vp = MatrixMultiply(view, projection);
    const auto region = [&](const TCube& c, int& left, int& top, int& width, int& height)
    {
        double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
        for (int k = 0; k < 8; ++k)
        {
            const TVector3 p{c.Position.x + ((k & 1) ? 0.75f : -0.75f), c.Position.y + ((k & 2) ? 0.75f : -0.75f),
                             c.Position.z + ((k & 4) ? 0.75f : -0.75f)};
            const double w = p.x * vp.m[0][3] + p.y * vp.m[1][3] + p.z * vp.m[2][3] + vp.m[3][3];
            const TVector3 q = TransformPoint(p, vp);
            const double sx = (q.x / w + 1) / 2 * o.Width;
            const double sy = (1 - q.y / w) / 2 * o.Height;
            x0 = std::min(x0, sx), x1 = std::max(x1, sx), y0 = std::min(y0, sy), y1 = std::max(y1, sy);
        }
        left = std::max(0, static_cast<int>(x0) - 2);
        top = std::max(0, static_cast<int>(y0) - 2);
        width = std::min(o.Width, static_cast<int>(x1) + 3) - left;
        height = std::min(o.Height, static_cast<int>(y1) + 3) - top;
    };
    const auto cpuMs = [] { return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC; };

    if (!game.Still())
    {
        std::fprintf(stderr, "tandrel-snapshot: the board did not come to rest\n");
        return 1;
    }
    int turning = 0;
    for (int i = 1; i <= game.CubeCount && turning == 0; ++i)
    {
        turning = game.Cubes[i].State == csIdle && IsColourKind(game.Cubes[i].Kind) ? i : 0;
    }
    if (turning == 0)
    {
        std::fprintf(stderr, "tandrel-snapshot: no idle cube on the board\n");
        return 1;
    }
    std::printf("size %dx%d, level 1, %d cubes, %d frames a measurement\n", o.Width, o.Height, game.CubeCount,
                o.BenchChange);
    for (const char* change : {"one idle quarter-turn", "one growing cube"})
    {
        const bool grow = change[4] == 'g';
        TCube& c = game.Cubes[turning];
        const TCube rest = c;
        const auto begin = [&]
        {
            game.SetState(turning, csIdle);
            c = rest;
            if (grow)
            {
                game.SetState(turning, csGrowing);
                c.Scale = {0.2f, 0.2f, 0.2f};
            }
            else
            {
                game.StartTurn(turning);
            }
        };
        begin();
        int left = 0, top = 0, width = 0, height = 0;
        region(c, left, top, width, height);
        // Warm up, and the last full frame before the change goes on.
        for (int i = 0; i < 5; ++i)
        {
            RenderScene(r, frame);
        }
        gl.Finish();
        // Frames of the change: each step redrawn in full, or in its region only over the
        // frame before; the pixels of the two must agree.
        double full = 0, part = 0, fullCpu = 0, partCpu = 0;
        int frames = 0, differing = 0;
        for (int step = 0; frames < o.BenchChange; ++step)
        {
            if (step % 20 == 0)
            {
                begin(); // the change again from its start
                RenderScene(r, frame);
            }
            game.Update(16);
            auto t0 = std::chrono::steady_clock::now();
            double c0 = cpuMs();
            gl.SetScissor(left, top, width, height);
            RenderScene(r, frame);
            gl.Finish();
            part += Seconds(std::chrono::steady_clock::now() - t0);
            partCpu += cpuMs() - c0;
            gl.SetScissor(0, 0, 0, 0);
            const TImage partial = gl.ReadBackBuffer();
            t0 = std::chrono::steady_clock::now();
            c0 = cpuMs();
            RenderScene(r, frame);
            gl.Finish();
            full += Seconds(std::chrono::steady_clock::now() - t0);
            fullCpu += cpuMs() - c0;
            differing += gl.ReadBackBuffer().Pixels != partial.Pixels;
            ++frames;
        }
        std::printf("%s: region %dx%d at %d,%d (%.1f %% of the window)\n", change, width, height, left, top,
                    100.0 * width * height / (o.Width * o.Height));
        std::printf("  full frame:   %.2f ms (%.2f ms CPU)\n", 1000 * full / frames, fullCpu / frames);
        std::printf("  region frame: %.2f ms (%.2f ms CPU); %d of %d frames differ from the full redraw\n",
                    1000 * part / frames, partCpu / frames, differing, frames);
        game.SetState(turning, csIdle);
        c = rest;
    }
    return 0;
}

int Run(const TOptions& o, SDL_Window* window)
{
    TRenderer r;
    if (!InitD3D(r, window, false, o.Width, o.Height, 32, 0, true, true) &&
        !InitD3D(r, window, false, o.Width, o.Height, 32, 0, false, true))
    {
        std::fprintf(stderr, "tandrel-snapshot: no OpenGL 3.3 device\n");
        return NoDevice;
    }
    auto* gl = static_cast<TGLDevice*>(r.Device.get());
    gl->SetSwapOnPresent(false);
    SetRenderDefaults(*r.Device);
    SetLights(r);
    InitVertices(r);

    const fs::path temp =
        fs::temp_directory_path() / ("tandrel-snapshot-" + std::to_string(getpid()));
    NullGameHost host;
    TRandom rng(o.Seed);
    TGame game(host, rng, o.Program / "data", temp);
    game.Create();
    game.Mode = static_cast<uint8_t>(o.Mode);
    try
    {
        LoadFontTextures(*r.Device, r.Fonts, o.Program, LargeFontsFor(PictureArea(o.Width, o.Height).Height));
        LoadFontMetrics(r.Fonts, o.Program);
        MeasureLabels(r.Fonts, game.Labels);
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "tandrel-snapshot: fonts: %s (text is left out)\n", e.what());
    }
    try
    {
        game.CreateLevels();
        game.CreateBonus();
        LoadResources(r, nullptr, o.Program);
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "tandrel-snapshot: %s\n", e.what());
        return 1;
    }
    // The tool draws any screen at any moment: it holds every picture rather than reading
    // each when its screen comes, as the game does.
    LoadMipmappedTexture(*r.Device, r.GameOverFile, r.GameOverPicture);
    LoadMipmappedTexture(*r.Device, r.HelpFile, r.HelpPicture);
    r.GameOverFile.clear();
    r.HelpFile.clear();
    LoadMenuBackground(r, o.Program);
    LoadSkin(r, o.Program, o.Skin);
    r.Cursor = std::make_unique<TCursor>(r.Device, o.Program, o.Width, o.Height);
    r.Cursor->MoveCursor(o.Width * 3 / 4, o.Height / 4);

    TFrame frame;
    frame.Game = &game;
    frame.TotalTime = 10000;
    frame.Fullscreen = true;

    if (o.BenchChange > 0)
    {
        const int rc = BenchChange(o, r, *gl, game, host);
        std::error_code ec;
        fs::remove_all(temp, ec);
        return rc;
    }
    if (o.Bench > 0)
    {
        BuildHeaviestScene(game, host);
        r.Cursor->CursorIndex = 2;
        frame.State = gsGame;
        // The floor frame: a depth clear and one full-screen textured quad.
        auto floorFrame = [&]
        {
            r.Device->Clear(clZBuffer, 0x02215BFF, 1.0f);
            r.Device->BeginScene();
            DrawPictureScreen(r, gsGameOver);
            r.Device->EndScene();
            r.Device->Present();
        };
        gl->SetSwapOnPresent(true);
        SDL_ShowWindow(window);
        // Warm up: the software rasteriser compiles a pipeline per new state combination.
        for (int i = 0; i < 10; ++i)
        {
            RenderScene(r, frame);
            floorFrame();
        }
        gl->Finish();
        gl->ResetDrawCalls();
        RenderScene(r, frame);
        const int drawCalls = gl->DrawCalls();
        gl->Finish();

        // The two kinds of frame take turns in blocks, so that a change in the machine's
        // load during the run weighs on both; the ratio is the median over the block pairs.
        const int blocks = std::clamp(o.Bench / 10, 1, 10);
        double heavy = 0, floor = 0;
        std::vector<double> ratios;
        for (int b = 0; b < blocks; ++b)
        {
            const int frames = o.Bench * (b + 1) / blocks - o.Bench * b / blocks;
            auto start = std::chrono::steady_clock::now();
            for (int i = 0; i < frames; ++i)
            {
                RenderScene(r, frame);
            }
            gl->Finish();
            const double h = Seconds(std::chrono::steady_clock::now() - start);
            start = std::chrono::steady_clock::now();
            for (int i = 0; i < frames; ++i)
            {
                floorFrame();
            }
            gl->Finish();
            const double f = Seconds(std::chrono::steady_clock::now() - start);
            heavy += h;
            floor += f;
            ratios.push_back(h / f);
        }
        std::sort(ratios.begin(), ratios.end());
        const size_t m = ratios.size() / 2;
        const double medianRatio = ratios.size() % 2 ? ratios[m] : (ratios[m - 1] + ratios[m]) / 2;
        int particles = 0;
        for (int s = 0; s < ParticleSystemCount; ++s)
        {
            particles += game.Particles.Count(s);
        }
        std::printf(
            "size %dx%d, %d frames each, renderer %s\n", o.Width, o.Height, o.Bench,
            reinterpret_cast<const char*>(SDL_GL_GetCurrentContext() ? "OpenGL 3.3 core" : "?"));
        std::printf("heaviest scene: %.1f frames/s (%d cubes, %d particles, %d labels, %d draw "
                    "calls per frame)\n",
                    o.Bench / heavy, game.CubeCount, particles, game.Labels.LabelCount, drawCalls);
        std::printf("floor frame:    %.1f frames/s\n", o.Bench / floor);
        std::printf(
            "cost ratio heaviest / floor: %.2f (median of %d interleaved blocks; whole run %.2f)\n",
            medianRatio, blocks, heavy / floor);
        std::error_code ec;
        fs::remove_all(temp, ec);
        return 0;
    }

    if (!o.Setup.empty())
    {
        const int rc = RenderSetupScenes(r, *gl, {o.Setup, o.Out, o.Program, temp, o.Only});
        std::error_code ec;
        fs::remove_all(temp, ec);
        return rc;
    }

    std::unique_ptr<TLoadingBar> bar;
    if (o.Scene == "loading")
    {
        bar = std::make_unique<TLoadingBar>(r, o.Program);
        bar->Lit = 18;
        frame.State = gsLoading;
        frame.LoadingBar = bar.get();
    }
    else if (o.Scene == "menu-picture")
    {
        frame.State = gsMenu;
    }
    else if (o.Scene == "gameover")
    {
        frame.State = gsGameOver;
    }
    else if (o.Scene == "help")
    {
        frame.State = gsHelp;
    }
    else if (o.Scene == "heaviest")
    {
        BuildHeaviestScene(game, host); // what --bench draws
        r.Cursor->CursorIndex = 2;
        frame.State = gsGame;
    }
    else if (o.Scene == "game")
    {
        PlayBotMoves(game, host, o.Level, o.Moves);
        r.Cursor->CursorIndex = static_cast<uint8_t>(host.Cursor());
        r.Cursor->MoveCursor(
            static_cast<int>((0.5f - (host.MouseX - RoomCentreX) / 14.45f) * o.Width),
            static_cast<int>((0.5f - (host.MouseY - RoomCentreY) / 10.8375f) * o.Height));
        frame.State = gsGame;
        frame.Eye = host.Eye();
        std::string kinds;
        for (int i = 1; i <= game.CubeCount; ++i)
        {
            kinds += std::to_string(game.Cubes[i].Kind) + " ";
        }
        std::printf("level %d, %d cubes: %s\n", game.Level, game.CubeCount, kinds.c_str());
    }
    else
    {
        Usage("unknown scene " + o.Scene);
    }
    const TResult result = RenderScene(r, frame);
    if (Failed(result))
    {
        std::fprintf(stderr, "tandrel-snapshot: the frame failed (0x%08X)\n",
                     static_cast<unsigned>(result));
        return 1;
    }
    const TImage image = gl->ReadBackBuffer();
    if (!SavePng(image, o.Out))
    {
        std::fprintf(stderr, "tandrel-snapshot: cannot write %s: %s\n", o.Out.c_str(),
                     SDL_GetError());
        return 1;
    }
    std::error_code ec;
    fs::remove_all(temp, ec);
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    const TOptions o = Parse(argc, argv);
    // The log of this run goes to a folder thrown away at the end.
    const fs::path temp =
        fs::temp_directory_path() / ("tandrel-snapshot-" + std::to_string(getpid()));
    std::error_code made;
    fs::create_directories(temp, made);
    SetDebugLogFolder(temp);
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
    {
        std::fprintf(stderr, "tandrel-snapshot: no display: %s\n", SDL_GetError());
        return NoDevice;
    }
    TDeviceParams params;
    SetDeviceAttributes(params);
    SDL_Window* window = SDL_CreateWindow("Tandrel snapshot", 0, 0, o.Width, o.Height,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window == nullptr)
    {
        std::fprintf(stderr, "tandrel-snapshot: no window: %s\n", SDL_GetError());
        SDL_Quit();
        return NoDevice;
    }
    const int rc = Run(o, window);
    fs::remove_all(temp, made);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return rc;
}
