// Arbitrary bytes as a simulated cloud file. Whatever is read must be whole
// entries within the file: every stored key fits the file's key limit and
// every value was copied from inside the input (the sanitizers catch any
// read past it). Loading never writes, so the store's path is never used.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/app/interface.h"
#include "engine/runtime/log.h"
#include "engine/runtime/zekar.h"
#include "engine/services/simulated_cloud.h"

namespace {

void SetUpEngine() {
    zk_run_no_popups = 1;
    zk_run_silent = 1;
    ZKI_SetBasicInterface(&zekar);
    zk = &zekar;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = (SetUpEngine(), true);
    (void)ready;
    SimulatedCloudImplementation cloud("never-written.cloud");
    int read = cloud.LoadValuesFromMemory(data, size);
    if (read < cloud.GetNumberOfValues()) abort();
    // Each entry takes at least a NUL and a length.
    if (size < 20 + static_cast<size_t>(read) * 5 && read > 0) abort();
    return 0;
}
