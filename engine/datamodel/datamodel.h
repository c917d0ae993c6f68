// The engine's key/value data model: a database holds arrays, an array holds
// nodes and array-level values, a node holds key/value pairs. Every text is an
// owned copy; ids and keys of nodes and values are found by their string-id
// hash first and their text second, and the first match in list order wins.
#pragma once

#include "engine/base/narray.h"
#include "engine/base/nstring.h"

class nByteBuffer;

namespace InnerZK {

class XMLReader;
class DMArray;
class DMDatabase;

// One key/value pair. It owns nothing by itself: its two texts are freed by
// Free() or by the container that holds the pair.
class DMValue {
public:
    DMValue() : id(nullptr), id_hash(0), value(nullptr) {}
    explicit DMValue(DMValue* other);
    DMValue(const char* id, const char* value);

    void Free();
    void SetId(const char* id);
    void SetValue(const char* value);
    const char* GetValue() const { return value; }
    void SetValueInt(int number);
    void SetValueFloat(float number);
    int GetValueInt() const;
    float GetValueFloat() const;
    bool Equals(DMValue* other) const;

    char* id;
    unsigned int id_hash;
    char* value;
};

// One record: an optional id and its pairs in order.
class DMNode {
public:
    explicit DMNode(const char* id);
    ~DMNode();
    DMNode(const DMNode&) = delete;
    DMNode& operator=(const DMNode&) = delete;

    void SetId(const char* id);
    DMNode* Clone() const;
    const char* GetValue(const char* key) const;
    void SetValue(const char* key, const char* value);
    void SetValuef(const char* key, const char* format, ...) __attribute__((format(printf, 3, 4)));
    bool RemoveValue(const char* key);
    bool Equals(DMNode* other) const;

    // Appends a pair without looking for an existing one.
    void AppendValue(const char* key, const char* value);
    // The index of the first pair with that key (hash, then text); -1 if none.
    int FindValue(const char* key) const;

    char* id;
    unsigned int id_hash;
    nArray<DMValue> values;
    DMArray* parent;
};

// One table of nodes with its own attributes.
class DMArray {
public:
    DMArray(const char* id, DMDatabase* parent);
    ~DMArray();
    DMArray(const DMArray&) = delete;
    DMArray& operator=(const DMArray&) = delete;

    void SetId(const char* id);
    DMArray* Clone() const;
    int GetSize() const { return nodes.count; }
    int GetNumberOfNodes() const { return nodes.count; }
    int GetNumberOfArrayValues() const { return array_values.count; }
    const char* GetParentDatabaseName() const;
    DMNode* GetNodeById(const char* id) const;
    int GetNodeIndexById(const char* id) const;
    DMNode* GetNodeByIndex(int index) const;
    const char* GetNodeValue(const char* node_id, const char* key) const;
    const char* GetNodeValue(int index, const char* key) const;
    DMNode* GetFirstNodeWithValue(const char* key, const char* value) const;
    DMNode* AddNode(const char* id);
    void SetNodeValue(const char* node_id, const char* key, const char* value);
    void SetNodeValuef(const char* node_id, const char* key, const char* format, ...)
        __attribute__((format(printf, 4, 5)));
    bool RemoveNodeById(const char* id);
    bool RemoveNodeByIndex(int index);
    void RemoveAllNodes();
    void SetArrayValue(const char* key, const char* value);
    const char* GetArrayValue(const char* key) const;
    const char* GetArrayValue(int index) const;
    const char* GetArrayValueIdByIndex(int index) const;
    void RemoveArrayValue(const char* key);
    bool Equals(DMArray* other) const;

    char* id;
    unsigned int id_hash;
    nArray<DMValue> array_values;
    nArray<DMNode*> nodes;
    DMDatabase* parent;
};

// One file's data.
class DMDatabase {
public:
    DMDatabase();
    ~DMDatabase();
    DMDatabase(const DMDatabase&) = delete;
    DMDatabase& operator=(const DMDatabase&) = delete;

    void Free();

    // Loading (database_loading.cpp). Each sets load_failed to the
    // opposite of its result.
    bool Load(const char* path);
    bool LoadXML(const char* path);
    bool LoadXML(XMLReader& reader);
    bool LoadCSV(const char* path);
    bool LoadFromBufferXML(nByteBuffer* buffer);
    void Reload();

    // Writing (database_writing.cpp). GetAsXML gives a new string the
    // caller deletes, null when memory runs out.
    nString* GetAsXML() const;
    bool SaveXML(const char* path, bool scramble);
    bool Save(const char* path, bool scramble);

    bool IsValidName(const char* text) const;
    void Validate() const {}
    DMArray* GetArrayById(const char* id) const;
    int GetNumberOfArrays() const { return arrays.count; }
    DMArray* GetArrayByIndex(int index) const;
    int GetArraySize(const char* array_id) const;
    DMNode* GetNode(const char* array_id, const char* node_id) const;
    const char* GetValue(const char* array_id, const char* node_id, const char* key) const;
    const char* GetValue(const char* array_id, int index, const char* key) const;
    void SetValue(const char* array_id, const char* node_id, const char* key, const char* value);
    void SetValuef(const char* array_id, const char* node_id, const char* key, const char* format, ...)
        __attribute__((format(printf, 5, 6)));
    DMArray* AddArray(const char* id);
    DMArray* AddArray(DMArray* array);
    bool RemoveArray(const char* id);
    void Print() const;

    // Sets the name (and its hash) to a copy of the text; null gives "".
    void SetName(const char* text);
    // Destroys every array; the storage stays.
    void DestroyArrays();

    char* name;
    unsigned int name_hash;
    int values_per_line;
    nArray<DMArray*> arrays;
    // Set when the last load of this database failed: the file could not be
    // read, or its text is not a valid database. An empty database that
    // loaded cleanly leaves it clear.
    bool load_failed;
    // The warnings that the last XML load raised, each ended by a line feed,
    // so that a caller can report why a load failed even where the popups
    // are not shown.
    nString load_messages;
    // Set before a load to keep the file's text as read (NUL-terminated) in
    // raw_text, for a caller that needs the text itself and would otherwise
    // read the file a second time; the load clears the request.
    bool keep_raw_text = false;
    nArray<char> raw_text;
    // Hands raw_text over to the caller, leaving it empty.
    void TakeRawText(nArray<char>& into);
};

// Heap copy of a text at its exact length; null for a null text or when
// memory runs out.
char* CopyText(const char* text);

}  // namespace InnerZK
