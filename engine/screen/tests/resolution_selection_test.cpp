// Choosing the run's resolution: the order of resolutions, the program's
// list, the selection examples, typical sizes for a simulated device, the
// request for a re-initialisation, the platform's screen-size report and
// the mip-level count.

#include "engine/screen/resolution_selection.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/render/tests/media_fixture.h"
#include "engine/runtime/interface_functions.h"

namespace {

typedef RendererImplementation::Resolution R;

class ResolutionTest : public MediaTest {
protected:
    void SetUp() override {
        MediaTest::SetUp();
        program_ = zk_prog_t();
        program_.parms.ref_width = 1024;
        program_.parms.ref_height = 768;
        zk_prog = &program_;
    }
    void TearDown() override {
        SetList(nullptr);
        zk_prog = nullptr;
        zk_device_info = zk_device_info_t();
        zk_state.product_feature_lists[0] = nullptr;
        zk_state.resolution_override = nullptr;
        MediaTest::TearDown();
    }

    static void SetList(const char* list) {
        free(zk_state.supported_resolutions);
        zk_state.supported_resolutions = list ? strdup(list) : nullptr;
    }
    static void Desktop(int width, int height) {
        zk_device_info.desktop_width = width;
        zk_device_info.desktop_height = height;
    }
    static std::string Stored() {
        return std::to_string(zk_state.parms.width) + "x" + std::to_string(zk_state.parms.height) +
               (zk_state.parms.windowed ? " windowed" : " fullscreen");
    }

