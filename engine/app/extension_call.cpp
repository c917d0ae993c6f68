// ZK_CallExtension: the string-keyed entry point for facts and commands
// that have no slot of their own.
//
// Every call is first offered to the service and device mappings, then to
// the engine's own names, and last to the renderer and the input
// implementations. Answers are borrowed: static texts, fields of engine
// records, or static buffers overwritten by the next call of the same kind.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/console/console_overlay.h"
#include "engine/images/bitmap_pool.h"
#include "engine/render/renderer_implementation.h"
#include "engine/runtime/backends.h"
#include "engine/runtime/basic_functions.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/log.h"
#include "engine/runtime/screen.h"
#include "engine/runtime/state.h"
#include "engine/runtime/threads.h"
#include "engine/storage/filesystem_api.h"
#include "engine/services/extension_mapping.h"
#include "engine/storage/settings.h"
#include "platform/macos/device/device.h"

namespace {

bool Is(const char* a, const char* b) { return a && strcmp(a, b) == 0; }

const char* ScreenSizeNameOfId(int id) {
    if (id == 1) return "MEDIUM";
    if (id == 2) return "LARGE";
    return "SMALL";
}

// --- Reloading changed resources ------------------------------------------

bool IsPlaceholderName(const char* name) { return name && name[0] == '!'; }

// Unchanged when developer mode can compare the stored modification time
// with the file's.
bool IsUnchanged(const char* name, uint32_t stored_time) {
    if (!zk_state.developer_mode || stored_time == 0) return false;
    zk_file_info_t info = {};
    return zk->file_system->ZK_FileSystem_GetFileInfo(name, &info) && info.modification_time == stored_time;
}

// The reload list is gathered under the pool's lock and worked through
// after it is released: reloading takes the pool's lock itself.
void ReloadChangedBitmaps() {
    uint32_t t0 = zk->ZK_GetTime();
    nArray<zk_bitmap_t*> changed;
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
    for (int i = 0; i < zk_state.num_bitmaps; ++i) {
        zk_bitmap_t* bitmap = &zk_state.bitmaps[i];
        if (!bitmap->name || bitmap->reference_count <= 0 || !(bitmap->flags & 2) || IsPlaceholderName(bitmap->name))
            continue;
        changed.InsertLast(bitmap);
    }
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
    int reloaded = 0;
    for (int i = 0; i < changed.count; ++i) {
        zk_bitmap_t* bitmap = changed.items[i];
        if (IsUnchanged(bitmap->name, bitmap->file_time)) continue;
        zk->ZK_Printf("Reloading '%s'...", bitmap->name);
        int mode = bitmap->cache_mode;
        zk->graphics->ZK_Graphics_SetBitmapCacheMode(bitmap, 0);
        zk->graphics->ZK_Graphics_SetBitmapCacheMode(bitmap, mode);
        ++reloaded;
    }
    if (reloaded > 0)
        zk->ZK_Printf("Reloaded %d changed bitmaps in %d msecs.", reloaded, static_cast<int>(zk->ZK_GetTime() - t0));
}

void ReloadChangedFonts() {
    uint32_t t0 = zk->ZK_GetTime();
    nArray<zk_font_t*> changed;
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_FONT);
    for (int i = 0; i < zk_state.num_fonts; ++i) {
        zk_font_t* font = &zk_state.fonts[i];
        if (!font->name || font->reference_count <= 0 || IsPlaceholderName(font->name)) continue;
        changed.InsertLast(font);
    }
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_FONT);
    int reloaded = 0;
    for (int i = 0; i < changed.count; ++i) {
        zk_font_t* font = changed.items[i];
        if (IsUnchanged(font->name, font->time_modified)) continue;
        zk->ZK_Printf("Reloading '%s'...", font->name);
        zk->graphics->ZK_Graphics_RefreshFont(font);
        ++reloaded;
    }
    if (reloaded > 0)
        zk->ZK_Printf("Reloading %d changed fonts in %d msecs.", reloaded, static_cast<int>(zk->ZK_GetTime() - t0));
}

// --- Memory figures ---------------------------------------------------------

const uint32_t kMusicSize = 4194304;

