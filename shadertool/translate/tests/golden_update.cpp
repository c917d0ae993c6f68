// goldens: writes the expected files of every golden fixture, for all
// targets, from the current translators through the driver. Run from the
// project root, review the differences, and commit them with the change
// that caused them.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "shadertool/translate/tests/goldens.h"

using namespace ShaderTool::testing;

int main() {
    std::vector<GoldenCase> cases;
    std::string messages;
    if (!TranslateGoldens(&cases, &messages)) {
        fprintf(stderr, "%s", messages.c_str());
        return 1;
    }
    int failures = 0;
    for (const GoldenCase& c : cases) {
        std::string path = ExpectedPath(c);
        if (!c.ok) {
            fprintf(stderr, "%s: translation failed, not written:\n%s", path.c_str(), c.log.c_str());
            ++failures;
            continue;
        }
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream file(path, std::ios::binary);
        file << c.text;
        printf("%s\n", path.c_str());
    }
    return failures == 0 ? 0 : 1;
}