    zk_prog_t program_;
};

TEST_F(ResolutionTest, ResolutionsAreOrderedByWidthThenHeight) {
    struct Case {
        zk_resolution_t a, b;
        int ascending;
    } cases[] = {
        {{800, 600}, {1024, 768}, -1}, {{1024, 768}, {800, 600}, 1},  {{1280, 720}, {1280, 800}, -1},
        {{1280, 800}, {1280, 720}, 1}, {{1280, 720}, {1280, 720}, 0}, {{640, 2000}, {800, 10}, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CompareResolutions(c.a, c.b, true), c.ascending) << c.a.width << "x" << c.a.height;
        EXPECT_EQ(CompareResolutions(c.a, c.b, false), -c.ascending) << c.a.width << "x" << c.a.height;
    }
    zk_resolution_t list[] = {{1280, 800}, {800, 600}, {1280, 720}, {1920, 1080}};
    qsort(list, 4, sizeof(list[0]), ZKI_CompareResolutionsAscending);
    EXPECT_EQ(list[0].width, 800);
    EXPECT_EQ(list[1].height, 720);
    EXPECT_EQ(list[3].width, 1920);
    qsort(list, 4, sizeof(list[0]), ZKI_CompareResolutionsDescending);
    EXPECT_EQ(list[0].width, 1920);
    EXPECT_EQ(list[1].height, 800);
    EXPECT_EQ(list[3].width, 800);
}

TEST_F(ResolutionTest, TheProgramSupportsItsSizesInEitherOrientation) {
    std::string thirty_two_others;
    for (int i = 0; i < 32; ++i) thirty_two_others += std::to_string(100 + i) + "x100,";
    struct Case {
        const char* what;
        std::string list;
        bool has_list;
        int width, height;
        bool supported;
    } cases[] = {
        {"as listed", "1024x768", true, 1024, 768, true},
        {"turned", "1024x768", true, 768, 1024, true},
        {"not listed", "800x600,1280x720", true, 1024, 768, false},
        {"later entry", "800x600,1280x720", true, 1280, 720, true},
        {"device size", "800x600,*", true, 3, 7, true},
        {"no list", "", false, 1024, 768, false},
        {"only the first 32 entries count", thirty_two_others + "1024x768", true, 1024, 768, false},
        {"a 512-character entry ends the list", std::string(512, '9') + ",1024x768", true, 1024, 768, false},
        {"a 511-character entry does not", std::string(511, '9') + ",1024x768", true, 1024, 768, true},
        {"a broken entry is no size", "x768,1024x,axb", true, 0, 768, false},
    };
    for (const Case& c : cases) {
        SetList(c.has_list ? c.list.c_str() : nullptr);
        EXPECT_EQ(ZKI_DoesProgramSupportResolution(c.width, c.height), c.supported) << c.what;
    }
}

TEST_F(ResolutionTest, SelectionExamples) {
    struct Case {
        const char* what;
        const char* list;
        int desktop_width, desktop_height;
        int device_width, device_height;
        std::vector<R> renderer;  // what the renderer supports
        bool windowed, forcing;
        const char* override_text;
        bool selected;
        std::string stored;
    } cases[] = {
        {"closest aspect", "1024x768,1280x720,1280x800", 1920, 1080, 0, 0,
         {{1024, 768}, {1280, 720}, {1280, 800}}, false, false, nullptr, true, "1280x720 fullscreen"},
        {"near-equal aspects keep the earlier", "1280x720,1366x768", 1920, 1080, 0, 0, {{1280, 720}, {1366, 768}},
         false, false, nullptr, true, "1280x720 fullscreen"},
        {"equally close aspects: the first", "1500x1000,1250x500", 2000, 1000, 0, 0, {{1500, 1000}, {1250, 500}},
         false, false, nullptr, true, "1500x1000 fullscreen"},
        {"equally close aspects the other way round", "1250x500,1500x1000", 2000, 1000, 0, 0,
         {{1500, 1000}, {1250, 500}}, false, false, nullptr, true, "1250x500 fullscreen"},
        {"the desktop's own size, full screen without asking the renderer", "1920x1080,1024x768", 1920, 1080, 0, 0,
         {{1024, 768}}, false, false, nullptr, true, "1920x1080 fullscreen"},
        {"the desktop's own size does not fit a window", "1920x1080,1024x768", 1920, 1080, 0, 0, {{1920, 1080}},
         true, false, nullptr, true, "1024x768 windowed"},
        {"a window leaves 50 x 70 of the desktop", "1280x720,1024x600", 1280, 800, 0, 0, {}, true, false, nullptr,
         true, "1024x600 windowed"},
        {"larger than the desktop is skipped", "2560x1440,800x600", 1920, 1080, 0, 0, {{2560, 1440}, {800, 600}},
         false, false, nullptr, true, "800x600 fullscreen"},
        {"the device's own size", "*", 1920, 1080, 1280, 800, {}, true, false, nullptr, true, "1280x800 windowed"},
        {"no desktop: the first the renderer takes", "1024x768,800x600", 0, 0, 0, 0, {{800, 600}}, true, false,
         nullptr, true, "800x600 windowed"},
        {"no device size: the reference size", "*", 0, 0, 0, 0, {{1024, 768}}, false, false, nullptr, true,
         "1024x768 fullscreen"},
        {"simulated small phone", "*", 1920, 1080, 0, 0, {}, false, false, "IOS/SMALL", true, "960x640 fullscreen"},
        {"simulated phone", "*", 1920, 1080, 0, 0, {}, false, false, "IOS", true, "1024x768 fullscreen"},
        {"simulated console", "*", 1920, 1080, 0, 0, {}, false, false, "ANDROID_TV/LARGE", true,
         "1920x1080 fullscreen"},
        {"forcing takes the first entry", "4000x3000,800x600", 1920, 1080, 0, 0, {}, false, true, nullptr, true,
         "4000x3000 fullscreen"},
        {"nothing fits fullscreen: the desktop", "2560x1440", 1920, 1080, 0, 0, {}, false, false, nullptr, true,
         "1920x1080 fullscreen"},
        {"nothing fits a window: the smallest", "3840x2160,2560x1440,2880x1440", 1280, 800, 0, 0, {}, true, false,
         nullptr, true, "2560x1440 windowed"},
        {"nothing fits and no desktop", "4000x3000", 0, 0, 0, 0, {}, true, false, nullptr, false, "111x222 windowed"},
        {"entries without an area are never the smallest", "0x0,axb", 1280, 800, 0, 0, {}, true, false, nullptr,
         false, "111x222 windowed"},
        {"no list", nullptr, 1920, 1080, 0, 0, {}, true, false, nullptr, false, "111x222 fullscreen"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetList(c.list);
        Desktop(c.desktop_width, c.desktop_height);
        zk_device_info.screen_width = c.device_width;
        zk_device_info.screen_height = c.device_height;
        renderer_.resolutions = c.renderer;
        zk_state.resolution_override = const_cast<char*>(c.override_text);
        zk_state.parms.width = 111;
        zk_state.parms.height = 222;
        zk_state.parms.windowed = 0;
        EXPECT_EQ(ZKI_SelectOptimalResolution(c.windowed, c.forcing), c.selected);
        EXPECT_EQ(Stored(), c.stored);
    }
}

TEST_F(ResolutionTest, SelectionSaysWhatItChose) {
    SetList("1024x768,1280x720,1280x800");
    Desktop(1920, 1080);
    renderer_.resolutions = {{1024, 768}, {1280, 720}, {1280, 800}};
    ASSERT_TRUE(ZKI_SelectOptimalResolution(false, false));
    std::vector<std::string> lines = Lines();
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 2),
              (std::vector<std::string>{"0:Selecting optimal resolution for fullscreen.", "0:Desktop size 1920x1080."}));
    EXPECT_EQ(lines.back(), "0:Closest supported aspect ratio is 1280x720 (aspect 1.78 vs desktop 1.78)");

