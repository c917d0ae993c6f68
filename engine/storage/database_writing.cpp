// Writing a database back as a file of the engine's XML dialect, plain or
// scrambled. The text reads back through the XML loader to the same arrays,
// nodes and pairs: attribute values are escaped with exactly the escapes and
// entities the reader undoes, and keys the reader would refuse are left out.
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "engine/base/nstring.h"
#include "engine/runtime/zekar.h"
#include "engine/storage/datamodel.h"
#include "engine/storage/filesystem.h"
#include "engine/storage/filesystem_api.h"
#include "engine/storage/scrambler.h"
#include "engine/storage/xml_reader.h"

namespace InnerZK {

namespace {

// A text that grows to twice the length it needs. Once memory runs out it
// stays failed and takes nothing more, so a short text is never mistaken
// for a whole one.
class TextBuilder {
public:
    TextBuilder() {
        capacity = 16384;
        data = static_cast<char*>(malloc(capacity));
        if (!data) {
            capacity = 88;
            data = static_cast<char*>(malloc(capacity));
        }
        failed = !data;
        if (data) data[0] = '\0';
    }
    ~TextBuilder() { free(data); }
    TextBuilder(const TextBuilder&) = delete;
    TextBuilder& operator=(const TextBuilder&) = delete;

    void Append(const char* text, size_t size) {
        if (failed || !Reserve(length + size + 1)) return;
        memcpy(data + length, text, size);
        length += size;
        data[length] = '\0';
    }
    void Append(const char* text) { Append(text, strlen(text)); }

    // Hands the text over to a new string; null when anything failed.
    nString* Take() {
        if (failed) return nullptr;
        nString* result = new nString();
        result->text = data;
        data = nullptr;
        return result;
    }

private:
    bool Reserve(size_t needed) {
        if (needed <= capacity) return true;
        char* grown = static_cast<char*>(realloc(data, needed * 2));
        if (!grown) {
            failed = true;
            return false;
        }
        data = grown;
        capacity = needed * 2;
        return true;
    }

    char* data;
    size_t length = 0;
    size_t capacity;
    bool failed;
};

const int no_text = -1;

bool IsTextKey(const char* key) { return key && (strcmp(key, "DATA") == 0 || strcmp(key, "CDATA") == 0); }

// Keys the reader accepts as attribute keys; an empty key would merge
// with the element name.
bool IsWritableKey(const char* key) { return key && *key && XMLReader::IsValidKeyString(key); }

bool CheckKey(const char* key) {
    if (IsWritableKey(key)) return true;
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "DMDatabase: invalid value key '%s'. Key names need to start with a-z or A-Z.",
                  key ? key : "(null)");
    return false;
}

// The value with every character the reader would change escaped: a
// backslash and the three control characters by backslash escapes, '&' and
// '"' by entities (a '"' written as an escape could end the value when it
// follows an escaped backslash).
void AppendEscaped(TextBuilder& out, const char* value) {
    if (!value) return;
    const char* run = value;
    for (const char* p = value;; ++p) {
        const char* escape = nullptr;
        switch (*p) {
            case '\\': escape = "\\\\"; break;
            case '\n': escape = "\\n"; break;
            case '\r': escape = "\\r"; break;
            case '\t': escape = "\\t"; break;
            case '&': escape = "&amp;"; break;
            case '"': escape = "&quot;"; break;
            default: break;
        }
        if (!escape && *p) continue;
        out.Append(run, size_t(p - run));
        if (!*p) return;
        out.Append(escape);
        run = p + 1;
    }
}

void AppendAttribute(TextBuilder& out, const char* key, const char* value) {
    out.Append(key);
    out.Append("=\"");
    AppendEscaped(out, value);
    out.Append("\"");
}

void AppendArrayHead(TextBuilder& out, const DMArray* array) {
    out.Append("\n\t<array");
    if (array->id) {
        out.Append(" ");
        AppendAttribute(out, "id", array->id);
    }
    for (int i = 0; i < array->array_values.count; ++i) {
        const DMValue& pair = array->array_values.items[i];
        if (!CheckKey(pair.id)) continue;
        out.Append(" ");
        AppendAttribute(out, pair.id, pair.value);
    }
    out.Append(">\n");
}

// The index of the pair that is the node's text (the last text pair), or
// no_text; cdata tells whether any text pair asks for a CDATA section.
int FindText(const DMNode* node, bool& cdata) {
    int text = no_text;
    cdata = false;
    for (int i = 0; i < node->values.count; ++i) {
        const char* key = node->values.items[i].id;
        if (!IsTextKey(key)) continue;
        text = i;
        if (strcmp(key, "CDATA") == 0) cdata = true;
    }
    return text;
}

// Plain text is read back up to the next '<' and breaks the document at a
// '>' or a '"'; such a text goes into a CDATA section, which holds anything
// but its own end mark. A text that fits neither is reported and left out,
// so that the rest of the file still loads.
int WritableText(const DMNode* node, bool& cdata) {
    int text = FindText(node, cdata);
    if (text == no_text) return no_text;
    const char* value = node->values.items[text].value;
    if (!value) return text;
    if (!cdata && strpbrk(value, "<>\"")) cdata = true;
    if (!cdata || !strstr(value, "]]>")) return text;
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "DMDatabase: the text of node '%s' cannot be written.",
                  node->id ? node->id : "(null)");
    return no_text;
}

