#include "render/Meshes.h"

#include <cmath>
#include <map>
#include <numbers>
#include <tuple>

namespace
{
constexpr float Pi = std::numbers::pi_v<float>;

TVector3 operator+(TVector3 a, TVector3 b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
TVector3 operator-(TVector3 a, TVector3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
TVector3 operator*(float k, TVector3 a)
{
    return {k * a.x, k * a.y, k * a.z};
}
float Dot(TVector3 a, TVector3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
TVector3 Cross(TVector3 a, TVector3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
TVector3 Normalize(TVector3 a)
{
    const float l = std::sqrt(Dot(a, a));
    return l > 0 ? (1.0f / l) * a : a;
}

struct TCorner
{
    TVector3 P;
    TVector3 N;
    float U = 0, V = 0;
};

// Collects triangles as they appear in the world and stores them in table form.
class TMeshBuilder
{
public:
    // Corners in any order: the triangle is turned so its outer side (the side its
    // normals point to) runs counter-clockwise on the screen and survives culling.
    void Add(TCorner a, TCorner b, TCorner c)
    {
        const TVector3 out = a.N + b.N + c.N;
        if (Dot(Cross(b.P - a.P, c.P - a.P), out) > 0)
        {
            std::swap(b, c);
        }
        TMeshFace f;
        const TCorner* corners[3] = {&a, &b, &c};
        for (int i = 0; i < 3; ++i)
        {
            const TCorner& k = *corners[i];
            // The table keeps the stored frame: x, the normal's x and v mirrored.
            f.Position[i] = Index(Positions, {-k.P.x, k.P.y, k.P.z});
            f.Normal[i] = Index(Normals, {-k.N.x, k.N.y, k.N.z});
            f.TexCoord[i] = Index(TexCoords, {k.U, -k.V, 0});
        }
        Table.Faces.push_back(f);
    }

    TMeshTable Finish()
    {
        Table.Positions = Flatten(Positions);
        Table.Normals = Flatten(Normals);
        const auto uv = Flatten(TexCoords);
        for (const TVector3& t : uv)
        {
            Table.TexCoords.push_back({t.x, t.y});
        }
        return Table;
    }

private:
    using TKey = std::tuple<long, long, long>;
    using TIndex = std::map<TKey, std::pair<int, TVector3>>;

    static int Index(TIndex& index, TVector3 v)
    {
        auto q = [](float f) { return std::lround(f * 1e5f); };
        const TKey key{q(v.x), q(v.y), q(v.z)};
        const auto it = index.find(key);
        if (it != index.end())
        {
            return it->second.first;
        }
        const int n = static_cast<int>(index.size());
        index.emplace(key, std::make_pair(n, v));
        return n;
    }
    static std::vector<TVector3> Flatten(const TIndex& index)
    {
        std::vector<TVector3> out(index.size());
        for (const auto& [key, value] : index)
        {
            out[value.first] = value.second;
        }
        return out;
    }

    TMeshTable Table;
    TIndex Positions;
    TIndex Normals;
    TIndex TexCoords;
};

// A side of a box: outward normal, its up and right directions on the texture as seen
// from outside (right = normal x up, since world +x is the left of the screen).
struct TSide
{
    TVector3 N;
    TVector3 Up;
    TVector3 Right() const { return Cross(N, Up); }
};

const TSide Sides[6] = {
    {{0, 0, 1}, {0, 1, 0}},  {{0, 0, -1}, {0, 1, 0}}, {{1, 0, 0}, {0, 0, 1}},
    {{-1, 0, 0}, {0, 0, 1}}, {{0, 1, 0}, {0, 0, 1}},  {{0, -1, 0}, {0, 0, 1}},
};

const TSide& SideOf(TVector3 n)
{
    for (const TSide& s : Sides)
    {
        if (Dot(s.N, n) > 0.99f)
        {
            return s;
        }
    }
    return Sides[0];
}

// The side whose normal is closest to the direction d (ties go to x, then y, then z).
const TSide& NearestSide(TVector3 d)
{
    const float ax = std::fabs(d.x), ay = std::fabs(d.y), az = std::fabs(d.z);
    if (ax >= ay - 1e-6f && ax >= az - 1e-6f)
    {
        return SideOf({d.x > 0 ? 1.0f : -1.0f, 0, 0});
    }
    if (ay >= az - 1e-6f)
    {
        return SideOf({0, d.y > 0 ? 1.0f : -1.0f, 0});
    }
    return SideOf({0, 0, d.z > 0 ? 1.0f : -1.0f});
}

// Projects a point onto a side's plane and maps the in-plane offsets with f.
template <typename F> void MapOnSide(TCorner& c, const TSide& side, F f)
{
    c.U = 0.5f + f(Dot(c.P, side.Right()));
    c.V = 0.5f - f(Dot(c.P, side.Up));
}

// A corner with its texture coordinates mapped on the side it belongs to.
template <class Map> TCorner MappedCorner(TVector3 p, TVector3 n, const TSide& side, Map map)
{
    TCorner c{p, n};
    MapOnSide(c, side, map);
    return c;
}

// The flat square of every side, `half` from its centre to its edges: two triangles a side.
template <class Map> void AddFlatSides(TMeshBuilder& b, float half, Map map)
{
    for (const TSide& s : Sides)
    {
        const TVector3 r = s.Right();
        const TVector3 c = 0.5f * s.N;
        auto at = [&](float i, float j)
        { return MappedCorner(c + (i * half) * r + (j * half) * s.Up, s.N, s, map); };
        b.Add(at(-1, -1), at(1, -1), at(-1, 1));
        b.Add(at(1, -1), at(1, 1), at(-1, 1));
    }
}

// Calls f(s1, s2, e) for each of the twelve edges: the two sides that meet there and the
// direction along the edge, in one fixed order.
template <class F> void ForEachEdge(F f)
{
    for (int i = 0; i < 6; ++i)
    {
        for (int j = i + 1; j < 6; ++j)
        {
            const TSide& s1 = Sides[i];
            const TSide& s2 = Sides[j];
            if (std::fabs(Dot(s1.N, s2.N)) <= 0.5f)
            {
                f(s1, s2, Cross(s1.N, s2.N));
            }
        }
    }
}

TMeshTable BuildCube()
{
    constexpr float Inner = 0.4f;
    constexpr float Radius = 0.1f;
    auto map = [](float c) { return 0.999f * c; };
    TMeshBuilder b;
    auto corner = [&](TVector3 p, TVector3 n, const TSide& side)
    { return MappedCorner(p, n, side, map); };

    AddFlatSides(b, Inner, map);

    // Rounded edges: three 30-degree segments between two sides.
    ForEachEdge(
        [&](const TSide& s1, const TSide& s2, const TVector3& e)
        {
            const TVector3 base = Inner * (s1.N + s2.N);
            auto point = [&](int seg, float t, const TSide& side)
            {
                const float a = seg * Pi / 6;
                const TVector3 d = std::cos(a) * s1.N + std::sin(a) * s2.N;
                return corner(base + Radius * d + (t * Inner) * e, d, side);
            };
            for (int seg = 0; seg < 3; ++seg)
            {
                const TSide& first = seg < 2 ? s1 : s2;
                const TSide& second = seg < 1 ? s1 : s2;
                b.Add(point(seg, -1, first), point(seg + 1, -1, first), point(seg, 1, first));
                b.Add(point(seg + 1, -1, second), point(seg + 1, 1, second), point(seg, 1, second));
            }
        });

    // Corner patches: 13 vertices, 15 triangles each.
    for (int sx = -1; sx <= 1; sx += 2)
    {
        for (int sy = -1; sy <= 1; sy += 2)
        {
            for (int sz = -1; sz <= 1; sz += 2)
            {
                const TVector3 centre{sx * Inner, sy * Inner, sz * Inner};
                const TVector3 axes[3] = {{float(sx), 0, 0}, {0, float(sy), 0}, {0, 0, float(sz)}};
                const TVector3 mid = Normalize(axes[0] + axes[1] + axes[2]);
                TVector3 inner[3];
                for (int k = 0; k < 3; ++k)
                {
                    inner[k] = Normalize(2.0f * axes[k] + axes[(k + 1) % 3] + axes[(k + 2) % 3]);
                }
                auto tri = [&](TVector3 d1, TVector3 d2, TVector3 d3)
                {
                    const TSide& side = NearestSide(d1 + d2 + d3);
                    b.Add(corner(centre + Radius * d1, d1, side),
                          corner(centre + Radius * d2, d2, side),
                          corner(centre + Radius * d3, d3, side));
                };
                for (int k = 0; k < 3; ++k)
                {
                    const TVector3 x = axes[k];
                    const TVector3 y = axes[(k + 1) % 3];
                    auto arc = [&](int seg)
                    {
                        const float a = seg * Pi / 6;
                        return Normalize(std::cos(a) * x + std::sin(a) * y);
                    };
                    const TVector3 qx = inner[k];
                    const TVector3 qy = inner[(k + 1) % 3];
                    tri(x, arc(1), qx);
                    tri(arc(1), arc(2), qx);
                    tri(arc(2), y, qy);
                    tri(qx, arc(2), qy);
                    tri(mid, qx, qy);
                }
            }
        }
    }
    return b.Finish();
}

TMeshTable BuildStone()
{
    constexpr float Flat = 0.38f;
    auto map = [](float c)
    {
        const float a = std::fabs(c);
        const float m = a <= Flat + 1e-6f ? a : Flat + (a - Flat) * (0.1195f / 0.12f);
        return c < 0 ? -m : m;
    };
    TMeshBuilder b;
    auto corner = [&](TVector3 p, TVector3 n, const TSide& side)
    { return MappedCorner(p, n, side, map); };
    AddFlatSides(b, Flat, map);
    ForEachEdge(
        [&](const TSide& s1, const TSide& s2, const TVector3& e)
        {
            const TVector3 n = Normalize(s1.N + s2.N);
            auto a = [&](float t, const TSide& side)
            { return corner(0.5f * s1.N + Flat * s2.N + (t * Flat) * e, n, side); };
            auto c = [&](float t, const TSide& side)
            { return corner(Flat * s1.N + 0.5f * s2.N + (t * Flat) * e, n, side); };
            b.Add(a(-1, s1), a(1, s1), c(-1, s1));
            b.Add(a(1, s2), c(1, s2), c(-1, s2));
        });
    for (int sx = -1; sx <= 1; sx += 2)
    {
        for (int sy = -1; sy <= 1; sy += 2)
        {
            for (int sz = -1; sz <= 1; sz += 2)
            {
                const TVector3 n = Normalize({float(sx), float(sy), float(sz)});
                const TSide& side = SideOf({float(sx), 0, 0});
                b.Add(corner({0.5f * sx, Flat * sy, Flat * sz}, n, side),
                      corner({Flat * sx, 0.5f * sy, Flat * sz}, n, side),
                      corner({Flat * sx, Flat * sy, 0.5f * sz}, n, side));
            }
        }
    }
    return b.Finish();
}

TMeshTable BuildBomb()
{
    constexpr int Slices = 16;
    constexpr float Ax = 0.3755f, Ay = 0.4f, Az = 0.4559f, Cy = -0.1f;
    constexpr float NeckRadius = 0.1f, NeckBase = 0.30f, NeckTop = 0.40f, WickHalf = 0.03f;
    // The wick bends from the neck to where the game's fuse sparks burst: a bomb at rest
    // (scale 0.8 over the buffer's 1.25) has them 0.31 to its -x, 0.52 along the neck and
    // 0.45 above its centre.
    const TVector3 wickTip{-0.31f, 0.52f, 0.45f};
    TMeshBuilder b;
    auto uvOf = [](TCorner c, int slice)
    {
        c.U = static_cast<float>(slice) / Slices;
        c.V = 0.5f - c.P.y;
        return c;
    };
    // Body ring k (1..9) at latitude -90 + 18 k degrees.
    auto body = [&](int ring, int slice)
    {
        const float lat = (-90.0f + 18.0f * ring) * Pi / 180;
        const float lon = 2 * Pi * slice / Slices;
        const TVector3 p{Ax * std::cos(lat) * std::cos(lon), Cy + Ay * std::sin(lat),
                         Az * std::cos(lat) * std::sin(lon)};
        const TVector3 n = Normalize({p.x / (Ax * Ax), (p.y - Cy) / (Ay * Ay), p.z / (Az * Az)});
        return uvOf({p, n}, slice);
    };
    const TCorner pole = {{0, Cy - Ay, 0}, {0, -1, 0}, 0.5f, 1.0f};
    for (int s = 0; s < Slices; ++s)
    {
        TCorner p = pole;
        p.U = (s + 0.5f) / Slices;
        b.Add(p, body(1, s), body(1, s + 1));
    }
    for (int ring = 1; ring < 9; ++ring)
    {
        for (int s = 0; s < Slices; ++s)
        {
            b.Add(body(ring, s), body(ring + 1, s), body(ring, s + 1));
            b.Add(body(ring + 1, s), body(ring + 1, s + 1), body(ring, s + 1));
        }
    }
    // Shoulder from the top body ring to the neck, the neck, its cap and the wick.
    auto neck = [&](float y, int slice, bool shoulder)
    {
        const float lon = 2 * Pi * slice / Slices;
        const TVector3 p{NeckRadius * std::cos(lon), y, NeckRadius * std::sin(lon)};
        TVector3 n{std::cos(lon), 0, std::sin(lon)};
        if (shoulder)
        {
            const TCorner top = body(9, slice);
            const float r9 = std::sqrt(top.P.x * top.P.x + top.P.z * top.P.z);
            n = Normalize({std::cos(lon) * (NeckBase - top.P.y), r9 - NeckRadius,
                           std::sin(lon) * (NeckBase - top.P.y)});
        }
        return uvOf({p, n}, slice);
    };
    auto shoulderRing = [&](int slice)
    {
        TCorner c = body(9, slice);
        c.N = neck(NeckBase, slice, true).N;
        return c;
    };
    for (int s = 0; s < Slices; ++s)
    {
        b.Add(shoulderRing(s), neck(NeckBase, s, true), shoulderRing(s + 1));
        b.Add(neck(NeckBase, s, true), neck(NeckBase, s + 1, true), shoulderRing(s + 1));
        b.Add(neck(NeckBase, s, false), neck(NeckTop, s, false), neck(NeckBase, s + 1, false));
        b.Add(neck(NeckTop, s, false), neck(NeckTop, s + 1, false), neck(NeckBase, s + 1, false));
    }
    auto cap = [&](int slice)
    {
        TCorner c = neck(NeckTop, slice, false);
        c.N = {0, 1, 0};
        return c;
    };
    for (int s = 1; s + 1 < Slices; ++s)
    {
        b.Add(cap(0), cap(s), cap(s + 1));
    }
    const TVector3 apex = wickTip;
    const TVector3 wickMiddle = 0.25f * apex + TVector3{0, 0.75f * NeckTop, 0};
    const TVector3 base[4] = {{WickHalf, NeckTop, 0},
                              {0, NeckTop, WickHalf},
                              {-WickHalf, NeckTop, 0},
                              {0, NeckTop, -WickHalf}};
    for (int k = 0; k < 4; ++k)
    {
        const TVector3 p1 = base[k], p2 = base[(k + 1) % 4];
        const TVector3 n = Normalize(Cross(p2 - p1, apex - p1));
        const TVector3 out = (1.0f / 3) * (p1 + p2 + apex) - wickMiddle;
        const TVector3 nn = Dot(n, out) >= 0 ? n : -1.0f * n;
        b.Add({p1, nn, 0.45f, 0.1f}, {p2, nn, 0.55f, 0.1f}, {apex, nn, 0.5f, 0.0f});
    }
    return b.Finish();
}
} // namespace

const TMeshTable& CubeMesh()
{
    static const TMeshTable m = BuildCube();
    return m;
}

const TMeshTable& BombMesh()
{
    static const TMeshTable m = BuildBomb();
    return m;
}

const TMeshTable& StoneMesh()
{
    static const TMeshTable m = BuildStone();
    return m;
}

void AppendMesh(const TMeshTable& mesh, float scale, std::vector<TVertex>& out)
{
    for (const TMeshFace& f : mesh.Faces)
    {
        for (int i = 0; i < 3; ++i)
        {
            const TVector3& p = mesh.Positions[f.Position[i]];
            const TVector3& n = mesh.Normals[f.Normal[i]];
            const auto& t = mesh.TexCoords[f.TexCoord[i]];
            TVertex v;
            v.x = -p.x * scale;
            v.y = p.y * scale;
            v.z = p.z * scale;
            v.nx = -n.x;
            v.ny = n.y;
            v.nz = n.z;
            v.u = t[0];
            v.v = -t[1];
            out.push_back(v);
        }
    }
}

std::array<TVertex, 6> QuadVertices(float hx, float hy, float z, float U, float V, uint32_t colour)
{
    auto vertex = [&](float x, float y, float u, float v)
    {
        TVertex t;
        t.x = x;
        t.y = y;
        t.z = z;
        t.nz = 1;
        t.Diffuse = colour;
        t.u = u;
        t.v = v;
        return t;
    };
    return {vertex(hx, -hy, 0, V), vertex(-hx, -hy, U, V), vertex(hx, hy, 0, 0),
            vertex(hx, hy, 0, 0),  vertex(-hx, -hy, U, V), vertex(-hx, hy, U, 0)};
}

void AppendQuad(std::vector<TVertex>& out, float hx, float hy, float z, float U, float V,
                uint32_t colour)
{
    const std::array<TVertex, 6> quad = QuadVertices(hx, hy, z, U, V, colour);
    out.insert(out.end(), quad.begin(), quad.end());
}
