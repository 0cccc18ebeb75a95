// The announcer: espeak-ng says the words, our DSP makes them a voice of the game (lower
// pitch, presence, a doubled chorus, a room).
#include "tools/content/SoundEffects.h"

#include "tools/content/Audio.h"
#include "tools/content/Languages.h"
#include "tools/content/Synth.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{
struct TVoiceLine
{
    TSound Number;
    const char* Text;
    int Speed;    // espeak-ng words per minute
    int Pitch;    // espeak-ng base pitch 0..99
    double Lower; // our pitch factor (< 1 lowers)
    double Room;  // reverb room size
    float Wet;
};

const TVoiceLine Lines[] = {
    {snDouble, N_("Double score!"), 150, 45, 0.88, 0.55, 0.25f},
    {snTriple, N_("Triple score!"), 150, 48, 0.88, 0.55, 0.25f},
    {snQuadro, N_("Quadro score!"), 150, 50, 0.88, 0.6, 0.27f},
    {snExcellent, N_("Excellent!"), 140, 60, 0.9, 0.65, 0.3f},
    // TRANSLATORS: the game's name, called out by the announcer: keep the name, write it as
    // your language's speech synthesiser says it best.
    {snTandrel, N_("Tandrel!"), 120, 40, 0.8, 0.85, 0.4f},
};

std::string Quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
    {
        q += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    }
    return q + "'";
}

// espeak-ng's voice for the language being made: its code in lower case with a hyphen
// ("pt_BR" is pt-br), American English for English; always the third male variant.
std::string Voice(const TSources& sources)
{
    std::string voice = sources.Language != nullptr ? sources.Language->Code : "en-us";
    for (char& c : voice)
    {
        c = c == '_' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return voice + "+m3";
}

std::vector<float> Speak(const TSources& sources, const TVoiceLine& line, int& rate)
{
    const std::string text = sources.Tr(line.Text);
    const std::string command = Quote(sources.Espeak.string()) + " -v " + Voice(sources) + " -s " +
                                std::to_string(line.Speed) + " -p " + std::to_string(line.Pitch) +
                                " --stdout " + Quote(text);
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
    {
        throw std::runtime_error("cannot run " + sources.Espeak.string());
    }
    std::vector<unsigned char> bytes;
    unsigned char buffer[65536];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
    {
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    if (pclose(pipe) != 0 || bytes.empty())
    {
        throw std::runtime_error(sources.Espeak.string() + " failed to speak \"" + text + "\" in " +
                                 sources.LanguageName());
    }
    return ParseWav(bytes, rate);
}

// A gentle compressor: evens the syllables out so the words carry over the music.
void Compress(std::vector<float>& v, float threshold, float ratio)
{
    float env = 0;
    const float attack = 1.0f - std::exp(-1.0f / (0.003f * SampleRate));
    const float release = 1.0f - std::exp(-1.0f / (0.08f * SampleRate));
    for (float& x : v)
    {
        const float a = std::fabs(x);
        env += (a > env ? attack : release) * (a - env);
        if (env > threshold)
        {
            const float over = env / threshold;
            x *= std::pow(over, 1.0f / ratio - 1.0f);
        }
    }
}

TWave Shape(std::vector<float> speech, int rate, const TVoiceLine& line)
{
    // Lower the pitch by playing the speech back slower.
    std::vector<float> v = Resample(speech, rate, SampleRate / line.Lower);
    // Clear the rumble, lift the presence.
    TSvf lowCut;
    lowCut.Set(110.0, 0.7);
    TSvf presence;
    presence.Set(2800.0, 0.9);
    TSvf air;
    air.Set(7000.0, 0.7);
    for (float& x : v)
    {
        const double lc = lowCut.High(x);
        x = static_cast<float>(lc + 0.45 * presence.Band(lc) + 0.15 * air.High(lc));
    }
    float peak = 0;
    for (float x : v)
    {
        peak = std::max(peak, std::fabs(x));
    }
    for (float& x : v)
    {
        x /= std::max(peak, 1e-6f);
    }
    Compress(v, 0.25f, 3.0f);

    // Doubling: two slightly delayed, slowly wavering copies spread left and right.
    const double lead = 0.03;
    TWave s = TWave::Stereo(static_cast<double>(v.size()) / SampleRate + lead);
    TDelayLine delay(4096);
    TOsc wobbleL(0.0);
    TOsc wobbleR(0.37);
    for (size_t i = 0; i < s.Frames(); ++i)
    {
        const float dry = i < v.size() ? v[i] : 0.0f;
        delay.Write(dry);
        const float l = delay.Read((0.012 + 0.0015 * wobbleL.Sine(0.7)) * SampleRate);
        const float r = delay.Read((0.019 + 0.0015 * wobbleR.Sine(0.9)) * SampleRate);
        s.At(i, 0) = dry + 0.35f * l - 0.1f * r;
        s.At(i, 1) = dry + 0.35f * r - 0.1f * l;
    }
    return WithReverb(s, line.Room, 0.45, line.Wet, 1.0);
}
} // namespace

bool IsVoice(TSound sound)
{
    return std::any_of(std::begin(Lines), std::end(Lines),
                       [sound](const TVoiceLine& line) { return line.Number == sound; });
}

void MakeVoices(const TOutput& out, const TSources& sources)
{
    CheckSoundRecipes();
    for (const TVoiceLine& line : Lines)
    {
        int rate = 0;
        std::vector<float> speech = Speak(sources, line, rate);
        FinishEffect(out, line.Number, Shape(std::move(speech), rate, line), 1.1f);
    }
}
