// Start-up and the command-line path.

#include "engine/app/startup.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "engine/console/console_overlay.h"
#include "engine/app/interface.h"
#include "engine/app/null_program.h"
#include "engine/fonts/fonts.h"
#include "engine/images/image_loader.h"
#include "engine/render/renderer_implementation.h"
#include "engine/screen/renderer_interface.h"
#include "engine/render/renderer_null.h"
#include "engine/screen/resolution_selection.h"
#include "engine/screen/screen_transforms.h"
#include "engine/sound/sound_implementation.h"
#include "engine/sound/sound_manager.h"
#include "engine/runtime/backends.h"
#include "engine/runtime/basic_functions.h"
#include "engine/events/events.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/log.h"
#include "engine/runtime/screen.h"
#include "engine/runtime/threads.h"
#include "engine/services/extension_modules.h"
#include "engine/storage/filesystem.h"
#include "engine/storage/packages.h"
#include "engine/storage/settings.h"
#include "platform/macos/device/device.h"
#include "platform/macos/device/platform.h"

// The locale the platform resolved "auto" to; zk_state_t::locale points at
// its text.
static nString resolved_locale;

static bool Feature(const char* name) { return ZKI_ProductFeatureExists(name); }

void ZKPI_ResolvePlatformInfo() {
    zk_platform_info = zk_platform_info_t();
    zk_platform_info.platform_id = 2;
    zk_platform_info.screen_size_id = 2;
    strcpy(zk_platform_info.device_model, "Mac");
    strcpy(zk_platform_info.os_name, "Mac OS X");
    strcpy(zk_platform_info.unique_id, "UNKNOWN");
}

void ZKI_CheckForMultipleProgramInstances() {}
void ZKI_AddAndroidPackages() {}
void ZKI_FinalizeProgramNamesIdsAndDirectories() {}
void ZKI_CheckDatatypes() {}
void ZKI_SetupDefaultShaders() { zk_state.num_shaders = 0; }
void ZKID_LoadStaticInputImps() {}
void* ZKID_AllocateMemory(unsigned int size) { return malloc(size); }
void ZKID_FreeMemory(void* memory) { free(memory); }

bool ZKID_LoadInputImp(const char* name) {
    ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "No extra input imps in static version: '%s' not loaded.", name);
    return true;
}

// ---------------------------------------------------------------------------
// Program and renderer installation

bool ZKI_LoadProgImp() {
    zk_prog = ZKI_GetNullProg();
    // The null program needs no Init.
    zk_state.prog_initialized = 1;
    return true;
}

bool ZKI_LoadRendImp() {
    if (ri) return true;
    zk->ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Loading renderer implementation...");
    ri = ZKID_LoadRendImp();
    zk_state.rend_imp = ri;
    ZKI_SetBasicInterface(zk);
    return true;
}

void ZKI_DetermineProgramParameters() {
    zk_prog_t* prog = zk_prog;
    if (!prog) return;
    const zk_prog_t saved = *prog;
    zk_state.default_prog.parms.developer_mode = prog->parms.developer_mode;
    // Everything before the callbacks comes from the collected defaults;
    // the version word and the callbacks stay the program's.
    memcpy(static_cast<void*>(prog), &zk_state.default_prog, offsetof(zk_prog_t, Init));
    prog->api_version = saved.api_version;
    if (zk_state.parms.width == 0 || zk_state.parms.height == 0) {
        zk_state.parms.width = saved.parms.width;
        zk_state.parms.height = saved.parms.height;
    }
    zk_state.prog = prog;
    prog->parms.command_line_params = zk_command_line_params;
}

// ---------------------------------------------------------------------------
// Supported resolutions

static bool HasResolution(const nArray<zk_resolution_t>& list, int width, int height) {
    for (int i = 0; i < list.count; ++i) {
        if (list.items[i].width == width && list.items[i].height == height) return true;
    }
    return false;
}

