// The macOS application shell, above the engine: what the windowed layer
// calls to start, run and end the engine, and the command-line program that
// zk-shader-tool's entry runs.
#pragma once

#include "platform/macos/app/window_state.h"

// Logs the two window lines, then names and sets up the window from the
// program (ZKID_SetUpWindowForProgram). True.
bool ZKID_CreateWindow();
bool ZK_OSX_ZEKARPreInit();
// ZKI_Init; on success clears the cursor table and queues input events.
bool ZK_OSX_ZEKARMainInit();
void ZK_OSX_ZEKARShutdown();
// Asks the application to terminate with its delegate, when there is one,
// and forgets the delegate.
void ZK_OSX_TerminateApp();

// The engine's command-line path, as zk-shader-tool's entry runs it:
// pre-initialisation (1 when it fails), initialisation (1, without shutting
// the engine down, when it fails), `command_line` with the process's
// arguments, then shutdown. Returns the command line's result. When engine
// threads are still running after shutdown, the process ends at once with
// that result, without destroying the globals those threads still use.
int ZK_OSX_RunCommandLine(int argc, char** argv, int (*command_line)(int argc, char** argv));
