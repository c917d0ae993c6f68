// The frame-rate counter, the developer overlays, the information panel and
// the frame-rate test overlay.

#include "engine/screen/diagnostics.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "engine/console/console_overlay.h"
#include "engine/runtime/basic_functions.h"
#include "engine/runtime/screen.h"
#include "engine/runtime/state.h"

MemoryWatchdog* zk_memdog = nullptr;
ZK_FramerateTester zk_framerate_tester;

namespace {

const char* const kConsoleFontName = "core/console.mft";
const zk_blend_mode_t kAlphaBlend = 1;
const float kRateInterval = 1.5f;

// Developer keys, held.
enum {
    kKeyFrameRate = 112,
    kKeyMemoryChart = 113,
    kKeyFrameTimeGraph = 114,
    kKeyListResources = 115,
    kKeyReloadResources = 116,
    kKeyInformation = 117,
};

// The frame-time graph.
const int kGraphSamples = 2048;
const float kGraphTop = 0.1f;  // seconds at the graph's top
const float kGraphLeft = 10.0f;
const float kGraphBottom = 110.0f;
const float kGraphHeight = 100.0f;
const float kThirtyFramesMs = 33.333332f;

// The information panel.
const float kPanelHeight = 210.0f;
const float kColumnWidth = 200.0f;
const float kColumnRuleGap = 15.0f;
const float kRuleHeight = 200.0f;
const float kPanelMargin = 5.0f;

// The memory figures and the counts shown in the panel.
enum { kMemoryTotal = 2000, kMemorySystem = 2001, kMemoryGpu = 2002, kMemorySound = 2004, kMemoryVertexData = 2005 };
const int kSampleEvery = 30;
const int kUnchangedSamples = 4;
const float kBytesPerMiB = 1024.0f * 1024.0f;

// The frame-time test overlay.
const double kTesterPeriod = 3.0;
const float kTesterPixelsPerSecond = 3000.0f;
const float kTesterSquare = 23.0f;

zk_graphics_api_t* G() { return zk->graphics; }

bool KeyHeld(int key) { return zk->ZK_GetKeyStatei(key) != 0; }

void Color(float r, float g, float b) { G()->ZK_Graphics_SetColor(r, g, b); }
void Alpha(float a) { G()->ZK_Graphics_SetAlpha(a); }
void Rect(float x, float y, float w, float h) { G()->ZK_Graphics_DrawRect(x, y, w, h); }

void WhiteOpaqueLeftAligned() {
    G()->ZK_Graphics_SetTextAlign(0u);
    Color(1.0f, 1.0f, 1.0f);
    Alpha(1.0f);
    G()->ZK_Graphics_SetBlend(kAlphaBlend);
}

zk_font_t* PooledFontNamed(const char* name) {
    int count = zk_state.num_fonts < ZK_MAX_FONTS ? zk_state.num_fonts : ZK_MAX_FONTS;
    for (int i = 0; i < count; ++i) {
        zk_font_t& font = zk_state.fonts[i];
        if (font.name && strcmp(font.name, name) == 0) return &font;
    }
    return nullptr;
}

zk_font_t* FirstPooledFont() {
    int count = zk_state.num_fonts < ZK_MAX_FONTS ? zk_state.num_fonts : ZK_MAX_FONTS;
    for (int i = 0; i < count; ++i) {
        if (zk_state.fonts[i].name) return &zk_state.fonts[i];
    }
    return nullptr;
}

float LineSpacing(const zk_font_t* font) { return static_cast<float>(font->line_spacing); }

// --- Frame rate -------------------------------------------------------------------------

// Whole milliseconds count, so that the rate of equal frames is exact.
void CountFrame(float dt) {
    ++zk_state.fps_frames;
    zk_state.fps_seconds += truncf(dt * 1000.0f) * 0.001f;
    if (zk_state.fps_seconds <= kRateInterval) return;
    zk_state.fps_rate = static_cast<float>(zk_state.fps_frames) / zk_state.fps_seconds;
    zk_state.fps_frames = 0;
    zk_state.fps_seconds = 0.0f;
}

void DrawFrameRateCounter(zk_font_t* font) {
    zk_graphics_api_t* g = G();
    double rate = static_cast<double>(zk_state.fps_rate);
    Color(0.0f, 0.0f, 0.0f);
    Alpha(0.7f);
    Rect(1.0f, 1.0f, g->ZK_Graphics_GetTextWidthf(font, "%.0f", rate) + 2.0f, static_cast<float>(font->height) + 2.0f);
    Color(1.0f, 1.0f, 1.0f);
    Alpha(1.0f);
    g->ZK_Graphics_SetBlend(kAlphaBlend);
    g->ZK_Graphics_SetTextAlign(0u);
    g->ZK_Graphics_SetTextTransform(1.0f, 1.0f, 0.0f);
    g->ZK_Graphics_DrawTextf(font, 2.0f, 2.0f, "%.0f", rate);
}

// --- Frame-time graph -------------------------------------------------------------------

struct FrameTimeGraph {
    float times[kGraphSamples];
    int ring;
};
FrameTimeGraph frame_time_graph = {};

void DrawFrameTimeGraph(zk_font_t* font, float dt) {
    int n = zk_parms.width - 20;
    if (n > kGraphSamples) n = kGraphSamples;
    if (n < 1) return;
    FrameTimeGraph& graph = frame_time_graph;
    // The width may have shrunk since the last frame.
    graph.ring %= n;
    graph.times[graph.ring] = dt;
    float samples = static_cast<float>(n);

    Color(0.0f, 0.0f, 0.0f);
    Alpha(0.7f);
    Rect(kGraphLeft, kGraphLeft, samples, kGraphHeight);
    Color(0.0f, 1.0f, 0.0f);
    G()->ZK_Graphics_DrawTextf(font, kGraphLeft, kGraphLeft, "High: %dms", static_cast<int>(kGraphTop * 1000.0f));

    Alpha(0.5f);
    Color(1.0f, 0.0f, 0.0f);
    float thirty = kGraphBottom - kThirtyFramesMs * (kGraphHeight / kGraphTop) / 1000.0f;
    G()->ZK_Graphics_DrawLine(kGraphLeft, thirty, samples + kGraphLeft, thirty);

    Alpha(1.0f);
    Color(0.0f, 1.0f, 0.0f);
    float px = kGraphLeft, py = kGraphBottom;
    for (int i = 0; i < n; ++i) {
        float x = static_cast<float>(i) + kGraphLeft;
        float y = kGraphBottom - graph.times[(graph.ring + i) % n] * 1000.0f;
        G()->ZK_Graphics_DrawLine(px, py, x, y);
        px = x;
        py = y;
    }
    graph.ring = (graph.ring + 1) % n;
}

// --- Information panel ----------------------------------------------------------------------

// One column of the panel: a white heading, then grey lines.
class PanelColumn {
public:
    PanelColumn(zk_font_t* font, int index) : font_(font), x_(kPanelMargin + kColumnWidth * index), y_(kPanelMargin) {
        if (index > 0) {
            Color(0.7f, 0.7f, 0.7f);
            Rect(x_ - kColumnRuleGap, kPanelMargin, 1.0f, kRuleHeight);
        }
    }
    void Heading(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        Color(1.0f, 1.0f, 1.0f);
        va_list args;
        va_start(args, format);
        Line(format, args);
        va_end(args);
    }
    void Item(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        Color(0.7f, 0.7f, 0.7f);
        va_list args;
        va_start(args, format);
        Line(format, args);
        va_end(args);
    }

private:
    // The line is formatted here, so the text slot gets it as a plain text.
    void Line(const char* format, va_list args) __attribute__((format(printf, 2, 0))) {
        char text[512];
        vsnprintf(text, sizeof(text), format, args);
        G()->ZK_Graphics_DrawTextf(font_, x_, y_, "%s", text);
        y_ += LineSpacing(font_);
    }

