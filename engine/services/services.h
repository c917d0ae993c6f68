// The fillers of the seven service sub-tables, which start-up calls as it
// fills the interface table.
#pragma once

#include "engine/runtime/zekar.h"

// Each fills its whole sub-table with the service fronts.
void ZKI_FillAchievementsInterface(zk_achievements_api_t* api);
void ZKI_FillCloudInterface(zk_cloud_api_t* api);
void ZKI_FillLeaderboardsInterface(zk_leaderboards_api_t* api);
void ZKI_FillNotificationsInterface(zk_notifications_api_t* api);
void ZKI_FillSocialInterface(zk_social_api_t* api);
void ZKI_FillStatisticInterface(zk_statistic_api_t* api);
void ZKI_FillUGCInterface(zk_ugc_api_t* api);
