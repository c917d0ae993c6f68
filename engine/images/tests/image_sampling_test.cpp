// Point, bilinear and box samples, resizing (whole and in chunks on worker
// threads) and the repair of colours under transparent pixels.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <thread>

#include "engine/images/bitmap_pixels.h"
#include "engine/images/bitmap_pool.h"
#include "engine/images/image_sampling.h"
#include "engine/images/tests/image_engine_fixture.h"

using namespace media_test;

namespace {

using ImageSampling = MediaTest;
typedef std::vector<int> Px;

// Byte 0 varies with the position; bytes 1 and 2 are fixed; alpha is
// never 0.
void Pattern(TestBitmap& bitmap) {
    for (int y = 0; y < bitmap->height; ++y) {
        for (int x = 0; x < bitmap->width; ++x) bitmap.Set(x, y, uint8_t(10 * x + 50 * y + 5), 7, 9, uint8_t(200 + x + y));
    }
}

struct SampleCase {
    double u, v;
    Px with_alpha, without_alpha;
};

// Samples a w x h image painted by paint, once with an alpha channel and
// once without.
void ExpectSamples(uint32_t (*sample)(zk_bitmap_t*, double, double), int width, int height,
                   void (*paint)(TestBitmap&), const std::vector<SampleCase>& cases) {
    for (bool alpha : {true, false}) {
        TestBitmap bitmap(width, height, alpha ? ZK_BITMAP_HAS_ALPHA : 0);
        paint(bitmap);
        for (const SampleCase& c : cases) {
            EXPECT_EQ(BytesOf(sample(bitmap.get(), c.u, c.v)), alpha ? c.with_alpha : c.without_alpha)
                << c.u << "," << c.v << (alpha ? " alpha" : "");
        }
    }
}

TEST_F(ImageSampling, PointSamplesTruncateAndFollowTheEdgeRules) {
    ExpectSamples(ZKI_GetBitmapSamplePoint, 3, 2, Pattern,
                  {
                      {0.0, 0.0, {5, 7, 9, 200}, {5, 7, 9, 200}},
                      {0.5, 0.5, {65, 7, 9, 202}, {65, 7, 9, 202}},
                      {0.99, 0.0, {25, 7, 9, 202}, {25, 7, 9, 202}},
                      // Column 3 lies outside: the last column's colour,
                      // transparent only for an image with an alpha channel.
                      {1.0, 0.0, {25, 7, 9, 0}, {25, 7, 9, 202}},
                      {0.0, 1.0, {55, 7, 9, 0}, {55, 7, 9, 201}},
                      // -0.6 truncates toward zero, to column 0; -1.2 to
                      // column -1.
                      {-0.2, 0.0, {5, 7, 9, 200}, {5, 7, 9, 200}},
                      {-0.4, 0.0, {5, 7, 9, 0}, {5, 7, 9, 200}},
                      {-1e300, 1e300, {55, 7, 9, 0}, {55, 7, 9, 201}},
                  });
}

// Byte 0: 0 100 / 200 40; bytes 1 and 2 fixed; opaque.
void FourCorners(TestBitmap& bitmap) {
    bitmap.Set(0, 0, 0, 1, 2, 255);
    bitmap.Set(1, 0, 100, 1, 2, 255);
    bitmap.Set(0, 1, 200, 1, 2, 255);
    bitmap.Set(1, 1, 40, 1, 2, 255);
}

TEST_F(ImageSampling, BilinearSamplesWeighInElevenBitFixedPoint) {
    ExpectSamples(ZKI_GetBitmapSampleBilinear, 2, 2, FourCorners,
                  {
                      {0.0, 0.0, {0, 1, 2, 255}, {0, 1, 2, 255}},
                      {0.25, 0.25, {85, 1, 2, 255}, {85, 1, 2, 255}},
                      {0.5, 0.0, {100, 1, 2, 255}, {100, 1, 2, 255}},
                      {0.125, 0.75, {160, 1, 2, 127}, {160, 1, 2, 255}},
                      // Half way to the outside: alpha halves for an alpha
                      // image; the colour is the edge's either way.
                      {0.75, 0.0, {100, 1, 2, 127}, {100, 1, 2, 255}},
                      // 1/3 of a pixel: weight trunc(682.67) of 2048.
                      {1.0 / 6, 0.0, {33, 1, 2, 255}, {33, 1, 2, 255}},
                  });
}

// Each byte within one of the expected value: the box averages go through
// fractions of 255 in floating point.
void ExpectNear(const Px& actual, const Px& expected, const std::string& label) {
    ASSERT_EQ(actual.size(), expected.size()) << label;
    for (size_t i = 0; i < actual.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 1) << label << " byte " << i;
}

TEST_F(ImageSampling, BoxSamplesIncludeBothBoundsAndAverageColourOverVisibleSamples) {
    TestBitmap grid(4, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) grid.Set(x, y, uint8_t(10 * x + 40 * y), 0, 0, 255);
    }
    // Three samples each way (0, 1, 2): mean x 1, mean y 1.
    ExpectNear(BytesOf(ZKI_GetBitmapSampleArea(grid.get(), 0.0, 0.0, 2.0, 2.0)), {50, 0, 0, 255}, "3x3 from 0,0");
    // One sample when the region is a single point.
    ExpectNear(BytesOf(ZKI_GetBitmapSampleArea(grid.get(), 0.5, 0.25, 0.0, 0.0)), {60, 0, 0, 255}, "one sample");

