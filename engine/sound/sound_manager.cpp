// The sound manager: banks, channel handles, play limits, delayed starts,
// channel slides and fades, and the music hand-over.

#include "engine/sound/sound_manager.h"

#include <cstring>

#include "engine/sound/sound_implementation.h"
#include "engine/runtime/state.h"

SoundImplementationManager zk_sound_imp_man;

namespace {

// Volumes closer than this count as equal.
const float kVolumeTolerance = 0.0001f;
// Two music volumes closer than this need no slide.
const float kMusicVolumeTolerance = 0.01f;
// Delays above this many seconds are cut to it.
const float kLongestDelay = 15.0f;
// A fade-out aims just below silence so that it reaches 0 for certain.
const float kFadeOutTarget = -0.01f;
// Music being replaced fades out over this long.
const float kMusicHandOverSeconds = 1.0f;
// A bank is taken for finished this long before its sound's length is over.
const int kFinishSlackMs = 100;

int Now() { return static_cast<int>(zk->ZK_GetTime()); }

float Clamp01(float value) { return value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value); }

float Distance(float a, float b) { return a > b ? a - b : b - a; }

}  // namespace

SoundImplementationManager::SoundImplementationManager()
    : last_update_time(0),
      pending_music(nullptr),
      pending_music_fade_in_time(0.0f),
      pending_music_volume(0.0f),
      current_music(nullptr),
      music_sliding(0),
      music_slide_target(1.0f),
      music_slide_start(1.0f),
      music_slide_time(1.0f),
      music_slide_elapsed(0.0f),
      music_volume(1.0f),
      stop_music_after_slide(0),
      music_paused(0),
      sound_imp(nullptr),
      sound_banks(),
      num_sound_banks(0),
      next_channel_id(1),
      master_volume(1.0f) {}

float SoundImplementationManager::GetCleanedUpVolume(float volume) {
    if (volume < 0.001f) return 0.0f;
    if (volume > 0.999f) return 1.0f;
    return volume;
}

// --- Back end ---------------------------------------------------------------------

void SoundImplementationManager::SetSoundImp(SoundImplementation* imp) {
    sound_imp = imp;
    memset(static_cast<void*>(sound_banks), 0, sizeof(sound_banks));
    num_sound_banks = 0;
}

void SoundImplementationManager::OnSoundImplementationInitialized() {
    if (sound_imp) sound_imp->SetMasterVolume(master_volume);
}

bool SoundImplementationManager::LoadSound(zk_sound_t* sound, const char* file) {
    return zk_state.sound_imp ? zk_state.sound_imp->LoadSound(sound, file) : true;
}

void SoundImplementationManager::FreeSound(zk_sound_t* sound) {
    if (sound && sound->data && zk_state.sound_imp) zk_state.sound_imp->FreeSound(sound);
}

// --- Banks ------------------------------------------------------------------------

void SoundImplementationManager::InitializeSoundBankAtIndex(int index) {
    if (index < 0 || index >= kMaxSoundBanks) return;
    SoundBank& bank = sound_banks[index];
    bank.sound = nullptr;
    bank.playing = 0;
    bank.channel_id = next_channel_id++;
    if (num_sound_banks < index + 1) num_sound_banks = index + 1;
}

int SoundImplementationManager::GetFreeSoundBankIndex() {
    int found = -1;
    for (int i = 0; i < num_sound_banks && found < 0; ++i) {
        if (sound_banks[i].channel_id == 0) found = i;
    }
    if (found < 0) {
        CleanUpSoundBanks();
        for (int i = 0; i < kMaxSoundBanks && found < 0; ++i) {
            if (sound_banks[i].channel_id == 0) found = i;
        }
    }
    if (found >= 0) InitializeSoundBankAtIndex(found);
    return found;
}

void SoundImplementationManager::KillSoundBank(int index) {
    if (index < 0 || index >= kMaxSoundBanks) return;
    sound_banks[index].channel_id = 0;
    sound_banks[index].native_channel_id = 0;
    if (index >= num_sound_banks) return;
    int last = num_sound_banks - 1;
    SoundBank removed = sound_banks[index];
    sound_banks[index] = sound_banks[last];
    sound_banks[last] = removed;
    --num_sound_banks;
}