uint32_t BitmapSystemBytes(const zk_bitmap_t& b) {
    return b.pixels ? static_cast<uint32_t>(b.width) * static_cast<uint32_t>(b.height) * 4u : 0;
}
uint32_t FontSystemBytes(const zk_font_t& f) {
    return f.atlas.pixels ? static_cast<uint32_t>(f.atlas.texture_width) * static_cast<uint32_t>(f.atlas.texture_height) * 4u
                          : 0;
}
uint32_t FontGPUBytes(const zk_font_t& f, bool use_image_size) {
    if (!f.atlas.hw_data.loaded) return 0;
    int32_t w = use_image_size ? f.atlas.texture_width : f.atlas.hw_data.texture_width;
    int32_t h = use_image_size ? f.atlas.texture_height : f.atlas.hw_data.texture_height;
    return static_cast<uint32_t>(w) * static_cast<uint32_t>(h) * 4u;
}
uint32_t SoundBytes(const zk_sound_t& s) { return s.data_size > kMusicSize ? 0 : s.data_size; }

void SetMemoryKeyStates() {
    uint32_t system = 0, gpu = 0, gpu_image = 0, sound = 0;
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
    for (int i = 0; i < ZK_MAX_BITMAPS; ++i) {
        zk_bitmap_t* b = &zk_state.bitmaps[i];
        if (!b->name) continue;
        system += BitmapSystemBytes(*b);
        if (b->hw_data.loaded) {
            gpu += ZKI_GetBitmapGPUMemoryUsageEstimate(b, false);
            gpu_image += ZKI_GetBitmapGPUMemoryUsageEstimate(b, true);
        }
    }
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_FONT);
    for (int i = 0; i < ZK_MAX_FONTS; ++i) {
        const zk_font_t& f = zk_state.fonts[i];
        if (!f.name) continue;
        system += FontSystemBytes(f);
        gpu += FontGPUBytes(f, false);
        gpu_image += FontGPUBytes(f, true);
    }
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_FONT);
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_SOUND);
    for (int i = 0; i < ZK_MAX_SOUNDS; ++i) {
        if (zk_state.sounds[i].name) sound += SoundBytes(zk_state.sounds[i]);
    }
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_SOUND);
    uint32_t buffers = static_cast<uint32_t>(zk_state.vertex_buffer_memory) + static_cast<uint32_t>(zk_state.index_buffer_memory);
    zk->ZK_SetKeyStatei(2000, static_cast<int>(system + gpu + sound + buffers));
    zk->ZK_SetKeyStatei(2001, static_cast<int>(system));
    zk->ZK_SetKeyStatei(2002, static_cast<int>(gpu));
    zk->ZK_SetKeyStatei(2003, static_cast<int>(gpu_image));
    zk->ZK_SetKeyStatei(2004, static_cast<int>(sound));
    zk->ZK_SetKeyStatei(2005, static_cast<int>(buffers));
}

// --- Resource listing -------------------------------------------------------

// One entry of the resource listing: name (not owned), kind ("GFX", "SND"
// or "FNT"), bytes counted, and the bitmap size (0 for sounds and fonts).
struct ZKT_ResourceListItem {
    const char* name;
    const char* type;
    uint32_t bytes;
    int32_t width;
    int32_t height;
};


// A printed row of the listing, gathered under the pool's lock.
struct ListingRow {
    nString text;
};

float KB(uint32_t bytes) { return static_cast<float>(bytes) * (1.0f / 1024.0f); }
float MB(uint32_t bytes) { return static_cast<float>(bytes) * (1.0f / 1024.0f) * (1.0f / 1024.0f); }

uint32_t ListBitmaps(nArray<ZKT_ResourceListItem>& list, nArray<ListingRow>& rows) {
    uint32_t total = 0;
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
    for (int i = 0; i < ZK_MAX_BITMAPS; ++i) {
        zk_bitmap_t* b = &zk_state.bitmaps[i];
        if (!b->name) continue;
        uint32_t sys = BitmapSystemBytes(*b);
        uint32_t gpu = b->hw_data.loaded ? ZKI_GetBitmapGPUMemoryUsageEstimate(b, false) : 0;
        ListingRow row;
        if (sys)
            row.text.SetFormatted("Bitmap #%.3d %dx%d '%s' refc=%d sysmem=%.1fKB gpumem=%.1fKB texture=%dx%d", i,
                                  b->width, b->height, b->name, b->reference_count, KB(sys), KB(gpu),
                                  b->hw_data.texture_width, b->hw_data.texture_height);
        else
            row.text.SetFormatted("Bitmap #%.3d %dx%d '%s' refc=%d gpumem=%.1fKB  texture=%dx%d", i, b->width,
                                  b->height, b->name, b->reference_count, KB(gpu), b->hw_data.texture_width,
                                  b->hw_data.texture_height);
        rows.InsertLast(row);
        if (b->hw_data.loaded) list.InsertLast(ZKT_ResourceListItem{b->name, "GFX", sys + gpu, b->width, b->height});
        total += sys + gpu;
    }
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
    return total;
}

