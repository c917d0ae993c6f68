#include "engine/media/tests/image_engine_fixture.h"

#include <stdlib.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>

#include "engine/app/startup.h"
#include "engine/media/bitmap_pixels.h"
#include "engine/runtime/log.h"
#include "engine/runtime/registration.h"
#include "engine/runtime/state.h"
#include "engine/runtime/threads.h"
#include "engine/storage/filesystem.h"

namespace media_test {

static std::mutex recorder_lock;

std::vector<Said>& Recorded() {
    static std::vector<Said> said;
    return said;
}

void ClearRecorded() {
    std::lock_guard<std::mutex> guard(recorder_lock);
    Recorded().clear();
}

std::vector<std::string> Texts(char printer) {
    std::lock_guard<std::mutex> guard(recorder_lock);
    std::vector<std::string> texts;
    for (const Said& s : Recorded()) {
        if (s.printer == printer) texts.push_back(s.text);
    }
    return texts;
}

static void Record(char printer, int type, const char* format, va_list args) {
    char buffer[4096];
    vsnprintf(buffer, sizeof buffer, format, args);
    std::lock_guard<std::mutex> guard(recorder_lock);
    Recorded().push_back({printer, type, buffer});
}

static int RecordPopup(zk_message_type_t type, const char* format, ...) {
    va_list args;
    va_start(args, format);
    Record('P', type, format, args);
    va_end(args);
    return 4;
}

static int RecordDebugLine(zk_message_type_t type, const char* format, ...) {
    va_list args;
    va_start(args, format);
    Record('D', type, format, args);
    va_end(args);
    return 0;
}

static int RecordPrint(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Record('I', 0, format, args);
    va_end(args);
    return 0;
}

void SetUpEngine() {
    static bool done = false;
    if (done) return;
    done = true;
    zk_run_silent = 1;
    ZKT_InitThreads();
    ZKI_StateSetup(nullptr);
    ZKI_CreateCoreMutexes();
    ZKFileSystem::Initialize();
    zk_media.InitImageLoader();
    zk->ZK_Popupf = RecordPopup;
    zk->ZK_PrintDebugf = RecordDebugLine;
    zk->ZK_Printf = RecordPrint;
}

void MediaTest::SetUp() {
    SetUpEngine();
    ClearRecorded();
    zk_state.pixel_byte_order = 0;
    zk_state.developer_mode = 0;
}

void MediaTest::TearDown() {
    zk_state.pixel_byte_order = 0;
    zk_state.developer_mode = 0;
    ZKI_SetPixelAllocatorForTesting(nullptr);
}

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zk-media-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data())) path = buffer.data();
}

TempFolder::~TempFolder() {
    std::error_code error;
    if (!path.empty()) std::filesystem::remove_all(path, error);
}

std::vector<std::string> TempFolder::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

TestBitmap::TestBitmap(int width, int height, uint16_t flags) {
    record.name = strdup("test bitmap");
    record.width = record.texture_width = width;
    record.height = record.texture_height = height;
    record.flags = flags;
    size_t bytes = size_t(width > 0 ? width : 0) * size_t(height > 0 ? height : 0) * 4;
    record.pixels = static_cast<uint32_t*>(calloc(bytes ? bytes : 1, 1));
}

TestBitmap::~TestBitmap() {
    free(record.pixels);
    free(record.name);
}

void TestBitmap::Set(int x, int y, uint8_t c0, uint8_t c1, uint8_t c2, uint8_t alpha) {
    uint8_t* p = Bytes(x, y);
    p[0] = c0, p[1] = c1, p[2] = c2, p[3] = alpha;
}

void TestBitmap::Fill(uint8_t c0, uint8_t c1, uint8_t c2, uint8_t alpha) {
    for (int y = 0; y < record.height; ++y) {
        for (int x = 0; x < record.width; ++x) Set(x, y, c0, c1, c2, alpha);
    }
}

std::vector<int> BytesOf(uint32_t pixel) {
    uint8_t b[4];
    memcpy(b, &pixel, 4);
    return {b[0], b[1], b[2], b[3]};
}

}  // namespace media_test
