// Mutex records, the named-mutex registry and engine threads.

#include "engine/runtime/threads.h"

#include <sched.h>

#include <cstdlib>
#include <cstring>

#include "engine/runtime/log.h"
#include "engine/runtime/device_services.h"

thread_local zk_thread_state_t zk_thread_state = {0, 0, 0.0f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f};

nArray<ZKT_ThreadInfo_t*> zkt_thread_infos;
namespace {
// Frees the info records still listed at exit (the main thread's, and those
// of threads still running); destroyed before the list itself.
struct ThreadInfoOwner {
    ~ThreadInfoOwner() {
        for (int i = 0; i < zkt_thread_infos.count; ++i) ZKT_DestroyThreadInfo(zkt_thread_infos.items[i]);
        zkt_thread_infos.count = 0;
    }
} thread_info_owner;
}  // namespace
zk_mutex_t* zkt_thread_info_mutex = nullptr;
int32_t zk_threads_number_of_threads_running = 0;
uint32_t zk_next_free_thread_id = 2;

int (*zkt_create_thread_function)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*) = pthread_create;

static char* CopyText(const char* text) { return text ? strdup(text) : nullptr; }

// ---------------------------------------------------------------------------
// Table slots on the mutex records

void ZK_LockMutex(zk_mutex_t* m) { ZKT_LockMutex(m); }
void ZK_UnlockMutex(zk_mutex_t* m) { ZKT_UnlockMutex(m); }

// ---------------------------------------------------------------------------
// Named-mutex registry

static zk_mutex_t* FindRegisteredMutex(const char* name) {
    for (int i = 0; i < zk_state.named_mutexes.count; ++i) {
        zk_mutex_t* m = zk_state.named_mutexes.items[i];
        if (m && m->name && strcmp(m->name, name) == 0) return m;
    }
    return nullptr;
}

zk_mutex_t* ZK_GetMutex(const char* name) {
    if (!name) name = "";
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_MUTEX);
    // An empty name never matches: each request gets a private mutex.
    zk_mutex_t* m = *name ? FindRegisteredMutex(name) : nullptr;
    if (m) {
        ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_MUTEX);
        return m;
    }
    m = ZKT_CreateMutex(name);
    if (m) zk_state.named_mutexes.InsertLast(m);
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_MUTEX);
    // Logging takes PRINT: never while GET_MUTEX is held.
    if (m) ZK_Printf("Created Mutex '%s'..", name);
    return m;
}

void ZK_ReleaseMutex(zk_mutex_t* m) {
    if (!m) return;
    zk_mutex_t* registry_lock = zk_state.core_mutexes[ZK_CORE_MUTEX_GET_MUTEX];
    bool lock_registry = m != registry_lock;
    if (lock_registry) ZKT_LockMutex(registry_lock);
    zk_state.named_mutexes.RemoveItem(m);
    // A core mutex released here must not stay reachable from the state.
    for (zk_mutex_t*& core : zk_state.core_mutexes) {
        if (core == m) core = nullptr;
    }
    ZKT_DestroyMutex(m);
    if (lock_registry) ZKT_UnlockMutex(registry_lock);
}

// ---------------------------------------------------------------------------
// Per-thread state

static void SetThreadState(uint32_t id) {
    zk_thread_state = zk_thread_state_t{id, 0, 0.0f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f};
}

void ZKI_InitThreadState() { SetThreadState(0); }
zk_thread_state_t* ZKT_GetThreadState() { return &zk_thread_state; }
zk_thread_state_t& ZKT_ThreadState() { return zk_thread_state; }

uint32_t ZKT_GetCurrentThreadId() { return zk_thread_state.thread_id; }
bool ZKT_IsMainThread() { return zk_thread_state.thread_id == 1; }
uint32_t ZK_GetCurrentThreadId() { return ZKT_GetCurrentThreadId(); }
bool ZK_IsMainThread() { return ZKT_IsMainThread(); }

void ZKT_InitThreads() {
    SetThreadState(1);
    if (!zkt_thread_info_mutex) zkt_thread_info_mutex = ZKT_CreateMutex("ZKT_TIM");
}

void ZKT_ShutdownThreads() {
    ZKT_DestroyMutex(zkt_thread_info_mutex);
    zkt_thread_info_mutex = nullptr;
}

