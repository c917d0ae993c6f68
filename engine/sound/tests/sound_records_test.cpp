// Sound records: taking sounds by name, the extension probe, counting and
// releasing references, SoundExists, and all of it from several threads.

#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "engine/sound/tests/sound_fixture.h"

namespace {

class SoundRecordsTest : public SoundTest {
protected:
    zk_audio_api_t* audio() { return zk->audio; }
};

TEST_F(SoundRecordsTest, LoadSoundCountsEveryReferenceUpTo4096) {
    zk_sound_t* boom = LoadedSound("boom");
    ASSERT_NE(boom, nullptr);
    EXPECT_EQ(audio()->ZK_Audio_LoadSound("boom"), boom);
    EXPECT_EQ(boom->reference_count, 2);
    for (int i = 2; i < 4097; ++i) audio()->ZK_Audio_LoadSound("boom");
    EXPECT_EQ(boom->reference_count, 4096);
    EXPECT_EQ(PopupsShown("Sound 'boom' reference count suspiciously high: capping at 4096."), 1);
    EXPECT_EQ(sound.Matching("LoadSound").size(), 1u);  // loaded once
    EXPECT_EQ(zk_state.num_sounds, 1);
}

// Adding references in bulk is capped the same way and never wraps the
// 16-bit count.
TEST_F(SoundRecordsTest, AddedReferencesAreCapped) {
    struct Case {
        uint32_t added;
        int expected;
        int warnings;
    } cases[] = {
        {0, 1, 0}, {4095, 4096, 0}, {4096, 4096, 1}, {32767, 4096, 1}, {40000, 4096, 1}, {0xFFFFFFFFu, 4096, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.added);
        ForgetLines();
        zk_sound_t* boom = LoadedSound("boom");
        audio()->ZK_Audio_IncreaseSoundReferenceCount(boom, c.added);
        EXPECT_EQ(boom->reference_count, c.expected);
        EXPECT_EQ(PopupsShown("Sound 'boom' reference count suspiciously high: capping at 4096."), c.warnings);
        FreeSoundPool();
    }
}

TEST_F(SoundRecordsTest, GetSoundCountsOneReferenceForTheRecordsWholeLife) {
    zk_sound_t* boom = audio()->ZK_Audio_GetSound("boom");
    ASSERT_NE(boom, nullptr);
    EXPECT_EQ(boom->reference_count, 1);
    EXPECT_EQ(audio()->ZK_Audio_GetSound("boom"), boom);
    EXPECT_EQ(audio()->ZK_Audio_GetSoundWithCacheMode("boom", 4), boom);
    EXPECT_EQ(boom->reference_count, 1);
    EXPECT_EQ(audio()->ZK_Audio_LoadSound("boom"), boom);
    EXPECT_EQ(boom->reference_count, 2);
    EXPECT_EQ(audio()->ZK_Audio_GetSound("boom"), boom);
    EXPECT_EQ(boom->reference_count, 2);

    // A record taken by LoadSound gets its one GetSound reference later.
    zk_sound_t* bang = audio()->ZK_Audio_LoadSound("bang");
    audio()->ZK_Audio_GetSound("bang");
    audio()->ZK_Audio_GetSound("bang");
    EXPECT_EQ(bang->reference_count, 2);
}

TEST_F(SoundRecordsTest, LookUpOnlyNeitherTakesASlotNorCounts) {
    EXPECT_EQ(audio()->ZK_Audio_GetSoundWithCacheMode("ghost", 16), nullptr);
    EXPECT_EQ(zk_state.num_sounds, 0);
    EXPECT_TRUE(sound.Calls().empty());
    zk_sound_t* boom = LoadedSound("boom");
    EXPECT_EQ(audio()->ZK_Audio_GetSoundWithCacheMode("boom", 16), boom);
    EXPECT_EQ(boom->reference_count, 1);
}

// The cache mode decides whether GetSoundWithCacheMode loads at once.
TEST_F(SoundRecordsTest, NewRecordsLoadAsTheirCacheModeSays) {
    sound.files = {"a.wav", "b.wav", "c.wav"};
    struct Case {
        const char* name;
        int mode;
        bool loads;
    } cases[] = {{"a", 4, true}, {"b", 0, false}, {"c", 6, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sound.Clear();
        zk_sound_t* record = audio()->ZK_Audio_GetSoundWithCacheMode(c.name, c.mode);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->data != nullptr, c.loads);
        EXPECT_EQ(sound.Calls().size(), c.loads ? 1u : 0u);
        EXPECT_EQ(record->cache_mode, c.loads ? c.mode : 0);
        EXPECT_EQ(record->state, 2);
        EXPECT_EQ(record->aux_id, -1);
        EXPECT_EQ(record->index, static_cast<int>(record - zk_state.sounds));
    }
}

TEST_F(SoundRecordsTest, The513thNameFindsNoFreeSound) {
    std::vector<zk_sound_t*> taken;
    for (int i = 0; i < 512; ++i) taken.push_back(audio()->ZK_Audio_GetSoundWithCacheMode(("s" + std::to_string(i)).c_str(), 0));
    for (zk_sound_t* record : taken) ASSERT_NE(record, nullptr);
    EXPECT_EQ(audio()->ZK_Audio_LoadSound("one too many"), nullptr);
    EXPECT_EQ(audio()->ZK_Audio_GetSound("one more"), nullptr);
    EXPECT_EQ(PopupsShown(" ! Zekar out of free sounds."), 2);
    EXPECT_EQ(zk_state.num_sounds, 512);
    // Names already there are still found.
    EXPECT_EQ(audio()->ZK_Audio_LoadSound("s511"), taken[511]);
}

TEST_F(SoundRecordsTest, NoneIsARecordWithoutDataThatIsNeverCounted) {
    zk_sound_t* none = audio()->ZK_Audio_LoadSound("!NONE");
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->data, nullptr);
    EXPECT_EQ(none->cache_mode, 4);
    EXPECT_EQ(audio()->ZK_Audio_LoadSound("!NONE"), none);
    EXPECT_EQ(audio()->ZK_Audio_GetSound("!NONE"), none);
    audio()->ZK_Audio_IncreaseSoundReferenceCount(none, 3);
    audio()->ZK_Audio_ReleaseSound(none);
    EXPECT_EQ(none->reference_count, 1);
    EXPECT_EQ(audio()->ZK_Audio_PlaySound(none, 1.0f, 0.0f, 1.0f), 0);
    EXPECT_TRUE(sound.Calls().empty());
}

