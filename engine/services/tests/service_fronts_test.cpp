// The service sub-tables: what each front forwards and answers with a
// chosen implementation and without one, the leaderboard fronts' log
// lines, the login with its category checks, and the category database.

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "engine/events/events.h"
#include "engine/services/tests/service_test_support.h"

namespace services_test {
namespace {

std::string Yes(bool answer) { return answer ? "true" : "false"; }
std::string Pointer(const void* p) { return p ? "pointer" : "(null)"; }

zk_score_t ScoreOf(int points) {
    zk_score_t score = {};
    score.points = points;
    return score;
}

int stats_storage = 0;
zk_statistic_api_t::Stats& SomeStats() { return *reinterpret_cast<zk_statistic_api_t::Stats*>(&stats_storage); }

struct FrontCase {
    const char* front;
    std::function<std::string()> call;
    const char* with;       // the answer with an implementation
    const char* forwarded;  // what the implementation is asked ("" for nothing)
    const char* without;    // the answer without one
};

// Every front through the table. Answers: "" for none, "true"/"false",
// numbers, texts, "pointer"/"(null)".
const std::vector<FrontCase>& Fronts() {
    static const std::vector<FrontCase> cases = {
        {"UnlockAchievement", [] { zk->achievements->ZK_UnlockAchievement(1, "first"); return ""; }, "",
         "UnlockAchievement 1 first", ""},
        {"SetAchievementProgress", [] { zk->achievements->ZK_SetAchievementProgress(1, "first", 40); return ""; },
         "", "SetAchievementProgress 1 first 40", ""},
        {"IsNativeAchievementViewSupported",
         [] { return Yes(zk->achievements->ZK_IsNativeAchievementViewSupported()); }, "true", "", "false"},
        {"ShowNativeAchievementView", [] { zk->achievements->ZK_ShowNativeAchievementView(2); return ""; }, "",
         "ShowNativeAchievementView 2", ""},
        {"SetStatisticsInt", [] { zk->achievements->ZK_SetStatisticsInt("kills", 3); return ""; }, "",
         "SetStatisticsInt kills 3", ""},
        {"GetStatisticsInt", [] { return Number(zk->achievements->ZK_GetStatisticsInt("kills")); }, "17",
         "GetStatisticsInt kills", "0"},

        // A chosen cloud is available without being asked (it says it is not).
        {"Cloud_IsAvailable", [] { return Yes(zk->cloud->ZK_Cloud_IsAvailable()); }, "true", "", "false"},
        {"Cloud_SetKeyValue", [] { zk->cloud->ZK_Cloud_SetKeyValue("key", "xyz", 3); return ""; }, "",
         "SetKeyValue key 3", ""},
        {"Cloud_GetKeyValue", [] { return Pointer(zk->cloud->ZK_Cloud_GetKeyValue("key")); }, "pointer",
         "GetKeyValue key", "(null)"},
        {"Cloud_DeleteKeyValue", [] { zk->cloud->ZK_Cloud_DeleteKeyValue("key"); return ""; }, "",
         "DeleteKeyValue key", ""},

        {"SubmitScore", [] { zk->leaderboards->ZK_SubmitScore(1, ScoreOf(120), "speed"); return ""; }, "",
         "SubmitScore 1 120 speed", ""},
        {"RequestScores", [] { return Yes(zk->leaderboards->ZK_RequestScores(1, 10, 0, "speed")); }, "true",
         "RequestScores 1 10 0 speed", "false"},
        {"RequestScoresAroundUserRank",
         [] { return Yes(zk->leaderboards->ZK_RequestScoresAroundUserRank(1, 5, "speed")); }, "true",
         "RequestScoresAroundUserRank 1 5 speed", "false"},
        {"IsNativeLeaderboardsViewSupported",
         [] { return Yes(zk->leaderboards->ZK_IsNativeLeaderboardsViewSupported()); }, "true", "", "false"},
        {"ShowNativeLeaderboardsView", [] { zk->leaderboards->ZK_ShowNativeLeaderboardsView(1, "speed"); return ""; },
         "", "ShowNativeLeaderboardsView 1 speed", ""},
        {"GetUserId 3", [] { return Text(zk->leaderboards->ZK_GetUserId(3)); }, "player-id", "GetUserId 3", "(null)"},
        {"GetUserId 4", [] { return Text(zk->leaderboards->ZK_GetUserId(4)); }, "(null)", "", "(null)"},
        {"GetUserId -1", [] { return Text(zk->leaderboards->ZK_GetUserId(-1)); }, "(null)", "", "(null)"},
        {"GetLeaderboardsLoginState", [] { return Number(zk->leaderboards->ZK_GetLeaderboardsLoginState(0)); }, "2",
         "", "0"},
        {"IsNativeUserProfileViewSupported",
         [] { return Yes(zk->leaderboards->ZK_IsNativeUserProfileViewSupported()); }, "true", "", "false"},
        {"ShowNativeUserProfileView", [] { zk->leaderboards->ZK_ShowNativeUserProfileView("p1"); return ""; }, "",
         "ShowNativeUserProfileView p1", ""},
        {"ShowNativeUserProfileView empty", [] { zk->leaderboards->ZK_ShowNativeUserProfileView(""); return ""; },
         "", "", ""},
        {"ShowNativeUserProfileView null", [] { zk->leaderboards->ZK_ShowNativeUserProfileView(nullptr); return ""; },
         "", "", ""},
        {"GetMaximumNumberOfScoresPerRequest",
         [] { return Number(zk->leaderboards->ZK_GetMaximumNumberOfScoresPerRequest()); }, "25", "", "30"},

        {"Notifications_IsAvailable", [] { return Yes(zk->notifications->ZK_Notifications_IsAvailable()); }, "true",
         "", "false"},
        {"Notifications_RegisterForNotifications",
         [] { zk->notifications->ZK_Notifications_RegisterForNotifications(); return ""; }, "",
         "RegisterForNotifications", ""},
        {"Notifications_RemoveAllNotifications",
         [] { zk->notifications->ZK_Notifications_RemoveAllNotifications(); return ""; }, "",
         "RemoveAllNotifications", ""},
        {"Notifications_SetNotification",
         [] { zk->notifications->ZK_Notifications_SetNotification("a", "b", "c", 60); return ""; }, "",
         "SetNotification a b c 60", ""},

        {"Social_IsAvailable", [] { return Yes(zk->social->ZK_Social_IsAvailable()); }, "true", "", "false"},
        {"Social_Login", [] { zk->social->ZK_Social_Login(); return ""; }, "", "Social Login", ""},
        {"Social_Logout", [] { zk->social->ZK_Social_Logout(); return ""; }, "", "Social Logout", ""},
        {"Social_RequestListOfUsers", [] { zk->social->ZK_Social_RequestListOfUsers(); return ""; }, "",
         "RequestListOfUsers", ""},
        {"Social_PostLocalUserScore", [] { zk->social->ZK_Social_PostLocalUserScore(12); return ""; }, "",
         "PostLocalUserScore 12", ""},
        {"Social_GetUserImage", [] { return Pointer(zk->social->ZK_Social_GetUserImage("u1", 64)); }, "pointer",
         "GetUserImage u1 64", "(null)"},
        {"Social_GetUserImage size 4", [] { return Pointer(zk->social->ZK_Social_GetUserImage("u1", 4)); },
         "pointer", "GetUserImage u1 4", "(null)"},
        {"Social_GetUserImage size 3", [] { return Pointer(zk->social->ZK_Social_GetUserImage("u1", 3)); },
         "(null)", "", "(null)"},
        {"Social_GetUserImage null id", [] { return Pointer(zk->social->ZK_Social_GetUserImage(nullptr, 64)); },
         "(null)", "", "(null)"},

        {"Statistic_LogEvent",
         [] { zk->statistic->ZK_Statistic_LogEvent(1, 2, nString("level"), SomeStats()); return ""; }, "",
         "LogEvent 1 2 level", ""},

        {"UGC_IsAvailable", [] { return Yes(zk->ugc->ZK_UGC_IsAvailable()); }, "true", "", "false"},
        {"UGC_RequestListOfItems", [] { zk->ugc->ZK_UGC_RequestListOfItems(); return ""; }, "",
         "RequestListOfItems", ""},
        {"UGC_IsListOfItemsReady", [] { return Yes(zk->ugc->ZK_UGC_IsListOfItemsReady()); }, "false", "", "true"},
        {"UGC_GetNumberOfItems", [] { return Number(zk->ugc->ZK_UGC_GetNumberOfItems()); }, "3", "", "0"},
        {"UGC_GetItemInfoByIndex", [] { return Pointer(zk->ugc->ZK_UGC_GetItemInfoByIndex(2)); }, "pointer",
         "GetItemInfoByIndex 2", "(null)"},
        {"UGC_SubscribeItem", [] { zk->ugc->ZK_UGC_SubscribeItem("i1"); return ""; }, "", "SubscribeItem i1", ""},
        {"UGC_UnsubscribeItem", [] { zk->ugc->ZK_UGC_UnsubscribeItem("i1"); return ""; }, "", "UnsubscribeItem i1",
         ""},
        {"UGC_CreateItem", [] { return Number(zk->ugc->ZK_UGC_CreateItem(nullptr)); }, "9", "CreateItem", "0"},
        {"UGC_OpenUGCBrowser", [] { zk->ugc->ZK_UGC_OpenUGCBrowser(); return ""; }, "", "OpenUGCBrowser", ""},
    };
    return cases;
}

class ServiceFrontsTest : public ServicesTest {};

TEST_F(ServiceFrontsTest, WithoutImplementationsEveryFrontGivesItsNeutralAnswer) {
    Start("LEADERBOARDS ACHIEVEMENTS");
    for (const FrontCase& c : Fronts()) {
        Calls().clear();
        EXPECT_EQ(c.call(), c.without) << c.front;
    }
    EXPECT_TRUE(Calls().empty());
}

TEST_F(ServiceFrontsTest, WithImplementationsEveryFrontForwardsToItsType) {
    TestModule* host = new TestModule("Host");
    host->OfferEverything();
    ZK_RegisterExtensionModule(host);
    Start("LEADERBOARDS ACHIEVEMENTS");
    static_cast<TestCloud*>(zk_cloud_implementation)->available = false;
    for (const FrontCase& c : Fronts()) {
        Calls().clear();
        EXPECT_EQ(c.call(), c.with) << c.front;
        std::vector<std::string> expected;
        if (*c.forwarded) expected.push_back(c.forwarded);
        EXPECT_EQ(Calls(), expected) << c.front;
    }
    // User content asks its implementation whether it is available.
    static_cast<TestUGC*>(zk_ugc_implementation)->available = false;
    EXPECT_FALSE(zk->ugc->ZK_UGC_IsAvailable());
}

TEST_F(ServiceFrontsTest, LeaderboardFrontsLogWhatIsAskedAndWhenNoAnswerWillFollow) {
    struct Case {
        bool implementation;
        bool answer;  // what the implementation answers to requests
        std::function<bool()> call;
        bool result;
        std::vector<std::string> lines;
    } cases[] = {
        {false, true, [] { zk->leaderboards->ZK_SubmitScore(0, ScoreOf(120), "speed"); return true; }, true,
         {"info: Submitting score of 120 points to category 'speed'"}},
        {true, true, [] { zk->leaderboards->ZK_SubmitScore(0, ScoreOf(-3), nullptr); return true; }, true,
         {"info: Submitting score of -3 points to category '(null)'"}},
        {false, true, [] { return zk->leaderboards->ZK_RequestScores(1, 10, 0, "speed"); }, false, {}},
        {true, true, [] { return zk->leaderboards->ZK_RequestScores(1, 10, 0, "speed"); }, true,
         {"info: Requesting scores 1..10 (10 scores) for category 'speed' with filter 'GLOBAL'"}},
        {true, true, [] { return zk->leaderboards->ZK_RequestScores(5, 3, 1, nullptr); }, true,
         {"info: Requesting scores 5..7 (3 scores) for category '(null)' with filter 'FRIENDS'"}},
        {true, false, [] { return zk->leaderboards->ZK_RequestScores(1, 1, 7, "speed"); }, false,
         {"info: Requesting scores 1..1 (1 scores) for category 'speed' with filter 'ERROR'",
          "info: RequestScores returned false. No return event will be sent."}},
        // The last position of a request at the ends of the int range is
        // told as it is, not wrapped around.
        {true, true, [] { return zk->leaderboards->ZK_RequestScores(2, INT_MAX, 0, "speed"); }, true,
         {"info: Requesting scores 2..2147483648 (2147483647 scores) for category 'speed' with filter 'GLOBAL'"}},
        {true, true, [] { return zk->leaderboards->ZK_RequestScores(INT_MIN, 0, 0, "speed"); }, true,
         {"info: Requesting scores -2147483648..-2147483649 (0 scores) for category 'speed' with filter 'GLOBAL'"}},
        {false, true, [] { return zk->leaderboards->ZK_RequestScoresAroundUserRank(1, 5, "speed"); }, false, {}},
        {true, true, [] { return zk->leaderboards->ZK_RequestScoresAroundUserRank(1, 5, "speed"); }, true,
         {"info: Requesting 5 scores around user #1 for category 'speed'"}},
        {true, false, [] { return zk->leaderboards->ZK_RequestScoresAroundUserRank(2, 4, nullptr); }, false,
         {"info: Requesting 4 scores around user #2 for category '(null)'",
          "info: RequestScoresAroundUserRank returned false. No return event will be sent."}},
    };
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(row++);
        if (c.implementation) {
            TestModule* host = new TestModule("Host");
            host->Offer(new TestLeaderboards("HostBoards"))->request_answer = c.answer;
            ZK_RegisterExtensionModule(host);
        }
        Start("LEADERBOARDS");
        Lines().clear();
        EXPECT_EQ(c.call(), c.result);
        EXPECT_EQ(Lines(), c.lines);
        ResetServices();
    }
}

const char* const kNoImplementationWarning =
    "popup warning: No leaderboard implementation defined while calling zk->leaderboards->Login. Requires feature "
    "LEADERBOARDS and a leaderboards implementation. Use fallback feature LOCAL_LEADERBOARDS for local score lists.";

TEST_F(ServiceFrontsTest, LoginHappensOnlyWhenLoggedOutAndChecksCategoryIdsInDeveloperMode) {
    const std::string forty(40, 'x');
    SetCategories({{"speed", nullptr}, {forty.c_str(), nullptr}});
    struct Case {
        bool implementation;
        int login_state;
        bool developer_mode;
        std::vector<std::string> lines;
        std::vector<std::string> calls;
    } cases[] = {
        {false, 0, true, {kNoImplementationWarning}, {}},
        {true, 2, true, {}, {}},
        {true, 1, true, {}, {}},
        {true, 0, false, {"info: Login for player 3"}, {"Login 3"}},
        {true, 0, true,
         {"info: Login for player 3",
          "popup warning: Leaderboard category id '" + forty + "' is too long (can be max 31 characters)."},
         {"Login 3"}},
    };
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(row++);
        if (c.implementation) {
            TestModule* host = new TestModule("Host");
            host->Offer(new TestLeaderboards("HostBoards"))->login_state = c.login_state;
            ZK_RegisterExtensionModule(host);
        }
        Start("LEADERBOARDS");
        zk_state.developer_mode = c.developer_mode;
        Lines().clear();
        Calls().clear();
        zk->leaderboards->ZK_LeaderboardsLogin(3);
        EXPECT_EQ(Lines(), c.lines);
        EXPECT_EQ(Calls(), c.calls);
        ResetServices();
    }
}

