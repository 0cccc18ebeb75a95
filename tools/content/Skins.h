// The cube skins: Images/Skin1..SkinCount/tex0..17.tga (front/Skins.h). Index = kind - 1: 0..6 the seven colours,
// 7 joker, 8 bomb, 9 shot, 10..16 paint cubes of colours 1..7, 17 stone. Joker, bomb, shot
// and stone are read from Skin1 by the game whatever the skin.
#pragma once

#include "front/Skins.h"
#include "tools/content/Image.h"
#include "tools/content/Output.h"
#include "tools/content/Sources.h"

inline constexpr int SkinTextureSize = 128;
// The cube mesh shows the whole picture on each side: its flat square spans 0.1004..0.8996
// of the picture, the rounded edges the rest; the stone's flat square spans 0.12..0.88.
inline constexpr float CubeFlatStart = 0.1004f;
inline constexpr float CubeFlatEnd = 0.8996f;
inline constexpr float StoneFlatStart = 0.12f;
inline constexpr float StoneFlatEnd = 0.88f;

// One texture of one skin (1..SkinCount), index 0..17.
TImage SkinTexture(int skin, int index);
const char* SkinName(int skin);

void MakeSkins(const TOutput& out, const TSources& sources);
