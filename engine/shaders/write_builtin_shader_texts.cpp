// Writes the C++ source of the built-in shaders' texts at build time:
//
//   zk_write_builtin_shader_texts OUTPUT XML_FOLDER NAME[:TARGET,...]...
//
// For each NAME, the namespace InternalShader_NAME gets the text of
// XML_FOLDER/NAME.xml as shader_xml and, in sources, the pair of stage texts
// that the translators write from it for each TARGET, in the order given,
// each behind its header line "<target>,NONE,". A NAME without targets gets
// an empty sources table.
//
// The program runs the translators alone: it sets up the runtime's state and
// the storage layer's file-system table (through which the driver reads
// the Shader XML), and nothing of the media layer, whose graphics slots stay
// neutral. It writes OUTPUT only when everything translated.

#include <cctype>
#include <cstdio>
#include <cstring>

#include "engine/base/narray.h"
#include "engine/base/nstring.h"
#include "engine/runtime/log.h"
#include "engine/runtime/state.h"
#include "engine/runtime/state_setup.h"
#include "engine/runtime/threads.h"
#include "engine/safewrite/safe_write_file.h"
#include "engine/storage/filesystem.h"
#include "engine/storage/filesystem_api.h"
#include "shadertool/frontend/preprocessor.h"
#include "shadertool/frontend/shader_info.h"
#include "shadertool/translate/translator_driver.h"

