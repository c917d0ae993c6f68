// The sound manager with the recording back end and the settable clock:
// play limits, channel handles, delayed starts, slides and fades, music
// hand-over, and the sweeps over the banks.

#include <cmath>
#include <string>
#include <vector>

#include "engine/runtime/tests/recording_graphics.h"
#include "engine/sound/tests/sound_fixture.h"

namespace {

class SoundManagerTest : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        manager.Update();  // the first frame: later frames measure from here
        sound.Clear();
    }

    // One frame `ms` after the previous one.
    void Frame(uint32_t ms) {
        clock.Advance(ms);
        manager.Update();
    }

    zk_sound_channel Play(zk_sound_t* s, float volume = 1.0f) {
        return zk->audio->ZK_Audio_PlaySound(s, volume, 0.0f, 1.0f);
    }

    int64_t NativeOf(zk_sound_channel channel) {
        int index = manager.GetSoundBankIndexByChannelId(channel);
        return index < 0 ? -1 : manager.sound_banks[index].native_channel_id;
    }

    // What the back end was asked, loads left out.
    std::vector<std::string> BackEndCalls() {
        std::vector<std::string> calls;
        for (const std::string& call : sound.Calls())
            if (call.compare(0, 10, "LoadSound ") != 0) calls.push_back(call);
        return calls;
    }

    // A fresh manager and pool for the next case of a table.
    void StartOver() {
        FreeSoundPool();
        manager = SoundImplementationManager();
        manager.SetSoundImp(&sound);
        clock.Advance(1000);
        manager.Update();
        sound.Reset();
        ForgetLines();
    }
};

TEST_F(SoundManagerTest, ASoundStartedAgainWithin25MsIsRefused) {
    struct Case {
        uint32_t gap_ms;
        bool plays;
    } cases[] = {{0, false}, {1, false}, {24, false}, {25, true}, {400, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gap_ms);
        StartOver();
        zk_sound_t* boom = LoadedSound("boom");
        zk_sound_t* bang = LoadedSound("bang");
        EXPECT_NE(Play(boom), 0);
        clock.Advance(c.gap_ms);
        EXPECT_EQ(Play(boom) != 0, c.plays);
        EXPECT_NE(Play(bang), 0);  // another sound is not held back
        EXPECT_EQ(sound.Matching("PlaySound boom").size(), c.plays ? 2u : 1u);
    }
}

TEST_F(SoundManagerTest, OneSoundPlaysAtMostTwentyTimesAtOnce) {
    zk_sound_t* boom = LoadedSound("boom", 10.0f);
    std::vector<zk_sound_channel> channels;
    for (int i = 0; i < 20; ++i) {
        channels.push_back(Play(boom));
        ASSERT_NE(channels.back(), 0) << "play " << i;
        clock.Advance(25);
    }
    EXPECT_EQ(manager.GetNumberOfSoundInstancesPlaying(boom), 20);
    EXPECT_EQ(Play(boom), 0);
    EXPECT_NE(Play(LoadedSound("bang")), 0);
    // Once one instance is over, a new one may start.
    sound.Finish(NativeOf(channels[0]));
    clock.Set(1000 + 10000);
    EXPECT_NE(Play(boom), 0);
    EXPECT_EQ(manager.GetNumberOfSoundInstancesPlaying(boom), 20);
    // Stopping one makes room at once.
    clock.Advance(25);
    EXPECT_EQ(Play(boom), 0);
    manager.StopChannel(channels[1]);
    EXPECT_NE(Play(boom), 0);
}

TEST_F(SoundManagerTest, ChannelHandlesCountUpAndAreNeverReused) {
    zk_sound_t* boom = LoadedSound("boom");
    zk_sound_channel first = Play(boom);
    EXPECT_EQ(first, 1);
    manager.StopChannel(first);
    clock.Advance(25);
    zk_sound_channel second = Play(boom);
    EXPECT_EQ(second, 2);
    EXPECT_EQ(manager.num_sound_banks, 1);  // the same bank, a new handle
    EXPECT_FALSE(manager.IsChannelAlive(first));
    manager.StopChannel(first);
    EXPECT_TRUE(manager.IsChannelAlive(second));
    // A re-installed back end forgets the banks but not the handles.
    manager.SetSoundImp(&sound);
    clock.Advance(25);
    EXPECT_EQ(Play(boom), 3);
}

