// Resampling: alpha bleeding, the edge rule, bilinear enlarging, area
// averaging, and the resizer's refusals.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/manifester/resample.h"
#include "tools/manifester/tests/manifester_test_support.h"

using namespace manifester;
using namespace manifester_test;

namespace {

struct Rgba {
    int c0, c1, c2, a;
    bool operator==(const Rgba& o) const { return c0 == o.c0 && c1 == o.c1 && c2 == o.c2 && a == o.a; }
};

std::ostream& operator<<(std::ostream& out, const Rgba& p) {
    return out << "(" << p.c0 << " " << p.c1 << " " << p.c2 << " " << p.a << ")";
}

uint32_t Pixel(Rgba p) {
    const uint8_t bytes[4] = {uint8_t(p.c0), uint8_t(p.c1), uint8_t(p.c2), uint8_t(p.a)};
    uint32_t pixel;
    memcpy(&pixel, bytes, 4);
    return pixel;
}

Rgba Bytes4(uint32_t pixel) {
    uint8_t b[4];
    memcpy(b, &pixel, 4);
    return {b[0], b[1], b[2], b[3]};
}

// A bitmap of the given pixels, rows top first, freed with it.
struct Picture : zk_bitmap_t {
    Picture(int w, int h, const std::vector<Rgba>& rgba, bool alpha) : zk_bitmap_t() {
        name = const_cast<char*>("picture");
        width = w;
        height = h;
        flags = alpha ? 1u : 0u;
        pixels = static_cast<uint32_t*>(malloc(size_t(w) * h * 4));
        for (int i = 0; i < w * h; ++i) pixels[i] = Pixel(rgba[size_t(i)]);
    }
    Picture() : zk_bitmap_t() {}
    ~Picture() { free(pixels); }
    Rgba At(int x, int y) const { return Bytes4(pixels[size_t(y) * width + x]); }
};

const Rgba clear = {0, 0, 0, 0};

class Resampling : public ManifesterTest {};

TEST_F(Resampling, BleedingGivesTransparentPixelsTheLastOpaqueNeighbour) {
    const Rgba above = {10, 0, 0, 255}, right = {20, 0, 0, 255}, below = {30, 0, 0, 255}, left = {40, 0, 0, 255};
    struct Case {
        const char* name;
        std::vector<Rgba> around;  // 3 x 3, the centre transparent
        Rgba centre;
    } cases[] = {
        {"all four: left wins", {clear, above, clear, left, clear, right, clear, below, clear}, {40, 0, 0, 0}},
        {"above and right: right wins", {clear, above, clear, clear, clear, right, clear, clear, clear}, {20, 0, 0, 0}},
        {"only below", {clear, clear, clear, clear, clear, clear, clear, below, clear}, {30, 0, 0, 0}},
        {"none", {clear, clear, clear, clear, clear, clear, clear, clear, clear}, clear},
    };
    for (const Case& c : cases) {
        Picture picture(3, 3, c.around, true);
        BleedAlpha(&picture);
        EXPECT_EQ(picture.At(1, 1), c.centre) << c.name;
    }

    // One pass fills a one-pixel ring: a pixel changed earlier in the pass
    // does not spread further, and every transparent pixel is counted.
    std::vector<Rgba> single(25, clear);
    single[12] = {7, 8, 9, 255};
    Picture ring(5, 5, single, true);
    EXPECT_EQ(BleedAlpha(&ring), 24);
    EXPECT_EQ(ring.At(2, 1), (Rgba{7, 8, 9, 0}));
    EXPECT_EQ(ring.At(1, 2), (Rgba{7, 8, 9, 0}));
    EXPECT_EQ(ring.At(2, 0), clear);
    EXPECT_EQ(ring.At(1, 1), clear);
    Picture none;
    EXPECT_EQ(BleedAlpha(&none), 0);
}

TEST_F(Resampling, ClampedFetchesAreTransparentOnlyWithAnAlphaChannel) {
    const Rgba corner = {1, 2, 3, 200};
    for (bool alpha : {false, true}) {
        Picture picture(2, 2, {corner, {5, 5, 5, 255}, {6, 6, 6, 255}, {7, 7, 7, 255}}, alpha);
        EXPECT_EQ(Bytes4(GetPixelClamped(&picture, 0, 0)), corner);
        for (auto xy : {std::pair<int, int>{-1, 0}, {0, -3}, {-2, -2}}) {
            Rgba fetched = Bytes4(GetPixelClamped(&picture, xy.first, xy.second));
            EXPECT_EQ(fetched, (Rgba{1, 2, 3, alpha ? 0 : 200})) << alpha << " " << xy.first << "," << xy.second;
        }
        EXPECT_EQ(Bytes4(GetPixelClamped(&picture, 9, 9)).a, alpha ? 0 : 255);
    }
    EXPECT_EQ(ClampInt(-4, 0, 9), 0);
    EXPECT_EQ(ClampInt(12, 0, 9), 9);
    EXPECT_EQ(ClampInt(5, 0, 9), 5);
}

TEST_F(Resampling, SameSizeIsACopyWithBledEdges) {
    const Rgba red = {255, 0, 0, 255};
    Picture source(3, 1, {red, clear, clear}, true);
    Picture target;
    ASSERT_TRUE(ZKI_CreateImageResized(&target, &source, 3, 1));
    EXPECT_EQ(target.width, 3);
    EXPECT_EQ(target.resized_width, 3);
    EXPECT_EQ(target.resized_height, 1);
    EXPECT_EQ(target.flags & 1u, 1u);
    EXPECT_EQ(target.At(0, 0), red);
    EXPECT_EQ(target.At(1, 0), (Rgba{255, 0, 0, 0}));
    EXPECT_EQ(target.At(2, 0), clear);  // its neighbour was transparent when the pass began
    EXPECT_EQ(source.At(1, 0), (Rgba{255, 0, 0, 0}));  // the source is bled too
}

TEST_F(Resampling, EnlargingIsBilinearAndFadesAtTheEdgesOnlyWithAlpha) {
    const Rgba dark = {0, 0, 0, 255}, light = {200, 100, 40, 255};
    struct Case {
        bool alpha;
        Rgba expected[4];
    } cases[] = {
        {false, {dark, {100, 50, 20, 255}, light, light}},
        {true, {dark, {100, 50, 20, 255}, light, {200, 100, 40, 127}}},
    };
    for (const Case& c : cases) {
        Picture source(2, 1, {dark, light}, c.alpha);
        Picture target;
        ASSERT_TRUE(ZKI_CreateImageResized(&target, &source, 4, 1));
        for (int x = 0; x < 4; ++x) EXPECT_EQ(target.At(x, 0), c.expected[x]) << c.alpha << " at " << x;
    }

    // A factor of exactly 1.5 is still bilinear: the second target pixel
    // lies half way between the source's second and third.
    Picture source(3, 1, {dark, {100, 0, 0, 255}, {200, 0, 0, 255}}, false);
    Picture target;
    ASSERT_TRUE(ZKI_CreateImageResized(&target, &source, 2, 1));
    EXPECT_EQ(target.At(0, 0), dark);
    EXPECT_EQ(target.At(1, 0), (Rgba{150, 0, 0, 255}));
}

// Halving averages three samples a row; each colour channel comes back in
// the byte it was read from.
TEST_F(Resampling, ReducingAveragesColourOverOpaqueSamples) {
    Picture source(4, 1, {{0, 10, 200, 255}, {30, 10, 200, 255}, {61, 10, 200, 255}, {90, 10, 200, 255}}, false);
    Picture target;
    ASSERT_TRUE(ZKI_CreateImageResized(&target, &source, 2, 1));
    EXPECT_EQ(target.At(0, 0), (Rgba{30, 10, 200, 255}));   // samples at 0, 1, 2
    EXPECT_EQ(target.At(1, 0), (Rgba{80, 10, 200, 255}));   // at 2, 3, and 4 clamped to 3

    // Transparent samples count towards alpha only, so the colour is not
    // darkened by them.
    std::vector<Rgba> striped;
    for (int i = 0; i < 16; ++i) striped.push_back(i % 2 ? clear : Rgba{255, 0, 0, 255});
    Picture half_clear(4, 4, striped, true);
    Picture reduced;
    ASSERT_TRUE(ZKI_CreateImageResized(&reduced, &half_clear, 2, 2));
    Rgba p = reduced.At(0, 0);
    EXPECT_EQ(p.c0, 255);
    EXPECT_EQ(p.c1, 0);
    EXPECT_EQ(p.c2, 0);
    EXPECT_GT(p.a, 0);
    EXPECT_LT(p.a, 255);
}

TEST_F(Resampling, RefusalsLeaveTheTargetAsItWas) {
    Picture source(2, 2, {{1, 1, 1, 255}, {1, 1, 1, 255}, {1, 1, 1, 255}, {1, 1, 1, 255}}, false);
    Picture empty;
    empty.name = const_cast<char*>("blank");
    Picture unnamed;
    struct Case {
        const char* name;
        zk_bitmap_t* target;
        zk_bitmap_t* source;
        int width, height;
        const char* message;
    } cases[] = {
        {"no target", nullptr, &source, 2, 2, "ZKI_CreateImageResized bm_target is null."},
        {"no source", &empty, nullptr, 2, 2, "ZKI_CreateImageResized bm_source is null."},
        {"source without pixels", &unnamed, &empty, 2, 2, "ZKI_CreateImageResized bm_source 'blank' has no pixels."},
        {"unnamed without pixels", &empty, &unnamed, 2, 2, "ZKI_CreateImageResized bm_source '(null)' has no pixels."},
        {"width 0", &empty, &source, 0, 2, ""},
        {"height -1", &empty, &source, 2, -1, ""},
        {"width 65535", &empty, &source, 65535, 1, ""},
        {"in place", &source, &source, 4, 4, "ZKI_CreateImageResized bm_target and bm_source are the same bitmap."},
        // 40000 x 40000 x 4 bytes does not fit 32 bits.
        {"too many pixels", &empty, &source, 40000, 40000, "ZKI_CreateImageResized cannot allocate 40000x40000 pixels."},
    };
    for (const Case& c : cases) {
        Recorded().clear();
        EXPECT_FALSE(ZKI_CreateImageResized(c.target, c.source, c.width, c.height)) << c.name;
        EXPECT_EQ(RecordedText(), c.message) << c.name;
    }
    EXPECT_EQ(source.width, 2);
    EXPECT_EQ(source.At(1, 1), (Rgba{1, 1, 1, 255}));
    EXPECT_EQ(empty.pixels, nullptr);

    // Sharing pixels is resizing in place too.
    Picture borrowed;
    borrowed.pixels = source.pixels;
    EXPECT_FALSE(ZKI_CreateImageResized(&borrowed, &source, 3, 3));
    borrowed.pixels = nullptr;
}

TEST_F(Resampling, FloatingColoursClampAndTruncate) {
    zk_float_colour_t colour = {1.5f, -0.2f, 0.5f, 1.0f};
    ClampColour(&colour);
    EXPECT_EQ(Bytes4(ColourToPixel(colour)), (Rgba{127, 0, 255, 255}));
}

}  // namespace