    zk_font_t* font_;
    float x_, y_;
};

double D(float value) { return static_cast<double>(value); }

void DeviceColumn(zk_font_t* font) {
    PanelColumn c(font, 0);
    const zk_device_info_t& d = zk_device_info;
    c.Heading("Device Info:");
    c.Item("Screen: %dx%d", d.screen_width, d.screen_height);
    c.Item("Desktop: %dx%d", d.desktop_width, d.desktop_height);
    c.Item("%s", d.fixed_resolution ? "Fixed resolution" : "Free resolution");
    c.Item("Orientation: %s", ZKI_GetOrientationName(d.orientation));
}

void BootSettingsColumn(zk_font_t* font) {
    PanelColumn c(font, 1);
    c.Heading("Boot Settings:");
    c.Item("Screen: %dx%d (%s)", zk_state.screen_width, zk_state.screen_height,
           zk_state.windowed ? "window" : "fullscreen");
    if (zk_state.autoscale) {
        c.Item("Autoscaling");
        c.Item("Scale X %.3f", D(zk_state.autoscale_scale_x));
        c.Item("Scale Y %.3f", D(zk_state.autoscale_scale_y));
        c.Item("Offset X %.3f", D(zk_state.autoscale_offset_x));
        c.Item("Offset Y %.3f", D(zk_state.autoscale_offset_y));
    } else {
        c.Item("Not autoscaling");
    }
    if (zk_state.overlay_zoom != 1.0f) {
        c.Item("Overlay Zoom");
        c.Item("Zoom %.3f", D(zk_state.overlay_zoom));
        c.Item("Offset X %.3f", static_cast<double>(zk_state.overlay_offset_x));
        c.Item("Offset Y %.3f", static_cast<double>(zk_state.overlay_offset_y));
    }
}

void ProgramColumn(zk_font_t* font) {
    PanelColumn c(font, 2);
    c.Heading("Program:");
    const zk_prog_t* program = ZKI_GetProgramRecord();
    if (!program) return;
    const zk_parms_t& own = program->parms;
    c.Item("Current size %dx%d", own.width, own.height);
    c.Item("Ref size %dx%d", own.ref_width, own.ref_height);
    c.Item("Validated size %dx%d", zk_parms.width, zk_parms.height);
    // The record's texts are fixed arrays that need not be terminated.
    c.Item("Title: %.*s", static_cast<int>(sizeof(program->title)), program->title);
    c.Item("Version: %.*s", static_cast<int>(sizeof(program->version)), program->version);
}

void SystemColumn(zk_font_t* font) {
    PanelColumn c(font, 3);
    c.Heading("System:");
    c.Item("Native platform: %s", ZKI_GetPlatformNameOfId(zk_platform_info.platform_id));
    c.Item("Mouse %d, %d", zk_state.mouse_x, zk_state.mouse_y);
}

void ResourcesColumn(zk_font_t* font) {
    PanelColumn c(font, 4);
    c.Heading("Resources:");
    c.Item("Bitmaps: %d / %d", zk_state.num_bitmaps, static_cast<int>(ZK_MAX_BITMAPS));
    c.Item("Sounds: %d / %d", zk_state.num_sounds, static_cast<int>(ZK_MAX_SOUNDS));
    c.Item("Fonts: %d / %d", zk_state.num_fonts, static_cast<int>(ZK_MAX_FONTS));
    c.Item("Shaders: %d / %d", zk_state.num_shaders, static_cast<int>(ZK_MAX_SHADERS));
}

void DrawInformationPanel(zk_font_t* font) {
    Color(0.0f, 0.0f, 0.0f);
    Alpha(0.7f);
    Rect(0.0f, 0.0f, static_cast<float>(zk_device_info.screen_width), kPanelHeight);
    Alpha(1.0f);
    DeviceColumn(font);
    BootSettingsColumn(font);
    ProgramColumn(font);
    SystemColumn(font);
    ResourcesColumn(font);
}

// --- Developer overlays -------------------------------------------------------------------------

void DrawDeveloperOverlays(zk_font_t* font, float dt) {
    if (!zk_memdog) zk_memdog = new MemoryWatchdog();
    zk_memdog->Update();
    WhiteOpaqueLeftAligned();
    if (font && KeyHeld(kKeyFrameRate))
        G()->ZK_Graphics_DrawTextf(font, 100.0f, 50.0f, "%.0f", static_cast<double>(zk_state.fps_rate));
    if (KeyHeld(kKeyMemoryChart)) zk_memdog->Draw();
    if (font && KeyHeld(kKeyFrameTimeGraph)) DrawFrameTimeGraph(font, dt);
    if (KeyHeld(kKeyListResources)) zk->ZK_CallExtension("ListResourceUsage", nullptr);
    if (KeyHeld(kKeyReloadResources)) zk->ZK_CallExtension("Cache", "ReloadResources");
    if (font && (KeyHeld(kKeyInformation) || ZKI_ProductFeatureExists("SHOW_INFO"))) DrawInformationPanel(font);
}

// --- Memory chart -------------------------------------------------------------------------------

uint32_t Last(const nArray<unsigned int>& samples) { return samples.count > 0 ? samples.items[samples.count - 1] : 0; }

float MiB(uint32_t bytes) { return static_cast<float>(bytes) / kBytesPerMiB; }

void Raise(uint32_t& peak, uint32_t value) {
    if (value > peak) peak = value;
}

uint32_t Figure(int key) { return static_cast<uint32_t>(zk->ZK_GetKeyStatei(key)); }

}  // namespace

