// The window side of the macOS layer: the per-frame step of the windowed
// application, the window setup and the application name.
//
// The AppKit objects the windowed application makes (its main window, the
// application delegate and the OpenGL view) are stood in for by records of
// what they were asked to do; zk_osx_main_window, zk_osx_main_controller and
// zk_opengl_view point to such records. This program never starts the
// windowed application, so only tests create them.
#pragma once

#include "engine/base/nstring.h"

struct zk_osx_window_t {
    nString title;
};

struct zk_osx_controller_t {
    nString menu_app_name;             // updateAppNameInMenu:withAppName:
    int windowed_mode_requests = 0;    // goWindowedMode, sent to the main thread
    int fullscreen_mode_requests = 0;  // goFullscreenMode, sent to the main thread
    int terminate_requests = 0;        // the application asked to terminate: with it
};

struct zk_osx_view_t {
    int resize_backbuffer_requests = 0;  // resizeBackbuffer, sent to the main thread
};

extern void* zk_opengl_view;  // a zk_osx_view_t, or null

// The window title and the application menu's name (each when its object
// exists). A null name changes nothing.
void ZK_OSX_SetAppName(const char* name);

// Sets up the window at the size and mode, when both the window and the
// controller exist: the next frame's engine step is skipped, the size is
// kept, the setup is marked pending (between the engine's main-thread
// synchronisation calls), and the view's back buffer and the controller's
// mode change are requested from the main thread without waiting.
void ZK_OSX_SetupWindow(int width, int height, bool fullscreen);

// What ZKID_CreateWindow does after its two lines: the program's name as
// window title and menu name, then, with both a window and a controller,
// the line "Setting up macOS windows." and the window setup at the start
// parameters' size and mode.
void ZKID_SetUpWindowForProgram();

// One frame of the windowed application, on the display-link thread, under
// the named mutex "ZK_OSX_FRAME": the calling thread becomes the main
// thread (id 1); with a program loaded the engine frame runs, unless frames
// are to be skipped; a requested full-screen toggle flips the program's
// windowed parameter and re-initialises; once shutdown is signalled the
// engine is shut down and the application terminated, and later frames do
// nothing.
void ZK_OSX_Frame();
