// zk-shader-tool's command line: options, input collection, the per-file
// translation flow and the summary.
#pragma once

#include "engine/base/narray.h"
#include "engine/base/nstring.h"

struct Options {
    nArray<nString> inputFiles;
    nString inputDirectory = "./";
    nString outputDirectory = "./";
    nArray<nString> definitions;  // name at even index, its value at the next
    int levelMask = 0;
    int targetMask = 0;
    bool compile = false;
    bool deleteTranslations = true;
    bool force = false;
    bool listDefinitions = false;
    bool preprocessOnly = false;
    bool printFailuresOnly = false;
    bool showUsage = false;

    // With is_file_path the input directory is the part of path before its last
    // '/'; otherwise path itself. A non-empty result ends in a separator.
    void SetInputDirectory(const char* path, bool is_file_path);
};

// Adds the Shader XML files named by path (a ".xml" file, or the "*.xml"
// files of a directory) to the input files and sets the input directory.
bool ParseFilePath(const char* path, bool recursive, Options& options);

// Walks the arguments into options, printing each argument error; false when
// there was one (a refused input included).
bool ParseCommandLineArguments(int argc, char** argv, Options& options);

// The whole usage text, without the line break that puts adds.
nString GetShaderToolUsageText();

// The real main of zk-shader-tool; returns the exit code, 0 or 1.
int ZK_CommandLine_Main(int argc, char** argv);
