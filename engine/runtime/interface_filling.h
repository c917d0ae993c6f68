// The interface table's neutral functions and the runtime's part of the
// table.
//
// The table's parts are filled by the layers that provide them: the
// runtime's top-level slots here, the file system's and the other
// top-level ones of storage by storage, each sub-table by its layer, and
// start-up (engine/app/interface.h) fills all of them. A slot no layer
// provides holds the neutral function of its type, so that a program built
// on the lower layers alone has a whole table.
#pragma once

#include <cstdint>

#include "engine/base/ntransform.h"
#include "engine/base/types.h"
#include "engine/runtime/zekar.h"

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

// The runtime's part of the table: every top-level slot neutral, then the
// runtime's own functions in theirs (logging, time, mutexes and threads,
// main-thread synchronisation, shutdown, product features, lists and
// memory, events, key states, developer mode); slots 41 to 51 point at the
// eleven sub-tables, each filled with neutral functions.
void ZKI_FillRuntimeInterface(zekar_t* table);
