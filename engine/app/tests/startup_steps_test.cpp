// Steps of start-up and shutdown, the null program and the state helpers.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "engine/app/activation.h"
#include "engine/app/null_program.h"
#include "engine/app/tests/startup_test_support.h"
#include "engine/screen/renderer_interface.h"
#include "engine/sound/sound_implementation.h"
#include "engine/shaders/run_time_shaders.h"
#include "engine/runtime/basic_functions.h"
#include "engine/events/events.h"
#include "engine/runtime/screen.h"
#include "engine/services/extension_modules.h"
#include "platform/macos/device/device.h"
#include "platform/macos/device/platform.h"

// The command line the start-up tests run.
static int command_line_calls = 0;
static int RecordingCommandLine(int argc, char** /*argv*/) {
    ++command_line_calls;
    return argc * 10;
}

namespace {

class StartupStepsTest : public ::testing::Test {
protected:
    void SetUp() override { SetUpEngineForTest(); }
    void TearDown() override {
        // The engine's shutdown lets go of the extension modules a start
        // made; tests that start without shutting down do it here.
        ZK_ShutdownExtensionModules();
        StopKeepingPrintedLines();
        ri = nullptr;
        zk_prog = nullptr;
        ZKI_SetShutdownSleep(nullptr);
    }
};

TEST_F(StartupStepsTest, PreInitAndInitInstallTheNullProgramAndTheNullBackEnds) {
    EXPECT_TRUE(ZKI_PreInit(nullptr));
    EXPECT_EQ(zk_state.has_platform_argument, 0);
    EXPECT_EQ(zk_prog, &zk_null_prog);
    EXPECT_EQ(zk_state.prog, &zk_null_prog);
    EXPECT_EQ(zk_state.prog_initialized, 1);
    EXPECT_EQ(zk_null_prog.api_version, static_cast<uint32_t>(ZK_NULL_PROG_API_VERSION));
    EXPECT_EQ(zk_null_prog.Draw, ZK_NullProg_Draw);
    EXPECT_EQ(ri, GetRendImpNull());
    EXPECT_EQ(zk_state.rend_imp, ri);
    EXPECT_NE(zk_il, nullptr);
    for (int id = 0; id < ZK_NUM_CORE_MUTEXES; ++id) EXPECT_NE(zk_state.core_mutexes[id], nullptr);
    EXPECT_STREQ(zk_platform_info.os_name, "Mac OS X");
    EXPECT_EQ(zk_platform_info.platform_id, 2);

    EXPECT_TRUE(ZKI_Init());
    EXPECT_EQ(zk_state.initialized, 1);
    EXPECT_EQ(zk_state.renderer_initialized, 1);
    EXPECT_EQ(zk_state.queue_input_events, 1);
    EXPECT_EQ(zk_state.sound_imp, GetSoundImpNull());
    EXPECT_EQ(zk_state.reference_counting, 1);
    EXPECT_EQ(zk_state.show_fps + zk_state.render_stereo + zk_state.debug_draw_time_delta_test +
                  zk_state.debug_draw_black_screen,
              0);
    EXPECT_EQ(zk_state.render_target_stack.count, 1);

    int marker = 0;
    EXPECT_TRUE(ZKI_PreInit(&marker));
    EXPECT_EQ(zk_state.has_platform_argument, 1);
    EXPECT_EQ(zk_state.platform_argument, &marker);
}

// A second pre-initialisation frees the mutexes of the first. Whatever
// holds one must let go of it first: the PAK system locks its mutex as it
// is destroyed, and the console locks its own for every line, such as the
// popup of a user folder that cannot be found while the file systems start
// again (before the console is set up anew).
TEST_F(StartupStepsTest, ASecondPreInitLetsGoOfTheFirstOnesMutexesBeforeFreeingThem) {
    ASSERT_TRUE(ZKI_PreInit(nullptr));
    zk_state.console_enabled = 1;
    zk_console.Init();
    std::string unusable(300, 'x');
    const char* saved = getenv("XDG_DATA_HOME");
    std::string saved_value = saved ? saved : "";
    setenv("XDG_DATA_HOME", ("/" + unusable).c_str(), 1);
    bool again = ZKI_PreInit(nullptr);
    if (saved) {
        setenv("XDG_DATA_HOME", saved_value.c_str(), 1);
    } else {
        unsetenv("XDG_DATA_HOME");
    }
    EXPECT_TRUE(again);
    for (int id = 0; id < ZK_NUM_CORE_MUTEXES; ++id) EXPECT_NE(zk_state.core_mutexes[id], nullptr);
}

// Nor may anything keep a mutex or a record of the first state across a
// second set-up: the run-time shader translator locks its mutex for every
// translation and releases it at renderer shutdown, its queues name the
// state's shader records, and the extension modules' implementations hold
// mutexes of their own.
TEST_F(StartupStepsTest, ASecondSetUpLeavesNothingHoldingTheFirstStatesMutexesOrRecords) {
    ASSERT_TRUE(ZKI_PreInit(nullptr));
    ASSERT_TRUE(ZKI_Init());
    ASSERT_NE(shader_translator_mutex, nullptr);
    ASSERT_GT(zk_extension_implementations.count, 0);
    QueuedShaderData queued;
    queued.shader = &zk_state.shaders[0];
    queued_shader_data.InsertLast(queued);
    replaced_renderer_shaders.InsertLast(zk_shader_t());

    ZKI_StateSetup(nullptr);
    EXPECT_EQ(shader_translator_mutex, nullptr);
    EXPECT_EQ(queued_shader_data.count, 0);
    EXPECT_EQ(replaced_renderer_shaders.count, 0);
    EXPECT_EQ(zk_extension_implementations.count, 0);

    // The engine starts again and its renderer stops cleanly.
    ASSERT_TRUE(ZKI_PreInit(nullptr));
    ASSERT_TRUE(ZKI_Init());
    ZKI_ShutdownRendImp();
    EXPECT_EQ(shader_translator_mutex, nullptr);
}

TEST_F(StartupStepsTest, InitFeatureFlags) {
    ZKI_PreInit(nullptr);
    zk_state.product_feature_lists[0] = "DISABLE_REFERENCE_COUNTING,SHOW_FPS RENDER_STEREO";
    zk_state.product_feature_lists[1] = "DEBUG_DRAW_TIME_DELTA_TEST;DEBUG_DRAW_BLACK_SCREEN_INSTEAD_OF_PROGRAM";
    ZKI_Init();
    EXPECT_EQ(zk_state.reference_counting, 0);
    EXPECT_EQ(zk_state.show_fps, 1);
    EXPECT_EQ(zk_state.render_stereo, 1);
    EXPECT_EQ(zk_state.debug_draw_time_delta_test, 1);
    EXPECT_EQ(zk_state.debug_draw_black_screen, 1);
}

TEST_F(StartupStepsTest, SoundCanBeSwitchedOff) {
    ZKI_PreInit(nullptr);
    zk_state.prog->parms.no_sound = 1;
    KeepPrintedLines(3);
    ZKI_Init();
    EXPECT_TRUE(WasPrinted("[SYSTEM] Sounds disabled. Null Sound Implementation in use."));
    EXPECT_FALSE(WasPrinted("[SYSTEM] Sound Implementation initialized."));
}

TEST_F(StartupStepsTest, CommandLineResultIsPassedOnAndTheEngineFallsSilent) {
    zk_run_silent = 0;
    char program[] = "tool";
    char option[] = "-h";
    char* argv[] = {program, option, nullptr};
    int calls = command_line_calls;
    zk_command_line_main = RecordingCommandLine;
    EXPECT_EQ(ZKI_CallCommandLineMain(2, argv), 20);
    EXPECT_EQ(command_line_calls, calls + 1);
    EXPECT_EQ(zk_run_silent, 1);
    EXPECT_EQ(zk_run_no_popups, 1);
    zk_run_no_popups = 0;
}

// A renderer that lists two sizes of its own.
class ListingRenderer : public RendererImplementationNull {
public:
    void UpdateSupportedResolutions() override {
        supported_resolutions.count = 0;
        supported_resolutions.InsertLast(Resolution{1920, 1080});
        supported_resolutions.InsertLast(Resolution{800, 600});
        supported_resolutions.InsertLast(Resolution{3840, 2160});
    }
};

TEST_F(StartupStepsTest, SupportedResolutionsExpandToTheWindowedTableSortedDescending) {
    ListingRenderer renderer;
    ri = &renderer;
    zk_state.supported_resolutions = strdup("*");
    ZKI_ExpandSupportedResolutions();
    std::string text = zk_state.supported_resolutions;
    EXPECT_EQ(text.rfind("3840x2160,2560x1440,1920x1440,1920x1200,1920x1080,1856x1392,", 0), 0u) << text;
    EXPECT_EQ(text.substr(text.size() - 32), "1024x576,960x600,800x600,640x480");
    EXPECT_EQ(std::count(text.begin(), text.end(), ','), 26);  // 27 sizes, none twice
    free(zk_state.supported_resolutions);

    // Without "*" the text is left alone.
    zk_state.supported_resolutions = strdup("800x600");
    ZKI_ExpandSupportedResolutions();
    EXPECT_STREQ(zk_state.supported_resolutions, "800x600");
    free(zk_state.supported_resolutions);
    zk_state.supported_resolutions = nullptr;
    ri = nullptr;
}

TEST_F(StartupStepsTest, ProgramOwnResolutionNeedsFreeResolutionAndRoomOnTheDesktop) {
    zk_device_info.desktop_width = 1920;
    zk_device_info.desktop_height = 1080;
    zk_state.product_feature_lists[0] = "FREE_RESOLUTION";
    zk_prog_t prog;
    zk_state.prog = &prog;
    KeepPrintedLines(0);

    prog.parms.width = 1800;
    prog.parms.height = 1000;
    prog.parms.windowed = 1;
    ZKI_DetermineInitialScreenMode();
    EXPECT_EQ(zk_state.parms.width, 1800);
    EXPECT_EQ(zk_parms.height, 1000);
    EXPECT_FALSE(WasPrinted("Resolution is not supported, falling back to autoselected resolution for this run."));

    prog.parms.width = 1900;
    ZKI_DetermineInitialScreenMode();
    EXPECT_TRUE(WasPrinted("Resolution is not supported, falling back to autoselected resolution for this run."));
    EXPECT_TRUE(WasPrinted("Checking if program selected resolution (1900x1000 windowed) is supported by device."));
}

// A program that asks for its own size when the engine checks its
// parameters, through the table and parameters the event hands it.
int AskForOwnSize(zk_event_t event) {
    if (event.type != ZK_EVENT_PARAMETER_CHECK) return 0;
    zk_parameter_check_event_t check = ZKI_EventAs<zk_parameter_check_event_t>(event);
    if (check.table != zk || !check.parms) return 0;
    check.parms->width = 1024;
    check.parms->height = 700;
    return 1;
}

TEST_F(StartupStepsTest, ProgramMayChangeItsParametersBeforeTheScreenModeIsChosen) {
    zk_device_info.desktop_width = 1920;
    zk_device_info.desktop_height = 1080;
    zk_state.product_feature_lists[0] = "FREE_RESOLUTION";
    zk_prog_t prog;
    prog.EventProc = AskForOwnSize;
    prog.parms.windowed = 1;
    zk_state.prog = &prog;
    ZKI_DetermineInitialScreenMode();
    EXPECT_EQ(zk_state.parms.width, 1024);
    EXPECT_EQ(zk_state.parms.height, 700);
}

TEST_F(StartupStepsTest, Orientation) {
    struct Case {
        int ref_width, ref_height;
        bool fixed;
        int device_width, device_height;
        int allowed, interface_orientation, screen_width, screen_height;
    };
    const Case cases[] = {
        {800, 800, false, 0, 0, 12, 8, 1024, 768},     // square: landscape on a desktop
        {800, 800, true, 600, 800, 3, 8, 600, 800},    // square: portrait on a fixed device
        {480, 800, false, 0, 0, 3, 1, 1024, 768},
        {800, 480, true, 480, 800, 12, 8, 800, 480},   // portrait device, landscape program: swapped
    };
    for (const Case& c : cases) {
        zk_prog_t prog;
        prog.parms.width = 1024;
        prog.parms.height = 768;
        prog.parms.ref_width = c.ref_width;
        prog.parms.ref_height = c.ref_height;
        zk_state.prog = &prog;
        zk_state.override_parameters = 0;
        zk_device_info = zk_device_info_t();
        zk_device_info.fixed_resolution = c.fixed ? 1 : 0;
        zk_device_info.screen_width = c.device_width;
        zk_device_info.screen_height = c.device_height;
        ZKI_DetermineOrientation();
        EXPECT_EQ(zk_state.allowed_orientations, c.allowed) << c.ref_width << "x" << c.ref_height;
        EXPECT_EQ(zk_state.interface_orientation, c.interface_orientation);
        EXPECT_EQ(zk_state.target_orientation, c.interface_orientation);
        EXPECT_EQ(zk_state.screen_width, c.screen_width);
        EXPECT_EQ(zk_state.screen_height, c.screen_height);
        EXPECT_EQ(prog.parms.width, c.screen_width);
        EXPECT_EQ(zk_state.override_parameters, c.fixed ? 1 : 0);
    }
    zk_state.prog = &zk_state.default_prog;
}

TEST_F(StartupStepsTest, ZeroProgramSizeIsForcedToTheScreenSize) {
    zk_prog_t prog;
    zk_state.prog = &prog;
    zk_state.screen_width = 640;
    zk_state.screen_height = 480;
    KeepPrintedLines(0);
    ZKI_DetermineOrientation();
    EXPECT_TRUE(WasPrinted("Important parameter is 0: width=0 height=0 override=0. Forcing override."));
    EXPECT_TRUE(WasPrinted("Parameters after override: width=640 height=480 override=0."));
    EXPECT_EQ(prog.parms.width, 640);
    EXPECT_TRUE(WasPrinted("Native device screen buffer orientation: LANDSCAPE."));
}

TEST_F(StartupStepsTest, OrientationNames) {
    const char* expected[] = {"UNKNOWN", "PORTRAIT", "PORTRAIT", "UNKNOWN", "LANDSCAPE",
                              "UNKNOWN", "UNKNOWN",  "UNKNOWN",  "LANDSCAPE", "UNKNOWN"};
    for (int value = 0; value <= 9; ++value) EXPECT_STREQ(ZKI_GetOrientationName(value), expected[value]) << value;
}

TEST_F(StartupStepsTest, AutomaticLocaleComesFromThePlatform) {
    const char* saved = getenv("LC_ALL");
    std::string saved_value = saved ? saved : "";
    setenv("LC_ALL", "de_AT.UTF-8", 1);
    char locale[] = "auto";
    zk_state.locale = locale;
    zk_state.package_paths[1] = "base";
    KeepPrintedLines(3);
    ZKI_DetermineLocale();
    EXPECT_STREQ(zk_state.locale, "de");
    EXPECT_STREQ(zk_state.prog->parms.locale, "de");
    EXPECT_STREQ(zk_state.package_paths[1].c_str(), "base,data-de");
    EXPECT_TRUE(WasPrinted("[SYSTEM] Locale resolved to 'de'."));
    if (saved)
        setenv("LC_ALL", saved_value.c_str(), 1);
    else
        unsetenv("LC_ALL");

    zk_state.locale = nullptr;
    zk_state.prog->parms.locale = nullptr;
    ClearConsoleLines();
    ZKI_DetermineLocale();
    EXPECT_TRUE(WasPrinted("[SYSTEM] Locale not set."));
}

bool SavedInit() { return true; }

TEST_F(StartupStepsTest, InstalledProgramTakesTheCollectedDefaultsButKeepsVersionAndCallbacks) {
    zk_prog_t prog;
    prog.api_version = 0x00010203;
    prog.Init = SavedInit;
    snprintf(prog.id, sizeof(prog.id), "%s", "own id");
    prog.parms.width = 320;
    prog.parms.height = 200;
    prog.parms.developer_mode = 1;
    snprintf(zk_state.default_prog.id, sizeof(zk_state.default_prog.id), "%s", "collected");
    zk_state.default_prog.parms.multitouch = 1;
    zk_prog = &prog;
    ZKI_DetermineProgramParameters();
    EXPECT_STREQ(prog.id, "collected");
    EXPECT_EQ(prog.api_version, 0x00010203u);
    EXPECT_EQ(prog.Init, SavedInit);
    EXPECT_EQ(prog.parms.multitouch, 1);
    EXPECT_EQ(prog.parms.developer_mode, 1);  // handed over through the defaults
    EXPECT_EQ(zk_state.parms.width, 320);     // the program's own size fills an empty one
    EXPECT_EQ(zk_state.parms.height, 200);
    EXPECT_EQ(zk_state.prog, &prog);
}

// --- Null program and state helpers ------------------------------------------

std::vector<std::string> drawn;
void RecordAlpha(const float& a) { drawn.push_back("alpha " + std::to_string(a)); }
void RecordColor(const float& r, const float& g, const float& b) {
    drawn.push_back("color " + std::to_string(r) + " " + std::to_string(g) + " " + std::to_string(b));
}
void RecordBlend(zk_blend_mode_t mode) { drawn.push_back("blend " + std::to_string(mode)); }
void RecordClear(float r, float g, float b) {
    drawn.push_back("clear " + std::to_string(r) + " " + std::to_string(g) + " " + std::to_string(b));
}

TEST_F(StartupStepsTest, NullProgramDrawsAPlainGreenScreen) {
    zk_graphics_api_t saved = *zk->graphics;
    zk->graphics->ZK_Graphics_SetAlpha = RecordAlpha;
    zk->graphics->ZK_Graphics_SetColor = RecordColor;
    zk->graphics->ZK_Graphics_SetBlend = RecordBlend;
    zk->graphics->ZK_Graphics_ClearScreen = RecordClear;
    drawn.clear();
    zk_prog_t* prog = ZKI_GetNullProg();
    prog->Draw(0.016f);
    *zk->graphics = saved;
    EXPECT_EQ(drawn, (std::vector<std::string>{"alpha 1.000000", "color 1.000000 1.000000 1.000000", "blend 1",
                                               "clear 0.000000 1.000000 0.000000"}));
    EXPECT_TRUE(prog->Init());
    EXPECT_EQ(prog->EventProc(zk_event_t()), 0);
    EXPECT_EQ(prog->parms.windowed, 1);
    EXPECT_EQ(prog->parms.width, 0);
}

TEST_F(StartupStepsTest, ClearKeyStatesLeavesTheGapCodes) {
    for (int code : {0, 100, 254, 255, 800, 801, 863, 864, 928, 992, 1055, 1056}) ZK_SetKeyStatei(code, 5);
    ZKI_ClearKeyStates();
    for (int code : {0, 100, 254, 801, 863, 1055}) EXPECT_EQ(zk_state.key_states_i[code], 0) << code;
    for (int code : {255, 800, 864, 928, 992, 1056}) EXPECT_EQ(zk_state.key_states_i[code], 5) << code;
}

int32_t FirstDataWord(const zk_event_t& event) {
    int32_t word;
    memcpy(&word, reinterpret_cast<const char*>(&event) + sizeof(zk_event_type_t), sizeof(word));
    return word;
}

TEST_F(StartupStepsTest, ActivationChangesQueueOneEventEach) {
    zk_state.app_active = 1;
    zk_state.key_states_i[10] = 3;
    ZKI_ActivateApp(false);
    ZKI_ActivateApp(false);
    ASSERT_EQ(zk_state.event_queue.count, 1);
    EXPECT_EQ(zk_state.event_queue.items[0].type, static_cast<zk_event_type_t>(ZK_EVENT_ACTIVATION));
    EXPECT_EQ(FirstDataWord(zk_state.event_queue.items[0]), 1);
    EXPECT_EQ(zk_state.key_states_i[10], 0);
    ZKI_ActivateApp(true);
    ASSERT_EQ(zk_state.event_queue.count, 2);
    EXPECT_EQ(FirstDataWord(zk_state.event_queue.items[1]), 0);
    zk_state.shutdown_signalled = 1;
    ZKI_ActivateApp(false);
    EXPECT_EQ(zk_state.event_queue.count, 2);
    EXPECT_EQ(zk_state.app_active, 0);
}

TEST_F(StartupStepsTest, ValidateParms) {
    struct Case {
        int width, height;
        uint8_t windowed;
        uint8_t expected;
    };
    const Case cases[] = {{800, 400, 0, 1}, {640, 480, 0, 0}, {639, 480, 0, 1}, {320, 200, 1, 1}, {1920, 1080, 0, 0}};
    for (const Case& c : cases) {
        zk_parms_t parms;
        parms.width = c.width;
        parms.height = c.height;
        parms.windowed = c.windowed;
        ZKI_ValidateParms(&parms);
        EXPECT_EQ(parms.windowed, c.expected) << c.width << "x" << c.height;
    }
}

// --- Shutdown ------------------------------------------------------------------

int shutdown_calls = 0;
void CountShutdown() { ++shutdown_calls; }

// The shutdown wait sleeps through this instead of ZKT_Sleep.
std::vector<int> shutdown_sleeps;
void RecordSleep(int milliseconds) { shutdown_sleeps.push_back(milliseconds); }

TEST_F(StartupStepsTest, ShutdownWithoutThreadsDoesNotWaitAndCallsTheProgramOnce) {
    zk_prog_t prog;
    prog.Shutdown = CountShutdown;
    zk_prog = &prog;
    zk_state.prog_initialized = 1;
    shutdown_calls = 0;
    ZKI_SetShutdownSleep(RecordSleep);
    shutdown_sleeps.clear();
    ZEKAR_Shutdown();
    ZEKAR_Shutdown();
    EXPECT_TRUE(shutdown_sleeps.empty());
    EXPECT_EQ(shutdown_calls, 1);
    EXPECT_EQ(zk_state.prog_initialized, 0);
    EXPECT_TRUE(ZK_IsShutdownSignalled());
    EXPECT_FALSE(ZKI_ThreadsLeftRunningAtShutdown());
}

std::atomic<bool> release_worker;
std::atomic<bool> worker_done;
void WaitForRelease(void*) {
    while (!release_worker) ZKT_Sleep(1);
    worker_done = true;
}

TEST_F(StartupStepsTest, ThreadsLeftRunningAreWaitedForTwelveSecondsThenListed) {
    release_worker = false;
    worker_done = false;
    ASSERT_NE(ZK_CreateThread("sleeper", WaitForRelease, nullptr, 0), 0u);
    ZKI_SetShutdownSleep(RecordSleep);
    shutdown_sleeps.clear();
    KeepPrintedLines(0);
    ZEKAR_Shutdown();
    EXPECT_EQ(shutdown_sleeps, std::vector<int>(60, 200));
    EXPECT_TRUE(ZKI_ThreadsLeftRunningAtShutdown());
    EXPECT_TRUE(WasPrinted("[WARNING] Time out: 1 threads left running!"));
    EXPECT_TRUE(WasPrinted("List of threads alive:"));
    bool listed = false;
    for (const std::string& line : KeptLines())
        if (line.find("'sleeper' (id ") != std::string::npos) listed = true;
    EXPECT_TRUE(listed);
    release_worker = true;
    while (ZKT_GetNumberOfThreadsRunning() > 0) ZKT_Sleep(1);
    EXPECT_TRUE(worker_done);
    ZEKAR_Shutdown();
    EXPECT_FALSE(ZKI_ThreadsLeftRunningAtShutdown());
}

}  // namespace

