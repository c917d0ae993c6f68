// The engine's own diagnostics, drawn over the program after it has drawn:
// the frame-rate counter (zk_state.show_fps), the developer overlays of the
// held keys 112-117 (frame rate, memory chart, frame-time graph, resource
// listing, resource reload, information panel; the panel also with the
// product feature SHOW_INFO), then the console overlay (zk_console, which
// slides and draws itself). The frame-rate test overlay is separate.
// Everything goes through the graphics table; the counter with the pool's
// first font, the overlays with the pooled font "core/console.mft", else
// the first font of the pool. Without a font nothing is drawn. Main
// thread, inside the frame.
#pragma once

#include <cstdint>

#include "engine/base/narray.h"
#include "engine/base/types.h"
#include "engine/runtime/media_records.h"

// Once per frame: counts the frame rate (whole milliseconds of dt; a new
// rate each time more than 1.5 s have gathered), draws what is switched on
// and lets the console animate and draw itself.
void ZKI_UpdateAndDrawHUDs(float dt);

// The font the diagnostics draw with: the pooled "core/console.mft", else
// the first font of the pool; null when the pool has none.
zk_font_t* ZKI_GetDiagnosticsFont();

// Samples the memory figures an extension publishes (key states 2000 total,
// 2001 system, 2002 GPU, 2004 sound, 2005 vertex data, in bytes) and draws
// them as stacked bars over a grid, with a legend in MiB.
class MemoryWatchdog {
public:
    // The first call and every 30th after it: refreshes the figures and adds
    // one sample of each, unless the total equals each of the last four
    // totals; the oldest sample goes when the bars would fill more than
    // three quarters of the chart's width.
    void Update();
    // The chart over the program's screen, 50 pixels in from each edge.
    void Draw();
    void DrawGrid();
    // One series as bars on top of the series drawn before it (the name and
    // the number are not drawn); nothing for fewer than 2 samples.
    void DrawMemoryUsageLine(const nArray<unsigned int>& samples, const char* name, int number, const color_t& color);

    nArray<unsigned int> total;
    nArray<unsigned int> gpu;
    nArray<unsigned int> system;
    nArray<unsigned int> sound;
    nArray<unsigned int> vertex_data;
    nArray<unsigned int> stack;        // per-sample running sums while drawing
    uint32_t peak_total = 0;
    uint32_t peak_gpu = 0;
    uint32_t peak_system = 0;
    uint32_t peak_sound = 0;
    uint32_t peak_vertex_data = 0;
    zk_font_t* font = nullptr;
    uint32_t graph_max = 32u * 1024u * 1024u;  // top of the chart, bytes
    int32_t bar_width = 2;
    int32_t pixels_per_step = 10;
    int32_t x = 0, y = 0;
    int32_t width = 800, height = 600;
    uint32_t step = 10u * 1024u * 1024u;       // bytes per grid step

private:
    int32_t update_calls_ = 0;
};

// Created by the first developer-mode frame; lives until exit.
extern MemoryWatchdog* zk_memdog;

// A frame-time test overlay: the recent frame times as bars (newest on the
// left, 3000 pixels per second), the 30 and 60 frames-per-second levels,
// and a square that crosses the screen once every 3 seconds.
class ZK_FramerateTester {
public:
    void UpdateAndDraw(const float& dt);

    nArray<float> samples;  // newest first, at most the program's width
    double timer = 0.0;     // seconds, back to 0 past 3
};

extern ZK_FramerateTester zk_framerate_tester;
