#include "shadertool/translate/tests/hlsl_glslang.h"

#include <unistd.h>

#include <cstdio>
#include <string>

namespace ShaderTool {
namespace testing {

const PSSLName kPSSLNames[] = {
    {"ConstantBuffer", "cbuffer"},
    {"S_POSITION", "SV_Position"},
    {"S_FRONT_FACE", "SV_IsFrontFace"},
    {"S_INSTANCE_ID", "SV_InstanceID"},
    {"S_VERTEX_ID", "SV_VertexID"},
    {"S_TARGET_OUTPUT0", "SV_Target0"},
    {"S_TARGET_OUTPUT1", "SV_Target1"},
    {"S_TARGET_OUTPUT2", "SV_Target2"},
    {"S_TARGET_OUTPUT3", "SV_Target3"},
    {"S_TARGET_OUTPUT4", "SV_Target4"},
    {"S_TARGET_OUTPUT5", "SV_Target5"},
    {"S_TARGET_OUTPUT6", "SV_Target6"},
    {"S_TARGET_OUTPUT7", "SV_Target7"},
    {"SampleLOD", "SampleLevel"},
    {"SampleGradient", "SampleGrad"},
};
const int kPSSLNameCount = sizeof kPSSLNames / sizeof kPSSLNames[0];

namespace {

bool WriteFile(const char* path, const char* first, const char* second) {
    FILE* file = fopen(path, "wb");
    if (!file) return false;
    bool written = fputs(first, file) >= 0 && fputs(second, file) >= 0;
    return fclose(file) == 0 && written;
}

// A macro for each PSSL name, in front of a PSSL text.
std::string PSSLNameMacros() {
    std::string macros;
    for (int i = 0; i < kPSSLNameCount; ++i)
        macros += std::string("#define ") + kPSSLNames[i].pssl + " " + kPSSLNames[i].hlsl + "\n";
    return macros;
}

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
    if (WriteFile(source, target == PSSL ? PSSLNameMacros().c_str() : "", text)) {
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
