// The device on an OpenGL 3.3 core context of an SDL window: its files (GLDevice*.cpp) are
// the only code of the game that calls gl*. One shader program emulates the fixed-function subset the drawing
// code uses; the state is sent to GL at draw time, and only what changed.
#pragma once

#include "render/Device.h"
#include "render/PictureArea.h"

#include <memory>
#include <string>

struct SDL_Window;
class TGLMargins;

struct TDeviceParams
{
    bool Fullscreen = false;
    int Width = 0; // full screen: the display mode; windowed: taken from the window
    int Height = 0;
    int ColourBits = 32;  // 16 (5-6-5) or 32 (8-8-8-8)
    bool Hardware = true; // false: the software rasteriser
    bool Depth = true;
};

// Sets the SDL pixel-format attributes for a device with these parameters. Call it before
// the window is created (with SDL_WINDOW_OPENGL) so the window gets a matching visual.
void SetDeviceAttributes(const TDeviceParams& params);

class TGLDevice final : public TDevice
{
public:
    // Makes the context on the window and the shader; null on failure (reason in Error).
    static std::shared_ptr<TGLDevice> Create(SDL_Window* window, const TDeviceParams& params,
                                             std::string* error = nullptr);
    ~TGLDevice() override;

    bool BeginFrame(bool keep, const TFrameRegion* region) override;
    void LetKeptPictureGo() override;
    bool OwesWholeFrame() const override;
    TResult Clear(uint32_t flags, uint32_t colour, float z) override;
    TResult BeginScene() override;
    TResult EndScene() override;
    TResult Present() override;

    TResult CreateVertexBuffer(int vertexCount) override;
    void ReleaseVertexBuffer() override;
    bool HasVertexBuffer() const override;
    TResult WriteVertices(int firstVertex, std::span<const TVertex> vertices) override;
    TResult DrawPrimitive(int startVertex, int primitiveCount) override;
    TResult DrawStream(std::span<const TVertex> vertices) override;

    TTextureRef CreateTexture(const TImage& image, bool mipmapped) override;
    std::unique_ptr<TTextureWriter> BeginTexture(int width, int height, bool mipmapped, bool hasAlpha) override;

    // The size of the 4:3 picture (the whole window when the window is 4:3).
    int Width() const override;
    int Height() const override;
    // Where the picture lies in the window now: the largest centred 4:3 area.
    TPictureArea Area() const;

    // The back buffer as it is now (before Present), rows top to bottom.
    TImage ReadBackBuffer() const;
    // Draw calls since the last reset.
    int DrawCalls() const { return DrawCallCount; }
    void ResetDrawCalls() { DrawCallCount = 0; }
    // Skips the buffer swap of Present (for off-screen measuring and snapshots).
    void SetSwapOnPresent(bool swap) { SwapOnPresent = swap; }
    // Waits until GL has finished every command sent so far.
    void Finish() const;
    // Limits every later clear and draw to this rectangle of the window (in pixels from
    // its top left); a width of 0 lifts the limit. For measuring a redraw of one region.
    void SetScissor(int left, int top, int width, int height);
    SDL_Window* Window() const { return Win; }
    // Frames begun with keep are kept, so that the next may redraw only a region of them
    // (BeginFrame). Where the window can show one region of its back buffer, they are kept
    // in the window itself and a region frame shows its region alone; elsewhere, or with
    // offScreen, in a picture off screen of the window's size and formats, copied to the
    // window at Present. False, and every frame goes straight to the window, when neither
    // is possible.
    bool KeepPicture(bool keep, bool offScreen = false);
    bool KeepsPicture() const;
    // Frames are kept in the window itself.
    bool KeepsPictureInWindow() const;
    // One level of a texture's mipmap chain as stored, rows top to bottom (for comparing
    // chains in tests).
    TImage ReadTextureLevel(const TTextureRef& texture, int level) const;
    // The chains of later textures made by the device itself, from top to bottom, instead of
    // halved on the processor where that is exact (for comparing chains in tests).
    bool DeviceMadeMipmaps = false;

private:
    struct TImpl;
    explicit TGLDevice(SDL_Window* window);
    bool Init(const TDeviceParams& params, std::string* error);
    // Compiles and links the shader program, makes it current and finds its uniforms.
    bool MakeProgram(std::string* error);
    TResult Draw(int startVertex, int vertexCount, bool streamed);
    // Makes the kept picture for a drawable of w x h; false when GL cannot.
    bool MakeKeptPicture(int w, int h);
    // BeginFrame of a frame kept in the window.
    bool BeginWindowFrame(int w, int h, const TFrameRegion* region);
    void ReleaseKeptPicture();
    // Copies the kept picture to the window's back buffer when the frame drew into it.
    // True when the frame is to show its region of the window only.
    bool ShowKeptPicture();
    void ApplyState(bool streamed);

    SDL_Window* Win = nullptr;
    std::unique_ptr<TImpl> Impl;
    std::unique_ptr<TGLMargins> Margins; // made on the first frame of a window not 4:3
    bool InScene = false;
    bool SwapOnPresent = true;
    int DrawCallCount = 0;
};
