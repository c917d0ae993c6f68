// Loading a bitmap's file: probing extensions, the download cache, names
// too long to probe, and the data manifest's drawing size, which never
// lets anything read past the pixel block.

#include <cstring>
#include <string>

#include "engine/bitmaps/bitmap_loading.h"
#include "engine/bitmaps/tests/bitmap_fixture.h"
#include "engine/storage/data_manifests.h"
#include "engine/storage/database_manager.h"

namespace {

class BitmapLoading : public BitmapTest {
protected:
    void TearDown() override {
        zk_data_manifest_databases.count = 0;
        zk_data_manifest_arrays.count = 0;
        while (zk_dman.databases.Count() > 0) zk_dman.ReleaseDatabase(zk_dman.databases[0]);
        BitmapTest::TearDown();
    }
    zk_bitmap_t* Load(const char* name) { return g()->ZK_Graphics_LoadBitmap(name, ZK_CACHE_PIXELS | ZK_CACHE_TEXTURE); }
    void AddManifest(const std::string& nodes) {
        Write("manifest.xml", Bytes("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n<root>\n<array id=\"RESOURCES\">\n" +
                                    nodes + "</array>\n</root>\n"));
        ZKI_AddManifest(Path("manifest.xml").c_str());
        ASSERT_EQ(zk_data_manifest_arrays.count, 1);
    }
    static std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }
};

TEST_F(BitmapLoading, ANameWithoutExtensionTakesTheFirstFileProbed) {
    struct Case {
        const char* name;
        std::vector<const char*> files;
        const char* loaded;  // null: nothing loads
        int width;
    } cases[] = {
        {"ui/button", {"ui/button.tga"}, "ui/button.tga", 3},
        {"x", {"x.tga", "x.jpg", "x.png"}, "x.png", 32},
        {"y", {"y.tga", "y.jpg"}, "y.jpg", 32},
        {"z", {"z.bms", "z.tga"}, "z.tga", 3},
        {"a.b/c", {"a.b/c.tga"}, "a.b/c.tga", 3},
        {".tga", {".tga.tga"}, ".tga.tga", 3},  // a '.' standing first is part of the name
        {"none", {"none.gif", "none"}, nullptr, 0},
    };
    for (const Case& c : cases) {
        for (const char* file : c.files) WriteTga(file, 3, 2);
        ClearLines();
        zk_bitmap_t* bitmap = Load(c.name);
        ASSERT_NE(bitmap, nullptr) << c.name;
        if (c.loaded) {
            EXPECT_STREQ(bitmap->file_path, c.loaded) << c.name;
            EXPECT_EQ(bitmap->width, c.width) << c.name;
            EXPECT_NE(bitmap->pixels, nullptr) << c.name;
            EXPECT_EQ(bitmap->state, ZK_BITMAP_READY) << c.name;
        } else {
            EXPECT_EQ(bitmap->pixels, nullptr) << c.name;
            EXPECT_EQ(Popups(), std::vector<std::string>{"1:Unable to load bitmap 'none' without extension. Tried all "
                                                         "image formats but found no source files."});
        }
    }
    // A name with an extension is read as it is.
    WriteTga("named.tga", 2, 2);
    zk_bitmap_t* named = Load("named.tga");
    EXPECT_EQ(named->file_path, nullptr);
    EXPECT_EQ(named->width, 2);
}

TEST_F(BitmapLoading, NamesTooLongToProbeAreRefusedInWords) {
    std::string long_name(600, 'n');
    for (std::string name : {long_name, long_name + ".bms", long_name + "_*.tga"}) {
        ClearLines();
        zk_bitmap_t* bitmap = Load(name.c_str());
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(bitmap->pixels, nullptr);
        EXPECT_EQ(bitmap->frames, nullptr);
        EXPECT_TRUE(WasSaid("is too long to look for its files.")) << name.size();
    }
    // One character short of the limit is still looked for.
    std::string longest(zk_max_probe_name - 5, 'm');
    ClearLines();
    Load(longest.c_str());
    EXPECT_FALSE(WasSaid("too long"));
    EXPECT_TRUE(WasSaid("Tried all image formats"));
}

