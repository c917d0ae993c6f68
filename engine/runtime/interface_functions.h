// Prototypes of every function the interface table holds, generated from
// interface.def. Whichever subsystem defines a function declares it through
// this header, so that its definition always matches its slot.
#pragma once

#include "engine/runtime/zekar.h"

#define ZK_SLOT_PROTOTYPE(ret, name, params, attributes) ret name params attributes;
#define ZK_TOP_SLOT ZK_SLOT_PROTOTYPE
#define ZK_ACHIEVEMENTS_SLOT ZK_SLOT_PROTOTYPE
#define ZK_AUDIO_SLOT ZK_SLOT_PROTOTYPE
#define ZK_CLOUD_SLOT ZK_SLOT_PROTOTYPE
#define ZK_EXTENSION_SLOT ZK_SLOT_PROTOTYPE
#define ZK_FILE_SYSTEM_SLOT ZK_SLOT_PROTOTYPE
#define ZK_GRAPHICS_SLOT ZK_SLOT_PROTOTYPE
#define ZK_LEADERBOARDS_SLOT ZK_SLOT_PROTOTYPE
#define ZK_NOTIFICATIONS_SLOT ZK_SLOT_PROTOTYPE
#define ZK_SOCIAL_SLOT ZK_SLOT_PROTOTYPE
#define ZK_STATISTIC_SLOT ZK_SLOT_PROTOTYPE
#define ZK_UGC_SLOT ZK_SLOT_PROTOTYPE
#include "engine/runtime/interface.def"
#undef ZK_SLOT_PROTOTYPE
