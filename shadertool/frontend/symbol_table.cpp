#include "shadertool/frontend/symbol_table.h"

#include <cstring>

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

nArray<FunctionNode*> FunctionTable::FindByName(const nString& name) const {
    nArray<FunctionNode*> found;
    size_t length = strlen(name.c_str());
    for (int i = 0; i < Count(); ++i) {
        const char* key = EntryAt(i)->key.c_str();
        if (strncmp(key, name.c_str(), length) == 0 && key[length] == ',') found.InsertLast(EntryAt(i)->value);
    }
    return found;
}

}  // namespace ShaderTool
