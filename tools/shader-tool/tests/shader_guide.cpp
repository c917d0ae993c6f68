#include "tools/shader-tool/tests/shader_guide.h"

#include <stdlib.h>
#include <strings.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <map>
#include <set>
#include <sstream>

#include "shadertool/builtins/builtin_tables.h"
#include "shadertool/frontend/preprocessor.h"
#include "shadertool/frontend/preprocessor_tokenizer.h"
#include "shadertool/frontend/shader_info.h"
#include "shadertool/frontend/tokenizer.h"
#include "shadertool/shader_xml/shader_reader.h"
#include "shadertool/shader_xml/shader_xml_words.h"
#include "shadertool/translate/reserved_names.h"
#include "shadertool/translate/tests/driver_test_support.h"
#include "shadertool/translate/translator_driver.h"

namespace ShaderGuide {

using namespace ShaderTool;

// ---------------------------------------------------------------------------
// Probes

Probe& Probe::WithoutInfo() {
    info = false;
    return *this;
}
Probe& Probe::Info(const char* nodes) {
    info_nodes = nodes;
    return *this;
}
Probe& Probe::Constants(const char* nodes) {
    constants = nodes;
    return *this;
}
Probe& Probe::VertexInput(const char* nodes) {
    vertex_input = nodes;
    return *this;
}
Probe& Probe::VertexConstants(const char* nodes) {
    vertex_constants = nodes;
    return *this;
}
Probe& Probe::VertexOutput(const char* nodes) {
    vertex_output = nodes;
    return *this;
}
Probe& Probe::PixelConstants(const char* nodes) {
    pixel_constants = nodes;
    return *this;
}
Probe& Probe::PixelTextures(const char* nodes) {
    pixel_textures = nodes;
    return *this;
}
Probe& Probe::PixelOutput(const char* nodes) {
    pixel_output = nodes;
    return *this;
}
Probe& Probe::VertexCode(const char* code) {
    vertex_code = code;
    return *this;
}
Probe& Probe::PixelCode(const char* code) {
    pixel_code = code;
    return *this;
}
Probe& Probe::ExtraArray(const char* name, const char* nodes) {
    arrays += std::string("  <array id=\"") + name + "\">" + nodes + "</array>\n";
    return *this;
}
Probe& Probe::File(const char* name, const char* text) {
    files.push_back({name, text});
    return *this;
}

namespace {

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string Array(const char* name, const std::string& nodes) {
    return std::string("  <array id=\"") + name + "\">" + nodes + "</array>\n";
}

}  // namespace

std::string Probe::Xml(const std::string& shown) const {
    std::string xml = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n<root>\n";
    if (info)
        xml += Array("info", info_nodes);
    if (!constants.empty()) xml += Array("constants", constants);
    xml += Array("vertex_input", vertex_input);
    if (!vertex_constants.empty()) xml += Array("vertex_constants", vertex_constants);
    xml += Array("vertex_output", vertex_output);
    if (!pixel_constants.empty()) xml += Array("pixel_constants", pixel_constants);
    if (!pixel_textures.empty()) xml += Array("pixel_textures", pixel_textures);
    xml += Array("pixel_output", pixel_output);
    xml += arrays;
    xml += "  <array id=\"sources\">\n    <node type=\"vertex\"><![CDATA[\n" + vertex_code +
           "]]></node>\n    <node type=\"pixel\"><![CDATA[\n" + pixel_code + "]]></node>\n  </array>\n</root>\n";
    return ReplaceAll(xml, "$", shown);
}

namespace {

// ---------------------------------------------------------------------------
// Markdown

// A table cell: "|" would end the cell.
std::string Cell(const std::string& text) { return ReplaceAll(text, "|", "\\|"); }

std::string Code(const std::string& text) { return "`" + text + "`"; }

std::string Row(const std::vector<std::string>& cells) {
    std::string row = "|";
    for (const std::string& cell : cells) row += " " + Cell(cell) + " |";
    return row + "\n";
}

std::string Header(const std::vector<std::string>& cells) {
    std::string rule = "|";
    for (size_t i = 0; i < cells.size(); ++i) rule += "---|";
    return Row(cells) + rule + "\n";
}

std::string Join(const std::vector<std::string>& items, const char* separator) {
    std::string joined;
    for (size_t i = 0; i < items.size(); ++i) joined += (i ? separator : "") + items[i];
    return joined;
}

// "`a`, `b`, `c`".
std::string CodeList(const std::vector<std::string>& items) {
    std::vector<std::string> coded;
    for (const std::string& item : items) coded.push_back(Code(item));
    return Join(coded, ", ");
}

// The names of the targets in a mask, in target order.
std::vector<std::string> TargetNames(int mask) {
    std::vector<std::string> names;
    for (const TargetDescription& target : kTargets)
        if (mask & target.bit) names.push_back(target.name);
    return names;
}

// "all", or the targets of the mask.
std::string TargetList(int mask) {
    if (mask == ALL_TARGETS) return "all";
    if (mask == 0) return "none";
    return Join(TargetNames(mask), ", ");
}

std::string YesNo(bool yes) { return yes ? "yes" : "no"; }

// ---------------------------------------------------------------------------
// Descriptions: each row of a table asks for its description once; what a
// table has no description for, and what is described but never asked for,
// are problems.

class Describer {
public:
    Describer(const char* what, const std::vector<Description>& rows, std::string* problems)
        : what(what), problems(problems) {
        for (const Description& row : rows) {
            if (!texts.emplace(row.key, row.text).second)
                *problems += std::string("the guide describes the ") + what + " '" + row.key + "' twice\n";
            order.push_back(row.key);
        }
    }
    std::string Of(const std::string& key) {
        asked.insert(key);
        auto found = texts.find(key);
        if (found != texts.end()) return found->second;
        *problems += std::string("the guide has no description of the ") + what + " '" + key +
                     "' (tools/shader-tool/tests/shader_guide_text.cpp)\n";
        return "";
    }
    // After the last row: what was described but never asked for.
    void Finish() {
        for (const std::string& key : order)
            if (!asked.count(key))
                *problems += std::string("the guide describes the ") + what + " '" + key +
                             "', which the program does not have\n";
    }

private:
    const char* what;
    std::string* problems;
    std::map<std::string, std::string> texts;
    std::vector<std::string> order;
    std::set<std::string> asked;
};

// ---------------------------------------------------------------------------
// The probe runner: each probe is written into a folder of its own and
// translated by the driver as the shader tool translates a file, without
// writing any output.

struct ProbeResult {
    bool translated = false;  // translated, and not skipped
    std::string message;      // the first error, or what a skip says
    std::string log;          // the whole log
};

std::string FirstMessage(const std::string& log) {
    std::istringstream lines(log);
    std::string line;
    std::string previous;
    while (std::getline(lines, line)) {
        if (line.rfind("Error: ", 0) == 0) return line.substr(7);
        size_t located = line.find(") error: ");
        if (located != std::string::npos) return line.substr(located + 9);
        if (line == "Translation SKIPPED") return previous;
        if (!line.empty()) previous = line;
    }
    return "";
}

class ProbeRunner {
public:
    ProbeRunner() {
        testing::SetUpEngineForDriverTests();
        char pattern[] = "/tmp/zk-shader-guide-XXXXXX";
        if (mkdtemp(pattern)) directory = std::string(pattern) + "/";
    }
    ~ProbeRunner() {
        if (!directory.empty()) std::filesystem::remove_all(directory);
    }
    bool Ready() const { return !directory.empty(); }

