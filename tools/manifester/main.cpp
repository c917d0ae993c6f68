// zk-manifester: walks a directory of game data and writes
// "manifest-temp.xml" with the size of every image in it.
#include <cstdio>
#include <cstring>

#include "platform/windows/win32.h"
#include "tools/manifester/image_loader.h"
#include "tools/manifester/manifest.h"
#include "tools/manifester/runtime.h"

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

static bool IsHelpOption(const char* argument) {
    for (const char* option : help_options) {
        if (strcmp(argument, option) == 0) return true;
    }
    return false;
}

int main(int argc, char** argv) {
    printf("zk-manifester v0.1\n\n");
    ZKI_SetBasicInterface();

    char target[512];
    bool from_current_directory = argc < 2;
    if (!from_current_directory) {
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
    printf("Manifesting folder: %s\n", target);
    image_loader = GetImageLoaderImp();

    zk_safe_file_t file;
    if (!ZKI_OpenSafeFile(&file, manifest_name)) {
        printf("Error opening manifest file for writing.\n");
        return 1;
    }
    ZKI_SetManifestTarget(target, from_current_directory, file.stream);
    ZKI_WriteManifestHead(file.stream);
    ManifestDirectory(target);
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
