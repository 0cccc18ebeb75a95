#include "base/Glyphs.h"

#include <cstdint>

namespace
{
// Glyphs of the characters below U+0460 by direct look-up (ASCII, Latin-1, Latin
// Extended-A, Cyrillic); the few others are searched.
constexpr char32_t DirectEnd = 0x460;

struct TDirect
{
    std::array<int16_t, DirectEnd> Glyph{};
    constexpr TDirect()
    {
        Glyph.fill(GlyphNone);
        for (int i = 0; i < FontGlyphCount; ++i)
        {
            if (FontCharacters[i] < DirectEnd)
            {
                Glyph[FontCharacters[i]] = static_cast<int16_t>(i + 1);
            }
        }
    }
};
constexpr TDirect Direct;
} // namespace

char32_t Capital(char32_t c)
{
    if ((c >= U'a' && c <= U'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x430 && c <= 0x44F))
    {
        return c - 0x20;
    }
    if (c >= 0x450 && c <= 0x45F)
    {
        return c - 0x50;
    }
    switch (c)
    {
    case 0xDF: return 0x1E9E;  // ß
    case 0xFF: return 0x178;   // ÿ
    case 0x131: return U'I';   // dotless ı
    case 0x17F: return U'S';   // long s
    default: break;
    }
    // Latin Extended-A pairs its capitals and small letters, capital first, except in the
    // two runs U+0139..0148 and U+0179..017E, where the small letter comes first.
    if (c >= 0x100 && c <= 0x17E && c != 0x138 && c != 0x149)
    {
        const bool oddCapitals = (c >= 0x139 && c <= 0x148) || c >= 0x179;
        const bool small = oddCapitals ? (c % 2 == 0) : (c % 2 == 1);
        return small ? c - 1 : c;
    }
    return c;
}

int GlyphOf(char32_t c)
{
    if (c == U' ' || c == 0xA0 || c == 0x202F || c == 0x2009)
    {
        return GlyphBlank;
    }
    c = Capital(c);
    if (c < DirectEnd)
    {
        return Direct.Glyph[c];
    }
    for (int i = 0; i < FontGlyphCount; ++i)
    {
        if (FontCharacters[i] == c)
        {
            return i + 1;
        }
    }
    return GlyphNone;
}

char32_t NextCharacter(std::string_view text, size_t& at)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char first = byte(at);
    int length = 1;
    char32_t c = first;
    if (first >= 0xF0 && first <= 0xF4)
    {
        length = 4;
        c = first & 0x07u;
    }
    else if (first >= 0xE0)
    {
        length = first <= 0xEF ? 3 : 0;
        c = first & 0x0Fu;
    }
    else if (first >= 0xC2)
    {
        length = 2;
        c = first & 0x1Fu;
    }
    else if (first >= 0x80)
    {
        length = 0;
    }
    if (length == 0 || at + static_cast<size_t>(length) > text.size())
    {
        ++at;
        return 0xFFFD;
    }
    for (int k = 1; k < length; ++k)
    {
        const unsigned char next = byte(at + static_cast<size_t>(k));
        if ((next & 0xC0u) != 0x80u)
        {
            ++at;
            return 0xFFFD;
        }
        c = (c << 6) | (next & 0x3Fu);
    }
    // Overlong forms, surrogates and values beyond Unicode are not characters.
    constexpr char32_t Least[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < Least[length] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
    {
        ++at;
        return 0xFFFD;
    }
    at += static_cast<size_t>(length);
    return c;
}

void AppendUtf8(std::string& text, char32_t c)
{
    if (c < 0x80)
    {
        text += static_cast<char>(c);
    }
    else if (c < 0x800)
    {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
    else if (c < 0x10000)
    {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
    else
    {
        text += static_cast<char>(0xF0 | (c >> 18));
        text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string_view WholeCharacters(std::string_view text, size_t bytes)
{
    if (bytes >= text.size())
    {
        return text;
    }
    while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0u) == 0x80u)
    {
        --bytes;
    }
    return text.substr(0, bytes);
}
