// The 27 sound effects of the game (Sounds/NAME.ogg) and the five spoken voices among them.
#pragma once

#include "tools/content/Output.h"
#include "tools/content/Sources.h"

// Every effect but the voices.
void MakeSounds(const TOutput& out, const TSources& sources);
// vDouble, vTriple, vQuadro, vExcellent, vTandrel: espeak-ng's speech shaped by our own DSP.
void MakeVoices(const TOutput& out, const TSources& sources);

// Loudest 50 ms of every effect, so that they sit at one level in the game.
inline constexpr float EffectRms = 0.16f;
inline constexpr float EffectPeak = 0.85f;
// Writes an effect after the common finishing: no DC, soft ends, matched level.
struct TSound;
void FinishEffect(const TOutput& out, const char* name, TSound sound, float level = 1.0f);
