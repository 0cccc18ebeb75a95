// tandrel-snapshot: renders one frame of a chosen scene on a hidden window and writes it
// as a PNG; with --bench it measures the heaviest game scene against the floor frame.
//
//   tandrel-snapshot --scene loading|menu-picture|game|gameover|help|heaviest [--level L]
//                    [--mode 1|2] [--seed S] [--moves N] [--size WxH] [--skin N] [--out FILE]
//                    [--program DIR]
//   tandrel-snapshot --bench FRAMES [--size WxH]
//   tandrel-snapshot --bench-change FRAMES [--size WxH]
//   tandrel-snapshot --bench-flight ROUNDS [--size WxH]
//   tandrel-snapshot --setup SCENEFILE [--only NAME,...] [--size WxH] [--out FOLDER]
//                    [--program DIR]
// With --setup every scene of the file (SetupScene.h) is rendered to FOLDER/NAME.ppm. Exit
// status 3: no display or no OpenGL 3.3 device to render with.
// The scene is shown in the language of the environment (LANGUAGE, LC_ALL, LC_MESSAGES, LANG)
// whose catalogue the program folder's locale/ holds, its pictures with words included.
#include "tools/snapshot/BenchFlight.h"
#include "tools/snapshot/SetupRender.h"
#include "tools/snapshot/SnapshotScenes.h"

