// Every Shader XML of the pipeline folder goes through the reader, the
// preprocessor and the parser for each of its targets; the log must equal
// the .log file beside it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/storage/database_manager.h"
#include "shadertool/frontend/parser.h"
#include "shadertool/frontend/preprocessor.h"
#include "shadertool/frontend/tests/reader_test_engine.h"
#include "shadertool/shader_xml/shader_reader.h"

using namespace ShaderTool;

namespace {

const char* const kFolder = "tests/data/reader/pipeline";

std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The log of one Shader XML: the reader's messages, then per source and
// target the preprocessor's and the parser's, with a line for each step
// that failed.
std::string RunPipeline(const std::string& path) {
    Log log;
    ShaderReader reader(log);
    Preprocessor preprocessor(log);
    Parser parser(log);
    if (!reader.ReadShaderXMLFromFile(path.c_str(), true, false)) {
        log.AppendText("reading failed\n");
        return log.GetText();
    }
    const ShaderInfo& info = reader.GetShaderInfo();
    nArray<nString> no_definitions;
    for (int i = 0; i < info.sources.Count(); ++i) {
        const ShaderSource& source = info.sources[i];
        for (int index = 0; index < kTargetCount; ++index) {
            int target = 1 << index;
            if (!(info.targets & source.targets & target)) continue;
            const char* step = "preprocessing";
            bool ok = preprocessor.Process(info, target, source, no_definitions, false);
            if (ok) {
                ShaderSource preprocessed = source;
                preprocessed.code = preprocessor.GetOutput();
                step = "parsing";
                ok = parser.Parse(info, preprocessed);
            }
            if (!ok) {
                nString line = nString::Format("%s %s source %i for %s failed\n", step,
                                               source.type == VERTEX_SHADER ? "vertex" : "pixel", i + 1,
                                               GetShaderTargetName(index));
                log.AppendText(line.c_str());
            }
        }
    }
    return log.GetText();
}

TEST(ShaderPipeline, EachFixtureGivesItsExpectedLog) {
    SetUpEngineForReaderTests();
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(kFolder)) {
        if (entry.path().extension() == ".xml") names.push_back(entry.path().stem().string());
    }
    std::sort(names.begin(), names.end());
    ASSERT_FALSE(names.empty());
    for (const std::string& name : names) {
        std::string base = std::string(kFolder) + "/" + name;
        EXPECT_EQ(RunPipeline(base + ".xml"), ReadText(base + ".log")) << name;
    }
    while (zk_dman.databases.Count() > 0) zk_dman.ReleaseDatabase(zk_dman.databases[0]);
}

}  // namespace
