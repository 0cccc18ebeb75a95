#include "front/HighScores.h"
#include "front/VirtualKeys.h"

#include "base/AtomicFile.h"
#include "base/Glyphs.h"
#include "base/PlayerFile.h"
#include "base/Text.h"
#include "render/Font.h"
#include "render/Graphics.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <limits>
#include <system_error>
#include <utility>

int64_t RoundedScore(double score)
{
    if (std::isnan(score))
    {
        return 0;
    }
    constexpr double Limit = 9.2e18; // inside the 64-bit range
    // std::nearbyint rounds halves to even in the default rounding mode.
    return static_cast<int64_t>(std::nearbyint(std::clamp(score, -Limit, Limit)));
}

int32_t TableScore(int64_t rounded)
{
    return static_cast<int32_t>(std::clamp<int64_t>(rounded, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

void THiScoreEntry::SetName(std::string_view name)
{
    NameLength = static_cast<uint8_t>(WholeCharacters(name, MaxNameLength).size());
    Name.fill('\0');
    std::copy_n(name.begin(), NameLength, Name.begin());
}

THiScores::THiScores(std::filesystem::path file, std::function<void(TSound)> playSound)
    : Path(std::move(file)), Play(std::move(playSound))
{
    SetDefaults();
}

void THiScores::SetDefaults()
{
    for (int mode = 1; mode <= 2; ++mode)
    {
        for (int i = 1; i <= HiScorePlaces; ++i)
        {
            Tables[mode][i].SetName(_("Anonymous"));
            Tables[mode][i].Points = 1100 - 100 * i;
        }
    }
}

std::string THiScores::Create()
{
    SetDefaults();
    return LoadScores();
}

std::string THiScores::LoadScores()
{
    Unreadable.clear();
    RemoveStaleTemporaryFile(Path); // left by a save killed half-way in an earlier run
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(Path, ec);
    if (status.type() == std::filesystem::file_type::not_found)
    {
        return {};
    }
    // A file that cannot be read is the player's still: it is never replaced by the
    // default tables in this run.
    auto unreadable = [this](const std::string& why)
    {
        Unreadable = Path.string() + " " + why;
        return Unreadable + ". " +
               _("The default high scores are shown, and the file is left as it is: "
                 "no score is saved over it until it can be read.");
    };
    // Refused without waiting on it when a FIFO or a device is in the file's place; no more
    // than one byte beyond the right size is read: a larger file is damaged anyway.
    TPlayerFile read = ReadPlayerFile(Path, HiScoreFileSize);
    if (read.Status == TPlayerFile::TStatus::NotAFile || read.Status == TPlayerFile::TStatus::Unreadable)
    {
        return unreadable(read.Problem);
    }
    std::string& bytes = read.Bytes;
    const std::uintmax_t size = read.Size;

    std::string problem;
    if (bytes.size() != HiScoreFileSize)
    {
        problem = "is " + std::to_string(size) + " bytes long instead of " + std::to_string(HiScoreFileSize);
    }
    for (size_t e = 0; problem.empty() && e < 2 * HiScorePlaces; ++e)
    {
        if (static_cast<uint8_t>(bytes[e * 20]) > MaxNameLength)
        {
            problem = "entry " + std::to_string(e % HiScorePlaces + 1) + " of mode " +
                      std::to_string(e / HiScorePlaces + 1) + " has a name longer than 15 characters";
        }
    }
    if (!problem.empty())
    {
        // Keep what the player had: the damaged file moves aside, the defaults are used.
        auto aside = Path;
        aside += ".damaged";
        std::filesystem::copy_file(Path, aside, std::filesystem::copy_options::overwrite_existing, ec);
        if (ec)
        {
            return unreadable(problem + " and no copy of it can be kept (" + ec.message() + ")");
        }
        return Path.string() + " " + problem + ". " +
               Formatted(_("It was kept as %s and the default high scores are shown."), aside.filename().string());
    }

    for (int mode = 1; mode <= 2; ++mode)
    {
        for (int i = 1; i <= HiScorePlaces; ++i)
        {
            const unsigned char* p =
                reinterpret_cast<const unsigned char*>(bytes.data()) + ((mode - 1) * HiScorePlaces + (i - 1)) * 20;
            THiScoreEntry& entry = Tables[mode][i];
            entry.NameLength = p[0];
            std::copy_n(p + 1, MaxNameLength, entry.Name.begin());
            entry.Points = static_cast<int32_t>(static_cast<uint32_t>(p[16]) | static_cast<uint32_t>(p[17]) << 8 |
                                                static_cast<uint32_t>(p[18]) << 16 | static_cast<uint32_t>(p[19]) << 24);
        }
    }
    return {};
}

std::string THiScores::SaveScores()
{
    std::string bytes(HiScoreFileSize, '\0');
    for (int mode = 1; mode <= 2; ++mode)
    {
        for (int i = 1; i <= HiScorePlaces; ++i)
        {
            char* p = bytes.data() + ((mode - 1) * HiScorePlaces + (i - 1)) * 20;
            const THiScoreEntry& entry = Tables[mode][i];
            p[0] = static_cast<char>(entry.NameLength);
            std::copy_n(entry.Name.begin(), MaxNameLength, p + 1);
            const auto points = static_cast<uint32_t>(entry.Points);
            for (int b = 0; b < 4; ++b)
            {
                p[16 + b] = static_cast<char>((points >> (8 * b)) & 0xFF);
            }
        }
    }

    LastSaveError.clear();
    if (!Unreadable.empty())
    {
        LastSaveError = Formatted(_("The high scores are not saved: %s at start, and it is left as it is."), Unreadable);
    }
    else if (const std::string problem = WriteFileAtomically(Path, bytes); !problem.empty())
    {
        // TRANSLATORS: %1$s is the file, %2$s what went wrong ("cannot be written (No space left
        // on device)")
        LastSaveError = Formatted(_("%1$s: the high scores %2$s"), {Path.string(), problem});
    }
    if (!LastSaveError.empty() && ShowProblem)
    {
        ShowProblem(LastSaveError);
    }
    return LastSaveError;
}

int THiScores::InsertScore(int32_t points)
{
    auto& table = Tables[ShownMode];
    int p = 1;
    while (p <= HiScorePlaces && table[p].Points >= points)
    {
        ++p;
    }
    if (p > HiScorePlaces)
    {
        return 0;
    }
    for (int i = HiScorePlaces; i > p; --i)
    {
        table[i] = table[i - 1];
    }
    table[p] = THiScoreEntry{};
    table[p].Points = points;
    return p;
}

char THiScores::NameCharacter(int key)
{
    if (key == VkSpace || (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
    {
        return static_cast<char>(key);
    }
    switch (key)
    {
    case VkComma: return ',';
    case VkMinus: return '-';
    case VkPeriod: return '.';
    case VkSlash: return '/';
    default: return 0;
    }
}

void THiScores::EditName(int key)
{
    if (Play)
    {
        Play(snMenuKey);
    }
    THiScoreEntry& entry = Tables[ShownMode][EditRow];
    if (key == VkEnter)
    {
        SaveScores();
        Entering = false;
    }
    else if (key == VkBack)
    {
        // The whole last character, however many bytes it takes.
        const size_t kept = entry.NameLength == 0 ? 0 : WholeCharacters(entry.PlayerName(), entry.NameLength - 1u).size();
        std::fill(entry.Name.begin() + static_cast<std::ptrdiff_t>(kept), entry.Name.end(), '\0');
        entry.NameLength = static_cast<uint8_t>(kept);
    }
    else if (const char c = NameCharacter(key & 0xFF); c != 0 && entry.NameLength < MaxNameLength)
    {
        entry.Name[entry.NameLength++] = c;
    }
}

bool THiScores::TypeText(std::string_view text)
{
    std::string typed;
    for (size_t at = 0; at < text.size();)
    {
        const char32_t c = NextCharacter(text, at);
        if (GlyphOf(c) == GlyphNone || c == 0xFFFD || c < U' ')
        {
            return false;
        }
        AppendUtf8(typed, c == U'ß' ? c : Capital(c)); // ß keeps its two bytes, drawn as its capital
    }
    if (Play)
    {
        Play(snMenuKey);
    }
    THiScoreEntry& entry = Tables[ShownMode][EditRow];
    if (entry.NameLength + typed.size() <= static_cast<size_t>(MaxNameLength))
    {
        std::copy(typed.begin(), typed.end(), entry.Name.begin() + entry.NameLength);
        entry.NameLength = static_cast<uint8_t>(entry.NameLength + typed.size());
    }
    return true;
}

void THiScores::StepNameCharacter(int step)
{
    // What the font can draw, letters first: the order a player steps through.
    constexpr std::string_view Choice = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .,-/";
    constexpr int Count = static_cast<int>(Choice.size());
    THiScoreEntry& entry = Tables[ShownMode][EditRow];
    if (entry.NameLength == 0)
    {
        EditName('A');
        return;
    }
    if (Play)
    {
        Play(snMenuKey);
    }
    // The last character may take several bytes (a name typed in another script): it goes
    // whole, and the step starts from the first choice.
    const size_t last = WholeCharacters(entry.PlayerName(), entry.NameLength - 1u).size();
    const size_t at = last + 1 == entry.NameLength ? Choice.find(entry.Name[last]) : std::string_view::npos;
    const int from = at == std::string_view::npos ? 0 : static_cast<int>(at);
    std::fill(entry.Name.begin() + static_cast<std::ptrdiff_t>(last), entry.Name.end(), '\0');
    entry.Name[last] = Choice[static_cast<size_t>(((from + step) % Count + Count) % Count)];
    entry.NameLength = static_cast<uint8_t>(last + 1);
}

void THiScores::DrawScores(TDevice& device, const TFonts& fonts, double totalTime) const
{
    constexpr int Font = 1, Size = 9, Opaque = 255;
    constexpr float Depth = 0.1f;
    // Scores end at one right edge (a four-digit score starts where the column begins), and
    // the hints are centred under the table, from the place numbers to that edge.
    const float scoreRight = -4.5f - TextWidth(fonts, Font, Size, "0000");
    float nameEnd = 2.0f;
    float editY = 0;
    for (int i = 1; i <= HiScorePlaces; ++i)
    {
        const THiScoreEntry& entry = Tables[ShownMode][i];
        const bool typing = Entering && i == EditRow;
        const int colour = typing ? 5 : 4;
        const float y = 2.9f - 0.56f * static_cast<float>(i);
        const float end = DrawText(device, fonts, Font, colour, Size, 2.0f, y, entry.PlayerName(), Depth, Opaque);
        const std::string points = std::to_string(entry.Points);
        DrawText(device, fonts, Font, colour, Size, scoreRight + TextWidth(fonts, Font, Size, points), y, points,
                 Depth, Opaque);
        if (typing)
        {
            nameEnd = end;
            editY = y;
        }
    }
    if (Entering)
    {
        const int alpha = static_cast<int>(std::lround(std::fabs(std::cos(totalTime / 100)) * 255));
        DrawText(device, fonts, Font, 5, Size, nameEnd, editY, "|", Depth, alpha);
        // A translation too wide for the picture is drawn smaller: below the table, the hints
        // keep to the band between the cubes at the window's sides, narrowest at 4:3 (640x480).
        const auto hint = [&](const char* text, float y)
        {
            constexpr float MaxWidth = 11.0f;
            const float width = TextWidth(fonts, Font, Size, text);
            const int size = width > MaxWidth ? std::max(5, static_cast<int>(Size * MaxWidth / width)) : Size;
            const float x = (2.8f + scoreRight + TextWidth(fonts, Font, size, text)) / 2;
            DrawText(device, fonts, Font, 4, size, x, y, text, Depth, Opaque);
            CheckShownText(text);
        };
        hint(_("enter your name"), -5.3f);
        // Without letter keys (a gamepad): the cursor keys choose the letters.
        hint(_("up/down = letter   right = add   left = delete"), -4.8f);
    }
    for (int i = 1; i <= HiScorePlaces; ++i)
    {
        const int colour = Entering && i == EditRow ? 5 : 4;
        DrawText(device, fonts, Font, colour, Size, 2.8f, 2.9f - 0.56f * static_cast<float>(i),
                 std::to_string(i) + ".", Depth, Opaque);
    }
}

void THiScores::DrawGameOver(TDevice& device, const TFonts& fonts, int mode, int64_t points,
                             int level) const
{
    constexpr int Font = 1, Size = 9, Opaque = 255;
    constexpr float Depth = 0.1f;
    // Each line centred on the screen, in the free band between the caption and the cubes.
    auto line = [&](int colour, float y, const std::string& text)
    {
        CheckShownText(text);
        const float x = RoomCentreX + 0.5f * TextWidth(fonts, Font, Size, text);
        DrawText(device, fonts, Font, colour, Size, x, y, text, Depth, Opaque);
    };
    line(4, -0.85f, Formatted(_("score: %s"), std::to_string(points)));
    line(4, -1.35f, Formatted(_("level: %s"), std::to_string(level)));
    if (!Reaches(mode == 2 ? 2 : 1, points))
    {
        line(5, -1.85f, _("not enough for the high-score table"));
    }
}
