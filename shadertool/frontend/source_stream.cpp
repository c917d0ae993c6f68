#include "shadertool/frontend/source_stream.h"

#include "shadertool/frontend/tokenizer.h"

namespace ShaderTool {

void SourceStream::Initialize(const nString& source, int first_line, bool strip_comments) {
    if (strip_comments) {
        own_copy = Tokenizer::StripComments(source.GetText());
        text = &own_copy;
    } else {
        text = &source;
    }
    length = text->Length();
    column = 1;
    line = first_line;
    position = 0;
    tabs = 0;
}

void SourceStream::Reset() {
    text = nullptr;
    own_copy = nString();
    column = line = length = position = tabs = 0;
}

char SourceStream::GetCharacter() {
    if (!text || position >= length) {
        // Reads past the end still move on, so that ungetting them is
        // symmetric.
        ++position;
        ++column;
        return '\0';
    }
    char c = text->text[position++];
    if (c == '\n') {
        ++line;
        column = 1;
        tabs = 0;
    } else {
        ++column;
        if (c == '\t') ++tabs;
    }
    return c;
}

// After stepping back over a line feed, the column and tabs of the line
// that the position is now on are counted again from its start.
void SourceStream::RecountLineStart() {
    int start = position;
    const char* characters = GetText();
    while (start > 0 && start - 1 < length && characters[start - 1] != '\n') --start;
    column = 1 + (position - start);
    tabs = 0;
    for (int i = start; i < position && i < length; ++i)
        if (characters[i] == '\t') ++tabs;
}

void SourceStream::UngetCharacter() {
    if (position <= 0) return;
    --position;
    if (!text || position >= length) {
        --column;
        return;
    }
    char c = text->text[position];
    if (c == '\n') {
        --line;
        RecountLineStart();
    } else {
        --column;
        if (c == '\t') --tabs;
    }
}

void SourceStream::UngetCharactersUntilPreviousLine() {
    UngetCharacter();
    const char* characters = GetText();
    while (position > 0 && position - 1 < length && characters[position - 1] != '\n') --position;
    column = 1;
    tabs = 0;
}

void SourceStream::InsertSource(const nString& inserted) {
    const char* current = GetText();
    int split = position < length ? position : length;
    nString spliced = text ? text->Substring(0, split) : nString("");
    if (!spliced.text) spliced = "";
    spliced.Append(inserted.c_str());
    spliced.Append(current + split);
    own_copy = spliced;
    text = &own_copy;
    length = own_copy.Length();
}

}  // namespace ShaderTool
