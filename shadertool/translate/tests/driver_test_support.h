// What the test programs that run the translator driver over Shader XML
// files share: the engine set up once per process as the reader tests have
// it, the databases the driver read given back, and a file read whole.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

#include "engine/runtime/zekar.h"
#include "engine/storage/database_manager.h"
#include "shadertool/frontend/tests/reader_test_engine.h"
#include "shadertool/translate/translator_driver.h"

namespace ShaderTool {
namespace testing {

inline bool DeveloperModeOff() { return false; }

// The reader tests' engine, with developer mode off as the shader tool
// runs it: the Shader XML reader then keeps a constants file it has read
// instead of reading it afresh for each file that names it, and these
// programs give every database back after each file they translate.
inline void SetUpEngineForDriverTests() {
    SetUpEngineForReaderTests();
    zk->ZKI_IsDeveloperModeEnabled = DeveloperModeOff;
}

// The database manager keeps every file it read until the process ends; a
// file read again must be read afresh.
inline void ReleaseReadDatabases() {
    while (zk_dman.databases.Count() > 0) zk_dman.ReleaseDatabase(zk_dman.databases[0]);
}

// The driver's options as zk-shader-tool sets them for the targets by
// default: the default level, the files read from `input_directory` (""
// or ending in "/").
inline TranslatorDriver::Options DefaultToolOptions(const std::string& input_directory, int targets) {
    TranslatorDriver::Options options;
    options.input_directory = input_directory.c_str();
    options.target_mask = targets;
    options.level_mask = HLSL11_DEFAULT;
    return options;
}

// The file's bytes; false when it cannot be opened.
inline bool ReadWholeFile(const std::string& path, std::string* text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::stringstream bytes;
    bytes << file.rdbuf();
    *text = bytes.str();
    return true;
}

}  // namespace testing
}  // namespace ShaderTool
