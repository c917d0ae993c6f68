// The null program.

#include "engine/app/null_program.h"

#include <cstddef>
#include <cstring>

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
