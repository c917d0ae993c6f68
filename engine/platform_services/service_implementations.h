// The typed service interfaces: each answers its own interface type and
// adds its operations after those of BaseImplementation, in the order
// below (binding, like the base's). Operations with a body have the
// default every implementation shares unless it says otherwise.
#pragma once

#include "engine/runtime/zekar.h"
#include "engine/platform_services/extension_module.h"

class CloudImplementation : public BaseImplementation {
public:
    InterfaceType GetInterfaceType() override { return Cloud; }
    virtual void SetKeyValue(const char* key, const void* data, int size) = 0;
    // A new buffer (ZK_AllocBuffer) holding a copy of the value, or null;
    // the caller frees it with ZK_FreeBuffer.
    virtual zk_buffer_t* GetKeyValue(const char* key) = 0;
    virtual void DeleteKeyValue(const char* key) = 0;
};

// Login states of GetLoginState: 0 not logged in (the login front then
// calls Login), 2 logged in.
enum { ZK_LOGIN_STATE_LOGGED_OUT = 0, ZK_LOGIN_STATE_LOGGED_IN = 2 };

class LeaderboardsImplementation : public BaseImplementation {
public:
    InterfaceType GetInterfaceType() override { return Leaderboards; }
    virtual void SubmitScore(int user, zk_score_t score, const char* category) = 0;
    // True when one type-19 event will answer; `first` counts from 1.
    virtual bool RequestScores(int first, int count, zk_leaderboard_filter_t filter, const char* category) = 0;
    virtual bool RequestScoresAroundUserRank(int user, int count, const char* category) = 0;
    virtual const char* GetUserId(int user) = 0;
    virtual bool IsNativeUserProfileViewSupported() { return false; }
    virtual void ShowNativeUserProfileView(const char* /*user_id*/) {}
    virtual void Login(int /*user*/) {}
    virtual int GetLoginState(int user) = 0;
    virtual bool IsNativeLeaderboardsViewSupported() { return false; }
    virtual void ShowNativeLeaderboardsView(int /*user*/, const char* /*category*/) {}
    virtual int GetMaximumNumberOfScoresPerRequest() { return 30; }
};

class AchievementImplementation : public BaseImplementation {
public:
    InterfaceType GetInterfaceType() override { return Achievement; }
    virtual void UnlockAchievement(int user, const char* id) = 0;
    virtual void SetAchievementProgress(int /*user*/, const char* /*id*/, int /*progress*/) {}
    virtual bool IsNativeAchievementViewSupported() = 0;
    virtual void ShowNativeAchievementView(int user) = 0;
    virtual void SetStatisticsInt(const char* /*name*/, int /*value*/) {}
    virtual int GetStatisticsInt(const char* /*name*/) { return 0; }
    virtual bool IsAchievementUnlocked(int user, const char* id) = 0;
    virtual void SetAchievementProgress(int user, const char* id, float progress) = 0;
};

class InAppPurchaseImplementation : public BaseImplementation {
public:
    InterfaceType GetInterfaceType() override { return IAP; }
    virtual void RequestItemData(const char* product) = 0;
    virtual void PurchaseItem(const char* product) = 0;
    virtual void RestorePurchases() = 0;
    virtual bool ShowPurchaseProgress() = 0;
};

class SocialImplementation : public BaseImplementation {
public:
    InterfaceType GetInterfaceType() override { return Social; }
    virtual void Login() = 0;
    virtual void Logout() = 0;
    virtual int GetLoginStatus() = 0;
    virtual void PostLocalUserScore(unsigned int score) = 0;
    virtual void RequestListOfUsers() = 0;
    virtual zk_bitmap_t* GetUserImage(const char* user_id, int size) = 0;
};

// No implementation of the three below exists in the engine; their
// operations are those the fronts forward to.
class UGCImplementation : public BaseImplementation {
public:
    InterfaceType GetInterfaceType() override { return UGC; }
    virtual void RequestListOfItems() = 0;
    virtual bool IsListOfItemsReady() = 0;
    virtual int GetNumberOfItems() = 0;
    virtual zk_ugc_item_info_t* GetItemInfoByIndex(int index) = 0;
    virtual void SubscribeItem(const char* id) = 0;
    virtual void UnsubscribeItem(const char* id) = 0;
    virtual int CreateItem(zk_ugc_item_info_t* info) = 0;
    virtual void OpenUGCBrowser() = 0;
};

class NotificationImplementation : public BaseImplementation {
public:
    InterfaceType GetInterfaceType() override { return Notification; }
    virtual void RegisterForNotifications() = 0;
    virtual void RemoveAllNotifications() = 0;
    virtual void SetNotification(const char* a, const char* b, const char* c, unsigned int seconds) = 0;
};

class StatisticImplementation : public BaseImplementation {
public:
    InterfaceType GetInterfaceType() override { return Statistic; }
    virtual void LogEvent(int user, zk_statistic_api_t::Category category, const nString& name,
                          zk_statistic_api_t::Stats& stats) = 0;
};