TEST_F(SoundManagerTest, DelaysAboveFifteenSecondsAreCutWithAWarning) {
    zk_sound_t* boom = LoadedSound("boom");
    zk_sound_channel channel = zk->audio->ZK_Audio_PlaySoundDelayed(boom, 0.5f, 0.0f, 1.0f, false, 20.0f);
    ASSERT_NE(channel, 0);
    EXPECT_EQ(PopupsShown("Trying to play sound 'boom' with too long delay 20.0s (warning triggers at 15s)"), 1);
    Frame(14999);
    EXPECT_TRUE(manager.IsChannelAlive(channel));
    EXPECT_TRUE(sound.Matching("PlaySound").empty());
    Frame(1);
    EXPECT_EQ(sound.Matching("PlaySound"), std::vector<std::string>{"PlaySound boom 0.5 0 1 -> 100"});
    EXPECT_EQ(NativeOf(channel), 100);
}

TEST_F(SoundManagerTest, DelayedStartsHappenAtTheFirstFrameDue) {
    struct Case {
        float delay;
        uint32_t due_ms;  // 0: at once
    } cases[] = {{0.0f, 0}, {-1.0f, 0}, {NAN, 0}, {0.5f, 500}, {0.0101f, 10}, {15.0f, 15000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.delay);
        StartOver();
        zk_sound_t* boom = LoadedSound("boom");
        zk_sound_channel channel = manager.PlaySoundDelayed(boom, 1.0f, 0.0f, 1.0f, true, c.delay);
        ASSERT_NE(channel, 0);
        if (c.due_ms > 0) {
            EXPECT_TRUE(sound.Matching("PlaySound").empty());
            Frame(c.due_ms - 1);
            EXPECT_TRUE(sound.Matching("PlaySound").empty());
            Frame(1);
        }
        EXPECT_EQ(sound.Matching("PlaySound").size(), 1u);
        EXPECT_EQ(sound.Matching("SetChannelLooping").size(), 1u);
        EXPECT_EQ(PopupsShown("Trying to play sound 'boom' with too long delay 15.0s (warning triggers at 15s)"), 0);
    }
}

// A delayed start that the 25 ms rule refuses keeps its bank and is tried
// again at each later frame.
TEST_F(SoundManagerTest, RefusedDelayedStartIsTriedAgain) {
    zk_sound_t* boom = LoadedSound("boom");
    EXPECT_NE(Play(boom), 0);
    zk_sound_channel delayed = manager.PlaySoundDelayed(boom, 1.0f, 0.0f, 1.0f, false, 0.01f);
    Frame(10);
    Frame(10);
    EXPECT_EQ(sound.Matching("PlaySound").size(), 1u);
    EXPECT_TRUE(manager.IsChannelAlive(delayed));
    Frame(5);
    EXPECT_EQ(sound.Matching("PlaySound").size(), 2u);
    EXPECT_EQ(NativeOf(delayed), 101);
    Frame(100);
    EXPECT_EQ(sound.Matching("PlaySound").size(), 2u);
}

// Starting a delayed play cleans up finished plays of the same sound, which
// moves banks: the delayed bank must still be the one that starts, once.
TEST_F(SoundManagerTest, DelayedStartSurvivesTheCleanUpItCauses) {
    zk_sound_t* boom = LoadedSound("boom", 0.5f);
    zk_sound_channel first = Play(boom);
    zk_sound_channel delayed = manager.PlaySoundDelayed(boom, 1.0f, 0.0f, 1.0f, false, 1.0f);
    sound.Finish(NativeOf(first));
    Frame(1000);
    EXPECT_EQ(sound.Matching("PlaySound").size(), 2u);
    EXPECT_EQ(manager.num_sound_banks, 1);
    EXPECT_EQ(NativeOf(delayed), 101);
    EXPECT_EQ(manager.GetChannelSound(delayed), boom);
    Frame(30);
    Frame(30);
    EXPECT_EQ(sound.Matching("PlaySound").size(), 2u);
}

