#include "tools/shader-tool/command_line.h"

#include <dirent.h>

#include <cstdio>
#include <cstring>

#include "engine/runtime/zekar.h"
#include "engine/storage/database_manager.h"
#include "engine/storage/filesystem_api.h"
#include "shadertool/frontend/name_index.h"
#include "shadertool/frontend/shader_info.h"
#include "shadertool/translate/translator_driver.h"

using ShaderTool::NameIndex;
using ShaderTool::NameSet;
using ShaderTool::TranslatorDriver;

namespace {

// Target bit i is named kTargetNames[i]; the names are also the output
// directory names. HLSL11 and PSSL are the binary targets.
const char* const kTargetNames[] = {"ESSL20", "ESSL30", "GLSL21", "GLSL31", "HLSL9", "HLSL11", "PSSL"};
const int kTargetCount = 7;
const int kHLSL11Index = 5;
const int kPSSLIndex = 6;

struct LevelName {
    const char* name;
    int bits;
};
const LevelName kLevelNames[] = {{"HLSL11_DEFAULT", 1}, {"HLSL11_LOW", 2}, {"HLSL11_XBOX", 4}, {"ALL", 7}};
const char* const kLevelSuffixes[] = {"_DEFAULT", "_LOW", "_XBOX"};
const char* const kStages[] = {"vertex", "pixel"};

bool IsBinaryTarget(int index) { return index == kHLSL11Index || index == kPSSLIndex; }

zk_file_system_api_t* Files() { return zk->file_system; }

bool EndsWith(const char* text, const char* suffix) {
    size_t n = strlen(text), m = strlen(suffix);
    return n >= m && strcmp(text + n - m, suffix) == 0;
}

// What one pass over the arguments found.
struct ParseState {
    Options& options;
    bool recursive = false;
    bool complementTarget = false;
    bool argumentError = false;
    bool inputRefused = false;
};

// Handles the option at argv[i]; may consume argv[i + 1]. False on an
// argument error, which stops the walk.
bool ParseOption(ParseState& state, int argc, char** argv, int& i) {
    Options& options = state.options;
    const char* argument = argv[i];
    bool hasNext = i + 1 < argc;
    if (!strcmp(argument, "-c") || !strcmp(argument, "--compile")) {
        options.compile = true;
    } else if (argument[1] == 'd') {
        const char* name = argument + 2;
        const char* equals = strchr(name, '=');
        nString definitionName(name);
        if (equals) definitionName.text[equals - name] = '\0';
        options.definitions.InsertLast(definitionName);
        options.definitions.InsertLast(nString(equals ? equals + 1 : "1"));
    } else if (!strcmp(argument, "-f") || !strcmp(argument, "--force")) {
        options.force = true;
    } else if (!strcmp(argument, "-h") || !strcmp(argument, "--help")) {
        options.showUsage = true;
    } else if (!strcmp(argument, "-l") || !strcmp(argument, "--level")) {
        if (!hasNext) {
            printf("Argument for option 'level' is missing.\n");
            return false;
        }
        const char* level = argv[++i];
        int bits = 0;
        for (const LevelName& entry : kLevelNames)
            if (!strcmp(level, entry.name)) bits = entry.bits;
        if (!bits) {
            printf("Argument for option 'level' is invalid.\n");
            return false;
        }
        options.levelMask |= bits;
    } else if (!strcmp(argument, "-o") || !strcmp(argument, "--output")) {
        if (!hasNext) {
            printf("Argument for option 'output' is missing.\n");
            return false;
        }
        options.outputDirectory = argv[++i];
        // An empty directory (an unset shell variable, say) would become
        // "/", the root of the file system.
        if (options.outputDirectory.IsEmpty()) {
            printf("Argument for option 'output' is empty.\n");
            return false;
        }
        TranslatorDriver::AppendDirectorySeparatorToPath(options.outputDirectory);
    } else if (!strcmp(argument, "-r") || !strcmp(argument, "--recursive")) {
        state.recursive = true;
    } else if (!strcmp(argument, "-t") || !strcmp(argument, "--target")) {
        if (!hasNext) {
            printf("Argument for option 'target' is missing.\n");
            return false;
        }
        const char* target = argv[++i];
        bool complement = target[0] == '~';
        if (state.complementTarget || (complement && options.targetMask != 0)) {
            printf("Only one 'target' must be specified when a target with '~' is specified.\n");
            return false;
        }
        int bits = ShaderTool::GetShaderTargetsFromString(complement ? target + 1 : target);
        if (!bits) {
            printf("Argument for option 'target' is invalid.\n");
            return false;
        }
        if (complement) {
            options.targetMask = bits ^ 127;
            state.complementTarget = true;
        } else {
            options.targetMask |= bits;
        }
    } else if (!strcmp(argument, "--keep-translations")) {
        options.deleteTranslations = false;
    } else if (!strcmp(argument, "--pp")) {
        options.preprocessOnly = true;
    } else if (!strcmp(argument, "--ppdef")) {
        options.listDefinitions = true;
    } else if (!strcmp(argument, "--print-failures-only")) {
        options.printFailuresOnly = true;
    } else {
        printf("Unknown option '%s' specified.\n\n", argument);
        return false;
    }
    return true;
}

void ParseArguments(ParseState& state, int argc, char** argv) {
    Options& options = state.options;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (argument[0] == '-') {
            if (options.inputFiles.count > 0) {
                printf("Options must be placed before input file/directory.\n");
                state.argumentError = true;
                return;
            }
            if (!ParseOption(state, argc, argv, i)) {
                state.argumentError = true;
                return;
            }
        } else {
            if (options.inputFiles.count > 0) {
                printf("Only one input file/directory must be specified.\n");
                state.argumentError = true;
                return;
            }
            if (!ParseFilePath(argument, state.recursive, options)) state.inputRefused = true;
        }
    }
    // Without an input argument the current directory is searched; a refused
    // input is not replaced by it. A request for the usage needs no input,
    // so the folder is left alone.
    if (!state.argumentError && !state.inputRefused && !options.showUsage && options.inputFiles.count == 0)
        ParseFilePath(".", state.recursive, options);
}

