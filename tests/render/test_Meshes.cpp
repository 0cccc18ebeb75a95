#include "render/Meshes.h"
#include "tests/render/RenderTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace
{
struct TBox
{
    float MinX = 1e9f, MaxX = -1e9f, MinY = 1e9f, MaxY = -1e9f, MinZ = 1e9f, MaxZ = -1e9f;
};

TBox Extents(const std::vector<TVertex>& v, int first, int count)
{
    TBox b;
    for (int i = first; i < first + count; ++i)
    {
        b.MinX = std::min(b.MinX, v[i].x);
        b.MaxX = std::max(b.MaxX, v[i].x);
        b.MinY = std::min(b.MinY, v[i].y);
        b.MaxY = std::max(b.MaxY, v[i].y);
        b.MinZ = std::min(b.MinZ, v[i].z);
        b.MaxZ = std::max(b.MaxZ, v[i].z);
    }
    return b;
}

// Every triangle must run counter-clockwise seen from the side its normals face, so that
// clockwise culling keeps the outside and drops the inside.
int InsideOutTriangles(const std::vector<TVertex>& v, int first, int count)
{
    int bad = 0;
    for (int i = first; i < first + count; i += 3)
    {
        const TVertex &a = v[i], &b = v[i + 1], &c = v[i + 2];
        const float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
        const float wx = c.x - a.x, wy = c.y - a.y, wz = c.z - a.z;
        const float nx = uy * wz - uz * wy, ny = uz * wx - ux * wz, nz = ux * wy - uy * wx;
        const float ox = a.nx + b.nx + c.nx, oy = a.ny + b.ny + c.ny, oz = a.nz + b.nz + c.nz;
        if (nx * ox + ny * oy + nz * oz >= 0)
        {
            ++bad;
        }
    }
    return bad;
}
} // namespace

TEST(Meshes, SharedBufferLayout)
{
    TRecordingRenderer t;
    const TCollector& c = t.R.Collector;
    EXPECT_EQ(c.Count, 5);
    EXPECT_EQ(c.Total, 606);
    const int firsts[5] = {0, 6, 12, 624, 1686};
    const int triangles[5] = {2, 2, 204, 354, 44};
    for (int e = 0; e < 5; ++e)
    {
        EXPECT_EQ(c.FirstVertex(e), firsts[e]) << e;
        EXPECT_EQ(c.Triangles(e), triangles[e]) << e;
    }
    EXPECT_EQ(t.Device->Vertices.size() * sizeof(TVertex), 65448u);
    // The unit quads show the texture once.
    EXPECT_EQ(t.Device->Vertices[7].u, 1.0f);
}

TEST(Meshes, TablesHoldTheBindingFaceCounts)
{
    EXPECT_EQ(CubeMesh().Faces.size(), 204u);
    EXPECT_EQ(BombMesh().Faces.size(), 354u);
    EXPECT_EQ(StoneMesh().Faces.size(), 44u);
}

TEST(Meshes, ExtentsAndOrientation)
{
    TRecordingRenderer t;
    const auto& v = t.Device->Vertices;
    const TBox cube = Extents(v, 12, 612);
    EXPECT_NEAR(cube.MinX, -0.5f, 1e-5f);
    EXPECT_NEAR(cube.MaxX, 0.5f, 1e-5f);
    EXPECT_NEAR(cube.MinZ, -0.5f, 1e-5f);
    EXPECT_NEAR(cube.MaxY, 0.5f, 1e-5f);
    const TBox bomb = Extents(v, 624, 1062);
    EXPECT_NEAR(bomb.MaxX, 0.3755f * 1.25f, 1e-4f);
    EXPECT_NEAR(bomb.MinX, -0.3755f * 1.25f, 1e-4f);
    EXPECT_NEAR(bomb.MaxY, 0.52f * 1.25f, 1e-4f); // the wick's tip
    EXPECT_NEAR(bomb.MinY, -0.5f * 1.25f, 1e-4f);
    EXPECT_NEAR(bomb.MaxZ, 0.4559f * 1.25f, 1e-4f);
    EXPECT_NEAR(bomb.MinZ, -0.4559f * 1.25f, 1e-4f);
    const TBox stone = Extents(v, 1686, 132);
    EXPECT_NEAR(stone.MaxX, 0.5f, 1e-5f);
    EXPECT_NEAR(stone.MinY, -0.5f, 1e-5f);

    EXPECT_EQ(InsideOutTriangles(v, 0, 12), 0);
    EXPECT_EQ(InsideOutTriangles(v, 12, 612), 0);
    EXPECT_EQ(InsideOutTriangles(v, 624, 1062), 0);
    EXPECT_EQ(InsideOutTriangles(v, 1686, 132), 0);
    for (int i = 12; i < 1818; ++i)
    {
        ASSERT_NEAR(std::sqrt(v[i].nx * v[i].nx + v[i].ny * v[i].ny + v[i].nz * v[i].nz), 1.0f,
                    1e-4f)
            << i;
    }
}

TEST(Meshes, EachSideMapsTheWholeTexture)
{
    TRecordingRenderer t;
    const auto& v = t.Device->Vertices;
    // The front (+z) flat square of the cube and of the stone.
    float cubeMin = 1, cubeMax = 0, stoneMin = 1, stoneMax = 0, cubeAll = 1, stoneAll = 1;
    for (int i = 12; i < 624; ++i)
    {
        cubeAll = std::min({cubeAll, v[i].u, v[i].v});
        if (v[i].nz > 0.999f)
        {
            cubeMin = std::min({cubeMin, v[i].u, v[i].v});
            cubeMax = std::max({cubeMax, v[i].u, v[i].v});
        }
    }
    for (int i = 1686; i < 1818; ++i)
    {
        stoneAll = std::min({stoneAll, v[i].u, v[i].v});
        if (v[i].nz > 0.999f)
        {
            stoneMin = std::min({stoneMin, v[i].u, v[i].v});
            stoneMax = std::max({stoneMax, v[i].u, v[i].v});
        }
    }
    EXPECT_NEAR(cubeMin, 0.1004f, 1e-4f);
    EXPECT_NEAR(cubeMax, 0.8996f, 1e-4f);
    EXPECT_NEAR(cubeAll, 0.0139f, 2e-4f);
    EXPECT_NEAR(stoneMin, 0.12f, 1e-4f);
    EXPECT_NEAR(stoneMax, 0.88f, 1e-4f);
    EXPECT_NEAR(stoneAll, 0.0005f, 2e-4f);
    // Unmirrored: on the front face the texture's right edge (u high) is towards world -x.
    for (int i = 12; i < 624; ++i)
    {
        if (v[i].nz > 0.999f && v[i].x < -0.3f)
        {
            EXPECT_GT(v[i].u, 0.5f);
        }
    }
}
