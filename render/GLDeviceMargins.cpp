#include "render/GLDeviceMargins.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>

namespace
{
// The picture is copied at a quarter of its size and read two mip levels further down:
// about one texel for every sixteen pixels, a soft blur that costs little.
constexpr int CopyDivisor = 4;
constexpr float BlurLevel = 2.0f;
constexpr float BlurGrowth = 12.0f; // levels more per picture's side beyond its edge
constexpr float Dim = 0.45f;

const char* const MarginVertex = R"(#version 330 core
uniform vec4 uMap; // window 0..1 -> picture 0..1: scale xy, offset zw
out vec2 vUv;
void main()
{
    vec2 p = vec2(gl_VertexID == 1 ? 3.0 : -1.0, gl_VertexID == 2 ? 3.0 : -1.0);
    gl_Position = vec4(p, 0.0, 1.0);
    vUv = (p * 0.5 + 0.5) * uMap.xy + uMap.zw;
}
)";

const char* const MarginFragment = R"(#version 330 core
uniform sampler2D uPicture;
uniform float uLevel;
uniform float uGrowth;
uniform float uDim;
in vec2 vUv;
out vec4 colour;
void main()
{
    // Softer the further from the picture's edge, so the edge's details fade into its colours;
    // no softer than two levels more, so what lies inside the picture's rim never reaches the
    // bands (a frame drawn in a region of the board leaves them as they are).
    vec2 outside = max(max(-vUv, vUv - 1.0), 0.0);
    float level = min(uLevel + uGrowth * length(outside), uLevel + 2.0);
    colour = vec4(textureLod(uPicture, clamp(vUv, 0.0, 1.0), level).rgb * uDim, 1.0);
}
)";

GLuint Shader(GLenum kind, const char* source)
{
    const GLuint s = glCreateShader(kind);
    glShaderSource(s, 1, &source, nullptr);
    glCompileShader(s);
    return s;
}
} // namespace

struct TGLMargins::TImpl
{
    GLuint Program = 0;
    GLuint Vao = 0;
    GLuint Fbo = 0;
    GLuint Texture = 0;
    GLint Map = -1;
    int TexW = 0, TexH = 0;
};

