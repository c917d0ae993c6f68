// stand-in until: engine/media zk_media ZKI_FillAudioInterface
// Neutral stand-ins for the audio sub-table: every function answers false,
// zero or null and does nothing else. They give way to the media
// subsystem's definitions of the same names.

#include "engine/core/interface_functions.h"

zk_sound_t* ZK_Audio_GetChannelSound(long /*channel*/) { return nullptr; }
bool ZK_Audio_GetMusicPlaying() { return false; }
zk_sound_t* ZK_Audio_GetSound(const char* /*name*/) { return nullptr; }
zk_sound_t* ZK_Audio_GetSoundWithCacheMode(const char* /*name*/, int /*mode*/) { return nullptr; }
void ZK_Audio_IncreaseSoundReferenceCount(zk_sound_t* /*sound*/, int /*count*/) {}
bool ZK_Audio_IsChannelAlive(long /*channel*/) { return false; }
zk_sound_t* ZK_Audio_LoadSound(const char* /*name*/) { return nullptr; }
void ZK_Audio_PlayMusic(zk_sound_t* /*sound*/, float /*volume*/, float /*fade_in_time*/) {}
long ZK_Audio_PlaySound(zk_sound_t* /*sound*/, float /*volume*/, float /*pan*/, float /*frequency*/) { return 0; }
long ZK_Audio_PlaySoundDelayed(zk_sound_t* /*sound*/, float /*volume*/, float /*pan*/, float /*frequency*/, float /*delay*/) { return 0; }
void ZK_Audio_ReleaseSound(zk_sound_t* /*sound*/) {}
void ZK_Audio_SetChannelFrequency(long /*channel*/, float /*frequency*/) {}
void ZK_Audio_SetChannelLooping(long /*channel*/, bool /*looping*/) {}
void ZK_Audio_SetChannelPan(long /*channel*/, float /*pan*/) {}
void ZK_Audio_SetChannelPaused(long /*channel*/, bool /*paused*/) {}
void ZK_Audio_SetChannelVolume(long /*channel*/, float /*volume*/) {}
void ZK_Audio_SetMasterVolume(float /*volume*/) {}
void ZK_Audio_SetMusicPaused(bool /*paused*/) {}
void ZK_Audio_SlideChannelVolume(long /*channel*/, float /*target*/, float /*time*/) {}
void ZK_Audio_SlideMusicVolume(float /*target*/, float /*time*/) {}
bool ZK_Audio_SoundExists(const char* /*name*/) { return false; }
void ZK_Audio_StopChannel(long /*channel*/) {}
void ZK_Audio_StopChannelWithFade(long /*channel*/, float /*time*/) {}
void ZK_Audio_StopMusic(float /*fade_out_time*/) {}

void ZKI_FillAudioInterface(zk_audio_api_t* api) {
    api->ZK_Audio_GetChannelSound = ZK_Audio_GetChannelSound;
    api->ZK_Audio_GetMusicPlaying = ZK_Audio_GetMusicPlaying;
    api->ZK_Audio_GetSound = ZK_Audio_GetSound;
    api->ZK_Audio_GetSoundWithCacheMode = ZK_Audio_GetSoundWithCacheMode;
    api->ZK_Audio_IncreaseSoundReferenceCount = ZK_Audio_IncreaseSoundReferenceCount;
    api->ZK_Audio_IsChannelAlive = ZK_Audio_IsChannelAlive;
    api->ZK_Audio_LoadSound = ZK_Audio_LoadSound;
    api->ZK_Audio_PlayMusic = ZK_Audio_PlayMusic;
    api->ZK_Audio_PlaySound = ZK_Audio_PlaySound;
    api->ZK_Audio_PlaySoundDelayed = ZK_Audio_PlaySoundDelayed;
    api->ZK_Audio_ReleaseSound = ZK_Audio_ReleaseSound;
    api->ZK_Audio_SetChannelFrequency = ZK_Audio_SetChannelFrequency;
    api->ZK_Audio_SetChannelLooping = ZK_Audio_SetChannelLooping;
    api->ZK_Audio_SetChannelPan = ZK_Audio_SetChannelPan;
    api->ZK_Audio_SetChannelPaused = ZK_Audio_SetChannelPaused;
    api->ZK_Audio_SetChannelVolume = ZK_Audio_SetChannelVolume;
    api->ZK_Audio_SetMasterVolume = ZK_Audio_SetMasterVolume;
    api->ZK_Audio_SetMusicPaused = ZK_Audio_SetMusicPaused;
    api->ZK_Audio_SlideChannelVolume = ZK_Audio_SlideChannelVolume;
    api->ZK_Audio_SlideMusicVolume = ZK_Audio_SlideMusicVolume;
    api->ZK_Audio_SoundExists = ZK_Audio_SoundExists;
    api->ZK_Audio_StopChannel = ZK_Audio_StopChannel;
    api->ZK_Audio_StopChannelWithFade = ZK_Audio_StopChannelWithFade;
    api->ZK_Audio_StopMusic = ZK_Audio_StopMusic;
}
