// The audio sub-table's play, channel and music functions, the restart of
// the sound back end, and the filling of the sub-table.

#include "engine/sound/audio_api.h"

#include "engine/sound/sound_implementation.h"
#include "engine/sound/sound_manager.h"
#include "engine/runtime/state.h"

namespace {

// Volumes below this are silence: a slide to it is a fade-out.
const float kSilence = 0.0001f;
// Fade-in times count only for music that is not silent.
const float kAudibleMusic = 1e-6f;
// A playing track that is asked for again slides to its new volume this fast.
const float kMusicVolumeChangeSeconds = 1.0f;
// Music being replaced fades out over this long.
const float kMusicHandOverSeconds = 1.0f;
// Longer times than these are likely seconds mistaken for something else.
const float kLongMusicFade = 10.0f;
const float kLongMusicStop = 7.0f;

bool SoundDisabled() { return zk_parms.no_sound != 0; }

bool Playable(const zk_sound_t* sound) { return sound && sound->name && sound->name[0] != '!'; }

// Clamped to 0..1; out-of-range values are reported in developer mode.
float CheckedVolume(float volume, const char* message) {
    bool in_range = volume >= 0.0f && volume <= 1.0f;
    if (!in_range && zk_state.developer_mode) zk->ZK_Popupf(ZK_MESSAGE_WARNING, message, static_cast<double>(volume));
    return volume < 0.0f ? 0.0f : (volume > 1.0f ? 1.0f : volume);
}

void CheckTime(float time, float longest, const char* message) {
    if (time > longest && zk_state.developer_mode) zk->ZK_Popupf(ZK_MESSAGE_WARNING, message, static_cast<double>(time));
}

// True when a channel command should reach the manager.
bool ChannelUsable(zk_sound_channel channel) { return !SoundDisabled() && channel != 0; }

}  // namespace

// --- Playing ----------------------------------------------------------------------

zk_sound_channel ZK_Audio_PlaySound(zk_sound_t* sound, float volume, float pan, float frequency) {
    if (!Playable(sound) || SoundDisabled() || !sound->data) return 0;
    return zk_sound_imp_man.PlaySound(sound, volume, pan, frequency, false);
}

zk_sound_channel ZK_Audio_PlaySoundDelayed(zk_sound_t* sound, float volume, float pan, float frequency, bool loop,
                                           float delay) {
    if (!Playable(sound) || SoundDisabled()) return 0;
    return zk_sound_imp_man.PlaySoundDelayed(sound, volume, pan, frequency, loop, delay);
}

// --- Channels ---------------------------------------------------------------------

zk_sound_t* ZK_Audio_GetChannelSound(zk_sound_channel channel) {
    return ChannelUsable(channel) ? zk_sound_imp_man.GetChannelSound(channel) : nullptr;
}

bool ZK_Audio_IsChannelAlive(zk_sound_channel channel) {
    return ChannelUsable(channel) && zk_sound_imp_man.IsChannelAlive(channel);
}

void ZK_Audio_StopChannel(zk_sound_channel channel) {
    if (ChannelUsable(channel)) zk_sound_imp_man.StopChannel(channel);
}

void ZK_Audio_StopChannelWithFade(zk_sound_channel channel, float time) {
    if (ChannelUsable(channel)) zk_sound_imp_man.StopChannelWithFade(channel, time);
}

void ZK_Audio_SetChannelFrequency(zk_sound_channel channel, float frequency) {
    if (ChannelUsable(channel)) zk_sound_imp_man.SetChannelFrequency(channel, frequency);
}

void ZK_Audio_SetChannelLooping(zk_sound_channel channel, bool looping) {
    if (ChannelUsable(channel)) zk_sound_imp_man.SetChannelLooping(channel, looping);
}

void ZK_Audio_SetChannelPan(zk_sound_channel channel, float pan) {
    if (ChannelUsable(channel)) zk_sound_imp_man.SetChannelPan(channel, pan);
}

void ZK_Audio_SetChannelPaused(zk_sound_channel channel, bool paused) {
    if (ChannelUsable(channel)) zk_sound_imp_man.SetChannelPaused(channel, paused);
}

void ZK_Audio_SetChannelVolume(zk_sound_channel channel, float volume) {
    if (ChannelUsable(channel)) zk_sound_imp_man.SetChannelVolume(channel, volume);
}

