#include "game/Labels.h"

#include "base/Options.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
constexpr float LabelHeight = 1.0f;  // labels are drawn at this height above the board
constexpr float BoardHalf = 4.5f;    // the cells span -4.5..4.5 on the board plane
constexpr float LabelLife = 2300.0f; // ms from Alpha 255 to below 25 at 0.1 per ms

// The board's edge as seen from the resting eye, carried up to the labels' height: what
// lies inside this box at height 1 is drawn over the board.
constexpr float BoardAtLabels(float edge, float eye)
{
    return eye + (edge - eye) * (TOptions::RestEye.z - LabelHeight) / TOptions::RestEye.z;
}

void Motion(int font, int colour, TVector3& velocity, TVector3& damping)
{
    if (font == 1 && colour == 3)
    {
        velocity = {0, 0.0005f, 0};
        damping = {0, -0.0005f, 0};
    }
    else if (font == 1)
    {
        velocity = {0, 0.005f, 0};
        damping = {0, -0.001f, 0};
    }
    else
    {
        velocity = {-0.001f, 0.001f, 0};
        damping = {0, -0.006f, 0};
    }
}
} // namespace

TScoreLabels::TScoreLabels()
{
    for (auto& font : Advance)
    {
        font.fill(LabelFontHeight);
    }
}

void TScoreLabels::AddLabel(const TVector3& position, int font, int colour, std::string_view text,
                            int size)
{
    if (LabelCount >= MaxLabels)
    {
        return;
    }
    TScoreLabel& l = Labels[++LabelCount];
    l.Position = {position.x, position.y, 1.0f};
    l.Font = static_cast<uint8_t>(font);
    l.Colour = static_cast<uint8_t>(colour);
    l.Size = size;
    const size_t n = std::min(text.size(), static_cast<size_t>(MaxLabelText));
    std::memcpy(l.Text.data(), text.data(), n);
    l.Text[n] = '\0';
    l.Alpha = 255;
    Motion(font, colour, l.Velocity, l.Damping);
}

float TScoreLabels::TextWidth(int font, std::string_view text, int size) const
{
    const auto& advance = Advance[std::clamp(font, 0, 2)];
    long pixels = 0;
    for (const char c : text.substr(0, MaxLabelText))
    {
        const auto code = static_cast<unsigned char>(c);
        pixels += code < advance.size() ? advance[code] : LabelFontHeight;
    }
    return static_cast<float>(pixels) * static_cast<float>(size) * 0.001f;
}

void TScoreLabels::AddBoardLabel(const TVector3& position, int font, int colour,
                                 std::string_view text, int size)
{
    // World +x is the screen's left: the pen is the text's left end, the glyphs run to -x.
    constexpr TVector3 eye = TOptions::RestEye;
    constexpr float left = BoardAtLabels(BoardHalf, eye.x);
    constexpr float right = BoardAtLabels(-BoardHalf, eye.x);
    constexpr float top = BoardAtLabels(BoardHalf, eye.y);
    constexpr float bottom = BoardAtLabels(-BoardHalf, eye.y);

    TVector3 velocity, damping;
    Motion(font, colour, velocity, damping);
    // dv/dt = v d: the way gone over a label's life, up and across.
    const auto travel = [](float v, float d)
    { return d < 0 ? v * (1 - std::exp(d * LabelLife)) / -d : v * LabelLife; };
    const float rise = travel(velocity.y, damping.y);
    const float drift = travel(velocity.x, damping.x);
    const float half = static_cast<float>(LabelFontHeight) * static_cast<float>(size) * 0.0005f;
    const float width = TextWidth(font, text, size);

    TVector3 at = position;
    at.x = std::min(left - std::max(drift, 0.0f), std::max(at.x, right + width - std::min(drift, 0.0f)));
    at.y = std::max(bottom + half, std::min(at.y, top - half - std::max(rise, 0.0f)));
    AddLabel(at, font, colour, text, size);
}

void TScoreLabels::UpdateLabels(float dt)
{
    for (int i = 1; i <= LabelCount; ++i)
    {
        TScoreLabel& l = Labels[i];
        l.Position.x += l.Velocity.x * dt;
        l.Position.y += l.Velocity.y * dt;
        l.Velocity.x += l.Velocity.x * l.Damping.x * dt;
        l.Velocity.y += l.Velocity.y * l.Damping.y * dt;
        l.Velocity.z += l.Velocity.z * l.Damping.z * dt;
        l.Alpha -= 0.1f * dt;
        if (l.Alpha < 25)
        {
            // The later labels move down; the one moved into slot i waits for the next call.
            for (int j = i; j < LabelCount; ++j)
            {
                Labels[j] = Labels[j + 1];
            }
            --LabelCount;
        }
    }
}
