// The sound back end: loads and frees sound data, plays channels and music
// and takes the channel and music commands. The engine holds the current one
// in zk_state.sound_imp and in the sound manager (sound_manager.h), which is
// its only caller besides the load and release paths of the sound records
// and the activation handling of the core.
//
// The virtual operations keep their order (programs built against the engine
// see the same table of operations). The operations marked deprecated now
// belong to the sound manager: a back end keeps them only so that old
// callers get a warning and 555 instead of a crash.
//
// This program ships two back ends without sound output: the null one
// (GetSoundImpNull, used at start-up and whenever sound is disabled) and one
// that really reads each sound file and holds memory for it
// (GetSoundImpNullWithMemoryAllocs, reached only through its accessor).
#pragma once

#include <cstdint>

#include "engine/runtime/media_records.h"
#include "engine/runtime/state.h"

class SoundImplementation {
public:
    virtual ~SoundImplementation() {}
    virtual const char* GetName() = 0;
    // True on success.
    virtual bool Initialize(zk_state_t* state, zk_parms_t* parms) = 0;
    // A quick re-initialisation after the screen changed; true when done.
    virtual bool AttemptReinitialize(zk_state_t* state, zk_parms_t* parms);
    virtual void Shutdown() = 0;
    // Sets the record's data (non-null means playable) and length in
    // seconds; true on success.
    virtual bool LoadSound(zk_sound_t* sound, const char* file) = 0;
    // Releases the record's data and clears it.
    virtual void FreeSound(zk_sound_t* sound) = 0;
    // Applied by the back end itself: the manager never multiplies it in.
    virtual void SetMasterVolume(float volume) = 0;
    // Returns the back end's own channel (never shown to the program).
    virtual int64_t PlaySound(zk_sound_t* sound, float volume, float pan, float frequency) = 0;
    // PlaySound, then SetChannelLooping(channel, true) when `loop` is set.
    virtual int64_t PlaySoundLooping(zk_sound_t* sound, float volume, float pan, float frequency, bool loop);
    virtual void StopChannel(int64_t channel) = 0;
    virtual void SetChannelPan(int64_t channel, float pan) = 0;
    virtual void SetChannelVolume(int64_t channel, float volume) = 0;
    virtual void SetChannelPaused(int64_t channel, bool paused) = 0;
    virtual void SetChannelLooping(int64_t channel, bool looping) = 0;
    virtual void SetChannelFrequency(int64_t channel, float frequency) = 0;
    // Turns false once a channel that does not loop has finished.
    virtual bool IsChannelAlive(int64_t channel) = 0;
    virtual void PlayMusic(zk_sound_t* sound, float volume) = 0;
    virtual int PlayMusic(zk_sound_t* sound, float volume, float fade_in_time);  // deprecated
    // Answers 555 without a message.
    virtual int StopMusic(float fade_out_time);
    virtual int SlideMusicVolume(float target_volume, float slide_time);         // deprecated
    virtual int GetMusicPlaying();                                                // deprecated
    virtual int CallExtension(const char* name, const char* value);              // deprecated
    virtual int GetChannelSound(int64_t channel);                                 // deprecated
    virtual int SlideChannelVolume(int64_t channel, float target_volume, float slide_time);  // deprecated
    virtual int StopChannelWithFade(int64_t channel, float fade_time);            // deprecated
    virtual void StopMusic() = 0;
    virtual void SetMusicPaused(bool paused) = 0;
    virtual void SetMusicVolume(float volume) = 0;
    // The application became active (true) or resigned (false).
    virtual void ActivateWindow(bool active) = 0;
    virtual void FrameStart() = 0;
    virtual void FrameReady() = 0;
    virtual bool IsSupported() = 0;
    virtual void SetMusicLooping(bool looping) = 0;
};

// Initialises, loads every sound without data (so nothing ever plays),
// answers channel 0 and no channel alive, and ignores every command.
class SoundImplementationNull : public SoundImplementation {
public:
    using SoundImplementation::PlayMusic;
    using SoundImplementation::StopMusic;

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
};

// The null back end that really opens each sound file and holds memory for
// it: 2 x the file's size + 8 bytes of data and one second of length per
// KiB, plus a 10 MiB work buffer while initialised. Useful to watch memory
// figures move without a sound device.
class SoundImpWithMemoryAllocs : public SoundImplementationNull {
public:
    enum { kWorkBufferBytes = 10 * 1024 * 1024 };

    const char* GetName() override;
    bool Initialize(zk_state_t* state, zk_parms_t* parms) override;
    void Shutdown() override;
    bool LoadSound(zk_sound_t* sound, const char* file) override;
    void FreeSound(zk_sound_t* sound) override;

    void* work_buffer = nullptr;
};

// The one null back end ("SoundImp Null"), built on first use.
SoundImplementation* GetSoundImpNull();
// The one back end with memory allocations, built on first use.
SoundImplementation* GetSoundImpNullWithMemoryAllocs();
// The platform's choice of back end: the null one here.
SoundImplementation* ZKID_LoadSoundImp();
