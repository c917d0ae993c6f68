// Shared set-up of the storage tests: the engine state and table, the file
// systems, and a recorder of the popups and debug lines the code raises.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/storage/filesystem_api.h"

namespace storage_test {

struct Message {
    int type;
    std::string text;
};

// Sets up the state, the table and the file systems once per process, then
// points the table's printers at the recorder.
void SetUpEngine();

// Messages recorded since the last Clear().
std::vector<Message>& Recorded();
void ClearRecorded();
// The texts of the recorded popups, in order.
std::vector<std::string> PopupTexts();

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

// A tiny file system of its own (tmpfs) mounted on an existing folder, in
// a mount namespace private to the test process, so that a test can fill
// it up. Usable() is false where the process may not mount: tests skip
// then. Unmounted by the destructor.
class SmallDisk {
public:
    explicit SmallDisk(const std::string& folder);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool Usable() const { return mounted; }
    // Takes all the room that is left with one more file.
    void Fill();

private:
    std::string folder;
    bool mounted = false;
};

// A close(2) that closes the descriptor but answers failure (EIO), as a
// file system may when data did not reach the disk; for
// ZKFileSystem::SetSafeFileCloseForTesting.
int FailingClose(int descriptor);

// The names in a folder, sorted, without "." and "..".
std::vector<std::string> NamesIn(const std::string& folder);

// Writes bytes to a file directly (not through the engine).
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadWholeFile(const std::string& path);

// Test base: engine set up, recorder cleared.
class StorageTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetUpEngine();
        ClearRecorded();
    }
};

}  // namespace storage_test
