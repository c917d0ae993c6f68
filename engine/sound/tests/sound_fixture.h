// A fresh engine with the recording sound back end installed in the state
// and the sound manager, the settable clock at 1000 ms, and the printed
// lines and popups kept (popups as "[POPUP] text").
#pragma once

#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "engine/sound/audio_api.h"
#include "engine/sound/sound_manager.h"
#include "engine/sound/tests/recording_sound.h"
#include "engine/runtime/tests/settable_clock.h"
#include "engine/runtime/log.h"
#include "engine/runtime/tests/core_fixture.h"
#include "engine/storage/filesystem.h"

namespace sound_fixture {

inline std::mutex& LinesMutex() {
    static std::mutex mutex;
    return mutex;
}
inline std::vector<std::string>& Lines() {
    static std::vector<std::string> lines;
    return lines;
}
// Lines may arrive from several threads.
inline void KeepLine(short, const char* text) {
    std::lock_guard<std::mutex> lock(LinesMutex());
    Lines().push_back(text);
}

}  // namespace sound_fixture

class SoundTest : public ZkCoreTest {
protected:
    void SetUp() override {
        ZkCoreTest::SetUp();
        zk_run_silent = 1;            // log lines only where a test asks for them
        zk_run_no_popups = 1;         // popups reach the kept lines, not the screen
        zk_state.log_verbose_level = 0;
        zk_state.prog_initialized = 1;  // developer-mode popups pass the console too
        zk_state.reference_counting = 1;
        {
            std::lock_guard<std::mutex> lock(sound_fixture::LinesMutex());
            sound_fixture::Lines().clear();
        }
        zk_console_line_hook = sound_fixture::KeepLine;
        clock.Set(1000);
        zk_sound_imp_man = SoundImplementationManager();
        zk_state.sound_imp = &sound;
        zk_sound_imp_man.SetSoundImp(&sound);
    }
    void TearDown() override {
        if (files_in_use_) ZKFileSystem::Deinitialize();
        FreeSoundPool();
        zk_sound_imp_man = SoundImplementationManager();
        zk_state.sound_imp = nullptr;
        ZkCoreTest::TearDown();
    }

    // The pool's names are the engine's heap copies; data belongs to the
    // back end that loaded it (the recording one holds none).
    static void FreeSoundPool() {
        for (int i = 0; i < ZK_MAX_SOUNDS; ++i) {
            free(zk_state.sounds[i].name);
            free(zk_state.sounds[i].file_name);
            zk_state.sounds[i] = zk_sound_t();
        }
        zk_state.num_sounds = 0;
    }

    // Puts the file systems in place for tests that read real files.
    void UseFiles() {
        ZKFileSystem::Initialize();
        files_in_use_ = true;
    }

    // Printed lines are kept only while this is on (they also reach
    // standard output).
    static void KeepLogLines() { zk_run_silent = 0; }

    static std::vector<std::string> KeptLines() {
        std::lock_guard<std::mutex> lock(sound_fixture::LinesMutex());
        return sound_fixture::Lines();
    }
    static void ForgetLines() {
        std::lock_guard<std::mutex> lock(sound_fixture::LinesMutex());
        sound_fixture::Lines().clear();
    }
    static int TimesKept(const std::string& line) {
        int n = 0;
        for (const std::string& kept : KeptLines()) n += kept == line;
        return n;
    }
    static int PopupsShown(const std::string& text) { return TimesKept("[POPUP] " + text); }

    // A sound that loads from "<name>.wav" with the given length.
    zk_sound_t* LoadedSound(const char* name, float length = 1.0f) {
        std::string file = std::string(name) + ".wav";
        sound.files.insert(file);
        sound.lengths[file] = length;
        return zk->audio->ZK_Audio_LoadSound(name);
    }

    RecordingSound sound;
    SettableClock clock;
    SoundImplementationManager& manager = zk_sound_imp_man;

private:
    bool files_in_use_ = false;
};
