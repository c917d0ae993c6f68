// The image loader: the engine reaches image files only through the one
// ImageLoaderImp in zk_il. The portable loader chooses the codec by the
// file's extension (case ignored): TGA is read and written; PNG and JPEG
// are read as the 32x32 test image and cannot be written.
#pragma once

#include "engine/runtime/media_records.h"

class ImageLoaderImp {
public:
    virtual ~ImageLoaderImp() {}
    // Width and height from the file, flag bits 0 and 1, no pixels (any the
    // bitmap had are freed). True for a null argument.
    virtual bool GetImageDimensions(zk_bitmap_t* bitmap, const char* path) = 0;
    // Reads the file's pixels; the texture size becomes the image size. A
    // failure leaves the bitmap without pixels. True for a null argument.
    virtual bool LoadImagePixels(zk_bitmap_t* bitmap, const char* path) = 0;
    // A block of width x height pixels (contents undefined) replacing any
    // the bitmap had; sides are clamped to 0..65536 and become both the
    // image and the texture size. Pixels stay null when the block cannot be
    // had.
    virtual void AllocateImagePixels(zk_bitmap_t* bitmap, int width, int height);
    virtual void FreeImagePixels(zk_bitmap_t* bitmap) = 0;
    // Saves by the path's last three characters (compared exactly); only
    // "tga" can be written. The quality is not used.
    virtual bool SaveImage(zk_bitmap_t* bitmap, const char* path, int quality) = 0;
};

class ImageLoaderImpPortable : public ImageLoaderImp {
public:
    bool GetImageDimensions(zk_bitmap_t* bitmap, const char* path) override;
    bool LoadImagePixels(zk_bitmap_t* bitmap, const char* path) override;
    void FreeImagePixels(zk_bitmap_t* bitmap) override;
    bool SaveImage(zk_bitmap_t* bitmap, const char* path, int quality) override;
};

// The one portable loader.
ImageLoaderImp* GetImageLoaderImp();

// Stores the portable loader in zk_il and the state (start-up). True.
bool ZKI_InitImageLoader();
