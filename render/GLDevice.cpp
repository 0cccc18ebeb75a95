#include "render/GLDevice.h"

#include "render/GLDeviceMargins.h"
#include "base/DebugLog.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
const char* const VertexShader = R"(#version 330 core
layout(location = 0) in vec3 aPos;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec4 aColour;
layout(location = 3) in vec2 aUV;

uniform mat4 uWorldView;
uniform mat4 uProj;
uniform mat3 uNormalMatrix;
uniform vec2 uPixelShift;
uniform bool uLighting;
uniform bool uNormalize;
uniform bool uSpecular;
uniform vec3 uAmbient;
uniform vec3 uMatAmbient;
uniform vec3 uMatSpecular;
uniform float uPower;
uniform bool uLightOn[2];
uniform vec3 uLightPos[2];
uniform vec3 uLightDiffuse[2];
uniform vec3 uLightSpecular[2];
uniform vec3 uLightAmbient[2];
uniform vec4 uLightParams[2]; // range, attenuation 0, 1, 2

out vec4 vDiffuse;
out vec3 vSpecular;
out vec2 vUV;

void main()
{
    vec4 p = uWorldView * vec4(aPos, 1.0);
    vec4 clip = uProj * p;
    // Depth 0..1 of the game's projection into GL's -1..1; pixel centres on integers.
    clip.z = 2.0 * clip.z - clip.w;
    clip.xy += uPixelShift * clip.w;
    gl_Position = clip;
    vUV = aUV;
    if (!uLighting)
    {
        vDiffuse = aColour;
        vSpecular = vec3(0.0);
        return;
    }
    vec3 n = uNormalMatrix * aNormal;
    if (uNormalize && dot(n, n) > 0.0)
    {
        n = normalize(n);
    }
    vec3 viewDir = normalize(-p.xyz);
    vec3 ambient = uAmbient;
    vec3 diffuse = vec3(0.0);
    vec3 specular = vec3(0.0);
    for (int i = 0; i < 2; ++i)
    {
        if (!uLightOn[i])
        {
            continue;
        }
        vec3 toLight = uLightPos[i] - p.xyz;
        float d = length(toLight);
        if (d > uLightParams[i].x)
        {
            continue;
        }
        float att = 1.0 / (uLightParams[i].y + uLightParams[i].z * d + uLightParams[i].w * d * d);
        vec3 l = d > 0.0 ? toLight / d : vec3(0.0, 0.0, 1.0);
        ambient += uLightAmbient[i] * att;
        float nl = dot(n, l);
        if (nl > 0.0)
        {
            diffuse += uLightDiffuse[i] * nl * att;
            if (uSpecular)
            {
                float nh = max(dot(n, normalize(l + viewDir)), 0.0);
                float f = uPower > 0.0 ? pow(nh, uPower) : 1.0;
                specular += uLightSpecular[i] * f * att;
            }
        }
    }
    vDiffuse = vec4(clamp(uMatAmbient * ambient + aColour.rgb * diffuse, 0.0, 1.0), aColour.a);
    vSpecular = clamp(uMatSpecular * specular, 0.0, 1.0);
}
)";

const char* const FragmentShader = R"(#version 330 core
in vec4 vDiffuse;
in vec3 vSpecular;
in vec2 vUV;
uniform sampler2D uTexture;
uniform int uColourMode; // 0 diffuse, 1 texture, 2 texture x diffuse
uniform int uAlphaMode;
out vec4 fragColour;

void main()
{
    vec4 t = vec4(1.0);
    if (uColourMode != 0 || uAlphaMode != 0)
    {
        t = texture(uTexture, vUV);
    }
    vec3 c = uColourMode == 0 ? vDiffuse.rgb : (uColourMode == 1 ? t.rgb : t.rgb * vDiffuse.rgb);
    float a = uAlphaMode == 0 ? vDiffuse.a : (uAlphaMode == 1 ? t.a : t.a * vDiffuse.a);
    fragColour = vec4(min(c + vSpecular, vec3(1.0)), a);
}
)";

// Which arguments a stage operation reads and how: 0 diffuse, 1 texture, 2 modulate.
int StageMode(uint32_t op, uint32_t arg1, uint32_t arg2, bool hasTexture)
{
    bool tex1 = arg1 == taTexture;
    bool tex2 = arg2 == taTexture;
    switch (op)
    {
    case toSelectArg1:
        tex2 = false;
        break;
    case toSelectArg2:
        tex1 = tex2;
        tex2 = false;
        break;
    case toModulate:
        break;
    default:
        return 0;
    }
    if (!tex1 && !tex2)
    {
        return 0;
    }
    if (!hasTexture)
    {
        return 0; // an empty stage passes the diffuse colour through
    }
    if (op == toModulate && tex1 != tex2)
    {
        return 2;
    }
    return 1;
}

