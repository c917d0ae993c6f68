// The frame step: time-step rules on an injected clock, the order of the
// program's steps, stack-balance reports, stereo and overlay-zoom passes,
// screen fitting, re-initialisation requests, queued popups and resource
// checks. Graphics go to a recording sub-table; the renderer, sound and
// input back ends and an extension module record the calls they get.

#include "engine/app/frame.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "engine/runtime/tests/recording_graphics.h"
#include "engine/drawing/batch_renderer.h"
#include "engine/screen/diagnostics.h"
#include "engine/render/renderer_null.h"
#include "engine/render/tests/recording_renderer.h"
#include "engine/sound/tests/recording_sound.h"
#include "engine/drawing/vertex_buffers.h"
#include "engine/runtime/backends.h"
#include "engine/runtime/interface_functions.h"
#include "engine/console/tests/console_fixture.h"
#include "engine/platform_services/extension_module.h"
#include "engine/services/extension_modules.h"

namespace {

// --- The injected clock ---------------------------------------------------------------

int64_t clock_now = 0;
int64_t clock_read_step = 0;  // added after every reading (spinning takes time)
int64_t clock_last_read = 0;
int64_t clock_base = 0;
std::vector<int64_t> sleeps;  // the waited time (last reading - base) at each sleep

int64_t FakeClock() {
    clock_last_read = clock_now;
    clock_now += clock_read_step;
    return clock_last_read;
}

void FakeSleep(int ms) {
    sleeps.push_back(clock_last_read - clock_base);
    clock_now += ms;
}

// --- Recorded steps -------------------------------------------------------------------------

std::vector<std::string> steps;
std::vector<std::string> console_lines;
bool init_result = true;
bool pause_modules = false;
void (*init_action)() = nullptr;
void (*draw_action)() = nullptr;

// The batch renderer's in-frame flag and the render-target stack, as the
// last step saw them: their changes between two steps are steps too.
bool seen_in_frame = false;
int seen_targets = 0;

// Each step is what a back end, the graphics table or the program saw.
// Three steps leave no call of their own: the start of the batch pass
// (its in-frame flag set), the end of its frame (cleared) and the pop of
// the frame's screen entry (the render-target stack emptied); they are
// noted, in their place, when the next step sees the change.
void Note(const std::string& step) {
    bool in_frame = zk_batch_renderer.in_frame != 0;
    int targets = zk_state.render_target_stack.count;
    if (in_frame && !seen_in_frame) steps.push_back("BeginBatchPass");
    if (seen_targets > 0 && targets == 0) steps.push_back("PopScreenRenderTarget");
    if (!in_frame && seen_in_frame) steps.push_back("FinishBatchFrame");
    seen_in_frame = in_frame;
    seen_targets = targets;
    steps.push_back(step);
}
void RecordLine(short type, const char* text) { console_lines.push_back(std::to_string(type) + ":" + text); }

bool ProgramInit() {
    Note("Init");
    if (init_action) init_action();
    return init_result;
}
void ProgramUpdate(float dt) { Note("Update " + recording_graphics::Number(dt)); }
void ProgramDraw(float) {
    Note("Draw eye " + std::to_string(zk_state.eye_mode));
    if (draw_action) draw_action();
}
int ProgramEvent(zk_event_t) {
    Note("Event");
    return 0;
}

// The renderer's calls that are steps of the frame, under the frame's
// names for them. A flush that draws is the only way the renderer is asked
// to draw here (the program draws through the recording table); the quick
// re-initialisation is how the renderer re-initialises; a buffer made in
// the renderer is the upload pass at work (a test queues one).
void NoteRendererCall(const std::string& call) {
    std::string operation = call.substr(0, call.find(' '));
    std::string arguments = call.size() > operation.size() ? call.substr(operation.size()) : "";
    if (operation == "FrameStart") Note("BeginFrame" + arguments);
    if (operation == "SetViewport") Note(call);
    if (operation == "DrawAtStartOfFrame") Note("BeginScene");
    if (operation == "DrawAtEndOfFrame") Note("EndScene");
    if (operation == "FrameReady") Note("EndFrame");
    if (operation == "DrawIndexedTriangles") Note("FlushBatch");
    if (operation == "AttemptReinitialize") Note("ReInitRenderer");
    if (operation == "CreateVertexBuffer") Note("UpdateResourceQueues");
}

// The sound back end's frame start and end; its shutdown is where the
// sound restart begins.
class FrameSound : public RecordingSound {
public:
    void FrameStart() override { Note("UpdateSound"); }
    void FrameReady() override { Note("EndSoundFrame"); }
    void Shutdown() override { Note("ReInitSounds"); }
};

class FrameInput : public InputImplementation {
public:
    void Initialize(zk_state_t*) override {}
    const char* CallExtension(const char*, const char*) override { return nullptr; }
    void ActivateWindow(bool) override {}
    void Update() override { Note("UpdateInputs"); }
    void FrameReady() override { Note("EndInputFrames"); }
};

class FrameModule : public ExtensionModule {
public:
    const char* GetName() override { return "Frame"; }
    bool Initialize(zekar_t*) override { return true; }
    bool ShouldPauseFrameTime() override { return pause_modules; }
    void Update(float dt) override { Note("UpdateExtensionModules " + recording_graphics::Number(dt)); }
    BaseImplementation* GetImplementationInterface(BaseImplementation::InterfaceType) override { return nullptr; }
};

// The graphics slots through which the screen transform, the default
// states (the only text box width set in a frame here), the border
// rectangles and the console's font (loaded by its first drawing, at the
// end of the HUD pass) show.
void NoteScreenTransform(const nTransform* m) {
    Note("PushScreenTransforms");
    recording_graphics::PushWorldTransform(m);
}
void NoteDefaultStates(const float& w) {
    Note("SetDefaultStates");
    recording_graphics::SetTextboxWidth(w);
}
void NoteBorder(const float& x, const float& y, const float& w, const float& h) {
    Note("DrawScreenBorderRectangles");
    recording_graphics::DrawRect(x, y, w, h);
}
zk_font_t* NoteHUDs(const char* name) {
    Note("UpdateAndDrawHUDs");
    return recording_graphics::LoadFont(name);
}

class FrameTest : public ZkConsoleTest {
protected:
    void SetUp() override {
        ZkConsoleTest::SetUp();
        graphics_.Install();
        zk->graphics->ZK_Graphics_PushWorldTransform = NoteScreenTransform;
        zk->graphics->ZK_Graphics_SetTextboxWidth = NoteDefaultStates;
        zk->graphics->ZK_Graphics_DrawRect = NoteBorder;
        steps.clear();
        console_lines.clear();
        sleeps.clear();
        clock_now = clock_base = 1000;
        clock_read_step = 0;
        init_result = true;
        pause_modules = false;
        init_action = nullptr;
        draw_action = nullptr;
        seen_in_frame = false;
        seen_targets = 0;
        zk_frame_clock = {FakeClock, FakeSleep};
        ZKI_ResetFrameTime();
        zk_console_line_hook = RecordLine;
        zk_run_no_popups = 1;  // keep popup texts off standard output
        zk_state.log_verbose_level = 0;  // warning popups too
        program_.Init = ProgramInit;
        program_.Update = ProgramUpdate;
        program_.Draw = ProgramDraw;
        program_.EventProc = ProgramEvent;
        snprintf(program_.title, sizeof(program_.title), "Test Program");
        zk_parms.width = 800;
        zk_parms.height = 480;
        zk_device_info.screen_width = 1024;
        zk_device_info.screen_height = 768;
        renderer_.attempt_reinitialize_result = true;
        renderer_.on_call = NoteRendererCall;
        renderer_.Install();
        zk_state.renderer_initialized = 1;
        zk_batch_renderer = BatchRenderer();
        zk_state.sound_imp = &sound_;
        zk_state.input_imps[0] = &input_;
        zk_state.num_input_imps = 1;
        ZK_RegisterExtensionModule(new FrameModule());
    }
    void TearDown() override {
        delete zk_memdog;  // made by a developer-mode frame
        zk_memdog = nullptr;
        ZK_ShutdownExtensionModules();
        zk_state.input_imps[0] = nullptr;
        zk_state.num_input_imps = 0;
        zk_state.sound_imp = nullptr;
        renderer_.Install();  // its buffers go back to it
        zk_batch_renderer.FreeBuffers();
        zk_batch_renderer = BatchRenderer();
        renderer_.Uninstall();
        graphics_.Restore();
        zk_frame_clock = {nullptr, nullptr};
        ZKI_ResetFrameTime();
        ri = nullptr;
        zk_device_info = zk_device_info_t();
        zk_parms = zk_parms_t();
        ZkConsoleTest::TearDown();
    }

