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

// Loads an image into a texture with a full mipmap chain. A missing or unreadable file
// leaves the texture empty: the object is then drawn untextured. (The program checks
// every picture it needs before it loads any, app/ContentCheck.h.)
void LoadTexture(TDevice& device, const std::filesystem::path& file, TTextureRef& texture);
// The same without mipmaps (fonts and particles).
void LoadTextureFlat(TDevice& device, const std::filesystem::path& file, TTextureRef& texture);

// A textured 1 x 1 quad placed by scale, position and rotation. It sets no material and
// no render state: lighting, blending and filters are the caller's.
class T3DSprite
{
public:
    T3DSprite(std::shared_ptr<TDevice> device, const std::filesystem::path& image);

    // Rebuilds Matrix and draws the unit quad with the sprite's texture.
    void Draw(const TGraphics& g);

    std::shared_ptr<TDevice> Device;
    TMatrix Matrix;
    TVector3 Scale;
    TVector3 Position;
    TVector3 Rotation;
    TTextureRef Texture;
};

// Decodes a JPEG file and saves it as a 24-bit Windows bitmap of the same name with the
// extension ".bmp". Throws std::runtime_error naming the file when it cannot.
void ConvertJpegToBmp(const std::filesystem::path& file);
