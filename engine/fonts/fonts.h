// Fonts: the pool of 32 font records inside the engine state, their look-up
// by name with reference counting, the per-font lock, glyph look-up by code
// point and the fonts state with its per-font glyph extensions.
//
// A font is a set of glyph bitmaps with metrics and a kerning table. LATIN-1
// fonts hold 256 glyphs found by byte value; UTF-8 fonts hold any number,
// found by their code point.
//
// Locks: core mutex GET_FONT guards the pool (search, taking a slot,
// num_fonts) and the reference counts; SHARED_BITMAP guards the `locked`
// flags; RESOURCE_QUEUE the font upload queue. File reading and atlas
// packing run on the calling thread outside GET_FONT; renderer work only on
// the renderer thread.
#pragma once

#include <cstdint>

#include "engine/base/narray.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/media_records.h"

typedef zk_font_t::zk_glyph_t zk_glyph_t;

// zk_font_t::flags
enum {
    ZK_FONT_COUNTED_BY_GET = 1,  // created through ZK_Graphics_GetFont
    ZK_FONT_DISTANCE_FIELD = 2,
};
// zk_font_t::state of a record just taken.
enum { ZK_FONT_CREATED = 3 };
// Glyph records of a LATIN-1 font, one per byte value.
enum { ZK_LATIN1_GLYPHS = 256 };

// Extra glyphs of a font kept outside its glyph array.
struct zk_font_extension_t {
    zk_font_t* font;
    nArray<zk_glyph_t*> glyphs;
};

// Per-font glyph extensions. While `dynamic_glyphs` is 0 (always, unless a
// program sets it) every extension path is skipped and a glyph missing from
// a font is reported.
struct zk_fonts_state_t {
    nArray<zk_font_extension_t*> extensions;
    uint8_t dynamic_glyphs = 0;

    constexpr zk_fonts_state_t() = default;
    ~zk_fonts_state_t();
    zk_fonts_state_t(const zk_fonts_state_t&) = delete;
    zk_fonts_state_t& operator=(const zk_fonts_state_t&) = delete;

    // Frees the renderer data of every extension glyph (renderer shutdown
    // and hibernation).
    void FreeGPUResources();
    // The extension of that font, appended (empty) when it has none.
    zk_font_extension_t* GetFontExtensionForFont(zk_font_t* font);
};
extern zk_fonts_state_t zk_fonts_state;

// Start-up: dynamic glyphs off.
void ZKI_InitializeFonts();

// --- The pool -----------------------------------------------------------------
// Takes the first free slot below num_fonts, else slot num_fonts (which then
// grows): the record is zeroed and gets a heap copy of the name ("" for
// null) with its hash, scale 1.0, state 3, its slot and one reference. Null,
// with the popup "Out of free fonts.", when all 32 are taken. The caller
// holds GET_FONT.
zk_font_t* ZKI_CreateNewFont(const char* name);
// Frees the font's renderer data, glyphs and atlas and gives its slot back.
void ZKI_FONTS_ReleaseFont(zk_font_t* font);

// A fresh array of `count` zeroed glyph records (null for 0), or null with
// an error line when it cannot be had.
zk_glyph_t* ZKI_AllocateGlyphs(int64_t count);
// Frees every glyph's pixels and kerning table and the array; the font is
// left with no glyphs.
void ZKI_FreeFontGlyphs(zk_font_t* font);
// Replaces the font's glyphs by `count` zeroed records; false (and no
// glyphs) when they cannot be had.
bool ZKI_ResetFontGlyphs(zk_font_t* font, int count);

// The per-font lock, guarded by SHARED_BITMAP (set directly while that
// mutex does not exist); locking waits in 1 ms sleeps while another holder
// has the font. Unlocking an unlocked font warns in developer mode.
bool ZKI_LockFont(zk_font_t* font);
void ZKI_UnlockFont(zk_font_t* font);

// Graphics slot 78, ZK_Graphics_ReleaseFont: one reference less while
// reference counting is on; a font whose count reaches 0 hibernates in its
// slot (nothing is freed), and is found again by name. Without reference
// counting the font is freed.

// --- Fonts by name ----------------------------------------------------------------
// Graphics slots 31 ZK_Graphics_GetFont and 56 ZK_Graphics_LoadFont: the
// pooled font of that name, else a new one, loaded (ZKI_LoadFont) and its
// atlas made; null only when all 32 slots are taken. A font that failed to
// load is returned all the same (its 256 glyphs may be empty). A name
// beginning with '!' is never counted; GetFont counts a font it created
// itself only once, LoadFont every time.
zk_font_t* ZKI_GetFont(const char* name);
zk_font_t* ZKI_LoadFont(const char* name);
// Graphics slot 76 ZK_Graphics_RefreshFont: the font read again from its
// name, and its atlas made again.
void ZKI_RefreshFont(zk_font_t* font);

// --- The atlas and the renderer --------------------------------------------------
// Packs every glyph with pixels into the font's atlas (or, with packing off
// in the state, gives each its own texture) and uploads it: at once where
// the renderer may be called, else queued for the renderer thread. With an
// atlas, a LATIN-1 font's missing small letters then stand in as their
// capitals: they share the capital's place in the atlas, kerning and
// metrics, but have no pixels of their own (a glyph draws from its width,
// height and hw_data). False only for a font without height.
bool ZKI_RecreateFontAtlas(zk_font_t* font);
// The atlas (or the glyph textures) to the renderer, or to the font upload
// queue from a thread where the renderer may not be called.
void ZKI_LoadFontToHardware(zk_font_t* font);
// Appends the font to the upload queue once (a second time is a warning).
void ZKI_AddUploadFontToHardwareUploadQueue(zk_font_t* font);
// One queued font, on the renderer thread: locked while it goes up.
void ZKI_UploadQueuedFont(zk_font_t* font);
// The fonts' step of the bitmap pass, on the renderer thread: at most the
// first 10 fonts of the upload queue, each taken off the queue just before
// it goes up (ZKI_UploadQueuedFont); the rest wait for the next frame.
void ZKI_UploadQueuedFonts();
// Renderer start: every extension glyph not in the renderer goes up.
void ZKI_LoadFontsGPUResources();

// --- Loading -------------------------------------------------------------------
// Fills the font from its file (a name with ".mft"), else from source: a
// font generated from its settings XML is saved as its file and read back.
// A path holding "!NONE" reads nothing. On success the font is rescaled to
// the data manifest's height. False when nothing could be read or made; the
// font then keeps what it had (or what generation made of it).
bool ZKI_LoadFont(zk_font_t* font, const char* path);
// A font whose data manifest entry has a height "h" (2 or more) takes that
// height; its scale becomes the ratio, its baseline and line spacing grow
// by it. Fonts under 2 pixels and distance-field fonts keep their size.
void ZKI_UpdateFontAccordingToDataManifest(zk_font_t* font);

// --- Glyphs ---------------------------------------------------------------------
// The glyph whose code is `code` (then, with dynamic glyphs on, the font's
// extension glyph); null when there is none, with the popup "Font '%s'
// Missing unicode ..." while dynamic glyphs are off.
zk_glyph_t* ZKI_GetFontGlyphUTF32(zk_font_t* font, uint32_t code);
// The same search, silent.
bool ZKI_FontHasGlyphUTF32(zk_font_t* font, uint32_t code);

// Steps that do nothing in this engine.
void ZKI_FreeFonts();
void ZKI_OptimizeFontForSearches(zk_font_t* font);
bool ZKI_LoadFontXML(zk_font_t* font);
