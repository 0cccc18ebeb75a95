// Type set with FreeType from the free fonts installed on the system.
#pragma once

#include "tools/content/Image.h"

#include <filesystem>
#include <memory>
#include <string_view>

class TFontFace
{
public:
    // Opens the font file at a size given in pixels per em.
    TFontFace(const std::filesystem::path& file, float pixelsPerEm);
    ~TFontFace();
    TFontFace(const TFontFace&) = delete;
    TFontFace& operator=(const TFontFace&) = delete;

    struct TGlyph
    {
        TMask Mask;   // coverage
        int Left = 0; // from the pen to the mask's left edge
        int Top = 0;  // from the baseline up to the mask's top edge
        float Advance = 0;
    };
    TGlyph Render(char32_t c) const;
    float Advance(char32_t c) const;
    float Kerning(char32_t left, char32_t right) const;
    // Height of the capital H above the baseline, in pixels.
    float CapHeight() const;

private:
    struct TImpl;
    std::unique_ptr<TImpl> Impl;
};

// A line of text set into a mask with `padding` pixels of room on every side.
struct TTextMask
{
    TMask Mask;
    float Width = 0;   // advance width of the text
    int OriginX = 0;   // pen start in the mask
    int BaselineY = 0; // baseline row in the mask
    float CapHeight = 0;
};

TTextMask SetText(const TFontFace& face, std::string_view utf8, float tracking = 0.0f,
                  int padding = 0);
std::u32string Decode(std::string_view utf8);
