// Game Center ids and the placeholder module that would bring Game Center.

#include "engine/platform_services/game_center.h"

#include "engine/runtime/state.h"
#include "engine/platform_services/autorelease_pool.h"
#include "engine/platform_services/prefixed_ids.h"

const char* ZKI_GetGameCenterBaseId() {
    const char* value = zk->ZK_GetProductValue("game_center_id");
    if (value) return value;
    return zk_prog ? zk_prog->id : nullptr;
}

nString ZKI_GetFullGameCenterId(const char* id) { return ZKI_JoinIdToBase(ZKI_GetGameCenterBaseId(), id); }

const char* ZK_IOS_GameCenterRemoveAppIdPrefix(const char* id) {
    return ZKI_SkipIdBase(ZKI_GetGameCenterBaseId(), id);
}

void ThreadGameCenterAuthenticate(void* /*unused*/) {
    zk_mutex_t* mutex = zk->ZK_GetMutex("IOS_GameCenter");
    zk->ZK_LockMutex(mutex);
    zk->ZK_UnlockMutex(mutex);
}

// --- The placeholders: each call forms the id Game Center would be given ---------

void LeaderboardsImplementationMac::SubmitScore(int, zk_score_t, const char* category) {
    last_id = ZKI_GetFullGameCenterId(category);
}

void LeaderboardsImplementationMac::ShowNativeLeaderboardsView(int, const char* category) {
    last_id = ZKI_GetFullGameCenterId(category);
}

void AchievementImplementationMac::UnlockAchievement(int, const char* id) { last_id = ZKI_GetFullGameCenterId(id); }

void AchievementImplementationMac::SetAchievementProgress(int, const char* id, float) {
    last_id = ZKI_GetFullGameCenterId(id);
}

// --- The module -------------------------------------------------------------------

// The module owns what it made; the registry destroys the module after its
// Shutdown, which leaves them in place.
ExtensionModuleMac::~ExtensionModuleMac() {
    delete achievements;
    delete leaderboards;
}

bool ExtensionModuleMac::Initialize(zekar_t* table) {
    if (!table || !table->ZK_ProductFeatureExists("GAME_CENTER")) return true;
    // A second initialisation keeps what the first made.
    if (achievements) return true;
    ZK_IOS_RunThreadWithAutoreleasePool(ThreadGameCenterAuthenticate, nullptr);
    leaderboards = new LeaderboardsImplementationMac();
    achievements = new AchievementImplementationMac();
    return true;
}

BaseImplementation* ExtensionModuleMac::GetImplementationInterface(BaseImplementation::InterfaceType type) {
    if (type == BaseImplementation::Leaderboards) return leaderboards;
    if (type == BaseImplementation::Achievement) return achievements;
    return nullptr;
}

ExtensionModule* ZKI_CreateMacModule() { return new ExtensionModuleMac(); }