// That clean-up moves the last bank into the place of the finished one,
// which the frame has passed already: the moved bank still gets its step
// of the frame (here half of its slide).
TEST_F(SoundManagerTest, EveryBankStepsOnceAFrameWhateverMovesIt) {
    zk_sound_t* boom = LoadedSound("boom", 0.5f);
    zk_sound_channel finished = Play(boom);
    manager.PlaySoundDelayed(boom, 1.0f, 0.0f, 1.0f, false, 0.5f);
    zk_sound_channel hum = Play(LoadedSound("hum", 60.0f));
    manager.SlideChannelVolume(hum, 0.0f, 1.0f);
    int64_t hum_native = NativeOf(hum);
    sound.Finish(NativeOf(finished));
    Frame(500);
    EXPECT_EQ(sound.Matching("PlaySound").size(), 3u) << "the delayed play started";
    EXPECT_EQ(manager.num_sound_banks, 2);
    EXPECT_EQ(sound.Matching("SetChannelVolume"),
              std::vector<std::string>{"SetChannelVolume " + std::to_string(hum_native) + " 0.5"});
    Frame(500);
    EXPECT_EQ(sound.Matching("SetChannelVolume").size(), 2u);
    EXPECT_EQ(sound.Matching("SetChannelVolume").back(), "SetChannelVolume " + std::to_string(hum_native) + " 0");
}

TEST_F(SoundManagerTest, ChannelSlideFollowsTheClockAndEndsExactlyOnTarget) {
    zk_sound_t* boom = LoadedSound("boom", 60.0f);
    zk_sound_channel channel = Play(boom);
    manager.SlideChannelVolume(channel, 0.0f, 2.0f);
    Frame(500);
    Frame(500);
    Frame(1000);
    EXPECT_EQ(sound.Matching("SetChannelVolume"),
              (std::vector<std::string>{"SetChannelVolume 100 0.75", "SetChannelVolume 100 0.5", "SetChannelVolume 100 0"}));
    EXPECT_TRUE(manager.IsChannelAlive(channel));  // a slide is not a fade-out
    Frame(1000);
    EXPECT_EQ(sound.Matching("SetChannelVolume").size(), 3u);
}

