// Pictures as the generator draws them: premultiplied RGBA in floats, plus one-channel masks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A colour with straight (not premultiplied) alpha, every channel 0..1.
struct TColour
{
    float R = 0, G = 0, B = 0, A = 1;
};

// 0xRRGGBB with an alpha of its own.
TColour Rgb(uint32_t hex, float alpha = 1.0f);
TColour Mix(const TColour& a, const TColour& b, float t);
TColour Scaled(const TColour& c, float k); // rgb times k, clamped; alpha kept
TColour WithAlpha(const TColour& c, float alpha);

// One channel of coverage or height, 0..1 (values outside are allowed while working).
class TMask
{
public:
    TMask() = default;
    TMask(int width, int height, float fill = 0.0f);

    int Width() const { return W; }
    int Height() const { return H; }
    float& At(int x, int y) { return Data[static_cast<size_t>(y) * W + x]; }
    float At(int x, int y) const { return Data[static_cast<size_t>(y) * W + x]; }
    // Zero outside the mask.
    float Get(int x, int y) const;
    // Bilinear, clamped to the edge.
    float Sample(float x, float y) const;

    // Approximately Gaussian (three box passes) with the given standard deviation in pixels.
    void Blur(float sigma);
    // Grows the coverage by a round brush of the given radius (soft edge of one pixel).
    TMask Dilated(float radius) const;

    std::vector<float> Data;

private:
    int W = 0;
    int H = 0;
};

class TImage
{
public:
    TImage() = default;
    TImage(int width, int height, TColour fill = {0, 0, 0, 0});

    int Width() const { return W; }
    int Height() const { return H; }

    // Premultiplied pixel access.
    float* Pixel(int x, int y) { return &Data[(static_cast<size_t>(y) * W + x) * 4]; }
    const float* Pixel(int x, int y) const { return &Data[(static_cast<size_t>(y) * W + x) * 4]; }
    TColour Get(int x, int y) const; // straight alpha
    // Bilinear in premultiplied space, clamped to the edge; returns straight alpha.
    TColour Sample(float x, float y) const;

    // "Over" compositing of a straight-alpha colour at the given coverage.
    void Blend(int x, int y, const TColour& c, float coverage = 1.0f);
    // Adds light: rgb += c.rgb * c.A * k, alpha grows likewise.
    void AddLight(int x, int y, const TColour& c, float k);
    void Set(int x, int y, const TColour& c);

    // Composites `src` over this picture with its top-left corner at (x, y), scaled by `scale`
    // (bilinear) and with an overall opacity.
    void DrawImage(const TImage& src, float x, float y, float scale = 1.0f, float opacity = 1.0f);
    // Paints a mask in one colour with its top-left corner at (x, y).
    void DrawMask(const TMask& mask, int x, int y, const TColour& c, float opacity = 1.0f);
    // Box-filtered shrink by an integer factor (for supersampled drawing).
    TImage Downsampled(int factor) const;
    // Bilinear resize to any size (for thumbnails).
    TImage Resized(int width, int height) const;
    void Blur(float sigma);
    // Multiplies every channel (premultiplied) by a mask value at the same pixel.
    void MultiplyAlpha(const TMask& mask);

    std::vector<float> Data;

private:
    int W = 0;
    int H = 0;
};