// A name without its own extension tries .wav, .ogg and .mp3 in turn and
// remembers the file that loaded; a name with one goes as it is.
TEST_F(SoundRecordsTest, ExtensionProbe) {
    struct Case {
        const char* name;
        const char* existing;  // null: none
        std::vector<std::string> tried;
        const char* file_name;  // null: none remembered
    } cases[] = {
        {"music/theme", "music/theme.ogg", {"music/theme.wav", "music/theme.ogg"}, "music/theme.ogg"},
        {"music/theme", "music/theme.mp3", {"music/theme.wav", "music/theme.ogg", "music/theme.mp3"}, "music/theme.mp3"},
        {"music/theme", "music/theme.wav", {"music/theme.wav"}, "music/theme.wav"},
        {"music/theme.ogg", "music/theme.ogg", {"music/theme.ogg"}, nullptr},
        {"data.dir/theme", "data.dir/theme.wav", {"data.dir/theme.wav"}, "data.dir/theme.wav"},
        // a '.' standing first is part of the name
        {".ogg", ".ogg.wav", {".ogg.wav"}, ".ogg.wav"},
        {"gone", nullptr, {"gone.wav", "gone.ogg", "gone.mp3"}, nullptr},
        {"gone.ogg", nullptr, {"gone.ogg"}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + std::string(" with ") + (c.existing ? c.existing : "nothing"));
        sound.Clear();
        ForgetLines();
        sound.files.clear();
        if (c.existing) sound.files.insert(c.existing);
        zk_sound_t* record = audio()->ZK_Audio_LoadSound(c.name);
        ASSERT_NE(record, nullptr);
        std::vector<std::string> tried;
        for (const std::string& call : sound.Calls()) tried.push_back(call.substr(strlen("LoadSound ")));
        EXPECT_EQ(tried, c.tried);
        EXPECT_STREQ(record->file_name, c.file_name);
        EXPECT_EQ(record->data != nullptr, c.existing != nullptr);
        EXPECT_EQ(record->cache_mode, 4);  // loaded or not
        EXPECT_EQ(PopupsShown("Sound resource '" + std::string(c.name) + "' not found."), c.existing ? 0 : 1);
        FreeSoundPool();
    }
}