namespace {

const char kProgram[] = "zk_write_builtin_shader_texts";
const int kMaximumTargets = 7;

struct BuiltInShader {
    nString name;
    int targets[kMaximumTargets];
    int target_count;
};

void Fail(const char* message, const char* detail) { fprintf(stderr, "%s: %s%s\n", kProgram, message, detail); }

// "NAME" or "NAME:TARGET,TARGET": every target one known single target.
bool ParseShaderArgument(const char* argument, BuiltInShader& shader) {
    const char* colon = strchr(argument, ':');
    shader.name = colon ? nString(argument).Substring(0, static_cast<int>(colon - argument)) : nString(argument);
    shader.target_count = 0;
    if (shader.name.IsEmpty()) {
        Fail("a shader argument names no shader: ", argument);
        return false;
    }
    if (!colon) return true;
    nString list(colon + 1);
    for (int i = 0; i < kMaximumTargets + 1; ++i) {
        nString name = list.GetToken(i, ",");
        if (name.IsEmpty()) break;
        int target = ShaderTool::GetShaderTargetsFromString(name.c_str());
        if (ShaderTool::GetShaderTargetIndex(target) < 0 || shader.target_count == kMaximumTargets) {
            Fail("not a list of single targets: ", argument);
            return false;
        }
        shader.targets[shader.target_count++] = target;
    }
    return true;
}

// A C++ string literal for one line of text, escaped so that the compiler
// reads back exactly its bytes.
void AppendEscaped(nString& out, const char* begin, const char* end) {
    out.Append("    \"");
    for (const char* c = begin; c < end; ++c) {
        unsigned char byte = static_cast<unsigned char>(*c);
        if (byte == '\\' || byte == '"') {
            out.AppendFormatted("\\%c", byte);
        } else if (byte == '\n') {
            out.Append("\\n");
        } else if (byte == '\t') {
            out.Append("\\t");
        } else if (byte == '?' && c > begin && c[-1] == '?') {
            out.Append("\\?");  // never a trigraph
        } else if (byte < 0x20 || byte >= 0x7F) {
            out.AppendFormatted("\\%03o", byte);
        } else {
            out.AppendFormatted("%c", byte);
        }
    }
    out.Append("\"");
}

// The text as a literal of one quoted piece per line.
void AppendLiteral(nString& out, const char* text) {
    if (!*text) out.Append("    \"\"");
    while (*text) {
        const char* line_end = strchr(text, '\n');
        const char* next = line_end ? line_end + 1 : text + strlen(text);
        AppendEscaped(out, text, next);
        text = next;
        if (*text) out.Append("\n");
    }
}

void AppendArray(nString& out, const char* declaration, const char* text) {
    out.AppendFormatted("%s =\n", declaration);
    AppendLiteral(out, text);
    out.Append(";\n\n");
}

nString LowerCase(const char* text) {
    nString lower(text);
    for (char* c = lower.text; c && *c; ++c) *c = static_cast<char>(tolower(static_cast<unsigned char>(*c)));
    return lower;
}

bool ReadShaderXml(const nString& path, nString& text) {
    nArray<char> bytes;
    if (ShaderTool::ReadWholeFile(path.c_str(), bytes) != 0) {
        Fail("cannot read ", path.c_str());
        return false;
    }
    if (strlen(bytes.items) + 1 != static_cast<size_t>(bytes.count)) {
        Fail("a NUL byte would end the text early in ", path.c_str());
        return false;
    }
    text = bytes.items;
    return true;
}

// Both stage texts of one target, each behind its header line.
bool TranslateForTarget(ShaderTool::TranslatorDriver& driver, const nString& path, int target, nString& vertex,
                        nString& pixel) {
    ShaderTool::TranslatorDriver::Options options;
    options.target_mask = target;
    bool translated = driver.Translate(path, options, true);
    const ShaderTool::ShaderCode& code = driver.GetTranslatedCode();
    translated = translated && code.vertex.size > 0 && code.pixel.size > 0;
    if (!translated) {
        Fail("translation failed:\n", driver.GetMasterLog().GetText());
        driver.Reset();
        return false;
    }
    const char* name = ShaderTool::GetShaderTargetName(ShaderTool::GetShaderTargetIndex(target));
    vertex.SetFormatted("%s,NONE,\n%s", name, reinterpret_cast<const char*>(code.vertex.data));
    pixel.SetFormatted("%s,NONE,\n%s", name, reinterpret_cast<const char*>(code.pixel.data));
    driver.Reset();
    return true;
}

bool AppendShader(nString& out, ShaderTool::TranslatorDriver& driver, const nString& folder,
                  const BuiltInShader& shader) {
    nString path = nString::Format("%s/%s.xml", folder.c_str(), shader.name.c_str());
    nString xml;
    if (!ReadShaderXml(path, xml)) return false;
    out.AppendFormatted("namespace InternalShader_%s {\n\n", shader.name.c_str());
    AppendArray(out, "const char* const shader_xml", xml.c_str());
    nString table("const char* const sources[] = {\n");
    if (shader.target_count > 0) out.Append("namespace {\n\n");
    for (int i = 0; i < shader.target_count; ++i) {
        nString vertex, pixel;
        if (!TranslateForTarget(driver, path, shader.targets[i], vertex, pixel)) return false;
        nString prefix = LowerCase(ShaderTool::GetShaderTargetName(ShaderTool::GetShaderTargetIndex(shader.targets[i])));
        AppendArray(out, nString::Format("const char %s_vertex[]", prefix.c_str()).c_str(), vertex.c_str());
        AppendArray(out, nString::Format("const char %s_pixel[]", prefix.c_str()).c_str(), pixel.c_str());
        table.AppendFormatted("    %s_vertex, %s_pixel,\n", prefix.c_str(), prefix.c_str());
    }
    if (shader.target_count > 0) out.Append("}  // namespace\n\n");
    table.Append("    nullptr, nullptr,\n};\n\n");
    out.Append(table.c_str());
    out.AppendFormatted("}  // namespace InternalShader_%s\n\n", shader.name.c_str());
    return true;
}

bool WriteOutput(const char* path, const nString& text) {
    char reason[512];
    zk_safe_write_t file = {};
    bool written = ZKI_BeginSafeWrite(&file, path, reason, sizeof reason) &&
                   ZKI_WriteSafely(&file, text.c_str(), static_cast<size_t>(text.Length()), reason, sizeof reason) &&
                   ZKI_CommitSafeWrite(&file, reason, sizeof reason);
    if (!written) {
        ZKI_AbandonSafeWrite(&file);
        Fail("cannot write the output: ", reason);
    }
    return written;
}

// The runtime's state with the storage layer's part of the table: enough
// for the driver to read files; the engine's own log and popups stay off.
void SetUpTranslatorsEngine() {
    zk_run_silent = 1;
    zk_run_no_popups = 1;
    ZKT_InitThreads();
    ZKI_SetUpState(nullptr);
    ZKI_CreateCoreMutexes();
    ZKI_FillStorageInterface(zk);
    ZKFileSystem::Initialize();
}

const char kHeading[] =
    "// Written at build time by zk_write_builtin_shader_texts from the Shader\n"
    "// XML files of the built-in shaders; not to be edited. Each stage text is\n"
    "// the translators' output for the Shader XML beside it.\n\n"
    "#include \"engine/shaders/builtin_shaders.h\"\n\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        Fail("usage: OUTPUT XML_FOLDER NAME[:TARGET,...]...", "");
        return 2;
    }
    SetUpTranslatorsEngine();
    nArray<BuiltInShader> shaders;
    int all_targets = 0;
    for (int i = 3; i < argc; ++i) {
        BuiltInShader shader;
        if (!ParseShaderArgument(argv[i], shader)) return 2;
        for (int t = 0; t < shader.target_count; ++t) all_targets |= shader.targets[t];
        shaders.InsertLast(shader);
    }
    bool succeeded = true;
    {
        ShaderTool::TranslatorDriver driver;
        driver.Initialize(all_targets, "", false);
        nString out(kHeading);
        for (int i = 0; i < shaders.count && succeeded; ++i) succeeded = AppendShader(out, driver, argv[2], shaders.items[i]);
        succeeded = succeeded && WriteOutput(argv[1], out);
    }
    ZKFileSystem::Deinitialize();
    return succeeded ? 0 : 1;
}