    ProbeResult Translate(const std::string& xml, int targets,
                          const std::vector<std::pair<std::string, std::string>>& files = {}) {
        std::string path = Put("probe" + std::to_string(++count) + ".xml", xml);
        for (const auto& beside : files) Put(beside.first, beside.second);
        ProbeResult result;
        {
            TranslatorDriver driver;
            driver.Initialize(targets, nString(""), false);
            TranslatorDriver::Options options = testing::DefaultToolOptions(directory, targets);
            bool translated = driver.Translate(nString(path.c_str()), options, true);
            std::string log = driver.GetMasterLog().GetText();
            result.translated = translated && log.find("Translation SKIPPED") == std::string::npos;
            result.message = FirstMessage(log);
            result.log = log;
        }
        testing::ReleaseReadDatabases();
        std::filesystem::remove(path);
        for (const auto& beside : files) std::filesystem::remove(directory + beside.first);
        return result;
    }

    // The text the file translates to for one target and stage; empty when
    // it does not translate.
    std::string Text(const std::string& xml, const TargetDescription& target, const char* stage) {
        std::string name = "text" + std::to_string(++count);
        std::string path = Put(name + ".xml", xml);
        std::string output = directory + "out/";
        std::string text;
        {
            TranslatorDriver driver;
            driver.Initialize(target.bit, nString(output.c_str()), false);
            TranslatorDriver::Options options = testing::DefaultToolOptions(directory, target.bit);
            // The tool makes the target's folder before it translates.
            std::filesystem::create_directories(output + target.name);
            if (driver.Translate(nString(path.c_str()), options, true))
                testing::ReadWholeFile(output + target.name + "/" + name + "." + stage, &text);
        }
        testing::ReleaseReadDatabases();
        std::filesystem::remove(path);
        std::filesystem::remove_all(output);
        return text;
    }

    // The targets that translate the file, each tried on its own.
    int TargetsTaking(const std::string& xml) {
        int taking = 0;
        for (const TargetDescription& target : kTargets)
            if (Translate(xml, target.bit).translated) taking |= target.bit;
        return taking;
    }

private:
    // The file in the probes' folder; its path.
    std::string Put(const std::string& name, const std::string& text) {
        std::ofstream file(directory + name, std::ios::binary);
        file << text;
        return directory + name;
    }

