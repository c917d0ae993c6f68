// Key states, product features and the shutdown signal.

#include <gtest/gtest.h>

#include "engine/app/tests/startup_test_support.h"
#include "engine/runtime/basic_functions.h"
#include "engine/screen/resolution_selection.h"
#include "engine/images/bitmap_pool.h"

namespace {

class CoreServicesTest : public ::testing::Test {
protected:
    void SetUp() override { SetUpEngineForTest(); }
    void TearDown() override {
        StopKeepingPrintedLines();
        zk_prog = nullptr;
    }
};

TEST_F(CoreServicesTest, WentDownBitIsConsumedForTheFirst256Codes) {
    ZK_SetKeyStatei(65, 3);
    EXPECT_EQ(ZK_GetKeyStatei(65), 3);
    EXPECT_EQ(ZK_GetKeyStatei(65), 1);
    ZK_SetKeyStatei(300, 3);
    EXPECT_EQ(ZK_GetKeyStatei(300), 3);
    EXPECT_EQ(ZK_GetKeyStatei(300), 3);
}

TEST_F(CoreServicesTest, KeyCodesOutsideTheTablesAreIgnored) {
    for (int code : {-1, -2048, 2048, 5000, 1 << 30}) {
        ZK_SetKeyStatei(code, 7);
        ZK_SetKeyStatef(code, 2.5f);
        EXPECT_EQ(ZK_GetKeyStatei(code), 0) << code;
        EXPECT_EQ(ZK_GetKeyStatef(code), 0.0f) << code;
    }
    // Neighbouring state is untouched.
    EXPECT_EQ(zk_state.key_states_i[2047], 0);
    EXPECT_EQ(zk_state.key_states_f[0], 0.0f);
    ZK_SetKeyStatef(2047, 1.5f);
    EXPECT_EQ(ZK_GetKeyStatef(2047), 1.5f);
}

TEST_F(CoreServicesTest, ProductFeatureWords) {
    struct Case {
        const char* first;
        const char* second;
        const char* name;
        bool found;
    };
    const Case cases[] = {
        {"AUTOSCALE_RETAIN_ASPECT_RATIO;SHOW_FPS", nullptr, "SHOW_FPS", true},
        {"AUTOSCALE_RETAIN_ASPECT_RATIO;SHOW_FPS", nullptr, "AUTOSCALE", false},
        {"AUTOSCALE_RETAIN_ASPECT_RATIO;SHOW_FPS", nullptr, "FPS", false},
        {",NO_SOUND ", nullptr, "NO_SOUND", true},
        {"A B,C;D", nullptr, "C", true},
        {"XNO_SOUND NO_SOUND", nullptr, "NO_SOUND", true},
        {nullptr, "LEADERBOARDS", "LEADERBOARDS", true},
        {"LEADERBOARDS_X", "X_LEADERBOARDS", "LEADERBOARDS", false},
        {"SHOW_FPS", nullptr, "", false},
        {"SHOW_FPS", nullptr, nullptr, false},
        {nullptr, nullptr, "SHOW_FPS", false},
    };
    for (const Case& c : cases) {
        zk_state.product_feature_lists[0] = c.first;
        zk_state.product_feature_lists[1] = c.second;
        EXPECT_EQ(ZK_ProductFeatureExists(c.name), c.found) << (c.name ? c.name : "(null)") << " in "
                                                             << (c.first ? c.first : "") << " | "
                                                             << (c.second ? c.second : "");
    }
}

TEST_F(CoreServicesTest, ShutdownSignalIsWrittenOnceAndReachesTheProgram) {
    zk_prog_t prog;
    zk_prog = &prog;
    KeepPrintedLines();
    ZK_SignalShutdown();
    ZK_SignalShutdown();
    int signalled = 0;
    for (const std::string& line : KeptLines())
        if (line.rfind("[SYSTEM] Signalling shutdown at ", 0) == 0) ++signalled;
    EXPECT_EQ(signalled, 1);
    EXPECT_TRUE(ZK_IsShutdownSignalled());
    EXPECT_EQ(prog.parms.shutdown_requested, 1);
}

TEST_F(CoreServicesTest, ResolutionSupportedByDevice) {
    zk_device_info.desktop_width = 1920;
    zk_device_info.desktop_height = 1080;
    struct Case {
        int width, height;
        bool windowed;
        bool supported;
    };
    const Case cases[] = {
        {1900, 1000, true, false},  // 1900 > 1920 - 50
        {1800, 1000, true, true},   {1870, 1010, true, true},  {1871, 1010, true, false},
        {1920, 1080, false, true},  // the desktop size in fullscreen
        {0, 600, true, false},      {800, 0, false, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ZKI_IsResolutionSupportedByDevice(c.width, c.height, c.windowed), c.supported)
            << c.width << "x" << c.height;
    // No renderer: other fullscreen sizes are refused.
    EXPECT_FALSE(ZKI_IsResolutionSupportedByDevice(1280, 720, false));
    ZKI_LoadRendImp();
    EXPECT_TRUE(ZKI_IsResolutionSupportedByDevice(1280, 720, false));
    ri = nullptr;

    char override_text[] = "IOS/LARGE";
    zk_state.resolution_override = override_text;
    EXPECT_TRUE(ZKI_IsResolutionSupportedByDevice(4000, 4000, true));
    EXPECT_FALSE(ZKI_IsResolutionSupportedByDevice(0, 600, true));
    zk_state.resolution_override = nullptr;
    zk_state.validated_resolution_set = 1;
    zk_state.validated_resolution_width = 3000;
    zk_state.validated_resolution_height = 2000;
    EXPECT_TRUE(ZKI_IsResolutionSupportedByDevice(3000, 2000, true));
}

TEST_F(CoreServicesTest, BitmapGPUMemoryEstimate) {
    zk_bitmap_t bitmap = {};
    bitmap.hw_data.texture_width = 64;
    bitmap.hw_data.texture_height = 32;
    bitmap.texture_width = 50;
    bitmap.texture_height = 30;
    EXPECT_EQ(ZKI_GetBitmapGPUMemoryUsageEstimate(&bitmap, false), 64u * 32u * 4u);
    EXPECT_EQ(ZKI_GetBitmapGPUMemoryUsageEstimate(&bitmap, true), 50u * 30u * 4u);
    bitmap.frame_count = 3;
    EXPECT_EQ(ZKI_GetBitmapGPUMemoryUsageEstimate(&bitmap, false), 3u * 64u * 32u * 4u);
    zk_bitmap_t sheet = {};
    sheet.hw_data.texture_width = 256;
    sheet.hw_data.texture_height = 256;
    bitmap.atlas = &sheet;
    EXPECT_EQ(ZKI_GetBitmapGPUMemoryUsageEstimate(&bitmap, false), 256u * 256u * 4u);
}

TEST_F(CoreServicesTest, SubBitmapTakesItsPartOfTheTextureRectangle) {
    zk_bitmap_t source = {};
    source.width = 100;
    source.height = 50;
    source.hw_data.uv[0] = 0.0f;
    source.hw_data.uv[1] = 0.5f;
    source.hw_data.uv[2] = 1.0f;
    source.hw_data.uv[3] = 1.0f;
    zk_bitmap_t part;
    EXPECT_EQ(ZK_CreateBitmapFromSubBitmap(&part, &source, 25.0f, 10.0f, 75.5f, 50.0f), &part);
    EXPECT_EQ(part.width, 50);
    EXPECT_EQ(part.height, 40);
    EXPECT_FLOAT_EQ(part.hw_data.uv[0], 0.25f);
    EXPECT_FLOAT_EQ(part.hw_data.uv[1], 0.6f);
    EXPECT_FLOAT_EQ(part.hw_data.uv[2], 0.755f);
    EXPECT_FLOAT_EQ(part.hw_data.uv[3], 1.0f);
    EXPECT_EQ(part.duplicate_of, &source);
}

}  // namespace