namespace {

// A renderer that cannot be initialised.
class FailingRenderer : public RendererImplementationNull {
public:
    bool Initialize(zekar_t*, zk_state_t*, zk_parms_t*) override { return false; }
};

TEST_F(StartupStepsTest, RendererFailureEndsInitialisationWithAPlatformPopup) {
    ZKI_PreInit(nullptr);
    FailingRenderer renderer;
    ri = &renderer;
    zk_state.parms.width = 800;
    zk_state.parms.height = 600;
    zk_state.parms.windowed = 0;
    ZKD_ResetPopupRecord();
    KeepPrintedLines(2);
    EXPECT_FALSE(ZKI_Init());
    EXPECT_EQ(zk_state.initialized, 0);
    EXPECT_TRUE(WasPrinted(
        "[ERROR] Unable to initialize the renderer. Tried all listed renderers but was unable to initialize any."));
    EXPECT_TRUE(WasPrinted("[SYSTEM] Destroy Window.\n"));
    EXPECT_EQ(ZKD_GetNumberOfPopups(), 1);
    EXPECT_EQ(ZKD_GetLastPopupType(), ZK_MESSAGE_ERROR);
    EXPECT_EQ(std::string(ZKD_GetLastPopupText()).rfind("Unable to initialize the graphics (800x600 fullscreen). ", 0),
              0u);
    ri = nullptr;
}

}  // namespace
