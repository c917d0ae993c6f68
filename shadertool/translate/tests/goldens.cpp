#include "shadertool/translate/tests/goldens.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>

#include "shadertool/translate/output_paths.h"
#include "shadertool/translate/tests/driver_test_support.h"
#include "shadertool/translate/translator_driver.h"

namespace ShaderTool {
namespace testing {

const GoldenFolder kGoldenFolders[] = {
    {"tests/data/translate/glsl/", ESSL | GLSL},
    {"tests/data/translate/hlsl/", HLSL | PSSL},
};
const int kGoldenFolderCount = sizeof kGoldenFolders / sizeof kGoldenFolders[0];

namespace {

std::vector<std::string> ListFixtures(const GoldenFolder& folder) {
    std::vector<std::string> fixtures;
    for (const auto& entry : std::filesystem::directory_iterator(folder.directory))
        if (entry.is_regular_file() && entry.path().extension() == ".xml") fixtures.push_back(entry.path().stem().string());
    std::sort(fixtures.begin(), fixtures.end());
    return fixtures;
}

// One driver run over the fixture for the folder's targets, at the shader
// tool's default level, into out (which holds a directory per target, as the
// tool makes them); then a case per listed target and stage.
bool TranslateFixture(const GoldenFolder& folder, const std::string& fixture, const std::string& out,
                      std::vector<GoldenCase>* cases, std::string* messages) {
    TranslatorDriver driver;
    driver.Initialize(folder.targets, nString(out.c_str()), false);
    TranslatorDriver::Options options = DefaultToolOptions(folder.directory, folder.targets);
    std::string path = std::string(folder.directory) + fixture + ".xml";
    bool translated = driver.Translate(nString(path.c_str()), options, true);
    std::string log = driver.GetMasterLog().GetText();
    int targets = driver.GetShaderInfo().version == 0 ? 0 : driver.GetShaderInfo().targets & folder.targets;
    ReleaseReadDatabases();
    if (targets == 0) {
        *messages += fixture + ": " + log;
        return false;
    }
    for (const TargetDescription& description : kTargets) {
        if (!(targets & description.bit)) continue;
        for (ShaderType stage : {VERTEX_SHADER, PIXEL_SHADER}) {
            GoldenCase c;
            c.folder = &folder;
            c.fixture = fixture;
            c.target = description.bit;
            c.stage = stage;
            std::string written_path = out + description.name + "/" + fixture + "." + GetStageName(stage);
            bool written = ReadWholeFile(written_path, &c.text);
            std::filesystem::remove(written_path);
            c.ok = translated && written;
            c.log = log;
            cases->push_back(c);
        }
    }
    return true;
}

}  // namespace

bool TranslateGoldens(std::vector<GoldenCase>* cases, std::string* messages) {
    // The driver reads the fixtures and writes its outputs through the
    // engine's file systems.
    SetUpEngineForDriverTests();
    char pattern[] = "/tmp/zk-goldens-XXXXXX";
    if (!mkdtemp(pattern)) {
        *messages += "cannot make a temporary directory\n";
        return false;
    }
    std::string out = std::string(pattern) + "/";
    for (const TargetDescription& description : kTargets) std::filesystem::create_directory(out + description.name);
    bool all_read = true;
    for (int i = 0; i < kGoldenFolderCount; ++i)
        for (const std::string& fixture : ListFixtures(kGoldenFolders[i]))
            if (!TranslateFixture(kGoldenFolders[i], fixture, out, cases, messages)) all_read = false;
    std::filesystem::remove_all(out);
    return all_read;
}

std::string ExpectedPath(const GoldenCase& c) {
    return std::string(c.folder->directory) + "expected/" + GetTargetName(c.target) + "/" + c.fixture + "." +
           GetStageName(c.stage);
}

std::string GoldenLabel(const GoldenCase& c) {
    return c.fixture + " / " + GetTargetName(c.target) + " " + GetStageName(c.stage);
}

}  // namespace testing
}  // namespace ShaderTool
