// The Game Center side of the services: the ids a category or achievement
// has there, and the module that would bring Game Center's leaderboards and
// achievements.
//
// The module "iOS" and its implementations (both named "Mac") are
// placeholders: they accept every call and form the Game Center ids, but
// talk to no service. Start-up does not register the module; a host that
// wants it registers ZKI_CreateMacModule() with ZK_RegisterExtensionModule
// before the implementations are resolved. The module is made with the
// product feature "GAME_CENTER" in mind: without it, it supplies nothing.
#pragma once

#include "engine/base/nstring.h"
#include "engine/platform_services/service_implementations.h"

// The product value "game_center_id", else the program's id, else null.
const char* ZKI_GetGameCenterBaseId();
// "base.id" with a base, else a copy of the id ("" for null).
nString ZKI_GetFullGameCenterId(const char* id);
// The id after a leading "base."; the id itself otherwise (null for null).
const char* ZK_IOS_GameCenterRemoveAppIdPrefix(const char* id);
// The whole of the sign-in here: takes and releases the named mutex
// "IOS_GameCenter".
void ThreadGameCenterAuthenticate(void* unused);

class LeaderboardsImplementationMac : public LeaderboardsImplementation {
public:
    const char* GetName() override { return "Mac"; }
    void SubmitScore(int user, zk_score_t score, const char* category) override;
    // No scores come from here: false, so that no answer is awaited.
    bool RequestScores(int, int, zk_leaderboard_filter_t, const char*) override { return false; }
    bool RequestScoresAroundUserRank(int, int, const char*) override { return false; }
    const char* GetUserId(int) override { return nullptr; }
    int GetLoginState(int) override { return ZK_LOGIN_STATE_LOGGED_IN; }
    bool IsNativeLeaderboardsViewSupported() override { return true; }
    void ShowNativeLeaderboardsView(int user, const char* category) override;
    virtual bool RequestUserScore(int, const char*) { return false; }

    // The Game Center id the last call formed ("" before any).
    const nString& LastGameCenterId() const { return last_id; }

private:
    nString last_id;
};

class AchievementImplementationMac : public AchievementImplementation {
public:
    const char* GetName() override { return "Mac"; }
    void UnlockAchievement(int user, const char* id) override;
    bool IsNativeAchievementViewSupported() override { return true; }
    void ShowNativeAchievementView(int) override {}
    bool IsAchievementUnlocked(int, const char*) override { return false; }
    using AchievementImplementation::SetAchievementProgress;
    void SetAchievementProgress(int user, const char* id, float progress) override;

    const nString& LastGameCenterId() const { return last_id; }

private:
    nString last_id;
};

class ExtensionModuleMac : public ExtensionModule {
public:
    ~ExtensionModuleMac() override;
    const char* GetName() override { return "iOS"; }
    // With the product feature "GAME_CENTER": starts the sign-in on a pool
    // thread and makes one leaderboards and one achievement implementation.
    // True in every case.
    bool Initialize(zekar_t* table) override;
    BaseImplementation* GetImplementationInterface(BaseImplementation::InterfaceType type) override;

private:
    AchievementImplementationMac* achievements = nullptr;
    LeaderboardsImplementationMac* leaderboards = nullptr;
};

ExtensionModule* ZKI_CreateMacModule();
