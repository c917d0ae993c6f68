// Choosing the resolution and screen mode the renderer runs with, and asking
// for a change while the engine runs.
//
// The program's supported resolutions are one text in the state
// (zk_state.supported_resolutions): entries "WxH" joined by ",", where an
// entry beginning with '*' stands for the device's own screen size. A size
// is "accepted" when ZKI_IsResolutionSupportedByDevice says so for the mode
// asked for. A change is only
// requested here (zk_state.reinit_requested); the frame applies it with
// ZKI_ReInitRenderer (reinitialization.h). Main thread only.
#pragma once

#include "engine/runtime/state.h"

// False for a zero side. True with a resolution override, for the validated
// resolution, for the desktop size in fullscreen, and for a windowed size
// that leaves 50 x 70 pixels of a known desktop; otherwise the renderer
// decides (false without one).
bool ZKI_IsResolutionSupportedByDevice(int width, int height, bool windowed);

// True when the program's list has a '*' entry or holds width x height in
// either orientation (its first 32 entries); false without a list.
bool ZKI_DoesProgramSupportResolution(int width, int height);

// The size a program is typically run at on a platform (ids of
// ZKI_GetPlatformIdFromString), by size class: 0 SMALL, 1 MEDIUM, 2 LARGE,
// 3 unknown.
zk_resolution_t ZKI_GetTypicalResolution(int platform_id, int size_class);

// Picks a size from the program's list and writes it, with `windowed`, into
// zk_state.parms: a forced resolution from the developer settings; else the
// entry closest to the desktop's aspect ratio; else the first entry that is
// accepted (any entry with a resolution override or when forcing); else the
// desktop size (fullscreen) or the smallest entry (windowed). False, keeping
// the stored size, without a list or when nothing fits.
bool ZKI_SelectOptimalResolution(bool windowed, bool forcing);

// The platform's report of the screen's (or window's) size: stored as the
// device's screen size and orientation, then asked for as the program's
// size, turned into the program's orientation (ZK_ReinitializeWithParameters).
// Without `force` a size equal to the stored one changes nothing. The
// two-argument form keeps the program's windowed flag and does not force.
void ZKI_SetDeviceScreenSize(int width, int height, bool windowed, bool force);
void ZKI_SetDeviceScreenSize(int width, int height);
