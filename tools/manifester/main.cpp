// zk-manifester: walks a directory of game data and writes
// "manifest-temp.xml" with the size of every image in it.
#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/windows/win32.h"
#include "tools/manifester/image_loader.h"
#include "tools/manifester/manifest.h"
#include "tools/manifester/runtime.h"

namespace manifester {

static const char* const manifest_name = "manifest-temp.xml";
static const char* const help_options[] = {"-?", "/?", "--help"};
static const char* const usage_pieces[] = {
    "\nUsage:\n\n",
    "zk-manifester.exe <target directory>\n\n",
    " Example #1: \"zk-manifester.exe\" - creates a manifest of current working directory.\n",
    " Example #2: \"zk-manifester.exe data \" - creates a manifest of given directory.\n",
    "\n",
};

// The loader the font code reaches.
static ImageLoaderImp* image_loader = nullptr;

static void PrintManifesterUsage() {
    for (const char* piece : usage_pieces) printf("%s", piece);
}

static bool IsFolder(const char* path) {
    struct stat info;
    return lstat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

// A folder's listing can be read: the reason when it cannot, else 0.
static int ListingError(const char* folder) {
    DIR* listing = opendir(folder);
    if (!listing) return errno;
    closedir(listing);
    return 0;
}

// A target that is missing, is no folder, is empty or cannot be read would
// be walked as a folder with nothing in it (the empty one as "/", the whole
// machine), and its empty manifest would replace the good one of an earlier
// run: it is refused, by name, before the manifest is touched. A link to a
// folder is walked through.
static bool IsManifestableFolder(const char* target) {
    struct stat info;
    int error = 0;
    if (stat(target, &info) != 0) {
        error = errno;
    } else if (!S_ISDIR(info.st_mode)) {
        error = ENOTDIR;
    } else {
        error = ListingError(target);
    }
    if (error == 0) return true;
    printf("Cannot manifest '%s': %s.\n", target, strerror(error));
    return false;
}

static bool IsHelpOption(const char* argument) {
    for (const char* option : help_options) {
        if (strcmp(argument, option) == 0) return true;
    }
    return false;
}

}  // namespace manifester

int main(int argc, char** argv) {
    using namespace manifester;
    printf("zk-manifester v0.1\n\n");
    ZKI_SetBasicInterface();

    char target[512];
    if (argc >= 2) {
        if (IsHelpOption(argv[1])) {
            PrintManifesterUsage();
            return 0;
        }
        if (strlen(argv[1]) > 511) {
            printf("The target directory is longer than 511 characters.\n");
            return 1;
        }
        strcpy(target, argv[1]);
    } else {
        DWORD length = GetCurrentDirectoryA(sizeof target, target);
        if (length == 0 || length >= sizeof target) {
            printf("The current directory cannot be read or is longer than 511 characters.\n");
            return 1;
        }
    }
    if (!IsManifestableFolder(target)) return 1;
    printf("Manifesting folder: %s\n", target);
    image_loader = GetImageLoaderImp();

    // A folder of the manifest's name could never be replaced: say so
    // before anything is walked. A link to a folder is no folder: the
    // manifest replaces the link like any other.
    zk_safe_file_t file;
    if (IsFolder(manifest_name) || !ZKI_OpenSafeFile(&file, manifest_name)) {
        printf("Error opening manifest file for writing.\n");
        return 1;
    }
    ZKI_SetManifestTarget(target, file.stream);
    ZKI_WriteManifestHead(file.stream);
    // A walk that could not list a folder (one locked, or the target
    // removed since it was checked) leaves the manifest there as it was,
    // as a refused target does.
    if (!ManifestDirectory(target)) {
        ZKI_CommitSafeFile(&file, true);
        return 1;
    }
    ZKI_WriteManifestTail(file.stream);
    if (!ZKI_CommitSafeFile(&file, ZKI_ManifestWriteFailed())) {
        printf("Error writing manifest file.\n");
        return 1;
    }
    printf("Done.\n");
    fflush(stdout);
    ConsoleReadKey();
    return 0;
}