TEST_F(SoundManagerTest, SlidesThatChangeNothingOrMeetAFadeOutAreIgnored) {
    struct Case {
        const char* name;
        float start, target;
        bool fading;
        std::vector<std::string> volumes;
        bool stopped;
    } cases[] = {
        {"to the same volume", 0.5f, 0.50009f, false, {}, false},
        {"to a different volume", 0.5f, 0.7f, false, {"SetChannelVolume 100 0.6", "SetChannelVolume 100 0.7"}, false},
        {"during a fade-out", 1.0f, 0.8f, true, {"SetChannelVolume 100 0.5"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartOver();
        zk_sound_channel channel = Play(LoadedSound("boom", 60.0f), c.start);
        if (c.fading) manager.StopChannelWithFade(channel, 1.0f);
        manager.SlideChannelVolume(channel, c.target, 1.0f);
        Frame(500);
        Frame(500);
        EXPECT_EQ(sound.Matching("SetChannelVolume"), c.volumes);
        EXPECT_EQ(sound.Matching("StopChannel").size(), c.stopped ? 1u : 0u);
        EXPECT_EQ(manager.IsChannelAlive(channel), !c.stopped);
    }
}

TEST_F(SoundManagerTest, FadeOutStopsTheChannelAtItsEnd) {
    zk_sound_t* boom = LoadedSound("boom", 60.0f);
    zk_sound_channel channel = Play(boom);
    zk_sound_channel other = Play(LoadedSound("bang", 60.0f));
    zk->audio->ZK_Audio_SlideChannelVolume(channel, 0.0f, 1.0f);  // a slide to silence fades out
    Frame(500);
    EXPECT_EQ(sound.Matching("SetChannelVolume"), std::vector<std::string>{"SetChannelVolume 100 0.5"});
    EXPECT_TRUE(zk->audio->ZK_Audio_IsChannelAlive(channel));
    Frame(500);
    EXPECT_EQ(sound.Matching("StopChannel"), std::vector<std::string>{"StopChannel 100"});
    EXPECT_FALSE(zk->audio->ZK_Audio_IsChannelAlive(channel));
    EXPECT_TRUE(zk->audio->ZK_Audio_IsChannelAlive(other));
    EXPECT_EQ(manager.num_sound_banks, 1);
}

TEST_F(SoundManagerTest, ChangesToAWaitingPlayWaitWithIt) {
    zk_sound_t* boom = LoadedSound("boom");
    zk_sound_channel channel = manager.PlaySoundDelayed(boom, 1.0f, 0.0f, 1.0f, false, 1.0f);
    manager.SlideChannelVolume(channel, 0.25f, 5.0f);
    manager.SetChannelPan(channel, -0.5f);
    manager.SetChannelFrequency(channel, 2.0f);
    manager.SetChannelPaused(channel, true);
    EXPECT_TRUE(BackEndCalls().empty());
    Frame(1000);
    EXPECT_EQ(BackEndCalls(), std::vector<std::string>{"PlaySound boom 0.25 -0.5 2 -> 100"});

    // A waiting play faded or slid to silence ends at once.
    zk_sound_channel waiting = manager.PlaySoundDelayed(boom, 1.0f, 0.0f, 1.0f, false, 1.0f);
    zk->audio->ZK_Audio_SlideChannelVolume(waiting, 0.0f, 3.0f);
    EXPECT_FALSE(manager.IsChannelAlive(waiting));
    Frame(2000);
    EXPECT_EQ(sound.Matching("PlaySound").size(), 1u);
}

TEST_F(SoundManagerTest, ChannelCommandsReachThePlayingChannel) {
    zk_sound_channel channel = Play(LoadedSound("boom", 60.0f), 0.5f);
    manager.SetChannelVolume(channel, 0.50005f);  // no audible change
    manager.SetChannelVolume(channel, 1.2f);
    manager.SetChannelVolume(channel, 0.0004f);
    manager.SetChannelPan(channel, 0.25f);
    manager.SetChannelFrequency(channel, 1.5f);
    manager.SetChannelLooping(channel, true);
    manager.SetChannelPaused(channel, true);
    manager.SetChannelVolume(channel + 1, 0.3f);  // no such channel
    EXPECT_EQ(BackEndCalls(), (std::vector<std::string>{
                                 "PlaySound boom 0.5 0 1 -> 100", "SetChannelVolume 100 1", "SetChannelVolume 100 0",
                                 "SetChannelPan 100 0.25", "SetChannelFrequency 100 1.5", "SetChannelLooping 100 1",
                                 "SetChannelPaused 100 1"}));
}

TEST_F(SoundManagerTest, FinishedChannelsAreForgottenUnlessTheyLoop) {
    zk_sound_t* boom = LoadedSound("boom");
    zk_sound_channel once = Play(boom);
    clock.Advance(25);
    zk_sound_channel looping = manager.PlaySound(boom, 1.0f, 0.0f, 1.0f, true);
    sound.Finish(NativeOf(once));
    sound.Finish(NativeOf(looping));
    EXPECT_EQ(manager.GetChannelSound(looping), boom);
    EXPECT_TRUE(manager.IsChannelAlive(looping));
    EXPECT_EQ(manager.GetChannelSound(once), nullptr);
    EXPECT_FALSE(manager.IsChannelAlive(once));
    EXPECT_EQ(manager.num_sound_banks, 1);
}

TEST_F(SoundManagerTest, MasterVolumeIsCleanedAndPassedOnWhenItChanges) {
    struct Step {
        float volume;
        const char* passed;  // null: nothing
    } steps[] = {{0.5f, "SetMasterVolume 0.5"}, {0.5f, nullptr}, {0.0005f, "SetMasterVolume 0"},
                 {-3.0f, nullptr},          {1.2f, "SetMasterVolume 1"}, {0.9995f, nullptr}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.volume);
        sound.Clear();
        zk->audio->ZK_Audio_SetMasterVolume(s.volume);
        EXPECT_EQ(sound.Calls(), s.passed ? std::vector<std::string>{s.passed} : std::vector<std::string>{});
    }
    EXPECT_EQ(manager.master_volume, 1.0f);
    sound.Clear();
    manager.SetSoundImp(&sound);
    manager.OnSoundImplementationInitialized();
    EXPECT_EQ(sound.Calls(), std::vector<std::string>{"SetMasterVolume 1"});
}

// Stopping every play of a sound stops all of them, also the one moved into
// the position just emptied.
TEST_F(SoundManagerTest, StopAllStopsEveryChannelOfTheSound) {
    zk_sound_t* boom = LoadedSound("boom", 60.0f);
    zk_sound_t* bang = LoadedSound("bang", 60.0f);
    zk_sound_channel b1 = Play(boom);
    zk_sound_channel other = Play(bang);
    clock.Advance(25);
    zk_sound_channel b2 = Play(boom);
    clock.Advance(25);
    zk_sound_channel b3 = Play(boom);
    manager.StopAllChannelsPlayingSound(boom);
    EXPECT_EQ(sound.Matching("StopChannel"),
              (std::vector<std::string>{"StopChannel 100", "StopChannel 103", "StopChannel 102"}));
    for (zk_sound_channel c : {b1, b2, b3}) EXPECT_FALSE(manager.IsChannelAlive(c)) << c;
    EXPECT_TRUE(manager.IsChannelAlive(other));
    EXPECT_EQ(manager.num_sound_banks, 1);
    EXPECT_EQ(manager.GetNumberOfSoundInstancesPlaying(boom), 0);
}

// Counting instances cleans finished ones up; the play moved into the
// position of a removed one still counts.
TEST_F(SoundManagerTest, InstanceCountWithSeveralChannelsOfOneSound) {
    zk_sound_t* boom = LoadedSound("boom", 0.5f);
    zk_sound_channel finished = Play(boom);
    Play(LoadedSound("bang", 60.0f));
    clock.Advance(25);
    zk_sound_channel second = Play(boom);
    clock.Advance(25);
    zk_sound_channel third = manager.PlaySound(boom, 1.0f, 0.0f, 1.0f, true);
    sound.Finish(NativeOf(finished));
    clock.Advance(1000);
    EXPECT_EQ(manager.GetNumberOfSoundInstancesPlaying(boom), 2);
    EXPECT_FALSE(manager.IsChannelAlive(finished));
    EXPECT_TRUE(manager.IsChannelAlive(second));
    EXPECT_TRUE(manager.IsChannelAlive(third));
    EXPECT_EQ(manager.num_sound_banks, 3);
}

TEST_F(SoundManagerTest, AllBanksInUseRefusePlaysAndRefusedPlaysFreeTheirBankLater) {
    zk_sound_t* boom = LoadedSound("boom");
    for (int i = 0; i < 256; ++i) ASSERT_NE(manager.PlaySoundDelayed(boom, 1.0f, 0.0f, 1.0f, false, 10.0f), 0);
    EXPECT_EQ(manager.PlaySoundDelayed(boom, 1.0f, 0.0f, 1.0f, false, 10.0f), 0);
    EXPECT_EQ(Play(LoadedSound("bang")), 0);
    StartOver();
    boom = LoadedSound("boom");
    EXPECT_NE(Play(boom), 0);
    EXPECT_EQ(Play(boom), 0);  // too soon: its bank stays taken, without a sound
    EXPECT_EQ(manager.num_sound_banks, 2);
    manager.CleanUpSoundBanks();
    EXPECT_EQ(manager.num_sound_banks, 1);
}

TEST_F(SoundManagerTest, NewMusicTakesOverAfterTheOldFadesOut) {
    zk_sound_t* first = LoadedSound("first", 120.0f);
    zk_sound_t* second = LoadedSound("second", 120.0f);
    zk->audio->ZK_Audio_PlayMusic(first, 1.0f, 0.0f);
    EXPECT_EQ(zk->audio->ZK_Audio_GetMusicPlaying(), first);
    Frame(16);
    EXPECT_EQ(BackEndCalls(), std::vector<std::string>{"PlayMusic first 1"});
    EXPECT_EQ(zk_state.music_requested, 1);

    sound.Clear();
    zk->audio->ZK_Audio_PlayMusic(second, 1.0f, 0.0f);
    EXPECT_EQ(zk->audio->ZK_Audio_GetMusicPlaying(), second);
    Frame(500);
    EXPECT_EQ(sound.Calls(), std::vector<std::string>{"SetMusicVolume 0.495"});  // fading to just below silence
    sound.Clear();
    Frame(500);
    EXPECT_EQ(sound.Calls(), (std::vector<std::string>{"StopMusic", "PlayMusic second 1", "SetMusicVolume 1"}));
    EXPECT_EQ(manager.current_music, second);
}

TEST_F(SoundManagerTest, MusicFadesIn) {
    struct Case {
        float volume, fade_in;
        std::vector<std::string> calls;
    } cases[] = {
        {0.8f, 2.0f, {"PlayMusic theme 0", "SetMusicVolume 0", "SetMusicVolume 0.4", "SetMusicVolume 0.8"}},
        {0.8f, 0.0f, {"PlayMusic theme 0.8", "SetMusicVolume 0.8"}},
        {0.0f, 2.0f, {"PlayMusic theme 0", "SetMusicVolume 0"}},  // silent music has nothing to fade in
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fade_in);
        StartOver();
        zk->audio->ZK_Audio_PlayMusic(LoadedSound("theme", 120.0f), c.volume, c.fade_in);
        Frame(10);
        Frame(1000);
        Frame(1000);
        Frame(1000);
        EXPECT_EQ(BackEndCalls(), c.calls);
    }
}

