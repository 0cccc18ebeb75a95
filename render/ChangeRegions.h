// Which part of the picture a frame of the board changes. What the last frame drew of the
// game is kept and compared with what the next one draws: cubes that turned, grew, moved or
// changed, the path dots and the bombs' fuse sparks are bounded by a few rectangles of the
// picture (their boxes projected through the frame's camera, before and after); anything
// else that differs, or that is large or hard to bound (other particles, labels, a camera
// flight, the score, a level's end, a menu, another screen), asks for the whole frame.
#pragma once

#include "render/Graphics.h"
#include "game/Game.h"

#include <array>
#include <cmath>

struct TRenderer;
struct TFrame;

// The rectangles a region frame draws, apart from each other (the sparks of bombs far apart
// are drawn as separate small rectangles, not as one that spans the board). A frame in
// which nothing changed has one empty rectangle: the picture is shown again as it is.
struct TFrameRegions
{
    static constexpr int Max = 8;
    int Count = 0;
    std::array<TFrameRegion, Max> Rects{};

    int Area() const
    {
        int a = 0;
        for (int i = 0; i < Count; ++i)
        {
            a += Rects[i].Width * Rects[i].Height;
        }
        return a;
    }
};

class TChangeRegions
{
public:
    // The rectangles of the picture (pixels from its top left) outside which this frame
    // draws what the last one drew; false when the frame must be drawn whole. The frame is
    // remembered as the last one either way.
    // viewProjection: the camera of the frame, view times projection.
    bool Next(const TRenderer& r, const TFrame& frame, const TMatrix& viewProjection, TFrameRegions& regions);
    // The next frame is drawn whole: an event came, a frame failed, the device is new.
    void Forget() { Last.Valid = false; }
    // Whether the last frame asked could be followed by a region frame: a frame of the board
    // to be kept, drawn whole or in a region.
    bool Bounded() const { return Last.Valid; }
    // Whether the last frame asked was limited to regions, and those regions.
    bool Limited() const { return WasLimited; }
    const TFrameRegions& Regions() const { return LastRegions; }

    static constexpr int Margin = BoxMargin;
    // Regions larger than this share of the picture together are drawn as the whole frame.
    static constexpr float MaxShare = 0.5f;
    // Two regions are drawn as one when that adds less than this share of the picture:
    // each region is a pass over the whole scene, which costs more than a few more pixels.
    static constexpr float JoinShare = 0.04f;

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
    using TBox = TScreenBox;
    // Boxes close to each other are joined: a handful for sparks of a few bombs.
    struct TBoxes
    {
        static constexpr int Max = 16;
        int Count = 0;
        std::array<TBox, Max> Items{};

        void Add(const TBox& b);
        void Join(int most, float cheap);
        // Whether two boxes come within both their margins of each other.
        static bool Near(const TBox& a, const TBox& b);
        static TBox Union(const TBox& a, const TBox& b);
        static float Area(const TBox& b); // margins included
    };
    struct TDrawn
    {
        bool Valid = false;
        TScene Scene;
        std::array<TPlaced, CellCount + 1> Cubes{}; // 1-based
        int DotCount = 0;
        std::array<TPlaced, CellCount> Dots{};
        TBoxes Sparks; // where the fuse sparks were drawn, in the picture
    };
    // Fills d from the frame; false when the frame is not one whose changes are bounded.
    static bool Capture(const TRenderer& r, const TFrame& frame, TDrawn& d);

    TDrawn Last, Now;
    bool WasLimited = false;
    TFrameRegions LastRegions;
};
