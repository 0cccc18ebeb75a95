#include "render/RecordingDevice.h"

TResult TRecordingDevice::Clear(uint32_t flags, uint32_t, float)
{
    ++Clears;
    LastClearFlags = flags;
    return D3D_OK;
}

TResult TRecordingDevice::BeginScene()
{
    if (InScene)
    {
        return D3DERR_INVALIDCALL;
    }
    InScene = true;
    ++Scenes;
    return D3D_OK;
}

TResult TRecordingDevice::EndScene()
{
    if (!InScene)
    {
        return D3DERR_INVALIDCALL;
    }
    InScene = false;
    return D3D_OK;
}

TResult TRecordingDevice::Present()
{
    ++Presents;
    return FailPresent;
}

TResult TRecordingDevice::CreateVertexBuffer(int vertexCount)
{
    Vertices.assign(static_cast<size_t>(vertexCount), TVertex{});
    HasBuffer = true;
    return D3D_OK;
}

TResult TRecordingDevice::WriteVertices(int firstVertex, std::span<const TVertex> vertices)
{
    if (!HasBuffer || firstVertex < 0 || firstVertex + vertices.size() > Vertices.size())
    {
        return D3DERR_INVALIDCALL;
    }
    std::copy(vertices.begin(), vertices.end(), Vertices.begin() + firstVertex);
    return D3D_OK;
}

TResult TRecordingDevice::DrawPrimitive(int startVertex, int primitiveCount)
{
    if (!HasBuffer || startVertex < 0 ||
        startVertex + 3 * static_cast<size_t>(primitiveCount) > Vertices.size())
    {
        return D3DERR_INVALIDCALL;
    }
    TRecordedDraw d;
    d.StartVertex = startVertex;
    d.PrimitiveCount = primitiveCount;
    d.State = Current;
    Draws.push_back(std::move(d));
    return D3D_OK;
}

TResult TRecordingDevice::DrawStream(std::span<const TVertex> vertices)
{
    TRecordedDraw d;
    d.Streamed = true;
    d.PrimitiveCount = static_cast<int>(vertices.size() / 3);
    d.Vertices.assign(vertices.begin(), vertices.end());
    d.State = Current;
    Draws.push_back(std::move(d));
    return D3D_OK;
}

TTextureRef TRecordingDevice::CreateTexture(const TImage& image, bool mipmapped)
{
    if (image.Width <= 0 || image.Height <= 0)
    {
        return nullptr;
    }
    return std::make_shared<TRecordedTexture>(image, mipmapped);
}
