// Small state helpers of start-up, the frame and the application layer.

#include "engine/runtime/state_helpers.h"

#include <cstring>


void ZKI_InvalidateRenderStates() { memset(zk_state.render_state_set, 0, sizeof(zk_state.render_state_set)); }

void ZKI_ClearKeyStates() {
    // Codes 255, 800, 864, 928 and 992 keep their values.
    static const int kRanges[][2] = {{0, 254}, {801, 863}, {865, 927}, {929, 991}, {993, 1055}};
    for (const auto& range : kRanges) {
        for (int code = range[0]; code <= range[1]; ++code) zk->ZK_SetKeyStatei(code, 0);
    }
}

void ZKI_ValidateParms(zk_parms_t* parms) {
    if (!parms || parms->windowed) return;
    if (parms->width < 640 || parms->height < 480) parms->windowed = 1;
}