    // Visible 200, transparent, visible 100 along one row.
    TestBitmap row(4, 1, ZK_BITMAP_HAS_ALPHA);
    row.Set(0, 0, 200, 80, 0, 255);
    row.Set(1, 0, 0, 0, 0, 0);
    row.Set(2, 0, 100, 40, 0, 255);
    ExpectNear(BytesOf(ZKI_GetBitmapSampleArea(row.get(), 0.0, 0.0, 2.0, 0.0)), {150, 60, 0, 170}, "visible only");
    ExpectNear(BytesOf(ZKI_GetBitmapSampleArea(row.get(), 0.25, 0.0, 0.0, 0.0)), {0, 0, 0, 0}, "nothing visible");
    EXPECT_EQ(ZKI_GetBitmapSampleArea(row.get(), 0.0, 0.0, -1.0, 0.0), 0u);
    EXPECT_EQ(ZKI_GetBitmapSampleArea(row.get(), 0.0, 0.0, 1.0 / 0.0, 0.0), 0u);
}

// The bytes of every pixel, row by row.
std::vector<Px> PixelsOf(zk_bitmap_t* bitmap) {
    std::vector<Px> out;
    for (int i = 0; i < bitmap->width * bitmap->height; ++i) out.push_back(BytesOf(bitmap->pixels[i]));
    return out;
}

TEST_F(ImageSampling, ResizingChoosesBoxOrBilinearByTheRatio) {
    struct Case {
        int width, height;
        std::vector<Px> expected;
    } cases[] = {
        // Ratio 2: 3x3 bilinear samples per pixel, bounds included (the
        // third column of the right half lies outside and repeats the
        // edge).
        {2, 2, {{50, 0, 0, 255}, {66, 0, 0, 255}, {116, 0, 0, 255}, {133, 0, 0, 255}}},
        // Ratio 1.33: one bilinear sample per pixel.
        {3, 3,
         {{0, 0, 0, 255}, {13, 0, 0, 255}, {26, 0, 0, 255},
          {53, 0, 0, 255}, {66, 0, 0, 255}, {79, 0, 0, 255},
          {106, 0, 0, 255}, {119, 0, 0, 255}, {133, 0, 0, 255}}},
        // Ratio 4 across, 1 down: box samples of 5 x 2.
        {1, 4, {{38, 0, 0, 255}, {78, 0, 0, 255}, {118, 0, 0, 255}, {138, 0, 0, 255}}},
    };
    for (const Case& c : cases) {
        TestBitmap source(4, 4), target(1, 1, ZK_BITMAP_HAS_ALPHA | ZK_BITMAP_RELOADABLE);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) source.Set(x, y, uint8_t(10 * x + 40 * y), 0, 0, 255);
        }
        std::string label = std::to_string(c.width) + "x" + std::to_string(c.height);
        ASSERT_TRUE(ZKI_CreateImageResized(target.get(), source.get(), c.width, c.height, 0)) << label;
        EXPECT_EQ(target->width, c.width);
        EXPECT_EQ(target->texture_width, c.width);
        EXPECT_EQ(target->height, c.height);
        EXPECT_EQ(target->texture_height, c.height);
        EXPECT_EQ(target->flags, ZK_BITMAP_RELOADABLE) << label << ": the alpha bit follows the source";
        std::vector<Px> result = PixelsOf(target.get());
        ASSERT_EQ(result.size(), c.expected.size()) << label;
        for (size_t i = 0; i < result.size(); ++i) ExpectNear(result[i], c.expected[i], label + " pixel " + std::to_string(i));
    }
}

