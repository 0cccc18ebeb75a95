#include "tests/sound/AudioFiles.h"
#include "sound/Sound.h"
#include "tests/support/TestSupport.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace
{
// A program folder with every effect as a short WAV tone and the four tunes as short
// Ogg tones (menu1 and menu2 0.2 s, the themes 0.5 s).
class SoundTest : public ::testing::Test
{
protected:
    void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }
    void TearDown() override { ShutdownSound(); }

    void WriteSounds(const char* ext = ".wav", double seconds = 0.1) const
    {
        for (int n = 0; n < SoundCount; ++n)
        {
            const auto file = Tmp.Path() / "Sounds" / (std::string(SoundNames[n]) + ext);
            if (std::string(ext) == ".ogg")
            {
                WriteOggTone(file, 440.0 + n * 10, seconds, 0.5);
            }
            else
            {
                WriteWavTone(file, 440.0 + n * 10, seconds, 16000);
            }
        }
    }

    void WriteMusic() const
    {
        WriteOggTone(Tmp.Path() / "Music" / "menu1.ogg", 330.0, 0.2, 0.5);
        WriteOggTone(Tmp.Path() / "Music" / "menu2.ogg", 660.0, 0.2, 0.5);
        WriteOggTone(Tmp.Path() / "Music" / "theme1.ogg", 220.0, 0.5, 0.5);
        WriteOggTone(Tmp.Path() / "Music" / "theme2.ogg", 880.0, 0.5, 0.5);
    }

    void Start()
    {
        ASSERT_TRUE(InitSound()) << SDL_GetError();
        OpenMusic(Tmp.Path());
        LoadSounds(Tmp.Path());
    }

    // Runs the menu tick as the frame loop would and records every tune it starts,
    // until count tunes have been heard or five seconds have passed.
    std::vector<TTune> MenuTunesHeard(size_t count) const
    {
        std::vector<TTune> heard{CurrentMusic()};
        WaitUntil(
            [&]
            {
                const bool before = MusicFinished();
                MenuMusicTick();
                if (before)
                {
                    heard.push_back(CurrentMusic());
                    EXPECT_TRUE(Mix_PlayingMusic()) << "a started menu tune is heard";
                }
                return heard.size() >= count;
            },
            std::chrono::seconds(5));
        return heard;
    }

    TempFolder Tmp;
};

// Plays through the disk driver into a raw file and returns the largest sample there.
struct TDiskCapture
{
    explicit TDiskCapture(const std::filesystem::path& file) : File(file)
    {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    }

    // Call after ShutdownSound, when the driver has closed the file.
    int Peak() const
    {
        std::ifstream in(File, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        int peak = 0;
        for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        {
            const auto v = static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8));
            peak = std::max(peak, std::abs(static_cast<int>(v)));
        }
        return peak;
    }

    std::filesystem::path File;
};

// How many buffers the mixer has mixed since the last call of CountMixedBuffers (which the
// mixer must be open for); the audio thread hands a buffer to the driver before it mixes the
// next one.
std::atomic<int> MixedBuffers{0};
std::atomic<int> MixedBytes{0};

void CountMixedBuffers()
{
    MixedBuffers = 0;
    MixedBytes = 0;
    Mix_SetPostMix(
        [](void*, Uint8*, int bytes)
        {
            MixedBytes += bytes;
            ++MixedBuffers;
        },
        nullptr);
}

// Waits until the mixer has mixed this much sound (16-bit stereo at 44.1 kHz).
bool WaitForMixedSeconds(double seconds)
{
    const int bytes = MixedBytes + static_cast<int>(seconds * 44100 * 4);
    return WaitUntil([&] { return MixedBytes >= bytes; }, std::chrono::seconds(10));
}

// Waits until nothing plays and the buffer that held the end has reached the driver.
void WaitWhilePlaying(std::chrono::milliseconds limit)
{
    WaitUntil([] { return Mix_Playing(-1) == 0 && !Mix_PlayingMusic(); }, limit);
    const int stopped = MixedBuffers;
    WaitUntil([&] { return MixedBuffers >= stopped + 2; }, std::chrono::seconds(2));
}
} // namespace

