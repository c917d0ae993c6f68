// PAK archives built here from their format: serving entries, reads and
// seeks kept inside an entry, repeated names, refused archives, listing,
// and several threads opening one archive at once.
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "engine/runtime/zekar.h"
#include "engine/storage/pak_system.h"
#include "engine/storage/posix_system.h"
#include "engine/storage/tests/storage_test_support.h"

using namespace ZKFileSystem;
using namespace storage_test;

namespace {

struct Entry {
    std::string name;
    std::string data;
};

void PutU32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out += char((value >> (8 * i)) & 0xFF);
}

void SetU32(std::string& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = char((value >> (8 * i)) & 0xFF);
}

// An archive: header, the entries' data one after the other, then the
// table. Offsets of each entry's record fields are returned in record_at.
std::string Archive(const std::vector<Entry>& entries, std::vector<size_t>* record_at = nullptr) {
    std::string bytes("PAK\0V11\0", 8);
    PutU32(bytes, 0);
    PutU32(bytes, 0);
    std::vector<uint32_t> offsets;
    for (const Entry& e : entries) {
        offsets.push_back(uint32_t(bytes.size()));
        bytes += e.data;
    }
    SetU32(bytes, 8, uint32_t(bytes.size()));
    PutU32(bytes, uint32_t(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        bytes += entries[i].name;
        bytes += '\0';
        if (record_at) record_at->push_back(bytes.size());
        PutU32(bytes, offsets[i]);
        PutU32(bytes, uint32_t(entries[i].data.size()));
        PutU32(bytes, 0xAAAAAAAA);  // the two words nothing reads
        PutU32(bytes, 0x55555555);
    }
    SetU32(bytes, 12, uint32_t(bytes.size()));
    return bytes;
}

zk_mutex_t* ArchiveMutex() {
    SetUpEngine();  // fixtures build their systems before SetUp runs
    return zk->ZK_GetMutex("PAKSystemOpenPAK");
}

// A system that looks archives up before its own files, as a platform
// that enables archives for a prefix does.
class ArchiveSystem : public POSIXSystem {
public:
    ArchiveSystem() : POSIXSystem(ArchiveMutex()) {}
    bool FileExists(PathPrefix prefix, const nString& path) override {
        return PAKSystem::FileExists(prefix, path) || POSIXSystem::FileExists(prefix, path);
    }
    File* OpenFile(PathPrefix prefix, const nString& path, OpenMode mode) override {
        File* file = PAKSystem::OpenFile(prefix, path, mode);
        return file ? file : POSIXSystem::OpenFile(prefix, path, mode);
    }
};

class PAKArchives : public StorageTest {
protected:
    void SetUp() override {
        StorageTest::SetUp();
        ChangePath(PATH_PREFIX_UGC, dir.Path().c_str());
    }
    void TearDown() override { ChangePath(PATH_PREFIX_UGC, ""); }

    File* Open(const std::string& relative) {
        return system.OpenFile(PATH_PREFIX_UGC, nString((dir / relative).c_str()), OPEN_MODE_READ);
    }
    std::string ReadAll(File* file, size_t at_most = 4096) {
        std::string bytes(at_most, '\0');
        bytes.resize(file->Read(&bytes[0], at_most));
        return bytes;
    }
    // Opens straight from an archive, without falling back to loose files.
    File* OpenFromArchive(const std::string& relative) {
        return system.PAKSystem::OpenFile(PATH_PREFIX_UGC, nString((dir / relative).c_str()), OPEN_MODE_READ);
    }

    TempDirectory dir;
    ArchiveSystem system;
};

TEST_F(PAKArchives, AnEntryReadsAndSeeksWithinItself) {
    WriteFile(dir / "data.pak", Archive({{"first.bin", "BEFORE"}, {"sub/a.png", "ALPHA-DATA"}, {"z.bin", "AFTER"}}));
    File* file = Open("data/sub/a.png");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->size, 10);
    EXPECT_EQ(file->flags, File::flag_archive_entry);
    EXPECT_FALSE(file->writable);
    EXPECT_EQ(file->GetPosition(), 0);
    // A read asking for more than the entry stops at its end.
    EXPECT_EQ(ReadAll(file), "ALPHA-DATA");
    EXPECT_EQ(ReadAll(file), "");

    struct Seek {
        int offset;
        zk_seek_t origin;
        int result;
        int64_t position;
        const char* rest;
    } seeks[] = {
        {3, 0, 0, 3, "HA-DATA"}, {0, 2, 0, 10, ""},     {-2, 2, 0, 8, "TA"},  {100, 0, 0, 10, ""},
        {5, 2, 0, 10, ""},       {-1, 0, -1, 10, ""},   {-11, 2, -1, 10, ""}, {0, 0, 0, 0, "ALPHA-DATA"},
        {4, 1, 0, 14, ""},       {9, 7, -1, 10, ""},
    };
    for (const Seek& s : seeks) {
        EXPECT_EQ(file->SetPosition(s.offset, s.origin), s.result) << s.offset << "/" << s.origin;
        int64_t expected = s.position > 10 ? 10 : s.position;
        EXPECT_EQ(file->GetPosition(), expected) << s.offset << "/" << s.origin;
        EXPECT_EQ(ReadAll(file), s.rest) << s.offset << "/" << s.origin;
    }
    file->SetPosition(2, 0);
    EXPECT_EQ(file->SetPosition(3, 1), 0);
    EXPECT_EQ(ReadAll(file, 2), "-D");

    int offset = 100;
    file->GetFileDescriptor(offset);
    EXPECT_EQ(offset, 100 + 16 + 6);  // the entry's data follow the header and "BEFORE"
    EXPECT_TRUE(system.CloseFile(file));
}

