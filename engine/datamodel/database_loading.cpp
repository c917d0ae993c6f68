// Filling a database from XML files, scrambled XML files, CSV tables and XML
// text in memory.
#include <cstdlib>
#include <cstring>

#include "engine/base/file_names.h"
#include "engine/base/nbytebuffer.h"
#include "engine/base/nstring.h"
#include "engine/runtime/zekar.h"
#include "engine/datamodel/csv_reader.h"
#include "engine/datamodel/datamodel.h"
#include "engine/datamodel/xml_reader.h"

namespace InnerZK {

static const int csv_field_size = 4096;

static bool NameIs(const xml_block_t* block, const char* name) {
    return block && block->name && strcmp(block->name, name) == 0;
}

static const char* NameOf(const xml_block_t* block) { return block && block->name ? block->name : "(null)"; }

static const char* OrNull(const char* text) { return text ? text : "(null)"; }

// The value of the last attribute with that key; null when there is none.
static const char* LastAttribute(const xml_block_t* block, const char* key) {
    const char* found = nullptr;
    for (int i = 0; i < block->count; ++i) {
        if (block->keys[i] && strcmp(block->keys[i], key) == 0) found = block->values[i];
    }
    return found;
}

bool DMDatabase::Load(const char* path) {
    load_messages = nString();
    raw_text.count = 0;
    SetName(path);
    bool loaded = false;
    if (!name || strlen(name) < 4) {
        loaded = false;
    } else if (nStringEndsWithIgnoringCase(name, ".csv")) {
        loaded = LoadCSV(name);
    } else if (nStringEndsWithIgnoringCase(name, ".xml") || nStringEndsWithIgnoringCase(name, ".dat")) {
        loaded = LoadXML(name);
    } else {
        WarnAndKeep(&load_messages, "Unknown database file type '%s'. Supported formats are: .csv .xml", name);
    }
    load_failed = !loaded;
    keep_raw_text = false;
    return loaded;
}

void DMDatabase::Reload() {
    if (!name || !*name) return;
    char* copy = CopyText(name);
    DestroyArrays();
    free(name);
    name = nullptr;
    Load(copy);
    free(copy);
}

bool DMDatabase::LoadXML(const char* path) {
    load_messages = nString();
    XMLReader reader;
    reader.KeepMessagesIn(&load_messages);
    load_failed = true;
    if (!reader.OpenFile(path, keep_raw_text ? &raw_text : nullptr)) {
        if (reader.FileWasOpened())
            WarnAndKeep(&load_messages, "XML database file '%s' cannot be read as XML!", OrNull(path));
        else
            WarnAndKeep(&load_messages, "XML database file '%s' not found!", OrNull(path));
        return false;
    }
    load_failed = !LoadXML(reader);
    return !load_failed;
}

bool DMDatabase::LoadFromBufferXML(nByteBuffer* buffer) {
    load_messages = nString();
    XMLReader reader;
    reader.KeepMessagesIn(&load_messages);
    if (!buffer || !reader.OpenFileInMemory(buffer->data, buffer->size)) {
        WarnAndKeep(&load_messages, "XML database file loaded from memory is invalid!");
        load_failed = true;
        return false;
    }
    bool loaded = LoadXML(reader);
    load_failed = !loaded;
    return loaded;
}

// Builds the database from the blocks of one document: a "root" element
// holding "array" elements, each holding "node" elements.
class XMLDocumentLoader {
public:
    XMLDocumentLoader(DMDatabase& database, XMLReader& reader)
        : database(database), reader(reader), file(reader.GetFileName() ? reader.GetFileName() : ""), node_number(0) {}

    bool Run() {
        xml_block_t* block = reader.ReadNextBlock();
        if (!NameIs(block, "root") || block->closing) {
            WarnAndKeep(&database.load_messages,
                       "DataManager: XML database needs to be contained within 'root' block (not expecting '%s'). "
                       "'%s' is invalid.",
                       block && block->name ? block->name : "null", file);
            return false;
        }
        while (!reader.EndOfFile()) {
            block = reader.ReadNextBlock();
            if (!block) continue;
            if (NameIs(block, "root") && block->closing) return ReadAfterRoot();
            if (!NameIs(block, "array")) {
                WarnAndKeep(&database.load_messages, "DataManager: root/array/node structure violated. '%s' is not 'array'. '%s' is invalid.",
                           NameOf(block), file);
                return Fail();
            }
            if (block->closing) continue;  // also an array written as an empty-element tag
            if (!ReadArray(block)) return Fail();
        }
        WarnAndKeep(&database.load_messages, "DataManager: XML database needs to end with root block closing. '%s' is invalid.", file);
        return Fail();
    }

private:
    bool Fail() {
        database.DestroyArrays();
        return false;
    }

