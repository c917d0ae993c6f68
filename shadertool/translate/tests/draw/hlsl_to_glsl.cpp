#include "shadertool/translate/tests/draw/hlsl_to_glsl.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>

#include "shadertool/frontend/shader_info.h"
#include "shadertool/translate/tests/driver_test_support.h"
#include "shadertool/translate/tests/hlsl_glslang.h"

namespace ShaderTool {
namespace draw {

namespace {

// Runs a command through the shell; its output (both streams) goes to
// `output`. True when it exits with 0.
bool Run(const std::string& command, std::string* output) {
    output->clear();
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return false;
    char buffer[4096];
    size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0) output->append(buffer, count);
    return pclose(pipe) == 0;
}

// A folder for the converters' files, made once and removed at exit.
const std::string& ScratchFolder() {
    static std::string folder;
    if (folder.empty()) {
        char pattern[] = "/tmp/zk-shader-draw-XXXXXX";
        if (mkdtemp(pattern)) folder = pattern;
        atexit([] {
            if (!folder.empty()) {
                std::string ignored;
                Run("rm -rf '" + folder + "'", &ignored);
            }
        });
    }
    return folder;
}

bool WriteText(const std::string& path, const std::string& text) {
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = fwrite(text.data(), 1, text.size(), file) == text.size();
    return fclose(file) == 0 && written;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string FirstLines(const std::string& text, int lines) {
    size_t end = 0;
    for (int i = 0; i < lines; ++i) {
        end = text.find('\n', end);
        if (end == std::string::npos) return text;
        ++end;
    }
    return text.substr(0, end);
}

// One stage: HLSL text to GLSL 4.50 text.
bool ConvertStage(int target, bool vertex_stage, const std::string& hlsl, std::string* glsl, std::string* error) {
    const std::string& folder = ScratchFolder();
    if (folder.empty()) {
        *error = "cannot make a scratch folder";
        return false;
    }
    std::string stage = vertex_stage ? "vert" : "frag";
    std::string source = folder + "/stage." + stage + ".hlsl";
    std::string binary = folder + "/stage." + stage + ".spv";
    std::string result = folder + "/stage." + stage + ".glsl";
    if (!WriteText(source, hlsl)) {
        *error = "cannot write " + source;
        return false;
    }
    std::string output;
    std::string compile = "glslangValidator -D -V -e main -S " + stage +
                          (target == HLSL9 ? " --hlsl-dx9-compatible" : "") + " -o '" + binary + "' '" + source + "'";
    if (!Run(compile, &output)) {
        *error = std::string(vertex_stage ? "the vertex" : "the pixel") +
                 " text is refused by glslang's HLSL front end: " + FirstLines(output, 6);
        return false;
    }
    if (!Run("spirv-cross --version 450 --no-es --output '" + result + "' '" + binary + "'", &output) ||
        !testing::ReadWholeFile(result, glsl)) {
        *error = "spirv-cross cannot write GLSL for the " + std::string(vertex_stage ? "vertex" : "pixel") +
                 " stage: " + FirstLines(output, 6);
        return false;
    }
    return true;
}

int IndexOf(const std::vector<std::string>& ids, const std::string& id) {
    for (size_t i = 0; i < ids.size(); ++i)
        if (ids[i] == id) return static_cast<int>(i);
    return -1;
}

}  // namespace

std::string FindHLSLConverters() {
    std::string output;
    if (!Run("glslangValidator --version", &output))
        return "glslangValidator is not installed (Debian package glslang-tools, see scripts/install-deps)";
    if (!Run("spirv-cross --help", &output) && output.find("Usage") == std::string::npos)
        return "spirv-cross is not installed (Debian package spirv-cross, see scripts/install-deps)";
    return "";
}

std::string RenamePSSLToHLSL(const std::string& text) {
    std::string renamed = text;
    for (int i = 0; i < testing::kPSSLNameCount; ++i)
        renamed = ReplaceAll(renamed, testing::kPSSLNames[i].pssl, testing::kPSSLNames[i].hlsl);
    return renamed;
}

std::string ReadSM3VertexPositionAsSVPosition(const std::string& text) {
    size_t start = text.find("struct VertexOutput\n{");
    if (start == std::string::npos) return text;
    size_t end = text.find("};", start);
    std::string structure = text.substr(start, end - start);
    return text.substr(0, start) + ReplaceAll(structure, " : POSITION;", " : SV_Position;") + text.substr(end);
}

std::string TypeSM3Samplers(const std::string& text, const std::vector<SamplerKind>& samplers) {
    std::string typed = text;
    for (const SamplerKind& sampler : samplers) {
        const char* type = sampler.kind == 2 ? "samplerCUBE" : sampler.kind == 1 ? "sampler3D" : "sampler2D";
        typed = ReplaceAll(typed, "sampler _tex_" + sampler.id + " :", std::string(type) + " _tex_" + sampler.id + " :");
    }
    return typed;
}

std::string ReadFacingAsFrontFace(const std::string& text, const std::string& declaration) {
    if (text.find(declaration) == std::string::npos) return text;
    std::string read = ReplaceAll(text, "input._facing", "(input._facing_front ? 1.0f : -1.0f)");
    return ReplaceAll(read, declaration, "bool _facing_front : SV_IsFrontFace;");
}

namespace {

// "layout(location = 3) flat in ivec2 input_cell;" taken apart: the
// qualifiers after the layout, the direction, the type and the name.
struct Varying {
    std::string qualifiers, direction, type, name;
};

bool ReadVarying(const std::string& line, Varying* varying) {
    const std::string layout = "layout(location = ";
    if (line.compare(0, layout.size(), layout) != 0 || line.empty() || line.back() != ';') return false;
    std::istringstream words(line.substr(line.find(") ") + 2, std::string::npos));
    std::string word;
    while (words >> word && word != "in" && word != "out") varying->qualifiers += word + " ";
    varying->direction = word;
    words >> varying->type >> varying->name;
    if (varying->name.empty()) return false;
    varying->name.pop_back();  // the ';'
    return varying->direction == "in" || varying->direction == "out";
}

// "layout(binding = 0, std140) uniform Constants": a block's first line.
bool IsBlockLine(const std::string& line, size_t* name_at) {
    size_t at = line.rfind("uniform ");
    if (at == std::string::npos || (at != 0 && line[at - 1] != ' ')) return false;
    *name_at = at + 8;
    return line.find_first_of(" ;", *name_at) == std::string::npos;
}

}  // namespace

std::string MatchInterface(const std::string& glsl, bool vertex_stage, const std::vector<std::string>& vertex_outputs,
                           const char* suffix) {
    const std::string prefix = vertex_stage ? "_entryPointOutput_" : "input_";
    const char* direction = vertex_stage ? "out" : "in";
    std::istringstream lines(glsl);
    std::string line, text;
    int unmatched = 0;
    while (std::getline(lines, line)) {
        Varying v;
        size_t name_at = 0;
        if (ReadVarying(line, &v) && v.direction == direction && v.name.compare(0, prefix.size(), prefix) == 0) {
            int index = IndexOf(vertex_outputs, v.name.substr(prefix.size()));
            // An input no vertex output feeds gets a location of its own,
            // past every output's, so that it cannot read another's value.
            if (index < 0) index = static_cast<int>(vertex_outputs.size()) + unmatched++;
            line = "layout(location = " + std::to_string(index) + ") " + v.qualifiers + v.direction + " " + v.type +
                   " " + v.name + ";";
        } else if (IsBlockLine(line, &name_at)) {
            line += suffix;
        }
        text += line + "\n";
    }
    return text;
}

bool ConvertHLSLPair(int target, const std::string& vertex, const std::string& pixel,
                     const std::vector<std::string>& vertex_outputs, const std::vector<SamplerKind>& samplers,
                     GLSLPair* pair, std::string* error) {
    std::string vertex_hlsl = vertex, pixel_hlsl = pixel;
    if (target == PSSL) {
        vertex_hlsl = RenamePSSLToHLSL(vertex_hlsl);
        pixel_hlsl = RenamePSSLToHLSL(pixel_hlsl);
    }
    if (target == HLSL9) {
        vertex_hlsl = ReadSM3VertexPositionAsSVPosition(vertex_hlsl);
        pixel_hlsl = ReadFacingAsFrontFace(TypeSM3Samplers(pixel_hlsl, samplers), "float _facing : VFACE;");
    }
    if (target == PSSL) pixel_hlsl = ReadFacingAsFrontFace(pixel_hlsl, "float _facing : SV_IsFrontFace;");
    std::string vertex_glsl, pixel_glsl;
    if (!ConvertStage(target, true, vertex_hlsl, &vertex_glsl, error) ||
        !ConvertStage(target, false, pixel_hlsl, &pixel_glsl, error))
        return false;
    pair->vertex = MatchInterface(vertex_glsl, true, vertex_outputs, "_vertex");
    pair->pixel = MatchInterface(pixel_glsl, false, vertex_outputs, "_pixel");
    return true;
}

}  // namespace draw
}  // namespace ShaderTool
