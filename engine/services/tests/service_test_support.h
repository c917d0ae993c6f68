// Test support for the services layer: implementations of every service
// type that record what they are asked, a module that offers them, and a
// fixture with a set-up engine whose printers and popups are recorded.
//
//   TestModule* host = new TestModule("Host");
//   auto* leaderboards = host->Offer(new TestLeaderboards("HostBoards"));
//   leaderboards->login_state = 0;
//   ZK_RegisterExtensionModule(host);          // the registry owns it now
//   Start("LEADERBOARDS");                     // features, then start-up
//   ... Calls() lists "Login 0", Lines() lists "info: Login for player 0"
#pragma once

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "engine/runtime/tests/runtime_fixture.h"
#include "engine/services/builtin_modules.h"
#include "engine/services/extension_modules.h"
#include "engine/storage/database_manager.h"

namespace services_test {

// What modules and implementations were asked, in order.
inline std::vector<std::string>& Calls() {
    static std::vector<std::string> calls;
    return calls;
}
inline void Note(const std::string& call) { Calls().push_back(call); }
inline std::string Text(const char* text) { return text ? text : "(null)"; }

// Printed lines and popups: "info: ...", "system: ...", "popup warning: ...".
inline std::vector<std::string>& Lines() {
    static std::vector<std::string> lines;
    return lines;
}
inline bool WasLogged(const std::string& line) {
    for (const std::string& l : Lines())
        if (l == line) return true;
    return false;
}
inline int CountLogged(const std::string& line) {
    int n = 0;
    for (const std::string& l : Lines()) n += l == line;
    return n;
}

// Answer threads log too: one line at a time.
inline void RecordLine(const char* kind, const char* format, va_list args) {
    static std::mutex lock;
    char text[4096];
    vsnprintf(text, sizeof(text), format, args);
    std::lock_guard<std::mutex> hold(lock);
    Lines().push_back(std::string(kind) + ": " + text);
}
inline int RecordInfo(const char* format, ...) {
    va_list args;
    va_start(args, format);
    RecordLine("info", format, args);
    va_end(args);
    return 0;
}
inline const char* KindOf(zk_message_type_t type, bool popup) {
    static const char* const lines[] = {"info", "warning", "error", "system"};
    static const char* const popups[] = {"popup info", "popup warning", "popup error", "popup system"};
    return (popup ? popups : lines)[type & 3];
}
inline int RecordDebug(zk_message_type_t type, const char* format, ...) {
    va_list args;
    va_start(args, format);
    RecordLine(KindOf(type, false), format, args);
    va_end(args);
    return 0;
}
inline int RecordPopup(zk_message_type_t type, const char* format, ...) {
    va_list args;
    va_start(args, format);
    RecordLine(KindOf(type, true), format, args);
    va_end(args);
    return 4;
}

// --- Implementations that record ---------------------------------------------------------

template <class Interface>
class Recorded : public Interface {
public:
    explicit Recorded(const char* name) : name_(name) {}
    const char* GetName() override { return name_.c_str(); }
    bool Initialize() override {
        Note("Initialize " + name_);
        return true;
    }
    void Update() override { Note("Update " + name_); }
    bool IsAvailable() override { return available; }
    bool available = true;

protected:
    void Call(const std::string& what) { Note(what); }
    std::string name_;
};

inline std::string Number(double n) {
    char text[32];
    snprintf(text, sizeof(text), "%g", n);
    return text;
}

class TestCloud : public Recorded<CloudImplementation> {
public:
    using Recorded::Recorded;
    void SetKeyValue(const char* key, const void*, int size) override {
        Call("SetKeyValue " + Text(key) + " " + Number(size));
    }
    zk_buffer_t* GetKeyValue(const char* key) override {
        Call("GetKeyValue " + Text(key));
        return &buffer;
    }
    void DeleteKeyValue(const char* key) override { Call("DeleteKeyValue " + Text(key)); }
    zk_buffer_t buffer = {};
};

class TestLeaderboards : public Recorded<LeaderboardsImplementation> {
public:
    using Recorded::Recorded;
    void SubmitScore(int user, zk_score_t score, const char* category) override {
        Call("SubmitScore " + Number(user) + " " + Number(score.points) + " " + Text(category));
    }
    bool RequestScores(int first, int count, zk_leaderboard_filter_t filter, const char* category) override {
        Call("RequestScores " + Number(first) + " " + Number(count) + " " + Number(filter) + " " + Text(category));
        return request_answer;
    }
    bool RequestScoresAroundUserRank(int user, int count, const char* category) override {
        Call("RequestScoresAroundUserRank " + Number(user) + " " + Number(count) + " " + Text(category));
        return request_answer;
    }
    const char* GetUserId(int user) override {
        Call("GetUserId " + Number(user));
        return "player-id";
    }
    bool IsNativeUserProfileViewSupported() override { return true; }
    void ShowNativeUserProfileView(const char* id) override { Call("ShowNativeUserProfileView " + Text(id)); }
    void Login(int user) override { Call("Login " + Number(user)); }
    int GetLoginState(int) override { return login_state; }
    bool IsNativeLeaderboardsViewSupported() override { return true; }
    void ShowNativeLeaderboardsView(int user, const char* category) override {
        Call("ShowNativeLeaderboardsView " + Number(user) + " " + Text(category));
    }
    int GetMaximumNumberOfScoresPerRequest() override { return 25; }
    int login_state = ZK_LOGIN_STATE_LOGGED_IN;
    bool request_answer = true;
};

class TestAchievements : public Recorded<AchievementImplementation> {
public:
    using Recorded::Recorded;
    void UnlockAchievement(int user, const char* id) override {
        Call("UnlockAchievement " + Number(user) + " " + Text(id));
    }
    void SetAchievementProgress(int user, const char* id, int progress) override {
        Call("SetAchievementProgress " + Number(user) + " " + Text(id) + " " + Number(progress));
    }
    bool IsNativeAchievementViewSupported() override { return view_supported; }
    void ShowNativeAchievementView(int user) override { Call("ShowNativeAchievementView " + Number(user)); }
    void SetStatisticsInt(const char* name, int value) override {
        Call("SetStatisticsInt " + Text(name) + " " + Number(value));
    }
    int GetStatisticsInt(const char* name) override {
        Call("GetStatisticsInt " + Text(name));
        return 17;
    }
    bool IsAchievementUnlocked(int, const char*) override { return false; }
    void SetAchievementProgress(int user, const char* id, float progress) override {
        Call("SetAchievementProgress(float) " + Number(user) + " " + Text(id) + " " + Number(progress));
    }
    bool view_supported = true;
};

class TestPurchases : public Recorded<InAppPurchaseImplementation> {
public:
    using Recorded::Recorded;
    void RequestItemData(const char* product) override { Call("RequestItemData " + Text(product)); }
    void PurchaseItem(const char* product) override { Call("PurchaseItem " + Text(product)); }
    void RestorePurchases() override { Call("RestorePurchases"); }
    bool ShowPurchaseProgress() override { return show_progress; }
    bool show_progress = true;
};

class TestSocial : public Recorded<SocialImplementation> {
public:
    using Recorded::Recorded;
    void Login() override { Call("Social Login"); }
    void Logout() override { Call("Social Logout"); }
    int GetLoginStatus() override { return 2; }
    void PostLocalUserScore(unsigned int score) override { Call("PostLocalUserScore " + Number(score)); }
    void RequestListOfUsers() override { Call("RequestListOfUsers"); }
    zk_bitmap_t* GetUserImage(const char* id, int size) override {
        Call("GetUserImage " + Text(id) + " " + Number(size));
        return picture;
    }
    zk_bitmap_t* picture = reinterpret_cast<zk_bitmap_t*>(&picture_storage);
    int picture_storage = 0;
};

class TestUGC : public Recorded<UGCImplementation> {
public:
    using Recorded::Recorded;
    void RequestListOfItems() override { Call("RequestListOfItems"); }
    bool IsListOfItemsReady() override { return false; }
    int GetNumberOfItems() override { return 3; }
    zk_ugc_item_info_t* GetItemInfoByIndex(int index) override {
        Call("GetItemInfoByIndex " + Number(index));
        return reinterpret_cast<zk_ugc_item_info_t*>(&item_storage);
    }
    void SubscribeItem(const char* id) override { Call("SubscribeItem " + Text(id)); }
    void UnsubscribeItem(const char* id) override { Call("UnsubscribeItem " + Text(id)); }
    int CreateItem(zk_ugc_item_info_t*) override {
        Call("CreateItem");
        return 9;
    }
    void OpenUGCBrowser() override { Call("OpenUGCBrowser"); }
    int item_storage = 0;
};

class TestNotifications : public Recorded<NotificationImplementation> {
public:
    using Recorded::Recorded;
    void RegisterForNotifications() override { Call("RegisterForNotifications"); }
    void RemoveAllNotifications() override { Call("RemoveAllNotifications"); }
    void SetNotification(const char* a, const char* b, const char* c, unsigned int seconds) override {
        Call("SetNotification " + Text(a) + " " + Text(b) + " " + Text(c) + " " + Number(seconds));
    }
};

class TestStatistic : public Recorded<StatisticImplementation> {
public:
    using Recorded::Recorded;
    void LogEvent(int user, zk_statistic_api_t::Category category, const nString& name,
                  zk_statistic_api_t::Stats&) override {
        Call("LogEvent " + Number(user) + " " + Number(category) + " " + name.c_str());
    }
};

// --- A module that offers them ---------------------------------------------------------------

class TestModule : public ExtensionModule {
public:
    explicit TestModule(const char* name) : name_(name) {}
    ~TestModule() override {
        for (BaseImplementation* implementation : owned_) delete implementation;
        Note("destroyed " + name_);
    }
    // The module owns what it offers.
    template <class T>
    T* Offer(T* implementation) {
        owned_.push_back(implementation);
        offered_[implementation->GetInterfaceType()] = implementation;
        return implementation;
    }
    // One of every service type, named after the module ("HostCloud", ...).
    void OfferEverything() {
        Offer(new TestCloud((name_ + "Cloud").c_str()));
        Offer(new TestLeaderboards((name_ + "Leaderboards").c_str()));
        Offer(new TestAchievements((name_ + "Achievement").c_str()));
        Offer(new TestStatistic((name_ + "Statistic").c_str()));
        Offer(new TestPurchases((name_ + "IAP").c_str()));
        Offer(new TestSocial((name_ + "Social").c_str()));
        Offer(new TestUGC((name_ + "UGC").c_str()));
        Offer(new TestNotifications((name_ + "Notification").c_str()));
    }

