// The sound back ends this program ships, and the behaviour every back end
// inherits.

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "engine/sound/sound_implementation.h"
#include "engine/sound/tests/sound_fixture.h"

namespace {

class SoundImplementationTest : public SoundTest {};

// A file of `size` bytes in a fresh temporary directory, removed afterwards.
class TemporaryFile {
public:
    explicit TemporaryFile(size_t size) {
        char pattern[] = "/tmp/zk-sound-XXXXXX";
        directory_ = mkdtemp(pattern) ? pattern : "";
        path_ = directory_ + "/blip.wav";
        FILE* f = fopen(path_.c_str(), "wb");
        for (size_t i = 0; f && i < size; ++i) fputc('x', f);
        if (f) fclose(f);
    }
    ~TemporaryFile() {
        unlink(path_.c_str());
        rmdir(directory_.c_str());
    }
    const char* path() const { return path_.c_str(); }
    std::string Missing() const { return directory_ + "/missing.wav"; }

private:
    std::string directory_;
    std::string path_;
};

TEST_F(SoundImplementationTest, NullBackEndAcceptsEverythingAndPlaysNothing) {
    SoundImplementation* null = GetSoundImpNull();
    EXPECT_EQ(null, GetSoundImpNull());
    EXPECT_EQ(null, ZKID_LoadSoundImp());
    EXPECT_STREQ(null->GetName(), "SoundImp Null");
    EXPECT_TRUE(null->Initialize(&zk_state, &zk_parms));
    EXPECT_TRUE(null->AttemptReinitialize(&zk_state, &zk_parms));
    EXPECT_TRUE(null->IsSupported());
    zk_sound_t record = {};
    EXPECT_TRUE(null->LoadSound(&record, "boom.wav"));
    EXPECT_EQ(record.data, nullptr);
    EXPECT_EQ(null->PlaySound(&record, 1.0f, 0.0f, 1.0f), 0);
    EXPECT_EQ(null->PlaySoundLooping(&record, 1.0f, 0.0f, 1.0f, true), 0);
    EXPECT_FALSE(null->IsChannelAlive(0));
    EXPECT_FALSE(null->IsChannelAlive(1));
}

TEST_F(SoundImplementationTest, WithTheNullBackEndEveryPlayAnswersZero) {
    zk_state.sound_imp = GetSoundImpNull();
    manager.SetSoundImp(GetSoundImpNull());
    zk_sound_t* boom = zk->audio->ZK_Audio_LoadSound("boom");
    ASSERT_NE(boom, nullptr);
    EXPECT_STREQ(boom->file_name, "boom.wav");  // the first candidate loads
    EXPECT_EQ(boom->data, nullptr);
    EXPECT_EQ(zk->audio->ZK_Audio_PlaySound(boom, 1.0f, 0.0f, 1.0f), 0);
    EXPECT_EQ(zk->audio->ZK_Audio_PlaySoundDelayed(boom, 1.0f, 0.0f, 1.0f, false, 1.0f), 0);
    EXPECT_EQ(manager.num_sound_banks, 0);
}

TEST_F(SoundImplementationTest, LoopingPlayAsksForLoopingOnlyWhenAsked) {
    zk_sound_t* boom = LoadedSound("boom");
    sound.Clear();
    EXPECT_EQ(sound.PlaySoundLooping(boom, 0.5f, -1.0f, 2.0f, false), 100);
    EXPECT_EQ(sound.PlaySoundLooping(boom, 0.5f, -1.0f, 2.0f, true), 101);
    EXPECT_EQ(sound.Calls(), (std::vector<std::string>{"PlaySound boom 0.5 -1 2 -> 100", "PlaySound boom 0.5 -1 2 -> 101",
                                                       "SetChannelLooping 101 1"}));
}

// Every deprecated operation: a warning per call and 555; StopMusic(float)
// answers 555 without a word.
TEST_F(SoundImplementationTest, DeprecatedOperationsWarnAndAnswer555) {
    const char* const kWarning = "Calling deprecated Sound Imp method!";
    struct Case {
        const char* name;
        std::function<int(SoundImplementation*)> call;
        int warnings;
    } cases[] = {
        {"PlayMusic with fade", [](SoundImplementation* s) { return s->PlayMusic(nullptr, 1.0f, 2.0f); }, 1},
        {"SlideMusicVolume", [](SoundImplementation* s) { return s->SlideMusicVolume(0.5f, 1.0f); }, 1},
        {"GetMusicPlaying", [](SoundImplementation* s) { return s->GetMusicPlaying(); }, 1},
        {"CallExtension", [](SoundImplementation* s) { return s->CallExtension("a", "b"); }, 1},
        {"GetChannelSound", [](SoundImplementation* s) { return s->GetChannelSound(3); }, 1},
        {"SlideChannelVolume", [](SoundImplementation* s) { return s->SlideChannelVolume(3, 0.5f, 1.0f); }, 1},
        {"StopChannelWithFade", [](SoundImplementation* s) { return s->StopChannelWithFade(3, 1.0f); }, 1},
        {"StopMusic with fade", [](SoundImplementation* s) { return s->StopMusic(1.0f); }, 0},
    };
    SoundImplementation* back_ends[] = {GetSoundImpNull(), GetSoundImpNullWithMemoryAllocs()};
    for (SoundImplementation* back_end : back_ends) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(back_end->GetName()) + ": " + c.name);
            ForgetLines();
            EXPECT_EQ(c.call(back_end), 555);
            EXPECT_EQ(c.call(back_end), 555);
            EXPECT_EQ(PopupsShown(kWarning), 2 * c.warnings);
        }
    }
}

