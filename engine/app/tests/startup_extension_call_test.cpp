// Answers of ZK_CallExtension.

#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "engine/app/tests/startup_test_support.h"
#include "engine/runtime/interface_functions.h"
#include "engine/storage/database_manager.h"
#include "engine/storage/settings.h"
#include "platform/macos/device/device.h"

namespace {

// 'd' stands for a digit; every other character for itself.
bool MatchesPattern(const std::string& text, const std::string& pattern) {
    if (text.size() != pattern.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        bool digit = text[i] >= '0' && text[i] <= '9';
        if (pattern[i] == 'd' ? !digit : text[i] != pattern[i]) return false;
    }
    return true;
}

class ExtensionCallTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetUpEngineForTest();
        ZKI_LoadRendImp();
        ZKPI_ResolvePlatformInfo();
    }
    void TearDown() override {
        StopKeepingPrintedLines();
        ri = nullptr;
        zk_prog = nullptr;
        // "GetProductValue" loaded the (empty) settings; the manager leaves
        // its databases to the process's exit.
        zk_dman.ReleaseDatabase(PLATFORM_PARAMETERS_FILENAME);
    }
    static std::string Ask(const char* name, const char* value) {
        const char* answer = ZK_CallExtension(name, value);
        return answer ? answer : "(null)";
    }
};

TEST_F(ExtensionCallTest, EngineFacts) {
    struct Case {
        const char* name;
        const char* value;
        const char* expected;
    };
    const Case cases[] = {
        {"Renderer", "MaximumTextureSize", "2048"},
        {"Renderer", "EyeMode", "Mono"},
        {"Renderer", "SupportedResolutions", "(null)"},
        {"Renderer", nullptr, "(null)"},
        {"ProgramInfo", "ProgramId", "null"},
        {"ProgramInfo", "Features", ""},
        {"PlatformInfo", "DeviceModel", "Mac"},
        {"PlatformInfo", "OS", "Mac OS X"},
        {"PlatformInfo", "UniqueId", "UNKNOWN"},
        {"PlatformInfo", "PlatformId", "MAC"},
        {"PlatformInfo", "ScreenSizeId", "LARGE"},
        {"PlatformInfo", "DesktopWidth", "0"},
        {"PlatformInfo", "OSMajor", "(null)"},
        {"GetProductValue", "anything", "(null)"},
        {"Hacks", "AllowAllResolutions", "(null)"},
        {"SwitchUserDataPath", nullptr, "(null)"},
        {"Clipboard_GetText", nullptr, "(null)"},
        {"NoSuchName", "x", "(null)"},
    };
    for (const Case& c : cases) EXPECT_EQ(Ask(c.name, c.value), c.expected) << c.name << "/" << (c.value ? c.value : "");
    EXPECT_EQ(ZK_CallExtension(nullptr, "x"), nullptr);
    EXPECT_EQ(zk_state.allow_all_resolutions, 1);
}

TEST_F(ExtensionCallTest, NoRendererAnswersNothingForRenderer) {
    ri = nullptr;
    EXPECT_EQ(Ask("Renderer", "MaximumTextureSize"), "(null)");
}

TEST_F(ExtensionCallTest, EyeModes) {
    const char* expected[] = {"Mono", "Left", "Right", "Mono"};
    for (int mode = 0; mode < 4; ++mode) {
        zk_state.eye_mode = mode;
        EXPECT_EQ(Ask("Renderer", "EyeMode"), expected[mode]);
    }
}

TEST_F(ExtensionCallTest, ProgramIdAndFeatureList) {
    zk_prog_t prog;
    snprintf(prog.id, sizeof(prog.id), "%s", "game-id");
    zk_prog = &prog;
    EXPECT_EQ(Ask("ProgramInfo", "ProgramId"), "game-id");
    struct Case {
        const char* first;
        const char* second;
        const char* expected;
    };
    const Case cases[] = {{nullptr, nullptr, ""}, {"A", "B", "A,B"}, {"", "B", "B"}, {"A", "", "A"}};
    for (const Case& c : cases) {
        zk_state.product_feature_lists[0] = c.first;
        zk_state.product_feature_lists[1] = c.second;
        EXPECT_EQ(Ask("ProgramInfo", "Features"), c.expected);
    }
}

