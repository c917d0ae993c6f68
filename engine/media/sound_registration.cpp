// The sound parts of the media layer, registered into the runtime's records.

#include "engine/media/sound_registration.h"

#include "engine/media/audio_api.h"
#include "engine/media/sound_implementation.h"
#include "engine/media/sound_manager.h"
#include "engine/runtime/registration.h"
#include "engine/runtime/state.h"

namespace {

void ResetSoundManager(SoundImplementation* imp) { zk_sound_imp_man.SetSoundImp(imp); }

float SoundMasterVolume() { return zk_sound_imp_man.master_volume; }

void ActivateSound(bool active) {
    if (zk_state.sound_imp) zk_state.sound_imp->ActivateWindow(active);
}

// The frame: the back end's frame start, then the manager's banks and music.
void UpdateSound() {
    if (zk_state.sound_imp) zk_state.sound_imp->FrameStart();
    zk_sound_imp_man.Update();
}

void EndSoundFrame() {
    if (zk_state.sound_imp) zk_state.sound_imp->FrameReady();
}

void DrawSoundBanks() { zk_sound_imp_man.DrawSoundBanks(); }

}  // namespace

void ZKM_RegisterSound() {
    zk_media.GetSoundImpNull = GetSoundImpNull;
    zk_media.ResetSoundManager = ResetSoundManager;
    zk_media.GetSoundMasterVolume = SoundMasterVolume;
    zk_media.ActivateSound = ActivateSound;
    zk_media.FillAudioInterface = ZKI_FillAudioInterface;
    zk_frame_backend.UpdateSound = UpdateSound;
    zk_frame_backend.EndSoundFrame = EndSoundFrame;
    zk_frame_backend.DrawSoundBanks = DrawSoundBanks;
    zk_frame_backend.ReInitSounds = ZKI_ReInitSounds;
}
