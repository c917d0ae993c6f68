// Shared set-up of the data model's tests, and what the tests of the layers
// above reuse from it: a recorder of the popups, debug lines and
// information lines the code raises, scratch folders, and files written
// and read directly (not through the engine).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace datamodel_test {

struct Message {
    int type;
    std::string text;
};

// Messages recorded since the last Clear().
std::vector<Message>& Recorded();
void ClearRecorded();
// The texts of the recorded popups, in order.
std::vector<std::string> PopupTexts();

// Points the table's popups, debug lines and information lines at the
// recorder: popups keep their type, debug lines and information lines get
// negative ones (so PopupTexts() leaves them out).
void RecordMessages();

// The data model's engine, once per process: the test engine's state and
// table (engine/runtime/tests/test_engine.h), files read through the C
// library (stdio_file_table.h), messages recorded.
void SetUpEngine();

// A fresh directory under the system's temporary folder, removed with all
// its contents by the destructor.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    const std::string& Path() const { return path; }
    std::string operator/(const std::string& name) const { return path + "/" + name; }

private:
    std::string path;
};

// The names in a folder, sorted, without "." and "..".
std::vector<std::string> NamesIn(const std::string& folder);

// Writes bytes to a file directly (not through the engine).
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadWholeFile(const std::string& path);

// Test base: engine set up, recorder cleared.
class DataModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetUpEngine();
        ClearRecorded();
    }
};

}  // namespace datamodel_test
