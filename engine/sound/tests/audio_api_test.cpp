// The audio sub-table as programs see it: its filling, sound switched off,
// channel 0 and the restart of the back end.

#include <functional>
#include <string>
#include <vector>

#include "engine/sound/sound_implementation.h"
#include "engine/sound/tests/sound_fixture.h"

namespace {

class AudioApiTest : public SoundTest {
protected:
    void TearDown() override {
        zk_state.prog = nullptr;
        zk_prog = nullptr;
        SoundTest::TearDown();
    }
};

template <class F>
const void* Address(F function) {
    return reinterpret_cast<const void*>(function);
}

TEST_F(AudioApiTest, TheSubTableHoldsTheEngineFunctionsInSlotOrder) {
    const void* expected[] = {
#define ZK_AUDIO_SLOT(ret, name, params, attributes) Address(name),
#include "engine/runtime/interface.def"
    };
    ASSERT_EQ(sizeof(expected) / sizeof(expected[0]), 24u);
    const void* const* slots = reinterpret_cast<const void* const*>(zk->audio);
    for (size_t i = 0; i < 24; ++i) EXPECT_EQ(slots[i], expected[i]) << "slot " << i;
    EXPECT_EQ(Address(zk->audio->ZK_Audio_GetChannelSound), Address(ZK_Audio_GetChannelSound));
    EXPECT_EQ(Address(zk->audio->ZK_Audio_StopMusic), Address(ZK_Audio_StopMusic));
}

// With sound switched off, playing, channels and music answer 0, false or
// null and reach nothing; the records keep working.
TEST_F(AudioApiTest, SwitchedOffSoundPlaysNothingButKeepsItsRecords) {
    zk_sound_t* boom = LoadedSound("boom", 60.0f);
    zk_sound_channel channel = zk->audio->ZK_Audio_PlaySound(boom, 1.0f, 0.0f, 1.0f);
    zk->audio->ZK_Audio_PlayMusic(boom, 1.0f, 0.0f);
    zk_sound_imp_man.Update();
    sound.Clear();
    zk_parms.no_sound = 1;

    zk_audio_api_t* a = zk->audio;
    EXPECT_EQ(a->ZK_Audio_PlaySound(boom, 1.0f, 0.0f, 1.0f), 0);
    EXPECT_EQ(a->ZK_Audio_PlaySoundDelayed(boom, 1.0f, 0.0f, 1.0f, false, 1.0f), 0);
    EXPECT_EQ(a->ZK_Audio_GetChannelSound(channel), nullptr);
    EXPECT_FALSE(a->ZK_Audio_IsChannelAlive(channel));
    EXPECT_EQ(a->ZK_Audio_GetMusicPlaying(), nullptr);
    a->ZK_Audio_SetChannelFrequency(channel, 2.0f);
    a->ZK_Audio_SetChannelLooping(channel, true);
    a->ZK_Audio_SetChannelPan(channel, 1.0f);
    a->ZK_Audio_SetChannelPaused(channel, true);
    a->ZK_Audio_SetChannelVolume(channel, 0.5f);
    a->ZK_Audio_SlideChannelVolume(channel, 0.5f, 1.0f);
    a->ZK_Audio_StopChannelWithFade(channel, 1.0f);
    a->ZK_Audio_StopChannel(channel);
    a->ZK_Audio_SetMasterVolume(0.5f);
    a->ZK_Audio_SetMusicPaused(true);
    a->ZK_Audio_SlideMusicVolume(0.5f, 1.0f);
    a->ZK_Audio_PlayMusic(LoadedSound("theme"), 1.0f, 0.0f);
    a->ZK_Audio_StopMusic(1.0f);
    EXPECT_EQ(zk_state.music_requested, 1);
    EXPECT_EQ(sound.Matching("LoadSound"), std::vector<std::string>{"LoadSound theme.wav"});
    EXPECT_EQ(sound.Calls().size(), 1u);

    EXPECT_EQ(a->ZK_Audio_LoadSound("boom"), boom);
    EXPECT_EQ(boom->reference_count, 2);
    a->ZK_Audio_ReleaseSound(boom);
    EXPECT_EQ(boom->reference_count, 1);

    zk_parms.no_sound = 0;
    EXPECT_TRUE(a->ZK_Audio_IsChannelAlive(channel));
    EXPECT_EQ(a->ZK_Audio_GetMusicPlaying(), boom);
}

TEST_F(AudioApiTest, ChannelZeroIsNoChannel) {
    zk_sound_t* boom = LoadedSound("boom", 60.0f);
    zk->audio->ZK_Audio_PlaySound(boom, 1.0f, 0.0f, 1.0f);
    // Make a bank with channel id 0 findable, as a removed bank is.
    zk_sound_imp_man.sound_banks[0].channel_id = 0;
    sound.Clear();
    zk_audio_api_t* a = zk->audio;
    EXPECT_EQ(a->ZK_Audio_GetChannelSound(0), nullptr);
    EXPECT_FALSE(a->ZK_Audio_IsChannelAlive(0));
    a->ZK_Audio_SetChannelVolume(0, 0.5f);
    a->ZK_Audio_SetChannelPan(0, 0.5f);
    a->ZK_Audio_StopChannel(0);
    a->ZK_Audio_StopChannelWithFade(0, 1.0f);
    a->ZK_Audio_SlideChannelVolume(0, 0.0f, 1.0f);
    EXPECT_TRUE(sound.Calls().empty());
    EXPECT_EQ(zk_sound_imp_man.num_sound_banks, 1);
}

TEST_F(AudioApiTest, RestartInstallsTheNullBackEndAndReloadsEverySound) {
    KeepLogLines();
    zk_prog_t program;
    program.parms.no_sound = 1;
    zk_state.prog = &program;
    zk_sound_t* boom = LoadedSound("boom", 60.0f);
    zk_sound_t* theme = LoadedSound("theme", 60.0f);
    zk_state.reference_counting = 0;
    zk->audio->ZK_Audio_ReleaseSound(theme);  // a free slot: skipped
    zk_sound_channel played = zk->audio->ZK_Audio_PlaySound(boom, 1.0f, 0.0f, 1.0f);
    ASSERT_NE(played, 0);
    sound.Clear();

    ZKI_ReInitSounds();
    EXPECT_EQ(zk_parms.no_sound, 1);  // the program's setting
    EXPECT_EQ(sound.Calls(), std::vector<std::string>{"Shutdown"});
    EXPECT_EQ(zk_state.sound_imp, GetSoundImpNull());
    EXPECT_EQ(zk_sound_imp_man.sound_imp, GetSoundImpNull());
    EXPECT_EQ(zk_sound_imp_man.num_sound_banks, 0);  // forgotten without being stopped
    EXPECT_EQ(TimesKept("SoundImplementation initialized."), 1);
    EXPECT_EQ(TimesKept("Sound Implementation initialized."), 0);
    EXPECT_STREQ(boom->file_name, "boom.wav");
    EXPECT_EQ(theme->name, nullptr);
    EXPECT_EQ(zk_sound_imp_man.next_channel_id, played + 1);
}

}  // namespace
