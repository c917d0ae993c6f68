#include "shadertool/translate/tests/hlsl_glslang.h"

#include <unistd.h>

#include <cstdio>

namespace ShaderTool {
namespace testing {

namespace {

bool WriteFile(const char* path, const char* first, const char* second) {
    FILE* file = fopen(path, "wb");
    if (!file) return false;
    bool written = fputs(first, file) >= 0 && fputs(second, file) >= 0;
    return fclose(file) == 0 && written;
}

// PSSL differs from HLSL 11 in names only where these texts are concerned:
// its constant buffer keyword, its semantics and two sampling methods.
const char* const kPSSLNames =
    "#define ConstantBuffer cbuffer\n"
    "#define S_POSITION SV_Position\n"
    "#define S_FRONT_FACE SV_IsFrontFace\n"
    "#define S_INSTANCE_ID SV_InstanceID\n"
    "#define S_VERTEX_ID SV_VertexID\n"
    "#define S_TARGET_OUTPUT0 SV_Target0\n"
    "#define S_TARGET_OUTPUT1 SV_Target1\n"
    "#define S_TARGET_OUTPUT2 SV_Target2\n"
    "#define S_TARGET_OUTPUT3 SV_Target3\n"
    "#define S_TARGET_OUTPUT4 SV_Target4\n"
    "#define S_TARGET_OUTPUT5 SV_Target5\n"
    "#define S_TARGET_OUTPUT6 SV_Target6\n"
    "#define S_TARGET_OUTPUT7 SV_Target7\n"
    "#define SampleLOD SampleLevel\n"
    "#define SampleGradient SampleGrad\n";

bool RunCapturingOutput(const std::string& command, std::string* messages) {
    messages->clear();
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        *messages = "cannot run glslangValidator";
        return false;
    }
    char buffer[512];
    size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0) messages->append(buffer, count);
    int status = pclose(pipe);
    if (status != 0 && messages->find("not found") != std::string::npos)
        *messages = "glslangValidator is not installed (package glslang-tools): " + *messages;
    return status == 0;
}

}  // namespace

bool CompilesAsHLSL(int target, ShaderType stage, const char* text, std::string* messages, bool with_tree) {
    char source[] = "/tmp/zk_hlsl_XXXXXX";
    int descriptor = mkstemp(source);
    if (descriptor < 0) {
        *messages = "cannot make a temporary file";
        return false;
    }
    close(descriptor);
    std::string binary = std::string(source) + ".spv";
    bool compiled = false;
    if (WriteFile(source, target == PSSL ? kPSSLNames : "", text)) {
        std::string command = std::string("glslangValidator -D -V -e main -S ") +
                              (stage == PIXEL_SHADER ? "frag" : "vert") +
                              (target == HLSL9 ? " --hlsl-dx9-compatible" : "") + (with_tree ? " -i" : "") + " -o " + binary + " " + source +
                              " 2>&1";
        compiled = RunCapturingOutput(command, messages);
    } else {
        *messages = "cannot write a temporary file";
    }
    unlink(source);
    unlink(binary.c_str());
    return compiled;
}

}  // namespace testing
}  // namespace ShaderTool
