#include "shadertool/translate/translator_driver.h"

#include "engine/base/file_names.h"
#include "engine/runtime/zekar.h"

#include "engine/storage/filesystem_api.h"
#include "shadertool/translate/output_paths.h"
#include "shadertool/translate/translator_factory.h"

namespace ShaderTool {

TranslatorDriver::TranslatorDriver()
    : parser(intermediate_log),
      preprocessor(intermediate_log),
      reader(intermediate_log),
      capabilities(GetCapabilities()),
      vertex_targets(0),
      pixel_targets(0),
      only_changed(false),
      only_changed_requested(false),
      newest_source_time(0) {
    for (int i = 0; i < kTargetCount; ++i) {
        compilers[i] = nullptr;
        translators[i] = nullptr;
    }
}

TranslatorDriver::~TranslatorDriver() {
    for (int i = 0; i < kTargetCount; ++i) {
        delete compilers[i];
        delete translators[i];
    }
    for (int i = 0; i < extra_parsers.count; ++i) delete extra_parsers[i];
}

// The first parser whose tree no target of the current source may take
// again; a source with trees of several texts gets parsers of its own.
Parser& TranslatorDriver::ParserWithoutATree() {
    for (int candidate = -1; candidate < extra_parsers.count; ++candidate) {
        Parser* parser_of = candidate < 0 ? &parser : extra_parsers[candidate];
        bool holds = false;
        for (int i = 0; i < trees.count && !holds; ++i) holds = trees[i].parser == parser_of;
        if (!holds) return *parser_of;
    }
    extra_parsers.InsertLast(new Parser(intermediate_log));
    return *extra_parsers[extra_parsers.count - 1];
}

int TranslatorDriver::GetTranslatorIndexForTarget(int target) { return GetShaderTargetIndex(target); }

void TranslatorDriver::LogNote(Log& log, const char* text) { log.AddNote("%s", text); }

void TranslatorDriver::LogError(Log& log, const char* text) { log.AddError("%s", text); }

bool TranslatorDriver::Initialize(int targets, const nString& directory, bool only_if_changed) {
    for (int i = 0; i < kTargetCount; ++i) {
        ShaderTarget target = kTargets[i].bit;
        if (!(targets & target)) continue;
        if (!translators[i]) translators[i] = CreateTranslator(target);
        CreateAndInitializeCompiler(target);
    }
    output_directory = directory;
    if (!output_directory.IsEmpty()) AppendDirectorySeparatorToPath(output_directory);
    only_changed = only_if_changed;
    only_changed_requested = only_if_changed;
    preprocessor.SetTrackSourceTimes(only_if_changed);
    return true;
}

Translator* TranslatorDriver::CreateTranslator(ShaderTarget target) {
    return ShaderTool::CreateTranslator(target, intermediate_log);
}

void TranslatorDriver::SetTranslator(ShaderTarget target, Translator* translator) {
    int index = GetTranslatorIndexForTarget(target);
    if (index < 0) {
        delete translator;
        return;
    }
    delete translators[index];
    translators[index] = translator;
}

Translator* TranslatorDriver::GetTranslator(ShaderTarget target) const {
    int index = GetTranslatorIndexForTarget(target);
    return index < 0 ? nullptr : translators[index];
}

void TranslatorDriver::Reset() {
    base_file_path = "";
    intermediate_log.Clear();
    master_log.Clear();
    for (int i = 0; i < kTargetCount; ++i)
        if (translators[i]) translators[i]->Reset();
    parser.Reset();
    for (int i = 0; i < extra_parsers.count; ++i) extra_parsers[i]->Reset();
    trees.count = 0;
    tree_source = nullptr;
    tree_parser = &parser;
    preprocessor.Reset();
    preprocessor.ForgetFileTimes();
    reader.Reset();
    shader_info = ShaderInfo();
    sources = nArray<SourceInfo>();
    vertex_targets = 0;
    pixel_targets = 0;
    translated_code = ShaderCode();
    newest_source_time = 0;
}

void TranslatorDriver::AppendIntermediateLogToMasterLog(const nString& heading) {
    if (!heading.IsEmpty()) master_log.text.AppendFormatted("%s:\n", heading.c_str());
    master_log.text.Append(intermediate_log.text.c_str());
    master_log.has_messages = master_log.has_messages || intermediate_log.has_messages;
    master_log.has_errors = master_log.has_errors || intermediate_log.has_errors;
    intermediate_log.Clear();
}

nString TranslatorDriver::GetBaseFilePath(nString path) const {
    int skip = options.input_directory.Length();
    if (skip > 0 && skip <= path.Length()) path = path.Substring(skip, path.Length() - skip);
    const char* extension = nPathExtension(path.c_str());
    if (extension) path = path.Substring(0, int(extension - 1 - path.c_str()));
    return path;
}

bool TranslatorDriver::ReadShaderXML(const nString& path, const char* xml_text, bool reload, bool skip_sources) {
    // The reader keeps the path text it was given, so it must outlive the read.
    shader_xml_path = path;
    bool read = xml_text ? reader.ReadShaderXMLFromMemory(xml_text, skip_sources)
                        : reader.ReadShaderXMLFromFile(shader_xml_path.c_str(), reload, skip_sources);
    if (read) {
        shader_info = reader.GetShaderInfo();
        // The sources that stand in the file need no look-up of its time.
        if (!xml_text) preprocessor.BeginFileTimes(shader_xml_path.c_str(), shader_info.time_modified);
        return true;
    }
    AppendIntermediateLogToMasterLog("Failed to read the Shader XML");
    return false;
}

bool TranslatorDriver::Fail() {
    AppendIntermediateLogToMasterLog(nString());
    LogNote(master_log, "\nTranslation FAILED");
    return false;
}

bool TranslatorDriver::Translate(const nString& path, const Options& call_options, bool reload) {
    trees.count = 0;
    tree_source = nullptr;
    master_log.AddNote("Translating Shader XML '%s'...", path.c_str());
    if (!ReadShaderXML(path, nullptr, reload, false)) {
        LogNote(master_log, "\nTranslation FAILED");
        return false;
    }
    if (shader_info.version == 0) {
        LogNote(master_log, "File is not a Shader XML file.\n\nTranslation SKIPPED");
        return true;
    }
    options = call_options;
    options.target_mask &= shader_info.targets;
    if (options.target_mask == 0) {
        LogNote(master_log, "No translation targets match the targets specified in the Shader XML.\n\nTranslation SKIPPED");
        return true;
    }
    if (!CheckCapabilities() || !InitializeSourceInfos()) return Fail();
    base_file_path = GetBaseFilePath(path);
    LimitReferenceTimeToOutputs();
    bool result = TranslateSourcesForTargets();
    if (!result) return Fail();
    result = TranslateUpToDateSourcesIfNeeded(result);
    if (!result) return Fail();
    AppendIntermediateLogToMasterLog(nString());
    LogNote(master_log, "\nTranslation SUCCEEDED");
    return true;
}

bool TranslatorDriver::TranslateUpToDateSourcesIfNeeded(bool result) {
    if (!only_changed || sources.count == 0) return result;
    int up_to_date = 0;
    for (int i = 0; i < sources.count; ++i) {
        if (sources[i].up_to_date) {
            sources[i].must_parse = true;
            ++up_to_date;
        }
        sources[i].up_to_date = !sources[i].up_to_date;
    }
    if (up_to_date < 1 || up_to_date >= sources.count) return result;
    only_changed = false;
    LogNote(intermediate_log, "Changes or target dependent code was detected, translating up-to-date shader sources...");
    result = TranslateSourcesForTargets();
    only_changed = true;
    return result;
}

bool TranslatorDriver::CheckTargetCapabilities(const ShaderInfo& info, const Capabilities& caps, ShaderTarget target) {
    bool passed = true;
    if (!caps.multiple_pixel_outputs && info.pixel_output.count >= 2) {
        master_log.AddError("target '%s' does not support multiple pixel outputs.", GetTargetName(target));
        passed = false;
    }
    if (!caps.textures_3d) {
        for (int i = 0; i < info.pixel_textures.count; ++i) {
            if (info.pixel_textures[i].type.texture_kind != 1) continue;
            master_log.AddError("target '%s' does not support 3D textures.", GetTargetName(target));
            passed = false;
            break;
        }
    }
    return passed;
}

bool TranslatorDriver::CheckCapabilities() {
    bool passed = true;
    for (int i = 0; i < kTargetCount; ++i) {
        if (!(options.target_mask & kTargets[i].bit)) continue;
        if (!CheckTargetCapabilities(shader_info, capabilities[i], kTargets[i].bit)) passed = false;
    }
    return passed;
}

bool TranslatorDriver::InitializeSourceInfos() {
    int vertex_total = 0;
    int pixel_total = 0;
    vertex_targets = 0;
    pixel_targets = 0;
    for (int i = 0; i < shader_info.sources.count; ++i) {
        const ShaderSource& source = shader_info.sources[i];
        if (!(source.targets & options.target_mask)) continue;
        SourceInfo info;
        info.source = &source;
        info.number = i + 1;
        sources.InsertLast(info);
        bool vertex = source.type == VERTEX_SHADER;
        (vertex ? vertex_total : pixel_total) |= source.targets;
        if (source.targets != ALL_TARGETS) (vertex ? vertex_targets : pixel_targets) |= source.targets;
    }
    // Only the requested targets need both stages: a file may split its
    // sources over targets that this call does not translate.
    if ((vertex_total & options.target_mask) != (pixel_total & options.target_mask)) {
        LogError(intermediate_log, "some targets do not have both vertex and pixel shader source specified.");
        return false;
    }
    return true;
}

// The caller's reference time says the outputs are at least that new. Every
// output that this run would leave must be: a missing one means nothing is
// up to date, or the file would be skipped without it, and an older one
// lowers the time, or it would be kept stale beside newer outputs.
void TranslatorDriver::LimitReferenceTimeToOutputs() {
    if (!only_changed || options.reference_time == 0 || output_directory.IsEmpty() || sources.count == 0) return;
    nArray<nString> expected = GetExpectedOutputPaths();
    for (int k = 0; k < expected.count; ++k) {
        zk_file_info_t info;
        if (!zk->file_system->ZK_FileSystem_FileExists(expected[k].c_str()) ||
            !zk->file_system->ZK_FileSystem_GetFileInfo(expected[k].c_str(), &info)) {
            options.reference_time = 0;
            return;
        }
        int time = static_cast<int>(info.modification_time);
        if (time < options.reference_time) options.reference_time = time < 0 ? 0 : time;
    }
}

nArray<nString> TranslatorDriver::GetExpectedOutputPaths() const {
    nArray<nString> expected;
    for (const TargetDescription& description : kTargets) {
        int target = description.bit;
        if (!(options.target_mask & target)) continue;
        for (int stage = 0; stage < 2; ++stage) {
            bool binaries = options.compile && !options.preprocess_only && description.binary;
            if (!binaries) {
                expected.InsertLast(GetOutputFilePath(output_directory.c_str(), target, "", base_file_path.c_str(), 0, stage));
            } else if (description.levels && options.level_mask != 0) {
                for (const LevelDescription& level : kLevels)
                    if (options.level_mask & level.bit)
                        expected.InsertLast(GetOutputFilePath(output_directory.c_str(), target, "bin/",
                                                              base_file_path.c_str(), level.bit, stage));
            } else {
                expected.InsertLast(GetOutputFilePath(output_directory.c_str(), target, "bin/", base_file_path.c_str(), 0, stage));
            }
        }
    }
    return expected;
}

bool TranslatorDriver::TranslateSourcesForTargets() {
    bool result = true;
    for (int i = 0; i < sources.count; ++i) {
        SourceInfo& info = sources[i];
        if (info.up_to_date) continue;
        intermediate_log.AddNote("Translating %s shader code of shader source %i...", GetStageName(info.source->type),
                                 info.number);
        if (!TranslateSourceForTargets(info)) result = false;
    }
    return result;
}

bool TranslatorDriver::TranslateSourceForTargets(SourceInfo& info) {
    bool result = true;
    int source_targets = info.source->targets;
    int stage_mask = info.source->type == VERTEX_SHADER ? vertex_targets : pixel_targets;
    for (const TargetDescription& description : kTargets) {
        int target = description.bit;
        if (!(options.target_mask & target) || !(source_targets & target)) continue;
        // A source written for one target wins over the catch-all source.
        if (source_targets == ALL_TARGETS && (stage_mask & target)) continue;
        bool translated = TranslateSourceForTarget(info, ShaderTarget(target));
        if (translated && info.up_to_date) {
            LogNote(intermediate_log, "Shader source is up to date, skipping translation...");
            return result;
        }
        if (!translated && !info.parsed && !info.must_parse) {
            LogError(intermediate_log, "parsing the source failed, skipping rest of the targets...");
            return false;
        }
        if (!translated) result = false;
    }
    return result;
}

bool TranslatorDriver::TranslateSourceForTarget(SourceInfo& info, ShaderTarget target) {
    intermediate_log.AddNote("Translating for target '%s'...", GetTargetName(target));
    if (info.must_parse) info.parsed = ParseSourceForTarget(info, target);
    if (info.up_to_date) return true;
    if (!info.parsed) return false;
    // Listing definitions is all this mode does: no tree was built, so
    // nothing is translated or written.
    if (options.list_definitions) return true;
    ShaderType stage = info.source->type;
    if (options.preprocess_only) {
        KeepTranslatedCode(stage, preprocessor.GetOutput().c_str());
        return OutputTranslatedShaderSource(GetTranslator(target), target, stage);
    }
    if (!RunTranslator(info, target)) return false;
    Translator* translator = GetTranslator(target);
    KeepTranslatedCode(stage, translator->GetOutput().c_str());
    bool result = OutputTranslatedShaderSource(translator, target, stage);
    if (options.compile)
        result = CompileAndOutputTranslatedShaderSource(nString(translator->GetOutput().c_str()), target, stage) && result;
    return result;
}

bool TranslatorDriver::RunTranslator(SourceInfo& info, ShaderTarget target) {
    Translator* translator = GetTranslator(target);
    if (!translator) {
        intermediate_log.AddError("target '%s' has no translator.", GetTargetName(target));
        return false;
    }
    return translator->Translate(shader_info, target, options.level_mask, info.source->type, tree_parser->GetRoot());
}

void TranslatorDriver::KeepTranslatedCode(ShaderType stage, const char* text) {
    nByteBuffer& code = translated_code.GetBuffer(stage);
    code.Clear();
    translated_code.AppendStringWithNullTerminator(stage, text);
}

ShaderSource TranslatorDriver::GetPreprocessedShaderSource(const ShaderSource& source) const {
    ShaderSource copy = source;
    copy.code = preprocessor.GetOutput();
    return copy;
}

int TranslatorDriver::UpdateSourceModifiedTime(SourceInfo& info) {
    int time = static_cast<int>(preprocessor.GetNewestSourceTime());
    info.up_to_date = time >= 1 && time <= options.reference_time;
    return time;
}

bool TranslatorDriver::ParseSourceForTarget(SourceInfo& info, ShaderTarget target) {
    // Errors that the preprocessor logs without failing (a refused -d
    // definition) still fail the source.
    bool earlier_errors = intermediate_log.has_errors;
    intermediate_log.has_errors = false;
    bool processed = preprocessor.Process(shader_info, target, *info.source, options.definitions,
                                          options.list_definitions);
    bool logged_errors = intermediate_log.has_errors;
    intermediate_log.has_errors = earlier_errors || logged_errors;
    if (processed && !logged_errors && only_changed_requested) {
        int time = static_cast<int>(preprocessor.GetNewestSourceTime());
        if (time > newest_source_time) newest_source_time = time;
    }
    if (options.list_definitions) return processed && !logged_errors;
    if (!processed || logged_errors) {
        info.must_parse = false;
        return false;
    }
    info.must_parse = preprocessor.IsTargetDependent();
    if (!info.must_parse && only_changed) {
        UpdateSourceModifiedTime(info);
        if (info.up_to_date) return true;
    }
    if (options.preprocess_only) return true;
    // A target-dependent source often reads the same for several targets:
    // a tree of this source whose text is the same serves again, when its
    // parse said nothing (so that the log reads as if it had run again).
    if (tree_source != info.source) {
        trees.count = 0;
        tree_source = info.source;
    }
    for (int i = 0; i < trees.count; ++i) {
        if (!(trees[i].text == preprocessor.GetOutput())) continue;
        tree_parser = trees[i].parser;
        return true;
    }

    Parser& into = ParserWithoutATree();
    tree_parser = &into;
    preprocessed_source = GetPreprocessedShaderSource(*info.source);
    int log_length = intermediate_log.text.Length();
    ++parse_count;
    if (!into.Parse(shader_info, preprocessed_source)) return false;
    if (info.must_parse && intermediate_log.text.Length() == log_length)
        trees.InsertLast(Tree{&into, preprocessed_source.code});
    return true;
}

}  // namespace ShaderTool
