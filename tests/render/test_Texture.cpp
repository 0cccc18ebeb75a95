// JPEG pictures: the conversion of a page to a bitmap and the loading of a JPEG texture,
// checked against the pixels a JPEG written here decodes to.
#include "tests/render/RenderTestSupport.h"
#include "render/Texture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <jpeglib.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
// Writes image as a baseline JPEG at quality 100 without colour subsampling, so that
// flat areas decode to within a few steps of their colour.
void WriteJpeg(const fs::path& file, const TImage& image)
{
    FILE* out = std::fopen(file.string().c_str(), "wb");
    ASSERT_NE(out, nullptr);
    jpeg_compress_struct info{};
    jpeg_error_mgr err{};
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = static_cast<JDIMENSION>(image.Width);
    info.image_height = static_cast<JDIMENSION>(image.Height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    for (int c = 0; c < 3; ++c)
    {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(image.Width) * 3);
    while (info.next_scanline < info.image_height)
    {
        const int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < image.Width; ++x)
        {
            const uint32_t p = image.At(x, y);
            row[3 * x] = static_cast<uint8_t>(Red(p));
            row[3 * x + 1] = static_cast<uint8_t>(Green(p));
            row[3 * x + 2] = static_cast<uint8_t>(Blue(p));
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(out);
}

std::vector<uint8_t> ReadBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t Get32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

// Reads the 24-bit bitmap the conversion writes, checking its header on the way.
TImage ReadBitmap(const fs::path& file)
{
    const std::vector<uint8_t> b = ReadBytes(file);
    TImage image;
    EXPECT_GE(b.size(), 54u);
    if (b.size() < 54)
    {
        return image;
    }
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(Get32(b, 2), b.size());
    EXPECT_EQ(Get32(b, 10), 54u);
    EXPECT_EQ(Get32(b, 14), 40u);
    EXPECT_EQ(b[26] | (b[27] << 8), 1);
    EXPECT_EQ(b[28] | (b[29] << 8), 24);
    EXPECT_EQ(Get32(b, 30), 0u); // uncompressed
    image.Width = static_cast<int>(Get32(b, 18));
    image.Height = static_cast<int>(Get32(b, 22)); // positive: rows run bottom-up
    const size_t stride = (static_cast<size_t>(image.Width) * 3 + 3) / 4 * 4;
    EXPECT_EQ(b.size(), 54 + stride * image.Height);
    if (image.Width <= 0 || image.Height <= 0 || b.size() != 54 + stride * image.Height)
    {
        return image;
    }
    for (int y = 0; y < image.Height; ++y)
    {
        const uint8_t* row = &b[54 + static_cast<size_t>(image.Height - 1 - y) * stride];
        for (int x = 0; x < image.Width; ++x)
        {
            image.Pixels.push_back(ColorARGB(0xFF, row[3 * x + 2], row[3 * x + 1], row[3 * x]));
        }
        for (size_t pad = static_cast<size_t>(image.Width) * 3; pad < stride; ++pad)
        {
            EXPECT_EQ(row[pad], 0) << "row padding";
        }
    }
    return image;
}

bool Near(uint32_t a, uint32_t b, int tolerance)
{
    return std::abs(Red(a) - Red(b)) <= tolerance && std::abs(Green(a) - Green(b)) <= tolerance &&
           std::abs(Blue(a) - Blue(b)) <= tolerance;
}

// Quadrants of colours whose channels all differ, so a swap of red and blue or a flipped
// picture shows; 26 x 18 pixels with a width whose rows need padding in a bitmap.
constexpr uint32_t TopLeft = 0xFFE03010, TopRight = 0xFF10E060, BottomLeft = 0xFF2050F0,
                   BottomRight = 0xFFF0F0A0;
TImage Quadrants()
{
    return QuadrantImage(26, 18, TopLeft, TopRight, BottomLeft, BottomRight);
}

// Quadrant colour expected at (x, y) away from the quadrant borders.
void ExpectQuadrants(const TImage& image, int tolerance)
{
    ASSERT_EQ(image.Width, 26);
    ASSERT_EQ(image.Height, 18);
    const struct
    {
        int X, Y;
        uint32_t Colour;
    } probes[] = {{2, 2, TopLeft}, {23, 2, TopRight}, {2, 15, BottomLeft}, {23, 15, BottomRight}};
    for (const auto& p : probes)
    {
        EXPECT_TRUE(Near(image.At(p.X, p.Y), p.Colour, tolerance))
            << std::hex << image.At(p.X, p.Y) << " at " << std::dec << p.X << ", " << p.Y;
    }
}

std::vector<fs::path> FilesIn(const fs::path& dir)
{
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(dir))
    {
        files.push_back(e.path().filename());
    }
    return files;
}
} // namespace

TEST(JpegPictures, ConvertedBitmapHoldsTheDecodedPixels)
{
    TempFolder dir;
    const fs::path jpeg = dir.Path() / "page3.jpg";
    WriteJpeg(jpeg, Quadrants());
    ConvertJpegToBmp(jpeg);
    const fs::path bmp = dir.Path() / "page3.bmp";
    ASSERT_TRUE(fs::exists(bmp));
    const TImage converted = ReadBitmap(bmp);
    ExpectQuadrants(converted, 6);
    // The bitmap keeps every pixel of the JPEG as the game's image loader decodes it.
    TImage decoded;
    ASSERT_TRUE(ReadImageFile(jpeg, decoded));
    ASSERT_EQ(converted.Pixels.size(), decoded.Pixels.size());
    int worst = 0;
    for (size_t i = 0; i < decoded.Pixels.size(); ++i)
    {
        const uint32_t a = converted.Pixels[i], b = decoded.Pixels[i];
        worst = std::max({worst, std::abs(Red(a) - Red(b)), std::abs(Green(a) - Green(b)),
                          std::abs(Blue(a) - Blue(b))});
    }
    EXPECT_LE(worst, 2);
    // Nothing but the page and its bitmap.
    EXPECT_EQ(FilesIn(dir.Path()).size(), 2u);
    // Converting again gives the same file.
    const std::vector<uint8_t> first = ReadBytes(bmp);
    ConvertJpegToBmp(jpeg);
    EXPECT_EQ(ReadBytes(bmp), first);
}