    const char* GetName() override { return name_.c_str(); }
    bool Initialize(zekar_t* table) override {
        Note("Initialize " + name_);
        initialized_with = table;
        return initialize_answer;
    }
    void Shutdown() override { Note("Shutdown " + name_); }
    bool ShouldPauseFrameTime() override { return pause; }
    void Update(float dt) override { Note("Update " + name_ + " " + Number(dt)); }
    const char* CallExtension(const char* name, const char* argument) override {
        Note(name_ + " CallExtension " + Text(name) + " " + Text(argument));
        return extension_answer;
    }
    BaseImplementation* GetImplementationInterface(BaseImplementation::InterfaceType type) override {
        auto found = offered_.find(type);
        return found == offered_.end() ? nullptr : found->second;
    }

    bool initialize_answer = true;
    bool pause = false;
    const char* extension_answer = nullptr;
    zekar_t* initialized_with = nullptr;

private:
    std::string name_;
    std::vector<BaseImplementation*> owned_;
    std::map<int, BaseImplementation*> offered_;
};

// The names of these implementations, comma-separated, "-" for none.
inline std::string NamesOf(std::initializer_list<BaseImplementation*> implementations) {
    std::string names;
    for (BaseImplementation* implementation : implementations)
        names += std::string(names.empty() ? "" : ",") + (implementation ? implementation->GetName() : "-");
    return names;
}

// The names of the chosen implementations in resolution order (cloud,
// leaderboards, achievement, statistic, in-app purchase, social, user
// content, notification), "-" for none.
inline std::string ChosenNames() {
    return NamesOf({zk_cloud_implementation, zk_leaderboards_implementation, zk_achievement_implementation,
                    zk_statistic_implementation, zk_in_app_purchase_implementation, zk_social_implementation,
                    zk_ugc_implementation, zk_notification_implementation});
}

// --- The fixture ----------------------------------------------------------------------------

class ServicesTest : public ZkRuntimeTest {
protected:
    void SetUp() override {
        ZkRuntimeTest::SetUp();
        ZK_ShutdownExtensionModules();
        saved_makers_ = zk_builtin_makers;
        Calls().clear();
        Lines().clear();
        zk->ZK_Printf = RecordInfo;
        zk->ZK_PrintDebugf = RecordDebug;
        zk->ZK_Popupf = RecordPopup;
        SetFeatures("");
    }
    void TearDown() override {
        ResetServices();
        zk_dman.ReleaseDatabase(kCategoriesPath);
        zk_state.developer_mode = 0;
        ZKI_ProcessEventQueue();  // frees what queued events own
        ZkRuntimeTest::TearDown();
    }

