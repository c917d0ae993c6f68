// The character source of both tokenizers: a text with a read position,
// line, column and tab count, which can step back and can take text inserted
// at the read position (how included files are spliced in).
#pragma once

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
    // first inserted one. The stream reads its own copy from then on.
    void InsertSource(const nString& inserted);

    bool AtEnd() const { return position >= length; }
    // The text read, or "" when there is none.
    const char* GetText() const { return text ? text->c_str() : ""; }

    // Column as reported in locations: a tab counts four columns.
    int GetReportedColumn() const { return column + 3 * tabs; }

    const nString* text = nullptr;  // the caller's text or own_copy
    nString own_copy;
    int column = 0;
    int line = 0;
    int length = 0;
    int position = 0;
    int tabs = 0;

private:
    void RecountLineStart();
};

}  // namespace ShaderTool
