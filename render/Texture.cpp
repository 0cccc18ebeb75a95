#include "render/Texture.h"

#include "base/ContentFile.h"
#include "render/Jpeg.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{
// No picture of the game is larger than this a side.
constexpr unsigned MaxPictureSide = 4096;

std::string Lower(std::string s)
{
    for (char& c : s)
    {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return s;
}

// A TGA header's size against the limit and against what the file could hold, before the
// decoder takes memory for the picture: uncompressed, every pixel is in the file; run-length
// coded, one packet of at most 1 + 4 bytes stands for at most 128 pixels.
std::string TgaProblem(std::FILE* in)
{
    uint8_t h[18] = {};
    const size_t got = std::fread(h, 1, sizeof h, in);
    std::fseek(in, 0, SEEK_END);
    const long size = std::ftell(in);
    if (got != sizeof h || size < 18)
    {
        return "is too short for a TGA picture";
    }
    const unsigned width = h[12] | h[13] << 8;
    const unsigned height = h[14] | h[15] << 8;
    const unsigned type = h[2];
    const unsigned bytesPerPixel = (h[16] + 7u) / 8u;
    if (type != 1 && type != 2 && type != 3 && type != 9 && type != 10 && type != 11)
    {
        return "is not a TGA picture";
    }
    if (width == 0 || height == 0 || width > MaxPictureSide || height > MaxPictureSide || bytesPerPixel == 0)
    {
        return "declares a picture of " + std::to_string(width) + " x " + std::to_string(height) +
               " pixels; the game's pictures are 1 to " + std::to_string(MaxPictureSide) + " a side";
    }
    const uint64_t pixels = static_cast<uint64_t>(width) * height;
    const uint64_t body = static_cast<uint64_t>(size) - 18;
    const bool fits = type <= 3 ? pixels * bytesPerPixel <= body : pixels <= body * 128;
    return fits ? "" : "is cut short: it holds less than its " + std::to_string(width) + " x " +
                           std::to_string(height) + " pixels";
}
bool IsJpeg(const std::filesystem::path& file)
{
    const std::string extension = Lower(file.extension().string());
    return extension == ".jpg" || extension == ".jpeg";
}
} // namespace

std::string PictureProblem(const std::filesystem::path& file)
{
    std::string problem;
    std::FILE* in = OpenContentFile(file, problem);
    if (in == nullptr)
    {
        return problem;
    }
    const std::string extension = Lower(file.extension().string());
    if (extension == ".tga")
    {
        problem = TgaProblem(in);
    }
    else if (IsJpeg(file))
    {
        if (!JpegSizeFits(file, MaxPictureSide, problem))
        {
            problem = "is not a JPEG picture the game can read: " + problem;
        }
    }
    else if (extension == ".bmp")
    {
        char magic[2] = {};
        if (std::fread(magic, 1, 2, in) != 2 || magic[0] != 'B' || magic[1] != 'M')
        {
            problem = "is not a bitmap picture";
        }
    }
    std::fclose(in);
    return problem;
}

bool ReadImageFile(const std::filesystem::path& file, TImage& image)
{
    if (!PictureProblem(file).empty())
    {
        return false;
    }
    if (IsJpeg(file))
    {
        // Decoded straight into the image's pixels: the big pictures never lie in memory
        // twice while they are read.
        std::string problem;
        image.HasAlpha = false;
        if (!DecodeJpegArgb(file, image.Pixels, image.Width, image.Height, problem, MaxPictureSide))
        {
            image = TImage{};
            return false;
        }
        return true;
    }
    SDL_Surface* loaded = IMG_Load(file.string().c_str());
    if (loaded == nullptr)
    {
        return false;
    }
    const bool alpha = loaded->format->Amask != 0 || loaded->format->palette != nullptr;
    image.Width = loaded->w;
    image.Height = loaded->h;
    image.HasAlpha = alpha;
    image.Pixels.resize(static_cast<size_t>(loaded->w) * loaded->h);
    // The decoded picture is converted straight into the image: one copy beside the
    // decoder's, never three. A palette or a colour key takes the surface conversion,
    // which knows them.
    bool converted = false;
    if (!SDL_ISPIXELFORMAT_INDEXED(loaded->format->format) && !SDL_HasColorKey(loaded))
    {
        SDL_LockSurface(loaded);
        converted = SDL_ConvertPixels(loaded->w, loaded->h, loaded->format->format, loaded->pixels,
                                      loaded->pitch, SDL_PIXELFORMAT_ARGB8888, image.Pixels.data(),
                                      loaded->w * static_cast<int>(sizeof(uint32_t))) == 0;
        SDL_UnlockSurface(loaded);
    }
    else if (SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0))
    {
        SDL_LockSurface(argb);
        for (int y = 0; y < argb->h; ++y)
        {
            std::memcpy(&image.Pixels[static_cast<size_t>(y) * argb->w],
                        static_cast<const uint8_t*>(argb->pixels) +
                            static_cast<size_t>(y) * argb->pitch,
                        argb->w * sizeof(uint32_t));
        }
        SDL_UnlockSurface(argb);
        SDL_FreeSurface(argb);
        converted = true;
    }
    SDL_FreeSurface(loaded);
    if (!converted)
    {
        image = TImage{};
        return false;
    }
    if (!alpha)
    {
        for (uint32_t& p : image.Pixels)
        {
            p |= 0xFF000000u; // without alpha a texture reads alpha 1
        }
    }
    return true;
}

