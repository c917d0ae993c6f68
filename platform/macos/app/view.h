// The OpenGL view of the windowed layer: its display link runs the engine
// frame, skipping a frame rather than waiting when the view's frame mutex
// is busy, and clearing the screen only while the window is being set up;
// a change of the screen it shows on may call for another resolution.
#pragma once

#include "engine/base/mutex.h"
#include "engine/runtime/state.h"
#include "platform/macos/app/window.h"

// "OS_X_MAIN_FRAME" (zk_osx_main_frame_mutex), made on first use.
zk_mutex_t* ZK_OSX_GetMainFrameMutex();

// A view is made: the first one becomes zk_opengl_view; the first of all
// runs the engine's pre-initialisation and makes the frame mutex; with a
// program, the surface's backing size is fixed to its start size.
void ZK_OSX_InitView(zk_osx_view_t* view);

// What one display-link callback did.
enum zk_osx_draw_t {
    ZK_OSX_DRAW_NOTHING,       // the engine has shut down
    ZK_OSX_DRAW_BLACK,         // a window setup is pending: cleared to black
    ZK_OSX_DRAW_SKIPPED,       // the frame mutex was busy: nothing drawn
    ZK_OSX_DRAW_FLUSHED,       // the engine is not running: flushed only
    ZK_OSX_DRAW_ENGINE_FRAME,  // the engine frame ran, then the buffer was flushed
};
// One display-link callback (the display-link thread). Before the engine
// frame the program's size becomes the device's screen size.
zk_osx_draw_t ZK_OSX_DrawView(zk_osx_view_t* view);

// The view's frame changed, maybe onto another screen: with a program and
// the main window, under the frame mutex, the window's screen gives the
// device screen size and the backing scale ("Desktop now %d x %d scale
// %g"); a scale other than the last reshape's selects the resolution again
// for the program's mode; then the device screen size is reported from the
// state's screen size.
void ZK_OSX_Reshape();
// Fixes the surface's backing size to the window size asked for by the
// last setup (not while that size has no width or height) and asks for
// the screen's full resolution.
void ZK_OSX_ResizeBackbuffer(zk_osx_view_t* view);
// The main window's screen size in backing pixels as the device screen
// size; nothing without a main window.
void ZKID_Mac_UpdateDeviceInfo(zk_device_info_t* info);
// Waits for a running frame to end (takes and releases the frame mutex).
void ZK_OSX_WindowSetup(void* unused);
