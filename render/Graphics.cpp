#include "render/Graphics.h"

#include "base/DebugLog.h"
#include "render/GLDevice.h"
#include "render/Meshes.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

bool ProjectBox(const TMatrix& m, float half, float depth, int width, int height, TScreenBox& box)
{
    for (int k = 0; k < (depth == 0 ? 4 : 8); ++k)
    {
        const TVector3 c{(k & 1) ? half : -half, (k & 2) ? half : -half, (k & 4) ? depth : -depth};
        const TVector3 q = TransformPoint(c, m);
        const float w = c.x * m.m[0][3] + c.y * m.m[1][3] + c.z * m.m[2][3] + m.m[3][3];
        if (!(w > 0.01f) || !std::isfinite(q.x) || !std::isfinite(q.y))
        {
            return false;
        }
        const float sx = (q.x / w + 1) / 2 * static_cast<float>(width);
        const float sy = (1 - q.y / w) / 2 * static_cast<float>(height);
        box.X0 = std::min(box.X0, sx);
        box.X1 = std::max(box.X1, sx);
        box.Y0 = std::min(box.Y0, sy);
        box.Y1 = std::max(box.Y1, sy);
    }
    return true;
}

bool OutsideRect(const TScreenBox& box, const TFrameRegion& rect)
{
    const auto m = static_cast<float>(BoxMargin);
    return box.X1 + m < static_cast<float>(rect.Left) || box.X0 - m > static_cast<float>(rect.Left + rect.Width) ||
           box.Y1 + m < static_cast<float>(rect.Top) || box.Y0 - m > static_cast<float>(rect.Top + rect.Height);
}

bool TGraphics::OutsidePass(const TMatrix& world, float half, float depth) const
{
    if (Pass == nullptr)
    {
        return false;
    }
    const TDeviceState& st = Device->State();
    const TMatrix m = MatrixMultiply(MatrixMultiply(world, st.View), st.Projection);
    TScreenBox box;
    return ProjectBox(m, half, depth, Device->Width(), Device->Height(), box) && OutsideRect(box, *Pass);
}

bool InitD3D(TGraphics& g, SDL_Window* window, bool fullscreen, int width, int height,
             int colourBits, int /*backBufferCount*/, bool hardware, bool depth)
{
    DebugLog(" Inintialize D3D");
    g.StartError.clear();
    TDeviceParams p;
    p.Fullscreen = fullscreen;
    p.Width = width;
    p.Height = height;
    p.Hardware = hardware;
    p.Depth = depth;
    if (fullscreen)
    {
        if (colourBits != 16 && colourBits != 32)
        {
            g.StartError = "a colour depth of " + std::to_string(colourBits) + " bits is not offered";
            return false;
        }
        p.ColourBits = colourBits;
    }
    else
    {
        // Windowed, the back buffer takes the format of the display.
        SDL_DisplayMode mode{};
        const int display = window != nullptr ? std::max(0, SDL_GetWindowDisplayIndex(window)) : 0;
        if (SDL_GetDesktopDisplayMode(display, &mode) != 0)
        {
            g.StartError = SDL_GetError();
            return false;
        }
        p.ColourBits = SDL_BITSPERPIXEL(mode.format) <= 16 ? 16 : 32;
    }
    g.Device.reset();
    std::string error;
    g.Device = TGLDevice::Create(window, p, &error);
    if (!g.Device)
    {
        g.StartError = error;
        if (const char* trace = std::getenv("TANDREL_TRACE_DEVICE");
            trace != nullptr && *trace == '1')
        {
            std::fprintf(stderr, "device (%s): %s\n", hardware ? "hardware" : "reference",
                         error.c_str());
        }
        return false;
    }
    DebugLog(" D3D initialized");
    return true;
}

void ReleaseDevice(TGraphics& g)
{
    try
    {
        if (g.Device && g.Device->HasVertexBuffer())
        {
            g.Device->ReleaseVertexBuffer();
        }
        DebugLog(" VB released");
        if (g.Device)
        {
            g.Device.reset();
        }
        DebugLog(" D3DDevice released");
        DebugLog(" D3D released");
    }
    catch (...)
    {
        DebugLog(" D3D released with exception");
    }
}

void SetRenderDefaults(TDevice& d)
{
    d.SetRenderState(rsCullMode, cuCW);
    d.SetRenderState(rsZEnable, 1);
    d.SetRenderState(rsNormalizeNormals, StateTrue);
    d.SetRenderState(rsLighting, StateTrue);
    d.SetRenderState(rsAmbient, 0x00666666);
    d.SetRenderState(rsSpecularEnable, StateTrue);
    d.SetTextureStageState(0, tsColorOp, toSelectArg1);
    d.SetTextureStageState(0, tsMagFilter, tfLinear);
    d.SetTextureStageState(0, tsMinFilter, tfLinear);
    d.SetTextureStageState(0, tsAlphaOp, toSelectArg1);
    d.SetRenderState(rsAlphaBlendEnable, StateFalse);
    d.SetRenderState(rsSrcBlend, blSrcAlpha);
    d.SetRenderState(rsDestBlend, blInvSrcAlpha);
}

