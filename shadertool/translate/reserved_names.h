// The names each target's text cannot take: its language's keywords,
// reserved words and type names, and the names the translation itself
// writes. ZKSL takes them as ordinary names, so each translator refuses
// them ("identifier '%s' is not supported."). One row per target, as data,
// which the translators ask and the shader author's guide lists.
//
// The translation writes the Shader XML's values under prefixed names
// (_const_tint, _tex_image, ...) whose ids cannot begin with "_". A name of
// the source that begins with such a prefix would be written as it stands
// and could take the place of one of them ("float4x4 _const_m =
// constants.m;" reading itself), so every prefix a family writes is
// refused.
#pragma once

#include "shadertool/frontend/targets.h"

namespace ShaderTool {

struct ReservedNames {
    ShaderTarget target;
    // Word lists, each ending in a null entry: a name equal to a word is
    // refused. A list may stand in the rows of several targets.
    const char* const* word_lists[2];
    // Scalar type names whose sized forms are refused: the scalar, a size
    // from 1 to 4 ("half4"), and for a matrix "x" and another ("float2x3").
    // Null for none.
    const char* const* sized_scalar_types;
    // A name that begins with one of `prefixes` (a list ending in a null
    // entry), or holds `infix`, is refused; null for none.
    const char* const* prefixes;
    const char* infix;
};

// The names of the helper functions a translation writes begin with this
// (_assign_mul_float4_float4x4); every row refuses it as a prefix.
extern const char kHelperFunctionPrefix[];

// One row per target, in target order.
extern const ReservedNames kReservedNames[kTargetCount];

// The row of a single target bit; null for anything else.
const ReservedNames* GetReservedNames(int target);

// Whether the target's text cannot take the name; false for anything that
// is not a single target bit.
bool IsReservedName(int target, const char* name);

}  // namespace ShaderTool
