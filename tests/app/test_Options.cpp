#include "app/Folders.h"
#include "base/Options.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>
#include <string>
#include <vector>

namespace
{
const std::string FirstRunFile = "[Tandrel]\n"
                                 "SoundVol=160\n"
                                 "MusicVol=120\n"
                                 "Fullscreen=1\n"
                                 "Resolution=6\n"
                                 "Color=0\n"
                                 "Desktop=1\n"
                                 "Texture=2\n"
                                 "Help=1\n"
                                 "WriteDebug=0\n"
                                 "PseudoFullscreen=0\n";

// A settings object on a file in a temporary folder that records its messages.
struct TStore
{
    TStore() : File(Tmp.Path() / "tandrel" / "settings.ini"), Options(File)
    {
        Options.ShowMessage = [this](const std::string& text) { Messages.push_back(text); };
    }
    void Write(const std::string& text) const { Tmp.Write("tandrel/settings.ini", text); }
    std::string Read() const { return ReadFile(File); }

    TempFolder Tmp;
    std::filesystem::path File;
    TOptions Options;
    std::vector<std::string> Messages;
};
} // namespace

TEST(Options, SettingsFileFollowsXdgConfigHome)
{
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old != nullptr ? old : "";
    setenv("XDG_CONFIG_HOME", "/tmp/cfg-test", 1);
    EXPECT_EQ(DefaultSettingsFile(), std::filesystem::path("/tmp/cfg-test/tandrel/settings.ini"));
    setenv("XDG_CONFIG_HOME", "relative/path", 1); // not absolute: ignored
    setenv("HOME", "/home/player", 1);
    EXPECT_EQ(DefaultSettingsFile(), std::filesystem::path("/home/player/.config/tandrel/settings.ini"));
    if (old != nullptr)
    {
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    }
    else
    {
        unsetenv("XDG_CONFIG_HOME");
    }

    // With neither HOME nor XDG_DATA_HOME, the user folder still lies in the home folder of
    // the password database, never below the working (program) folder.
    const char* data = std::getenv("XDG_DATA_HOME");
    const std::string savedData = data != nullptr ? data : "";
    const std::string savedHome = std::getenv("HOME");
    unsetenv("XDG_DATA_HOME");
    unsetenv("HOME");
    const std::filesystem::path user = UserFolder();
    EXPECT_TRUE(user.is_absolute()) << user;
    EXPECT_EQ(user.filename(), "tandrel");
    EXPECT_NE(user.string().rfind(std::filesystem::current_path().string(), 0), 0u) << user;
    // An empty or relative HOME counts as unset, for every folder.
    for (const char* home : {"", "relative/home"})
    {
        setenv("HOME", home, 1);
        EXPECT_EQ(UserFolder(), user) << home;
        for (const std::filesystem::path& p : {UserFolder(), CacheFolder(), DefaultSettingsFile()})
        {
            EXPECT_TRUE(p.is_absolute()) << p;
        }
    }
    setenv("HOME", savedHome.c_str(), 1);
    if (data != nullptr)
    {
        setenv("XDG_DATA_HOME", savedData.c_str(), 1);
    }
}

TEST(Options, ConstructorFillsTablesAndZeroesSettings)
{
    TStore s;
    const TOptions& o = s.Options;
    EXPECT_EQ(o.Resolutions[0], (TResolution{512, 384}));
    EXPECT_EQ(o.Resolutions[3], (TResolution{800, 600}));
    EXPECT_EQ(o.Resolutions[6], (TResolution{1280, 768}));
    EXPECT_EQ(o.Resolutions[8], (TResolution{1280, 1024}));
    EXPECT_EQ(o.Resolutions[9], (TResolution{0, 0}));
    EXPECT_EQ(o.ColorBits[0], 16);
    EXPECT_EQ(o.ColorBits[1], 32);
    EXPECT_EQ(o.Eye, TOptions::RestEye);
    EXPECT_EQ(o.SoundVol + o.MusicVol + o.Texture + o.Resolution + o.Color, 0);
    EXPECT_FALSE(o.Fullscreen || o.Desktop || o.PseudoFullscreen || o.Help || o.WriteDebug);
    EXPECT_FALSE(std::filesystem::exists(s.File)); // nothing is read or written before Load
}

TEST(Options, ResetEyeAlwaysGivesTheRestPoint)
{
    TStore s;
    s.Options.Eye = {3.0f, -7.5f, 40.0f};
    s.Options.ResetEye();
    EXPECT_EQ(s.Options.Eye.x, -1.8f);
    EXPECT_EQ(s.Options.Eye.y, -0.25f);
    EXPECT_EQ(s.Options.Eye.z, 12.7f);
}

