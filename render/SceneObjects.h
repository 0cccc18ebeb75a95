// The objects of the game scene behind and around the board: the room planes, the back
// plane, the score line, and the rows of bonus lamps.
#pragma once

#include "render/Graphics.h"

#include <array>
#include <filesystem>
#include <memory>

// A textured quad with a placement built once.
class TBackPlane
{
public:
    // Not loadNow: the picture is read by the first Keep(true).
    TBackPlane(std::shared_ptr<TDevice> device, const std::filesystem::path& image,
               const TVector3& scale, const TVector3& position, const TVector3& rotation,
               bool loadNow = true);

    // Materials[0], the texture, the stored matrix, the mesh entry.
    void Draw(const TGraphics& g, int entry) const;
    // A plane that reads its picture when it shows: Keep(true) reads it unless it is held,
    // Keep(false) lets it go. A plane with no Image keeps the texture it was given.
    void Keep(bool keep);

    std::shared_ptr<TDevice> Device;
    TTexMatrix Placement;
    std::filesystem::path Image; // set only for a plane made not loadNow
};

// A row of up to five lamps running to the screen right from the object's position.
class TBonusLight : public TBackPlane
{
public:
    TBonusLight(std::shared_ptr<TDevice> device, const std::filesystem::path& image,
                const TVector3& scale, const TVector3& position, const TVector3& rotation);
    void Draw(const TGraphics& g, int entry);

    std::array<TVector3, 6> Slots{}; // 1-based
    uint8_t Count = 0;
};

// The level progress bar. Fraction is clamped to 0..1 when drawn; in the timed mode a
// bar at or below 0.2 pulses red and green (the rules beep meanwhile).
class TScoreLine : public TBackPlane
{
public:
    TScoreLine(std::shared_ptr<TDevice> device, const std::filesystem::path& image,
               const TVector3& scale, const TVector3& position, const TVector3& rotation);
    void Draw(const TGraphics& g, int entry, int mode, double totalTime);

    float Fraction = 0;
    float StartFraction = 0;
    TMaterial LineMaterial;
    std::unique_ptr<TBackPlane> LeftCap;
};

// Everything the resource loading makes for the game scene.
struct TSceneObjects
{
    // 1 floor, 2..5 walls. Their pictures (19 MB at full size) are read only while the
    // room shows, in the camera's flights, and let go when the game plays on without it.
    std::array<std::unique_ptr<TBackPlane>, 6> RoomPlanes;
    std::unique_ptr<TBackPlane> BackPlane; // its picture held while the game scene shows
    std::unique_ptr<TBonusLight> BonusLights;
    std::unique_ptr<TBonusLight> PlugBonus;
    std::unique_ptr<TScoreLine> ScoreLine;
};
