#include "sound/Sound.h"

#include "base/ContentFile.h"
#include "base/LanguageFiles.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <iterator>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

const std::array<const char*, TuneCount> MusicNames = {"menu1.ogg", "menu2.ogg", "theme1.ogg", "theme2.ogg"};

namespace
{
// "Selected" loops on a channel of its own, so the other effects never take it.
constexpr int SelectedReservedChannel = 0;
constexpr int MixerChannels = 16;

struct TSoundState
{
    bool Open = false;
    std::array<Mix_Chunk*, SoundCount> Samples{};
    std::array<Mix_Music*, TuneCount> Streams{};
    std::string SoundExt = ".wav";
    TTune CurrentMusic = tnMenu1;
    int MenuTune = 2;
    int SelectedChannel = -1;
};

TSoundState State;

// The effects are decoded on a thread of their own while the loading goes on (about a tenth
// of a second of the start-up); whatever reads the samples first waits for it.
std::thread Decoder;

// Sounds/NAME.ext, for a spoken line in the language shown.
std::filesystem::path SoundFile(const std::filesystem::path& programFolder, int n, const std::string& extension)
{
    const std::filesystem::path relative = std::filesystem::path("Sounds") / (std::string(SoundNames[n]) + extension);
    // The announcer's lines are in every language (lang/<code>/Sounds/), the rest the same in all.
    return IsSpokenSound(n) ? LocalFile(programFolder, relative) : programFolder / relative;
}

std::array<Mix_Chunk*, SoundCount>& Samples()
{
    if (Decoder.joinable())
    {
        Decoder.join();
    }
    return State.Samples;
}

// Set when a tune starts, cleared at its natural end. SDL_mixer also calls the hook when
// the program halts the music itself; those calls come on the main thread while Halting
// is set and leave the flag alone, so a stop is not taken for an end.
std::atomic<bool> MusicPlaying{false};
std::atomic<bool> Halting{false};

void OnMusicFinished()
{
    if (!Halting.load())
    {
        MusicPlaying.store(false);
    }
}

void HaltMusic()
{
    Halting.store(true);
    Mix_HaltMusic();
    Halting.store(false);
}

void FreeSamples()
{
    for (Mix_Chunk*& chunk : Samples())
    {
        if (chunk != nullptr)
        {
            Mix_FreeChunk(chunk); // halts any channel still playing it
            chunk = nullptr;
        }
    }
    State.SelectedChannel = -1;
}

void FreeStreams()
{
    HaltMusic();
    for (Mix_Music*& music : State.Streams)
    {
        if (music != nullptr)
        {
            Mix_FreeMusic(music);
            music = nullptr;
        }
    }
}
} // namespace

int SampleMixerVolume(uint8_t soundVol)
{
    return std::min(MIX_MAX_VOLUME, (soundVol * MIX_MAX_VOLUME + 125) / 250);
}

int MusicStep(uint8_t musicVol)
{
    return std::min(10, static_cast<int>(std::lround(musicVol / 25.0)));
}

