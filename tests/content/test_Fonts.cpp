// The two fonts as the game reads them: boundary rows per line, every glyph of base/Glyphs.h, white glyphs with
// a dark rim, nothing bleeding between cells.
#include "base/Glyphs.h"
#include "tests/content/ContentReaders.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace
{
struct TMetrics
{
    int TextureWidth = 0;
    int Rows = 0;
    std::vector<std::vector<int>> Boundaries; // per row
    std::vector<std::string> RowLines;
};

TMetrics ReadMetrics(const std::filesystem::path& file)
{
    const std::vector<std::string> lines = Lines(ReadFile(file));
    TMetrics m;
    EXPECT_GE(lines.size(), 5u) << file;
    if (lines.size() < 5)
    {
        return m;
    }
    m.TextureWidth = std::stoi(lines[1]);
    m.Rows = std::stoi(lines[3]);
    for (int r = 0; r < m.Rows && 4 + r < static_cast<int>(lines.size()); ++r)
    {
        m.RowLines.push_back(lines[4 + r]);
        std::istringstream row(lines[4 + r]);
        std::vector<int> b;
        int v = 0;
        while (row >> v)
        {
            b.push_back(v);
        }
        m.Boundaries.push_back(b);
    }
    return m;
}

int GlyphCount(const TMetrics& m)
{
    int n = 0;
    for (const auto& row : m.Boundaries)
    {
        n += static_cast<int>(row.size()) - 1;
    }
    return n;
}

class FontFiles : public ::testing::TestWithParam<const char*>
{
};
} // namespace

TEST_P(FontFiles, MetricsDefineTheFullGlyphSetRowByRow)
{
    const std::string name = GetParam();
    const TMetrics m = ReadMetrics(GameFolder() / "data" / (name + ".dat"));
    EXPECT_EQ(FontGlyphCount, GlyphCount(m));
    ASSERT_EQ(static_cast<size_t>(m.Rows), m.Boundaries.size());
    for (size_t r = 0; r < m.RowLines.size(); ++r)
    {
        const std::string& line = m.RowLines[r];
        ASSERT_FALSE(line.empty());
        // The reader takes a trailing blank as one more boundary.
        EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(line.back()))) << "row " << r;
        EXPECT_NE('\r', line.back());
        for (size_t k = 1; k < m.Boundaries[r].size(); ++k)
        {
            EXPECT_LT(m.Boundaries[r][k - 1], m.Boundaries[r][k]) << "row " << r;
        }
        EXPECT_LE(m.Boundaries[r].back(), m.TextureWidth);
    }
}

// Both sets: the normal pictures and the large ones (data/large/), the same cells three times
// the size, read with the one metrics file.
TEST_P(FontFiles, GlyphsAreWhiteWithADarkRimAndFortyPixelRows)
{
    const std::string name = GetParam();
    const TMetrics m = ReadMetrics(GameFolder() / "data" / (name + ".dat"));
    ASSERT_GT(m.Rows, 0);
    for (const auto& [folder, scale] : {std::pair{"data", 1}, std::pair{"data/large", 3}})
    {
        const TPicture tga = ReadTga(GameFolder() / folder / (name + ".tga"));
        EXPECT_EQ(m.TextureWidth * scale, tga.Width) << folder;
        ASSERT_EQ(40 * m.Rows * scale, tga.Height) << folder << ": glyphs are drawn 40 pixels high";
        const int rowHeight = tga.Height / m.Rows;
        int glyph = 0;
        for (int r = 0; r < m.Rows; ++r)
        {
            for (size_t k = 1; k < m.Boundaries[r].size(); ++k, ++glyph)
            {
                const int x0 = m.Boundaries[r][k - 1] * scale;
                const int x1 = m.Boundaries[r][k] * scale;
                int bright = 0;
                int dark = 0;
                int edge = 0;
                for (int y = r * rowHeight; y < (r + 1) * rowHeight; ++y)
                {
                    for (int x = x0; x < x1; ++x)
                    {
                        const uint8_t* p = tga.At(x, y);
                        const bool border = x < x0 + scale || x >= x1 - scale || y < r * rowHeight + scale ||
                                            y >= (r + 1) * rowHeight - scale;
                        if (border && p[3] > 0)
                        {
                            ++edge;
                        }
                        if (p[3] > 250)
                        {
                            bright += (p[0] > 200 && p[1] > 200 && p[2] > 200);
                        }
                        if (p[3] > 100)
                        {
                            dark += (p[0] < 40 && p[1] < 40 && p[2] < 40);
                        }
                    }
                }
                const std::string which = std::string(folder) + "/" + name + " glyph " + std::to_string(glyph + 1);
                EXPECT_GT(bright, 4 * scale * scale) << which << " has no white body";
                EXPECT_GT(dark, 4 * scale * scale) << which << " has no dark rim";
                EXPECT_EQ(0, edge) << which << " touches its cell border";
            }
        }
    }
}

TEST_P(FontFiles, DigitsShareOneWidthSoThatNumbersDoNotJitter)
{
    const TMetrics m = ReadMetrics(GameFolder() / "data" / (std::string(GetParam()) + ".dat"));
    std::vector<int> widths;
    for (const auto& row : m.Boundaries)
    {
        for (size_t k = 1; k < row.size(); ++k)
        {
            widths.push_back(row[k] - row[k - 1]);
        }
    }
    ASSERT_GE(widths.size(), 10u);
    for (int d = 1; d < 10; ++d)
    {
        EXPECT_EQ(widths[0], widths[d]) << "digit " << d;
    }
    // A blank advances 22 pixels: digits should be a little wider, not twice as wide.
    EXPECT_GT(widths[0], 22);
    EXPECT_LT(widths[0], 40);
}

// The game advances the pen by a glyph's whole cell, so empty columns at a cell's sides
// become gaps inside words ("D O U B L E"). Round and square capitals fill their cells to
// within the one empty column the filter needs and a pixel of the rim's soft edge.
TEST_P(FontFiles, CapitalsFillTheirCellsSoWordsAreNotLetterSpaced)
{
    const std::string name = GetParam();
    const TMetrics m = ReadMetrics(GameFolder() / "data" / (name + ".dat"));
    const TPicture tga = ReadTga(GameFolder() / "data" / (name + ".tga"));
    const std::string glyphs = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    int glyph = 0;
    for (int r = 0; r < m.Rows; ++r)
    {
        for (size_t k = 1; k < m.Boundaries[r].size(); ++k, ++glyph)
        {
            if (glyph >= static_cast<int>(glyphs.size()) ||
                std::string("BCDEHMNOSU").find(glyphs[glyph]) == std::string::npos)
            {
                continue;
            }
            const int x0 = m.Boundaries[r][k - 1];
            const int x1 = m.Boundaries[r][k];
            auto columnEmpty = [&](int x)
            {
                for (int y = r * 40; y < (r + 1) * 40; ++y)
                {
                    if (tga.At(x, y)[3] > 16)
                    {
                        return false;
                    }
                }
                return true;
            };
            int left = 0;
            while (x0 + left < x1 && columnEmpty(x0 + left))
            {
                ++left;
            }
            int right = 0;
            while (x1 - 1 - right >= x0 && columnEmpty(x1 - 1 - right))
            {
                ++right;
            }
            EXPECT_LE(left, 2) << name << " " << glyphs[glyph] << " stands off its left edge";
            EXPECT_LE(right, 2) << name << " " << glyphs[glyph] << " stands off its right edge";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Content, FontFiles, ::testing::Values("font", "font1"));
