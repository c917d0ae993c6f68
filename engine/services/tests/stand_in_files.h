// A file system put in front of the real one for a test's span, to bring
// about what a real disk does only rarely or slowly: a file far larger than
// the test could afford to read from the disk, a file that comes up short
// while it is read (it shrank, or its disk failed), a name found free when
// it was looked at although something was put there just after, a file
// system that cannot move a file to a new name (one without links), new
// files whose seeks fail, and a file changed by someone else while it is
// copied. Everything else goes to the real file system unchanged.
//
//   StandInFiles files;
//   files.Serve(path, {size, delivered, {{0, "<root>"}}});  // reads of path
//   files.LookedFree(name);              // the look at name sees nothing
//   files.CannotMove();                  // every move answers false
//   files.SeeksOfNewFiles(SEEKS_FAIL);   // in the files CreateNewFile makes
//   files.WhileCopied(path, [] { ... }); // runs before the path's first
//                                        // read after a new file was made
#pragma once

#include <algorithm>
#include <cstring>
#include <functional>
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

// How the seeks of a file go wrong.
enum SeekFault {
    SEEKS_FAIL,         // each answers failure and stays where it was
    SEEKS_STAND_STILL,  // each answers success and stays where it was
};

// A file of the real file system, seen through the stand-in: its seeks may
// go wrong, and something may happen before each read.
class WatchedFile : public ZKFileSystem::File {
public:
    explicit WatchedFile(ZKFileSystem::File* inner)
        : File(inner->size, inner->flags, inner->prefix, inner->writable), inner(inner) {}

    void Flush() override { inner->Flush(); }
    int64_t GetPosition() override { return inner->GetPosition(); }
    size_t Read(void* buffer, size_t count) override {
        if (before_read) before_read();
        return inner->Read(buffer, count);
    }
    int SetPosition(int offset, zk_seek_t origin) override {
        if (!seek_fault) return inner->SetPosition(offset, origin);
        return *seek_fault == SEEKS_FAIL ? -1 : 0;
    }
    size_t Write(const void* data, size_t count) override { return inner->Write(data, count); }

    ZKFileSystem::File* inner;
    const SeekFault* seek_fault = nullptr;
    std::function<void()> before_read;
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
    // No file can be given a new name: the answer a file system gives that
    // has no way to do it without copying.
    void CannotMove() { moves = false; }
    void SeeksOfNewFiles(SeekFault fault) {
        seek_fault = fault;
        seeks_go_wrong = true;
    }
    // The action runs once, before the first read of the path that comes
    // after a new file was made (CreateNewFile), as a copy of the path
    // reads it; the reads before (those of a loader) are left alone.
    void WhileCopied(const std::string& path, std::function<void()> action) { changes[path] = action; }

    bool CloseFile(ZKFileSystem::File* file) override {
        if (WatchedFile* watched = dynamic_cast<WatchedFile*>(file)) {
            bool closed = inner->CloseFile(watched->inner);
            delete watched;
            return closed;
        }
        if (!dynamic_cast<ServedFile*>(file)) return inner->CloseFile(file);
        delete file;
        return true;
    }
    ZKFileSystem::File* OpenFile(PathPrefix prefix, const nString& path, ZKFileSystem::OpenMode mode) override {
        bool reading = mode == ZKFileSystem::OPEN_MODE_READ;
        auto found = served.find(path.c_str());
        if (reading && found != served.end()) return new ServedFile(found->second, prefix);
        ZKFileSystem::File* file = inner->OpenFile(prefix, path, mode);
        if (!file || !reading || !changes.count(path.c_str())) return file;
        WatchedFile* seen = new WatchedFile(file);
        std::string watched = path.c_str();
        seen->before_read = [this, watched] {
            auto change = changes.find(watched);
            if (new_files == 0 || change == changes.end()) return;
            std::function<void()> action = change->second;
            changes.erase(change);
            action();
        };
        return seen;
    }
    bool PathIsTaken(PathPrefix prefix, const nString& path) override {
        return !free_names.count(path.c_str()) && inner->PathIsTaken(prefix, path);
    }
    ZKFileSystem::File* CreateNewFile(PathPrefix prefix, const nString& path) override {
        ZKFileSystem::File* file = inner->CreateNewFile(prefix, path);
        if (file) ++new_files;
        if (!file || !seeks_go_wrong) return file;
        WatchedFile* seen = new WatchedFile(file);
        seen->seek_fault = &seek_fault;
        return seen;
    }
    bool MoveFileToNewName(PathPrefix prefix, const nString& from, const nString& to) override {
        return moves && inner->MoveFileToNewName(prefix, from, to);
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
    bool moves = true;
    bool seeks_go_wrong = false;
    SeekFault seek_fault = SEEKS_FAIL;
    std::map<std::string, std::function<void()>> changes;
    int new_files = 0;
};

}  // namespace services_test
