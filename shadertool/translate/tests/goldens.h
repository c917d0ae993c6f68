// The golden fixtures of the translators. Each folder below holds Shader XML
// files and expected/<TARGET>/<fixture>.vertex and .pixel for the targets of
// its family; every fixture goes through the translator driver, as the
// shader tool takes it, for each target of the folder's family that it
// lists, and each stage's written text is compared with its expected file.
//
// The expected files are written only by the goldens program (see the
// READMEs beside the fixtures), never by a test run.
#pragma once

#include <string>
#include <vector>

#include "shadertool/frontend/shader_info.h"

namespace ShaderTool {
namespace testing {

struct GoldenFolder {
    const char* directory;  // under the project root, ending in "/"
    int targets;            // the family whose expected files it holds
};

extern const GoldenFolder kGoldenFolders[];
extern const int kGoldenFolderCount;

struct GoldenCase {
    const GoldenFolder* folder = nullptr;
    std::string fixture;  // file name without ".xml"
    int target = 0;       // one ShaderTarget bit
    ShaderType stage = VERTEX_SHADER;
    bool ok = false;      // the fixture translated and this text was written
    std::string text;     // what the driver wrote for the target and stage
    std::string log;      // the driver's log of the fixture
};

// Every fixture of every folder, translated, with each target of its
// folder's family that it lists and both stages, in folder and name order.
// False (with the logs in `messages`) when a fixture cannot be read or is
// not a Shader XML.
bool TranslateGoldens(std::vector<GoldenCase>* cases, std::string* messages);

// expected/<TARGET>/<fixture>.vertex|pixel under the case's folder.
std::string ExpectedPath(const GoldenCase& c);
// "<fixture> / <TARGET> vertex|pixel", for messages.
std::string GoldenLabel(const GoldenCase& c);

}  // namespace testing
}  // namespace ShaderTool
