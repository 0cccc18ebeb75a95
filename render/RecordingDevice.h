// A device without a window: it keeps the state like any device and records every draw
// with the state it was made in, so tests can check what a drawing operation asked for
// (order, transforms, textures, materials, states).
#pragma once

#include "render/Device.h"

#include <vector>

struct TRecordedDraw
{
    bool Streamed = false;         // DrawStream rather than the shared buffer
    int StartVertex = 0;           // shared buffer draws
    int PrimitiveCount = 0;        // triangles
    std::vector<TVertex> Vertices; // streamed draws: the vertices as sent
    TDeviceState State;            // everything in force at the draw
};

class TRecordedTexture final : public TDeviceTexture
{
public:
    TRecordedTexture(const TImage& image, bool mipmapped)
        : TDeviceTexture(image.Width, image.Height, mipmapped), Image(image)
    {
    }
    const TImage Image;
};

class TRecordingDevice final : public TDevice
{
public:
    TRecordingDevice(int width = 1280, int height = 960) : BufferWidth(width), BufferHeight(height)
    {
    }

    TResult Clear(uint32_t flags, uint32_t colour, float z) override;
    TResult BeginScene() override;
    TResult EndScene() override;
    TResult Present() override;

    TResult CreateVertexBuffer(int vertexCount) override;
    void ReleaseVertexBuffer() override
    {
        Vertices.clear();
        HasBuffer = false;
    }
    bool HasVertexBuffer() const override { return HasBuffer; }
    TResult WriteVertices(int firstVertex, std::span<const TVertex> vertices) override;
    TResult DrawPrimitive(int startVertex, int primitiveCount) override;
    TResult DrawStream(std::span<const TVertex> vertices) override;

    TTextureRef CreateTexture(const TImage& image, bool mipmapped) override;

    // The window resized.
    void SetSize(int width, int height)
    {
        BufferWidth = width;
        BufferHeight = height;
    }
    int Width() const override { return BufferWidth; }
    int Height() const override { return BufferHeight; }
    void LetKeptPictureGo() override { ++KeptPicturesLetGo; }

    // What happened, in order.
    std::vector<TRecordedDraw> Draws;
    std::vector<TVertex> Vertices; // the shared buffer
    int Clears = 0;
    uint32_t LastClearFlags = 0;
    int Scenes = 0;
    int Presents = 0;
    int KeptPicturesLetGo = 0;
    TResult FailPresent = D3D_OK; // a test sets it to make Present fail

private:
    int BufferWidth;
    int BufferHeight;
    bool HasBuffer = false;
    bool InScene = false;
};
