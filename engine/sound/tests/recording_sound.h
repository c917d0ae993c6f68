// A sound back end for tests that records what the engine asks of it, as
// text ("PlaySound boom 0.5 0 1 -> 100"), loads only the files it is told
// exist, and reports a channel dead once it was stopped or marked finished.
//
//   RecordingSound sound;
//   sound.files = {"boom.ogg"};              // everything else fails to load
//   zk_state.sound_imp = &sound;
//   zk_sound_imp_man.SetSoundImp(&sound);
//   ... sound.Calls() ... sound.Finish(channel) ...
//
// Loading may come from several threads; the other operations from one.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "engine/sound/sound_implementation.h"

class RecordingSound : public SoundImplementation {
public:
    using SoundImplementation::PlayMusic;
    using SoundImplementation::StopMusic;

    // Files that load, and the length in seconds each gives (1.0 if absent).
    std::set<std::string> files;
    std::map<std::string, float> lengths;
    bool initializes = true;
    // The first channel PlaySound hands out; later ones count up.
    int64_t next_channel = 100;

    // The calls so far, in order; Clear forgets them, Reset also the
    // channels handed out and finished.
    std::vector<std::string> Calls();
    void Clear();
    void Reset();
    // The calls whose text starts with `prefix`.
    std::vector<std::string> Matching(const std::string& prefix);
    // From now on IsChannelAlive(channel) answers false.
    void Finish(int64_t channel);
    int64_t LastChannel() const { return next_channel - 1; }

    const char* GetName() override;
    bool Initialize(zk_state_t* state, zk_parms_t* parms) override;
    void Shutdown() override;
    bool LoadSound(zk_sound_t* sound, const char* file) override;
    void FreeSound(zk_sound_t* sound) override;
    void SetMasterVolume(float volume) override;
    int64_t PlaySound(zk_sound_t* sound, float volume, float pan, float frequency) override;
    void StopChannel(int64_t channel) override;
    void SetChannelPan(int64_t channel, float pan) override;
    void SetChannelVolume(int64_t channel, float volume) override;
    void SetChannelPaused(int64_t channel, bool paused) override;
    void SetChannelLooping(int64_t channel, bool looping) override;
    void SetChannelFrequency(int64_t channel, float frequency) override;
    bool IsChannelAlive(int64_t channel) override;
    void PlayMusic(zk_sound_t* sound, float volume) override;
    void StopMusic() override;
    void SetMusicPaused(bool paused) override;
    void SetMusicVolume(float volume) override;
    void ActivateWindow(bool active) override;
    void FrameStart() override;
    void FrameReady() override;
    bool IsSupported() override;
    void SetMusicLooping(bool looping) override;

private:
    void Record(const std::string& call);

    std::mutex mutex_;
    std::vector<std::string> calls_;
    std::set<int64_t> dead_;
};

// "%g" of a number, as the recorded calls write them.
std::string SoundNumber(double value);
