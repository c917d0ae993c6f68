// The engine event record.
#pragma once

#include <cstdint>

#include "engine/runtime/zekar.h"

// A fixed-size 64-byte record: the event type, then fields that depend on
// the type (laid out by the event code; ZK_SetupEvent zeroes the whole
// record before storing the type).
struct zk_event_t {
    zk_event_type_t type;
    alignas(8) unsigned char payload[56];
};
static_assert(sizeof(zk_event_t) == 64, "zk_event_t is 64 bytes");
