#include "render/GLDevice_local.h"

#include "render/GLDeviceMargins.h"
#include "base/DebugLog.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
void SetVertexLayout()
{
    const auto stride = static_cast<GLsizei>(sizeof(TVertex));
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(offsetof(TVertex, x)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(offsetof(TVertex, nx)));
    // 0xAARRGGBB is B, G, R, A in memory.
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          reinterpret_cast<void*>(offsetof(TVertex, Diffuse)));
    glEnableVertexAttribArray(3);
    glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(offsetof(TVertex, u)));
}

} // namespace

TResult GLFailure()
{
    GLenum e = glGetError();
    TResult r = D3D_OK;
    while (e != GL_NO_ERROR)
    {
        if (e == GL_OUT_OF_MEMORY)
        {
            r = E_OUTOFMEMORY;
        }
        else if (r == D3D_OK)
        {
            r = D3DERR_DRIVERINTERNALERROR;
        }
        e = glGetError();
    }
    return r;
}

void SetDeviceAttributes(const TDeviceParams& params)
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, params.Depth ? 16 : 0);
    if (params.ColourBits == 16)
    {
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 6);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
        SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    }
    else
    {
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    }
    if (params.Hardware)
    {
        SDL_GL_SetAttribute(SDL_GL_ACCELERATED_VISUAL, 1);
    }
    else
    {
        // The reference device: Mesa's software rasteriser.
        SDL_GL_SetAttribute(SDL_GL_ACCELERATED_VISUAL, 0);
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    }
}

TGLDevice::TGLDevice(SDL_Window* window) : Win(window), Impl(std::make_unique<TImpl>()) {}

std::shared_ptr<TGLDevice> TGLDevice::Create(SDL_Window* window, const TDeviceParams& params,
                                             std::string* error)
{
    if (window == nullptr || (SDL_GetWindowFlags(window) & SDL_WINDOW_OPENGL) == 0)
    {
        if (error)
        {
            *error = "the window was not made for OpenGL";
        }
        return nullptr;
    }
    std::shared_ptr<TGLDevice> device(new TGLDevice(window));
    if (!device->Init(params, error))
    {
        return nullptr;
    }
    return device;
}

