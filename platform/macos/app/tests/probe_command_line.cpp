// The probe's command line. Before start-up it switches the engine's log
// lines on (unless ZK_PROBE_SILENT is set), so the start-up and shutdown
// lines can be watched. Arguments:
//   exit=N   return N (default 0)
//   thread   start an engine thread that never ends, with a short
//            shutdown wait
//   ext=NAME print the answer of ZK_CallExtension(NAME, null)
//   init     initialise the renderer once more

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/app/startup.h"
#include "engine/runtime/log.h"
#include "engine/screen/renderer_interface.h"
#include "engine/runtime/threads.h"
#include "platform/macos/app/shell.h"

namespace {
struct SwitchLogLinesOn {
    SwitchLogLinesOn() {
        if (!getenv("ZK_PROBE_SILENT")) zk_run_silent = 0;
    }
} switch_log_lines_on;

// Keeps using the engine's shared state (a named mutex and the key table)
// for as long as the process lives.
void RunForever(void*) {
    zk_mutex_t* mutex = zk->ZK_GetMutex("probe worker");
    for (int i = 0;; ++i) {
        zk->ZK_LockMutex(mutex);
        zk->ZK_SetKeyStatei(2047, i);
        zk->ZK_UnlockMutex(mutex);
        ZKT_Sleep(1);
    }
}
}  // namespace

static int ProbeCommandLine(int argc, char** argv) {
    int code = 0;
    printf("Probe command line: %d argument(s).\n", argc - 1);
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (!strncmp(argument, "exit=", 5)) {
            code = atoi(argument + 5);
        } else if (!strcmp(argument, "thread")) {
            ZKI_SetShutdownSleep([](int) {});
            zk->ZK_CreateThread("probe worker", RunForever, nullptr, 0);
        } else if (!strcmp(argument, "init")) {
            printf("Second initialisation: %s\n", ZKI_InitRendImp() ? "ready" : "failed");
        } else if (!strncmp(argument, "ext=", 4)) {
            const char* answer = zk->ZK_CallExtension(argument + 4, nullptr);
            printf("Extension %s: %s\n", argument + 4, answer ? answer : "(null)");
        }
    }
    fflush(stdout);
    return code;
}

int main(int argc, char** argv) { return ZK_OSX_RunCommandLine(argc, argv, ProbeCommandLine); }
