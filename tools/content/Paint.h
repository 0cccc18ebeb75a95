// Drawing helpers shared by the pictures: type with outline, shadow and glow; framed panels.
#pragma once

#include "tools/content/Image.h"
#include "tools/content/Shapes.h"
#include "tools/content/Sources.h"

#include <stdexcept>
#include <string_view>

struct TTextStyle
{
    const char* Font = SansBold;
    float Em = 40;              // pixels per em
    TColour Top{1, 1, 1, 1};    // fill at the top of the capitals
    TColour Bottom{1, 1, 1, 1}; // fill at the baseline
    float Outline = 0;          // rim width in pixels
    TColour OutlineColour{0, 0, 0, 1};
    float ShadowX = 0, ShadowY = 0, ShadowBlur = 0;
    TColour ShadowColour{0, 0, 0, 0.6f};
    float GlowBlur = 0; // a soft halo around the letters
    TColour GlowColour{1, 1, 1, 0.5f};
    float Tracking = 0; // extra pixels between letters
};

enum class TAlign
{
    Left,
    Centre,
    Right
};

// Draws one line of text with `y` in the middle of its capitals; returns its width. In the
// pseudo-language the text must be marked (CheckMarked).
float DrawText(TImage& img, const TSources& sources, std::string_view text, float x, float y,
               const TTextStyle& style, TAlign align = TAlign::Centre);
// The same for a line of a longer text that CheckMarked has seen whole.
float DrawTextLine(TImage& img, const TSources& sources, std::string_view text, float x, float y,
                   const TTextStyle& style, TAlign align);
float MeasureText(const TSources& sources, std::string_view text, const TTextStyle& style);

// A text that does not fit its box even at the smallest size allowed: the build stops.
class TClipped : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
// In the pseudo-language (po/pseudo marks every text "[Ŝţàŕţ]"), a text with an English word
// outside the marks is one the catalogue does not carry, which a player of any language would
// read in English: the picture stops the build as a clipped text does, naming it.
void CheckMarked(const TSources& sources, std::string_view text);
// How far a text may shrink below the size it was designed at to fit its box.
inline constexpr float SmallestEm = 0.7f;
// The largest em size (up to `style.Em`) at which the text fits into `width` pixels; throws
// TClipped when that is below SmallestEm of it.
float FitEm(const TSources& sources, std::string_view text, const TTextStyle& style, float width);

// A blurred shape (a shadow or a glow) inside the box (x0, y0)-(x1, y1), worked on a mask of
// just that box plus room for the blur.
template <class Sdf>
void DrawSoftShape(TImage& img, float x0, float y0, float x1, float y1, Sdf sdf,
                   const TColour& colour, float blur)
{
    const int margin = static_cast<int>(blur * 3.0f) + 2;
    const int left = static_cast<int>(x0) - margin;
    const int top = static_cast<int>(y0) - margin;
    const int w = static_cast<int>(x1 - x0) + 2 * margin + 1;
    const int h = static_cast<int>(y1 - y0) + 2 * margin + 1;
    TMask m = ShapeMask(
        w, h,
        [&](TVec2 p) {
            return sdf(TVec2{p.X + static_cast<float>(left), p.Y + static_cast<float>(top)});
        });
    m.Blur(blur);
    img.DrawMask(m, left, top, colour);
}

struct TPanelStyle
{
    float Radius = 12;
    TColour Top{0.1f, 0.12f, 0.2f, 0.9f};
    TColour Bottom{0.05f, 0.06f, 0.12f, 0.9f};
    float Border = 2;
    TColour BorderColour{0.89f, 0.71f, 0.35f, 1};
    float ShadowBlur = 6; // drop shadow under the panel
    float ShadowOffset = 4;
    TColour ShadowColour{0, 0, 0, 0.5f};
    float InnerShade = 0; // darkening just inside the top edge (a recess)
    float Gloss = 0;      // a soft light on the upper half
};

// The gilded frame round the board and round the pictures set on a page: a gold gradient
// with a pale rim. Its drop shadow is left to the caller.
TPanelStyle GildedFrame(float radius, float border);
// A rounded panel from (x0, y0) to (x1, y1).
void DrawPanel(TImage& img, float x0, float y0, float x1, float y1, const TPanelStyle& style);
// A vertical gradient over the whole picture.
void FillGradient(TImage& img, const TColour& top, const TColour& bottom);
// Darkens towards the corners.
void Vignette(TImage& img, float strength);
// Gentle colour noise, so that large areas do not band.
void Grain(TImage& img, float amount, uint32_t seed);
