// The fillers of the service sub-tables, every slot from interface.def.

#include "engine/services/services.h"

#include "engine/runtime/interface_functions.h"
#include "engine/services/extension_modules.h"

#define ZK_FILL_SLOT(ret, name, params, attributes) api->name = name;

void ZKI_FillAchievementsInterface(zk_achievements_api_t* api) {
#define ZK_ACHIEVEMENTS_SLOT ZK_FILL_SLOT
#include "engine/runtime/interface.def"
}

void ZKI_FillCloudInterface(zk_cloud_api_t* api) {
#define ZK_CLOUD_SLOT ZK_FILL_SLOT
#include "engine/runtime/interface.def"
}

void ZKI_FillLeaderboardsInterface(zk_leaderboards_api_t* api) {
#define ZK_LEADERBOARDS_SLOT ZK_FILL_SLOT
#include "engine/runtime/interface.def"
}

void ZKI_FillNotificationsInterface(zk_notifications_api_t* api) {
#define ZK_NOTIFICATIONS_SLOT ZK_FILL_SLOT
#include "engine/runtime/interface.def"
}

void ZKI_FillSocialInterface(zk_social_api_t* api) {
#define ZK_SOCIAL_SLOT ZK_FILL_SLOT
#include "engine/runtime/interface.def"
}

void ZKI_FillStatisticInterface(zk_statistic_api_t* api) {
#define ZK_STATISTIC_SLOT ZK_FILL_SLOT
#include "engine/runtime/interface.def"
}

void ZKI_FillUGCInterface(zk_ugc_api_t* api) {
#define ZK_UGC_SLOT ZK_FILL_SLOT
#include "engine/runtime/interface.def"
}

#undef ZK_FILL_SLOT
