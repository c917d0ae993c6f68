// A MediaTest whose current directory is a fresh temporary data folder, so
// that resource names are paths below it, with the file systems set up
// (they hold state that a fresh engine state drops).
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "engine/render/tests/media_fixture.h"
#include "engine/storage/filesystem.h"
#include "engine/storage/tests/storage_test_support.h"

class DataFolderTest : public MediaTest {
protected:
    void SetUp() override {
        MediaTest::SetUp();
        ZKFileSystem::Initialize();
        char saved[4096];
        ASSERT_NE(getcwd(saved, sizeof(saved)), nullptr);
        saved_directory_ = saved;
        ASSERT_EQ(chdir(folder_.Path().c_str()), 0);
    }

    void TearDown() override {
        ZKFileSystem::Deinitialize();
        EXPECT_EQ(chdir(saved_directory_.c_str()), 0);
        MediaTest::TearDown();
    }

    // Writes a file below the data folder, making its folders.
    static void Write(const std::string& path, const std::string& bytes) {
        for (size_t slash = path.find('/'); slash != std::string::npos; slash = path.find('/', slash + 1))
            mkdir(path.substr(0, slash).c_str(), 0700);
        std::ofstream(path, std::ios::binary) << bytes;
    }

    storage_test::TempDirectory folder_;

private:
    std::string saved_directory_;
};
