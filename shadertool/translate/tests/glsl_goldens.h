// The golden fixtures of the GLSL-family translators: every Shader XML in
// tests/data/translate/glsl/ is read, preprocessed, parsed and translated
// for each GL-family target it lists, and each stage's text is compared with
// expected/<TARGET>/<fixture>.vertex or .pixel.
//
// The expected files are written only by the glsl_goldens program (see the
// README beside the fixtures), never by a test run.
#pragma once

#include <string>
#include <vector>

#include "shadertool/frontend/shader_info.h"

namespace ShaderTool {
namespace testing {

extern const char* const kGoldenDirectory;  // "tests/data/translate/glsl/"

struct GoldenCase {
    std::string fixture;  // file name without ".xml"
    int target;           // one GL-family ShaderTarget bit
    ShaderType stage;
};

struct GoldenResult {
    bool ok = false;
    std::string text;
    std::string log;
};

// Engine state, interface table and file systems, once per process.
void SetUpEngineForGoldens();

// Every fixture, with each GL-family target it lists and both stages, in
// name order. False (with the log in `messages`) when a fixture cannot be
// read.
bool ListGoldenCases(std::vector<GoldenCase>* cases, std::string* messages);

// The case's translation, through the same steps as the driver.
GoldenResult TranslateGoldenCase(const GoldenCase& c);

const char* GoldenTargetName(int target);
// expected/<TARGET>/<fixture>.vertex|pixel under the golden directory.
std::string ExpectedPath(const GoldenCase& c);

}  // namespace testing
}  // namespace ShaderTool
