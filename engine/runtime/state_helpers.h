// Small state helpers of start-up, the frame and the application layer.
#pragma once

#include "engine/runtime/state.h"

// Every render state counts as not set.
void ZKI_InvalidateRenderStates();
// Integer key states 0-254, 801-863, 865-927, 929-991 and 993-1055 become 0.
void ZKI_ClearKeyStates();
// A fullscreen request below 640 x 480 becomes windowed.
void ZKI_ValidateParms(zk_parms_t* parms);