bool SoundImplementationManager::CleanUpSoundBank(SoundBank* bank, int now) {
    if (!bank || bank->channel_id == 0) return false;
    if (!bank->sound) {
        KillSoundBank(GetSoundBankIndex(bank));
        return false;
    }
    if (!bank->playing) return false;
    float finishes_at = bank->sound->length * 1000.0f - static_cast<float>(kFinishSlackMs);
    if (static_cast<float>(now - bank->start_time) < finishes_at) return false;
    if (sound_imp && sound_imp->IsChannelAlive(bank->native_channel_id)) return false;
    KillSoundBank(GetSoundBankIndex(bank));
    return true;
}

void SoundImplementationManager::CleanUpSoundBanks() {
    int now = Now();
    // A removal swaps the last bank into this position: look at it again.
    for (int i = 0; i < num_sound_banks;) {
        if (!CleanUpSoundBank(&sound_banks[i], now)) ++i;
    }
}

int SoundImplementationManager::GetSoundBankIndexByChannelId(zk_sound_channel channel) {
    for (int i = 0; i < num_sound_banks; ++i) {
        if (sound_banks[i].channel_id == channel) return i;
    }
    return -1;
}

int SoundImplementationManager::GetSoundBankIndexByNativeChannelId(int64_t native_channel) {
    for (int i = 0; i < num_sound_banks; ++i) {
        if (sound_banks[i].native_channel_id == native_channel) return i;
    }
    return -1;
}

int SoundImplementationManager::GetSoundBankIndex(const SoundBank* bank) {
    if (bank < sound_banks || bank >= sound_banks + kMaxSoundBanks) return -1;
    return static_cast<int>(bank - sound_banks);
}

// --- Playing ----------------------------------------------------------------------

void SoundImplementationManager::FillBank(SoundBank& bank, zk_sound_t* sound, int64_t native_channel, int start_time,
                                          float volume, float pan, float frequency, bool loop, bool playing) {
    bank.native_channel_id = native_channel;
    bank.sound = sound;
    bank.start_time = start_time;
    bank.volume = volume;
    bank.pan = pan;
    bank.frequency = frequency;
    bank.sliding = 0;
    bank.stop_after_slide = 0;
    bank.looping = loop ? 1 : 0;
    bank.playing = playing ? 1 : 0;
}

int SoundImplementationManager::CountInstancesPlaying(zk_sound_t* sound) {
    int now = Now();
    int count = 0;
    for (int i = 0; i < num_sound_banks;) {
        SoundBank& bank = sound_banks[i];
        // Plays still waiting to start are not instances yet.
        if (bank.channel_id == 0 || bank.sound != sound || !bank.playing) {
            ++i;
            continue;
        }
        // A removal swaps another bank into this position: look at it too.
        if (CleanUpSoundBank(&bank, now)) continue;
        ++count;
        ++i;
    }
    return count;
}

zk_sound_channel SoundImplementationManager::PlaySoundInSoundBank(int index, zk_sound_t* sound, const float& volume,
                                                                  const float& pan, const float& frequency,
                                                                  const bool& loop) {
    if (index < 0 || index >= kMaxSoundBanks || !sound || !sound->data) return 0;
    int now = Now();
    if (sound->last_play_time != 0 && now - sound->last_play_time < kMinReplayIntervalMs) return 0;
    // Counting may clean finished banks up, which moves banks around: the
    // bank to fill is followed by its channel, not by its position.
    zk_sound_channel channel = sound_banks[index].channel_id;
    if (CountInstancesPlaying(sound) >= kMaxInstancesOfOneSound) return 0;
    if (channel != 0) index = GetSoundBankIndexByChannelId(channel);
    if (index < 0) return 0;

    float cleaned = GetCleanedUpVolume(volume);
    sound->last_play_time = now;
    int64_t native = sound_imp ? sound_imp->PlaySoundLooping(sound, cleaned, pan, frequency, loop) : 0;
    FillBank(sound_banks[index], sound, native, now, cleaned, pan, frequency, loop, true);
    return sound_banks[index].channel_id;
}

zk_sound_channel SoundImplementationManager::PlaySound(zk_sound_t* sound, const float& volume, const float& pan,
                                                       const float& frequency, const bool& loop) {
    int index = GetFreeSoundBankIndex();
    if (index < 0) return 0;
    return PlaySoundInSoundBank(index, sound, volume, pan, frequency, loop);
}