    std::string directory;
    int count = 0;
};

// ---------------------------------------------------------------------------
// Types by their short names, as the built-in tables write them.

std::string LongTypeName(const std::string& short_name) {
    static const std::map<std::string, std::string> names = {
        {"b", "bool"},         {"i", "int"},          {"f", "float"},        {"f2", "float2"},
        {"f3", "float3"},      {"f4", "float4"},      {"i2", "int2"},        {"i3", "int3"},
        {"i4", "int4"},        {"f2x2", "float2x2"},  {"f3x3", "float3x3"},  {"f4x4", "float4x4"},
        {"t2", "Texture2D"},   {"t3", "Texture3D"},   {"tC", "TextureCube"}, {"void", "void"},
    };
    auto found = names.find(short_name);
    return found != names.end() ? found->second : short_name;
}

// "2*f2,f" gives {"f2", "f2", "f"}.
std::vector<std::string> ExpandParameters(const std::string& text) {
    std::vector<std::string> parameters;
    std::istringstream items(text);
    std::string item;
    while (std::getline(items, item, ',')) {
        size_t star = item.find('*');
        if (star == std::string::npos) {
            parameters.push_back(item);
            continue;
        }
        int repeat = std::atoi(item.substr(0, star).c_str());
        for (int i = 0; i < repeat; ++i) parameters.push_back(item.substr(star + 1));
    }
    return parameters;
}

// Parameters as ZKSL writes them; a run of more than four equal ones is
// written "16 × float".
std::string ParameterList(const std::vector<std::string>& parameters) {
    std::vector<std::string> written;
    for (size_t i = 0; i < parameters.size();) {
        size_t run = 1;
        while (i + run < parameters.size() && parameters[i + run] == parameters[i]) ++run;
        if (run > 4) {
            written.push_back(std::to_string(run) + " × " + LongTypeName(parameters[i]));
        } else {
            for (size_t k = 0; k < run; ++k) written.push_back(LongTypeName(parameters[i]));
        }
        i += run;
    }
    return Join(written, ", ");
}

// The types a line of overloads may write as T: the scalars, vectors and
// matrices (not the textures).
bool MayBeWrittenAsT(const std::string& type) {
    static const std::set<std::string> types = {"b",  "f",  "f2", "f3",   "f4",   "i",
                                                "i2", "i3", "i4", "f2x2", "f3x3", "f4x4"};
    return types.count(type) != 0;
}

struct Overload {
    std::string result;
    std::vector<std::string> parameters;
};

// Overloads in short: T is the first parameter type that may be written so;
// overloads that are alike but for T make one line "T f(T, T)" with the
// list of T, the others are written out. The result is written as T, or
// not, whichever makes fewer lines.
std::vector<std::string> ShortOverloads(const std::string& name, const std::vector<Overload>& overloads,
                                        bool constructor) {
    std::vector<std::string> best;
    for (int with_result = constructor ? 0 : 1; with_result >= 0; --with_result) {
        std::vector<std::string> templates;
        std::map<std::string, std::vector<std::string>> kinds;
        std::map<std::string, std::string> concrete;
        for (const Overload& overload : overloads) {
            std::string t;
            for (const std::string& parameter : overload.parameters)
                if (MayBeWrittenAsT(parameter)) {
                    t = parameter;
                    break;
                }
            std::vector<std::string> parameters;
            for (const std::string& parameter : overload.parameters)
                parameters.push_back(!t.empty() && parameter == t ? "T" : parameter);
            std::string result = with_result && !t.empty() && overload.result == t ? "T" : LongTypeName(overload.result);
            std::string line = (constructor ? "" : result + " ") + name + "(" + ParameterList(parameters) + ")";
            std::string written = (constructor ? "" : LongTypeName(overload.result) + " ") + name + "(" +
                                  ParameterList(overload.parameters) + ")";
            if (!kinds.count(line)) templates.push_back(line);
            kinds[line].push_back(LongTypeName(t));
            concrete[line] = written;
        }
        std::vector<std::string> lines;
        for (const std::string& line : templates) {
            const std::vector<std::string>& ts = kinds[line];
            if (ts.size() == 1)
                lines.push_back(Code(concrete[line]));
            else
                lines.push_back(Code(line) + " for T = " + Join(ts, ", "));
        }
        if (best.empty() || lines.size() < best.size()) best = lines;
    }
    return best;
}

// An argument of the short type for a probe call.
std::string ProbeArgument(const std::string& type) {
    if (type == "b") return "true";
    if (type == "i") return "1";
    if (type == "f") return "0.5";
    if (type == "t2") return "texture.probe_2d";
    if (type == "t3") return "texture.probe_3d";
    if (type == "tC") return "texture.probe_cube";
    std::string long_name = LongTypeName(type);
    bool integer = type[0] == 'i';
    int count = type.size() == 2 ? type[1] - '0' : (type[1] - '0') * (type[1] - '0');
    std::vector<std::string> components;
    for (int i = 0; i < count; ++i) components.push_back(integer ? "1" : "0.5");
    return long_name + "(" + Join(components, ", ") + ")";
}

// ---------------------------------------------------------------------------
// The blocks

class Generator {
public:
    Generator(std::vector<Block>* blocks, std::string* problems)
        : text(GetGuideText()),
          blocks(blocks),
          problems(problems),
          predefined("predefined name", text.predefined_names, problems) {}

    bool Run() {
        if (!runner.Ready()) {
            *problems += "cannot make a temporary folder for the probes\n";
            return false;
        }
        Add("arrays", Arrays());
        Add("info-entries", InfoEntries());
        Add("feature-levels", FeatureLevels());
        Add("target-words", TargetWords());
        Add("vertex-inputs", VertexInputs());
        Add("vertex-formats", VertexFormats());
        Add("types", Types());
        Add("constant-semantics", Words("constant semantic", text.constant_semantics, kConstantSemantics,
                                        kConstantSemanticCount, {"`semantic`", "filled with"}));
        Add("vertex-outputs", Words("vertex output semantic", text.vertex_outputs, kVertexOutputSemantics,
                                    kVertexOutputSemanticCount, {"`semantic`", "what it is"}));
        Add("texture-types", TextureTypes());
        Add("address-modes", Words("address mode", text.address_modes, kAddressModes, kAddressModeCount,
                                   {"`address_u`, `address_v`, `address_w`", "outside 0 to 1"}));
        Add("filter-modes", Words("filter mode", text.filter_modes, kFilterModes, kFilterModeCount,
                                  {"`filter_mag`, `filter_min`, `filter_mip`", "sampling"}));
        Add("source-types", Words("source type", text.source_types, kShaderTypes, kShaderTypeCount,
                                  {"`type`", "the code of"}));
        Add("targets", Targets());
        Add("zksl-types", ZKSLWords(Token::TK_BOOL, Token::TK_VOID));
        Add("zksl-keywords", ZKSLWords(Token::TK_BREAK, Token::TK_WHILE));
        Add("reserved-words", ZKSLWords(Token::TK_RESERVED, Token::TK_RESERVED));
        Add("directives", Directives());
        Add("predefined-per-target", PredefinedPerTarget());
        Add("predefined-names", PredefinedNames());
        Add("built-in-functions", BuiltInFunctions());
        Add("constructors", Constructors());
        Add("target-features", TargetFeatures());
        Add("refused-names", RefusedNames());
        Add("precision", Precision());
        Add("remainder", Remainder());
        Add("special-inputs", SpecialInputs());
        Add("messages", Messages());
        return problems->empty();
    }

private:
    void Add(const char* name, const std::string& block) { blocks->push_back({name, block}); }

