// zk-manifester run on directory trees made here: the manifest byte for
// byte, read back by the engine's manifest reader, the command line, and
// the failures that must not leave a cut manifest or exit 0.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <png.h>
#include <linux/capability.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/app/startup.h"
#include "engine/bitmaps/bitmap_manifest_rules.h"
#include "engine/safewrite/tests/scripted_names.h"
#include "engine/runtime/media_records.h"
#include "engine/runtime/state.h"
#include "engine/storage/data_manifests.h"
#include "engine/storage/filesystem.h"
#include "tools/manifester/tests/image_files.h"

using namespace manifester_test;
namespace fs = std::filesystem;

// The address sanitizer, as gcc (__SANITIZE_ADDRESS__) and clang
// (__has_feature) tell of it.
#if defined(__SANITIZE_ADDRESS__)
#define ZK_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZK_ADDRESS_SANITIZER 1
#endif
#endif

namespace {

struct RunResult {
    int exit_code;
    std::string out;
};

// What one run may take: a walk that never ends (through "." and "..", say)
// is stopped and fails its test instead of filling the disk.
const unsigned run_seconds = 60;
const long run_file_size = 64L << 20;

// What a run may be given beyond its arguments.
struct RunOptions {
    // Caps the size of written files with a failed write instead of the
    // run's end; 0 keeps run_file_size.
    long file_size_limit = 0;
    // Caps the program's memory (its address space) and its processor time
    // in seconds, 0 for none.
    long memory_limit = 0;
    long cpu_seconds = 0;
    // "NAME=value" set for the program.
    std::vector<std::string> environment;
    // Not 0: the program's random numbers come from the scripted source
    // (tests/scripted_random.cpp) with this first number, so its first
    // temporary names are known: the numbers it draws are this one, the
    // one after it and so on.
    uint64_t scripted_random = 0;
    // Not empty: this folder (a path as the program names it) is removed
    // the second time the program opens it for listing, as if it were
    // removed between the check of the target and the walk
    // (tests/vanishing_folder.cpp).
    std::string vanishing_folder;
    // Every entry of a listing comes without its type, as on file systems
    // that do not keep it (tests/untyped_listing.cpp).
    bool untyped_listing = false;
    // The program runs without the power to pass over file permissions that
    // a run as root has, so that a folder without permissions is closed to
    // it as it is to everybody else.
    bool bound_by_permissions = false;
};

// Puts the library in front of the C library in the program to be run.
void Preload(const char* library) {
    const char* before = getenv("LD_PRELOAD");
    setenv("LD_PRELOAD", (before ? std::string(before) + ":" : std::string()).append(library).c_str(), 1);
    // It stands before the sanitizers' runtime, which would refuse to start.
    const char* asan = getenv("ASAN_OPTIONS");
    setenv("ASAN_OPTIONS", (std::string(asan ? asan : "") + ":verify_asan_link_order=0").c_str(), 1);
}

// Runs the program in `cwd` with the arguments, standard input from
// /dev/null.
RunResult RunManifester(const std::string& cwd, const std::vector<std::string>& arguments,
                        const RunOptions& options = RunOptions()) {
    std::string out_path = cwd + "/../manifester.out";
    pid_t child = fork();
    if (child == 0) {
        if (chdir(cwd.c_str()) != 0) _exit(120);
        int input = open("/dev/null", O_RDONLY);
        int output = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(input, STDIN_FILENO);
        dup2(output, STDOUT_FILENO);
        dup2(output, STDERR_FILENO);
        long size_limit = options.file_size_limit > 0 ? options.file_size_limit : run_file_size;
        rlimit limit = {rlim_t(size_limit), rlim_t(size_limit)};
        setrlimit(RLIMIT_FSIZE, &limit);
        if (options.file_size_limit > 0) signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead
        if (options.memory_limit > 0) {
            rlimit memory = {rlim_t(options.memory_limit), rlim_t(options.memory_limit)};
            setrlimit(RLIMIT_AS, &memory);
        }
        if (options.cpu_seconds > 0) {
            rlimit cpu = {rlim_t(options.cpu_seconds), rlim_t(options.cpu_seconds)};
            setrlimit(RLIMIT_CPU, &cpu);
        }
        for (const std::string& variable : options.environment) putenv(const_cast<char*>(variable.c_str()));
        if (options.scripted_random != 0) {
            char base[17];
            snprintf(base, sizeof base, "%llx", static_cast<unsigned long long>(options.scripted_random));
            setenv("ZK_SCRIPTED_RANDOM", base, 1);
            Preload(ZK_SCRIPTED_RANDOM_PATH);
        }
        if (!options.vanishing_folder.empty()) {
            setenv("ZK_VANISHING_FOLDER", options.vanishing_folder.c_str(), 1);
            Preload(ZK_VANISHING_FOLDER_PATH);
        }
        if (options.untyped_listing) Preload(ZK_UNTYPED_LISTING_PATH);
        if (options.bound_by_permissions) {
            prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
            prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
        }
        alarm(run_seconds);  // kept across exec
        std::vector<char*> argv = {const_cast<char*>(ZK_MANIFESTER_PATH)};
        for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(121);
    }
    int status = 0;
    waitpid(child, &status, 0);
    RunResult run = {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(out_path)};
    remove(out_path.c_str());
    return run;
}

// A temporary directory with a work/ folder to run the program in.
class TempTree {
public:
    TempTree() : root(directory.Path()) { fs::create_directories(Work()); }
    std::string Work() const { return root + "/work"; }
    // Writes a file below work/, making its folders.
    void Put(const std::string& path, const Bytes& bytes) const {
        fs::create_directories(fs::path(Work() + "/" + path).parent_path());
        WriteBytes(Work() + "/" + path, bytes);
    }

private:
    TempDirectory directory;

public:
    const std::string root;
};

Bytes Tga(int type, int width, int height, int bits, const Bytes& pixels) {
    Bytes out = {0, 0, uint8_t(type), 0, 0, 0, 0, 0, 0, 0, 0, 0, uint8_t(width), uint8_t(width >> 8), uint8_t(height),
                 uint8_t(height >> 8), uint8_t(bits), 0x20};
    for (uint8_t byte : pixels) out.push_back(byte);
    return out;
}

Bytes CutTo(Bytes bytes, size_t size) {
    bytes.resize(size);
    return bytes;
}

Bytes CutInScan(const Bytes& jpeg) {
    for (size_t i = 0; i + 1 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) return CutTo(jpeg, i + 20);
    }
    return jpeg;
}

