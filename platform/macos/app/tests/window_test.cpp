// The window side of the macOS layer: the frame step's decisions, the window
// setup and the application name, seen through the stand-in window objects.

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "engine/runtime/basic_functions.h"
#include "engine/app/frame.h"
#include "engine/app/startup.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/state.h"
#include "engine/runtime/threads.h"
#include "platform/macos/device/device.h"
#include "platform/macos/device/platform.h"
#include "platform/macos/app/window.h"
#include "platform/macos/app/shell.h"
#include "platform/macos/app/tests/app_test_support.h"

namespace {

using namespace macos_app_test;

// The engine frame reads the clock once it runs; counting the readings
// tells whether it ran.
int clock_readings = 0;
int64_t CountingClock() { return 1000 + 20 * ++clock_readings; }

int program_shutdowns = 0;
void CountShutdown() { ++program_shutdowns; }

// Whether the engine frame ran during one frame step.
bool FrameStepRanTheEngineFrame() {
    int before = clock_readings;
    ZK_OSX_Frame();
    return clock_readings != before;
}

class WindowLayer : public ::testing::Test, public WindowStandIns {
protected:
    void SetUp() override {
        ZKI_StateSetup(nullptr);
        ZKI_CreateCoreMutexes();
        zk->ZK_Printf = RecordPrintf;
        zk->ZK_ReinitializeWithParameters = RecordReinitialisation;
        zk_frame_clock.GetTime = CountingClock;
        ZKI_ResetFrameTime();
        PrintedLines().clear();
        Reinitialisations().clear();
        program_shutdowns = 0;
        zk_state.initialized = 1;
        snprintf(program.title, sizeof program.title, "%s", "Marble Run");
        program.Shutdown = CountShutdown;
    }
    void TearDown() override {
        zk_prog = nullptr;
        zk_frame_clock.GetTime = nullptr;
        ResetWindowedLayer();
    }

