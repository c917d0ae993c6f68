#include "engine/datamodel/tests/datamodel_test_support.h"

#include <stdlib.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>

#include "engine/datamodel/tests/stdio_file_table.h"
#include "engine/runtime/tests/test_engine.h"
#include "engine/runtime/zekar.h"

namespace datamodel_test {

static std::mutex recorder_lock;

std::vector<Message>& Recorded() {
    static std::vector<Message> messages;
    return messages;
}

void ClearRecorded() {
    std::lock_guard<std::mutex> guard(recorder_lock);
    Recorded().clear();
}

std::vector<std::string> PopupTexts() {
    std::lock_guard<std::mutex> guard(recorder_lock);
    std::vector<std::string> texts;
    for (const Message& m : Recorded()) {
        if (m.type >= 0) texts.push_back(m.text);
    }
    return texts;
}

static void Record(int type, const char* format, va_list args) {
    char buffer[4096];
    vsnprintf(buffer, sizeof buffer, format, args);
    std::lock_guard<std::mutex> guard(recorder_lock);
    Recorded().push_back({type, buffer});
}

static int RecordPopup(zk_message_type_t type, const char* format, ...) {
    va_list args;
    va_start(args, format);
    Record(type, format, args);
    va_end(args);
    return 4;
}

static int RecordDebugLine(zk_message_type_t type, const char* format, ...) {
    va_list args;
    va_start(args, format);
    Record(-1 - type, format, args);
    va_end(args);
    return 0;
}

static int RecordInformation(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Record(-100, format, args);
    va_end(args);
    return 0;
}

void RecordMessages() {
    zk->ZK_Popupf = RecordPopup;
    zk->ZK_PrintDebugf = RecordDebugLine;
    zk->ZK_Printf = RecordInformation;
}

void SetUpEngine() {
    static bool done = false;
    if (done) return;
    done = true;
    SetUpTestEngine();
    FillStdioFileTable(zk->file_system);
    RecordMessages();
}

TempDirectory::TempDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zk-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data())) path = buffer.data();
}

TempDirectory::~TempDirectory() {
    if (path.empty()) return;
    std::error_code error;
    // Children may have been made read-only by a test; make them writable
    // again so that everything can be removed.
    for (auto& entry : std::filesystem::recursive_directory_iterator(
             path, std::filesystem::directory_options::none, error)) {
        if (!entry.is_symlink()) {
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, error);
        }
    }
    std::filesystem::remove_all(path, error);
}

std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (auto& entry : std::filesystem::directory_iterator(folder, error)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace datamodel_test
