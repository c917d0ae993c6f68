// Running work inside an autorelease pool, on the calling thread or on a new
// engine thread (the Apple side of the services).
//
// Pools belong to the platform's object runtime, which this program does
// not carry: here a pool is an empty scope around the work, so the work,
// the thread and the start record behave as they would on the platform.
#pragma once

#include <cstdint>

// Runs function(argument) inside a pool.
void ZK_IOS_RunWithAutoreleasePool(void (*function)(void*), void* argument);
// Starts an engine thread named "IOS_AutoreleasePool" that runs
// function(argument) inside a pool. Returns the thread's id, or 0 when no
// thread could be started (the work then never runs).
uint32_t ZK_IOS_RunThreadWithAutoreleasePool(void (*function)(void*), void* argument);
// The body of those threads: runs the start record's work inside a pool
// and frees the record.
void ZK_IOS_AutoreleasePool_ThreadFuncCaller(void* record);