bool TGLDevice::Init(const TDeviceParams& params, std::string* error)
{
    SetDeviceAttributes(params);
    Impl->Context = SDL_GL_CreateContext(Win);
    if (Impl->Context == nullptr)
    {
        if (error)
        {
            *error = SDL_GetError();
        }
        return false;
    }
    SDL_GL_MakeCurrent(Win, Impl->Context);
    if (epoxy_gl_version() < 33)
    {
        if (error)
        {
            *error = "OpenGL 3.3 is not available";
        }
        return false;
    }
    if (!params.Hardware)
    {
        const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        if (renderer == nullptr || (std::strstr(renderer, "llvmpipe") == nullptr &&
                                    std::strstr(renderer, "softpipe") == nullptr &&
                                    std::strstr(renderer, "Software") == nullptr))
        {
            if (error)
            {
                *error = "no software rasteriser";
            }
            return false;
        }
    }

    if (!MakeProgram(error))
    {
        return false;
    }
    TImpl& g = *Impl;

    glGenVertexArrays(1, &g.StreamVao);
    glGenBuffers(1, &g.StreamVbo);
    glBindVertexArray(g.StreamVao);
    glBindBuffer(GL_ARRAY_BUFFER, g.StreamVbo);
    SetVertexLayout();

    glGenVertexArrays(1, &g.MeshVao);
    glGenBuffers(1, &g.MeshVbo);
    glGenBuffers(1, &g.MeshIbo);
    glBindVertexArray(g.MeshVao);
    glBindBuffer(GL_ARRAY_BUFFER, g.MeshVbo);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, g.MeshIbo);
    SetVertexLayout();

    for (int mag = 0; mag < 2; ++mag)
    {
        for (int min = 0; min < 2; ++min)
        {
            for (int mip = 0; mip < 3; ++mip)
            {
                GLuint s = 0;
                glGenSamplers(1, &s);
                glSamplerParameteri(s, GL_TEXTURE_WRAP_S, GL_REPEAT);
                glSamplerParameteri(s, GL_TEXTURE_WRAP_T, GL_REPEAT);
                glSamplerParameteri(s, GL_TEXTURE_MAG_FILTER, mag ? GL_LINEAR : GL_NEAREST);
                static const GLint MinFilters[2][3] = {
                    {GL_NEAREST, GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST_MIPMAP_LINEAR},
                    {GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR_MIPMAP_LINEAR}};
                const GLint minFilter = MinFilters[min][mip];
                glSamplerParameteri(s, GL_TEXTURE_MIN_FILTER, minFilter);
                g.Samplers[mag][min][mip] = s;
            }
        }
    }
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_CULL_FACE);

    if (params.Fullscreen)
    {
        SDL_DisplayMode mode{};
        mode.w = params.Width;
        mode.h = params.Height;
        SDL_DisplayMode closest{};
        const int display = std::max(0, SDL_GetWindowDisplayIndex(Win));
        if (SDL_GetClosestDisplayMode(display, &mode, &closest) == nullptr ||
            SDL_SetWindowDisplayMode(Win, &closest) != 0 ||
            SDL_SetWindowFullscreen(Win, SDL_WINDOW_FULLSCREEN) != 0)
        {
            // A mode the display cannot take: full screen at the desktop's size instead.
            DebugLog(" Display mode " + std::to_string(params.Width) + "x" + std::to_string(params.Height) +
                     " cannot be set (" + SDL_GetError() + "): the desktop's size is used");
            if (SDL_SetWindowFullscreen(Win, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
            {
                if (error)
                {
                    *error = SDL_GetError();
                }
                return false;
            }
        }
    }
    SDL_GL_SetSwapInterval(1);
    return GLFailure() == D3D_OK;
}

TGLDevice::~TGLDevice()
{
    Current.Texture.reset();
    // After the window has gone the context cannot be made current: then GL is left alone.
    if (Impl->Context != nullptr && SDL_WasInit(SDL_INIT_VIDEO) != 0 &&
        SDL_GL_MakeCurrent(Win, Impl->Context) == 0)
    {
        TImpl& g = *Impl;
        Margins.reset();
        ReleaseKeptPicture();
        glDeleteBuffers(1, &g.Vbo);
        glDeleteVertexArrays(1, &g.Vao);
        glDeleteBuffers(1, &g.StreamVbo);
        glDeleteVertexArrays(1, &g.StreamVao);
        glDeleteBuffers(1, &g.MeshVbo);
        glDeleteBuffers(1, &g.MeshIbo);
        glDeleteVertexArrays(1, &g.MeshVao);
        glDeleteProgram(g.Program);
        g.Alive.reset(); // textures that outlive the context no longer touch GL
        SDL_GL_DeleteContext(g.Context);
    }
    else
    {
        (void)Margins.release(); // its GL objects went with the context
    }
}

TPictureArea TGLDevice::Area() const
{
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(Win, &w, &h);
    return PictureArea(w, h);
}

int TGLDevice::Width() const
{
    return Area().Width;
}

int TGLDevice::Height() const
{
    return Area().Height;
}

TResult TGLDevice::Clear(uint32_t flags, uint32_t colour, float z)
{
    GLbitfield bits = 0;
    if (flags & clTarget)
    {
        glClearColor(((colour >> 16) & 0xFF) / 255.0f, ((colour >> 8) & 0xFF) / 255.0f,
                     (colour & 0xFF) / 255.0f, ((colour >> 24) & 0xFF) / 255.0f);
        bits |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & clZBuffer)
    {
        glClearDepth(z);
        glDepthMask(GL_TRUE);
        Impl->Known = false; // the depth mask is set again at the next draw
        bits |= GL_DEPTH_BUFFER_BIT;
    }
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(Win, &w, &h);
    glViewport(0, 0, w, h);
    glClear(bits);
    return GLFailure();
}

TResult TGLDevice::BeginScene()
{
    if (InScene)
    {
        return D3DERR_INVALIDCALL;
    }
    InScene = true;
    return D3D_OK;
}

TResult TGLDevice::EndScene()
{
    if (!InScene)
    {
        return D3DERR_INVALIDCALL;
    }
    InScene = false;
    return GLFailure();
}

TResult TGLDevice::Present()
{
    const bool regionOnly = ShowKeptPicture();
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(Win, &w, &h);
    const TPictureArea a = PictureArea(w, h);
    // A region frame near the picture's edges changes what the bands beside it show.
    const bool shown = Impl->ShownW > 0 && Impl->ShownH > 0;
    const int shownRect[4] = {Impl->ShownX, Impl->ShownY, Impl->ShownW, Impl->ShownH};
    const bool bands = !a.Fills(w, h) && (!regionOnly || (shown && TGLMargins::Reads(w, h, a, Impl->ShownX, Impl->ShownY,
                                                                                     Impl->ShownW, Impl->ShownH)));
    if (bands)
    {
        if (!Margins)
        {
            Margins = std::make_unique<TGLMargins>();
        }
        Margins->Fill(w, h, a, regionOnly ? shownRect : nullptr);
        glUseProgram(Impl->Program);
        Impl->Known = false; // every state is sent again at the next draw
        Impl->Texture = nullptr;
    }
    if (regionOnly)
    {
        // The rest of the window shows the frames before, as they left it.
        if (SwapOnPresent && shown)
        {
            ShowWindowRegion(Impl->ShownX, Impl->ShownY, Impl->ShownW, Impl->ShownH);
        }
        int rects[2][4];
        for (int i = 0, n = SwapOnPresent && bands ? TGLMargins::Bands(w, h, a, rects, shownRect) : 0; i < n; ++i)
        {
            if (rects[i][2] > 0 && rects[i][3] > 0)
            {
                ShowWindowRegion(rects[i][0], rects[i][1], rects[i][2], rects[i][3]);
            }
        }
    }
    else
    {
        if (SwapOnPresent)
        {
            SDL_GL_SwapWindow(Win);
        }
        TImpl& g = *Impl;
        g.SwapsAtSize = w == g.SwapW && h == g.SwapH ? std::min(g.SwapsAtSize + 1, 2) : 1;
        g.SwapW = w;
        g.SwapH = h;
    }
    return GLFailure();
}

TResult TGLDevice::CreateVertexBuffer(int vertexCount)
{
    ReleaseVertexBuffer();
    TImpl& g = *Impl;
    glGenVertexArrays(1, &g.Vao);
    glGenBuffers(1, &g.Vbo);
    glBindVertexArray(g.Vao);
    glBindBuffer(GL_ARRAY_BUFFER, g.Vbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertexCount * sizeof(TVertex)), nullptr,
                 GL_STATIC_DRAW);
    SetVertexLayout();
    g.VertexCount = vertexCount;
    g.Shadow.assign(static_cast<size_t>(vertexCount), TVertex{});
    g.Meshes.Clear();
    const TResult r = GLFailure();
    if (Failed(r))
    {
        ReleaseVertexBuffer();
    }
    return r;
}

