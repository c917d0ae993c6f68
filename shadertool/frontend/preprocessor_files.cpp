// Files: reading them whole through the file-system table, inserting an
// included file into the source stream, the modification times of the
// files a source reads, and the path of an include.
#include <cstring>
#include <limits>

#include "engine/runtime/zekar.h"
#include "shadertool/frontend/preprocessor.h"

namespace ShaderTool {

int ReadWholeFile(const char* path, nArray<char>& bytes) {
    bytes.count = 0;
    // Only regular files are opened: opening a FIFO (or a device) for
    // reading would wait for a writer for ever. The test does not block.
    if (!zk->file_system->ZK_FileSystem_FileExists(path)) {
        zk_file_info_t info;
        return zk->file_system->ZK_FileSystem_GetFileInfo(path, &info) ? 2 : 1;
    }
    zk_file_t* file = zk->file_system->ZK_FileSystem_OpenFile(path, "r");
    if (!file) return 1;
    int64_t size = file->size;
    bool fits = size >= 0 && size < std::numeric_limits<int>::max();
    if (fits) bytes.SetMaximumSize(static_cast<int>(size) + 1);
    size_t read = fits ? zk->file_system->ZK_FileSystem_ReadFile(bytes.items, static_cast<size_t>(size), file) : 0;
    zk->file_system->ZK_FileSystem_CloseFile(file);
    if (!fits || read != static_cast<size_t>(size)) return 2;
    bytes.items[size] = '\0';
    bytes.count = static_cast<int>(size) + 1;
    return 0;
}

int ReadWholeTextFile(const char* path, nString& text, Log* source_log) {
    text = "";
    nArray<char> bytes;
    int status = ReadWholeFile(path, bytes);
    if (status != 0) return status;
    if (source_log && !Tokenizer::ValidateSourceBytes(*source_log, path, bytes.items, bytes.count - 1, 1)) return 2;
    text = bytes.items;
    return 0;
}

void Preprocessor::IncludeFile(const char* path, const SourceLocation& location) {
    nString text;
    int status = ReadWholeTextFile(path, text, &log);
    if (status == 0 && included_length + text.Length() > kMaximumIncludedLength) {
        ReportError(location, "included text is too long (maximum is %i bytes).",
                    static_cast<int>(kMaximumIncludedLength));
        AppendOutput("\n", 1);
        return;
    }
    ++include_count;
    if (status == 0) included_length += text.Length();
    if (status == 1) {
        ReportError(location, "include file was not found.");
    } else if (status == 2) {
        ReportError(location, "include file could not be read.");
    } else {
        UpdateSourceModifiedTime(path);
    }
    nString stripped = status == 0 ? Tokenizer::StripComments(text.c_str()) : nString("");
    SourceStream& stream = tokenizer.GetStream();
    int position = stream.position;
    int length_before = stream.length;
    tokenizer.InsertIncludeSource(nString(path), stripped);
    int inserted = stream.length - length_before;
    // Open includes that contain this one end later by what was inserted.
    for (int i = 0; i < include_ends.Count(); ++i) {
        if (include_ends[i] >= position) include_ends[i] += inserted;
    }
    include_ends.InsertLast(position + inserted);
}

int Preprocessor::GetIncludeDepth() {
    int position = tokenizer.GetStream().position;
    while (include_ends.Count() > 0 && include_ends[include_ends.Count() - 1] <= position) --include_ends.count;
    return include_ends.Count();
}

void Preprocessor::BeginFileTimes(const char* shader_xml_path, uint32_t time) {
    ForgetFileTimes();
    keep_file_times = true;
    if (shader_xml_path && time > 0) file_times.InsertLast(FileTime{nString(shader_xml_path), time});
}

void Preprocessor::ForgetFileTimes() {
    file_times = nArray<FileTime>();
    keep_file_times = false;
}

void Preprocessor::UpdateSourceModifiedTime(const char* path) {
    if (!track_source_times) return;
    uint32_t time = 0;
    bool known = false;
    for (int i = 0; keep_file_times && i < file_times.count && !known; ++i) {
        known = std::strcmp(file_times[i].path.c_str(), path) == 0;
        if (known) time = file_times[i].time;
    }
    if (!known) {
        zk_file_info_t file_info;
        if (zk->file_system->ZK_FileSystem_GetFileInfo(path, &file_info)) time = file_info.modification_time;
        if (keep_file_times) file_times.InsertLast(FileTime{nString(path), time});
    }
    if (time > newest_source_time) newest_source_time = time;
}

}  // namespace ShaderTool

nString ZK_CollapsePathRelations(const char* path) {
    nString result(path ? path : "");
    for (;;) {
        const char* text = result.c_str();
        // The first "component/../" pair, where the component is not "..".
        int start = 0;
        int found = -1;
        int found_end = 0;
        int length = static_cast<int>(std::strlen(text));
        while (start < length) {
            const char* slash = std::strchr(text + start, '/');
            if (!slash) break;
            int component_end = static_cast<int>(slash - text);
            bool is_parent = component_end - start == 2 && text[start] == '.' && text[start + 1] == '.';
            if (!is_parent && component_end > start && std::strncmp(slash, "/..", 3) == 0 &&
                (slash[3] == '/' || slash[3] == '\0')) {
                found = start;
                found_end = component_end + 3 + (slash[3] == '/' ? 1 : 0);
                break;
            }
            start = component_end + 1;
        }
        if (found < 0) return result;
        nString collapsed = result.Substring(0, found);
        collapsed.Append(text + found_end);
        result = collapsed;
    }
}