    bool ReadAfterRoot() {
        if (reader.ReadNextBlock()) {
            WarnAndKeep(&database.load_messages, "DataManager: No blocks can exist after </root>. '%s' is invalid.", file);
            return Fail();
        }
        // A parsing error after the root (reported by the reader) leaves no
        // block either, but the text is not valid.
        return reader.IsValid() ? true : Fail();
    }

    bool ReadArray(xml_block_t* block) {
        // "id" sets the id text (the last one wins; its hash stays 0), every
        // other attribute becomes an array value.
        DMArray* array = database.AddArray(static_cast<const char*>(nullptr));
        for (int i = 0; i < block->count; ++i) array->SetArrayValue(block->keys[i], block->values[i]);

        block = reader.ReadNextBlock();
        for (;;) {
            if (!block) {
                WarnAndKeep(&database.load_messages, "DataManager: File '%s' ends unexpectedly. Not loaded.", file);
                return false;
            }
            if (NameIs(block, "array")) {
                if (block->closing) return true;
                WarnAndKeep(&database.load_messages, "DataManager: File '%s' has enclosing arrays which is not supported. Not loaded.",
                           file);
                return false;
            }
            if (!NameIs(block, "node")) {
                WarnAndKeep(&database.load_messages,
                           "DataManager: in '%s' is expecting to find two types of elements inside root: 'array' and "
                           "'node'. '%s' is not one of them.",
                           file, NameOf(block));
                return false;
            }
            if (!ReadNode(array, block)) return false;
        }
    }

    // Reads a node and leaves in block the next block for the array loop.
    bool ReadNode(DMArray* array, xml_block_t*& block) {
        DMNode* node = new DMNode(LastAttribute(block, "id"));
        node->parent = array;
        array->nodes.InsertLast(node);
        node->values.SetMaximumSize(block->count + 1);
        for (int i = 0; i < block->count; ++i) node->AppendValue(block->keys[i], block->values[i]);
        ++node_number;
        bool empty_element = block->closing;

        block = reader.ReadNextBlock();
        if (!block) {
            WarnAndKeep(&database.load_messages, "DataManager: error parsing file '%s' after node #%d with id '%s'.", file, node_number,
                       OrNull(node->id));
            return false;
        }
        if (!block->name && block->count == 1 &&
            (strcmp(block->keys[0], "DATA") == 0 || strcmp(block->keys[0], "CDATA") == 0)) {
            node->AppendValue(block->keys[0], block->values[0]);
            reader.ReadNextBlock();  // the node's end tag, whatever it is
            block = reader.ReadNextBlock();
            return true;
        }
        if (!empty_element) {
            if (!NameIs(block, "node") || !block->closing) {
                WarnAndKeep(&database.load_messages,
                           "DataManager: error parsing file '%s' after node #%d with id '%s'. Basic root/array/node "
                           "structure violated.",
                           file, node_number, OrNull(node->id));
                return false;
            }
            block = reader.ReadNextBlock();
            return true;
        }
        if (NameIs(block, "node") && block->closing && block->count == 0) block = reader.ReadNextBlock();
        return true;
    }

    DMDatabase& database;
    XMLReader& reader;
    const char* file;
    int node_number;
};

bool DMDatabase::LoadXML(XMLReader& reader) { return XMLDocumentLoader(*this, reader).Run(); }

bool DMDatabase::LoadCSV(const char* path) {
    CSVReader reader;
    load_failed = true;
    if (!reader.OpenFile(path)) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "CSV Array File '%s' not found!", OrNull(name ? name : path));
        return false;
    }
    load_failed = false;
    DMArray* array = AddArray(static_cast<const char*>(nullptr));
    int records = 0;
    char* field = static_cast<char*>(malloc(csv_field_size));
    while (field && !reader.EndOfFile()) {
        long long before = reader.position;
        DMNode* node = array->AddNode(nullptr);
        for (int column = 0; column < reader.GetNumberOfColumns(); ++column) {
            const char* text = reader.ReadNextAsString(field, csv_field_size);
            node->AppendValue(reader.GetColumnName(column), text);
        }
        // A record that consumed nothing (a table without columns) would
        // never reach the end.
        if (reader.position == before) {
            array->RemoveNodeByIndex(array->GetNumberOfNodes() - 1);
            break;
        }
        ++records;
    }
    free(field);
    reader.CloseFile();
    zk->ZK_Printf("%d CSV Arrays loaded with total %d nodes.", 1, records);
    return true;
}

}  // namespace InnerZK