uint32_t ListSounds(nArray<ZKT_ResourceListItem>& list, nArray<ListingRow>& rows) {
    uint32_t total = 0;
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_SOUND);
    for (int i = 0; i < ZK_MAX_SOUNDS; ++i) {
        const zk_sound_t& s = zk_state.sounds[i];
        if (!s.name) continue;
        ListingRow row;
        row.text.SetFormatted("Sound #%.3d '%s' sysmem=%.1fKB", i, s.name, KB(s.data_size));
        rows.InsertLast(row);
        if (s.data_size > kMusicSize) {
            ListingRow music;
            music.text.SetFormatted("Assuming Sound #%.3d '%s' is music and not counting its memory", i, s.name);
            rows.InsertLast(music);
        }
        uint32_t counted = SoundBytes(s);
        total += counted;
        list.InsertLast(ZKT_ResourceListItem{s.name, "SND", counted, 0, 0});
    }
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_SOUND);
    return total;
}

uint32_t ListFonts(nArray<ZKT_ResourceListItem>& list, nArray<ListingRow>& rows) {
    uint32_t total = 0;
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_FONT);
    for (int i = 0; i < ZK_MAX_FONTS; ++i) {
        const zk_font_t& f = zk_state.fonts[i];
        if (!f.name) continue;
        uint32_t sys = FontSystemBytes(f);
        uint32_t gpu = FontGPUBytes(f, false);
        list.InsertLast(ZKT_ResourceListItem{f.name, "FNT", sys + gpu, 0, 0});
        ListingRow row;
        if (sys)
            row.text.SetFormatted("Font #%.3d '%s' sysmem=%.1fKB gpumem=%.1fKB ", i, f.name, KB(sys), KB(gpu));
        else
            row.text.SetFormatted("Font #%.3d '%s' gpumem=%.1fKB ", i, f.name, KB(gpu));
        rows.InsertLast(row);
        total += sys + gpu;
    }
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_FONT);
    return total;
}

void PrintRows(const nArray<ListingRow>& rows) {
    for (int i = 0; i < rows.count; ++i) zk->ZK_Printf("%s", rows.items[i].text.c_str());
}

void SortLargestFirst(nArray<ZKT_ResourceListItem>& list) {
    for (int i = 0; i < list.count; ++i) {
        for (int j = 0; j < list.count; ++j) {
            if (j != i && list.items[i].bytes > list.items[j].bytes) {
                ZKT_ResourceListItem t = list.items[i];
                list.items[i] = list.items[j];
                list.items[j] = t;
            }
        }
    }
}

void ListResourceUsage() {
    nArray<ZKT_ResourceListItem> list;
    list.SetMaximumSize(4096);
    nArray<ListingRow> rows;
    zk->ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Listing Resource Usage.");
    zk->ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "\nBitmaps:");
    uint32_t bitmaps = ListBitmaps(list, rows);
    PrintRows(rows);
    rows.count = 0;
    zk->ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "\nSounds:");
    uint32_t sounds = ListSounds(list, rows);
    PrintRows(rows);
    rows.count = 0;
    zk->ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "\nFonts:");
    uint32_t fonts = ListFonts(list, rows);
    PrintRows(rows);
    zk->ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Total %.1fMB allocated for bitmaps in (system+gpu) memory.", MB(bitmaps));
    zk->ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Total %.1fMB allocated for sounds in system memory.", MB(sounds));
    zk->ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Total %.1fMB allocated for fonts in (system+gpu) memory.", MB(fonts));
    zk->ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Total %.1fKB allocated for all resources.", KB(bitmaps + sounds + fonts));
    zk->ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "ZEKAR state size is %.1fKB.", KB(static_cast<uint32_t>(sizeof(zk_state_t))));
    SortLargestFirst(list);
    int shown = list.count < 80 ? list.count : 80;
    zk->ZK_Printf("TOP%d Memory Hogs", shown);
    for (int k = 1; k <= shown; ++k) {
        const ZKT_ResourceListItem& item = list.items[k - 1];
        if (item.width > 0)
            zk->ZK_Printf("#%.3d %s %.1fMB %dx%d %s", k, item.type, MB(item.bytes), item.width, item.height, item.name);
        else
            zk->ZK_Printf("#%.3d %s %.1fMB %s", k, item.type, MB(item.bytes), item.name);
    }
}

// --- Engine facts -------------------------------------------------------------

