// The audio sub-table of the interface table and the engine's own entry
// points for sounds.
//
// Sound records (zk_sound_t, 512 in zk_state.sounds) are handed out by
// name and reference counted; any thread may take, count and release them
// (core mutex GET_SOUND guards the pool, data loads run outside it). Playing,
// channels and music go through the sound manager and belong to the main
// thread; while the start parameters have sound disabled they answer 0,
// false or null and do nothing. The ZK_Audio_* functions are declared with
// the table (engine/runtime/interface_functions.h).
#pragma once

#include <cstdint>

#include "engine/runtime/interface_functions.h"
#include "engine/runtime/media_records.h"

enum {
    // Cache modes of sounds: 4 loads the data at once (GetSound's mode),
    // 16 only looks up.
    ZK_SOUND_CACHE_LOAD = 4,
    ZK_SOUND_CACHE_LOOK_UP_ONLY = 16,
    // Flag of zk_sound_t::flags: GetSound already counted its reference.
    ZK_SOUND_COUNTED_BY_GET_SOUND = 1,
    // Reference counts are capped here.
    ZK_SOUND_MAX_REFERENCE_COUNT = 4096,
};

// Fills a record as a newly taken pool slot is filled (name copied, count 1)
// and returns the name's hash.
uint32_t ZKI_InitSound(zk_sound_t* sound, const char* name);
// Loads the record's data: a name with its own extension as it is, else the
// first of name.wav, name.ogg and name.mp3 that loads (remembered in
// file_name). False when none loads.
bool ZKI_LoadSound(zk_sound_t* sound);
// Restarts sound with the null back end (sound may have been switched back
// on) and reloads the data of every pooled sound.
void ZKI_ReInitSounds();
// Fills all 24 slots of the audio sub-table in order.
void ZKI_FillAudioInterface(zk_audio_api_t* api);
