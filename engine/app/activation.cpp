// The application's activation and deactivation.

#include "engine/app/activation.h"

#include "engine/render/renderer_implementation.h"
#include "engine/sound/sound_implementation.h"
#include "engine/runtime/backends.h"
#include "engine/runtime/basic_functions.h"
#include "engine/events/events.h"
#include "engine/runtime/state.h"

void ZKI_ActivateApp(bool active) {
    if ((zk_state.app_active != 0) == active) return;
    zk_state.app_active = active ? 1 : 0;
    if (!zk_state.shutdown_signalled) {
        zk_event_t event = ZKI_MakeEvent(zk_activation_event_t{ZK_EVENT_ACTIVATION, static_cast<uint8_t>(!active), {}});
        ZKI_SendEventQueued(&event);
    }
    if (ri) ri->ActivateWindow(active);
    for (int i = 0; i < zk_state.num_input_imps; ++i) {
        if (zk_state.input_imps[i]) zk_state.input_imps[i]->ActivateWindow(active);
    }
    if (zk_state.sound_imp) zk_state.sound_imp->ActivateWindow(active);
    ZKI_ClearKeyStates();
}
