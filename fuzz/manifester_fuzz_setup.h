// zk-manifester's runtime for the fuzz targets: its table filled once, its
// printers and warning box silent.
#pragma once

#include "tools/manifester/runtime.h"

inline int ZKFuzzSilent(const char*, ...) { return 0; }
inline int ZKFuzzSilentWithLevel(int, const char*, ...) { return 0; }

// True the first time, when the caller may replace further entries.
inline bool ZKFuzzSetUpManifester() {
    static bool ready = false;
    if (ready) return false;
    ready = true;
    manifester::ZKI_SetBasicInterface();
    manifester::zk->Printf = ZKFuzzSilent;
    manifester::zk->PrintDebugf = ZKFuzzSilentWithLevel;
    manifester::zk->Popupf = ZKFuzzSilentWithLevel;
    return true;
}
