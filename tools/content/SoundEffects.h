// The sound effects of the game's table (game/Sounds.h, Sounds/NAME.ogg): the voices among
// them are spoken, the others synthesised. Each sound of the table has one recipe, here or
// among the voices; both jobs stop when one has none, or two.
#pragma once

#include "game/Sounds.h"
#include "tools/content/Output.h"
#include "tools/content/Sources.h"

// Every effect but the voices.
void MakeSounds(const TOutput& out, const TSources& sources);
// The voices (snDouble, snTriple, ...): espeak-ng's speech shaped by our own DSP.
void MakeVoices(const TOutput& out, const TSources& sources);
// Whether the sound is one of the voices.
bool IsVoice(TSound sound);
// Throws when a sound of the table has no recipe or more than one.
void CheckSoundRecipes();

// Loudest 50 ms of every effect, so that they sit at one level in the game.
inline constexpr float EffectRms = 0.16f;
inline constexpr float EffectPeak = 0.85f;
// Writes an effect after the common finishing: no DC, soft ends, matched level.
struct TWave;
void FinishEffect(const TOutput& out, TSound number, TWave sound, float level = 1.0f);