zk_sound_channel SoundImplementationManager::PlaySoundDelayed(zk_sound_t* sound, const float& volume,
                                                              const float& pan, const float& frequency,
                                                              const bool& loop, const float& delay) {
    if (!sound || !sound->data) return 0;
    // A delay that is not a number plays at once, like one of 0: turned
    // into milliseconds it would have no integer value.
    if (!(delay > 0.0f)) return PlaySound(sound, volume, pan, frequency, loop);
    float wait = delay;
    if (wait > kLongestDelay) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Trying to play sound '%s' with too long delay %.1fs (warning triggers at %.0fs)",
                      sound->name ? sound->name : "", static_cast<double>(wait), static_cast<double>(kLongestDelay));
        wait = kLongestDelay;
    }
    int index = GetFreeSoundBankIndex();
    if (index < 0) return 0;
    // The volume is cleaned when the play starts.
    int due = Now() + static_cast<int>(wait * 1000.0f);
    FillBank(sound_banks[index], sound, 0, due, volume, pan, frequency, loop, false);
    return sound_banks[index].channel_id;
}

void SoundImplementationManager::StopAllChannelsPlayingSound(zk_sound_t* sound) {
    for (int i = 0; i < num_sound_banks;) {
        SoundBank& bank = sound_banks[i];
        if (bank.channel_id == 0 || bank.sound != sound) {
            ++i;
            continue;
        }
        if (bank.playing && sound_imp) sound_imp->StopChannel(bank.native_channel_id);
        // The last bank now sits here and may play the same sound.
        KillSoundBank(i);
    }
}

int SoundImplementationManager::GetNumberOfSoundInstancesPlaying(zk_sound_t* sound) {
    return CountInstancesPlaying(sound);
}

// --- Channels ---------------------------------------------------------------------

bool SoundImplementationManager::IsChannelAlive(zk_sound_channel channel) {
    int index = GetSoundBankIndexByChannelId(channel);
    if (index < 0) return false;
    const SoundBank& bank = sound_banks[index];
    if (!bank.playing || bank.looping) return true;
    if (sound_imp && sound_imp->IsChannelAlive(bank.native_channel_id)) return true;
    KillSoundBank(index);
    return false;
}

zk_sound_t* SoundImplementationManager::GetChannelSound(zk_sound_channel channel) {
    int index = GetSoundBankIndexByChannelId(channel);
    if (index < 0) return nullptr;
    const SoundBank& bank = sound_banks[index];
    if (bank.playing && !bank.looping && !(sound_imp && sound_imp->IsChannelAlive(bank.native_channel_id))) {
        KillSoundBank(index);
        return nullptr;
    }
    return bank.sound;
}

void SoundImplementationManager::StopChannel(zk_sound_channel channel) {
    int index = GetSoundBankIndexByChannelId(channel);
    if (index < 0) return;
    if (sound_banks[index].playing && sound_imp) sound_imp->StopChannel(sound_banks[index].native_channel_id);
    KillSoundBank(index);
}

void SoundImplementationManager::StartSlide(SoundBank& bank, float target, float slide_time, bool stop_after) {
    bank.sliding = 1;
    bank.stop_after_slide = stop_after ? 1 : 0;
    bank.slide_start_volume = bank.volume;
    bank.slide_target_volume = target;
    bank.slide_elapsed = 0.0f;
    bank.slide_time = slide_time;
}

void SoundImplementationManager::StopChannelWithFade(zk_sound_channel channel, float fade_time) {
    int index = GetSoundBankIndexByChannelId(channel);
    if (index < 0) return;
    if (!sound_banks[index].playing) {
        KillSoundBank(index);
        return;
    }
    StartSlide(sound_banks[index], 0.0f, fade_time, true);
}

SoundImplementationManager::SoundBank* SoundImplementationManager::BankOf(zk_sound_channel channel) {
    int index = GetSoundBankIndexByChannelId(channel);
    return index < 0 ? nullptr : &sound_banks[index];
}

SoundImplementation* SoundImplementationManager::BackEndPlaying(const SoundBank& bank) {
    return bank.playing ? sound_imp : nullptr;
}

