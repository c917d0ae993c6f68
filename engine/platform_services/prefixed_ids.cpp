// Ids under a product prefix.

#include "engine/platform_services/prefixed_ids.h"

#include <cstring>

static bool HasBase(const char* base) { return base && *base; }

nString ZKI_JoinIdToBase(const char* base, const char* id) {
    if (!id) id = "";
    if (!HasBase(base)) return nString(id);
    return nString::Format("%s.%s", base, id);
}

const char* ZKI_SkipIdBase(const char* base, const char* id) {
    if (!id || !HasBase(base)) return id;
    size_t length = strlen(base);
    if (strncmp(id, base, length) == 0 && id[length] == '.') return id + length + 1;
    return id;
}