    zk_prog_t program;
};

TEST_F(WindowLayer, TheEngineFrameRunsForALoadedProgramUnlessFramesAreSkipped) {
    struct Case {
        bool program;
        int skip;
        bool runs;
        int skip_after;
    } cases[] = {
        {false, 0, false, 0}, {false, 1, false, 1},  // nothing to run, nothing counted down
        {true, 0, true, 0},   {true, 1, false, 0},   {true, 2, false, 1},
    };
    for (const Case& c : cases) {
        zk_prog = c.program ? &program : nullptr;
        zk_osx_skip_frame_update = c.skip;
        EXPECT_EQ(FrameStepRanTheEngineFrame(), c.runs) << c.program << " " << c.skip;
        EXPECT_EQ(zk_osx_skip_frame_update, c.skip_after) << c.program << " " << c.skip;
    }
    // One skipped frame, then the engine frame runs again.
    zk_prog = &program;
    zk_osx_skip_frame_update = 1;
    EXPECT_FALSE(FrameStepRanTheEngineFrame());
    EXPECT_TRUE(FrameStepRanTheEngineFrame());
    EXPECT_TRUE(PrintedLines().empty());
}

TEST_F(WindowLayer, EachStepRunsAsTheMainThreadAndLeavesTheFrameMutexFree) {
    zk_prog = &program;
    uint32_t id = 0;
    std::thread display_link([&id] {
        ZK_OSX_Frame();
        id = ZKT_GetCurrentThreadId();
    });
    display_link.join();
    EXPECT_EQ(id, 1u);
    zk_mutex_t* mutex = zk->ZK_GetMutex("ZK_OSX_FRAME");
    ASSERT_TRUE(ZKT_TryLockMutex(mutex));
    zk->ZK_UnlockMutex(mutex);
}

TEST_F(WindowLayer, AFullScreenToggleFlipsTheProgramsWindowedParameterOnce) {
    struct Case {
        bool program;
        int skip;
        uint8_t windowed;
        bool reinitialised;
    } cases[] = {
        {true, 0, 1, true},
        {true, 0, 0, true},
        {true, 1, 1, true},     // also while the engine frame is skipped
        {false, 0, 1, false},   // waits for a program
    };
    for (const Case& c : cases) {
        Reinitialisations().clear();
        zk_prog = c.program ? &program : nullptr;
        program.parms.windowed = c.windowed;
        program.parms.width = 1280;
        zk_osx_skip_frame_update = c.skip;
        zk_osx_should_toggle_fullscreen_next_frame = true;
        ZK_OSX_Frame();
        ZK_OSX_Frame();
        ASSERT_EQ(Reinitialisations().size(), c.reinitialised ? 1u : 0u) << c.program << " " << int(c.windowed);
        EXPECT_EQ(zk_osx_should_toggle_fullscreen_next_frame, !c.reinitialised);
        if (!c.reinitialised) continue;
        EXPECT_EQ(program.parms.windowed, c.windowed ? 0 : 1);
        EXPECT_EQ(Reinitialisations()[0].windowed, program.parms.windowed);
        EXPECT_EQ(Reinitialisations()[0].width, 1280);
    }
}

TEST_F(WindowLayer, ASignalledShutdownEndsTheEngineAndTheApplicationOnce) {
    ShowWindow();
    zk_prog = &program;
    zk_state.prog_initialized = 1;
    EXPECT_TRUE(FrameStepRanTheEngineFrame());
    EXPECT_EQ(program_shutdowns, 0);

    ZK_SignalShutdown();
    EXPECT_TRUE(FrameStepRanTheEngineFrame());  // the last frame still runs
    EXPECT_EQ(PrintedLines(), std::vector<std::string>{"Signalled shutdown, shutting down..."});
    EXPECT_TRUE(zk_osx_shut_down);
    EXPECT_EQ(program_shutdowns, 1);
    EXPECT_EQ(controller.terminate_requests, 1);
    EXPECT_EQ(zk_osx_main_controller, nullptr);
    zk_mutex_t* mutex = zk->ZK_GetMutex("ZK_OSX_FRAME");
    ASSERT_TRUE(ZKT_TryLockMutex(mutex));
    zk->ZK_UnlockMutex(mutex);

    // Later frames do nothing at all.
    EXPECT_FALSE(FrameStepRanTheEngineFrame());
    EXPECT_EQ(PrintedLines().size(), 1u);
    EXPECT_EQ(program_shutdowns, 1);
}

TEST_F(WindowLayer, NothingRunsWithoutTheInterfaceTable) {
    zk_prog = &program;
    zekar_t* table = zk;
    zk = nullptr;
    bool ran = FrameStepRanTheEngineFrame();
    zk = table;
    EXPECT_FALSE(ran);
}

// The setup flag changes between the two synchronisation calls.
std::vector<bool> pending_at_synchronisation;
void RecordBegin() { pending_at_synchronisation.push_back(zk_osx_window_setup_in_progress); }
void RecordEnd() { pending_at_synchronisation.push_back(zk_osx_window_setup_in_progress); }

TEST_F(WindowLayer, AWindowSetupNeedsTheWindowAndTheController) {
    struct Case {
        bool window, controller, view, fullscreen;
        bool set_up;
    } cases[] = {
        {true, true, true, false, true},  {true, true, true, true, true},
        {true, true, false, true, true},  // the request to a missing view goes nowhere
        {true, false, true, false, false}, {false, true, true, false, false},
    };
    for (const Case& c : cases) {
        window = zk_osx_window_t();
        controller = zk_osx_controller_t();
        view = zk_osx_view_t();
        zk_osx_main_window = c.window ? &window : nullptr;
        zk_osx_main_controller = c.controller ? &controller : nullptr;
        zk_opengl_view = c.view ? &view : nullptr;
        zk_osx_skip_frame_update = 0;
        zk_osx_window_setup_in_progress = false;
        pending_at_synchronisation.clear();
        zk->ZK_SynchronizeWithMainThreadBegin = RecordBegin;
        zk->ZK_SynchronizeWithMainThreadEnd = RecordEnd;

        ZK_OSX_SetupWindow(1024, 768, c.fullscreen);
        std::string what = std::to_string(c.window) + std::to_string(c.controller) + std::to_string(c.view);
        EXPECT_EQ(zk_osx_skip_frame_update, c.set_up ? 1 : 0) << what;
        EXPECT_EQ(zk_osx_window_setup_in_progress, c.set_up) << what;
        std::vector<bool> bracketed = {false, true};
        EXPECT_EQ(pending_at_synchronisation, c.set_up ? bracketed : std::vector<bool>()) << what;
        EXPECT_EQ(zk_osx_window_width, c.set_up ? 1024 : 0) << what;
        EXPECT_EQ(zk_osx_window_height, c.set_up ? 768 : 0) << what;
        EXPECT_EQ(view.resize_backbuffer_requests, c.set_up && c.view ? 1 : 0) << what;
        EXPECT_EQ(controller.fullscreen_mode_requests, c.set_up && c.fullscreen ? 1 : 0) << what;
        EXPECT_EQ(controller.windowed_mode_requests, c.set_up && !c.fullscreen ? 1 : 0) << what;
        zk_osx_window_width = zk_osx_window_height = 0;
    }
}

TEST_F(WindowLayer, TheAppNameGoesToTheWindowTitleAndTheMenu) {
    ShowWindow();
    ZK_OSX_SetAppName("Marble Run");
    EXPECT_STREQ(window.title.c_str(), "Marble Run");
    EXPECT_STREQ(controller.menu_app_name.c_str(), "Marble Run");
    ZK_OSX_SetAppName(nullptr);
    EXPECT_STREQ(window.title.c_str(), "Marble Run");
    zk_osx_main_controller = nullptr;
    ZK_OSX_SetAppName("Other");
    EXPECT_STREQ(window.title.c_str(), "Other");
    EXPECT_STREQ(controller.menu_app_name.c_str(), "Marble Run");
}

TEST_F(WindowLayer, CreatingTheWindowNamesItAndSetsItUpFromTheStartParameters) {
    ShowWindow();
    program.parms.width = 800;
    program.parms.height = 600;
    program.parms.windowed = 1;
    zk_state.prog = &program;
    EXPECT_TRUE(ZKID_CreateWindow());
    EXPECT_STREQ(window.title.c_str(), "Marble Run");
    EXPECT_STREQ(controller.menu_app_name.c_str(), "Marble Run");
    EXPECT_EQ(PrintedLines(), std::vector<std::string>{"Setting up macOS windows."});
    EXPECT_EQ(controller.windowed_mode_requests, 1);
    EXPECT_EQ(zk_osx_window_width, 800);
    EXPECT_EQ(zk_osx_window_height, 600);

    // Without a controller the window is only named.
    PrintedLines().clear();
    zk_osx_main_controller = nullptr;
    zk_osx_window_width = 0;
    snprintf(program.title, sizeof program.title, "%s", "Renamed");
    EXPECT_TRUE(ZKID_CreateWindow());
    EXPECT_STREQ(window.title.c_str(), "Renamed");
    EXPECT_TRUE(PrintedLines().empty());
    EXPECT_EQ(zk_osx_window_width, 0);
}

}  // namespace