// ---------------------------------------------------------------------------
// Thread list

static ZKT_ThreadInfo_t* NewThreadInfo(const char* name, uint32_t id) {
    ZKT_ThreadInfo_t* info = static_cast<ZKT_ThreadInfo_t*>(calloc(1, sizeof(ZKT_ThreadInfo_t)));
    if (!info) return nullptr;
    info->name = CopyText(name);
    info->handle = pthread_self();
    info->thread_id = id;
    return info;
}

// Caller holds "ZKT_TIM".
static ZKT_ThreadInfo_t* FindThreadInfo(uint32_t id) {
    for (int i = 0; i < zkt_thread_infos.count; ++i) {
        if (zkt_thread_infos.items[i]->thread_id == id) return zkt_thread_infos.items[i];
    }
    return nullptr;
}

uint32_t ZKT_GetFreeThreadId() {
    ZKT_LockMutex(zkt_thread_info_mutex);
    if (zk_next_free_thread_id > 0xFFFFFFFEu) zk_next_free_thread_id = 2;
    uint32_t id = zk_next_free_thread_id++;
    ZKT_UnlockMutex(zkt_thread_info_mutex);
    return id;
}

ZKT_ThreadInfo_t* ZKT_GetCurrentThreadInfo() {
    uint32_t id = zk_thread_state.thread_id;
    ZKT_LockMutex(zkt_thread_info_mutex);
    ZKT_ThreadInfo_t* info = FindThreadInfo(id);
    if (!info) {
        info = NewThreadInfo(nullptr, id);
        if (info) zkt_thread_infos.InsertLast(info);
    }
    ZKT_UnlockMutex(zkt_thread_info_mutex);
    return info;
}

void ZKT_RemoveThreadInfo(ZKT_ThreadInfo_t* info) {
    if (!info) return;
    ZKT_LockMutex(zkt_thread_info_mutex);
    zkt_thread_infos.RemoveItem(info);
    ZKT_UnlockMutex(zkt_thread_info_mutex);
}

void ZKT_DestroyThreadInfo(ZKT_ThreadInfo_t* info) {
    if (!info) return;
    free(info->extra);
    free(info->name);
    free(info);
}

int ZKT_GetNumberOfThreadsRunning() {
    ZKT_LockMutex(zkt_thread_info_mutex);
    int running = zk_threads_number_of_threads_running;
    ZKT_UnlockMutex(zkt_thread_info_mutex);
    return running;
}

void ZKT_PrintThreadInfos() {
    ZKT_LockMutex(zkt_thread_info_mutex);
    ZK_Printf("List of threads alive:");
    for (int i = 0; i < zkt_thread_infos.count; ++i) {
        const ZKT_ThreadInfo_t* info = zkt_thread_infos.items[i];
        ZK_Printf("#%d. '%s' (id %u)", i, info->name ? info->name : "<null>", info->thread_id);
    }
    ZKT_UnlockMutex(zkt_thread_info_mutex);
}

// ---------------------------------------------------------------------------
// Starting and ending engine threads

// Counts a new thread and lists it under its id with its name. Done when the
// thread is created, so that shutdown sees it even before it runs.
static void CountNewThread(const char* name, uint32_t id) {
    ZKT_ThreadInfo_t* info = NewThreadInfo(name, id);
    ZKT_LockMutex(zkt_thread_info_mutex);
    ++zk_threads_number_of_threads_running;
    if (info) zkt_thread_infos.InsertLast(info);
    ZKT_UnlockMutex(zkt_thread_info_mutex);
}

// Takes back what CountNewThread did, for a thread that never started.
static void UncountThread(uint32_t id) {
    ZKT_LockMutex(zkt_thread_info_mutex);
    --zk_threads_number_of_threads_running;
    ZKT_ThreadInfo_t* info = FindThreadInfo(id);
    zkt_thread_infos.RemoveItem(info);
    ZKT_UnlockMutex(zkt_thread_info_mutex);
    ZKT_DestroyThreadInfo(info);
}

