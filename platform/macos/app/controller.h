// The application delegate of the windowed layer: the two window modes,
// the full-screen toggle, the application's activation and end, and the
// program's name in the menu.
//
// The modes run on the platform's main thread while a window setup is
// pending (the display link only clears the screen meanwhile); each holds
// the view's frame mutex, so no engine frame overlaps it, and ends the
// pending setup.
#pragma once

#include "engine/base/narray.h"
#include "platform/macos/app/window.h"


// "Switching to full screen mode.": the program's windowed parameter is
// cleared and the engine asked to re-initialise with the program's
// parameters; the main window becomes a borderless window at level 25 that
// covers the main screen, opaque, hidden while the application is not
// active.
void ZK_OSX_GoFullscreenMode(zk_osx_controller_t* controller);
// "Switching to windowed mode.": the program's windowed parameter is set
// and the engine asked to re-initialise; the main window gets the size of
// the last setup in points (pixels over the screen's scale), its title bar
// and buttons, level 0, the program's name and a black background, and is
// shown as the key window (centred the first time).
void ZK_OSX_GoWindowedMode(zk_osx_controller_t* controller);
// Asks the next frame to flip between the modes (with the engine and a
// program only).
void ZK_OSX_ToggleFullscreen();

// The application became active or resigns: the engine's activation
// handling, under the named mutex "ZK_OSX_FRAME" that the frame step takes.
void ZK_OSX_ApplicationDidBecomeActive();
void ZK_OSX_ApplicationWillResignActive();
// Closing the window signals the engine to shut down; the window stays
// until the frame step ends the application. Returns false (do not close).
bool ZK_OSX_WindowShouldClose();
// The application ends: signals the engine to shut down and gives it
// 100 ms.
void ZK_OSX_ApplicationWillTerminate();

// Puts the program's name into the menu's placeholder titles
// "ZEKAR_APP_NAME", "About ZEKAR_APP_NAME", "Hide ZEKAR_APP_NAME" and
// "Quit ZEKAR_APP_NAME", in every submenu.
void ZK_OSX_UpdateAppNameInMenu(nArray<zk_osx_menu_item_t>* menu, const char* name);
