// The three tables the parser keeps while it reads one source: the visible
// variables with their scope frames, the four built-in structures through
// which a shader reaches its inputs, outputs, constants and textures, and the
// functions under their mangled names. Lookups are linear and the first
// entry in insertion order wins.
#pragma once

#include "engine/base/narray.h"
#include "engine/base/nmap.h"
#include "engine/base/nstring.h"
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

// Mangled name -> function, in insertion order: the built-in overloads in
// table order, then user functions in the order first declared.
class FunctionTable : public nMap<FunctionNode*> {
public:
    // Every function whose mangled name begins with name and ",", in table
    // order.
    nArray<FunctionNode*> FindByName(const nString& name) const;
};

}  // namespace ShaderTool
