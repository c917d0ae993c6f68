// Set-up of the shader tests, over DataFolderTest (shader names are paths
// below its data folder): a recording stand-in for the batch renderer, and
// every shader record, queued load and cached database given back
// afterwards.
//
//   class MyTest : public ShaderTest {};
//   TEST_F(MyTest, ...) {
//       UseRenderer(ShaderTool::GLSL21);        // target, level; starts the translator
//       Write("shaders/a.xml", kSomeShaderXml);
//       zk_shader_t* shader = zk->graphics->ZK_Graphics_GetShader("shaders/a.xml");
//   }
#pragma once

#include <utime.h>

#include <string>
#include <vector>

#include "engine/shaders/run_time_shaders.h"
#include "engine/render/tests/data_folder_fixture.h"
#include "engine/storage/database_manager.h"

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

class ShaderTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        RecordingBatch::Install();
    }

    void TearDown() override {
        ZKI_ProcessShaderResourceQueue();
        for (int i = 0; i < zk_state.num_shaders && i < ZK_MAX_SHADERS; ++i) ZKI_FreeShader(&zk_state.shaders[i]);
        ZKI_DeinitializeShaderTranslator();
        while (zk_dman.databases.Count() > 0) zk_dman.ReleaseDatabase(zk_dman.databases[0]);
        zk_shader_batch = zk_shader_batch_doing_nothing;
        DataFolderTest::TearDown();
    }

    // The renderer's target and level; the translator starts for them.
    void UseRenderer(int target, int level = 0, bool binary = false) {
        renderer_.shader_target = target;
        renderer_.shader_level = level;
        renderer_.uses_binary_shaders = binary;
        ZKI_DeinitializeShaderTranslator();
        ZKI_InitializeShaderTranslator();
    }

    // Sets a file's modification time (seconds).
    static void SetTime(const std::string& path, time_t seconds) {
        struct utimbuf times = {seconds, seconds};
        EXPECT_EQ(utime(path.c_str(), &times), 0) << path;
    }
};
