// The HLSL-family translators. HLSL9Translator writes the shader model 2/3
// dialect (tex2D and friends, VFACE, POSITION and COLOR semantics) and is
// the base of HLSL11Translator (texture objects with sampler states, a
// constant buffer, SV_ semantics), which is the base of PSSLTranslator
// (ConstantBuffer, S_ semantics, its own sampling methods).
//
// Every dialect writes an entry point `main` that takes the stage's input
// structure (VertexInput or PixelInput) and returns its output structure
// (VertexOutput or PixelOutput); the structures, constants and textures are
// declared from the Shader XML after the body is written, because the body
// decides which special inputs the input structure carries.
#pragma once

#include "engine/base/narray.h"
#include "shadertool/translate/hlsl_tables.h"
#include "shadertool/translate/translator.h"

namespace ShaderTool {

class HLSL9Translator : public Translator {
public:
    explicit HLSL9Translator(Log& log);

    void Reset() override;
    // The sampling functions get the texture kind and the level choice:
    // tex2D, texCUBE, tex2Dgrad, tex3Dlod.
    nString GetBuiltInFunctionName(const FunctionNode* call) override;
    void PreprocessShaderInfo(const ShaderInfo& info) override;
    void ProcessFunctionCallNode(const FunctionNode* node) override;
    // Refuses function and parameter names that the dialect reserves, and
    // function names that would overload an intrinsic the text calls
    // (IsReservedFunctionName).
    void ProcessFunctionDefinitionNode(const FunctionNode* node) override;
    void ProcessOperatorNode(const OperatorNode* node) override;
    // Matrix products and comparisons of vectors are written as functions.
    bool WritesOperatorBetweenOperands(const OperatorNode* node) const override;
    void ProcessShaderInfoDeclarations(const ShaderInfo& info) override;
    void ProcessSymbolNode(const SymbolNode* node) override;
    // Global variables are "static": HLSL takes other globals as constants.
    void ProcessVariableSequence(const AggregateNode* node) override;

    virtual void SetFacingDeclaration();
    virtual void SetInstanceIDDeclaration();
    virtual void SetVertexIDDeclaration();
    virtual void ProcessConstants(const nArray<ShaderConstantVariable>& constants);
    virtual void ProcessFaceDirectionMemberOperatorNode();
    virtual void ProcessInstanceIDMemberOperatorNode();
    virtual void ProcessIsFrontFacingMemberOperatorNode();
    virtual void ProcessPixelTextures(const ShaderInfo& info);
    virtual void ProcessVertexIDMemberOperatorNode();
    bool IsReservedFunctionName(const char* name) const override;

    enum { kMaximumTextures = 8 };

protected:
    HLSL9Translator(Log& log, const HLSLDialect& dialect);

    void InitializeFunctionMap();
    nString GetConstantTypeName(const Type& type) const;
    void ProcessSampleTextureLodFunctionCallNode(const FunctionNode* node);
    void ProcessSignFunctionCallNode(const FunctionNode* node);
    // True when the call was written as a cast.
    bool ProcessConstructorFunctionCallNode(const FunctionNode* node);
    // A constructor of one argument of another vector size: HLSL writes it
    // as a cast, "(float4)(x)".
    static bool WritesAsCast(const ParserNode* node);
    void ProcessMainFunctionDefinitionNode(const FunctionNode* node);
    // True when the product was written with mul().
    bool ProcessMultiplyOperatorNode(const OperatorNode* node);
    // True when the member selection was written here.
    bool ProcessMemberOperatorNode(const OperatorNode* node);
    // True for the special members of "input".
    bool ProcessInputMemberOperatorNode(const nString& member);
    // True when an unsigned vertex input was read through its int cast.
    bool ProcessUnsignedVertexInputNode(const nString& member);
    // True when a comparison of vectors or matrices was reduced to one bool.
    bool ProcessComparisonOperatorNode(const OperatorNode* node);
    // True when an element of an int constant array was written with its
    // cast.
    bool ProcessIntegerConstantElementNode(const OperatorNode* node);
    void ProcessVertexInput(const ShaderInfo& info);
    void ProcessVertexOutput(const ShaderInfo& info, const char* structure, bool withFacing, bool leadingLineBreak);
    void ProcessPixelOutput(const ShaderInfo& info);
    // Writes an expression as an operand that must bind at least as tightly
    // as `precedence` (as in C: 12 for "+", 14 for the right side of "*"),
    // in parentheses when it binds less tightly.
    void WriteOperand(const ParserNode* node, int precedence);
    // The name of the constant that holds the texture's reciprocal size,
    // declared in the header on first use.
    nString AddReciprocalTextureDimensionsConstant(const SymbolNode* texture);
    const char* GetMainReturnTypeName() const;
    const char* GetMainParameterTypeName() const;
    nString GetVertexOutputSemanticName(ShaderVertexOutputSemantic semantic, int index) const;
    // Writes an int constant: through a cast where constants are declared
    // with float types.
    void WriteIntegerConstant(const char* name, int vector_size);

    const HLSLDialect& dialect;
    const char* facing_declaration;
    const char* instance_id_declaration;
    const char* vertex_id_declaration;
    const char* target_semantic;
    const char* position_semantic;
    const nArray<ShaderTextureVariable>* pixel_textures;
    // Set in pixel shaders only: a constant may not take the name of a
    // reciprocal texture size.
    const nArray<ShaderConstantVariable>* pixel_constants;
    // The vertex inputs, set in vertex shaders only: bone indices are
    // declared uint4 and read as int4.
    const nArray<ShaderVertexInputVariable>* vertex_inputs;
    bool reciprocal_dimensions_declared[kMaximumTextures];
    const char* constant_buffer_keyword;
};

class HLSL11Translator : public HLSL9Translator {
public:
    explicit HLSL11Translator(Log& log);

    // The warning pragma in front of the text.
    void PostProcess() override;
    void ProcessFunctionCallNode(const FunctionNode* node) override;
    // Bit-wise operators are refused in the low level.
    void CheckOperatorSupport(const OperatorNode* node) override;
    void ProcessConstants(const nArray<ShaderConstantVariable>& constants) override;
    void ProcessPixelTextures(const ShaderInfo& info) override;

    virtual const char* GetSamplerFunctionName(Operator op) const;
    bool IsReservedFunctionName(const char* name) const override;

protected:
    HLSL11Translator(Log& log, const HLSLDialect& dialect);

    // texture.name sampled through its object: _tex_name.Sample(_smp_name, ...).
    void ProcessSampleTextureFunctionCallNode(const FunctionNode* node);
};

class PSSLTranslator : public HLSL11Translator {
public:
    explicit PSSLTranslator(Log& log);

    void ProcessFunctionCallNode(const FunctionNode* node) override;
    // Bit-wise operators at every level.
    void CheckOperatorSupport(const OperatorNode* node) override;

protected:
    // all() and any() take their argument as a bool vector.
    void ProcessAllOrAnyFunctionCallNode(const FunctionNode* node);
};

}  // namespace ShaderTool
