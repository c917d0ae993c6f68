// The null program and small state helpers.

#include "engine/core/null_program.h"

#include <cstddef>
#include <cstring>

#include "engine/core/backends.h"
#include "engine/core/core_services.h"
#include "engine/core/events.h"

bool ZK_NullProg_Init() { return true; }
void ZK_NullProg_Shutdown() {}
void ZK_NullProg_Update(float /*dt*/) {}

void ZK_NullProg_Draw(float /*dt*/) {
    zk_graphics_api_t* g = zk->graphics;
    g->ZK_Graphics_SetAlpha(1.0f);
    g->ZK_Graphics_SetColor(1.0f, 1.0f, 1.0f);
    g->ZK_Graphics_SetBlend(1);
    g->ZK_Graphics_ClearScreen(0.0f, 1.0f, 0.0f);
}

int ZK_NullProg_EventProc(zk_event_t /*event*/) { return 0; }

zk_prog_t* ZKI_GetNullProg() {
    // Everything before the callbacks is the program's data.
    memset(static_cast<void*>(&zk_null_prog), 0, offsetof(zk_prog_t, Init));
    zk_null_prog.api_version = ZK_NULL_PROG_API_VERSION;
    zk_null_prog.parms.windowed = 1;
    zk_null_prog.Init = ZK_NullProg_Init;
    zk_null_prog.Shutdown = ZK_NullProg_Shutdown;
    zk_null_prog.Update = ZK_NullProg_Update;
    zk_null_prog.Draw = ZK_NullProg_Draw;
    zk_null_prog.EventProc = ZK_NullProg_EventProc;
    return &zk_null_prog;
}

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
        zk_event_t event = ZKI_MakeEvent(zk_activation_event_t{ZK_EVENT_ACTIVATION, static_cast<uint8_t>(!active)});
        ZKI_SendEventQueued(&event);
    }
    if (ri) ri->ActivateWindow(active);
    for (int i = 0; i < zk_state.num_input_imps; ++i) {
        if (zk_state.input_imps[i]) zk_state.input_imps[i]->ActivateWindow(active);
    }
    if (zk_state.sound_imp) zk_state.sound_imp->ActivateWindow(active);
    ZKI_ClearKeyStates();
}

void ZKI_ValidateParms(zk_parms_t* parms) {
    if (!parms || parms->windowed) return;
    if (parms->width < 640 || parms->height < 480) parms->windowed = 1;
}
