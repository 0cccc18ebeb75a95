// Textures from image files, the self-drawing sprite, and the JPEG-to-bitmap conversion.
#pragma once

#include "render/Device.h"
#include "render/Graphics.h"

#include <filesystem>
#include <memory>
#include <string>

// Why the picture file cannot be read ("is missing", "cannot be read (...)", a damaged
// header), from its header alone; "" when it can. Nothing is decoded.
std::string PictureProblem(const std::filesystem::path& file);

// Reads a JPEG, TGA (alpha kept) or BMP file; false when it cannot be read.
bool ReadImageFile(const std::filesystem::path& file, TImage& image);

// Loads an image into a texture of one level. A missing or unreadable file leaves the
// texture empty: the object is then drawn untextured (the program checks every picture it
// needs before it loads any, app/ContentCheck.h). The texture held before is let go first,
// so two full-size copies never live at once.
void LoadTexture(TDevice& device, const std::filesystem::path& file, TTextureRef& texture);
// The same with a full mipmap chain, for what is drawn smaller than its size and must keep
// every stroke: the full-screen pictures, the menu's pictures of words and the fonts. Only
// those are sampled through a chain (SampleMinifiedThroughMipmaps); a chain costs a third
// more memory, so nothing else has one.
void LoadMipmappedTexture(TDevice& device, const std::filesystem::path& file, TTextureRef& texture);

// Stage 0 reads a texture drawn below its size from the two nearest levels of its mipmap
// chain (minification and mip filter linear), so thin strokes survive at any window size;
// drawn at or above its size nothing changes (the magnification filter stays the caller's).
// Textures without a chain are read as before. Off: the game's defaults (linear, no mips).
void SampleMinifiedThroughMipmaps(TDevice& device, bool on);

// A textured 1 x 1 quad placed by scale, position and rotation. It sets no material and
// no render state: lighting, blending and filters are the caller's.
class T3DSprite
{
public:
    // mipmapped: the picture gets a mipmap chain (LoadMipmappedTexture). Not loadNow: the
    // picture is read by the first Keep.
    T3DSprite(std::shared_ptr<TDevice> device, const std::filesystem::path& image,
              bool mipmapped = false, bool loadNow = true);
    // A sprite drawing a texture loaded already (several sprites may share one).
    T3DSprite(std::shared_ptr<TDevice> device, TTextureRef texture);

    // Rebuilds Matrix and draws the unit quad with the sprite's texture.
    void Draw(const TGraphics& g);
    // A sprite made from a file can let its picture go while it is not shown and read it
    // again: Keep(true) reads it unless it is held, Keep(false) lets it go.
    void Keep(bool keep);

    std::shared_ptr<TDevice> Device;
    TMatrix Matrix;
    TVector3 Scale;
    TVector3 Position;
    TVector3 Rotation;
    TTextureRef Texture;

private:
    std::filesystem::path Image; // empty for a sprite drawing a texture it was given
    bool Mipmapped = false;
};

// Decodes a JPEG file and saves it as a 24-bit Windows bitmap of the same name with the
// extension ".bmp". Throws std::runtime_error naming the file when it cannot.
void ConvertJpegToBmp(const std::filesystem::path& file);
