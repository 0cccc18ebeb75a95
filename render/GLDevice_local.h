// The GL device's private parts, shared by its files: GLDevice.cpp (context, buffers, draws),
// GLDeviceTexture.cpp (textures and their mipmap chains), GLDeviceState.cpp (device state to
// GL state), GLDeviceShader.cpp (the shader program), GLDeviceKept.cpp and GLDeviceWindow.cpp
// (the picture kept between frames). Only those files include this header.
#pragma once

#include "render/GLDevice.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <array>
#include <cstring>
#include <vector>

struct TContextToken
{
};

// A range of the shared buffer drawn as an indexed mesh. The buffer holds every triangle
// corner as its own vertex; the copy keeps each distinct vertex of the range once, so the
// vertex stage lights a corner shared by several triangles once instead of once per
// triangle. The triangles and their order stay as they were.
struct TIndexedRange
{
    int StartVertex = 0;
    int VertexCount = 0;
    GLint BaseVertex = 0;  // first vertex of the range in the copy
    size_t FirstIndex = 0; // first index of the range in the index buffer
};

struct TIndexedMeshes
{
    std::vector<TIndexedRange> Ranges;
    std::vector<TVertex> Vertices;
    std::vector<uint16_t> Indices;

    const TIndexedRange* Find(int start, int count) const
    {
        for (const TIndexedRange& r : Ranges)
        {
            if (r.StartVertex == start && r.VertexCount == count)
            {
                return &r;
            }
        }
        return nullptr;
    }

    // Adds the range with its distinct vertices; null when it has too many to index.
    const TIndexedRange* Add(std::span<const TVertex> range, int start)
    {
        TIndexedRange r;
        r.StartVertex = start;
        r.VertexCount = static_cast<int>(range.size());
        r.BaseVertex = static_cast<GLint>(Vertices.size());
        r.FirstIndex = Indices.size();
        std::vector<TVertex> distinct;
        std::vector<uint16_t> indices;
        indices.reserve(range.size());
        for (const TVertex& v : range)
        {
            size_t i = 0;
            while (i < distinct.size() && std::memcmp(&distinct[i], &v, sizeof(TVertex)) != 0)
            {
                ++i;
            }
            if (i == distinct.size())
            {
                if (distinct.size() > 0xFFFF)
                {
                    return nullptr;
                }
                distinct.push_back(v);
            }
            indices.push_back(static_cast<uint16_t>(i));
        }
        Vertices.insert(Vertices.end(), distinct.begin(), distinct.end());
        Indices.insert(Indices.end(), indices.begin(), indices.end());
        Ranges.push_back(r);
        return &Ranges.back();
    }

    void Clear()
    {
        Ranges.clear();
        Vertices.clear();
        Indices.clear();
    }
};

// Ranges of fewer triangles (the quads) are drawn straight from the shared buffer.
constexpr int MinIndexedTriangles = 8;

class TGLTexture final : public TDeviceTexture
{
public:
    TGLTexture(int w, int h, bool mip, GLuint id, std::weak_ptr<TContextToken> context)
        : TDeviceTexture(w, h, mip), Id(id), Context(std::move(context))
    {
    }
    ~TGLTexture() override
    {
        if (!Context.expired())
        {
            glDeleteTextures(1, &Id);
        }
    }
    const GLuint Id;

private:
    std::weak_ptr<TContextToken> Context;
};

struct TGLDevice::TImpl
{
    SDL_GLContext Context = nullptr;
    std::shared_ptr<TContextToken> Alive = std::make_shared<TContextToken>();
    GLuint Program = 0;
    GLuint Vao = 0, Vbo = 0;
    GLuint StreamVao = 0, StreamVbo = 0;
    // The shared buffer as written, and the indexed copy of the ranges drawn as meshes.
    std::vector<TVertex> Shadow;
    TIndexedMeshes Meshes;
    GLuint MeshVao = 0, MeshVbo = 0, MeshIbo = 0;
    bool MeshesUploaded = true;
    size_t StreamCapacity = 0;
    int VertexCount = 0;
    // [mag linear][min linear][mip filter: none, point, linear]
    GLuint Samplers[2][2][3] = {};

    struct
    {
        GLint WorldView, Proj, NormalMatrix, PixelShift, Lighting, Normalize, Specular, Ambient;
        GLint MatAmbient, MatSpecular, Power, LightOn, LightPos, LightDiffuse, LightSpecular;
        GLint LightAmbient, LightParams, Texture, ColourMode, AlphaMode;
    } U{};

    // What GL has now; -1 / unset means unknown.
    bool Known = false;
    TMatrix World, View, Proj;
    bool WorldIsStream = false;
    TMaterial Material;
    std::array<TLight, 2> Lights{};
    std::array<bool, 2> LightOn{};
    std::array<uint32_t, rsCount> RS{};
    int ColourMode = -1, AlphaMode = -1;
    const TTexture* Texture = nullptr;
    GLuint Sampler = 0;
    int ViewW = 0, ViewH = 0;
    bool ViewKept = false; // the viewport was set for the kept picture
    // The kept picture: a framebuffer of the window's size with the window's formats.
    bool Keep = false;
    GLenum KeptColourFormat = GL_RGB8, KeptDepthFormat = GL_NONE;
    GLuint KeptFbo = 0, KeptColour = 0, KeptDepth = 0;
    int KeptW = 0, KeptH = 0;
    bool KeptBound = false; // the frame under way draws into it
    bool KeptValid = false; // it holds the last frame shown
    // Kept in the window itself (WindowShowsRegions): a region frame is drawn into the back
    // buffer inside its scissor rectangle and only that region is shown; no copy is made.
    bool InWindow = false;
    bool WindowFrame = false; // the frame under way is kept in the window
    int ShownX = 0, ShownY = 0, ShownW = 0, ShownH = 0; // its region, rows from the bottom
    bool RegionOnly = false; // only that region is shown
    // Whole frames swapped at the drawable's present size. Mesa's X11 drawables take a new
    // window size only at a swap, so the first whole frame after a resize may be drawn at
    // the size before; from the second on the window holds a picture of its own size.
    int SwapW = 0, SwapH = 0, SwapsAtSize = 0;
};

// The device's result for the errors GL has raised since the last call (and clears them).
TResult GLFailure();

// True when the current GL context's window can show one region of its back buffer and
// leave the rest of the window as it was (GLX_MESA_copy_sub_buffer).
bool WindowShowsRegions();
// Shows that region of the back buffer in the window (x, y from the lower left).
void ShowWindowRegion(int x, int y, int width, int height);
