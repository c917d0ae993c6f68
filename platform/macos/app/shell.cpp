// The macOS application shell: the start-up trio, window set-up and
// termination that the windowed layer calls, and the command-line program
// that zk-shader-tool's entry runs. This program never opens a window.

#include "platform/macos/app/shell.h"

#include <unistd.h>

#include <cstdio>

#include "engine/app/startup.h"
#include "engine/runtime/log.h"
#include "platform/macos/app/window.h"
#include "platform/macos/device/device.h"

bool ZKID_CreateWindow() {
    const zk_parms_t& parms = zk_state.prog ? zk_state.prog->parms : zk_state.parms;
    ZK_Printf("Window already created. Resizing to %dx%d.\n", parms.width, parms.height);
    ZK_Printf("Desktop resolution %d x %d", zk_device_info.desktop_width, zk_device_info.desktop_height);
    ZKID_SetUpWindowForProgram();
    return true;
}

bool ZK_OSX_ZEKARPreInit() { return ZKI_PreInit(nullptr); }

bool ZK_OSX_ZEKARMainInit() {
    if (!ZKI_Init()) {
        ZK_Popupf(ZK_MESSAGE_ERROR, "Core initialization failed. See generated log for details.\n");
        return false;
    }
    ZKID_InitCursors();
    zk_state.queue_input_events = 1;
    return true;
}

void ZK_OSX_ZEKARShutdown() { ZEKAR_Shutdown(); }

void ZK_OSX_TerminateApp() {
    zk_osx_controller_t* controller = static_cast<zk_osx_controller_t*>(zk_osx_main_controller);
    if (!controller) return;
    ++controller->terminate_requests;
    zk_osx_main_controller = nullptr;
}

int ZK_OSX_RunCommandLine(int argc, char** argv, int (*command_line)(int argc, char** argv)) {
    if (!ZK_OSX_ZEKARPreInit()) return 1;
    if (!ZK_OSX_ZEKARMainInit()) return 1;
    zk_command_line_main = command_line;
    int code = ZKI_CallCommandLineMain(argc, argv);
    ZK_OSX_ZEKARShutdown();
    if (ZKI_ThreadsLeftRunningAtShutdown()) {
        fflush(nullptr);
        _exit(code);
    }
    return code;
}
