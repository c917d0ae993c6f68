#include "shadertool/shader_xml/shader_reader.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "engine/base/nbytebuffer.h"
#include "engine/runtime/zekar.h"
#include "engine/storage/database_manager.h"
#include "engine/datamodel/datamodel.h"
#include "engine/storage/filesystem_api.h"
#include "shadertool/frontend/preprocessor.h"
#include "shadertool/frontend/tokenizer.h"
#include "shadertool/shader_xml/shader_xml_words.h"

namespace ShaderTool {

using InnerZK::DMArray;
using InnerZK::DMDatabase;
using InnerZK::DMNode;

namespace {

// The value of a word of the table into `value`; false (value unchanged)
// for an unknown or missing word.
bool FindWordValue(const ShaderXMLWord* table, int count, const char* name, int& value) {
    const ShaderXMLWord* word = FindShaderXMLWord(table, count, name);
    if (!word) return false;
    value = word->value;
    return true;
}

const char* NodeValue(DMNode* node, const char* key) { return node ? node->GetValue(key) : nullptr; }

bool IsDecimalDigits(const char* text) {
    if (!text || !*text) return false;
    for (; *text; ++text) {
        if (*text < '0' || *text > '9') return false;
    }
    return true;
}

// A count as atoi reads it, or 0 when it is not a positive number whose byte
// size (at most 64 per element) fits an int.
int ParseCount(const char* text) {
    char* end = nullptr;
    long long value = std::strtoll(text, &end, 10);
    if (end == text || value < 1 || value > INT_MAX / 64) return 0;
    return static_cast<int>(value);
}

nString DirectoryOf(const char* path) {
    const char* slash = std::strrchr(path, '/');
    // Nothing before the only "/" (a path like "/file.xml") gives no directory.
    if (!slash || slash == path) return nString("");
    return nString(path).Substring(0, static_cast<int>(slash - path) + 1);
}

// ---------------------------------------------------------------------------
// Raw scan for the lines of the sources' character data sections.

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

const char* SkipBlanks(const char* p) {
    while (IsBlank(*p)) ++p;
    return p;
}

// Offsets of a character data section's content in the raw text, from its
// first character to its "]]>"; -1 for a node without a section.
struct SourceSection {
    int start;
    int end;
};

// The first occurrence of a pattern at or after a point, for scans whose
// points only move forward: an answer is reused while it still lies ahead,
// so a scan over many nodes reads the text once instead of once per node.
class ForwardSearch {
public:
    explicit ForwardSearch(const char* pattern) : pattern(pattern) {}
    const char* From(const char* p) {
        if (!searched_from || p < searched_from || (found && p > found)) {
            searched_from = p;
            found = std::strstr(p, pattern);
        }
        return found;
    }

private:
    const char* pattern;
    const char* searched_from = nullptr;
    const char* found = nullptr;
};

// True when p lies inside a comment: a "-->" follows it with no "<!--" first.
bool IsInsideComment(const char* p, ForwardSearch& closes, ForwardSearch& opens) {
    const char* close = closes.From(p);
    if (!close) return false;
    const char* open = opens.From(p);
    return !open || open > close;
}

const char* FindSourcesArray(const char* text) {
    ForwardSearch closes("-->");
    ForwardSearch opens("<!--");
    for (const char* p = std::strstr(text, "<array"); p; p = std::strstr(p + 1, "<array")) {
        const char* q = SkipBlanks(p + 6);
        if (std::strncmp(q, "id", 2) != 0) continue;
        q = SkipBlanks(q + 2);
        if (*q != '=') continue;
        q = SkipBlanks(q + 1);
        if (std::strncmp(q, "\"sources\"", 9) != 0) continue;
        if (IsInsideComment(p, closes, opens)) continue;
        return p;
    }
    return nullptr;
}

int CountLineFeeds(const char* from, const char* to) {
    int count = 0;
    for (const char* p = from; p < to; ++p) {
        if (*p == '\n') ++count;
    }
    return count;
}

// For each node of the sources array in the raw text: the line on which its
// character data section begins (1 without one), and the section's span.
void RecordSourceLines(const char* text, nArray<int>& lines, nArray<SourceSection>& sections) {
    const char* array = FindSourcesArray(text);
    if (!array) return;
    const char* array_end = std::strstr(array, "</array");
    ForwardSearch closes("-->");
    ForwardSearch opens("<!--");
    ForwardSearch empty_ends("/>");
    ForwardSearch node_ends("</node");
    ForwardSearch section_starts("<![CDATA[");
    ForwardSearch section_ends("]]>");
    const char* counted_to = text;
    int line = 1;
    for (const char* node = std::strstr(array, "<node"); node && (!array_end || node < array_end);
         node = std::strstr(node + 1, "<node")) {
        if (IsInsideComment(node, closes, opens)) continue;
        const char* node_end = empty_ends.From(node);
        if (!node_end) node_end = node_ends.From(node);
        const char* section = section_starts.From(node);
        SourceSection span = {-1, -1};
        if (section && node_end && section <= node_end) {
            line += CountLineFeeds(counted_to, section);
            counted_to = section;
            lines.InsertLast(line);
            const char* content = section + 9;
            const char* end = section_ends.From(content);
            span.start = static_cast<int>(content - text);
            span.end = end ? static_cast<int>(end - text) : span.start + static_cast<int>(std::strlen(content));
        } else {
            lines.InsertLast(1);
        }
        sections.InsertLast(span);
    }
}

// Line and column (a tab counts four) of a byte of the raw text.
SourceLocation LocateByte(const char* text, int offset) {
    SourceLocation location = {1, 1};
    for (int i = 0; i < offset; ++i) {
        if (text[i] == '\n') {
            ++location.line;
            location.column = 1;
        } else {
            location.column += text[i] == '\t' ? 4 : 1;
        }
    }
    return location;
}

// Drops the blank lines before the first line that holds a visible
// character; returns the number of line feeds dropped.
int RemoveLeadingBlankLines(nString& code) {
    const char* text = code.c_str();
    const char* line_start = text;
    int removed = 0;
    for (const char* p = text; *p; ++p) {
        if (*p == '\n') {
            ++removed;
            line_start = p + 1;
        } else if (static_cast<unsigned char>(*p) > ' ') {
            break;
        }
    }
    if (line_start != text) code = nString(line_start);
    return removed;
}

}  // namespace

Type GetVariableType(const char* name, bool is_constant, int count) {
    Type type;
    for (int i = 0; i < kVariableTypeCount; ++i) {
        const VariableTypeWord& entry = kVariableTypes[i];
        if (name && std::strcmp(entry.name, name) == 0) {
            type.basic_type = entry.basic_type;
            type.vector_size = entry.vector_size;
            type.matrix_size = entry.matrix_size;
            break;
        }
    }
    type.array_size = count != 1 ? count : 0;
    if (is_constant) type.qualifier |= QUALIFIER_CONST;
    type.texture_kind = TEXTURE_NONE;
    return type;
}

ShaderReader::ShaderReader(Log& log_) : log(log_) {}

void ShaderReader::Reset() {
    shader_info = ShaderInfo();
    shader_info.tags = "";
    source_line_numbers.count = 0;
    directory = "";
}

bool ShaderReader::ReadShaderXMLFromFile(const char* file_path, bool release_cached, bool skip_sources) {
    if (!file_path) file_path = "";
    if (release_cached) zk_dman.ReleaseDatabase(file_path);
    // The load keeps the text it read, so that the source lines are found
    // without reading the file again.
    database = zk_dman.GetDatabase(file_path, true);
    if (!database) {
        log.AddError("file does not exist.");
        return false;
    }
    // An unreadable file or broken XML arrives as an empty database, which
    // would otherwise pass as a file that is not a Shader XML. The XML
    // reader's own words (the file, the line and the reason) come first:
    // its popups are dropped below the log level.
    if (database->load_failed) {
        log.AppendText(database->load_messages.c_str());
        log.AddError("failed to read Shader XML file '%s'.", file_path);
        database = nullptr;
        return false;
    }
    nString owned(file_path);  // the caller's text may be our own path
    path = owned;
    directory = DirectoryOf(owned.c_str());
    database->TakeRawText(file_text);
    bool result = ReadShaderXML(skip_sources);
    file_text.count = 0;
    database = nullptr;
    if (result) {
        zk_file_info_t file_info;
        if (zk->file_system->ZK_FileSystem_GetFileInfo(path.c_str(), &file_info)) {
            shader_info.time_modified = file_info.modification_time;
        }
    }
    return result;
}

bool ShaderReader::ReadShaderXMLFromMemory(const char* text, bool skip_sources) {
    if (!text) text = "";
    path = "";
    directory = "";
    DMDatabase temporary;
    nByteBuffer buffer;
    buffer.SetExternal(reinterpret_cast<uint8_t*>(const_cast<char*>(text)), static_cast<int>(std::strlen(text)));
    if (!temporary.LoadFromBufferXML(&buffer)) {
        log.AppendText(temporary.load_messages.c_str());
        log.AddError("failed to read Shader XML text.");
        return false;
    }
    database = &temporary;
    bool result = ReadShaderXML(skip_sources);
    database = nullptr;
    return result;
}

bool ShaderReader::ReadShaderXML(bool skip_sources) {
    if (!ReadInfo()) return false;
    if (shader_info.version == 0) return true;
    if (!ReadGeneralConstants(nullptr)) return false;
    if (!ReadVertexInput()) return false;
    if (!ReadConstants(ARRAY_VERTEX_CONSTANTS, shader_info.vertex_constants)) return false;
    if (!ReadVertexOutput()) return false;
    if (!ReadConstants(ARRAY_PIXEL_CONSTANTS, shader_info.pixel_constants)) return false;
    if (!ReadPixelTextures()) return false;
    if (!ReadPixelOutput()) return false;
    if (skip_sources) return true;
    return ReadSources();
}

uint32_t ShaderReader::GetTimeModified() {
    zk_file_info_t file_info;
    if (!zk->file_system->ZK_FileSystem_GetFileInfo(path.c_str(), &file_info)) return 0;
    shader_info.time_modified = file_info.modification_time;
    return shader_info.time_modified;
}

DMArray* ShaderReader::GetXMLArray(ShaderXMLArray which) {
    const char* name = kShaderXMLArrays[which].name;
    bool required = kShaderXMLArrays[which].required;
    for (int i = 0; database && i < database->GetNumberOfArrays(); ++i) {
        DMArray* array = database->GetArrayByIndex(i);
        if (array->id && std::strcmp(array->id, name) == 0) return array;
    }
    if (required) log.AddError("required array '%s' does not exist.", name);
    return nullptr;
}

// ---------------------------------------------------------------------------
// Info

uint32_t ShaderReader::ReadVersion(DMArray* info) {
    const char* version = info->GetNodeValue(kShaderXMLInfoEntries[INFO_VERSION], "value");
    const char* revision = info->GetNodeValue(kShaderXMLInfoEntries[INFO_REVISION], "value");
    // Decimal as atoi reads it, without its undefined result on overflow.
    uint32_t major = version ? static_cast<uint32_t>(std::strtoll(version, nullptr, 10)) : 0;
    uint32_t minor = revision ? static_cast<uint32_t>(std::strtoll(revision, nullptr, 10)) : 0;
    return (major << 16) | minor;
}

bool ShaderReader::ValidateVersion() {
    if (shader_info.version > 0x20001) return true;
    log.AddError("file is of invalid version.");
    return false;
}

bool ShaderReader::ReadInfo() {
    DMArray* info = GetXMLArray(ARRAY_INFO);
    if (!info) return true;
    shader_info.version = ReadVersion(info);
    bool ok = ValidateVersion();
    if (const char* tags = info->GetNodeValue(kShaderXMLInfoEntries[INFO_TAGS], "value")) shader_info.tags = tags;
    if (DMNode* target = info->GetNodeById(kShaderXMLInfoEntries[INFO_TARGET])) {
        shader_info.targets = GetSourceTargetIds(target->GetValue("value"));
        if (shader_info.targets == 0) {
            log.AddError("info array has invalid target(s).");
            ok = false;
        }
        return ok;
    }
    const char* level = info->GetNodeValue(kShaderXMLInfoEntries[INFO_FEATURE_LEVEL], "value");
    if (!level) {
        shader_info.targets = ALL_TARGETS;
    } else if (!FindWordValue(kFeatureLevels, kFeatureLevelCount, level, shader_info.targets)) {
        log.AddError("info array has invalid feature level.");
        ok = false;
    }
    return ok;
}

// ---------------------------------------------------------------------------
// Identifiers

bool ShaderReader::ValidateID(DMNode* node, const char* what, nString& id) {
    const char* text = NodeValue(node, "id");
    id = text ? text : "";
    if (!text) {
        log.AddError("%s does not have 'id' attribute.", what);
        return false;
    }
    if (text[0] == '_') {
        log.AddError("%s id starts with an underscore.", what);
        return false;
    }
    return true;
}

bool ShaderReader::ValidateConstantID(DMNode* node, const char* array_name, nString& id) {
    const char* text = NodeValue(node, "id");
    id = text ? text : "";
    if (!text) {
        log.AddError("constant variable (%s) does not have 'id' attribute.", array_name);
        return false;
    }
    if (text[0] == '_') {
        log.AddError("constant variable (%s) id starts with an underscore.", array_name);
        return false;
    }
    return true;
}

template <class T>
bool ShaderReader::ArrayContainsItem(const nArray<T>& list, const nString& id) {
    for (int i = 0; i < list.Count(); ++i) {
        if (list[i].id == id) return true;
    }
    return false;
}

// After the first refused node of a list no node is appended, but every
// node is still read so that its faults are reported.
template <class T>
bool ShaderReader::AppendUnique(nArray<T>& list, const T& item, bool accepted, bool& all_accepted,
                                const char* what) {
    if (accepted && ArrayContainsItem(list, item.id)) {
        log.AddError("%s with name '%s' already exists.", what, item.id.c_str());
        accepted = false;
    }
    if (!accepted) all_accepted = false;
    if (all_accepted) list.InsertLast(item);
    return accepted;
}

// ---------------------------------------------------------------------------
// General constants

bool ShaderReader::ReadGeneralConstants(DMArray* included) {
    DMArray* array = included ? included : GetXMLArray(ARRAY_CONSTANTS);
    if (!array) return true;
    bool ok = true;
    for (int i = 0; i < array->GetNumberOfNodes(); ++i) {
        if (!ReadGeneralConstant(array->GetNodeByIndex(i), included != nullptr)) ok = false;
    }
    return ok;
}

bool ShaderReader::ReadGeneralConstant(DMNode* node, bool in_included_file) {
    const char* file = NodeValue(node, "file");
    if (!NodeValue(node, "id") && file) {
        if (in_included_file) {
            log.AddError("general constant files are not allowed outside Shader XMLs.");
            return false;
        }
        return ReadGeneralConstantsFromFile(file);
    }
    ShaderConstant constant;
    if (!ValidateID(node, "general constant", constant.id)) return false;
    const char* value = NodeValue(node, "value");
    if (!value) {
        log.AddError("general constant does not have 'value' attribute.");
        return false;
    }
    constant.value = value;
    switch (Tokenizer::EvaluateBasicTypeOfToken(constant.value)) {
    case TYPE_BOOL: constant.kind = ShaderConstant::BOOL; break;
    case TYPE_FLOAT: constant.kind = ShaderConstant::FLOAT; break;
    case TYPE_INT: constant.kind = ShaderConstant::INT; break;
    default: constant.kind = ShaderConstant::OTHER; break;
    }
    for (int i = 0; i < shader_info.constants.Count(); ++i) {
        if (shader_info.constants[i].id == constant.id) {
            // A later value replaces the earlier one in place, kind included.
            shader_info.constants[i].value = constant.value;
            shader_info.constants[i].kind = constant.kind;
            return true;
        }
    }
    shader_info.constants.InsertLast(constant);
    return true;
}

bool ShaderReader::ReadGeneralConstantsFromFile(const char* file) {
    nString joined = directory;
    joined.Append(file);
    if (!zk->file_system->ZK_FileSystem_FileExists(joined.c_str())) {
        log.AddError("general constant file path '%s' does not exist.", joined.c_str());
        return false;
    }
    // Read the file afresh in developer mode, but never release the database
    // that is being read (a file that names itself).
    bool is_own_database = database && database->name && std::strcmp(database->name, joined.c_str()) == 0;
    if (zk->ZKI_IsDeveloperModeEnabled() && !is_own_database) zk_dman.ReleaseDatabase(joined.c_str());
    DMDatabase* included = zk_dman.GetDatabase(joined.c_str());
    if (!included) return false;
    if (included->load_failed) {
        log.AppendText(included->load_messages.c_str());
        log.AddError("failed to read Shader XML file '%s'.", joined.c_str());
        return false;
    }
    DMArray* array = nullptr;
    for (int i = 0; i < included->GetNumberOfArrays(); ++i) {
        DMArray* candidate = included->GetArrayByIndex(i);
        if (candidate->id && std::strcmp(candidate->id, kShaderXMLArrays[ARRAY_CONSTANTS].name) == 0) {
            array = candidate;
            break;
        }
    }
    if (!array) return false;
    return ReadGeneralConstants(array);
}

// ---------------------------------------------------------------------------
// Vertex inputs

bool ShaderReader::ReadVertexInputVariable(DMNode* node, ShaderVertexInputVariable& variable) {
    bool ok = ValidateID(node, "vertex input variable", variable.id);
    const char* semantic = NodeValue(node, "semantic");
    variable.semantic = 0;
    variable.type = Type();
    for (int i = 0; i < kVertexInputSemanticCount; ++i) {
        const VertexInputSemanticWord& entry = kVertexInputSemantics[i];
        if (semantic && std::strcmp(entry.name, semantic) == 0) {
            variable.semantic = entry.bit;
            variable.type = Type::Vector(entry.basic_type, entry.vector_size);
            variable.type.qualifier |= QUALIFIER_CONST;
            break;
        }
    }
    return ok;
}

bool ShaderReader::ReadVertexInput() {
    DMArray* array = GetXMLArray(ARRAY_VERTEX_INPUT);
    if (!array) return true;
    bool all_accepted = true;
    if (array->GetNumberOfNodes() > kMaximumVertexInputs) {
        log.AddError("too many vertex input variables, the maximum is %i.", static_cast<int>(kMaximumVertexInputs));
        all_accepted = false;
    }
    int format = 0;
    bool unknown_semantic = false;
    for (int i = 0; i < array->GetNumberOfNodes(); ++i) {
        ShaderVertexInputVariable variable;
        bool accepted = ReadVertexInputVariable(array->GetNodeByIndex(i), variable);
        format |= variable.semantic;
        if (variable.semantic == 0) unknown_semantic = true;
        AppendUnique(shader_info.vertex_input, variable, accepted, all_accepted, "vertex input");
    }
    bool known_format = false;
    for (int i = 0; i < kVertexFormatCount; ++i) {
        if (format == kVertexFormats[i]) known_format = true;
    }
    // An input without a known semantic belongs to no format.
    if (!known_format || unknown_semantic) {
        log.AddError("vertex input format is invalid.");
        all_accepted = false;
    }
    return all_accepted;
}

// ---------------------------------------------------------------------------
// Vertex and pixel constants

int ShaderReader::ReadConstantVariableCount(const char* text) {
    if (!text) return 1;
    if (IsDecimalDigits(text)) return ParseCount(text);
    for (int i = 0; i < shader_info.constants.Count(); ++i) {
        const ShaderConstant& constant = shader_info.constants[i];
        if (std::strcmp(constant.id.c_str(), text) == 0) {
            if (constant.kind != ShaderConstant::INT || constant.value.IsEmpty()) return 0;
            return ParseCount(constant.value.c_str());
        }
    }
    return 0;
}

bool ShaderReader::ReadConstantVariable(DMNode* node, const char* array_name, ShaderConstantVariable& variable) {
    bool ok = ValidateConstantID(node, array_name, variable.id);
    int count = ReadConstantVariableCount(NodeValue(node, "count"));
    if (count < 1) {
        log.AddError("constant variable (%s) '%s' has invalid count.", array_name, variable.id.c_str());
        ok = false;
    }
    variable.type = GetVariableType(NodeValue(node, "type"), true, count);
    const Type& type = variable.type;
    if (!IsConstantVariableType(type)) {
        log.AddError("constant variable (%s) '%s' has invalid type.", array_name, variable.id.c_str());
        ok = false;
    }
    const char* semantic = NodeValue(node, "semantic");
    variable.semantic = CONSTANT_NONE;
    if (semantic && !FindWordValue(kConstantSemantics, kConstantSemanticCount, semantic, variable.semantic)) {
        variable.semantic = CONSTANT_INVALID;
        log.AddError("constant variable (%s) '%s' has invalid semantic.", array_name, variable.id.c_str());
        ok = false;
    }
    variable.size = (type.matrix_size != 0 ? 64 : 16) * (type.array_size != 0 ? type.array_size : 1);
    return ok;
}

bool ShaderReader::ReadConstants(ShaderXMLArray which, nArray<ShaderConstantVariable>& list) {
    const char* array_name = kShaderXMLArrays[which].name;
    DMArray* array = GetXMLArray(which);
    if (!array) return true;
    bool all_accepted = true;
    for (int i = 0; i < array->GetNumberOfNodes(); ++i) {
        ShaderConstantVariable variable;
        bool accepted = ReadConstantVariable(array->GetNodeByIndex(i), array_name, variable);
        AppendUnique(list, variable, accepted, all_accepted, "shader constant");
    }
    return all_accepted;
}

// ---------------------------------------------------------------------------
// Vertex outputs

int ShaderReader::GetVertexOutputVariableSemanticIndex(ShaderVertexOutputSemantic semantic) const {
    int count = 0;
    for (int i = 0; i < shader_info.vertex_output.Count(); ++i) {
        if (shader_info.vertex_output[i].semantic == semantic) ++count;
    }
    return count;
}

bool ShaderReader::ReadVertexOutputVariable(DMNode* node, ShaderVertexOutputVariable& variable) {
    bool ok = ValidateID(node, "vertex output variable", variable.id);
    variable.type = GetVariableType(NodeValue(node, "type"), false, 1);
    if (variable.type.basic_type == TYPE_NONE) {
        log.AddError("vertex output variable '%s' has invalid type.", variable.id.c_str());
        ok = false;
    }
    int semantic = OUTPUT_TEXTURE_COORDINATE;
    FindWordValue(kVertexOutputSemantics, kVertexOutputSemanticCount, NodeValue(node, "semantic"), semantic);
    variable.semantic = static_cast<ShaderVertexOutputSemantic>(semantic);
    if (variable.semantic == OUTPUT_POSITION && GetVertexOutputVariableSemanticIndex(OUTPUT_POSITION) > 0) {
        log.AddError("multiple vertex output variables with semantic 'POSITION' exist.");
        ok = false;
    }
    variable.semantic_index = GetVertexOutputVariableSemanticIndex(variable.semantic);
    return ok;
}

bool ShaderReader::ReadVertexOutput() {
    DMArray* array = GetXMLArray(ARRAY_VERTEX_OUTPUT);
    if (!array) return true;
    bool all_accepted = true;
    bool position_named = false;
    for (int i = 0; i < array->GetNumberOfNodes(); ++i) {
        ShaderVertexOutputVariable variable;
        bool accepted = ReadVertexOutputVariable(array->GetNodeByIndex(i), variable);
        if (variable.semantic == OUTPUT_POSITION) position_named = true;
        AppendUnique(shader_info.vertex_output, variable, accepted, all_accepted, "vertex output");
    }
    // Unknown semantic words quietly become texture coordinates, so a
    // misspelt "POSITION" would leave every target's vertex stage writing
    // no position. A POSITION node refused for another fault has had its
    // message already.
    if (array->GetNumberOfNodes() > 0 && !position_named) {
        log.AddError("vertex output variable with semantic 'POSITION' does not exist.");
        all_accepted = false;
    }
    return all_accepted;
}

// ---------------------------------------------------------------------------
// Pixel textures

bool ShaderReader::GetTextureAddressMode(DMNode* node, const char* key, const ShaderTextureVariable& variable,
                                         int& mode) {
    const char* text = NodeValue(node, key);
    mode = 0;
    if (!text || FindWordValue(kAddressModes, kAddressModeCount, text, mode)) return true;
    log.AddError("pixel texture variable '%s' has invalid address mode.", variable.id.c_str());
    return false;
}

bool ShaderReader::GetTextureFilterMode(DMNode* node, const char* key, const ShaderTextureVariable& variable,
                                        int& mode) {
    const char* text = NodeValue(node, key);
    mode = 0;
    if (!text || FindWordValue(kFilterModes, kFilterModeCount, text, mode)) return true;
    log.AddError("pixel texture variable '%s' has invalid filter mode.", variable.id.c_str());
    return false;
}

bool ShaderReader::ReadTextureVariable(DMNode* node, ShaderTextureVariable& variable) {
    bool ok = ValidateID(node, "pixel texture variable", variable.id);
    int kind = 0;
    if (FindWordValue(kTextureTypes, kTextureTypeCount, NodeValue(node, "type"), kind)) {
        variable.type = Type::Texture(static_cast<TextureKind>(kind));
    } else {
        variable.type = Type();
        log.AddError("pixel texture variable '%s' has invalid type.", variable.id.c_str());
        ok = false;
    }
    // The first refused mode ends the reading of the modes.
    bool modes = GetTextureAddressMode(node, "address_u", variable, variable.address_u) &&
                 GetTextureAddressMode(node, "address_v", variable, variable.address_v) &&
                 GetTextureAddressMode(node, "address_w", variable, variable.address_w) &&
                 GetTextureFilterMode(node, "filter_mag", variable, variable.filter_mag) &&
                 GetTextureFilterMode(node, "filter_min", variable, variable.filter_min) &&
                 GetTextureFilterMode(node, "filter_mip", variable, variable.filter_mip);
    if (!modes) ok = false;
    if (const char* source = NodeValue(node, "source")) {
        variable.source = zk->graphics->ZK_Graphics_GetBitmap(source);
        if (!variable.source) {
            log.AddError("pixel texture variable '%s' has invalid source.", variable.id.c_str());
            ok = false;
        }
    }
    return ok;
}

bool ShaderReader::ReadPixelTextures() {
    DMArray* array = GetXMLArray(ARRAY_PIXEL_TEXTURES);
    if (!array) return true;
    bool all_accepted = true;
    if (array->GetNumberOfNodes() > kMaximumPixelTextures) {
        log.AddError("too many pixel texture variables, the maximum is %i.", static_cast<int>(kMaximumPixelTextures));
        all_accepted = false;
    }
    for (int i = 0; i < array->GetNumberOfNodes(); ++i) {
        ShaderTextureVariable variable;
        bool accepted = ReadTextureVariable(array->GetNodeByIndex(i), variable);
        AppendUnique(shader_info.pixel_textures, variable, accepted, all_accepted, "pixel texture");
    }
    return all_accepted;
}

// ---------------------------------------------------------------------------
// Pixel outputs

bool ShaderReader::ReadPixelOutputVariable(DMNode* node, ShaderPixelOutputVariable& variable) {
    return ValidateID(node, "pixel output variable", variable.id);
}

bool ShaderReader::ReadPixelOutput() {
    DMArray* array = GetXMLArray(ARRAY_PIXEL_OUTPUT);
    bool all_accepted = true;
    for (int i = 0; array && i < array->GetNumberOfNodes(); ++i) {
        ShaderPixelOutputVariable variable;
        bool accepted = ReadPixelOutputVariable(array->GetNodeByIndex(i), variable);
        AppendUnique(shader_info.pixel_output, variable, accepted, all_accepted, "pixel output");
    }
    if (shader_info.pixel_output.Count() == 0) {
        log.AddError("at least one pixel output variable must be declared.");
        return false;
    }
    return array && all_accepted;
}

// ---------------------------------------------------------------------------
// Sources

void ShaderReader::GetSourceLineNumbers() {
    source_line_numbers.count = 0;
    source_nul_locations.count = 0;
    if (path.IsEmpty()) return;
    nArray<char> read;
    if (file_text.count == 0 && ReadWholeFile(path.c_str(), read) != 0) return;
    nArray<char>& bytes = file_text.count > 0 ? file_text : read;
    // The data model hands a character data section out as a C string, so a
    // NUL byte in it would silently cut the source there. The raw text is
    // scanned with each NUL read as a blank, and a source whose section held
    // one is refused when it is read.
    nArray<int> nuls;
    for (int i = 0; i + 1 < bytes.count; ++i) {
        if (bytes.items[i] != '\0') continue;
        nuls.InsertLast(i);
        bytes.items[i] = ' ';
    }
    nArray<SourceSection> sections;
    RecordSourceLines(bytes.items, source_line_numbers, sections);
    int next = 0;  // both lists run forward through the text
    for (int i = 0; i < sections.count; ++i) {
        SourceLocation found = {0, 0};
        while (next < nuls.count && nuls[next] < sections[i].start) ++next;
        if (sections[i].start >= 0 && next < nuls.count && nuls[next] < sections[i].end)
            found = LocateByte(bytes.items, nuls[next]);
        source_nul_locations.InsertLast(found);
    }
}

bool ShaderReader::ReadSourceFromFile(const char* file, ShaderSource& source) {
    nString joined = directory;
    joined.Append(file);
    source.file = joined;
    if (ReadWholeTextFile(joined.c_str(), source.code, &log) != 0) {
        log.AddError("failed to open or read shader source file '%s'.", joined.c_str());
        return false;
    }
    return true;
}

bool ShaderReader::ReadSource(DMNode* node, int number, ShaderSource& source) {
    bool ok = true;
    int type = UNKNOWN_SHADER;
    if (FindWordValue(kShaderTypes, kShaderTypeCount, NodeValue(node, "type"), type)) {
        source.type = static_cast<ShaderType>(type);
    } else {
        source.type = UNKNOWN_SHADER;
        log.AddError("shader source %i has invalid type.", number);
        ok = false;
    }
    source.targets = GetSourceTargetIds(NodeValue(node, "target"));
    if (source.targets == 0) {
        log.AddError("shader source %i has invalid target(s).", number);
        ok = false;
    }
    const char* file = NodeValue(node, "file");
    const char* code = NodeValue(node, "CDATA");
    if (!file && !code) {
        log.AddError("shader source %i does not define source code.", number);
        return false;
    }
    if (file && code) {
        log.AddError("shader source %i defines both file and CDATA.", number);
        return false;
    }
    int index = number - 1;
    source.line = index < source_line_numbers.Count() ? source_line_numbers[index] : 1;
    if (file) return ReadSourceFromFile(file, source) && ok;
    source.file = path;
    if (index < source_nul_locations.Count() && source_nul_locations[index].line > 0) {
        const SourceLocation& nul = source_nul_locations[index];
        log.AddLocatedError(path.c_str(), nul.line, nul.column, "invalid character (code 0) in source.");
        return false;
    }
    source.code = code;
    source.line += RemoveLeadingBlankLines(source.code);
    return ok;
}

bool ShaderReader::IsTargetAlreadySpecifiedInSource(const ShaderSource& source) {
    const char* type_name = source.type == VERTEX_SHADER ? "vertex" : "pixel";
    for (int i = 0; i < shader_info.sources.Count(); ++i) {
        const ShaderSource& earlier = shader_info.sources[i];
        if (earlier.type != source.type) continue;
        if (earlier.targets == ALL_TARGETS) {
            if (source.targets == ALL_TARGETS) {
                log.AddError("multiple %s shader sources target all targets.", type_name);
                return true;
            }
        } else if ((earlier.targets & source.targets) != 0) {
            log.AddError("multiple %s shader sources target the same target.", type_name);
            return true;
        }
    }
    return false;
}

bool ShaderReader::ReadSources() {
    GetSourceLineNumbers();
    DMArray* array = GetXMLArray(ARRAY_SOURCES);
    if (!array) return false;
    bool all_accepted = true;
    for (int i = 0; i < array->GetNumberOfNodes(); ++i) {
        ShaderSource source;
        bool accepted = ReadSource(array->GetNodeByIndex(i), i + 1, source);
        if (accepted && IsTargetAlreadySpecifiedInSource(source)) accepted = false;
        if (!accepted) all_accepted = false;
        if (all_accepted) shader_info.sources.InsertLast(source);
    }
    return all_accepted;
}

}  // namespace ShaderTool
