// Start-up, the command-line path and shutdown.
//
// A program built on the engine starts in two calls: ZKI_PreInit (threads,
// state, interface table, core mutexes, file systems, device, console, the
// null program, the null renderer, packages, locale, screen mode and
// orientation) and ZKI_Init (renderer, input, sound and the feature flags).
// The command-line path then runs ZKI_CallCommandLineMain and
// ZEKAR_Shutdown.
#pragma once

#include "engine/runtime/screen.h"
#include "engine/runtime/state.h"

enum { ZK_NUM_WINDOWED_RESOLUTIONS = 26 };
// The windowed sizes offered besides the renderer's own list, ascending.
extern const zk_resolution_t WINDOWED_RESOLUTIONS[ZK_NUM_WINDOWED_RESOLUTIONS];

// Lets go of what an earlier start holds, sets the state and the table up as
// the runtime does (ZKI_SetUpState, engine/runtime/state_setup.h: zeroed,
// defaults set, the runtime's slots filled), lets the platform register its
// device services (engine/runtime/device_services.h) and the batch renderer
// put its functions where lower parts call them, and fills the whole table
// (ZKI_SetBasicInterface). The core mutexes are created afterwards by
// ZKI_CreateCoreMutexes.
void ZKI_StateSetup(void* platform_argument);

// Always true.
bool ZKI_PreInit(void* platform_argument);
// False when no renderer could be initialised.
bool ZKI_Init();
// Runs zk_command_line_main, then switches log lines and popups off for the
// rest of the run; returns the command line's result.
int ZKI_CallCommandLineMain(int argc, char** argv);
// Signals shutdown, waits a bounded time for the engine threads, lists
// those left running and calls the program's Shutdown. Nothing else is
// torn down.
void ZEKAR_Shutdown();
// True when the last shutdown left engine threads running. The process must
// then end without destroying its globals (the threads still use them).
bool ZKI_ThreadsLeftRunningAtShutdown();

// The sleep of the shutdown wait (up to 60 rounds of 200 ms), ZKT_Sleep
// when null. Tests take it over so as not to wait.
void ZKI_SetShutdownSleep(void (*sleep)(int milliseconds));

// The command-line program the engine runs (zk-shader-tool's, or a test's):
// the program puts it here before ZKI_CallCommandLineMain; while null the
// command line runs nothing and answers 0.
extern int (*zk_command_line_main)(int argc, char** argv);

// Steps of start-up.
void ZKPI_ResolvePlatformInfo();
bool ZKI_LoadProgImp();
// Makes the platform's renderer back end current unless one is, and fills
// the interface table again (the colour setters follow the renderer's
// vertex colour format). Always true.
bool ZKI_LoadRendImp();
void ZKI_DetermineProgramParameters();
void ZKI_ExpandSupportedResolutions();
void ZKI_DetermineLocale();
void ZKI_DetermineInitialScreenMode();
void ZKI_DetermineOrientation();
void ZKI_SetupDefaultShaders();
void ZKID_LoadStaticInputImps();
bool ZKID_LoadInputImp(const char* name);
void* ZKID_AllocateMemory(unsigned int size);
void ZKID_FreeMemory(void* memory);
// Empty steps.
void ZKI_CheckForMultipleProgramInstances();
void ZKI_AddAndroidPackages();
void ZKI_FinalizeProgramNamesIdsAndDirectories();
void ZKI_CheckDatatypes();

