#include "tools/manifester/resample.h"

#include <cstdlib>
#include <initializer_list>
#include <cstring>

#include "tools/manifester/codecs.h"

namespace manifester {

namespace {

// Bilinear weights are fractions scaled by 2048; the four add up to 2^22.
const int weight_one = 2048;
const int weight_shift = 22;

inline uint8_t Alpha(uint32_t pixel) {
    uint8_t bytes[4];
    memcpy(bytes, &pixel, 4);
    return bytes[3];
}

inline uint32_t WithAlpha(uint32_t pixel, uint8_t alpha) {
    uint8_t bytes[4];
    memcpy(bytes, &pixel, 4);
    bytes[3] = alpha;
    memcpy(&pixel, bytes, 4);
    return pixel;
}

bool HasPixels(const zk_bitmap_t* bitmap) { return bitmap->pixels && bitmap->width > 0 && bitmap->height > 0; }

// The four pixels around (fx, fy), weighted in fixed point.
uint32_t Bilinear(const zk_bitmap_t* bitmap, double fx, double fy) {
    int x0 = int(fx), y0 = int(fy);
    uint32_t wx = uint32_t((fx - x0) * weight_one), wy = uint32_t((fy - y0) * weight_one);
    const uint32_t corners[4] = {GetPixelClamped(bitmap, x0, y0), GetPixelClamped(bitmap, x0 + 1, y0),
                                 GetPixelClamped(bitmap, x0, y0 + 1), GetPixelClamped(bitmap, x0 + 1, y0 + 1)};
    const uint32_t weights[4] = {(weight_one - wy) * (weight_one - wx), (weight_one - wy) * wx,
                                 wy * (weight_one - wx), wy * wx};
    uint8_t out[4];
    for (int c = 0; c < 4; ++c) {
        uint64_t sum = 0;
        for (int i = 0; i < 4; ++i) {
            uint8_t bytes[4];
            memcpy(bytes, &corners[i], 4);
            sum += uint64_t(weights[i]) * bytes[c];
        }
        sum >>= weight_shift;
        out[c] = uint8_t(sum > 255 ? 255 : sum);
    }
    uint32_t pixel;
    memcpy(&pixel, out, 4);
    return pixel;
}

void ScaleBilinear(zk_bitmap_t* target, const zk_bitmap_t* source) {
    for (int ty = 0; ty < target->height; ++ty) {
        for (int tx = 0; tx < target->width; ++tx) {
            double fx = double(tx) / target->width * source->width;
            double fy = double(ty) / target->height * source->height;
            target->pixels[size_t(ty) * target->width + tx] = Bilinear(source, fx, fy);
        }
    }
}

// Each target pixel averages bilinear samples one source pixel apart over
// its footprint: colour over the samples that are not fully transparent,
// alpha over all of them.
void ScaleByAveraging(zk_bitmap_t* target, const zk_bitmap_t* source, double sx, double sy) {
    for (int ty = 0; ty < target->height; ++ty) {
        for (int tx = 0; tx < target->width; ++tx) {
            double x_start = double(tx) / target->width * source->width;
            double y_start = double(ty) / target->height * source->height;
            double sums[3] = {0, 0, 0}, alpha = 0;
            int total = 0, opaque = 0;
            for (double y = y_start; y <= y_start + sy; y += 1.0) {
                for (double x = x_start; x <= x_start + sx; x += 1.0) {
                    uint8_t bytes[4];
                    uint32_t sample = SampleBilinear(source, x / source->width, y / source->height);
                    memcpy(bytes, &sample, 4);
                    ++total;
                    alpha += bytes[3] / 255.0;
                    if (bytes[3] == 0) continue;
                    ++opaque;
                    for (int c = 0; c < 3; ++c) sums[c] += bytes[c] / 255.0;
                }
            }
            zk_float_colour_t colour = {};
            if (opaque) colour = {float(sums[2] / opaque), float(sums[1] / opaque), float(sums[0] / opaque), 0};
            colour.alpha = float(alpha / total);
            ClampColour(&colour);
            target->pixels[size_t(ty) * target->width + tx] = ColourToPixel(colour);
        }
    }
}

}  // namespace

int ClampInt(int value, int low, int high) {
    if (value < low) value = low;
    if (value > high) value = high;
    return value;
}

void ClampColour(zk_float_colour_t* colour) {
    for (float* v : {&colour->c2, &colour->c1, &colour->c0, &colour->alpha}) {
        if (*v < 0.0f) *v = 0.0f;
        if (*v > 1.0f) *v = 1.0f;
    }
}

uint32_t ColourToPixel(const zk_float_colour_t& colour) {
    const uint8_t bytes[4] = {uint8_t(colour.c0 * 255), uint8_t(colour.c1 * 255), uint8_t(colour.c2 * 255),
                              uint8_t(colour.alpha * 255)};
    uint32_t pixel;
    memcpy(&pixel, bytes, 4);
    return pixel;
}

uint32_t GetPixelClamped(const zk_bitmap_t* bitmap, int x, int y) {
    int cx = ClampInt(x, 0, bitmap->width - 1), cy = ClampInt(y, 0, bitmap->height - 1);
    uint32_t pixel = bitmap->pixels[size_t(cy) * bitmap->width + cx];
    if ((cx != x || cy != y) && (bitmap->flags & 1u)) pixel = WithAlpha(pixel, 0);
    return pixel;
}

uint32_t SampleBilinear(const zk_bitmap_t* bitmap, double u, double v) {
    return Bilinear(bitmap, u * bitmap->width, v * bitmap->height);
}

int BleedAlpha(zk_bitmap_t* bitmap) {
    if (!bitmap || !HasPixels(bitmap)) return 0;
    static const int neighbours[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};  // above, right, below, left
    int visited = 0;
    for (int y = 0; y < bitmap->height; ++y) {
        for (int x = 0; x < bitmap->width; ++x) {
            uint32_t& pixel = bitmap->pixels[size_t(y) * bitmap->width + x];
            if (Alpha(pixel) != 0) continue;
            for (const auto& n : neighbours) {
                uint32_t near = GetPixelClamped(bitmap, x + n[0], y + n[1]);
                if (Alpha(near) != 0) pixel = near;
            }
            pixel = WithAlpha(pixel, 0);
            ++visited;
        }
    }
    return visited;
}

bool ZKI_CreateImageResized(zk_bitmap_t* target, zk_bitmap_t* source, int width, int height) {
    if (!target) {
        zk->Popupf(1, "ZKI_CreateImageResized bm_target is null.");
        return false;
    }
    if (!source) {
        zk->Popupf(1, "ZKI_CreateImageResized bm_source is null.");
        return false;
    }
    if (!HasPixels(source)) {
        zk->Popupf(1, "ZKI_CreateImageResized bm_source '%s' has no pixels.", source->name ? source->name : "(null)");
        return false;
    }
    if (width < 1 || height < 1 || width >= 65535 || height >= 65535) return false;
    // Resizing in place would free the pixels being read.
    if (target == source || target->pixels == source->pixels) {
        zk->Popupf(1, "ZKI_CreateImageResized bm_target and bm_source are the same bitmap.");
        return false;
    }
    long long count = (long long)width * height;
    uint32_t* pixels = count <= zk_max_decoded_pixels ? static_cast<uint32_t*>(malloc(size_t(count) * 4)) : nullptr;
    if (!pixels) {
        zk->Popupf(1, "ZKI_CreateImageResized cannot allocate %dx%d pixels.", width, height);
        return false;
    }
    free(target->pixels);
    target->pixels = pixels;
    target->width = target->resized_width = width;
    target->height = target->resized_height = height;

    BleedAlpha(source);
    bool alpha = (source->flags & 1u) != 0;
    target->flags = (target->flags & ~1u) | (source->flags & 1u);
    if (width == source->width && height == source->height) {
        memcpy(target->pixels, source->pixels, size_t(count) * 4);
    } else {
        double sx = double(source->width) / width, sy = double(source->height) / height;
        if (sx <= 1.5 && sy <= 1.5) {
            ScaleBilinear(target, source);
        } else {
            ScaleByAveraging(target, source, sx, sy);
        }
    }
    if (alpha) BleedAlpha(target);
    return true;
}

}  // namespace manifester