bool InitSound()
{
    if (State.Open)
    {
        return true;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
    {
        return false;
    }
    Mix_Init(MIX_INIT_OGG); // WAV needs no decoder library; a missing Ogg one only silences .ogg files
    if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0)
    {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(MixerChannels);
    Mix_ReserveChannels(1);
    Mix_HookMusicFinished(OnMusicFinished);
    State.Open = true;
    return true;
}

void OpenMusic(const std::filesystem::path& programFolder)
{
    if (!State.Open)
    {
        return;
    }
    FreeStreams();
    for (int n = 0; n < TuneCount; ++n)
    {
        const std::filesystem::path file = programFolder / "Music" / MusicNames[n];
        State.Streams[n] = Mix_LoadMUS(file.c_str()); // a missing tune stays silent
    }
}

void LoadSounds(const std::filesystem::path& programFolder)
{
    const std::filesystem::path folder = programFolder / "Sounds";
    std::error_code ec;
    State.SoundExt = std::filesystem::exists(folder / "NewLevel.ogg", ec) ? ".ogg" : ".wav";
    if (!State.Open)
    {
        return;
    }
    FreeSamples();
    std::vector<std::string> files;
    for (int n = 0; n < SoundCount; ++n)
    {
        files.push_back(SoundFile(programFolder, n, State.SoundExt).string());
    }
    // The tunes are open, so the decoder libraries are loaded and the thread only decodes.
    Decoder = std::thread(
        [files = std::move(files)]
        {
            for (size_t n = 0; n < files.size(); ++n)
            {
                State.Samples[n] = Mix_LoadWAV(files[n].c_str()); // a missing sound stays silent
            }
        });
    State.SelectedChannel = -1;
}

std::vector<std::filesystem::path> SoundFiles(const std::filesystem::path& programFolder)
{
    const std::filesystem::path folder = programFolder / "Sounds";
    std::error_code ec;
    const char* extension = std::filesystem::exists(folder / "NewLevel.ogg", ec) ? ".ogg" : ".wav";
    std::vector<std::filesystem::path> files;
    for (int n = 0; n < SoundCount; ++n)
    {
        files.push_back(SoundFile(programFolder, n, extension));
    }
    for (const char* name : MusicNames)
    {
        files.push_back(programFolder / "Music" / name);
    }
    return files;
}

std::string AudioFileProblem(const std::filesystem::path& file)
{
    std::string problem;
    std::FILE* in = OpenContentFile(file, problem);
    if (in == nullptr)
    {
        return problem;
    }
    char head[12] = {};
    const size_t got = std::fread(head, 1, sizeof head, in);
    std::fclose(in);
    const std::string_view magic(head, got);
    if (file.extension() == ".wav")
    {
        return got == sizeof head && magic.substr(0, 4) == "RIFF" && magic.substr(8, 4) == "WAVE" ? ""
                                                                                               : "is not a WAV file";
    }
    return magic.substr(0, 4) == "OggS" ? "" : "is not an Ogg file";
}

bool StartSound(const std::filesystem::path& programFolder, uint8_t soundVol, uint8_t musicVol,
                const std::function<void(int)>& barStep)
{
    if (!InitSound())
    {
        return false;
    }
    if (barStep)
    {
        barStep(12);
    }
    OpenMusic(programFolder);
    LoadSounds(programFolder);
    if (barStep)
    {
        barStep(13);
    }
    ApplySoundVolume(soundVol);
    ApplyMusicVolume(musicVol);
    return true;
}

void PlaySound(TSound n, uint8_t soundVol)
{
    if (soundVol == 0 || n < 0 || n >= SoundCount)
    {
        return;
    }
    if (n == snSelected && State.SelectedChannel != -1)
    {
        StopSound(snSelected);
    }
    Mix_Chunk* chunk = State.Open ? Samples()[static_cast<size_t>(n)] : nullptr;
    int channel = -1;
    if (chunk != nullptr)
    {
        // The volume rides on the sample, so it holds from the first mixed frame.
        Mix_VolumeChunk(chunk, SampleMixerVolume(soundVol));
        channel = n == snSelected ? Mix_PlayChannel(SelectedReservedChannel, chunk, -1)
                                  : Mix_PlayChannel(-1, chunk, 0);
    }
    if (n == snSelected)
    {
        State.SelectedChannel = channel;
    }
}

void StopSound(TSound n)
{
    if (n == snSelected && State.SelectedChannel != -1)
    {
        if (State.Open)
        {
            Mix_HaltChannel(State.SelectedChannel);
        }
        State.SelectedChannel = -1;
    }
}

void PlayMusic(TTune n, bool loop)
{
    if (n < 0 || n >= TuneCount)
    {
        return;
    }
    if (State.Open)
    {
        HaltMusic();
    }
    State.CurrentMusic = n;
    // Raised before the start, so that even a tune shorter than one mixer buffer cannot
    // end before the flag is up.
    MusicPlaying.store(true);
    if (State.Open && State.Streams[n] != nullptr)
    {
        Mix_PlayMusic(State.Streams[n], loop ? -1 : 1);
    }
}

void StopMusic()
{
    if (State.Open)
    {
        HaltMusic();
    }
}

bool MusicFinished()
{
    return !MusicPlaying.load();
}

void MenuMusicTick()
{
    if (!MusicFinished())
    {
        return;
    }
    if (State.MenuTune == 1)
    {
        PlayMenuMusic(tnMenu2);
    }
    else
    {
        PlayMenuMusic(tnMenu1);
    }
}

void PlayMenuMusic(TTune n)
{
    PlayMusic(n, false);
    State.MenuTune = n == tnMenu1 ? 1 : 2;
}

void ApplySoundVolume(uint8_t soundVol)
{
    // While the effects are being decoded none plays yet, and each one takes the volume
    // when it starts: no need to wait for them here.
    if (Decoder.joinable())
    {
        return;
    }
    for (Mix_Chunk* chunk : Samples())
    {
        if (chunk != nullptr)
        {
            Mix_VolumeChunk(chunk, SampleMixerVolume(soundVol));
        }
    }
}

void ApplyMusicVolume(uint8_t musicVol)
{
    if (State.Open)
    {
        Mix_VolumeMusic((MusicStep(musicVol) * MIX_MAX_VOLUME + 5) / 10);
    }
}

void ShutdownSound()
{
    if (!State.Open)
    {
        return;
    }
    Mix_HaltChannel(-1);
    FreeStreams();
    FreeSamples();
    Mix_HookMusicFinished(nullptr);
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    State.Open = false;
    MusicPlaying.store(false);
}

bool SoundOpen()
{
    return State.Open;
}

const std::string& SoundExt()
{
    return State.SoundExt;
}

bool SoundLoaded(TSound n)
{
    return n >= 0 && n < SoundCount && Samples()[static_cast<size_t>(n)] != nullptr;
}

bool MusicLoaded(TTune n)
{
    return n >= 0 && n < TuneCount && State.Streams[n] != nullptr;
}

TTune CurrentMusic()
{
    return State.CurrentMusic;
}

int MenuTune()
{
    return State.MenuTune;
}

int SelectedChannel()
{
    return State.SelectedChannel;
}
