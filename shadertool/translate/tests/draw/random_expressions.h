// Random int and float ZKSL expressions over the operators and built-in
// functions, each with the value it must have, worked out here in double
// precision. An expression is kept only when it has no undefined case (no
// division by zero, no argument outside its function's domain, no
// overflow) and when float rounding on the way cannot move it, nor the
// errors GLSL allows its functions: arguments of floor, frac, int(), step
// and comparisons lie clear of the point where the result jumps, and every
// intermediate value, nudged by a few float steps, leaves the result within
// a quarter of the drawing's tolerance. Every value is worked out at high
// precision on every target, the ES pixel stages' floats and ints included.
//
// Two kinds of expression are left out because the tools on the way to the
// driver mistake them, not the translations: glslang's HLSL front end folds
// all() and any() of a vector of literals wrongly (all(float2(1.25,
// -3.875)) as false; any(int2(4, -10)) in a condition into SPIR-V that is
// not valid), so their arguments are never literals alone.
//
// The leaves are components of two constant arrays (`constants.f[k]` and
// `constants.n[k]`, FLOAT4 and INT4, four elements each) and literals, so
// that most of the work happens when the shader runs.
#pragma once

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace ShaderTool {
namespace draw {

struct RandomExpression {
    std::string text;
    double value = 0;  // an int expression's value is whole
    bool integer = false;
};

// The values of the leaves' constants, element after element.
struct RandomConstants {
    std::vector<double> floats;  // 16
    std::vector<int> ints;       // 16
};

class ExpressionGenerator {
public:
    explicit ExpressionGenerator(uint32_t seed);
    ~ExpressionGenerator();

    // Fresh values for the constants the next expressions read.
    RandomConstants NewConstants();
    RandomExpression Next(const RandomConstants& constants);
    // The built-in functions the expressions may call.
    static std::vector<std::string> FunctionNames();

    struct Node;

private:
    std::mt19937 random;
    int Below(int n);
    double Uniform(double low, double high);
    std::unique_ptr<Node> Make(int type, int depth, const RandomConstants& constants);
    std::unique_ptr<Node> Leaf(int type, const RandomConstants& constants);
    std::unique_ptr<Node> Operation(int type, int depth, const RandomConstants& constants);
};

}  // namespace draw
}  // namespace ShaderTool
