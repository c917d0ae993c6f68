// The manifest's per-file rules: the extension, the extensions listed and
// the escaping of ids.
#include <gtest/gtest.h>

#include <string>

#include "tools/manifester/manifest.h"

namespace {

TEST(ManifestRules, ExtensionAfterTheLastDotBeforeTheFinalCharacter) {
    struct Case {
        const char* path;
        const char* extension;
        bool listed;
    } cases[] = {
        {"data/gfx/hero.png", "png", true},   {"data/Logo.PNG", "PNG", true},
        {"data/a.Jpg", "Jpg", true},          {"data/walk.bms", "bms", true},
        {"data/.dot.tga", "tga", true},       {"data/archive.png.bak", "bak", false},
        {"data/x.png.", "png.", false},       {"noext", "noext", false},
        {"dir.v2/README", "v2/README", false}, {"data/photo.jpeg", "jpeg", false},
        {"data/font.mft", "mft", false},      {"a.", "a.", false},
        {"png", "png", true},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(GetFileExtension(c.path), c.extension) << c.path;
        EXPECT_EQ(IsManifestedExtension(c.path), c.listed) << c.path;
        EXPECT_TRUE(IsManifestedFile(c.path));
    }
}

TEST(ManifestRules, QuotesAndAmpersandsEscapedInIds) {
    struct Case {
        const char* id;
        const char* written;
    } cases[] = {
        {"plain/name.png", "plain/name.png"},
        {"Tom & \"Jerry\".png", "Tom &amp; &quot;Jerry&quot;.png"},
        {"&quot;.png", "&amp;quot;.png"},
        {"<less> 'single'.png", "<less> 'single'.png"},
        {"", ""},
    };
    for (const Case& c : cases) {
        char out[256];
        ZKI_EscapeManifestId(c.id, out);
        EXPECT_STREQ(out, c.written) << c.id;
    }
}

}  // namespace
