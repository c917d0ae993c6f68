// The engine's mutex record on POSIX threads. No engine mutex is recursive:
// never lock one that the calling thread already holds.
#pragma once

#include <pthread.h>

#include <cstdint>

// A mutex record: owned name copy (may be null), heap pthread mutex with
// default attributes (not recursive), and a flag set after each lock and
// cleared before each unlock (informative only).
struct zk_mutex_t {
    char* name;
    pthread_mutex_t* mutex;
    uint8_t locked;
};

// A record with default attributes and a copy of the name (null stays
// null); null when the system refuses the mutex.
zk_mutex_t* ZKT_CreateMutex(const char* name);
void ZKT_DestroyMutex(zk_mutex_t* mutex);
// Both do nothing for a null record.
void ZKT_LockMutex(zk_mutex_t* mutex);
void ZKT_UnlockMutex(zk_mutex_t* mutex);
// pthread_mutex_trylock on the record's lock: true when it was taken. The
// locked flag is not changed.
bool ZKT_TryLockMutex(zk_mutex_t* mutex);
