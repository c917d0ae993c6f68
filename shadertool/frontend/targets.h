// The translation targets, their families and the compile levels as
// enumerations and tables, all expanded from targets.def.
#pragma once

namespace ShaderTool {

namespace target_rows {
// The row of each target and level in its list.
enum TargetRow : int {
#define ZK_TARGET(id, ...) id,
#include "shadertool/frontend/targets.def"
    kTargetRowCount
};
enum LevelRow : int {
#define ZK_LEVEL(id, name) id,
#include "shadertool/frontend/targets.def"
    kLevelRowCount
};
}  // namespace target_rows

constexpr int kTargetCount = target_rows::kTargetRowCount;
constexpr int kLevelCount = target_rows::kLevelRowCount;

enum TargetFamily : int {
#define ZK_TARGET_FAMILY(id, ...) FAMILY_##id,
#include "shadertool/frontend/targets.def"
};

constexpr TargetFamily kFamilyOfTarget[kTargetCount] = {
#define ZK_TARGET(id, name, family, ...) FAMILY_##family,
#include "shadertool/frontend/targets.def"
};

// The mask of a family's targets.
constexpr int GetFamilyTargets(TargetFamily family) {
    int mask = 0;
    for (int i = 0; i < kTargetCount; ++i)
        if (kFamilyOfTarget[i] == family) mask |= 1 << i;
    return mask;
}

// Target bit flags; the index of a target in per-target tables is its bit
// position, 0 (ESSL20) to 6 (PSSL).
enum ShaderTarget : int {
#define ZK_TARGET(id, ...) id = 1 << target_rows::id,
#include "shadertool/frontend/targets.def"
    ESSL = GetFamilyTargets(FAMILY_ESSL),
    GLSL = GetFamilyTargets(FAMILY_GLSL),
    HLSL = GetFamilyTargets(FAMILY_HLSL),
    ALL_TARGETS = (1 << kTargetCount) - 1,
};

// Compile levels of the targets with levels.
enum ShaderLevel : int {
    LEVEL_NONE = 0,
#define ZK_LEVEL(id, name) id = 1 << target_rows::id,
#include "shadertool/frontend/targets.def"
    ALL_LEVELS = (1 << kLevelCount) - 1,
};

struct TargetDescription {
    ShaderTarget bit;
    const char* name;
    TargetFamily family;
    bool binary;
    bool levels;
    bool multiple_pixel_outputs;
    bool textures_3d;
};

inline constexpr TargetDescription kTargets[kTargetCount] = {
#define ZK_TARGET(id, name, family, binary, levels, multiple_pixel_outputs, textures_3d) \
    {id, name, FAMILY_##family, binary, levels, multiple_pixel_outputs, textures_3d},
#include "shadertool/frontend/targets.def"
};

struct TargetFamilyDescription {
    const char* name;
    int compiler;
    bool v_points_up;
};

inline constexpr TargetFamilyDescription kTargetFamilies[] = {
#define ZK_TARGET_FAMILY(id, name, compiler, v_points_up) {name, compiler, v_points_up},
#include "shadertool/frontend/targets.def"
};
constexpr int kTargetFamilyCount = sizeof kTargetFamilies / sizeof kTargetFamilies[0];

struct LevelDescription {
    ShaderLevel bit;
    const char* name;
};

inline constexpr LevelDescription kLevels[kLevelCount] = {
#define ZK_LEVEL(id, name) {id, name},
#include "shadertool/frontend/targets.def"
};

// The row of a single target bit; null for anything else.
const TargetDescription* FindTarget(int target);

}  // namespace ShaderTool
