// Set-up of the shader tests, over MediaTest: a temporary data folder as
// the current directory (shader names are paths below it), the file
// systems, a recording stand-in for the batch renderer, and every shader
// record, queued load and cached database given back afterwards.
//
//   class MyTest : public ShaderTest {};
//   TEST_F(MyTest, ...) {
//       UseRenderer(ShaderTool::GLSL21);        // target, level; starts the translator
//       Write("shaders/a.xml", kSomeShaderXml);
//       zk_shader_t* shader = zk->graphics->ZK_Graphics_GetShader("shaders/a.xml");
//   }
#pragma once

#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <fstream>
#include <string>
#include <vector>

#include "engine/media/run_time_shaders.h"
#include "engine/media/tests/media_fixture.h"
#include "engine/storage/database_manager.h"
#include "engine/storage/filesystem.h"
#include "engine/storage/tests/storage_test_support.h"

// The batch renderer as the shader functions see it: what they asked of
// it, in order ("Flush", "SetCurrentShader <name>"), and which shaders it
// holds as current and default.
struct RecordingBatch {
    static std::vector<std::string>& Calls() {
        static std::vector<std::string> calls;
        return calls;
    }
    static zk_shader_t*& Current() {
        static zk_shader_t* current = nullptr;
        return current;
    }
    static zk_shader_t*& Default() {
        static zk_shader_t* default_shader = nullptr;
        return default_shader;
    }
    static void Install() {
        Calls().clear();
        Current() = nullptr;
        Default() = nullptr;
        zk_shader_batch.Flush = [] { Calls().push_back("Flush"); };
        zk_shader_batch.GetCurrentShader = [] { return Current(); };
        zk_shader_batch.GetDefaultShader = [] { return Default(); };
        zk_shader_batch.SetCurrentShader = [](zk_shader_t* shader) {
            Calls().push_back(std::string("SetCurrentShader ") + (shader && shader->name ? shader->name : "null"));
            Current() = shader;
        };
    }
};

class ShaderTest : public MediaTest {
protected:
    void SetUp() override {
        MediaTest::SetUp();
        // The file systems hold state that a fresh engine state drops.
        ZKFileSystem::Initialize();
        char saved[4096];
        ASSERT_NE(getcwd(saved, sizeof(saved)), nullptr);
        saved_directory_ = saved;
        ASSERT_EQ(chdir(folder_.Path().c_str()), 0);
        RecordingBatch::Install();
    }

    void TearDown() override {
        ZKI_ProcessShaderResourceQueue();
        for (int i = 0; i < zk_state.num_shaders && i < ZK_MAX_SHADERS; ++i) ZKI_FreeShader(&zk_state.shaders[i]);
        ZKI_DeinitializeShaderTranslator();
        while (zk_dman.databases.Count() > 0) zk_dman.ReleaseDatabase(zk_dman.databases[0]);
        zk_shader_batch = zk_shader_batch_doing_nothing;
        ZKFileSystem::Deinitialize();
        EXPECT_EQ(chdir(saved_directory_.c_str()), 0);
        MediaTest::TearDown();
    }

    // The renderer's target and level; the translator starts for them.
    void UseRenderer(int target, int level = 0, bool binary = false) {
        renderer_.shader_target = target;
        renderer_.shader_level = level;
        renderer_.uses_binary_shaders = binary;
        ZKI_DeinitializeShaderTranslator();
        ZKI_InitializeShaderTranslator();
    }

    // Writes a file below the data folder, making its folders.
    static void Write(const std::string& path, const std::string& bytes) {
        for (size_t slash = path.find('/'); slash != std::string::npos; slash = path.find('/', slash + 1))
            mkdir(path.substr(0, slash).c_str(), 0700);
        std::ofstream(path, std::ios::binary) << bytes;
    }
    // Sets a file's modification time (seconds).
    static void SetTime(const std::string& path, time_t seconds) {
        struct utimbuf times = {seconds, seconds};
        EXPECT_EQ(utime(path.c_str(), &times), 0) << path;
    }

    storage_test::TempDirectory folder_;

private:
    std::string saved_directory_;
};
