// hlsl_goldens: writes the expected files of the HLSL-family golden
// fixtures from the current translators. Run from the project root, review
// the differences, and commit them with the change that caused them.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "shadertool/translate/tests/hlsl_goldens.h"

using namespace ShaderTool::testing;

int main() {
    std::vector<HLSLGoldenCase> cases;
    std::string messages;
    if (!ListHLSLGoldenCases(&cases, &messages)) {
        fprintf(stderr, "%s", messages.c_str());
        return 1;
    }
    int failures = 0;
    for (const HLSLGoldenCase& c : cases) {
        HLSLGoldenResult result = TranslateHLSLGoldenCase(c);
        std::string path = HLSLExpectedPath(c);
        if (!result.ok) {
            fprintf(stderr, "%s: translation failed, not written:\n%s", path.c_str(), result.log.c_str());
            ++failures;
            continue;
        }
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream file(path, std::ios::binary);
        file << result.text;
        printf("%s\n", path.c_str());
    }
    return failures == 0 ? 0 : 1;
}