zk_font_t* ZKI_GetDiagnosticsFont() {
    zk_font_t* font = PooledFontNamed(kConsoleFontName);
    return font ? font : FirstPooledFont();
}

void ZKI_UpdateAndDrawHUDs(float dt) {
    CountFrame(dt);
    // The counter is sized by the pool's first font; the developer
    // overlays prefer the console's.
    zk_font_t* first = FirstPooledFont();
    if (zk_state.show_fps && first) DrawFrameRateCounter(first);
    if (zk_state.developer_mode) DrawDeveloperOverlays(ZKI_GetDiagnosticsFont(), dt);
    zk_console.Update(dt);
    zk_console.Draw();
}

// --- MemoryWatchdog -----------------------------------------------------------------------------

void MemoryWatchdog::Update() {
    if (update_calls_++ % kSampleEvery != 0) return;
    zk->ZK_CallExtension("RefreshMemUsageEstimates", "");
    uint32_t new_total = Figure(kMemoryTotal);
    // Unchanged memory adds no sample.
    if (total.count >= kUnchangedSamples) {
        bool unchanged = true;
        for (int i = total.count - kUnchangedSamples; i < total.count; ++i) unchanged &= total.items[i] == new_total;
        if (unchanged) return;
    }
    uint32_t figures[] = {new_total, Figure(kMemoryGpu), Figure(kMemorySystem), Figure(kMemorySound),
                          Figure(kMemoryVertexData)};
    nArray<unsigned int>* series[] = {&total, &gpu, &system, &sound, &vertex_data};
    uint32_t* peaks[] = {&peak_total, &peak_gpu, &peak_system, &peak_sound, &peak_vertex_data};
    for (int i = 0; i < 5; ++i) {
        series[i]->InsertLast(figures[i]);
        Raise(*peaks[i], figures[i]);
    }
    if (static_cast<float>(bar_width) * static_cast<float>(total.count) > static_cast<float>(width) * 0.75f) {
        for (nArray<unsigned int>* s : series) s->RemoveItemAtIndex(0);
    }
}

