// The sound steps of the frame, of re-initialisation requests and of the
// application's activation, over the recording sound back end.

#include <string>
#include <vector>

#include "engine/app/activation.h"
#include "engine/app/frame.h"
#include "engine/render/renderer_null.h"
#include "engine/sound/sound_implementation.h"
#include "engine/sound/tests/sound_fixture.h"

namespace {

class FrameSoundTest : public SoundTest {
protected:
    void TearDown() override {
        zk_state.prog = nullptr;
        zk_prog = nullptr;
        ri = nullptr;
        zk_state.rend_imp = nullptr;
        zk_state.initialized = 0;
        zk_state.renderer_initialized = 0;
        SoundTest::TearDown();
    }

    // One frame of a program that does nothing, with the null renderer.
    void RunOneFrame() {
        zk_prog = &program_;
        ri = GetRendImpNull();
        zk_state.rend_imp = ri;
        zk_state.initialized = 1;
        zk_state.renderer_initialized = 1;
        ZKI_Frame();
    }

    zk_prog_t program_ = {};
};

// Sound switched back on in the requested parameters comes back on: the
// restart must see the new setting.
TEST_F(FrameSoundTest, SoundSwitchedBackOnThroughReinitialisationIsOn) {
    zk_prog_t program;
    program.parms.no_sound = 1;
    zk_state.prog = &program;
    zk_prog = &program;
    zk_parms.no_sound = 1;
    zk_state.parms = zk_parms;
    zk_state.parms.no_sound = 0;
    zk_state.has_platform_argument = 1;  // no renderer restart
    zk_state.reinit_requested = 1;
    ZKI_HandleReinitializationRequest();
    EXPECT_EQ(zk_parms.no_sound, 0);
    EXPECT_EQ(program.parms.no_sound, 0);
    EXPECT_EQ(zk_state.sound_imp, GetSoundImpNull());
}

TEST_F(FrameSoundTest, FrameAndActivationReachTheBackEnd) {
    zk_sound_t* boom = LoadedSound("boom", 60.0f);
    zk_sound_channel delayed = zk->audio->ZK_Audio_PlaySoundDelayed(boom, 1.0f, 0.0f, 1.0f, false, 0.5f);
    zk_state.app_active = 1;
    sound.Clear();
    clock.Advance(500);
    RunOneFrame();
    ZKI_ActivateApp(false);
    EXPECT_EQ(sound.Calls(), (std::vector<std::string>{"FrameStart", "PlaySound boom 1 0 1 -> 100", "FrameReady",
                                                       "ActivateWindow 0"}));
    EXPECT_TRUE(zk->audio->ZK_Audio_IsChannelAlive(delayed));
}

}  // namespace
