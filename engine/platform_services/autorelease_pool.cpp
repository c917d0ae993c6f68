// Autorelease-pool runners.

#include "engine/platform_services/autorelease_pool.h"

#include "engine/runtime/zekar.h"

namespace {

// The work a pool thread runs; the thread frees it.
struct PoolThreadStart {
    void (*function)(void*);
    void* argument;
};

// The pool's scope: what runs inside is drained with it on the platform.
void RunInPool(void (*function)(void*), void* argument) {
    if (function) function(argument);
}

}  // namespace

void ZK_IOS_RunWithAutoreleasePool(void (*function)(void*), void* argument) { RunInPool(function, argument); }

uint32_t ZK_IOS_RunThreadWithAutoreleasePool(void (*function)(void*), void* argument) {
    PoolThreadStart* start = new PoolThreadStart{function, argument};
    uint32_t id = zk->ZK_CreateThread("IOS_AutoreleasePool", ZK_IOS_AutoreleasePool_ThreadFuncCaller, start, 0);
    // A thread that never started never frees its record.
    if (id == 0) delete start;
    return id;
}

void ZK_IOS_AutoreleasePool_ThreadFuncCaller(void* record) {
    PoolThreadStart* start = static_cast<PoolThreadStart*>(record);
    if (!start) return;
    RunInPool(start->function, start->argument);
    delete start;
}
