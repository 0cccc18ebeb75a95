#include "render/Device.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace
{
class TGatheringWriter final : public TTextureWriter
{
public:
    TGatheringWriter(TDevice& device, TImage image, bool mipmapped)
        : Device(device), Image(std::move(image)), Mipmapped(mipmapped)
    {
    }
    int StripRows() const override { return 64; }
    bool Write(const uint32_t* rows, int first, int count) override
    {
        if (first < 0 || count < 0 || first + count > Image.Height)
        {
            return false;
        }
        std::memcpy(&Image.Pixels[static_cast<size_t>(first) * Image.Width], rows,
                    static_cast<size_t>(count) * Image.Width * sizeof(uint32_t));
        return true;
    }
    TTextureRef Finish() override { return Device.CreateTexture(Image, Mipmapped); }

private:
    TDevice& Device;
    TImage Image;
    const bool Mipmapped;
};
} // namespace

std::unique_ptr<TTextureWriter> TDevice::BeginTexture(int width, int height, bool mipmapped, bool hasAlpha)
{
    if (width <= 0 || height <= 0)
    {
        return nullptr;
    }
    TImage image;
    image.Width = width;
    image.Height = height;
    image.HasAlpha = hasAlpha;
    try
    {
        image.Pixels.resize(static_cast<size_t>(width) * height);
    }
    catch (const std::bad_alloc&)
    {
        return nullptr;
    }
    return std::make_unique<TGatheringWriter>(*this, std::move(image), mipmapped);
}

TDeviceState::TDeviceState()
    : World(IdentityMatrix()), View(IdentityMatrix()), Projection(IdentityMatrix())
{
    // The defaults of a freshly created device with a depth buffer.
    RenderStates[rsCullMode] = cuCCW;
    RenderStates[rsZEnable] = 1;
    RenderStates[rsZWriteEnable] = 1;
    RenderStates[rsZFunc] = cmLessEqual;
    RenderStates[rsNormalizeNormals] = 0;
    RenderStates[rsLighting] = 1;
    RenderStates[rsAmbient] = 0;
    RenderStates[rsSpecularEnable] = 0;
    RenderStates[rsAlphaBlendEnable] = 0;
    RenderStates[rsSrcBlend] = blOne;
    RenderStates[rsDestBlend] = blZero;

    StageStates[tsColorOp] = toModulate;
    StageStates[tsColorArg1] = taTexture;
    StageStates[tsColorArg2] = taCurrent;
    StageStates[tsAlphaOp] = toSelectArg1;
    StageStates[tsAlphaArg1] = taTexture;
    StageStates[tsAlphaArg2] = taCurrent;
    StageStates[tsMagFilter] = tfPoint;
    StageStates[tsMinFilter] = tfPoint;
    StageStates[tsMipFilter] = tfNone;
}

TResult TDevice::SetTransform(TTransformKind kind, const TMatrix& m)
{
    switch (kind)
    {
    case tkWorld:
        Current.World = m;
        return D3D_OK;
    case tkView:
        Current.View = m;
        return D3D_OK;
    case tkProjection:
        Current.Projection = m;
        return D3D_OK;
    }
    return E_INVALIDARG;
}

TResult TDevice::SetMaterial(const TMaterial& material)
{
    Current.Material = material;
    return D3D_OK;
}

TResult TDevice::SetLight(int index, const TLight& light)
{
    if (index < 0 || index >= static_cast<int>(Current.Lights.size()))
    {
        return E_INVALIDARG;
    }
    Current.Lights[index] = light;
    return D3D_OK;
}

TResult TDevice::LightEnable(int index, bool enable)
{
    if (index < 0 || index >= static_cast<int>(Current.LightEnabled.size()))
    {
        return E_INVALIDARG;
    }
    Current.LightEnabled[index] = enable;
    return D3D_OK;
}

TResult TDevice::SetTexture(int stage, const TTextureRef& texture)
{
    if (stage != 0)
    {
        return D3DERR_INVALIDCALL;
    }
    Current.Texture = texture;
    return D3D_OK;
}

TResult TDevice::SetRenderState(TRenderState state, uint32_t value)
{
    if (state >= rsCount)
    {
        return E_INVALIDARG;
    }
    Current.RenderStates[state] = value;
    return D3D_OK;
}

TResult TDevice::SetTextureStageState(int stage, TTextureStageState state, uint32_t value)
{
    if (stage != 0 || state >= tsCount)
    {
        return D3DERR_INVALIDCALL;
    }
    Current.StageStates[state] = value;
    return D3D_OK;
}