const char* RendererFact(const char* value) {
    if (Is(value, "SupportedResolutions")) return ri->GetListOfSupportedResolutions();
    if (Is(value, "EyeMode")) {
        if (zk_state.eye_mode == 1) return "Left";
        if (zk_state.eye_mode == 2) return "Right";
        return "Mono";
    }
    if (Is(value, "MaximumTextureSize")) {
        static char buffer[32];
        snprintf(buffer, sizeof(buffer), "%d", ri->GetMaximumTextureSize());
        return buffer;
    }
    return nullptr;
}

const char* FeatureList() {
    static nString features;
    features = "";
    const char* first = zk_state.product_feature_lists[0];
    const char* second = zk_state.product_feature_lists[1];
    if (first && *first) features.Append(first);
    if (second && *second) {
        if (!features.IsEmpty()) features.Append(",");
        features.Append(second);
    }
    return features.GetText();
}

// Answers a "ProgramInfo" value; `known` tells whether the value is one.
const char* ProgramInfo(const char* value, bool* known) {
    *known = true;
    if (Is(value, "ProgramId")) return zk_prog ? zk_prog->id : "null";
    if (Is(value, "Features")) return FeatureList();
    if (Is(value, "ControlInterfaces")) return zk_state.package_paths[6].GetText();
    *known = false;
    return nullptr;
}

const char* OverrideText() { return static_cast<const char*>(zk_state.resolution_override); }

const char* OverridePlatformName() {
    nString platform(OverrideText());
    const char* slash = strchr(platform.c_str(), '/');
    if (slash) platform = platform.Substring(0, static_cast<int>(slash - platform.c_str()));
    return ZKI_GetPlatformNameOfId(ZKI_GetPlatformIdFromString(platform.c_str()));
}

const char* OverrideScreenSizeName() {
    const char* slash = strchr(OverrideText(), '/');
    if (!slash) return "LARGE";
    const char* size = slash + 1;
    if (Is(size, "MEDIUM")) return "MEDIUM";
    if (Is(size, "LARGE")) return "LARGE";
    return "SMALL";
}

const char* DesktopSide(int side, char* buffer, size_t size) {
    snprintf(buffer, size, "%d", side);
    return buffer;
}

// Answers a "PlatformInfo" value; `known` tells whether the value is one.
const char* PlatformInfo(const char* value, bool* known) {
    *known = true;
    if (Is(value, "DeviceModel")) return zk_platform_info.device_model;
    if (Is(value, "OS")) return zk_platform_info.os_name;
    if (Is(value, "OSMajor")) zk->ZK_Popupf(ZK_MESSAGE_WARNING, "PlatformInfo.OSMajor is removed.");
    if (Is(value, "OSMinor")) zk->ZK_Popupf(ZK_MESSAGE_WARNING, "PlatformInfo.OSMinor is removed.");
    if (Is(value, "ZekarImp")) zk->ZK_Popupf(ZK_MESSAGE_WARNING, "PlatformInfo.ZekarImp is removed.");
    if (Is(value, "UniqueId")) return zk_platform_info.unique_id;
    if (Is(value, "GPUDesc")) return zk_platform_info.gpu_description;
    if (Is(value, "CPUDesc")) return zk_platform_info.cpu_description;
    if (Is(value, "DesktopWidth")) {
        static char width[16];
        return DesktopSide(zk_device_info.desktop_width, width, sizeof(width));
    }
    if (Is(value, "DesktopHeight")) {
        static char height[16];
        return DesktopSide(zk_device_info.desktop_height, height, sizeof(height));
    }
    if (Is(value, "PlatformId"))
        return OverrideText() ? OverridePlatformName() : ZKI_GetPlatformNameOfId(zk_platform_info.platform_id);
    if (Is(value, "ScreenSizeId"))
        return OverrideText() ? OverrideScreenSizeName() : ScreenSizeNameOfId(zk_platform_info.screen_size_id);
    *known = false;
    return nullptr;
}

const char* FormattedDate(bool with_time) {
    zk_date_t d = zk->ZK_GetDate();
    if (!with_time) {
        static char date[32];
        snprintf(date, sizeof(date), "%d-%.2d-%.2d", d.year, d.month, d.day);
        return date;
    }
    static char stamp[32];
    snprintf(stamp, sizeof(stamp), "%d-%.2d-%.2d:%.2d-%.2d", d.year, d.month, d.day, d.hour, d.minute);
    return stamp;
}

const char* OverlayZoomText() {
    static nString zoom;
    char buffer[64];
    snprintf(buffer, sizeof(buffer), "%g", static_cast<double>(zk_state.overlay_zoom));
    zoom = buffer;
    return zoom.GetText();
}

