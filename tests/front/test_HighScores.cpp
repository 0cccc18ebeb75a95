// The high-score tables: defaults, placing a score, typing a name, and the file.
#include "front/HighScores.h"
#include "base/AtomicFile.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
struct Scores
{
    TempFolder tmp;
    std::vector<TSound> played;
    THiScores hs{tmp.Path() / "data" / "Hiscores.dat", [this](TSound s) { played.push_back(s); }};
    std::filesystem::path file() const { return tmp.Path() / "data" / "Hiscores.dat"; }

    void Type(std::initializer_list<int> keys)
    {
        for (int k : keys)
        {
            hs.EditName(k);
        }
    }
};

std::vector<int32_t> Points(const THiScores& hs, int mode)
{
    std::vector<int32_t> v;
    for (int i = 1; i <= HiScorePlaces; ++i)
    {
        v.push_back(hs.Tables[mode][i].Points);
    }
    return v;
}
} // namespace

TEST(HighScores, FreshInstallShowsTenAnonymousRowsPerMode)
{
    Scores s;
    EXPECT_EQ(s.hs.Create(), "");
    for (int mode = 1; mode <= 2; ++mode)
    {
        EXPECT_EQ(Points(s.hs, mode), (std::vector<int32_t>{1000, 900, 800, 700, 600, 500, 400, 300, 200, 100}));
        EXPECT_EQ(s.hs.Tables[mode][7].PlayerName(), "Anonymous");
    }
    EXPECT_FALSE(std::filesystem::exists(s.file())); // nothing written until asked
}

TEST(HighScores, ScoresGoBelowEqualOnesAndPushTheLastOut)
{
    Scores s;
    s.hs.Create();
    EXPECT_EQ(s.hs.InsertScore(950), 2);
    EXPECT_EQ(Points(s.hs, 1), (std::vector<int32_t>{1000, 950, 900, 800, 700, 600, 500, 400, 300, 200}));
    EXPECT_EQ(s.hs.Tables[1][2].PlayerName(), "");
    EXPECT_EQ(s.hs.InsertScore(1000), 2);
    EXPECT_EQ(s.hs.Tables[1][1].PlayerName(), "Anonymous");
    EXPECT_FALSE(s.hs.Qualifies(200));
    EXPECT_EQ(s.hs.InsertScore(150), 0);
    EXPECT_EQ(Points(s.hs, 2)[0], 1000); // the other mode's table is untouched
    s.hs.ShownMode = 2;
    EXPECT_EQ(s.hs.InsertScore(2147483647), 1);
    EXPECT_EQ(s.hs.Tables[2][1].Points, 2147483647);
}

TEST(HighScores, TypingANameTakesOnlyWhatTheFontDraws)
{
    Scores s;
    s.hs.Create();
    s.hs.EditRow = static_cast<uint8_t>(s.hs.InsertScore(5000));
    s.hs.Entering = true;
    s.Type({'A', 'B', 8, 'C'});
    EXPECT_EQ(s.hs.Tables[1][1].PlayerName(), "AC");
    EXPECT_EQ(s.played, std::vector<TSound>(4, snMenuKey));
    s.Type({8, 8, 8}); // Backspace on an empty name leaves it empty
    EXPECT_EQ(s.hs.Tables[1][1].PlayerName(), "");
    s.Type({'Z', 32, '7', 189, 190, 112 /* F1 */, 222 /* quote key */, 0xBA /* semicolon */});
    EXPECT_EQ(s.hs.Tables[1][1].PlayerName(), "Z 7-.");
    for (int i = 0; i < 20; ++i)
    {
        s.hs.EditName('Q');
    }
    EXPECT_EQ(s.hs.Tables[1][1].PlayerName().size(), 15u);
    EXPECT_FALSE(std::filesystem::exists(s.file()));
    s.hs.EditName(13);
    EXPECT_FALSE(s.hs.Entering);
    EXPECT_TRUE(std::filesystem::exists(s.file())); // Enter writes at once
}

