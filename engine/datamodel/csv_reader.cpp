#include "engine/datamodel/csv_reader.h"

#include <cstdlib>

#include "engine/runtime/zekar.h"
#include "engine/datamodel/datamodel.h"

namespace InnerZK {

static const int name_buffer_size = 512;
static const int number_buffer_size = 257;

CSVReader::CSVReader()
    : count(0), names(nullptr), file(nullptr), separator(';'), line_end('\n'), size(0), position(0) {}

CSVReader::~CSVReader() { CloseFile(); }

void CSVReader::CloseFile() {
    if (file) zk->file_system->ZK_FileSystem_CloseFile(file);
    file = nullptr;
    for (int i = 0; names && i < count; ++i) free(names[i]);
    free(names);
    names = nullptr;
    count = 0;
}

// Each ';' of the first record adds a column and its end the last one, be
// that a line feed or the file's end (a table of one line has its last
// column too); an empty file has none.
int CSVReader::CountColumns() {
    int columns = 0;
    bool any = false;
    unsigned char c = 0;
    while (zk->file_system->ZK_FileSystem_ReadFile(&c, 1, file) == 1) {
        any = true;
        if (c == separator) ++columns;
        if (c == line_end) return columns + 1;
    }
    return any ? columns + 1 : 0;
}

bool CSVReader::OpenFile(const char* path) {
    CloseFile();
    file = zk->file_system->ZK_FileSystem_OpenFile(path, "r");
    if (!file) return false;
    size = file->size;
    position = 0;
    int columns = CountColumns();
    zk->file_system->ZK_FileSystem_SetFilePosition(file, 0, 0);
    position = 0;

    names = static_cast<char**>(calloc(columns > 0 ? size_t(columns) : 1, sizeof(char*)));
    if (!names) return false;
    count = columns;
    char buffer[name_buffer_size];
    for (int i = 0; i < count; ++i) {
        names[i] = CopyText(ReadField(buffer, sizeof buffer) ? buffer : "");
    }
    return true;
}

const char* CSVReader::GetColumnName(int index) const {
    if (!names || index < 0 || index >= count) return nullptr;
    return names[index];
}

// Reads one field into the buffer. False when nothing is left: no file, no
// columns, the end already reached, or the end reached before any character
// of the field was kept.
bool CSVReader::ReadField(char* buffer, int buffer_size) {
    if (!file || count <= 0 || position >= size || buffer_size < 1) return false;
    int kept = 0;
    unsigned char c = 0;
    while (zk->file_system->ZK_FileSystem_ReadFile(&c, 1, file) == 1) {
        ++position;
        if (c == '\r') continue;
        if (c == separator || c == line_end) {
            buffer[kept] = '\0';
            return true;
        }
        if (kept < buffer_size - 1) buffer[kept++] = char(c);
    }
    // The file ended inside the field: a field of at least one character
    // stands (a last one-character value is data like any other).
    position = size > position ? size : position;
    buffer[kept] = '\0';
    return kept > 0;
}

char* CSVReader::ReadNextAsString(char* buffer, int buffer_size) {
    return buffer && ReadField(buffer, buffer_size) ? buffer : nullptr;
}

int CSVReader::ReadNextAsInt() {
    char buffer[number_buffer_size];
    return ReadField(buffer, sizeof buffer) ? atoi(buffer) : 0;
}

double CSVReader::ReadNextAsFloat() {
    char buffer[number_buffer_size];
    return ReadField(buffer, sizeof buffer) ? atof(buffer) : 0.0;
}

}  // namespace InnerZK
