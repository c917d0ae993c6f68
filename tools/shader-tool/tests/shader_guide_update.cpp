// shader_guide: writes the generated parts of docs/shader-xml.md afresh from
// the program's tables and probes. Run it from the project root after a
// deliberate change, review the difference, and commit it with the change.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "engine/safewrite/safe_write_file.h"
#include "tools/shader-tool/tests/shader_guide.h"

int main() {
    std::string committed;
    {
        std::ifstream file(ShaderGuide::kGuidePath, std::ios::binary);
        if (!file) {
            fprintf(stderr, "%s cannot be read (run from the project root)\n", ShaderGuide::kGuidePath);
            return 1;
        }
        std::stringstream text;
        text << file.rdbuf();
        committed = text.str();
    }
    std::vector<ShaderGuide::Block> blocks;
    std::string problems;
    ShaderGuide::GenerateGuideBlocks(&blocks, &problems);
    std::string generated = ShaderGuide::FillGuide(committed, blocks, &problems);
    if (!problems.empty()) {
        fprintf(stderr, "%s was not written:\n%s", ShaderGuide::kGuidePath, problems.c_str());
        return 1;
    }
    if (generated == committed) {
        printf("%s is up to date\n", ShaderGuide::kGuidePath);
        return 0;
    }
    // The guide is replaced whole or not at all.
    char reason[256] = "";
    zk_safe_write_t file = {};
    if (!ZKI_BeginSafeWrite(&file, ShaderGuide::kGuidePath, reason, sizeof reason) ||
        !ZKI_WriteSafely(&file, generated.data(), generated.size(), reason, sizeof reason) ||
        !ZKI_CommitSafeWrite(&file, reason, sizeof reason)) {
        ZKI_AbandonSafeWrite(&file);
        fprintf(stderr, "%s cannot be written: %s\n", ShaderGuide::kGuidePath, reason);
        return 1;
    }
    printf("%s written\n", ShaderGuide::kGuidePath);
    return 0;
}
