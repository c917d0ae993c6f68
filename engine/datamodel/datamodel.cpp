#include "engine/datamodel/datamodel.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/base/nstring.h"
#include "engine/runtime/zekar.h"

namespace InnerZK {

char* CopyText(const char* text) {
    if (!text) return nullptr;
    size_t length = strlen(text);
    char* copy = static_cast<char*>(malloc(length + 1));
    if (copy) memcpy(copy, text, length + 1);
    return copy;
}

static bool TextsEqual(const char* a, const char* b) { return a && b && strcmp(a, b) == 0; }

// Index of the first pair whose key has this hash and text; -1 if none.
static int FindByHash(const nArray<DMValue>& values, const char* key) {
    if (!key) return -1;
    unsigned int hash = nStringHash(key);
    for (int i = 0; i < values.count; ++i) {
        const DMValue& v = values.items[i];
        if (v.id_hash == hash && v.id && strcmp(v.id, key) == 0) return i;
    }
    return -1;
}

// Index of the first pair whose key text equals key; -1 if none.
static int FindByText(const nArray<DMValue>& values, const char* key) {
    if (!key) return -1;
    for (int i = 0; i < values.count; ++i) {
        if (TextsEqual(values.items[i].id, key)) return i;
    }
    return -1;
}

static void FreeValues(nArray<DMValue>& values) {
    for (int i = 0; i < values.count; ++i) values.items[i].Free();
    values.count = 0;
}

static bool ValuesEqual(const nArray<DMValue>& a, const nArray<DMValue>& b) {
    if (a.count != b.count) return false;
    for (int i = 0; i < a.count; ++i) {
        if (!a.items[i].Equals(&b.items[i])) return false;
    }
    return true;
}

// ---------------------------------------------------------------- DMValue

DMValue::DMValue(DMValue* other)
    : id(CopyText(other->id ? other->id : "")),
      id_hash(nStringHash(id)),
      value(CopyText(other->value ? other->value : "")) {}

DMValue::DMValue(const char* key, const char* text)
    : id(CopyText(key ? key : "")), id_hash(nStringHash(key)), value(CopyText(text ? text : "")) {}

void DMValue::Free() {
    free(id);
    free(value);
    id = nullptr;
    value = nullptr;
}

void DMValue::SetId(const char* key) {
    if (!key) return;
    char* copy = CopyText(key);
    free(id);
    id = copy;
    id_hash = nStringHash(key);
}

void DMValue::SetValue(const char* text) {
    if (!text) return;
    char* copy = CopyText(text);
    free(value);
    value = copy;
}

void DMValue::SetValueInt(int number) {
    char buffer[32];
    snprintf(buffer, sizeof buffer, "%d", number);
    SetValue(buffer);
}

void DMValue::SetValueFloat(float number) {
    char buffer[32];
    snprintf(buffer, sizeof buffer, "%g", static_cast<double>(number));
    SetValue(buffer);
}

int DMValue::GetValueInt() const { return value ? atoi(value) : 0; }

float DMValue::GetValueFloat() const { return value ? static_cast<float>(atof(value)) : 0.0f; }

bool DMValue::Equals(DMValue* other) const {
    return other && id_hash == other->id_hash && TextsEqual(id, other->id) && TextsEqual(value, other->value);
}

// ---------------------------------------------------------------- DMNode

DMNode::DMNode(const char* node_id) : id(CopyText(node_id)), id_hash(nStringHash(node_id)), parent(nullptr) {}

DMNode::~DMNode() {
    free(id);
    FreeValues(values);
}

void DMNode::SetId(const char* node_id) {
    free(id);
    id = CopyText(node_id);
    id_hash = nStringHash(node_id);
}

DMNode* DMNode::Clone() const {
    DMNode* copy = new DMNode(id);
    copy->parent = parent;
    copy->values.SetMaximumSize(values.count);
    for (int i = 0; i < values.count; ++i) copy->values.InsertLast(DMValue(&values.items[i]));
    return copy;
}

int DMNode::FindValue(const char* key) const { return FindByHash(values, key); }

const char* DMNode::GetValue(const char* key) const {
    int index = FindByHash(values, key);
    return index < 0 ? nullptr : values.items[index].value;
}

void DMNode::AppendValue(const char* key, const char* text) {
    DMValue pair;
    pair.id = CopyText(key);
    pair.id_hash = nStringHash(key);
    pair.value = CopyText(text);
    values.InsertLast(pair);
}

void DMNode::SetValue(const char* key, const char* text) {
    if (!key) return;
    // The node's id and its "id" pair always hold the same text.
    if (text && strcmp(key, "id") == 0) SetId(text);
    int index = FindByHash(values, key);
    if (index >= 0) {
        values.items[index].SetValue(text);
        return;
    }
    AppendValue(key, text);
}

void DMNode::SetValuef(const char* key, const char* format, ...) {
    if (!key) return;
    char buffer[2048];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    SetValue(key, buffer);
}

bool DMNode::RemoveValue(const char* key) {
    int index = FindByHash(values, key);
    if (index < 0) return false;
    values.items[index].Free();
    values.RemoveItemAtIndex(index);
    return true;
}

bool DMNode::Equals(DMNode* other) const { return other && ValuesEqual(values, other->values); }

// ---------------------------------------------------------------- DMArray

DMArray::DMArray(const char* array_id, DMDatabase* owner)
    : id(CopyText(array_id)), id_hash(nStringHash(array_id)), parent(owner) {}

DMArray::~DMArray() {
    free(id);
    for (int i = 0; i < nodes.count; ++i) delete nodes.items[i];
    nodes.count = 0;
    FreeValues(array_values);
}

void DMArray::SetId(const char* array_id) {
    free(id);
    id = CopyText(array_id);
    id_hash = nStringHash(array_id);
}

DMArray* DMArray::Clone() const {
    DMArray* copy = new DMArray(id, parent);
    copy->nodes.SetMaximumSize(nodes.count);
    for (int i = 0; i < nodes.count; ++i) copy->nodes.InsertLast(nodes.items[i]->Clone());
    for (int i = 0; i < array_values.count; ++i) copy->array_values.InsertLast(DMValue(&array_values.items[i]));
    return copy;
}

const char* DMArray::GetParentDatabaseName() const {
    if (!parent) return "(no db)";
    if (!parent->name) return "(unnamed db)";
    return parent->name;
}

DMNode* DMArray::GetNodeById(const char* node_id) const {
    if (!node_id) return nullptr;
    unsigned int hash = nStringHash(node_id);
    for (int i = 0; i < nodes.count; ++i) {
        DMNode* node = nodes.items[i];
        if (node->id_hash == hash && node->id && strcmp(node->id, node_id) == 0) return node;
    }
    return nullptr;
}

int DMArray::GetNodeIndexById(const char* node_id) const {
    if (!node_id) return -1;
    for (int i = 0; i < nodes.count; ++i) {
        if (TextsEqual(nodes.items[i]->id, node_id)) return i;
    }
    return -1;
}

DMNode* DMArray::GetNodeByIndex(int index) const {
    return index >= 0 && index < nodes.count ? nodes.items[index] : nullptr;
}

const char* DMArray::GetNodeValue(const char* node_id, const char* key) const {
    DMNode* node = GetNodeById(node_id);
    return node ? node->GetValue(key) : nullptr;
}

const char* DMArray::GetNodeValue(int index, const char* key) const {
    DMNode* node = GetNodeByIndex(index);
    return node ? node->GetValue(key) : nullptr;
}

DMNode* DMArray::GetFirstNodeWithValue(const char* key, const char* text) const {
    if (!key || !text) return nullptr;
    for (int i = 0; i < nodes.count; ++i) {
        if (TextsEqual(nodes.items[i]->GetValue(key), text)) return nodes.items[i];
    }
    return nullptr;
}

DMNode* DMArray::AddNode(const char* node_id) {
    if (node_id) {
        DMNode* existing = GetNodeById(node_id);
        if (existing) return existing;
    }
    DMNode* node = new DMNode(node_id);
    node->parent = this;
    if (node_id) node->AppendValue("id", node_id);
    nodes.InsertLast(node);
    return node;
}

void DMArray::SetNodeValue(const char* node_id, const char* key, const char* text) {
    if (!node_id) return;
    AddNode(node_id)->SetValue(key, text);
}

void DMArray::SetNodeValuef(const char* node_id, const char* key, const char* format, ...) {
    if (!node_id) return;
    char buffer[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    SetNodeValue(node_id, key, buffer);
}

bool DMArray::RemoveNodeById(const char* node_id) {
    int index = GetNodeIndexById(node_id);
    if (index < 0) return false;
    return RemoveNodeByIndex(index);
}

bool DMArray::RemoveNodeByIndex(int index) {
    if (index < 0 || index >= nodes.count) return false;
    DMNode* node = nodes.items[index];
    nodes.RemoveItemAtIndex(index);
    delete node;
    return true;
}

void DMArray::RemoveAllNodes() {
    for (int i = nodes.count - 1; i >= 0; --i) RemoveNodeByIndex(i);
}

void DMArray::SetArrayValue(const char* key, const char* text) {
    if (!key) return;
    if (strcmp(key, "id") == 0) {
        // The id text changes; its hash is left as it was.
        free(id);
        id = CopyText(text);
        return;
    }
    int index = FindByText(array_values, key);
    if (index >= 0) {
        array_values.items[index].SetValue(text);
        return;
    }
    DMValue pair;
    pair.id = CopyText(key);
    pair.id_hash = nStringHash(key);
    pair.value = CopyText(text);
    array_values.InsertLast(pair);
}

const char* DMArray::GetArrayValue(const char* key) const {
    int index = FindByText(array_values, key);
    return index < 0 ? nullptr : array_values.items[index].value;
}

const char* DMArray::GetArrayValue(int index) const {
    return index >= 0 && index < array_values.count ? array_values.items[index].value : nullptr;
}

const char* DMArray::GetArrayValueIdByIndex(int index) const {
    return index >= 0 && index < array_values.count ? array_values.items[index].id : nullptr;
}

void DMArray::RemoveArrayValue(const char* key) {
    int index = FindByText(array_values, key);
    if (index < 0) return;
    array_values.items[index].Free();
    array_values.RemoveItemAtIndex(index);
}

bool DMArray::Equals(DMArray* other) const {
    if (!other || nodes.count != other->nodes.count || array_values.count != other->array_values.count) return false;
    if (id_hash != other->id_hash || !TextsEqual(id, other->id)) return false;
    for (int i = 0; i < nodes.count; ++i) {
        if (!ValuesEqual(nodes.items[i]->values, other->nodes.items[i]->values)) return false;
    }
    return ValuesEqual(array_values, other->array_values);
}

// ---------------------------------------------------------------- DMDatabase

DMDatabase::DMDatabase() : name(nullptr), name_hash(0), values_per_line(5), load_failed(false) {}

DMDatabase::~DMDatabase() {
    DestroyArrays();
    free(name);
}

void DMDatabase::DestroyArrays() {
    for (int i = 0; i < arrays.count; ++i) delete arrays.items[i];
    arrays.count = 0;
}

void DMDatabase::TakeRawText(nArray<char>& into) {
    delete[] into.items;
    into.items = raw_text.items;
    into.count = raw_text.count;
    into.capacity = raw_text.capacity;
    raw_text.items = nullptr;
    raw_text.count = 0;
    raw_text.capacity = 0;
}

void DMDatabase::Free() {
    DestroyArrays();
    free(name);
    name = nullptr;
    name_hash = 0;
}

void DMDatabase::SetName(const char* text) {
    if (name && text && strcmp(name, text) == 0) return;
    char* copy = CopyText(text ? text : "");
    free(name);
    name = copy;
    name_hash = nStringHash(name);
}

static bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool DMDatabase::IsValidName(const char* text) const {
    if (!text || !IsAsciiLetter(text[0])) return false;
    for (const char* p = text + 1; *p; ++p) {
        if (!IsAsciiLetter(*p) && !(*p >= '0' && *p <= '9') && *p != '_' && *p != '-') return false;
    }
    return true;
}

DMArray* DMDatabase::GetArrayById(const char* array_id) const {
    if (!array_id) return nullptr;
    for (int i = 0; i < arrays.count; ++i) {
        if (TextsEqual(arrays.items[i]->id, array_id)) return arrays.items[i];
    }
    return nullptr;
}

DMArray* DMDatabase::GetArrayByIndex(int index) const {
    return index >= 0 && index < arrays.count ? arrays.items[index] : nullptr;
}

int DMDatabase::GetArraySize(const char* array_id) const {
    DMArray* array = GetArrayById(array_id);
    return array ? array->GetSize() : 0;
}

DMNode* DMDatabase::GetNode(const char* array_id, const char* node_id) const {
    DMArray* array = GetArrayById(array_id);
    return array ? array->GetNodeById(node_id) : nullptr;
}

const char* DMDatabase::GetValue(const char* array_id, const char* node_id, const char* key) const {
    DMNode* node = GetNode(array_id, node_id);
    return node ? node->GetValue(key) : nullptr;
}

const char* DMDatabase::GetValue(const char* array_id, int index, const char* key) const {
    DMArray* array = GetArrayById(array_id);
    return array ? array->GetNodeValue(index, key) : nullptr;
}

void DMDatabase::SetValue(const char* array_id, const char* node_id, const char* key, const char* text) {
    DMArray* array = GetArrayById(array_id);
    if (!array) array = AddArray(array_id);
    if (!node_id) return;
    array->AddNode(node_id)->SetValue(key, text);
}

void DMDatabase::SetValuef(const char* array_id, const char* node_id, const char* key, const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    SetValue(array_id, node_id, key, buffer);
}

DMArray* DMDatabase::AddArray(const char* array_id) {
    DMArray* array = new DMArray(array_id, this);
    arrays.InsertLast(array);
    return array;
}

DMArray* DMDatabase::AddArray(DMArray* array) {
    arrays.InsertLast(array);
    return array;
}

bool DMDatabase::RemoveArray(const char* array_id) {
    if (!array_id) return false;
    for (int i = 0; i < arrays.count; ++i) {
        DMArray* array = arrays.items[i];
        if (TextsEqual(array->id, array_id)) {
            arrays.RemoveItemAtIndex(i);
            delete array;
            return true;
        }
    }
    return false;
}

static const char* OrNull(const char* text) { return text ? text : "(null)"; }

void DMDatabase::Print() const {
    zk->ZK_Printf("Database '%s'", OrNull(name));
    for (int a = 0; a < arrays.count; ++a) {
        const DMArray* array = arrays.items[a];
        zk->ZK_Printf(" Array id='%s'", OrNull(array->id));
        for (int n = 0; n < array->nodes.count; ++n) {
            const DMNode* node = array->nodes.items[n];
            zk->ZK_Printf("  Node id='%s'", OrNull(node->id));
            for (int v = 0; v < node->values.count; ++v) {
                zk->ZK_Printf("   %s='%s'", OrNull(node->values.items[v].id), OrNull(node->values.items[v].value));
            }
        }
    }
}

}  // namespace InnerZK
