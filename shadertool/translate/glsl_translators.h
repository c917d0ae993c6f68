// The GLSL-family translators. GLSL21Translator writes the attribute/varying
// dialect (GLSL 1.20) and is the base of ESSL20Translator (ES 1.00) and of
// GLSL31Translator, the in/out dialect (GLSL 1.40), which is the base of
// ESSL30Translator (ES 3.00). None writes a #version line: whoever compiles
// the text puts the dialect's line in front of it.
#pragma once

#include "engine/base/narray.h"
#include "shadertool/translate/glsl_tables.h"
#include "shadertool/translate/translator.h"

namespace ShaderTool {

class GLSL21Translator : public Translator {
public:
    explicit GLSL21Translator(Log& log);

    void Reset() override;
    nString GetBuiltInFunctionName(const FunctionNode* call) override;
    nString GetTypeName(const Type& type) const override;
    // Puts the "#extension" lines in front of the header.
    void PostProcess() override;
    // Finds the position input and output and refuses the vertex outputs the
    // dialect cannot pass between the stages.
    void PreprocessShaderInfo(const ShaderInfo& info) override;
    // An array constructor: " = float[]" and the elements in parentheses.
    void ProcessArrayInitializerList(const OperatorNode* node) override;
    void ProcessFunctionCallNode(const FunctionNode* node) override;
    // Refuses function and parameter names that GLSL reserves, and function
    // names that would overload a built-in function (IsReservedFunctionName).
    void ProcessFunctionDefinitionNode(const FunctionNode* node) override;
    void ProcessOperatorNode(const OperatorNode* node) override;
    // "%" is written with mod().
    bool WritesOperatorBetweenOperands(const OperatorNode* node) const override;
    // Conditions must be bool in GLSL; an int scalar becomes "x != 0".
    void ProcessSelectionNode(const SelectionNode* node) override;
    void ProcessShaderInfoDeclarations(const ShaderInfo& info) override;
    // Refuses variable names that GLSL reserves.
    void ProcessSymbolNode(const SymbolNode* node) override;
    void ProcessForLoop(const IterationNode* node) override;
    void ProcessWhileLoop(const IterationNode* node) override;

    virtual void ProcessFaceDirectionMemberOperatorNode();
    virtual void ProcessInstanceIDMemberOperatorNode();
    bool IsReservedFunctionName(const char* name) const override;

    // Records an extension the text needs, once; with `warn` the log is told.
    void AddExtension(const char* name, bool warn);

protected:
    void InitializeFunctionMap(bool inOutStyle);
    void ProcessAllOrAnyFunctionCallNode(const FunctionNode* node);
    void ProcessSaturateFunctionCallNode(const FunctionNode* node);
    void ProcessModuloOperatorNode(const OperatorNode* node);
    // True when the member selection was written here.
    bool ProcessMemberOperatorNode(const OperatorNode* node);
    // True for the special members of "input".
    bool ProcessInputMemberOperatorNode(const nString& member);
    // The format that names structure.member in this stage, or null.
    const char* GetVariableFormat(const nString& structure, const nString& member) const;

    void ProcessVertexInput(const ShaderInfo& info);
    void ProcessConstants(const nArray<ShaderConstantVariable>& constants);
    void ProcessVertexOutput(const ShaderInfo& info);
    void ProcessPixelInput(const ShaderInfo& info);
    void ProcessPixelTextures(const ShaderInfo& info);
    void ProcessPixelOutput(const ShaderInfo& info);

    // Logs an error for each vertex output this dialect cannot declare.
    void CheckVaryingTypes(const ShaderInfo& info);
    // A varying declaration with the interpolation qualifier its type needs.
    void DeclareVarying(const char* format, const ShaderVertexOutputVariable& output);
    // The ES dialects take only constant expressions as initialisers of
    // global variables.
    void CheckGlobalInitializer(const ParserNode* variable, const ParserNode* value);
    bool IsConstantExpression(const ParserNode* node) const;
    // GLSL takes texel offsets as constant expressions only.
    void CheckTexelOffset(const FunctionNode* node);
    // The pixel inputs are the varyings, which GLSL does not let a pixel
    // shader write: a write to a member of input is refused, naming it.
    void CheckPixelInputWrite(const OperatorNode* node);
    // Nodes that stand for "(condition) != 0" while a statement is written.
    struct ConditionScratch {
        OperatorNode parentheses;
        OperatorNode comparison;
        LiteralNode zero;
    };
    // The condition as GLSL must see it: an int scalar condition is compared
    // with zero through the caller's scratch nodes.
    const ParserNode* GetBooleanCondition(const ParserNode* condition, ConditionScratch& scratch);

    const char* const* declaration_formats;
    const char* const* variable_formats;
    bool location_layout;
    nArray<const char*> extensions;
    // The vertex input whose semantic is POSITION. Outputs are matched by
    // their own semantic, so the POSITION output may have any name.
    const ShaderVertexInputVariable* position_input;
    // The vertex output whose semantic is POSITION: written to gl_Position.
    const ShaderVertexOutputVariable* position_output;
    // Written in front of the declaration of an int varying; null where the
    // dialect has no int varyings.
    const char* integer_varying_qualifier;
    bool constant_global_initializers_required;
};

class ESSL20Translator : public GLSL21Translator {
public:
    explicit ESSL20Translator(Log& log);

    // The precision block in front of a pixel shader.
    void PostProcess() override;
    // Splits an array initialiser into element assignments.
    void ProcessArrayInitializerList(const OperatorNode* node) override;
    void ProcessFunctionCallNode(const FunctionNode* node) override;
    // Float literals lose their "f".
    void ProcessLiteralNode(const LiteralNode* node) override;
    void ProcessFaceDirectionMemberOperatorNode() override;
    bool IsReservedFunctionName(const char* name) const override;
};

class GLSL31Translator : public GLSL21Translator {
public:
    explicit GLSL31Translator(Log& log);

    nString GetBuiltInFunctionName(const FunctionNode* call) override;
    void ProcessFunctionCallNode(const FunctionNode* node) override;
    void ProcessOperatorNode(const OperatorNode* node) override;
    // "%" is written as it is.
    bool WritesOperatorBetweenOperands(const OperatorNode* node) const override;
    void ProcessInstanceIDMemberOperatorNode() override;
    bool IsReservedFunctionName(const char* name) const override;
};

class ESSL30Translator : public GLSL31Translator {
public:
    explicit ESSL30Translator(Log& log);

    // The precision lines in front of a pixel shader.
    void PostProcess() override;
    bool IsReservedFunctionName(const char* name) const override;
};

}  // namespace ShaderTool
