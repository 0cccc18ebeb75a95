// Small helpers shared by the rule files (moves, squares, input). Nothing here allocates:
// numbers for labels are written into buffers on the caller's stack.
#pragma once

#include "base/Glyphs.h"
#include "game/Game.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace rules
{
// The mode as an index into the per-mode pairs of a level; anything but timed is normal.
inline int ModeIndex(uint8_t mode)
{
    return mode == gmTimed ? 2 : 1;
}

// Colours in play on a level, kept to the seven colours a cube can have.
inline int ColourCount(const TLevel& level, uint8_t mode)
{
    return std::min<int>(level.Colours[ModeIndex(mode)], MaxColours);
}

constexpr float RestHeight = 0.4f; // centre of a full cube on the board
constexpr float CubeScale = 0.8f;

// A cube at rest on its cell: full size, upright.
inline void PutDown(TCube& c)
{
    c.Position.z = RestHeight;
    c.Scale = {CubeScale, CubeScale, CubeScale};
    c.Rotation = {};
}

inline bool OnBoard(int x, int y)
{
    return x >= 1 && x <= BoardSize && y >= 1 && y <= BoardSize;
}

// A label text built in place: a number, optionally followed by more text or numbers.
class TLabelText
{
public:
    TLabelText& Number(long long v)
    {
        const auto r = std::to_chars(Buffer + Length, Buffer + Capacity, v);
        if (r.ec == std::errc())
        {
            Length = static_cast<int>(r.ptr - Buffer);
        }
        return *this;
    }
    TLabelText& Text(std::string_view s)
    {
        const int n = static_cast<int>(WholeCharacters(s, static_cast<size_t>(Capacity - Length)).size());
        std::copy_n(s.data(), n, Buffer + Length);
        Length += n;
        return *this;
    }
    // A translated pattern with the number where its "%d" stands.
    TLabelText& Pattern(std::string_view pattern, long long v)
    {
        const size_t at = pattern.find("%d");
        if (at == std::string_view::npos)
        {
            return Text(pattern);
        }
        return Text(pattern.substr(0, at)).Number(v).Text(pattern.substr(at + 2));
    }
    std::string_view View() const { return {Buffer, static_cast<size_t>(Length)}; }

private:
    static constexpr int Capacity = MaxLabelText + 1;
    char Buffer[Capacity] = {};
    int Length = 0;
};
} // namespace rules
