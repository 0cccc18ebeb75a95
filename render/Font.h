// The two bitmap fonts and the floating labels drawn with them. A font is a texture of
// glyph rows and a metrics file of glyph boundaries; text is drawn glyph by glyph as quads
// in the world, the pen running towards world -x (to the right on the screen).
#pragma once

#include "render/Device.h"
#include "game/Labels.h"

#include <array>
#include <filesystem>
#include <string_view>
#include <vector>

constexpr int MaxGlyphs = 100;
constexpr int MinGlyphs = 51;  // the glyph set below needs them all
constexpr int FontHeight = LabelFontHeight; // glyph height in texture pixels
constexpr int SpaceWidth = 22; // advance of a blank in texture pixels

struct TGlyph
{
    float uLeft = 0, vBottom = 0, uRight = 0, vTop = 0;
};

struct TFont
{
    std::array<TGlyph, MaxGlyphs + 1> Glyphs{}; // 1-based
    std::array<int, MaxGlyphs + 1> GlyphWidths{};
    int GlyphCount = 0;
    TTextureRef Texture;
};

// Fonts 1 and 2 (index 0 unused).
struct TFonts
{
    std::array<TFont, 3> Font;
    bool Large = false; // the pictures of the large set are loaded
};

// Screens whose picture (render/PictureArea.h) is taller than this draw text from the large
// font pictures, three times the size of the normal ones; up to it, the normal ones stay.
constexpr int LargeFontsAbove = 960;
constexpr bool LargeFontsFor(int pictureHeight)
{
    return pictureHeight > LargeFontsAbove;
}

// The font colours 1..7 as red, green, blue bytes.
struct TFontColour
{
    uint8_t r, g, b;
};
extern const std::array<TFontColour, 8> FontColours;

// Glyph of a character after upper-casing: 1..51, GlyphBlank for a blank, GlyphNone for
// a character the fonts cannot draw.
constexpr int GlyphBlank = 0;
constexpr int GlyphNone = -1;
int GlyphCode(char c);

// Reads one metrics file into font (the texture is left alone). A malformed file, more
// than 100 glyphs or fewer than 51 throw TDataError with the file and the line.
void ReadFontMetrics(const std::filesystem::path& file, TFont& font);
// data/font.dat and data/font1.dat below the program folder.
void LoadFontMetrics(TFonts& fonts, const std::filesystem::path& programFolder);
// data/font.tga and data/font1.tga, or with large those of data/large/ (the same glyphs at
// three times the size, read with the same metrics), in place of any loaded before; the
// normal set with its mipmap chain (text is drawn below its size in small windows), the
// large one without. A missing image draws untextured glyphs.
void LoadFontTextures(TDevice& device, TFonts& fonts, const std::filesystem::path& programFolder,
                      bool large = false);
void ReleaseFonts(TFonts& fonts);
// Every file of the fonts below the program folder: the metrics and the pictures.
std::vector<std::filesystem::path> FontFiles(const std::filesystem::path& programFolder);

// The glyph quad of glyph g of font f with the given colour: from the pen one unit
// towards -x and half a unit above and below, before scaling.
std::array<TVertex, 6> WriteGlyphQuad(const TFonts& fonts, int g, int f, uint32_t colour);

// Draws text with font f, colour index c and size s (s x 0.001 world units per texture
// pixel) from (x, y) at depth z with opacity alpha; returns the pen x after the last glyph.
// The glyphs go to the device as one streamed run.
float DrawText(TDevice& device, const TFonts& fonts, int f, int c, int s, float x, float y,
               std::string_view text, float z, int alpha);

// How far DrawText moves the pen for this text (world units, positive): for aligning text.
float TextWidth(const TFonts& fonts, int f, int s, std::string_view text);

void DrawLabels(TDevice& device, const TFonts& fonts, const TScoreLabels& labels);

// Tells the labels how far each character moves the pen in the loaded fonts, so that the
// rules keep board labels inside the board by the width they are drawn with.
void MeasureLabels(const TFonts& fonts, TScoreLabels& labels);