void AppendNode(TextBuilder& out, const DMNode* node, int values_per_line) {
    int count = node->values.count;
    bool one_per_line = count > values_per_line;
    bool cdata = false;
    int text = WritableText(node, cdata);

    out.Append("\t\t<node ");
    bool any_attribute = false;
    for (int i = 0; i < count; ++i) {
        const DMValue& pair = node->values.items[i];
        if (IsTextKey(pair.id) || !CheckKey(pair.id)) continue;
        AppendAttribute(out, pair.id, pair.value);
        any_attribute = true;
        if (!one_per_line) {
            out.Append(" ");
        } else {
            out.Append(i == count - 1 ? "\n\t\t" : "\n\t\t ");
        }
    }
    if (text == no_text && !any_attribute) {
        // The loader drops an attribute-less "<node/>" after a self-closing
        // node, taking it for that node's end tag; a start and end tag pair
        // is always read as a node.
        out.Append("></node>\n");
    } else if (text == no_text) {
        out.Append("/>\n");
    } else {
        const char* value = node->values.items[text].value;
        out.Append(cdata ? "><![CDATA[" : ">");
        out.Append(value ? value : "");
        out.Append(cdata ? "]]></node>\n" : "</node>\n");
    }
    if (one_per_line) out.Append("\n");
}

}  // namespace

nString* DMDatabase::GetAsXML() const {
    TextBuilder out;
    out.Append("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n<root>\n");
    for (int a = 0; a < arrays.count; ++a) {
        const DMArray* array = arrays.items[a];
        AppendArrayHead(out, array);
        for (int n = 0; n < array->nodes.count; ++n) AppendNode(out, array->nodes.items[n], values_per_line);
        out.Append("\t</array>\n");
    }
    out.Append("</root>\n");
    return out.Take();
}

static void ShowOpenFailure(const char* path) {
    if (strncmp(path, "user://", 7) == 0 || strncmp(path, "res://", 6) == 0) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Unable to open file '%s' for writing.", path);
    } else {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING,
                      "Unable to open file '%s' for writing. The filename needs to be absolute file system target "
                      "such as res://data/file.xml.",
                      path);
    }
}

// Writes all bytes of the text, scrambled when asked; false when memory
// runs out or the file takes fewer bytes.
static bool WriteText(zk_file_t* file, const nString& text, bool scramble) {
    int length = text.Length();
    if (!scramble) {
        return zk->file_system->ZK_FileSystem_WriteFile(text.c_str(), size_t(length), file) == size_t(length);
    }
    int size = 0;
    char* scrambled = Scrambler::Encrypt(text.c_str(), length, &size);
    bool written = scrambled && zk->file_system->ZK_FileSystem_WriteFile(scrambled, size_t(size), file) == size_t(size);
    free(scrambled);
    return written;
}

// The text goes to a temporary file beside the target, which replaces the
// target only when every byte was written: a failed save leaves the old
// file as it was.
bool DMDatabase::SaveXML(const char* path, bool scramble) {
    if (!path) return false;
    nString temporary = nString::Format("%s.zekar-tmp", path);
    zk_file_t* file = zk->file_system->ZK_FileSystem_OpenFile(temporary.c_str(), "wb");
    if (!file) {
        ShowOpenFailure(path);
        return false;
    }
    nString* text = GetAsXML();
    bool saved = text && WriteText(file, *text, scramble);
    delete text;
    zk->file_system->ZK_FileSystem_CloseFile(file);
    saved = saved && ZKFileSystem::ReplaceFile(temporary.c_str(), path);
    if (!saved) {
        zk->file_system->ZK_FileSystem_DeleteFile(temporary.c_str());
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Unable to write file '%s'.", path);
    }
    return saved;
}

bool DMDatabase::Save(const char* path, bool scramble) {
    if (!path) return false;
    size_t length = strlen(path);
    if (length < 4) return false;
    if (strcasecmp(path + length - 4, ".xml") == 0) return SaveXML(path, scramble);
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Unknown database file type '%s'.\nSupported formats are: .csv .xml", path);
    return false;
}

}  // namespace InnerZK
