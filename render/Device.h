// The device seam: the small set of fixed-function drawing calls the game's drawing code
// speaks. It mirrors the old immediate-mode device interface (transforms, two point
// lights, a material, one texture stage, render states, one shared vertex buffer of
// triangle lists) so the drawing code keeps the game's conventions: left-handed world,
// row-vector matrices with the translation in row 4, colours 0xAARRGGBB, clockwise
// triangles culled.
//
// The base class keeps the current state; an implementation reads it when it draws.
// TGLDevice draws with OpenGL, TRecordingDevice records what was asked for.
#pragma once

#include "base/TexMatrix.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// Result codes of the device calls (negative = failure), as the frame loop reports them.
using TResult = int32_t;
constexpr TResult D3D_OK = 0;
constexpr TResult E_FAIL = static_cast<TResult>(0x80004005u);
constexpr TResult E_OUTOFMEMORY = static_cast<TResult>(0x8007000Eu);
constexpr TResult E_INVALIDARG = static_cast<TResult>(0x80070057u);
constexpr TResult D3DERR_OUTOFVIDEOMEMORY = static_cast<TResult>(0x8876017Cu);
constexpr TResult D3DERR_DRIVERINTERNALERROR = static_cast<TResult>(0x88760827u);
constexpr TResult D3DERR_DEVICELOST = static_cast<TResult>(0x88760868u);
constexpr TResult D3DERR_INVALIDCALL = static_cast<TResult>(0x8876086Cu);

inline bool Failed(TResult r)
{
    return r < 0;
}

// One vertex of the shared buffer: 36 bytes, position, normal, colour, texture coordinates.
struct TVertex
{
    float x = 0, y = 0, z = 0;
    float nx = 0, ny = 0, nz = 0;
    uint32_t Diffuse = 0xFFFFFFFF; // 0xAARRGGBB
    float u = 0, v = 0;
};
static_assert(sizeof(TVertex) == 36);

// Colour channels as floats 0..1.
struct TColourValue
{
    float r = 0, g = 0, b = 0, a = 0;

    friend bool operator==(const TColourValue&, const TColourValue&) = default;
};

struct TMaterial
{
    TColourValue Diffuse;
    TColourValue Ambient;
    TColourValue Specular;
    TColourValue Emissive;
    float Power = 0;

    friend bool operator==(const TMaterial&, const TMaterial&) = default;
};

// A point light: colours, position in world units, range and attenuation
// 1 / (a0 + a1 d + a2 d^2); beyond its range a light adds nothing.
struct TLight
{
    TColourValue Diffuse;
    TColourValue Specular;
    TColourValue Ambient;
    TVector3 Position;
    float Range = 0;
    float Attenuation0 = 0;
    float Attenuation1 = 0;
    float Attenuation2 = 0;

    friend bool operator==(const TLight&, const TLight&) = default;
};

enum TTransformKind : uint8_t
{
    tkWorld,
    tkView,
    tkProjection,
};

enum TRenderState : uint8_t
{
    rsCullMode,
    rsZEnable,
    rsZWriteEnable,
    rsZFunc,
    rsNormalizeNormals,
    rsLighting,
    rsAmbient, // 0x00RRGGBB global ambient
    rsSpecularEnable,
    rsAlphaBlendEnable,
    rsSrcBlend,
    rsDestBlend,
    rsCount
};

enum TTextureStageState : uint8_t
{
    tsColorOp,
    tsColorArg1,
    tsColorArg2,
    tsAlphaOp,
    tsAlphaArg1,
    tsAlphaArg2,
    tsMagFilter,
    tsMinFilter,
    tsMipFilter,
    tsCount
};

// Values of the states above.
enum TCullMode : uint32_t
{
    cuNone = 1,
    cuCW = 2,
    cuCCW = 3,
};
enum TBlend : uint32_t
{
    blZero = 1,
    blOne = 2,
    blSrcAlpha = 5,
    blInvSrcAlpha = 6,
};
enum TCompare : uint32_t
{
    cmLess = 2,
    cmLessEqual = 4,
};
enum TTextureOp : uint32_t
{
    toDisable = 1,
    toSelectArg1 = 2,
    toSelectArg2 = 3,
    toModulate = 4,
};
enum TTextureArg : uint32_t
{
    taDiffuse = 0,
    taCurrent = 1, // at stage 0 the lit or vertex diffuse colour
    taTexture = 2,
};
enum TTextureFilter : uint32_t
{
    tfNone = 0,
    tfPoint = 1,
    tfLinear = 2,
};
constexpr uint32_t StateTrue = 0xFFFFFFFF; // TRUE as the drawing code passes it
constexpr uint32_t StateFalse = 0;

enum TClearFlags : uint32_t
{
    clTarget = 1,
    clZBuffer = 2,
};

// Pixels of an image: rows top to bottom, each pixel 0xAARRGGBB.
struct TImage
{
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;
    bool HasAlpha = false;

    uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
};

// A rectangle of the picture in pixels, from its top left.
struct TFrameRegion
{
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    friend bool operator==(const TFrameRegion&, const TFrameRegion&) = default;
};

