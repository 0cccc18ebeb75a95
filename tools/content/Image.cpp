#include "tools/content/Image.h"

#include <algorithm>
#include <cmath>

namespace
{
float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

// One running-sum box pass over a line of `count` values spaced `stride` apart.
void BoxPass(float* data, int count, int stride, int radius, std::vector<float>& scratch)
{
    if (radius <= 0 || count <= 1)
    {
        return;
    }
    scratch.resize(count);
    for (int i = 0; i < count; ++i)
    {
        scratch[i] = data[static_cast<size_t>(i) * stride];
    }
    const float k = 1.0f / static_cast<float>(2 * radius + 1);
    float sum = 0;
    for (int i = -radius; i <= radius; ++i)
    {
        sum += scratch[std::clamp(i, 0, count - 1)];
    }
    for (int i = 0; i < count; ++i)
    {
        data[static_cast<size_t>(i) * stride] = sum * k;
        sum += scratch[std::min(i + radius + 1, count - 1)] - scratch[std::max(i - radius, 0)];
    }
}

// Three box radii whose passes together approximate a Gaussian of the given sigma.
void BoxRadii(float sigma, int radii[3])
{
    const float ideal = std::sqrt(12.0f * sigma * sigma / 3.0f + 1.0f);
    for (int i = 0; i < 3; ++i)
    {
        radii[i] = std::max(0, static_cast<int>(std::lround((ideal - 1.0f) / 2.0f)));
    }
}

void BlurChannels(std::vector<float>& data, int w, int h, int channels, float sigma)
{
    if (sigma <= 0.0f)
    {
        return;
    }
    int radii[3];
    BoxRadii(sigma, radii);
    std::vector<float> scratch;
    for (int pass = 0; pass < 3; ++pass)
    {
        for (int c = 0; c < channels; ++c)
        {
            for (int y = 0; y < h; ++y)
            {
                BoxPass(&data[static_cast<size_t>(y) * w * channels + c], w, channels, radii[pass],
                        scratch);
            }
            for (int x = 0; x < w; ++x)
            {
                BoxPass(&data[static_cast<size_t>(x) * channels + c], h, w * channels, radii[pass],
                        scratch);
            }
        }
    }
}
} // namespace

TColour Rgb(uint32_t hex, float alpha)
{
    return {static_cast<float>((hex >> 16) & 255) / 255.0f,
            static_cast<float>((hex >> 8) & 255) / 255.0f, static_cast<float>(hex & 255) / 255.0f,
            alpha};
}

TColour Mix(const TColour& a, const TColour& b, float t)
{
    return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t,
            a.A + (b.A - a.A) * t};
}

TColour Scaled(const TColour& c, float k)
{
    return {Clamp01(c.R * k), Clamp01(c.G * k), Clamp01(c.B * k), c.A};
}

TColour WithAlpha(const TColour& c, float alpha) { return {c.R, c.G, c.B, alpha}; }

TMask::TMask(int width, int height, float fill)
    : Data(static_cast<size_t>(width) * height, fill), W(width), H(height)
{
}

float TMask::Get(int x, int y) const
{
    if (x < 0 || y < 0 || x >= W || y >= H)
    {
        return 0.0f;
    }
    return At(x, y);
}

float TMask::Sample(float x, float y) const
{
    x = std::clamp(x - 0.5f, 0.0f, static_cast<float>(W - 1));
    y = std::clamp(y - 0.5f, 0.0f, static_cast<float>(H - 1));
    const int x0 = static_cast<int>(x);
    const int y0 = static_cast<int>(y);
    const int x1 = std::min(x0 + 1, W - 1);
    const int y1 = std::min(y0 + 1, H - 1);
    const float fx = x - static_cast<float>(x0);
    const float fy = y - static_cast<float>(y0);
    const float top = At(x0, y0) + (At(x1, y0) - At(x0, y0)) * fx;
    const float bottom = At(x0, y1) + (At(x1, y1) - At(x0, y1)) * fx;
    return top + (bottom - top) * fy;
}

