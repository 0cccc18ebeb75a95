// Which part of the picture a frame of the board changes. What the last frame drew of the
// game is kept and compared with what the next one draws: cubes that turned, grew, moved or
// changed and the path dots are bounded by a rectangle of the picture (their boxes projected
// through the frame's camera, before and after); anything else that differs, or that is
// large or hard to bound (particles, labels, a camera flight, the score, a level's end, a
// menu, another screen), asks for the whole frame.
#pragma once

#include "render/Device.h"
#include "game/Game.h"

#include <array>

struct TRenderer;
struct TFrame;

class TChangeRegions
{
public:
    // The rectangle of the picture (pixels from its top left) outside which this frame
    // draws what the last one drew; false when the frame must be drawn whole. The frame is
    // remembered as the last one either way.
    // viewProjection: the camera of the frame, view times projection.
    bool Next(const TRenderer& r, const TFrame& frame, const TMatrix& viewProjection, TFrameRegion& region);
    // The next frame is drawn whole: an event came, a frame failed, the device is new.
    void Forget() { Last.Valid = false; }
    // Whether the last frame asked could be followed by a region frame: a frame of the board
    // to be kept, drawn whole or in a region.
    bool Bounded() const { return Last.Valid; }
    // Whether the last frame asked was limited to a region, and that region.
    bool Limited() const { return WasLimited; }
    const TFrameRegion& Region() const { return LastRegion; }

    // Extra pixels around a projected box, for the half-pixel shift and texture filtering.
    static constexpr int Margin = 3;
    // A region larger than this share of the picture is drawn as the whole frame.
    static constexpr float MaxShare = 0.5f;

private:
    struct TPlaced
    {
        TVector3 Scale, Position, Rotation;
        uint8_t Kind = 0;

        friend bool operator==(const TPlaced&, const TPlaced&) = default;
    };
    // What a frame drew of the board, beside the cubes and dots: equal or the whole frame.
    struct TScene
    {
        int State = 0;
        TVector3 Eye;
        int Width = 0, Height = 0;
        uint64_t Overlay = 0;
        std::array<TLight, 2> Lights{};
        std::array<bool, 2> LightOn{};
        int CursorIndex = 0;
        float CursorX = 0, CursorY = 0;
        bool CursorPlaced = false;
        int Level = 0, Mode = 0, EndPhase = 0, Figure = 0, LampCount = 0, CubeCount = 0;
        bool BoardQuiet = false;
        double Score = 0, Progress = 0, Target = 0;
        int FigureWidth = 0, FigureHeight = 0;
        double FigureValue = 0;
        std::array<TPlaced, 16> FigureCells{};

        friend bool operator==(const TScene&, const TScene&) = default;
    };
    struct TDrawn
    {
        bool Valid = false;
        TScene Scene;
        std::array<TPlaced, CellCount + 1> Cubes{}; // 1-based
        int DotCount = 0;
        std::array<TPlaced, CellCount> Dots{};
    };
    // Fills d from the frame; false when the frame is not one whose changes are bounded.
    static bool Capture(const TRenderer& r, const TFrame& frame, TDrawn& d);

    TDrawn Last, Now;
    bool WasLimited = false;
    TFrameRegion LastRegion;
};
