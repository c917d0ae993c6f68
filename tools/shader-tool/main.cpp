// Process entry of zk-shader-tool: the engine's command-line path.

#include <unistd.h>

#include <cstdio>

#include "engine/core/log.h"
#include "engine/core/startup.h"
#include "engine/core/state.h"
#include "platform/macos/device.h"

int main(int argc, char** argv) {
    if (!ZKI_PreInit(nullptr)) return 1;
    if (!ZKI_Init()) {
        ZK_Popupf(ZK_MESSAGE_ERROR, "Core initialization failed. See generated log for details.\n");
        return 1;
    }
    ZKID_InitCursors();
    zk_state.queue_input_events = 1;
    int code = ZKI_CallCommandLineMain(argc, argv);
    ZEKAR_Shutdown();
    if (ZKI_ThreadsLeftRunningAtShutdown()) {
        // Threads that outlived the wait still use the engine's globals:
        // end the process without destroying them.
        fflush(nullptr);
        _exit(code);
    }
    return code;
}
