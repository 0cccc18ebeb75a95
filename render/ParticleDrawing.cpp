#include "render/ParticleDrawing.h"

#include "base/LanguageFiles.h"
#include "render/Graphics.h"
#include "render/Texture.h"

#include <cmath>
#include <vector>

void InitParticles(TDevice& device, TParticleTextures& textures,
                   const std::filesystem::path& programFolder)
{
    textures.ProgramFolder = programFolder;
    for (int i = 0; i < 6; ++i)
    {
        LoadTexture(device,
                    programFolder / "Images" / ("effect" + std::to_string(i + 1) + ".tga"),
                        textures.Slots[i]);
    }
    LoadTexture(device, programFolder / "Images" / "effect1.tga", textures.Slots[6]);
    textures.Slot6Version = -1;
}

void SyncParticleImage(TDevice& device, TParticleTextures& textures,
                       const TParticleSystems& systems)
{
    if (systems.Slot6Version == textures.Slot6Version || systems.Slot6Version == 0)
    {
        return;
    }
    // The new level's banner carries words: it comes in the language shown.
    const std::filesystem::path picture = systems.Slot6Picture == spNewLevel
                                              ? LocalFile(textures.ProgramFolder, "Images/newlevel.tga")
                                              : textures.ProgramFolder / "Images" / "effect1.tga";
    LoadTexture(device, picture, textures.Slots[6]);
    textures.Slot6Version = systems.Slot6Version;
}

void DrawParticles(TDevice& device, const TParticleTextures& textures,
                   const TParticleSystems& systems, int s, const TFrameRegion* pass)
{
    const int count = systems.Count(s);
    if (count == 0)
    {
        return;
    }
    const TParticle& front = systems.At(s, 0);
    const TParticleKind& kind = ParticleKinds[front.Kind < ParticleKindCount ? front.Kind : 0];
    device.SetRenderState(rsLighting, StateFalse);
    device.SetTextureStageState(0, tsAlphaOp, toModulate);
    device.SetTextureStageState(0, tsAlphaArg1, taDiffuse);
    device.SetTextureStageState(0, tsAlphaArg2, taTexture);
    device.SetRenderState(rsAlphaBlendEnable, StateTrue);
    device.SetRenderState(rsSrcBlend, blSrcAlpha);
    device.SetRenderState(rsDestBlend, kind.Additive ? blOne : blInvSrcAlpha);
    device.SetTexture(0, textures.Slots[kind.TextureSlot]);

    thread_local std::vector<TVertex> run;
    run.clear();
    run.reserve(static_cast<size_t>(count) * 6);
    std::array<TVertex, 6> quad;
    TMatrix world = IdentityMatrix();
    const TMatrix viewProjection = MatrixMultiply(device.State().View, device.State().Projection);
    for (int i = 0; i < count; ++i)
    {
        const TParticle& p = systems.At(s, i);
        if (pass != nullptr)
        {
            // The quad, however it is turned, lies in the square of its half diagonal round
            // its centre, in its own plane.
            TMatrix at = viewProjection;
            for (int c = 0; c < 4; ++c)
            {
                at.m[3][c] = p.Position.x * viewProjection.m[0][c] + p.Position.y * viewProjection.m[1][c] +
                             p.Position.z * viewProjection.m[2][c] + viewProjection.m[3][c];
            }
            TScreenBox box;
            if (ProjectBox(at, 0.5f * std::hypot(p.Width, p.Height), 0, device.Width(), device.Height(), box) &&
                OutsideRect(box, *pass))
            {
                continue;
            }
        }
        SetQuadColour(quad, (static_cast<uint32_t>(p.Life) << 24) | 0x00FFFFFFu, 0);
        world = MakeWorldMatrix({p.Width, p.Height, 1}, p.Position, {0, 0, p.Angle});
        for (const TVertex& v : quad)
        {
            TVertex t = v;
            const TVector3 w = TransformPoint({v.x, v.y, v.z}, world);
            t.x = w.x;
            t.y = w.y;
            t.z = w.z;
            run.push_back(t);
        }
    }
    device.DrawStream(run);
    if (pass != nullptr)
    {
        const TParticle& last = systems.At(s, count - 1); // the world the last quad was placed by
        world = MakeWorldMatrix({last.Width, last.Height, 1}, last.Position, {0, 0, last.Angle});
    }
    device.SetTransform(tkWorld, world);

    device.SetTexture(0, nullptr);
    device.SetRenderState(rsLighting, StateTrue);
    device.SetRenderState(rsAlphaBlendEnable, StateFalse);
    device.SetRenderState(rsSrcBlend, blSrcAlpha);
    device.SetRenderState(rsDestBlend, blInvSrcAlpha);
}