void ZKI_ExpandSupportedResolutions() {
    if (!ri || !zk_state.supported_resolutions || zk_state.supported_resolutions[0] != '*') return;
    ri->UpdateSupportedResolutions();
    nArray<zk_resolution_t> list;
    for (int i = 0; i < ri->supported_resolutions.count; ++i) {
        const RendererImplementation::Resolution& r = ri->supported_resolutions.items[i];
        list.InsertLast(zk_resolution_t{r.width, r.height});
    }
    for (const zk_resolution_t& r : WINDOWED_RESOLUTIONS) {
        if (!HasResolution(list, r.width, r.height)) list.InsertLast(r);
    }
    if (list.count > 0) qsort(list.items, static_cast<size_t>(list.count), sizeof(zk_resolution_t), ZKI_CompareResolutionsDescending);
    nString text("");
    for (int i = 0; i < list.count; ++i) {
        text.AppendFormatted("%s%ix%i", i == 0 ? "" : ",", list.items[i].width, list.items[i].height);
    }
    free(zk_state.supported_resolutions);
    zk_state.supported_resolutions = strdup(text.c_str());
}

// ---------------------------------------------------------------------------
// Locale, screen mode and orientation

void ZKI_DetermineLocale() {
    zk_prog_t* prog = zk_state.prog;
    if (zk_state.locale && strcmp(zk_state.locale, "auto") == 0) {
        const char* language = ZK_CallExtension("GetLanguage", nullptr);
        if (language) {
            resolved_locale = language;
            zk_state.locale = resolved_locale.text;
            if (prog) prog->parms.locale = zk_state.locale;
        }
    }
    const char* locale = prog ? prog->parms.locale : nullptr;
    if (locale && *locale) {
        zk_state.package_paths[1].AppendFormatted(",data-%s", locale);
        ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Locale resolved to '%s'.", locale);
    } else {
        ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Locale not set.");
    }
}

// The program may change its parameters before video init.
static void AskProgramToCheckParameters(zk_prog_t* prog) {
    if (!prog->EventProc) return;
    prog->EventProc(ZKI_MakeEvent(zk_parameter_check_event_t{ZK_EVENT_PARAMETER_CHECK, zk, &prog->parms}));
}

// Steps 5 and 6: keep the program's own size when the device takes it.
static bool AcceptProgramResolution(const zk_parms_t& parms) {
    ZK_PrintDebugf(ZK_MESSAGE_INFO, "Checking if program selected resolution (%dx%d %s) is supported by device.",
                   parms.width, parms.height, parms.windowed ? "windowed" : "fullscreen");
    if (ZKI_IsResolutionSupportedByDevice(parms.width, parms.height, parms.windowed != 0)) return true;
    ZK_PrintDebugf(ZK_MESSAGE_INFO,
                   "Resolution is not supported, falling back to autoselected resolution for this run.");
    return false;
}

void ZKI_DetermineInitialScreenMode() {
    zk_prog_t* prog = zk_state.prog;
    if (!prog) return;
    zk_parms = prog->parms;
    zk_state.parms = prog->parms;
    ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Checking parameters with the program before video init.");
    AskProgramToCheckParameters(prog);
    if (zk_state.developer_mode && zk_state.windowed) prog->parms.windowed = 1;

    const zk_parms_t& wanted = prog->parms;
    bool own_size = wanted.width != 0 && wanted.height != 0 && Feature("FREE_RESOLUTION");
    if (own_size && AcceptProgramResolution(wanted)) {
        zk_state.parms.width = wanted.width;
        zk_state.parms.height = wanted.height;
        zk_state.parms.windowed = wanted.windowed;
    } else {
        ZKI_SelectOptimalResolution(wanted.windowed != 0, zk_state.resolution_override != nullptr);
    }
    zk_parms = zk_state.parms;
    prog->parms.width = zk_state.parms.width;
    prog->parms.height = zk_state.parms.height;
    prog->parms.windowed = zk_state.parms.windowed;
}

static int OrientationOfSize(int width, int height) { return height <= width ? 4 : 1; }