void PrintUsage(const Options& options) {
    if (!options.printFailuresOnly) puts(GetShaderToolUsageText().c_str());
}

// The paths of one input file below the input and output directories.
struct FilePaths {
    nString directoryPart;  // D: relative directory, ending in '/' or empty
    nString baseName;       // N: file name without extension
};

FilePaths SplitRelativePath(const nString& path, const nString& inputDirectory) {
    FilePaths paths;
    int skip = inputDirectory.Length();
    const char* relative = path.Length() >= skip ? path.c_str() + skip : "";
    const char* slash = strrchr(relative, '/');
    const char* fileName = relative;
    if (slash) {
        paths.directoryPart = nString(relative).Substring(0, static_cast<int>(slash - relative) + 1);
        fileName = slash + 1;
    } else {
        paths.directoryPart = "";
    }
    paths.baseName = fileName;
    const char* dot = strrchr(fileName, '.');
    if (dot) paths.baseName.text[dot - fileName] = '\0';
    return paths;
}

nString TargetDirectory(const Options& options, int index, const FilePaths& paths) {
    return nString::Format("%s%s/%s", options.outputDirectory.c_str(), kTargetNames[index], paths.directoryPart.c_str());
}

nString BinaryDirectory(const Options& options, int index, const FilePaths& paths) {
    if (!IsBinaryTarget(index)) return nString("");
    return nString::Format("%s%s/bin/%s", options.outputDirectory.c_str(), kTargetNames[index],
                           paths.directoryPart.c_str());
}

// Calls visit(path) for each binary file of a binary target and stage.
template <class Visit>
void ForEachBinary(int index, const nString& binaryDirectory, const FilePaths& paths, const char* stage, Visit visit) {
    if (index == kHLSL11Index) {
        for (const char* suffix : kLevelSuffixes)
            visit(nString::Format("%s%s%s.%s", binaryDirectory.c_str(), paths.baseName.c_str(), suffix, stage));
    } else if (index == kPSSLIndex) {
        visit(nString::Format("%s%s.%s", binaryDirectory.c_str(), paths.baseName.c_str(), stage));
    }
}

