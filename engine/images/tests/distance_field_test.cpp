// Distance fields: sizes, the inside test, exact values along a row and
// around a point, refused arguments, and the row-by-row search checked
// against a plain search of the whole window on random images.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>

#include "engine/images/bitmap_pixels.h"
#include "engine/images/distance_field.h"
#include "engine/images/tests/image_engine_fixture.h"

using namespace media_test;

namespace {

using DistanceField = MediaTest;

// The field's alpha values, row by row; its colour must be white.
std::vector<int> AlphasOf(const zk_bitmap_t& field) {
    std::vector<int> out;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(field.pixels);
    for (int i = 0; i < field.width * field.height; ++i, p += 4) {
        EXPECT_EQ(p[0], 255);
        EXPECT_EQ(p[1], 255);
        EXPECT_EQ(p[2], 255);
        out.push_back(p[3]);
    }
    return out;
}

TEST_F(DistanceField, SizesAndFullyInsideOrOutsideSources) {
    struct Case {
        int width, height, scale, spread;
        uint8_t alpha;  // of every source pixel (colour white)
        int field_width, field_height;
        int field_alpha;
    } cases[] = {
        {8, 8, 2, 2, 255, 4, 4, 255},
        {8, 8, 2, 2, 0, 4, 4, 0},
        {10, 7, 3, 1, 255, 3, 2, 255},
        {5, 5, 1, 50, 0, 5, 5, 0},
        {3, 3, 4, 1, 255, 0, 0, 0},
    };
    for (const Case& c : cases) {
        TestBitmap source(c.width, c.height);
        source.Fill(255, 255, 255, c.alpha);
        zk_bitmap_t field = ZKI_GenerateDistanceField(source.record, c.scale, c.spread);
        std::string label = std::to_string(c.width) + "x" + std::to_string(c.height) + " scale " +
                            std::to_string(c.scale) + " spread " + std::to_string(c.spread);
        ASSERT_NE(field.pixels, nullptr) << label;
        EXPECT_EQ(field.width, c.field_width) << label;
        EXPECT_EQ(field.height, c.field_height) << label;
        EXPECT_EQ(field.texture_width, 0) << label << ": nothing else is set";
        EXPECT_EQ(field.flags, 0) << label;
        EXPECT_EQ(AlphasOf(field), std::vector<int>(size_t(c.field_width * c.field_height), c.field_alpha)) << label;
        ZKI_ReleaseDistanceFieldBitmap(field);
    }
}

TEST_F(DistanceField, InsideNeedsAlphaAndOneColourByteOfAtLeastHalf) {
    struct Case {
        uint8_t c0, c1, c2, alpha;
        bool inside;
    } cases[] = {
        {255, 255, 255, 255, true}, {128, 0, 0, 128, true},    {0, 0, 128, 200, true},
        {0, 128, 0, 255, true},     {127, 127, 127, 255, false}, {255, 255, 255, 127, false},
    };
    for (const Case& c : cases) {
        TestBitmap source(1, 1);
        source.Set(0, 0, c.c0, c.c1, c.c2, c.alpha);
        zk_bitmap_t field = ZKI_GenerateDistanceField(source.record, 1, 1);
        EXPECT_EQ(AlphasOf(field), std::vector<int>{c.inside ? 255 : 0})
            << int(c.c0) << "," << int(c.c1) << "," << int(c.c2) << "," << int(c.alpha);
        ZKI_ReleaseDistanceFieldBitmap(field);
    }
}

TEST_F(DistanceField, ValuesFollowTheDistanceOverTheReach) {
    // Inside on the left half of a row; reach 4.
    TestBitmap row(8, 1);
    for (int x = 0; x < 4; ++x) row.Set(x, 0, 255, 255, 255, 255);
    zk_bitmap_t field = ZKI_GenerateDistanceField(row.record, 1, 4);
    EXPECT_EQ(AlphasOf(field), (std::vector<int>{255, 223, 191, 159, 95, 63, 31, 0}));
    ZKI_ReleaseDistanceFieldBitmap(field);

    // One inside pixel at (3, 3) of 6x6; cells of 3 sampled at 1 and 4;
    // reach 3: distances sqrt 8, sqrt 5, sqrt 5, sqrt 2, all outside.
    TestBitmap point(6, 6);
    point.Set(3, 3, 255, 255, 255, 255);
    field = ZKI_GenerateDistanceField(point.record, 3, 1);
    EXPECT_EQ(AlphasOf(field), (std::vector<int>{7, 32, 32, 67}));
    ZKI_ReleaseDistanceFieldBitmap(field);
}

// The search as first written: every pixel of the window around the
// sample point.
std::vector<int> PlainSearch(const TestBitmap& source, int scale, int spread) {
    const zk_bitmap_t& s = source.record;
    auto inside = [&](int x, int y) {
        const uint8_t* p = reinterpret_cast<const uint8_t*>(s.pixels) + (size_t(y) * s.width + x) * 4;
        return p[3] >= 128 && (p[0] >= 128 || p[1] >= 128 || p[2] >= 128);
    };
    int reach = spread * scale;
    std::vector<int> out;
    for (int oy = 0; oy < s.height / scale; ++oy) {
        for (int ox = 0; ox < s.width / scale; ++ox) {
            int sx = ox * scale + scale / 2, sy = oy * scale + scale / 2;
            bool in = inside(sx, sy);
            long best = long(reach) * reach;
            for (int y = std::max(sy - reach, 0); y <= std::min(sy + reach, s.height - 1); ++y) {
                for (int x = std::max(sx - reach, 0); x <= std::min(sx + reach, s.width - 1); ++x) {
                    if (inside(x, y) == in) continue;
                    long d2 = long(sx - x) * (sx - x) + long(sy - y) * (sy - y);
                    if (d2 < best) best = d2;
                }
            }
            double value = (in ? 1.0 : -1.0) * std::sqrt(double(best)) / reach * 0.5 + 0.5;
            value = std::min(std::max(value, 0.0), 1.0);
            out.push_back(int(value * 255.0));
        }
    }
    return out;
}

TEST_F(DistanceField, RowSearchFindsWhatTheWholeWindowHolds) {
    struct Case {
        int width, height, scale, spread;
        int inside_percent;
    } cases[] = {
        {40, 30, 1, 3, 50}, {40, 30, 2, 4, 10}, {41, 29, 3, 2, 90}, {33, 37, 4, 8, 3},
        {20, 20, 5, 30, 50}, {64, 8, 2, 1, 30}, {7, 50, 1, 12, 5},
    };
    std::mt19937 random(12345);
    for (const Case& c : cases) {
        TestBitmap source(c.width, c.height);
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                bool in = int(random() % 100) < c.inside_percent;
                // Pixels near the threshold, on both sides of it.
                source.Set(x, y, uint8_t(in ? 128 + random() % 128 : random() % 128), uint8_t(random() % 128), 0,
                           uint8_t(in ? 128 + random() % 128 : random() % 256));
            }
        }
        zk_bitmap_t field = ZKI_GenerateDistanceField(source.record, c.scale, c.spread);
        EXPECT_EQ(AlphasOf(field), PlainSearch(source, c.scale, c.spread))
            << c.width << "x" << c.height << " scale " << c.scale << " spread " << c.spread;
        ZKI_ReleaseDistanceFieldBitmap(field);
    }
}

