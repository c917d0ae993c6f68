// The golden fixtures of the HLSL-family translators: every Shader XML in
// tests/data/translate/hlsl/ is read, preprocessed, parsed and translated
// for each HLSL-family target it lists, and each stage's text is compared
// with expected/<TARGET>/<fixture>.vertex or .pixel.
//
// The expected files are written only by the hlsl_goldens program (see the
// README beside the fixtures), never by a test run.
#pragma once

#include <string>
#include <vector>

#include "shadertool/frontend/shader_info.h"

namespace ShaderTool {
namespace testing {

extern const char* const kHLSLGoldenDirectory;  // "tests/data/translate/hlsl/"

struct HLSLGoldenCase {
    std::string fixture;  // file name without ".xml"
    int target;           // one HLSL-family ShaderTarget bit
    ShaderType stage;
};

struct HLSLGoldenResult {
    bool ok = false;
    std::string text;
    std::string log;
};

// Every fixture, with each HLSL-family target it lists and both stages, in
// name order. False (with the log in `messages`) when a fixture cannot be
// read.
bool ListHLSLGoldenCases(std::vector<HLSLGoldenCase>* cases, std::string* messages);

// The case's translation, through the same steps as the driver, at the
// shader tool's default level.
HLSLGoldenResult TranslateHLSLGoldenCase(const HLSLGoldenCase& c);

// The same case through the translator driver, with the target's
// translator installed in it; the text is the output file the driver wrote under a
// temporary directory, which is removed afterwards.
HLSLGoldenResult TranslateHLSLGoldenCaseWithDriver(const HLSLGoldenCase& c);

// expected/<TARGET>/<fixture>.vertex|pixel under the golden directory.
std::string HLSLExpectedPath(const HLSLGoldenCase& c);
// "<fixture> / <TARGET> vertex|pixel", for messages.
std::string HLSLGoldenLabel(const HLSLGoldenCase& c);

}  // namespace testing
}  // namespace ShaderTool
