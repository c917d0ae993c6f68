// Neutral stand-ins for core functions of the table that later core work
// builds (re-initialisation, product values, the extension call): they
// answer false or null and do nothing else. Each is removed from this file
// when its real definition lands.

#include "engine/core/interface_functions.h"
#include "engine/core/state.h"

const char* ZK_GetProductValue(const char* /*name*/) { return nullptr; }
bool ZK_ReinitializeWithParameters(zk_parms_t /*parms*/) { return false; }
const char* ZK_CallExtension(const char* /*name*/, const char* /*value*/) { return nullptr; }
