// The bitmaps of the graphics table: creating, getting and loading them by
// name with their reference counts, releasing, cache modes (hibernation),
// frames of sequences, resizing, refreshing, saving and the copy-back of
// render targets. The slots themselves are declared with every table
// function (engine/runtime/interface_functions.h); here are the helpers
// that reach the renderer and free a bitmap's parts.
//
// Locks, always taken in this order: core mutex GET_BITMAP (the pool and
// reference counts), a record's own lock (its pixels, mode and loading),
// core mutex RESOURCE_QUEUE (the queues; held only to append or remove).
// Renderer work is done at once on the renderer thread, or on any thread
// when the renderer takes bitmaps from every thread; elsewhere it is queued
// for the next frame (bitmap_upload.h).
#pragma once

#include "engine/runtime/media_records.h"

// True where a bitmap's renderer work may be done at once.
bool ZKI_CanCallRendererForBitmaps();

// A size asked of CreateBitmap or ResizeBitmap: at least 1 on each side,
// and at most the renderer's largest texture (beyond it with a warning
// naming the caller).
void ZKI_ClampBitmapSize(const char* caller, const char* name, int* width, int* height);

// Creates a render target's texture, trying the formats that may stand in
// for its own (6: 6 then 4; 3: 3, 2, 1; 2: 2, 1; any other format as it
// is) until the renderer supports and creates one; the format taken is
// stored. Renderer thread only; false when none could be created.
bool ZKI_CallRendererToCreateBitmap(zk_bitmap_t* bitmap);
// Frees a loaded texture (unbinding it from the batch renderer first) and
// zeroes the renderer part. Renderer thread only.
void ZKI_CallRendererToFreeBitmap(zk_bitmap_t::hw_data_t* hw);

// Frees a pooled bitmap: its texture, pixels and sequence parts, then its
// name, which returns the slot to the pool.
void ZKI_FreeBitmap(zk_bitmap_t* bitmap);
// Frees the pixels a bitmap owns. A sequence's own pixel pointer is only a
// copy of its shown frame's: it is cleared, and the frames' and the
// atlas's pixels are freed instead.
void ZKI_ReleaseBitmapSoftwareData(zk_bitmap_t* bitmap);
// Frees a bitmap's textures (its own, or its sequence's atlas or frames).
// Off the renderer thread the release is queued, and a waiting upload of
// the bitmap is dropped.
void ZKI_ReleaseBitmapHardwareData(zk_bitmap_t* bitmap);
// Frees a sequence's frames and atlas records (with whatever pixels and
// textures they still own) and zeroes the renderer part; nothing for a
// placeholder name.
void ZKI_ReleaseBitmapStructures(zk_bitmap_t* bitmap);
// The same for any record, whatever its name (a sequence being read into a
// record of its own).
void ZKI_FreeBitmapSequenceParts(zk_bitmap_t* bitmap);
// Frees only a sequence's atlas record; its frames no longer draw from it.
void ZKI_FreeBitmapAtlas(zk_bitmap_t* bitmap);
// Queues a copy of a loaded bitmap's renderer part for release at the next
// frame and zeroes the bitmap's; nothing for an unloaded one.
void ZKI_QueueBitmapHardwareDataRelease(zk_bitmap_t* bitmap);
