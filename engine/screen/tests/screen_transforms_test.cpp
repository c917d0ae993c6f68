// Fitting the program's screen onto the device: the autoscale and letterbox
// numbers, autoscaling switching itself off, where the screen transform puts
// the program's corners, the border rectangles, and the rotation angle of a
// transition without a duration.

#include "engine/screen/screen_transforms.h"

#include <string>
#include <vector>

#include "engine/runtime/tests/recording_graphics.h"
#include "engine/render/tests/media_fixture.h"
#include "engine/runtime/screen.h"

namespace {

struct Screen {
    int device_width, device_height, device_orientation;
    bool fixed_resolution;
    int ref_width, ref_height;
};

class ScreenTransformsTest : public MediaTest {
protected:
    void SetUp() override {
        MediaTest::SetUp();
        program_ = zk_prog_t();
        zk_prog = &program_;
        zk_state.overlay_zoom = 1.0f;
    }
    void TearDown() override {
        graphics_.Restore();
        zk_prog = nullptr;
        zk_device_info = zk_device_info_t();
        zk_state.product_feature_lists[0] = nullptr;
        MediaTest::TearDown();
    }

    // The device and the program (which runs at the device's size in its own
    // orientation until autoscaling gives it its reference size).
    void Use(const Screen& s) {
        zk_device_info.screen_width = s.device_width;
        zk_device_info.screen_height = s.device_height;
        zk_device_info.orientation = s.device_orientation;
        zk_device_info.fixed_resolution = s.fixed_resolution;
        zk_parms.ref_width = program_.parms.ref_width = s.ref_width;
        zk_parms.ref_height = program_.parms.ref_height = s.ref_height;
        ZKI_GetDeviceSizeInProgramOrientation(&program_.parms.width, &program_.parms.height);
    }
    static void RetainAspect(bool retain) {
        zk_state.product_feature_lists[0] = retain ? "AUTOSCALE_RETAIN_ASPECT_RATIO" : nullptr;
    }

    // Where the screen transform puts a point of the program's screen.
    static vec2_t Map(float x, float y) {
        nTransform m = ZKI_GetScreenTransform();
        return vec2_t{m.m[0] * x + m.m[1] * y + m.m[3], m.m[4] * x + m.m[5] * y + m.m[7]};
    }