void TGLDevice::ReleaseVertexBuffer()
{
    TImpl& g = *Impl;
    if (g.Vbo != 0)
    {
        glDeleteBuffers(1, &g.Vbo);
        glDeleteVertexArrays(1, &g.Vao);
    }
    g.Vbo = 0;
    g.Vao = 0;
    g.VertexCount = 0;
    g.Shadow.clear();
    g.Meshes.Clear();
}

bool TGLDevice::HasVertexBuffer() const
{
    return Impl->Vbo != 0;
}

TResult TGLDevice::WriteVertices(int firstVertex, std::span<const TVertex> vertices)
{
    TImpl& g = *Impl;
    if (g.Vbo == 0 || firstVertex < 0 ||
        firstVertex + static_cast<int>(vertices.size()) > g.VertexCount)
    {
        return D3DERR_INVALIDCALL;
    }
    glBindBuffer(GL_ARRAY_BUFFER, g.Vbo);
    glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(firstVertex * sizeof(TVertex)),
                    static_cast<GLsizeiptr>(vertices.size_bytes()), vertices.data());
    std::copy(vertices.begin(), vertices.end(), g.Shadow.begin() + firstVertex);
    const int end = firstVertex + static_cast<int>(vertices.size());
    for (const TIndexedRange& r : g.Meshes.Ranges)
    {
        if (r.StartVertex < end && firstVertex < r.StartVertex + r.VertexCount)
        {
            g.Meshes.Clear(); // made again from the new vertices when next drawn
            break;
        }
    }
    return D3D_OK;
}
TResult TGLDevice::Draw(int startVertex, int vertexCount, bool streamed)
{
    ApplyState(streamed);
    glDrawArrays(GL_TRIANGLES, startVertex, vertexCount);
    ++DrawCallCount;
    return D3D_OK;
}