TEST(JpegPictures, JpegTextureKeepsOrientationAndIsOpaque)
{
    TempFolder dir;
    const fs::path jpeg = dir.Path() / "floor.jpg";
    WriteJpeg(jpeg, Quadrants());
    TRecordingRenderer r;
    TTextureRef texture;
    LoadTexture(*r.Device, jpeg, texture);
    const auto* recorded = dynamic_cast<const TRecordedTexture*>(texture.get());
    ASSERT_NE(recorded, nullptr);
    EXPECT_FALSE(recorded->Mipmapped) << "only what is drawn below its size carries a chain";
    EXPECT_FALSE(recorded->Image.HasAlpha);
    ExpectQuadrants(recorded->Image, 6);
    for (const uint32_t p : recorded->Image.Pixels)
    {
        ASSERT_EQ(p >> 24, 0xFFu); // a JPEG reads alpha 1
    }
}

TEST(JpegPictures, BrokenJpegRaisesAnErrorAndLeavesNoBitmap)
{
    TempFolder dir;
    const fs::path good = dir.Path() / "good.jpg";
    WriteJpeg(good, Quadrants());
    const std::vector<uint8_t> bytes = ReadBytes(good);
    fs::remove(good);
    auto write = [&](const std::string& name, const std::vector<uint8_t>& content)
    {
        std::ofstream(dir.Path() / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(content.data()),
                   static_cast<std::streamsize>(content.size()));
        return dir.Path() / name;
    };
    const std::string text = "not a picture at all";
    // The cut and the damage fall in the picture data, after the start-of-scan marker:
    // there the decoder itself only warns and would fill the rest with grey.
    size_t scan = 0;
    while (scan + 1 < bytes.size() && !(bytes[scan] == 0xFF && bytes[scan + 1] == 0xDA))
    {
        ++scan;
    }
    ASSERT_LT(scan + 100, bytes.size());
    const size_t middle = scan + (bytes.size() - scan) / 2;
    std::vector<uint8_t> damaged = bytes;
    for (size_t i = middle; i < middle + 16; ++i)
    {
        damaged[i] = 0xFF;
    }
    // A small file declaring a huge picture is refused before the decoder takes the memory.
    std::vector<uint8_t> huge = bytes;
    for (size_t i = 0; i + 8 < huge.size(); ++i)
    {
        if (huge[i] == 0xFF && huge[i + 1] == 0xC0)
        {
            huge[i + 5] = huge[i + 7] = 0xEA; // 60000 x 60000
            huge[i + 6] = huge[i + 8] = 0x60;
            break;
        }
    }
    const fs::path broken[] = {
        write("huge.jpg", huge),
        write("text.jpg", {text.begin(), text.end()}),
        write("empty.jpg", {}),
        write("truncated.jpg", {bytes.begin(), bytes.begin() + static_cast<long>(middle)}),
        write("damaged.jpg", damaged),
        dir.Path() / "missing.jpg",
    };
    for (const fs::path& file : broken)
    {
        try
        {
            ConvertJpegToBmp(file);
            ADD_FAILURE() << file << " was converted";
        }
        catch (const std::runtime_error& e)
        {
            EXPECT_NE(std::string(e.what()).find(file.filename().string()), std::string::npos)
                << e.what();
        }
        fs::path bmp = file;
        bmp.replace_extension(".bmp");
        EXPECT_FALSE(fs::exists(bmp)) << bmp;
    }
    // Only the broken files themselves remain: no bitmap, no half-written file.
    for (const fs::path& name : FilesIn(dir.Path()))
    {
        EXPECT_EQ(name.extension(), ".jpg") << name;
    }
    // As a texture a broken JPEG is simply missing.
    TRecordingRenderer r;
    TTextureRef texture = r.Device->CreateTexture(SolidImage(2, 2, 0xFFFFFFFF), true);
    LoadTexture(*r.Device, dir.Path() / "text.jpg", texture);
    EXPECT_FALSE(texture);
    LoadTexture(*r.Device, dir.Path() / "huge.jpg", texture);
    EXPECT_FALSE(texture);
    // So is a TGA whose header declares no width, or more than the file holds.
    auto tga = [&](const std::string& name, int width, int height, size_t body)
    {
        std::vector<uint8_t> t(18 + body, 0x80);
        std::fill(t.begin(), t.begin() + 18, 0);
        t[2] = 2;
        t[12] = static_cast<uint8_t>(width), t[13] = static_cast<uint8_t>(width >> 8);
        t[14] = static_cast<uint8_t>(height), t[15] = static_cast<uint8_t>(height >> 8);
        t[16] = 32;
        return write(name, t);
    };
    LoadTexture(*r.Device, tga("fits.tga", 4, 4, 64), texture);
    EXPECT_TRUE(texture);
    for (const fs::path& file : {tga("no-width.tga", 0, 4, 64), tga("short.tga", 4000, 4000, 64),
                                 tga("beyond.tga", 5000, 1, 20000)})
    {
        texture = r.Device->CreateTexture(SolidImage(2, 2, 0xFFFFFFFF), true);
        LoadTexture(*r.Device, file, texture);
        EXPECT_FALSE(texture) << file;
    }
}
