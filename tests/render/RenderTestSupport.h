// Helpers of the renderer tests: images written from code, a renderer on a recording
// device, and a renderer on a real GL window (under Xvfb).
#pragma once

#include "render/GLDevice.h"
#include "render/RecordingDevice.h"
#include "render/Renderer.h"
#include "tests/support/TestSupport.h"

#include <filesystem>
#include <memory>

struct SDL_Window;

// A w x h image filled with one colour (0xAARRGGBB).
TImage SolidImage(int w, int h, uint32_t argb);
// Four quadrants: top-left, top-right, bottom-left, bottom-right.
TImage QuadrantImage(int w, int h, uint32_t tl, uint32_t tr, uint32_t bl, uint32_t br);
// Uncompressed 32-bit TGA (top-left origin) and 24-bit BMP files.
void WriteTga(const std::filesystem::path& file, const TImage& image);
void WriteBmp(const std::filesystem::path& file, const TImage& image);

// The shared state the load sequence leaves: defaults, lights, buffer, materials.
void PrepareRenderer(TRenderer& r);

// The camera as a frame sets it, looking at the board from eye (by default the eye at rest).
void LookFrom(TDevice& d, const TVector3& eye = RestEye);
// The view times the projection of that camera.
TMatrix ViewProjection(const TVector3& eye = RestEye);

// A renderer on the recording device.
struct TRecordingRenderer
{
    TRecordingRenderer();
    std::shared_ptr<TRecordingDevice> Device;
    TRenderer R;
};

// A renderer on a hidden w x h GL window; the frame stays in the back buffer.
class TGLRenderer
{
public:
    TGLRenderer(int w = 320, int h = 240);
    ~TGLRenderer();
    TGLDevice& GL() { return *Gl; }
    TImage Frame() { return Gl->ReadBackBuffer(); }
    // Pixel of world point p with the camera at rest (x right, y down, in pixels).
    void Project(const TVector3& p, int& x, int& y) const;

    SDL_Window* Window = nullptr;
    TRenderer R;

private:
    TGLDevice* Gl = nullptr;
};

// Channels of a pixel.
inline int Red(uint32_t p)
{
    return (p >> 16) & 0xFF;
}
inline int Green(uint32_t p)
{
    return (p >> 8) & 0xFF;
}
inline int Blue(uint32_t p)
{
    return p & 0xFF;
}
inline int Brightness(uint32_t p)
{
    return Red(p) + Green(p) + Blue(p);
}