namespace
{
void Load(TDevice& device, const std::filesystem::path& file, TTextureRef& texture, bool mipmapped)
{
    texture.reset();
    if (IsJpeg(file))
    {
        if (!PictureProblem(file).empty())
        {
            return;
        }
        // Decoded strip by strip into the texture: the picture never lies in memory twice.
        std::unique_ptr<TTextureWriter> writer;
        std::string problem;
        const auto start = [&](int width, int height)
        {
            writer = device.BeginTexture(width, height, mipmapped, false);
            return writer ? writer->StripRows() : 0;
        };
        const auto strip = [&](const uint32_t* rows, int first, int count)
        {
            try
            {
                return writer->Write(rows, first, count);
            }
            catch (const std::bad_alloc&)
            {
                return false;
            }
        };
        if (DecodeJpegArgbStrips(file, problem, MaxPictureSide, start, strip))
        {
            texture = writer->Finish();
        }
        return;
    }
    TImage image;
    if (!ReadImageFile(file, image))
    {
        return;
    }
    texture = device.CreateTexture(image, mipmapped);
}
} // namespace

void LoadTexture(TDevice& device, const std::filesystem::path& file, TTextureRef& texture)
{
    Load(device, file, texture, false);
}

void LoadMipmappedTexture(TDevice& device, const std::filesystem::path& file, TTextureRef& texture)
{
    Load(device, file, texture, true);
}

void SampleMinifiedThroughMipmaps(TDevice& device, bool on)
{
    device.SetTextureStageState(0, tsMinFilter, tfLinear);
    device.SetTextureStageState(0, tsMipFilter, on ? tfLinear : tfNone);
}

T3DSprite::T3DSprite(std::shared_ptr<TDevice> device, const std::filesystem::path& image,
                     bool mipmapped, bool loadNow)
    : Device(std::move(device)), Matrix(IdentityMatrix()), Image(image), Mipmapped(mipmapped)
{
    if (loadNow)
    {
        Load(*Device, image, Texture, mipmapped);
    }
}

void T3DSprite::Keep(bool keep)
{
    if (Image.empty())
    {
        return;
    }
    if (!keep)
    {
        Texture.reset();
    }
    else if (!Texture)
    {
        Load(*Device, Image, Texture, Mipmapped);
    }
}

T3DSprite::T3DSprite(std::shared_ptr<TDevice> device, TTextureRef texture)
    : Device(std::move(device)), Matrix(IdentityMatrix()), Texture(std::move(texture))
{
}

void T3DSprite::Draw(const TGraphics& g)
{
    Matrix = MakeWorldMatrix(Scale, Position, Rotation);
    Device->SetTexture(0, Texture);
    Device->SetTransform(tkWorld, Matrix);
    Device->DrawPrimitive(g.Collector.FirstVertex(meshQuad), g.Collector.Triangles(meshQuad));
    Device->SetTexture(0, nullptr);
}

namespace
{
// Larger pictures than any page of the game are refused rather than allocated.
constexpr unsigned MaxJpegSide = MaxPictureSide;

void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v)
{
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    Put16(b, at, static_cast<uint16_t>(v));
    Put16(b, at + 2, static_cast<uint16_t>(v >> 16));
}

} // namespace

void ConvertJpegToBmp(const std::filesystem::path& file)
{
    TRgbImage picture;
    std::string message;
    if (!DecodeJpeg(file, picture, message, MaxJpegSide))
    {
        throw std::runtime_error(file.string() + ": " + message);
    }
    const int width = picture.Width;
    const int height = picture.Height;
    const std::vector<uint8_t>& rgb = picture.Pixels;

    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    const size_t dataSize = stride * height;
    std::vector<uint8_t> bmp(54 + dataSize, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    Put32(bmp, 2, static_cast<uint32_t>(bmp.size()));
    Put32(bmp, 10, 54);
    Put32(bmp, 14, 40);
    Put32(bmp, 18, static_cast<uint32_t>(width));
    Put32(bmp, 22, static_cast<uint32_t>(height)); // bottom-up rows
    Put16(bmp, 26, 1);
    Put16(bmp, 28, 24);
    Put32(bmp, 34, static_cast<uint32_t>(dataSize));
    Put32(bmp, 38, 2835);
    Put32(bmp, 42, 2835);
    for (int y = 0; y < height; ++y)
    {
        const uint8_t* src = &rgb[static_cast<size_t>(height - 1 - y) * width * 3];
        uint8_t* dst = &bmp[54 + static_cast<size_t>(y) * stride];
        for (int x = 0; x < width; ++x)
        {
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
        }
    }
    // Written aside and renamed, so a failed write never leaves a half bitmap behind
    // that would be taken for a finished conversion.
    auto out = file;
    out.replace_extension(".bmp");
    auto temporary = out;
    temporary += ".part";
    std::ofstream f(temporary, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
    f.close();
    std::error_code ec;
    if (!f)
    {
        std::filesystem::remove(temporary, ec);
        throw std::runtime_error(out.string() + ": cannot write the bitmap");
    }
    std::filesystem::rename(temporary, out, ec);
    if (ec)
    {
        std::filesystem::remove(temporary, ec);
        throw std::runtime_error(out.string() + ": cannot write the bitmap");
    }
}
