// stand-in until: engine/services zk_services ZKI_FillLeaderboardsInterface
// The extension modules and the service mappings of the extension call, as
// a program without modules and without in-app purchase, Game Center or
// notification implementations answers them: nothing is registered and
// every mapping answers null. They give way to the services subsystem.

#include "engine/core/backends.h"

void ZK_InitializeExtensionModules() {}
const char* ZKID_IAPExtensionMapping(const char* /*name*/, const char* /*value*/) { return nullptr; }
const char* ZKID_GameCenterExtensionMapping(const char* /*name*/, const char* /*value*/) { return nullptr; }
const char* ZK_CallExtensionModuleExtension(const char* /*name*/, const char* /*value*/) { return nullptr; }
int ZKID_TestExtension(const char* /*name*/, const char* /*value*/) { return 0; }
