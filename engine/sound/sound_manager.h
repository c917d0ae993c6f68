// The sound manager: stands between the audio API and the current sound back
// end. It owns up to 256 sound banks, one per play of a sound, and gives
// each play a channel handle (from 1 upward, never reused) that stays valid
// while the back end's own channel comes and goes. It keeps the master
// volume, runs volume slides and fades of channels and of the one music
// track, starts delayed sounds, and limits how often and how many times one
// sound plays.
//
// There is one instance, zk_sound_imp_man. It has no lock: every operation
// belongs to the main thread (the frame step and program code called from
// it). Times inside are milliseconds of the engine clock (zk->ZK_GetTime);
// the operations take seconds where they take a duration.
#pragma once

#include <cstdint>

#include "engine/runtime/media_records.h"
#include "engine/runtime/zekar.h"

class SoundImplementation;

class SoundImplementationManager {
public:
    enum {
        kMaxSoundBanks = 256,
        kMinReplayIntervalMs = 25,     // a sound started again sooner is refused
        kMaxInstancesOfOneSound = 20,  // a sound playing this often is refused
    };

    struct SoundBank {
        int64_t channel_id;         // engine channel handle; 0 = free bank
        int64_t native_channel_id;  // the back end's channel, 0 before the start
        zk_sound_t* sound;
        int32_t start_time;         // ms: due time while waiting, start time once playing
        uint8_t playing;            // the back end has started the channel
        float volume;               // cleaned
        float pan;
        float frequency;
        uint8_t sliding;
        uint8_t stop_after_slide;   // the slide is a fade-out
        float slide_start_volume;
        float slide_target_volume;
        float slide_time;           // seconds
        float slide_elapsed;        // seconds
        uint8_t looping;
    };

    SoundImplementationManager();

    // Volumes below 0.001 become 0, above 0.999 become 1.0.
    static float GetCleanedUpVolume(float volume);

    // Installs a back end and forgets every bank without stopping it; the
    // channel counter and the master volume stay.
    void SetSoundImp(SoundImplementation* imp);
    // Hands the master volume to the back end.
    void OnSoundImplementationInitialized();
    // Through the back end of the engine state (true without one).
    bool LoadSound(zk_sound_t* sound, const char* file);
    void FreeSound(zk_sound_t* sound);

    // Each returns the play's channel handle, or 0 when no bank is free or
    // the play is refused (a sound without data, one started less than
    // 25 ms ago, or one already playing 20 times).
    zk_sound_channel PlaySound(zk_sound_t* sound, const float& volume, const float& pan, const float& frequency,
                               const bool& loop);
    // Starts later, from UpdateSoundBanks; delays above 15 s are cut to 15 s
    // with a warning.
    zk_sound_channel PlaySoundDelayed(zk_sound_t* sound, const float& volume, const float& pan,
                                      const float& frequency, const bool& loop, const float& delay);
    zk_sound_channel PlaySoundInSoundBank(int index, zk_sound_t* sound, const float& volume, const float& pan,
                                          const float& frequency, const bool& loop);

    // Bank bookkeeping. A bank is removed by zeroing its channel ids and
    // swapping it with the last bank in use, so positions change: channels
    // are always found by searching.
    int GetFreeSoundBankIndex();
    void InitializeSoundBankAtIndex(int index);
    void KillSoundBank(int index);
    // True when it removed a finished bank; a bank without a sound is
    // removed too, but answers false.
    bool CleanUpSoundBank(SoundBank* bank, int now);
    void CleanUpSoundBanks();
    int GetSoundBankIndexByChannelId(zk_sound_channel channel);
    int GetSoundBankIndexByNativeChannelId(int64_t native_channel);
    int GetSoundBankIndex(const SoundBank* bank);

    void StopAllChannelsPlayingSound(zk_sound_t* sound);
    int GetNumberOfSoundInstancesPlaying(zk_sound_t* sound);

    // Channel operations: a handle that matches no bank is ignored.
    zk_sound_t* GetChannelSound(zk_sound_channel channel);
    bool IsChannelAlive(zk_sound_channel channel);
    void StopChannel(zk_sound_channel channel);
    void StopChannelWithFade(zk_sound_channel channel, float fade_time);
    void SetChannelFrequency(zk_sound_channel channel, float frequency);
    void SetChannelLooping(zk_sound_channel channel, bool looping);
    void SetChannelPan(zk_sound_channel channel, float pan);
    void SetChannelPaused(zk_sound_channel channel, bool paused);
    void SetChannelVolume(zk_sound_channel channel, float volume);
    void SlideChannelVolume(zk_sound_channel channel, float target_volume, float slide_time);

    void SetMasterVolume(float volume);

    // Music: one current track and at most one pending, which starts once
    // the current one is gone.
    void PlayMusic(zk_sound_t* sound, float volume, float fade_in_time);
    void SlideMusicVolume(float target_volume, float slide_time);
    void StopMusic(float fade_out_time);
    void SetMusicPaused(bool paused);
    zk_sound_t* GetMusicPlaying();

    // Once per frame: banks (delayed starts, slides, fades) and music.
    void Update();
    void UpdateSoundBanks(float dt);
    // The developer list of the banks, through the graphics table.
    void DrawSoundBanks();

    uint32_t last_update_time;
    zk_sound_t* pending_music;
    float pending_music_fade_in_time;
    float pending_music_volume;
    zk_sound_t* current_music;
    uint8_t music_sliding;
    float music_slide_target;
    float music_slide_start;
    float music_slide_time;
    float music_slide_elapsed;
    float music_volume;
    uint8_t stop_music_after_slide;
    uint8_t music_paused;
    SoundImplementation* sound_imp;
    SoundBank sound_banks[kMaxSoundBanks];
    int32_t num_sound_banks;
    int64_t next_channel_id;
    float master_volume;

private:
    // The bank of a channel, or null.
    SoundBank* BankOf(zk_sound_channel channel);
    // The back end, while the bank's play has started; else null.
    SoundImplementation* BackEndPlaying(const SoundBank& bank);
    // Everything a play sets in its bank; no slide runs yet.
    void FillBank(SoundBank& bank, zk_sound_t* sound, int64_t native_channel, int start_time, float volume, float pan,
                  float frequency, bool loop, bool playing);
    bool MusicFadesOutToStop() const;
    void FadeOutMusic(float fade_time);
    // Counts the started plays of `sound` that a clean-up keeps.
    int CountInstancesPlaying(zk_sound_t* sound);
    void StartSlide(SoundBank& bank, float target, float slide_time, bool stop_after);
    // One bank's step of UpdateSoundBanks: a due start, or its slide.
    void UpdateSoundBank(int index, float dt, int now);
};

extern SoundImplementationManager zk_sound_imp_man;
