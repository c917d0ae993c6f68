// The pool of named bitmaps: the 3072 records inside the engine state, their
// look-up by name, the taking and returning of slots, the per-record lock,
// validation and reference counting.
//
// Locks: core mutex GET_BITMAP guards the pool (look-up, taking a slot,
// num_bitmaps and reference counts); functions named ...Locked expect the
// caller to hold it. GET_BITMAP is taken before a record lock, and a new
// record is locked before GET_BITMAP is released, so that no other thread
// sees it half-built.
#pragma once

#include <cstdint>

#include "engine/runtime/media_records.h"

// Cache modes (bit values) and flag bits of zk_bitmap_t.
enum {
    ZK_CACHE_NOTHING = 0,
    ZK_CACHE_PIXELS = 2,
    ZK_CACHE_TEXTURE = 4,
    ZK_CACHE_LOOKUP_ONLY = 16,
};
enum {
    ZK_BITMAP_HAS_ALPHA = 1,
    ZK_BITMAP_RELOADABLE = 2,
    ZK_BITMAP_RENDER_TARGET = 4,
    ZK_BITMAP_COUNTED_BY_GET = 8,
};
// zk_bitmap_t::state
enum {
    ZK_BITMAP_RELEASED = 0,
    ZK_BITMAP_NOT_LOADED = 1,
    ZK_BITMAP_LOADING = 2,
    ZK_BITMAP_READY = 3,
};
// zk_bitmap_t::type and the formats validation looks at.
enum { ZK_TEXTURE_2D = 1, ZK_TEXTURE_3D = 2, ZK_TEXTURE_CUBE = 3 };
enum { ZK_TEXTURE_FORMAT_COLOR = 7 };

// A reference count never goes above this.
const int zk_bitmap_max_references = 4096;

// Flag bits are changed only through these, which write the record only
// when a bit really changes, and then in one atomic step: a reload of a
// record (under its lock) and the pool's counting (under GET_BITMAP) may
// meet on the same flags word.
void ZKI_AddBitmapFlags(zk_bitmap_t* bitmap, uint16_t bits);
void ZKI_ClearBitmapFlags(zk_bitmap_t* bitmap, uint16_t bits);
uint16_t ZKI_GetBitmapFlags(const zk_bitmap_t* bitmap);

// Zeroes the record, keeps a heap copy of name ("" for null) with its
// string-id hash, and marks it taken: state 1, taken_word 1, one reference.
void ZKI_InitBitmap(zk_bitmap_t* bitmap, const char* name);

// The pooled record of that name (hash first, then the text); null when
// none. ZKI_FindBitmap takes GET_BITMAP itself.
zk_bitmap_t* ZKI_FindBitmapLocked(const char* name);
zk_bitmap_t* ZKI_FindBitmap(const char* name);

// Takes the first free slot below num_bitmaps, else slot num_bitmaps (which
// then grows), and initialises it as ZKI_InitBitmap does with its slot set.
// Null, with nothing changed, when all 3072 slots are taken; the caller
// reports that.
zk_bitmap_t* ZKI_TakeBitmapSlotLocked(const char* name);

// Gives a record's slot back to the pool: frees its name and file path and
// sets state 0. Pixels, renderer data and sequence parts must be gone
// already.
void ZKI_ReturnBitmapSlot(zk_bitmap_t* bitmap);

// Graphics slots: the number of slots ever taken, and the record at an
// index (null when the index is negative, not below that number, or the
// slot is free).
int ZK_Graphics_GetNumberOfBitmaps();
zk_bitmap_t* ZK_Graphics_GetBitmapByIndex(const int& index);

// The lock flag of a pooled record (a bitmap's or a font's), guarded by
// core mutex SHARED_BITMAP (set directly while that mutex does not exist):
// locking waits in 1 ms sleeps while another holder has it; unlocking
// answers false, changing nothing, when the flag was not set.
void ZKI_LockRecordFlag(uint8_t* flag);
bool ZKI_UnlockRecordFlag(uint8_t* flag);

// The per-record lock, guarded by core mutex SHARED_BITMAP (without it
// while that mutex does not exist). Locking waits in 1 ms sleeps while
// another holder has the record. Unlocking an unlocked record changes
// nothing (in developer mode it warns).
void ZKI_LockBitmap(zk_bitmap_t* bitmap);
void ZKI_UnlockBitmap(zk_bitmap_t* bitmap);

// The type, format, depth and cube-map checks; false with an error popup
// naming the fault.
bool ZKI_ValidateBitmap(zk_bitmap_t* bitmap);

// Reference counting (caller holds GET_BITMAP). Counts are always raised;
// they are lowered only while the state's reference_counting is on. Every
// change is printed while print_reference_count_changes is set.
//
// The count of a record just taken: 1, or 0 for cache mode 0.
void ZKI_StartBitmapReferenceCount(zk_bitmap_t* bitmap, int cache_mode);
// Load and create: amount more, stopping at zk_bitmap_max_references; true
// when the count had to be capped.
bool ZKI_AddBitmapReferences(zk_bitmap_t* bitmap, int amount);
// GetBitmap: one reference, only the first time for each record (flag bit
// 3 remembers it).
void ZKI_CountBitmapGet(zk_bitmap_t* bitmap);
// With unlimited memory, a bitmap that starts to be kept (cache mode with
// the pixel or texture bit) and was not counted by GetBitmap gets flag bit
// 3 and one reference.
void ZKI_CountKeptBitmap(zk_bitmap_t* bitmap, int cache_mode);
// Release: one reference less while reference counting is on. Returns the
// count (which may be below 0: the caller reports that).
int ZKI_DropBitmapReference(zk_bitmap_t* bitmap);

// --- Record helpers ---------------------------------------------------------
// 4 bytes per pixel of the texture size (or of the image size); a sequence
// of frames counts its shared sheet once when it has one, else each frame.
uint32_t ZKI_GetBitmapGPUMemoryUsageEstimate(zk_bitmap_t* bitmap, bool use_image_size);
// `out` becomes the part x0,y0 - x1,y1 of `source`, sharing its image.
zk_bitmap_t* ZK_CreateBitmapFromSubBitmap(zk_bitmap_t* out, zk_bitmap_t* source, float x0, float y0, float x1,
                                          float y1);
