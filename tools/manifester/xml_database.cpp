// Databases built from the reader's tags: arrays of nodes with name/value
// pairs, the list that loads each file once, and the lookups.
#include <strings.h>

#include <cstdlib>
#include <cstring>

#include "tools/manifester/runtime.h"
#include "tools/manifester/xml_database.h"

namespace manifester {

namespace {

typedef ZK_XMLReader::Tag Tag;

bool NameIs(const char* name, const char* wanted) { return name && strcasecmp(name, wanted) == 0; }

bool AddPair(ZK_XMLNode* node, const char* name, const char* value) {
    void* grown = realloc(node->pairs, sizeof(ZK_XMLPair) * size_t(node->pair_count + 1));
    if (!grown) return false;
    node->pairs = static_cast<ZK_XMLPair*>(grown);
    node->pairs[node->pair_count++] = {ZKI_StrDup(name), ZKI_StrDup(value)};
    return true;
}

// A node from a node tag: every attribute as a pair, and the id from the
// last attribute named "id".
ZK_XMLNode* MakeNode(const Tag& tag) {
    ZK_XMLNode* node = static_cast<ZK_XMLNode*>(calloc(1, sizeof(ZK_XMLNode)));
    if (!node) return nullptr;
    const char* id = nullptr;
    for (int i = 0; i < tag.attribute_count; ++i) {
        if (NameIs(tag.names[i], "id")) id = tag.values[i];
        AddPair(node, tag.names[i], tag.values[i]);
    }
    if (id) node->id = ZKI_StrDup(id);
    return node;
}

void FreeNode(ZK_XMLNode* node) {
    for (int i = 0; i < node->pair_count; ++i) {
        free(node->pairs[i].name);
        free(node->pairs[i].value);
    }
    free(node->pairs);
    free(node->id);
    free(node);
}

void FreeArray(ZK_XMLArray* array) {
    for (int i = 0; i < array->nodes.count; ++i) FreeNode(array->nodes.items[i]);
    array->nodes.FreeItems();
    free(array->id);
    free(array);
}

void FreeDatabase(ZK_XMLDatabase* database) {
    for (int i = 0; i < database->arrays.count; ++i) FreeArray(database->arrays.items[i]);
    database->arrays.FreeItems();
    free(database->name);
    free(database);
}

// Reads the nodes of one array up to its closing tag or the end of the
// data; gives the number of nodes. A node's closing tag is read as a node
// of its own (with no id and no pairs), and tags that are neither nodes
// nor the array's end are passed over.
int ReadArrayContent(ZK_XMLReader* reader, ZK_XMLArray* array, const char* file) {
    int count = 0;
    const Tag* tag = nullptr;
    for (;;) {
        if (!tag) {
            if (reader->AtEnd()) break;
            tag = reader->NextTag();
            if (!tag) continue;
        }
        if (tag->closing && NameIs(tag->name, "array")) break;
        if (!NameIs(tag->name, "node")) {
            tag = nullptr;
            continue;
        }
        ZK_XMLNode* node = MakeNode(*tag);
        if (!node || !array->nodes.Append(node)) {
            if (node) FreeNode(node);
            break;
        }
        ++count;
        tag = reader->NextTag();
        if (!tag) {
            zk->Popupf(1, "Error parsing file '%s'\n", file);
            break;
        }
        if (!tag->name && tag->attribute_count == 1 && strcmp(tag->names[0], "DATA") == 0) {
            AddPair(node, "DATA", tag->values[0]);
            reader->NextTag();  // the node's closing tag
            tag = nullptr;
        }
    }
    return count;
}

}  // namespace

bool LoadXML(ZK_XMLDatabase* database) {
    ZK_XMLReader reader;
    bool table = zk && zk->OpenFile;
    if (!reader.Open(database->name, !table)) {
        if (table) zk->Popupf(1, "ZK_XML Array File '%s' not found!\n", database->name);
        return false;
    }
    // The declaration and the root element.
    reader.NextTag();
    reader.NextTag();
    int arrays = 0, nodes = 0;
    while (!reader.AtEnd()) {
        const Tag* tag = reader.NextTag();
        if (!tag || tag->closing || !NameIs(tag->name, "array")) continue;
        ZK_XMLArray* array = static_cast<ZK_XMLArray*>(calloc(1, sizeof(ZK_XMLArray)));
        if (!array) break;
        for (int i = 0; i < tag->attribute_count && !array->id; ++i) {
            if (NameIs(tag->names[i], "id")) array->id = ZKI_StrDup(tag->values[i]);
        }
        if (!database->arrays.Append(array)) {
            FreeArray(array);
            break;
        }
        ++arrays;
        nodes += ReadArrayContent(&reader, array, database->name);
    }
    zk->Printf("%d Arrays loaded with total %d nodes.\n", arrays, nodes);
    return true;
}

bool LoadDatabase(ZK_XMLDatabase* database, const char* name) {
    free(database->name);
    database->name = ZKI_StrDup(name);
    size_t length = strlen(database->name);
    if (length >= 4 && strcasecmp(database->name + length - 4, ".xml") == 0) return LoadXML(database);
    zk->Popupf(1, "Unknown database file type '%s'.\nSupported formats are: .xml", database->name);
    return false;
}

ZK_XMLDatabase* GetDatabase(ZK_XMLDatabaseList* list, const char* name) {
    if (!list || !name) return nullptr;
    for (int i = 0; i < list->count; ++i) {
        if (strcasecmp(list->items[i]->name, name) == 0) return list->items[i];
    }
    ZK_XMLDatabase* database = static_cast<ZK_XMLDatabase*>(calloc(1, sizeof(ZK_XMLDatabase)));
    if (!database) return nullptr;
    LoadDatabase(database, name);
    if (!list->Append(database)) {
        FreeDatabase(database);
        return nullptr;
    }
    return database;
}

void FreeDatabaseList(ZK_XMLDatabaseList* list) {
    for (int i = 0; i < list->count; ++i) FreeDatabase(list->items[i]);
    list->FreeItems();
}

ZK_XMLArray* GetArray(ZK_XMLDatabase* database, const char* id) {
    if (!database) return nullptr;
    for (int i = 0; i < database->arrays.count; ++i) {
        ZK_XMLArray* array = database->arrays.items[i];
        if (id ? array->id && strcmp(array->id, id) == 0 : !array->id) return array;
    }
    return nullptr;
}

ZK_XMLNode* GetNode(ZK_XMLArray* array, const char* id) {
    if (!array || !id) return nullptr;
    for (int i = 0; i < array->nodes.count; ++i) {
        ZK_XMLNode* node = array->nodes.items[i];
        if (node->id && strcmp(node->id, id) == 0) return node;
    }
    return nullptr;
}

ZK_XMLNode* GetNodeByIndex(ZK_XMLArray* array, int index) {
    if (!array || index < 0 || index >= array->nodes.count) return nullptr;
    return array->nodes.items[index];
}

int GetNumberOfNodes(ZK_XMLArray* array) { return array ? array->nodes.count : 0; }

const char* GetValue(ZK_XMLNode* node, const char* name) {
    if (!node || !name) return nullptr;
    for (int i = 0; i < node->pair_count; ++i) {
        if (node->pairs[i].name && strcmp(node->pairs[i].name, name) == 0) return node->pairs[i].value;
    }
    return nullptr;
}

const char* GetArrayValue(ZK_XMLArray* array, const char* node_id, const char* name) {
    return GetValue(GetNode(array, node_id), name);
}

const char* GetArrayValueByIndex(ZK_XMLArray* array, int index, const char* name) {
    return GetValue(GetNodeByIndex(array, index), name);
}

}  // namespace manifester
