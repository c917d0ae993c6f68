// The services' test engine: storage's, with the service sub-tables and the
// extension table.

#include "engine/drawing/drawing_interface.h"
#include "engine/runtime/state_setup.h"
#include "engine/runtime/state.h"
#include "engine/runtime/tests/test_engine.h"
#include "engine/services/extension_modules.h"
#include "engine/services/services.h"
#include "engine/storage/filesystem.h"
#include "engine/storage/filesystem_api.h"
#include "platform/macos/device/platform.h"

void SetUpTestEngine() {
    // The modules' implementations hold mutexes of the old state.
    ZKFileSystem::Deinitialize();
    ZK_ShutdownExtensionModules();
    ZKI_SetUpState(nullptr);
    ZKD_RegisterDevice();
    ZKD_FillDeviceInterface(zk);
    ZKI_FillStorageInterface(zk);
    ZKI_FillAchievementsInterface(zk->achievements);
    ZKI_FillCloudInterface(zk->cloud);
    ZKI_FillLeaderboardsInterface(zk->leaderboards);
    ZKI_FillNotificationsInterface(zk->notifications);
    ZKI_FillSocialInterface(zk->social);
    ZKI_FillStatisticInterface(zk->statistic);
    ZKI_FillUGCInterface(zk->ugc);
    ZKM_FillExtensionInterface(zk->ext);
}