GLenum BlendFactor(uint32_t b)
{
    switch (b)
    {
    case blZero:
        return GL_ZERO;
    case blOne:
        return GL_ONE;
    case blSrcAlpha:
        return GL_SRC_ALPHA;
    case blInvSrcAlpha:
        return GL_ONE_MINUS_SRC_ALPHA;
    default:
        return GL_ONE;
    }
}

TVector3 ToView(const TVector3& p, const TMatrix& view)
{
    return TransformPoint(p, view);
}

// The row-vector normal matrix: inverse transpose of the upper 3 x 3 of m.
void NormalMatrix(const TMatrix& m, float out[9])
{
    const float a = m.m[0][0], b = m.m[0][1], c = m.m[0][2];
    const float d = m.m[1][0], e = m.m[1][1], f = m.m[1][2];
    const float g = m.m[2][0], h = m.m[2][1], i = m.m[2][2];
    const float A = e * i - f * h, B = -(d * i - f * g), C = d * h - e * g;
    const float D = -(b * i - c * h), E = a * i - c * g, F = -(a * h - b * g);
    const float G = b * f - c * e, H = -(a * f - c * d), I = a * e - b * d;
    const float det = a * A + b * B + c * C;
    if (std::fabs(det) < 1e-12f)
    {
        // A flattened object: its normals keep their direction.
        const float r[9] = {a, b, c, d, e, f, g, h, i};
        std::memcpy(out, r, sizeof(r));
        return;
    }
    // inverse = adjugate / det; the inverse transpose is the cofactor matrix / det.
    const float r[9] = {A / det, B / det, C / det, D / det, E / det,
                        F / det, G / det, H / det, I / det};
    std::memcpy(out, r, sizeof(r));
}

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

} // namespace

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
};

