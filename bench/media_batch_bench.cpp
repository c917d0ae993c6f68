// Quads batched per second through the graphics table's DrawBitmap, the
// batch renderer and the null renderer: one bitmap (96 quads per renderer
// draw), and two bitmaps in turn (a flush and a texture change per quad).
// Run: build-release/bench/media_batch_bench
#include <benchmark/benchmark.h>

#include "bench/null_renderer_setup.h"
#include "engine/drawing/batch_renderer.h"
#include "engine/runtime/state.h"

namespace {

const int kQuadsPerIteration = 960;

zk_bitmap_t bitmaps[2];
int texture_objects[2];

void SetUpOnce() {
    static bool done = false;
    if (done) return;
    done = true;
    StartEngineWithNullRenderer();
    for (int i = 0; i < 2; ++i) {
        zk_bitmap_t& b = bitmaps[i];
        b.width = b.texture_width = 32;
        b.height = b.texture_height = 32;
        b.state = 3;
        b.hw_data.loaded = 1;
        b.hw_data.uv[2] = b.hw_data.uv[3] = 1.0f;
        b.hw_data.renderer_data = &texture_objects[i];
    }
}

void DrawQuads(benchmark::State& state, int bitmaps_in_turn) {
    SetUpOnce();
    zk_graphics_api_t* g = zk->graphics;
    for (auto _ : state) {
        for (int i = 0; i < kQuadsPerIteration; ++i) {
            float x = static_cast<float>(i & 63);
            g->ZK_Graphics_DrawBitmap(&bitmaps[i % bitmaps_in_turn], x, x);
        }
        zk_batch_renderer.Flush();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kQuadsPerIteration);
}

void OneBitmap(benchmark::State& state) { DrawQuads(state, 1); }
void AlternatingBitmaps(benchmark::State& state) { DrawQuads(state, 2); }

}  // namespace

BENCHMARK(OneBitmap);
BENCHMARK(AlternatingBitmaps);
BENCHMARK_MAIN();
