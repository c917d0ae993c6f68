#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "engine/base/narray.h"
#include "shadertool/translate/compiler.h"
#include "shadertool/translate/output_paths.h"

extern char** environ;

namespace ShaderTool {

namespace {

// Tries this many shader ids before giving up on finding free file names.
const int kMaximumNameAttempts = 1000;

// Creates a new file readable and writable by the owner only; fails when
// anything exists under that name, a link included.
int CreatePrivateFile(const char* path) {
    return open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
}

bool WriteAll(int fd, const char* data, size_t length) {
    while (length > 0) {
        ssize_t written = write(fd, data, length);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        length -= static_cast<size_t>(written);
    }
    return true;
}

// The words of a command line, split at blanks and tabs.
nArray<nString> SplitWords(const char* command_line) {
    nArray<nString> words;
    const char* cursor = command_line ? command_line : "";
    while (*cursor) {
        while (*cursor == ' ' || *cursor == '\t') ++cursor;
        const char* start = cursor;
        while (*cursor && *cursor != ' ' && *cursor != '\t') ++cursor;
        if (cursor > start) {
            nString word;
            word.SetFormatted("%.*s", static_cast<int>(cursor - start), start);
            words.InsertLast(word);
        }
    }
    return words;
}

// Runs argv[0] with its arguments, no shell in between, and collects what
// it writes to standard output and standard error. False when it could not
// be started; `status` is its exit status otherwise.
bool RunProgram(nArray<nString>& words, nString& output, int& status) {
    if (words.count == 0) return false;
    nArray<char*> argv;
    for (int i = 0; i < words.count; ++i) argv.InsertLast(words[i].text);
    argv.InsertLast(nullptr);

    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    pid_t child = 0;
    int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.items, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        close(pipeEnds[0]);
        return false;
    }
    char buffer[1024];
    for (;;) {
        ssize_t got = read(pipeEnds[0], buffer, sizeof(buffer) - 1);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        buffer[got] = '\0';
        output.Append(buffer);
    }
    close(pipeEnds[0]);
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return true;
}

}  // namespace

ExternalCompilerUtility::ExternalCompilerUtility(Log* log) : log(log), shader_id(0) {}

ExternalCompilerUtility::~ExternalCompilerUtility() {}

bool ExternalCompilerUtility::Initialize() {
    temporary_directory = GetEnvironmentPath("TEMP");
    return !temporary_directory.IsEmpty();
}

void ExternalCompilerUtility::IncrementShaderID() { ++shader_id; }

void ExternalCompilerUtility::LogError(const char* message) {
    if (log) log->AddError("%s", message);
}

void ExternalCompilerUtility::DeleteTemporaryFiles() {
    if (!source_path.IsEmpty()) unlink(source_path.c_str());
    if (!compiled_code_path.IsEmpty()) unlink(compiled_code_path.c_str());
}

// Both names are taken with exclusive creation, so a file or link that
// someone else placed in the temporary directory is never written through;
// a taken name moves on to the next shader id.
bool ExternalCompilerUtility::OutputSource(ShaderTarget target, ShaderType stage, const nString& source) {
    compiled_code_path = "";
    source_path = "";
    if (temporary_directory.IsEmpty()) return false;
    for (int attempt = 0; attempt < kMaximumNameAttempts; ++attempt) {
        nString path = nString::Format("%s/%s_%s_shader_%u", temporary_directory.c_str(), GetTargetName(target),
                                       GetStageName(stage), shader_id);
        IncrementShaderID();
        int fd = CreatePrivateFile(path.c_str());
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        nString code_path = nString::Format("%s.code", path.c_str());
        int code_fd = CreatePrivateFile(code_path.c_str());
        if (code_fd < 0) {
            close(fd);
            unlink(path.c_str());
            if (errno == EEXIST) continue;
            return false;
        }
        close(code_fd);
        bool written = WriteAll(fd, source.c_str(), source.Length());
        if (close(fd) != 0) written = false;
        source_path = path;
        compiled_code_path = code_path;
        if (!written) {
            DeleteTemporaryFiles();
            compiled_code_path = "";
            source_path = "";
            return false;
        }
        return true;
    }
    return false;
}

bool ExternalCompilerUtility::Compile(ShaderTarget target, ShaderType stage, nString& command_line,
                                      const nString& source, nByteBuffer& code) {
    if (!OutputSource(target, stage, source)) {
        LogError("failed to initialize the compilation.");
        return false;
    }
    nArray<nString> words = SplitWords(command_line.c_str());
    for (int i = 0; i < words.count; ++i) {
        words[i].Replace("$INPUT", source_path.c_str());
        words[i].Replace("$OUTPUT", compiled_code_path.c_str());
    }
    command_line.Replace("$INPUT", source_path.c_str());
    command_line.Replace("$OUTPUT", compiled_code_path.c_str());

    nString output;
    int status = 0;
    bool result = false;
    if (!RunProgram(words, output, status)) {
        LogError("failed to call the external compiler.");
    } else {
        if (!output.IsEmpty() && log) {
            log->text.Append(Compiler::ProcessOutput(output.c_str(), ShaderLevel(0)).c_str());
            log->has_messages = true;
        }
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            LogError("the external compiler reported a failure.");
        else if (!GetCompiledCode(code))
            LogError("failed to read the compiled code.");
        else
            result = true;
    }
    DeleteTemporaryFiles();
    return result;
}

bool ExternalCompilerUtility::GetCompiledCode(nByteBuffer& code) {
    int fd = open(compiled_code_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info;
    bool result = fstat(fd, &info) == 0;
    code.Clear();
    char buffer[4096];
    while (result) {
        ssize_t got = read(fd, buffer, sizeof(buffer));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) result = false;
        if (got <= 0) break;
        if (!code.Append(buffer, static_cast<int>(got))) result = false;
    }
    close(fd);
    return result && code.size == info.st_size;
}

}  // namespace ShaderTool
