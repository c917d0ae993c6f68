// Arbitrary bytes as a Shader XML text: through the engine's XML reader and
// data model, the Shader XML reader, and the preprocessor for every source
// and every target. Files are never opened, so sources and includes that
// name files fail the same way on every run.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/app/interface.h"
#include "engine/runtime/log.h"
#include "engine/runtime/zekar.h"
#include "shadertool/frontend/preprocessor.h"
#include "shadertool/shader_xml/shader_reader.h"

using namespace ShaderTool;

namespace {

zk_file_t* OpenNoFile(const char*, const char*) { return nullptr; }
bool NoFileExists(const char*) { return false; }
bool NoFileInfo(const char*, zk_file_info_t*) { return false; }
zk_bitmap_t* NoBitmap(const char*) { return nullptr; }

void SetUpEngine() {
    zk_run_no_popups = 1;
    ZKI_SetBasicInterface(&zekar);
    zk = &zekar;
    zk->file_system->ZK_FileSystem_OpenFile = OpenNoFile;
    zk->file_system->ZK_FileSystem_FileExists = NoFileExists;
    zk->file_system->ZK_FileSystem_GetFileInfo = NoFileInfo;
    zk->graphics->ZK_Graphics_GetBitmap = NoBitmap;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = (SetUpEngine(), true);
    (void)ready;
    static Log log;
    static ShaderReader reader(log);
    static Preprocessor preprocessor(log);

    std::string text(reinterpret_cast<const char*>(data), size);
    log.Clear();
    reader.Reset();
    if (!reader.ReadShaderXMLFromMemory(text.c_str(), false)) return 0;

    const ShaderInfo& info = reader.GetShaderInfo();
    nArray<nString> definitions;
    definitions.InsertLast(nString("FUZZ"));
    definitions.InsertLast(nString("1"));
    for (int i = 0; i < info.sources.Count(); ++i) {
        for (int target = 1; target <= PSSL; target <<= 1) {
            if (!(info.sources[i].targets & target)) continue;
            log.Clear();
            preprocessor.Process(info, target, info.sources[i], definitions, false);
        }
    }
    return 0;
}
