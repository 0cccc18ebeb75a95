#include "app/JpegImage.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>
#include <vector>

namespace
{
// A picture whose left half is red and right half blue, written at full quality.
void WriteTwoColourJpeg(const std::filesystem::path& file, int width, int height)
{
    std::FILE* out = std::fopen(file.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    jpeg_compress_struct info{};
    jpeg_error_mgr err{};
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
    for (int x = 0; x < width; ++x)
    {
        const bool left = x < width / 2;
        row[x * 3 + 0] = left ? 255 : 0;
        row[x * 3 + 1] = 0;
        row[x * 3 + 2] = left ? 0 : 255;
    }
    while (info.next_scanline < info.image_height)
    {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(out);
}
} // namespace

TEST(JpegImage, DecodesSizeAndColours)
{
    TempFolder tmp;
    const auto file = tmp.Path() / "launcher.jpg";
    WriteTwoColourJpeg(file, 64, 32);
    const auto image = LoadJpeg(file);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->Width, 64);
    EXPECT_EQ(image->Height, 32);
    ASSERT_EQ(image->Pixels.size(), 64u * 32u * 3u);
    const auto at = [&](int x, int y, int c) { return static_cast<int>(image->Pixels[(y * 64 + x) * 3 + c]); };
    EXPECT_GT(at(5, 16, 0), 240);
    EXPECT_LT(at(5, 16, 2), 15);
    EXPECT_LT(at(58, 16, 0), 15);
    EXPECT_GT(at(58, 16, 2), 240);
}

TEST(JpegImage, MissingOrDamagedFilesGiveNoPicture)
{
    TempFolder tmp;
    EXPECT_FALSE(LoadJpeg(tmp.Path() / "none.jpg").has_value());
    EXPECT_FALSE(LoadJpeg(tmp.Write("text.jpg", "this is no picture")).has_value());
    EXPECT_FALSE(LoadJpeg(tmp.Path()).has_value()); // a folder

    // A picture cut off halfway still decodes without crashing (the rest is grey) or is
    // refused; either way the launcher goes on.
    const auto whole = tmp.Path() / "whole.jpg";
    WriteTwoColourJpeg(whole, 64, 64);
    const std::string bytes = ReadFile(whole);
    const auto cut = tmp.Write("cut.jpg", bytes.substr(0, bytes.size() / 2));
    const auto image = LoadJpeg(cut);
    if (image)
    {
        EXPECT_EQ(image->Width, 64);
    }
    // Only the header: refused.
    EXPECT_FALSE(LoadJpeg(tmp.Write("header.jpg", bytes.substr(0, 20))).has_value());
}
