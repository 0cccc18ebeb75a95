#include "tests/render/RenderTestSupport.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

TImage SolidImage(int w, int h, uint32_t argb)
{
    TImage i;
    i.Width = w;
    i.Height = h;
    i.Pixels.assign(static_cast<size_t>(w) * h, argb);
    i.HasAlpha = true;
    return i;
}

TImage QuadrantImage(int w, int h, uint32_t tl, uint32_t tr, uint32_t bl, uint32_t br)
{
    TImage i = SolidImage(w, h, 0);
    for (int y = 0; y < h; ++y)
    {
        for (int x = 0; x < w; ++x)
        {
            const bool top = y < h / 2;
            const bool left = x < w / 2;
            i.Pixels[static_cast<size_t>(y) * w + x] = top ? (left ? tl : tr) : (left ? bl : br);
        }
    }
    return i;
}

void WriteTga(const std::filesystem::path& file, const TImage& image)
{
    std::ofstream out(file, std::ios::binary);
    uint8_t header[18] = {};
    header[2] = 2; // uncompressed true colour
    header[12] = static_cast<uint8_t>(image.Width);
    header[13] = static_cast<uint8_t>(image.Width >> 8);
    header[14] = static_cast<uint8_t>(image.Height);
    header[15] = static_cast<uint8_t>(image.Height >> 8);
    header[16] = 32;
    header[17] = 0x28; // top-left origin, 8 alpha bits
    out.write(reinterpret_cast<const char*>(header), sizeof(header));
    for (uint32_t p : image.Pixels)
    {
        const char bgra[4] = {static_cast<char>(Blue(p)), static_cast<char>(Green(p)),
                              static_cast<char>(Red(p)), static_cast<char>(p >> 24)};
        out.write(bgra, 4);
    }
}

void WriteBmp(const std::filesystem::path& file, const TImage& image)
{
    const int stride = (image.Width * 3 + 3) & ~3;
    std::vector<uint8_t> b(54 + static_cast<size_t>(stride) * image.Height, 0);
    auto put32 = [&](size_t at, uint32_t v)
    {
        for (int k = 0; k < 4; ++k)
        {
            b[at + k] = static_cast<uint8_t>(v >> (8 * k));
        }
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, static_cast<uint32_t>(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(image.Width));
    put32(22, static_cast<uint32_t>(image.Height));
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < image.Height; ++y)
    {
        for (int x = 0; x < image.Width; ++x)
        {
            const uint32_t p = image.At(x, image.Height - 1 - y);
            uint8_t* d = &b[54 + static_cast<size_t>(y) * stride + 3 * x];
            d[0] = static_cast<uint8_t>(Blue(p));
            d[1] = static_cast<uint8_t>(Green(p));
            d[2] = static_cast<uint8_t>(Red(p));
        }
    }
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

void PrepareRenderer(TRenderer& r)
{
    SetRenderDefaults(*r.Device);
    SetLights(r);
    InitVertices(r);
    InitMaterial(r.Materials[0], 1, 1, 1, 0, 10);
    InitMaterial(r.Materials[1], 1, 1, 1, 0, 255);
    InitMaterial(r.Materials[2], 1, 1, 1, 1, 0);
    InitMaterial(r.Materials[3], 1, 1, 1, 0, 255);
}

TRecordingRenderer::TRecordingRenderer() : Device(std::make_shared<TRecordingDevice>())
{
    R.Device = Device;
    PrepareRenderer(R);
}

TGLRenderer::TGLRenderer(int w, int h)
{
    // The test's X display, never the driver SDL falls back on when the display refuses a
    // connection for a moment (a busy server): the connection is tried again. A test may
    // still ask for another driver.
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    for (int attempt = 1;; ++attempt)
    {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, asked != nullptr ? asked : "x11");
        if (SDL_Init(SDL_INIT_VIDEO) == 0)
        {
            break;
        }
        if (asked != nullptr || attempt == 50)
        {
            throw std::runtime_error(std::string("no display: ") + SDL_GetError());
        }
        SDL_Delay(100); // until the display takes the connection
    }
    SetDeviceAttributes(TDeviceParams{});
    Window = SDL_CreateWindow("render test", 0, 0, w, h, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (Window == nullptr || !InitD3D(R, Window, false, w, h, 32, 0, false, true))
    {
        throw std::runtime_error("no GL device");
    }
    Gl = static_cast<TGLDevice*>(R.Device.get());
    Gl->SetSwapOnPresent(false);
    PrepareRenderer(R);
}

TGLRenderer::~TGLRenderer()
{
    R.Cursor.reset();
    R.Scene = TSceneObjects{};
    R.Device.reset();
    if (Window != nullptr)
    {
        SDL_DestroyWindow(Window);
    }
    SDL_Quit();
}

namespace
{
void Camera(const TVector3& eye, TMatrix& view, TMatrix& proj)
{
    EXPECT_EQ(BuildViewMatrix(view, eye, {RoomCentreX, RoomCentreY, 0}, {0, 0, 1}), D3D_OK);
    EXPECT_EQ(BuildProjectionMatrix(proj, 0.8f, 0.75f, 0.01f, 200), D3D_OK);
}
} // namespace

void LookFrom(TDevice& d, const TVector3& eye)
{
    TMatrix view, proj;
    Camera(eye, view, proj);
    d.SetTransform(tkView, view);
    d.SetTransform(tkProjection, proj);
}

TMatrix ViewProjection(const TVector3& eye)
{
    TMatrix view, proj;
    Camera(eye, view, proj);
    return MatrixMultiply(view, proj);
}

void TGLRenderer::Project(const TVector3& p, int& x, int& y) const
{
    const TMatrix vp = ViewProjection();
    const float cx = p.x * vp.m[0][0] + p.y * vp.m[1][0] + p.z * vp.m[2][0] + vp.m[3][0];
    const float cy = p.x * vp.m[0][1] + p.y * vp.m[1][1] + p.z * vp.m[2][1] + vp.m[3][1];
    const float cw = p.x * vp.m[0][3] + p.y * vp.m[1][3] + p.z * vp.m[2][3] + vp.m[3][3];
    int w = 0, h = 0;
    SDL_GetWindowSize(Window, &w, &h);
    x = static_cast<int>((cx / cw * 0.5f + 0.5f) * w);
    y = static_cast<int>((0.5f - cy / cw * 0.5f) * h);
}
