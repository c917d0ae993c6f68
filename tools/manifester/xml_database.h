// zk-manifester's own small XML key/value database: a character-level
// reader that turns a file into tags, databases of arrays of nodes with
// name/value pairs built from them, and a list that loads each file once.
#pragma once

#include <cstdint>
#include <cstdlib>

namespace manifester {

// A growable array of pointers. Plain data, so that the state record that
// holds one can be zeroed: the first block holds 32 items, a full block
// grows to the larger of count + 1 and twice its capacity.
template <typename T>
struct ZK_PointerArray {
    T** items;
    int32_t count;
    int32_t capacity;
    bool shrink;

    bool Append(T* item) {
        if (count == capacity) {
            int32_t grown = capacity ? (capacity * 2 > count + 1 ? capacity * 2 : count + 1) : 32;
            T** block = static_cast<T**>(malloc(sizeof(T*) * size_t(grown)));
            if (!block) return false;
            for (int32_t i = 0; i < count; ++i) block[i] = items[i];
            free(items);
            items = block;
            capacity = grown;
        }
        items[count++] = item;
        return true;
    }
    // Frees the item block only (the items belong to the caller).
    void FreeItems() {
        free(items);
        items = nullptr;
        count = capacity = 0;
    }
};

struct ZK_XMLPair {
    char* name;   // heap strings; a missing text is stored as ""
    char* value;
};

struct ZK_XMLNode {
    char* id;  // null without an "id" attribute
    ZK_XMLPair* pairs;
    int32_t pair_count;
};

struct ZK_XMLArray {
    char* id;  // null without an "id" attribute
    ZK_PointerArray<ZK_XMLNode> nodes;
};

struct ZK_XMLDatabase {
    char* name;  // the path it was loaded from
    ZK_PointerArray<ZK_XMLArray> arrays;
};

typedef ZK_PointerArray<ZK_XMLDatabase> ZK_XMLDatabaseList;

// Reads one file into tags. Tokens and the current tag live in the reader's
// token buffer, so a tag stays valid until the next NextToken or NextTag.
class ZK_XMLReader {
public:
    static const int token_size = 4096;
    static const int max_attributes = 128;

    struct Tag {
        const char* name;  // null for text
        int32_t attribute_count;
        const char* names[max_attributes];
        const char* values[max_attributes];
        bool closing;  // "</name>" or "<name ... />"
    };

    ZK_XMLReader();
    ~ZK_XMLReader();

    // Reads the whole file, through the interface table's file entries or,
    // with use_stdio, the C library. False when it cannot be read or when
    // its first non-blank character is not '<'.
    bool Open(const char* path, bool use_stdio);
    // The next tag, or text; null at the end of the data.
    char* NextToken();
    // The next token as a tag; null at the end or when a tag is malformed.
    const Tag* NextTag();
    bool AtEnd() const { return position >= size; }
    void ParseError(const char* what, char character);
    void Close();

private:
    void Append(char c);
    bool SkipComment();
    int LineAt(long at);
    char* ParseAttributes(char* p);

    char* file_name;
    char* data;
    long size;
    long position;
    char token[token_size];
    int length;
    bool overrun_reported;
    bool in_quote;
    bool in_tag;
    Tag tag;
    long counted_to;  // line feeds before counted_to are in counted_lines
    int counted_lines;
};

// The first database of the list named `name` (without regard to case);
// else a new one, loaded, appended and returned whether or not it loaded.
ZK_XMLDatabase* GetDatabase(ZK_XMLDatabaseList* list, const char* name);
bool LoadDatabase(ZK_XMLDatabase* database, const char* name);
bool LoadXML(ZK_XMLDatabase* database);
// Frees every database of the list and the list's block.
void FreeDatabaseList(ZK_XMLDatabaseList* list);

ZK_XMLArray* GetArray(ZK_XMLDatabase* database, const char* id);
ZK_XMLNode* GetNode(ZK_XMLArray* array, const char* id);
ZK_XMLNode* GetNodeByIndex(ZK_XMLArray* array, int index);
int GetNumberOfNodes(ZK_XMLArray* array);
const char* GetValue(ZK_XMLNode* node, const char* name);
const char* GetArrayValue(ZK_XMLArray* array, const char* node_id, const char* name);
const char* GetArrayValueByIndex(ZK_XMLArray* array, int index, const char* name);

}  // namespace manifester
