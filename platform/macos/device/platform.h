// The macOS platform layer as this program carries it: no window, no
// display, no Mach thread policies. What the layer would show or change is
// recorded instead, so tests can see it.
#pragma once

#include <pthread.h>

#include "engine/runtime/state.h"

// Platform popup: shows nothing and returns 4 ("nothing shown"). The last
// type and text and the number of calls are recorded.
int ZKD_Popup(int type, const char* text);
int ZKD_GetNumberOfPopups();
int ZKD_GetLastPopupType();
// A copy of the last popup text ("" when none), valid until the next popup.
const char* ZKD_GetLastPopupText();
void ZKD_ResetPopupRecord();

// Slot 20. A null name hides the cursor (once), any other name shows it
// again. Returns the display call's status (0) when the cursor changes,
// else the hidden flag (1 hidden, 0 shown).
int ZKD_SetCursor(const char* name);
bool ZKD_IsCursorHidden();

// Thread scheduling without Mach policies: both succeed and change nothing.
int ZKD_SetThreadPrecedence(pthread_t thread, int importance);
int ZKD_SetThreadFixedPolicy(pthread_t thread);

// Puts the device services above into the runtime's record (zk_device).
void ZKD_RegisterDevice();
// The device's slot of the interface table: ZKD_SetCursor.
void ZKD_FillDeviceInterface(zekar_t* table);
