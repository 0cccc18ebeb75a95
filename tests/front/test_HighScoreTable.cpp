// Drawing the high-score table: rows, colours, the typing caret and its pulse.
#include "tests/front/FrontFixture.h"
#include "front/HighScores.h"

#include "render/Font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace
{
// Fonts whose every glyph is 20 texture pixels wide.
TFonts EvenFonts()
{
    TFonts fonts;
    for (int f = 1; f <= 2; ++f)
    {
        fonts.Font[f].GlyphCount = 51;
        for (int g = 1; g <= 51; ++g)
        {
            fonts.Font[f].GlyphWidths[g] = 20;
            fonts.Font[f].Glyphs[g] = {0, 1, 0.1f, 0};
        }
    }
    return fonts;
}

// The left edge of a streamed text run (the pen's start) and its colour.
float RunStart(const TRecordedDraw& d)
{
    return d.Vertices[0].x;
}
// The right end of a run: the text runs towards world -x.
float RunEnd(const TRecordedDraw& d)
{
    float end = d.Vertices[0].x;
    for (const TVertex& v : d.Vertices)
    {
        end = std::min(end, v.x);
    }
    return end;
}
float RunY(const TRecordedDraw& d)
{
    return (d.Vertices[0].y + d.Vertices[2].y) / 2;
}
uint32_t RunColour(const TRecordedDraw& d)
{
    return d.Vertices[0].Diffuse;
}
uint32_t Colour(int index, int alpha)
{
    const TFontColour& c = FontColours[index];
    return ColorARGB(static_cast<uint8_t>(alpha), c.r, c.g, c.b);
}
} // namespace

TEST(HighScoreTable, RowsOfNamesAndPointsWithTheTypedRowCaretAndPrompt)
{
    TempFolder tmp;
    TRecordingRenderer r;
    const TFonts fonts = EvenFonts();
    THiScores h(tmp.Path() / "Hiscores.dat", {});
    h.Create();
    h.ShownMode = 1;
    h.EditRow = static_cast<uint8_t>(h.InsertScore(950));
    h.Entering = true;
    h.EditName('A');
    h.EditName('C');

    const double t = 100 * std::acos(0.6); // the caret at 60 %: alpha 153
    h.DrawScores(r.Device(), fonts, t);
    const auto& draws = r.Device().Draws;
    // Nine rows of name and points, the typed row's points, the caret, the prompt and the
    // cursor keys' hint (a row with an empty name draws nothing for it), then the ten place
    // numbers.
    ASSERT_EQ(draws.size(), 3u * 10 + 3);
    EXPECT_FLOAT_EQ(RunStart(draws[0]), 2.0f);
    EXPECT_NEAR(RunY(draws[0]), 2.9f - 0.56f, 1e-5);
    // The points end at one edge: a four-digit score starts where the column begins.
    const float edge = -4.5f - 4 * 20 * 0.009f;
    for (size_t i = 1; i < 20; i += 2)
    {
        EXPECT_NEAR(RunEnd(draws[i]), edge, 1e-5) << "points of row " << (i + 1) / 2;
    }
    EXPECT_EQ(RunColour(draws[0]), Colour(4, 255));
    EXPECT_EQ(draws[0].Vertices[0].z, 0.1f);

    // Row 2 is typed: colour 5; "AC" is two glyphs of 20 pixels at size 9.
    EXPECT_EQ(RunColour(draws[2]), Colour(5, 255));
    EXPECT_NEAR(RunY(draws[2]), 2.9f - 2 * 0.56f, 1e-5);
    EXPECT_EQ(draws[2].PrimitiveCount, 4);
    const TRecordedDraw& caret = draws[20];
    EXPECT_NEAR(RunStart(caret), 2.0f - 2 * 20 * 0.009f, 1e-5);
    EXPECT_NEAR(RunY(caret), 2.9f - 2 * 0.56f, 1e-5);
    EXPECT_EQ(RunColour(caret), Colour(5, 153));
    // The prompt and the keys' hint are centred between the place numbers and that edge.
    const TRecordedDraw& prompt = draws[21];
    EXPECT_NEAR((RunStart(prompt) + RunEnd(prompt)) / 2, (2.8f + edge) / 2, 1e-4);
    EXPECT_NEAR(RunY(prompt), -5.3f, 1e-5);
    EXPECT_EQ(RunColour(prompt), Colour(4, 255));
    EXPECT_NEAR((RunStart(draws[22]) + RunEnd(draws[22])) / 2, (2.8f + edge) / 2, 1e-4);
    // The place reached carries its number in the typed row's colour: "2." is two glyphs.
    EXPECT_FLOAT_EQ(RunStart(draws[23]), 2.8f);
    EXPECT_EQ(RunColour(draws[23]), Colour(4, 255));
    EXPECT_NEAR(RunY(draws[24]), 2.9f - 2 * 0.56f, 1e-5);
    EXPECT_EQ(RunColour(draws[24]), Colour(5, 255));
    EXPECT_EQ(draws[24].PrimitiveCount, 4);
    EXPECT_EQ(draws[32].PrimitiveCount, 6); // "10."

    // Not typing: no caret and no prompt; the timed table shows its own rows.
    r.Device().Draws.clear();
    h.Entering = false;
    h.ShownMode = 2;
    h.Tables[2][1].SetName("TIMED");
    h.DrawScores(r.Device(), fonts, 0);
    ASSERT_EQ(draws.size(), 3u * 10);
    EXPECT_EQ(draws[0].PrimitiveCount, 10);
    EXPECT_EQ(RunColour(draws[2]), Colour(4, 255));
    EXPECT_EQ(RunColour(draws[21]), Colour(4, 255));
}

TEST(HighScoreTable, TheGameOverTellsTheScoreTheLevelAndWhetherTheTableIsReached)
{
    TempFolder tmp;
    TRecordingRenderer r;
    const TFonts fonts = EvenFonts();
    THiScores h(tmp.Path() / "Hiscores.dat", {});
    h.Create();
    h.Tables[1][HiScorePlaces].Points = 949;
    h.Tables[2][HiScorePlaces].Points = 2000;
    const auto& draws = r.Device().Draws;

    // 950 takes the last place of the normal table: score and level, nothing more.
    h.DrawGameOver(r.Device(), fonts, 1, 950, 12);
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].PrimitiveCount, 2 * 9); // "score: 950" without its blank
    EXPECT_EQ(draws[1].PrimitiveCount, 2 * 8); // "level: 12"
    EXPECT_GT(RunY(draws[0]), RunY(draws[1]));
    EXPECT_NEAR(RunStart(draws[0]), -1.8f + (9 * 20 + 22) * 0.009f / 2, 1e-5); // centred

    // The same score in the timed mode, and a score equal to the last place, stay out.
    r.Device().Draws.clear();
    h.DrawGameOver(r.Device(), fonts, 2, 950, 3);
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[2].PrimitiveCount, 2 * 30); // "not enough for the high-score table"
    EXPECT_EQ(RunColour(draws[2]), Colour(5, 255));
    EXPECT_LT(RunY(draws[2]), RunY(draws[1]));
    r.Device().Draws.clear();
    h.DrawGameOver(r.Device(), fonts, 1, 949, 1);
    EXPECT_EQ(draws.size(), 3u);
}
