#include "shadertool/frontend/operator_table.h"

#include "shadertool/builtins/builtin_tables.h"
#include "shadertool/frontend/builtin_functions.h"

namespace ShaderTool {

OperatorTable::OperatorTable() {
    lists.SetMaximumSize(kListCount);
    nArray<OperatorSignature> empty;
    for (int i = 0; i < kListCount; ++i) lists.InsertLast(empty);
    Initialize();
}

const OperatorTable& OperatorTable::Shared() {
    static const OperatorTable shared;
    return shared;
}

void OperatorTable::Initialize() {
    for (int i = 0; i < kOperatorRowCount; ++i) {
        const OperatorRow& row = kOperatorRows[i];
        Add(static_cast<Operator>(row.id), GetTypeFromShortName(row.result), GetTypeFromShortName(row.left),
            GetTypeFromShortName(row.right));
    }
}

void OperatorTable::Add(Operator id, const Type& result, const Type& left, const Type& right) {
    if (id < 0 || id >= kListCount) return;
    lists[id].InsertLast(OperatorSignature(result, left, right));
}

const nArray<OperatorSignature>& OperatorTable::GetSignatures(int id) const {
    static const nArray<OperatorSignature> kNone;
    if (id < 0 || id >= lists.count) return kNone;
    return lists[id];
}

int OperatorTable::CountRows() const {
    int rows = 0;
    for (int i = 0; i < lists.count; ++i) rows += lists[i].count;
    return rows;
}

}  // namespace ShaderTool