void SoundImplementationManager::SetChannelVolume(zk_sound_channel channel, float volume) {
    SoundBank* bank = BankOf(channel);
    if (!bank) return;
    float cleaned = GetCleanedUpVolume(volume);
    if (Distance(cleaned, bank->volume) < kVolumeTolerance) return;
    bank->volume = cleaned;
    if (SoundImplementation* imp = BackEndPlaying(*bank)) imp->SetChannelVolume(bank->native_channel_id, cleaned);
}

// Pan, frequency and looping are kept for a play that has not started yet.
void SoundImplementationManager::SetChannelPan(zk_sound_channel channel, float pan) {
    SoundBank* bank = BankOf(channel);
    if (!bank) return;
    bank->pan = pan;
    if (SoundImplementation* imp = BackEndPlaying(*bank)) imp->SetChannelPan(bank->native_channel_id, pan);
}

void SoundImplementationManager::SetChannelFrequency(zk_sound_channel channel, float frequency) {
    SoundBank* bank = BankOf(channel);
    if (!bank) return;
    bank->frequency = frequency;
    if (SoundImplementation* imp = BackEndPlaying(*bank)) imp->SetChannelFrequency(bank->native_channel_id, frequency);
}

void SoundImplementationManager::SetChannelLooping(zk_sound_channel channel, bool looping) {
    SoundBank* bank = BankOf(channel);
    if (!bank) return;
    bank->looping = looping ? 1 : 0;
    if (SoundImplementation* imp = BackEndPlaying(*bank)) imp->SetChannelLooping(bank->native_channel_id, looping);
}

void SoundImplementationManager::SetChannelPaused(zk_sound_channel channel, bool paused) {
    SoundBank* bank = BankOf(channel);
    if (!bank) return;
    if (SoundImplementation* imp = BackEndPlaying(*bank)) imp->SetChannelPaused(bank->native_channel_id, paused);
}

void SoundImplementationManager::SlideChannelVolume(zk_sound_channel channel, float target_volume, float slide_time) {
    float target = GetCleanedUpVolume(target_volume);
    int index = GetSoundBankIndexByChannelId(channel);
    if (index < 0) return;
    SoundBank& bank = sound_banks[index];
    if (Distance(target, bank.volume) < kVolumeTolerance) return;
    if (bank.sliding && bank.stop_after_slide) return;  // a fade-out to stop keeps its course
    if (!bank.playing) {
        bank.volume = target;
        return;
    }
    StartSlide(bank, target, slide_time, false);
}

void SoundImplementationManager::SetMasterVolume(float volume) {
    float cleaned = GetCleanedUpVolume(volume);
    bool changed = cleaned != master_volume;
    master_volume = cleaned;
    if (changed && sound_imp) sound_imp->SetMasterVolume(cleaned);
}

void SoundImplementationManager::UpdateSoundBank(int index, float dt, int now) {
    SoundBank& bank = sound_banks[index];
    if (bank.channel_id == 0 || !bank.sound) return;
    if (!bank.playing) {
        // A refused start keeps its bank and is tried again next time.
        if (now >= bank.start_time)
            PlaySoundInSoundBank(index, bank.sound, bank.volume, bank.pan, bank.frequency, bank.looping != 0);
        return;
    }
    if (!bank.sliding) return;
    bank.slide_elapsed += dt;
    if (bank.slide_elapsed < bank.slide_time) {
        float t = Clamp01(bank.slide_elapsed / bank.slide_time);
        SetChannelVolume(bank.channel_id, bank.slide_target_volume * t + (1.0f - t) * bank.slide_start_volume);
        return;
    }
    bank.sliding = 0;
    if (bank.stop_after_slide) {
        if (sound_imp) sound_imp->StopChannel(bank.native_channel_id);
        KillSoundBank(index);
        return;
    }
    SetChannelVolume(bank.channel_id, bank.slide_target_volume);
}

