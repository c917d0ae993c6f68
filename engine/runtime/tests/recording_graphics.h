// A graphics sub-table that records the calls the frame and the console
// overlay make, as text ("DrawRect 0 0 800 480"), and keeps the transform
// and render-target stacks of zk_state the way the real one would.
//
//   RecordingGraphics graphics;     // a member of the fixture
//   graphics.Install();             // in SetUp, once zk is set up
//   ... graphics.calls ...
//   graphics.Restore();             // in TearDown
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/runtime/media_records.h"
#include "engine/runtime/state.h"
#include "engine/runtime/zekar.h"

namespace recording_graphics {

inline std::vector<std::string>& Calls() {
    static std::vector<std::string> calls;
    return calls;
}

inline std::string Number(float value) {
    char text[32];
    snprintf(text, sizeof(text), "%g", static_cast<double>(value));
    return text;
}

inline void Record(const std::string& name, std::initializer_list<float> values = {}) {
    std::string call = name;
    for (float v : values) call += " " + Number(v);
    Calls().push_back(call);
}

// The font LoadFont answers (null: none).
inline zk_font_t*& LoadedFont() {
    static zk_font_t* font = nullptr;
    return font;
}
// Bitmaps handed out by CreateBitmap.
inline zk_bitmap_t& CreatedBitmap() {
    static zk_bitmap_t bitmap;
    return bitmap;
}

inline void ClearScreen(float r, float g, float b) { Record("ClearScreen", {r, g, b}); }
inline zk_bitmap_t* CreateBitmap(const char* name, const zk_bitmap_parameters_t* p) {
    Calls().push_back(std::string("CreateBitmap ") + name + " " + Number(static_cast<float>(p->width)) + " " +
                      Number(static_cast<float>(p->height)) + " format " + Number(static_cast<float>(p->format)) +
                      " type " + Number(static_cast<float>(p->type)) + " depth " + Number(static_cast<float>(p->depth)) +
                      " target " + Number(p->render_target));
    return &CreatedBitmap();
}
inline bool ResizeBitmap(zk_bitmap_t*, int w, int h) {
    Record("ResizeBitmap", {static_cast<float>(w), static_cast<float>(h)});
    return true;
}
inline void DrawBitmap(const zk_bitmap_t*, const float& x, const float& y) { Record("DrawBitmap", {x, y}); }
inline void DrawRect(const float& x, const float& y, const float& w, const float& h) {
    Record("DrawRect", {x, y, w, h});
}
inline float DrawTextf(zk_font_t*, const float& x, const float& y, const char* format, ...) {
    char text[2048];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    Calls().push_back("DrawText " + Number(x) + " " + Number(y) + " " + text);
    return 0.0f;
}
// Every character is 8 pixels wide.
inline float GetTextWidthf(zk_font_t*, const char* format, ...) {
    char text[2048];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    return 8.0f * static_cast<float>(n);
}
inline zk_font_t* LoadFont(const char* name) {
    Calls().push_back(std::string("LoadFont ") + name);
    return LoadedFont();
}
inline void PushTransform(int32_t& top) {
    if (top < ZK_TRANSFORM_STACK_SIZE - 1) ++top;
}
inline void PopTransform(int32_t& top) {
    if (top >= 0) --top;
}
inline void PushWorldTransform(const nTransform*) { PushTransform(zk_state.world_transform_top); }
inline void PushViewTransform(const nTransform*) { PushTransform(zk_state.view_transform_top); }
inline void PushProjectionTransform(const nTransform*) { PushTransform(zk_state.projection_transform_top); }
inline void PopWorldTransform() {
    Record("PopWorldTransform");
    PopTransform(zk_state.world_transform_top);
}
inline void PopViewTransform() { PopTransform(zk_state.view_transform_top); }
inline void PushRenderTarget(zk_bitmap_t*) {
    Record("PushRenderTarget");
    zk_state.render_target_stack.InsertLast(zk_graphics_api_t::RenderTargets{});
}
// The frame's screen entry, with the projection and world transforms the
// real push adds.
inline void PushRenderTargets(zk_graphics_api_t::RenderTargets* targets) {
    Record("PushRenderTargets");
    zk_state.render_target_stack.InsertLast(targets ? *targets : zk_graphics_api_t::RenderTargets{});
    PushTransform(zk_state.projection_transform_top);
    PushTransform(zk_state.world_transform_top);
}
inline void PopRenderTarget() {
    Record("PopRenderTarget");
    if (zk_state.render_target_stack.count > 0) --zk_state.render_target_stack.count;
}
inline void SetAlpha(const float& a) { Record("SetAlpha", {a}); }
inline void SetBlend(zk_blend_mode_t mode) { Record("SetBlend", {static_cast<float>(mode)}); }
inline void SetColor(const float& r, const float& g, const float& b) { Record("SetColor", {r, g, b}); }
inline void SetColorWithAlpha(const float& r, const float& g, const float& b, const float& a) {
    Record("SetColorWithAlpha", {r, g, b, a});
}
inline void SetDepthDefault(const float& z) { Record("SetDepthDefault", {z}); }
inline void SetTextAlign(const unsigned int& flags) { Record("SetTextAlign", {static_cast<float>(flags)}); }
inline void SetTextboxWidth(const float& w) { Record("SetTextboxWidth", {w}); }
inline void SetTextTransform(const float& sx, const float& sy, const float& angle) {
    Record("SetTextTransform", {sx, sy, angle});
}

}  // namespace recording_graphics

