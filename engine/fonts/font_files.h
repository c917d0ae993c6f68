// Font files: the binary ".mft" format (engine/imageformats/font_file_format.h
// lays it out), read in versions 1 to 7 and written in version 7, with the
// pixels turned to the renderer's order (zk_state.pixel_byte_order).
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