    // Runs one frame `gap` milliseconds after the previous clock reading.
    void FrameAfter(int64_t gap) {
        clock_now += gap;
        ZKI_Frame();
    }

    // The console shown over the program in developer mode, slid in: the
    // HUD pass ends with its drawing, whose first font load notes the pass.
    void ShowConsole() {
        zk_state.developer_mode = 1;
        zk_console.enabled = 1;
        zk_console.overlay = 1;
        zk_console.slide = 1.0f;
        zk->graphics->ZK_Graphics_LoadFont = NoteHUDs;
    }

    static int Position(const std::string& step) {
        auto at = std::find(steps.begin(), steps.end(), step);
        return at == steps.end() ? -1 : static_cast<int>(at - steps.begin());
    }
    static int Count(const std::string& prefix) {
        return static_cast<int>(std::count_if(steps.begin(), steps.end(), [&](const std::string& s) {
            return s.compare(0, prefix.size(), prefix) == 0;
        }));
    }
    static std::vector<std::string> Popups() {
        std::vector<std::string> popups;
        for (const std::string& line : console_lines)
            if (line.find(":[POPUP] ") != std::string::npos) popups.push_back(line);
        return popups;
    }

    RecordingGraphics graphics_;
    RecordingRenderer renderer_;
    FrameSound sound_;
    FrameInput input_;
};

// --- Time step ------------------------------------------------------------------------------

TEST_F(FrameTest, TimeStepRules) {
    struct Case {
        const char* name;
        int min_frame_ms;
        bool developer;
        int64_t gap;
        int64_t read_step;
        float dt_low, dt_high;
        bool warned;
    } cases[] = {
        {"ordinary step", 0, false, 16, 0, 0.016f, 0.016f, false},
        {"200 ms is kept", 0, false, 200, 0, 0.2f, 0.2f, false},
        {"long gap", 0, false, 450, 0, 1.0f / 33.0f, 1.0f / 33.0f, false},
        {"just over 200 ms", 0, false, 201, 0, 1.0f / 33.0f, 1.0f / 33.0f, false},
        {"clock back, developer", 0, true, -5, 0, 0.001f, 0.001f, true},
        {"clock back", 0, false, -5, 0, 0.001f, 0.001f, false},
        {"clock back with a minimum", 16, false, -500, 1, 0.001f, 0.001f, false},
        {"minimum frame time", 16, false, 10, 1, 0.016f, 0.017f, false},
        {"minimum already passed", 16, false, 40, 1, 0.04f, 0.04f, false},
        {"minimum of 0 or less", -5, false, 0, 1, 0.0f, 0.0f, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ZKI_ResetFrameTime();
        console_lines.clear();
        sleeps.clear();
        zk_run_silent = 0;
        zk_state.log_verbose_level = 0;
        program_.parms.min_frame_time_ms = 0;
        program_.parms.developer_mode = c.developer;
        clock_read_step = 0;
        clock_now = 1000;
        ZKI_DetermineFrameTimeDelta();  // the first call only starts the clock
        EXPECT_EQ(zk_state.frame_time_delta, 0.0f);
        program_.parms.min_frame_time_ms = c.min_frame_ms;
        clock_read_step = c.read_step;
        clock_now += c.gap;
        clock_base = clock_now - c.gap;
        ZKI_DetermineFrameTimeDelta();
        EXPECT_GE(zk_state.frame_time_delta, c.dt_low - 1e-6f);
        EXPECT_LE(zk_state.frame_time_delta, c.dt_high + 1e-6f);
        // Sleeps of 1 ms happen only while more than 2 ms remain.
        for (int64_t waited : sleeps) EXPECT_LT(waited, c.min_frame_ms - 2);
        if (c.min_frame_ms > 0 && c.gap >= 0 && c.gap < c.min_frame_ms - 2) { EXPECT_FALSE(sleeps.empty()); }
        bool warned = !console_lines.empty() &&
                      console_lines.back().find("Found negative time delta in ZKI_DetermineFrameTimeDelta: ") !=
                          std::string::npos;
        EXPECT_EQ(warned, c.warned);
        zk_run_silent = 1;
    }
}

TEST_F(FrameTest, UpdateSeesWholeMillisecondsAndIsSkippedUnderOne) {
    struct Case {
        int64_t gap;
        bool paused;
        int updates;
        const char* update;
    } cases[] = {
        {16, false, 1, "Update 0.016"},
        {0, false, 0, nullptr},
        {33, true, 1, "Update 0"},  // paused modules stop the time, not the step
    };
    for (const Case& c : cases) {
        ZKI_ResetFrameTime();
        zk_state.prog_initialized = 1;
        clock_now = 1000;
        ZKI_DetermineFrameTimeDelta();
        steps.clear();
        pause_modules = c.paused;
        FrameAfter(c.gap);
        EXPECT_EQ(Count("Update "), c.updates) << c.gap;
        if (c.update) { EXPECT_GE(Position(c.update), 0) << c.gap; }
        EXPECT_EQ(Count("Draw eye"), 1) << c.gap;
    }
}

// --- The program's steps --------------------------------------------------------------------------

TEST_F(FrameTest, ProgramStepsRunInTheirOrderAndInitRunsOnce) {
    // Borders beside a letterboxed screen, and a buffer made on another
    // thread that waits for the upload pass.
    zk_state.autoscale_offset_x = 8.0f;
    zk_vertex_buffer_t* queued = nullptr;
    std::thread([&] {
        queued = zk->graphics->ZK_Graphics_CreateVertexBufferWithVertices(7, nullptr, 4, 0);
    }).join();
    ShowConsole();
    zk_state.queue_input_events = 1;
    ZKI_SendKeyEvent(ZK_EVENT_KEY_DOWN, 'A');
    FrameAfter(0);
    ZKI_SendKeyEvent(ZK_EVENT_KEY_UP, 'A');
    FrameAfter(16);
    EXPECT_EQ(Count("Init"), 1);
    EXPECT_EQ(Count("Event"), 2);
    std::vector<std::string> order = {"UpdateInputs", "UpdateSound", "BeginFrame 0", "BeginScene",
                                      "PushScreenTransforms", "Init", "Event", "Draw eye 0", "SetDefaultStates",
                                      "DrawScreenBorderRectangles", "EndScene", "UpdateAndDrawHUDs",
                                      "PopScreenRenderTarget", "UpdateResourceQueues", "EndSoundFrame", "FinishBatchFrame", "EndFrame",
                                      "EndInputFrames"};
    for (size_t i = 1; i < order.size(); ++i)
        EXPECT_LT(Position(order[i - 1]), Position(order[i])) << order[i - 1] << " before " << order[i];
    EXPECT_EQ(Position("SetViewport 0 0 1024 768 0 1"), Position("BeginFrame 0") + 1);
    // Events of a frame reach the program before its Update.
    auto second_event = std::find(steps.begin() + Position("Event") + 1, steps.end(), "Event");
    EXPECT_LT(second_event - steps.begin(), Position("Update 0.016"));
    // The screen transform and the screen entry with its transforms are
    // popped again, and text and colour are reset.
    EXPECT_EQ(graphics_.Matching("PushRenderTargets").size(), 2u);
    EXPECT_EQ(zk_state.world_transform_top, -1);
    EXPECT_EQ(zk_state.projection_transform_top, -1);
    EXPECT_EQ(zk_state.render_target_stack.count, 0);
    EXPECT_FALSE(graphics_.Matching("SetTextTransform 1 1 0").empty());
    EXPECT_TRUE(Popups().empty());
    zk->graphics->ZK_Graphics_FreeVertexBuffer(queued);
}

TEST_F(FrameTest, FailedInitIsReportedOnceAndTheProgramKeepsRunning) {
    init_result = false;
    FrameAfter(0);
    FrameAfter(16);
    EXPECT_EQ(Count("Init"), 1);
    EXPECT_EQ(Count("Draw eye"), 2);
    EXPECT_EQ(Popups(), std::vector<std::string>{"2:[POPUP] Program initialization failed."});
}

TEST_F(FrameTest, NothingRunsBeforeInitialisationOrWithoutAProgram) {
    zk_state.initialized = 0;
    FrameAfter(16);
    zk_state.initialized = 1;
    zk_prog = nullptr;
    FrameAfter(16);
    EXPECT_TRUE(steps.empty());
    EXPECT_TRUE(graphics_.calls.empty());
}

TEST_F(FrameTest, WithoutARendererOnlyTheEndOfFrameWorkRuns) {
    struct Case {
        bool renderer;
        bool initialized;
    } cases[] = {{false, true}, {true, false}};
    for (const Case& c : cases) {
        steps.clear();
        ri = c.renderer ? GetRendImpNull() : nullptr;  // a renderer that records nothing
        zk_state.renderer_initialized = c.initialized;
        zk_state.view_transform_top = 0;  // left over by an earlier frame
        console_lines.clear();
        FrameAfter(16);
        EXPECT_TRUE(steps.empty());
        EXPECT_EQ(Popups(), std::vector<std::string>{
                                "1:[POPUP] Transform stack is not empty at frame end: there are 1 more "
                                "zk->PushViewTransform calls than zk->PopViewTransform calls."});
    }
}

// --- Stack balance ----------------------------------------------------------------------------------

TEST_F(FrameTest, UnbalancedPushesInDrawAreReportedEveryFrame) {
    struct Case {
        const char* name;
        void (*draw)();
        std::vector<std::string> popups;
    } cases[] = {
        {"balanced",
         [] {
             zk->graphics->ZK_Graphics_PushViewTransform(nullptr);
             zk->graphics->ZK_Graphics_PopViewTransform();
         },
         {}},
        {"world", [] { zk->graphics->ZK_Graphics_PushWorldTransform(nullptr); },
         {"2:[POPUP] Too many Push(World)Transform calls made. Check your code."}},
        {"view", [] { zk->graphics->ZK_Graphics_PushViewTransform(nullptr); },
         {"2:[POPUP] Too many PushViewTransform calls made. Check your code.",
          "1:[POPUP] Transform stack is not empty at frame end: there are 1 more zk->PushViewTransform calls than "
          "zk->PopViewTransform calls."}},
        {"projection", [] { zk->graphics->ZK_Graphics_PushProjectionTransform(nullptr); },
         {"2:[POPUP] Too many PushProjectionTransform calls made. Check your code."}},
        {"render target", [] { zk->graphics->ZK_Graphics_PushRenderTarget(nullptr); },
         {"2:[POPUP] Too many PushRenderTarget(s) calls made. Check your code."}},
        // The program's pop took the screen transform, so the pop of the
        // frame's screen entry finds the world stack empty, and says so.
        {"popped too far", [] { zk->graphics->ZK_Graphics_PopWorldTransform(); },
         {"2:[POPUP] Too many Push(World)Transform calls made. Check your code.",
          "1:[POPUP] ZK_Graphics_PopWorldTransform: called too many times."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        zk_state.world_transform_top = zk_state.view_transform_top = zk_state.projection_transform_top = -1;
        zk_state.render_target_stack.count = 0;
        draw_action = c.draw;
        console_lines.clear();
        FrameAfter(16);
        EXPECT_EQ(Popups(), c.popups);
    }
}

TEST_F(FrameTest, StereoDrawsTwoPassesButRunsTheProgramStepOnce) {
    zk_state.render_stereo = 1;
    FrameAfter(16);
    FrameAfter(16);
    EXPECT_EQ(Count("Init"), 1);
    EXPECT_EQ(Count("Update "), 1);  // the first frame only starts the clock
    EXPECT_EQ(Count("Draw eye 1"), 2);
    EXPECT_EQ(Count("Draw eye 2"), 2);
    EXPECT_EQ(Count("BeginFrame 1"), 2);
    EXPECT_EQ(Count("BeginFrame 2"), 2);
    EXPECT_EQ(Count("EndFrame"), 2);  // one present per frame
    EXPECT_TRUE(Popups().empty());
}

TEST_F(FrameTest, OverlayZoomDrawsTheFrameIntoABufferOfTheDeviceSize) {
    zk_state.overlay_zoom = 0.5f;
    FrameAfter(16);
    zk_device_info.screen_width = 640;
    zk_device_info.screen_height = 480;
    FrameAfter(16);
    EXPECT_EQ(graphics_.Matching("CreateBitmap"),
              std::vector<std::string>{"CreateBitmap TRANSFORMED_FRAME_BUFFER 1024 768 format 8 type 1 depth 1 target 1"});
    EXPECT_EQ(graphics_.Matching("ResizeBitmap"), std::vector<std::string>{"ResizeBitmap 640 480"});
    EXPECT_EQ(zk_state.transformed_frame_buffer, &recording_graphics::CreatedBitmap());
    EXPECT_EQ(std::count(graphics_.calls.begin(), graphics_.calls.end(), "PushRenderTarget"), 2);
    EXPECT_EQ(graphics_.Matching("DrawBitmap 0 0").size(), 2u);
    EXPECT_EQ(zk_state.render_target_stack.count, 0);
    EXPECT_TRUE(Popups().empty());
    // Within 1e-6 of 1 there is no zoom.
    graphics_.calls.clear();
    zk_state.overlay_zoom = 1.0000001f;
    FrameAfter(16);
    EXPECT_EQ(std::count(graphics_.calls.begin(), graphics_.calls.end(), "PushRenderTarget"), 0);
}

TEST_F(FrameTest, RotationAngleEasesBetweenOrientations) {
    struct Case {
        int from, to;
        float time, duration;
        float angle;
    } cases[] = {
        {8, 4, 0.25f, 0.5f, 0.0f}, {8, 4, 0.0f, 0.5f, 90.0f}, {8, 8, 0.3f, 0.5f, 90.0f},
        {2, 2, 0, 0, 180.0f},      {4, 4, 0, 0, -90.0f},      {3, 3, 0, 0, 0.0f},
        {1, 1, 0, 0, 0.0f},        {6, 6, 0, 0, 0.0f},        {99, 99, 0, 0, 0.0f},
        {4, 8, 0.125f, 0.5f, -90.0f + 180.0f * 0.15625f},
    };
    for (const Case& c : cases) {
        zk_state.interface_orientation = c.from;
        zk_state.target_orientation = c.to;
        zk_state.orientation_transition_time = c.time;
        zk_state.orientation_transition_duration = c.duration;
        FrameAfter(0);  // a step of 0 leaves the rotation where it is
        EXPECT_NEAR(zk_state.interface_rotation_angle, c.angle, 1e-4) << c.from << " -> " << c.to;
    }
}

TEST_F(FrameTest, RotationEndsOnTheTargetWhenItsTimeIsUp) {
    zk_state.interface_orientation = 8;
    zk_state.target_orientation = 4;
    zk_state.orientation_transition_duration = 0.5f;
    ZKI_UpdateInterfaceOrientationRotation(0.3f);
    EXPECT_EQ(zk_state.interface_orientation, 8);
    ZKI_UpdateInterfaceOrientationRotation(0.3f);
    EXPECT_EQ(zk_state.interface_orientation, 4);
    EXPECT_EQ(zk_state.orientation_transition_time, 0.0f);
}

TEST_F(FrameTest, AllowedOrientationsFollowTheProgramsShape) {
    program_.parms.width = 800;
    program_.parms.height = 480;
    FrameAfter(16);
    EXPECT_EQ(zk_state.allowed_orientations, 12);
    program_.parms.width = 480;
    program_.parms.height = 800;
    FrameAfter(16);
    EXPECT_EQ(zk_state.allowed_orientations, 3);
}

// --- Screen fitting -------------------------------------------------------------------------------

TEST_F(FrameTest, ScreenFittingAfterEachFrame) {
    struct Case {
        const char* name;
        bool autoscale;
        bool retain_aspect;
        int device_w, device_h, device_orientation;
        int ref_w, ref_h;
        float zoom;
        float scale_x, scale_y, offset_x, offset_y;
        int overlay_x, overlay_y;
    } cases[] = {
        {"no autoscale", false, false, 1024, 768, 4, 800, 600, 1.0f, 0, 0, 0, 0, 0, 0},
        {"stretch", true, false, 1024, 768, 4, 800, 600, 1.0f, 1.28f, 1.28f, 0, 0, 0, 0},
        {"stretch unevenly", true, false, 1000, 600, 4, 800, 600, 1.0f, 1.25f, 1.0f, 0, 0, 0, 0},
        {"keep the aspect", true, true, 1000, 600, 4, 800, 600, 1.0f, 1.0f, 1.0f, 100, 0, 0, 0},
        {"device turned", true, true, 600, 1001, 1, 800, 600, 1.0f, 1.0f, 1.0f, 100, 0, 0, 0},
        {"zoomed out", false, false, 1024, 768, 4, 800, 600, 0.5f, 0, 0, 0, 0, 256, 192},
        {"zoomed and turned", false, false, 768, 1024, 1, 800, 600, 0.5f, 0, 0, 0, 0, 256, 192},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        zk_state.autoscale = c.autoscale;
        zk_state.product_feature_lists[0] = c.retain_aspect ? "AUTOSCALE_RETAIN_ASPECT_RATIO" : nullptr;
        zk_state.autoscale_scale_x = zk_state.autoscale_scale_y = 0;
        zk_state.autoscale_offset_x = zk_state.autoscale_offset_y = 0;
        zk_device_info.screen_width = c.device_w;
        zk_device_info.screen_height = c.device_h;
        zk_device_info.orientation = c.device_orientation;
        zk_parms.ref_width = program_.parms.ref_width = c.ref_w;
        zk_parms.ref_height = program_.parms.ref_height = c.ref_h;
        zk_state.overlay_zoom = c.zoom;
        zk_state.renderer_initialized = 0;  // fitting does not need the renderer
        FrameAfter(16);
        EXPECT_FLOAT_EQ(zk_state.autoscale_scale_x, c.scale_x);
        EXPECT_FLOAT_EQ(zk_state.autoscale_scale_y, c.scale_y);
        EXPECT_FLOAT_EQ(zk_state.autoscale_offset_x, c.offset_x);
        EXPECT_FLOAT_EQ(zk_state.autoscale_offset_y, c.offset_y);
        if (c.autoscale) { EXPECT_FLOAT_EQ(zk_state.autoscale_inverse_scale_x, 1.0f / c.scale_x); }
        EXPECT_EQ(zk_state.overlay_offset_x, c.overlay_x);
        EXPECT_EQ(zk_state.overlay_offset_y, c.overlay_y);
    }
    zk_state.product_feature_lists[0] = nullptr;
}

// --- Re-initialisation ----------------------------------------------------------------------------

TEST_F(FrameTest, ReinitialisationRequests) {
    struct Case {
        const char* name;
        zk_parms_t running, requested;
        bool platform_argument;
        int expect_windowed;
        const char* line;  // null: none
        bool renderer, sounds;
    } cases[] = {
        {"too small for fullscreen", {800, 600, 0}, {600, 400, 0}, false, 1,
         "3:Applying ReInit: 800x600 (w) -> 600x400 (w)", true, false},
        {"narrow only", {800, 600, 1}, {639, 480, 0}, false, 1, "3:Applying ReInit: 800x600 (w) -> 639x480 (w)", true,
         false},
        {"large fullscreen", {800, 600, 1}, {1024, 768, 0}, false, 0,
         "3:Applying ReInit: 800x600 (w) -> 1024x768 (fs)", true, false},
        {"nothing changed", {800, 600, 1}, {800, 600, 1}, false, 1, nullptr, false, false},
        {"small window stays", {800, 600, 1}, {320, 200, 1}, false, 1,
         "3:Applying ReInit: 800x600 (w) -> 320x200 (w)", true, false},
        {"platform argument", {800, 600, 1}, {1024, 768, 1}, true, 1, nullptr, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        steps.clear();
        console_lines.clear();
        zk_run_silent = 0;
        zk_parms = c.running;
        zk_state.parms = c.requested;
        zk_state.has_platform_argument = c.platform_argument;
        zk_state.reinit_requested = 1;
        ZKI_HandleReinitializationRequest();
        EXPECT_EQ(zk_state.reinit_requested, 0);
        EXPECT_EQ(zk_state.parms.windowed, c.expect_windowed);
        EXPECT_EQ(console_lines.size(), c.line ? 1u : 0u);
        if (c.line && !console_lines.empty()) { EXPECT_EQ(console_lines[0], c.line); }
        EXPECT_EQ(Count("ReInitRenderer"), c.renderer ? 1 : 0);
        EXPECT_EQ(Count("ReInitSounds"), c.sounds ? 1 : 0);
        zk_run_silent = 1;
    }
}

TEST_F(FrameTest, SoundSwitchedBackOnIsReinitialised) {
    zk_parms = zk_parms_t{800, 600, 1, 1};
    zk_state.parms = zk_parms_t{800, 600, 1, 0};
    program_.parms.no_sound = 1;
    zk_state.reinit_requested = 1;
    ZKI_HandleReinitializationRequest();
    EXPECT_EQ(Count("ReInitSounds"), 1);
    EXPECT_EQ(program_.parms.no_sound, 0);
    ZKI_HandleReinitializationRequest();  // served: nothing more
    EXPECT_EQ(Count("ReInitSounds"), 1);
}

TEST_F(FrameTest, PendingReinitialisationIsServedInTheFrameAfterAFlush) {
    zk_parms = zk_parms_t{800, 600, 1};
    zk_parms.width = 800;
    zk_state.parms = zk_parms_t{1024, 768, 1};
    zk_state.reinit_requested = 1;
    // The program's Init leaves a quad in the batch for the flush to draw.
    zk_batch_renderer.InitializeBuffers();
    init_action = [] {
        zk_vertex_t four[4] = {};
        zk_batch_renderer.DrawQuad(nullptr, four);
    };
    steps.clear();
    FrameAfter(16);
    EXPECT_LT(Position("FlushBatch"), Position("ReInitRenderer"));
    EXPECT_LT(Position("ReInitRenderer"), Position("Draw eye 0"));
}

// --- Popups and resources ---------------------------------------------------------------------------

TEST_F(FrameTest, QueuedPopupsAreShownByTheFrameInOrder) {
    ZKI_QueuePopup(ZK_MESSAGE_ERROR, "first");
    ZKI_QueuePopup(ZK_MESSAGE_WARNING, "second");
    zk_state.initialized = 0;
    ZKI_HandlePopups();
    EXPECT_EQ(ZKD_GetNumberOfPopups(), 0);
    zk_state.initialized = 1;
    FrameAfter(16);
    EXPECT_EQ(ZKD_GetNumberOfPopups(), 2);
    EXPECT_STREQ(ZKD_GetLastPopupText(), "second");
    EXPECT_EQ(ZKD_GetLastPopupType(), ZK_MESSAGE_WARNING);
    EXPECT_EQ(ZKI_GetNumberOfQueuedPopups(), 0);
    FrameAfter(16);
    EXPECT_EQ(ZKD_GetNumberOfPopups(), 2);
}

TEST_F(FrameTest, BrokenPoolEntriesAreListed) {
    zk_run_silent = 0;
    char name[] = "hero";
    zk_state.num_bitmaps = 2;
    zk_state.bitmaps[0].name = name;
    zk_state.bitmaps[1].name = name;
    zk_state.bitmaps[1].height = -1;
    zk_state.num_sounds = 1;
    zk_state.num_fonts = 2;
    zk_state.fonts[0].name = name;
    EXPECT_FALSE(ZKI_ValidateResources());
    EXPECT_EQ(console_lines, (std::vector<std::string>{"0:Bitmap 'hero' at index 1 is broken.",
                                                        "0:Sound at index 0 is broken (no name).",
                                                        "0:Font at index 1 is broken (no name)."}));
    zk_state.bitmaps[1].height = 4;
    zk_state.num_sounds = 0;
    zk_state.fonts[1].name = name;
    EXPECT_TRUE(ZKI_ValidateResources());
    zk_state.bitmaps[0].name = zk_state.bitmaps[1].name = zk_state.fonts[0].name = zk_state.fonts[1].name = nullptr;
    zk_run_silent = 1;
}

}  // namespace