class RecordingGraphics {
public:
    void Install() {
        namespace r = recording_graphics;
        r::Calls().clear();
        saved_ = zk->graphics;
        table_ = *zk->graphics;
        table_.ZK_Graphics_ClearScreen = r::ClearScreen;
        table_.ZK_Graphics_CreateBitmap = r::CreateBitmap;
        table_.ZK_Graphics_ResizeBitmap = r::ResizeBitmap;
        table_.ZK_Graphics_DrawBitmap = r::DrawBitmap;
        table_.ZK_Graphics_DrawRect = r::DrawRect;
        table_.ZK_Graphics_DrawTextf = r::DrawTextf;
        table_.ZK_Graphics_GetTextWidthf = r::GetTextWidthf;
        table_.ZK_Graphics_LoadFont = r::LoadFont;
        table_.ZK_Graphics_PushWorldTransform = r::PushWorldTransform;
        table_.ZK_Graphics_PushViewTransform = r::PushViewTransform;
        table_.ZK_Graphics_PushProjectionTransform = r::PushProjectionTransform;
        table_.ZK_Graphics_PopWorldTransform = r::PopWorldTransform;
        table_.ZK_Graphics_PopViewTransform = r::PopViewTransform;
        table_.ZK_Graphics_PushRenderTarget = r::PushRenderTarget;
        table_.ZK_Graphics_PushRenderTargets = r::PushRenderTargets;
        table_.ZK_Graphics_PopRenderTarget = r::PopRenderTarget;
        table_.ZK_Graphics_SetAlpha = r::SetAlpha;
        table_.ZK_Graphics_SetBlend = r::SetBlend;
        table_.ZK_Graphics_SetColor = r::SetColor;
        table_.ZK_Graphics_SetColorWithAlpha = r::SetColorWithAlpha;
        table_.ZK_Graphics_SetDepthDefault = r::SetDepthDefault;
        table_.ZK_Graphics_SetTextAlign = r::SetTextAlign;
        table_.ZK_Graphics_SetTextboxWidth = r::SetTextboxWidth;
        table_.ZK_Graphics_SetTextTransform = r::SetTextTransform;
        zk->graphics = &table_;
    }
    void Restore() {
        if (saved_) zk->graphics = saved_;
        saved_ = nullptr;
    }

    std::vector<std::string>& calls = recording_graphics::Calls();

    // The recorded calls whose text starts with `prefix`.
    std::vector<std::string> Matching(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const std::string& call : calls)
            if (call.compare(0, prefix.size(), prefix) == 0) found.push_back(call);
        return found;
    }

private:
    zk_graphics_api_t table_ = {};
    zk_graphics_api_t* saved_ = nullptr;
};