TResult TGLDevice::DrawPrimitive(int startVertex, int primitiveCount)
{
    TImpl& g = *Impl;
    if (g.Vbo == 0 || startVertex < 0 || primitiveCount < 0 ||
        startVertex + 3 * primitiveCount > g.VertexCount)
    {
        return D3DERR_INVALIDCALL;
    }
    const int count = 3 * primitiveCount;
    const TIndexedRange* mesh = nullptr;
    if (primitiveCount >= MinIndexedTriangles)
    {
        mesh = g.Meshes.Find(startVertex, count);
        if (mesh == nullptr)
        {
            mesh = g.Meshes.Add(std::span<const TVertex>(g.Shadow).subspan(startVertex, count),
                                startVertex);
            g.MeshesUploaded = false;
        }
    }
    if (mesh == nullptr)
    {
        glBindVertexArray(g.Vao);
        return Draw(startVertex, count, false);
    }
    glBindVertexArray(g.MeshVao);
    if (!g.MeshesUploaded)
    {
        glBindBuffer(GL_ARRAY_BUFFER, g.MeshVbo);
        glBufferData(GL_ARRAY_BUFFER,
                     static_cast<GLsizeiptr>(g.Meshes.Vertices.size() * sizeof(TVertex)),
                     g.Meshes.Vertices.data(), GL_STATIC_DRAW);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                     static_cast<GLsizeiptr>(g.Meshes.Indices.size() * sizeof(uint16_t)),
                     g.Meshes.Indices.data(), GL_STATIC_DRAW);
        g.MeshesUploaded = true;
    }
    ApplyState(false);
    glDrawElementsBaseVertex(GL_TRIANGLES, count, GL_UNSIGNED_SHORT,
                             reinterpret_cast<void*>(mesh->FirstIndex * sizeof(uint16_t)),
                             mesh->BaseVertex);
    ++DrawCallCount;
    return D3D_OK;
}

TResult TGLDevice::DrawStream(std::span<const TVertex> vertices)
{
    if (vertices.empty())
    {
        return D3D_OK;
    }
    TImpl& g = *Impl;
    glBindVertexArray(g.StreamVao);
    glBindBuffer(GL_ARRAY_BUFFER, g.StreamVbo);
    const size_t bytes = vertices.size_bytes();
    if (bytes > g.StreamCapacity)
    {
        g.StreamCapacity = std::max(bytes, static_cast<size_t>(64 * 1024));
    }
    // A fresh store each time: GL need not wait for the previous draw to finish.
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(g.StreamCapacity), nullptr,
                 GL_STREAM_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(bytes), vertices.data());
    return Draw(0, static_cast<int>(vertices.size()), true);
}

TImage TGLDevice::ReadBackBuffer() const
{
    TImage img;
    SDL_GL_GetDrawableSize(Win, &img.Width, &img.Height);
    std::vector<uint32_t> rows(static_cast<size_t>(img.Width) * img.Height);
    // A frame under way is in the kept picture; a finished one in the back buffer.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, Impl->KeptBound ? Impl->KeptFbo : 0);
    glReadBuffer(Impl->KeptBound ? GL_COLOR_ATTACHMENT0 : GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, img.Width, img.Height, GL_BGRA, GL_UNSIGNED_BYTE, rows.data());
    img.Pixels.resize(rows.size());
    for (int y = 0; y < img.Height; ++y)
    {
        // The window's rows come from the bottom, the kept picture's from the top.
        const int row = Impl->KeptBound ? y : img.Height - 1 - y;
        std::memcpy(&img.Pixels[static_cast<size_t>(y) * img.Width], &rows[static_cast<size_t>(row) * img.Width],
                    img.Width * sizeof(uint32_t));
    }
    for (uint32_t& p : img.Pixels)
    {
        p |= 0xFF000000u; // the frame is opaque
    }
    return img;
}

void TGLDevice::Finish() const
{
    glFinish();
}

void TGLDevice::SetScissor(int left, int top, int width, int height)
{
    if (width <= 0)
    {
        glDisable(GL_SCISSOR_TEST);
        return;
    }
    int windowWidth = 0, windowHeight = 0;
    SDL_GL_GetDrawableSize(Win, &windowWidth, &windowHeight);
    glEnable(GL_SCISSOR_TEST);
    glScissor(left, windowHeight - top - height, width, height);
}
