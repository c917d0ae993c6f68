// Building a sequence from numbered images, and finding its duplicate
// frames.

#include "engine/bitmaps/bitmap_sequences.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/base/nstring.h"
#include "engine/bitmaps/bitmap_api.h"
#include "engine/bitmaps/bitmap_loading.h"
#include "engine/images/bitmap_pixels.h"
#include "engine/images/bitmap_pool.h"
#include "engine/images/image_loader.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/state.h"

namespace {

const int kLastNumber = 999;
// Missing numbers allowed in a row before the count stops: at first, and
// once a file has followed a gap.
const int kFirstGapLimit = 5;
const int kWideGapLimit = 100;
const float kFrameRate = 30.0f;
// Frames match when no byte differs by more than this.
const float kMatchTolerance = 3.0f / 255.0f;

// Bytes of pixels shared instead of kept twice, over the whole run.
std::atomic<uint64_t> saved_bytes(0);

// The file name of number n: the text around the '*' is copied as it is,
// only the number is formatted.
struct NumberedNames {
    nString before;
    const char* after;

    bool NameOf(int n, nString* name) const {
        char number[16];
        snprintf(number, sizeof number, "%.4d", n);
        return ZKI_BuildProbeName(name, {before.c_str(), number, after});
    }
};

bool Exists(const nString& name) { return zk->file_system->ZK_FileSystem_FileExists(name.c_str()); }

// The numbers counted: from the first file found, until the missing
// numbers in a row exceed the gap limit.
bool CountFiles(const NumberedNames& names, int* first, int* count) {
    *first = -1;
    *count = 0;
    int misses = 0, gap_limit = kFirstGapLimit;
    for (int n = 0; n <= kLastNumber; ++n) {
        nString name;
        if (!names.NameOf(n, &name)) return false;
        if (Exists(name)) {
            if (*first < 0) *first = n;
            ++*count;
            if (misses > 0) gap_limit = kWideGapLimit;
            misses = 0;
        } else if (*count > 0 && ++misses > gap_limit) {
            break;
        }
    }
    return true;
}

bool LoadFrame(zk_bitmap_t* frame, const nString& name, int number) {
    if (!zk_il || !zk_il->LoadImagePixels(frame, name.c_str())) {
        // The record is used again for the next number.
        if (zk_il) zk_il->FreeImagePixels(frame);
        memset(frame, 0, sizeof *frame);
        return false;
    }
    frame->name = strdup(name.c_str());
    frame->hash = nStringHash(frame->name);
    frame->frame_index = number;
    frame->frame_rate = kFrameRate;
    return true;
}

// A duplicate points at the first frame of its chain, whose pixels it
// shares from then on.
void ShareDuplicatePixels(zk_bitmap_t* bitmap) {
    for (int j = 1; j < bitmap->frame_count; ++j) {
        zk_bitmap_t* frame = &bitmap->frames[j];
        if (!frame->duplicate_of) continue;
        // Originals come earlier and were settled before this frame.
        if (frame->duplicate_of->duplicate_of) frame->duplicate_of = frame->duplicate_of->duplicate_of;
        if (frame->pixels == frame->duplicate_of->pixels) continue;
        if (zk_il) zk_il->FreeImagePixels(frame);
        frame->pixels = frame->duplicate_of->pixels;
        frame->texture_width = frame->duplicate_of->texture_width;
        frame->texture_height = frame->duplicate_of->texture_height;
    }
}

}  // namespace

bool ZKI_LoadBitmapSequenceFromFiles(zk_bitmap_t* bitmap, const char* pattern) {
    if (!bitmap || !pattern) return false;
    const char* star = strchr(pattern, '*');
    NumberedNames names = {nString(pattern).Substring(0, star ? int(star - pattern) : 0), star ? star + 1 : ""};
    int first = -1, count = 0;
    if (star && !CountFiles(names, &first, &count)) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Bitmap name '%s' is too long to look for its files.", pattern);
        return false;
    }
    ZKI_FreeBitmapSequenceParts(bitmap);
    int loaded = 0;
    if (count > 0) {
        bitmap->frames = static_cast<zk_bitmap_t*>(calloc(size_t(count), sizeof(zk_bitmap_t)));
        for (int n = first; bitmap->frames && n <= kLastNumber && loaded < count; ++n) {
            nString name;
            if (names.NameOf(n, &name) && LoadFrame(&bitmap->frames[loaded], name, n)) ++loaded;
        }
    }
    if (loaded == 0) {
        free(bitmap->frames);
        bitmap->frames = nullptr;
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Bitmap files '%s' not found.", pattern);
    }
    // Numbers counted but unreadable leave no empty frames behind.
    bitmap->frame_count = loaded;
    for (int i = 0; i < loaded; ++i) {
        zk_bitmap_t* frame = &bitmap->frames[i];
        frame->depth = 1;
        frame->format = ZK_TEXTURE_FORMAT_COLOR;
        frame->type = ZK_TEXTURE_2D;
        frame->renderer_hint = 1;
        frame->pack_mode = 3;
    }
    zk->graphics->ZK_Graphics_SetBitmapFrame(bitmap, 0);
    return true;
}

void ZKI_OptimizeBitmapSequence(zk_bitmap_t* bitmap) {
    if (!bitmap || !bitmap->frames || bitmap->frame_count < 1) return;
    const char* name = bitmap->name ? bitmap->name : "";
    zk->ZK_Printf("Optimizing sequence '%s'...", name);
    for (int j = bitmap->frame_count - 1; j >= 1; --j) {
        zk_bitmap_t* later = &bitmap->frames[j];
        if (!later->pixels || later->duplicate_of) continue;
        zk_bitmap_t later_block = ZKI_PixelBlockView(later);
        for (int i = 0; i < j; ++i) {
            zk_bitmap_t* earlier = &bitmap->frames[i];
            if (!earlier->pixels) continue;
            zk_bitmap_t earlier_block = ZKI_PixelBlockView(earlier);
            if (!ZKI_BitmapPixelsMatch(&earlier_block, &later_block, kMatchTolerance)) continue;
            zk->ZK_Printf("Frames #%.4d and #%.4d match.", j, i);
            later->duplicate_of = earlier;
            saved_bytes += uint64_t(later_block.width) * 4 * uint64_t(later_block.height);
            break;
        }
    }
    ShareDuplicatePixels(bitmap);
    uint64_t saved = saved_bytes;
    if (saved != 0) {
        zk->ZK_Printf("Saved %.2fMB by removing similar frames from sequence %s.", double(saved) / 1024 / 1024, name);
    }
}