void SetOverlayZoom(const char* value) {
    float zoom = value ? static_cast<float>(atof(value)) : 1.0f;
    // The frame divides by the zoom: 0, a negative zoom or no number at
    // all is refused and the zoom stays as it was.
    if (!(zoom > 0.0f)) return;
    ZKI_SetOverlayZoom(zoom);
    zk_state.overlay_zoom_saved = zk_state.overlay_zoom;
}

const char* AskRendererAndInputs(const char* name, const char* value) {
    if (!ri || !zk_state.renderer_initialized) return nullptr;
    const char* answer = ri->CallExtension(name, value);
    if (answer) return answer;
    for (int i = 0; i < zk_state.num_input_imps; ++i) {
        InputImplementation* input = zk_state.input_imps[i];
        answer = input ? input->CallExtension(name, nullptr) : nullptr;
        if (answer) return answer;
    }
    return nullptr;
}

// Steps 3 to 7: the service and device layers answer first.
const char* AskMappings(const char* name, const char* value, bool* answered) {
    *answered = true;
    const char* answer = ZKID_IAPExtensionMapping(name, value);
    if (!answer) answer = ZKID_GameCenterExtensionMapping(name, value);
    if (!answer) answer = ZK_CallExtensionModuleExtension(name, value);
    if (!answer) answer = ZKD_CallExtension(name, value);
    if (answer) return answer;
    if (zk_prog && (ZKI_ProductFeatureExists("TEST_EXTENSIONS") || zk_prog->parms.developer_mode)) {
        ZKID_TestExtension(name, value);
        if (Is(name, "Facebook_IsAvailable") || Is(name, "Twitter_IsAvailable") || Is(name, "_SinaWeibo_IsAvailable"))
            return "YES";
    }
    *answered = false;
    return nullptr;
}

// Steps 8 to 16: names answered from engine state, or commands that let
// the call go on.
const char* AskEngine(const char* name, const char* value, bool* answered) {
    *answered = true;
    bool known = false;
    if (Is(name, "Console_AddCommand")) {
        zk_console.AddAutoCompletionString(value, nullptr);
        return nullptr;
    }
    if (Is(name, "Renderer")) {
        if (!ri) return nullptr;
        const char* answer = RendererFact(value);
        if (answer || Is(value, "SupportedResolutions")) return answer;
    }
    if (Is(name, "ProgramInfo") && value) {
        const char* answer = ProgramInfo(value, &known);
        if (known) return answer;
    }
    if (Is(name, "GetProductValue")) return ZKI_GetProductValue(value);
    if (Is(name, "PlatformInfo")) {
        const char* answer = PlatformInfo(value, &known);
        if (known) return answer;
    }
    if (Is(name, "GetDate")) return FormattedDate(false);
    if (Is(name, "GetTimeStamp")) return FormattedDate(true);
    if (Is(name, "Hacks") && Is(value, "AllowAllResolutions")) zk_state.allow_all_resolutions = 1;
    if (Is(name, "UI") && (Is(value, "BeginKeyboardInput") || Is(value, "EndKeyboardInput")))
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Unimplemented.");
    *answered = false;
    return nullptr;
}

// Steps 17 to 21: commands and the zoom.
const char* AskCommands(const char* name, const char* value, bool* answered) {
    *answered = true;
    if (Is(name, "RefreshMemUsageEstimates")) {
        SetMemoryKeyStates();
        return nullptr;
    }
    if (Is(name, "ListResourceUsage")) {
        ListResourceUsage();
        return nullptr;
    }
    if (Is(name, "SwitchProgramBasePath") || Is(name, "SwitchUserDataPath")) return nullptr;
    if (Is(name, "GetOverlayZoom")) return OverlayZoomText();
    if (Is(name, "SetOverlayZoom")) {
        SetOverlayZoom(value);
        return nullptr;
    }
    *answered = false;
    return nullptr;
}

}  // namespace

const char* ZK_CallExtension(const char* name, const char* value) {
    if (!name) return nullptr;
    if (Is(name, "Cache") && Is(value, "ReloadResources")) {
        ReloadChangedBitmaps();
        ReloadChangedFonts();
    }
    bool answered = false;
    const char* answer = AskMappings(name, value, &answered);
    if (answered) return answer;
    answer = AskEngine(name, value, &answered);
    if (answered) return answer;
    answer = AskCommands(name, value, &answered);
    if (answered) return answer;
    return AskRendererAndInputs(name, value);
}
