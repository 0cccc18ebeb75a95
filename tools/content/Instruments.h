// The sound of one note of an instrument.
#pragma once

#include "tools/content/Music.h"

#include <cstdint>
#include <vector>

// Mono samples of one note held for `held` seconds (its ring after that included); drums
// ignore the frequency. The seed varies the noise and the oscillator phases.
std::vector<float> RenderNote(TInstrument instrument, double hz, double held, float velocity,
                              uint32_t seed);