TEST_F(SoundRecordsTest, ReleasingToZeroHibernatesAndAReferenceBringsTheDataBack) {
    KeepLogLines();
    zk_sound_t* boom = LoadedSound("boom");
    ASSERT_NE(boom->data, nullptr);
    sound.Clear();
    audio()->ZK_Audio_ReleaseSound(boom);
    EXPECT_EQ(boom->reference_count, 0);
    EXPECT_STREQ(boom->name, "boom");
    EXPECT_EQ(boom->data, nullptr);
    EXPECT_EQ(boom->cache_mode, 0);
    EXPECT_EQ(boom->data_size, 0u);
    EXPECT_EQ(sound.Calls(), std::vector<std::string>{"FreeSound boom"});
    EXPECT_EQ(TimesKept("Hibernating sound 'boom'.."), 1);

    audio()->ZK_Audio_ReleaseSound(boom);
    EXPECT_EQ(boom->reference_count, 0);
    EXPECT_EQ(PopupsShown("Sound 'boom' reference count less than zero."), 1);
    EXPECT_EQ(TimesKept("Hibernating sound 'boom'.."), 1);

    // Back from hibernation, by name or by count.
    sound.Clear();
    EXPECT_EQ(audio()->ZK_Audio_LoadSound("boom"), boom);
    EXPECT_NE(boom->data, nullptr);
    EXPECT_EQ(boom->cache_mode, 4);
    audio()->ZK_Audio_ReleaseSound(boom);
    audio()->ZK_Audio_IncreaseSoundReferenceCount(boom, 2);
    EXPECT_EQ(boom->reference_count, 2);
    EXPECT_NE(boom->data, nullptr);
    EXPECT_EQ(sound.Matching("LoadSound boom.wav").size(), 2u);
    EXPECT_EQ(zk_state.num_sounds, 1);
}

TEST_F(SoundRecordsTest, ReleasingTheOneGetSoundReferenceWarns) {
    zk_sound_t* boom = audio()->ZK_Audio_GetSound("boom");
    audio()->ZK_Audio_ReleaseSound(boom);
    EXPECT_EQ(PopupsShown("Releasing sound 'boom' too many times: ref counting will get messed up. NOTE: sound has "
                          "been accessed using GetSound which increses ref count by 1 once."),
              1);
    EXPECT_EQ(boom->reference_count, 0);
}

TEST_F(SoundRecordsTest, WithoutReferenceCountingAReleaseFreesTheSlotForTheNextName) {
    zk_state.reference_counting = 0;
    zk_sound_t* boom = LoadedSound("boom");
    zk_sound_t* bang = LoadedSound("bang");
    sound.Clear();
    audio()->ZK_Audio_ReleaseSound(boom);
    EXPECT_EQ(boom->name, nullptr);
    EXPECT_EQ(boom->data, nullptr);
    EXPECT_EQ(sound.Calls(), std::vector<std::string>{"FreeSound boom"});
    EXPECT_EQ(zk_state.num_sounds, 2);
    // A freed slot is found by no name, and the next new name takes it.
    EXPECT_EQ(audio()->ZK_Audio_GetSoundWithCacheMode("boom", 16), nullptr);
    zk_sound_t* thud = LoadedSound("thud");
    EXPECT_EQ(thud, boom);
    EXPECT_STREQ(thud->file_name, "thud.wav");
    EXPECT_EQ(thud->reference_count, 1);
    EXPECT_EQ(zk_state.num_sounds, 2);
    EXPECT_STREQ(bang->name, "bang");
}

