// The search for the nearest pixel of the other kind runs in two steps.
// First, for every source row and every sample column, the horizontal
// distance to the nearest inside and the nearest outside pixel of that row.
// Then each sample walks the rows outward from its own, combining that
// distance with the row's, and stops once the row alone is as far as the
// best found. That gives exactly the minimum over the whole window of
// radius spread x scale, at a cost that grows with the radius rather than
// with its square.
#include "engine/images/distance_field.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "engine/images/bitmap_pixels.h"
#include "engine/runtime/state.h"

namespace {

const uint32_t none = UINT32_MAX;

bool IsInside(const uint8_t* pixel) {
    return pixel[3] >= 128 && (pixel[0] >= 128 || pixel[1] >= 128 || pixel[2] >= 128);
}

// Horizontal distances from each sample column to the nearest inside (kind
// 1) and outside (kind 0) pixel of each source row; none when the row has
// no pixel of that kind.
class RowDistances {
public:
    RowDistances() = default;
    RowDistances(const RowDistances&) = delete;
    RowDistances& operator=(const RowDistances&) = delete;
    ~RowDistances() {
        free(table[0]);
        free(table[1]);
        free(kinds);
    }

    // False when the tables cannot be had.
    bool Build(const zk_bitmap_t& source, int64_t columns, int64_t scale) {
        this->columns = columns;
        uint64_t entries = uint64_t(source.height) * uint64_t(columns);
        if (entries > uint64_t(PTRDIFF_MAX) / sizeof(uint32_t)) return false;
        size_t bytes = size_t(entries) * sizeof(uint32_t);
        table[0] = static_cast<uint32_t*>(malloc(bytes ? bytes : 1));
        table[1] = static_cast<uint32_t*>(malloc(bytes ? bytes : 1));
        kinds = static_cast<uint8_t*>(malloc(source.width > 0 ? size_t(source.width) : 1));
        if (!table[0] || !table[1] || !kinds) return false;
        const uint8_t* pixels = reinterpret_cast<const uint8_t*>(source.pixels);
        for (int64_t y = 0; y < source.height; ++y) {
            const uint8_t* row = pixels + y * source.width * 4;
            for (int64_t x = 0; x < source.width; ++x) kinds[x] = IsInside(row + x * 4);
            FillRow(source.width, y, scale);
        }
        return true;
    }
    uint32_t At(int kind, int64_t row, int64_t column) const { return table[kind][row * columns + column]; }

private:
    void FillRow(int64_t width, int64_t y, int64_t scale) {
        uint32_t* out[2] = {table[0] + y * columns, table[1] + y * columns};
        for (int k = 0; k < 2; ++k) {
            for (int64_t column = 0; column < columns; ++column) out[k][column] = none;
        }
        // Left to right: the nearest at or before each sample column.
        int64_t last[2] = {-1, -1};
        int64_t column = 0;
        for (int64_t x = 0; x < width && column < columns; ++x) {
            last[kinds[x]] = x;
            if (x != column * scale + scale / 2) continue;
            for (int k = 0; k < 2; ++k) {
                if (last[k] >= 0) out[k][column] = uint32_t(x - last[k]);
            }
            ++column;
        }
        // Right to left: the nearest at or after, if nearer.
        int64_t next[2] = {-1, -1};
        column = columns - 1;
        for (int64_t x = width - 1; x >= 0 && column >= 0; --x) {
            next[kinds[x]] = x;
            if (x != column * scale + scale / 2) continue;
            for (int k = 0; k < 2; ++k) {
                if (next[k] >= 0 && uint32_t(next[k] - x) < out[k][column]) out[k][column] = uint32_t(next[k] - x);
            }
            --column;
        }
    }
    int64_t columns = 0;
    uint32_t* table[2] = {};
    uint8_t* kinds = nullptr;
};

zk_bitmap_t Refuse(const char* format, ...) __attribute__((format(printf, 1, 2)));

zk_bitmap_t Refuse(const char* format, ...) {
    char text[256];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "%s", text);
    return zk_bitmap_t{};
}

}  // namespace

zk_bitmap_t ZKI_GenerateDistanceField(const zk_bitmap_t& source, int scale, int spread) {
    if (scale < 1 || spread < 1) {
        return Refuse("ZKI_GenerateDistanceField: scale (%d) and spread (%d) must be 1 or more.", scale, spread);
    }
    if (!source.pixels || source.width < 0 || source.height < 0) {
        return Refuse("ZKI_GenerateDistanceField: bitmap '%s' has no pixels.", source.name ? source.name : "(null)");
    }
    zk_bitmap_t field = {};
    field.width = source.width / scale;
    field.height = source.height / scale;
    uint32_t* pixels = ZKI_AllocatePixelBlock(field.width, field.height);
    RowDistances rows;
    if (!pixels || !rows.Build(source, field.width, scale)) {
        free(pixels);
        return Refuse("ZKI_GenerateDistanceField: not enough memory for a field of %dx%d pixels.", field.width,
                      field.height);
    }
    const int64_t reach = int64_t(spread) * scale;
    const double reach_squared = double(reach) * double(reach);
    const uint8_t* source_pixels = reinterpret_cast<const uint8_t*>(source.pixels);
    uint8_t* out = reinterpret_cast<uint8_t*>(pixels);
    for (int64_t oy = 0; oy < field.height; ++oy) {
        int64_t sy = oy * scale + scale / 2;
        for (int64_t ox = 0; ox < field.width; ++ox, out += 4) {
            int64_t sx = ox * scale + scale / 2;
            bool inside = IsInside(source_pixels + (sy * source.width + sx) * 4);
            int other = inside ? 0 : 1;
            double best = reach_squared;
            for (int64_t dy = 0; dy <= reach && double(dy * dy) < best; ++dy) {
                for (int side = 0; side < (dy == 0 ? 1 : 2); ++side) {
                    int64_t y = side == 0 ? sy - dy : sy + dy;
                    if (y < 0 || y >= source.height) continue;
                    uint32_t dx = rows.At(other, y, ox);
                    if (dx == none || int64_t(dx) > reach) continue;
                    double d2 = double(int64_t(dx) * dx + dy * dy);
                    if (d2 < best) best = d2;
                }
            }
            double value = (inside ? 1.0 : -1.0) * std::sqrt(best) / double(reach) * 0.5 + 0.5;
            value = value < 0.0 ? 0.0 : value > 1.0 ? 1.0 : value;
            out[0] = out[1] = out[2] = 255;
            out[3] = uint8_t(value * 255.0);
        }
    }
    field.pixels = pixels;
    return field;
}

void ZKI_ReleaseDistanceFieldBitmap(const zk_bitmap_t& bitmap) { free(bitmap.pixels); }
