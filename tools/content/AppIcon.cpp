#include "tools/content/AppIcon.h"

#include "tools/content/Palette.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace
{
struct TPoint3
{
    float X, Y, Z;
};

// The board seen from above at an angle: x runs down to the right, y down to the left, z up;
// one cell is `Unit` icon units deep.
constexpr float Unit = 110.0f;
constexpr float CentreX = 256.0f;
constexpr float CentreY = 160.0f;

TVec2 Project(TPoint3 p)
{
    return {CentreX + (p.X - p.Y) * Unit * 0.8660254f, CentreY + ((p.X + p.Y) * 0.5f - p.Z) * Unit};
}

std::vector<TVec2> Face(std::initializer_list<TPoint3> corners)
{
    std::vector<TVec2> points;
    for (const TPoint3& c : corners)
    {
        points.push_back(Project(c));
    }
    return points;
}

TColour Lighter(const TColour& c, float k)
{
    return Mix(c, Rgb(0xFFFFFF), k);
}

// A block from (x0, y0, z0) to (x1, y1, z1): its top and the two sides facing the viewer.
void AddBlock(std::vector<TIconShape>& shapes, TPoint3 a, TPoint3 b, const TColour& colour, bool top = true)
{
    // The side facing down-left (y = y1), the side facing down-right (x = x1), the top.
    shapes.push_back({Face({{a.X, b.Y, b.Z}, {b.X, b.Y, b.Z}, {b.X, b.Y, a.Z}, {a.X, b.Y, a.Z}}), Scaled(colour, 0.78f),
                      Scaled(colour, 0.6f)});
    shapes.push_back({Face({{b.X, a.Y, b.Z}, {b.X, b.Y, b.Z}, {b.X, b.Y, a.Z}, {b.X, a.Y, a.Z}}), Scaled(colour, 0.58f),
                      Scaled(colour, 0.42f)});
    if (top)
    {
        shapes.push_back({Face({{a.X, a.Y, b.Z}, {b.X, a.Y, b.Z}, {b.X, b.Y, b.Z}, {a.X, b.Y, b.Z}}),
                          Lighter(colour, 0.35f), colour});
    }
}

float Lowest(const std::vector<TVec2>& points, float sign)
{
    float v = points[0].Y * sign;
    for (const TVec2& p : points)
    {
        v = std::max(v, p.Y * sign);
    }
    return v * sign;
}

std::string Number(float v)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, 2).ptr;
    return std::string(text, end);
}

std::string Hex(const TColour& c)
{
    const char* digits = "0123456789abcdef";
    std::string text = "#";
    for (float v : {c.R, c.G, c.B})
    {
        const int b = static_cast<int>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}
} // namespace

std::vector<TIconShape> IconShapes()
{
    std::vector<TIconShape> shapes;
    // The board: a gold rim under a deep blue slab with its two front edges showing.
    constexpr float Rim = 0.12f;
    constexpr float Near = -0.2f - Rim;
    constexpr float Far = 2.2f + Rim;
    shapes.push_back({Face({{Near, Near, 0}, {Far, Near, 0}, {Far, Near, -0.3f}, {Far, Far, -0.3f}, {Near, Far, -0.3f},
                            {Near, Far, 0}}),
                      PaleGold, Gold});
    AddBlock(shapes, {-0.2f, -0.2f, -0.25f}, {2.2f, 2.2f, 0}, Dusk, false);
    shapes.push_back({Face({{-0.2f, -0.2f, 0}, {2.2f, -0.2f, 0}, {2.2f, 2.2f, 0}, {-0.2f, 2.2f, 0}}), Rgb(0x34448A),
                      Night});
    // Four cubes of one colour in a square, back to front.
    const TColour red = CubeColours[1];
    for (const auto& [i, j] : std::array<std::pair<float, float>, 4>{{{0, 0}, {1, 0}, {0, 1}, {1, 1}}})
    {
        AddBlock(shapes, {i + 0.1f, j + 0.1f, 0}, {i + 0.9f, j + 0.9f, 0.8f}, red);
    }
    return shapes;
}

TImage IconPicture(int size)
{
    const int factor = std::max(2, 1024 / size);
    const float scale = static_cast<float>(size * factor) / IconUnits;
    TImage big(size * factor, size * factor);
    for (const TIconShape& shape : IconShapes())
    {
        std::vector<TVec2> points;
        for (const TVec2& p : shape.Points)
        {
            points.push_back(p * scale);
        }
        const float top = Lowest(points, -1.0f);
        const float bottom = Lowest(points, 1.0f);
        float left = points[0].X;
        float right = points[0].X;
        for (const TVec2& p : points)
        {
            left = std::min(left, p.X);
            right = std::max(right, p.X);
        }
        FillShape(
            big, left - 1, top - 1, right + 1, bottom + 1, [&](TVec2 p) { return SdPolygon(p, points); },
            [&](TVec2 p) { return Mix(shape.Top, shape.Bottom, std::clamp((p.Y - top) / (bottom - top), 0.0f, 1.0f)); });
    }
    return big.Downsampled(factor);
}

std::string IconSvg()
{
    const std::vector<TIconShape> shapes = IconShapes();
    std::string defs;
    std::string paths;
    for (size_t n = 0; n < shapes.size(); ++n)
    {
        const TIconShape& s = shapes[n];
        const std::string id = "g" + std::to_string(n);
        defs += "    <linearGradient id=\"" + id + "\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\"" +
                Number(Lowest(s.Points, -1.0f)) + "\" x2=\"0\" y2=\"" + Number(Lowest(s.Points, 1.0f)) +
                "\">\n      <stop offset=\"0\" stop-color=\"" + Hex(s.Top) + "\"/>\n      <stop offset=\"1\" stop-color=\"" +
                Hex(s.Bottom) + "\"/>\n    </linearGradient>\n";
        paths += "  <path fill=\"url(#" + id + ")\" d=\"M";
        for (size_t i = 0; i < s.Points.size(); ++i)
        {
            paths += (i == 0 ? "" : " L") + Number(s.Points[i].X) + " " + Number(s.Points[i].Y);
        }
        paths += " Z\"/>\n";
    }
    const std::string edge = Number(IconUnits);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + edge +
           "\" height=\"" + edge + "\" viewBox=\"0 0 " + edge + " " + edge + "\">\n  <defs>\n" + defs + "  </defs>\n" +
           paths + "</svg>\n";
}

void MakeIcons(const TOutput& out, const TSources&)
{
    for (int size : IconSizes)
    {
        out.WritePng("icons/" + std::to_string(size) + ".png", IconPicture(size));
    }
    out.WriteText("icons/scalable.svg", IconSvg());
}
