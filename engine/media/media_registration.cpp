#include "engine/media/media_registration.h"

#include "engine/media/image_loader.h"
#include "engine/media/sound_registration.h"

void ZKM_RegisterMedia() {
    ZKM_RegisterImageLoader();
    ZKM_RegisterSound();
}
