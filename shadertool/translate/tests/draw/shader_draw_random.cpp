// shader_draw_random: random int and float expressions (see
// random_expressions.h), each evaluated here and drawn on every target,
// whose drawn value must match.
//
// Usage: shader_draw_random [--seed N] [--count N] [--keep]
// Expressions go four to an output: files of four outputs for the targets
// that take several, and the same expressions four to a file for ESSL20
// and GLSL21, which take one. The files are written to a scratch folder,
// kept when a target fails (or with --keep) so the failing file can be
// drawn again with shader_draw.
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "shadertool/translate/tests/draw/draw_file.h"
#include "shadertool/translate/tests/draw/gl_device.h"
#include "shadertool/translate/tests/draw/hlsl_to_glsl.h"
#include "shadertool/translate/tests/draw/random_expressions.h"
#include "shadertool/translate/tests/driver_test_support.h"

namespace {

using namespace ShaderTool::draw;

constexpr int kOutputs = 4;
const char* const kSeveralOutputs = "ESSL30,GLSL31,HLSL9,HLSL11,PSSL";
const char* const kOneOutput = "ESSL20,GLSL21";

std::string Values(const std::vector<double>& values) {
    std::string text;
    char number[32];
    for (double v : values) {
        snprintf(number, sizeof number, " %.17g", v);
        text += number;
    }
    return text;
}

std::string Channel(const RandomExpression& e) { return e.integer ? "float(" + e.text + ")" : e.text; }

// A Shader XML whose outputs take the expressions four by four.
bool WriteFile(const std::string& path, const char* targets, const RandomConstants& constants,
               const std::vector<RandomExpression>& expressions) {
    std::ofstream file(path);
    std::vector<double> ints(constants.ints.begin(), constants.ints.end());
    file << "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n<root>\n"
         << "<!-- set f" << Values(constants.floats) << " -->\n<!-- set n" << Values(ints) << " -->\n";
    size_t outputs = expressions.size() / 4;
    for (size_t o = 0; o < outputs; ++o) {
        std::vector<double> expected;
        for (size_t c = 0; c < 4; ++c) expected.push_back(expressions[o * 4 + c].value);
        file << "<!-- expect" << Values(expected) << " -->\n";
    }
    file << "<array id=\"info\"><node id=\"version\" value=\"2\"/><node id=\"revision\" value=\"3\"/>"
         << "<node id=\"target\" value=\"" << targets << "\"/></array>\n"
         << "<array id=\"vertex_input\"><node id=\"position\" semantic=\"POSITION\"/></array>\n"
         << "<array id=\"vertex_output\"><node id=\"position\" type=\"FLOAT4\" semantic=\"POSITION\"/></array>\n"
         << "<array id=\"pixel_constants\"><node id=\"f\" type=\"FLOAT4\" count=\"4\"/>"
         << "<node id=\"n\" type=\"INT4\" count=\"4\"/></array>\n<array id=\"pixel_output\">";
    for (size_t o = 0; o < outputs; ++o) file << "<node id=\"o" << o << "\"/>";
    file << "</array>\n<array id=\"sources\">\n<node type=\"vertex\"><![CDATA[\nvoid main()\n{\n"
         << "    output.position = input.position;\n}\n]]></node>\n<node type=\"pixel\"><![CDATA[\nvoid main()\n{\n";
    for (size_t o = 0; o < outputs; ++o) {
        file << "    output.o" << o << " = float4(";
        for (size_t c = 0; c < 4; ++c) file << (c ? ",\n                       " : "") << Channel(expressions[o * 4 + c]);
        file << ");\n";
    }
    file << "}\n]]></node>\n</array>\n</root>\n";
    file.close();
    return file.good();
}

}  // namespace

int main(int argc, char** argv) {
    uint32_t seed = 1;
    int count = 1024;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
            seed = static_cast<uint32_t>(strtoul(argv[++i], nullptr, 10));
        } else if (strcmp(argv[i], "--count") == 0 && i + 1 < argc) {
            count = atoi(argv[++i]);
        } else if (strcmp(argv[i], "--keep") == 0) {
            keep = true;
        } else {
            fputs("Usage: shader_draw_random [--seed N] [--count N] [--keep]\n", stderr);
            return 2;
        }
    }
    std::string missing = FindHLSLConverters();
    std::unique_ptr<Device> device = missing.empty() ? Device::Open(&missing) : nullptr;
    if (!device) {
        printf("shader_draw_random: %s\n", missing.c_str());
        return 1;
    }
    ShaderTool::testing::SetUpEngineForDriverTests();
    char pattern[] = "/tmp/zk-random-shaders-XXXXXX";
    if (!mkdtemp(pattern)) {
        puts("shader_draw_random: cannot make a scratch folder");
        return 1;
    }
    std::string folder = pattern;
    ExpressionGenerator generator(seed);
    int files = 0, failed = 0;
    for (int batch = 0; batch * kOutputs * 4 < count; ++batch) {
        RandomConstants constants = generator.NewConstants();
        std::vector<RandomExpression> expressions;
        for (int i = 0; i < kOutputs * 4; ++i) expressions.push_back(generator.Next(constants));
        std::vector<std::string> paths;
        std::string stem = folder + "/batch" + std::to_string(batch);
        paths.push_back(stem + ".xml");
        bool written = WriteFile(paths.back(), kSeveralOutputs, constants, expressions);
        for (int o = 0; o < kOutputs; ++o) {
            paths.push_back(stem + "_o" + std::to_string(o) + ".xml");
            written = WriteFile(paths.back(), kOneOutput, constants,
                                std::vector<RandomExpression>(expressions.begin() + o * 4, expressions.begin() + o * 4 + 4)) &&
                      written;
        }
        // A file cut short is refused as one that cannot be read, which
        // fails no target here: the batch would pass with nothing drawn.
        if (!written) {
            printf("shader_draw_random: cannot write the files of batch %d in %s\n", batch, folder.c_str());
            files += static_cast<int>(paths.size());
            failed += static_cast<int>(paths.size());
            break;
        }
        // Each file leaves out the targets of the other kind; every target
        // it names must draw it.
        DrawOptions options;
        options.refusals_fail = true;
        for (const std::string& path : paths) {
            FileReport report = DrawFile(*device, path, options);
            ++files;
            if (report.Passed()) continue;
            ++failed;
            for (const std::string& line : report.Lines())
                if (line.find(": ok") == std::string::npos && line.find(": left out") == std::string::npos)
                    puts(line.c_str());
        }
    }
    printf("%d expressions (seed %u) drawn on every target, %d files\n", count, seed, files);
    if (failed || keep)
        printf("the files are kept in %s\n", folder.c_str());
    else
        std::filesystem::remove_all(folder);
    printf("%d passed, %d failed\n", files - failed, failed);
    return failed == 0 ? 0 : 1;
}
