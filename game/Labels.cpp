#include "game/Labels.h"

#include <algorithm>
#include <cstring>

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
    if (font == 1 && colour == 3)
    {
        l.Velocity = {0, 0.0005f, 0};
        l.Damping = {0, -0.0005f, 0};
    }
    else if (font == 1)
    {
        l.Velocity = {0, 0.005f, 0};
        l.Damping = {0, -0.001f, 0};
    }
    else
    {
        l.Velocity = {-0.001f, 0.001f, 0};
        l.Damping = {0, -0.006f, 0};
    }
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