void SoundImplementationManager::UpdateSoundBanks(float dt) {
    int now = Now();
    // Starting a delayed sound cleans finished banks up, and a removal
    // moves the last bank into the removed one's place, possibly one
    // already passed: the banks are followed by their channels as they
    // stood at the start, so that each gets exactly one step.
    zk_sound_channel channels[kMaxSoundBanks];
    int count = num_sound_banks;
    for (int i = 0; i < count; ++i) channels[i] = sound_banks[i].channel_id;
    for (int i = 0; i < count; ++i) {
        if (channels[i] == 0) continue;
        int index = i < num_sound_banks && sound_banks[i].channel_id == channels[i]
                        ? i
                        : GetSoundBankIndexByChannelId(channels[i]);
        if (index >= 0) UpdateSoundBank(index, dt, now);
    }
}

// --- Music --------------------------------------------------------------------------

bool SoundImplementationManager::MusicFadesOutToStop() const { return music_sliding && stop_music_after_slide; }

void SoundImplementationManager::FadeOutMusic(float fade_time) {
    music_sliding = 1;
    stop_music_after_slide = 1;
    music_slide_target = kFadeOutTarget;
    music_slide_start = music_volume;
    music_slide_time = fade_time;
    music_slide_elapsed = 0.0f;
}

void SoundImplementationManager::PlayMusic(zk_sound_t* sound, float volume, float fade_in_time) {
    if (!sound || !sound->data) return;
    pending_music = nullptr;
    if (current_music && !MusicFadesOutToStop()) FadeOutMusic(kMusicHandOverSeconds);
    pending_music = sound;
    pending_music_fade_in_time = fade_in_time;
    pending_music_volume = Clamp01(GetCleanedUpVolume(volume));
    music_paused = 0;
}

void SoundImplementationManager::StopMusic(float fade_out_time) {
    pending_music = nullptr;
    if (current_music && !MusicFadesOutToStop()) FadeOutMusic(fade_out_time);
}

void SoundImplementationManager::SlideMusicVolume(float target_volume, float slide_time) {
    float target = GetCleanedUpVolume(target_volume);
    if (pending_music) {
        pending_music_volume = target;
        return;
    }
    if (music_volume > 0.0f && target > 0.0f && Distance(music_volume, target) <= kMusicVolumeTolerance) return;
    music_sliding = 1;
    music_slide_target = target;
    music_slide_start = music_volume;
    music_slide_time = slide_time;
    music_slide_elapsed = 0.0f;
}

void SoundImplementationManager::SetMusicPaused(bool paused) {
    music_paused = paused ? 1 : 0;
    if (sound_imp) sound_imp->SetMusicPaused(paused);
}

zk_sound_t* SoundImplementationManager::GetMusicPlaying() {
    if (pending_music) return pending_music;
    if (MusicFadesOutToStop()) return nullptr;
    return current_music;
}

void SoundImplementationManager::Update() {
    uint32_t now = zk->ZK_GetTime();
    float dt = now > last_update_time ? static_cast<float>(now - last_update_time) / 1000.0f : 0.0f;
    last_update_time = now;
    if (dt > 0.0f) UpdateSoundBanks(dt);
    if (music_paused) return;

    float volume_before = music_volume;
    if (music_sliding) {
        music_slide_elapsed += dt;
        float t = music_slide_time <= 0.0f ? 1.0f : Clamp01(music_slide_elapsed / music_slide_time);
        music_volume = Clamp01(t * music_slide_target + (1.0f - t) * music_slide_start);
        if (music_slide_elapsed >= music_slide_time) {
            music_sliding = 0;
            if (stop_music_after_slide && current_music) {
                if (sound_imp) sound_imp->StopMusic();
                current_music = nullptr;
            }
        }
    }

    if (!current_music && pending_music) {
        zk_sound_t* music = pending_music;
        bool playable = music->data && sound_imp;
        if (pending_music_fade_in_time > 0.0f) {
            music_sliding = 1;
            music_slide_start = 0.0f;
            music_slide_target = pending_music_volume;
            music_slide_time = pending_music_fade_in_time;
            music_slide_elapsed = 0.0f;
            music_volume = 0.0f;
            if (playable) sound_imp->PlayMusic(music, 0.0f);
        } else {
            music_volume = pending_music_volume;
            if (playable) sound_imp->PlayMusic(music, music_volume);
        }
        stop_music_after_slide = 0;
        current_music = music;
        pending_music = nullptr;
    }

    if (!current_music) return;
    if (music_volume != volume_before && sound_imp) sound_imp->SetMusicVolume(music_volume);
}
