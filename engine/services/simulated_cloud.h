// Cloud key-value storage without a cloud account ("Simulated"), the cloud
// of the "Simulation" module (product feature "SIMULATED_CLOUD").
//
// The values live in memory and are mirrored into one local file after
// every change. The file (numbers 32-bit in the machine's byte order):
//
//   16 bytes  "SIMULATED_CLOUD" and a NUL
//    4 bytes  number of entries N
//   N entries, in the order the keys were first set:
//             the key and a NUL, the value's length L, L bytes of value
//
// A key has at most 2,047 characters. Loading reads entries until the
// first one that runs past the end of the file (or breaks the key limit)
// and keeps those read before it; it never writes. A value of length 0 is
// written but not read back.
//
// No lock: one caller at a time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/base/nbytebuffer.h"
#include "engine/base/nmap.h"
#include "engine/base/nstring.h"
#include "engine/platform_services/service_implementations.h"

// The file. The file-system functions refuse prefixed paths, so nothing is
// kept under this name until the engine resolves them; a store made with a
// native path keeps its values there.
#define ZK_SIMULATED_CLOUD_PATH "user://simulated.cloud"
#define ZK_SIMULATED_CLOUD_MAGIC "SIMULATED_CLOUD"

// The longest key the file holds.
enum { ZK_SIMULATED_CLOUD_MAX_KEY_LENGTH = 2047 };

class SimulatedCloudImplementation : public CloudImplementation {
public:
    explicit SimulatedCloudImplementation(const char* path = ZK_SIMULATED_CLOUD_PATH);
    ~SimulatedCloudImplementation() override;

    const char* GetName() override { return "Simulated"; }
    // Loads the file; true whether or not it exists.
    bool Initialize() override;
    // Stores a copy of `size` bytes under the key and saves the file.
    // Refused (with a warning, nothing changes): a null key, a key longer
    // than 2,047 characters, a negative size, null data with a positive size.
    void SetKeyValue(const char* key, const void* data, int size) override;
    zk_buffer_t* GetKeyValue(const char* key) override;
    // Removes the key and saves the file, so the deletion outlives a restart.
    void DeleteKeyValue(const char* key) override;

    // Writes every entry to the file at path through a temporary file, so
    // a failed save keeps the old file whole. False when nothing was saved
    // (also for a path the file system refuses); nothing is reported.
    bool SaveValuesToFile(const char* path);
    // Adds the entries of the file at path; a missing, unreadable or
    // foreign file adds nothing. Reports nothing.
    void LoadValuesFromFile(const char* path);
    // Adds the entries of a file image; returns how many were read before
    // the image ended or broke the format.
    int LoadValuesFromMemory(const uint8_t* data, size_t size);

    int GetNumberOfValues() const { return values.Count(); }

private:
    // Stores a copy of the value without saving.
    bool StoreValue(const char* key, const void* data, int size);
    bool Save() { return SaveValuesToFile(path.c_str()); }

    nMap<nByteBuffer*> values;
    nString path;
};