TEST(HighScores, FileRoundTripKeepsTheExactLayout)
{
    Scores s;
    s.hs.Create();
    s.hs.EditRow = static_cast<uint8_t>(s.hs.InsertScore(-5 + 1000 * 1000));
    s.Type({'X', 'Y'});
    s.hs.ShownMode = 2;
    s.hs.Tables[2][10].Points = -7;
    ASSERT_EQ(s.hs.SaveScores(), "");

    const std::string bytes = ReadFile(s.file());
    ASSERT_EQ(bytes.size(), 400u);
    EXPECT_EQ(bytes[0], 2);
    EXPECT_EQ(bytes.substr(1, 2), "XY");
    const auto le = [&](size_t at) {
        return static_cast<int32_t>(static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8 |
                                    static_cast<uint8_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24);
    };
    EXPECT_EQ(le(16), 999995);
    EXPECT_EQ(bytes[20], 9);
    EXPECT_EQ(bytes.substr(21, 9), "Anonymous");
    EXPECT_EQ(le(36), 1000);
    EXPECT_EQ(le(200 + 9 * 20 + 16), -7);

    THiScores again(s.file(), {});
    EXPECT_EQ(again.Create(), "");
    for (int mode = 1; mode <= 2; ++mode)
    {
        EXPECT_EQ(Points(again, mode), Points(s.hs, mode));
        for (int i = 1; i <= HiScorePlaces; ++i)
        {
            EXPECT_EQ(again.Tables[mode][i].PlayerName(), s.hs.Tables[mode][i].PlayerName());
        }
    }
}

TEST(HighScores, DamagedFileIsKeptAsideAndDefaultsAreShown)
{
    for (const std::string& damaged : {std::string(399, 'x'), std::string(401, '\0'), std::string(),
                                       std::string(1, '\x10') + std::string(399, '\0')})
    {
        Scores s;
        s.tmp.Write("data/Hiscores.dat", damaged);
        const std::string message = s.hs.Create();
        EXPECT_NE(message.find("Hiscores.dat"), std::string::npos) << message;
        EXPECT_NE(message.find("Hiscores.dat.damaged"), std::string::npos) << message;
        EXPECT_EQ(Points(s.hs, 1)[0], 1000);
        EXPECT_EQ(s.hs.Tables[1][1].PlayerName(), "Anonymous");
        EXPECT_EQ(ReadFile(s.file()), damaged);
        EXPECT_EQ(ReadFile(s.tmp.Path() / "data" / "Hiscores.dat.damaged"), damaged);
    }
}

TEST(HighScores, AFailedSaveLeavesTheOldFileWhole)
{
    Scores s;
    s.hs.Create();
    ASSERT_EQ(s.hs.SaveScores(), "");
    const std::string before = ReadFile(s.file());
    // A folder where the temporary file must go makes the write fail.
    std::filesystem::create_directory(TemporaryFileFor(s.file()));
    s.hs.InsertScore(123456);
    EXPECT_NE(s.hs.SaveScores(), "");
    EXPECT_EQ(ReadFile(s.file()), before);

    // Enter after a name saves too, and its failure reaches the player as well.
    std::vector<std::string> told;
    s.hs.ShowProblem = [&told](const std::string& problem) { told.push_back(problem); };
    s.hs.Entering = true;
    s.Type({'A', 13});
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("Hiscores.dat"), std::string::npos) << told[0];
    EXPECT_EQ(ReadFile(s.file()), before);
}

TEST(HighScores, AFileThatCannotBeReadIsNeverSavedOver)
{
    Scores s;
    // A folder where the table belongs (as a file without read permission would be).
    std::filesystem::create_directories(s.file() / "inside");
    const std::string message = s.hs.Create();
    EXPECT_NE(message.find("Hiscores.dat is a folder, not a file"), std::string::npos) << message;
    EXPECT_EQ(Points(s.hs, 1)[0], 1000);
    std::vector<std::string> told;
    s.hs.ShowProblem = [&told](const std::string& problem) { told.push_back(problem); };
    s.hs.InsertScore(5000);
    EXPECT_NE(s.hs.SaveScores(), "");
    EXPECT_EQ(told.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_directory(s.file() / "inside"));

    // A stale temporary file of a killed save goes at the next start.
    std::filesystem::remove_all(s.file());
    s.tmp.Write("data/Hiscores.dat.tandrel-partial", "half");
    EXPECT_EQ(s.hs.Create(), "");
    EXPECT_FALSE(std::filesystem::exists(TemporaryFileFor(s.file())));
    EXPECT_EQ(s.hs.SaveScores(), "");
    EXPECT_EQ(ReadFile(s.file()).size(), 400u);
}