    std::string Arrays() {
        Describer describe("array", text.arrays, problems);
        std::string table = Header({"array", "required", "at most", "its nodes"});
        for (int i = 0; i < SHADER_XML_ARRAY_COUNT; ++i) {
            const ShaderXMLArrayDescription& array = kShaderXMLArrays[i];
            std::string limit;
            if (i == ARRAY_VERTEX_INPUT) limit = std::to_string(ShaderReader::kMaximumVertexInputs);
            if (i == ARRAY_PIXEL_TEXTURES) limit = std::to_string(ShaderReader::kMaximumPixelTextures);
            table += Row({Code(array.name), array.required ? "yes" : "", limit, describe.Of(array.name)});
        }
        describe.Finish();
        return table;
    }

    std::string InfoEntries() {
        Describer describe("info entry", text.info_entries, problems);
        std::string table = Header({"`id`", "its `value`"});
        for (int i = 0; i < SHADER_XML_INFO_ENTRY_COUNT; ++i)
            table += Row({Code(kShaderXMLInfoEntries[i]), describe.Of(kShaderXMLInfoEntries[i])});
        describe.Finish();
        return table;
    }

    std::string FeatureLevels() {
        std::string table = Header({"`feature_level`", "the file's targets"});
        for (int i = 0; i < kFeatureLevelCount; ++i)
            table += Row({Code(kFeatureLevels[i].name), TargetList(kFeatureLevels[i].value)});
        return table;
    }

    // Every word a target list takes, with the targets it stands for.
    std::string TargetWords() {
        std::vector<std::string> words;
        for (const TargetDescription& target : kTargets) words.push_back(target.name);
        for (const TargetFamilyDescription& family : kTargetFamilies) words.push_back(family.name);
        words.push_back("ALL");
        std::string table = Header({"word", "stands for"});
        std::set<std::string> seen;
        for (const std::string& word : words) {
            if (!seen.insert(word).second) continue;
            int mask = GetShaderTargetsFromString(word.c_str());
            table += Row({Code(word), mask == ALL_TARGETS ? "every target" : TargetList(mask)});
        }
        return table;
    }

    std::string VertexInputs() {
        Describer describe("vertex input semantic", text.vertex_inputs, problems);
        std::string table = Header({"`semantic`", "ZKSL type", "what it is"});
        for (int i = 0; i < kVertexInputSemanticCount; ++i) {
            const VertexInputSemanticWord& word = kVertexInputSemantics[i];
            Type type = Type::Vector(word.basic_type, word.vector_size);
            table += Row({Code(word.name), Code(GetTypeName(type, false).c_str()), describe.Of(word.name)});
        }
        describe.Finish();
        return table;
    }

    std::string VertexFormats() {
        Describer describe("vertex format", text.vertex_formats, problems);
        std::string table = Header({"the vertex inputs' semantics", "for"});
        for (int i = 0; i < kVertexFormatCount; ++i) {
            std::vector<std::string> semantics;
            for (int k = 0; k < kVertexInputSemanticCount; ++k)
                if (kVertexFormats[i] & kVertexInputSemantics[k].bit) semantics.push_back(kVertexInputSemantics[k].name);
            table += Row({CodeList(semantics), describe.Of(std::to_string(kVertexFormats[i]))});
        }
        describe.Finish();
        return table;
    }

    std::string Types() {
        std::string table = Header({"`type`", "ZKSL type", "vertex output", "vertex or pixel constant"});
        for (int i = 0; i < kVariableTypeCount; ++i) {
            const VariableTypeWord& word = kVariableTypes[i];
            Type type = GetVariableType(word.name, false, 1);
            table += Row({Code(word.name), Code(GetTypeName(type, false).c_str()), "yes",
                          YesNo(IsConstantVariableType(type))});
        }
        return table;
    }

    std::string Words(const char* what, const std::vector<Description>& descriptions, const ShaderXMLWord* words,
                      int count, const std::vector<std::string>& header) {
        Describer describe(what, descriptions, problems);
        std::string table = Header(header);
        for (int i = 0; i < count; ++i) table += Row({Code(words[i].name), describe.Of(words[i].name)});
        describe.Finish();
        return table;
    }

    // The coordinate each kind is sampled with, from the built-in table, and
    // the targets that take a texture of the kind, from a probe.
    std::string TextureTypes() {
        Describer describe("texture type", text.texture_types, problems);
        std::string table = Header({"`type`", "ZKSL coordinate", "targets", "what it is"});
        for (int i = 0; i < kTextureTypeCount; ++i) {
            std::string kind = GetTypeName(Type::Texture(static_cast<TextureKind>(kTextureTypes[i].value)), true).c_str();
            std::string coordinate;
            for (int k = 0; k < kBuiltInOverloadCount; ++k) {
                const BuiltInOverloadRow& row = kBuiltInOverloads[k];
                std::vector<std::string> parameters = ExpandParameters(row.parameters);
                if (row.id == OP_SAMPLE_TEXTURE && parameters.size() == 2 && parameters[0] == kind) {
                    coordinate = LongTypeName(parameters[1]);
                    break;
                }
            }
            std::string nodes = std::string("<node id=\"probe\" type=\"") + kTextureTypes[i].name + "\"/>";
            std::string code = "void main()\n{\n    output.color = sampleTexture(texture.probe, " +
                               ProbeArgument(coordinate == "float2" ? "f2" : "f3") + ");\n}\n";
            Probe probe;
            probe.PixelTextures(nodes.c_str()).PixelCode(code.c_str());
            int taking = runner.TargetsTaking(probe.Xml(""));
            if (taking == 0) *problems += std::string("no target takes a texture of type ") + kTextureTypes[i].name + "\n";
            table += Row({Code(kTextureTypes[i].name), Code(coordinate), TargetList(taking),
                          describe.Of(kTextureTypes[i].name)});
        }
        describe.Finish();
        return table;
    }