TEST_F(ImageSampling, ResizingRepairsTheSourceFirstAndTheResultAfter) {
    // Upscaling: the transparent pixel takes red before it is sampled, so
    // the half-covered pixel stays red instead of darkening.
    TestBitmap source(2, 1, ZK_BITMAP_HAS_ALPHA), target(1, 1);
    source.Set(0, 0, 255, 0, 0, 255);
    ASSERT_TRUE(ZKI_CreateImageResized(target.get(), source.get(), 4, 1, 0));
    EXPECT_EQ(PixelsOf(target.get()), (std::vector<Px>{{255, 0, 0, 255}, {255, 0, 0, 127}, {255, 0, 0, 0}, {255, 0, 0, 0}}));
    EXPECT_EQ(BytesOf(source->pixels[1]), (Px{255, 0, 0, 0})) << "the source is repaired in place";
    EXPECT_EQ(target->flags, ZK_BITMAP_HAS_ALPHA);

    // Downscaling: the second result pixel sees nothing visible and comes
    // out black; the repair afterwards gives it the first one's colour.
    TestBitmap wide(8, 1, ZK_BITMAP_HAS_ALPHA), small(1, 1);
    wide.Set(0, 0, 255, 0, 0, 255);
    ASSERT_TRUE(ZKI_CreateImageResized(small.get(), wide.get(), 4, 1, 0));
    std::vector<Px> result = PixelsOf(small.get());
    ExpectNear(result[0], {255, 0, 0, 42}, "covered");
    EXPECT_EQ(result[1], (Px{255, 0, 0, 0}));
    EXPECT_EQ(result[2], (Px{0, 0, 0, 0})) << "one pass spreads one pixel";

    // The same size copies the repaired source.
    TestBitmap same(2, 1);
    source.Set(1, 0, 0, 0, 0, 0);
    ASSERT_TRUE(ZKI_CreateImageResized(same.get(), source.get(), 2, 1, 0));
    EXPECT_EQ(PixelsOf(same.get()), (std::vector<Px>{{255, 0, 0, 255}, {255, 0, 0, 0}}));

    // A bitmap resized into itself.
    ASSERT_TRUE(ZKI_CreateImageResized(source.get(), source.get(), 3, 2, 0));
    EXPECT_EQ(source->width, 3);
    EXPECT_EQ(BytesOf(source->pixels[0]), (Px{255, 0, 0, 255}));
}

std::vector<size_t> asked;

void* RecordAndRefuse(size_t bytes) {
    asked.push_back(bytes);
    return nullptr;
}

TEST_F(ImageSampling, ResizingRefusesWithoutChangingTheTarget) {
    TestBitmap source(4, 4), target(2, 2);
    zk_bitmap_t unnamed = {};
    TestBitmap named_empty(1, 1);
    free(named_empty->pixels);
    named_empty->pixels = nullptr;
    free(named_empty->name);
    named_empty->name = strdup("icons/empty.tga");
    struct Case {
        zk_bitmap_t* target;
        zk_bitmap_t* source;
        int width, height;
        const char* popup;  // null: refused without a message
    } cases[] = {
        {nullptr, source.get(), 2, 2, "ZKI_CreateImageResized bm_target is null."},
        {target.get(), nullptr, 2, 2, "ZKI_CreateImageResized bm_source is null."},
        {target.get(), &unnamed, 2, 2, "ZKI_CreateImageResized bm_source '(null)' has no pixels."},
        {target.get(), named_empty.get(), 2, 2, "ZKI_CreateImageResized bm_source 'icons/empty.tga' has no pixels."},
        {target.get(), source.get(), 0, 10, nullptr},
        {target.get(), source.get(), 65535, 10, nullptr},
        {target.get(), source.get(), 10, -3, nullptr},
        {target.get(), source.get(), 10, 65535, nullptr},
    };
    uint32_t* before = target->pixels;
    for (const Case& c : cases) {
        ClearRecorded();
        std::string label = std::to_string(c.width) + "x" + std::to_string(c.height);
        EXPECT_FALSE(ZKI_CreateImageResized(c.target, c.source, c.width, c.height, 0)) << label;
        std::vector<std::string> expected;
        if (c.popup) expected.push_back(c.popup);
        EXPECT_EQ(Texts('P'), expected) << label;
        EXPECT_EQ(target->pixels, before);
        EXPECT_EQ(target->width, 2);
    }
    // The largest size asks for its whole 64-bit block.
    asked.clear();
    ZKI_SetPixelAllocatorForTesting(RecordAndRefuse);
    EXPECT_FALSE(ZKI_CreateImageResized(target.get(), source.get(), 65534, 65534, 0));
    EXPECT_EQ(asked, std::vector<size_t>{size_t(65534) * 65534 * 4});
    EXPECT_EQ(target->pixels, before);
    EXPECT_EQ(target->width, 2);
}

