// The recording sound back end of the tests.

#include "engine/sound/tests/recording_sound.h"

#include <cstdio>

namespace {

// Every loaded record points at this: the engine only tests data for null.
char loaded_marker;

std::string NameOf(const zk_sound_t* sound) { return sound && sound->name ? sound->name : "(null)"; }

}  // namespace

std::string SoundNumber(double value) {
    char text[32];
    snprintf(text, sizeof(text), "%g", value);
    return text;
}

void RecordingSound::Record(const std::string& call) {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back(call);
}

std::vector<std::string> RecordingSound::Calls() {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
}

void RecordingSound::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.clear();
}

void RecordingSound::Reset() {
    Clear();
    dead_.clear();
    next_channel = 100;
}

std::vector<std::string> RecordingSound::Matching(const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& call : Calls())
        if (call.compare(0, prefix.size(), prefix) == 0) found.push_back(call);
    return found;
}

void RecordingSound::Finish(int64_t channel) { dead_.insert(channel); }

const char* RecordingSound::GetName() { return "Recording"; }

bool RecordingSound::Initialize(zk_state_t*, zk_parms_t*) {
    Record("Initialize");
    return initializes;
}

void RecordingSound::Shutdown() { Record("Shutdown"); }

bool RecordingSound::LoadSound(zk_sound_t* sound, const char* file) {
    Record(std::string("LoadSound ") + file);
    std::lock_guard<std::mutex> lock(mutex_);
    if (!files.count(file)) return false;
    auto length = lengths.find(file);
    sound->length = length == lengths.end() ? 1.0f : length->second;
    sound->data = &loaded_marker;
    sound->data_size = 100;
    return true;
}

void RecordingSound::FreeSound(zk_sound_t* sound) {
    Record("FreeSound " + NameOf(sound));
    sound->data = nullptr;
}

void RecordingSound::SetMasterVolume(float volume) { Record("SetMasterVolume " + SoundNumber(volume)); }

int64_t RecordingSound::PlaySound(zk_sound_t* sound, float volume, float pan, float frequency) {
    int64_t channel = next_channel++;
    Record("PlaySound " + NameOf(sound) + " " + SoundNumber(volume) + " " + SoundNumber(pan) + " " +
           SoundNumber(frequency) + " -> " + std::to_string(channel));
    return channel;
}

void RecordingSound::StopChannel(int64_t channel) {
    Record("StopChannel " + std::to_string(channel));
    dead_.insert(channel);
}

void RecordingSound::SetChannelPan(int64_t channel, float pan) {
    Record("SetChannelPan " + std::to_string(channel) + " " + SoundNumber(pan));
}

void RecordingSound::SetChannelVolume(int64_t channel, float volume) {
    Record("SetChannelVolume " + std::to_string(channel) + " " + SoundNumber(volume));
}

void RecordingSound::SetChannelPaused(int64_t channel, bool paused) {
    Record("SetChannelPaused " + std::to_string(channel) + " " + (paused ? "1" : "0"));
}

void RecordingSound::SetChannelLooping(int64_t channel, bool looping) {
    Record("SetChannelLooping " + std::to_string(channel) + " " + (looping ? "1" : "0"));
}

void RecordingSound::SetChannelFrequency(int64_t channel, float frequency) {
    Record("SetChannelFrequency " + std::to_string(channel) + " " + SoundNumber(frequency));
}

bool RecordingSound::IsChannelAlive(int64_t channel) { return channel != 0 && !dead_.count(channel); }

void RecordingSound::PlayMusic(zk_sound_t* sound, float volume) {
    Record("PlayMusic " + NameOf(sound) + " " + SoundNumber(volume));
}

void RecordingSound::StopMusic() { Record("StopMusic"); }

void RecordingSound::SetMusicPaused(bool paused) { Record(std::string("SetMusicPaused ") + (paused ? "1" : "0")); }

void RecordingSound::SetMusicVolume(float volume) { Record("SetMusicVolume " + SoundNumber(volume)); }

void RecordingSound::ActivateWindow(bool active) { Record(std::string("ActivateWindow ") + (active ? "1" : "0")); }

void RecordingSound::FrameStart() { Record("FrameStart"); }

void RecordingSound::FrameReady() { Record("FrameReady"); }

bool RecordingSound::IsSupported() { return true; }

void RecordingSound::SetMusicLooping(bool looping) {
    Record(std::string("SetMusicLooping ") + (looping ? "1" : "0"));
}