TEST(SoundTables, NamesAndTunes)
{
    EXPECT_STREQ(SoundNames[snNewLevel], "NewLevel");
    EXPECT_STREQ(SoundNames[snTandrel], "vTandrel");
    EXPECT_STREQ(SoundNames[snSelected], "Selected");
    EXPECT_STREQ(SoundNames[snMessage], "Message");
    EXPECT_STREQ(MusicNames[tnMenu1], "menu1.ogg");
    EXPECT_STREQ(MusicNames[tnTheme2], "theme2.ogg");
}

TEST(SoundTables, VolumeMapping)
{
    EXPECT_EQ(MusicStep(250), 10);
    EXPECT_EQ(MusicStep(120), 5); // 4.8 rounded
    EXPECT_EQ(MusicStep(10), 0);
    EXPECT_EQ(MusicStep(255), 10); // a hand-edited file can hold more than the menu allows
    EXPECT_EQ(SampleMixerVolume(250), MIX_MAX_VOLUME);
    EXPECT_EQ(SampleMixerVolume(255), MIX_MAX_VOLUME);
    EXPECT_EQ(SampleMixerVolume(0), 0);
    EXPECT_EQ(SampleMixerVolume(125), MIX_MAX_VOLUME / 2);
}

TEST_F(SoundTest, OneOggTestDecidesTheExtensionOfAll)
{
    WriteSounds(".wav");
    Start();
    EXPECT_EQ(SoundExt(), ".wav");
    for (int n = 0; n < SoundCount; ++n)
    {
        EXPECT_TRUE(SoundLoaded(static_cast<TSound>(n))) << SoundNames[n];
    }
    for (int n = 0; n < TuneCount; ++n)
    {
        EXPECT_FALSE(MusicLoaded(static_cast<TTune>(n))) << "no music written yet";
    }

    // With NewLevel.ogg present every sound is looked for as .ogg, even where only a
    // WAV exists: those stay silent.
    WriteOggTone(Tmp.Path() / "Sounds" / "NewLevel.ogg", 500.0, 0.1, 0.5);
    WriteOggTone(Tmp.Path() / "Sounds" / "Shot.ogg", 500.0, 0.1, 0.5);
    LoadSounds(Tmp.Path());
    EXPECT_EQ(SoundExt(), ".ogg");
    EXPECT_TRUE(SoundLoaded(snNewLevel));
    EXPECT_TRUE(SoundLoaded(snShot));
    EXPECT_FALSE(SoundLoaded(snNewTurn));
    EXPECT_FALSE(SoundLoaded(snSelected));
    PlaySound(snSelected, 160); // its file is missing: nothing plays, nothing breaks
    EXPECT_EQ(Mix_Playing(-1), 0);
}

TEST_F(SoundTest, OnlyOneSelectedPlaysAndOnlyItStops)
{
    WriteSounds(".wav", 0.1);
    Start();
    PlaySound(snSelected, 160);
    const int first = SelectedChannel();
    ASSERT_NE(first, -1);
    PlaySound(snSelected, 160);
    EXPECT_EQ(Mix_Playing(-1), 1) << "the first Selected was stopped before the second";
    EXPECT_EQ(Mix_Playing(SelectedChannel()), 1);

    PlaySound(snMoveCube, 160);
    PlaySound(snMoveCube, 160); // ordinary effects overlap
    EXPECT_EQ(Mix_Playing(-1), 3);
    StopSound(snMoveCube); // only Selected is ever stopped
    EXPECT_EQ(Mix_Playing(-1), 3);

    // The others end after the 0.1 s of their tone; Selected, started first, loops on.
    EXPECT_TRUE(WaitUntil([] { return Mix_Playing(-1) == 1; }));
    EXPECT_EQ(Mix_Playing(SelectedChannel()), 1);
    StopSound(snSelected);
    EXPECT_EQ(SelectedChannel(), -1);
    EXPECT_EQ(Mix_Playing(-1), 0);
    StopSound(snSelected); // again: harmless
}