const char* const head =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n<root>\n\n <!-- Reference Resources. -->\n <array id=\"RESOURCES\">\n";
const char* const tail = " </array>\n\n</root>\n\n";

// Every kind of entry the walk meets, and the manifest it must give.
void MakeDataTree(const TempTree& tree) {
    tree.Put("data/direct.png", MakePng(4, 3, PNG_COLOR_TYPE_RGB, 8));
    tree.Put("data/Logo.PNG", MakePng(2, 2, PNG_COLOR_TYPE_RGB_ALPHA, 8));
    tree.Put("data/sixteen.png", MakePng(6, 6, PNG_COLOR_TYPE_RGB_ALPHA, 16));
    tree.Put("data/grey.jpg", MakeJpeg(8, 8, JpegColours::Grey));
    tree.Put("data/empty.tga", Tga(2, 0, 5, 32, {}));
    tree.Put("data/readme.txt", {'h', 'i'});
    tree.Put("data/archive.png.bak", MakePng(1, 1, PNG_COLOR_TYPE_RGB, 8));
    tree.Put("data/.hidden/secret.png", MakePng(9, 9, PNG_COLOR_TYPE_RGB, 8));
    tree.Put("data/gfx/hero.png", MakePng(5, 7, PNG_COLOR_TYPE_PALETTE, 8, true));
    tree.Put("data/gfx/.dot.tga", Tga(2, 3, 2, 24, Bytes(18, 7)));
    tree.Put("data/gfx/ui/button.jpg", MakeJpeg(16, 8, JpegColours::Rgb));
    tree.Put("data/a/same.png", MakePng(2, 2, PNG_COLOR_TYPE_GRAY, 8));
    tree.Put("data/b/same.png", MakePng(3, 3, PNG_COLOR_TYPE_GRAY, 8));
    tree.Put("data/anim/walk.bms", SequenceFile({{40, 30}, {20, 10}}, true));
    tree.Put("data/anim/noatlas.bms", SequenceFile({{40, 30}}, false));
    tree.Put("data/bad/cmyk.jpg", MakeJpeg(8, 8, JpegColours::Cmyk));
    tree.Put("data/bad/huge.jpg", WithFrameSize(MakeJpeg(16, 16, JpegColours::Rgb), 20000, 20000));
    tree.Put("data/bad/corrupt.jpg", {0xFF, 0xD8, 'n', 'o', 't'});
    tree.Put("data/bad/corrupt.png", {0x89, 'P', 'N', 'G', 'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'});
    tree.Put("data/bad/gif.png", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0});
    tree.Put("data/bad/grey16.tga", Tga(2, 2, 2, 16, Bytes(8, 1)));
    tree.Put("data/bad/short.tga", Tga(10, 6, 4, 24, {0x80, 1, 2, 3, 0x85}));
    tree.Put("data/bad/truncated.jpg", CutInScan(MakeJpeg(32, 16, JpegColours::Rgb)));
    Bytes png = MakePng(20, 10, PNG_COLOR_TYPE_RGB, 8);
    tree.Put("data/bad/truncated.png", CutTo(png, png.size() - 30));
    tree.Put("data/q/Tom & \"Jerry\".png", MakePng(2, 1, PNG_COLOR_TYPE_RGB, 8));
    // Headers beyond the first bytes read; a progressive file's scans are
    // not read, so one broken after the first keeps its size.
    Bytes text = PngChunk("tEXt", Bytes(10000, 'a'));
    Bytes texted = MakePng(11, 12, PNG_COLOR_TYPE_RGB, 8);
    texted.insert(texted.begin() + 33, text.begin(), text.end());
    tree.Put("data/q/texted.png", texted);
    tree.Put("data/q/progressive.jpg", MakeJpeg(13, 14, JpegColours::Rgb, true));
    Bytes broken = MakeJpeg(300, 200, JpegColours::Rgb, true);
    for (size_t i = broken.size() / 2; i + 1 < broken.size(); ++i) {
        if (broken[i] == 0xFF && broken[i + 1] == 0xDA) {  // a later scan's header, made invalid
            broken[i + 5] = 0x7F;
            break;
        }
    }
    tree.Put("data/q/broken-progressive.jpg", broken);
}