void* Refuse(size_t) { return nullptr; }

TEST_F(DistanceField, RefusesWhatCannotBeComputed) {
    TestBitmap source(8, 8);
    zk_bitmap_t no_pixels = {};
    no_pixels.width = no_pixels.height = 8;
    struct Case {
        const zk_bitmap_t* source;
        int scale, spread;
        const char* popup;
    } cases[] = {
        {&source.record, 0, 2, "ZKI_GenerateDistanceField: scale (0) and spread (2) must be 1 or more."},
        {&source.record, -2, 2, "ZKI_GenerateDistanceField: scale (-2) and spread (2) must be 1 or more."},
        {&source.record, 2, 0, "ZKI_GenerateDistanceField: scale (2) and spread (0) must be 1 or more."},
        {&source.record, 2, -1, "ZKI_GenerateDistanceField: scale (2) and spread (-1) must be 1 or more."},
        {&no_pixels, 2, 2, "ZKI_GenerateDistanceField: bitmap '(null)' has no pixels."},
    };
    for (const Case& c : cases) {
        ClearRecorded();
        zk_bitmap_t field = ZKI_GenerateDistanceField(*c.source, c.scale, c.spread);
        EXPECT_EQ(field.pixels, nullptr) << c.popup;
        EXPECT_EQ(field.width, 0) << c.popup;
        EXPECT_EQ(Texts('P'), std::vector<std::string>{c.popup});
    }
    ClearRecorded();
    ZKI_SetPixelAllocatorForTesting(Refuse);
    zk_bitmap_t field = ZKI_GenerateDistanceField(source.record, 2, 2);
    EXPECT_EQ(field.pixels, nullptr);
    EXPECT_EQ(Texts('P'),
              std::vector<std::string>{"ZKI_GenerateDistanceField: not enough memory for a field of 4x4 pixels."});
}

}  // namespace
