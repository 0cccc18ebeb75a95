// The compiled-in meshes (rounded cube, bomb, stone) and the quads of the shared vertex
// buffer. A mesh table is stored as the game keeps it: faces of three corners, each
// corner naming a position, a normal and a texture coordinate; written into the buffer
// each corner becomes one vertex with x, the normal's x and v negated.
#pragma once

#include "render/Device.h"

#include <array>
#include <vector>

struct TMeshFace
{
    std::array<int, 3> Position{};
    std::array<int, 3> Normal{};
    std::array<int, 3> TexCoord{};
};

struct TMeshTable
{
    std::vector<TMeshFace> Faces;
    std::vector<TVector3> Positions;
    std::vector<TVector3> Normals;
    std::vector<std::array<float, 2>> TexCoords;
};

// Unit cube with edges and corners rounded at radius 0.1 around an inner box of +-0.4:
// 204 faces, smooth normals, each side mapping the whole texture.
const TMeshTable& CubeMesh();
// The bomb body with its fuse neck and wick: 354 faces, stored extents x +-0.3755,
// y -0.5..0.52, z +-0.4559.
const TMeshTable& BombMesh();
// Unit cube with chamfered edges: 44 faces, flat normals.
const TMeshTable& StoneMesh();

// Appends the faces corner by corner: position (-px, py, pz) x scale, normal (-nx, ny, nz),
// colour white, texture coordinates (u, -v).
void AppendMesh(const TMeshTable& mesh, float scale, std::vector<TVertex>& out);

// Six vertices of a quad of half size hx, hy at depth z with texture extent U, V; the
// vertex at +x carries u = 0 because world +x is the left of the screen.
void AppendQuad(std::vector<TVertex>& out, float hx, float hy, float z, float U, float V,
                uint32_t colour = 0xFFFFFFFF);
// The same six vertices, without a list (particles and glyphs are written by the thousand).
std::array<TVertex, 6> QuadVertices(float hx, float hy, float z, float U, float V, uint32_t colour);