TEST_F(SoundManagerTest, MusicVolumeChanges) {
    zk_sound_t* theme = LoadedSound("theme", 120.0f);
    zk->audio->ZK_Audio_PlayMusic(theme, 1.0f, 0.0f);
    zk->audio->ZK_Audio_SlideMusicVolume(0.5f, 2.0f);  // still pending: only its volume changes
    Frame(10);
    EXPECT_EQ(BackEndCalls(), (std::vector<std::string>{"PlayMusic theme 0.5", "SetMusicVolume 0.5"}));

    sound.Clear();
    zk->audio->ZK_Audio_PlayMusic(theme, 1.0f, 0.0f);  // the same music again: a slide
    Frame(500);
    Frame(500);
    EXPECT_EQ(sound.Calls(), (std::vector<std::string>{"SetMusicVolume 0.75", "SetMusicVolume 1"}));

    sound.Clear();
    zk->audio->ZK_Audio_SlideMusicVolume(0.995f, 1.0f);  // close enough: nothing
    Frame(1000);
    EXPECT_TRUE(sound.Calls().empty());
}

TEST_F(SoundManagerTest, StoppedMusicFadesOutAndIsNoLongerPlaying) {
    zk_sound_t* theme = LoadedSound("theme", 120.0f);
    zk->audio->ZK_Audio_StopMusic(1.0f);  // nothing requested: nothing to stop
    zk->audio->ZK_Audio_PlayMusic(theme, 1.0f, 0.0f);
    Frame(10);
    sound.Clear();
    zk->audio->ZK_Audio_StopMusic(2.0f);
    EXPECT_EQ(zk_state.music_requested, 0);
    EXPECT_EQ(zk->audio->ZK_Audio_GetMusicPlaying(), nullptr);
    Frame(1000);
    Frame(1000);
    EXPECT_EQ(sound.Calls(), (std::vector<std::string>{"SetMusicVolume 0.495", "StopMusic"}));
    EXPECT_EQ(manager.current_music, nullptr);
}

