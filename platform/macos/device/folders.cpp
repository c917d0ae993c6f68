#include "platform/macos/device/folders.h"

#include <errno.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// Copies text without its trailing '/' (a lone "/" stays) into the buffer.
static std::string WithoutTrailingSlashes(std::string text);

static bool Answer(std::string text, char* path, int size) {
    text = WithoutTrailingSlashes(text);
    if (!path || size <= 0 || text.empty() || text.size() >= size_t(size)) return false;
    memcpy(path, text.c_str(), text.size() + 1);
    return true;
}

bool ZKD_GetResourcesDirectory(char* path, int size) {
    std::vector<char> buffer(4096);
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0 || size_t(length) >= buffer.size() - 1) return false;
    std::string executable(buffer.data(), size_t(length));
    size_t slash = executable.rfind('/');
    if (slash == std::string::npos) return false;
    return Answer(slash == 0 ? "/" : executable.substr(0, slash), path, size);
}

static std::string WithoutTrailingSlashes(std::string text) {
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

static std::string HomeDirectory() {
    const char* home = getenv("HOME");
    if (home && home[0] == '/') return WithoutTrailingSlashes(home);
    struct passwd record;
    struct passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (getpwuid_r(getuid(), &record, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir &&
        found->pw_dir[0] == '/') {
        return WithoutTrailingSlashes(found->pw_dir);
    }
    return "";
}

// Creates every missing directory of an absolute path; the process's
// file-creation mask applies.
static bool CreateMissingDirectories(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        std::string part = path.substr(0, slash);
        struct stat status;
        if (mkdir(part.c_str(), 0777) != 0 && !(errno == EEXIST && stat(part.c_str(), &status) == 0 &&
                                                S_ISDIR(status.st_mode))) {
            return false;
        }
        if (slash == std::string::npos) return true;
    }
}

bool ZKD_GetUserDirectory(bool documents, char* path, int size) {
    std::string folder;
    const char* data_home = getenv("XDG_DATA_HOME");
    if (!documents && data_home && data_home[0] == '/') {
        folder = data_home;
    } else {
        std::string home = HomeDirectory();
        if (home.empty()) return false;
        folder = (home == "/" ? "" : home) + (documents ? "/Documents" : "/.local/share");
    }
    folder = WithoutTrailingSlashes(folder);
    if (folder.size() >= size_t(size)) return false;
    if (!CreateMissingDirectories(folder)) return false;
    return Answer(folder, path, size);
}