// What the run knows of its output folders, so that each is created once and
// no output is looked up that cannot be there:
// - a folder that was created, or found, stays there for the rest of the run;
// - a folder is listed the first time the run looks into it. A file in it
//   can exist only if it was listed then or this run has written it since:
//   every input has outputs of its own, looked up before it writes any.
class OutputFolders : public ShaderTool::OutputFolderKnowledge {
public:
    ~OutputFolders() {
        for (int i = 0; i < folders.count; ++i) delete folders[i];
    }

    // True when the folder exists, now or since earlier in the run.
    bool Create(const nString& path) {
        Folder& folder = Get(path);
        if (!folder.created) folder.created = Files()->ZK_FileSystem_CreateDirectory(path.c_str());
        return folder.created;
    }

    // Whether the folder may hold a file of this name (the part of path
    // after the folder's).
    bool MayHold(const nString& folderPath, const nString& path) {
        Folder& folder = Get(folderPath);
        if (!folder.listed) List(folder);
        return folder.names.Contains(path.c_str() + folderPath.Length());
    }

    // Notes a file that this run may have written into the folder.
    void Note(const nString& folderPath, const nString& path) {
        Folder& folder = Get(folderPath);
        if (!folder.listed) List(folder);
        folder.names.Insert(path.c_str() + folderPath.Length());
    }

    // The same for the driver's outputs, in the folder of each path.
    bool MayHold(const nString& path) override {
        Folder& folder = FolderHolding(path);
        if (!folder.listed) List(folder);
        return folder.names.Contains(path.c_str() + folder.path.Length());
    }
    void Note(const nString& path) override {
        Folder& folder = FolderHolding(path);
        if (!folder.listed) List(folder);
        folder.names.Insert(path.c_str() + folder.path.Length());
    }

private:
    struct Folder {
        nString path;
        bool created = false;
        bool listed = false;
        NameSet names;  // every entry when listed, whatever its kind
    };

    Folder& Get(const nString& path) {
        unsigned hash = NameIndex::Hash(path.c_str(), path.Length());
        int found = index.Find(hash, [&](int i) { return strcmp(folders[i]->path.c_str(), path.c_str()) == 0; });
        if (found >= 0) return *folders[found];
        Folder* folder = new Folder;
        folder->path = path;
        folders.InsertLast(folder);
        index.Insert(hash, folders.count - 1);
        return *folder;
    }

    // The folder of the path (up to and including its last '/'). A run
    // writes a file's outputs folder by folder, so the last one answers most.
    Folder& FolderHolding(const nString& path) {
        const char* slash = strrchr(path.c_str(), '/');
        int length = slash ? static_cast<int>(slash - path.c_str()) + 1 : 0;
        if (!last || last->path.Length() != length || strncmp(last->path.c_str(), path.c_str(), length) != 0)
            last = &Get(path.Substring(0, length));
        return *last;
    }

    // A folder that cannot be read holds nothing yet: it is missing, and
    // is created after this look.
    static void List(Folder& folder) {
        folder.listed = true;
        nString native = folder.path;
        for (char* c = native.text; c && *c; ++c)
            if (*c == '\\') *c = '/';
        DIR* directory = opendir(native.c_str());
        if (!directory) return;
        while (const dirent* entry = readdir(directory)) folder.names.Insert(entry->d_name);
        closedir(directory);
    }

    nArray<Folder*> folders;
    NameIndex index;
    Folder* last = nullptr;
};

int ModificationTime(const nString& path) {
    zk_file_info_t info;
    if (!Files()->ZK_FileSystem_GetFileInfo(path.c_str(), &info)) return 0;
    int time = static_cast<int>(info.modification_time);
    return time < 0 ? 0 : time;
}

