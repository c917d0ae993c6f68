// Screen facts: platform names matched by prefix with the longer name first,
// the names of platform ids, and the overlay zoom with its offsets.

#include "engine/runtime/screen.h"

#include <string>

#include "engine/runtime/tests/core_fixture.h"

namespace {

class ScreenTest : public ZkCoreTest {
protected:
    void TearDown() override {
        zk_device_info = zk_device_info_t();
        ZkCoreTest::TearDown();
    }
};

TEST_F(ScreenTest, PlatformNamesAreMatchedByPrefixLongestFirst) {
    struct Case {
        const char* text;
        int id;
    } cases[] = {
        {"IOS/SMALL", 3},        {"IOS", 3},          {"WINDOWS", 1},         {"WINDOWS_RT", 13},
        {"WINDOWS_PHONE/LARGE", 14}, {"WINDOWS/MEDIUM", 1}, {"ANDROID_TV", 19},   {"ANDROID/SMALL", 5},
        {"PS_VITA", 10},         {"PS4", 11},         {"PS3", 9},             {"XBOX_ONE", 17},
        {"APPLE_TV/LARGE", 18},  {"SWITCH", 20},      {"MAC", 2},             {"LINUX", 12},
        {"windows", 0},          {"", 0},             {"WIN", 0},             {"PS", 0},
        {nullptr, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(ZKI_GetPlatformIdFromString(c.text), c.id) << (c.text ? c.text : "null");
}

TEST_F(ScreenTest, EveryNamedIdGivesItsNameBackAndOthersAreUnknown) {
    for (int id = -1; id <= 22; ++id) {
        std::string name = ZKI_GetPlatformNameOfId(id);
        bool named = id >= 1 && id <= 20 && id != 4 && id != 6;
        if (named)
            EXPECT_EQ(ZKI_GetPlatformIdFromString(name.c_str()), id) << name;
        else
            EXPECT_EQ(name, "UNKNOWN") << id;
    }
}

TEST_F(ScreenTest, OverlayZoomCentresTheZoomedScreen) {
    struct Case {
        const char* what;
        int device_width, device_height, device_orientation;
        bool disabled;
        float zoom;
        float expect_zoom;
        int expect_x, expect_y;
    } cases[] = {
        {"half", 800, 600, 4, false, 0.5f, 0.5f, 200, 150},
        {"disabled", 800, 600, 4, true, 0.5f, 1.0f, 0, 0},
        {"device held turned", 600, 800, 1, false, 0.5f, 0.5f, 200, 150},
        {"zoomed in", 800, 600, 4, false, 2.0f, 2.0f, -400, -300},
        {"zero is refused", 800, 600, 4, false, 0.0f, 1.0f, 0, 0},
        {"negative is refused", 800, 600, 4, false, -0.5f, 1.0f, 0, 0},
        {"no device size yet", 0, 0, 4, false, 0.5f, 0.5f, 0, 0},
    };
    zk_parms.ref_width = 800;
    zk_parms.ref_height = 600;
    for (const Case& c : cases) {
        zk_device_info.screen_width = c.device_width;
        zk_device_info.screen_height = c.device_height;
        zk_device_info.orientation = c.device_orientation;
        zk_state.overlay_zoom = 1.0f;
        zk_state.overlay_offset_x = zk_state.overlay_offset_y = 0;
        zk_state.overlay_zoom_disabled = c.disabled;
        ZKI_SetOverlayZoom(c.zoom);
        EXPECT_FLOAT_EQ(zk_state.overlay_zoom, c.expect_zoom) << c.what;
        EXPECT_EQ(zk_state.overlay_offset_x, c.expect_x) << c.what;
        EXPECT_EQ(zk_state.overlay_offset_y, c.expect_y) << c.what;
    }
}

TEST_F(ScreenTest, AZoomWithinAMillionthOfOneIsNotSet) {
    struct Case {
        float zoom;
        bool set;
    } cases[] = {{1.0f, false}, {1.0000005f, false}, {0.9999995f, false}, {1.00001f, true}, {0.5f, true}};
    for (const Case& c : cases) {
        zk_state.overlay_zoom = c.zoom;
        EXPECT_EQ(ZKI_IsOverlayZoomSet(), c.set) << c.zoom;
    }
}

}  // namespace
