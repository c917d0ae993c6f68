#include "shadertool/translate/tests/glsl_goldens.h"

#include <algorithm>
#include <filesystem>
#include <memory>

#include "engine/runtime/tests/test_engine.h"
#include "engine/runtime/state.h"
#include "engine/runtime/zekar.h"
#include "engine/storage/database_manager.h"
#include "engine/storage/filesystem.h"
#include "shadertool/frontend/parser.h"
#include "shadertool/frontend/preprocessor.h"
#include "shadertool/frontend/shader_reader.h"
#include "shadertool/translate/glsl_translators.h"

namespace ShaderTool {
namespace testing {

const char* const kGoldenDirectory = "tests/data/translate/glsl/";

namespace {

const int kGoldenTargets[] = {ESSL20, ESSL30, GLSL21, GLSL31};

bool DeveloperModeOff() { return false; }

std::unique_ptr<Translator> MakeTranslator(int target, Log& log) {
    switch (target) {
    case GLSL21: return std::make_unique<GLSL21Translator>(log);
    case ESSL20: return std::make_unique<ESSL20Translator>(log);
    case GLSL31: return std::make_unique<GLSL31Translator>(log);
    default: return std::make_unique<ESSL30Translator>(log);
    }
}

std::string FixturePath(const std::string& fixture) { return std::string(kGoldenDirectory) + fixture + ".xml"; }

// Reads a fixture afresh; the manager's cached database is given back.
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

}  // namespace

void SetUpEngineForGoldens() {
    static bool done = false;
    if (done) return;
    done = true;
    SetUpTestEngine();
    ZKI_CreateCoreMutexes();
    ZKFileSystem::Initialize();
    zk->ZKI_IsDeveloperModeEnabled = DeveloperModeOff;
}

const char* GoldenTargetName(int target) { return GetShaderTargetName(GetShaderTargetIndex(target)); }

std::string ExpectedPath(const GoldenCase& c) {
    return std::string(kGoldenDirectory) + "expected/" + GoldenTargetName(c.target) + "/" + c.fixture +
           (c.stage == PIXEL_SHADER ? ".pixel" : ".vertex");
}

bool ListGoldenCases(std::vector<GoldenCase>* cases, std::string* messages) {
    SetUpEngineForGoldens();
    std::vector<std::string> fixtures;
    for (const auto& entry : std::filesystem::directory_iterator(kGoldenDirectory))
        if (entry.is_regular_file() && entry.path().extension() == ".xml") fixtures.push_back(entry.path().stem().string());
    std::sort(fixtures.begin(), fixtures.end());
    bool all_read = true;
    for (const std::string& fixture : fixtures) {
        Log log;
        ShaderInfo info;
        if (!ReadFixture(fixture, log, &info)) {
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

GoldenResult TranslateGoldenCase(const GoldenCase& c) {
    SetUpEngineForGoldens();
    GoldenResult result;
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
                result.ok = translator->Translate(info, ShaderTarget(c.target), 0, c.stage, parser.GetRoot());
                if (result.ok) result.text = translator->GetOutput().c_str();
            }
        }
    } else if (!log.has_errors) {
        log.AddError("fixture has no %s source for %s.", c.stage == PIXEL_SHADER ? "pixel" : "vertex",
                     GoldenTargetName(c.target));
    }
    while (zk_dman.databases.Count() > 0) zk_dman.ReleaseDatabase(zk_dman.databases[0]);
    result.log = log.GetText();
    return result;
}

}  // namespace testing
}  // namespace ShaderTool
