// The cube skins: how many the game offers, and where their pictures lie. Skin n (1..SkinCount)
// is Images/Skin<n>/tex0..17.tga in the program folder, indexed by cube kind - 1. The content
// generator draws them (tools/content/Skins.cpp), the options screen offers them
// (front/MenuScreens.h), a game loads the chosen one (front/FrontEnd.cpp).
#pragma once

#include <string>

constexpr int SkinCount = 5;
constexpr int CubeTextureCount = 18; // tex0..tex17 of a skin

// The skin a stored setting means: one out of range is taken as the nearest skin.
constexpr int StoredSkin(int stored)
{
    return stored < 1 ? 1 : stored > SkinCount ? SkinCount : stored;
}

// The skin one step (-1 or +1) away from skin (1..count), wrapping around.
constexpr int SteppedSkin(int skin, int step, int count = SkinCount)
{
    return (skin - 1 + step + count) % count + 1;
}

// Cube texture k (0..17) of skin n, relative to the program folder.
inline std::string SkinFile(int skin, int k)
{
    return "Images/Skin" + std::to_string(skin) + "/tex" + std::to_string(k) + ".tga";
}
