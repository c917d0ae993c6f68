// Resource packages.

#include "engine/storage/packages.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/runtime/basic_functions.h"
#include "engine/runtime/log.h"
#include "engine/runtime/state.h"

namespace {

const int kMaxItems = 32;
const size_t kMaxItemLength = 511;       // an item of 512 or more ends the list
const size_t kMaxConditionLength = 63;   // longer conditions never hold
const char kResRoot[] = "res://";

// One item of a comma-separated list, copied.
struct ListItem {
    char text[kMaxItemLength + 1];
};

// Walks the items of a list: at most 32, a trailing ',' adds no item, an
// item of 512 or more characters ends the walk.
class ListWalker {
public:
    explicit ListWalker(const char* list) : next_(list && *list ? list : nullptr) {}

    bool Next(ListItem& item) {
        if (!next_ || taken_ >= kMaxItems) return false;
        const char* comma = strchr(next_, ',');
        size_t length = comma ? static_cast<size_t>(comma - next_) : strlen(next_);
        if (length > kMaxItemLength) return false;
        memcpy(item.text, next_, length);
        item.text[length] = '\0';
        next_ = comma && comma[1] != '\0' ? comma + 1 : nullptr;
        ++taken_;
        return true;
    }

private:
    const char* next_;
    int taken_ = 0;
};

nString ResPath(const char* package) {
    nString path(kResRoot);
    path.Append(package);
    return path;
}

zk_file_system_api_t* Files() { return zk->file_system; }

const zk_parms_t* ProgramParameters() { return zk_state.prog ? &zk_state.prog->parms : &zk_state.parms; }

bool StartsWith(const char* text, const char* prefix) { return strncmp(text, prefix, strlen(prefix)) == 0; }

// "W", "WxH" or "WxHx...": W up to the first 'x', H up to a second 'x' or
// the end. A part is null when absent.
struct SizeParts {
    char width[kMaxConditionLength + 1];
    char height[kMaxConditionLength + 1];
    bool has_height;
};

SizeParts SplitSize(const char* text) {
    SizeParts parts = {};
    const char* x = strchr(text, 'x');
    size_t w = x ? static_cast<size_t>(x - text) : strlen(text);
    memcpy(parts.width, text, w);
    if (x) {
        const char* h = x + 1;
        const char* second = strchr(h, 'x');
        size_t n = second ? static_cast<size_t>(second - h) : strlen(h);
        memcpy(parts.height, h, n);
        parts.has_height = true;
    }
    return parts;
}

bool ResolutionConditionHolds(const char* rest) {
    if (*rest == '=') ++rest;
    SizeParts size = SplitSize(rest);
    int w = atoi(size.width);
    int h = size.has_height ? atoi(size.height) : 0;
    const zk_parms_t* p = ProgramParameters();
    return (w == p->width && h == p->height) || (w == p->height && h == p->width);
}

bool SizePartMatches(int value, zk_ComparisonMode mode, const char* part, bool present) {
    if (present && strcmp(part, "*") == 0) return true;
    return ZKI_Compare(value, mode, present ? atoi(part) : 0);
}

bool ResConditionHolds(const char* condition) {
    const char* rest = condition + 3;
    for (int i = 0; i < 2 && *rest == '='; ++i) ++rest;
    zk_ComparisonMode mode = ZK_COMPARE_EQUAL;
    if (*rest == '>' || *rest == '<') {
        mode = *rest == '>' ? ZK_COMPARE_GREATER_OR_EQUAL : ZK_COMPARE_LESS_OR_EQUAL;
        if (rest[1] == '=') {
            rest += 2;
        } else {
            ZK_Popupf(ZK_MESSAGE_WARNING, "prog.xml: res comparison needs to be ==, >=, or <=. '%s' is not supported.",
                      condition);
            rest += 1;
        }
    }
    SizeParts size = SplitSize(rest);
    const zk_parms_t* p = ProgramParameters();
    return SizePartMatches(p->width, mode, size.width, true) &&
           SizePartMatches(p->height, mode, size.height, size.has_height);
}

// Copies the package name out of an item; false when the item is skipped.
bool PackageOfItem(const char* item, const char** package) {
    if (item[0] != '@') {
        *package = item;
    } else {
        const char* colon = strchr(item, ':');
        if (!colon) return false;
        size_t length = static_cast<size_t>(colon - item - 1);
        if (length > kMaxConditionLength) return false;
        char condition[kMaxConditionLength + 1];
        memcpy(condition, item + 1, length);
        condition[length] = '\0';
        *package = colon + 1;
        if (strlen(*package) < 2) return false;
        return ZKI_PackageConditionHolds(condition);
    }
    return strlen(*package) >= 2;
}

// The screen height a graphics package stands for: the number after its
// last '_' or '-', or the whole name.
int PackageNumber(const char* name) {
    const char* underscore = strrchr(name, '_');
    const char* dash = strrchr(name, '-');
    const char* last = underscore > dash ? underscore : dash;
    return atoi(last ? last + 1 : name);
}

}  // namespace

