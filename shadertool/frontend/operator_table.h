// The operator table: for every operator id 0 to 41 the list of operand
// combinations it accepts, each with its result type, filled once from the
// operator signature table. The semantic checks take the first row of a list
// that accepts an operator node's operands.
#pragma once

#include "engine/base/narray.h"
#include "shadertool/frontend/types.h"

namespace ShaderTool {

// One accepted operand combination. A unary operator's right side is void.
struct OperatorSignature {
    OperatorSignature() = default;
    // Note the argument order: result first, unlike the field order.
    OperatorSignature(const Type& result_type, const Type& left_type, const Type& right_type)
        : left(left_type), right(right_type), result(result_type) {}

    Type left;
    Type right;
    Type result;
};

class OperatorTable {
public:
    static const int kListCount = 42;  // operator ids 0 to 41

    // 42 lists at once, then every row of the signature table.
    OperatorTable();
    // The table every parser shares: built on first use (safely when threads
    // race to it) and never changed afterwards.
    static const OperatorTable& Shared();

    // Adds the rows of the signature table in table order.
    void Initialize();
    // Appends one row to list id; ids outside 0..41 are ignored.
    void Add(Operator id, const Type& result, const Type& left, const Type& right);

    // The rows of one operator in the order added; an empty list for ids
    // outside 0..41.
    const nArray<OperatorSignature>& GetSignatures(int id) const;

    int CountRows() const;

private:
    nArray<nArray<OperatorSignature> > lists;
};

}  // namespace ShaderTool