TEST_F(BitmapLoading, AnAddressIsReadFromTheDownloadCacheOnly) {
    ClearLines();
    zk_bitmap_t* missing = Load("http://example.com/face.png");
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->state, ZK_BITMAP_READY);
    EXPECT_EQ(missing->pixels, nullptr);
    EXPECT_TRUE(WasPrinted("1:Download not complete (0% of 0.0KB done, ret 0). Not saving.\n"));
    EXPECT_TRUE(WasPrinted("1:[POPUP] Unable to load bitmap 'http://example.com/face.png'.\n"));
    ClearLines();
    Load("http://example.com/*.png");
    EXPECT_TRUE(WasPrinted("1:[POPUP] Asterisk character ('*') isn't allowed in http:// url file names such as "
                           "'http://example.com/*.png'\n"));
}

TEST_F(BitmapLoading, ImageExtensionsAreToldByTheLastComponent) {
    struct Case {
        const char* path;
        bool image;
    } cases[] = {{"a/b.PNG", true}, {"b.jpg", true}, {"c.tga", true}, {"d.bms", true}, {"e.gif", false},
                 {"f.png/g", false}, {"h", false},   {"i.png.", false}, {".png", true},   {nullptr, false}};
    for (const Case& c : cases) EXPECT_EQ(ZKI_HasImageFileExtension(c.path), c.image) << (c.path ? c.path : "null");
    EXPECT_EQ(ZKI_GetNumberOfImageExtensions(), 4);
    const char* expected[] = {"jpg", "png", "tga", "bms", nullptr, nullptr};
    for (int i = -1; i < 5; ++i) {
        const char* extension = ZKI_GetImageExtensionByIndex(i);
        const char* wanted = i < 0 ? nullptr : expected[i];
        EXPECT_EQ(extension ? std::string(extension) : "null", wanted ? std::string(wanted) : "null") << i;
    }
    // The cache file with an extension: the first in the table's order
    // that is not empty.
    Write("cached.jpg", {});
    WriteTga("cached.png", 1, 1);
    WriteTga("cached.tga", 1, 1);
    EXPECT_STREQ(ZKI_GetImageCacheNameWithExtension(Path("cached").c_str()).c_str(), Path("cached.png").c_str());
    EXPECT_TRUE(ZKI_GetImageCacheNameWithExtension(Path("absent").c_str()).IsEmpty());
}

TEST_F(BitmapLoading, TheManifestSizeIsForDrawingAndThePixelBlockKeepsItsOwn) {
    AddManifest("<node id=\"gfx/big.tga\" w=\"64\" h=\"48\"/>\n<node id=\"gfx/small.tga\" w=\"1\" h=\"1\"/>\n");
    WriteTga("gfx/big.tga", 4, 2);
    WriteTga("gfx/small.tga", 4, 2);
    for (const char* name : {"gfx/big.tga", "gfx/small.tga"}) {
        zk_bitmap_t* bitmap = Load(name);
        ASSERT_NE(bitmap->pixels, nullptr) << name;
        EXPECT_EQ(bitmap->texture_width, 4) << name;
        EXPECT_EQ(bitmap->texture_height, 2) << name;
        // Saving writes the block as it is.
        std::string saved = std::string(name).substr(4, 3) + "-saved.tga";
        ASSERT_TRUE(g()->ZK_Graphics_SaveBitmap(bitmap, Path(saved).c_str(), 0)) << name;
        std::ifstream in(Path(saved), std::ios::binary);
        std::vector<uint8_t> tga((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_EQ(tga.size(), 18u + 4 * 2 * 4) << name;
        EXPECT_EQ(tga[12] | tga[13] << 8, 4) << name;
        EXPECT_EQ(tga[14] | tga[15] << 8, 2) << name;
        // Resizing resamples the block; afterwards both sizes agree.
        EXPECT_TRUE(g()->ZK_Graphics_ResizeBitmap(bitmap, 8, 6)) << name;
        EXPECT_EQ(bitmap->width, 8) << name;
        EXPECT_EQ(bitmap->texture_width, 8) << name;
        EXPECT_EQ(bitmap->texture_height, 6) << name;
    }
    zk_bitmap_t* big = g()->ZK_Graphics_GetBitmapWithCacheMode("gfx/big.tga", ZK_CACHE_LOOKUP_ONLY);
    g()->ZK_Graphics_SetBitmapCacheMode(big, ZK_CACHE_NOTHING);
    g()->ZK_Graphics_SetBitmapCacheMode(big, ZK_CACHE_PIXELS);
    EXPECT_EQ(big->width, 64);
    EXPECT_EQ(big->height, 48);
    EXPECT_EQ(big->texture_width, 4);
}

}  // namespace