void ZKI_DetermineOrientation() {
    zk_prog_t* prog = zk_state.prog;
    if (!prog) return;
    zk_parms_t& p = prog->parms;
    zk_device_info_t& device = zk_device_info;
    int ref_w = p.ref_width, ref_h = p.ref_height;

    zk_state.allowed_orientations = ref_h <= ref_w ? 12 : 3;
    zk_state.interface_orientation = ref_w < ref_h ? 1 : 8;
    if (device.screen_width == 0) device.screen_width = zk_state.screen_width;
    if (device.screen_height == 0) device.screen_height = zk_state.screen_height;
    if (!device.fixed_resolution)
        device.orientation = device.desktop_height < device.desktop_width ? 4 : 1;
    else
        device.orientation = OrientationOfSize(device.screen_width, device.screen_height);
    zk_state.target_orientation = zk_state.interface_orientation;

    if (p.width == 0 || p.height == 0 || zk_state.override_parameters) {
        ZK_PrintDebugf(ZK_MESSAGE_INFO, "Important parameter is 0: width=%d height=%d override=%d. Forcing override.",
                       p.width, p.height, zk_state.override_parameters);
        p.width = zk_state.screen_width;
        p.height = zk_state.screen_height;
        ZK_PrintDebugf(ZK_MESSAGE_INFO, "Parameters after override: width=%d height=%d override=%d.", p.width,
                       p.height, zk_state.override_parameters);
    }

    if (!device.fixed_resolution) {
        if (!zk_state.validated_resolution_set) {
            zk_state.screen_width = device.screen_width = p.width;
            zk_state.screen_height = device.screen_height = p.height;
        }
        device.orientation = OrientationOfSize(device.screen_width, device.screen_height);
    } else {
        zk_state.allowed_orientations = ref_h < ref_w ? 12 : 3;
        zk_state.screen_width = device.screen_width;
        zk_state.screen_height = device.screen_height;
        if (device.orientation == 1 && ref_w > ref_h) {
            zk_state.screen_width = device.screen_height;
            zk_state.screen_height = device.screen_width;
            zk_state.allowed_orientations = 12;
        }
        p.width = zk_state.screen_width;
        p.height = zk_state.screen_height;
        zk_state.override_parameters = 1;
    }
    ZK_PrintDebugf(ZK_MESSAGE_INFO, "Program orientation: %s.", ZKI_GetOrientationName(zk_state.interface_orientation));
    ZK_PrintDebugf(ZK_MESSAGE_INFO, "Native device screen buffer orientation: %s.",
                   ZKI_GetOrientationName(device.orientation));
}

// ---------------------------------------------------------------------------
// Pre-initialisation

static void ApplyPreInitFeatures() {
    if (Feature("MULTITOUCH") || Feature("MULTIMOUSE")) {
        zk_state.default_prog.parms.multitouch = 1;
        zk_state.parms.multitouch = 1;
    }
    if (Feature("AUTOSCALE")) zk_state.autoscale = 1;
    if (Feature("NO_SOUND")) {
        zk_state.default_prog.parms.no_sound = 1;
        zk_state.parms.no_sound = 1;
    }
}

// The application layer keeps it; nothing reads it.
static bool hide_cursor_requested = false;

static void ApplyLatePreInitFeatures() {
    zk_state.print_reference_count_changes = Feature("PRINT_REFERENCE_COUNT_CHANGES") ? 1 : 0;
    hide_cursor_requested = Feature("HIDE_CURSOR");
    if (Feature("UNLIMITED_MEMORY")) {
        zk_state.unlimited_memory = 1;
        ZK_PrintDebugf(ZK_MESSAGE_INFO, "Virtually unlimited memory mode active.");
    }
}

static void AddEarlyPackages() {
    ZKI_AddPackages(zk_state.package_paths[0].GetText(), true);
    ZKI_AddPackages(zk_state.package_paths[1].GetText(), true);
    ZK_InitializeExtensionModules();
    ZKI_RemoveResourcePackages(zk_state.package_paths[1]);
}

