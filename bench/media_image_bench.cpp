// The media layer's software image work: resizing a 2048x2048 image to
// 1024x1024 (box samples of 3x3 bilinear samples per pixel, with the
// alpha-bleeding repair before and after), and 512x512 distance fields
// (from a 2048x2048 source at scale 4, spread 8, a reach of 32 source
// pixels; and from a 512x512 source at scale 1, spread 8).
// Run: build-release/bench/media_image_bench
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

#include "engine/app/startup.h"
#include "engine/images/distance_field.h"
#include "engine/images/image_sampling.h"
#include "engine/runtime/log.h"

namespace {

// Discs of opaque colour on a transparent ground, as glyph sheets and
// sprites look: large runs inside and outside, edges everywhere.
zk_bitmap_t* MakeDiscs(int side) {
    zk_bitmap_t* bitmap = static_cast<zk_bitmap_t*>(calloc(1, sizeof(zk_bitmap_t)));
    bitmap->width = bitmap->texture_width = side;
    bitmap->height = bitmap->texture_height = side;
    bitmap->flags = 1;
    bitmap->pixels = static_cast<uint32_t*>(malloc(size_t(side) * side * 4));
    int cell = side / 16, radius = cell * 2 / 5;
    uint8_t* p = reinterpret_cast<uint8_t*>(bitmap->pixels);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x, p += 4) {
            int dx = x % cell - cell / 2, dy = y % cell - cell / 2;
            bool inside = dx * dx + dy * dy <= radius * radius;
            p[0] = uint8_t(x * 255 / side);
            p[1] = uint8_t(y * 255 / side);
            p[2] = 200;
            p[3] = inside ? 255 : 0;
        }
    }
    return bitmap;
}

void SetUpOnce() {
    static bool done = false;
    if (done) return;
    done = true;
    zk_run_silent = 1;
    ZKI_StateSetup(nullptr);
}

void Resize2048To1024(benchmark::State& state) {
    SetUpOnce();
    zk_bitmap_t* source = MakeDiscs(2048);
    for (auto _ : state) {
        zk_bitmap_t target = {};
        if (!ZKI_CreateImageResized(&target, source, 1024, 1024, 0)) state.SkipWithError("resize failed");
        benchmark::DoNotOptimize(target.pixels);
        free(target.pixels);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 1024 * 1024);
    free(source->pixels);
    free(source);
}

void DistanceField512(benchmark::State& state) {
    SetUpOnce();
    int scale = int(state.range(0)), spread = int(state.range(1));
    zk_bitmap_t* source = MakeDiscs(512 * scale);
    for (auto _ : state) {
        zk_bitmap_t field = ZKI_GenerateDistanceField(*source, scale, spread);
        if (!field.pixels) state.SkipWithError("field failed");
        benchmark::DoNotOptimize(field.pixels);
        ZKI_ReleaseDistanceFieldBitmap(field);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 512 * 512);
    free(source->pixels);
    free(source);
}

}  // namespace

BENCHMARK(Resize2048To1024)->Unit(benchmark::kMillisecond);
BENCHMARK(DistanceField512)->ArgNames({"scale", "spread"})->Args({4, 8})->Args({1, 8})->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