void MemoryWatchdog::Draw() {
    const zk_prog_t* program = ZKI_GetProgramRecord();
    if (!program) return;
    if (!font) {
        // The chart's own font when it is there, else the pool's first.
        if (zk->file_system->ZK_FileSystem_FileExists(kConsoleFontName))
            font = G()->ZK_Graphics_GetFont(kConsoleFontName);
        if (!font) font = FirstPooledFont();
        if (!font) return;
    }
    x = 50;
    y = 50;
    width = program->parms.width - 100;
    height = program->parms.height - 100;
    int32_t steps = static_cast<int32_t>(graph_max / step);
    pixels_per_step = steps > 0 ? height / steps : 0;
    if (pixels_per_step < 2) pixels_per_step = 2;
    // Grown in 64 bits: a total near 4 GiB must not wrap the top around.
    uint64_t top = graph_max;
    for (int i = 0; i < total.count; ++i) {
        while (top < total.items[i]) top += 2ull * step;
    }
    graph_max = top > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(top);

    DrawGrid();
    stack.count = 0;
    for (int i = 0; i < total.count; ++i) stack.InsertLast(0u);
    const color_t sound_color = {0.3f, 0.9f, 0.3f, 1.0f};
    const color_t gpu_color = {0.9f, 0.3f, 0.3f, 1.0f};
    const color_t system_color = {0.3f, 0.3f, 0.9f, 1.0f};
    const color_t vertex_color = {0.9f, 0.9f, 0.3f, 1.0f};
    DrawMemoryUsageLine(sound, "Sound", 0, sound_color);
    DrawMemoryUsageLine(gpu, "GPU", 1, gpu_color);
    DrawMemoryUsageLine(system, "System", 2, system_color);
    DrawMemoryUsageLine(vertex_data, "Vertex data", 3, vertex_color);

    zk_graphics_api_t* g = G();
    g->ZK_Graphics_SetTextTransform(1.0f, 1.0f, 0.0f);
    g->ZK_Graphics_SetTextAlign(0u);
    float line = LineSpacing(font) + 3.0f;
    float left = static_cast<float>(x) + static_cast<float>(width) * 0.6f;
    float top_y = static_cast<float>(y) + static_cast<float>(height) * 0.4f;
    Color(0.0f, 0.0f, 0.0f);
    Alpha(0.5f);
    Rect(left - 5.0f, top_y - 5.0f, 300.0f, 5.0f * line + 5.0f);
    Alpha(1.0f);
    struct LegendLine {
        const char* format;
        uint32_t now, peak;
        color_t color;
    } legend[] = {
        {"System mem %.1f MB (peak %.1f MB)", Last(system), peak_system, system_color},
        {"GPU %.1f MB (peak %.1f MB)", Last(gpu), peak_gpu, gpu_color},
        {"Sound %.1f MB (peak %.1f MB)", Last(sound), peak_sound, sound_color},
        {"Vertex data %.1f MB (peak %.1f MB)", Last(vertex_data), peak_vertex_data, vertex_color},
    };
    float line_y = top_y;
    for (const LegendLine& l : legend) {
        g->ZK_Graphics_SetColorWithAlpha(l.color.r, l.color.g, l.color.b, l.color.a);
        g->ZK_Graphics_DrawTextf(font, left, line_y, l.format, D(MiB(l.now)), D(MiB(l.peak)));
        line_y += line;
    }
    line_y += line;  // an empty line before the total
    Color(1.0f, 1.0f, 1.0f);
    g->ZK_Graphics_DrawTextf(font, left, line_y, "Total %.1f MB (peak %.1f MB)", D(MiB(Last(total))),
                             D(MiB(peak_total)));
    Color(1.0f, 1.0f, 1.0f);
    g->ZK_Graphics_SetTextAlign(0u);
}

