// The pool of sound records: taking a sound by name, loading its data with
// the extension probe, counting and releasing references, and the file
// check behind SoundExists.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/base/file_names.h"
#include "engine/base/nstring.h"
#include "engine/sound/audio_api.h"
#include "engine/sound/sound_manager.h"
#include "engine/runtime/basic_functions.h"
#include "engine/runtime/state.h"

namespace {

// The extensions tried, in order, for a name given without one.
const char* const kSoundExtensions[] = {"wav", "ogg", "mp3"};
const size_t kCandidateSize = 512;  // at most 511 characters

bool IsPlaceholder(const char* name) { return name && name[0] == '!'; }

// Reference-count lines are only wanted while tracking counts down.
bool PrintReferenceCounts() { return ZKI_ProductFeatureExists("PRINT_REFERENCE_COUNT_CHANGES"); }

// "music/theme.ogg" has an extension and is read as it is; "data.dir/theme"
// and ".ogg" have none and are probed.
bool HasOwnExtension(const char* name) { return nPathHasExtension(name, nLEADING_DOT_IS_NAME); }

// In developer mode a name ending in what looks like an extension is
// reported: the probe adds the extension itself.
void WarnAboutExtension(const char* name) {
    if (!zk_state.developer_mode) return;
    size_t length = strlen(name);
    if (length < 5) return;
    if (memchr(name + length - 4, '.', 4))
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Sound name '%s' has file extension. Remove it from the file name.", name);
}

// The pooled record of that name, or null. Under GET_SOUND.
zk_sound_t* FindSound(const char* name, uint32_t hash) {
    for (int i = 0; i < zk_state.num_sounds && i < ZK_MAX_SOUNDS; ++i) {
        zk_sound_t& s = zk_state.sounds[i];
        if (s.name && s.hash == hash && strcmp(s.name, name) == 0) return &s;
    }
    return nullptr;
}

// A free slot (the first without a name, else the next never taken), or
// null when all 512 are taken. Under GET_SOUND.
zk_sound_t* TakeFreeSlot() {
    for (int i = 0; i < zk_state.num_sounds && i < ZK_MAX_SOUNDS; ++i) {
        if (!zk_state.sounds[i].name) return &zk_state.sounds[i];
    }
    if (zk_state.num_sounds >= ZK_MAX_SOUNDS) return nullptr;
    return &zk_state.sounds[zk_state.num_sounds++];
}

// Raises the count by `count`, capping it. Under GET_SOUND.
void RaiseReferenceCount(zk_sound_t* sound, int64_t count) {
    int64_t raised = sound->reference_count + count;
    if (raised > ZK_SOUND_MAX_REFERENCE_COUNT) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Sound '%s' reference count suspiciously high: capping at %d.", sound->name,
                      static_cast<int>(ZK_SOUND_MAX_REFERENCE_COUNT));
        raised = ZK_SOUND_MAX_REFERENCE_COUNT;
    }
    sound->reference_count = static_cast<int16_t>(raised);
}

// Loads the data (outside the pool's lock: loading may take long) and marks
// the record loaded under cache mode `mode` whether or not the data was
// found.
void LoadData(zk_sound_t* sound, int mode) {
    if (!ZKI_LoadSound(sound)) zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Sound resource '%s' not found.", sound->name);
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_SOUND);
    sound->cache_mode = static_cast<uint8_t>(mode);
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_SOUND);
}

// Frees the data through the back end and forgets it. Under GET_SOUND.
void FreeData(zk_sound_t* sound) {
    if (sound->data && zk_state.sound_imp) zk_sound_imp_man.FreeSound(sound);
    sound->data = nullptr;
    sound->data_size = 0;
}

enum TakeKind { kLoadSound, kGetSound };

// The steps LoadSound and GetSoundWithCacheMode share.
zk_sound_t* TakeSound(const char* name, int mode, TakeKind kind) {
    bool searched = name != nullptr;
    if (!name) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, kind == kLoadSound ? "ZK_Audio_LoadSound called with null parameter."
                                                              : "ZK_Audio_GetSoundWithCacheMode called with null parameter.");
        name = "";
    }
    WarnAboutExtension(name);
    uint32_t hash = nStringHash(name);

    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_SOUND);
    zk_sound_t* sound = searched ? FindSound(name, hash) : nullptr;
    if (sound && kind == kLoadSound) {
        if (!IsPlaceholder(name)) {
            RaiseReferenceCount(sound, 1);
            if (PrintReferenceCounts()) zk->ZK_Printf("'%s' ref count++: now %d", name, sound->reference_count);
        }
        bool first_reference = !IsPlaceholder(name) && sound->reference_count == 1 &&
                               sound->cache_mode != ZK_SOUND_CACHE_LOAD;
        ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_SOUND);
        if (first_reference) LoadData(sound, ZK_SOUND_CACHE_LOAD);
        return sound;
    }
    if (sound) {
        // GetSound counts one reference per record for its whole life; the
        // flag and the count change together, under the pool's lock.
        if (mode != ZK_SOUND_CACHE_LOOK_UP_ONLY && !IsPlaceholder(name) &&
            !(sound->flags & ZK_SOUND_COUNTED_BY_GET_SOUND)) {
            sound->flags |= ZK_SOUND_COUNTED_BY_GET_SOUND;
            RaiseReferenceCount(sound, 1);
            if (PrintReferenceCounts())
                zk->ZK_Printf("'%s' ref count++ (GetSound): now %d", name, sound->reference_count);
        }
        ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_SOUND);
        return sound;
    }
    if (kind == kGetSound && mode == ZK_SOUND_CACHE_LOOK_UP_ONLY) {
        ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_SOUND);
        return nullptr;
    }

    zk->ZK_Printf("..caching sound '%s'", name);
    sound = TakeFreeSlot();
    if (!sound) {
        ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_SOUND);
        zk->ZK_Popupf(ZK_MESSAGE_ERROR, " ! Zekar out of free sounds.");
        return nullptr;
    }
    // A slot freed earlier may still hold the file name of its last load.
    free(sound->file_name);
    sound->file_name = nullptr;
    ZKI_InitSound(sound, name);
    if (kind == kGetSound) sound->flags |= ZK_SOUND_COUNTED_BY_GET_SOUND;
    bool stands_for_none = strcmp(name, "!NONE") == 0;
    int loaded_mode = kind == kLoadSound ? static_cast<int>(ZK_SOUND_CACHE_LOAD) : mode;
    // "!NONE" stands for no sound: a record without data.
    if (stands_for_none) sound->cache_mode = static_cast<uint8_t>(loaded_mode);
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_SOUND);
    if (PrintReferenceCounts())
        zk->ZK_Printf(kind == kLoadSound ? "'%s' ref count = 1" : "'%s' ref count = 1 (GetSound)", name);

    if (stands_for_none || !zk_state.sound_imp) return sound;
    if (kind == kLoadSound || (mode & ZK_SOUND_CACHE_LOAD)) LoadData(sound, loaded_mode);
    return sound;
}

}  // namespace