TEST_F(ExtensionCallTest, PlatformNamesById) {
    struct Case {
        int id;
        const char* name;
    };
    const Case cases[] = {{1, "WINDOWS"}, {2, "MAC"},          {4, "UNKNOWN"}, {6, "UNKNOWN"},
                          {12, "LINUX"},  {19, "ANDROID_TV"},  {20, "SWITCH"}, {21, "UNKNOWN"},
                          {0, "UNKNOWN"}, {-3, "UNKNOWN"}};
    for (const Case& c : cases) {
        zk_platform_info.platform_id = c.id;
        EXPECT_EQ(Ask("PlatformInfo", "PlatformId"), c.name) << c.id;
    }
    const char* sizes[] = {"SMALL", "MEDIUM", "LARGE", "SMALL"};
    for (int id = 0; id < 4; ++id) {
        zk_platform_info.screen_size_id = id;
        EXPECT_EQ(Ask("PlatformInfo", "ScreenSizeId"), sizes[id]);
    }
}

TEST_F(ExtensionCallTest, ResolutionOverrideDecidesPlatformAndScreenSize) {
    struct Case {
        const char* override_text;
        const char* platform;
        const char* size;
    };
    const Case cases[] = {
        {"IOS/MEDIUM", "IOS", "MEDIUM"},        {"IOS", "IOS", "LARGE"},
        {"IOS/HUGE", "IOS", "SMALL"},           {"ANDROID_TV/SMALL", "ANDROID_TV", "SMALL"},
        {"WINDOWS_PHONE/LARGE", "WINDOWS_PHONE", "LARGE"}, {"AMIGA/MEDIUM", "UNKNOWN", "MEDIUM"},
        {"/MEDIUM", "UNKNOWN", "MEDIUM"},
    };
    for (const Case& c : cases) {
        char text[64];
        snprintf(text, sizeof(text), "%s", c.override_text);
        zk_state.resolution_override = text;
        EXPECT_EQ(Ask("PlatformInfo", "PlatformId"), c.platform) << c.override_text;
        EXPECT_EQ(Ask("PlatformInfo", "ScreenSizeId"), c.size) << c.override_text;
        EXPECT_STREQ(text, c.override_text);  // the override text is not changed
    }
    zk_state.resolution_override = nullptr;
}

TEST_F(ExtensionCallTest, DatesAreLocalTimeInTheirFormats) {
    EXPECT_TRUE(MatchesPattern(Ask("GetDate", nullptr), "dddd-dd-dd"));
    EXPECT_TRUE(MatchesPattern(Ask("GetTimeStamp", nullptr), "dddd-dd-dd:dd-dd"));
    zk_date_t d = ZK_GetDate();
    char today[32];
    snprintf(today, sizeof(today), "%d-%.2d-%.2d", d.year, d.month, d.day);
    EXPECT_EQ(Ask("GetDate", nullptr), today);
}

TEST_F(ExtensionCallTest, OverlayZoom) {
    zk_device_info.screen_width = 1024;
    zk_device_info.screen_height = 768;
    zk_device_info.orientation = 4;
    zk_prog_t prog;
    prog.parms.ref_width = 1024;
    prog.parms.ref_height = 768;
    zk_state.prog = &prog;

    EXPECT_EQ(Ask("SetOverlayZoom", "0.5"), "(null)");
    EXPECT_FLOAT_EQ(zk_state.overlay_zoom, 0.5f);
    EXPECT_FLOAT_EQ(zk_state.overlay_zoom_saved, 0.5f);
    EXPECT_EQ(zk_state.overlay_offset_x, 256);
    EXPECT_EQ(zk_state.overlay_offset_y, 192);
    EXPECT_EQ(Ask("GetOverlayZoom", nullptr), "0.5");

    // A portrait program on the landscape device swaps the sides.
    prog.parms.ref_width = 768;
    prog.parms.ref_height = 1024;
    Ask("SetOverlayZoom", "0.5");
    EXPECT_EQ(zk_state.overlay_offset_x, 192);
    EXPECT_EQ(zk_state.overlay_offset_y, 256);

    // Zooms that would later be divided by are refused.
    for (const char* bad : {"0", "-2", "abc", "0.0"}) {
        Ask("SetOverlayZoom", bad);
        EXPECT_FLOAT_EQ(zk_state.overlay_zoom, 0.5f) << bad;
    }
    Ask("SetOverlayZoom", nullptr);
    EXPECT_FLOAT_EQ(zk_state.overlay_zoom, 1.0f);

    zk_state.overlay_zoom_disabled = 1;
    Ask("SetOverlayZoom", "0.25");
    EXPECT_FLOAT_EQ(zk_state.overlay_zoom, 1.0f);
    EXPECT_EQ(zk_state.overlay_offset_x, 0);
    EXPECT_EQ(zk_state.overlay_offset_y, 0);
    EXPECT_EQ(Ask("GetOverlayZoom", nullptr), "1");
}

