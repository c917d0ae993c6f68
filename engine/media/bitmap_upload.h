// How a bitmap's pixels reach the renderer, and the bitmap pass of the
// per-frame upload: textures to free, bitmaps to upload or render targets
// to create, and fonts whose atlas is to be uploaded, each handled at most
// 10 a frame.
#pragma once

#include "engine/runtime/media_records.h"

// Uploads a bitmap: a plain one as its own texture; a sequence through its
// atlas (every frame takes the atlas's texture with its own rectangle) or
// frame by frame (a duplicate frame shares its original's texture), then
// the shown frame again. From a thread where the renderer cannot be called
// the bitmap is queued for the next frame instead.
void ZKI_LoadBitmapToHardware(zk_bitmap_t* bitmap);
// The renderer's LoadBitmap for one record with pixels (a loaded texture
// is freed first). Renderer thread only; false when it fails.
bool ZKI_CallRendererToLoadBitmap(zk_bitmap_t* bitmap);

// The bitmap pass, on the renderer thread. Each of its lists is copied
// under RESOURCE_QUEUE, at most the first 10 entries of the copy are
// handled with the mutex free, and each handled entry is then removed
// from the list; the rest wait for the next frame.
void ZKI_ProcessBitmapResourceQueues();
