// Screen facts shared by the frame, start-up, the extension call and the
// media layer: the program record the screen is fitted for and its
// parameters, platform ids
// and names, orientations and the overlay zoom.
#pragma once

#include "engine/runtime/state.h"

// The program record: the installed program, else the one start-up is
// preparing (zk_state.prog); null before either exists.
zk_prog_t* ZKI_GetProgramRecord();
// The program record's parameters, or the start parameters without one.
const zk_parms_t& ZKI_GetProgramParameters();
// The running parameters' width, height and windowed flag become the
// requested ones again (only with a program installed).
void ZKI_RevertProgramParameters();
// A fullscreen request below 640 x 480 becomes windowed.
void ZKI_ValidateParms(zk_parms_t* parms);

// The platform id of the platform name `text` begins with ("WINDOWS" 1,
// "MAC" 2, ... "SWITCH" 20; a longer name before the shorter one it
// extends); 0 for null and for no match.
int ZKI_GetPlatformIdFromString(const char* text);
// The name of a platform id 1..20; "UNKNOWN" for the ids without a name
// and for every other id.
const char* ZKI_GetPlatformNameOfId(int id);

// 4 (landscape) when the program's reference width exceeds its reference
// height, else 1 (portrait).
int ZKI_GetProgramOrientation();
// "PORTRAIT" for 1 and 2, "LANDSCAPE" for 4 and 8, else "UNKNOWN".
const char* ZKI_GetOrientationName(int orientation);
// The device's screen size, width and height exchanged when the device is
// held in another orientation than the program's.
void ZKI_GetDeviceSizeInProgramOrientation(int* width, int* height);

// Sets the overlay zoom (1.0 while the state's overlay zoom is disabled) and
// the overlay offsets that centre the zoomed screen. A zoom that is not
// above 0 is refused and changes nothing: the frame divides by it.
void ZKI_SetOverlayZoom(float zoom);
// The overlay offsets for the current zoom: half of what the zoom leaves of
// each side of the device (in the program's orientation), truncated.
void ZKI_UpdateOverlayZoom();
// True when the zoom differs from 1 by 1e-6 or more.
bool ZKI_IsOverlayZoomSet();