void SetLights(TGraphics& g)
{
    auto fill = [](TLight& l, float c, TVector3 position, float range, float a0, float a1, float a2)
    {
        l = TLight{};
        l.Diffuse = l.Specular = l.Ambient = {c, c, c, 0};
        l.Position = position;
        l.Range = range;
        l.Attenuation0 = a0;
        l.Attenuation1 = a1;
        l.Attenuation2 = a2;
    };
    fill(g.RoomLight, 0.3f, {RoomCentreX, RoomCentreY, 10.0f}, 16.0f, 1.0f, 0, 0);
    fill(g.CursorLight, 0.8f, {0, 0, 1.05f}, 0.6f, 0.6f, 0, 3.0f);
    g.Device->SetLight(0, g.RoomLight);
    g.Device->SetLight(1, g.CursorLight);
    g.Device->LightEnable(0, true);
    g.Device->LightEnable(1, true);
}

TResult InitVertices(TGraphics& g)
{
    g.Collector = TCollector{};
    g.Collector.Add(2);
    g.Collector.Add(2);
    g.Collector.Add(static_cast<int>(CubeMesh().Faces.size()));
    g.Collector.Add(static_cast<int>(BombMesh().Faces.size()));
    g.Collector.Add(static_cast<int>(StoneMesh().Faces.size()));
    if (!g.Device)
    {
        return E_FAIL;
    }
    const TResult r = g.Device->CreateVertexBuffer(3 * g.Collector.Total);
    if (Failed(r))
    {
        return r;
    }
    std::vector<TVertex> v;
    v.reserve(3 * g.Collector.Total);
    AppendQuad(v, 0.5f, 0.5f, 0, 1, 1);
    AppendQuad(v, 0.5f, 0.5f, 0, 1, 1);
    AppendMesh(CubeMesh(), 1.0f, v);
    AppendMesh(BombMesh(), 1.25f, v);
    AppendMesh(StoneMesh(), 1.0f, v);
    const TResult w = g.Device->WriteVertices(0, v);
    if (!Failed(w))
    {
        DebugLog(" Vertices initialized");
    }
    return w;
}

void SetQuadColour(std::array<TVertex, 6>& quad, uint32_t colour, float z)
{
    quad = QuadVertices(0.5f, 0.5f, z, 1, 1, colour);
}

TResult BuildViewMatrix(TMatrix& out, const TVector3& eye, const TVector3& target,
                        const TVector3& up)
{
    auto dot = [](const TVector3& a, const TVector3& b)
    { return a.x * b.x + a.y * b.y + a.z * b.z; };
    auto length = [&](const TVector3& a) { return std::sqrt(dot(a, a)); };
    TVector3 view{target.x - eye.x, target.y - eye.y, target.z - eye.z};
    float l = length(view);
    if (l < 1e-6f)
    {
        return E_INVALIDARG;
    }
    view = {view.x / l, view.y / l, view.z / l};
    auto project = [&](const TVector3& a)
    {
        const float k = dot(a, view);
        return TVector3{a.x - k * view.x, a.y - k * view.y, a.z - k * view.z};
    };
    TVector3 u = project(up);
    if (length(u) < 1e-6f)
    {
        u = project({0, 1, 0});
        if (length(u) < 1e-6f)
        {
            u = project({0, 0, 1});
            if (length(u) < 1e-6f)
            {
                return E_INVALIDARG;
            }
        }
    }
    l = length(u);
    u = {u.x / l, u.y / l, u.z / l};
    const TVector3 right{u.y * view.z - u.z * view.y, u.z * view.x - u.x * view.z,
                         u.x * view.y - u.y * view.x};
    out = TMatrix{};
    out.m[0][0] = right.x;
    out.m[0][1] = u.x;
    out.m[0][2] = view.x;
    out.m[1][0] = right.y;
    out.m[1][1] = u.y;
    out.m[1][2] = view.y;
    out.m[2][0] = right.z;
    out.m[2][1] = u.z;
    out.m[2][2] = view.z;
    out.m[3][0] = -dot(eye, right);
    out.m[3][1] = -dot(eye, u);
    out.m[3][2] = -dot(eye, view);
    out.m[3][3] = 1;
    return D3D_OK;
}

TResult BuildProjectionMatrix(TMatrix& out, float fov, float aspect, float zNear, float zFar)
{
    if (std::fabs(zFar - zNear) < 0.01f || std::fabs(std::sin(fov / 2)) < 0.01f)
    {
        return E_INVALIDARG;
    }
    const float c = std::cos(fov / 2) / std::sin(fov / 2);
    const float q = zFar / (zFar - zNear);
    out = TMatrix{};
    out.m[0][0] = aspect * c;
    out.m[1][1] = c;
    out.m[2][2] = q;
    out.m[2][3] = 1;
    out.m[3][2] = -q * zNear;
    return D3D_OK;
}

void InitMaterial(TMaterial& m, float r, float g, float b, float a, float power)
{
    m = TMaterial{};
    m.Diffuse = {r, g, b, a};
    m.Ambient = m.Diffuse;
    m.Specular = {1, 1, 1, a};
    m.Power = power;
}