// Computes the reference time from the newest binary and creates the output
// directories. False when a directory cannot be created. A forced run
// translates everything whatever the reference time, so it looks up no
// binaries.
bool PrepareTargets(const Options& options, const FilePaths& paths, OutputFolders& folders, int& referenceTime) {
    referenceTime = 0;
    for (int index = 0; index < kTargetCount; ++index) {
        if (!(options.targetMask & (1 << index))) continue;
        nString targetDirectory = TargetDirectory(options, index, paths);
        nString binaryDirectory = BinaryDirectory(options, index, paths);
        for (const char* stage : kStages) {
            if (options.force) continue;
            ForEachBinary(index, binaryDirectory, paths, stage, [&](const nString& file) {
                if (!folders.MayHold(binaryDirectory, file)) return;
                int time = ModificationTime(file);
                if (time > referenceTime) referenceTime = time;
            });
        }
        if (!folders.Create(targetDirectory)) {
            printf("Failed to create directory '%s'.\n", targetDirectory.c_str());
            return false;
        }
        if (!binaryDirectory.IsEmpty() && !folders.Create(binaryDirectory)) {
            printf("Failed to create directory '%s'.\n", binaryDirectory.c_str());
            return false;
        }
    }
    return true;
}

// The binaries a compiling run may have written for the file.
void NoteBinaries(const Options& options, const FilePaths& paths, OutputFolders& folders) {
    for (int index = 0; index < kTargetCount; ++index) {
        if (!(options.targetMask & (1 << index)) || !IsBinaryTarget(index)) continue;
        nString binaryDirectory = BinaryDirectory(options, index, paths);
        for (const char* stage : kStages)
            ForEachBinary(index, binaryDirectory, paths, stage,
                          [&](const nString& file) { folders.Note(binaryDirectory, file); });
    }
}

// Removes what must not survive: translations of binary targets after a
// success (unless kept), and every output of the file after a failure.
void DeleteOutputs(const Options& options, const FilePaths& paths, bool succeeded) {
    for (int index = 0; index < kTargetCount; ++index) {
        if (!(options.targetMask & (1 << index))) continue;
        bool binary = IsBinaryTarget(index);
        // After a success only the texts of binary targets may go.
        if (succeeded && !(binary && options.deleteTranslations)) continue;
        nString targetDirectory = TargetDirectory(options, index, paths);
        nString binaryDirectory = BinaryDirectory(options, index, paths);
        for (const char* stage : kStages) {
            nString translation =
                nString::Format("%s%s.%s", targetDirectory.c_str(), paths.baseName.c_str(), stage);
            if (succeeded) {
                if (binary && options.deleteTranslations) Files()->ZK_FileSystem_DeleteFile(translation.c_str());
                continue;
            }
            if (!binary || options.deleteTranslations) Files()->ZK_FileSystem_DeleteFile(translation.c_str());
            ForEachBinary(index, binaryDirectory, paths, stage,
                          [](const nString& file) { Files()->ZK_FileSystem_DeleteFile(file.c_str()); });
        }
    }
}

TranslatorDriver::Options MakeDriverOptions(const Options& options) {
    TranslatorDriver::Options driverOptions;
    driverOptions.input_directory = options.inputDirectory;
    driverOptions.definitions = options.definitions;
    driverOptions.level_mask = options.levelMask ? options.levelMask : 1;
    driverOptions.target_mask = options.targetMask;
    driverOptions.reference_time = 0;
    driverOptions.compile = options.compile;
    driverOptions.list_definitions = options.listDefinitions;
    driverOptions.preprocess_only = options.preprocessOnly;
    return driverOptions;
}

// Lets go of the databases the run loaded and still holds (constants files
// shared by several Shader XMLs): they would otherwise outlive the run.
void ReleaseDatabasesFrom(int first) {
    while (zk_dman.databases.count > first)
        zk_dman.ReleaseDatabase(zk_dman.databases.items[zk_dman.databases.count - 1]);
}