TEST_F(SoundImplementationTest, MemoryBackEndHoldsTwiceTheFileAndASecondPerKiB) {
    SoundImplementation* memory = GetSoundImpNullWithMemoryAllocs();
    EXPECT_STREQ(memory->GetName(), "SoundImp Null With Memory Allocations");
    ASSERT_TRUE(memory->Initialize(&zk_state, &zk_parms));
    SoundImpWithMemoryAllocs* concrete = static_cast<SoundImpWithMemoryAllocs*>(memory);
    ASSERT_NE(concrete->work_buffer, nullptr);
    memset(concrete->work_buffer, 0, SoundImpWithMemoryAllocs::kWorkBufferBytes);  // all of it is there

    UseFiles();
    TemporaryFile file(2048);
    zk_sound_t record = {};
    ASSERT_TRUE(memory->LoadSound(&record, file.path()));
    ASSERT_NE(record.data, nullptr);
    EXPECT_FLOAT_EQ(record.length, 2.0f);
    EXPECT_EQ(static_cast<uint8_t*>(record.data)[0], 0);
    memset(record.data, 1, 4104);  // 2 x 2048 + 8 bytes belong to the record
    memory->FreeSound(&record);
    EXPECT_EQ(record.data, nullptr);

    zk_sound_t missing = {};
    EXPECT_FALSE(memory->LoadSound(&missing, file.Missing().c_str()));
    EXPECT_EQ(missing.data, nullptr);

    memory->Shutdown();
    EXPECT_EQ(concrete->work_buffer, nullptr);
}

// The memory back end reports no channel alive, so the manager takes a play
// for finished 100 ms before the sound's length is over.
TEST_F(SoundImplementationTest, MemoryBackEndPlayIsFinishedShortlyBeforeItsLength) {
    SoundImplementation* memory = GetSoundImpNullWithMemoryAllocs();
    zk_state.sound_imp = memory;
    manager.SetSoundImp(memory);
    UseFiles();
    TemporaryFile file(2048);
    zk_sound_t* blip = zk->audio->ZK_Audio_LoadSound(file.path());
    ASSERT_NE(blip, nullptr);
    ASSERT_NE(blip->data, nullptr);
    EXPECT_NE(zk->audio->ZK_Audio_PlaySound(blip, 1.0f, 0.0f, 1.0f), 0);
    clock.Set(1000 + 1899);
    EXPECT_EQ(manager.GetNumberOfSoundInstancesPlaying(blip), 1);
    clock.Set(1000 + 1900);
    EXPECT_EQ(manager.GetNumberOfSoundInstancesPlaying(blip), 0);
    memory->FreeSound(blip);
}

}  // namespace
