// What the runtime reaches above itself, and the neutral functions of the
// interface table.
//
// The runtime's threads and log call the platform's device services, which
// lie above the runtime: the platform layer puts its functions into
// zk_device when start-up (ZKI_StateSetup) asks it to register; until then
// they answer as a platform without them would. The table's parts are
// filled by the layers that provide them; a slot nobody provides holds the
// neutral function of its type.
#pragma once

#include <pthread.h>

#include <cstdint>

#include "engine/base/ntransform.h"
#include "engine/base/types.h"
#include "engine/runtime/zekar.h"

// --- Device services of the platform layer ----------------------------------
struct zk_device_t {
    // The platform popup behind ZK_Popupf; 4 means "nothing shown".
    int (*Popup)(int type, const char* text);
    // Scheduling of engine threads; 0 on success.
    int (*SetThreadPrecedence)(pthread_t thread, int importance);
    int (*SetThreadFixedPolicy)(pthread_t thread);
};
extern zk_device_t zk_device;

// Fills every slot of one sub-table with the neutral function of its type;
// a layer's filler starts from here and sets the slots it provides.
template <class Table>
void ZKI_FillNeutralInterface(Table* api);

// The neutral function of a slot's type: does nothing and answers a
// value-initialised result (false, zero, null, an all-zero record).
template <class F>
struct zk_neutral;
template <class R, class... A>
struct zk_neutral<R (*)(A...)> {
    static R Call(A...) { return R(); }
};
template <class R, class... A>
struct zk_neutral<R (*)(A..., ...)> {
    static R Call(A..., ...) { return R(); }
};
