// The generated parts of the shader author's guide, docs/shader-xml.md.
//
// The guide's lists are not written by hand. Each stands in the guide
// between the lines "<!-- generated: NAME -->" and "<!-- end generated -->",
// and what stands between them is what GenerateGuideBlocks writes now:
// - from the program's own tables: the Shader XML reader's words, the ZKSL
//   keywords and types, the built-in function table, the targets, the
//   preprocessor's predefined names;
// - from probes: small Shader XMLs that the translator driver translates
//   for each target, whose results and messages fill the tables of what
//   each target takes and of the messages an author meets.
// What the lists say of each row (what a semantic is for, what a built-in
// does) and the probes themselves are the guide's own text, kept in
// shader_guide_text.cpp. A row of a table without a description, or a
// description of no row, is a problem, so a word added to or removed from a
// table cannot go past the guide unnoticed.
//
// The test shader_guide_tests fails when the committed guide differs from
// what is generated now; the program shader_guide writes the guide afresh.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace ShaderGuide {

// What one row of a described table says, by the row's key.
struct Description {
    const char* key;
    const char* text;
};

// A Shader XML made for a probe: every part has a default that makes a
// complete file (position, colour and texture coordinate 0 in, position
// and uv out, one pixel output, both stages' code), and each setter
// replaces one part. In every part, "$" stands for the probe's shown text.
class Probe {
public:
    Probe& WithoutInfo();
    Probe& Info(const char* nodes);             // the nodes of "info"
    Probe& Constants(const char* nodes);        // the nodes of "constants"
    Probe& VertexInput(const char* nodes);
    Probe& VertexConstants(const char* nodes);
    Probe& VertexOutput(const char* nodes);
    Probe& PixelConstants(const char* nodes);
    Probe& PixelTextures(const char* nodes);
    Probe& PixelOutput(const char* nodes);
    Probe& VertexCode(const char* code);
    Probe& PixelCode(const char* code);
    // A further array after the others (one the reader may not know).
    Probe& ExtraArray(const char* name, const char* nodes);
    // A file beside the Shader XML, for the code to include.
    Probe& File(const char* name, const char* text);

    // The files beside the Shader XML, by name.
    const std::vector<std::pair<std::string, std::string>>& Files() const { return files; }

    // The file, with "$" replaced by `shown`.
    std::string Xml(const std::string& shown) const;

private:
    bool info = true;
    std::string info_nodes = "<node id=\"version\" value=\"2\"/><node id=\"revision\" value=\"3\"/>";
    std::string constants;
    std::string vertex_input = "<node id=\"position\" semantic=\"POSITION\"/><node id=\"color\" semantic=\"COLOR\"/>"
                               "<node id=\"uv\" semantic=\"TEXTURE_COORDINATE_0\"/>";
    std::string vertex_constants;
    std::string vertex_output =
        "<node id=\"position\" type=\"FLOAT4\" semantic=\"POSITION\"/>"
        "<node id=\"uv\" type=\"FLOAT2\" semantic=\"TEXTURE_COORDINATE\"/>";
    std::string pixel_constants;
    std::string pixel_textures;
    std::string pixel_output = "<node id=\"color\"/>";
    std::string vertex_code = "void main()\n{\n    output.position = input.position;\n    output.uv = input.uv;\n}\n";
    std::string pixel_code = "void main()\n{\n    output.color = float4(input.uv, 0.0, 1.0);\n}\n";
    std::string arrays;
    std::vector<std::pair<std::string, std::string>> files;
};

// A row of the table of what each target takes: the feature in the guide's
// words, the code or XML that shows it, and the probe that uses it.
struct TargetFeature {
    const char* feature;
    const char* shown;
    Probe probe;
};

// A row of the table of messages: what was written (shown, and used by the
// probe; shown as code unless it stands in parentheses), the targets it is
// translated for (0: all), and what the message means. The message itself
// is the one the probe gets.
struct MessageExample {
    const char* shown;
    int targets;
    const char* meaning;
    Probe probe;
};

// The guide's text, by table (shader_guide_text.cpp).
struct GuideText {
    std::vector<Description> arrays;                // by array name
    std::vector<Description> info_entries;          // by entry
    std::vector<Description> targets;               // by target name
    std::vector<Description> vertex_inputs;         // by semantic
    std::vector<Description> vertex_formats;        // by format mask, in decimal
    std::vector<Description> constant_semantics;    // by semantic
    std::vector<Description> vertex_outputs;        // by semantic
    std::vector<Description> texture_types;         // by word
    std::vector<Description> address_modes;         // by word
    std::vector<Description> filter_modes;          // by word
    std::vector<Description> source_types;          // by word
    std::vector<Description> built_ins;             // by function name
    std::vector<Description> predefined_names;      // by name
    std::vector<Description> directives;            // by directive word
    std::vector<TargetFeature> target_features;
    std::vector<MessageExample> messages;
};

const GuideText& GetGuideText();

struct Block {
    std::string name;
    std::string text;  // whole lines, each ending in a line feed
};

// Every generated part, in the guide's order. False, with what went wrong
// in `problems`, when a table and its descriptions disagree or a probe did
// not behave as its row says (a feature no target takes, a message example
// that gives no message).
bool GenerateGuideBlocks(std::vector<Block>* blocks, std::string* problems);

// The document with the text between each pair of markers replaced by the
// block of that name. Problems: a marker pair whose block does not exist, a
// block that has no marker pair, a begin marker without its end.
std::string FillGuide(const std::string& document, const std::vector<Block>& blocks, std::string* problems);

// Where the guide lives, from the project root.
constexpr const char* kGuidePath = "docs/shader-xml.md";

}  // namespace ShaderGuide
