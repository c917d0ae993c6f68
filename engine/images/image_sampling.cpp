#include "engine/images/image_sampling.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/images/bitmap_pixels.h"
#include "engine/images/bitmap_pool.h"
#include "engine/runtime/state.h"

std::atomic<int> zk_running_scaler_threads{0};

namespace {

const int max_resized_side = 65534;
const int weight_bits = 11;
const uint32_t weight_one = 1u << weight_bits;
// Positions further out than this all lie beyond any image; keeping them
// there makes every conversion to an integer well defined.
const double far_away = 1099511627776.0;  // 2^40

struct Pixel {
    uint8_t c[4];  // c[3] is alpha
};

uint32_t Pack(const Pixel& p) {
    uint32_t value;
    memcpy(&value, p.c, 4);
    return value;
}

double Clamp(double value, double low, double high) {
    if (std::isnan(value)) return 0.0;
    return value < low ? low : value > high ? high : value;
}

// A coordinate on the image's scale, truncated toward zero.
int64_t Trunc(double value) { return int64_t(value); }

bool HasImage(const zk_bitmap_t* bitmap) {
    return bitmap && bitmap->pixels && bitmap->width > 0 && bitmap->height > 0;
}

// The pixel at (x, y) with the edge rules.
Pixel ReadPixel(const zk_bitmap_t* bitmap, int64_t x, int64_t y) {
    int64_t cx = x < 0 ? 0 : x >= bitmap->width ? bitmap->width - 1 : x;
    int64_t cy = y < 0 ? 0 : y >= bitmap->height ? bitmap->height - 1 : y;
    Pixel p;
    memcpy(p.c, bitmap->pixels + cy * bitmap->width + cx, 4);
    bool outside = cx != x || cy != y;
    if (outside && (bitmap->flags & ZK_BITMAP_HAS_ALPHA)) p.c[3] = 0;
    return p;
}

Pixel Bilinear(const zk_bitmap_t* bitmap, double u, double v) {
    double fx = Clamp(bitmap->width * u, -far_away, far_away);
    double fy = Clamp(bitmap->height * v, -far_away, far_away);
    int64_t x0 = Trunc(fx), y0 = Trunc(fy);
    Pixel p00 = ReadPixel(bitmap, x0, y0), p10 = ReadPixel(bitmap, x0 + 1, y0);
    Pixel p01 = ReadPixel(bitmap, x0, y0 + 1), p11 = ReadPixel(bitmap, x0 + 1, y0 + 1);
    // Unsigned on purpose: the weights wrap as the fixed-point form does
    // for the (unused) negative positions.
    uint32_t wx = uint32_t(Trunc((fx - double(x0)) * weight_one));
    uint32_t wy = uint32_t(Trunc((fy - double(y0)) * weight_one));
    Pixel out;
    for (int i = 0; i < 4; ++i) {
        uint32_t sum = p00.c[i] * (weight_one - wx) * (weight_one - wy) + p10.c[i] * wx * (weight_one - wy) +
                       p01.c[i] * (weight_one - wx) * wy + p11.c[i] * wx * wy;
        sum >>= 2 * weight_bits;
        out.c[i] = uint8_t(sum > 255 ? 255 : sum);
    }
    return out;
}

uint8_t FractionToByte(double value) { return uint8_t(Trunc(Clamp(value, 0.0, 1.0) * 255.0)); }

Pixel Area(const zk_bitmap_t* bitmap, double u, double v, double du, double dv) {
    Pixel out = {};
    if (!std::isfinite(du) || !std::isfinite(dv)) return out;
    double fx = Clamp(bitmap->width * u, -far_away, far_away);
    double fy = Clamp(bitmap->height * v, -far_away, far_away);
    double alpha = 0.0, colour[3] = {};
    int64_t samples = 0, visible = 0;
    // Counting steps (rather than stepping a coordinate) keeps the loops
    // finite where adding 1 no longer changes a large coordinate.
    for (int64_t j = 0; double(j) <= dv && fy + j <= fy + dv; ++j) {
        for (int64_t i = 0; double(i) <= du && fx + i <= fx + du; ++i) {
            Pixel p = Bilinear(bitmap, (fx + i) / bitmap->width, (fy + j) / bitmap->height);
            ++samples;
            alpha += p.c[3] / 255.0;
            if (p.c[3] == 0) continue;
            ++visible;
            for (int c = 0; c < 3; ++c) colour[c] += p.c[c] / 255.0;
        }
    }
    if (samples == 0) return out;
    out.c[3] = FractionToByte(alpha / double(samples));
    for (int c = 0; c < 3 && visible > 0; ++c) out.c[c] = FractionToByte(colour[c] / double(visible));
    return out;
}

// Rows first_row .. end_row - 1 of a width x height resampling of source
// into pixels.
void ResampleRows(uint32_t* pixels, const zk_bitmap_t* source, int width, int height, int first_row, int end_row) {
    double rx = double(source->width) / width, ry = double(source->height) / height;
    bool box = rx > 1.5 || ry > 1.5;
    for (int y = first_row; y < end_row; ++y) {
        uint32_t* row = pixels + size_t(y) * size_t(width);
        double v = double(y) / height;
        for (int x = 0; x < width; ++x) {
            double u = double(x) / width;
            row[x] = Pack(box ? Area(source, u, v, rx, ry) : Bilinear(source, u, v));
        }
    }
}

bool IsResizableSide(int side) { return side >= 1 && side <= max_resized_side; }

}  // namespace