    std::string Targets() {
        Describer describe("target", text.targets, problems);
        std::string table = Header({"target", "family", "several pixel outputs", "3D textures", "translated text",
                                    "what it is"});
        for (const TargetDescription& target : kTargets) {
            table += Row({Code(target.name), Code(kTargetFamilies[target.family].name),
                          YesNo(target.multiple_pixel_outputs), YesNo(target.textures_3d),
                          target.binary ? "deleted unless `--keep-translations`" : "kept", describe.Of(target.name)});
        }
        describe.Finish();
        return table;
    }

    // The ZKSL words whose token types lie in [first, last], in the
    // tokenizer's order, on one line.
    std::string ZKSLWords(int first, int last) {
        const nMap<Token::Type>& map = Tokenizer::ZKSLKeywordMap();
        std::vector<std::string> words;
        for (int i = 0; i < map.Count(); ++i) {
            int type = map.EntryAt(i)->value;
            if (type >= first && type <= last) words.push_back(map.EntryAt(i)->key.c_str());
        }
        return CodeList(words) + ".\n";
    }

    std::string Directives() {
        Describer describe("directive", text.directives, problems);
        const nMap<Token::Type>& map = PreprocessorTokenizer::PreprocessorKeywordMap();
        std::string table = Header({"directive", "what it does"});
        for (int i = 0; i < map.Count(); ++i) {
            std::string word = map.EntryAt(i)->key.c_str();
            bool directive = map.EntryAt(i)->value != Token::TK_PP_DEFINED;
            table += Row({Code(directive ? "#" + word : word + "(NAME)"), describe.Of(word)});
        }
        describe.Finish();
        return table;
    }

    // The preprocessor's definitions for each target, as --ppdef lists them.
    struct Definitions {
        std::vector<std::string> names;  // in list order, repeats included
        std::vector<std::string> values;
        std::vector<bool> target_dependent;
    };

    static std::string DefinitionValue(const Definition& definition) {
        const Constant& value = definition.value;
        char number[64];
        if (value.kind == Constant::INT) {
            snprintf(number, sizeof number, "%i", value.int_value);
            return number;
        }
        if (value.kind == Constant::FLOAT) {
            snprintf(number, sizeof number, "%f", value.float_value);
            return number;
        }
        return value.string_value.text;
    }

    Definitions DefinitionsFor(int target) {
        Log log;
        Preprocessor preprocessor(log);
        ShaderInfo info;
        ShaderSource source;
        source.code = "";
        nArray<nString> none;
        preprocessor.Process(info, target, source, none, true);
        Definitions definitions;
        const nArray<Definition>& list = preprocessor.GetDefinitions();
        for (int i = 0; i < list.Count(); ++i) {
            definitions.names.push_back(list[i].name.c_str());
            definitions.values.push_back(DefinitionValue(list[i]));
            definitions.target_dependent.push_back(list[i].is_target_dependent);
        }
        return definitions;
    }

    std::string PredefinedPerTarget() {
        Describer& describe = predefined;
        std::vector<Definitions> per_target;
        std::vector<std::string> header = {"name"};
        for (const TargetDescription& target : kTargets) {
            per_target.push_back(DefinitionsFor(target.bit));
            header.push_back(target.name);
        }
        header.push_back("what it is");
        std::string table = Header(header);
        const Definitions& first = per_target[0];
        for (size_t i = 0; i < first.names.size(); ++i) {
            if (!first.target_dependent[i]) continue;
            std::vector<std::string> row = {Code(first.names[i])};
            for (const Definitions& definitions : per_target) row.push_back(Code(definitions.values[i]));
            row.push_back(describe.Of(first.names[i]));
            table += Row(row);
        }
        return table;
    }

    // The names that are the same for every target, in list order. A name
    // the list holds twice is looked up by its first definition.
    std::string PredefinedNames() {
        Describer& describe = predefined;
        Definitions definitions = DefinitionsFor(kTargets[0].bit);
        std::string table = Header({"name", "value", "what it is"});
        std::map<std::string, std::string> first_value;
        for (size_t i = 0; i < definitions.names.size(); ++i) {
            const std::string& name = definitions.names[i];
            if (definitions.target_dependent[i]) continue;  // in the table per target
            // Target names come first in the list, then family names.
            std::string meaning;
            bool repeated = first_value.count(name) != 0;
            for (const TargetDescription& target : kTargets)
                if (!repeated && name == std::string("_TARGET_") + target.name)
                    meaning = std::string("`_TARGET` is this name when translating for ") + target.name;
            for (const TargetFamilyDescription& family : kTargetFamilies)
                if (meaning.empty() && name == std::string("_TARGET_") + family.name)
                    meaning = std::string("`_TARGET_GROUP` is this name for the ") + family.name + " targets";
            if (repeated) {
                meaning += ", but the name's first definition, " + first_value[name] +
                           ", is the one every look-up finds";
            } else if (meaning.empty()) {
                meaning = describe.Of(name);
            }
            if (!repeated) first_value[name] = definitions.values[i];
            table += Row({Code(name), Code(definitions.values[i]), meaning});
        }
        describe.Finish();
        return table;
    }

    std::string BuiltInFunctions() {
        Describer describe("built-in function", text.built_ins, problems);
        std::vector<std::string> names;
        std::map<std::string, std::vector<Overload>> overloads;
        for (int i = 0; i < kBuiltInOverloadCount; ++i) {
            const BuiltInOverloadRow& row = kBuiltInOverloads[i];
            if (row.id >= OP_CONSTRUCT_BOOL) continue;
            if (!overloads.count(row.name)) names.push_back(row.name);
            overloads[row.name].push_back({row.result, ExpandParameters(row.parameters)});
        }
        std::string table = Header({"function", "overloads", "what it gives", "not on"});
        for (const std::string& name : names) {
            const std::vector<Overload>& list = overloads[name];
            int taking = runner.TargetsTaking(CallProbe(name, list[0]).Xml(""));
            if (taking == 0) *problems += "no target takes a call of the built-in function " + name + "\n";
            std::string refusing = taking == ALL_TARGETS ? "" : TargetList(ALL_TARGETS & ~taking);
            table += Row({Code(name), Join(ShortOverloads(name, list, false), "; "), describe.Of(name), refusing});
        }
        describe.Finish();
        return table;
    }