const char* const data_tree_nodes =
    "  <node id=\"same.png\" w=\"2\" h=\"2\" />\n"
    "  <node id=\"noatlas.bms\" h=\"0\" />\n"
    "  <node id=\"walk.bms\" w=\"40\" h=\"30\" />\n"
    "  <node id=\"same.png\" w=\"3\" h=\"3\" />\n"
    "  <node id=\"cmyk.jpg\" w=\"8\" h=\"8\" />\n"
    "  <node id=\"corrupt.jpg\" h=\"0\" />\n"
    "  <node id=\"corrupt.png\" h=\"0\" />\n"
    "  <node id=\"gif.png\" h=\"0\" />\n"
    "  <node id=\"grey16.tga\" h=\"0\" />\n"
    "  <node id=\"huge.jpg\" w=\"20000\" h=\"20000\" />\n"
    "  <node id=\"short.tga\" w=\"6\" h=\"4\" />\n"
    "  <node id=\"truncated.jpg\" w=\"32\" h=\"16\" />\n"
    "  <node id=\"truncated.png\" w=\"20\" h=\"10\" />\n"
    "  <node id=\"direct.png\" w=\"4\" h=\"3\" />\n"
    "  <node id=\"empty.tga\" h=\"5\" />\n"
    "  <node id=\".dot.tga\" w=\"3\" h=\"2\" />\n"
    "  <node id=\"hero.png\" w=\"5\" h=\"7\" />\n"
    "  <node id=\"ui/button.jpg\" w=\"16\" h=\"8\" />\n"
    "  <node id=\"grey.jpg\" w=\"8\" h=\"8\" />\n"
    "  <node id=\"Logo.PNG\" w=\"2\" h=\"2\" />\n"
    "  <node id=\"broken-progressive.jpg\" w=\"300\" h=\"200\" />\n"
    "  <node id=\"progressive.jpg\" w=\"13\" h=\"14\" />\n"
    "  <node id=\"texted.png\" w=\"11\" h=\"12\" />\n"
    "  <node id=\"Tom &amp; &quot;Jerry&quot;.png\" w=\"2\" h=\"1\" />\n"
    "  <node id=\"sixteen.png\" w=\"6\" h=\"6\" />\n";

TEST(ManifesterRun, DataTreeGivesTheManifestByteForByte) {
    TempTree tree;
    MakeDataTree(tree);
    RunResult run = RunManifester(tree.Work(), {"data"});
    EXPECT_EQ(run.exit_code, 0) << run.out;
    EXPECT_EQ(ReadText(tree.Work() + "/manifest-temp.xml"), std::string(head) + data_tree_nodes + tail);
    EXPECT_NE(run.out.find("zk-manifester v0.1\n\nManifesting folder: data\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Done.\n"), std::string::npos) << run.out;
    // Every refusal is said, naming the file, each text on its own line.
    for (const char* said : {
             "PNG ERROR: Image 'data/bad/gif.png' not proper png.\n",
             "File 'data/bad/corrupt.png':\nlibpng error: PNG file corrupted by ASCII conversion\n"
             "PNG ERROR: Image 'data/bad/corrupt.png' load failed.\n",
             "File 'data/bad/corrupt.jpg':\n",
             "File 'data/bad/grey16.tga':\nTGA image not supported: colour-map type 0, image type 2, 16 bits per pixel.\n",
             "\nDone.\n",
         }) {
        EXPECT_NE(run.out.find(said), std::string::npos) << said << " in\n" << run.out;
    }

    // A trailing slash measures the same ids.
    RunResult slash = RunManifester(tree.Work(), {"data/"});
    EXPECT_EQ(slash.exit_code, 0);
    EXPECT_EQ(ReadText(tree.Work() + "/manifest-temp.xml"), std::string(head) + data_tree_nodes + tail);
}

// The engine, as far as its manifest reader needs it.
void SetUpEngine() {
    static bool done = false;
    if (done) return;
    done = true;
    ZKI_StateSetup(nullptr);
    ZKI_CreateCoreMutexes();
    ZKFileSystem::Initialize();
}

