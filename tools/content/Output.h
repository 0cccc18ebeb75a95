// Writes the generated files below the program folder: TGA (32-bit, alpha), JPEG, text, Ogg.
#pragma once

#include "tools/content/Image.h"

#include <filesystem>
#include <string>
#include <vector>

struct TWave;

class TOutput
{
public:
    explicit TOutput(std::filesystem::path root, std::filesystem::path previews = {})
        : Root(std::move(root)), Previews(std::move(previews))
    {
    }

    // An output into the folder `relative` of this one (and of its previews folder), whose
    // TGA pictures are run-length coded when `runLength` is set.
    TOutput Below(const std::filesystem::path& relative, bool runLength) const
    {
        TOutput below(Root / relative, Previews.empty() ? Previews : Previews / relative);
        below.RunLength = runLength;
        return below;
    }

    // The full path of a file below the root; its folder is made if missing.
    std::filesystem::path Prepare(const std::string& relative) const;

    void WriteText(const std::string& relative, const std::string& text) const;
    // 32-bit Targa with 8 alpha bits, rows stored bottom-up; uncompressed unless this output
    // is run-length coded.
    void WriteTga(const std::string& relative, const TImage& image) const;
    void WriteJpeg(const std::string& relative, const TImage& image, int quality = 92) const;
    bool HasPreviews() const { return !Previews.empty(); }
    // Writes a picture to the previews folder only (a contact sheet, say), if there is one.
    void Preview(const std::string& name, const TImage& image) const
    {
        if (!Previews.empty())
        {
            TOutput(Previews).WritePreview(name + ".png", image);
        }
    }
    // A compressed 32-bit PNG with straight alpha (the desktop's icons); fully transparent
    // pixels are stored as zeros.
    void WritePng(const std::string& relative, const TImage& image) const;
    // An uncompressed PNG of the picture over black, for looking at while drawing.
    void WritePreview(const std::string& relative, const TImage& image) const;
    // Ogg Vorbis at the sound's rate; `quality` is libvorbis' -0.1..1 scale.
    void WriteOgg(const std::string& relative, const TWave& sound, float quality) const;

private:
    std::filesystem::path Root;
    // When set, every TGA is also written here as a JPEG over a checkerboard, for looking at.
    std::filesystem::path Previews;
    bool RunLength = false;
};

// The 8-bit straight-alpha pixels a TGA of this picture holds, top row first, RGBA order.
// Fully transparent pixels take the colour of their nearest visible neighbours so that
// filtered edges do not darken.
std::vector<uint8_t> ToRgba8(const TImage& image);
