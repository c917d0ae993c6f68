// The device functions of the macOS layer as this program carries them:
// no window and no display. The screen, the preferred language and the
// mouse movement the layer would read from the system can be set for
// tests; URLs are recorded and never opened.
#pragma once

#include "engine/base/nstring.h"
#include "engine/runtime/state.h"

// Backing-pixel size and scale of the screen last measured. The scale is
// never below or at 0: it starts at 1.0, and a screen that reports no scale
// measures as 1.0.
extern int best_screen_width;
extern int best_screen_height;
extern float best_screen_scale;

// The screen the layer measures: none (0 x 0, scale 1.0) unless a test
// sets one.
void ZKD_SetScreenForTesting(int width, int height, float scale);

// The main window's screen, or the main screen: its size in backing
// pixels (0 x 0 without a screen) and its backing scale (1.0 when it
// reports none).
void ZKD_MeasureScreen(int* width, int* height, float* scale);
// Measures that screen into best_screen_width, _height and _scale.
void ZKD_DetermineBestScreenDimensions();

// On the first call the device screen size becomes 0 x 0; on every call
// the fixed-resolution flag is cleared and the desktop size measured.
void ZKID_DetermineDeviceInfo(zk_device_info_t* info);
int ZK_OSX_GetDesktopWidth();
int ZK_OSX_GetDesktopHeight();
// Clears the state record's cursor table.
void ZKID_InitCursors();
// Logs "Destroy Window.\n" (SYSTEM).
void ZKID_DestroyWindow();
// The user's first preferred language, read from LC_ALL, LC_MESSAGES or
// LANG (the first one set): "en_GB.UTF-8" is the code "en-GB". "" when none
// is set or it is "C" or "POSIX".
nString ZK_OSX_GetLanguage();
// The language answer for a preferred language code: "pt-BR" whole, any
// other code up to its first '-', "zh" as "zh-CN"; a null code stays null,
// and a part of more than 1022 characters gives a null string.
nString ZKD_LanguageFromCode(const char* code);

// The device names of ZK_CallExtension: "ComposeMail", "OpenURL",
// "IPHONE_OpenURL", "GetLanguage" and "ReadMouseDelta"; null otherwise.
const char* ZKD_CallExtension(const char* name, const char* value);
// Records the URL and fails: this program never opens anything.
bool ZK_MAC_OS_X_OpenURL(const char* url);
int ZKD_GetNumberOfOpenURLRequests();
// The last URL asked for ("" when none).
const char* ZKD_GetLastOpenURLRequest();
void ZKD_ResetOpenURLRequests();
// Moves the pointer to the centre of the main display and returns the
// movement since the last reading (0, 0 without a display).
void ZK_MAC_OS_X_ReadMouseDelta(float* dx, float* dy);
// The movement the next reading returns, for tests.
void ZKD_SetMouseDeltaForTesting(int dx, int dy);
