// How a bitmap's pixels reach the renderer, and the bitmaps' part of the
// per-frame upload (engine/screen/upload_pass.h): textures to free, and
// bitmaps to upload or render targets to create, each at most 10 a frame.
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

// The bitmaps' two steps of the bitmap pass, on the renderer thread. Each
// list is copied under RESOURCE_QUEUE, at most the first 10 entries of the
// copy are handled with the mutex free, and each handled entry is then
// removed from the list; the rest wait for the next frame.
void ZKI_FreeQueuedBitmapTextures();
void ZKI_UploadQueuedBitmaps();
