// Neutral stand-ins for core functions of the table that later core work
// builds (re-initialisation): they
// answer false or null and do nothing else. Each is removed from this file
// when its real definition lands.

#include "engine/core/interface_functions.h"
#include "engine/core/state.h"

bool ZK_ReinitializeWithParameters(zk_parms_t /*parms*/) { return false; }
