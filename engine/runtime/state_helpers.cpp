// Small state helpers of start-up, the frame and the application layer.

#include "engine/runtime/state_helpers.h"

#include <cstring>

#include "engine/runtime/backends.h"
#include "engine/runtime/core_services.h"
#include "engine/runtime/events.h"
#include "engine/runtime/registration.h"

void ZKI_InvalidateRenderStates() { memset(zk_state.render_state_set, 0, sizeof(zk_state.render_state_set)); }

void ZKI_ClearKeyStates() {
    // Codes 255, 800, 864, 928 and 992 keep their values.
    static const int kRanges[][2] = {{0, 254}, {801, 863}, {865, 927}, {929, 991}, {993, 1055}};
    for (const auto& range : kRanges) {
        for (int code = range[0]; code <= range[1]; ++code) zk->ZK_SetKeyStatei(code, 0);
    }
}

void ZKI_ActivateApp(bool active) {
    if ((zk_state.app_active != 0) == active) return;
    zk_state.app_active = active ? 1 : 0;
    if (!zk_state.shutdown_signalled) {
        zk_event_t event = ZKI_MakeEvent(zk_activation_event_t{ZK_EVENT_ACTIVATION, static_cast<uint8_t>(!active), {}});
        ZKI_SendEventQueued(&event);
    }
    zk_media.ActivateRendererWindow(active);
    for (int i = 0; i < zk_state.num_input_imps; ++i) {
        if (zk_state.input_imps[i]) zk_state.input_imps[i]->ActivateWindow(active);
    }
    zk_media.ActivateSound(active);
    ZKI_ClearKeyStates();
}

void ZKI_ValidateParms(zk_parms_t* parms) {
    if (!parms || parms->windowed) return;
    if (parms->width < 640 || parms->height < 480) parms->windowed = 1;
}
