// Signed distances of simple shapes (negative inside, in pixels) and the one routine that
// paints a shape with an antialiased edge.
#pragma once

#include "tools/content/Image.h"

#include <algorithm>
#include <cmath>
#include <vector>

struct TVec2
{
    float X = 0, Y = 0;
};

inline TVec2 operator+(TVec2 a, TVec2 b) { return {a.X + b.X, a.Y + b.Y}; }
inline TVec2 operator-(TVec2 a, TVec2 b) { return {a.X - b.X, a.Y - b.Y}; }
inline TVec2 operator*(TVec2 a, float k) { return {a.X * k, a.Y * k}; }
inline float Dot(TVec2 a, TVec2 b) { return a.X * b.X + a.Y * b.Y; }
inline float Length(TVec2 a) { return std::sqrt(a.X * a.X + a.Y * a.Y); }

inline float SdCircle(TVec2 p, TVec2 centre, float radius) { return Length(p - centre) - radius; }

// Box of half size (hx, hy) with corners rounded by `radius`.
inline float SdRoundBox(TVec2 p, TVec2 centre, float hx, float hy, float radius)
{
    const float qx = std::fabs(p.X - centre.X) - hx + radius;
    const float qy = std::fabs(p.Y - centre.Y) - hy + radius;
    const float outside = std::sqrt(std::max(qx, 0.0f) * std::max(qx, 0.0f) +
                                    std::max(qy, 0.0f) * std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

// Distance to the segment a-b minus a half thickness: a capsule.
inline float SdSegment(TVec2 p, TVec2 a, TVec2 b, float halfWidth)
{
    const TVec2 pa = p - a;
    const TVec2 ba = b - a;
    const float len2 = Dot(ba, ba);
    const float h = len2 > 0 ? std::clamp(Dot(pa, ba) / len2, 0.0f, 1.0f) : 0.0f;
    return Length(pa - ba * h) - halfWidth;
}

// Closed polygon, any winding.
inline float SdPolygon(TVec2 p, const std::vector<TVec2>& v)
{
    float d = Dot(p - v[0], p - v[0]);
    float s = 1.0f;
    for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i, ++i)
    {
        const TVec2 e = v[j] - v[i];
        const TVec2 w = p - v[i];
        const float t = std::clamp(Dot(w, e) / Dot(e, e), 0.0f, 1.0f);
        const TVec2 b = w - e * t;
        d = std::min(d, Dot(b, b));
        const bool c1 = p.Y >= v[i].Y;
        const bool c2 = p.Y < v[j].Y;
        const bool c3 = e.X * w.Y > e.Y * w.X;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3))
        {
            s = -s;
        }
    }
    return s * std::sqrt(d);
}

// A regular star with `points` tips, outer and inner radius, first tip pointing up.
std::vector<TVec2> StarPoints(TVec2 centre, int points, float outer, float inner,
                              float turn = 0.0f);
// A regular polygon with `corners` corners, the first pointing up.
std::vector<TVec2> RegularPolygon(TVec2 centre, int corners, float radius, float turn = 0.0f);

// Coverage of a pixel whose centre is at signed distance d, with an edge `soft` pixels wide.
inline float Coverage(float d, float soft = 1.0f)
{
    return std::clamp(0.5f - d / soft, 0.0f, 1.0f);
}

// Paints every pixel of the rectangle [x0, x1) x [y0, y1) whose coverage by `sdf` is above
// zero with the colour `paint(x, y)` returns (pixel centres at +0.5).
template <class Sdf, class Paint>
void FillShape(TImage& img, float x0, float y0, float x1, float y1, Sdf sdf, Paint paint,
               float soft = 1.0f)
{
    const int ix0 = std::max(0, static_cast<int>(std::floor(x0)));
    const int iy0 = std::max(0, static_cast<int>(std::floor(y0)));
    const int ix1 = std::min(img.Width(), static_cast<int>(std::ceil(x1)));
    const int iy1 = std::min(img.Height(), static_cast<int>(std::ceil(y1)));
    for (int y = iy0; y < iy1; ++y)
    {
        for (int x = ix0; x < ix1; ++x)
        {
            const TVec2 p{static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f};
            const float cov = Coverage(sdf(p), soft);
            if (cov > 0.0f)
            {
                img.Blend(x, y, paint(p), cov);
            }
        }
    }
}

// The same over the whole picture.
template <class Sdf, class Paint>
void FillShape(TImage& img, Sdf sdf, Paint paint, float soft = 1.0f)
{
    FillShape(img, 0.0f, 0.0f, static_cast<float>(img.Width()), static_cast<float>(img.Height()),
              sdf, paint, soft);
}

// A mask of a shape over a picture-sized area.
template <class Sdf> TMask ShapeMask(int width, int height, Sdf sdf, float soft = 1.0f)
{
    TMask m(width, height);
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            m.At(x, y) = Coverage(
                sdf(TVec2{static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f}), soft);
        }
    }
    return m;
}
