// The basic functions of the interface table's top level: key states, list freeing,
// memory, main-thread synchronisation, the shutdown signal, product features
// and the queued-event entry point (slots 17-19, 21-23, 27, 32-39).
#pragma once

#include "engine/runtime/event.h"
#include "engine/runtime/zekar.h"

void ZK_SynchronizeWithMainThreadBegin();   // 17
void ZK_SynchronizeWithMainThreadEnd();     // 18
bool ZK_IsSynchronizedWithMainThread();     // 19
void ZK_SignalShutdown();                   // 21
bool ZK_IsShutdownSignalled();              // 22
bool ZK_ProductFeatureExists(const char* name); // 23
void ZK_FreeList(zk_list_t* list);          // 27
void* ZK_AllocMemory(unsigned int size);    // 32
void ZK_FreeMemory(void* memory);           // 33
void ZK_SendEventQueued(zk_event_t* event); // 34
void ZK_SetupEvent(zk_event_t* event, zk_event_type_t type); // 35
int ZK_GetKeyStatei(int code);              // 36
void ZK_SetKeyStatei(int code, int value);  // 37
float ZK_GetKeyStatef(int code);            // 38
void ZK_SetKeyStatef(int code, float value); // 39

// A word of a feature list counts when it stands at the list's start or
// after ' ', ',' or ';' and is followed by the end, ' ', ',' or ';'. Both
// lists of zk_state_t::product_feature_lists are searched.
bool ZKI_ProductFeatureExists(const char* name);
// Appends a copy of the event to zk_state_t::event_queue under
// RESOURCE_QUEUE; any thread may call it.
void ZKI_SendEventQueued(const zk_event_t* event);
// Zeroes the record, then stores the type.
void ZKI_InitEvent(zk_event_t* event, zk_event_type_t type);