TEST_F(SoundTest, NothingStartsAtSoundVolumeZeroButMusicPlays)
{
    WriteSounds();
    WriteMusic();
    Start();
    for (int n = 0; n < SoundCount; ++n)
    {
        PlaySound(static_cast<TSound>(n), 0);
    }
    EXPECT_EQ(Mix_Playing(-1), 0);
    EXPECT_EQ(SelectedChannel(), -1);
    ApplyMusicVolume(120);
    PlayMusic(tnTheme1, true);
    EXPECT_TRUE(Mix_PlayingMusic());
}

TEST_F(SoundTest, MusicVolumeReachesTheMixerInElevenSteps)
{
    Start();
    ApplyMusicVolume(250);
    EXPECT_EQ(Mix_VolumeMusic(-1), MIX_MAX_VOLUME);
    ApplyMusicVolume(120);
    EXPECT_EQ(Mix_VolumeMusic(-1), (5 * MIX_MAX_VOLUME + 5) / 10);
    ApplyMusicVolume(10);
    EXPECT_EQ(Mix_VolumeMusic(-1), 0);
}

TEST_F(SoundTest, MenuTunesAlternate)
{
    WriteMusic();
    Start();
    ApplyMusicVolume(120);
    // Entering the main menu: menu1, then menu2, then menu1 again.
    StopMusic();
    PlayMenuMusic(tnMenu1);
    EXPECT_EQ(MenuTune(), 1);
    EXPECT_EQ(MenuTunesHeard(4), (std::vector<TTune>{tnMenu1, tnMenu2, tnMenu1, tnMenu2}));

    // After a game: menu2 first.
    PlayMenuMusic(tnMenu2);
    EXPECT_EQ(MenuTune(), 2);
    EXPECT_EQ(MenuTunesHeard(3), (std::vector<TTune>{tnMenu2, tnMenu1, tnMenu2}));
}

TEST_F(SoundTest, StoppingIsNotAnEndAndThemesLoop)
{
    WriteMusic();
    Start();
    PlayMenuMusic(tnMenu1);
    StopMusic();
    EXPECT_FALSE(Mix_PlayingMusic());
    EXPECT_FALSE(MusicFinished()) << "a stopped tune does not hand over to the next";
    MenuMusicTick();
    EXPECT_FALSE(Mix_PlayingMusic());
    EXPECT_EQ(CurrentMusic(), tnMenu1);

    CountMixedBuffers();
    PlayMusic(tnTheme2, true);
    ASSERT_TRUE(WaitForMixedSeconds(1.2)); // more than twice the theme's length
    EXPECT_TRUE(Mix_PlayingMusic());
    EXPECT_FALSE(MusicFinished());
    PlayMusic(tnMenu2, false); // switching stops the theme
    EXPECT_EQ(CurrentMusic(), tnMenu2);
    EXPECT_TRUE(WaitUntil(MusicFinished, std::chrono::seconds(5)));
}

TEST_F(SoundTest, CallsBeforeTheMixerIsOpenAreHarmless)
{
    WriteSounds();
    WriteMusic();
    StopMusic();
    PlayMusic(tnMenu1, false); // the frame loop can do this before loading
    MenuMusicTick();
    PlaySound(snSelected, 160);
    StopSound(snSelected);
    ApplySoundVolume(160);
    ApplyMusicVolume(120);
    ShutdownSound();
    EXPECT_FALSE(SoundOpen());
    Start();
    EXPECT_TRUE(SoundOpen());
    PlayMenuMusic(tnMenu1);
    EXPECT_TRUE(Mix_PlayingMusic());
}

TEST_F(SoundTest, SecondStartWithoutShutdownKeepsEverythingPlayable)
{
    WriteSounds();
    WriteMusic();
    Start();
    PlayMusic(tnTheme1, true);
    PlaySound(snSelected, 160);
    // A full-screen restore runs the start-up again without a shutdown.
    Start();
    for (int n = 0; n < SoundCount; ++n)
    {
        ASSERT_TRUE(SoundLoaded(static_cast<TSound>(n)));
    }
    for (int n = 0; n < TuneCount; ++n)
    {
        ASSERT_TRUE(MusicLoaded(static_cast<TTune>(n)));
    }
    PlaySound(snSelected, 160);
    PlaySound(snShot, 160);
    EXPECT_EQ(Mix_Playing(-1), 2);
    PlayMusic(tnTheme2, true);
    EXPECT_TRUE(Mix_PlayingMusic());
    // One shutdown closes it all; the mixer can be opened again afterwards.
    ShutdownSound();
    EXPECT_FALSE(SoundOpen());
    EXPECT_FALSE(MusicLoaded(tnTheme2));
    EXPECT_FALSE(SoundLoaded(snShot));
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    Start();
    PlaySound(snShot, 160);
    EXPECT_EQ(Mix_Playing(-1), 1);
}

