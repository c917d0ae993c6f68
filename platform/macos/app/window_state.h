// The windowed layer's shared state: the globals that the shell, the window,
// the view and the controller read and write, all kept here. The objects
// are held as void* (a zk_osx_window_t, zk_osx_controller_t, zk_osx_view_t,
// or null); this program never opens a window, so they stay null.
#pragma once

#include "engine/runtime/zekar.h"

extern void* zk_osx_main_window;
extern void* zk_osx_main_controller;
extern void* zk_opengl_view;  // the first view made
extern int zk_osx_skip_frame_update;
// The window's size in backing pixels.
extern int zk_osx_window_width;
extern int zk_osx_window_height;
// While set, the display link only clears the screen.
extern bool zk_osx_window_setup_in_progress;
extern bool zk_osx_shut_down;
// The frame performs the switch the menu asked for.
extern bool zk_osx_should_toggle_fullscreen_next_frame;
// The window is centred on its first switch to windowed mode only.
extern bool zk_mac_should_center_window;
// "OS_X_MAIN_FRAME": the view's own mutex, made once outside the registry
// (null until the first view or draw asks for it, ZK_OSX_GetMainFrameMutex).
extern zk_mutex_t* zk_osx_main_frame_mutex;
// The backing scale the last reshape saw; a different one selects the
// resolution again.
extern float zk_osx_reshape_scale;