void MemoryWatchdog::DrawGrid() {
    zk_graphics_api_t* g = G();
    float fx = static_cast<float>(x), fy = static_cast<float>(y);
    float fw = static_cast<float>(width), fh = static_cast<float>(height);
    g->ZK_Graphics_SetBlend(kAlphaBlend);
    Color(0.0f, 0.0f, 0.0f);
    Alpha(0.6f);
    Rect(fx, fy, fw, fh);
    Alpha(1.0f);
    Color(0.9f, 0.9f, 0.9f);
    Rect(fx, fy + fh, fw, 4.0f);
    g->ZK_Graphics_SetTextAlign(4u);
    g->ZK_Graphics_SetTextTransform(0.7f, 0.7f, 0.0f);
    uint32_t steps = graph_max / step;
    for (uint32_t k = 0; k < steps; ++k) {
        float rule_y = fy + fh - static_cast<float>(k) * static_cast<float>(pixels_per_step);
        Color(0.4f, 0.4f, 0.4f);
        Rect(fx, rule_y, fw, 1.0f);
        uint64_t mib = (static_cast<uint64_t>(step) * k) >> 20;
        if (mib == 0) continue;
        Color(0.7f, 0.7f, 0.7f);
        if (font) g->ZK_Graphics_DrawTextf(font, fx + 5.0f, rule_y, "%d MB", static_cast<int>(mib));
    }
}

