// Resolution order, the program's list of supported resolutions, the
// selection of the run's size, the platform's screen-size report and the
// request for a re-initialisation (graphics slot 25,
// ZK_ReinitializeWithParameters).

#include "engine/screen/resolution_selection.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/render/renderer_implementation.h"
#include "engine/runtime/basic_functions.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/log.h"
#include "engine/runtime/screen.h"

namespace {

// How many entries each reader of the list takes.
const int kEntriesByAspect = 64;
const int kEntriesOtherwise = 32;
// An entry this long ends the list.
const size_t kLongestEntry = 511;
// Aspect ratios closer than this never replace each other.
const double kSameAspect = 0.03;
const double kNoAspect = 10000.0;

struct ResolutionEntry {
    bool device;     // '*': the device's own screen size
    int width, height;
};

// Decimal digits, at most 9 of them (larger sides are no screen sizes);
// 0 for anything else, which leaves the entry without an area.
int ReadSide(const char* text, size_t length, size_t* used) {
    const size_t kMostDigits = 9;
    *used = 0;
    size_t n = 0;
    int value = 0;
    while (n < length && text[n] >= '0' && text[n] <= '9') {
        if (n == kMostDigits) return 0;
        value = value * 10 + (text[n] - '0');
        ++n;
    }
    *used = n;
    return value;
}

ResolutionEntry ReadEntry(const char* text, size_t length) {
    ResolutionEntry entry = {false, 0, 0};
    while (length > 0 && *text == ' ') {
        ++text;
        --length;
    }
    if (length > 0 && text[0] == '*') {
        entry.device = true;
        return entry;
    }
    size_t used = 0;
    int width = ReadSide(text, length, &used);
    if (used == 0 || used >= length || text[used] != 'x') return entry;
    size_t digits = 0;
    int height = ReadSide(text + used + 1, length - used - 1, &digits);
    if (digits == 0) return entry;
    entry.width = width;
    entry.height = height;
    return entry;
}

// Up to `limit` entries of the list, in order; an entry of 512 characters
// or more ends it. Returns how many were read.
int ReadList(const char* list, int limit, ResolutionEntry* out) {
    int count = 0;
    const char* at = list;
    while (at && *at && count < limit) {
        const char* comma = strchr(at, ',');
        size_t length = comma ? static_cast<size_t>(comma - at) : strlen(at);
        if (length > kLongestEntry) break;
        out[count++] = ReadEntry(at, length);
        at = comma ? comma + 1 : nullptr;
    }
    return count;
}

int64_t Area(int width, int height) { return static_cast<int64_t>(width) * static_cast<int64_t>(height); }

bool DesktopKnown() { return zk_device_info.desktop_width >= 1 && zk_device_info.desktop_height >= 1; }

bool Accepted(int width, int height, bool windowed) {
    return ZKI_IsResolutionSupportedByDevice(width, height, windowed);
}

void Store(int width, int height) {
    zk_state.parms.width = width;
    zk_state.parms.height = height;
}

// The size class after the '/' of a resolution override.
int OverrideSizeClass(const char* override_text) {
    const char* slash = strchr(override_text, '/');
    if (!slash) return 3;
    static const char* const kClasses[] = {"SMALL", "MEDIUM", "LARGE"};
    for (int i = 0; i < 3; ++i) {
        if (strcmp(slash + 1, kClasses[i]) == 0) return i;
    }
    return 3;
}

// The device's screen size for a '*' entry; a device that has reported no
// size yet stands in with a typical one.
zk_resolution_t DeviceSizeOrTypical() {
    zk_resolution_t size = {zk_device_info.screen_width, zk_device_info.screen_height};
    if (size.width != 0 && size.height != 0) return size;
    const char* override_text = static_cast<const char*>(zk_state.resolution_override);
    if (override_text) {
        size = ZKI_GetTypicalResolution(ZKI_GetPlatformIdFromString(override_text), OverrideSizeClass(override_text));
    } else {
        const zk_parms_t& own = ZKI_GetProgramParameters();
        size = {own.ref_width, own.ref_height};
    }
    ZK_Printf("Device screen size not set. Using typical fallback resolution %dx%d.", size.width, size.height);
    return size;
}

double Distance(double a, double b) { return a > b ? a - b : b - a; }

// Step 4: the entry whose aspect ratio is closest to the desktop's.
bool SelectByAspect(bool windowed) {
    ResolutionEntry entries[kEntriesByAspect];
    int count = ReadList(zk_state.supported_resolutions, kEntriesByAspect, entries);
    int desktop_width = zk_device_info.desktop_width, desktop_height = zk_device_info.desktop_height;
    double desktop_aspect = static_cast<double>(desktop_width) / desktop_height;
    bool found = false;
    zk_resolution_t best = {0, 0};
    double best_aspect = kNoAspect;
    for (int i = 0; i < count; ++i) {
        zk_resolution_t size = {entries[i].width, entries[i].height};
        if (entries[i].device) size = {zk_device_info.screen_width, zk_device_info.screen_height};
        if (size.height > desktop_height || size.width > desktop_width || Area(size.width, size.height) < 1)
            continue;
        double aspect = static_cast<double>(size.width) / size.height;
        if (found && (Distance(aspect, desktop_aspect) >= Distance(best_aspect, desktop_aspect) ||
                      Distance(aspect, best_aspect) <= kSameAspect))
            continue;
        if (!Accepted(size.width, size.height, windowed)) continue;
        found = true;
        best = size;
        best_aspect = aspect;
    }
    if (!found) return false;
    ZK_Printf("Closest supported aspect ratio is %dx%d (aspect %.2f vs desktop %.2f)", best.width, best.height,
              best_aspect, desktop_aspect);
    Store(best.width, best.height);
    return true;
}

// Steps 5 and 6: the first usable entry, else the desktop or the smallest.
bool SelectAny(bool windowed, bool forcing) {
    ZK_Printf("Trying to find any resolution.");
    ResolutionEntry entries[kEntriesOtherwise];
    int count = ReadList(zk_state.supported_resolutions, kEntriesOtherwise, entries);
    bool take_any = zk_state.resolution_override != nullptr || forcing;
    bool have_smallest = false;
    zk_resolution_t smallest = {0, 0};
    for (int i = 0; i < count; ++i) {
        zk_resolution_t size = {entries[i].width, entries[i].height};
        if (entries[i].device) size = DeviceSizeOrTypical();
        int64_t area = Area(size.width, size.height);
        // An entry without an area is never a size to run at.
        if (area < 1) continue;
        if (!have_smallest || area < Area(smallest.width, smallest.height)) smallest = size;
        have_smallest = true;
        if (take_any || Accepted(size.width, size.height, windowed)) {
            ZK_Printf("Selected resolution %dx%d.", size.width, size.height);
            Store(size.width, size.height);
            return true;
        }
    }
    if (!windowed && DesktopKnown()) {
        ZK_Printf("Selecting desktop resolution for fullscreen.");
        Store(zk_device_info.desktop_width, zk_device_info.desktop_height);
        return true;
    }
    ZK_Printf("Trying to select the smallest possible resolution.");
    if (windowed && DesktopKnown() && have_smallest) {
        Store(smallest.width, smallest.height);
        return true;
    }
    ZK_PrintDebugf(ZK_MESSAGE_WARNING, "No resolution found in ZKI_SelectOptimalResolution!");
    return false;
}

// A failed request: the running size and mode stay.
bool RefuseReinitialization() {
    zk_state.parms.width = zk_parms.width;
    zk_state.parms.height = zk_parms.height;
    zk_state.parms.windowed = zk_parms.windowed;
    zk_state.reinit_requested = 0;
    return false;
}

bool RequestReinitialization() {
    zk_state.reinit_requested = 1;
    return true;
}

bool SizeSet(const zk_parms_t& parms) { return parms.width != 0 && parms.height != 0; }

}  // namespace