bool ZKI_PreInit(void* platform_argument) {
    ZKT_InitThreads();
    ZKI_StateSetup(platform_argument);
    ZKI_CreateCoreMutexes();
    ZKPI_ResolvePlatformInfo();
    ZKFileSystem::Initialize();
    zk_state.prog = &zk_state.default_prog;
    ApplyPreInitFeatures();
    zk_device_info = zk_device_info_t();
    ZKID_DetermineDeviceInfo(&zk_device_info);
    zk_console.Init();
    ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Logging Verbose Level set to %d.", zk_state.log_verbose_level);
    ZKI_LoadProgImp();
    ZKI_DetermineProgramParameters();
    zk_state.allow_multiple_instances = Feature("ALLOW_MULTIPLE_PROGRAM_INSTANCES") ? 1 : 0;
    ZKI_CheckForMultipleProgramInstances();
    // Fills the table again: its colour setters follow the renderer.
    ZKI_LoadRendImp();
    ZKI_ExpandSupportedResolutions();
    AddEarlyPackages();
    ZKI_DetermineLocale();
    ZKI_DetermineInitialScreenMode();
    ZKI_AddPackagesDefinedInProgramParameters();
    ZKI_DetermineOrientation();
    zk->file_system->ZK_FileSystem_AddSearchPath("res://", false);
    ApplyLatePreInitFeatures();
    ZKI_InitImageLoader();
    ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Preinitialization complete.");
    return true;
}

// ---------------------------------------------------------------------------
// Initialisation

static bool InitRenderer() {
    if (ZKI_InitRendImp()) return true;
    ZK_PrintDebugf(ZK_MESSAGE_ERROR,
                   "Unable to initialize the renderer. Tried all listed renderers but was unable to initialize any.");
    nString text = nString::Format(
        "Unable to initialize the graphics (%dx%d %s). Please try restarting the application.\nIf that doesn't help, "
        "consider updating your display adapter driver software.\nFor more information on how to do this, please see "
        "your hardware \nmanufacturer's support page.",
        zk_state.parms.width, zk_state.parms.height, zk_state.parms.windowed ? "windowed" : "fullscreen");
    ZKD_Popup(ZK_MESSAGE_ERROR, text.c_str());
    ZKID_DestroyWindow();
    return false;
}

static void InitInputImplementations() {
    for (const char* name : zk_state.input_imp_names) {
        if (name) ZKID_LoadInputImp(name);
    }
    for (int i = 0; i < zk_state.num_input_imps; ++i) {
        if (zk_state.input_imps[i]) zk_state.input_imps[i]->Initialize(&zk_state);
    }
}

static void InitSound() {
    SoundImplementation* sound = GetSoundImpNull();
    zk_state.sound_imp = sound;
    if (!sound) return;
    if (zk_state.prog && zk_state.prog->parms.no_sound) {
        ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Sounds disabled. Null Sound Implementation in use.");
        return;
    }
    zk_sound_imp_man.SetSoundImp(sound);
    if (sound->Initialize(&zk_state, &zk_parms)) {
        ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Sound Implementation initialized.");
        sound->SetMasterVolume(zk_sound_imp_man.master_volume);
    } else {
        ZK_PrintDebugf(ZK_MESSAGE_WARNING, "No Sound Implementation available.");
        zk_sound_imp_man.SetSoundImp(sound);
    }
}

static void ApplyInitFeatures() {
    zk_state.reference_counting = Feature("DISABLE_REFERENCE_COUNTING") ? 0 : 1;
    zk_state.show_fps = Feature("SHOW_FPS") ? 1 : 0;
    zk_state.render_stereo = Feature("RENDER_STEREO") ? 1 : 0;
    zk_state.debug_draw_time_delta_test = Feature("DEBUG_DRAW_TIME_DELTA_TEST") ? 1 : 0;
    zk_state.debug_draw_black_screen = Feature("DEBUG_DRAW_BLACK_SCREEN_INSTEAD_OF_PROGRAM") ? 1 : 0;
}

bool ZKI_Init() {
    ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Endianness: %d.", 1234);
    ZKI_SetupAutoscaling();
    zk_state.render_targets = zk_graphics_api_t::RenderTargets();
    zk_state.render_target_stack.InsertLast(zk_graphics_api_t::RenderTargets());
    ZKI_SetupDefaultShaders();
    if (!InitRenderer()) return false;
    InitInputImplementations();
    InitSound();
    if (zk_state.prog) {
        zk_state.prog->parms.developer_mode = zk_state.developer_mode;
        zk_state.prog->parms.locale = zk_state.locale;
    }
    ApplyInitFeatures();
    zk_state.initialized = 1;
    zk_state.queue_input_events = 1;
    ZKI_InitializeFonts();
    ZKI_ValidateConfigurationArrays();
    return true;
}