uint32_t ZKI_GetBitmapSamplePoint(zk_bitmap_t* bitmap, double u, double v) {
    if (!HasImage(bitmap)) return 0;
    double fx = Clamp(bitmap->width * u, -far_away, far_away);
    double fy = Clamp(bitmap->height * v, -far_away, far_away);
    return Pack(ReadPixel(bitmap, Trunc(fx), Trunc(fy)));
}

uint32_t ZKI_GetBitmapSampleBilinear(zk_bitmap_t* bitmap, double u, double v) {
    return HasImage(bitmap) ? Pack(Bilinear(bitmap, u, v)) : 0;
}

uint32_t ZKI_GetBitmapSampleArea(zk_bitmap_t* bitmap, double u, double v, double du, double dv) {
    return HasImage(bitmap) ? Pack(Area(bitmap, u, v, du, dv)) : 0;
}

bool ZKI_CreateImageResized(zk_bitmap_t* target, zk_bitmap_t* source, int width, int height, int) {
    if (!target) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "ZKI_CreateImageResized bm_target is null.");
        return false;
    }
    if (!source) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "ZKI_CreateImageResized bm_source is null.");
        return false;
    }
    // A block without a size holds no pixel to sample either.
    if (!HasImage(source)) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "ZKI_CreateImageResized bm_source '%s' has no pixels.",
                      source->name ? source->name : "(null)");
        return false;
    }
    if (!IsResizableSide(width) || !IsResizableSide(height)) return false;
    uint32_t* pixels = ZKI_AllocatePixelBlock(width, height);
    if (!pixels) return false;
    ZKI_FixAlphaBleeding(source);
    if (source->width == width && source->height == height) {
        memcpy(pixels, source->pixels, size_t(width) * size_t(height) * 4);
    } else {
        ResampleRows(pixels, source, width, height, 0, height);
    }
    // The old block goes only now: target and source may be one bitmap.
    free(target->pixels);
    target->pixels = pixels;
    target->width = target->texture_width = width;
    target->height = target->texture_height = height;
    target->flags = uint16_t((target->flags & ~ZK_BITMAP_HAS_ALPHA) | (source->flags & ZK_BITMAP_HAS_ALPHA));
    if (source->flags & ZK_BITMAP_HAS_ALPHA) ZKI_FixAlphaBleeding(target);
    return true;
}

void ZKI_ResizeImageChunk(zk_bitmap_t* target, zk_bitmap_t* source, int width, int height, int first_row,
                          int end_row) {
    // Rows are written only inside a target block of the result's size.
    bool usable = target && target->pixels && target->width == width && target->height == height &&
                  HasImage(source) && IsResizableSide(width) && IsResizableSide(height);
    if (usable) {
        if (first_row < 0) first_row = 0;
        if (end_row > height) end_row = height;
        ResampleRows(target->pixels, source, width, height, first_row, end_row);
    }
    zk_running_scaler_threads.fetch_sub(1);
}

void ZKI_ScalerThread(void* job) {
    zk_scaler_job_t* chunk = static_cast<zk_scaler_job_t*>(job);
    if (!chunk) {
        zk_running_scaler_threads.fetch_sub(1);
        return;
    }
    ZKI_ResizeImageChunk(chunk->target, chunk->source, chunk->width, chunk->height, chunk->first_row, chunk->end_row);
}

int ZKI_FixAlphaBleeding(zk_bitmap_t* bitmap) {
    if (!HasImage(bitmap) || !(bitmap->flags & ZK_BITMAP_HAS_ALPHA)) return 0;
    const int64_t width = bitmap->width, height = bitmap->height;
    uint8_t* pixels = reinterpret_cast<uint8_t*>(bitmap->pixels);
    // Left, below, right, above.
    const int64_t dx[4] = {-1, 0, 1, 0}, dy[4] = {0, 1, 0, -1};
    int changed = 0;
    for (int64_t y = 0; y < height; ++y) {
        for (int64_t x = 0; x < width; ++x) {
            uint8_t* p = pixels + (y * width + x) * 4;
            if (p[3] != 0) continue;
            for (int n = 0; n < 4; ++n) {
                int64_t nx = x + dx[n], ny = y + dy[n];
                if (nx < 0 || ny < 0 || nx >= width || ny >= height) continue;
                const uint8_t* q = pixels + (ny * width + nx) * 4;
                if (q[3] == 0) continue;
                if (memcmp(p, q, 3) != 0) {
                    memcpy(p, q, 3);
                    ++changed;
                }
                break;
            }
        }
    }
    return changed;
}
