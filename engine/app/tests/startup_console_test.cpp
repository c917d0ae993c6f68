// The console's line store and log-file formats.

#include <gtest/gtest.h>

#include <string>

#include "engine/app/tests/startup_test_support.h"

namespace {

class ConsoleTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetUpEngineForTest();
        zk_state.console_enabled = 1;
        zk_console.Init();
        ClearConsoleLines();
        zk_console.lowest_kept_type = 0;
        for (int& counter : zk_console.message_counters) counter = 0;
    }
    void TearDown() override { StopKeepingPrintedLines(); }
};

TEST_F(ConsoleTest, LogFileLineFormats) {
    zk_date_t time = {};
    time.hour = 9;
    time.minute = 7;
    time.second = 5;
    struct Case {
        int number;
        const char* thread;
        int type;
        const char* expected;
    };
    const Case cases[] = {
        {1, nullptr, 0, "0001: [09:07.05] text"},
        {12, nullptr, 1, "0012: [09:07.05] [WARNING] text"},
        {12345, nullptr, 3, "12345: [09:07.05] [SYSTEM] text"},
        {7, nullptr, 5, "0007: [09:07.05] [UNKNOWN] text"},
        {2, "MAIN", 0, "0002: [09:07.05] [MAIN]> text"},
        {3, "loader", 2, "0003: [09:07.05] [loader]> [ERROR] text"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(zkConsole::FormatLogLine(c.number, time, c.thread, c.type, "text").c_str(), c.expected)
            << c.expected;
    }
}

TEST_F(ConsoleTest, KeptLineCarriesTypePrefixNumberAndThreadName) {
    zk_console.AddString(0, "plain");
    zk_console.AddString(1, "careful");
    zk_console.AddString(3, "started");
    ASSERT_EQ(zk_console.lines.count, 3);
    EXPECT_STREQ(zk_console.lines.items[0].text, "plain");
    EXPECT_STREQ(zk_console.lines.items[1].text, "[WARNING] careful");
    EXPECT_STREQ(zk_console.lines.items[2].text, "[SYSTEM] started");
    EXPECT_EQ(zk_console.lines.items[2].number, zk_console.lines.items[0].number + 2);
    EXPECT_STREQ(zk_console.lines.items[0].thread_name, "MAIN");
}

TEST_F(ConsoleTest, MultiLineTextIsSplitAndLongSegmentsAreKept) {
    std::string long_segment(600, 'x');
    zk_console.AddString(0, ("first\n\n" + long_segment + "\nlast\n").c_str());
    ASSERT_EQ(zk_console.lines.count, 3);
    EXPECT_STREQ(zk_console.lines.items[0].text, "first");
    EXPECT_EQ(std::string(zk_console.lines.items[1].text), long_segment);
    EXPECT_STREQ(zk_console.lines.items[2].text, "last");
}

TEST_F(ConsoleTest, SingleLineKeepsItsFinalNewline) {
    zk_console.AddString(0, "one line\n");
    ASSERT_EQ(zk_console.lines.count, 1);
    EXPECT_STREQ(zk_console.lines.items[0].text, "one line\n");
}

TEST_F(ConsoleTest, LinesBelowTheLowestKeptTypeAreCountedButNotKept) {
    zk_console.lowest_kept_type = 2;
    zk_console.AddString(1, "warning");
    zk_console.AddString(9, "odd type");
    zk_console.AddString(2, "");
    EXPECT_EQ(zk_console.lines.count, 1);
    EXPECT_EQ(zk_console.message_counters[1], 1);
    // An unknown type counts (and is kept) as an error.
    EXPECT_EQ(zk_console.message_counters[2], 2);
    EXPECT_STREQ(zk_console.lines.items[0].text, "[ERROR] odd type");
}

TEST_F(ConsoleTest, LineCapDropsTheOldestAndStartsWithAnEllipsis) {
    for (int i = 1; i <= ZK_CONSOLE_MAX_LINES + 1; ++i) zk_console.AddString(0, std::to_string(i).c_str());
    ASSERT_EQ(zk_console.lines.count, ZK_CONSOLE_MAX_LINES);
    const zk_console_line_t& first = zk_console.lines.items[0];
    EXPECT_STREQ(first.text, "...");
    EXPECT_EQ(first.type, ZK_MESSAGE_SYSTEM);
    EXPECT_EQ(first.number, 0);
    EXPECT_EQ(first.thread_name, nullptr);
    EXPECT_STREQ(zk_console.lines.items[1].text, "3");
    EXPECT_STREQ(zk_console.lines.items[ZK_CONSOLE_MAX_LINES - 1].text, "8193");
}

TEST_F(ConsoleTest, DisabledConsoleKeepsNothing) {
    zk_console.enabled = 0;
    zk_console.AddString(2, "lost");
    EXPECT_EQ(zk_console.lines.count, 0);
    EXPECT_EQ(zk_console.message_counters[2], 0);
}

TEST_F(ConsoleTest, PrintersReachTheConsole) {
    zk_run_silent = 0;
    ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "system %d", 3);
    ZK_Popupf(ZK_MESSAGE_ERROR, "popup");
    EXPECT_TRUE(WasPrinted("[SYSTEM] system 3"));
    EXPECT_TRUE(WasPrinted("[ERROR] [POPUP] popup"));
}

TEST_F(ConsoleTest, CompletionWords) {
    zk_console.AddAutoCompletionString("reload_shaders", nullptr);
    zk_console.AddAutoCompletionString("Reload", "again");   // found as a completion of an existing word
    zk_console.AddAutoCompletionString("res://x", nullptr);  // refused
    zk_console.AddAutoCompletionString("quit", "ends");
    ASSERT_EQ(zk_console.words.count, 2);
    EXPECT_STREQ(zk_console.GetAutoCompletionForString("RELOAD"), "reload_shaders");
    EXPECT_STREQ(zk_console.GetAutoCompletionForString("uit"), "quit");
    EXPECT_STREQ(zk_console.GetAutoCompletionForString(""), "reload_shaders");
    EXPECT_EQ(zk_console.GetAutoCompletionForString("zzz"), nullptr);
}

TEST_F(ConsoleTest, LogFileNameUsesTheProgramIdWithDashes) {
    zk_state.prog = &zk_state.default_prog;
    snprintf(zk_state.default_prog.id, sizeof(zk_state.default_prog.id), "%s", "My Game");
    EXPECT_STREQ(zk_console.DetermineLogFileName().c_str(), "logs://My-Game.log");
}

}  // namespace
