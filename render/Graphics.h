// What every drawing operation shares: the device, the mesh table of the shared vertex
// buffer, the two lights, the four materials, the camera, and the device's start and
// release.
#pragma once

#include "render/Device.h"

#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <utility>

struct SDL_Window;

constexpr float RoomCentreX = -1.8f;
constexpr float RoomCentreY = -0.25f;

// Entries of the shared vertex buffer.
enum TMeshEntry : int
{
    meshScratchQuad = 0, // rewritten by glyphs and particles
    meshQuad = 1,        // unit quad: sprites, room planes, pictures, path dots
    meshCube = 2,
    meshBomb = 3,
    meshStone = 4,
};

// Mesh range table of the shared vertex buffer: (first triangle, triangle count) per entry.
struct TCollector
{
    int Count = 0;
    int Total = 0;
    std::array<std::pair<int, int>, 10> Entries{};

    void Add(int n)
    {
        Entries[Count] = {Total, n};
        ++Count;
        Total += n;
    }
    int FirstVertex(int entry) const { return 3 * Entries[entry].first; }
    int Triangles(int entry) const { return Entries[entry].second; }
};

// A rectangle of the picture in pixels from its top left, as projected (not rounded or cut).
struct TScreenBox
{
    float X0 = INFINITY, Y0 = INFINITY, X1 = -INFINITY, Y1 = -INFINITY;

    bool Empty() const { return !(X0 <= X1); }
};
// Extra pixels round a projected box, for the half-pixel shift and texture filtering.
constexpr int BoxMargin = 3;
// Widens box to the corners of the box +-half, +-half, +-depth (depth 0: a flat quad) seen
// through m (world, view and projection) in a picture of width x height pixels; false when
// a corner lies behind the eye or nowhere, where no rectangle bounds what is drawn.
bool ProjectBox(const TMatrix& m, float half, float depth, int width, int height, TScreenBox& box);
// Whether a box, BoxMargin included, lies wholly outside the rectangle.
bool OutsideRect(const TScreenBox& box, const TFrameRegion& rect);

// The device with the state every drawing Part shares.
struct TGraphics
{
    std::shared_ptr<TDevice> Device;
    TCollector Collector;
    TLight RoomLight;
    TLight CursorLight;
    std::array<TMaterial, 4> Materials{};
    // Why the last InitD3D failed, in the driver's words; empty after a success.
    std::string StartError;
    // The rectangle of the picture the pass being drawn can change (one region of a region
    // frame, inside the device's scissor), or null for the whole picture. What lies wholly
    // outside it is not sent: the pixels are the same and the rasteriser has less to do.
    const TFrameRegion* Pass = nullptr;

    // Whether the box +-half, +-half, +-depth placed by world lies wholly outside Pass, as
    // the device's camera sees it.
    bool OutsidePass(const TMatrix& world, float half, float depth) const;

    // Draws one entry of the shared buffer with the current state.
    TResult DrawMesh(int entry) const
    {
        return Device->DrawPrimitive(Collector.FirstVertex(entry), Collector.Triangles(entry));
    }
};

// Starts the device on the window (made with SDL_WINDOW_OPENGL): full screen or windowed,
// the size and colour depth asked for, a depth buffer; hardware = an accelerated context,
// otherwise the software rasteriser. False on failure, with nothing made.
bool InitD3D(TGraphics& g, SDL_Window* window, bool fullscreen, int width, int height,
             int colourBits, int backBufferCount, bool hardware, bool depth);
// Releases the vertex buffer and the device, logging each step (the second half of ReleaseD3D).
void ReleaseDevice(TGraphics& g);

void SetRenderDefaults(TDevice& device);
// Fills the room light and the cursor light and switches both on.
void SetLights(TGraphics& g);
// Fills the mesh table and the shared vertex buffer; the failing result or D3D_OK.
TResult InitVertices(TGraphics& g);
// The six vertices of the scratch quad with the given colour and depth.
void SetQuadColour(std::array<TVertex, 6>& quad, uint32_t colour, float z);

TResult BuildViewMatrix(TMatrix& out, const TVector3& eye, const TVector3& target,
                        const TVector3& up);
TResult BuildProjectionMatrix(TMatrix& out, float fov, float aspect, float zNear, float zFar);
void InitMaterial(TMaterial& m, float r, float g, float b, float a, float power);