TEST(ManifesterRun, TheEngineReadsBackEverySize) {
    TempTree tree;
    MakeDataTree(tree);
    ASSERT_EQ(RunManifester(tree.Work(), {"data"}).exit_code, 0);
    SetUpEngine();
    ZKI_AddManifest((tree.Work() + "/manifest-temp.xml").c_str());
    struct Case {
        const char* id;
        int width, height;  // as a bitmap takes them: a missing width is 32
    } cases[] = {
        {"same.png", 2, 2},  // of two equal ids the first wins
        {"noatlas.bms", 32, 0},       {"walk.bms", 40, 30},      {"cmyk.jpg", 8, 8},
        {"short.tga", 6, 4},          {"truncated.jpg", 32, 16}, {"truncated.png", 20, 10},
        {"direct.png", 4, 3},         {"empty.tga", 32, 5},      {".dot.tga", 3, 2},
        {"hero.png", 5, 7},           {"ui/button.jpg", 16, 8},  {"grey.jpg", 8, 8},
        {"Logo.PNG", 2, 2},           {"Tom & \"Jerry\".png", 2, 1}, {"sixteen.png", 6, 6},
        {"ui/button", 16, 8},  // found through its extension
    };
    for (const Case& c : cases) {
        ASSERT_NE(ZKI_GetDataManifestNode(c.id), nullptr) << c.id;
        zk_bitmap_t bitmap{};
        bitmap.width = bitmap.height = 999;
        ZKI_UpdateBitmapAccordingToDataManifest(&bitmap, c.id);
        EXPECT_EQ(bitmap.width, c.width) << c.id;
        EXPECT_EQ(bitmap.height, c.height) << c.id;
    }
    for (const char* absent : {"secret.png", "readme.txt", "archive.png.bak", "gfx/hero.png", "data/direct.png"}) {
        EXPECT_EQ(ZKI_GetDataManifestNode(absent), nullptr) << absent;
    }
}

TEST(ManifesterRun, CommandLine) {
    const std::string usage =
        "zk-manifester v0.1\n\n\nUsage:\n\nzk-manifester.exe <target directory>\n\n"
        " Example #1: \"zk-manifester.exe\" - creates a manifest of current working directory.\n"
        " Example #2: \"zk-manifester.exe data \" - creates a manifest of given directory.\n\n";
    const std::string both_nodes =
        std::string(head) + "  <node id=\"one.png\" w=\"1\" h=\"1\" />\n  <node id=\"two.png\" w=\"1\" h=\"1\" />\n" + tail;
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        bool manifest_written;
        std::string manifest;
        std::string out;
    } cases[] = {
        {"-?", {"-?"}, false, "", usage},
        {"/?", {"/?", "data"}, false, "", usage},
        {"--help", {"--help"}, false, "", usage},
        // A target named through "." or ".." is walked; its hidden folders are not.
        {"target through a dot folder", {"data/./x"}, true,
         std::string(head) + "  <node id=\"two.png\" w=\"1\" h=\"1\" />\n" + tail, ""},
        {"target through a parent folder", {"../work/../work/data"}, true, both_nodes, ""},
        {"target ending in a dot", {"data/."}, true, both_nodes, ""},
        {"only the first argument counts", {"data", "ignored"}, true, both_nodes, ""},
    };
    for (const Case& c : cases) {
        TempTree tree;
        tree.Put("data/one.png", MakePng(1, 1, PNG_COLOR_TYPE_RGB, 8));
        tree.Put("data/x/two.png", MakePng(1, 1, PNG_COLOR_TYPE_RGB, 8));
        tree.Put("data/.hidden/three.png", MakePng(1, 1, PNG_COLOR_TYPE_RGB, 8));
        RunResult run = RunManifester(tree.Work(), c.arguments);
        EXPECT_EQ(run.exit_code, 0) << c.name;
        EXPECT_EQ(fs::exists(tree.Work() + "/manifest-temp.xml"), c.manifest_written) << c.name;
        if (c.manifest_written) {
            EXPECT_EQ(ReadText(tree.Work() + "/manifest-temp.xml"), c.manifest) << c.name;
        } else {
            EXPECT_EQ(run.out, c.out) << c.name;
        }
    }
}

