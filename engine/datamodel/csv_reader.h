// Reader of ';'-separated tables: the first record names the columns, every
// later field is read one at a time. There is no quoting: a ';' or a line
// feed always ends a field, and carriage returns are ignored.
#pragma once

struct zk_file_t;

namespace InnerZK {

class CSVReader {
public:
    CSVReader();
    ~CSVReader();
    CSVReader(const CSVReader&) = delete;
    CSVReader& operator=(const CSVReader&) = delete;

    bool OpenFile(const char* path);
    int GetNumberOfColumns() const { return count; }
    const char* GetColumnName(int index) const;
    // The next field into the buffer (at most buffer_size - 1 characters
    // kept); null when nothing is left.
    char* ReadNextAsString(char* buffer, int buffer_size);
    int ReadNextAsInt();
    double ReadNextAsFloat();
    bool EndOfFile() const { return position >= size; }
    void CloseFile();

    int count;
    char** names;
    zk_file_t* file;
    int separator;
    int line_end;
    long long size;
    long long position;

private:
    bool ReadField(char* buffer, int buffer_size);
    int CountColumns();
};

}  // namespace InnerZK
