// The window side of the macOS layer: the per-frame step of the windowed
// application, the window setup and the application name.
//
// The AppKit objects the windowed application makes (its main window, the
// application delegate and the OpenGL view) are stood in for by records of
// what they were asked to do; zk_osx_main_window, zk_osx_main_controller and
// zk_opengl_view point to such records. This program never starts the
// windowed application, so only tests create them.
#pragma once

#include "engine/base/narray.h"
#include "engine/base/nstring.h"
#include "platform/macos/app/window_state.h"

// Window styles and levels the window modes use.
enum {
    ZK_OSX_STYLE_BORDERLESS = 0,
    ZK_OSX_STYLE_TITLED_CLOSABLE_MINIATURIZABLE = 7,
    ZK_OSX_LEVEL_NORMAL = 0,
    ZK_OSX_LEVEL_FULL_SCREEN = 25,
};

struct zk_osx_window_t {
    nString title;
    // What the window modes set (sizes in points).
    int style_mask = ZK_OSX_STYLE_TITLED_CLOSABLE_MINIATURIZABLE;
    int level = ZK_OSX_LEVEL_NORMAL;
    bool opaque = false;
    bool hides_on_deactivate = false;
    bool accepts_mouse_moved_events = false;
    bool black_background = false;
    bool visible = false;  // ordered in
    bool key = false;      // the key window
    int times_centred = 0;
    float frame_width = 0, frame_height = 0;
    float content_width = 0, content_height = 0;
};

// An item of the application's menu and the items of its submenu.
struct zk_osx_menu_item_t {
    nString title;
    nArray<zk_osx_menu_item_t> submenu;
};

struct zk_osx_controller_t {
    nString menu_app_name;             // updateAppNameInMenu:withAppName:
    nArray<zk_osx_menu_item_t> menu;   // the application's main menu
    bool is_in_full_screen_mode = false;
    int windowed_mode_requests = 0;    // goWindowedMode, sent to the main thread
    int fullscreen_mode_requests = 0;  // goFullscreenMode, sent to the main thread
    int terminate_requests = 0;        // the application asked to terminate: with it
};

struct zk_osx_view_t {
    int resize_backbuffer_requests = 0;  // resizeBackbuffer, sent to the main thread
    // The surface's fixed backing size in pixels (0 x 0: not fixed) and
    // whether it wants the screen's full resolution.
    int backing_width = 0, backing_height = 0;
    bool wants_best_resolution = false;
    // Frames shown: cleared to black during a window setup, or flushed
    // after a frame step.
    int black_frames = 0;
    int flushed_frames = 0;
};

// The window title and the application menu's name (each when its object
// exists): the menu's placeholder titles take the name. A null name
// changes nothing.
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
