#include "shadertool/translate/tests/hlsl_goldens.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <memory>

#include "engine/runtime/tests/test_engine.h"
#include "engine/runtime/state.h"
#include "engine/runtime/zekar.h"
#include "engine/storage/database_manager.h"
#include "engine/storage/filesystem.h"
#include "shadertool/frontend/parser.h"
#include "shadertool/frontend/preprocessor.h"
#include "shadertool/frontend/shader_reader.h"
#include "shadertool/translate/hlsl_translators.h"
#include "shadertool/translate/translator_driver.h"

namespace ShaderTool {
namespace testing {

const char* const kHLSLGoldenDirectory = "tests/data/translate/hlsl/";

namespace {

const int kGoldenTargets[] = {HLSL9, HLSL11, PSSL};

bool DeveloperModeOff() { return false; }

// Engine state, interface table and file systems, once per process.
void SetUpEngine() {
    static bool done = false;
    if (done) return;
    done = true;
    SetUpTestEngine();
    ZKI_CreateCoreMutexes();
    ZKFileSystem::Initialize();
    zk->ZKI_IsDeveloperModeEnabled = DeveloperModeOff;
}

std::unique_ptr<Translator> MakeTranslator(int target, Log& log) {
    switch (target) {
    case HLSL9: return std::make_unique<HLSL9Translator>(log);
    case HLSL11: return std::make_unique<HLSL11Translator>(log);
    default: return std::make_unique<PSSLTranslator>(log);
    }
}

const char* TargetName(int target) { return GetShaderTargetName(GetShaderTargetIndex(target)); }

std::string FixturePath(const std::string& fixture) { return std::string(kHLSLGoldenDirectory) + fixture + ".xml"; }

bool ReadFixture(const std::string& fixture, Log& log, ShaderInfo* info) {
    ShaderReader reader(log);
    bool read = reader.ReadShaderXMLFromFile(FixturePath(fixture).c_str(), true, false);
    *info = reader.GetShaderInfo();
    return read && !log.has_errors;
}

// The source of the stage that covers the target: later sources for named
// targets take over from an earlier one for all targets.
const ShaderSource* FindSource(const ShaderInfo& info, int target, ShaderType stage) {
    const ShaderSource* found = nullptr;
    for (int i = 0; i < info.sources.count; ++i)
        if (info.sources[i].type == stage && (info.sources[i].targets & target)) found = &info.sources[i];
    return found;
}

// The manager caches each database it loads; fixtures are read afresh.
void ReleaseDatabases() {
    while (zk_dman.databases.Count() > 0) zk_dman.ReleaseDatabase(zk_dman.databases[0]);
}

}  // namespace

std::string HLSLExpectedPath(const HLSLGoldenCase& c) {
    return std::string(kHLSLGoldenDirectory) + "expected/" + TargetName(c.target) + "/" + c.fixture +
           (c.stage == PIXEL_SHADER ? ".pixel" : ".vertex");
}

std::string HLSLGoldenLabel(const HLSLGoldenCase& c) {
    return c.fixture + " / " + TargetName(c.target) + (c.stage == PIXEL_SHADER ? " pixel" : " vertex");
}

bool ListHLSLGoldenCases(std::vector<HLSLGoldenCase>* cases, std::string* messages) {
    SetUpEngine();
    std::vector<std::string> fixtures;
    for (const auto& entry : std::filesystem::directory_iterator(kHLSLGoldenDirectory))
        if (entry.is_regular_file() && entry.path().extension() == ".xml") fixtures.push_back(entry.path().stem().string());
    std::sort(fixtures.begin(), fixtures.end());
    bool all_read = true;
    for (const std::string& fixture : fixtures) {
        Log log;
        ShaderInfo info;
        bool read = ReadFixture(fixture, log, &info);
        ReleaseDatabases();
        if (!read) {
            *messages += fixture + ": " + log.GetText();
            all_read = false;
            continue;
        }
        for (int target : kGoldenTargets) {
            if (!(info.targets & target)) continue;
            for (ShaderType stage : {VERTEX_SHADER, PIXEL_SHADER}) cases->push_back({fixture, target, stage});
        }
    }
    return all_read;
}

HLSLGoldenResult TranslateHLSLGoldenCase(const HLSLGoldenCase& c) {
    SetUpEngine();
    HLSLGoldenResult result;
    Log log;
    ShaderInfo info;
    const ShaderSource* source = nullptr;
    if (ReadFixture(c.fixture, log, &info)) source = FindSource(info, c.target, c.stage);
    if (source) {
        Preprocessor preprocessor(log);
        nArray<nString> noDefinitions;
        if (preprocessor.Process(info, c.target, *source, noDefinitions, false) && !log.has_errors) {
            ShaderSource preprocessed = *source;
            preprocessed.code = preprocessor.GetOutput();
            Parser parser(log);
            if (parser.Parse(info, preprocessed)) {
                std::unique_ptr<Translator> translator = MakeTranslator(c.target, log);
                result.ok = translator->Translate(info, ShaderTarget(c.target), HLSL11_DEFAULT, c.stage, parser.GetRoot());
                if (result.ok) result.text = translator->GetOutput().c_str();
            }
        }
    } else if (!log.has_errors) {
        log.AddError("fixture has no %s source for %s.", c.stage == PIXEL_SHADER ? "pixel" : "vertex", TargetName(c.target));
    }
    ReleaseDatabases();
    result.log = log.GetText();
    return result;
}

HLSLGoldenResult TranslateHLSLGoldenCaseWithDriver(const HLSLGoldenCase& c) {
    SetUpEngine();
    HLSLGoldenResult result;
    char directory[] = "/tmp/zk_hlsl_driver_XXXXXX";
    if (!mkdtemp(directory)) {
        result.log = "cannot make a temporary directory";
        return result;
    }
    // The shader tool makes the target directories before it translates.
    std::filesystem::create_directories(std::string(directory) + "/" + TargetName(c.target));
    {
        TranslatorDriver driver;
        Log& log = driver.GetIntermediateLog();
        driver.SetTranslator(ShaderTarget(c.target), MakeTranslator(c.target, log).release());
        driver.Initialize(c.target, nString(directory), false);
        TranslatorDriver::Options options;
        options.input_directory = kHLSLGoldenDirectory;
        options.target_mask = c.target;
        options.level_mask = HLSL11_DEFAULT;
        result.ok = driver.Translate(nString(FixturePath(c.fixture).c_str()), options, true);
        result.log = std::string(driver.GetMasterLog().GetText()) + driver.GetIntermediateLog().GetText();
    }
    ReleaseDatabases();
    std::ifstream file(std::string(directory) + "/" + TargetName(c.target) + "/" + c.fixture +
                           (c.stage == PIXEL_SHADER ? ".pixel" : ".vertex"),
                       std::ios::binary);
    std::stringstream written;
    written << file.rdbuf();
    result.text = written.str();
    std::filesystem::remove_all(directory);
    return result;
}

}  // namespace testing
}  // namespace ShaderTool
