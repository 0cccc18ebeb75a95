// Placement record and world matrix shared by the game rules and the renderer.
//
// Matrices are 4 x 4 floats in row-major order used with row vectors: a point p is
// transformed as p * M and the translation lies in the fourth row (m[3][0..2]).
#pragma once

#include <cmath>
#include <memory>

struct TVector3
{
    float x = 0, y = 0, z = 0;

    friend bool operator==(const TVector3&, const TVector3&) = default;
};

// The camera's eye at rest, where the menus and every level start: 12.7 above the middle of
// the board, looking straight down at it.
constexpr TVector3 RestEye{-1.8f, -0.25f, 12.7f};

struct TMatrix
{
    float m[4][4] = {};

    friend bool operator==(const TMatrix&, const TMatrix&) = default;
};

inline TMatrix IdentityMatrix()
{
    TMatrix r;
    for (int i = 0; i < 4; ++i)
    {
        r.m[i][i] = 1.0f;
    }
    return r;
}

// Ordinary row-by-column product a x b.
inline TMatrix MatrixMultiply(const TMatrix& a, const TMatrix& b)
{
    TMatrix r;
    for (int i = 0; i < 4; ++i)
    {
        for (int j = 0; j < 4; ++j)
        {
            float s = 0;
            for (int k = 0; k < 4; ++k)
            {
                s += a.m[i][k] * b.m[k][j];
            }
            r.m[i][j] = s;
        }
    }
    return r;
}

// p * M with w = 1; the result is not divided by w (world matrices keep w = 1).
inline TVector3 TransformPoint(const TVector3& p, const TMatrix& a)
{
    return {p.x * a.m[0][0] + p.y * a.m[1][0] + p.z * a.m[2][0] + a.m[3][0],
            p.x * a.m[0][1] + p.y * a.m[1][1] + p.z * a.m[2][1] + a.m[3][1],
            p.x * a.m[0][2] + p.y * a.m[1][2] + p.z * a.m[2][2] + a.m[3][2]};
}

// S x Rz x Ry x Rx x T: a vertex is scaled, turned about z, then y, then x, then moved.
inline TMatrix MakeWorldMatrix(const TVector3& s, const TVector3& t, const TVector3& r)
{
    TMatrix rx = IdentityMatrix();
    rx.m[1][1] = std::cos(r.x);
    rx.m[1][2] = std::sin(r.x);
    rx.m[2][1] = -std::sin(r.x);
    rx.m[2][2] = std::cos(r.x);

    TMatrix ry = IdentityMatrix();
    ry.m[0][0] = std::cos(r.y);
    ry.m[0][2] = -std::sin(r.y);
    ry.m[2][0] = std::sin(r.y);
    ry.m[2][2] = std::cos(r.y);

    TMatrix rz = IdentityMatrix();
    rz.m[0][0] = std::cos(r.z);
    rz.m[0][1] = std::sin(r.z);
    rz.m[1][0] = -std::sin(r.z);
    rz.m[1][1] = std::cos(r.z);

    TMatrix tm = IdentityMatrix();
    tm.m[3][0] = t.x;
    tm.m[3][1] = t.y;
    tm.m[3][2] = t.z;

    TMatrix sm = IdentityMatrix();
    sm.m[0][0] = s.x;
    sm.m[1][1] = s.y;
    sm.m[2][2] = s.z;

    const TMatrix m1 = MatrixMultiply(ry, rx);
    const TMatrix m2 = MatrixMultiply(rz, m1);
    const TMatrix m3 = MatrixMultiply(m2, tm);
    return MatrixMultiply(sm, m3);
}

// A texture as the game sees it: an opaque, reference-counted object that only the
// renderer knows how to draw. Storing a reference takes it; resetting releases it.
class TTexture
{
public:
    virtual ~TTexture() = default;
};
using TTextureRef = std::shared_ptr<TTexture>;

// A placement with its cached world matrix and the texture drawn with it. The owner
// rebuilds Matrix with UpdateMatrix whenever it has changed the placement.
struct TTexMatrix
{
    TVector3 Scale;
    TVector3 Position;
    TVector3 Rotation;
    TMatrix Matrix;
    TTextureRef Texture;

    void UpdateMatrix() { Matrix = MakeWorldMatrix(Scale, Position, Rotation); }
};