TEST_F(SoundRecordsTest, NamesWithWhatLooksLikeAnExtensionAreReportedInDeveloperMode) {
    const char* const kWarning = "Sound name '%s' has file extension. Remove it from the file name.";
    struct Case {
        const char* name;
        bool developer_mode;
        bool warned;
    } cases[] = {
        {"boom.wav", true, true},   {"sfx/a.b", true, true},    {"a.wav", true, true},
        {"boom.wav", false, false}, {".wav", true, false},      {"x.y/zzzz", true, false},
        {"boom", true, false},      {"ab.cdef", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ForgetLines();
        ZKI_ResetPopupHistory();
        zk_state.developer_mode = c.developer_mode;
        audio()->ZK_Audio_GetSoundWithCacheMode(c.name, 0);
        char expected[256];
        snprintf(expected, sizeof(expected), kWarning, c.name);
        EXPECT_EQ(PopupsShown(expected), c.warned ? 1 : 0);
    }
}

TEST_F(SoundRecordsTest, NullNamesAreReportedAndGiveAnEmptyName) {
    zk_sound_t* loaded = audio()->ZK_Audio_LoadSound(nullptr);
    zk_sound_t* got = audio()->ZK_Audio_GetSoundWithCacheMode(nullptr, 0);
    EXPECT_EQ(PopupsShown("ZK_Audio_LoadSound called with null parameter."), 1);
    EXPECT_EQ(PopupsShown("ZK_Audio_GetSoundWithCacheMode called with null parameter."), 1);
    ASSERT_NE(loaded, nullptr);
    ASSERT_NE(got, nullptr);
    EXPECT_STREQ(loaded->name, "");
    EXPECT_STREQ(got->name, "");
    EXPECT_FALSE(audio()->ZK_Audio_SoundExists(nullptr));
    audio()->ZK_Audio_ReleaseSound(nullptr);
    audio()->ZK_Audio_IncreaseSoundReferenceCount(nullptr, 1);
}

TEST_F(SoundRecordsTest, ReferenceCountLinesOnlyWhileTracked) {
    KeepLogLines();
    struct Case {
        const char* features;
        bool tracked;
    } cases[] = {{"", false}, {"PRINT_REFERENCE_COUNT_CHANGES", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.features);
        ForgetLines();
        zk_state.product_feature_lists[0] = c.features;
        zk_sound_t* boom = LoadedSound("boom");
        audio()->ZK_Audio_LoadSound("boom");
        audio()->ZK_Audio_GetSound("boom");
        audio()->ZK_Audio_GetSound("bang");
        audio()->ZK_Audio_ReleaseSound(boom);
        const std::vector<std::string> tracked = {"'boom' ref count = 1", "'boom' ref count++: now 2",
                                                  "'boom' ref count++ (GetSound): now 3",
                                                  "'bang' ref count = 1 (GetSound)",
                                                  "ReleaseSound: 'boom' ref count--: now 2"};
        for (const std::string& line : tracked) EXPECT_EQ(TimesKept(line), c.tracked ? 1 : 0) << line;
        EXPECT_EQ(TimesKept("..caching sound 'boom'"), 1);
        EXPECT_EQ(TimesKept("..caching sound 'bang'"), 1);
        FreeSoundPool();
    }
    zk_state.product_feature_lists[0] = nullptr;
}

// A scratch directory whose own name holds a '.', removed afterwards.
class SoundFiles {
public:
    SoundFiles() {
        char pattern[] = "/tmp/zk-sounds.XXXXXX";
        directory_ = mkdtemp(pattern) ? pattern : "";
        for (const char* name : {"boom.ogg", "theme.mp3", "voice.wav"}) {
            FILE* f = fopen(Path(name).c_str(), "wb");
            if (f) fclose(f);
        }
    }
    ~SoundFiles() {
        for (const char* name : {"boom.ogg", "theme.mp3", "voice.wav"}) unlink(Path(name).c_str());
        rmdir(directory_.c_str());
    }
    std::string Path(const std::string& name) const { return directory_ + "/" + name; }

private:
    std::string directory_;
};

TEST_F(SoundRecordsTest, SoundExistsLooksForTheFilesNotThePool) {
    UseFiles();
    SoundFiles files;
    struct Case {
        const char* name;
        bool exists;
    } cases[] = {
        {"boom", true}, {"theme", true}, {"voice", true}, {"boom.ogg", true}, {"boom.wav", false}, {"silence", false},
    };
    LoadedSound("silence");  // in the pool, but no file
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(audio()->ZK_Audio_SoundExists(files.Path(c.name).c_str()), c.exists);
    }
    EXPECT_FALSE(audio()->ZK_Audio_SoundExists("silence"));
    EXPECT_EQ(zk_state.num_sounds, 1);
}

// Any thread may take, count and release sounds: the counts come out as if
// the calls had run one after another.
TEST_F(SoundRecordsTest, TakingCountingAndReleasingFromSeveralThreads) {
    const int kThreads = 8;
    const int kRounds = 300;
    const int kNames = 12;
    for (int n = 0; n < kNames; ++n) sound.files.insert("n" + std::to_string(n) + ".wav");
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            zk_audio_api_t* audio = zk->audio;
            for (int round = 0; round < kRounds; ++round) {
                std::string name = "n" + std::to_string((round + t) % kNames);
                zk_sound_t* record = audio->ZK_Audio_LoadSound(name.c_str());
                audio->ZK_Audio_GetSound(name.c_str());
                audio->ZK_Audio_IncreaseSoundReferenceCount(record, 2);
                audio->ZK_Audio_ReleaseSound(record);
                audio->ZK_Audio_ReleaseSound(record);
                audio->ZK_Audio_ReleaseSound(record);
            }
        });
    }
    for (std::thread& thread : threads) thread.join();

    EXPECT_EQ(zk_state.num_sounds, kNames);
    for (int n = 0; n < kNames; ++n) {
        std::string name = "n" + std::to_string(n);
        zk_sound_t* record = zk->audio->ZK_Audio_GetSoundWithCacheMode(name.c_str(), 16);
        ASSERT_NE(record, nullptr) << name;
        EXPECT_EQ(record->reference_count, 1) << name;  // GetSound's one reference
    }
    EXPECT_EQ(PopupsShown("Sound 'n0' reference count less than zero."), 0);
}

}  // namespace
