// Screen facts shared by the frame, start-up and the extension call: the
// platform ids, the program's orientation and the overlay zoom.
#pragma once

// The platform id of the platform name `text` begins with ("WINDOWS" 1,
// "MAC" 2, ... "SWITCH" 20); 0 for null and for no match.
int ZKI_GetPlatformIdFromString(const char* text);
// 4 (landscape) when the program's reference width exceeds its reference
// height, else 1 (portrait).
int ZKI_GetProgramOrientation();
// Sets the overlay zoom (1.0 while the state's overlay zoom is disabled) and
// the overlay offsets that centre the zoomed screen. A zoom that is not
// above 0 is refused and changes nothing: the frame divides by it.
void ZKI_SetOverlayZoom(float zoom);
