// The simulated social network: login and logout, the circle of friends,
// the list of users and the user pictures.

#include <set>
#include <string>
#include <vector>

#include "engine/services/simulated_social.h"
#include "engine/services/tests/answer_test_support.h"

namespace services_test {
namespace {

bool IsNumeric(const std::string& text, size_t digits) {
    return text.size() == digits && text.find_first_not_of("0123456789") == std::string::npos;
}

std::vector<std::string>& LoadedBitmaps() {
    static std::vector<std::string> loaded;
    return loaded;
}
int picture = 0;
zk_bitmap_t* RecordLoadBitmap(const char* name, int mode) {
    LoadedBitmaps().push_back(Text(name) + " " + std::to_string(mode));
    return reinterpret_cast<zk_bitmap_t*>(&picture);
}

class SimulatedSocialTest : public AnswersTest {
protected:
    void SetUp() override {
        AnswersTest::SetUp();
        LoadedBitmaps().clear();
        EXPECT_TRUE(social.Initialize());
    }

    // The one answer the call queued, or an empty answer (type 0).
    Answer AnswerTo(void (SimulatedSocialImplementation::*call)()) {
        (social.*call)();
        std::vector<Answer> answers = DeliverAnswers();
        EXPECT_LE(answers.size(), 1u);
        return answers.empty() ? Answer() : answers[0];
    }

    SimulatedSocialImplementation social{11};
};

TEST_F(SimulatedSocialTest, OnlyALoggedOutUserLogsInAndIsAnsweredWithTheLocalUser) {
    EXPECT_EQ(social.GetLoginStatus(), 0);
    Answer login = AnswerTo(&SimulatedSocialImplementation::Login);
    EXPECT_EQ(social.GetLoginStatus(), 2);
    EXPECT_EQ(login.type, ZK_EVENT_SOCIAL_LOGIN);
    EXPECT_EQ(login.success, 1u);
    ASSERT_EQ(login.users.size(), 1u);
    EXPECT_TRUE(IsNumeric(login.users[0].id, 9)) << login.users[0].id;
    EXPECT_EQ(login.users[0].name, "Local User");
    EXPECT_LT(login.users[0].score, 30u);

    EXPECT_EQ(AnswerTo(&SimulatedSocialImplementation::Login).type, 0);
    EXPECT_EQ(social.GetLoginStatus(), 2);
}

TEST_F(SimulatedSocialTest, LoggingInAgainAnswersWithTheSameLocalUserAndItsLatestScore) {
    Answer first = AnswerTo(&SimulatedSocialImplementation::Login);
    social.Logout();
    social.Logout();
    EXPECT_EQ(social.GetLoginStatus(), 0);
    Answer second = AnswerTo(&SimulatedSocialImplementation::Login);
    ASSERT_EQ(second.users.size(), 1u);
    EXPECT_EQ(second.users[0].id, first.users[0].id);
    EXPECT_EQ(second.users[0].score, first.users[0].score);

    social.Logout();
    social.PostLocalUserScore(4000000000u);
    Answer third = AnswerTo(&SimulatedSocialImplementation::Login);
    ASSERT_EQ(third.users.size(), 1u);
    EXPECT_EQ(third.users[0].score, 4000000000u);
    EXPECT_EQ(social.GetUsers().count, 11);
}

TEST_F(SimulatedSocialTest, TheListOfUsersIsTheCircleHighestScoreFirstAndOnlyWhileLoggedIn) {
    EXPECT_EQ(AnswerTo(&SimulatedSocialImplementation::RequestListOfUsers).type, 0);
    social.PostLocalUserScore(5);  // no local user yet: nothing to set
    social.Login();
    DeliverAnswers();
    social.PostLocalUserScore(25);
    Answer list = AnswerTo(&SimulatedSocialImplementation::RequestListOfUsers);
    EXPECT_EQ(list.type, ZK_EVENT_SOCIAL_USERS);
    EXPECT_EQ(list.success, 0u);
    ASSERT_EQ(list.users.size(), 11u);
    std::set<std::string> ids;
    int local = 0, long_ids = 0;
    for (size_t i = 0; i < list.users.size(); ++i) {
        const Answer::User& user = list.users[i];
        if (i > 0) {
            EXPECT_GE(list.users[i - 1].score, user.score) << i;
        }
        ids.insert(user.id);
        long_ids += IsNumeric(user.id, 17);
        if (user.name == "Local User") {
            ++local;
            EXPECT_EQ(user.score, 25u);
        } else {
            EXPECT_TRUE(IsNumeric(user.id, 9) || IsNumeric(user.id, 17)) << user.id;
            EXPECT_GE(user.score, 4u);
            EXPECT_LE(user.score, 52u);
        }
    }
    EXPECT_EQ(ids.size(), 11u);
    EXPECT_EQ(local, 1);
    EXPECT_EQ(long_ids, 1);
    // The friends' scores rise with their place in the circle.
    const nArray<SimulatedSocialImplementation::SocialUser*>& users = social.GetUsers();
    for (int i = 1; i < users.count; ++i) {
        EXPECT_GE(users.items[i]->score, static_cast<uint32_t>(i + 3)) << i;
        EXPECT_LE(users.items[i]->score, static_cast<uint32_t>(i + 42)) << i;
    }

    social.Logout();
    EXPECT_EQ(AnswerTo(&SimulatedSocialImplementation::RequestListOfUsers).type, 0);
}

TEST_F(SimulatedSocialTest, AUserPictureIsLoadedFromThePictureServiceAsABitmap) {
    zk->graphics->ZK_Graphics_LoadBitmap = RecordLoadBitmap;
    EXPECT_EQ(social.GetUserImage("100000756", 64), reinterpret_cast<zk_bitmap_t*>(&picture));
    EXPECT_EQ(social.GetUserImage(nullptr, 64), nullptr);
    EXPECT_EQ(LoadedBitmaps(),
              std::vector<std::string>{
                  "http://pictures.social.example/100000756/picture?width=64&height=64&return_ssl_resources=0 4"});
}

// Through the social sub-table, with the implementation the simulation
// module makes.
TEST_F(SimulatedSocialTest, TheSocialFrontsReachTheSimulatedNetwork) {
    Start("SIMULATED_SOCIAL");
    zk->graphics->ZK_Graphics_LoadBitmap = RecordLoadBitmap;
    ASSERT_TRUE(zk->social->ZK_Social_IsAvailable());
    EXPECT_EQ(zk->social->ZK_Social_GetUserImage("42", 3), nullptr);
    EXPECT_NE(zk->social->ZK_Social_GetUserImage("42", 4), nullptr);
    EXPECT_EQ(LoadedBitmaps(), std::vector<std::string>{
                                   "http://pictures.social.example/42/picture?width=4&height=4&return_ssl_resources=0 4"});
    zk->social->ZK_Social_Login();
    zk->social->ZK_Social_RequestListOfUsers();
    std::vector<Answer> answers = DeliverAnswers();
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[0].type, ZK_EVENT_SOCIAL_LOGIN);
    EXPECT_EQ(answers[1].users.size(), 11u);
}

}  // namespace
}  // namespace services_test
