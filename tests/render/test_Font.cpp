#include "base/DataError.h"
#include "render/Font.h"
#include "tests/render/RenderTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
// A metrics file: rows of glyph boundaries, each glyph `width` pixels wide.
std::string Metrics(int texture, const std::vector<int>& glyphsPerRow, int width = 10,
                    bool blankAtEnd = false)
{
    std::string s = "font\n" + std::to_string(texture) + "\nrows\n" +
                    std::to_string(glyphsPerRow.size()) + "\n";
    for (int n : glyphsPerRow)
    {
        for (int k = 0; k <= n; ++k)
        {
            s += std::to_string(k * width) + (k < n ? " " : "");
        }
        s += blankAtEnd ? " \n" : "\n";
    }
    return s;
}
} // namespace

TEST(FontMetrics, GlyphsFromRowsOfBoundaries)
{
    TempFolder dir;
    TFont font;
    ReadFontMetrics(dir.Write("font.dat", Metrics(512, {26, 25}, 12)), font);
    EXPECT_EQ(font.GlyphCount, 51);
    EXPECT_FLOAT_EQ(font.Glyphs[1].uLeft, 0.0f);
    EXPECT_FLOAT_EQ(font.Glyphs[1].uRight, 12.0f / 512);
    EXPECT_FLOAT_EQ(font.Glyphs[1].vTop, 0.0f);
    EXPECT_FLOAT_EQ(font.Glyphs[1].vBottom, 0.5f);
    // Glyph 27 opens the second row.
    EXPECT_FLOAT_EQ(font.Glyphs[27].uLeft, 0.0f);
    EXPECT_FLOAT_EQ(font.Glyphs[27].vTop, 0.5f);
    EXPECT_FLOAT_EQ(font.Glyphs[27].vBottom, 1.0f);
    EXPECT_EQ(font.GlyphWidths[51], 12);
}

TEST(FontMetrics, BlankBeforeTheLineBreakRunsIntoTheNextRow)
{
    // The row ends only where its line ends: a trailing blank makes the reader take the
    // next line's first number as one more boundary, as the font files have always been read.
    TempFolder dir;
    TFont font;
    std::string row;
    for (int k = 0; k <= 30; ++k)
    {
        row += std::to_string(k) + (k < 30 ? " " : "");
    }
    ReadFontMetrics(dir.Write("font.dat", "f\n100\nr\n2\n" + row + " \n40 45\n" + row + "\n"), font);
    EXPECT_EQ(font.GlyphCount, 62);
    EXPECT_EQ(font.GlyphWidths[30], 1);
    EXPECT_EQ(font.GlyphWidths[31], 10); // from 30 to the next line's 40
    EXPECT_EQ(font.GlyphWidths[32], 5);
    EXPECT_FLOAT_EQ(font.Glyphs[32].vTop, 0.0f);
    EXPECT_FLOAT_EQ(font.Glyphs[33].vTop, 0.5f);
    // Where that next number lies left of the last, the glyph would run backwards: refused.
    EXPECT_THROW(ReadFontMetrics(dir.Write("font.dat", "f\n100\nr\n2\n" + row + " \n0 5\n" + row + "\n"), font),
                 TDataError);
}

TEST(FontMetrics, RefusesTooFewOrTooManyGlyphs)
{
    TempFolder dir;
    TFont font;
    try
    {
        ReadFontMetrics(dir.Write("few.dat", Metrics(512, {25, 25})), font);
        FAIL() << "50 glyphs accepted";
    }
    catch (const TDataError& e)
    {
        EXPECT_NE(std::string(e.what()).find("few.dat"), std::string::npos);
        EXPECT_NE(e.Problem.find("51"), std::string::npos);
    }
    try
    {
        ReadFontMetrics(dir.Write("many.dat", Metrics(2048, {60, 41})), font);
        FAIL() << "101 glyphs accepted";
    }
    catch (const TDataError& e)
    {
        EXPECT_EQ(e.Line, 6);
        EXPECT_NE(e.Problem.find("100"), std::string::npos);
    }
    EXPECT_THROW(ReadFontMetrics(dir.Write("bad.dat", "f\nwide\nr\n1\n0 10\n"), font), TDataError);
    EXPECT_THROW(ReadFontMetrics(dir.Write("cut.dat", "f\n100\nr\n"), font), TDataError);
    EXPECT_THROW(ReadFontMetrics(dir.Path() / "missing.dat", font), TDataError);
    // A glyph of negative width, or with an edge outside its 100 pixels of texture.
    for (const auto& [row, words] : {std::pair{"0 10 5 20", "glyph 2 has a negative width"},
                                     std::pair{"0 10 120", "glyph 2 (10 to 120) lies outside"},
                                     std::pair{"-5 10 20", "glyph 1 (-5 to 10) lies outside"}})
    {
        try
        {
            ReadFontMetrics(dir.Write("edges.dat", std::string("f\n100\nr\n1\n") + row + "\n"), font);
            ADD_FAILURE() << row;
        }
        catch (const TDataError& e)
        {
            EXPECT_EQ(e.Line, 5) << row;
            EXPECT_NE(std::string(e.what()).find(words), std::string::npos) << e.what();
        }
    }
}

