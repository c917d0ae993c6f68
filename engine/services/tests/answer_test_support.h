// Test support for the local and simulated implementations: the answers
// they queue, copied while the events still own their blocks; a folder of
// real files for the stores; a sleep that only records how long it was
// asked to wait; and waiting for answer threads.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/events/events.h"
#include "engine/runtime/threads.h"
#include "engine/services/tests/service_test_support.h"
#include "engine/storage/filesystem.h"

namespace services_test {

// A type-19, 37 or 38 event as delivered.
struct Answer {
    int type = 0;
    // 19
    uint32_t success = 0;
    std::string reason, category;
    int total = 0, first = 0, count = 0;
    uint32_t filter = 0;
    std::vector<zk_score_t> scores;
    bool scores_null = true;
    // 37 (one user) and 38
    struct User {
        std::string id, name;
        uint32_t score;
    };
    std::vector<User> users;
};

inline std::vector<Answer>& Answers() {
    static std::vector<Answer> answers;
    return answers;
}

inline Answer::User CopyUser(const zk_social_user_t& user) { return {Text(user.id), Text(user.name), user.score}; }

inline int RecordAnswer(zk_event_t event) {
    Answer answer;
    answer.type = static_cast<int>(event.type);
    if (event.type == ZK_EVENT_LEADERBOARD_SCORES) {
        zk_leaderboard_scores_event_t e = ZKI_EventAs<zk_leaderboard_scores_event_t>(event);
        answer.success = e.success;
        answer.reason = Text(e.reason);
        answer.category = Text(e.category);
        answer.total = e.total;
        answer.filter = e.filter;
        answer.first = e.first;
        answer.count = e.count;
        answer.scores_null = e.scores == nullptr;
        if (e.scores) answer.scores.assign(e.scores, e.scores + e.count);
    } else if (event.type == ZK_EVENT_SOCIAL_LOGIN) {
        zk_social_login_event_t e = ZKI_EventAs<zk_social_login_event_t>(event);
        answer.success = e.success;
        if (e.user) answer.users.push_back(CopyUser(*e.user));
    } else if (event.type == ZK_EVENT_SOCIAL_USERS) {
        zk_social_users_event_t e = ZKI_EventAs<zk_social_users_event_t>(event);
        answer.success = e.zero;
        for (int i = 0; e.users && i < e.count; ++i) answer.users.push_back(CopyUser(e.users[i]));
    }
    Answers().push_back(answer);
    return 0;
}

// Delivers what is queued and returns it.
inline std::vector<Answer> DeliverAnswers() {
    Answers().clear();
    ZKI_ProcessEventQueue();
    return Answers();
}

// The number of events waiting in the queue.
inline int QueuedEvents() {
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_RESOURCE_QUEUE);
    int count = zk_state.event_queue.count;
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_RESOURCE_QUEUE);
    return count;
}

// Waits (at most 20 s) until no engine thread runs.
inline bool WaitForEngineThreads() {
    for (int i = 0; i < 2000; ++i) {
        if (ZKT_GetNumberOfThreadsRunning() == 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// The waits asked of ZKT_Sleep while it is recorded.
inline std::vector<int>& Sleeps() {
    static std::vector<int> sleeps;
    return sleeps;
}
inline std::mutex& SleepsLock() {
    static std::mutex lock;
    return lock;
}
inline void RecordSleep(int milliseconds) {
    std::lock_guard<std::mutex> hold(SleepsLock());
    Sleeps().push_back(milliseconds);
}

// A fresh folder under the test's temporary folder, removed with its
// content.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = ::testing::TempDir() + "zk-services-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (mkdtemp(name.data())) path_ = name.data();
    }
    ~TempFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}
inline bool FileExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// Base of the implementation tests: the file systems up (the stores use
// real files), answers recorded, ZKT_Sleep recorded (so answer threads do
// not wait), and no answer thread outlives a test.
class AnswersTest : public ServicesTest {
protected:
    void SetUp() override {
        ServicesTest::SetUp();
        ZKFileSystem::Initialize();
        Answers().clear();
        Sleeps().clear();
        zk_prog->EventProc = RecordAnswer;
        zk->ZKT_Sleep = RecordSleep;
    }
    void TearDown() override {
        EXPECT_TRUE(WaitForEngineThreads());
        ServicesTest::TearDown();
        ZKFileSystem::Deinitialize();
    }
};

}  // namespace services_test
