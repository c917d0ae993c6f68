// Every writer of both programs, zk-shader-tool's engine and zk-manifester,
// writes through the safe write: with a link to a file outside standing at
// the temporary name it draws first, each takes the next name, writes its
// file, and leaves the link and what it leads to as they were. The
// manifester's code is linked in beside the engine's (it keeps its own
// names, table and state).
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "engine/bitmaps/bitmap_api.h"
#include "engine/bitmaps/bitmap_sequences.h"
#include "engine/datamodel/datamodel.h"
#include "engine/fonts/fonts.h"
#include "engine/fonts/font_files.h"
#include "engine/images/image_codecs.h"
#include "engine/images/image_loader.h"
#include "engine/render/tests/data_folder_fixture.h"
#include "engine/safewrite/tests/scripted_names.h"
#include "engine/services/simulated_cloud.h"
#include "engine/storage/safe_write.h"
#include "shadertool/translate/output_paths.h"
#include "shadertool/translate/translator_driver.h"
#include "tools/manifester/fonts.h"
#include "tools/manifester/image_loader.h"
#include "tools/manifester/runtime.h"

namespace fs = std::filesystem;
using safewrite_test::ScriptedNumbers;
using safewrite_test::TemporaryNameFor;

namespace {

// A one-pixel 32-bit TGA, written from the format.
std::string OnePixelTga() {
    std::string tga(18, '\0');
    tga[2] = 2;                       // uncompressed true colour
    tga[12] = 1;                      // width
    tga[14] = 1;                      // height
    tga[16] = 32;                     // bits per pixel
    tga[17] = 0x28;                   // top row first, 8 alpha bits
    return tga + std::string("\x10\x20\x30\xff", 4);
}

// A 2 x 2 picture for the image writers.
uint32_t picture[4] = {0xff0000ffu, 0xff00ff00u, 0xffff0000u, 0x80808080u};

struct Writer {
    std::string name;
    // The file it writes, in the folder made for it.
    std::function<std::string(const std::string& folder)> path;
    // Writes that file; true when it says it did.
    std::function<bool(const std::string& path)> write;
};

std::function<std::string(const std::string&)> Named(const std::string& name) {
    return [name](const std::string& folder) { return folder + "/" + name; };
}

class SafeFiles : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        ZKI_InitImageLoader();  // the sequence's frames are read through it
    }
};

