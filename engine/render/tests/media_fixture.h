// A fresh engine for media tests, with the recording renderer current.
//
//   class MyTest : public MediaTest {};
//   TEST_F(MyTest, ...) {
//       renderer_.thread_safe_features = 2;   // answers of the renderer
//       ... EXPECT_EQ(Lines(), ...)           // "type:text" of every printed line
//   }
//
// SetUp: fresh state and table, core mutexes, the calling thread as the
// renderer thread, every line of every type kept (popups as
// "2:[POPUP] ..."), popups kept off standard output. A test may take lines
// for itself first (TakeLines): a line it takes is not kept. TearDown puts
// the batch renderer back as it was constructed. The renderer is current but not
// initialised (zk_state.renderer_initialized is 0).
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "engine/drawing/batch_renderer.h"

#include "engine/render/tests/recording_renderer.h"
#include "engine/runtime/log.h"
#include "engine/runtime/tests/core_fixture.h"

class MediaTest : public ZkCoreTest {
protected:
    void SetUp() override {
        ZkCoreTest::SetUp();
        zk_state.log_verbose_level = 0;
        zk_run_no_popups = 1;
        ClearLines();
        zk_console_line_hook = KeepLine;
        renderer_.Install();
    }
    void TearDown() override {
        TakeLines() = nullptr;
        // Buffers a start made go back to the renderer that made them.
        renderer_.Install();
        zk_batch_renderer.FreeBuffers();
        zk_batch_renderer = BatchRenderer();
        renderer_.Uninstall();
        ZkCoreTest::TearDown();
    }

    // Every line printed since SetUp, as "type:text".
    static std::vector<std::string> Lines() {
        std::lock_guard<std::mutex> lock(LineMutex());
        return KeptLines();
    }
    static void ClearLines() {
        std::lock_guard<std::mutex> lock(LineMutex());
        KeptLines().clear();
    }
    static bool WasPrinted(const std::string& line) {
        for (const std::string& kept : Lines()) {
            if (kept == line) return true;
        }
        return false;
    }

    // Sees each line ("type:text") first; answers true for a line it takes.
    static std::function<bool(const std::string&)>& TakeLines() {
        static std::function<bool(const std::string&)> take;
        return take;
    }

    RecordingRenderer renderer_;

private:
    static std::mutex& LineMutex() {
        static std::mutex mutex;
        return mutex;
    }
    static std::vector<std::string>& KeptLines() {
        static std::vector<std::string> lines;
        return lines;
    }
    static void KeepLine(short type, const char* text) {
        std::string line = std::to_string(type) + ":" + (text ? text : "");
        if (TakeLines() && TakeLines()(line)) return;
        std::lock_guard<std::mutex> lock(LineMutex());
        KeptLines().push_back(line);
    }
};
