// Logging and popups: levels, prefixes, silence, developer-mode repeat
// suppression, the popup queue and the length cut.

#include <pthread.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/runtime/tests/core_fixture.h"

namespace {

// Runs before main, before any set-up: the printers and the mutex registry
// must already work. (Nothing is printed: test discovery reads the output.)
struct EarlyPrinter {
    int popup_result;
    bool mutex_named;
    EarlyPrinter() {
        zk_run_no_popups = 1;
        popup_result = ZK_Popupf(ZK_MESSAGE_ERROR, "raised before main %d", 1);
        zk_run_no_popups = 0;
        zk_mutex_t* mutex = ZK_GetMutex("before main");
        mutex_named = mutex && strcmp(mutex->name, "before main") == 0;
    }
} early_printer;

std::vector<std::string> console_lines;
void RecordConsoleLine(short type, const char* text) {
    console_lines.push_back(std::to_string(type) + ":" + (text ? text : "<null>"));
}

class LogTest : public ZkCoreTest {
protected:
    void SetUp() override {
        ZkCoreTest::SetUp();
        console_lines.clear();
        zk_console_line_hook = RecordConsoleLine;
    }

    // Developer mode with a program installed and the engine running.
    void RunLikeAnInstalledProgram() {
        zk_state.developer_mode = 1;
        zk_state.prog_initialized = 1;
        zk_state.initialized = 1;
    }
};

TEST(LogBeforeMain, PrintersAndMutexesWorkBeforeAnySetUp) {
    EXPECT_EQ(early_printer.popup_result, 4);
    EXPECT_TRUE(early_printer.mutex_named);
}

TEST_F(LogTest, DebugLinesAreFilteredByLevelAndPrefixedByType) {
    struct Case {
        int level;
        int type;
        const char* printed; // null: nothing
    } cases[] = {
        {2, 0, nullptr},          {2, 1, nullptr},
        {2, 2, "[ERROR] text\n"}, {2, 3, "text\n"},
        {0, 0, "text\n"},         {0, 1, "[WARNING] text\n"},
        {-1, -1, "text\n"},       {0, -1, nullptr},
        {3, 2, nullptr},          {2, 7, "text\n"},
    };
    for (const Case& c : cases) {
        zk_state.log_verbose_level = c.level;
        StdoutCapture out;
        int result = ZK_PrintDebugf(c.type, "%s", "text");
        std::string text = out.Finish();
        SCOPED_TRACE("level " + std::to_string(c.level) + ", type " + std::to_string(c.type));
        EXPECT_EQ(text, c.printed ? c.printed : "");
        EXPECT_EQ(result, c.printed ? 4 : 0); // 4: the length of "text"
    }
}

TEST_F(LogTest, PrintfWritesAnInfoLineAndHandsItToTheConsole) {
    StdoutCapture out;
    int result = ZK_Printf("value %d", 42);
    EXPECT_EQ(out.Finish(), "value 42\n");
    EXPECT_EQ(result, 8);
    EXPECT_EQ(console_lines, std::vector<std::string>{"0:value 42"});
}

TEST_F(LogTest, SilenceStopsLogLinesButNotPopupTexts) {
    zk_run_silent = 1;
    StdoutCapture out;
    EXPECT_EQ(ZK_Printf("quiet"), 0);
    EXPECT_EQ(ZK_PrintDebugf(ZK_MESSAGE_ERROR, "quiet"), 0);
    EXPECT_EQ(ZK_Popupf(ZK_MESSAGE_ERROR, "loud %s", "popup"), 4);
    EXPECT_EQ(out.Finish(), "[ERROR] loud popup\n");
    EXPECT_EQ(console_lines, std::vector<std::string>{"2:[POPUP] loud popup"});
}

TEST_F(LogTest, NoPopupsSilencesPopupsEntirely) {
    zk_run_no_popups = 1;
    StdoutCapture out;
    EXPECT_EQ(ZK_Popupf(ZK_MESSAGE_ERROR, "hidden"), 4);
    zk_state.developer_mode = 1;
    EXPECT_EQ(ZK_Popupf(ZK_MESSAGE_ERROR, "hidden before a program"), 0);
    RunLikeAnInstalledProgram();
    EXPECT_EQ(ZK_Popupf(ZK_MESSAGE_ERROR, "hidden with a program"), 4);
    EXPECT_EQ(out.Finish(), "");
    EXPECT_EQ(ZKD_GetNumberOfPopups(), 0);
    EXPECT_EQ(ZKI_GetNumberOfQueuedPopups(), 0);
}

TEST_F(LogTest, PopupsBelowTheLevelDoNothing) {
    StdoutCapture out;
    EXPECT_EQ(ZK_Popupf(ZK_MESSAGE_WARNING, "filtered"), 0);
    EXPECT_EQ(out.Finish(), "");
    EXPECT_TRUE(console_lines.empty());
}

TEST_F(LogTest, OutsideDeveloperModeEveryPopupPrintsAndAnswersFour) {
    zk_state.prog_initialized = 1;
    zk_state.initialized = 1;
    StdoutCapture out;
    EXPECT_EQ(ZK_Popupf(ZK_MESSAGE_ERROR, "same"), 4);
    EXPECT_EQ(ZK_Popupf(ZK_MESSAGE_ERROR, "same"), 4);
    EXPECT_EQ(out.Finish(), "[ERROR] same\n[ERROR] same\n");
    EXPECT_EQ(ZKD_GetNumberOfPopups(), 0);
}

TEST_F(LogTest, DeveloperModeShowsEachTextOnceOnTheMainThread) {
    RunLikeAnInstalledProgram();
    StdoutCapture out;
    EXPECT_EQ(ZK_Popupf(ZK_MESSAGE_ERROR, "disk %s", "full"), 4); // the platform's answer
    EXPECT_EQ(ZK_Popupf(ZK_MESSAGE_ERROR, "disk full"), 1);
    EXPECT_EQ(ZK_Popupf(ZK_MESSAGE_ERROR, "disk empty"), 4);
    // Each call prints; a call that reaches the platform prints once more.
    EXPECT_EQ(out.Finish(), "[ERROR] disk full\n[ERROR] disk full\n[ERROR] disk full\n"
                            "[ERROR] disk empty\n[ERROR] disk empty\n");
    EXPECT_EQ(ZKD_GetNumberOfPopups(), 2);
    EXPECT_STREQ(ZKD_GetLastPopupText(), "disk empty");
    EXPECT_EQ(ZKD_GetLastPopupType(), ZK_MESSAGE_ERROR);
    EXPECT_EQ(console_lines, (std::vector<std::string>{"2:[POPUP] disk full", "2:[POPUP] disk full",
                                                        "2:[POPUP] disk empty"}));
}

TEST_F(LogTest, DeveloperModeBeforeAProgramGoesStraightToThePlatform) {
    zk_state.developer_mode = 1;
    StdoutCapture out;
    EXPECT_EQ(ZK_Popupf(ZK_MESSAGE_ERROR, "early"), 0);
    EXPECT_EQ(ZK_Popupf(ZK_MESSAGE_ERROR, "early"), 0);
    EXPECT_EQ(out.Finish(), "[ERROR] early\n[ERROR] early\n[ERROR] early\n[ERROR] early\n");
    EXPECT_EQ(ZKD_GetNumberOfPopups(), 2);
}

void* RaiseWorkerPopup(void* result) {
    ZK_Popupf(ZK_MESSAGE_ERROR, "from a worker");
    *static_cast<int*>(result) = ZK_Popupf(ZK_MESSAGE_ERROR, "from a worker %d", 2);
    return nullptr;
}

TEST_F(LogTest, PopupsOfOtherThreadsAreQueuedForTheMainThread) {
    RunLikeAnInstalledProgram();
    int worker_result = -1;
    pthread_t worker;
    StdoutCapture out;
    ASSERT_EQ(pthread_create(&worker, nullptr, RaiseWorkerPopup, &worker_result), 0);
    pthread_join(worker, nullptr);
    EXPECT_EQ(worker_result, 4);
    EXPECT_EQ(ZKD_GetNumberOfPopups(), 0);
    EXPECT_EQ(ZKI_GetNumberOfQueuedPopups(), 2);
    // Queued counts as shown: the main thread does not show it again.
    EXPECT_EQ(ZK_Popupf(ZK_MESSAGE_ERROR, "from a worker 2"), 1);
    EXPECT_EQ(out.Finish(), "[ERROR] from a worker\n[ERROR] from a worker 2\n[ERROR] from a worker 2\n");

    nArray<ZK_ConsoleLine> queued;
    ZKI_TakeQueuedPopups(queued);
    ASSERT_EQ(queued.count, 2);
    EXPECT_EQ(queued.items[0].type, ZK_MESSAGE_ERROR);
    EXPECT_STREQ(queued.items[0].text, "from a worker");
    EXPECT_STREQ(queued.items[1].text, "from a worker 2");
    EXPECT_EQ(ZKI_GetNumberOfQueuedPopups(), 0);
    ZKI_FreeConsoleLines(queued);
}

TEST_F(LogTest, PopupsBeforeInitialisationAreQueuedEvenOnTheMainThread) {
    zk_state.developer_mode = 1;
    zk_state.prog_initialized = 1;
    StdoutCapture out;
    EXPECT_EQ(ZK_Popupf(ZK_MESSAGE_ERROR, "not yet"), 4);
    out.Finish();
    EXPECT_EQ(ZKI_GetNumberOfQueuedPopups(), 1);
    EXPECT_EQ(ZKD_GetNumberOfPopups(), 0);
}

TEST_F(LogTest, LongTextIsCutAt4095Characters) {
    std::string long_text(5000, 'x');
    StdoutCapture out;
    int result = ZK_Printf("%s", long_text.c_str());
    EXPECT_EQ(out.Finish(), std::string(4095, 'x') + "\n");
    EXPECT_EQ(result, 5000); // the length the whole text needed

    StdoutCapture popup_out;
    EXPECT_EQ(ZK_Popupf(ZK_MESSAGE_ERROR, "%s", long_text.c_str()), 4);
    EXPECT_EQ(popup_out.Finish(), "[ERROR] " + std::string(4095, 'x') + "\n");
    ASSERT_EQ(console_lines.size(), 2u);
    EXPECT_EQ(console_lines[1], "2:[POPUP] " + std::string(4095, 'x'));
}

TEST_F(LogTest, PrintersWorkWithoutCoreMutexes) {
    ZKI_DestroyCoreMutexes();
    StdoutCapture out;
    ZK_Printf("no locks");
    ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "still no locks");
    EXPECT_EQ(out.Finish(), "no locks\nstill no locks\n");
}