TEST_F(PAKArchives, WhatIsAndIsNotServedFromAnArchive) {
    WriteFile(dir / "data.pak", Archive({{"sub/a.png", "A"}, {"Mixed/Case.TXT", "C"}, {"b.txt", "B"}}));
    WriteFile(dir / "loose.txt", "L");
    struct Case {
        std::string path;
        const char* content;  // null: not served from the archive
    } cases[] = {
        {"data/sub/a.png", "A"},
        {"data/b.txt", "B"},
        {"data/mixed/case.txt", "C"},  // entry names ignore case
        {"data/SUB/A.PNG", "A"},
        {"data/sub/missing.png", nullptr},
        {"data.pak", nullptr},         // the archive itself
        {"data/x.obb", nullptr},
        {"loose.txt", nullptr},        // no top-level directory: no archive
        {"other/sub/a.png", nullptr},  // no archive "other.pak"
    };
    for (const Case& c : cases) {
        File* file = OpenFromArchive(c.path);
        EXPECT_EQ(file != nullptr, c.content != nullptr) << c.path;
        EXPECT_EQ(system.PAKSystem::FileExists(PATH_PREFIX_UGC, nString((dir / c.path).c_str())), c.content != nullptr)
            << c.path;
        if (!file) continue;
        EXPECT_EQ(ReadAll(file), c.content) << c.path;
        system.CloseFile(file);
    }
    EXPECT_EQ(system.PAKSystem::OpenFile(PATH_PREFIX_UGC, nString((dir / "data/b.txt").c_str()), OPEN_MODE_WRITE),
              nullptr);
    // Each archive is read once.
    int opened = 0;
    for (const Message& m : Recorded()) opened += m.text == "Opening PAK '" + (dir / "data.pak") + "'...";
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(system.paks.Count(), 1);
}