#include "base/DebugLog.h"
#include "base/Text.h"
#include "front/Skins.h"
#include "render/ChangeRegions.h"
#include "render/GLDevice.h"
#include "game/GameSetup.h"
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
    int Skin = 1; // the cube skin, 1..SkinCount (Images/SkinN)
    uint32_t Seed = 1;
    int Moves = 0;
    int Width = 1280;
    int Height = 960;
    std::string Out = "snapshot.png";
    fs::path Program = TANDREL_GAME_DIR;
    int Bench = 0;
    int BenchChange = 0;
    int BenchFlight = 0;
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
                 "         [--skin N] [--out FILE] [--program DIR]\n"
                 "       tandrel-snapshot --bench FRAMES [--size WxH]\n"
                 "       tandrel-snapshot --bench-change FRAMES [--size WxH]\n"
                 "       tandrel-snapshot --bench-flight ROUNDS [--size WxH]\n"
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
        else if (a == "--bench-flight")
        {
            o.BenchFlight = Number(v, "--bench-flight");
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
    if (o.Skin < 1 || o.Skin > SkinCount)
    {
        Usage("--skin must be 1.." + std::to_string(SkinCount));
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
    for (int k = 0; k < CubeTextureCount; ++k)
    {
        LoadTexture(*r.Device, program / SkinFile(skin, k), r.CubeTextures[k]);
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

// A small change on a level-1 board at rest (one cube turning, then one growing), then a
// bonus board at rest whose bombs' fuses spark, drawn as the game draws it: each frame whole straight to the window (as before the picture was
// kept), whole into the kept picture and copied to the window, and inside the change's
// region only over the kept picture of the frame before; and whether the region frames give
// the very pixels of the whole ones.
int BenchChange(const TOptions& o, TRenderer& r, TGLDevice& gl, TGameSetup& game, NullGameHost& host)
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
    TChangeRegions regions, whole; // whole forgets before each frame: drawn whole and kept
    if (!gl.KeepPicture(true))
    {
        std::fprintf(stderr, "tandrel-snapshot: the picture cannot be kept between frames\n");
        return 1;
    }
    std::printf("the picture kept %s\n", gl.KeepsPictureInWindow() ? "in the window" : "off screen");
    for (const char* change : {"one idle quarter-turn", "one growing cube", "a bonus board at rest, bombs sparking"})
    {
        const bool grow = change[4] == 'g';
        const bool sparks = change[0] == 'a';
        if (sparks)
        {
            // Level 5 laid out, its stones and bombs grown: only the fuses' sparks move
            // (and now and then a stone's idle turn).
            game.Level = 4;
            game.NextLevel();
            const auto atRest = [&]
            {
                for (int s = 0; s < ParticleSystemCount; ++s)
                {
                    if (s != FuseSparkSystem && game.Particles.Count(s) > 0)
                    {
                        return false; // the new level's banner still flies
                    }
                }
                return game.BoardQuiet && game.StateCounts[StateSlot(csGrowing)] == 0 &&
                       game.Labels.LabelCount == 0;
            };
            for (int k = 0; k < 2000 && !atRest(); ++k)
            {
                game.Update(16);
            }
            std::printf("level 5: %d stones and bombs, %d sparks\n", game.CubeCount,
                        game.Particles.Count(FuseSparkSystem));
        }
        TCube& c = game.Cubes[turning];
        const TCube rest = c;
        const auto begin = [&]
        {
            if (sparks)
            {
                return; // the sparks go on as they are
            }
            game.SetState(turning, csIdle);
            c = rest;
            if (grow)
            {
                game.SetState(turning, csGrowing);
                c.Anim = 0; // from the start of its growth
                c.Scale = {0.2f, 0.2f, 0.2f};
            }
            else
            {
                game.StartTurn(turning);
            }
        };
        // Frames of the change from its start, 20 steps at a time; kept: into the kept
        // picture, limited: inside the region only. Returns the wall and CPU ms a frame.
        const auto run = [&](bool kept, bool limited, double& wallMs, double& cpu, bool check)
        {
            TChangeRegions* const tracker = limited ? &regions : kept ? &whole : nullptr;
            frame.Regions = nullptr;
            begin();
            for (int i = 0; i < 5; ++i) // warm up
            {
                RenderScene(r, frame);
            }
            gl.Finish();
            double wall = 0, used = 0, area = 0;
            int frames = 0, differing = 0, inRegion = 0;
            for (int step = 0; frames < o.BenchChange; ++step)
            {
                if (step % 20 == 0)
                {
                    begin(); // the change again from its start, drawn whole
                    regions.Forget();
                    frame.Regions = tracker;
                    RenderScene(r, frame);
                }
                game.Update(16);
                whole.Forget();
                const auto t0 = std::chrono::steady_clock::now();
                const double c0 = cpuMs();
                RenderScene(r, frame);
                gl.Finish();
                wall += Seconds(std::chrono::steady_clock::now() - t0);
                used += cpuMs() - c0;
                if (limited && regions.Limited())
                {
                    ++inRegion;
                    area += regions.Regions().Area();
                }
                if (check)
                {
                    // The whole frame of the same state, which the next region is drawn over.
                    const TImage part = gl.ReadBackBuffer();
                    whole.Forget();
                    frame.Regions = &whole;
                    RenderScene(r, frame);
                    differing += gl.ReadBackBuffer().Pixels != part.Pixels;
                    frame.Regions = &regions;
                }
                ++frames;
            }
            wallMs = 1000 * wall / frames;
            cpu = used / frames;
            if (check)
            {
                std::printf("  %d of %d frames drawn in their region, on average %.1f %% of the picture; "
                            "%d of %d differ from the whole frame\n",
                            inRegion, frames, inRegion > 0 ? 100 * area / inRegion / (o.Width * o.Height) : 0.0,
                            differing, frames);
            }
        };
        std::printf("%s\n", change);
        double wall = 0, cpu = 0;
        run(false, false, wall, cpu, false);
        std::printf("  whole frame to the window:    %.2f ms (%.2f ms CPU)\n", wall, cpu);
        run(true, false, wall, cpu, false);
        std::printf("  whole frame, kept:            %.2f ms (%.2f ms CPU)\n", wall, cpu);
        run(true, true, wall, cpu, false);
        std::printf("  region frame over the kept one: %.2f ms (%.2f ms CPU)\n", wall, cpu);
        run(true, true, wall, cpu, true);
        if (!sparks)
        {
            game.SetState(turning, csIdle);
            c = rest;
        }
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
    TGameSetup game(host, rng, o.Program / "data", temp);
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

    if (o.BenchFlight > 0)
    {
        const int rc = BenchFlight(r, *gl, game, host, window, o.BenchFlight);
        std::error_code ec;
        fs::remove_all(temp, ec);
        return rc;
    }
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
    // In the language the environment asks for, as the game would show it (LANGUAGE=de).
    StartLanguage(LocaleFolder(o.Program));
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
