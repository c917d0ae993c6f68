// The character source of both tokenizers: a text with a read position,
// line, column and tab count, which can step back and can take text inserted
// at the read position (how included files are spliced in).
#pragma once

#include "engine/base/narray.h"
#include "engine/base/nstring.h"

namespace ShaderTool {

class SourceStream {
public:
    SourceStream() = default;
    SourceStream(const SourceStream&) = delete;
    SourceStream& operator=(const SourceStream&) = delete;

    // Reads the caller's text in place (it must outlive the stream's use), or
    // with strip_comments a copy without comments. Column 1, line first_line.
    void Initialize(const nString& source, int first_line, bool strip_comments);
    // No text; column, line, length, position and tabs 0.
    void Reset();

    // 0 at or past the end (still advancing position and column); else the
    // next character. A line feed starts the next line.
    char GetCharacter();
    // Steps back one character, undoing the line, column and tab counts.
    void UngetCharacter();
    // Steps back one character and then to the first character of its line.
    void UngetCharactersUntilPreviousLine();
    // Splices text in at the read position: the next character read is the
    // first inserted one. It costs what the inserted text costs: neither the
    // text read so far nor the text still to come is copied again.
    void InsertSource(const nString& inserted);

    bool AtEnd() const { return position >= length; }
    // The characters from the read position through the next line feed (or
    // to the end of the text); `count` gets their number. The pointer stays
    // valid until the stream changes.
    const char* PeekLine(int& count);
    // The whole text, read and still to come, as one copy.
    nString GetText() const;

    // Column as reported in locations: a tab counts four columns.
    int GetReportedColumn() const { return column + 3 * tabs; }

    int column = 0;
    int line = 0;
    int length = 0;
    int position = 0;
    int tabs = 0;

private:
    // The character at index, which lies before the read position.
    char CharacterBefore(int index) const { return spliced ? read.items[index] : text->text[index]; }
    // Characters of the text that lie before the read position.
    int ReadCount() const { return position < length ? position : length; }
    void RecountLineStart();
    // Leaves reading in place for the two stacks below.
    void BeginSplicing();

    const nString* text = nullptr;  // the caller's text or own_copy, until the first insertion
    nString own_copy;
    // After the first insertion the text lives in two parts: the characters
    // read so far in order, and those still to come in reverse order, so
    // that inserting at the read position is pushing onto that stack.
    bool spliced = false;
    nArray<char> read;
    nArray<char> unread;
    nArray<char> peeked_line;
};

}  // namespace ShaderTool