TEST(FontText, GlyphCodes)
{
    EXPECT_EQ(GlyphCode('0'), 1);
    EXPECT_EQ(GlyphCode('9'), 10);
    EXPECT_EQ(GlyphCode('a'), 11);
    EXPECT_EQ(GlyphCode('Z'), 36);
    EXPECT_EQ(GlyphCode(':'), 37);
    EXPECT_EQ(GlyphCode('|'), 47);
    EXPECT_EQ(GlyphCode('@'), 50);
    EXPECT_EQ(GlyphCode('$'), 51);
    EXPECT_EQ(GlyphCode(' '), GlyphBlank);
    EXPECT_EQ(GlyphCode('#'), GlyphNone);
}

TEST(FontText, PenRunsTowardsMinusXAndGlyphsGoInOneRun)
{
    TempFolder dir;
    TRecordingRenderer t;
    std::string metrics = "f\n2000\nr\n1\n"; // 1785 pixels of glyphs
    for (int k = 0, x = 0; k <= 51; ++k)
    {
        metrics += std::to_string(x) + (k < 51 ? " " : "\n");
        x += 10 + k; // glyph g is 9 + g pixels wide
    }
    ReadFontMetrics(dir.Write("font.dat", metrics), t.R.Fonts.Font[1]);
    const float k = 12 * 0.001f;
    const float pen = DrawText(*t.Device, t.R.Fonts, 1, 2, 12, 1.0f, 2.0f, "ab c", 0.5f, 200);
    EXPECT_NEAR(pen, 1.0f - (20 + 21 + 22) * k - 22 * k, 1e-5f);
    // The rules keep board labels inside the board by the width the font draws them with.
    TScoreLabels labels;
    MeasureLabels(t.R.Fonts, labels);
    EXPECT_NEAR(labels.TextWidth(1, "ab c#", 12), 1.0f - pen, 1e-5f);
    ASSERT_EQ(t.Device->Draws.size(), 1u);
    const TRecordedDraw& d = t.Device->Draws[0];
    EXPECT_TRUE(d.Streamed);
    EXPECT_EQ(d.PrimitiveCount, 6); // three glyphs
    EXPECT_EQ(d.State.RenderStates[rsLighting], StateFalse);
    EXPECT_EQ(d.State.RenderStates[rsAlphaBlendEnable], StateTrue);
    EXPECT_EQ(d.State.StageStates[tsAlphaOp], toModulate);
    // The first glyph spans from the pen one glyph width towards -x, 40 px high, alpha 200.
    EXPECT_NEAR(d.Vertices[0].x, 1.0f, 1e-5f);
    EXPECT_NEAR(d.Vertices[1].x, 1.0f - 20 * k, 1e-5f);
    EXPECT_NEAR(d.Vertices[2].y - d.Vertices[0].y, 40 * k, 1e-5f);
    EXPECT_EQ(d.Vertices[0].Diffuse, 0xC8FFFFFFu);
    EXPECT_FLOAT_EQ(d.Vertices[0].z, 0.5f);
    // The third glyph (c) starts after the blank.
    EXPECT_NEAR(d.Vertices[12].x, 1.0f - 41 * k - 22 * k, 1e-5f);

    t.Device->Draws.clear();
    EXPECT_FLOAT_EQ(DrawText(*t.Device, t.R.Fonts, 1, 2, 12, 3.0f, 0, "#", 0, 255), 3.0f);
    EXPECT_FLOAT_EQ(DrawText(*t.Device, t.R.Fonts, 1, 2, 12, 3.0f, 0, "", 0, 255), 3.0f);
    EXPECT_TRUE(t.Device->Draws.empty());
    EXPECT_EQ(t.Device->State().RenderStates[rsLighting], StateTrue);
    EXPECT_FALSE(t.Device->State().Texture);
}

TEST(FontText, LabelsDrawWithRoundedAlpha)
{
    TempFolder dir;
    TRecordingRenderer t;
    ReadFontMetrics(dir.Write("font1.dat", Metrics(1000, {51})), t.R.Fonts.Font[2]);
    TScoreLabels labels;
    labels.AddLabel({1, 1, 0}, 2, 6, "Go", 12);
    labels.Labels[1].Alpha = 25.4f;
    DrawLabels(*t.Device, t.R.Fonts, labels);
    ASSERT_EQ(t.Device->Draws.size(), 1u);
    EXPECT_EQ(t.Device->Draws[0].Vertices[0].Diffuse, ColorARGB(25, 255, 0, 0));
    EXPECT_FLOAT_EQ(t.Device->Draws[0].Vertices[0].z, 1.0f);
}