uint32_t ZKI_InitSound(zk_sound_t* sound, const char* name) {
    if (!sound) return 0;
    if (!name) name = "";
    memset(static_cast<void*>(sound), 0, sizeof(*sound));
    sound->name = strdup(name);
    sound->hash = nStringHash(name);
    sound->aux_id = -1;
    sound->state = 2;
    sound->reference_count = 1;
    if (sound >= zk_state.sounds && sound < zk_state.sounds + ZK_MAX_SOUNDS)
        sound->index = static_cast<int32_t>(sound - zk_state.sounds);
    return sound->hash;
}

bool ZKI_LoadSound(zk_sound_t* sound) {
    if (!sound || !sound->name) return false;
    const char* name = sound->name;
    if (HasOwnExtension(name)) return zk_sound_imp_man.LoadSound(sound, name);
    for (const char* extension : kSoundExtensions) {
        char candidate[kCandidateSize];
        snprintf(candidate, sizeof(candidate), "%s.%s", name, extension);
        // Without a back end nothing can fail: the first candidate stands.
        if (zk_state.sound_imp && !zk_sound_imp_man.LoadSound(sound, candidate)) continue;
        free(sound->file_name);
        sound->file_name = strdup(candidate);
        return true;
    }
    return false;
}

zk_sound_t* ZK_Audio_LoadSound(const char* name) { return TakeSound(name, ZK_SOUND_CACHE_LOAD, kLoadSound); }

zk_sound_t* ZK_Audio_GetSoundWithCacheMode(const char* name, int mode) { return TakeSound(name, mode, kGetSound); }

zk_sound_t* ZK_Audio_GetSound(const char* name) { return ZK_Audio_GetSoundWithCacheMode(name, ZK_SOUND_CACHE_LOAD); }

void ZK_Audio_IncreaseSoundReferenceCount(zk_sound_t* sound, const uint32_t& count) {
    // Free slots and placeholders are never counted.
    if (!sound || count == 0 || !sound->name || IsPlaceholder(sound->name)) return;
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_SOUND);
    bool was_unreferenced = sound->reference_count == 0;
    RaiseReferenceCount(sound, count);
    bool reload = was_unreferenced && sound->cache_mode != ZK_SOUND_CACHE_LOAD;
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_SOUND);
    if (reload) LoadData(sound, ZK_SOUND_CACHE_LOAD);
}

void ZK_Audio_ReleaseSound(zk_sound_t* sound) {
    if (!sound || !sound->name || IsPlaceholder(sound->name)) return;
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_SOUND);
    if (!zk_state.reference_counting) {
        FreeData(sound);
        free(sound->name);
        sound->name = nullptr;
        ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_SOUND);
        return;
    }
    --sound->reference_count;
    if (PrintReferenceCounts())
        zk->ZK_Printf("ReleaseSound: '%s' ref count--: now %d", sound->name, sound->reference_count);
    if ((sound->flags & ZK_SOUND_COUNTED_BY_GET_SOUND) && sound->reference_count == 0)
        zk->ZK_Popupf(ZK_MESSAGE_WARNING,
                      "Releasing sound '%s' too many times: ref counting will get messed up. NOTE: sound has been "
                      "accessed using GetSound which increses ref count by 1 once.",
                      sound->name);
    if (sound->reference_count < 0) {
        sound->reference_count = 0;
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Sound '%s' reference count less than zero.", sound->name);
    } else if (sound->reference_count == 0) {
        zk->ZK_Printf("Hibernating sound '%s'..", sound->name);
        if (sound->cache_mode != 0) {
            FreeData(sound);
            sound->cache_mode = 0;
        }
    }
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_SOUND);
}

bool ZK_Audio_SoundExists(const char* name) {
    if (!name) return false;
    zk_file_system_api_t* files = zk->file_system;
    if (HasOwnExtension(name)) return files->ZK_FileSystem_FileExists(name);
    for (const char* extension : kSoundExtensions) {
        char candidate[kCandidateSize];
        snprintf(candidate, sizeof(candidate), "%s.%s", name, extension);
        if (files->ZK_FileSystem_FileExists(candidate)) return true;
    }
    return false;
}
