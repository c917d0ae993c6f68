// Reads a Shader XML file (or text) through the engine's data model into a
// ShaderInfo, checking every entry. Each fault is reported to the log as
// "Error: %s\n" and reading goes on, so that one run reports every fault of
// a file; the result says whether any fault occurred.
#pragma once

#include <cstdint>

#include "engine/base/narray.h"
#include "engine/base/nstring.h"
#include "shadertool/frontend/log.h"
#include "shadertool/frontend/shader_info.h"
#include "shadertool/frontend/token.h"
#include "shadertool/frontend/types.h"
#include "shadertool/shader_xml/shader_xml_words.h"

namespace InnerZK {
class DMArray;
class DMDatabase;
class DMNode;
}  // namespace InnerZK

namespace ShaderTool {

// Type of a constant or vertex output from its type name ("FLOAT4",
// "INT2", "FLOAT4X4", ...); an unknown or missing name gives no type.
Type GetVariableType(const char* name, bool is_constant, int count);

class ShaderReader {
public:
    enum {
        kMaximumVertexInputs = 9,
        kMaximumPixelTextures = 8,
    };

    explicit ShaderReader(Log& log);
    ShaderReader(const ShaderReader&) = delete;
    ShaderReader& operator=(const ShaderReader&) = delete;

    // release_cached: read the file afresh instead of the cached database.
    bool ReadShaderXMLFromFile(const char* path, bool release_cached, bool skip_sources);
    // Reads a Shader XML text. Sources and constant files named by "file"
    // resolve against the current directory.
    bool ReadShaderXMLFromMemory(const char* text, bool skip_sources);
    void Reset();

    uint32_t GetTimeModified();
    const ShaderInfo& GetShaderInfo() const { return shader_info; }
    ShaderInfo& GetShaderInfo() { return shader_info; }
    const nString& GetDirectory() const { return directory; }
    const nString& GetPath() const { return path; }
    const nArray<int>& GetLineNumbers() const { return source_line_numbers; }

    // Records, for each source node of the file at `path`, the line on which
    // its character data section begins (1 for a node without one).
    void GetSourceLineNumbers();

private:
    bool ReadShaderXML(bool skip_sources);
    uint32_t ReadVersion(InnerZK::DMArray* info);
    bool ValidateVersion();
    // The first array of the file with the table's name; null when there is
    // none, reported when the table says it is required.
    InnerZK::DMArray* GetXMLArray(ShaderXMLArray which);

    bool ReadInfo();
    bool ReadGeneralConstants(InnerZK::DMArray* included);
    bool ReadGeneralConstant(InnerZK::DMNode* node, bool in_included_file);
    bool ReadGeneralConstantsFromFile(const char* file);
    bool ReadVertexInput();
    bool ReadVertexInputVariable(InnerZK::DMNode* node, ShaderVertexInputVariable& variable);
    bool ReadConstants(ShaderXMLArray which, nArray<ShaderConstantVariable>& list);
    bool ReadConstantVariable(InnerZK::DMNode* node, const char* array_name, ShaderConstantVariable& variable);
    int ReadConstantVariableCount(const char* text);
    bool ReadVertexOutput();
    bool ReadVertexOutputVariable(InnerZK::DMNode* node, ShaderVertexOutputVariable& variable);
    bool ReadPixelTextures();
    bool ReadTextureVariable(InnerZK::DMNode* node, ShaderTextureVariable& variable);
    bool GetTextureAddressMode(InnerZK::DMNode* node, const char* key, const ShaderTextureVariable& variable,
                               int& mode);
    bool GetTextureFilterMode(InnerZK::DMNode* node, const char* key, const ShaderTextureVariable& variable,
                              int& mode);
    bool ReadPixelOutput();
    bool ReadPixelOutputVariable(InnerZK::DMNode* node, ShaderPixelOutputVariable& variable);
    bool ReadSources();
    bool ReadSource(InnerZK::DMNode* node, int number, ShaderSource& source);
    bool ReadSourceFromFile(const char* file, ShaderSource& source);
    bool IsTargetAlreadySpecifiedInSource(const ShaderSource& source);
    int GetVertexOutputVariableSemanticIndex(ShaderVertexOutputSemantic semantic) const;

    bool ValidateID(InnerZK::DMNode* node, const char* what, nString& id);
    bool ValidateConstantID(InnerZK::DMNode* node, const char* array_name, nString& id);
    template <class T>
    static bool ArrayContainsItem(const nArray<T>& list, const nString& id);
    template <class T>
    bool AppendUnique(nArray<T>& list, const T& item, bool accepted, bool& all_accepted, const char* what);

    Log& log;
    ShaderInfo shader_info;
    nString directory;  // the Shader XML's directory with a trailing "/", or empty
    nString path;       // the Shader XML's path; empty for a text read from memory
    nArray<int> source_line_numbers;
    // Per source node, where a NUL byte stands in its character data section
    // (line 0: none).
    nArray<SourceLocation> source_nul_locations;
    // The file's text as its database load read it, for the source lines;
    // empty when the database was loaded before (the file is read again).
    nArray<char> file_text;
    InnerZK::DMDatabase* database = nullptr;  // while a read is in progress
};

}  // namespace ShaderTool
