#include "render/SceneObjects.h"

#include "render/Texture.h"

#include <cmath>

TBackPlane::TBackPlane(std::shared_ptr<TDevice> device, const std::filesystem::path& image,
                       const TVector3& scale, const TVector3& position, const TVector3& rotation,
                       bool loadNow)
    : Device(std::move(device))
{
    Placement.Scale = scale;
    Placement.Position = position;
    Placement.Rotation = rotation;
    if (loadNow)
    {
        LoadTexture(*Device, image, Placement.Texture);
    }
    else
    {
        Image = image;
    }
    Placement.UpdateMatrix();
}

void TBackPlane::Keep(bool keep)
{
    if (Image.empty())
    {
        return;
    }
    if (!keep)
    {
        Placement.Texture.reset();
    }
    else if (!Placement.Texture)
    {
        LoadTexture(*Device, Image, Placement.Texture);
    }
}

void TBackPlane::Draw(const TGraphics& g, int entry) const
{
    Device->SetMaterial(g.Materials[0]);
    Device->SetTexture(0, Placement.Texture);
    Device->SetTransform(tkWorld, Placement.Matrix);
    g.DrawMesh(entry);
    Device->SetTexture(0, nullptr);
}

TBonusLight::TBonusLight(std::shared_ptr<TDevice> device, const std::filesystem::path& image,
                         const TVector3& scale, const TVector3& position, const TVector3& rotation)
    : TBackPlane(std::move(device), image, scale, position, rotation)
{
    for (int j = 1; j <= 5; ++j)
    {
        Slots[j] = position;
        Slots[j].x = position.x - static_cast<float>(j - 1) * 0.289f;
    }
}

void TBonusLight::Draw(const TGraphics& g, int entry)
{
    Placement.UpdateMatrix();
    Device->SetMaterial(g.Materials[0]);
    for (int i = 1; i <= Count && i <= 5; ++i)
    {
        const TMatrix m = MakeWorldMatrix(Placement.Scale, Slots[i], Placement.Rotation);
        Device->SetTexture(0, Placement.Texture);
        Device->SetTransform(tkWorld, m);
        g.DrawMesh(entry);
    }
    Device->SetTexture(0, nullptr);
}

TScoreLine::TScoreLine(std::shared_ptr<TDevice> device, const std::filesystem::path& image,
                       const TVector3& scale, const TVector3& position, const TVector3& rotation)
    : TBackPlane(std::move(device), image, scale, position, rotation)
{
}

void TScoreLine::Draw(const TGraphics& g, int entry, int mode, double totalTime)
{
    if (Fraction > 1)
    {
        Fraction = 1;
    }
    if (!(Fraction >= 0))
    {
        Fraction = 0;
    }
    Device->SetRenderState(rsAlphaBlendEnable, StateTrue);
    Placement.Scale.x = 8.75f * Fraction;
    Placement.Position = {4.51f - 8.75f * Fraction / 2, RoomCentreY - 5.08459375f, 0};
    LineMaterial = g.Materials[3];
    if (mode == 2)
    {
        if (Fraction <= 0.2f)
        {
            const double a = (0.2 - Fraction) * totalTime / 200;
            InitMaterial(LineMaterial, static_cast<float>(std::fabs(std::sin(a))),
                         static_cast<float>(std::fabs(std::cos(a))), 0, 0, 256);
        }
    }
    Placement.UpdateMatrix();
    Device->SetMaterial(LineMaterial);
    if (Fraction > 0 && LeftCap)
    {
        // The cap keeps the line's material so it pulses with it.
        Device->SetTexture(0, LeftCap->Placement.Texture);
        Device->SetTransform(tkWorld, LeftCap->Placement.Matrix);
        g.DrawMesh(entry);
    }
    Device->SetTexture(0, Placement.Texture);
    Device->SetTransform(tkWorld, Placement.Matrix);
    g.DrawMesh(entry);
    Device->SetTexture(0, nullptr);
    Device->SetRenderState(rsAlphaBlendEnable, StateFalse);
}
