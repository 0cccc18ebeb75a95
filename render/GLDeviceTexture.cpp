// Textures: their storage, the strips that fill them and their mipmap chains.
#include "render/GLDevice_local.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace
{
// The next level of a mipmap chain from one with even sides: each channel of each texel the
// mean of four, taken as the device's linear filter takes it, pair by pair across and then
// the two results down, each rounded half up.
TImage HalfLevel(const uint32_t* from, int width, int height)
{
    TImage to;
    to.Width = width / 2;
    to.Height = height / 2;
    to.Pixels.resize(static_cast<size_t>(to.Width) * to.Height);
    for (int y = 0; y < to.Height; ++y)
    {
        const uint32_t* top = from + static_cast<size_t>(2 * y) * width;
        const uint32_t* bottom = top + width;
        uint32_t* out = &to.Pixels[static_cast<size_t>(y) * to.Width];
        for (int x = 0; x < to.Width; ++x)
        {
            uint32_t texel = 0;
            for (int shift = 0; shift < 32; shift += 8)
            {
                auto channel = [shift](uint32_t p) { return (p >> shift) & 0xFFu; };
                const uint32_t across = (channel(top[2 * x]) + channel(top[2 * x + 1]) + 1) >> 1;
                const uint32_t below = (channel(bottom[2 * x]) + channel(bottom[2 * x + 1]) + 1) >> 1;
                texel |= ((across + below + 1) >> 1) << shift;
            }
            out[x] = texel;
        }
    }
    return to;
}

TImage HalfLevel(const TImage& from)
{
    return HalfLevel(from.Pixels.data(), from.Width, from.Height);
}

// The levels of a texture's chain beyond the first (0 without one). While both sides are
// even, a level is exactly the previous one halved, which the processor does in a few
// milliseconds; the device's own way on the software rasteriser compiles a program and
// draws every level, a tenth of a second at start-up. The levels are the same to the bit
// (HalfLevel rounds as the device does). The chain then ends at the last of those levels:
// the smaller ones would serve a picture drawn at a sixteenth of its size or less, which
// the game never does. A picture with an odd side gets the device's chain (halved false).
int ChainLevels(int width, int height, bool mipmapped, bool deviceMade, bool& halved)
{
    halved = mipmapped && !deviceMade && width % 2 == 0 && height % 2 == 0;
    int levels = 0;
    if (halved)
    {
        for (int w = width, h = height; w % 2 == 0 && h % 2 == 0; w /= 2, h /= 2)
        {
            ++levels;
        }
    }
    else
    {
        for (int size = std::max(width, height); mipmapped && size > 1; size /= 2)
        {
            ++levels;
        }
    }
    return levels;
}

// Fills a texture strip by strip, its chain halved strip by strip as well: a strip holds a
// whole number of the last level's rows.
class TGLTextureWriter final : public TTextureWriter
{
public:
    TGLTextureWriter(GLuint id, int width, int height, bool mipmapped, int levels, bool halved,
                     std::weak_ptr<TContextToken> context, const TTexture** bound)
        : Id(id), Width(width), Height(height), Mipmapped(mipmapped), Levels(levels), Halved(halved),
          Context(std::move(context)), Bound(bound)
    {
    }
    ~TGLTextureWriter() override
    {
        if (Id != 0 && !Context.expired())
        {
            glDeleteTextures(1, &Id);
        }
    }
    int StripRows() const override
    {
        const int unit = Halved ? 1 << Levels : 1;
        return std::max(unit, (64 + unit - 1) / unit * unit);
    }
    bool Write(const uint32_t* rows, int first, int count) override
    {
        if (Id == 0 || Context.expired() || first < 0 || count <= 0 || first + count > Height ||
            (Halved && (first % (1 << Levels) != 0 || count % (1 << Levels) != 0)))
        {
            return false;
        }
        glBindTexture(GL_TEXTURE_2D, Id);
        *Bound = nullptr; // the binding changed
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, first, Width, count, GL_BGRA, GL_UNSIGNED_BYTE, rows);
        if (Halved)
        {
            TImage level = HalfLevel(rows, Width, count);
            for (int n = 1; n <= Levels; ++n)
            {
                glTexSubImage2D(GL_TEXTURE_2D, n, 0, first >> n, level.Width, level.Height, GL_BGRA,
                                GL_UNSIGNED_BYTE, level.Pixels.data());
                if (n < Levels)
                {
                    level = HalfLevel(level);
                }
            }
        }
        return !Failed(GLFailure());
    }
    TTextureRef Finish() override
    {
        if (Id == 0 || Context.expired())
        {
            return nullptr;
        }
        if (Mipmapped && !Halved)
        {
            glBindTexture(GL_TEXTURE_2D, Id);
            *Bound = nullptr;
            glGenerateMipmap(GL_TEXTURE_2D);
        }
        if (Failed(GLFailure()))
        {
            return nullptr;
        }
        const GLuint id = Id;
        Id = 0; // the texture's now
        return std::make_shared<TGLTexture>(Width, Height, Mipmapped, id, Context);
    }

private:
    GLuint Id;
    const int Width, Height;
    const bool Mipmapped;
    const int Levels;
    const bool Halved;
    std::weak_ptr<TContextToken> Context;
    const TTexture** Bound;
};
} // namespace

TTextureRef TGLDevice::CreateTexture(const TImage& image, bool mipmapped)
{
    if (image.Pixels.size() != static_cast<size_t>(std::max(image.Width, 0)) * std::max(image.Height, 0))
    {
        return nullptr;
    }
    // One strip of the whole picture.
    const std::unique_ptr<TTextureWriter> writer = BeginTexture(image.Width, image.Height, mipmapped, image.HasAlpha);
    return writer && writer->Write(image.Pixels.data(), 0, image.Height) ? writer->Finish() : nullptr;
}

std::unique_ptr<TTextureWriter> TGLDevice::BeginTexture(int width, int height, bool mipmapped, bool /*hasAlpha*/)
{
    if (width <= 0 || height <= 0)
    {
        return nullptr;
    }
    bool halved = false;
    const int levels = ChainLevels(width, height, mipmapped, DeviceMadeMipmaps, halved);
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    Impl->Texture = nullptr; // the binding changed
    // The last level is set before the storage: the driver sizes the texture's storage by it,
    // and a texture without a chain takes room for one level only. Then storage for every
    // level the strips fill.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, levels);
    for (int n = 0, w = width, h = height; n <= (halved ? levels : 0); ++n, w /= 2, h /= 2)
    {
        glTexImage2D(GL_TEXTURE_2D, n, GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    }
    if (Failed(GLFailure()))
    {
        glDeleteTextures(1, &id);
        return nullptr;
    }
    return std::make_unique<TGLTextureWriter>(id, width, height, mipmapped, levels, halved, Impl->Alive,
                                              &Impl->Texture);
}

TImage TGLDevice::ReadTextureLevel(const TTextureRef& texture, int level) const
{
    TImage img;
    const auto* t = dynamic_cast<const TGLTexture*>(texture.get());
    if (t == nullptr)
    {
        return img;
    }
    glBindTexture(GL_TEXTURE_2D, t->Id);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &img.Width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &img.Height);
    img.Pixels.resize(static_cast<size_t>(img.Width) * img.Height);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, level, GL_BGRA, GL_UNSIGNED_BYTE, img.Pixels.data());
    Impl->Texture = nullptr; // the binding changed
    return img;
}