TEST_F(SafeFiles, EveryWriterPassesALinkAtTheNameItDrawsFirst) {
    std::string output_directory;
    zk_bitmap_t sequence = {};
    const std::vector<Writer> writers = {
        // The road of the HTTP cache, the mount system's write-back and the
        // simulated cloud.
        {"engine: a whole file", Named("saved.bin"),
         [](const std::string& path) { return ZKI_SaveFileSafely(path.c_str(), "bytes", 5, nullptr); }},
        {"engine: the simulated cloud", Named("cloud.sav"),
         [](const std::string& path) {
             SimulatedCloudImplementation cloud(path.c_str());
             return cloud.SaveValuesToFile(path.c_str());
         }},
        {"engine: a database", Named("database.xml"),
         [](const std::string& path) {
             InnerZK::DMDatabase database;
             database.AddArray("settings")->AddNode("volume")->SetValue("value", "7");
             return database.SaveXML(path.c_str(), false);
         }},
        {"engine: a TGA", Named("image.tga"),
         [](const std::string& path) {
             zk_bitmap_t bitmap = {};
             bitmap.width = bitmap.height = 2;
             bitmap.pixels = picture;
             return ZKI_WriteTGA(&bitmap, path.c_str());
         }},
        {"engine: a font", Named("font.mft"),
         [](const std::string& path) {
             zk_font_t font = {};
             font.scale = 1.0f;
             font.height = 12;
             return ZKI_SaveFont(&font, path.c_str());
         }},
        {"engine: a bitmap sequence", Named("walk.bms"),
         [&sequence](const std::string& path) {
             std::string frame = fs::path(path).parent_path() / "f_0000.tga";
             std::ofstream(frame, std::ios::binary) << OnePixelTga();
             std::string pattern = fs::path(path).parent_path() / "f_*.tga";
             bool loaded = ZKI_LoadBitmapSequenceFromFiles(&sequence, pattern.c_str());
             fs::remove(frame);
             return loaded && ZKI_SaveBitmapSequence(&sequence, path.c_str(), 64, 64);
         }},
        {"engine: a translated shader",
         [&output_directory](const std::string& folder) {
             output_directory = folder + "/";
             fs::create_directories(folder + "/GLSL21");
             // A driver that has read no file yet names its outputs by an
             // empty base name.
             return std::string(ShaderTool::GetOutputFilePath(output_directory.c_str(), ShaderTool::GLSL21, "", "", 0,
                                                              ShaderTool::VERTEX_SHADER)
                                    .c_str());
         },
         [&output_directory](const std::string&) {
             ShaderTool::TranslatorDriver driver;
             if (!driver.Initialize(ShaderTool::GLSL21, output_directory.c_str(), false)) return false;
             const char text[] = "void main() {}\n";
             return driver.OutputFile(text, sizeof text - 1, "", ShaderTool::GLSL21, ShaderTool::ShaderLevel(0),
                                      ShaderTool::VERTEX_SHADER);
         }},
        {"zk-manifester: a PNG", Named("shot.png"),
         [](const std::string& path) {
             manifester::zk_bitmap_t bitmap = {};
             bitmap.width = bitmap.height = 2;
             bitmap.pixels = picture;
             return manifester::GetImageLoaderImp()->SaveImage(&bitmap, path.c_str(), 90);
         }},
        {"zk-manifester: a JPEG", Named("shot.jpg"),
         [](const std::string& path) {
             manifester::zk_bitmap_t bitmap = {};
             bitmap.width = bitmap.height = 2;
             bitmap.pixels = picture;
             return manifester::GetImageLoaderImp()->SaveImage(&bitmap, path.c_str(), 90);
         }},
        {"zk-manifester: a TGA", Named("shot.tga"),
         [](const std::string& path) {
             manifester::zk_bitmap_t bitmap = {};
             bitmap.width = bitmap.height = 2;
             bitmap.pixels = picture;
             return manifester::GetImageLoaderImp()->SaveImage(&bitmap, path.c_str(), 90);
         }},
        {"zk-manifester: a font", Named("font.mft"),
         [](const std::string& path) {
             manifester::zk_font_t font = {};
             font.scale = 1.0f;
             bool saved = manifester::ZKI_SetFontGlyphCount(&font, 3) && manifester::ZKI_SaveFont(&font, path.c_str());
             manifester::ZKI_SetFontGlyphCount(&font, 0);
             return saved;
         }},
        {"zk-manifester: the manifest", Named("manifest-temp.xml"),
         [](const std::string& path) {
             manifester::zk_safe_file_t file;
             if (!manifester::ZKI_OpenSafeFile(&file, path.c_str())) return false;
             fputs("<root>\n</root>\n", file.stream);
             return manifester::ZKI_CommitSafeFile(&file, false);
         }},
    };
    manifester::ZKI_SetBasicInterface();

    const std::string outside = folder_.Path() + "/outside";
    fs::create_directories(outside);
    const std::string victim = outside + "/victim.txt";
    const uint64_t first = 0x00c0ffee00000001u;
    int n = 0;
    for (const Writer& writer : writers) {
        SCOPED_TRACE(writer.name);
        std::ofstream(victim, std::ios::binary) << "keep";
        const std::string folder = folder_.Path() + "/writer" + std::to_string(n++);
        fs::create_directories(folder);
        const std::string path = writer.path(folder);
        const std::string link = TemporaryNameFor(path, first);
        ASSERT_EQ(symlink(victim.c_str(), link.c_str()), 0) << link;

        ScriptedNumbers numbers({first, first + 1});
        EXPECT_TRUE(writer.write(path));
        EXPECT_EQ(numbers.Drawn(), 2u);
        EXPECT_EQ(storage_test::ReadWholeFile(victim), "keep");
        EXPECT_TRUE(fs::is_symlink(link));
        struct stat status;
        ASSERT_EQ(lstat(path.c_str(), &status), 0);
        EXPECT_TRUE(S_ISREG(status.st_mode));
        EXPECT_GT(status.st_size, 4);
        // The file and the link, and no temporary file left behind.
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            if (!entry.is_directory()) names.push_back(entry.path().string());
        }
        std::sort(names.begin(), names.end());
        std::vector<std::string> expected = {path, link};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(names, expected);
    }
    ZKI_FreeBitmapSequenceParts(&sequence);
    manifester::ZKI_FreeState();
}

}  // namespace