TEST_F(ServiceFrontsTest, CategoryIdChecksWarnOfEveryFaultAndGoOn) {
    const std::string forty_letters(40, 'a');
    const std::string longest_allowed(31, 'b');
    const std::string one_too_long(32, 'c');
    const std::string long_with_dash = "Long_category-id_of_thirty_two_ch";
    struct Case {
        const char* id;
        std::vector<std::string> warnings;
    } cases[] = {
        {"speed_2", {}},
        {"_abc", {"Leaderboard category id '_abc' has to start with an English alphabet."}},
        {"1abc", {"Leaderboard category id '1abc' has to start with an English alphabet."}},
        {"A-b", {"Leaderboard category id 'A-b' can only contain English alphabets, digits, and '_' character."}},
        {"a b.c",
         {"Leaderboard category id 'a b.c' can only contain English alphabets, digits, and '_' character.",
          "Leaderboard category id 'a b.c' can only contain English alphabets, digits, and '_' character."}},
        {longest_allowed.c_str(), {}},
        {one_too_long.c_str(),
         {"Leaderboard category id '" + one_too_long + "' is too long (can be max 31 characters)."}},
        {forty_letters.c_str(),
         {"Leaderboard category id '" + forty_letters + "' is too long (can be max 31 characters)."}},
        {long_with_dash.c_str(),
         {"Leaderboard category id '" + long_with_dash + "' is too long (can be max 31 characters).",
          "Leaderboard category id '" + long_with_dash +
              "' can only contain English alphabets, digits, and '_' character."}},
        {"", {"Leaderboard category with index 0 has no id. Id is required."}},
        {nullptr, {"Leaderboard category with index 0 has no id. Id is required."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Text(c.id));
        TestModule* host = new TestModule("Host");
        host->Offer(new TestLeaderboards("HostBoards"))->login_state = ZK_LOGIN_STATE_LOGGED_OUT;
        ZK_RegisterExtensionModule(host);
        SetCategories({{c.id, nullptr}, {"after", nullptr}});
        Start("LEADERBOARDS");
        zk_state.developer_mode = 1;
        Lines().clear();
        zk->leaderboards->ZK_LeaderboardsLogin(0);
        std::vector<std::string> expected = {"info: Login for player 0"};
        for (const std::string& warning : c.warnings) expected.push_back("popup warning: " + warning);
        EXPECT_EQ(Lines(), expected);
        ResetServices();
        zk_dman.ReleaseDatabase(kCategoriesPath);
    }
}

TEST_F(ServiceFrontsTest, CategoriesComeFromTheCategoryDatabase) {
    zk_leaderboards_api_t* lb = zk->leaderboards;
    // No database, or one without categories: none.
    EXPECT_EQ(lb->ZK_GetNumberOfLeaderboardCategories(), 0);
    EXPECT_EQ(lb->ZK_GetLeaderboardCategoryIdByIndex(0), nullptr);
    EXPECT_EQ(lb->ZK_GetLeaderboardCategoryIndexById("speed"), -1);
    EXPECT_EQ(lb->ZK_GetLeaderboardCategorySortOrder("speed"), 0);
    EXPECT_EQ(lb->ZK_GetLeaderboardCategoryValue("speed", "sort"), nullptr);

    SetCategories({{"speed", "LOWEST_SCORE_FIRST"},
                   {"distance", "ASCENDING"},
                   {"kills", nullptr},
                   {"time", "HIGHEST_SCORE_FIRST"},
                   {nullptr, nullptr}});
    EXPECT_EQ(lb->ZK_GetNumberOfLeaderboardCategories(), 5);
    struct IdCase {
        int index;
        const char* id;
    } ids[] = {{0, "speed"}, {3, "time"}, {4, nullptr}, {5, nullptr}, {-1, nullptr}};
    for (const IdCase& c : ids) EXPECT_STREQ(lb->ZK_GetLeaderboardCategoryIdByIndex(c.index), c.id) << c.index;
    struct CategoryCase {
        const char* id;
        int index;
        int sort_order;
        const char* sort;
    } categories[] = {
        {"speed", 0, 1, "LOWEST_SCORE_FIRST"}, {"distance", 1, 1, "ASCENDING"}, {"kills", 2, 0, nullptr},
        {"time", 3, 0, "HIGHEST_SCORE_FIRST"}, {"Speed", -1, 0, nullptr},       {nullptr, -1, 0, nullptr},
    };
    for (const CategoryCase& c : categories) {
        SCOPED_TRACE(Text(c.id));
        EXPECT_EQ(lb->ZK_GetLeaderboardCategoryIndexById(c.id), c.index);
        EXPECT_EQ(lb->ZK_GetLeaderboardCategorySortOrder(c.id), c.sort_order);
        EXPECT_STREQ(lb->ZK_GetLeaderboardCategoryValue(c.id, "sort"), c.sort);
    }
    // A delivered scores answer asks for its category's order.
    char category[] = "speed";
    zk_event_t answer = ZKI_MakeEvent(
        zk_leaderboard_scores_event_t{ZK_EVENT_LEADERBOARD_SCORES, 1, nullptr, category, 0, 0, 1, 0, nullptr});
    EXPECT_EQ(ZKI_ValidateLeaderboardsEvent(&answer), 1);
}

}  // namespace
}  // namespace services_test
