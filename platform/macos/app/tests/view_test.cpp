// The view and the application delegate of the windowed layer: display-link
// frames and the view's frame mutex, reshapes onto screens of another
// scale, the two window modes, activation, the application's end and the
// program's name in the menu.

#include <string>
#include <thread>
#include <vector>

#include <cstdlib>
#include <cstring>

#include "platform/macos/app/input.h"
#include "platform/macos/app/tests/app_test_support.h"

namespace macos_app_test {
namespace {

typedef std::vector<std::string> Words;

// Whether the frame step ran: it counts skipped frames down.
class MacView : public WindowedLayerTest {
protected:
    void SetUp() override {
        WindowedLayerTest::SetUp();
        Selections().clear();
        zk_console_line_hook = NoteSelection;
        ShowWindow();
    }
    void TearDown() override {
        zk_console_line_hook = nullptr;
        zk->ZKT_Sleep = ZKT_Sleep;
        WindowedLayerTest::TearDown();
    }

    // The resolution selections a reshape ran, by the line each begins
    // with ("select windowed"), then the screen sizes it reported, by the
    // re-initialisation each report asks for ("screen size 1024x640").
    static std::vector<std::string>& Selections() {
        static std::vector<std::string> selections;
        return selections;
    }
    static void NoteSelection(short, const char* text) {
        static const char kSelecting[] = "Selecting optimal resolution for ";
        if (strncmp(text, kSelecting, strlen(kSelecting)) != 0) return;
        std::string mode = text + strlen(kSelecting);
        Selections().push_back("select " + mode.substr(0, mode.find_first_of(" .")));
    }
    static Words Calls() {
        Words calls = Selections();
        for (const zk_parms_t& p : Reinitialisations())
            calls.push_back("screen size " + std::to_string(p.width) + "x" + std::to_string(p.height));
        return calls;
    }
    static void ClearCalls() {
        Selections().clear();
        Reinitialisations().clear();
    }
};

TEST_F(MacView, TheDisplayLinkSkipsAFrameWhileTheFrameMutexIsBusy) {
    struct Case {
        const char* what;
        bool shut_down, setting_up, busy, engine_running;
        zk_osx_draw_t drawn;
    } cases[] = {
        {"running", false, false, false, true, ZK_OSX_DRAW_ENGINE_FRAME},
        {"frame mutex busy", false, false, true, true, ZK_OSX_DRAW_SKIPPED},
        {"engine not running", false, false, false, false, ZK_OSX_DRAW_FLUSHED},
        {"window being set up", false, true, false, true, ZK_OSX_DRAW_BLACK},
        {"set up while busy", false, true, true, true, ZK_OSX_DRAW_BLACK},
        {"after shutdown", true, false, false, true, ZK_OSX_DRAW_NOTHING},
    };
    zk_mutex_t* frame = ZK_OSX_GetMainFrameMutex();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame, zk_osx_main_frame_mutex);
    EXPECT_STREQ(frame->name, "OS_X_MAIN_FRAME");
    EXPECT_EQ(zk->ZK_GetMutex("OS_X_MAIN_FRAME") == frame, false) << "the view's mutex is not a registered one";
    for (const Case& c : cases) {
        view = zk_osx_view_t();
        zk_osx_shut_down = c.shut_down;
        zk_osx_window_setup_in_progress = c.setting_up;
        zk_state.initialized = c.engine_running;
        zk_osx_skip_frame_update = 5;
        zk_device_info.screen_width = zk_device_info.screen_height = 0;
        if (c.busy) ZKT_LockMutex(frame);
        zk_osx_draw_t drawn = ZK_OSX_DrawView(&view);
        if (c.busy) ZKT_UnlockMutex(frame);

        EXPECT_EQ(drawn, c.drawn) << c.what;
        bool stepped = drawn == ZK_OSX_DRAW_ENGINE_FRAME;
        EXPECT_EQ(zk_osx_skip_frame_update, stepped ? 4 : 5) << c.what;
        EXPECT_EQ(zk_device_info.screen_width, stepped ? 800 : 0) << c.what;
        EXPECT_EQ(zk_device_info.screen_height, stepped ? 600 : 0) << c.what;
        EXPECT_EQ(view.black_frames, drawn == ZK_OSX_DRAW_BLACK ? 1 : 0) << c.what;
        EXPECT_EQ(view.flushed_frames, stepped || drawn == ZK_OSX_DRAW_FLUSHED ? 1 : 0) << c.what;
        // Whatever happened, the mutex is free again.
        ASSERT_TRUE(ZKT_TryLockMutex(frame)) << c.what;
        ZKT_UnlockMutex(frame);
    }
}

TEST_F(MacView, ABusyFrameMutexOnAnotherThreadSkipsTheFrameWithoutWaiting) {
    zk_mutex_t* frame = ZK_OSX_GetMainFrameMutex();
    ZKT_LockMutex(frame);
    zk_osx_draw_t drawn = ZK_OSX_DRAW_NOTHING;
    std::thread display_link([&] { drawn = ZK_OSX_DrawView(&view); });
    display_link.join();  // would hang if the display link waited
    ZKT_UnlockMutex(frame);
    EXPECT_EQ(drawn, ZK_OSX_DRAW_SKIPPED);
}

TEST_F(MacView, AReshapeOntoAScreenOfAnotherScaleSelectsTheResolutionAgain) {
    program_.parms.windowed = 1;
    // A landscape program (its size requests are not turned), a list to
    // select from, and the run's screen size, which every reshape reports.
    program_.parms.ref_width = 800;
    program_.parms.ref_height = 600;
    zk_state.supported_resolutions = strdup("1024x640");
    zk_state.screen_width = 1024;
    zk_state.screen_height = 640;
    zk_run_silent = 0;  // the selection's lines show that it ran
    struct Step {
        const char* what;
        float scale;
        Words calls;
        const char* line;
    } steps[] = {
        {"same scale as before", 1.0f, {"screen size 1024x640"}, "Desktop now 2880 x 1800 scale 1"},
        {"a double-density screen", 2.0f, {"select windowed", "screen size 1024x640"},
         "Desktop now 2880 x 1800 scale 2"},
        {"again on it", 2.0f, {"screen size 1024x640"}, "Desktop now 2880 x 1800 scale 2"},
        {"back", 1.0f, {"select windowed", "screen size 1024x640"}, "Desktop now 2880 x 1800 scale 1"},
        {"a screen without a scale", 0.0f, {"screen size 1024x640"}, "Desktop now 2880 x 1800 scale 1"},
    };
    for (const Step& s : steps) {
        ClearCalls();
        PrintedLines().clear();
        ZKD_SetScreenForTesting(2880, 1800, s.scale);
        ZK_OSX_Reshape();
        EXPECT_EQ(Calls(), s.calls) << s.what;
        EXPECT_EQ(PrintedLines(), Words{s.line}) << s.what;
        // The screen was measured (the line above); the report then made
        // the run's size the device's.
        EXPECT_EQ(zk_device_info.screen_width, 1024) << s.what;
        EXPECT_EQ(zk_device_info.screen_height, 640) << s.what;
    }

    // A full-screen program selects for full screen.
    ClearCalls();
    program_.parms.windowed = 0;
    zk_state.screen_width = 1440;
    zk_state.screen_height = 900;
    ZKD_SetScreenForTesting(2880, 1800, 2.0f);
    ZK_OSX_Reshape();
    EXPECT_EQ(Calls(), (Words{"select fullscreen", "screen size 1440x900"}));

    // Without the main window or a program nothing is measured.
    for (int missing = 0; missing < 2; ++missing) {
        ClearCalls();
        PrintedLines().clear();
        ZKD_SetScreenForTesting(1280, 800, missing ? 1.0f : 3.0f);
        zk_osx_main_window = missing == 0 ? nullptr : &window;
        zk_prog = missing == 1 ? nullptr : &program_;
        ZK_OSX_Reshape();
        EXPECT_TRUE(Calls().empty()) << missing;
        EXPECT_TRUE(PrintedLines().empty()) << missing;
        EXPECT_EQ(zk_device_info.screen_width, 1440) << missing;
    }
    zk_run_silent = 1;
    zk_prog = &program_;
}

TEST_F(MacView, TheBackBufferTakesTheSetUpSizeAndTheDeviceInfoTheWindowsScreen) {
    zk_osx_window_width = 1024;
    zk_osx_window_height = 768;
    ZK_OSX_ResizeBackbuffer(&view);
    EXPECT_EQ(view.backing_width, 1024);
    EXPECT_EQ(view.backing_height, 768);
    EXPECT_TRUE(view.wants_best_resolution);
    // A size not set up yet leaves the surface as it is.
    zk_osx_window_width = 0;
    ZK_OSX_ResizeBackbuffer(&view);
    EXPECT_EQ(view.backing_width, 1024);

    ZKD_SetScreenForTesting(2560, 1600, 2.0f);
    zk_device_info_t info;
    ZKID_Mac_UpdateDeviceInfo(&info);
    EXPECT_EQ(info.screen_width, 2560);
    EXPECT_EQ(info.screen_height, 1600);
    zk_device_info_t untouched;
    zk_osx_main_window = nullptr;
    ZKID_Mac_UpdateDeviceInfo(&untouched);
    EXPECT_EQ(untouched.screen_width, 0);
}

// --- Window modes ---------------------------------------------------------------------

// What a display-link callback did while the engine was asked to
// re-initialise, in the middle of a mode switch.
zk_osx_draw_t draw_during_switch = ZK_OSX_DRAW_NOTHING;
bool DrawWhileSwitching(zk_parms_t parms) {
    zk_osx_view_t view;
    std::thread display_link([&view] { draw_during_switch = ZK_OSX_DrawView(&view); });
    display_link.join();
    return RecordReinitialisation(parms);
}

TEST_F(MacView, FullScreenCoversTheScreenAndWindowedTakesTheSetUpSizeInPoints) {
    ZKD_SetScreenForTesting(2880, 1800, 2.0f);
    ZKD_DetermineBestScreenDimensions();
    zk_osx_window_width = 1280;
    zk_osx_window_height = 800;
    program_.parms.windowed = 1;

    zk_osx_window_setup_in_progress = true;
    ZK_OSX_GoFullscreenMode(&controller);
    EXPECT_EQ(PrintedLines(), Words{"Switching to full screen mode."});
    ASSERT_EQ(Reinitialisations().size(), 1u);
    EXPECT_EQ(Reinitialisations()[0].windowed, 0);
    EXPECT_EQ(program_.parms.windowed, 0);
    EXPECT_TRUE(controller.is_in_full_screen_mode);
    EXPECT_EQ(window.style_mask, ZK_OSX_STYLE_BORDERLESS);
    EXPECT_EQ(window.level, ZK_OSX_LEVEL_FULL_SCREEN);
    EXPECT_TRUE(window.opaque);
    EXPECT_TRUE(window.hides_on_deactivate);
    EXPECT_FLOAT_EQ(window.frame_width, 1440.0f);
    EXPECT_FLOAT_EQ(window.frame_height, 900.0f);
    EXPECT_TRUE(window.visible && window.key && window.accepts_mouse_moved_events);
    EXPECT_FALSE(zk_osx_window_setup_in_progress);

    for (int round = 0; round < 2; ++round) {
        PrintedLines().clear();
        Reinitialisations().clear();
        zk_osx_window_setup_in_progress = true;
        ZK_OSX_GoWindowedMode(&controller);
        EXPECT_EQ(PrintedLines(), Words{"Switching to windowed mode."});
        ASSERT_EQ(Reinitialisations().size(), 1u);
        EXPECT_EQ(Reinitialisations()[0].windowed, 1);
        EXPECT_FALSE(controller.is_in_full_screen_mode);
        EXPECT_FLOAT_EQ(window.content_width, 640.0f);
        EXPECT_FLOAT_EQ(window.content_height, 400.0f);
        EXPECT_EQ(window.times_centred, 1) << "centred on the first switch only";
        EXPECT_EQ(window.style_mask, ZK_OSX_STYLE_TITLED_CLOSABLE_MINIATURIZABLE);
        EXPECT_EQ(window.level, ZK_OSX_LEVEL_NORMAL);
        EXPECT_FALSE(window.opaque);
        EXPECT_FALSE(window.hides_on_deactivate);
        EXPECT_STREQ(window.title.c_str(), "Marble Run");
        EXPECT_TRUE(window.black_background && window.visible && window.key);
        EXPECT_FALSE(zk_osx_window_setup_in_progress);
    }

    // A screen that reports no scale sizes the window in pixels, not in
    // infinities.
    ZKD_SetScreenForTesting(0, 0, 0.0f);
    ZKD_DetermineBestScreenDimensions();
    ZK_OSX_GoWindowedMode(&controller);
    EXPECT_FLOAT_EQ(window.content_width, 1280.0f);
    EXPECT_FLOAT_EQ(window.content_height, 800.0f);
    // Full screen on no screen leaves a frame of no size, which the mouse
    // conversion refuses.
    ZK_OSX_GoFullscreenMode(&controller);
    EXPECT_FLOAT_EQ(window.frame_width, 0.0f);
    float x = 1, y = 1;
    EXPECT_FALSE(ZK_OSX_ConvertMousePosition(&controller, &x, &y));
}

TEST_F(MacView, NoEngineFrameOverlapsAModeSwitch) {
    zk->ZK_ReinitializeWithParameters = DrawWhileSwitching;
    for (bool full_screen : {true, false}) {
        draw_during_switch = ZK_OSX_DRAW_NOTHING;
        if (full_screen)
            ZK_OSX_GoFullscreenMode(&controller);
        else
            ZK_OSX_GoWindowedMode(&controller);
        EXPECT_EQ(draw_during_switch, ZK_OSX_DRAW_SKIPPED) << full_screen;
        EXPECT_EQ(ZK_OSX_DrawView(&view), ZK_OSX_DRAW_ENGINE_FRAME) << full_screen;
    }
}

TEST_F(MacView, TheToggleWaitsForTheNextFrameAndNeedsAProgram) {
    ZK_OSX_ToggleFullscreen();
    EXPECT_TRUE(zk_osx_should_toggle_fullscreen_next_frame);
    EXPECT_TRUE(Reinitialisations().empty());
    zk_osx_should_toggle_fullscreen_next_frame = false;
    zk_prog = nullptr;
    ZK_OSX_ToggleFullscreen();
    zk_prog = &program_;
    EXPECT_FALSE(zk_osx_should_toggle_fullscreen_next_frame);
}

// --- Activation and the application's end ----------------------------------------------

TEST_F(MacView, ActivationReachesTheEngineUnderTheFrameStepsMutex) {
    zk_state.app_active = 0;
    ZK_OSX_ApplicationDidBecomeActive();
    EXPECT_EQ(zk_state.app_active, 1);
    ZK_OSX_ApplicationWillResignActive();
    EXPECT_EQ(zk_state.app_active, 0);
    EXPECT_EQ(Delivered(), (Words{"activation lost 0", "activation lost 1"}));

    // The handler waits for a running frame step.
    zk_mutex_t* frame_step = zk->ZK_GetMutex("ZK_OSX_FRAME");
    zk->ZK_LockMutex(frame_step);
    std::thread platform([] { ZK_OSX_ApplicationDidBecomeActive(); });
    for (int i = 0; i < 20 && zk_state.app_active == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(zk_state.app_active, 0);
    zk->ZK_UnlockMutex(frame_step);
    platform.join();
    EXPECT_EQ(zk_state.app_active, 1);
    ASSERT_TRUE(ZKT_TryLockMutex(frame_step));
    zk->ZK_UnlockMutex(frame_step);
}

std::vector<int> sleeps;
void RecordSleep(int milliseconds) { sleeps.push_back(milliseconds); }

TEST_F(MacView, ClosingOrEndingTheApplicationSignalsTheEngineToShutDown) {
    EXPECT_FALSE(ZK_OSX_WindowShouldClose());
    EXPECT_TRUE(zk->ZK_IsShutdownSignalled());

    zk_state.shutdown_signalled = 0;
    sleeps.clear();
    zk->ZKT_Sleep = RecordSleep;
    ZK_OSX_ApplicationWillTerminate();
    EXPECT_TRUE(zk->ZK_IsShutdownSignalled());
    EXPECT_EQ(sleeps, std::vector<int>{100});
}

// --- The menu ---------------------------------------------------------------------------

zk_osx_menu_item_t Item(const char* title, std::initializer_list<zk_osx_menu_item_t> submenu = {}) {
    zk_osx_menu_item_t item;
    item.title = title;
    for (const zk_osx_menu_item_t& entry : submenu) item.submenu.InsertLast(entry);
    return item;
}

void CollectTitles(const nArray<zk_osx_menu_item_t>& menu, Words* titles) {
    for (int i = 0; i < menu.count; ++i) {
        titles->push_back(menu.items[i].title.c_str());
        CollectTitles(menu.items[i].submenu, titles);
    }
}

TEST_F(MacView, TheProgramsNameReplacesTheMenusPlaceholders) {
    controller.menu.InsertLast(Item("ZEKAR_APP_NAME", {Item("About ZEKAR_APP_NAME"), Item("Preferences"),
                                                       Item("Services", {Item("Hide ZEKAR_APP_NAME")}),
                                                       Item("Hide Others"), Item("Quit ZEKAR_APP_NAME")}));
    controller.menu.InsertLast(Item("Window", {Item("ZEKAR_APP_NAME Help"), Item("about ZEKAR_APP_NAME"),
                                               Item("Quit ZEKAR_APP_NAME ")}));
    ZK_OSX_SetAppName("Marble Run");
    Words titles;
    CollectTitles(controller.menu, &titles);
    EXPECT_EQ(titles, (Words{"Marble Run", "About Marble Run", "Preferences", "Services", "Hide Marble Run",
                             "Hide Others", "Quit Marble Run", "Window", "ZEKAR_APP_NAME Help",
                             "about ZEKAR_APP_NAME", "Quit ZEKAR_APP_NAME "}));
    EXPECT_STREQ(window.title.c_str(), "Marble Run");
}

}  // namespace
}  // namespace macos_app_test
