// Compilers turn translated text into a target's binary code. No target has
// one set up yet; the interface and the helper for outside compiler
// programs stay so that one can be added per compiler family.
#pragma once

#include "engine/base/nbytebuffer.h"
#include "engine/base/nstring.h"
#include "shadertool/translate/frontend.h"

namespace ShaderTool {

class Compiler {
public:
    virtual ~Compiler();
    // Compiles one stage's text. On success `code` holds the binary; the
    // caller frees it after writing unless the buffer does not own it.
    virtual bool Compile(ShaderTarget target, ShaderLevel level, ShaderType stage, const nString& source,
                         nByteBuffer& code) = 0;

    // The log text for an outside compiler's output: a heading (naming the
    // level when there is one), the output without its trailing line breaks,
    // and one line feed.
    static nString ProcessOutput(const char* output, ShaderLevel level);
};

// Compiler family of a target: 0 the GL family, 1 HLSL9 and HLSL11, 2 PSSL,
// -1 for anything else.
int GetCompilerFamily(ShaderTarget target);

// The compiler of a target's family, or null when none is set up (every
// target at present).
Compiler* CreateCompiler(ShaderTarget target);

// The value of a configured environment path; none is configured, so empty.
nString GetEnvironmentPath(const char* name);

// Runs an outside compiler program over temporary files: the source is
// written to a new private file in the temporary directory, the program
// writes its code next to it, and both files are removed afterwards.
class ExternalCompilerUtility {
public:
    explicit ExternalCompilerUtility(Log* log = nullptr);
    ~ExternalCompilerUtility();

    // Takes the temporary directory from the environment paths; false when
    // there is none.
    bool Initialize();
    void SetTemporaryDirectory(const nString& directory) { temporary_directory = directory; }
    void SetShaderID(unsigned int id) { shader_id = id; }
    unsigned int GetShaderID() const { return shader_id; }
    const nString& GetSourcePath() const { return source_path; }
    const nString& GetCompiledCodePath() const { return compiled_code_path; }

    void IncrementShaderID();
    // Writes the source to "<temp>/<target>_<stage>_shader_<id>", a file
    // this call creates (never one that existed), readable by the owner only.
    bool OutputSource(ShaderTarget target, ShaderType stage, const nString& source);
    // Substitutes $INPUT and $OUTPUT in the command line and runs it
    // directly, without a shell: the words of the command line are the
    // program and its arguments.
    bool Compile(ShaderTarget target, ShaderType stage, nString& command_line, const nString& source,
                 nByteBuffer& code);
    // Reads the compiled-code file whole into `code`.
    bool GetCompiledCode(nByteBuffer& code);

private:
    void LogError(const char* message);
    void DeleteTemporaryFiles();

    nString compiled_code_path;
    nString source_path;
    nString temporary_directory;
    Log* log;
    unsigned int shader_id;
};

}  // namespace ShaderTool