// A thread that holds PRINT (the console overlay draws under it) and raises
// a message would otherwise wait on itself.
TEST_F(LogTest, MessagesRaisedWhilePrintIsHeldArePrintedWhenItIsLetGo) {
    RunLikeAnInstalledProgram();
    zk_state.log_verbose_level = 0;
    zk_run_no_popups = 1;
    StdoutCapture out;
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_PRINT);
    EXPECT_EQ(ZK_Printf("first %d", 1), 7);
    EXPECT_EQ(ZK_PrintDebugf(ZK_MESSAGE_ERROR, "second"), 6);
    EXPECT_EQ(ZK_Popupf(ZK_MESSAGE_WARNING, "third"), 4);
    EXPECT_TRUE(console_lines.empty());
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_PRINT);
    EXPECT_EQ(out.Finish(), "first 1\n[ERROR] second\n");
    EXPECT_EQ(console_lines, (std::vector<std::string>{"0:first 1", "2:second", "1:[POPUP] third"}));
    // Nothing is kept for the next time.
    console_lines.clear();
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_PRINT);
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_PRINT);
    EXPECT_TRUE(console_lines.empty());
    zk_run_no_popups = 0;
}

TEST_F(LogTest, PlatformPrintAndLogFileTest) {
    StdoutCapture out;
    ZKD_PrintDebug(ZK_MESSAGE_WARNING, "direct");
    EXPECT_EQ(out.Finish(), "[WARNING] direct\n");

    EXPECT_TRUE(ZKD_IsLogFile("anything")); // before initialisation
    zk_state.initialized = 1;
    EXPECT_TRUE(ZKD_IsLogFile("logs/zekar-1.log"));
    EXPECT_FALSE(ZKD_IsLogFile("logs/zekar-1.txt"));
    EXPECT_FALSE(ZKD_IsLogFile("logs/other.log"));
    EXPECT_FALSE(ZKD_IsLogFile(nullptr));
}

}  // namespace