void TMask::Blur(float sigma) { BlurChannels(Data, W, H, 1, sigma); }

TMask TMask::Dilated(float radius) const
{
    TMask out(W, H);
    const int r = static_cast<int>(std::ceil(radius + 1.0f));
    for (int y = 0; y < H; ++y)
    {
        for (int x = 0; x < W; ++x)
        {
            float best = 0;
            for (int dy = -r; dy <= r; ++dy)
            {
                for (int dx = -r; dx <= r; ++dx)
                {
                    const float v = Get(x + dx, y + dy);
                    if (v <= best)
                    {
                        continue;
                    }
                    const float d = std::sqrt(static_cast<float>(dx * dx + dy * dy));
                    best = std::max(best, v * Clamp01(radius + 1.0f - d));
                }
            }
            out.At(x, y) = best;
        }
    }
    return out;
}

TImage::TImage(int width, int height, TColour fill)
    : Data(static_cast<size_t>(width) * height * 4), W(width), H(height)
{
    for (size_t i = 0; i < Data.size(); i += 4)
    {
        Data[i] = fill.R * fill.A;
        Data[i + 1] = fill.G * fill.A;
        Data[i + 2] = fill.B * fill.A;
        Data[i + 3] = fill.A;
    }
}

TColour TImage::Get(int x, int y) const
{
    const float* p = Pixel(std::clamp(x, 0, W - 1), std::clamp(y, 0, H - 1));
    if (p[3] <= 0.0f)
    {
        return {0, 0, 0, 0};
    }
    return {p[0] / p[3], p[1] / p[3], p[2] / p[3], p[3]};
}

namespace
{
TColour Bilinear(const TImage& img, int x0, int y0, int x1, int y1, float fx, float fy)
{
    float acc[4];
    const float* a = img.Pixel(x0, y0);
    const float* b = img.Pixel(x1, y0);
    const float* c = img.Pixel(x0, y1);
    const float* d = img.Pixel(x1, y1);
    for (int i = 0; i < 4; ++i)
    {
        const float top = a[i] + (b[i] - a[i]) * fx;
        const float bottom = c[i] + (d[i] - c[i]) * fx;
        acc[i] = top + (bottom - top) * fy;
    }
    if (acc[3] <= 1e-6f)
    {
        return {0, 0, 0, 0};
    }
    return {acc[0] / acc[3], acc[1] / acc[3], acc[2] / acc[3], acc[3]};
}
} // namespace

TColour TImage::Sample(float x, float y) const
{
    x = std::clamp(x - 0.5f, 0.0f, static_cast<float>(W - 1));
    y = std::clamp(y - 0.5f, 0.0f, static_cast<float>(H - 1));
    const int x0 = static_cast<int>(x);
    const int y0 = static_cast<int>(y);
    return Bilinear(*this, x0, y0, std::min(x0 + 1, W - 1), std::min(y0 + 1, H - 1),
                    x - static_cast<float>(x0), y - static_cast<float>(y0));
}

void TImage::Blend(int x, int y, const TColour& c, float coverage)
{
    if (x < 0 || y < 0 || x >= W || y >= H)
    {
        return;
    }
    const float a = Clamp01(c.A * coverage);
    if (a <= 0.0f)
    {
        return;
    }
    float* p = Pixel(x, y);
    const float keep = 1.0f - a;
    p[0] = c.R * a + p[0] * keep;
    p[1] = c.G * a + p[1] * keep;
    p[2] = c.B * a + p[2] * keep;
    p[3] = a + p[3] * keep;
}

void TImage::AddLight(int x, int y, const TColour& c, float k)
{
    if (x < 0 || y < 0 || x >= W || y >= H)
    {
        return;
    }
    float* p = Pixel(x, y);
    const float a = c.A * k;
    p[0] = std::min(1.0f, p[0] + c.R * a);
    p[1] = std::min(1.0f, p[1] + c.G * a);
    p[2] = std::min(1.0f, p[2] + c.B * a);
    p[3] = std::min(1.0f, p[3] + a);
    p[3] = std::max({p[3], p[0], p[1], p[2]});
}