    ClearLines();
    zk_state.validated_resolution_set = 1;
    zk_state.validated_resolution_width = 640;
    zk_state.validated_resolution_height = 480;
    ASSERT_TRUE(ZKI_SelectOptimalResolution(true, true));
    EXPECT_EQ(Lines(), (std::vector<std::string>{"0:Selecting optimal resolution for windowed (forcing).",
                                                 "0:Desktop size 1920x1080.", "0:Selected 640x480. (forced)"}));
    EXPECT_EQ(Stored(), "640x480 windowed");

    ClearLines();
    zk_state.validated_resolution_set = 0;
    SetList("*");
    zk_device_info.screen_width = zk_device_info.screen_height = 0;
    zk_state.resolution_override = const_cast<char*>("WEBOS/SMALL");
    ASSERT_TRUE(ZKI_SelectOptimalResolution(false, false));
    EXPECT_TRUE(WasPrinted("0:Device screen size not set. Using typical fallback resolution 480x320."));
    EXPECT_TRUE(WasPrinted("0:Selected resolution 480x320."));
}

TEST_F(ResolutionTest, TypicalSizesByPlatformAndSizeClass) {
    struct Case {
        int platform, size_class;
        int width, height;
    } cases[] = {
        {1, 3, 1280, 720},  {2, 0, 1280, 720},  {12, 1, 1280, 720}, {13, 2, 1280, 720},  {16, 3, 1280, 720},
        {20, 0, 1280, 720}, {3, 0, 960, 640},   {3, 1, 1024, 768},  {3, 3, 1024, 768},   {5, 0, 854, 480},
        {7, 0, 480, 320},   {7, 2, 1024, 768},  {8, 3, 1024, 600},  {9, 3, 1920, 1080},  {11, 0, 1920, 1080},
        {17, 1, 1920, 1080}, {18, 2, 1920, 1080}, {19, 3, 1920, 1080}, {10, 3, 960, 544}, {14, 0, 800, 480},
        {15, 3, 550, 400},  {0, 3, 800, 600},   {4, 0, 800, 600},   {6, 2, 800, 600},    {99, 0, 800, 600},
    };
    for (const Case& c : cases) {
        zk_resolution_t size = ZKI_GetTypicalResolution(c.platform, c.size_class);
        EXPECT_EQ(size.width, c.width) << c.platform << "/" << c.size_class;
        EXPECT_EQ(size.height, c.height) << c.platform << "/" << c.size_class;
    }
}