TEST(Options, FirstRunWritesTheDefaultsAtOnceInSaveOrder)
{
    TStore s;
    s.Options.Reload();
    EXPECT_TRUE(s.Messages.empty());
    EXPECT_EQ(s.Read(), FirstRunFile);
    const TOptions& o = s.Options;
    EXPECT_EQ(o.SoundVol, 160);
    EXPECT_EQ(o.MusicVol, 120);
    EXPECT_EQ(o.Texture, 2);
    EXPECT_EQ(o.Resolution, 6);
    EXPECT_EQ(o.Color, 0);
    EXPECT_TRUE(o.Fullscreen && o.Desktop && o.Help);
    EXPECT_FALSE(o.PseudoFullscreen || o.WriteDebug);
    EXPECT_EQ(o.HomePage, TANDREL_HOMEPAGE) << "the build's home page, or none for the manual";

    // A file without the group counts as a first run too; other groups stay.
    TStore other;
    other.Write("[Elsewhere]\nKeep=yes\n");
    other.Options.Load();
    EXPECT_EQ(other.Read(), "[Elsewhere]\nKeep=yes\n\n" + FirstRunFile);
}

TEST(Options, StoredValuesAreReadBackUnchanged)
{
    TStore s;
    s.Options.Load();
    TOptions& o = s.Options;
    o.SoundVol = 250;
    o.MusicVol = 10;
    o.Texture = 5;
    o.Resolution = 9; // after a run at the display's size
    o.Color = 1;
    o.Fullscreen = false;
    o.Desktop = false;
    o.PseudoFullscreen = true;
    o.Help = false;
    o.WriteDebug = true;
    ASSERT_TRUE(o.Save());

    TOptions again(s.File);
    again.Load();
    EXPECT_EQ(again.SoundVol, 250);
    EXPECT_EQ(again.MusicVol, 10);
    EXPECT_EQ(again.Texture, 5);
    EXPECT_EQ(again.Resolution, 9);
    EXPECT_EQ(again.Color, 1);
    EXPECT_FALSE(again.Fullscreen || again.Desktop || again.Help);
    EXPECT_TRUE(again.PseudoFullscreen && again.WriteDebug);
    EXPECT_NE(s.Read().find("Resolution=9\n"), std::string::npos);
    EXPECT_TRUE(s.Messages.empty());
}

TEST(Options, MissingSecondGroupTurnsBothOffAndCompletesTheFile)
{
    // Only the first eight values: the last two are added, the eight rewritten unchanged.
    TStore s;
    s.Write("[Tandrel]\nFullscreen=0\nResolution=4\nColor=1\nDesktop=0\nTexture=3\n"
            "SoundVol=90\nMusicVol=200\nHelp=0\n");
    s.Options.Load();
    EXPECT_TRUE(s.Messages.empty());
    EXPECT_EQ(s.Read(), "[Tandrel]\nSoundVol=90\nMusicVol=200\nFullscreen=0\nResolution=4\nColor=1\n"
                        "Desktop=0\nTexture=3\nHelp=0\nWriteDebug=0\nPseudoFullscreen=0\n");

    // WriteDebug 1 without PseudoFullscreen still ends with WriteDebug off.
    TStore t;
    t.Write(FirstRunFile.substr(0, FirstRunFile.find("PseudoFullscreen")).replace(
        FirstRunFile.find("WriteDebug=0"), 12, "WriteDebug=1"));
    t.Options.Load();
    EXPECT_FALSE(t.Options.WriteDebug);
    EXPECT_EQ(t.Read(), FirstRunFile);

    // A mistyped PseudoFullscreen drops a stored WriteDebug 1 just the same.
    TStore u;
    std::string text = FirstRunFile;
    text.replace(text.find("WriteDebug=0"), 12, "WriteDebug=1");
    text.replace(text.find("PseudoFullscreen=0"), 18, "PseudoFullscreen=on");
    u.Write(text);
    u.Options.Load();
    EXPECT_FALSE(u.Options.WriteDebug);
    EXPECT_FALSE(u.Options.PseudoFullscreen);
    EXPECT_EQ(u.Read(), FirstRunFile);
    EXPECT_TRUE(u.Messages.empty());
}

