// Applying new screen parameters to the running renderer: what the program,
// the renderer and the sound back end see and in which order, the quick and
// the full way, the keys released and the states put back; and the default
// render states of each frame's overlays.

#include "engine/screen/reinitialization.h"

#include <string>
#include <thread>
#include <vector>

#include "engine/runtime/tests/recording_graphics.h"
#include "engine/drawing/render_targets.h"
#include "engine/sound/sound_manager.h"
#include "engine/drawing/tests/graphics_fixture.h"
#include "engine/sound/tests/recording_sound.h"
#include "engine/events/events.h"
#include "engine/runtime/threads.h"

namespace {

// Everything the program, the renderer and the sound back end saw, in order.
std::vector<std::string> seen;

int KeepEvent(zk_event_t event) {
    if (event.type == ZK_EVENT_RENDERER_REINIT)
        seen.push_back("event 11 phase " + std::to_string(ZKI_EventAs<zk_renderer_reinit_event_t>(event).phase));
    if (event.type == ZK_EVENT_SCREEN_SIZE) {
        const zk_screen_size_event_t& size = ZKI_EventAs<zk_screen_size_event_t>(event);
        seen.push_back("event 12 " + std::to_string(size.width) + "x" + std::to_string(size.height));
    }
    return 0;
}

class ReinitializingSound : public RecordingSound {
public:
    bool AttemptReinitialize(zk_state_t*, zk_parms_t*) override {
        seen.push_back("sound AttemptReinitialize");
        return true;
    }
    void SetMasterVolume(float volume) override { seen.push_back("sound SetMasterVolume " + SoundNumber(volume)); }
};

// Whether another thread could take a core mutex right now.
bool FreeForOthers(int id) {
    bool free = false;
    std::thread other([&] {
        zk_mutex_t* mutex = zk_state.core_mutexes[id];
        free = ZKT_TryLockMutex(mutex);
        if (free) ZKT_UnlockMutex(mutex);
    });
    other.join();
    return free;
}

class ReinitializationTest : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        program_ = zk_prog_t();
        program_.EventProc = KeepEvent;
        program_.parms.width = program_.parms.ref_width = 640;
        program_.parms.height = program_.parms.ref_height = 480;
        program_.parms.windowed = 1;
        zk_prog = &program_;
        zk_parms = program_.parms;
        zk_state.initialized = 1;
        zk_state.parms = zk_parms;
        zk_state.parms.width = 1024;
        zk_state.parms.height = 768;
        zk_state.sound_imp = &sound_;
        zk_sound_imp_man.SetSoundImp(&sound_);
        zk_sound_imp_man.master_volume = 0.5f;
        const char* kept[] = {"AttemptReinitialize", "Shutdown", "Initialize"};
        renderer_.on_call = [kept](const std::string& call) {
            for (const char* name : kept)
                if (call.compare(0, call.find(' '), name) == 0) seen.push_back("renderer " + call);
            if (call.compare(0, 19, "AttemptReinitialize") == 0) {
                seen.push_back(std::string("bitmaps ") + (FreeForOthers(ZK_CORE_MUTEX_GET_BITMAP) ? "free" : "held"));
                seen.push_back(std::string("sounds ") + (FreeForOthers(ZK_CORE_MUTEX_GET_SOUND) ? "free" : "held"));
            }
        };
        // Inside the frame, the screen is the first render target.
        zk_graphics_api_t::RenderTargets screen = {};
        g()->ZK_Graphics_PushRenderTargets(&screen);
        seen.clear();
    }
    void TearDown() override {
        renderer_.on_call = nullptr;
        ZKI_PopScreenRenderTarget();
        zk_sound_imp_man.SetSoundImp(nullptr);
        zk_state.sound_imp = nullptr;
        zk_prog = nullptr;
        GraphicsTest::TearDown();
    }

    zk_prog_t program_;
    ReinitializingSound sound_;
};