void MemoryWatchdog::DrawMemoryUsageLine(const nArray<unsigned int>& samples, const char* /*name*/, int /*number*/,
                                         const color_t& color) {
    if (samples.count < 2) return;
    // Bytes to pixels.
    float scale = static_cast<float>(pixels_per_step) / static_cast<float>(step);
    int32_t bar = width / samples.count;
    if (bar > bar_width) bar = bar_width;
    G()->ZK_Graphics_SetColorWithAlpha(color.r, color.g, color.b, color.a);
    float bottom = static_cast<float>(y + height);
    for (int i = 0; i < samples.count; ++i) {
        uint32_t below = i < stack.count ? stack.items[i] : 0;
        double top = static_cast<double>(below) + samples.items[i];
        float bar_x = static_cast<float>(x + 50 + i * bar);
        float bar_y = bottom - static_cast<float>(top * scale);
        float bar_h = truncf(static_cast<float>(samples.items[i]) * scale);
        Rect(bar_x, bar_y, static_cast<float>(bar_width), bar_h);
    }
    for (int i = 0; i < samples.count && i < stack.count; ++i) stack.items[i] += samples.items[i];
}

// --- ZK_FramerateTester ---------------------------------------------------------------------------

void ZK_FramerateTester::UpdateAndDraw(const float& dt) {
    const zk_prog_t* program = ZKI_GetProgramRecord();
    if (!program) return;
    float w = static_cast<float>(program->parms.width), h = static_cast<float>(program->parms.height);
    timer += dt;
    if (timer > kTesterPeriod) timer = 0.0;
    samples.InsertFirst(dt);
    while (samples.count > 0 && samples.count > program->parms.width) samples.RemoveItemAtIndex(samples.count - 1);

    zk_graphics_api_t* g = G();
    g->ZK_Graphics_SetTextTransform(1.0f, 1.0f, 0.0f);
    g->ZK_Graphics_SetTextAlign(0u);
    Color(1.0f, 1.0f, 1.0f);
    g->ZK_Graphics_SetBlend(kAlphaBlend);
    Alpha(0.8f);
    for (int i = 0; i < samples.count; ++i)
        Rect(static_cast<float>(i), 5.0f, 1.0f, samples.items[i] * kTesterPixelsPerSecond);
    Color(0.0f, 1.0f, 0.0f);
    Rect(0.0f, 5.0f + kTesterPixelsPerSecond / 30.0f, w, 1.0f);
    Rect(0.0f, 5.0f + kTesterPixelsPerSecond / 60.0f, w, 1.0f);
    Rect(w * static_cast<float>(timer / kTesterPeriod), h * 0.75f, kTesterSquare, kTesterSquare);
}