TEST(Options, ABadValueTakesItsDefaultAndTheOthersKeepTheirs)
{
    struct TCase
    {
        std::string From, To, Problem;
    };
    const TCase cases[] = {
        {"Desktop=0\n", "", "Failed to get data for 'Desktop'"},
        {"Texture=4", "Texture=two", "Invalid data type for 'Texture'"},
        {"Texture=4", "Texture=", "Invalid data type for 'Texture'"},
        {"Texture=4", "Texture=99999999999", "Invalid data type for 'Texture'"}, // beyond 32 bits
        {"Fullscreen=0\n", "", "Failed to get data for 'Fullscreen'"},
    };
    for (const TCase& c : cases)
    {
        TStore s;
        const std::string stored = "[Tandrel]\nSoundVol=40\nMusicVol=220\nFullscreen=0\nResolution=2\nColor=1\n"
                                   "Desktop=0\nTexture=4\nHelp=0\nWriteDebug=0\nPseudoFullscreen=1\n";
        std::string text = stored;
        text.replace(text.find(c.From), c.From.size(), c.To);
        s.Write(text);
        s.Options.Load();
        ASSERT_EQ(s.Messages.size(), 1u) << c.To;
        EXPECT_NE(s.Messages[0].find(s.File.string() + ": " + c.Problem), std::string::npos) << s.Messages[0];
        EXPECT_EQ(s.Read(), text) << "nothing is saved at start";
        EXPECT_EQ(ReadFile(s.File.string() + ".damaged"), text);
        // The bad value has its default; every other value is the stored one.
        const bool texture = c.Problem.find("'Texture'") != std::string::npos;
        EXPECT_EQ(s.Options.Texture, texture ? 2 : 4);
        EXPECT_EQ(s.Options.Desktop, c.Problem.find("'Desktop'") != std::string::npos);
        EXPECT_EQ(s.Options.Fullscreen, c.Problem.find("'Fullscreen'") != std::string::npos);
        EXPECT_EQ(s.Options.Resolution, 2);
        EXPECT_EQ(s.Options.SoundVol, 40);
        EXPECT_EQ(s.Options.MusicVol, 220);
        EXPECT_FALSE(s.Options.Help);
        EXPECT_TRUE(s.Options.PseudoFullscreen);
    }
}

