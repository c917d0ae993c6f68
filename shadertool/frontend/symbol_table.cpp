#include "shadertool/frontend/symbol_table.h"

#include <cstring>

#include "shadertool/frontend/builtin_functions.h"

namespace ShaderTool {

void SymbolTable::Add(SymbolNode* symbol) {
    symbols.InsertLast(symbol);
    if (frame_counts.count > 0) frame_counts[frame_counts.count - 1] += 1;
}

void SymbolTable::PushFrame() { frame_counts.InsertLast(0); }

void SymbolTable::PopFrame() {
    if (frame_counts.count == 0) return;
    int added = frame_counts[frame_counts.count - 1];
    symbols.count -= added < symbols.count ? added : symbols.count;
    frame_counts.RemoveItemAtIndex(frame_counts.count - 1);
}

SymbolNode* SymbolTable::Find(const char* name) const {
    if (!name) return nullptr;
    for (int i = 0; i < symbols.count; ++i)
        if (strcmp(symbols[i]->name.c_str(), name) == 0) return symbols[i];
    return nullptr;
}

void SymbolTable::Clear() {
    symbols.count = 0;
    frame_counts.count = 0;
}

const char* const StructureTable::kInput = "_Input";
const char* const StructureTable::kOutput = "_Output";
const char* const StructureTable::kConstants = "_Constants";
const char* const StructureTable::kTexture = "_Texture";

StructureTable::StructureTable() {
    Add(kInput);
    Add(kOutput);
    Add(kConstants);
    Add(kTexture);
}

void StructureTable::Add(const char* name) { structures[name]; }

void StructureTable::Reset() {
    const char* const names[] = {kTexture, kConstants, kOutput, kInput};
    for (const char* name : names) {
        nMap<Type>* members = Find(name);
        if (members) members->Clear();
    }
}

nMap<Type>* StructureTable::Find(const char* name) {
    nMap<nMap<Type> >::Entry* entry = structures.Find(name);
    return entry ? &entry->value : nullptr;
}

const nMap<Type>* StructureTable::Find(const char* name) const {
    const nMap<nMap<Type> >::Entry* entry = structures.Find(name);
    return entry ? &entry->value : nullptr;
}

Type StructureTable::GetMemberType(const char* structure, const char* member) const {
    const nMap<Type>* members = Find(structure);
    if (!members) return Type();
    const nMap<Type>::Entry* entry = members->Find(member);
    return entry ? entry->value : Type();
}

// The part of a mangled name before its first ",": the function's name.
static size_t NameLength(const char* mangled_name) {
    const char* comma = strchr(mangled_name, ',');
    return comma ? static_cast<size_t>(comma - mangled_name) : strlen(mangled_name);
}

void FunctionTable::SetBuiltIns(const BuiltInFunctionManager* manager) { built_ins = manager; }

int FunctionTable::FindUserEntry(const char* mangled_name) const {
    return user_by_key.Find(NameIndex::Hash(mangled_name, strlen(mangled_name)), [&](int index) {
        return strcmp(user[index].key.c_str(), mangled_name) == 0;
    });
}

int FunctionTable::FindFirstUserOverload(const char* name, size_t length) const {
    return user_by_name.Find(NameIndex::Hash(name, length), [&](int index) {
        const char* key = user[index].key.c_str();
        return NameLength(key) == length && strncmp(key, name, length) == 0;
    });
}

FunctionNode* FunctionTable::Find(const char* mangled_name) const {
    if (!mangled_name) return nullptr;
    int index = built_ins ? built_ins->FindMangledName(mangled_name) : -1;
    if (index >= 0) return const_cast<FunctionNode*>(&(*built_ins)[index]);
    index = FindUserEntry(mangled_name);
    return index >= 0 ? user[index].value : nullptr;
}

void FunctionTable::Add(const char* mangled_name, FunctionNode* function) {
    if (!mangled_name) mangled_name = "";
    Entry entry;
    entry.key = mangled_name;
    entry.value = function;
    user.InsertLast(entry);
    int index = user.count - 1;
    user_by_key.Insert(NameIndex::Hash(mangled_name, strlen(mangled_name)), index);
    size_t length = NameLength(mangled_name);
    int first = FindFirstUserOverload(mangled_name, length);
    if (first < 0) {
        user_by_name.Insert(NameIndex::Hash(mangled_name, length), index);
        user[index].last_overload = index;
        return;
    }
    user[user[first].last_overload].next_overload = index;
    user[first].last_overload = index;
}

nArray<FunctionNode*> FunctionTable::FindByName(const nString& name) const {
    nArray<FunctionNode*> found;
    size_t length = strlen(name.c_str());
    if (built_ins) {
        for (int i = built_ins->FindFirstOverload(name.c_str(), length); i >= 0; i = built_ins->NextOverload(i))
            found.InsertLast(const_cast<FunctionNode*>(&(*built_ins)[i]));
    }
    for (int i = FindFirstUserOverload(name.c_str(), length); i >= 0; i = user[i].next_overload)
        found.InsertLast(user[i].value);
    return found;
}

int FunctionTable::Count() const { return (built_ins ? built_ins->Count() : 0) + user.count; }

int FunctionTable::UserIndexOf(const FunctionNode* function) const {
    if (!function || function->built_in) return -1;
    int index = FindUserEntry(function->mangled_name.c_str());
    return index >= 0 && user[index].value == function ? index : -1;
}

FunctionNode* FunctionTable::At(int index) const {
    int built_in_count = built_ins ? built_ins->Count() : 0;
    if (index < built_in_count) return const_cast<FunctionNode*>(&(*built_ins)[index]);
    return user[index - built_in_count].value;
}

void FunctionTable::Clear() {
    built_ins = nullptr;
    user.count = 0;
    user_by_key.Clear();
    user_by_name.Clear();
}

}  // namespace ShaderTool
