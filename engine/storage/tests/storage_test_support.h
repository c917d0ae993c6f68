// Shared set-up of the storage tests: the engine state and table, the file
// systems, and the data model's recorder of the popups and debug lines the
// code raises.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/datamodel/tests/datamodel_test_support.h"
#include "engine/storage/filesystem_api.h"

namespace storage_test {

// The recorder, scratch folders and direct file access of the data model's
// tests, which these tests share.
using datamodel_test::ClearRecorded;
using datamodel_test::Message;
using datamodel_test::NamesIn;
using datamodel_test::PopupTexts;
using datamodel_test::ReadWholeFile;
using datamodel_test::Recorded;
using datamodel_test::TempDirectory;
using datamodel_test::WriteFile;

// Sets up the state, the table and the file systems once per process, then
// points the table's printers at the recorder.
void SetUpEngine();

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

// Test base: engine set up, recorder cleared.
class StorageTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetUpEngine();
        ClearRecorded();
    }
};

}  // namespace storage_test