TEST_F(ExtensionCallTest, TestNamesAnswerOnlyForDevelopersOrWithTheFeature) {
    zk_prog_t prog;
    EXPECT_EQ(Ask("Twitter_IsAvailable", nullptr), "(null)");
    zk_prog = &prog;
    EXPECT_EQ(Ask("Twitter_IsAvailable", nullptr), "(null)");
    zk_state.product_feature_lists[0] = "TEST_EXTENSIONS";
    EXPECT_EQ(Ask("Twitter_IsAvailable", nullptr), "YES");
    zk_state.product_feature_lists[0] = nullptr;
    prog.parms.developer_mode = 1;
    EXPECT_EQ(Ask("Facebook_IsAvailable", nullptr), "YES");
    EXPECT_EQ(Ask("_SinaWeibo_IsAvailable", nullptr), "YES");
}

TEST_F(ExtensionCallTest, MemoryKeyStates) {
    static uint32_t pixels[1];
    zk_bitmap_t& bitmap = zk_state.bitmaps[5];
    bitmap.name = const_cast<char*>("picture");
    bitmap.width = 10;
    bitmap.height = 20;
    bitmap.pixels = pixels;
    bitmap.hw_data.loaded = 1;
    bitmap.hw_data.texture_width = 16;
    bitmap.hw_data.texture_height = 32;
    bitmap.texture_width = 10;
    bitmap.texture_height = 20;
    zk_state.sounds[0].name = const_cast<char*>("effect");
    zk_state.sounds[0].data_size = 1000;
    zk_state.sounds[1].name = const_cast<char*>("music");
    zk_state.sounds[1].data_size = 5 * 1024 * 1024;  // counted as music: 0
    zk_state.vertex_buffer_memory = 300;
    zk_state.index_buffer_memory = 20;

    Ask("RefreshMemUsageEstimates", nullptr);
    EXPECT_EQ(ZK_GetKeyStatei(2001), 800);
    EXPECT_EQ(ZK_GetKeyStatei(2002), 16 * 32 * 4);
    EXPECT_EQ(ZK_GetKeyStatei(2003), 800);
    EXPECT_EQ(ZK_GetKeyStatei(2004), 1000);
    EXPECT_EQ(ZK_GetKeyStatei(2005), 320);
    EXPECT_EQ(ZK_GetKeyStatei(2000), 800 + 16 * 32 * 4 + 1000 + 320);
}

TEST_F(ExtensionCallTest, ResourceListingShowsTheTop80) {
    static char names[100][16];
    for (int i = 0; i < 100; ++i) {
        snprintf(names[i], sizeof(names[i]), "snd%d", i);
        zk_state.sounds[i].name = names[i];
        zk_state.sounds[i].data_size = static_cast<uint32_t>(1024 * (i + 1));
    }
    zk_state.sounds[100].name = const_cast<char*>("theme");
    zk_state.sounds[100].data_size = 5 * 1024 * 1024;
    KeepPrintedLines();
    Ask("ListResourceUsage", nullptr);
    EXPECT_TRUE(WasPrinted("TOP80 Memory Hogs"));
    EXPECT_TRUE(WasPrinted("#001 SND 0.1MB snd99"));
    EXPECT_TRUE(WasPrinted("#080 SND 0.0MB snd20"));
    EXPECT_FALSE(WasPrinted("#081 SND 0.0MB snd19"));
    EXPECT_TRUE(WasPrinted("Assuming Sound #100 'theme' is music and not counting its memory"));
    EXPECT_TRUE(WasPrinted("Sound #000 'snd0' sysmem=1.0KB"));
}

// The pool walks hold the pool's lock: a walk waits while another thread
// holds it.
TEST_F(ExtensionCallTest, ResourceWalksWaitForThePoolLocks) {
    for (int lock : {ZK_CORE_MUTEX_GET_BITMAP, ZK_CORE_MUTEX_GET_SOUND, ZK_CORE_MUTEX_GET_FONT}) {
        for (const char* name : {"RefreshMemUsageEstimates", "ListResourceUsage"}) {
            static std::atomic<bool> done;
            done = false;
            ZKI_LockCoreMutex(lock);
            pthread_t walker;
            pthread_create(
                &walker, nullptr,
                [](void* n) -> void* {
                    ZK_CallExtension(static_cast<const char*>(n), nullptr);
                    done = true;
                    return nullptr;
                },
                const_cast<char*>(name));
            usleep(30 * 1000);
            EXPECT_FALSE(done) << name << " with lock " << lock;
            ZKI_UnlockCoreMutex(lock);
            pthread_join(walker, nullptr);
            EXPECT_TRUE(done);
        }
    }
}

TEST_F(ExtensionCallTest, ConsoleAddCommandRegistersACompletionWord) {
    KeepPrintedLines();
    Ask("Console_AddCommand", "spawn_enemy");
    EXPECT_STREQ(zk_console.GetAutoCompletionForString("spawn"), "spawn_enemy");
}

