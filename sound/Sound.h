// sound/ owns the sound effects and the tunes over SDL_mixer; it sits beside render/ and
// includes game/ (the sound numbers) and base/.
//
// Sound effects and music over SDL_mixer. The effects are numbered and named in
// game/Sounds.h and live in the program folder's Sounds/ as NAME.ogg or NAME.wav; the four tunes are
// Music/menu1.ogg, menu2.ogg, theme1.ogg and theme2.ogg.
//
// One module-level state, used from the main thread only; the mixer's end-of-music
// callback runs on the audio thread and does nothing but clear one atomic flag.
// Every call is harmless before InitSound and after ShutdownSound: the game then runs
// silent. Volumes come from the settings on every call that needs them: effects
// 0..250, music 0..250 heard in eleven steps, round(MusicVol / 25).
#pragma once

#include "game/Sounds.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

extern const std::array<const char*, TuneCount> MusicNames;

// Opens the audio device and the mixer (44100 Hz). True on success; a second call while
// the mixer is open keeps it open and succeeds.
bool InitSound();
// Opens the four tunes from programFolder/Music, replacing any opened before.
void OpenMusic(const std::filesystem::path& programFolder);
// Loads the effects from programFolder/Sounds, replacing any loaded before. One test, for
// Sounds/NewLevel.ogg, decides the extension of all of them: ".ogg" or else ".wav". They
// are decoded on a thread of their own; the first call that needs them waits for it.
void LoadSounds(const std::filesystem::path& programFolder);

// Every sound and tune file the game plays, with the extension LoadSounds would choose.
std::vector<std::filesystem::path> SoundFiles(const std::filesystem::path& programFolder);
// Why an Ogg or WAV file cannot be played, from its first bytes ("is missing", "cannot be
// read (...)", "is not an Ogg file"); "" when it can.
std::string AudioFileProblem(const std::filesystem::path& file);

// The start-up the loading sequence runs: InitSound, then barStep(12), OpenMusic,
// LoadSounds, barStep(13) and both volumes applied. When the mixer cannot start, nothing
// is opened and this run stays silent; the player's volumes are left as stored, so the
// next run with a sound device plays at them. Returns InitSound's result.
bool StartSound(const std::filesystem::path& programFolder, uint8_t soundVol, uint8_t musicVol,
                const std::function<void(int)>& barStep);

// Nothing at volume 0. At most one "Selected" plays: a second one stops the first.
void PlaySound(TSound n, uint8_t soundVol);
// Stops the looping "Selected"; any other sound plays to its end.
void StopSound(TSound n);
// Stops the current tune and starts tune n from its beginning, once or looping.
void PlayMusic(TTune n, bool loop);
void StopMusic();
// True once the tune last started has played to its natural end (a stop does not count).
bool MusicFinished();
// Called every frame in the menu states: when the menu tune has ended, the other starts.
void MenuMusicTick();
// Starts menu tune n once and makes the other one follow it (n is tnMenu1 or tnMenu2).
void PlayMenuMusic(TTune n);

void ApplySoundVolume(uint8_t soundVol);
void ApplyMusicVolume(uint8_t musicVol);

// Stops everything and closes the mixer and the device.
void ShutdownSound();

// The mixer volume (0..128) an effect plays at, and the music step (0..10) of a setting.
int SampleMixerVolume(uint8_t soundVol);
int MusicStep(uint8_t musicVol);

// State that the frame loop and the tests look at.
bool SoundOpen();
const std::string& SoundExt();
bool SoundLoaded(TSound n);
bool MusicLoaded(TTune n);
TTune CurrentMusic();
int MenuTune(); // 1 while menu1 is the current menu tune, 2 while menu2 is
int SelectedChannel(); // mixer channel of the looping "Selected", -1 when none