// --- What the device takes ---------------------------------------------------------------------

bool ZKI_IsResolutionSupportedByDevice(int width, int height, bool windowed) {
    if (width == 0 || height == 0) return false;
    if (zk_state.resolution_override) return true;
    if (zk_state.validated_resolution_set && width == zk_state.validated_resolution_width &&
        height == zk_state.validated_resolution_height)
        return true;
    const zk_device_info_t& device = zk_device_info;
    if (!windowed && width == device.desktop_width && height == device.desktop_height) return true;
    if (windowed && device.desktop_width > 0 && device.desktop_height >= 1)
        return width <= device.desktop_width - 50 && height <= device.desktop_height - 70;
    if (!ri || !ri->IsResolutionSupported(width, height)) return false;
    ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Requested resolution %dx%d (windowed=%d) is supported.", width, height,
                   windowed ? 1 : 0);
    return true;
}

// --- The program's list ------------------------------------------------------------------------

bool ZKI_DoesProgramSupportResolution(int width, int height) {
    if (!zk_state.supported_resolutions) return false;
    ResolutionEntry entries[kEntriesOtherwise];
    int count = ReadList(zk_state.supported_resolutions, kEntriesOtherwise, entries);
    for (int i = 0; i < count; ++i) {
        const ResolutionEntry& e = entries[i];
        if (e.device) return true;
        if ((e.width == width && e.height == height) || (e.width == height && e.height == width)) return true;
    }
    return false;
}

zk_resolution_t ZKI_GetTypicalResolution(int platform_id, int size_class) {
    struct Typical {
        int platform_id;
        zk_resolution_t size, small_size;
    };
    static const Typical kTypical[] = {
        {1, {1280, 720}, {1280, 720}},   {2, {1280, 720}, {1280, 720}},    {12, {1280, 720}, {1280, 720}},
        {13, {1280, 720}, {1280, 720}},  {16, {1280, 720}, {1280, 720}},   {20, {1280, 720}, {1280, 720}},
        {3, {1024, 768}, {960, 640}},    {5, {854, 480}, {854, 480}},      {7, {1024, 768}, {480, 320}},
        {8, {1024, 600}, {1024, 600}},   {9, {1920, 1080}, {1920, 1080}},  {11, {1920, 1080}, {1920, 1080}},
        {17, {1920, 1080}, {1920, 1080}}, {18, {1920, 1080}, {1920, 1080}}, {19, {1920, 1080}, {1920, 1080}},
        {10, {960, 544}, {960, 544}},    {14, {800, 480}, {800, 480}},     {15, {550, 400}, {550, 400}},
    };
    for (const Typical& t : kTypical) {
        if (t.platform_id == platform_id) return size_class == 0 ? t.small_size : t.size;
    }
    return zk_resolution_t{800, 600};
}