// A texture the device made; the game holds it as an opaque TTextureRef.
class TDeviceTexture : public TTexture
{
public:
    TDeviceTexture(int width, int height, bool mipmapped)
        : Width(width), Height(height), Mipmapped(mipmapped)
    {
    }
    const int Width;
    const int Height;
    const bool Mipmapped; // carries a full mipmap chain
};

// A texture filled strip by strip while its picture is decoded, so that the whole picture
// never lies in memory beside the texture. Write takes rows [first, first + count) of
// Width ARGB pixels each, top to bottom, in strips of StripRows() rows (the last may be
// shorter); Finish gives the texture, null when a step failed. Dropped unfinished, the
// texture goes with it.
class TTextureWriter
{
public:
    virtual ~TTextureWriter() = default;
    virtual int StripRows() const = 0;
    virtual bool Write(const uint32_t* rows, int first, int count) = 0;
    virtual TTextureRef Finish() = 0;
};

// Everything a draw depends on. Only stage 0 exists; lights 0 and 1 exist.
struct TDeviceState
{
    TDeviceState();

    TMatrix World;
    TMatrix View;
    TMatrix Projection;
    TMaterial Material;
    std::array<TLight, 2> Lights{};
    std::array<bool, 2> LightEnabled{};
    TTextureRef Texture;
    std::array<uint32_t, rsCount> RenderStates{};
    std::array<uint32_t, tsCount> StageStates{};
};

class TDevice
{
public:
    TDevice() = default;
    virtual ~TDevice() = default;
    TDevice(const TDevice&) = delete;
    TDevice& operator=(const TDevice&) = delete;

    // --- state: kept here, sent to the graphics library by the implementation when it draws
    virtual TResult SetTransform(TTransformKind kind, const TMatrix& m);
    virtual TResult SetMaterial(const TMaterial& material);
    virtual TResult SetLight(int index, const TLight& light);
    virtual TResult LightEnable(int index, bool enable);
    // Only stage 0 has a texture; an empty reference leaves the stage without one.
    virtual TResult SetTexture(int stage, const TTextureRef& texture);
    virtual TResult SetRenderState(TRenderState state, uint32_t value);
    virtual TResult SetTextureStageState(int stage, TTextureStageState state, uint32_t value);
    const TDeviceState& State() const { return Current; }

    // --- frame
    // Starts a frame, before its first clear. A device that can keep the picture between
    // frames draws a frame with keep off screen and shows it at Present (a frame without
    // goes straight to the window, as drawing a picture and copying it costs more); given a
    // region, the frame then changes only the pixels inside it and the rest stays as the
    // last kept frame left it. True when the frame is limited so; false when it is drawn
    // whole (no region, no kept picture, or none of the last frame, or a new size).
    virtual bool BeginFrame(bool /*keep*/, const TFrameRegion* /*region*/) { return false; }
    // Lets go of the kept picture (between frames, or in a frame drawn straight to the
    // window); the next frame with keep makes it again and is drawn whole. For a spell of
    // frames that no region frame follows and that needs the memory: a camera flight.
    virtual void LetKeptPictureGo() {}
    // True while the window's new size may not have reached the frames shown since it
    // changed (a window system that learns of the size at a swap): one more whole frame is
    // owed, or the window keeps a picture of the size before.
    virtual bool OwesWholeFrame() const { return false; }
    virtual TResult Clear(uint32_t flags, uint32_t colour, float z) = 0;
    virtual TResult BeginScene() = 0;
    virtual TResult EndScene() = 0;
    virtual TResult Present() = 0;

    // --- the shared vertex buffer
    // Makes a buffer of vertexCount vertices; replaces any previous one.
    virtual TResult CreateVertexBuffer(int vertexCount) = 0;
    virtual void ReleaseVertexBuffer() = 0;
    virtual bool HasVertexBuffer() const = 0;
    // Writes vertices at firstVertex (the lock, copy and unlock of one range).
    virtual TResult WriteVertices(int firstVertex, std::span<const TVertex> vertices) = 0;
    // A triangle list of primitiveCount triangles from startVertex of the shared buffer.
    virtual TResult DrawPrimitive(int startVertex, int primitiveCount) = 0;
    // A triangle list streamed from memory, its vertices already in world units: drawn
    // with the current state but without the world transform. The glyphs and particles
    // use it to draw a run of quads that share their state in one call.
    virtual TResult DrawStream(std::span<const TVertex> vertices) = 0;

    // --- textures: null when the device cannot make it
    virtual TTextureRef CreateTexture(const TImage& image, bool mipmapped) = 0;
    // The same texture filled strip by strip (null when the device cannot make it). This
    // one gathers the strips into an image for CreateTexture.
    virtual std::unique_ptr<TTextureWriter> BeginTexture(int width, int height, bool mipmapped, bool hasAlpha);

    // Size of the back buffer in pixels.
    virtual int Width() const = 0;
    virtual int Height() const = 0;

protected:
    TDeviceState Current;
};

// The whole-frame colour packer of the drawing code.
constexpr uint32_t ColorARGB(uint8_t a, uint8_t r, uint8_t g, uint8_t b)
{
    return (static_cast<uint32_t>(a) << 24) | (static_cast<uint32_t>(r) << 16) |
           (static_cast<uint32_t>(g) << 8) | b;
}
