// The reader of the engine's XML dialect. It reads a whole text into memory
// and hands it out block by block: an element (start, end or empty-element
// tag) with its attribute pairs, or a text block. Block strings point into
// the reader's work buffer (character data into the text itself) and stay
// valid until the next block is read.
#pragma once

#include "engine/base/narray.h"

class nString;

namespace InnerZK {

// Raises a WARNING popup with the text and, when kept is not null, appends
// the text and a line feed to it: the popup is dropped below the log level,
// while a caller that reports a failed load in its own words still has the
// reason (the file and the line).
void WarnAndKeep(nString* kept, const char* format, ...) __attribute__((format(printf, 2, 3)));

const int xml_max_pairs = 512;
const int xml_work_size = 16384;
// Characters one block may hold: the work buffer less room for a closing
// '>' and the terminator. A longer text or tag fails to read ("buffer
// overrun"), so the writer refuses to write one.
const int xml_max_block_length = xml_work_size - 2;

struct xml_block_t {
    char* name;  // null for a text block
    int count;
    char* keys[xml_max_pairs];
    char* values[xml_max_pairs];
    bool closing;  // end tag or empty-element tag
};

class XMLReader {
public:
    XMLReader();
    ~XMLReader();
    XMLReader(const XMLReader&) = delete;
    XMLReader& operator=(const XMLReader&) = delete;

    // Reads the whole file through the file-system table, unscrambles a
    // scrambled file and reads the declaration. With raw_copy, a copy of the
    // bytes as read (before any unscrambling) is kept there, a NUL after
    // them, for a caller that needs the file's own text besides the blocks.
    bool OpenFile(const char* path, nArray<char>* raw_copy = nullptr);
    // Whether the last OpenFile found a file to open, so that a caller can
    // tell a missing file from one that is there but is no XML.
    bool FileWasOpened() const { return file_opened; }
    // Reads a text held in memory (copied); never unscrambled.
    bool OpenFileInMemory(const void* data, int length);
    // The next element or text block; null at the end or after an error.
    xml_block_t* ReadNextBlock();
    bool EndOfFile() const { return position >= length; }
    int GetDepth() const { return 0; }
    void CloseFile();

    static bool OnlyWhitespace(const char* text);
    static bool IsValidKeyString(const char* text);
    static void FormattedStringToBinaryString(char* text);
    static void ParseXMLEntities(char* text);
    // The end of the attribute value that starts at the opening quote at
    // value: the first space or '>' (or the text's end) outside the quotes.
    static char* SeekParmEnd(char* value);

    const char* GetFileName() const { return file_name; }
    bool IsValid() const { return valid; }
    // Every warning from now on is also appended to messages (none when null).
    void KeepMessagesIn(nString* kept) { messages = kept; }

    char* file_name;
    int depth;
    int length;
    long long position;
    xml_block_t block;
    char* work;
    char* text;
    bool valid;

private:
    nString* messages;
    bool file_opened;

    char* GetNextBlock(xml_block_t* target);
    char* Overrun();
    bool ReadDeclaration();
    void TakeText(char* bytes, int size);
    void MarkInvalid();
    void PrintParsingError(const char* reason, int character);
    void PrintParsingErrorFrom(const char* reason, int character, long long from);
    bool ReadPairs(char* cursor);
    char* ReadCharacterData(xml_block_t* target);
    bool SkipComment();
};

}  // namespace InnerZK