bool ZKI_Compare(int a, zk_ComparisonMode mode, int b) {
    switch (mode) {
        case ZK_COMPARE_EQUAL: return a == b;
        case ZK_COMPARE_GREATER: return a > b;
        case ZK_COMPARE_GREATER_OR_EQUAL: return a >= b;
        case ZK_COMPARE_LESS: return a < b;
        case ZK_COMPARE_LESS_OR_EQUAL: return a <= b;
    }
    return false;
}

bool ZKI_PackageConditionHolds(const char* condition) {
    if (!condition) return false;
    if (StartsWith(condition, "resolution")) return ResolutionConditionHolds(condition + strlen("resolution"));
    if (StartsWith(condition, "res")) return ResConditionHolds(condition);
    if (StartsWith(condition, "feature=")) return ZKI_ProductFeatureExists(condition + strlen("feature="));
    return StartsWith(condition, "open");
}

void ZKI_AddPackage(const char* package, bool flag) {
    if (!package) return;
    nString name(package);
    if (strstr(package, ".pak")) {
        ZK_Popupf(ZK_MESSAGE_WARNING, "Adding search path with .pak extension! Remove it from '%s'", package);
        name.Replace(".pak", "");
    }
    Files()->ZK_FileSystem_AddSearchPath(ResPath(name.c_str()).c_str(), flag);
}

void ZKI_AddPackages(const char* list, bool flag) {
    ListWalker walker(list);
    ListItem item;
    while (walker.Next(item)) {
        const char* package = nullptr;
        if (PackageOfItem(item.text, &package)) ZKI_AddPackage(package, flag);
    }
}

void ZKI_RemoveResourcePackages(const nString& list) {
    for (int index = 0; index < kMaxItems; ++index) {
        nString token = list.GetToken(index, ",");
        if (token.IsEmpty()) return;
        const char* package = token.c_str();
        if (package[0] == '@') {
            const char* colon = strchr(package, ':');
            if (!colon) continue;
            package = colon + 1;
        }
        nString path = ResPath(package);
        if (Files()->ZK_FileSystem_SearchPathExists(path.c_str())) Files()->ZK_FileSystem_RemoveSearchPath(path.c_str());
    }
}

void ZKI_SelectGFXPackage() {
    const char* list = zk_state.package_paths[2].GetText();
    ListWalker unmount(list);
    ListItem item;
    while (unmount.Next(item)) {
        nString path = ResPath(item.text);
        if (Files()->ZK_FileSystem_SearchPathExists(path.c_str())) Files()->ZK_FileSystem_RemoveSearchPath(path.c_str());
    }
    const zk_parms_t* p = ProgramParameters();
    float target = static_cast<float>(p->height);
    float best = static_cast<float>(p->ref_height);
    nString chosen;
    ListWalker candidates(list);
    while (candidates.Next(item)) {
        int number = PackageNumber(item.text);
        if (number <= 0) continue;
        // Strictly closer only: the earlier candidate keeps a tie.
        if (std::fabs(target - best) > std::fabs(static_cast<float>(number) - target)) {
            best = static_cast<float>(number);
            chosen = item.text;
        }
    }
    if (chosen.IsEmpty()) return;
    ZK_Printf("Selecting most fitting gfx package '%s'", chosen.c_str());
    Files()->ZK_FileSystem_AddSearchPath(ResPath(chosen.c_str()).c_str(), true);
}

void ZKI_AddPackagesDefinedInProgramParameters() {
    ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Adding packages...");
    ZKI_AddPackages(zk_state.package_paths[0].GetText(), true);
    ZKI_AddPackages(zk_state.package_paths[1].GetText(), true);
    ZKI_AddPackages(zk_state.package_paths[3].GetText(), true);
    ZKI_AddPackages(zk_state.package_paths[4].GetText(), true);
    ZKI_AddPackages(zk_state.package_paths[5].GetText(), false);
    ZKI_SelectGFXPackage();
}
