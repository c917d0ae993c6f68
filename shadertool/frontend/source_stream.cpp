#include "shadertool/frontend/source_stream.h"

#include <cstring>

#include "shadertool/frontend/tokenizer.h"

namespace ShaderTool {

void SourceStream::Initialize(const nString& source, int first_line, bool strip_comments) {
    spliced = false;
    read.count = 0;
    unread.count = 0;
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
    spliced = false;
    read = nArray<char>();
    unread = nArray<char>();
    peeked_line = nArray<char>();
    column = line = length = position = tabs = 0;
}

char SourceStream::GetCharacter() {
    if (position >= length) {
        // Reads past the end still move on, so that ungetting them is
        // symmetric.
        ++position;
        ++column;
        return '\0';
    }
    char c;
    if (spliced) {
        c = unread.items[--unread.count];
        read.InsertLast(c);
    } else {
        c = text->text[position];
    }
    ++position;
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
    int start = ReadCount();
    while (start > 0 && CharacterBefore(start - 1) != '\n') --start;
    column = 1 + (position - start);
    tabs = 0;
    for (int i = start; i < ReadCount(); ++i)
        if (CharacterBefore(i) == '\t') ++tabs;
}

void SourceStream::UngetCharacter() {
    if (position <= 0) return;
    if (position > length) {
        --position;
        --column;
        return;
    }
    --position;
    char c = CharacterBefore(position);
    if (spliced) {
        --read.count;
        unread.InsertLast(c);
    }
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
    while (position > 0 && position <= length && CharacterBefore(position - 1) != '\n') {
        --position;
        if (spliced) unread.InsertLast(read.items[--read.count]);
    }
    column = 1;
    tabs = 0;
}

void SourceStream::BeginSplicing() {
    int split = ReadCount();
    read.count = 0;
    unread.count = 0;
    unread.SetMaximumSize(length - split + 1);
    for (int i = length - 1; i >= split; --i) unread.InsertLast(text->text[i]);
    read.SetMaximumSize(split + 1);
    for (int i = 0; i < split; ++i) read.InsertLast(text->text[i]);
    text = nullptr;
    own_copy = nString();
    spliced = true;
}

void SourceStream::InsertSource(const nString& inserted) {
    if (!spliced) BeginSplicing();
    if (position > length) position = length;
    int added = inserted.Length();
    if (unread.count + added > unread.capacity) {
        int capacity = unread.capacity > 0 ? unread.capacity : 32;
        while (capacity < unread.count + added) capacity *= 2;
        unread.SetMaximumSize(capacity);
    }
    for (int i = added - 1; i >= 0; --i) unread.items[unread.count++] = inserted.text[i];
    length += added;
}

const char* SourceStream::PeekLine(int& count) {
    count = 0;
    if (position >= length) return "";
    if (!spliced) {
        const char* start = text->text + position;
        const char* end = static_cast<const char*>(std::memchr(start, '\n', static_cast<size_t>(length - position)));
        count = end ? static_cast<int>(end - start) + 1 : length - position;
        return start;
    }
    peeked_line.count = 0;
    for (int i = unread.count - 1; i >= 0; --i) {
        peeked_line.InsertLast(unread.items[i]);
        if (unread.items[i] == '\n') break;
    }
    count = peeked_line.count;
    peeked_line.InsertLast('\0');
    return peeked_line.items;
}

nString SourceStream::GetText() const {
    nArray<char> whole;
    whole.SetMaximumSize(length + 1);
    for (int i = 0; i < ReadCount(); ++i) whole.InsertLast(CharacterBefore(i));
    if (spliced) {
        for (int i = unread.count - 1; i >= 0; --i) whole.InsertLast(unread.items[i]);
    } else {
        for (int i = ReadCount(); i < length; ++i) whole.InsertLast(text->text[i]);
    }
    whole.InsertLast('\0');
    return nString(whole.items);
}

}  // namespace ShaderTool
