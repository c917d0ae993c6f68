// Writing a database back as a file of the engine's XML dialect, plain or
// scrambled. The text reads back through the XML loader to the same arrays,
// nodes and pairs: attribute values are escaped with exactly the escapes and
// entities the reader undoes, and keys the reader would refuse are left out.
#include <cstdlib>
#include <cstring>

#include "engine/base/file_names.h"
#include "engine/base/nstring.h"
#include "engine/runtime/zekar.h"
#include "engine/datamodel/datamodel.h"
#include "engine/storage/filesystem.h"
#include "engine/storage/filesystem_api.h"
#include "engine/storage/safe_write.h"
#include "engine/datamodel/scrambler.h"
#include "engine/datamodel/xml_reader.h"

namespace InnerZK {

namespace {

// A text that grows to twice the length it needs. Once memory runs out it
// stays failed and takes nothing more, so a short text is never mistaken
// for a whole one. It also keeps the first reason why the text would not
// read back whole.
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

    void RefuseOnce(const nString& reason) {
        if (refusal.IsEmpty()) refusal = reason;
    }
    nString refusal;

    // The text in a string of its own; null when anything failed.
    nString* Take() {
        if (failed) return nullptr;
        nString* result = new nString(data);
        if (!result->GetText()) {
            delete result;
            return nullptr;
        }
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

// The length of the value as AppendEscaped writes it.
size_t EscapedLength(const char* value) {
    size_t length = 0;
    for (const char* p = value; p && *p; ++p) {
        switch (*p) {
            case '\\': case '\n': case '\r': case '\t': length += 2; break;
            case '&': length += 5; break;
            case '"': length += 6; break;
            default: length += 1; break;
        }
    }
    return length;
}

// What the reader keeps of one written attribute: a separating space (any
// run of white space reads as one), the key, '=' and the quoted value.
size_t KeptAttributeLength(const char* key, const char* value) { return 1 + strlen(key) + 3 + EscapedLength(value); }

const char* OrNull(const char* text) { return text ? text : "(null)"; }

// The reader holds one tag in a buffer of xml_max_block_length characters
// and fails on a longer one, losing the whole file; kept is what it would
// hold of this tag.
void RefuseLongTag(TextBuilder& out, size_t kept, const char* node_id, const char* array_id) {
    if (kept <= size_t(xml_max_block_length)) return;
    if (node_id) {
        out.RefuseOnce(nString::Format("the values of node '%s' in array '%s' take %zu characters, more than the %d "
                                       "one element may hold",
                                       node_id, OrNull(array_id), kept, xml_max_block_length));
    } else {
        out.RefuseOnce(nString::Format("the values of array '%s' take %zu characters, more than the %d one element "
                                       "may hold",
                                       OrNull(array_id), kept, xml_max_block_length));
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
    size_t kept = strlen("<array");
    if (array->id) {
        out.Append(" ");
        AppendAttribute(out, "id", array->id);
        kept += KeptAttributeLength("id", array->id);
    }
    for (int i = 0; i < array->array_values.count; ++i) {
        const DMValue& pair = array->array_values.items[i];
        if (!CheckKey(pair.id)) continue;
        out.Append(" ");
        AppendAttribute(out, pair.id, pair.value);
        kept += KeptAttributeLength(pair.id, pair.value);
    }
    out.Append(">\n");
    RefuseLongTag(out, kept, nullptr, array->id);
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

// Plain text is read into the same buffer as a tag. (Character data is read
// in place and may be of any length, but writing a long plain text as
// character data would change the key it reads back under.)
void RefuseLongText(TextBuilder& out, const DMNode* node, int text, bool cdata, const char* array_id) {
    const char* value = node->values.items[text].value;
    size_t length = value ? strlen(value) : 0;
    if (cdata || length <= size_t(xml_max_block_length)) return;
    out.RefuseOnce(nString::Format("the text of node '%s' in array '%s' has %zu characters, more than the %d plain "
                                   "text may hold",
                                   OrNull(node->id), OrNull(array_id), length, xml_max_block_length));
}

void AppendNode(TextBuilder& out, const DMNode* node, int values_per_line, const char* array_id) {
    int count = node->values.count;
    bool one_per_line = count > values_per_line;
    bool cdata = false;
    int text = WritableText(node, cdata);
    if (text != no_text) RefuseLongText(out, node, text, cdata, array_id);

    out.Append("\t\t<node ");
    // "<node" and the attributes; an empty-element tag also has the space
    // and the '/' that the reader holds before its '>'.
    size_t kept = strlen("<node") + (text == no_text ? 2 : 0);
    bool any_attribute = false;
    for (int i = 0; i < count; ++i) {
        const DMValue& pair = node->values.items[i];
        if (IsTextKey(pair.id) || !CheckKey(pair.id)) continue;
        AppendAttribute(out, pair.id, pair.value);
        kept += KeptAttributeLength(pair.id, pair.value);
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
    RefuseLongTag(out, kept, OrNull(node->id), array_id);
}

// The whole text; refusal gets the first reason why it would not read back
// whole (empty when it would).
nString* BuildXML(const DMDatabase& database, nString& refusal) {
    TextBuilder out;
    out.Append("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n<root>\n");
    for (int a = 0; a < database.arrays.count; ++a) {
        const DMArray* array = database.arrays.items[a];
        AppendArrayHead(out, array);
        for (int n = 0; n < array->nodes.count; ++n) {
            AppendNode(out, array->nodes.items[n], database.values_per_line, array->id);
        }
        out.Append("\t</array>\n");
    }
    out.Append("</root>\n");
    refusal = out.refusal;
    return out.Take();
}

}  // namespace

nString* DMDatabase::GetAsXML() const {
    nString refusal;
    return BuildXML(*this, refusal);
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

// Writes all bytes of the text, scrambled when asked.
static bool WriteText(ZKFileSystem::SafeFile& file, const nString& text, bool scramble, nString& error) {
    int length = text.Length();
    if (!scramble) return file.Write(text.c_str(), size_t(length), &error);
    int size = 0;
    char* scrambled = Scrambler::Encrypt(text.c_str(), length, &size);
    if (!scrambled) {
        error = "out of memory";
        return false;
    }
    bool written = file.Write(scrambled, size_t(size), &error);
    free(scrambled);
    return written;
}

// The text goes to a new temporary file beside the target, which replaces
// the target only when every byte reached it: a failed or refused save
// leaves the old file as it was.
bool DMDatabase::SaveXML(const char* path, bool scramble) {
    if (!path) return false;
    ZKFileSystem::SafeFile file;
    nString error;
    if (!zk->file_system->ZK_FileSystem_IsPathValid(path) || !ZKFileSystem::MayOpenForWriting(path) ||
        !file.Begin(ZKFileSystem::WithForwardSlashes(path).c_str(), &error)) {
        ShowOpenFailure(path);
        return false;
    }
    nString refusal;
    nString* text = BuildXML(*this, refusal);
    if (!text) {
        error = "out of memory";
    } else if (!refusal.IsEmpty()) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Unable to save file '%s': %s.", path, refusal.c_str());
        delete text;
        return false;
    }
    bool saved = text && WriteText(file, *text, scramble, error) && file.Commit(&error);
    delete text;
    if (!saved) zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Unable to write file '%s' (%s).", path, error.c_str());
    return saved;
}

bool DMDatabase::Save(const char* path, bool scramble) {
    if (!path) return false;
    // Too short to end in any file type: refused without a message.
    if (strlen(path) < 4) return false;
    if (nStringEndsWithIgnoringCase(path, ".xml")) return SaveXML(path, scramble);
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Unknown database file type '%s'.\nSupported formats are: .csv .xml", path);
    return false;
}

}  // namespace InnerZK
