// A process killed at any moment while it writes a saved game, the high-score table and
// the settings leaves each file either complete and old or complete and new, and the
// next start clears what the killed write left behind.
#include "base/AtomicFile.h"
#include "base/Options.h"
#include "front/HighScores.h"
#include "game/GameSetup.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace
{
namespace fs = std::filesystem;

std::string AfterDateLine(const std::string& text)
{
    const size_t end = text.find('\n');
    return end == std::string::npos ? "" : text.substr(end + 1);
}

// The three files of one player, each in one of two versions.
struct TPlayerFiles
{
    explicit TPlayerFiles(const fs::path& user)
        : Play(ShippedDataFolder(), user / "data"), Scores(user / "data" / "Hiscores.dat", {}),
          Options(user / "config" / "settings.ini")
    {
        Options.ShowMessage = [](const std::string&) {};
        Play.Game.Mode = gmNormal;
        Scores.Create();
        Options.Load();
    }

    void Write(int version)
    {
        TGameSetup& g = Play.Game;
        g.Level = version == 0 ? 3 : 7;
        g.Score = version == 0 ? 100 : 2500.75;
        g.SaveGame();
        Scores.Tables[1][1].Points = version == 0 ? 1000 : 123456;
        Scores.SaveScores();
        Options.SoundVol = version == 0 ? 10 : 200;
        Options.Save();
    }

    TestGame Play;
    THiScores Scores;
    TOptions Options;
};
} // namespace

TEST(KillWhileSaving, EveryFileIsTheWholeOldOrTheWholeNewOne)
{
    TempFolder user;
    const fs::path save = user.Path() / "data" / "Save1.dat";
    const fs::path scores = user.Path() / "data" / "Hiscores.dat";
    const fs::path settings = user.Path() / "config" / "settings.ini";
    std::string saves[2], tables[2], ini[2];
    {
        TPlayerFiles files(user.Path());
        for (int v : {1, 0})
        {
            files.Write(v);
            saves[v] = AfterDateLine(ReadFile(save));
            tables[v] = ReadFile(scores);
            ini[v] = ReadFile(settings);
        }
    }
    ASSERT_NE(saves[0], saves[1]);
    ASSERT_NE(tables[0], tables[1]);
    ASSERT_NE(ini[0], ini[1]);

    std::mt19937 random(12);
    int kills = 0;
    int changes = 0; // kills after which the save is the other version: writes did happen
    std::string last = saves[0];
    for (int round = 0; round < 300; ++round)
    {
        int written[2];
        ASSERT_EQ(pipe(written), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
        {
            close(written[0]);
            TPlayerFiles files(user.Path());
            for (int v = 1;; v = 1 - v)
            {
                files.Write(v);
                const char done = 1;
                (void)!write(written[1], &done, 1);
            }
        }
        close(written[1]);
        // Every other round waits for the child's first whole write, so that the files do
        // change however slowly a busy machine syncs; the others may kill it before that.
        if (round % 2 == 1)
        {
            char done = 0;
            (void)!read(written[0], &done, 1);
        }
        // Somewhere from there to its next few writes (each one synced).
        usleep(std::uniform_int_distribution<useconds_t>(0, 40000)(random));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        close(written[0]);
        kills += WIFSIGNALED(status) ? 1 : 0;

        SCOPED_TRACE("after kill " + std::to_string(round + 1));
        const std::string s = AfterDateLine(ReadFile(save));
        ASSERT_TRUE(s == saves[0] || s == saves[1]) << "save:\n" << ReadFile(save);
        changes += s != last ? 1 : 0;
        last = s;
        const std::string t = ReadFile(scores);
        ASSERT_TRUE(t == tables[0] || t == tables[1]) << "high scores of " << t.size() << " bytes";
        const std::string i = ReadFile(settings);
        ASSERT_TRUE(i == ini[0] || i == ini[1]) << "settings:\n" << i;
    }
    EXPECT_EQ(kills, 300);
    EXPECT_GT(changes, 30);

    // The next start removes the temporary files a killed write left, and only those: the
    // player's own copies beside the files stay.
    const std::vector<std::string> own = {"settings.ini.backup", "settings.ini.old-01", "settings.ini.AbC123",
                                          "Save1.dat.tmp"};
    for (const std::string& name : own)
    {
        user.Write((name[0] == 's' ? "config/" : "data/") + name, "mine");
    }
    {
        TPlayerFiles files(user.Path());
        files.Play.Game.Create();
    }
    for (const auto& folder : {user.Path() / "data", user.Path() / "config"})
    {
        for (const auto& e : fs::directory_iterator(folder))
        {
            const std::string name = e.path().filename().string();
            const bool mine = std::find(own.begin(), own.end(), name) != own.end();
            EXPECT_TRUE(name == "Save1.dat" || name == "Hiscores.dat" || name == "settings.ini" || mine) << name;
            EXPECT_TRUE(!mine || ReadFile(e.path()) == "mine") << name;
        }
    }
    for (const std::string& name : own)
    {
        EXPECT_TRUE(fs::exists(user.Path() / (name[0] == 's' ? "config" : "data") / name)) << name;
    }
}
