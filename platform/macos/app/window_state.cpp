// The windowed layer's shared state, with its values before any window.

#include "platform/macos/app/window_state.h"

void* zk_osx_main_window = nullptr;
void* zk_osx_main_controller = nullptr;
void* zk_opengl_view = nullptr;
int zk_osx_skip_frame_update = 0;
int zk_osx_window_width = 0;
int zk_osx_window_height = 0;
bool zk_osx_window_setup_in_progress = false;
bool zk_osx_shut_down = false;
bool zk_osx_should_toggle_fullscreen_next_frame = false;
bool zk_mac_should_center_window = true;
zk_mutex_t* zk_osx_main_frame_mutex = nullptr;
float zk_osx_reshape_scale = 1.0f;