TGLMargins::TGLMargins() : Impl(std::make_unique<TImpl>())
{
    TImpl& m = *Impl;
    const GLuint vs = Shader(GL_VERTEX_SHADER, MarginVertex);
    const GLuint fs = Shader(GL_FRAGMENT_SHADER, MarginFragment);
    m.Program = glCreateProgram();
    glAttachShader(m.Program, vs);
    glAttachShader(m.Program, fs);
    glLinkProgram(m.Program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    glUseProgram(m.Program);
    m.Map = glGetUniformLocation(m.Program, "uMap");
    glUniform1i(glGetUniformLocation(m.Program, "uPicture"), 0);
    glUniform1f(glGetUniformLocation(m.Program, "uLevel"), BlurLevel);
    glUniform1f(glGetUniformLocation(m.Program, "uGrowth"), BlurGrowth);
    glUniform1f(glGetUniformLocation(m.Program, "uDim"), Dim);
    glGenVertexArrays(1, &m.Vao);
    glGenFramebuffers(1, &m.Fbo);
    glGenTextures(1, &m.Texture);
}

TGLMargins::~TGLMargins()
{
    TImpl& m = *Impl;
    glDeleteTextures(1, &m.Texture);
    glDeleteFramebuffers(1, &m.Fbo);
    glDeleteVertexArrays(1, &m.Vao);
    glDeleteProgram(m.Program);
}

bool TGLMargins::Reads(int windowWidth, int windowHeight, const TPictureArea& area, int x, int y, int width,
                       int height)
{
    if (area.Width <= 0 || area.Height <= 0 || area.Fills(windowWidth, windowHeight))
    {
        return false;
    }
    // A band pixel reads the picture's copy where the band meets the picture (the texture
    // coordinate is held to the edge), at a level that grows with its distance beyond it: so
    // the edge texels of each level up to the one read at the band's far side, which span
    // CopyDivisor << level rows (or columns) of the picture from its edge.
    const auto reach = [](int band, int side)
    {
        if (band <= 0)
        {
            return 0;
        }
        const float level = std::min(BlurLevel + BlurGrowth * static_cast<float>(band) / static_cast<float>(side),
                                     BlurLevel + 2);
        return CopyDivisor << static_cast<int>(std::ceil(level));
    };
    const int reachX = reach(std::max(area.Left, windowWidth - area.Left - area.Width), area.Width);
    const int reachY = reach(std::max(area.Top, windowHeight - area.Top - area.Height), area.Height);
    const int left = x - area.Left;
    const int top = windowHeight - (y + height) - area.Top; // rows of the picture from its top
    return (reachX > 0 && (left < reachX || left + width > area.Width - reachX)) ||
           (reachY > 0 && (top < reachY || top + height > area.Height - reachY));
}

int TGLMargins::Reach()
{
    // The blurriest level read is two above BlurLevel; a texel there spans CopyDivisor << 4
    // pixels of the picture, and the filter reads its neighbour too; the copy's own filter
    // a few pixels more.
    return 2 * (CopyDivisor << (static_cast<int>(BlurLevel) + 2)) + 2 * CopyDivisor;
}

int TGLMargins::Bands(int windowWidth, int windowHeight, const TPictureArea& area, int (&rects)[2][4],
                      const int* near)
{
    const int bottom = windowHeight - area.Top - area.Height;
    // Cuts [from, from + length) of each band to the stretch near the rectangle.
    const auto cut = [&](int n, int at)
    {
        if (near == nullptr)
        {
            return n;
        }
        for (int i = 0; i < n; ++i)
        {
            const int from = std::max(rects[i][at], near[at] - Reach());
            const int to = std::min(rects[i][at] + rects[i][at + 2], near[at] + near[at + 2] + Reach());
            rects[i][at] = from;
            rects[i][at + 2] = std::max(0, to - from);
        }
        return n;
    };
    if (area.Left > 0)
    {
        const int right = area.Left + area.Width;
        rects[0][0] = 0, rects[0][1] = 0, rects[0][2] = area.Left, rects[0][3] = windowHeight;
        rects[1][0] = right, rects[1][1] = 0, rects[1][2] = windowWidth - right, rects[1][3] = windowHeight;
        return cut(2, 1);
    }
    if (area.Top > 0)
    {
        rects[0][0] = 0, rects[0][1] = bottom + area.Height, rects[0][2] = windowWidth,
        rects[0][3] = windowHeight - bottom - area.Height;
        rects[1][0] = 0, rects[1][1] = 0, rects[1][2] = windowWidth, rects[1][3] = bottom;
        return cut(2, 0);
    }
    return 0;
}

void TGLMargins::Fill(int windowWidth, int windowHeight, const TPictureArea& area, const int* near)
{
    TImpl& m = *Impl;
    if (area.Width <= 0 || area.Height <= 0)
    {
        return;
    }
    const int tw = std::max(1, area.Width / CopyDivisor);
    const int th = std::max(1, area.Height / CopyDivisor);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, m.Texture);
    glBindSampler(0, 0);
    // GL counts rows from the bottom. The copy's texel (i, j) reads the picture's pixels
    // round (4i + 2, 4j + 2); so where the picture's sides are whole multiples of the divisor,
    // the texels of a region frame's rectangle (and the filter's pixel round it) are copied
    // alone and come out as the whole copy would make them. The rest of the copy may be older
    // than this frame: the bands only read the texels near the picture's edges (Reads), and
    // every change there comes in a region that is copied.
    const int bottom = windowHeight - area.Top - area.Height;
    int from[2] = {0, 0}, to[2] = {tw, th};
    const bool part = near != nullptr && tw == m.TexW && th == m.TexH && area.Width == tw * CopyDivisor &&
                      area.Height == th * CopyDivisor;
    if (part)
    {
        const int origin[2] = {area.Left, bottom};
        for (int k = 0; k < 2; ++k)
        {
            from[k] = std::clamp((near[k] - origin[k] - CopyDivisor) / CopyDivisor, 0, to[k]);
            to[k] = std::clamp((near[k] + near[k + 2] - origin[k] + 2 * CopyDivisor - 1) / CopyDivisor, from[k], to[k]);
        }
    }
    if (tw != m.TexW || th != m.TexH)
    {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, tw, th, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        // The blurriest level read is two above BlurLevel: no smaller one is made.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(BlurLevel) + 2);
        glGenerateMipmap(GL_TEXTURE_2D);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m.Fbo);
        glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m.Texture, 0);
        m.TexW = tw;
        m.TexH = th;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m.Fbo);
    if (part)
    {
        glBlitFramebuffer(area.Left + from[0] * CopyDivisor, bottom + from[1] * CopyDivisor,
                          area.Left + to[0] * CopyDivisor, bottom + to[1] * CopyDivisor, from[0], from[1], to[0],
                          to[1], GL_COLOR_BUFFER_BIT, GL_LINEAR);
    }
    else
    {
        glBlitFramebuffer(area.Left, bottom, area.Left + area.Width, bottom + area.Height, 0, 0, tw, th,
                          GL_COLOR_BUFFER_BIT, GL_LINEAR);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glGenerateMipmap(GL_TEXTURE_2D);

    // The picture where it lies, at its own scale: beyond its edges the texture's edge texels
    // go on, so a band continues the picture's border outwards (the backdrop, the board's
    // frame) and never shows a second, enlarged copy of what lies inside (the title).
    const float aw = static_cast<float>(area.Width);
    const float ah = static_cast<float>(area.Height);
    glUseProgram(m.Program);
    glUniform4f(m.Map, static_cast<float>(windowWidth) / aw, static_cast<float>(windowHeight) / ah,
                -static_cast<float>(area.Left) / aw, -static_cast<float>(bottom) / ah);
    glBindVertexArray(m.Vao);
    glViewport(0, 0, windowWidth, windowHeight);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glEnable(GL_SCISSOR_TEST);
    // The two bands: left and right of the picture, or above and below it.
    int rects[2][4];
    for (int i = 0, n = Bands(windowWidth, windowHeight, area, rects, near); i < n; ++i)
    {
        if (rects[i][2] > 0 && rects[i][3] > 0)
        {
            glScissor(rects[i][0], rects[i][1], rects[i][2], rects[i][3]);
            glDrawArrays(GL_TRIANGLES, 0, 3);
        }
    }
    glDisable(GL_SCISSOR_TEST);
}