void ZK_Audio_SlideChannelVolume(zk_sound_channel channel, float target, float time) {
    if (!ChannelUsable(channel)) return;
    // Sliding to silence is a fade-out that ends the channel.
    if (target < kSilence)
        zk_sound_imp_man.StopChannelWithFade(channel, time);
    else
        zk_sound_imp_man.SlideChannelVolume(channel, target, time);
}

void ZK_Audio_SetMasterVolume(float volume) {
    if (!SoundDisabled()) zk_sound_imp_man.SetMasterVolume(volume);
}

// --- Music ------------------------------------------------------------------------

void ZK_Audio_SetMusicPaused(bool paused) {
    if (!SoundDisabled()) zk_sound_imp_man.SetMusicPaused(paused);
}

zk_sound_t* ZK_Audio_GetMusicPlaying() { return SoundDisabled() ? nullptr : zk_sound_imp_man.GetMusicPlaying(); }

void ZK_Audio_SlideMusicVolume(float target, float time) {
    if (SoundDisabled()) return;
    CheckTime(time, kLongMusicFade, "ZK_Audio_SlideMusicVolume: slide_time is suspiciously high (%g)");
    float volume = CheckedVolume(target, "ZK_Audio_SlideMusicVolume: target_volume is out of range 0..1 (%g)");
    zk_sound_imp_man.SlideMusicVolume(volume, time);
}

void ZK_Audio_PlayMusic(zk_sound_t* sound, float volume, float fade_in_time) {
    if (SoundDisabled() || !sound) return;
    CheckTime(fade_in_time, kLongMusicFade, "ZK_Audio_PlayMusic: fade_in_time is suspiciously high (%g)");
    volume = CheckedVolume(volume, "ZK_Audio_PlayMusic: volume is out of range 0..1 (%g)");

    zk_sound_t* playing = zk_sound_imp_man.GetMusicPlaying();
    if (playing == sound && zk_state.music_requested) {
        zk_sound_imp_man.SlideMusicVolume(volume, kMusicVolumeChangeSeconds);
        return;
    }
    if (playing && zk_state.music_requested) {
        // Drops pending music and fades the current track out, unless it
        // already fades out to stop.
        zk_state.music_requested = 0;
        zk_sound_imp_man.StopMusic(kMusicHandOverSeconds);
    }
    if (!Playable(sound)) return;
    float fade_in = volume >= kAudibleMusic ? fade_in_time : 0.0f;
    if (sound->data) zk_sound_imp_man.PlayMusic(sound, volume, fade_in);
    zk_state.music_requested = 1;
}

void ZK_Audio_StopMusic(float fade_out_time) {
    if (SoundDisabled() || !zk_state.music_requested) return;
    zk_state.music_requested = 0;
    CheckTime(fade_out_time, kLongMusicStop, "ZK_Audio_StopMusic: fade_out_time is suspiciously high (%g)");
    zk_sound_imp_man.StopMusic(fade_out_time);
}

// --- Restart and table ------------------------------------------------------------

void ZKI_ReInitSounds() {
    if (zk_state.prog) zk_parms.no_sound = zk_state.prog->parms.no_sound;
    if (zk_state.sound_imp) zk_state.sound_imp->Shutdown();
    SoundImplementation* sound = GetSoundImpNull();
    zk_state.sound_imp = sound;
    zk_sound_imp_man.SetSoundImp(sound);
    if (sound->Initialize(&zk_state, &zk_parms)) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "SoundImplementation initialized.");
        zk_sound_imp_man.OnSoundImplementationInitialized();
    } else {
        zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING, "No Sound Implementation available.");
    }
    for (int i = 0; i < zk_state.num_sounds && i < ZK_MAX_SOUNDS; ++i) {
        zk_sound_t* record = &zk_state.sounds[i];
        if (!record->name) continue;
        if (!ZKI_LoadSound(record)) zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING, "Unable to reload sound '%s'", record->name);
    }
}

void ZKI_FillAudioInterface(zk_audio_api_t* api) {
#define ZK_AUDIO_SLOT(ret, name, params, attributes) api->name = name;
#include "engine/runtime/interface.def"
}