TEST_F(SoundManagerTest, PausedMusicHoldsItsSlide) {
    zk_sound_t* theme = LoadedSound("theme", 120.0f);
    zk->audio->ZK_Audio_PlayMusic(theme, 1.0f, 0.0f);
    Frame(10);
    zk->audio->ZK_Audio_SlideMusicVolume(0.0f, 1.0f);
    zk->audio->ZK_Audio_SetMusicPaused(true);
    Frame(2000);
    zk->audio->ZK_Audio_SetMusicPaused(false);
    Frame(500);
    EXPECT_EQ(sound.Matching("SetMusic"),
              (std::vector<std::string>{"SetMusicPaused 1", "SetMusicPaused 0", "SetMusicVolume 0.5"}));
}

TEST_F(SoundManagerTest, BankListShowsEveryBankInUse) {
    RecordingGraphics graphics;
    graphics.Install();
    manager.DrawSoundBanks();
    EXPECT_TRUE(graphics.calls.empty());

    Play(LoadedSound("boom", 60.0f));
    manager.PlaySoundDelayed(LoadedSound("bang"), 1.0f, 0.0f, 1.0f, false, 3.0f);
    manager.DrawSoundBanks();
    const std::vector<std::string> states = {"SetTextTransform 1 1 0", "SetTextAlign 0", "SetAlpha 1", "SetColor 1 1 1",
                                             "SetBlend 1"};
    std::vector<std::string> expected = states;
    expected.push_back("DrawText 50 10 2 / 256");
    expected.insert(expected.end(), states.begin(), states.end());
    expected.insert(expected.end(), {"SetTextboxWidth 0", "SetTextTransform 0.75 0.75 0", "DrawText 50 50 #1 - 'boom'",
                                     "DrawText 50 72.5 #2 - 'bang'"});
    EXPECT_EQ(graphics.calls, expected);
    graphics.Restore();
}

}  // namespace
