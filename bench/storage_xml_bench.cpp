// Reading XML databases of growing size: the time per byte should not grow
// with the file. Run: build/bench/storage_xml_bench
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "engine/app/startup.h"
#include "engine/runtime/log.h"
#include "engine/runtime/state.h"
#include "engine/datamodel/datamodel.h"
#include "engine/storage/filesystem.h"

namespace {

void SetUpEngine() {
    static bool done = false;
    if (done) return;
    done = true;
    ZKI_StateSetup(nullptr);
    ZKI_CreateCoreMutexes();
    ZKFileSystem::Initialize();
}

// A database of about `bytes` bytes: arrays of nodes with a few attributes,
// some nodes with text and character data, as settings and manifests have.
std::string Document(size_t bytes) {
    std::string text = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n<root>\n";
    int node = 0;
    while (text.size() < bytes) {
        text += "<array id=\"a" + std::to_string(node) + "\" kind=\"images\">\n";
        for (int i = 0; i < 100; ++i, ++node) {
            std::string id = std::to_string(node);
            if (i % 10 == 0) {
                text += "  <node id=\"src" + id + "\"><![CDATA[float4 main(float2 uv) { return tex(uv) * " + id +
                        "; }]]></node>\n";
            } else {
                text += "  <node id=\"data/images/picture_" + id + ".png\" w=\"" + std::to_string(node % 2048) +
                        "\" h=\"" + std::to_string(node % 1024) + "\" pack_mode=\"NO_PADDING\" note=\"a \\\"quoted\\\" &amp; escaped value\"/>\n";
            }
        }
        text += "</array>\n";
    }
    return text + "</root>\n";
}

std::string WriteDocument(size_t bytes) {
    char pattern[] = "/tmp/zk-storage-bench-XXXXXX";
    int descriptor = mkstemp(pattern);
    if (descriptor < 0) return "";
    close(descriptor);
    std::string path = std::string(pattern) + ".xml";
    rename(pattern, path.c_str());
    FILE* file = fopen(path.c_str(), "wb");
    std::string text = Document(bytes);
    fwrite(text.data(), 1, text.size(), file);
    fclose(file);
    return path;
}

void LoadXMLDatabase(benchmark::State& state) {
    SetUpEngine();
    size_t bytes = size_t(state.range(0)) * 1024 * 1024;
    std::string path = WriteDocument(bytes);
    for (auto _ : state) {
        InnerZK::DMDatabase database;
        bool loaded = database.Load(path.c_str());
        benchmark::DoNotOptimize(loaded);
        if (!loaded) state.SkipWithError("the document did not load");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
    unlink(path.c_str());
}

// A long minimum time: the first load of a large file also pays for fresh
// memory pages, which would hide the steady cost per byte.
BENCHMARK(LoadXMLDatabase)->Arg(1)->Arg(10)->MinTime(2.0)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
