// Font files: the binary ".mft" format, read in versions 1 to 7 and written
// in version 7.
//
// Every value is little-endian. A file starts with "OLK_Font_v" and the
// version digit, a 0, the encoding name with its 0 ("UTF-8"; anything else
// means LATIN-1), then baseline, height and line spacing (i32 each).
// Versions 6 and 7 go on with (version 7 only) spread, smoothing and scale
// as f32, then the glyph count N and N glyph entries: code (u32), y offset
// (i16 in version 6, f32 in 7), x offset and advance (i16), a kern flag
// byte with an N-byte kerning row when it is 1 (a glyph without one keeps
// none), width and height (i16) and
// the pixels when both are at least 1. Versions 1 to 5 go on with a
// 256-byte table that readers skip and exactly 256 entries without code,
// whose fields differ by version (x offset from 2, a second advance after
// the size from 3, 256-byte kerning rows from 4). Pixels are R, G, B, A in
// versions 5 to 7 and B, G, R, A before; they are turned to the renderer's
// order (zk_state.pixel_byte_order) on reading and back on writing.
//
// Reading checks every field against the file's length: a short file, or
// a count or size that the file cannot hold, is refused with a message and
// leaves the font as it was.
#pragma once

#include "engine/runtime/interface_functions.h"
#include "engine/runtime/media_records.h"

// Reads the file named by the font's name into the font: metrics, encoding
// and a fresh glyph array (256 records for versions 1 to 5). False, with a
// message, when the file is missing, its header or version is not one
// this reader knows, or it is short or damaged; the font is then unchanged.
bool ZKI_LoadFontMFT(zk_font_t* font);

// ZKI_SaveFont, and graphics slot 83 ZK_Graphics_SaveFont: writes the font as a version 7 file at a native path,
// through a temporary file that replaces the target only when complete.
// False, with a popup, for a null font, a missing or prefixed ("res://...")
// path, a glyph too large for the format, or a failed write.
bool ZKI_SaveFont(zk_font_t* font, const char* path);