void TImage::Set(int x, int y, const TColour& c)
{
    if (x < 0 || y < 0 || x >= W || y >= H)
    {
        return;
    }
    float* p = Pixel(x, y);
    p[0] = c.R * c.A;
    p[1] = c.G * c.A;
    p[2] = c.B * c.A;
    p[3] = c.A;
}

void TImage::DrawImage(const TImage& src, float x, float y, float scale, float opacity)
{
    const int x0 = std::max(0, static_cast<int>(std::floor(x)));
    const int y0 = std::max(0, static_cast<int>(std::floor(y)));
    const int x1 = std::min(W, static_cast<int>(std::ceil(x + src.W * scale)));
    const int y1 = std::min(H, static_cast<int>(std::ceil(y + src.H * scale)));
    for (int ty = y0; ty < y1; ++ty)
    {
        for (int tx = x0; tx < x1; ++tx)
        {
            const float sx = (static_cast<float>(tx) + 0.5f - x) / scale;
            const float sy = (static_cast<float>(ty) + 0.5f - y) / scale;
            if (sx < 0 || sy < 0 || sx > static_cast<float>(src.W) ||
                sy > static_cast<float>(src.H))
            {
                continue;
            }
            Blend(tx, ty, src.Sample(sx, sy), opacity);
        }
    }
}

void TImage::DrawMask(const TMask& mask, int x, int y, const TColour& c, float opacity)
{
    for (int my = 0; my < mask.Height(); ++my)
    {
        for (int mx = 0; mx < mask.Width(); ++mx)
        {
            const float v = mask.At(mx, my);
            if (v > 0.0f)
            {
                Blend(x + mx, y + my, c, v * opacity);
            }
        }
    }
}

TImage TImage::Downsampled(int factor) const
{
    TImage out(W / factor, H / factor);
    const float k = 1.0f / static_cast<float>(factor * factor);
    for (int y = 0; y < out.H; ++y)
    {
        for (int x = 0; x < out.W; ++x)
        {
            float acc[4] = {0, 0, 0, 0};
            for (int dy = 0; dy < factor; ++dy)
            {
                for (int dx = 0; dx < factor; ++dx)
                {
                    const float* p = Pixel(x * factor + dx, y * factor + dy);
                    for (int i = 0; i < 4; ++i)
                    {
                        acc[i] += p[i];
                    }
                }
            }
            float* q = out.Pixel(x, y);
            for (int i = 0; i < 4; ++i)
            {
                q[i] = acc[i] * k;
            }
        }
    }
    return out;
}

TImage TImage::Resized(int width, int height) const
{
    // Shrink by whole factors first so that big reductions average instead of skipping.
    const TImage* source = this;
    TImage halved;
    while (source->W >= width * 2 && source->H >= height * 2)
    {
        halved = source->Downsampled(2);
        source = &halved;
    }
    TImage out(width, height);
    const float sx = static_cast<float>(source->W) / static_cast<float>(width);
    const float sy = static_cast<float>(source->H) / static_cast<float>(height);
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            out.Set(x, y,
                    source->Sample((static_cast<float>(x) + 0.5f) * sx,
                                   (static_cast<float>(y) + 0.5f) * sy));
        }
    }
    return out;
}

void TImage::Blur(float sigma) { BlurChannels(Data, W, H, 4, sigma); }

void TImage::MultiplyAlpha(const TMask& mask)
{
    for (int y = 0; y < H; ++y)
    {
        for (int x = 0; x < W; ++x)
        {
            const float k = Clamp01(mask.Get(x, y));
            float* p = Pixel(x, y);
            for (int i = 0; i < 4; ++i)
            {
                p[i] *= k;
            }
        }
    }
}
