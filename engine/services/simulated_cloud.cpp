// Cloud values kept in memory and mirrored into one local file.

#include "engine/services/simulated_cloud.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "engine/runtime/interface_functions.h"
#include "engine/storage/filesystem.h"
#include "engine/storage/safe_write.h"

namespace {

const size_t kMagicSize = sizeof(ZK_SIMULATED_CLOUD_MAGIC);  // with its NUL

// Reads the file's numbers in the machine's byte order.
class ImageReader {
public:
    ImageReader(const uint8_t* data, size_t size) : data(data), size(size) {}

    // A NUL-terminated text of at most `longest` characters; null when it
    // runs past the end or is longer.
    const char* Text(size_t longest) {
        size_t left = size - position;
        size_t window = left < longest + 1 ? left : longest + 1;
        const void* nul = memchr(data + position, 0, window);
        if (!nul) return nullptr;
        const char* text = reinterpret_cast<const char*>(data + position);
        position += static_cast<size_t>(static_cast<const uint8_t*>(nul) - (data + position)) + 1;
        return text;
    }
    bool U32(uint32_t* value) {
        if (size - position < sizeof(*value)) return false;
        memcpy(value, data + position, sizeof(*value));
        position += sizeof(*value);
        return true;
    }
    // `length` bytes from here; null when fewer remain.
    const uint8_t* Bytes(uint32_t length) {
        if (length > size - position) return nullptr;
        const uint8_t* bytes = data + position;
        position += length;
        return bytes;
    }
    bool AtEnd() const { return position >= size; }

private:
    const uint8_t* data;
    size_t size;
    size_t position = 0;
};

const char* Refusal(const char* key, const void* data, int size) {
    if (!key) return "the key is null";
    if (strlen(key) > ZK_SIMULATED_CLOUD_MAX_KEY_LENGTH) return "the key is longer than 2047 characters";
    if (size < 0) return "the size is negative";
    if (!data && size > 0) return "the data is null";
    return nullptr;
}

}  // namespace

SimulatedCloudImplementation::SimulatedCloudImplementation(const char* store_path) : path(store_path) {}

SimulatedCloudImplementation::~SimulatedCloudImplementation() {
    for (int i = 0; i < values.Count(); ++i) delete values.EntryAt(i)->value;
    values.Clear();
}

bool SimulatedCloudImplementation::Initialize() {
    LoadValuesFromFile(path.c_str());
    return true;
}

bool SimulatedCloudImplementation::StoreValue(const char* key, const void* data, int size) {
    nByteBuffer* value = new nByteBuffer();
    if (!value->Append(data, size)) {
        delete value;
        return false;
    }
    nByteBuffer*& slot = values[key];
    delete slot;
    slot = value;
    return true;
}

void SimulatedCloudImplementation::SetKeyValue(const char* key, const void* data, int size) {
    const char* refusal = Refusal(key, data, size);
    if (refusal) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING, "Cloud value not stored: %s.", refusal);
        return;
    }
    if (!StoreValue(key, data, size)) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING, "Cloud value not stored: out of memory.");
        return;
    }
    Save();
}

zk_buffer_t* SimulatedCloudImplementation::GetKeyValue(const char* key) {
    nMap<nByteBuffer*>::Entry* entry = values.Find(key);
    if (!entry) return nullptr;
    const nByteBuffer* value = entry->value;
    zk_buffer_t* buffer = zk->ZK_AllocBuffer(value->size);
    if (buffer && buffer->data && value->size > 0) memcpy(buffer->data, value->data, static_cast<size_t>(value->size));
    return buffer;
}

void SimulatedCloudImplementation::DeleteKeyValue(const char* key) {
    nMap<nByteBuffer*>::Entry* entry = values.Find(key);
    if (!entry) return;
    delete entry->value;
    values.Remove(key);
    Save();
}

bool SimulatedCloudImplementation::SaveValuesToFile(const char* file) {
    if (!file || !zk->file_system->ZK_FileSystem_IsPathValid(file)) return false;
    nByteBuffer image;
    bool built = image.AppendWithStringAndNullTerminator(ZK_SIMULATED_CLOUD_MAGIC) &&
                 image.AppendU32(static_cast<uint32_t>(values.Count()));
    for (int i = 0; built && i < values.Count(); ++i) {
        const nMap<nByteBuffer*>::Entry* entry = values.EntryAt(i);
        built = image.AppendWithStringAndNullTerminator(entry->key.c_str()) &&
                image.AppendU32(static_cast<uint32_t>(entry->value->size)) &&
                image.Append(entry->value->data, entry->value->size);
    }
    if (!built) return false;
    return ZKI_SaveFileSafely(ZKFileSystem::WithForwardSlashes(file).c_str(), image.data,
                              static_cast<size_t>(image.size), nullptr);
}

void SimulatedCloudImplementation::LoadValuesFromFile(const char* file) {
    // Quietly: a store without its file is simply empty.
    if (!file || !zk->file_system->ZK_FileSystem_FileExists(file)) return;
    zk_file_t* handle = zk->file_system->ZK_FileSystem_OpenFile(file, "r");
    if (!handle) return;
    int64_t size = handle->size;
    uint8_t* image = size > 0 && size < INT_MAX ? static_cast<uint8_t*>(malloc(static_cast<size_t>(size))) : nullptr;
    size_t read = image ? zk->file_system->ZK_FileSystem_ReadFile(image, static_cast<size_t>(size), handle) : 0;
    zk->file_system->ZK_FileSystem_CloseFile(handle);
    if (image) LoadValuesFromMemory(image, read);
    free(image);
}

int SimulatedCloudImplementation::LoadValuesFromMemory(const uint8_t* data, size_t size) {
    if (!data || size < kMagicSize) return 0;
    ImageReader reader(data, size);
    const char* magic = reader.Text(kMagicSize - 1);
    uint32_t count = 0;
    if (!magic || strcmp(magic, ZK_SIMULATED_CLOUD_MAGIC) != 0 || !reader.U32(&count)) return 0;
    int read = 0;
    // Each entry takes at least five bytes, so the file's end bounds the
    // loop whatever the count says.
    for (uint32_t i = 0; i < count && !reader.AtEnd(); ++i) {
        const char* key = reader.Text(ZK_SIMULATED_CLOUD_MAX_KEY_LENGTH);
        uint32_t length = 0;
        if (!key || !reader.U32(&length) || length > INT_MAX) break;
        const uint8_t* value = reader.Bytes(length);
        if (!value) break;
        if (length > 0 && !StoreValue(key, value, static_cast<int>(length))) break;
        ++read;
    }
    return read;
}