TEST_F(PAKArchives, ArchivePathsAreTheTopLevelDirectory) {
    std::string root = dir.Path();
    struct Case {
        std::string path;
        std::string archive;
    } cases[] = {
        {root + "/data/sub/a.png", root + "/data.pak"},
        {root + "/data/a.png", root + "/data.pak"},
        {root + "/a.png", ""},
        {root + "/data/", root + "/data.pak"},
        {root, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(std::string(system.ConvertFilePathToPAKPath(PATH_PREFIX_UGC, nString(c.path.c_str())).c_str()),
                  c.archive)
            << c.path;
    }
}

TEST_F(PAKArchives, TheFirstOfRepeatedNamesWins) {
    WriteFile(dir / "data.pak", Archive({{"a.png", "first"}, {"a.png", "second"}, {"A.PNG", "third"}}));
    File* file = Open("data/a.png");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(ReadAll(file), "first");
    system.CloseFile(file);
    EXPECT_EQ(system.FindPAK(nString((dir / "data.pak").c_str()))->entries.Count(), 1);
}

TEST_F(PAKArchives, DamagedArchivesAreRefusedWhole) {
    std::vector<size_t> records;
    const std::string good = Archive({{"a.png", "AAAA"}, {"b.png", "BBBB"}}, &records);
    auto changed = [&](size_t at, uint32_t value) {
        std::string bytes = good;
        SetU32(bytes, at, value);
        return bytes;
    };
    std::string longer = good + "x";  // stored size one byte short
    std::string version = good;
    version[6] = '0';
    std::string long_name = Archive({{std::string(600, 'n'), "A"}});
    std::string name_511 = Archive({{std::string(511, 'n'), "A"}});
    std::string empty_name = Archive({{"", "A"}});
    std::string cut = good.substr(0, good.size() - 8);
    SetU32(cut, 12, uint32_t(cut.size()));
    struct Case {
        const char* what;
        std::string bytes;
        bool too_long_line;
    } cases[] = {
        {"stored size one too large", changed(12, uint32_t(good.size() + 1)), false},
        {"stored size one too small", longer, false},
        {"version 1.0", version, false},
        {"table beyond the end", changed(8, uint32_t(good.size())), false},
        {"table inside the header", changed(8, 4), false},
        {"entry data beyond the end", changed(records[1] + 4, 1000), false},
        {"entry offset beyond the end", changed(records[0], 0xFFFFFFF0u), false},
        {"entry count beyond the records", changed(uint32_t(good.size()) - 2 * (6 + 16) - 4, 3), false},
        {"record cut short", cut, false},
        {"name of 600 characters", long_name, true},
        {"name of 511 characters", name_511, true},
        {"empty name", empty_name, false},
        {"too short for a header", std::string("PAK\0V11\0", 8), false},
    };
    for (const Case& c : cases) {
        ClearRecorded();
        ArchiveSystem fresh;
        WriteFile(dir / "data.pak", c.bytes);
        EXPECT_EQ(fresh.PAKSystem::OpenFile(PATH_PREFIX_UGC, nString((dir / "data/a.png").c_str()), OPEN_MODE_READ),
                  nullptr)
            << c.what;
        EXPECT_EQ(fresh.paks.Count(), 0) << c.what;
        bool line = false;
        for (const Message& m : Recorded()) line |= m.text == "File System ReadPAK: PAK has a file with too long name.";
        EXPECT_EQ(line, c.too_long_line) << c.what;
    }

    // The reference archive itself opens, a name of 510 characters too, and
    // a negative count gives an archive without entries.
    for (const std::string& bytes : {good, Archive({{std::string(510, 'n'), "A"}}), changed(good.size() - 48, 0xFFFFFFFFu)}) {
        ArchiveSystem fresh;
        WriteFile(dir / "data.pak", bytes);
        EXPECT_NE(fresh.GetPAK(PATH_PREFIX_UGC, nString((dir / "data.pak").c_str())), nullptr);
    }
}

TEST_F(PAKArchives, ListingEntriesBelowADirectory) {
    WriteFile(dir / "data.pak", Archive({{"sub/a.png", "1"},
                                         {"sub/b.txt", "2"},
                                         {"sub/deep/c.png", "3"},
                                         {"subway/x.png", "4"},
                                         {"top.png", "5"}}));
    nArray<nString> png;
    png.InsertLast(nString("*.png"));
    struct Case {
        std::string base;
        std::string directory;
        bool recursive;
        std::vector<std::string> found;
    } cases[] = {
        {dir / "data/sub/", dir / "data/sub", false, {dir / "data/sub/a.png"}},
        {dir / "data/sub/", dir / "data/sub", true, {dir / "data/sub/a.png", dir / "data/sub/deep/c.png"}},
        {"ugc://data/sub/", dir / "data/sub", false, {"ugc://data/sub/a.png"}},
        {dir / "data/", dir / "data", true, {}},  // the top-level directory has no archive path
        {dir / "none/sub/", dir / "none/sub", true, {}},
    };
    for (const Case& c : cases) {
        nString base(c.base.c_str());
        nString directory(c.directory.c_str());
        nArray<nString> results;
        system.PAKSystem::FindFiles(PATH_PREFIX_UGC, base, directory, png, c.recursive, results);
        std::vector<std::string> found;
        for (int i = 0; i < results.count; ++i) found.push_back(results[i].c_str());
        EXPECT_EQ(found, c.found) << c.directory << (c.recursive ? " recursive" : "");
    }
}

TEST_F(PAKArchives, ThreadsOpeningOneArchiveShareOneTable) {
    std::vector<Entry> entries;
    for (int i = 0; i < 200; ++i) entries.push_back({"f" + std::to_string(i) + ".bin", std::to_string(i * 7)});
    WriteFile(dir / "data.pak", Archive(entries));
    std::vector<std::thread> threads;
    std::vector<int> good(8, 0);
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            for (int i = t; i < 200; i += 3) {
                File* file = Open("data/F" + std::to_string(i) + ".BIN");
                if (!file) continue;
                good[t] += ReadAll(file) == std::to_string(i * 7);
                system.CloseFile(file);
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    int total = 0;
    for (int t = 0; t < 8; ++t) total += good[t];
    int expected = 0;
    for (int t = 0; t < 8; ++t) expected += (200 - t + 2) / 3;
    EXPECT_EQ(total, expected);
    EXPECT_EQ(system.paks.Count(), 1);
    system.ClosePAKs();
    EXPECT_EQ(system.paks.Count(), 0);
}

TEST(PAKNames, TheHashIgnoresCase) {
    EXPECT_EQ(PAKSystem::nStringHash("Sub/A.PNG"), PAKSystem::nStringHash("sub/a.png"));
    EXPECT_EQ(PAKSystem::nStringHash("ab"), 97u * 37u + 98u);
    EXPECT_TRUE(PAKSystem::nStringEqual("ABC", "abc"));
    EXPECT_FALSE(PAKSystem::nStringEqual("abc", "abd"));
    EXPECT_FALSE(IsValidPathPrefixForPAK(PATH_PREFIX_RES));
}

}  // namespace
