#include "render/GLDevice_local.h"

#include <cmath>
#include <cstring>

namespace
{
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

} // namespace

void TGLDevice::ApplyState(bool streamed)
{
    TImpl& g = *Impl;
    const TDeviceState& s = Current;
    const bool all = !g.Known;
    const auto& rs = s.RenderStates;

    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(Win, &w, &h);
    if (all || w != g.ViewW || h != g.ViewH || g.KeptBound != g.ViewKept)
    {
        // The scene is drawn into the picture's area; on a 4:3 window that is all of it.
        // The kept picture counts its rows from the top.
        const TPictureArea a = PictureArea(w, h);
        glViewport(a.Left, g.KeptBound ? a.Top : h - a.Top - a.Height, a.Width, a.Height);
        g.ViewKept = g.KeptBound;
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
