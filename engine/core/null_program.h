// The null program and small state helpers.
//
// The null program is the program record the engine installs when it has
// no program of its own to run; the command-line path always runs it.
#pragma once

#include "engine/core/event.h"
#include "engine/core/state.h"

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

// Every render state counts as not set.
void ZKI_InvalidateRenderStates();
// Integer key states 0-254, 801-863, 865-927, 929-991 and 993-1055 become 0.
void ZKI_ClearKeyStates();
// Records the application's activation; on a change it queues an
// activation event (zk_activation_event_t), tells the back ends and clears
// the key states.
void ZKI_ActivateApp(bool active);
// A fullscreen request below 640 x 480 becomes windowed.
void ZKI_ValidateParms(zk_parms_t* parms);
