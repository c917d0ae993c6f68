// goldens: writes the expected files of every golden fixture, for all
// targets, from the current translators through the driver. Run from the
// project root, review the differences, and commit them with the change
// that caused them.
#include <cstdio>
#include <filesystem>

#include "engine/safewrite/safe_write_file.h"
#include "shadertool/translate/tests/goldens.h"

using namespace ShaderTool::testing;

namespace {

// An expected file is replaced whole or not at all: a failed write leaves
// the one before, which the tests then still compare against.
bool WriteExpectedFile(const std::string& path, const std::string& text) {
    char reason[256] = "";
    zk_safe_write_t file = {};
    if (ZKI_BeginSafeWrite(&file, path.c_str(), reason, sizeof reason) &&
        ZKI_WriteSafely(&file, text.data(), text.size(), reason, sizeof reason) &&
        ZKI_CommitSafeWrite(&file, reason, sizeof reason))
        return true;
    ZKI_AbandonSafeWrite(&file);
    fprintf(stderr, "%s: not written: %s\n", path.c_str(), reason);
    return false;
}

}  // namespace

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
        if (!WriteExpectedFile(path, c.text)) {
            ++failures;
            continue;
        }
        printf("%s\n", path.c_str());
    }
    return failures == 0 ? 0 : 1;
}
