#include "shadertool/translate/tests/snippet_support.h"

#include <gtest/gtest.h>

#include <cctype>
#include <memory>

#include "shadertool/frontend/parser.h"
#include "shadertool/translate/output_paths.h"
#include "shadertool/translate/reserved_names.h"
#include "shadertool/translate/translator_factory.h"

namespace ShaderTool {
namespace testing {

Type Const(Type type) {
    type.qualifier = QUALIFIER_CONST;
    return type;
}

ShaderInfo MakeSnippetInfo(unsigned int version) {
    ShaderInfo info;
    info.version = version;
    info.targets = ALL_TARGETS;
    ShaderVertexInputVariable input;
    input.id = "position";
    input.semantic = INPUT_POSITION;
    input.type = Const(Type::Vector(TYPE_FLOAT, 4));
    info.vertex_input.InsertLast(input);
    input.id = "bones";
    input.semantic = INPUT_4_BONE_INDICES;
    input.type = Const(Type::Vector(TYPE_INT, 4));
    info.vertex_input.InsertLast(input);
    ShaderVertexOutputVariable output;
    output.id = "screen";
    output.type = Type::Vector(TYPE_FLOAT, 4);
    output.semantic = OUTPUT_POSITION;
    info.vertex_output.InsertLast(output);
    output.id = "uv";
    output.type = Type::Vector(TYPE_FLOAT, 2);
    output.semantic = OUTPUT_TEXTURE_COORDINATE;
    info.vertex_output.InsertLast(output);
    ShaderPixelOutputVariable color;
    color.id = "color";
    info.pixel_output.InsertLast(color);
    return info;
}

void AddTexture(ShaderInfo* info, const char* id, TextureKind kind) {
    ShaderTextureVariable texture;
    texture.id = id;
    texture.type = Type::Texture(kind);
    info->pixel_textures.InsertLast(texture);
}

Outcome TranslateSnippet(const ShaderInfo& info, int target, int level, ShaderType stage, const std::string& source) {
    ShaderSource snippet;
    snippet.file = "snippet.zksl";
    snippet.code = source.c_str();
    snippet.type = stage;
    Log log;
    Parser parser(log);
    Outcome outcome;
    outcome.parsed = parser.Parse(info, snippet);
    if (outcome.parsed) {
        std::unique_ptr<Translator> translator(CreateTranslator(ShaderTarget(target), log));
        outcome.translated = translator->Translate(info, ShaderTarget(target), level, stage, parser.GetRoot());
        if (outcome.translated) outcome.text = translator->GetOutput().c_str();
    }
    outcome.log = log.GetText();
    return outcome;
}

void CheckOutcome(const Snippet& c, int target, const Outcome& outcome, ReferenceCompiler compiles) {
    std::string where = std::string(c.label) + " / " + GetTargetName(target);
    ASSERT_TRUE(outcome.parsed) << where << "\n" << outcome.log;
    if (c.error) {
        EXPECT_FALSE(outcome.translated) << where;
        EXPECT_EQ(outcome.log, c.expected) << where;
        return;
    }
    ASSERT_TRUE(outcome.translated) << where << "\n" << outcome.log;
    EXPECT_NE(outcome.text.find(c.expected), std::string::npos) << where << "\n--- text:\n" << outcome.text;
    if (!compiles) return;
    std::string messages;
    EXPECT_TRUE(compiles(target, c.stage, outcome.text.c_str(), &messages))
        << where << "\n--- text:\n" << outcome.text << "--- glslangValidator:\n" << messages;
}

int Occurrences(const std::string& text, const char* piece) {
    int count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++count;
    return count;
}

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    for (size_t at = 0; at < text.size();) {
        char c = text[at];
        if (!isalnum(static_cast<unsigned char>(c)) && c != '_') {
            ++at;
            continue;
        }
        size_t end = at;
        while (end < text.size() && (isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_' ||
                                     (isdigit(static_cast<unsigned char>(c)) && text[end] == '.')))
            ++end;
        words.push_back(text.substr(at, end - at));
        at = end;
    }
    return words;
}

void CheckOwnNamesAreRefused(int target, const std::set<std::string>& names, const std::vector<const char*>& reached) {
    for (const char* name : reached) EXPECT_EQ(names.count(name), 1u) << GetTargetName(target) << ": " << name;
    for (const std::string& name : names)
        EXPECT_TRUE(IsReservedName(target, name.c_str())) << GetTargetName(target) << ": " << name;
}

}  // namespace testing
}  // namespace ShaderTool
