// A file system put in front of the real one for a test's span, to bring
// about what a real disk does only rarely or slowly: a file far larger than
// the test could afford to read from the disk, a file that comes up short
// while it is read (it shrank, or its disk failed), and a name found free
// when it was looked at although something was put there just after.
// Everything else goes to the real file system unchanged.
//
//   StandInFiles files;
//   files.Serve(path, {size, delivered, {{0, "<root>"}}});  // reads of path
//   files.LookedFree(name);              // the look at name sees nothing
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/storage/filesystem.h"

namespace services_test {

// What a served file holds: size bytes, zeros but for the given bytes at
// their places, of which only the first delivered can be read.
struct ServedContent {
    uint64_t size;
    uint64_t delivered;
    std::vector<std::pair<uint64_t, std::string>> bytes;
};

class ServedFile : public ZKFileSystem::File {
public:
    ServedFile(const ServedContent& content, ZKFileSystem::PathPrefix prefix)
        : File(int64_t(content.size), 0, prefix, false), content(content) {}

    int64_t GetPosition() override { return int64_t(position); }
    size_t Read(void* buffer, size_t count) override {
        uint64_t left = content.delivered > position ? content.delivered - position : 0;
        count = size_t(std::min<uint64_t>(count, left));
        char* out = static_cast<char*>(buffer);
        memset(out, 0, count);
        for (const auto& piece : content.bytes) {
            uint64_t from = std::max(piece.first, position);
            uint64_t to = std::min<uint64_t>(piece.first + piece.second.size(), position + count);
            for (uint64_t at = from; at < to; ++at) out[at - position] = piece.second[size_t(at - piece.first)];
        }
        position += count;
        return count;
    }
    int SetPosition(int offset, zk_seek_t origin) override {
        int64_t base = origin == 0 ? 0 : origin == 1 ? int64_t(position) : int64_t(content.size);
        position = uint64_t(std::max<int64_t>(base + offset, 0));
        return 0;
    }

private:
    ServedContent content;
    uint64_t position = 0;
};

class StandInFiles : public ZKFileSystem::System {
public:
    using PathPrefix = ZKFileSystem::PathPrefix;

    StandInFiles() : inner(ZKFileSystem::file_systems[ZKFileSystem::PATH_PREFIX_RES]) {
        ZKFileSystem::file_systems[ZKFileSystem::PATH_PREFIX_RES] = this;
    }
    ~StandInFiles() override { ZKFileSystem::file_systems[ZKFileSystem::PATH_PREFIX_RES] = inner; }
    StandInFiles(const StandInFiles&) = delete;
    StandInFiles& operator=(const StandInFiles&) = delete;

    // Reads of the path get this content instead of the file's; the file
    // itself stays on the disk for everything else.
    void Serve(const std::string& path, const ServedContent& content) { served[path] = content; }
    // The name counts as free whatever stands there.
    void LookedFree(const std::string& path) { free_names.insert(path); }

    bool CloseFile(ZKFileSystem::File* file) override {
        if (!dynamic_cast<ServedFile*>(file)) return inner->CloseFile(file);
        delete file;
        return true;
    }
    ZKFileSystem::File* OpenFile(PathPrefix prefix, const nString& path, ZKFileSystem::OpenMode mode) override {
        auto found = served.find(path.c_str());
        if (found == served.end() || mode != ZKFileSystem::OPEN_MODE_READ) return inner->OpenFile(prefix, path, mode);
        return new ServedFile(found->second, prefix);
    }
    bool PathIsTaken(PathPrefix prefix, const nString& path) override {
        return !free_names.count(path.c_str()) && inner->PathIsTaken(prefix, path);
    }
    ZKFileSystem::File* CreateNewFile(PathPrefix prefix, const nString& path) override {
        return inner->CreateNewFile(prefix, path);
    }
    bool CreateDirectory(PathPrefix prefix, const nString& path) override {
        return inner->CreateDirectory(prefix, path);
    }
    bool DeleteDirectory(PathPrefix prefix, const nString& path, bool with_files) override {
        return inner->DeleteDirectory(prefix, path, with_files);
    }
    bool DeleteFile(PathPrefix prefix, const nString& path) override { return inner->DeleteFile(prefix, path); }
    bool FileExists(PathPrefix prefix, const nString& path) override { return inner->FileExists(prefix, path); }
    void FindFiles(PathPrefix prefix, nString& base, nString& directory, const nArray<nString>& wildcards,
                   bool recursive, nArray<nString>& results) override {
        inner->FindFiles(prefix, base, directory, wildcards, recursive, results);
    }
    bool GetFileInfo(PathPrefix prefix, const nString& path, zk_file_info_t* info) override {
        return inner->GetFileInfo(prefix, path, info);
    }

private:
    ZKFileSystem::System* inner;
    std::map<std::string, ServedContent> served;
    std::set<std::string> free_names;
};

}  // namespace services_test
