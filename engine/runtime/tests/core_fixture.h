// Test support for code that runs on the engine runtime.
//
//   class MyTest : public ZkCoreTest {};     // fresh state and table per test
//   StdoutCapture out;  ...  std::string text = out.Finish();
//
// ZkCoreTest makes the calling thread the main thread, sets up a fresh state
// and interface table (SetUpTestEngine, test_engine.h), creates the core
// mutexes, switches
// the engine's log lines on (zk_run_silent = 0, zk_run_no_popups = 0) and
// forgets earlier popups. Nothing of it needs a program or a renderer.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "engine/runtime/log.h"
#include "engine/runtime/state.h"
#include "engine/runtime/threads.h"
#include "engine/runtime/tests/test_engine.h"
#include "engine/runtime/zekar.h"
#include "platform/macos/device/platform.h"

// Captures what is written to standard output (file descriptor 1, so printf
// from any thread) between construction and Finish().
class StdoutCapture {
public:
    StdoutCapture() {
        fflush(stdout);
        file_ = tmpfile();
        saved_ = dup(STDOUT_FILENO);
        if (file_ && saved_ >= 0) dup2(fileno(file_), STDOUT_FILENO);
    }
    ~StdoutCapture() { Finish(); }

    // Restores standard output and returns what was written (once).
    std::string Finish() {
        if (!file_) return text_;
        fflush(stdout);
        if (saved_ >= 0) {
            dup2(saved_, STDOUT_FILENO);
            close(saved_);
            saved_ = -1;
        }
        rewind(file_);
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof(buffer), file_)) > 0) text_.append(buffer, n);
        fclose(file_);
        file_ = nullptr;
        return text_;
    }

private:
    FILE* file_ = nullptr;
    int saved_ = -1;
    std::string text_;
};

class ZkCoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZKT_InitThreads();
        SetUpTestEngine();
        ZKI_CreateCoreMutexes();
        zk_run_silent = 0;
        zk_run_no_popups = 0;
        ZKI_ResetPopupHistory();
        ZKD_ResetPopupRecord();
    }
    void TearDown() override {
        ZKI_ResetPopupHistory();
        zk_run_silent = 1;
        zk_run_no_popups = 0;
        zk_console_line_hook = nullptr;
    }
};
