// The basic functions of the interface table's top level.

#include "engine/runtime/basic_functions.h"

#include <cstdlib>
#include <cstring>

#include "engine/runtime/log.h"
#include "engine/runtime/state.h"
#include "engine/runtime/threads.h"

// Codes outside the tables are ignored: reads give 0, writes change nothing.
static bool IsKeyCode(int code) { return code >= 0 && code < ZK_NUM_KEY_STATES; }

int ZK_GetKeyStatei(int code) {
    if (!IsKeyCode(code)) return 0;
    int value = zk_state.key_states_i[code];
    // "Went down since the last read" is consumed by reading, for the
    // first 256 codes only.
    if (code < 256) zk_state.key_states_i[code] = value & ~2;
    return value;
}

void ZK_SetKeyStatei(int code, int value) {
    if (IsKeyCode(code)) zk_state.key_states_i[code] = value;
}
float ZK_GetKeyStatef(int code) { return IsKeyCode(code) ? zk_state.key_states_f[code] : 0.0f; }
void ZK_SetKeyStatef(int code, float value) {
    if (IsKeyCode(code)) zk_state.key_states_f[code] = value;
}

void ZK_FreeList(zk_list_t* list) {
    if (!list) return;
    if (list->items) {
        for (int i = 0; i < list->count; ++i) free(list->items[i]);
        free(list->items);
    }
    free(list);
}

void* ZK_AllocMemory(unsigned int size) { return malloc(size); }
void ZK_FreeMemory(void* memory) { free(memory); }

void ZK_SynchronizeWithMainThreadBegin() {
    zk_state.main_thread_sync_requested = 1;
    if (ZKT_IsMainThread()) return;
    zk_mutex_t* loop = zk_state.core_mutexes[ZK_CORE_MUTEX_MAIN_LOOP];
    ZKT_LockMutex(loop);
}

void ZK_SynchronizeWithMainThreadEnd() {
    zk_state.main_thread_sync_requested = 0;
    if (ZKT_IsMainThread()) return;
    ZKT_UnlockMutex(zk_state.core_mutexes[ZK_CORE_MUTEX_MAIN_LOOP]);
}

bool ZK_IsSynchronizedWithMainThread() { return zk_state.main_thread_sync_requested || ZKT_IsMainThread(); }

void ZK_SignalShutdown() {
    if (!zk_state.shutdown_signalled) {
        zk_date_t d = ZK_GetDate();
        ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Signalling shutdown at %d-%d-%d %.2d:%.2d.%2d", d.year, d.month, d.day,
                       d.hour, d.minute, d.second);
        zk_state.shutdown_signalled = 1;
    }
    if (zk_prog) zk_prog->parms.shutdown_requested = 1;
}

bool ZK_IsShutdownSignalled() { return zk_state.shutdown_signalled != 0; }

static bool IsFeatureSeparator(char c) { return c == ' ' || c == ',' || c == ';'; }

static bool ListHasFeature(const char* list, const char* name) {
    if (!list) return false;
    size_t length = strlen(name);
    for (const char* at = strstr(list, name); at; at = strstr(at + 1, name)) {
        bool starts = at == list || IsFeatureSeparator(at[-1]);
        char after = at[length];
        if (starts && (after == '\0' || IsFeatureSeparator(after))) return true;
    }
    return false;
}

bool ZKI_ProductFeatureExists(const char* name) {
    if (!name || !*name) return false;
    return ListHasFeature(zk_state.product_feature_lists[0], name) ||
           ListHasFeature(zk_state.product_feature_lists[1], name);
}

bool ZK_ProductFeatureExists(const char* name) { return ZKI_ProductFeatureExists(name); }

void ZKI_InitEvent(zk_event_t* event, zk_event_type_t type) {
    if (!event) return;
    memset(static_cast<void*>(event), 0, sizeof(*event));
    event->type = type;
}

void ZK_SetupEvent(zk_event_t* event, zk_event_type_t type) { ZKI_InitEvent(event, type); }

void ZKI_SendEventQueued(const zk_event_t* event) {
    if (!event) return;
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_RESOURCE_QUEUE);
    zk_state.event_queue.InsertLast(*event);
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_RESOURCE_QUEUE);
}

void ZK_SendEventQueued(zk_event_t* event) { ZKI_SendEventQueued(event); }
