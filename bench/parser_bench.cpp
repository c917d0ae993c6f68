// Parsing time against source size, on two generated sources:
// - many helper functions (each with locals, loops, branches, swizzles and
//   calls of built-ins and of the first helper), then main: the function
//   table grows with the source, and a call looks its name up in all of it;
// - one main made of many blocks, so the tables stay small and the time is
//   that of reading, building and checking alone.
// Run:
//   build-bench/bench/parser_bench --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "shadertool/frontend/parser.h"

using namespace ShaderTool;

namespace {

// One helper: 10 lines.
void AppendHelper(std::string& code, int index) {
    char text[1024];
    snprintf(text, sizeof text,
             "float4 helper%d(float4 colour, float amount)\n"
             "{\n"
             "    float4 result = colour * amount + float4(0.25, 0.5, 0.75, 1.0);\n"
             "    for (int i = 0; i < 4; ++i) {\n"
             "        if (result.x > 0.5 && result.w < 2.0) result.xyz = normalize(result.zyx);\n"
             "        else result.w = clamp(result.w - 0.125, 0.0, 1.0);\n"
             "    }\n"
             "    return %s;\n"
             "}\n"
             "\n",
             index, index == 0 ? "result" : "result + helper0(colour, 0.5)");
    code += text;
}

std::string MakeSource(int lines) {
    std::string code;
    int helpers = (lines - 5) / 10;
    for (int i = 0; i < helpers; ++i) AppendHelper(code, i);
    code +=
        "void main()\n"
        "{\n"
        "    output.color = helper0(float4(1.0, 1.0, 1.0, 1.0), 0.5);\n"
        "}\n";
    return code;
}

// One block of main: 5 lines.
const char* const kBlock =
    "    {\n"
    "        float4 t = colour * 0.5 + float4(0.25, 0.5, 0.75, 1.0);\n"
    "        if (t.x > 0.5) colour.xyz = normalize(t.zyx); else colour.w = clamp(t.w, 0.0, 1.0);\n"
    "        for (int i = 0; i < 2; ++i) colour += t;\n"
    "    }\n";

std::string MakeLongMain(int lines) {
    std::string code = "void main()\n{\n    float4 colour = float4(1.0, 1.0, 1.0, 1.0);\n";
    for (int i = 0; i < (lines - 5) / 5; ++i) code += kBlock;
    code += "    output.color = colour;\n}\n";
    return code;
}

int CountLines(const std::string& text) {
    int lines = 0;
    for (char c : text)
        if (c == '\n') ++lines;
    return lines;
}

ShaderInfo MakeInfo() {
    ShaderInfo info;
    info.version = 0x20003;
    ShaderPixelOutputVariable color;
    color.id = "color";
    info.pixel_output.InsertLast(color);
    return info;
}

void Measure(benchmark::State& state, const std::string& code) {
    ShaderInfo info = MakeInfo();
    ShaderSource source;
    source.file = "bench.zksl";
    source.code = code.c_str();
    source.type = PIXEL_SHADER;
    Log log;
    Parser parser(log);
    for (auto _ : state) {
        log.Clear();
        if (!parser.Parse(info, source)) {
            state.SkipWithError(log.GetText());
            break;
        }
    }
    state.counters["lines"] = CountLines(code);
    state.counters["nodes"] = parser.node_list.Count();
    state.counters["us_per_line"] = benchmark::Counter(
        static_cast<double>(CountLines(code)) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(code.size()));
    state.SetComplexityN(state.range(0));
}

void ParseManyFunctions(benchmark::State& state) {
    Measure(state, MakeSource(static_cast<int>(state.range(0))));
}

void ParseLongMain(benchmark::State& state) {
    Measure(state, MakeLongMain(static_cast<int>(state.range(0))));
}

BENCHMARK(ParseManyFunctions)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Arg(8000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);

BENCHMARK(ParseLongMain)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Arg(8000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