    // A pixel source that calls the function's overload, declaring the
    // textures the call samples.
    static Probe CallProbe(const std::string& name, const Overload& overload) {
        std::string textures;
        std::vector<std::string> arguments;
        for (const std::string& parameter : overload.parameters) {
            arguments.push_back(ProbeArgument(parameter));
            if (parameter == "t2") textures += "<node id=\"probe_2d\" type=\"2D\"/>";
            if (parameter == "t3") textures += "<node id=\"probe_3d\" type=\"3D\"/>";
            if (parameter == "tC") textures += "<node id=\"probe_cube\" type=\"CUBE\"/>";
        }
        std::string code = "void main()\n{\n    " + LongTypeName(overload.result) + " probe = " + name + "(" +
                           Join(arguments, ", ") + ");\n    output.color = float4(input.uv, 0.0, 1.0);\n}\n";
        Probe probe;
        if (!textures.empty()) probe.PixelTextures(textures.c_str());
        probe.PixelCode(code.c_str());
        return probe;
    }

    std::string Constructors() {
        std::vector<std::string> names;
        std::map<std::string, std::vector<Overload>> overloads;
        for (int i = 0; i < kBuiltInOverloadCount; ++i) {
            const BuiltInOverloadRow& row = kBuiltInOverloads[i];
            if (row.id < OP_CONSTRUCT_BOOL) continue;
            if (!overloads.count(row.name)) names.push_back(row.name);
            overloads[row.name].push_back({row.result, ExpandParameters(row.parameters)});
        }
        std::string table = Header({"constructor", "takes"});
        for (const std::string& name : names)
            table += Row({Code(name), Join(ShortOverloads(name, overloads[name], true), "; ")});
        return table;
    }

    std::string TargetFeatures() {
        std::vector<std::string> header = {"what the file has"};
        for (const TargetDescription& target : kTargets) header.push_back(target.name);
        std::string table = Header(header);
        for (const TargetFeature& feature : text.target_features) {
            int taking = runner.TargetsTaking(feature.probe.Xml(feature.shown));
            if (taking == 0) *problems += std::string("no target takes the feature '") + feature.feature + "'\n";
            std::vector<std::string> row = {feature.feature};
            for (const TargetDescription& target : kTargets) row.push_back(taking & target.bit ? "yes" : "no");
            table += Row(row);
        }
        return table;
    }

    // The names that the quoted message names, each once, from every line of
    // a log: "identifier 'filter' is not supported." gives filter.
    static std::set<std::string> NamesInMessages(const std::string& log, const std::string& before,
                                                 const std::string& after) {
        std::set<std::string> names;
        for (size_t at = log.find(before); at != std::string::npos; at = log.find(before, at + 1)) {
            size_t start = at + before.size();
            size_t end = log.find(after, start);
            if (end != std::string::npos) names.insert(log.substr(start, end - start));
        }
        return names;
    }

    // The names in groups small enough that a log reports an error for each
    // (it stops at Log::kMaximumErrors).
    static std::vector<std::vector<std::string>> InGroups(const std::vector<std::string>& names) {
        const size_t size = Log::kMaximumErrors / 2;
        std::vector<std::vector<std::string>> groups;
        for (size_t i = 0; i < names.size(); i += size)
            groups.emplace_back(names.begin() + i, names.begin() + std::min(names.size(), i + size));
        return groups;
    }

    // A pixel source that declares a float of each name.
    static Probe DeclaringProbe(const std::vector<std::string>& names) {
        std::string code = "void main()\n{\n";
        for (const std::string& name : names) code += "    float " + name + " = 0.5;\n";
        code += "    output.color = float4(input.uv, 0.0, 1.0);\n}\n";
        Probe probe;
        probe.PixelCode(code.c_str());
        return probe;
    }

    // Names that show the rules; the probes ask each target about them too.
    static constexpr const char* kPrefixed = "gl_Depth";
    static constexpr const char* kInfixed = "light__count";
    static constexpr const char* kSizedVector = "half4";
    static constexpr const char* kSizedMatrix = "float2x3";

    // A name with the prefix: the first prefix of a row is shown by its own
    // example.
    static std::string PrefixedName(const char* prefix) {
        return std::string(prefix) == "gl_" ? std::string(kPrefixed) : std::string(prefix) + "color";
    }

    // Every word of the targets' tables that ZKSL itself takes as a name
    // (its keywords are refused before a target is asked), once each.
    static std::vector<std::string> TableWordsOfZKSLNames() {
        const nMap<Token::Type>& keywords = Tokenizer::ZKSLKeywordMap();
        std::vector<std::string> words;
        std::set<std::string> seen;
        for (const ReservedNames& row : kReservedNames)
            for (const char* const* list : row.word_lists)
                for (; list && *list; ++list)
                    if (!keywords.Find(*list) && seen.insert(*list).second) words.push_back(*list);
        return words;
    }

    // The words the front end refuses itself as built-in variables, found
    // by declaring them; the others, in the guide's order.
    std::vector<std::string> WordsTheTargetsAreAsked(const std::vector<std::string>& words) {
        std::set<std::string> built_in;
        for (const std::vector<std::string>& some : InGroups(words)) {
            ProbeResult front_end = runner.Translate(DeclaringProbe(some).Xml(""), ALL_TARGETS);
            std::set<std::string> found = NamesInMessages(front_end.log, "same name as built-in variable '", "'.");
            built_in.insert(found.begin(), found.end());
        }
        std::vector<std::string> names;
        for (const std::string& word : words)
            if (!built_in.count(word)) names.push_back(word);
        std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
            return strcasecmp(a.c_str(), b.c_str()) < 0;
        });
        return names;
    }