namespace
{
GLuint Compile(GLenum kind, const char* source, std::string* error)
{
    const GLuint s = glCreateShader(kind);
    glShaderSource(s, 1, &source, nullptr);
    glCompileShader(s);
    GLint ok = 0;
    glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
    if (!ok)
    {
        char log[2048] = {};
        glGetShaderInfoLog(s, sizeof(log), nullptr, log);
        if (error)
        {
            *error = std::string("shader: ") + log;
        }
        glDeleteShader(s);
        return 0;
    }
    return s;
}

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
} // namespace

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

    const GLuint vs = Compile(GL_VERTEX_SHADER, VertexShader, error);
    const GLuint fs = Compile(GL_FRAGMENT_SHADER, FragmentShader, error);
    if (vs == 0 || fs == 0)
    {
        return false;
    }
    TImpl& g = *Impl;
    g.Program = glCreateProgram();
    glAttachShader(g.Program, vs);
    glAttachShader(g.Program, fs);
    glLinkProgram(g.Program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint linked = 0;
    glGetProgramiv(g.Program, GL_LINK_STATUS, &linked);
    if (!linked)
    {
        if (error)
        {
            *error = "shader program does not link";
        }
        return false;
    }
    glUseProgram(g.Program);
    auto loc = [&](const char* name) { return glGetUniformLocation(g.Program, name); };
    g.U.WorldView = loc("uWorldView");
    g.U.Proj = loc("uProj");
    g.U.NormalMatrix = loc("uNormalMatrix");
    g.U.PixelShift = loc("uPixelShift");
    g.U.Lighting = loc("uLighting");
    g.U.Normalize = loc("uNormalize");
    g.U.Specular = loc("uSpecular");
    g.U.Ambient = loc("uAmbient");
    g.U.MatAmbient = loc("uMatAmbient");
    g.U.MatSpecular = loc("uMatSpecular");
    g.U.Power = loc("uPower");
    g.U.LightOn = loc("uLightOn");
    g.U.LightPos = loc("uLightPos");
    g.U.LightDiffuse = loc("uLightDiffuse");
    g.U.LightSpecular = loc("uLightSpecular");
    g.U.LightAmbient = loc("uLightAmbient");
    g.U.LightParams = loc("uLightParams");
    g.U.Texture = loc("uTexture");
    g.U.ColourMode = loc("uColourMode");
    g.U.AlphaMode = loc("uAlphaMode");
    glUniform1i(g.U.Texture, 0);

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
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(Win, &w, &h);
    if (const TPictureArea a = PictureArea(w, h); !a.Fills(w, h))
    {
        if (!Margins)
        {
            Margins = std::make_unique<TGLMargins>();
        }
        Margins->Fill(w, h, a);
        glUseProgram(Impl->Program);
        Impl->Known = false; // every state is sent again at the next draw
        Impl->Texture = nullptr;
    }
    if (SwapOnPresent)
    {
        SDL_GL_SwapWindow(Win);
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

void TGLDevice::ApplyState(bool streamed)
{
    TImpl& g = *Impl;
    const TDeviceState& s = Current;
    const bool all = !g.Known;
    const auto& rs = s.RenderStates;

    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(Win, &w, &h);
    if (all || w != g.ViewW || h != g.ViewH)
    {
        // The scene is drawn into the picture's area; on a 4:3 window that is all of it.
        const TPictureArea a = PictureArea(w, h);
        glViewport(a.Left, h - a.Top - a.Height, a.Width, a.Height);
        glUniform2f(g.U.PixelShift, a.Width > 0 ? 1.0f / a.Width : 0.0f, a.Height > 0 ? -1.0f / a.Height : 0.0f);
        g.ViewW = w;
        g.ViewH = h;
    }

    // Fixed-function pipeline states.
    if (all || rs[rsCullMode] != g.RS[rsCullMode])
    {
        if (rs[rsCullMode] == cuNone)
        {
            glDisable(GL_CULL_FACE);
        }
        else
        {
            glEnable(GL_CULL_FACE);
            glCullFace(GL_BACK);
            // Clockwise on the screen is clockwise in GL's window space too.
            glFrontFace(rs[rsCullMode] == cuCW ? GL_CCW : GL_CW);
        }
    }
    if (all || rs[rsZEnable] != g.RS[rsZEnable] || rs[rsZWriteEnable] != g.RS[rsZWriteEnable] ||
        rs[rsZFunc] != g.RS[rsZFunc])
    {
        if (rs[rsZEnable])
        {
            glEnable(GL_DEPTH_TEST);
        }
        else
        {
            glDisable(GL_DEPTH_TEST); // also stops depth writes
        }
        glDepthMask(rs[rsZWriteEnable] ? GL_TRUE : GL_FALSE);
        glDepthFunc(rs[rsZFunc] == cmLess ? GL_LESS : GL_LEQUAL);
    }
    if (all || rs[rsAlphaBlendEnable] != g.RS[rsAlphaBlendEnable])
    {
        if (rs[rsAlphaBlendEnable])
        {
            glEnable(GL_BLEND);
        }
        else
        {
            glDisable(GL_BLEND);
        }
    }
    if (all || rs[rsSrcBlend] != g.RS[rsSrcBlend] || rs[rsDestBlend] != g.RS[rsDestBlend])
    {
        glBlendFunc(BlendFactor(rs[rsSrcBlend]), BlendFactor(rs[rsDestBlend]));
    }

    // Transforms.
    const TMatrix world = streamed ? IdentityMatrix() : s.World;
    const bool worldChanged = all || !(world == g.World) || !(s.View == g.View);
    if (worldChanged)
    {
        const TMatrix wv = MatrixMultiply(world, s.View);
        glUniformMatrix4fv(g.U.WorldView, 1, GL_FALSE, &wv.m[0][0]);
        float n[9];
        NormalMatrix(wv, n);
        glUniformMatrix3fv(g.U.NormalMatrix, 1, GL_FALSE, n);
    }
    if (all || !(s.Projection == g.Proj))
    {
        glUniformMatrix4fv(g.U.Proj, 1, GL_FALSE, &s.Projection.m[0][0]);
    }

    // Lighting.
    if (all || rs[rsLighting] != g.RS[rsLighting])
    {
        glUniform1i(g.U.Lighting, rs[rsLighting] ? 1 : 0);
    }
    if (all || rs[rsNormalizeNormals] != g.RS[rsNormalizeNormals])
    {
        glUniform1i(g.U.Normalize, rs[rsNormalizeNormals] ? 1 : 0);
    }
    if (all || rs[rsSpecularEnable] != g.RS[rsSpecularEnable])
    {
        glUniform1i(g.U.Specular, rs[rsSpecularEnable] ? 1 : 0);
    }
    if (all || rs[rsAmbient] != g.RS[rsAmbient])
    {
        const uint32_t a = rs[rsAmbient];
        glUniform3f(g.U.Ambient, ((a >> 16) & 0xFF) / 255.0f, ((a >> 8) & 0xFF) / 255.0f,
                    (a & 0xFF) / 255.0f);
    }
    if (all || !(s.Material == g.Material))
    {
        const TMaterial& m = s.Material;
        glUniform3f(g.U.MatAmbient, m.Ambient.r, m.Ambient.g, m.Ambient.b);
        glUniform3f(g.U.MatSpecular, m.Specular.r, m.Specular.g, m.Specular.b);
        glUniform1f(g.U.Power, m.Power);
    }
    if (all || !(s.Lights == g.Lights) || !(s.View == g.View))
    {
        float pos[6], dif[6], spe[6], amb[6], par[8];
        for (int i = 0; i < 2; ++i)
        {
            const TLight& l = s.Lights[i];
            const TVector3 p = ToView(l.Position, s.View);
            const float v[3] = {p.x, p.y, p.z};
            std::memcpy(pos + 3 * i, v, sizeof(v));
            const float d[3] = {l.Diffuse.r, l.Diffuse.g, l.Diffuse.b};
            std::memcpy(dif + 3 * i, d, sizeof(d));
            const float sp[3] = {l.Specular.r, l.Specular.g, l.Specular.b};
            std::memcpy(spe + 3 * i, sp, sizeof(sp));
            const float am[3] = {l.Ambient.r, l.Ambient.g, l.Ambient.b};
            std::memcpy(amb + 3 * i, am, sizeof(am));
            const float pa[4] = {l.Range, l.Attenuation0, l.Attenuation1, l.Attenuation2};
            std::memcpy(par + 4 * i, pa, sizeof(pa));
        }
        glUniform3fv(g.U.LightPos, 2, pos);
        glUniform3fv(g.U.LightDiffuse, 2, dif);
        glUniform3fv(g.U.LightSpecular, 2, spe);
        glUniform3fv(g.U.LightAmbient, 2, amb);
        glUniform4fv(g.U.LightParams, 2, par);
    }
    if (all || !(s.LightEnabled == g.LightOn))
    {
        const GLint on[2] = {s.LightEnabled[0] ? 1 : 0, s.LightEnabled[1] ? 1 : 0};
        glUniform1iv(g.U.LightOn, 2, on);
    }

    // Texture stage 0.
    const auto* texture = dynamic_cast<const TGLTexture*>(s.Texture.get());
    const auto& ts = s.StageStates;
    const int colourMode =
        StageMode(ts[tsColorOp], ts[tsColorArg1], ts[tsColorArg2], texture != nullptr);
    const int alphaMode =
        StageMode(ts[tsAlphaOp], ts[tsAlphaArg1], ts[tsAlphaArg2], texture != nullptr);
    if (all || colourMode != g.ColourMode)
    {
        glUniform1i(g.U.ColourMode, colourMode);
        g.ColourMode = colourMode;
    }
    if (all || alphaMode != g.AlphaMode)
    {
        glUniform1i(g.U.AlphaMode, alphaMode);
        g.AlphaMode = alphaMode;
    }
    if (texture != nullptr)
    {
        if (all || texture != g.Texture)
        {
            glBindTexture(GL_TEXTURE_2D, texture->Id);
            g.Texture = texture;
        }
        const int mag = ts[tsMagFilter] == tfLinear ? 1 : 0;
        const int min = ts[tsMinFilter] == tfLinear ? 1 : 0;
        // The mip filter of the stage decides whether the chain is read at all: with NONE,
        // the device's default, only the full-size picture is sampled.
        int mip = 0;
        if (texture->Mipmapped && ts[tsMipFilter] != tfNone)
        {
            mip = ts[tsMipFilter] == tfLinear ? 2 : 1;
        }
        const GLuint sampler = g.Samplers[mag][min][mip];
        if (all || sampler != g.Sampler)
        {
            glBindSampler(0, sampler);
            g.Sampler = sampler;
        }
    }

    g.World = world;
    g.View = s.View;
    g.Proj = s.Projection;
    g.Material = s.Material;
    g.Lights = s.Lights;
    g.LightOn = s.LightEnabled;
    g.RS = rs;
    g.Known = true;
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

TTextureRef TGLDevice::CreateTexture(const TImage& image, bool mipmapped)
{
    if (image.Width <= 0 || image.Height <= 0 ||
        image.Pixels.size() != static_cast<size_t>(image.Width) * image.Height)
    {
        return nullptr;
    }
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image.Width, image.Height, 0, GL_BGRA,
                 GL_UNSIGNED_BYTE, image.Pixels.data());
    int levels = 0;
    if (mipmapped)
    {
        int size = std::max(image.Width, image.Height);
        while (size > 1)
        {
            size /= 2;
            ++levels;
        }
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, levels);
        glGenerateMipmap(GL_TEXTURE_2D);
    }
    else
    {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    }
    Impl->Texture = nullptr; // the binding changed
    if (Failed(GLFailure()))
    {
        glDeleteTextures(1, &id);
        return nullptr;
    }
    return std::make_shared<TGLTexture>(image.Width, image.Height, mipmapped, id, Impl->Alive);
}

TImage TGLDevice::ReadBackBuffer() const
{
    TImage img;
    SDL_GL_GetDrawableSize(Win, &img.Width, &img.Height);
    std::vector<uint32_t> rows(static_cast<size_t>(img.Width) * img.Height);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, img.Width, img.Height, GL_BGRA, GL_UNSIGNED_BYTE, rows.data());
    img.Pixels.resize(rows.size());
    for (int y = 0; y < img.Height; ++y)
    {
        std::memcpy(&img.Pixels[static_cast<size_t>(y) * img.Width],
                    &rows[static_cast<size_t>(img.Height - 1 - y) * img.Width],
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
