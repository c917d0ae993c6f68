// Shutdown of the engine.

#include <cstdlib>
#include <cstring>

#include "engine/app/startup.h"
#include "engine/runtime/basic_functions.h"
#include "engine/runtime/log.h"
#include "engine/runtime/threads.h"
#include "engine/services/extension_modules.h"

// The wait for engine threads: at most 12 seconds.
static const int shutdown_wait_rounds = 60;
static const int shutdown_wait_step_ms = 200;
static void (*shutdown_sleep)(int milliseconds) = nullptr;
static bool threads_left_running = false;

void ZKI_SetShutdownSleep(void (*sleep)(int milliseconds)) { shutdown_sleep = sleep; }

bool ZKI_ThreadsLeftRunningAtShutdown() { return threads_left_running; }

// The names are copied under "ZKT_TIM" and printed after it is released:
// printing reaches the console, which looks up the calling thread's record
// under the same (non-recursive) lock.
static void ListThreadsAlive() {
    nArray<nString> names;
    nArray<uint32_t> ids;
    ZKT_LockMutex(zkt_thread_info_mutex);
    for (int i = 0; i < zkt_thread_infos.count; ++i) {
        const ZKT_ThreadInfo_t* info = zkt_thread_infos.items[i];
        names.InsertLast(nString(info->name ? info->name : "<null>"));
        ids.InsertLast(info->thread_id);
    }
    ZKT_UnlockMutex(zkt_thread_info_mutex);
    ZK_Printf("List of threads alive:");
    for (int i = 0; i < names.count; ++i) ZK_Printf("#%d. '%s' (id %u)", i, names.items[i].c_str(), ids.items[i]);
}

void ZEKAR_Shutdown() {
    if (!zk) return;
    ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "ZEKAR Shutdown.");
    ZK_SignalShutdown();
    ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Waiting for threads to exit... (%d threads)", ZKT_GetNumberOfThreadsRunning());
    for (int round = 0; round < shutdown_wait_rounds; ++round) {
        if (ZKT_GetNumberOfThreadsRunning() <= 0) break;
        (shutdown_sleep ? shutdown_sleep : ZKT_Sleep)(shutdown_wait_step_ms);
    }
    int running = ZKT_GetNumberOfThreadsRunning();
    threads_left_running = running > 0;
    if (threads_left_running) {
        ZK_PrintDebugf(ZK_MESSAGE_WARNING, "Time out: %d threads left running!", running);
        ListThreadsAlive();
    }
    if (zk_state.prog_initialized && zk_prog && zk_prog->Shutdown) zk_prog->Shutdown();
    zk_state.prog_initialized = 0;
    // After the program's last word the extension modules and the service
    // implementations they made are destroyed, so that nothing of them
    // outlives the run and a later start finds an empty registry.
    ZK_ShutdownExtensionModules();
}