TEST_F(ImageSampling, ChunksOnWorkerThreadsGiveTheWholeResult) {
    for (int width : {4, 2}) {  // bilinear, then box samples
        TestBitmap source(6, 5), whole(1, 1), chunked(1, 1);
        Pattern(source);
        ASSERT_TRUE(ZKI_CreateImageResized(whole.get(), source.get(), width, 3, 0));
        free(chunked->pixels);
        chunked->pixels = ZKI_AllocatePixelBlock(width, 3);
        chunked->width = width;
        chunked->height = 3;
        zk_scaler_job_t jobs[] = {{chunked.get(), source.get(), width, 3, 0, 1},
                                  {chunked.get(), source.get(), width, 3, 1, 3}};
        zk_running_scaler_threads = 2;
        std::thread first(ZKI_ScalerThread, &jobs[0]), second(ZKI_ScalerThread, &jobs[1]);
        first.join();
        second.join();
        EXPECT_EQ(zk_running_scaler_threads.load(), 0);
        EXPECT_EQ(PixelsOf(chunked.get()), PixelsOf(whole.get())) << width;
    }
    // A chunk for a target of another size writes nothing, but is counted
    // as done.
    TestBitmap source(6, 5), small(2, 2);
    Pattern(source);
    zk_running_scaler_threads = 1;
    ZKI_ResizeImageChunk(small.get(), source.get(), 4, 3, 0, 3);
    EXPECT_EQ(zk_running_scaler_threads.load(), 0);
    EXPECT_EQ(PixelsOf(small.get()), std::vector<Px>(4, Px{0, 0, 0, 0}));
}

TEST_F(ImageSampling, AlphaBleedingRepairSpreadsColourOnePixel) {
    const uint8_t left[] = {10, 11, 12}, below[] = {20, 21, 22}, right[] = {30, 31, 32}, above[] = {40, 41, 42};
    struct Neighbours {
        bool left, below, right, above;
        const uint8_t* taken;
    } orders[] = {
        {true, true, true, true, left},
        {false, true, true, true, below},
        {false, false, true, true, right},
        {false, false, false, true, above},
    };
    for (const Neighbours& n : orders) {
        TestBitmap bitmap(3, 3, ZK_BITMAP_HAS_ALPHA);
        if (n.left) bitmap.Set(0, 1, left[0], left[1], left[2], 255);
        if (n.below) bitmap.Set(1, 2, below[0], below[1], below[2], 255);
        if (n.right) bitmap.Set(2, 1, right[0], right[1], right[2], 9);
        if (n.above) bitmap.Set(1, 0, above[0], above[1], above[2], 255);
        ZKI_FixAlphaBleeding(bitmap.get());
        EXPECT_EQ(BytesOf(bitmap->pixels[4]), (Px{n.taken[0], n.taken[1], n.taken[2], 0})) << int(n.taken[0]);
    }

    struct Case {
        const char* label;
        int width, height;
        int opaque_x, opaque_y;
        uint16_t flags;
        int changed;
    } cases[] = {
        {"interior pixel", 3, 3, 1, 1, ZK_BITMAP_HAS_ALPHA, 4},
        {"corner pixel", 3, 3, 0, 0, ZK_BITMAP_HAS_ALPHA, 2},
        {"one pass, one pixel", 5, 1, 0, 0, ZK_BITMAP_HAS_ALPHA, 1},
        {"no alpha channel", 3, 3, 1, 1, 0, 0},
    };
    for (const Case& c : cases) {
        TestBitmap bitmap(c.width, c.height, c.flags);
        bitmap.Set(c.opaque_x, c.opaque_y, 200, 100, 50, 255);
        EXPECT_EQ(ZKI_FixAlphaBleeding(bitmap.get()), c.changed) << c.label;
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                int distance = abs(x - c.opaque_x) + abs(y - c.opaque_y);
                Px expected = distance == 0 ? Px{200, 100, 50, 255}
                              : distance == 1 && c.changed ? Px{200, 100, 50, 0}
                                                           : Px{0, 0, 0, 0};
                EXPECT_EQ(BytesOf(bitmap->pixels[y * c.width + x]), expected) << c.label << " at " << x << "," << y;
            }
        }
    }

    // Already the neighbour's colour: nothing changes, nothing is counted.
    TestBitmap same(2, 1, ZK_BITMAP_HAS_ALPHA);
    same.Set(0, 0, 5, 5, 5, 0);
    same.Set(1, 0, 5, 5, 5, 255);
    EXPECT_EQ(ZKI_FixAlphaBleeding(same.get()), 0);
    zk_bitmap_t nothing = {};
    nothing.flags = ZK_BITMAP_HAS_ALPHA;
    EXPECT_EQ(ZKI_FixAlphaBleeding(&nothing), 0);
    EXPECT_EQ(ZKI_FixAlphaBleeding(nullptr), 0);
}

}  // namespace