// A target that is not there, is a file, or is empty (which would walk the
// machine from "/") is refused by name, and the manifest of the run before
// is left as it was; an empty folder, or a link to a folder, is manifested.
TEST(ManifesterRun, ATargetThatIsNoFolderIsRefusedAndTheManifestKept) {
    TempTree tree;
    tree.Put("data/one.png", MakePng(1, 1, PNG_COLOR_TYPE_RGB, 8));
    tree.Put("afile.txt", {'h', 'i'});
    fs::create_directories(tree.Work() + "/empty");
    fs::create_directory_symlink("data", tree.Work() + "/link");
    const std::string manifest = tree.Work() + "/manifest-temp.xml";
    const std::string good = std::string(head) + "  <node id=\"one.png\" w=\"1\" h=\"1\" />\n" + tail;
    ASSERT_EQ(RunManifester(tree.Work(), {"data"}).exit_code, 0);
    ASSERT_EQ(ReadText(manifest), good);
    struct Case {
        std::string target;
        const char* reason;
    } refused[] = {
        {"datta", "No such file or directory"},
        {"afile.txt", "Not a directory"},
        {"afile.txt/", "Not a directory"},
        {"", "No such file or directory"},
        {"-h", "No such file or directory"},  // not a help option: a folder's name
    };
    for (const Case& c : refused) {
        RunResult run = RunManifester(tree.Work(), {c.target});
        EXPECT_NE(run.exit_code, 0) << "'" << c.target << "': " << run.out;
        EXPECT_NE(run.out.find("Cannot manifest '" + c.target + "': " + c.reason + ".\n"), std::string::npos)
            << "'" << c.target << "': " << run.out;
        EXPECT_EQ(run.out.find("Done."), std::string::npos) << "'" << c.target << "'";
        EXPECT_EQ(ReadText(manifest), good) << "'" << c.target << "'";
    }
    // A folder that cannot be read would be walked as an empty one.
    fs::create_directories(tree.Work() + "/locked/inner");
    fs::permissions(tree.Work() + "/locked", fs::perms::none);
    RunOptions bound;
    bound.bound_by_permissions = true;
    RunResult locked = RunManifester(tree.Work(), {"locked"}, bound);
    fs::permissions(tree.Work() + "/locked", fs::perms::owner_all);
    EXPECT_NE(locked.exit_code, 0) << locked.out;
    EXPECT_NE(locked.out.find("Cannot manifest 'locked': Permission denied.\n"), std::string::npos) << locked.out;
    EXPECT_EQ(ReadText(manifest), good);
    struct Walked {
        const char* target;
        std::string manifest;
    } walked[] = {
        {"link", good},
        {"empty", std::string(head) + tail},
    };
    for (const Walked& w : walked) {
        RunResult run = RunManifester(tree.Work(), {w.target});
        EXPECT_EQ(run.exit_code, 0) << w.target << ": " << run.out;
        EXPECT_NE(run.out.find("Done.\n"), std::string::npos) << w.target << ": " << run.out;
        EXPECT_EQ(ReadText(manifest), w.manifest) << w.target;
    }
    // Nothing left beside the data: no temporary of a refused run.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(tree.Work())) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"afile.txt", "data", "empty", "link", "locked", "manifest-temp.xml"}));
}

// A folder whose listing cannot be read, below the target or the target
// itself once the walk comes to it, would vanish from a manifest that looks
// whole: the run is refused by the folder's name, and the manifest of the
// run before is left as it was. So is a folder in a folder that can be
// read but not searched, whether the listing gives the entries' types or
// they must be looked up, which fails there. An empty folder is walked, and
// a hidden one is passed over whether it can be listed or not.
TEST(ManifesterRun, AFolderThatCannotBeListedRefusesTheRunAndTheManifestIsKept) {
    TempTree tree;
    tree.Put("data/one.png", MakePng(1, 1, PNG_COLOR_TYPE_RGB, 8));
    tree.Put("data/locked/two.png", MakePng(2, 2, PNG_COLOR_TYPE_RGB, 8));
    tree.Put("data/locked/inner/four.png", MakePng(4, 4, PNG_COLOR_TYPE_RGB, 8));
    tree.Put("data/.private/three.png", MakePng(3, 3, PNG_COLOR_TYPE_RGB, 8));
    fs::create_directories(tree.Work() + "/data/empty");
    const std::string manifest = tree.Work() + "/manifest-temp.xml";
    const std::string good = std::string(head) + "  <node id=\"inner/four.png\" w=\"4\" h=\"4\" />\n" +
                             "  <node id=\"two.png\" w=\"2\" h=\"2\" />\n" +
                             "  <node id=\"one.png\" w=\"1\" h=\"1\" />\n" + tail;
    ASSERT_EQ(RunManifester(tree.Work(), {"data"}).exit_code, 0);
    ASSERT_EQ(ReadText(manifest), good);

    const std::string data = tree.Work() + "/data";
    fs::permissions(data + "/.private", fs::perms::none);
    RunOptions bound;
    bound.bound_by_permissions = true;
    RunOptions bound_untyped = bound;
    bound_untyped.untyped_listing = true;
    RunOptions vanishing;
    vanishing.vanishing_folder = "data";
    struct Case {
        const char* name;
        fs::perms locked;  // what data/locked allows during the run
        RunOptions options;
        const char* message;
    } cases[] = {
        {"a locked folder below the target", fs::perms::none, bound,
         "Cannot manifest 'data/locked': Permission denied.\n"},
        {"a folder in a folder that can be read but not searched", fs::perms::owner_read, bound,
         "Cannot manifest 'data/locked/inner': Permission denied.\n"},
        {"the same, the listing giving no types", fs::perms::owner_read, bound_untyped,
         "Cannot manifest 'data/locked/inner': Permission denied.\n"},
        {"the target removed before its walk", fs::perms::owner_all, vanishing,
         "Cannot manifest 'data': No such file or directory.\n"},
    };
    for (const Case& c : cases) {
        fs::permissions(data + "/locked", c.locked);
        RunResult run = RunManifester(tree.Work(), {"data"}, c.options);
        if (fs::exists(data + ".gone")) fs::rename(data + ".gone", data);
        fs::permissions(data + "/locked", fs::perms::owner_all);
        EXPECT_NE(run.exit_code, 0) << c.name << ": " << run.out;
        EXPECT_NE(run.out.find(c.message), std::string::npos) << c.name << ": " << run.out;
        EXPECT_EQ(run.out.find("Done."), std::string::npos) << c.name;
        EXPECT_EQ(ReadText(manifest), good) << c.name;
        // No temporary left beside the manifest.
        EXPECT_EQ(size_t(std::distance(fs::directory_iterator(tree.Work()), fs::directory_iterator())), 2u) << c.name;
    }

    for (const RunOptions& options : {bound, bound_untyped}) {
        RunResult hidden_locked = RunManifester(tree.Work(), {"data"}, options);
        EXPECT_EQ(hidden_locked.exit_code, 0) << hidden_locked.out;
        EXPECT_NE(hidden_locked.out.find("Done.\n"), std::string::npos) << hidden_locked.out;
        EXPECT_EQ(ReadText(manifest), good) << options.untyped_listing;
    }
    fs::permissions(data + "/.private", fs::perms::owner_all);
}