TEST_F(SoundTest, StartUpStepsAndVolumes)
{
    WriteSounds();
    WriteMusic();
    uint8_t soundVol = 125;
    uint8_t musicVol = 250;
    std::vector<int> steps;
    ASSERT_TRUE(StartSound(Tmp.Path(), soundVol, musicVol, [&steps](int s) { steps.push_back(s); }));
    EXPECT_EQ(steps, (std::vector<int>{12, 13}));
    EXPECT_TRUE(SoundLoaded(snTandrel));
    EXPECT_TRUE(MusicLoaded(tnMenu2));
    EXPECT_EQ(Mix_VolumeMusic(-1), MIX_MAX_VOLUME);
}

TEST_F(SoundTest, MixerThatCannotStartLeavesTheGameSilent)
{
    WriteSounds();
    WriteMusic();
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    uint8_t soundVol = 160;
    uint8_t musicVol = 120;
    std::vector<int> steps;
    EXPECT_FALSE(StartSound(Tmp.Path(), soundVol, musicVol, [&steps](int s) { steps.push_back(s); }));
    EXPECT_TRUE(steps.empty());
    EXPECT_FALSE(SoundOpen());
    EXPECT_FALSE(SoundLoaded(snNewLevel));
    // The rest of the game goes on calling; nothing happens and nothing breaks.
    PlaySound(snTandrel, soundVol);
    PlayMenuMusic(tnMenu1);
    MenuMusicTick();
    StopMusic();
    StopSound(snSelected);
    ShutdownSound();
}

TEST_F(SoundTest, EffectsReallyPlayAtTheirVolume)
{
    WriteSounds(".wav", 0.2);
    int peaks[3] = {};
    const uint8_t volumes[3] = {250, 125, 0};
    for (int i = 0; i < 3; ++i)
    {
        TDiskCapture capture(Tmp.Path() / ("out" + std::to_string(i) + ".raw"));
        Start();
        int frequency = 0;
        Uint16 format = 0;
        int channels = 0;
        ASSERT_EQ(Mix_QuerySpec(&frequency, &format, &channels), 1);
        ASSERT_EQ(format, AUDIO_S16LSB);
        ApplySoundVolume(volumes[i]);
        CountMixedBuffers();
        PlaySound(snExplodeBomb, volumes[i]);
        WaitWhilePlaying(std::chrono::seconds(2));
        ShutdownSound();
        peaks[i] = capture.Peak();
    }
    EXPECT_NEAR(peaks[0], 16000, 400); // the tone's own peak at full volume
    EXPECT_NEAR(peaks[1], peaks[0] / 2, 400);
    EXPECT_EQ(peaks[2], 0);
}

TEST_F(SoundTest, MusicReallyPlaysAndVolumeTenIsSilent)
{
    WriteMusic();
    int peaks[2] = {};
    const uint8_t volumes[2] = {250, 10};
    for (int i = 0; i < 2; ++i)
    {
        TDiskCapture capture(Tmp.Path() / ("music" + std::to_string(i) + ".raw"));
        Start();
        ApplyMusicVolume(volumes[i]);
        CountMixedBuffers();
        PlayMenuMusic(tnMenu1);
        WaitWhilePlaying(std::chrono::seconds(2));
        EXPECT_TRUE(MusicFinished());
        ShutdownSound();
        peaks[i] = capture.Peak();
    }
    EXPECT_GT(peaks[0], 12000); // a tone of half the full scale
    EXPECT_EQ(peaks[1], 0);
}