TEST_F(ReinitializationTest, QuickReinitialisationTellsEveryoneInOrder) {
    renderer_.attempt_reinitialize_result = true;
    for (int key : {0, 100, 255, 256, 509, 510, 517, 518}) zk_state.key_states_i[key] = 3;
    int targets = zk_state.render_target_stack.count;
    int projections = zk_state.projection_transform_top;
    int worlds = zk_state.world_transform_top;

    ZKI_ReInitRenderer();

    EXPECT_EQ(seen, (std::vector<std::string>{"event 11 phase 0", "renderer AttemptReinitialize 1024 768 1",
                                              "bitmaps held", "sounds held", "sound AttemptReinitialize",
                                              "sound SetMasterVolume 0.5", "event 11 phase 1",
                                              "event 12 1024x768"}));
    EXPECT_TRUE(FreeForOthers(ZK_CORE_MUTEX_GET_BITMAP));
    EXPECT_TRUE(FreeForOthers(ZK_CORE_MUTEX_GET_SOUND));
    // The running parameters, the program and the device take the new size.
    EXPECT_EQ(zk_parms.width, 1024);
    EXPECT_EQ(zk_parms.height, 768);
    EXPECT_EQ(program_.parms.width, 1024);
    EXPECT_EQ(program_.parms.height, 768);
    EXPECT_EQ(zk_device_info.screen_width, 1024);
    EXPECT_EQ(zk_state.screen_height, 768);
    // Keys 0-255 and the pointer buttons are released; the rest stay.
    for (int key : {0, 100, 255, 510, 517}) EXPECT_EQ(zk_state.key_states_i[key], 0) << key;
    for (int key : {256, 509, 518}) EXPECT_EQ(zk_state.key_states_i[key], 3) << key;
    // Every stack is as it was.
    EXPECT_EQ(zk_state.render_target_stack.count, targets);
    EXPECT_EQ(zk_state.projection_transform_top, projections);
    EXPECT_EQ(zk_state.world_transform_top, worlds);
    EXPECT_TRUE(Popups().empty());
}

TEST_F(ReinitializationTest, AFailedQuickReinitialisationRestartsTheRenderer) {
    renderer_.attempt_reinitialize_result = false;
    zk_device_info.fixed_resolution = 1;

    ZKI_ReInitRenderer();

    EXPECT_EQ(seen, (std::vector<std::string>{"event 11 phase 0", "renderer AttemptReinitialize 1024 768 1",
                                              "bitmaps held", "sounds held", "renderer Shutdown",
                                              "renderer Initialize 1024x768 windowed", "sound AttemptReinitialize",
                                              "sound SetMasterVolume 0.5", "event 11 phase 1",
                                              "event 12 1024x768"}));
    EXPECT_TRUE(WasPrinted("3:Unable to do quick reinit. Doing full shutdown and init."));
    EXPECT_EQ(zk_state.renderer_initialized, 1);
    EXPECT_EQ(zk_parms.width, 1024);
    EXPECT_EQ(program_.parms.height, 768);
    // A fixed-resolution device keeps its own size.
    EXPECT_EQ(zk_device_info.screen_width, 640);
    EXPECT_EQ(zk_device_info.screen_height, 480);
}

TEST_F(ReinitializationTest, AutoscaledProgramsKeepTheirReferenceSize) {
    renderer_.attempt_reinitialize_result = true;
    zk_state.autoscale = 1;
    zk_state.overlay_zoom = 0.5f;

    ZKI_ReInitRenderer();

    // The program is told its own (virtual) size, the device runs the new one.
    EXPECT_EQ(seen.back(), "event 12 640x480");
    EXPECT_EQ(program_.parms.width, 640);
    EXPECT_FLOAT_EQ(zk_state.autoscale_scale_x, 1.6f);
    EXPECT_EQ(zk_state.overlay_offset_x, 256);
    EXPECT_EQ(zk_state.overlay_offset_y, 192);
}

TEST_F(ReinitializationTest, WithoutARendererNothingHappens) {
    renderer_.Uninstall();
    ZKI_ReInitRenderer();
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(zk_parms.width, 640);
}

TEST_F(ReinitializationTest, DefaultStatesOfTheOverlays) {
    RecordingGraphics graphics;
    graphics.Install();
    namespace r = recording_graphics;
    g()->ZK_Graphics_SetShader = [](zk_shader_t* shader) { r::Record(shader ? "SetShader shader" : "SetShader null"); };
    g()->ZK_Graphics_SetRenderStatei = [](zk_render_state_t state, int value) {
        r::Record("SetRenderStatei", {static_cast<float>(state), static_cast<float>(value)});
    };
    g()->ZK_Graphics_SetRenderStateb = [](zk_render_state_t state, bool value) {
        r::Record("SetRenderStateb", {static_cast<float>(state), value ? 1.0f : 0.0f});
    };
    ZKI_SetDefaultStates();
    EXPECT_EQ(graphics.calls,
              (std::vector<std::string>{"SetShader null", "SetAlpha 1", "SetColor 1 1 1", "SetBlend 1",
                                        "SetRenderStatei 14 0", "SetRenderStateb 10 0", "SetRenderStatei 11 3",
                                        "SetRenderStateb 12 0", "SetTextTransform 1 1 0", "SetTextboxWidth 0",
                                        "SetTextAlign 0"}));
    graphics.Restore();
}

}  // namespace
