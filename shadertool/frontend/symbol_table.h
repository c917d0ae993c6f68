// The three tables the parser keeps while it reads one source: the visible
// variables with their scope frames, the four built-in structures through
// which a shader reaches its inputs, outputs, constants and textures, and the
// functions under their mangled names. Symbols and structures are found by a
// linear search, and the first entry in insertion order wins; functions are
// hashed.
#pragma once

#include "engine/base/narray.h"
#include "engine/base/nmap.h"
#include "engine/base/nstring.h"
#include "shadertool/frontend/name_index.h"
#include "shadertool/frontend/nodes.h"
#include "shadertool/frontend/types.h"

namespace ShaderTool {

// Every symbol visible now, in declaration order, and per open frame the
// number of symbols it added. Names are never shadowed: the duplicate test
// lives in Semantics::AddSymbol.
class SymbolTable {
public:
    // Appends the symbol to the innermost frame.
    void Add(SymbolNode* symbol);
    void PushFrame();
    // Forgets the symbols the innermost frame added, then the frame.
    void PopFrame();
    // The first visible symbol of that name, or null.
    SymbolNode* Find(const char* name) const;
    // No symbols and no frames.
    void Clear();

    int FrameCount() const { return frame_counts.count; }
    int SymbolCount() const { return symbols.count; }

    nArray<SymbolNode*> symbols;
    nArray<int> frame_counts;
};

// Structure name -> member name -> member Type, members in insertion order.
class StructureTable {
public:
    static const char* const kInput;      // "_Input"
    static const char* const kOutput;     // "_Output"
    static const char* const kConstants;  // "_Constants"
    static const char* const kTexture;    // "_Texture"

    // Holds the four built-in structures, without members.
    StructureTable();

    // Enters a structure with no members (an existing one is kept).
    void Add(const char* name);
    // Empties the member maps of the four built-in structures.
    void Reset();
    // The member map of a structure, or null when there is none.
    nMap<Type>* Find(const char* name);
    const nMap<Type>* Find(const char* name) const;
    // A copy of the member's type; no type when the structure or member is
    // unknown.
    Type GetMemberType(const char* structure, const char* member) const;

    nMap<nMap<Type> > structures;
};

class BuiltInFunctionManager;

// Mangled name -> function, in insertion order: the built-in overloads in
// table order, then user functions in the order first declared. The
// built-ins are the manager's own nodes, which the table refers to rather
// than copies; the semantic checks write only to user functions (reference
// counts, moved definitions), never to a built-in, so one manager can serve
// many tables at once. Lookups by mangled name and by name are hashed.
class FunctionTable {
public:
    FunctionTable() = default;
    FunctionTable(const FunctionTable&) = delete;
    FunctionTable& operator=(const FunctionTable&) = delete;

    // Puts the manager's overloads ahead of the user functions.
    void SetBuiltIns(const BuiltInFunctionManager* manager);
    // The function under this mangled name, or null.
    FunctionNode* Find(const char* mangled_name) const;
    // Enters a user function under a mangled name the table does not hold.
    void Add(const char* mangled_name, FunctionNode* function);
    // Every function whose mangled name begins with name and ",", in table
    // order. (Names never contain ",": they are identifiers.)
    nArray<FunctionNode*> FindByName(const nString& name) const;
    // Built-ins and user functions, in table order.
    int Count() const;
    FunctionNode* At(int index) const;
    // User functions alone, numbered from 0 in the order first declared.
    int UserCount() const { return user.count; }
    // The function's number among the user functions; -1 when the table
    // does not hold this very node (a built-in, or a refused second
    // definition of a signature).
    int UserIndexOf(const FunctionNode* function) const;
    // Forgets every function, the built-ins included.
    void Clear();

private:
    struct Entry {
        nString key;
        FunctionNode* value = nullptr;
        int next_overload = -1;  // the next user entry of the same name
        int last_overload = -1;  // of a name's first entry: its last one
    };
    int FindUserEntry(const char* mangled_name) const;
    int FindFirstUserOverload(const char* name, size_t length) const;

    const BuiltInFunctionManager* built_ins = nullptr;
    nArray<Entry> user;
    NameIndex user_by_key;
    NameIndex user_by_name;  // the first entry of each name
};

}  // namespace ShaderTool
