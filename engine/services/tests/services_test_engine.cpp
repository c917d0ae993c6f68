// The services' test engine: storage's, with the service sub-tables and the
// extension table.

#include "engine/drawing/drawing_interface.h"
#include "engine/runtime/tests/test_engine.h"
#include "engine/services/extension_modules.h"
#include "engine/services/services.h"
#include "engine/storage/filesystem.h"
#include "engine/storage/tests/storage_engine.h"

void SetUpTestEngine() {
    // The modules' implementations hold mutexes of the old state.
    ZKFileSystem::Deinitialize();
    ZK_ShutdownExtensionModules();
    SetUpStateWithStorage();
    ZKI_FillAchievementsInterface(zk->achievements);
    ZKI_FillCloudInterface(zk->cloud);
    ZKI_FillLeaderboardsInterface(zk->leaderboards);
    ZKI_FillNotificationsInterface(zk->notifications);
    ZKI_FillSocialInterface(zk->social);
    ZKI_FillStatisticInterface(zk->statistic);
    ZKI_FillUGCInterface(zk->ugc);
    ZKM_FillExtensionInterface(zk->ext);
}
