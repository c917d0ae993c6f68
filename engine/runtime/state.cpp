// The engine state record, the interface table's storage and the core
// mutexes.

#include "engine/runtime/state.h"

#include <cstdlib>
#include <cstring>

#include "engine/runtime/log.h"
#include "engine/runtime/threads.h"

// Constant-initialised: valid (and zero) before any static constructor runs.
zk_state_t zk_state;
zk_parms_t zk_parms;
zk_prog_t* zk_prog = nullptr;
zk_device_info_t zk_device_info;
zk_platform_info_t zk_platform_info;
void* zk_command_line_params = nullptr;
RendererImplementation* ri = nullptr;
ImageLoaderImp* zk_il = nullptr;

zekar_t zekar;
zekar_t* zk = nullptr;
#define ZK_SUB_TABLE(type, object, member) type object;
#include "engine/runtime/interface.def"

static const char* const core_mutex_names[ZK_NUM_CORE_MUTEXES] = {
    "PRINT",    "GET_MUTEX", "CREATE_DIR",     "GET_PATH",      "GET_BITMAP", "GET_SOUND",     "GET_FONT",
    "GET_SHADER", "MAIN_LOOP", "RESOURCE_QUEUE", "SHARED_BITMAP", "CORE_IMP",   "CORE_VARIABLE",
};

const char* ZKI_GetCoreMutexName(int id) {
    if (id < 0 || id >= ZK_NUM_CORE_MUTEXES) return "UNKNOWN";
    return core_mutex_names[id];
}

zk_state_t::~zk_state_t() {
    // The containers free their own storage; the texts of owned_texts and
    // the registered mutexes are the state's to free. Nothing inside the
    // pools is freed.
    for (int i = 0; i < owned_texts.count; ++i) free(owned_texts.items[i]);
    for (int i = 0; i < named_mutexes.count; ++i) ZKT_DestroyMutex(named_mutexes.items[i]);
    named_mutexes.count = 0;
}

// Empties an array and releases its storage.
template <class T>
static void ResetArray(nArray<T>& array) {
    delete[] array.items;
    array.items = nullptr;
    array.count = 0;
    array.capacity = 0;
    array.shrink = false;
}

static void FreeOwnedTexts(nArray<char*>& texts) {
    for (int i = 0; i < texts.count; ++i) free(texts.items[i]);
    ResetArray(texts);
}

static void ResetContainers(zk_state_t& s) {
    for (nString& path : s.package_paths) path = nString();
    ResetArray(s.render_target_stack);
    for (int i = 0; i < s.named_mutexes.count; ++i) ZKT_DestroyMutex(s.named_mutexes.items[i]);
    ResetArray(s.named_mutexes);
    ResetArray(s.event_queue);
    ResetArray(s.search_paths);
    ResetArray(s.open_files);
    ResetArray(s.bitmap_release_queue);
    ResetArray(s.bitmap_upload_queue);
    ResetArray(s.font_upload_queue);
    ResetArray(s.index_buffer_create_queue);
    ResetArray(s.index_buffer_free_queue);
    ResetArray(s.index_buffer_load_queue);
    ResetArray(s.vertex_buffer_create_queue);
    ResetArray(s.vertex_buffer_free_queue);
    ResetArray(s.vertex_buffer_load_queue);
    ResetArray(s.shader_load_queue);
    FreeOwnedTexts(s.owned_texts);
    ResetArray(s.extra_list);
    ResetArray(s.tail_list_a);
    ResetArray(s.tail_list_b);
}

// Zeroes a plain member (or array of plain members).
template <class T>
static void Zero(T& field) {
    memset(static_cast<void*>(&field), 0, sizeof(T));
}

// Whether a reset has run in this process. Before the first, the record is
// as constant initialisation left it: the zeroed state, in static storage
// that the system hands over zero-filled. Clearing it there would only write
// every page of a record larger than half a megabyte, most of which a run
// never touches (a start-up cost paid in page faults). The containers are
// emptied all the same, in case something registered a mutex before.
static bool state_reset_before = false;

void ZKI_StateReset() {
    ZKI_DestroyCoreMutexes();
    ResetContainers(zk_state);
    if (!state_reset_before) {
        state_reset_before = true;
        return;
    }
    // Every plain member has a zero initialiser, so a fresh record is the
    // zeroed state; copying it leaves the (now empty) containers empty. It
    // lives on the heap: the record is far too large for a thread's stack.
    zk_state_t* fresh = new zk_state_t();
    zk_state = *fresh;
    delete fresh;
}

void ZKI_CreateCoreMutexes() {
    for (int id = 0; id < ZK_NUM_CORE_MUTEXES; ++id) {
        if (!zk_state.core_mutexes[id]) zk_state.core_mutexes[id] = ZKT_CreateMutex(ZKI_GetCoreMutexName(id));
    }
}

void ZKI_DestroyCoreMutexes() {
    for (int id = 0; id < ZK_NUM_CORE_MUTEXES; ++id) {
        zk_mutex_t* mutex = zk_state.core_mutexes[id];
        zk_state.core_mutexes[id] = nullptr;
        ZKT_DestroyMutex(mutex);
    }
}

// How many times the calling thread holds PRINT: a message raised meanwhile
// (the console overlay draws text while it holds PRINT) would wait on the
// thread itself, so the printers hold it back until PRINT is let go.
static thread_local int print_holds = 0;

void ZKI_LockCoreMutex(int id) {
    if (id < 0 || id >= ZK_NUM_CORE_MUTEXES) return;
    ZKT_LockMutex(zk_state.core_mutexes[id]);
    if (id == ZK_CORE_MUTEX_PRINT) ++print_holds;
}

void ZKI_UnlockCoreMutex(int id) {
    if (id < 0 || id >= ZK_NUM_CORE_MUTEXES) return;
    if (id == ZK_CORE_MUTEX_PRINT) --print_holds;
    ZKT_UnlockMutex(zk_state.core_mutexes[id]);
    if (id == ZK_CORE_MUTEX_PRINT && print_holds == 0) ZKI_PrintHeldMessages();
}

bool ZKI_ThreadHoldsPrint() { return print_holds > 0; }

bool ZKI_IsDeveloperModeEnabled() { return zk_state.developer_mode != 0; }
