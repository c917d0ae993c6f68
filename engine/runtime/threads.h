// Threads, named mutexes and the table's clocks, on POSIX threads.
//
// Mutexes: ZK_GetMutex(name) hands out one registered record per name
// (created on first request, guarded by core mutex GET_MUTEX); ZKT_CreateMutex
// (engine/base/mutex.h) makes an unregistered one. No engine mutex is recursive: never lock one
// that the calling thread already holds.
//
// Threads: engine threads are detached and get ids from 2 up (the main
// thread is 1, 0 means "not set"); the list of known threads, the running
// count and the id counter are guarded by the mutex "ZKT_TIM".
#pragma once

#include <pthread.h>

#include <cstdint>

#include "engine/base/clock.h"
#include "engine/base/mutex.h"
#include "engine/base/narray.h"
#include "engine/base/nstring.h"
#include "engine/runtime/state.h"

// The per-thread record (thread-local). A fresh record has id 0, scales 1.0
// and every other field 0; the text fields belong to text drawing.
struct zk_thread_state_t {
    uint32_t thread_id;   // 1 main, 0 not set, 2 and up engine threads
    uint32_t text_align;
    float text_transform_third;
    float textbox_width;
    float text_scale_x;
    float text_scale_y;
    float horizontal_spacing;
    float vertical_spacing;
};
extern thread_local zk_thread_state_t zk_thread_state;
// The calling thread's record. Other files reach it through this call: an
// extern thread_local costs a check for a dynamic initialiser at every use,
// and g++ 12 with -fsanitize=undefined turns that check into false
// null-pointer reports.
zk_thread_state_t& ZKT_ThreadState();

// Launch record of one thread start (heap, freed by the launcher).
struct ZKT_ThreadFunc_t {
    void (*function)(void*);
    char* name;           // owned copy; "" for a null name
    void* data;
    uint32_t thread_id;
    uint8_t started;
};

// One record per known thread.
struct ZKT_ThreadInfo_t {
    char* extra;          // nothing sets it; freed with the record
    char* name;           // owned, may be null (the main thread's is)
    pthread_t handle;
    uint32_t thread_id;
};

extern nArray<ZKT_ThreadInfo_t*> zkt_thread_infos;
extern zk_mutex_t* zkt_thread_info_mutex;
extern int32_t zk_threads_number_of_threads_running;
extern uint32_t zk_next_free_thread_id;

// --- Interface-table slots 4-16 -------------------------------------------
uint32_t ZK_GetTime();                                              // 5
int64_t ZK_GetTimeNanoseconds();                                    // 6
int64_t ZK_GetTimeSecondsElapsedSinceEpoch();                       // 7
zk_date_t ZK_GetEpochTimeConvertedToDate(uint64_t seconds);         // 8
zk_date_t ZK_GetDate();                                             // 9
zk_mutex_t* ZK_GetMutex(const char* name);                          // 10
void ZK_ReleaseMutex(zk_mutex_t* mutex);                            // 11
void ZK_LockMutex(zk_mutex_t* mutex);                               // 12
void ZK_UnlockMutex(zk_mutex_t* mutex);                             // 13
uint32_t ZK_CreateThread(const char* name, void (*function)(void*), void* data, int flags); // 14
uint32_t ZK_GetCurrentThreadId();                                   // 15
bool ZK_IsMainThread();                                             // 16

// --- The layer beneath -----------------------------------------------------
// Makes the calling thread the main thread (id 1) and creates "ZKT_TIM".
void ZKT_InitThreads();
// Destroys "ZKT_TIM" and clears the global.
void ZKT_ShutdownThreads();
// Starts a detached engine thread running function(data). The thread is
// counted as running from the moment it is created. Returns its id, or 0
// when the platform refuses the thread.
uint32_t ZKT_CreateThread(const char* name, void (*function)(void*), void* data);
void* ZKT_ThreadLauncher(void* record);
// Counts a thread started outside the launcher (steps of the launcher
// without setting started), storing the given handle.
void ZKTI_ThreadAdded(pthread_t thread, ZKT_ThreadFunc_t* record);
// Ends the calling engine thread's bookkeeping: lowers the running count
// and removes its info record.
void ZKTI_ThreadRemoved();
uint32_t ZKT_GetFreeThreadId();
// The calling thread's info record, created on first request; never null.
ZKT_ThreadInfo_t* ZKT_GetCurrentThreadInfo();
void ZKT_RemoveThreadInfo(ZKT_ThreadInfo_t* info);
void ZKT_DestroyThreadInfo(ZKT_ThreadInfo_t* info);
void ZKT_PrintThreadInfos();
int ZKT_GetNumberOfThreadsRunning();
zk_thread_state_t* ZKT_GetThreadState();
bool ZKT_IsMainThread();
uint32_t ZKT_GetCurrentThreadId();
// Resets the calling thread's record: id 0, scales 1.0, the rest 0.
void ZKI_InitThreadState();
int ZKT_SetThreadPriority(pthread_t thread, unsigned importance, bool fixed);
void ZKT_Yield();
int ZKT_JoinThread(pthread_t thread);
void ZKT_JoinTerminatedThreads();
int ZKT_CallProcess(const char* program, const char* arguments, nString& output);

// --- Seams for tests -------------------------------------------------------
// The thread creator ZKT_CreateThread uses (pthread_create by default); a
// test may point it at a function that fails.
extern int (*zkt_create_thread_function)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
