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