// A listed file that is there but cannot be opened (no read permission, or
// in a folder that can be read but not searched, a link there too) is named
// and left out, and the walk goes on to the end: the run ends as one with a
// file its decoder refused. Only a file gone since the listing is passed
// over without a word.
TEST(ManifesterRun, AFileThatCannotBeOpenedIsNamedAndTheWalkGoesOn) {
    TempTree tree;
    tree.Put("data/a.png", MakePng(1, 1, PNG_COLOR_TYPE_RGB, 8));
    tree.Put("data/shut.png", MakePng(2, 2, PNG_COLOR_TYPE_RGB, 8));
    tree.Put("data/unsearched/b.png", MakePng(3, 3, PNG_COLOR_TYPE_RGB, 8));
    ASSERT_EQ(symlink("../a.png", (tree.Work() + "/data/unsearched/link.png").c_str()), 0);
    tree.Put("data/z/c.png", MakePng(4, 4, PNG_COLOR_TYPE_RGB, 8));
    const std::string data = tree.Work() + "/data";
    fs::permissions(data + "/shut.png", fs::perms::none);
    fs::permissions(data + "/unsearched", fs::perms::owner_read);
    RunOptions bound;
    bound.bound_by_permissions = true;
    RunResult run = RunManifester(tree.Work(), {"data"}, bound);
    fs::permissions(data + "/unsearched", fs::perms::owner_all);
    EXPECT_EQ(run.exit_code, 0) << run.out;
    EXPECT_NE(run.out.find("Done.\n"), std::string::npos) << run.out;
    EXPECT_EQ(ReadText(tree.Work() + "/manifest-temp.xml"),
              std::string(head) + "  <node id=\"a.png\" w=\"1\" h=\"1\" />\n  <node id=\"c.png\" w=\"4\" h=\"4\" />\n" + tail);
    for (const char* file : {"data/shut.png", "data/unsearched/b.png", "data/unsearched/link.png"}) {
        EXPECT_NE(run.out.find("Unable to read '" + std::string(file) + "'.\n"), std::string::npos)
            << file << " in\n" << run.out;
    }
}

TEST(ManifesterRun, CurrentDirectoryWhenNoTargetIsGiven) {
    TempTree tree;
    // Even below a folder whose name begins with a dot: only the part below
    // the current directory is tested for hidden folders.
    std::string data = tree.Work() + "/.cache/data";
    fs::create_directories(data + "/.git");
    fs::create_directories(data + "/sub");
    WriteBytes(data + "/a.png", MakePng(3, 1, PNG_COLOR_TYPE_RGB, 8));
    WriteBytes(data + "/sub/b.tga", Tga(2, 1, 2, 32, Bytes(8, 1)));
    WriteBytes(data + "/.git/c.png", MakePng(3, 1, PNG_COLOR_TYPE_RGB, 8));
    WriteBytes(data + "/manifest-temp.xml", {'o', 'l', 'd'});
    RunResult run = RunManifester(data, {});
    EXPECT_EQ(run.exit_code, 0) << run.out;
    EXPECT_EQ(ReadText(data + "/manifest-temp.xml"),
              std::string(head) + "  <node id=\"a.png\" w=\"3\" h=\"1\" />\n  <node id=\"b.tga\" w=\"1\" h=\"2\" />\n" + tail);
}