    // The names asked of every target: the words, the rules' examples and a
    // name for each prefix of every row.
    static std::vector<std::string> NamesToAsk(const std::vector<std::string>& words) {
        std::vector<std::string> asked = words;
        for (const char* example : {kInfixed, kSizedVector, kSizedMatrix}) asked.push_back(example);
        for (const ReservedNames& row : kReservedNames)
            for (const char* const* prefix = row.prefixes; prefix && *prefix; ++prefix)
                if (std::find(asked.begin(), asked.end(), PrefixedName(*prefix)) == asked.end())
                    asked.push_back(PrefixedName(*prefix));
        return asked;
    }

    // By name, the targets whose table refuses it; each target's translator
    // is asked by probes that declare every name, and what it refuses must
    // be what its row lists.
    std::map<std::string, int> TargetsRefusing(const std::vector<std::string>& asked) {
        std::map<std::string, int> refusing;
        for (const TargetDescription& target : kTargets) {
            std::set<std::string> refused;
            for (const std::vector<std::string>& some : InGroups(asked)) {
                ProbeResult result = runner.Translate(DeclaringProbe(some).Xml(""), target.bit);
                std::set<std::string> found = NamesInMessages(result.log, "identifier '", "' is not supported.");
                refused.insert(found.begin(), found.end());
            }
            for (const std::string& name : asked) {
                bool listed = IsReservedName(target.bit, name.c_str());
                if (listed != (refused.count(name) != 0))
                    *problems += std::string("the ") + target.name + " translator " +
                                 (listed ? "takes" : "refuses") + " the name '" + name + "', which its table " +
                                 (listed ? "refuses" : "does not hold") + "\n";
                if (listed) refusing[name] |= target.bit;
            }
        }
        return refusing;
    }

    // What a row refuses by its prefixes and infix, in words; empty for
    // neither.
    static std::string PrefixRule(const ReservedNames& row) {
        std::vector<std::string> prefixes;
        for (const char* const* prefix = row.prefixes; prefix && *prefix; ++prefix) prefixes.push_back(*prefix);
        std::string begins;
        if (!prefixes.empty()) {
            std::string last = Code(prefixes.back());
            prefixes.pop_back();
            begins = "every name that begins with " + (prefixes.empty() ? "" : CodeList(prefixes) + " or ") + last +
                     " (" + Code(PrefixedName(row.prefixes[0])) + ")";
        }
        if (!begins.empty() && row.infix) return begins + " or holds " + Code(row.infix) + " (" + Code(kInfixed) + ")";
        if (row.infix) return "every name that holds " + Code(row.infix);
        return begins;
    }

    static std::string SizedTypeRule(const ReservedNames& row) {
        std::vector<std::string> scalars;
        for (const char* const* scalar = row.sized_scalar_types; *scalar; ++scalar) scalars.push_back(*scalar);
        return "every name that is one of " + CodeList(scalars) + " followed by a size from 1 to 4 (" +
               Code(kSizedVector) + ") or by two sizes joined by `x` (" + Code(kSizedMatrix) +
               "), but for the ZKSL types";
    }

    // The rules, a row for each, with the targets that share it.
    static std::string RuleRows() {
        std::vector<std::pair<int, std::string>> rules;
        auto add_rule = [&rules](int target, const std::string& rule) {
            for (auto& existing : rules)
                if (existing.second == rule) {
                    existing.first |= target;
                    return;
                }
            rules.push_back({target, rule});
        };
        for (const ReservedNames& row : kReservedNames) {
            std::string prefix_rule = PrefixRule(row);
            if (!prefix_rule.empty()) add_rule(row.target, prefix_rule);
            if (row.sized_scalar_types) add_rule(row.target, SizedTypeRule(row));
        }
        std::string rows;
        for (const auto& rule : rules) rows += Row({TargetList(rule.first), rule.second});
        return rows;
    }

    // The words, a row for each set of targets, the sets that most targets
    // share first.
    static std::string WordRows(const std::vector<std::string>& names, std::map<std::string, int>& refusing) {
        std::map<int, std::vector<std::string>> by_targets;
        for (const std::string& name : names)
            if (refusing[name]) by_targets[refusing[name]].push_back(name);
        std::vector<int> sets;
        for (const auto& entry : by_targets) sets.push_back(entry.first);
        std::stable_sort(sets.begin(), sets.end(), [](int a, int b) {
            int count_a = __builtin_popcount(a), count_b = __builtin_popcount(b);
            return count_a != count_b ? count_a > count_b : a < b;
        });
        std::string rows;
        for (int set : sets) rows += Row({set == ALL_TARGETS ? "all" : TargetList(set), CodeList(by_targets[set])});
        return rows;
    }

    // Every word of the targets' tables of refused names that ZKSL itself
    // takes as a name, in the row of the targets that refuse it, after the
    // names refused by a rule rather than a word.
    std::string RefusedNames() {
        std::vector<std::string> names = WordsTheTargetsAreAsked(TableWordsOfZKSLNames());
        std::map<std::string, int> refusing = TargetsRefusing(NamesToAsk(names));
        return Header({"refused by", "names"}) + RuleRows() + WordRows(names, refusing);
    }