// --- Selection -----------------------------------------------------------------------------------

bool ZKI_SelectOptimalResolution(bool windowed, bool forcing) {
    if (!zk_state.supported_resolutions) return false;
    ZK_Printf("Selecting optimal resolution for %s%s.", windowed ? "windowed" : "fullscreen",
              forcing ? " (forcing)" : "");
    ZK_Printf("Desktop size %dx%d.", zk_device_info.desktop_width, zk_device_info.desktop_height);
    zk_state.parms.windowed = windowed ? 1 : 0;
    if (zk_state.validated_resolution_set) {
        ZK_Printf("Selected %dx%d. (forced)", zk_state.validated_resolution_width,
                  zk_state.validated_resolution_height);
        Store(zk_state.validated_resolution_width, zk_state.validated_resolution_height);
        return true;
    }
    if (DesktopKnown() && !zk_state.resolution_override && !forcing && SelectByAspect(windowed)) return true;
    return SelectAny(windowed, forcing);
}

// --- Re-initialisation requests -----------------------------------------------------------------

bool ZK_ReinitializeWithParameters(zk_parms_t parms) {
    if (!ZKI_GetProgramRecord() || !ri) return false;
    if (zk_state.validated_resolution_set) {
        if (!zk_state.allow_all_resolutions) {
            parms.width = zk_state.validated_resolution_width;
            parms.height = zk_state.validated_resolution_height;
            ZK_PrintDebugf(ZK_MESSAGE_WARNING,
                           "ReinitializeWithParameters - Forcing resolution to %dx%d based on developer.xml.",
                           parms.width, parms.height);
        }
        parms.windowed = 1;
        ZK_PrintDebugf(ZK_MESSAGE_WARNING,
                       "ReinitializeWithParameters - Forcing screen mode to windowed because force_resolution is set "
                       "in developer.xml.");
    }
    zk_parms_t& wanted = zk_state.parms;
    wanted = parms;
    ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Attempting to reinitialize with parameters: %dx%d windowed=%d", wanted.width,
                   wanted.height, wanted.windowed);
    if (wanted.windowed && zk_state.allow_all_resolutions) {
        ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Allowing all resolutions.");
        return RequestReinitialization();
    }
    if (!SizeSet(wanted)) ZKI_SelectOptimalResolution(wanted.windowed != 0, false);
    bool keep_size = ZKI_ProductFeatureExists("FREE_RESOLUTION") && SizeSet(wanted) &&
                     Accepted(wanted.width, wanted.height, wanted.windowed != 0);
    if (!keep_size && !ZKI_SelectOptimalResolution(wanted.windowed != 0, false)) return RefuseReinitialization();

    ZK_Printf("Selected resolution %dx%d", wanted.width, wanted.height);
    if (SizeSet(wanted) && Accepted(wanted.width, wanted.height, wanted.windowed != 0)) {
        ZK_Printf("Resolution %dx%d is supported by device.", wanted.width, wanted.height);
        return RequestReinitialization();
    }
    ZK_Printf("Resolution %dx%d not available.", wanted.width, wanted.height);
    wanted.windowed = 1;
    ZKI_SelectOptimalResolution(true, false);
    if (SizeSet(wanted) && Accepted(wanted.width, wanted.height, true)) return RequestReinitialization();

    ZK_PrintDebugf(ZK_MESSAGE_WARNING, "Requested resolution %dx%d (windowed=%d) not available.", parms.width,
                   parms.height, parms.windowed);
    return RefuseReinitialization();
}

// --- The platform's screen-size report -------------------------------------------------------------

void ZKI_SetDeviceScreenSize(int width, int height, bool windowed, bool force) {
    if (!force && zk_device_info.screen_width == width && zk_device_info.screen_height == height) return;
    zk_device_info.screen_width = width;
    zk_device_info.screen_height = height;
    zk_device_info.orientation = width < height ? 1 : 4;
    bool device_landscape = height <= width;
    bool program_landscape = ZKI_GetProgramOrientation() == 4;
    if (device_landscape != program_landscape) {
        int swap = width;
        width = height;
        height = swap;
    }
    zk_parms_t parms = ZKI_GetProgramParameters();
    parms.width = width;
    parms.height = height;
    parms.windowed = windowed ? 1 : 0;
    zk->ZK_ReinitializeWithParameters(parms);
}

void ZKI_SetDeviceScreenSize(int width, int height) {
    ZKI_SetDeviceScreenSize(width, height, ZKI_GetProgramParameters().windowed != 0, false);
}
