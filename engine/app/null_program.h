// The null program.
//
// The null program is the program record the engine installs when it has
// no program of its own to run; the command-line path always runs it.
#pragma once

#include "engine/runtime/event.h"
#include "engine/runtime/state.h"

enum { ZK_NULL_PROG_API_VERSION = 0x000F0A00 };

extern zk_prog_t zk_null_prog;

bool ZK_NullProg_Init();
void ZK_NullProg_Shutdown();
void ZK_NullProg_Update(float dt);
// Leaves alpha 1, white colour and blend mode 1 behind and clears the
// screen to green.
void ZK_NullProg_Draw(float dt);
int ZK_NullProg_EventProc(zk_event_t event);

// Zeroes zk_null_prog before its callbacks, then sets the version word, the
// five callbacks and windowed = 1. Does not install it.
zk_prog_t* ZKI_GetNullProg();