TEST(Options, ValuesKeepTheirLowEightBitsAndBooleansAreNonZero)
{
    TStore s;
    s.Write("[Tandrel]\nFullscreen=-1\nResolution=265\nColor=257\nDesktop=2\nTexture=258\n"
            "SoundVol=300\nMusicVol=-1\nHelp=2\nPseudoFullscreen=4096\nWriteDebug=0\n");
    s.Options.Load();
    EXPECT_TRUE(s.Messages.empty());
    const TOptions& o = s.Options;
    EXPECT_EQ(o.SoundVol, 44);
    EXPECT_EQ(o.MusicVol, 255);
    EXPECT_EQ(o.Texture, 2);
    EXPECT_EQ(o.Resolution, 9);
    EXPECT_EQ(o.Color, 1);
    EXPECT_TRUE(o.Fullscreen && o.Desktop && o.Help && o.PseudoFullscreen);
    EXPECT_FALSE(o.WriteDebug);

    // Written back zero-extended and as 0 or 1.
    ASSERT_TRUE(s.Options.Save());
    const std::string text = s.Read();
    EXPECT_NE(text.find("SoundVol=44\n"), std::string::npos) << text;
    EXPECT_NE(text.find("MusicVol=255\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Fullscreen=1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("PseudoFullscreen=1\n"), std::string::npos) << text;
}

TEST(Options, IndexBeyondTheTablesMeansTheDefault)
{
    TStore s;
    std::string text = FirstRunFile;
    text.replace(text.find("Resolution=6"), 12, "Resolution=10");
    text.replace(text.find("Color=0"), 7, "Color=2");
    s.Write(text);
    s.Options.Load();
    EXPECT_EQ(s.Options.Resolution, 6);
    EXPECT_EQ(s.Options.Color, 0);
    // The table entries exist for what was read.
    EXPECT_LT(s.Options.Resolution, s.Options.Resolutions.size());
    EXPECT_LT(s.Options.Color, s.Options.ColorBits.size());
}

TEST(Options, DamagedLinesAreNamedSkippedAndTheFileIsKept)
{
    TStore s;
    std::string text = FirstRunFile;
    text.replace(text.find("Color=0\n"), 8, "Color=1\n\x01garbage without equals\n");
    text.replace(text.find("Texture=2"), 9, "Texture=4");
    s.Write(text);
    s.Options.Load();
    ASSERT_EQ(s.Messages.size(), 1u);
    const std::string& m = s.Messages[0];
    EXPECT_NE(m.find(s.File.string()), std::string::npos) << m;
    EXPECT_NE(m.find("line 7"), std::string::npos) << m;
    EXPECT_NE(m.find(".damaged"), std::string::npos) << m;
    // The other lines are read.
    EXPECT_EQ(s.Options.Color, 1);
    EXPECT_EQ(s.Options.Texture, 4);
    EXPECT_EQ(s.Options.SoundVol, 160);
    // Nothing is lost: the file as it was stays beside, and Load did not write over it.
    EXPECT_EQ(ReadFile(s.File.string() + ".damaged"), text);
    EXPECT_EQ(s.Read(), text);
    // The next save mends it.
    ASSERT_TRUE(s.Options.Save());
    TOptions again(s.File);
    std::vector<std::string> later;
    again.ShowMessage = [&later](const std::string& t) { later.push_back(t); };
    again.Load();
    EXPECT_TRUE(later.empty());
    EXPECT_EQ(again.Texture, 4);

    // A damaged line of 60 KB is quoted by a short excerpt.
    TStore l;
    l.Write(FirstRunFile + std::string(60 * 1024, 'x') + "\n");
    l.Options.Load();
    ASSERT_EQ(l.Messages.size(), 1u);
    EXPECT_LT(l.Messages[0].size(), 600u) << l.Messages[0].substr(0, 600);
    EXPECT_NE(l.Messages[0].find("xxx..."), std::string::npos) << l.Messages[0];
}

TEST(Options, KeyLineBeforeAnyGroupIsDamage)
{
    TStore s;
    s.Write("SoundVol=10\n" + FirstRunFile);
    s.Options.Load();
    ASSERT_EQ(s.Messages.size(), 1u);
    EXPECT_NE(s.Messages[0].find("line 1"), std::string::npos) << s.Messages[0];
    EXPECT_EQ(s.Options.SoundVol, 160);
}

TEST(Options, UnreadableOrUnwritableFileIsReportedAndNotWrittenOver)
{
    // A folder where the file should be: reported, defaults used, nothing replaced.
    TStore s;
    std::filesystem::create_directories(s.File / "inside");
    s.Options.Load();
    ASSERT_EQ(s.Messages.size(), 1u);
    EXPECT_NE(s.Messages[0].find(s.File.string()), std::string::npos) << s.Messages[0];
    EXPECT_EQ(s.Options.Resolution, 6);
    EXPECT_TRUE(std::filesystem::is_directory(s.File / "inside"));

    // A FIFO in its place is refused at once (no writer ever comes), and so is a file over
    // 64 KB of valid lines: each named, with the defaults.
    for (const bool fifo : {true, false})
    {
        TStore t;
        std::string big = FirstRunFile;
        while (big.size() <= 64 * 1024)
        {
            big += "# a line of the player's own\n";
        }
        t.Write(fifo ? "" : big);
        if (fifo)
        {
            std::filesystem::remove(t.File);
            ASSERT_EQ(mkfifo(t.File.c_str(), 0644), 0);
        }
        t.Options.Load();
        ASSERT_EQ(t.Messages.size(), 1u);
        EXPECT_NE(t.Messages[0].find(t.File.string() + "' " + (fifo ? "is a FIFO" : "is 65")), std::string::npos)
            << t.Messages[0];
        EXPECT_EQ(t.Options.Resolution, 6);
        EXPECT_FALSE(t.Options.MatchesFile());
    }

    // A file where the folder should be: the save fails and says so.
    TempFolder tmp;
    const auto blocker = tmp.Write("tandrel", "not a folder");
    TOptions o(blocker / "settings.ini");
    std::vector<std::string> messages;
    o.ShowMessage = [&messages](const std::string& t) { messages.push_back(t); };
    o.Load();
    EXPECT_FALSE(o.Save());
    ASSERT_EQ(messages.size(), 2u); // the first-run save in Load, then this one
    EXPECT_NE(messages[1].find((blocker / "settings.ini").string()), std::string::npos) << messages[1];
    EXPECT_EQ(ReadFile(blocker), "not a folder");
}

TEST(Options, SaveKeepsWhatElseTheFileHolds)
{
    TStore s;
    s.Write("# my notes\n[Tandrel]\nExtra=7\n" + FirstRunFile.substr(10) + "\n[Other]\nA=b\n");
    s.Options.Load();
    s.Options.SoundVol = 5;
    ASSERT_TRUE(s.Options.Save());
    const std::string text = s.Read();
    EXPECT_NE(text.find("# my notes"), std::string::npos) << text;
    EXPECT_NE(text.find("Extra=7"), std::string::npos) << text;
    EXPECT_NE(text.find("[Other]\nA=b"), std::string::npos) << text;
    EXPECT_NE(text.find("SoundVol=5\n"), std::string::npos) << text;
    // No temporary file is left behind.
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(s.File.parent_path()))
    {
        ++files;
    }
    EXPECT_EQ(files, 1);
}