    zk_prog_t program_;
    RecordingGraphics graphics_;
};

const Screen kLandscapeHd = {1920, 1080, 4, false, 1024, 768};
const Screen kPortraitHd = {1080, 1920, 1, false, 1024, 768};

TEST_F(ScreenTransformsTest, AutoscaleAndLetterboxNumbers) {
    struct Case {
        const char* what;
        Screen screen;
        bool retain;
        float scale_x, scale_y, offset_x, offset_y;
    } cases[] = {
        {"stretched", kLandscapeHd, false, 1.875f, 1.40625f, 0, 0},
        {"letterboxed", kLandscapeHd, true, 1.40625f, 1.40625f, 240, 0},
        {"device held in portrait", kPortraitHd, false, 1.875f, 1.40625f, 0, 0},
        {"portrait program, landscape device", {1920, 1080, 4, false, 768, 1024}, true, 1.40625f, 1.40625f, 0, 240},
        {"odd leftover is truncated", {1001, 600, 4, false, 800, 600}, true, 1.0f, 1.0f, 100, 0},
        {"no device size yet", {0, 0, 4, false, 1024, 768}, true, 1, 1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Use(c.screen);
        RetainAspect(c.retain);
        zk_state.autoscale = 1;
        ZKI_SetupAutoscaling();
        EXPECT_EQ(zk_state.autoscale, 1);
        EXPECT_EQ(program_.parms.width, c.screen.ref_width);
        EXPECT_EQ(program_.parms.height, c.screen.ref_height);
        EXPECT_FLOAT_EQ(zk_state.autoscale_scale_x, c.scale_x);
        EXPECT_FLOAT_EQ(zk_state.autoscale_scale_y, c.scale_y);
        EXPECT_FLOAT_EQ(zk_state.autoscale_offset_x, c.offset_x);
        EXPECT_FLOAT_EQ(zk_state.autoscale_offset_y, c.offset_y);
        EXPECT_FLOAT_EQ(zk_state.autoscale_inverse_scale_x, 1.0f / c.scale_x);
        EXPECT_FLOAT_EQ(zk_state.autoscale_inverse_scale_y, 1.0f / c.scale_y);
        // Each frame computes the same again.
        zk_state.autoscale_scale_x = zk_state.autoscale_offset_x = -7.0f;
        ZKI_UpdateAutoscaling();
        EXPECT_FLOAT_EQ(zk_state.autoscale_scale_x, c.scale_x);
        EXPECT_FLOAT_EQ(zk_state.autoscale_offset_x, c.offset_x);
    }
}

TEST_F(ScreenTransformsTest, SetupLogsWhatItComputedAndKeepsTheZoomCentred) {
    Use(kLandscapeHd);
    RetainAspect(true);
    zk_state.autoscale = 1;
    zk_state.overlay_zoom = 0.5f;
    ZKI_SetupAutoscaling();
    EXPECT_EQ(Lines(), (std::vector<std::string>{"3:Setting up autoscaling from 1024x768 -> 1920x1080.",
                                                 "3:Offset x=240.00 y=0.00", "3:Scale x=1.41 y=1.41"}));
    EXPECT_EQ(zk_state.overlay_offset_x, 480);
    EXPECT_EQ(zk_state.overlay_offset_y, 270);
}

TEST_F(ScreenTransformsTest, AutoscalingSwitchesItselfOffWhenThereIsNothingToScale) {
    struct Case {
        const char* what;
        bool autoscale;
        int width, height, ref_width, ref_height;
        std::vector<std::string> lines;
    } cases[] = {
        {"off", false, 1920, 1080, 1024, 768, {}},
        {"program already at its reference size", true, 1024, 768, 1024, 768,
         {"3:Setting up autoscaling from 1024x768 -> 1024x768.",
          "3:Target resolution matches source, no need for scaling."}},
        {"no reference size", true, 1920, 1080, 0, 0, {"3:Setting up autoscaling from 0x0 -> 1920x1080."}},
    };
    Use(kLandscapeHd);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearLines();
        zk_state.autoscale = c.autoscale;
        program_.parms.width = c.width;
        program_.parms.height = c.height;
        zk_parms.ref_width = program_.parms.ref_width = c.ref_width;
        zk_parms.ref_height = program_.parms.ref_height = c.ref_height;
        zk_state.autoscale_scale_x = zk_state.autoscale_scale_y = 0.0f;  // as the state starts
        zk_state.autoscale_offset_x = 3.0f;
        ZKI_SetupAutoscaling();
        EXPECT_EQ(zk_state.autoscale, 0);
        EXPECT_EQ(Lines(), c.lines);
        EXPECT_EQ(program_.parms.width, c.width);
        EXPECT_EQ(program_.parms.height, c.height);
        EXPECT_FLOAT_EQ(zk_state.autoscale_scale_x, 1.0f);
        EXPECT_FLOAT_EQ(zk_state.autoscale_scale_y, 1.0f);
        EXPECT_FLOAT_EQ(zk_state.autoscale_inverse_scale_x, 1.0f);
        EXPECT_FLOAT_EQ(zk_state.autoscale_offset_x, 0.0f);
    }
}

TEST_F(ScreenTransformsTest, TheTransformPutsTheProgramsCornersOnTheDevice) {
    struct Case {
        const char* what;
        Screen screen;
        bool autoscale, retain;
        float zoom;
        int interface_orientation;
        vec2_t top_left, bottom_right;
    } cases[] = {
        {"one to one", {800, 600, 4, false, 800, 600}, false, false, 1.0f, 8, {0, 0}, {800, 600}},
        {"zoomed out", {800, 600, 4, false, 800, 600}, false, false, 0.5f, 8, {200, 150}, {600, 450}},
        {"stretched", kLandscapeHd, true, false, 1.0f, 8, {0, 0}, {1920, 1080}},
        {"letterboxed", kLandscapeHd, true, true, 1.0f, 8, {240, 0}, {1680, 1080}},
        {"letterboxed and zoomed", kLandscapeHd, true, true, 0.5f, 8, {600, 270}, {1320, 810}},
        {"fixed portrait device, turned by 90", {1080, 1920, 1, true, 1024, 768}, true, false, 1.0f, 8, {1080, 0},
         {0, 1920}},
        {"fixed portrait device, turned by -90", {1080, 1920, 1, true, 1024, 768}, true, false, 1.0f, 4, {0, 1920},
         {1080, 0}},
        // Only a fixed-resolution device is turned; the scales are still
        // exchanged for the other orientation.
        {"free portrait device", {1080, 1920, 1, false, 1024, 768}, true, false, 1.0f, 8, {-180, 240}, {1260, 1680}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Use(c.screen);
        RetainAspect(c.retain);
        zk_state.autoscale = c.autoscale;
        zk_state.overlay_zoom = c.zoom;
        zk_state.interface_orientation = zk_state.target_orientation = c.interface_orientation;
        ZKI_SetupAutoscaling();
        ZKI_UpdateScreenTransforms(0.0f);
        vec2_t a = Map(0, 0);
        vec2_t b = Map(static_cast<float>(program_.parms.width), static_cast<float>(program_.parms.height));
        EXPECT_NEAR(a.x, c.top_left.x, 1e-3);
        EXPECT_NEAR(a.y, c.top_left.y, 1e-3);
        EXPECT_NEAR(b.x, c.bottom_right.x, 1e-3);
        EXPECT_NEAR(b.y, c.bottom_right.y, 1e-3);
    }
}

TEST_F(ScreenTransformsTest, ThePushedWorldTransformIsTheScreenTransform) {
    Use(kLandscapeHd);
    RetainAspect(true);
    zk_state.autoscale = 1;
    ZKI_SetupAutoscaling();
    int top = zk_state.world_transform_top;
    ZKI_PushScreenTransforms();
    ASSERT_EQ(zk_state.world_transform_top, top + 1);
    nTransform pushed = zk->graphics->ZK_Graphics_PeekWorldTransform();
    nTransform expected = ZKI_GetScreenTransform();
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(pushed.m[i], expected.m[i]) << i;
    zk->graphics->ZK_Graphics_PopWorldTransform();
}

TEST_F(ScreenTransformsTest, BorderRectanglesCoverWhatLiesOutsideTheProgram) {
    const std::vector<std::string> black = {"SetAlpha 1", "SetColor 0 0 0", "SetBlend 1"};
    auto with = [](std::vector<std::string> a, const std::vector<std::string>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    struct Case {
        const char* what;
        float zoom;
        int overlay_x, overlay_y;
        float offset_x, offset_y;
        int target_orientation;
        std::vector<std::string> calls;
    } cases[] = {
        {"nothing outside", 1.0f, 0, 0, 0, 0, 8, {}},
        {"letterboxed left and right", 1.0f, 0, 0, 240, 0, 8,
         with(black, {"DrawRect 1024 -1 1024 770", "DrawRect -1024 -1 1024 770", "SetColor 1 1 1"})},
        {"letterboxed above and below", 1.0f, 0, 0, 0, 12, 8,
         with(black, {"DrawRect -1024 768 3072 768", "DrawRect -1024 -768 3072 768", "SetColor 1 1 1"})},
        {"turning", 1.0f, 0, 0, 0, 0, 4,
         with(black, {"DrawRect -1024 768 3072 768", "DrawRect -1024 -768 3072 768", "DrawRect 1024 -1 1024 770",
                      "DrawRect -1024 -1 1024 770", "SetColor 1 1 1"})},
        // The zoom's own borders leave the colour black.
        {"zoomed out", 0.5f, 256, 192, 0, 0, 8,
         with(black, {"DrawRect -512 -386 2048 386", "DrawRect -512 768 2048 386", "DrawRect -514 -384 514 1536",
                      "DrawRect 1024 -384 514 1536"})},
        {"a zoom of 0 draws no borders", 0.0f, 512, 384, 0, 0, 8, {}},
    };
    Use({1024, 768, 4, false, 1024, 768});
    graphics_.Install();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        graphics_.calls.clear();
        zk_state.overlay_zoom = c.zoom;
        zk_state.overlay_offset_x = c.overlay_x;
        zk_state.overlay_offset_y = c.overlay_y;
        zk_state.autoscale_offset_x = c.offset_x;
        zk_state.autoscale_offset_y = c.offset_y;
        zk_state.interface_orientation = 8;
        zk_state.target_orientation = c.target_orientation;
        ZKI_DrawScreenBorderRectangles();
        EXPECT_EQ(graphics_.calls, c.calls);
    }
}

TEST_F(ScreenTransformsTest, ATransitionWithoutADurationIsAJumpToTheTarget) {
    program_.parms.width = 1024;
    program_.parms.height = 768;
    zk_state.interface_orientation = 8;
    zk_state.target_orientation = 4;
    zk_state.orientation_transition_time = 0.0f;
    zk_state.orientation_transition_duration = 0.0f;
    ZKI_UpdateScreenTransforms(0.016f);
    EXPECT_FLOAT_EQ(zk_state.interface_rotation_angle, -90.0f);
    EXPECT_EQ(zk_state.allowed_orientations, 12);
    zk_prog = nullptr;
    zk_state.prog = nullptr;
    ZKI_UpdateScreenTransforms(0.016f);
    EXPECT_EQ(zk_state.allowed_orientations, 3);
}

}  // namespace