// --- Re-initialisation requests ---------------------------------------------------------------------

class ReinitializeRequestTest : public ResolutionTest {
protected:
    void SetUp() override {
        ResolutionTest::SetUp();
        zk_parms.width = 800;
        zk_parms.height = 600;
        zk_parms.windowed = 1;
        zk_state.parms = zk_parms;
    }
    static zk_parms_t Request(int width, int height, bool windowed) {
        zk_parms_t parms;
        parms.width = width;
        parms.height = height;
        parms.windowed = windowed ? 1 : 0;
        return parms;
    }
};

TEST_F(ReinitializeRequestTest, RequestsThatCanBeUsedAreGranted) {
    struct Case {
        const char* what;
        const char* list;
        bool free_resolution, validated, allow_all;
        zk_parms_t request;
        std::string stored;
        std::vector<std::string> warnings;
    } cases[] = {
        {"free size that fits", "1280x720", true, false, false, Request(1000, 700, true), "1000x700 windowed", {}},
        {"no free sizes: selected from the list", "1280x720", false, false, false, Request(1000, 700, true),
         "1280x720 windowed", {}},
        {"no size given: selected", "1280x720", true, false, false, Request(0, 0, true), "1280x720 windowed", {}},
        {"a free size that does not fit is replaced", "1280x720", true, false, false, Request(1900, 1000, true),
         "1280x720 windowed", {}},
        {"forced by the developer settings", "1280x720", false, true, false, Request(1280, 720, false),
         "1024x768 windowed",
         {"1:ReinitializeWithParameters - Forcing resolution to 1024x768 based on developer.xml.",
          "1:ReinitializeWithParameters - Forcing screen mode to windowed because force_resolution is set in "
          "developer.xml."}},
        {"forced, but every size allowed", "1280x720", false, true, true, Request(1600, 900, false),
         "1600x900 windowed",
         {"1:ReinitializeWithParameters - Forcing screen mode to windowed because force_resolution is set in "
          "developer.xml."}},
    };
    Desktop(1920, 1080);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearLines();
        SetList(c.list);
        zk_state.product_feature_lists[0] = c.free_resolution ? "FREE_RESOLUTION" : nullptr;
        zk_state.validated_resolution_set = c.validated;
        zk_state.validated_resolution_width = 1024;
        zk_state.validated_resolution_height = 768;
        zk_state.allow_all_resolutions = c.allow_all;
        zk_state.reinit_requested = 0;
        EXPECT_TRUE(zk->ZK_ReinitializeWithParameters(c.request));
        EXPECT_EQ(zk_state.reinit_requested, 1);
        EXPECT_EQ(Stored(), c.stored);
        std::vector<std::string> warnings;
        for (const std::string& line : Lines())
            if (line.compare(0, 2, "1:") == 0) warnings.push_back(line);
        EXPECT_EQ(warnings, c.warnings);
    }
}