    // Back to no modules, the engine's own makers, no features and nothing
    // recorded, for the next case of a table.
    void ResetServices() {
        ZK_ShutdownExtensionModules();
        zk_builtin_makers = saved_makers_;
        Calls().clear();
        Lines().clear();
        SetFeatures("");
    }

    void SetFeatures(const char* features) {
        features_ = features;
        zk_state.product_feature_lists[0] = features_.c_str();
        zk_state.product_feature_lists[1] = "";
    }
    // Start-up of the extension modules with these product features.
    void Start(const char* features) {
        SetFeatures(features);
        ZK_InitializeExtensionModules();
    }
    // Registers a module after start-up, so that it is asked first, and
    // resolves again.
    void ResolveWithFirst(ExtensionModule* module) {
        ZK_RegisterExtensionModule(module);
        ZK_ResolveExtensionModuleImplementations();
    }

    // Fills the category database with nodes of these ids (null: a node
    // without id) and their "sort" values (null: none).
    void SetCategories(const std::vector<std::pair<const char*, const char*>>& categories) {
        InnerZK::DMDatabase* database = zk_dman.CreateDatabase(kCategoriesPath);
        InnerZK::DMArray* array = database->AddArray("CATEGORIES");
        for (const auto& category : categories) {
            InnerZK::DMNode* node = array->AddNode(category.first);
            if (category.second) node->SetValue("sort", category.second);
        }
    }

    static constexpr const char* kCategoriesPath = "leaderboards/leaderboards.xml";

private:
    std::string features_;
    zk_builtin_implementation_makers_t saved_makers_;
};

}  // namespace services_test
