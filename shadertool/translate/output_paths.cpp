#include "shadertool/translate/output_paths.h"

namespace ShaderTool {

const char* GetTargetName(int target) {
    const char* name = GetShaderTargetName(GetShaderTargetIndex(target));
    return name ? name : "";
}

const char* GetStageName(int stage) {
    if (stage == 0) return "vertex";
    if (stage == 1) return "pixel";
    return "";
}

const char* GetLevelName(int level) {
    for (const LevelDescription& entry : kLevels)
        if (entry.bit == level) return entry.name;
    return "";
}

// The suffix is the level's name from its "_" on.
const char* GetLevelSuffix(int level) {
    const char* name = GetLevelName(level);
    const char* underscore = name;
    while (*underscore && *underscore != '_') ++underscore;
    return underscore;
}

nString GetOutputFilePath(const char* output_directory, int target, const char* subdirectory, const char* base_path,
                          int level, int stage) {
    return nString::Format("%s%s/%s%s%s.%s", output_directory ? output_directory : "", GetTargetName(target),
                           subdirectory ? subdirectory : "", base_path ? base_path : "", GetLevelSuffix(level),
                           GetStageName(stage));
}

}  // namespace ShaderTool
