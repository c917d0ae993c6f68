#include "tools/shader-tool/command_line.h"

#include <dirent.h>

#include <cstdio>
#include <cstring>

#include "engine/base/file_names.h"
#include "engine/runtime/zekar.h"
#include "engine/storage/database_manager.h"
#include "engine/storage/filesystem_api.h"
#include "shadertool/frontend/name_index.h"
#include "shadertool/frontend/shader_info.h"
#include "shadertool/translate/output_paths.h"
#include "shadertool/translate/translator_driver.h"
#include "tools/shader-tool/options.h"

using ShaderTool::NameIndex;
using ShaderTool::NameSet;
using ShaderTool::ShaderType;
using ShaderTool::TargetDescription;
using ShaderTool::TranslatorDriver;

namespace {

const ShaderType kStages[] = {ShaderTool::VERTEX_SHADER, ShaderTool::PIXEL_SHADER};

zk_file_system_api_t* Files() { return zk->file_system; }

// Handles the option at argv[i]; may consume argv[i + 1]. False on an
// argument error, which stops the walk.
bool ParseOption(ParseState& state, int argc, char** argv, int& i) {
    const char* argument = argv[i];
    const OptionDescription* option = FindOption(argument);
    if (!option) {
        printf("Unknown option '%s' specified.\n\n", argument);
        return false;
    }
    const char* value = nullptr;
    if (option->argument == INLINE_ARGUMENT) value = argument + strlen(option->spelling);
    if (option->argument == NEXT_ARGUMENT) {
        if (i + 1 >= argc) {
            PrintArgumentError(*option, "missing");
            return false;
        }
        value = argv[++i];
    }
    return option->apply(state, *option, value);
}

void ParseArguments(ParseState& state, int argc, char** argv) {
    Options& options = state.options;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (argument[0] == '-') {
            if (options.inputFiles.count > 0) {
                printf("Options must be placed before input file/directory.\n");
                state.argument_error = true;
                return;
            }
            if (!ParseOption(state, argc, argv, i)) {
                state.argument_error = true;
                return;
            }
        } else {
            if (options.inputFiles.count > 0) {
                printf("Only one input file/directory must be specified.\n");
                state.argument_error = true;
                return;
            }
            if (!ParseFilePath(argument, state.recursive, options)) state.input_refused = true;
        }
    }
    // Without an input argument the current directory is searched; a refused
    // input is not replaced by it. A request for the usage needs no input,
    // so the folder is left alone.
    if (!state.argument_error && !state.input_refused && !options.showUsage && options.inputFiles.count == 0)
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

FilePaths SplitRelativePath(const nString& path, const nString& input_directory) {
    FilePaths paths;
    int skip = input_directory.Length();
    const char* relative = path.Length() >= skip ? path.c_str() + skip : "";
    const char* slash = strrchr(relative, '/');
    const char* file_name = relative;
    if (slash) {
        paths.directoryPart = nString(relative).Substring(0, static_cast<int>(slash - relative) + 1);
        file_name = slash + 1;
    } else {
        paths.directoryPart = "";
    }
    paths.baseName = file_name;
    const char* extension = nPathExtension(file_name);
    if (extension) paths.baseName = paths.baseName.Substring(0, static_cast<int>(extension - 1 - file_name));
    return paths;
}

nString TargetDirectory(const Options& options, const TargetDescription& target, const FilePaths& paths) {
    return nString::Format("%s%s/%s", options.outputDirectory.c_str(), target.name, paths.directoryPart.c_str());
}

nString BinaryDirectory(const Options& options, const TargetDescription& target, const FilePaths& paths) {
    if (!target.binary) return nString("");
    return nString::Format("%s%s/bin/%s", options.outputDirectory.c_str(), target.name, paths.directoryPart.c_str());
}

// The file of a stage below an output folder of the target.
nString OutputPath(const Options& options, const TargetDescription& target, const char* subdirectory,
                   const FilePaths& paths, int level, ShaderType stage) {
    nString base_path = paths.directoryPart;
    base_path.Append(paths.baseName.c_str());
    return ShaderTool::GetOutputFilePath(options.outputDirectory.c_str(), target.bit, subdirectory,
                                         base_path.c_str(), level, stage);
}

// Calls visit(path) for each binary file of a binary target and stage: one
// per level for a target with levels.
template <class Visit>
void ForEachBinary(const Options& options, const TargetDescription& target, const FilePaths& paths,
                   ShaderType stage, Visit visit) {
    if (!target.binary) return;
    if (!target.levels) {
        visit(OutputPath(options, target, "bin/", paths, 0, stage));
        return;
    }
    for (const ShaderTool::LevelDescription& level : ShaderTool::kLevels)
        visit(OutputPath(options, target, "bin/", paths, level.bit, stage));
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
    bool MayHold(const nString& folder_path, const nString& path) {
        Folder& folder = Get(folder_path);
        if (!folder.listed) List(folder);
        return folder.names.Contains(path.c_str() + folder_path.Length());
    }

    // Notes a file that this run may have written into the folder.
    void Note(const nString& folder_path, const nString& path) {
        Folder& folder = Get(folder_path);
        if (!folder.listed) List(folder);
        folder.names.Insert(path.c_str() + folder_path.Length());
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
bool PrepareTargets(const Options& options, const FilePaths& paths, OutputFolders& folders, int& reference_time) {
    reference_time = 0;
    for (const TargetDescription& target : ShaderTool::kTargets) {
        if (!(options.targetMask & target.bit)) continue;
        nString target_directory = TargetDirectory(options, target, paths);
        nString binary_directory = BinaryDirectory(options, target, paths);
        for (ShaderType stage : kStages) {
            if (options.force) continue;
            ForEachBinary(options, target, paths, stage, [&](const nString& file) {
                if (!folders.MayHold(binary_directory, file)) return;
                int time = ModificationTime(file);
                if (time > reference_time) reference_time = time;
            });
        }
        if (!folders.Create(target_directory)) {
            printf("Failed to create directory '%s'.\n", target_directory.c_str());
            return false;
        }
        if (!binary_directory.IsEmpty() && !folders.Create(binary_directory)) {
            printf("Failed to create directory '%s'.\n", binary_directory.c_str());
            return false;
        }
    }
    return true;
}

// The binaries a compiling run may have written for the file.
void NoteBinaries(const Options& options, const FilePaths& paths, OutputFolders& folders) {
    for (const TargetDescription& target : ShaderTool::kTargets) {
        if (!(options.targetMask & target.bit) || !target.binary) continue;
        nString binary_directory = BinaryDirectory(options, target, paths);
        for (ShaderType stage : kStages)
            ForEachBinary(options, target, paths, stage,
                          [&](const nString& file) { folders.Note(binary_directory, file); });
    }
}

// Removes what must not survive: translations of binary targets after a
// success (unless kept), and every output of the file after a failure.
void DeleteOutputs(const Options& options, const FilePaths& paths, bool succeeded) {
    for (const TargetDescription& target : ShaderTool::kTargets) {
        if (!(options.targetMask & target.bit)) continue;
        // After a success only the texts of binary targets may go.
        if (succeeded && !(target.binary && options.deleteTranslations)) continue;
        for (ShaderType stage : kStages) {
            nString translation = OutputPath(options, target, "", paths, 0, stage);
            if (succeeded) {
                if (target.binary && options.deleteTranslations) Files()->ZK_FileSystem_DeleteFile(translation.c_str());
                continue;
            }
            if (!target.binary || options.deleteTranslations) Files()->ZK_FileSystem_DeleteFile(translation.c_str());
            ForEachBinary(options, target, paths, stage,
                          [](const nString& file) { Files()->ZK_FileSystem_DeleteFile(file.c_str()); });
        }
    }
}

TranslatorDriver::Options MakeDriverOptions(const Options& options) {
    TranslatorDriver::Options driver_options;
    driver_options.input_directory = options.inputDirectory;
    driver_options.definitions = options.definitions;
    driver_options.level_mask = options.levelMask ? options.levelMask : ShaderTool::kLevels[0].bit;
    driver_options.target_mask = options.targetMask;
    driver_options.reference_time = 0;
    driver_options.compile = options.compile;
    driver_options.list_definitions = options.listDefinitions;
    driver_options.preprocess_only = options.preprocessOnly;
    return driver_options;
}

// Lets go of the databases the run loaded and still holds (constants files
// shared by several Shader XMLs): they would otherwise outlive the run.
void ReleaseDatabasesFrom(int first) {
    while (zk_dman.databases.count > first)
        zk_dman.ReleaseDatabase(zk_dman.databases.items[zk_dman.databases.count - 1]);
}

int TranslateFiles(const Options& options) {
    int first_database = zk_dman.databases.count;
    TranslatorDriver* driver = new TranslatorDriver();
    if (!driver->Initialize(options.targetMask, options.outputDirectory, !options.force)) {
        puts(driver->GetMasterLog().GetText());
        delete driver;
        return 1;
    }
    TranslatorDriver::Options driver_options = MakeDriverOptions(options);
    nArray<nString> failed_logs;
    OutputFolders folders;
    driver->SetOutputFolderKnowledge(&folders);
    int successes = 0;
    for (int i = 0; i < options.inputFiles.count; ++i) {
        const nString& path = options.inputFiles.items[i];
        FilePaths paths = SplitRelativePath(path, options.inputDirectory);
        if (!PrepareTargets(options, paths, folders, driver_options.reference_time)) {
            if (!options.printFailuresOnly) printf("Skipping '%s'...\n\n", path.c_str());
            continue;
        }
        bool succeeded = driver->Translate(path, driver_options, false);
        if (options.compile && !options.force) NoteBinaries(options, paths, folders);
        if (!options.printFailuresOnly) printf("%s=====================\n\n", driver->GetMasterLog().GetText());
        if (succeeded)
            ++successes;
        else
            failed_logs.InsertLast(nString(driver->GetMasterLog().GetText()));
        DeleteOutputs(options, paths, succeeded);
        // Each file is read once per run: its database would only pile up.
        zk_dman.ReleaseDatabase(path.c_str());
        driver->Reset();
    }
    if (failed_logs.count > 0) {
        if (!options.printFailuresOnly) puts("\n\nLogs of failed translations:\n");
        for (int i = 0; i < failed_logs.count; ++i) printf("%s=====================\n\n", failed_logs.items[i].c_str());
    }
    if (!options.printFailuresOnly)
        printf("%i of %i Shader XML(s) were translated successfully.\n\n", successes, options.inputFiles.count);
    delete driver;
    ReleaseDatabasesFrom(first_database);
    return successes == options.inputFiles.count ? 0 : 1;
}

}  // namespace

void Options::SetInputDirectory(const char* path, bool is_file_path) {
    inputDirectory = path;
    if (is_file_path) {
        // What stands before the last '/', a trailing one aside.
        int length = inputDirectory.Length();
        if (length > 0 && inputDirectory.text[length - 1] == '/') --length;
        nString folder = inputDirectory.Substring(0, length);
        const char* slash = strrchr(folder.c_str(), '/');
        inputDirectory = slash ? folder.Substring(0, static_cast<int>(slash - folder.c_str())) : nString("");
    }
    if (!inputDirectory.IsEmpty()) TranslatorDriver::AppendDirectorySeparatorToPath(inputDirectory);
}

bool ParseFilePath(const char* path, bool recursive, Options& options) {
    if (Files()->ZK_FileSystem_FileExists(path)) {
        if (strlen(path) < 4 || !nStringEndsWith(path, ".xml")) {
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
    return !state.argument_error && !state.input_refused;
}

int ZK_CommandLine_Main(int argc, char** argv) {
    puts("Zekar Shader Tool version 3.1\n");
    Options options;
    bool argument_error = !ParseCommandLineArguments(argc, argv, options);
    if (argument_error) options.showUsage = true;
    if (options.showUsage) {
        PrintUsage(options);
        return argument_error ? 1 : 0;
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