void ZKTI_ThreadRemoved() {
    uint32_t id = zk_thread_state.thread_id;
    ZKT_LockMutex(zkt_thread_info_mutex);
    int running = --zk_threads_number_of_threads_running;
    ZKT_ThreadInfo_t* info = FindThreadInfo(id);
    zkt_thread_infos.RemoveItem(info);
    ZKT_UnlockMutex(zkt_thread_info_mutex);
    ZKT_DestroyThreadInfo(info);
    if (running < 0) ZK_PrintDebugf(ZK_MESSAGE_WARNING, "Thread ref counter reporting %d", running);
}

void ZKTI_ThreadAdded(pthread_t thread, ZKT_ThreadFunc_t* record) {
    if (!record) return;
    SetThreadState(record->thread_id);
    ZKT_LockMutex(zkt_thread_info_mutex);
    ++zk_threads_number_of_threads_running;
    ZKT_UnlockMutex(zkt_thread_info_mutex);
    ZKT_ThreadInfo_t* info = ZKT_GetCurrentThreadInfo();
    if (!info) return;
    ZKT_LockMutex(zkt_thread_info_mutex);
    if (!info->name) info->name = CopyText(record->name);
    info->handle = thread;
    ZKT_UnlockMutex(zkt_thread_info_mutex);
}

void* ZKT_ThreadLauncher(void* argument) {
    ZKT_ThreadFunc_t* record = static_cast<ZKT_ThreadFunc_t*>(argument);
    record->started = 1;
    SetThreadState(record->thread_id);
    // The thread was counted and listed when it was created; it only
    // records its own handle.
    ZKT_ThreadInfo_t* info = ZKT_GetCurrentThreadInfo();
    if (info) {
        ZKT_LockMutex(zkt_thread_info_mutex);
        info->handle = pthread_self();
        ZKT_UnlockMutex(zkt_thread_info_mutex);
    }
    record->function(record->data);
    ZKTI_ThreadRemoved();
    free(record->name);
    free(record);
    return nullptr;
}

uint32_t ZKT_CreateThread(const char* name, void (*function)(void*), void* data) {
    if (!function) return 0;
    ZKT_ThreadFunc_t* record = static_cast<ZKT_ThreadFunc_t*>(calloc(1, sizeof(ZKT_ThreadFunc_t)));
    char* name_copy = strdup(name ? name : "");
    if (!record || !name_copy) {
        free(record);
        free(name_copy);
        return 0;
    }
    uint32_t id = ZKT_GetFreeThreadId();
    *record = ZKT_ThreadFunc_t{function, name_copy, data, id, 0};
    CountNewThread(name_copy, id);

    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_t thread;
    int result = zkt_create_thread_function(&thread, &attributes, ZKT_ThreadLauncher, record);
    pthread_attr_destroy(&attributes);
    if (result != 0) {
        ZK_PrintDebugf(ZK_MESSAGE_ERROR, "Error launching thread '%s'.", name ? name : "");
        UncountThread(id);
        free(record->name);
        free(record);
        return 0;
    }
    zk_device.SetThreadPrecedence(thread, -20);
    return id;
}

uint32_t ZK_CreateThread(const char* name, void (*function)(void*), void* data, int flags) {
    if (!name && zk_state.developer_mode) {
        ZK_Popupf(ZK_MESSAGE_WARNING, "ZK_CreateThread trying to create thread with null name.");
    }
    if (flags != 0) {
        ZK_Popupf(ZK_MESSAGE_WARNING, "ZK_CreateThread flags parm must be set to zero - reserved for future use.");
        return 0;
    }
    return ZKT_CreateThread(name, function, data);
}

// ---------------------------------------------------------------------------
// Scheduling

int ZKT_SetThreadPriority(pthread_t thread, unsigned importance, bool fixed) {
    if (fixed) {
        int result = zk_device.SetThreadFixedPolicy(thread);
        if (result != 0) return result;
    }
    return zk_device.SetThreadPrecedence(thread, static_cast<int>(importance));
}

void ZKT_Yield() { sched_yield(); }
int ZKT_JoinThread(pthread_t thread) { return pthread_join(thread, nullptr); }
void ZKT_JoinTerminatedThreads() {}
int ZKT_CallProcess(const char* /*program*/, const char* /*arguments*/, nString& /*output*/) { return 0; }
