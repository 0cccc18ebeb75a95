// Small sound files for the sound tests: sine tones as 16-bit PCM WAV or Ogg Vorbis.
#pragma once

#include <filesystem>

// Mono 44100 Hz; amplitude is the peak sample value (at most 32767).
void WriteWavTone(const std::filesystem::path& file, double frequency, double seconds, int amplitude);
void WriteOggTone(const std::filesystem::path& file, double frequency, double seconds, double amplitude);
