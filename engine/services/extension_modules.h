// The registry of extension modules and the implementation chosen for each
// service type.
//
// Start-up (ZK_InitializeExtensionModules, once per start) creates and
// registers the two built-in modules, initialises every registered module,
// then resolves one implementation per type and initialises the chosen
// ones. The frame updates the modules and the chosen implementations; the
// engine's shutdown calls ZK_ShutdownExtensionModules, which destroys the
// modules and forgets every chosen implementation.
//
// A host that brings a module of its own registers it before start-up; it
// is asked after the built-in ones (the module registered last is asked
// first), and it belongs to the registry from then on.
#pragma once

#include "engine/base/narray.h"
#include "engine/runtime/zekar.h"
#include "engine/platform_services/service_implementations.h"

// The registered modules, newest first.
extern nArray<ExtensionModule*> zk_extension_implementations;
// The implementations chosen by the last resolution, in resolution order.
extern nArray<BaseImplementation*> zk_all_implementations;

// The chosen implementation of each type; null when none was chosen.
extern CloudImplementation* zk_cloud_implementation;
extern LeaderboardsImplementation* zk_leaderboards_implementation;
extern AchievementImplementation* zk_achievement_implementation;
extern StatisticImplementation* zk_statistic_implementation;
extern InAppPurchaseImplementation* zk_in_app_purchase_implementation;
extern SocialImplementation* zk_social_implementation;
extern UGCImplementation* zk_ugc_implementation;
extern NotificationImplementation* zk_notification_implementation;

// Logs "Registering extension module '%s'." and puts the module first.
void ZK_RegisterExtensionModule(ExtensionModule* module);
// Loading modules from libraries is not supported: does nothing.
void ZK_RegisterExtensionModuleFromDynamicLinkLibrary(const char* path);

void ZK_InitializeExtensionModules();
void ZK_ResolveExtensionModuleImplementations();
void ZK_InitializeExtensionModuleImplementations();
// Every module's Update(dt) in list order, then every chosen
// implementation's Update().
void ZK_UpdateExtensionModules(float dt);
// True when a module asks for the frame time to stand still.
bool ZK_ShouldPauseFrameTimeBecauseOfExtension();
// Forgets the chosen implementations, shuts every module down and
// destroys it, and empties the module list.
void ZK_ShutdownExtensionModules();

// Each searches the modules afresh as the resolution does for its type
// (same product-feature condition, same log line) and stores nothing.
CloudImplementation* ZK_GetCloudImplementation();
LeaderboardsImplementation* ZK_GetLeaderboardsImplementation();
AchievementImplementation* ZK_GetAchievementImplementation();
StatisticImplementation* ZK_GetStatisticImplementation();
InAppPurchaseImplementation* ZK_GetInAppPurchaseImplementation();
SocialImplementation* ZK_GetSocialImplementation();
UGCImplementation* ZK_GetUGCImplementation();
NotificationImplementation* ZK_GetNotificationImplementation();

// The extension sub-table (behind slot 44) with the media layer's
// ZK_DrawQuad stored in its slot.
zk_extension_api_t* ZKIE_GetExtensionInterface();
