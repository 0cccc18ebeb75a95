#include "tools/content/Shapes.h"

namespace
{
constexpr float Pi = 3.14159265358979f;
}

std::vector<TVec2> StarPoints(TVec2 centre, int points, float outer, float inner, float turn)
{
    std::vector<TVec2> v;
    for (int i = 0; i < points * 2; ++i)
    {
        const float a = turn + Pi * static_cast<float>(i) / static_cast<float>(points);
        const float r = (i % 2 == 0) ? outer : inner;
        v.push_back({centre.X + r * std::sin(a), centre.Y - r * std::cos(a)});
    }
    return v;
}

std::vector<TVec2> RegularPolygon(TVec2 centre, int corners, float radius, float turn)
{
    std::vector<TVec2> v;
    for (int i = 0; i < corners; ++i)
    {
        const float a = turn + 2.0f * Pi * static_cast<float>(i) / static_cast<float>(corners);
        v.push_back({centre.X + radius * std::sin(a), centre.Y - radius * std::cos(a)});
    }
    return v;
}
