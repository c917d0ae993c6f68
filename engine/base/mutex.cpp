// The engine's mutex record.

#include "engine/base/mutex.h"

#include <cstdlib>
#include <cstring>

zk_mutex_t* ZKT_CreateMutex(const char* name) {
    zk_mutex_t* m = static_cast<zk_mutex_t*>(calloc(1, sizeof(zk_mutex_t)));
    if (!m) return nullptr;
    m->mutex = static_cast<pthread_mutex_t*>(malloc(sizeof(pthread_mutex_t)));
    if (!m->mutex || pthread_mutex_init(m->mutex, nullptr) != 0) {
        free(m->mutex);
        free(m);
        return nullptr;
    }
    m->name = name ? strdup(name) : nullptr;
    return m;
}

void ZKT_DestroyMutex(zk_mutex_t* m) {
    if (!m) return;
    if (m->mutex) {
        pthread_mutex_destroy(m->mutex);
        free(m->mutex);
    }
    free(m->name);
    free(m);
}

void ZKT_LockMutex(zk_mutex_t* m) {
    if (!m) return;
    pthread_mutex_lock(m->mutex);
    m->locked = 1;
}

void ZKT_UnlockMutex(zk_mutex_t* m) {
    if (!m) return;
    m->locked = 0;
    pthread_mutex_unlock(m->mutex);
}

bool ZKT_TryLockMutex(zk_mutex_t* m) {
    if (!m || !m->mutex) return false;
    return pthread_mutex_trylock(m->mutex) == 0;
}