TEST_F(ExtensionCallTest, UrlsAreRecordedAndNeverOpened) {
    ZKD_ResetOpenURLRequests();
    KeepPrintedLines();
    for (const char* name : {"OpenURL", "ComposeMail", "IPHONE_OpenURL"})
        EXPECT_EQ(Ask(name, "https://example.org/a b"), "(null)");
    EXPECT_EQ(ZKD_GetNumberOfOpenURLRequests(), 3);
    EXPECT_STREQ(ZKD_GetLastOpenURLRequest(), "https://example.org/a b");
    EXPECT_TRUE(WasPrinted("[WARNING] [POPUP] Unable to open Mail Application. Sorry.\n"));
    Ask("OpenURL", nullptr);
    EXPECT_EQ(ZKD_GetNumberOfOpenURLRequests(), 3);
}

// Opening an address first drops a full-screen program to a window: its
// start parameters become windowed and the engine is asked to
// re-initialise with them. A windowed program, or none, is left as it is.
std::vector<zk_parms_t> reinitializations;
bool RecordReinitialization(zk_parms_t parms) {
    reinitializations.push_back(parms);
    return true;
}

TEST_F(ExtensionCallTest, OpeningAnAddressSwitchesAFullScreenProgramToAWindow) {
    zk->ZK_ReinitializeWithParameters = RecordReinitialization;
    for (const char* name : {"OpenURL", "ComposeMail", "IPHONE_OpenURL"}) {
        SCOPED_TRACE(name);
        zk_prog_t program = {};
        program.parms.width = 1280;
        program.parms.height = 720;
        program.parms.windowed = 0;
        zk_state.prog = &program;
        reinitializations.clear();
        Ask(name, "https://example.org/");
        EXPECT_EQ(program.parms.windowed, 1);
        ASSERT_EQ(reinitializations.size(), 1u);
        EXPECT_EQ(reinitializations[0].windowed, 1);
        EXPECT_EQ(reinitializations[0].width, 1280);
        EXPECT_EQ(reinitializations[0].height, 720);

        Ask(name, "https://example.org/");
        EXPECT_EQ(reinitializations.size(), 1u) << "already windowed";
        zk_state.prog = nullptr;
        Ask(name, "https://example.org/");
        EXPECT_EQ(reinitializations.size(), 1u) << "no program";
    }
    zk_state.prog = &zk_state.default_prog;
}

TEST_F(ExtensionCallTest, MouseDeltaGoesToKeys508And509) {
    ZKD_SetMouseDeltaForTesting(5, -3);
    EXPECT_EQ(Ask("ReadMouseDelta", nullptr), "(null)");
    EXPECT_EQ(ZK_GetKeyStatei(508), 5);
    EXPECT_EQ(ZK_GetKeyStatei(509), -3);
}

std::vector<std::string> reloads;
zk_bitmap_t* RecordCacheMode(zk_bitmap_t* bitmap, int mode) {
    reloads.push_back(std::string(bitmap->name) + " " + std::to_string(mode));
    return bitmap;
}
void RecordRefreshFont(zk_font_t* font) { reloads.push_back(std::string("font ") + font->name); }

TEST_F(ExtensionCallTest, CacheReloadTouchesReferencedReloadableResourcesOnly) {
    zk_graphics_api_t saved = *zk->graphics;
    zk->graphics->ZK_Graphics_SetBitmapCacheMode = RecordCacheMode;
    zk->graphics->ZK_Graphics_RefreshFont = RecordRefreshFont;
    struct Slot {
        const char* name;
        int16_t references;
        uint16_t flags;
    };
    const Slot slots[] = {{"reloadable", 1, 2}, {"!placeholder", 1, 2}, {"unused", 0, 2}, {"fixed", 3, 1}};
    for (int i = 0; i < 4; ++i) {
        zk_state.bitmaps[i].name = const_cast<char*>(slots[i].name);
        zk_state.bitmaps[i].reference_count = slots[i].references;
        zk_state.bitmaps[i].flags = slots[i].flags;
        zk_state.bitmaps[i].cache_mode = 4;
    }
    zk_state.num_bitmaps = 4;
    zk_state.fonts[0].name = const_cast<char*>("core/console.mft");
    zk_state.fonts[0].reference_count = 1;
    zk_state.fonts[1].name = const_cast<char*>("!generated");
    zk_state.fonts[1].reference_count = 1;
    zk_state.num_fonts = 2;

    reloads.clear();
    Ask("Cache", "Other");
    EXPECT_TRUE(reloads.empty());
    Ask("Cache", "ReloadResources");
    *zk->graphics = saved;
    EXPECT_EQ(reloads, (std::vector<std::string>{"reloadable 0", "reloadable 4", "font core/console.mft"}));
}

}  // namespace
