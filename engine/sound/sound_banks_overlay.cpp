// The developer list of the sound banks: how many are in use, then one line
// per bank with its channel and sound. Drawn through the graphics table, so
// it shows nothing until text drawing exists.

#include "engine/sound/sound_manager.h"

namespace {

const char* const kOverlayFont = "core/console.mft";
const float kLeft = 50.0f;
const float kCountTop = 10.0f;
const float kListTop = 50.0f;
const float kListScale = 0.75f;
const float kLineHeight = 30.0f;
const zk_blend_mode_t kAlphaBlend = 1;

// Fetched once and kept: the pool's records never move, and asking every
// frame would raise the font's reference count every frame.
zk_font_t* OverlayFont(zk_graphics_api_t* g) {
    static zk_font_t* font = nullptr;
    if (!font) font = g->ZK_Graphics_GetFont(kOverlayFont);
    return font;
}

void ResetTextStates(zk_graphics_api_t* g) {
    g->ZK_Graphics_SetTextTransform(1.0f, 1.0f, 0.0f);
    g->ZK_Graphics_SetTextAlign(0u);
    g->ZK_Graphics_SetAlpha(1.0f);
    g->ZK_Graphics_SetColor(1.0f, 1.0f, 1.0f);
    g->ZK_Graphics_SetBlend(kAlphaBlend);
}

}  // namespace

void SoundImplementationManager::DrawSoundBanks() {
    if (num_sound_banks <= 0) return;
    CleanUpSoundBanks();
    zk_graphics_api_t* g = zk->graphics;
    zk_font_t* font = OverlayFont(g);

    ResetTextStates(g);
    g->ZK_Graphics_DrawTextf(font, kLeft, kCountTop, "%d / %d", num_sound_banks, static_cast<int>(kMaxSoundBanks));

    ResetTextStates(g);
    g->ZK_Graphics_SetTextboxWidth(0.0f);
    g->ZK_Graphics_SetTextTransform(kListScale, kListScale, 0.0f);
    for (int i = 0; i < num_sound_banks; ++i) {
        const SoundBank& bank = sound_banks[i];
        const char* name = bank.sound && bank.sound->name ? bank.sound->name : "-";
        g->ZK_Graphics_DrawTextf(font, kLeft, kListTop + static_cast<float>(i) * kListScale * kLineHeight,
                                 "#%lld - '%s'", static_cast<long long>(bank.channel_id), name);
    }
}
