// The sound back end's shared behaviour and the two back ends this program
// ships.

#include "engine/sound/sound_implementation.h"

#include <cstdlib>

#include "engine/runtime/zekar.h"

namespace {

// What the deprecated operations answer: old callers can tell it from any
// real result.
const int kDeprecatedAnswer = 555;

int ReportDeprecatedCall() {
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Calling deprecated Sound Imp method!");
    return kDeprecatedAnswer;
}

}  // namespace

// --- Shared behaviour ------------------------------------------------------------

bool SoundImplementation::AttemptReinitialize(zk_state_t*, zk_parms_t*) { return true; }

int64_t SoundImplementation::PlaySoundLooping(zk_sound_t* sound, float volume, float pan, float frequency, bool loop) {
    int64_t channel = PlaySound(sound, volume, pan, frequency);
    if (loop) SetChannelLooping(channel, true);
    return channel;
}

int SoundImplementation::PlayMusic(zk_sound_t*, float, float) { return ReportDeprecatedCall(); }
int SoundImplementation::StopMusic(float) { return kDeprecatedAnswer; }
int SoundImplementation::SlideMusicVolume(float, float) { return ReportDeprecatedCall(); }
int SoundImplementation::GetMusicPlaying() { return ReportDeprecatedCall(); }
int SoundImplementation::CallExtension(const char*, const char*) { return ReportDeprecatedCall(); }
int SoundImplementation::GetChannelSound(int64_t) { return ReportDeprecatedCall(); }
int SoundImplementation::SlideChannelVolume(int64_t, float, float) { return ReportDeprecatedCall(); }
int SoundImplementation::StopChannelWithFade(int64_t, float) { return ReportDeprecatedCall(); }

// --- The null back end -------------------------------------------------------------

const char* SoundImplementationNull::GetName() { return "SoundImp Null"; }
bool SoundImplementationNull::Initialize(zk_state_t*, zk_parms_t*) { return true; }
void SoundImplementationNull::Shutdown() {}
// Leaves `data` null: nothing loaded here ever plays.
bool SoundImplementationNull::LoadSound(zk_sound_t*, const char*) { return true; }
void SoundImplementationNull::FreeSound(zk_sound_t*) {}
void SoundImplementationNull::SetMasterVolume(float) {}
int64_t SoundImplementationNull::PlaySound(zk_sound_t*, float, float, float) { return 0; }
void SoundImplementationNull::StopChannel(int64_t) {}
void SoundImplementationNull::SetChannelPan(int64_t, float) {}
void SoundImplementationNull::SetChannelVolume(int64_t, float) {}
void SoundImplementationNull::SetChannelPaused(int64_t, bool) {}
void SoundImplementationNull::SetChannelLooping(int64_t, bool) {}
void SoundImplementationNull::SetChannelFrequency(int64_t, float) {}
bool SoundImplementationNull::IsChannelAlive(int64_t) { return false; }
void SoundImplementationNull::PlayMusic(zk_sound_t*, float) {}
void SoundImplementationNull::StopMusic() {}
void SoundImplementationNull::SetMusicPaused(bool) {}
void SoundImplementationNull::SetMusicVolume(float) {}
void SoundImplementationNull::ActivateWindow(bool) {}
void SoundImplementationNull::FrameStart() {}
void SoundImplementationNull::FrameReady() {}
bool SoundImplementationNull::IsSupported() { return true; }
void SoundImplementationNull::SetMusicLooping(bool) {}

// --- The null back end with memory allocations -------------------------------------

const char* SoundImpWithMemoryAllocs::GetName() { return "SoundImp Null With Memory Allocations"; }

bool SoundImpWithMemoryAllocs::Initialize(zk_state_t*, zk_parms_t*) {
    // A second initialisation without a shutdown keeps one buffer, not two.
    free(work_buffer);
    work_buffer = malloc(kWorkBufferBytes);
    return true;
}

void SoundImpWithMemoryAllocs::Shutdown() {
    free(work_buffer);
    work_buffer = nullptr;
}

bool SoundImpWithMemoryAllocs::LoadSound(zk_sound_t* sound, const char* file) {
    if (!sound) return false;
    zk_file_t* f = zk->file_system->ZK_FileSystem_OpenFile(file, "r");
    if (!f) return false;
    int64_t size = f->size > 0 ? f->size : 0;
    uint8_t* data = static_cast<uint8_t*>(malloc(static_cast<size_t>(size) * 2 + 8));
    if (!data) {
        zk->file_system->ZK_FileSystem_CloseFile(f);
        return false;
    }
    data[0] = 0;
    sound->data = data;
    sound->length = static_cast<float>(size) / 1024.0f;
    zk->file_system->ZK_FileSystem_CloseFile(f);
    return true;
}

void SoundImpWithMemoryAllocs::FreeSound(zk_sound_t* sound) {
    if (!sound) return;
    free(sound->data);
    sound->data = nullptr;
}

// --- Accessors -----------------------------------------------------------------------

SoundImplementation* GetSoundImpNull() {
    static SoundImplementationNull sound;
    return &sound;
}

SoundImplementation* GetSoundImpNullWithMemoryAllocs() {
    static SoundImpWithMemoryAllocs sound;
    return &sound;
}

SoundImplementation* ZKID_LoadSoundImp() { return GetSoundImpNull(); }