// Runs the program in a directory that is removed once the program is in
// it: nothing can be created there, not even by root.
RunResult RunInRemovedDirectory(const std::string& cwd, const std::string& target, const std::string& out) {
    std::string script = "cd '" + cwd + "' && rmdir '" + cwd + "' && exec '" + ZK_MANIFESTER_PATH + "' '" + target +
                         "' </dev/null >'" + out + "' 2>&1";
    int status = system(script.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(out)};
}

TEST(ManifesterRun, FailuresExitNonZeroAndLeaveNoCutManifest) {
    enum Failure { Unopenable, FileSizeLimit, DirectoryInTheWay, TargetTooLong };
    struct Case {
        const char* name;
        Failure failure;
        const char* message;
        bool walked;
    } cases[] = {
        {"current directory gone", Unopenable, "Error opening manifest file for writing.\n", false},
        {"file size limit", FileSizeLimit, "Error writing manifest file.\n", true},
        // Found before the walk: a folder can never be replaced by the manifest.
        {"a directory in the way", DirectoryInTheWay, "Error opening manifest file for writing.\n", false},
        {"target too long", TargetTooLong, "The target directory is longer than 511 characters.\n", false},
    };
    for (const Case& c : cases) {
        TempTree tree;
        for (int i = 0; i < 40; ++i) tree.Put("data/image" + std::to_string(i) + ".png", MakePng(1, 1, 2, 8));
        tree.Put("data/talks.png", {0x89, 'P', 'N', 'G', 'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'});  // refused by name
        std::string data = tree.Work() + "/data";
        RunResult run;
        switch (c.failure) {
            case Unopenable:
                fs::create_directories(tree.root + "/gone");
                run = RunInRemovedDirectory(tree.root + "/gone", data, tree.root + "/out");
                break;
            case FileSizeLimit:
                {
                    RunOptions options;
                    options.file_size_limit = 300;
                    run = RunManifester(tree.Work(), {data}, options);
                }
                break;
            case DirectoryInTheWay:
                fs::create_directories(tree.Work() + "/manifest-temp.xml/inside");
                run = RunManifester(tree.Work(), {data});
                break;
            case TargetTooLong:
                run = RunManifester(tree.Work(), {std::string(600, 'd')});
                break;
        }
        EXPECT_NE(run.exit_code, 0) << c.name << ": " << run.out;
        EXPECT_NE(run.out.find(c.message), std::string::npos) << c.name << ": " << run.out;
        EXPECT_EQ(run.out.find("Done."), std::string::npos) << c.name;
        EXPECT_EQ(run.out.find("talks.png") != std::string::npos, c.walked) << c.name << ": " << run.out;
        EXPECT_FALSE(fs::is_regular_file(tree.Work() + "/manifest-temp.xml")) << c.name;
        // Nothing left beside the data: no manifest, no temporary.
        for (const auto& entry : fs::directory_iterator(tree.Work())) {
            std::string file = entry.path().filename().string();
            EXPECT_TRUE(file == "data" || file == "manifest-temp.xml") << c.name << ": " << file;
        }
    }
}

// The temporary manifest is a new file of its own: a link at the name the
// program draws first is passed by and what it leads to is left alone;
// with every name it draws taken, the manifest is refused.
TEST(ManifesterRun, TheManifestIsWrittenPastALinkAtTheNameItDraws) {
    const uint64_t first = 0x5eed000000000000u;
    for (int taken : {1, 16}) {
        TempTree tree;
        tree.Put("data/one.png", MakePng(1, 1, PNG_COLOR_TYPE_RGB, 8));
        std::string victim = tree.root + "/victim.txt";
        WriteBytes(victim, {'k', 'e', 'e', 'p'});
        std::vector<std::string> links;
        for (int i = 0; i < taken; ++i) {
            links.push_back(safewrite_test::TemporaryNameFor(tree.Work() + "/manifest-temp.xml", first + uint64_t(i)));
            ASSERT_EQ(symlink(victim.c_str(), links.back().c_str()), 0);
        }
        RunOptions options;
        options.scripted_random = first;
        RunResult run = RunManifester(tree.Work(), {"data"}, options);
        EXPECT_EQ(ReadText(victim), "keep") << taken;
        for (const std::string& link : links) EXPECT_TRUE(fs::is_symlink(link)) << link;
        if (taken == 1) {
            EXPECT_EQ(run.exit_code, 0) << run.out;
            EXPECT_FALSE(fs::is_symlink(tree.Work() + "/manifest-temp.xml"));
            EXPECT_EQ(ReadText(tree.Work() + "/manifest-temp.xml"),
                      std::string(head) + "  <node id=\"one.png\" w=\"1\" h=\"1\" />\n" + tail);
        } else {
            EXPECT_NE(run.exit_code, 0) << run.out;
            EXPECT_NE(run.out.find("Error opening manifest file for writing.\n"), std::string::npos) << run.out;
            EXPECT_FALSE(fs::exists(tree.Work() + "/manifest-temp.xml"));
        }
        // The data, the links and the manifest when it was written: no
        // temporary left over.
        size_t expected = 1 + links.size() + (taken == 1 ? 1 : 0);
        EXPECT_EQ(size_t(std::distance(fs::directory_iterator(tree.Work()), fs::directory_iterator())), expected);
    }
}