int TranslateFiles(const Options& options) {
    int firstDatabase = zk_dman.databases.count;
    TranslatorDriver* driver = new TranslatorDriver();
    if (!driver->Initialize(options.targetMask, options.outputDirectory, !options.force)) {
        puts(driver->GetMasterLog().GetText());
        delete driver;
        return 1;
    }
    TranslatorDriver::Options driverOptions = MakeDriverOptions(options);
    nArray<nString> failedLogs;
    OutputFolders folders;
    driver->SetOutputFolderKnowledge(&folders);
    int successes = 0;
    for (int i = 0; i < options.inputFiles.count; ++i) {
        const nString& path = options.inputFiles.items[i];
        FilePaths paths = SplitRelativePath(path, options.inputDirectory);
        if (!PrepareTargets(options, paths, folders, driverOptions.reference_time)) {
            if (!options.printFailuresOnly) printf("Skipping '%s'...\n\n", path.c_str());
            continue;
        }
        bool succeeded = driver->Translate(path, driverOptions, false);
        if (options.compile && !options.force) NoteBinaries(options, paths, folders);
        if (!options.printFailuresOnly) printf("%s=====================\n\n", driver->GetMasterLog().GetText());
        if (succeeded)
            ++successes;
        else
            failedLogs.InsertLast(nString(driver->GetMasterLog().GetText()));
        DeleteOutputs(options, paths, succeeded);
        // Each file is read once per run: its database would only pile up.
        zk_dman.ReleaseDatabase(path.c_str());
        driver->Reset();
    }
    if (failedLogs.count > 0) {
        if (!options.printFailuresOnly) puts("\n\nLogs of failed translations:\n");
        for (int i = 0; i < failedLogs.count; ++i) printf("%s=====================\n\n", failedLogs.items[i].c_str());
    }
    if (!options.printFailuresOnly)
        printf("%i of %i Shader XML(s) were translated successfully.\n\n", successes, options.inputFiles.count);
    delete driver;
    ReleaseDatabasesFrom(firstDatabase);
    return successes == options.inputFiles.count ? 0 : 1;
}

}  // namespace

void Options::SetInputDirectory(const char* path, bool isFilePath) {
    inputDirectory = path;
    if (isFilePath) {
        int length = inputDirectory.Length();
        if (length > 0 && inputDirectory.text[length - 1] == '/') inputDirectory.text[length - 1] = '\0';
        char* slash = strrchr(inputDirectory.text ? inputDirectory.text : const_cast<char*>(""), '/');
        if (slash)
            *slash = '\0';
        else
            inputDirectory = "";
    }
    if (!inputDirectory.IsEmpty()) TranslatorDriver::AppendDirectorySeparatorToPath(inputDirectory);
}

bool ParseFilePath(const char* path, bool recursive, Options& options) {
    if (Files()->ZK_FileSystem_FileExists(path)) {
        if (strlen(path) < 4 || !EndsWith(path, ".xml")) {
            printf("Path '%s' is not an XML file.\n\n", path);
            return false;
        }
        options.SetInputDirectory(path, true);
        options.inputFiles.InsertLast(nString(path));
        return true;
    }
    zk_list_t* list = Files()->ZK_FileSystem_FindFiles(path, "*.xml", recursive);
    if (!list || list->count == 0) {
        printf("Path '%s' is not a directory or does not contain Shader XML files.\n\n", path);
        if (list) zk->ZK_FreeList(list);
        return false;
    }
    options.SetInputDirectory(path, false);
    for (int i = 0; i < list->count; ++i) options.inputFiles.InsertLast(nString(list->items[i]));
    zk->ZK_FreeList(list);
    return true;
}

bool ParseCommandLineArguments(int argc, char** argv, Options& options) {
    ParseState state{options};
    ParseArguments(state, argc, argv);
    return !state.argumentError && !state.inputRefused;
}

int ZK_CommandLine_Main(int argc, char** argv) {
    puts("Zekar Shader Tool version 3.1\n");
    Options options;
    bool argumentError = !ParseCommandLineArguments(argc, argv, options);
    if (argumentError) options.showUsage = true;
    if (options.showUsage) {
        PrintUsage(options);
        return argumentError ? 1 : 0;
    }
    if (options.inputFiles.count == 0) {
        PrintUsage(options);
        return 1;
    }
    if (options.targetMask == 0) {
        printf("No targets specified.\n");
        PrintUsage(options);
        return 1;
    }
    return TranslateFiles(options);
}