TEST_F(ReinitializeRequestTest, RefusedRequestsKeepTheRunningSize) {
    struct Case {
        const char* what;
        bool program, renderer;
        const char* list;
        int desktop_width, desktop_height;
        zk_parms_t request;
        const char* warning;  // null: none
    } cases[] = {
        {"no program", false, true, "1280x720", 1920, 1080, Request(1280, 720, true), nullptr},
        {"no renderer", true, false, "1280x720", 1920, 1080, Request(1280, 720, true), nullptr},
        {"nothing selectable", true, true, "4000x3000", 0, 0, Request(4000, 3000, true), nullptr},
        {"nothing fits, not even as a window", true, true, "4000x3000", 1280, 800, Request(4000, 3000, true),
         "1:Requested resolution 4000x3000 (windowed=1) not available."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearLines();
        SetList(c.list);
        Desktop(c.desktop_width, c.desktop_height);
        zk_prog = c.program ? &program_ : nullptr;
        if (!c.renderer) renderer_.Uninstall();
        zk_state.parms = c.request;
        zk_state.reinit_requested = 1;
        EXPECT_FALSE(zk->ZK_ReinitializeWithParameters(c.request));
        if (c.program && c.renderer) {
            EXPECT_EQ(zk_state.reinit_requested, 0);
            EXPECT_EQ(Stored(), "800x600 windowed");
        }
        EXPECT_EQ(WasPrinted(c.warning ? c.warning : ""), c.warning != nullptr);
        renderer_.Install();
        zk_prog = &program_;
    }
}

// --- The platform's screen-size report ----------------------------------------------------------------

std::vector<std::string> requests;
bool RecordRequest(zk_parms_t parms) {
    requests.push_back(std::to_string(parms.width) + "x" + std::to_string(parms.height) +
                       (parms.windowed ? " windowed" : " fullscreen"));
    return true;
}

TEST_F(ResolutionTest, AScreenSizeReportAsksForTheSizeInTheProgramsOrientation) {
    struct Case {
        const char* what;
        int width, height;
        bool windowed, force;
        int orientation;
        std::vector<std::string> asked;
    } cases[] = {
        {"landscape", 1280, 800, false, false, 4, {"1280x800 fullscreen"}},
        {"portrait, turned for the program", 800, 1280, true, false, 1, {"1280x800 windowed"}},
        {"square counts as landscape", 900, 900, false, false, 4, {"900x900 fullscreen"}},
        {"the same size again", 640, 480, false, false, 4, {}},
        {"the same size, forced", 640, 480, false, true, 4, {"640x480 fullscreen"}},
    };
    zk->ZK_ReinitializeWithParameters = RecordRequest;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        requests.clear();
        zk_device_info.screen_width = 640;
        zk_device_info.screen_height = 480;
        zk_device_info.orientation = 4;
        ZKI_SetDeviceScreenSize(c.width, c.height, c.windowed, c.force);
        EXPECT_EQ(requests, c.asked);
        EXPECT_EQ(zk_device_info.screen_width, c.width);
        EXPECT_EQ(zk_device_info.screen_height, c.height);
        EXPECT_EQ(zk_device_info.orientation, c.orientation);
    }
    // The platform's two-argument report keeps the program's screen mode.
    requests.clear();
    program_.parms.windowed = 1;
    ZKI_SetDeviceScreenSize(1024, 600);
    EXPECT_EQ(requests, std::vector<std::string>{"1024x600 windowed"});
}

// --- The renderer's helpers -----------------------------------------------------------------------------

TEST_F(ResolutionTest, MipLevelCounts) {
    struct Case {
        int width, height, requested, levels;
    } cases[] = {
        {256, 256, 0, 5}, {256, 256, 3, 3}, {256, 64, 0, 3},  {32, 32, 0, 2},    {256, 256, 1, 1},
        {1, 1, 1, 1},     {256, 256, 9, 5}, {256, 256, -1, 5}, {0, 0, 0, 2},     {2048, 34, 0, 3}, {34, 2048, 0, 3},
        {4096, 4096, 0, 9},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RendererImplementation::GetMipLevelCount(c.width, c.height, c.requested), c.levels)
            << c.width << "x" << c.height << " asking " << c.requested;
    }
}

TEST_F(ResolutionTest, TheArrayOfSupportedResolutionsIsRefreshedEachTime) {
    renderer_.resolutions = {{1920, 1080}, {800, 600}};
    const nArray<R>& first = renderer_.GetArrayOfSupportedResolutions();
    ASSERT_EQ(first.count, 2);
    EXPECT_EQ(first.items[0].width, 1920);
    renderer_.resolutions = {{640, 480}};
    const nArray<R>& second = renderer_.GetArrayOfSupportedResolutions();
    ASSERT_EQ(second.count, 1);
    EXPECT_EQ(second.items[0].height, 480);
    EXPECT_EQ(renderer_.Count("UpdateSupportedResolutions"), 2);
}

}  // namespace
