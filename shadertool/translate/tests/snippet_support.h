// What the snippet tests of the two translator families share: ZKSL
// sources of a few lines, translated for one target and stage against a
// Shader XML description made in code, and each outcome held to what its
// case expects (a piece of the text, which a reference compiler must also
// take, or the whole log of a refusal).
#pragma once

#include <set>
#include <string>
#include <vector>

#include "shadertool/frontend/shader_info.h"

namespace ShaderTool {
namespace testing {

Type Const(Type type);

// Vertex inputs position (POSITION) and bones (int4 bone indices), vertex
// outputs screen (POSITION, deliberately not named like the input) and uv
// (TEXCOORD), and pixel output color; each family's tests add their own
// outputs, constants and textures.
ShaderInfo MakeSnippetInfo(unsigned int version);
void AddTexture(ShaderInfo* info, const char* id, TextureKind kind);

struct Outcome {
    bool parsed = false;
    bool translated = false;
    std::string text;
    std::string log;
};

// `source`, a whole stage, parsed as "snippet.zksl" and translated.
Outcome TranslateSnippet(const ShaderInfo& info, int target, int level, ShaderType stage, const std::string& source);

struct Snippet {
    const char* label;
    int targets;
    ShaderType stage;
    const char* code;
    // A piece of the translated text, or the whole log when `error` is set.
    const char* expected;
    bool error = false;
};

// A reference compiler: true when it takes the text; `messages` gets what
// it said.
typedef bool (*ReferenceCompiler)(int target, ShaderType stage, const char* text, std::string* messages);

// The outcome of the case on the target, as the case expects it; a text
// that translates is also given to `compiles`, unless that is null.
void CheckOutcome(const Snippet& c, int target, const Outcome& outcome, ReferenceCompiler compiles);

// How often `piece` occurs in `text`.
int Occurrences(const std::string& text, const char* piece);

// The names and numbers of a text, in order; a number keeps its decimal
// point ("1.0f" is one word).
std::vector<std::string> Words(const std::string& text);

// Each name of `reached` is among the names a target's texts wrote of
// their own, and the target refuses every one of them in a source.
void CheckOwnNamesAreRefused(int target, const std::set<std::string>& names, const std::vector<const char*>& reached);

}  // namespace testing
}  // namespace ShaderTool