// Only a folder itself in the way is refused: a link at the manifest's
// name, to a folder or to a file, is replaced by the manifest, and what it
// leads to is left as it was.
TEST(ManifesterRun, ALinkAtTheManifestIsReplacedAndWhatItLeadsToLeftAlone) {
    for (bool to_folder : {true, false}) {
        TempTree tree;
        tree.Put("data/one.png", MakePng(1, 1, PNG_COLOR_TYPE_RGB, 8));
        std::string elsewhere = tree.root + "/elsewhere";
        fs::create_directories(elsewhere + "/inside");
        WriteBytes(elsewhere + "/inside/kept.txt", {'k', 'e', 'e', 'p'});
        std::string led_to = to_folder ? elsewhere : elsewhere + "/inside/kept.txt";
        ASSERT_EQ(symlink(led_to.c_str(), (tree.Work() + "/manifest-temp.xml").c_str()), 0);
        RunResult run = RunManifester(tree.Work(), {"data"});
        EXPECT_EQ(run.exit_code, 0) << to_folder << ": " << run.out;
        EXPECT_FALSE(fs::is_symlink(tree.Work() + "/manifest-temp.xml")) << to_folder;
        EXPECT_TRUE(fs::is_regular_file(tree.Work() + "/manifest-temp.xml")) << to_folder;
        EXPECT_EQ(ReadText(tree.Work() + "/manifest-temp.xml"),
                  std::string(head) + "  <node id=\"one.png\" w=\"1\" h=\"1\" />\n" + tail)
            << to_folder;
        EXPECT_EQ(ReadText(elsewhere + "/inside/kept.txt"), "keep") << to_folder;
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(elsewhere)) names.push_back(entry.path().string());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{elsewhere + "/inside", elsewhere + "/inside/kept.txt"})) << to_folder;
    }
}

// Files that would cost the decoder gigabytes or minutes are measured from
// their headers within a fixed amount of memory and time.
TEST(ManifesterRun, HostileJpegsAreMeasuredWithinBoundedMemoryAndTime) {
    TempTree tree;
    // A few hundred bytes whose scans would need 1.5 GiB.
    tree.Put("data/claims.jpg", WithFrameSize(MakeJpeg(16, 16, JpegColours::Rgb, true), 16384, 16384));
    // 20000 scans of a few bytes, each over 65536 blocks: minutes of work.
    tree.Put("data/scans.jpg", WithRepeatedLastScan(MakeFlatGreyJpeg(2048, 2048), 20000));
    tree.Put("data/plain.jpg", MakeJpeg(13, 14, JpegColours::Rgb, true));
    RunOptions options;
#ifndef ZK_ADDRESS_SANITIZER  // the address sanitizer's own reservations exceed any such limit
    options.memory_limit = 768L << 20;
#endif
    options.cpu_seconds = 20;
    RunResult run = RunManifester(tree.Work(), {"data"}, options);
    EXPECT_EQ(run.exit_code, 0) << run.out.substr(0, 2000);
    EXPECT_EQ(ReadText(tree.Work() + "/manifest-temp.xml"),
              std::string(head) +
                  "  <node id=\"claims.jpg\" w=\"16384\" h=\"16384\" />\n"
                  "  <node id=\"plain.jpg\" w=\"13\" h=\"14\" />\n"
                  "  <node id=\"scans.jpg\" w=\"2048\" h=\"2048\" />\n" +
                  tail);
}

TEST(ManifesterRun, PathsOver511CharactersAreSkippedWithAMessage) {
    TempTree tree;
    std::string deep = "data/" + std::string(200, 'a') + "/" + std::string(200, 'b');
    tree.Put(deep + "/fits.png", MakePng(1, 1, PNG_COLOR_TYPE_RGB, 8));
    tree.Put(deep + "/" + std::string(120, 'c') + ".png", MakePng(1, 1, PNG_COLOR_TYPE_RGB, 8));
    tree.Put(deep + "/" + std::string(120, 'd') + "/inner.png", MakePng(1, 1, PNG_COLOR_TYPE_RGB, 8));
    tree.Put("data/z.png", MakePng(2, 2, PNG_COLOR_TYPE_RGB, 8));
    RunResult run = RunManifester(tree.Work(), {"data"});
    EXPECT_EQ(run.exit_code, 0) << run.out;
    std::string id = std::string(200, 'b') + "/fits.png";
    EXPECT_EQ(ReadText(tree.Work() + "/manifest-temp.xml"),
              std::string(head) + "  <node id=\"" + id + "\" w=\"1\" h=\"1\" />\n  <node id=\"z.png\" w=\"2\" h=\"2\" />\n" +
                  tail);
    EXPECT_NE(run.out.find(std::string(120, 'c') + ".png': the path is longer than 511 characters.\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find(std::string(120, 'd') + "': the path is longer than 511 characters.\n"), std::string::npos);
}

}  // namespace
