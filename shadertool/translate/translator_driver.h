// Takes one Shader XML through reading, preprocessing, parsing, translation,
// output and the optional compile step, for every requested target, and
// reports into two logs: the intermediate log that every stage writes to,
// and the per-file master log that the caller prints.
//
// Target translators come from CreateTranslator (translator_factory.h).
// The driver takes no lock; run-time users guard it themselves.
#pragma once

#include "engine/base/narray.h"
#include "engine/base/nbytebuffer.h"
#include "engine/base/nstring.h"
#include "shadertool/translate/compiler.h"
#include "shadertool/frontend/parser.h"
#include "shadertool/frontend/preprocessor.h"
#include "shadertool/shader_xml/shader_reader.h"
#include "shadertool/translate/frontend.h"
#include "shadertool/translate/translator.h"

namespace ShaderTool {

// What a caller knows of the folders that the driver writes its outputs
// into, over a run of many files: an output that cannot be there yet is
// written without first looking for the file it would replace.
class OutputFolderKnowledge {
public:
    virtual ~OutputFolderKnowledge() = default;
    // False only when there can be no file at path.
    virtual bool MayHold(const nString& path) = 0;
    // The driver has written the file at path.
    virtual void Note(const nString& path) = 0;
};

class TranslatorDriver {
public:
    struct Options {
        nString input_directory;
        nArray<nString> definitions;  // name, value, name, value, ...
        int level_mask = 0;
        int target_mask = 0;
        int reference_time = 0;
        bool compile = false;
        bool list_definitions = false;
        bool preprocess_only = false;
    };

    struct SourceInfo {
        const ShaderSource* source = nullptr;
        int number = 0;
        bool up_to_date = false;
        bool parsed = true;
        bool must_parse = true;
    };

    TranslatorDriver();
    ~TranslatorDriver();

    bool Initialize(int targets, const nString& directory, bool only_if_changed);
    // The target's translator from the factory, reporting into the
    // intermediate log; the caller owns it.
    Translator* CreateTranslator(ShaderTarget target);
    // Installs a translator for a target in place of the one CreateTranslator
    // would make; the driver owns it. Initialize keeps an installed one.
    void SetTranslator(ShaderTarget target, Translator* translator);
    Translator* GetTranslator(ShaderTarget target) const;

    bool ReadShaderXML(const nString& path, const char* xml_text, bool reload, bool skip_sources);
    bool Translate(const nString& path, const Options& options, bool reload);
    void Reset();

    void AppendIntermediateLogToMasterLog(const nString& heading);
    nString GetBaseFilePath(nString path) const;
    ShaderSource GetPreprocessedShaderSource(const ShaderSource& source) const;
    int UpdateSourceModifiedTime(SourceInfo& info);
    bool TranslateUpToDateSourcesIfNeeded(bool result);

    // Outputs (paths "%s%s/%s%s%s.%s" under the output directory).
    bool OutputFile(const char* data, size_t length, const char* subdirectory, ShaderTarget target,
                    ShaderLevel level, ShaderType stage);
    bool OutputTranslatedShaderSource(Translator* translator, ShaderTarget target, ShaderType stage);
    bool OutputCompiledCode(nByteBuffer& code, ShaderTarget target, ShaderLevel level, ShaderType stage);
    static void AppendDirectorySeparatorToPath(nString& path);

    // Compile step.
    bool CreateAndInitializeCompiler(ShaderTarget target);
    bool CompileAndOutputTranslatedShaderSource(const nString& source, ShaderTarget target, ShaderType stage);
    bool CompileAndOutputTranslatedShaderSourceForLevel(Compiler* compiler, const nString& source,
                                                        ShaderTarget target, ShaderLevel level, ShaderType stage);
    // Installs a compiler for a target's family (the driver owns it).
    void SetCompiler(ShaderTarget target, Compiler* compiler);
    // What the caller knows of the output folders (not owned; null, the
    // default, for nothing).
    void SetOutputFolderKnowledge(OutputFolderKnowledge* knowledge) { output_folders = knowledge; }

    static int GetTranslatorIndexForTarget(int target);

    Log& GetMasterLog() { return master_log; }
    Log& GetIntermediateLog() { return intermediate_log; }
    const ShaderInfo& GetShaderInfo() const { return shader_info; }
    const nString& GetOutputDirectory() const { return output_directory; }
    // The text of each stage from the last translation (with a terminating
    // NUL), for users that load it without going through files.
    const ShaderCode& GetTranslatedCode() const { return translated_code; }
    // The newest modification time of the Shader XML, the sources and their
    // includes seen by the last translation (0 when times are not tracked).
    int GetNewestSourceTime() const { return newest_source_time; }
    // How many times the driver has run the parser.
    int GetParseCount() const { return parse_count; }

private:
    TranslatorDriver(const TranslatorDriver&) = delete;
    TranslatorDriver& operator=(const TranslatorDriver&) = delete;

    bool Fail();
    bool CheckCapabilities();
    bool CheckTargetCapabilities(const ShaderInfo& info, const Capabilities& capabilities, ShaderTarget target);
    bool InitializeSourceInfos();
    void LimitReferenceTimeToOutputs();
    nArray<nString> GetExpectedOutputPaths() const;
    bool TranslateSourcesForTargets();
    bool TranslateSourceForTargets(SourceInfo& info);
    bool TranslateSourceForTarget(SourceInfo& info, ShaderTarget target);
    bool ParseSourceForTarget(SourceInfo& info, ShaderTarget target);
    bool RunTranslator(SourceInfo& info, ShaderTarget target);
    void KeepTranslatedCode(ShaderType stage, const char* text);
    void LogNote(Log& log, const char* text);
    void LogError(Log& log, const char* text);

    Compiler* compilers[kTargetCount];
    Log intermediate_log;
    Log master_log;
    nString output_directory;
    Parser parser;
    Preprocessor preprocessor;
    ShaderReader reader;
    ShaderInfo shader_info;
    nArray<SourceInfo> sources;
    Translator* translators[kTargetCount];
    nArray<Capabilities> capabilities;
    nString base_file_path;
    Options options;
    int vertex_targets;
    int pixel_targets;
    bool only_changed;
    // only_changed as Initialize set it; the second pass clears the other.
    bool only_changed_requested;

    OutputFolderKnowledge* output_folders = nullptr;
    // The trees of the current source (tree_source) that may serve another
    // target: one per distinct preprocessed text that parsed without a
    // message. The translators take tree_parser's tree.
    struct Tree {
        Parser* parser;
        nString text;
    };
    Parser& ParserWithoutATree();
    const ShaderSource* tree_source = nullptr;
    nArray<Tree> trees;
    nArray<Parser*> extra_parsers;  // owned
    Parser* tree_parser = &parser;
    int parse_count = 0;
    nString shader_xml_path;
    ShaderSource preprocessed_source;
    ShaderCode translated_code;
    int newest_source_time;
};

}  // namespace ShaderTool

// The engine's one driver for run-time translation; constructible before
// main (it touches no engine state until Initialize).
extern ShaderTool::TranslatorDriver shader_translator_driver;