    // The lines at the head of each stage's text that set a precision
    // (with the #if lines around them), for each target that writes any.
    std::string Precision() {
        std::string table = Header({"target", "vertex stage", "pixel stage"});
        Probe probe;
        for (const TargetDescription& target : kTargets) {
            std::vector<std::string> cells = {Code(target.name)};
            bool any = false;
            for (const char* stage : {"vertex", "pixel"}) {
                std::string text = runner.Text(probe.Xml(""), target, stage);
                if (text.empty()) *problems += std::string("the plain probe does not translate for ") + target.name + "\n";
                std::vector<std::string> lines;
                bool precision = false;
                std::istringstream read(text);
                std::string line;
                while (std::getline(read, line)) {
                    if (line.empty() || line.rfind("#pragma ", 0) == 0 || line.rfind("#extension ", 0) == 0) continue;
                    bool sets = line.rfind("precision ", 0) == 0;
                    if (!sets && line.rfind("#if", 0) != 0 && line.rfind("#else", 0) != 0 && line.rfind("#endif", 0) != 0)
                        break;
                    precision = precision || sets;
                    lines.push_back(Code(line));
                }
                any = any || precision;
                cells.push_back(precision ? Join(lines, " ") : "none");
            }
            if (any) table += Row(cells);
        }
        return table;
    }

    // What each target's text writes for the remainder of two ints.
    std::string Remainder() {
        std::string table = Header({"target", "`a % b` is written"});
        Probe probe;
        probe.PixelCode("void main()\n{\n    int a = int(input.uv.x * 8.0) - 7;\n    int b = 10;\n"
                        "    int r = a % b;\n    output.color = float4(float(r));\n}\n");
        for (const TargetDescription& target : kTargets) {
            std::string text = runner.Text(probe.Xml(""), target, "pixel");
            std::string written;
            std::istringstream read(text);
            std::string line;
            while (std::getline(read, line)) {
                size_t at = line.find(" r = ");
                if (at == std::string::npos) continue;
                written = line.substr(at + 5);
                if (!written.empty() && written.back() == ';') written.pop_back();
            }
            if (written.empty()) *problems += std::string("the remainder probe gives no text for ") + target.name + "\n";
            table += Row({Code(target.name), Code(written)});
        }
        return table;
    }

    // The type of each of the stages' special inputs: the first of bool,
    // int and float (an int is taken where a float is asked for, never the
    // other way) that a variable set from it may have, on the targets that
    // take it.
    std::string SpecialInputs() {
        std::string table = Header({"name", "stage", "type", "targets"});
        const struct {
            const char* member;
            const char* stage;
        } inputs[] = {{"instance_id", "vertex"}, {"vertex_id", "vertex"}, {"face_direction", "pixel"},
                      {"is_front_facing", "pixel"}};
        for (const auto& input : inputs) {
            std::string type;
            int taking = 0;
            for (const char* candidate : {"bool", "int", "float"}) {
                std::string statement = std::string(candidate) + " probe = input." + input.member + ";";
                Probe probe;
                if (std::string(input.stage) == "vertex")
                    probe.VertexCode(("void main()\n{\n    " + statement +
                                      "\n    output.position = input.position;\n    output.uv = input.uv;\n}\n")
                                         .c_str());
                else
                    probe.PixelCode(("void main()\n{\n    " + statement +
                                     "\n    output.color = float4(input.uv, 0.0, 1.0);\n}\n")
                                        .c_str());
                taking = runner.TargetsTaking(probe.Xml(""));
                if (taking == 0) continue;
                type = candidate;
                break;
            }
            if (type.empty()) *problems += std::string("no target takes input.") + input.member + "\n";
            table += Row({Code(std::string("input.") + input.member), input.stage, Code(type), TargetList(taking)});
        }
        return table;
    }

    std::string Messages() {
        std::string table = Header({"you wrote", "translated for", "the message", "what it means"});
        for (const MessageExample& example : text.messages) {
            int targets = example.targets ? example.targets : ALL_TARGETS;
            ProbeResult result = runner.Translate(example.probe.Xml(example.shown), targets, example.probe.Files());
            if (result.message.empty())
                *problems += std::string("the message example '") + example.shown + "' gives no message\n";
            std::string shown = example.shown;
            if (shown.empty() || shown[0] != '(') shown = Code(shown);
            table += Row({shown, targets == ALL_TARGETS ? "all" : TargetList(targets),
                          Code(result.message), example.meaning});
        }
        return table;
    }

    const GuideText& text;
    std::vector<Block>* blocks;
    std::string* problems;
    Describer predefined;  // shared by the two tables of predefined names
    ProbeRunner runner;
};

const char* const kBeginMarker = "<!-- generated: ";
const char* const kMarkerEnd = " -->";
const char* const kEndMarker = "<!-- end generated -->";

}  // namespace

bool GenerateGuideBlocks(std::vector<Block>* blocks, std::string* problems) {
    Generator generator(blocks, problems);
    return generator.Run();
}

std::string FillGuide(const std::string& document, const std::vector<Block>& blocks, std::string* problems) {
    std::map<std::string, const Block*> by_name;
    for (const Block& block : blocks) by_name[block.name] = &block;
    std::set<std::string> filled;
    std::istringstream lines(document);
    std::string filled_document;
    std::string line;
    std::string open;  // the block being replaced
    while (std::getline(lines, line)) {
        if (!open.empty()) {
            if (line != kEndMarker) continue;
            filled_document += line + "\n";
            open.clear();
            continue;
        }
        filled_document += line + "\n";
        size_t begin = std::string(kBeginMarker).size();
        if (line.rfind(kBeginMarker, 0) != 0 || line.size() < begin + 4 ||
            line.compare(line.size() - 4, 4, kMarkerEnd) != 0)
            continue;
        std::string name = line.substr(begin, line.size() - begin - 4);
        auto found = by_name.find(name);
        if (found == by_name.end()) {
            *problems += "the guide has a generated part '" + name + "' that nothing generates\n";
        } else {
            if (!filled.insert(name).second) *problems += "the guide has the generated part '" + name + "' twice\n";
            filled_document += found->second->text;
        }
        open = name;
    }
    if (!open.empty()) *problems += "the generated part '" + open + "' has no end marker\n";
    for (const Block& block : blocks)
        if (!filled.count(block.name)) *problems += "the guide has no place for the generated part '" + block.name + "'\n";
    return filled_document;
}

}  // namespace ShaderGuide
