// The image loader: picks the codec by the file name's ending.
#pragma once

#include "tools/manifester/runtime.h"

namespace manifester {

class ImageLoaderImp {
public:
    virtual ~ImageLoaderImp() {}
    virtual bool GetImageDimensions(zk_bitmap_t* bitmap, const char* path) = 0;
    virtual bool LoadImagePixels(zk_bitmap_t* bitmap, const char* path) = 0;
    virtual void FreeImagePixels(zk_bitmap_t* bitmap) = 0;
    virtual bool SaveImage(zk_bitmap_t* bitmap, const char* path, int quality) = 0;
};

class ImageLoaderImpPortable : public ImageLoaderImp {
public:
    bool GetImageDimensions(zk_bitmap_t* bitmap, const char* path) override;
    bool LoadImagePixels(zk_bitmap_t* bitmap, const char* path) override;
    void FreeImagePixels(zk_bitmap_t* bitmap) override;
    bool SaveImage(zk_bitmap_t* bitmap, const char* path, int quality) override;
};

// The one loader, built on first use.
ImageLoaderImp* GetImageLoaderImp();

// True when the path's last characters are `ending`, without regard to case.
bool ZKI_PathEndsWith(const char* path, const char* ending);

}  // namespace manifester
