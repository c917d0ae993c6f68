#include "shadertool/translate/tests/draw/random_expressions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include "shadertool/translate/tests/draw/draw_file.h"

namespace ShaderTool {
namespace draw {

namespace {

enum Kind { FLOAT, INT, BOOL };

constexpr int kMaxDepth = 4;
constexpr double kLargest = 1000.0;      // no value, float or int, grows past this
constexpr double kMargin = 1.0 / 1000;   // how far a jump must lie from an argument
constexpr double kNudge = 1.0 / 262144;  // a few float steps, relative
constexpr int kNudges = 6;
constexpr int kTries = 40;

// How a function call is written and what it gives, on scalar arguments
// that the call gathers into vectors where the function takes them.
struct Function {
    const char* name;
    int arguments;
    const char* format;  // %s for each argument in turn
    int argument_kind;   // FLOAT, or INT for all() and any() of ints
    int result;
    // The result, or false outside the function's domain.
    std::function<bool(const double* a, double* result)> evaluate;
};

constexpr double kTrigonometricError = 1.0 / 2048;
constexpr double kExponentialError = 1.0 / 65536;

// How far a driver's result may stray (GLSL's precision rules: 4096 float
// steps, or 2^-11 near 0, for the trigonometric functions and their
// inverses; a few steps growing with the argument for exp and log and what
// is made of them; a few for the rest).
double ErrorOf(const std::string& name) {
    for (const char* f : {"acos", "asin", "atan", "atan2", "cos", "sin", "tan"})
        if (name == f) return kTrigonometricError;
    for (const char* f : {"exp", "exp2", "log", "log2", "pow"})
        if (name == f) return kExponentialError;
    return kNudge;
}

bool ClearOfWholeNumbers(double x) { return std::fabs(x - std::round(x)) >= kMargin * std::max(1.0, std::fabs(x)); }
bool NotNearZero(double x) { return std::fabs(x) >= kMargin; }

const std::vector<Function>& Functions() {
    static const std::vector<Function> functions = {
        {"abs", 1, "abs(%s)", FLOAT, FLOAT, [](const double* a, double* r) { return *r = std::fabs(a[0]), true; }},
        {"acos", 1, "acos(%s)", FLOAT, FLOAT,
         [](const double* a, double* r) { return std::fabs(a[0]) <= 0.95 && (*r = std::acos(a[0]), true); }},
        {"asin", 1, "asin(%s)", FLOAT, FLOAT,
         [](const double* a, double* r) { return std::fabs(a[0]) <= 0.95 && (*r = std::asin(a[0]), true); }},
        {"atan", 1, "atan(%s)", FLOAT, FLOAT, [](const double* a, double* r) { return *r = std::atan(a[0]), true; }},
        {"atan2", 2, "atan2(%s, %s)", FLOAT, FLOAT,
         [](const double* a, double* r) {
             // Not at the origin, and clear of the cut along negative x.
             if (std::hypot(a[0], a[1]) < 0.1 || (a[1] < 0 && std::fabs(a[0]) < 0.05)) return false;
             return *r = std::atan2(a[0], a[1]), true;
         }},
        {"ceil", 1, "ceil(%s)", FLOAT, FLOAT,
         [](const double* a, double* r) { return ClearOfWholeNumbers(a[0]) && (*r = std::ceil(a[0]), true); }},
        {"clamp", 3, "clamp(%s, %s, %s)", FLOAT, FLOAT,
         [](const double* a, double* r) {
             return a[1] <= a[2] && (*r = std::min(std::max(a[0], a[1]), a[2]), true);
         }},
        {"cos", 1, "cos(%s)", FLOAT, FLOAT,
         [](const double* a, double* r) { return std::fabs(a[0]) <= 8 && (*r = std::cos(a[0]), true); }},
        {"cross", 6, "cross(float3(%s, %s, %s), float3(%s, %s, %s)).y", FLOAT, FLOAT,
         [](const double* a, double* r) { return *r = a[2] * a[3] - a[0] * a[5], true; }},
        {"degrees", 1, "degrees(%s)", FLOAT, FLOAT,
         [](const double* a, double* r) { return *r = a[0] * 180.0 / M_PI, true; }},
        {"distance", 4, "distance(float2(%s, %s), float2(%s, %s))", FLOAT, FLOAT,
         [](const double* a, double* r) { return *r = std::hypot(a[0] - a[2], a[1] - a[3]), *r >= 0.05; }},
        {"dot", 6, "dot(float3(%s, %s, %s), float3(%s, %s, %s))", FLOAT, FLOAT,
         [](const double* a, double* r) { return *r = a[0] * a[3] + a[1] * a[4] + a[2] * a[5], true; }},
        {"exp", 1, "exp(%s)", FLOAT, FLOAT,
         [](const double* a, double* r) { return a[0] <= 4 && (*r = std::exp(a[0]), true); }},
        {"exp2", 1, "exp2(%s)", FLOAT, FLOAT,
         [](const double* a, double* r) { return a[0] <= 6 && (*r = std::exp2(a[0]), true); }},
        {"floor", 1, "floor(%s)", FLOAT, FLOAT,
         [](const double* a, double* r) { return ClearOfWholeNumbers(a[0]) && (*r = std::floor(a[0]), true); }},
        {"frac", 1, "frac(%s)", FLOAT, FLOAT,
         [](const double* a, double* r) { return ClearOfWholeNumbers(a[0]) && (*r = a[0] - std::floor(a[0]), true); }},
        {"length", 3, "length(float3(%s, %s, %s))", FLOAT, FLOAT,
         [](const double* a, double* r) { return *r = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]), *r >= 0.05; }},
        {"lerp", 3, "lerp(%s, %s, %s)", FLOAT, FLOAT,
         [](const double* a, double* r) { return *r = a[0] + (a[1] - a[0]) * a[2], true; }},
        {"log", 1, "log(%s)", FLOAT, FLOAT,
         [](const double* a, double* r) { return a[0] >= 0.05 && (*r = std::log(a[0]), true); }},
        {"log2", 1, "log2(%s)", FLOAT, FLOAT,
         [](const double* a, double* r) { return a[0] >= 0.05 && (*r = std::log2(a[0]), true); }},
        {"max", 2, "max(%s, %s)", FLOAT, FLOAT, [](const double* a, double* r) { return *r = std::max(a[0], a[1]), true; }},
        {"min", 2, "min(%s, %s)", FLOAT, FLOAT, [](const double* a, double* r) { return *r = std::min(a[0], a[1]), true; }},
        {"normalize", 2, "normalize(float2(%s, %s)).x", FLOAT, FLOAT,
         [](const double* a, double* r) {
             double length = std::hypot(a[0], a[1]);
             return length >= 0.25 && (*r = a[0] / length, true);
         }},
        {"pow", 2, "pow(%s, %s)", FLOAT, FLOAT,
         [](const double* a, double* r) {
             return a[0] >= 0.1 && std::fabs(a[1]) <= 3 && (*r = std::pow(a[0], a[1]), true);
         }},
        {"radians", 1, "radians(%s)", FLOAT, FLOAT,
         [](const double* a, double* r) { return *r = a[0] * M_PI / 180.0, true; }},
        {"reflect", 4, "reflect(float2(%s, %s), float2(%s, %s)).x", FLOAT, FLOAT,
         [](const double* a, double* r) { return *r = a[0] - 2 * (a[0] * a[2] + a[1] * a[3]) * a[2], true; }},
        {"rsqrt", 1, "rsqrt(%s)", FLOAT, FLOAT,
         [](const double* a, double* r) { return a[0] >= 0.05 && (*r = 1 / std::sqrt(a[0]), true); }},
        {"saturate", 1, "saturate(%s)", FLOAT, FLOAT,
         [](const double* a, double* r) { return *r = std::min(std::max(a[0], 0.0), 1.0), true; }},
        {"sign", 1, "sign(%s)", FLOAT, FLOAT,
         [](const double* a, double* r) { return NotNearZero(a[0]) && (*r = a[0] > 0 ? 1 : -1, true); }},
        {"sin", 1, "sin(%s)", FLOAT, FLOAT,
         [](const double* a, double* r) { return std::fabs(a[0]) <= 8 && (*r = std::sin(a[0]), true); }},
        {"smoothstep", 3, "smoothstep(%s, %s, %s)", FLOAT, FLOAT,
         [](const double* a, double* r) {
             if (a[1] - a[0] < 0.1) return false;
             double t = std::min(std::max((a[2] - a[0]) / (a[1] - a[0]), 0.0), 1.0);
             return *r = t * t * (3 - 2 * t), true;
         }},
        {"sqrt", 1, "sqrt(%s)", FLOAT, FLOAT,
         [](const double* a, double* r) { return a[0] >= 0.01 && (*r = std::sqrt(a[0]), true); }},
        {"step", 2, "step(%s, %s)", FLOAT, FLOAT,
         [](const double* a, double* r) {
             return std::fabs(a[1] - a[0]) >= kMargin && (*r = a[1] >= a[0] ? 1 : 0, true);
         }},
        {"tan", 1, "tan(%s)", FLOAT, FLOAT,
         [](const double* a, double* r) {
             return std::fabs(a[0]) <= 1.4 && (*r = std::tan(a[0]), true);
         }},
        {"all", 2, "all(float2(%s, %s))", FLOAT, BOOL,
         [](const double* a, double* r) {
             return NotNearZero(a[0]) && NotNearZero(a[1]) && (*r = 1, true);
         }},
        {"any", 2, "any(float2(%s, %s))", FLOAT, BOOL,
         [](const double* a, double* r) { return (NotNearZero(a[0]) || NotNearZero(a[1])) && (*r = 1, true); }},
        {"all", 2, "all(int2(%s, %s))", INT, BOOL,
         [](const double* a, double* r) { return *r = a[0] != 0 && a[1] != 0, true; }},
        {"any", 2, "any(int2(%s, %s))", INT, BOOL,
         [](const double* a, double* r) { return *r = a[0] != 0 || a[1] != 0, true; }},
    };
    return functions;
}

// Operators, by the kind of their operands and result, with C's precedence.
struct Operator {
    const char* symbol;
    int operands;  // 1 prefix, 2 infix, 3 ?:
    int operand_kind;
    int result;
    int precedence;
};

const Operator kOperators[] = {
    {"+", 2, FLOAT, FLOAT, 12}, {"-", 2, FLOAT, FLOAT, 12}, {"*", 2, FLOAT, FLOAT, 13}, {"/", 2, FLOAT, FLOAT, 13},
    {"-", 1, FLOAT, FLOAT, 14}, {"?:", 3, FLOAT, FLOAT, 3},  {"float()", 1, INT, FLOAT, 15},
    {"+", 2, INT, INT, 12},     {"-", 2, INT, INT, 12},     {"*", 2, INT, INT, 13},     {"/", 2, INT, INT, 13},
    {"%", 2, INT, INT, 13},     {"-", 1, INT, INT, 14},     {"?:", 3, INT, INT, 3},      {"int()", 1, FLOAT, INT, 15},
    {"<", 2, FLOAT, BOOL, 10},  {">=", 2, FLOAT, BOOL, 10}, {"<", 2, INT, BOOL, 10},     {">", 2, INT, BOOL, 10},
    {"<=", 2, INT, BOOL, 10},   {">=", 2, INT, BOOL, 10},   {"==", 2, INT, BOOL, 9},     {"!=", 2, INT, BOOL, 9},
    {"&&", 2, BOOL, BOOL, 5},   {"||", 2, BOOL, BOOL, 4},   {"!", 1, BOOL, BOOL, 14},
};

}  // namespace

struct ExpressionGenerator::Node {
    int kind = FLOAT;
    const Operator* op = nullptr;        // or
    const Function* function = nullptr;  // or a leaf:
    double value = 0;
    std::string text;
    std::vector<std::unique_ptr<Node>> arguments;

    // Made of literals alone: what a compiler works out before the shader runs.
    bool IsLiteral() const {
        if (!op && !function) return text.compare(0, 10, "constants.") != 0;
        return std::all_of(arguments.begin(), arguments.end(), [](const auto& a) { return a->IsLiteral(); });
    }
};

namespace {

using Node = ExpressionGenerator::Node;

// Moves each float value on the way by as much as rounding, or a
// function's own error, might: relatively, and for the small values of the
// trigonometric functions by as much absolutely.
struct Nudge {
    std::mt19937* random;
    double Apply(double x, double error) const {
        double step = error * std::max(std::fabs(x), error == kTrigonometricError ? 1.0 : 0.0);
        return x + step * (static_cast<double>((*random)()) / 4294967295.0 * 2 - 1);
    }
};

bool Evaluate(const Node& node, const Nudge* nudge, double* result);

bool EvaluateOperator(const Node& node, const Nudge* nudge, double* r) {
    double a[3] = {};
    for (size_t i = 0; i < node.arguments.size(); ++i)
        if (!Evaluate(*node.arguments[i], nudge, &a[i])) return false;
    std::string s = node.op->symbol;
    bool floats = node.op->operand_kind == FLOAT;
    double gap = std::fabs(a[0] - a[1]);
    if (s == "?:") return *r = a[0] != 0 ? a[1] : a[2], true;
    if (s == "float()") return *r = a[0], true;
    if (s == "int()") return ClearOfWholeNumbers(a[0]) && (*r = std::trunc(a[0]), true);
    if (s == "!") return *r = a[0] == 0, true;
    if (s == "-" && node.op->operands == 1) return *r = -a[0], true;
    if (s == "+") return *r = a[0] + a[1], true;
    if (s == "-") return *r = a[0] - a[1], true;
    if (s == "*") return *r = a[0] * a[1], true;
    if (s == "/" && floats) return std::fabs(a[1]) >= 0.25 && (*r = a[0] / a[1], true);
    // Int division and remainder of negative operands differ between the
    // languages: only non-negative ones.
    if (s == "/") return a[0] >= 0 && a[1] >= 1 && (*r = std::trunc(a[0] / a[1]), true);
    if (s == "%") return a[0] >= 0 && a[1] >= 1 && (*r = std::fmod(a[0], a[1]), true);
    if (floats && gap < kMargin * std::max({1.0, std::fabs(a[0]), std::fabs(a[1])})) return false;
    if (s == "<") return *r = a[0] < a[1], true;
    if (s == ">") return *r = a[0] > a[1], true;
    if (s == "<=") return *r = a[0] <= a[1], true;
    if (s == ">=") return *r = a[0] >= a[1], true;
    if (s == "==") return *r = a[0] == a[1], true;
    if (s == "!=") return *r = a[0] != a[1], true;
    if (s == "&&") return *r = a[0] != 0 && a[1] != 0, true;
    if (s == "||") return *r = a[0] != 0 || a[1] != 0, true;
    return false;
}

bool Evaluate(const Node& node, const Nudge* nudge, double* result) {
    double r = node.value;
    if (node.op) {
        if (!EvaluateOperator(node, nudge, &r)) return false;
    } else if (node.function) {
        double a[6] = {};
        for (size_t i = 0; i < node.arguments.size(); ++i)
            if (!Evaluate(*node.arguments[i], nudge, &a[i])) return false;
        if (!node.function->evaluate(a, &r)) return false;
    }
    if (!std::isfinite(r) || std::fabs(r) > kLargest) return false;
    double error = node.function ? ErrorOf(node.function->name) : kNudge;
    *result = nudge && node.kind == FLOAT ? nudge->Apply(r, error) : r;
    return true;
}

int Precedence(const Node& node) { return node.op ? node.op->precedence : 15; }

std::string Print(const Node& node);

// An operand in parentheses where the operator would otherwise take less
// of it than it should; the right operand of a left-associative operator
// of the same precedence too.
std::string Operand(const Node& operand, int precedence, bool right) {
    std::string text = Print(operand);
    int inner = Precedence(operand);
    bool wrap = inner < precedence || (right && inner == precedence) || (precedence == 14 && text[0] == '-');
    return wrap ? "(" + text + ")" : text;
}

std::string Print(const Node& node) {
    if (node.function) {
        std::string text;
        const char* f = node.function->format;
        size_t argument = 0;
        for (; *f; ++f) {
            if (f[0] == '%' && f[1] == 's') {
                text += Print(*node.arguments[argument++]);
                ++f;
            } else {
                text += *f;
            }
        }
        return text;
    }
    if (!node.op) return node.text;
    const Operator& op = *node.op;
    const auto& a = node.arguments;
    std::string s = op.symbol;
    if (s == "float()" || s == "int()") return s.substr(0, s.size() - 2) + "(" + Print(*a[0]) + ")";
    if (s == "?:")
        return Operand(*a[0], 4, false) + " ? " + Operand(*a[1], 4, false) + " : " + Operand(*a[2], 4, false);
    if (op.operands == 1) return s + Operand(*a[0], op.precedence, false);
    return Operand(*a[0], op.precedence, false) + " " + s + " " + Operand(*a[1], op.precedence, true);
}

std::string FloatLiteral(double value) {
    char text[32];
    snprintf(text, sizeof text, "%.3f", value);
    std::string literal = text;
    while (literal.size() > 1 && literal.back() == '0' && literal[literal.size() - 2] != '.') literal.pop_back();
    return value < 0 ? "(" + literal + ")" : literal;
}

}  // namespace

ExpressionGenerator::ExpressionGenerator(uint32_t seed) : random(seed) {}
ExpressionGenerator::~ExpressionGenerator() = default;

int ExpressionGenerator::Below(int n) { return static_cast<int>(random() % static_cast<uint32_t>(n)); }

double ExpressionGenerator::Uniform(double low, double high) {
    return low + (high - low) * (static_cast<double>(random()) / 4294967295.0);
}

RandomConstants ExpressionGenerator::NewConstants() {
    RandomConstants constants;
    for (int i = 0; i < 16; ++i) {
        constants.floats.push_back((Below(65) - 32) / 8.0);  // eighths from -4 to 4, exact in a float
        constants.ints.push_back(Below(41) - 20);
    }
    return constants;
}

std::unique_ptr<ExpressionGenerator::Node> ExpressionGenerator::Leaf(int kind, const RandomConstants& constants) {
    auto node = std::make_unique<Node>();
    node->kind = kind;
    static const char* const kComponents = "xyzw";
    int index = Below(16);
    bool literal = Below(4) == 0;
    if (kind == BOOL) {
        node->value = Below(2);
        node->text = node->value ? "true" : "false";
    } else if (kind == FLOAT) {
        node->value = literal ? (Below(65) - 32) / 8.0 : constants.floats[static_cast<size_t>(index)];
        node->text = literal ? FloatLiteral(node->value)
                             : "constants.f[" + std::to_string(index / 4) + "]." + kComponents[index % 4];
    } else {
        node->value = literal ? Below(21) - 10 : constants.ints[static_cast<size_t>(index)];
        node->text = literal ? (node->value < 0 ? "(" + std::to_string(static_cast<int>(node->value)) + ")"
                                                : std::to_string(static_cast<int>(node->value)))
                             : "constants.n[" + std::to_string(index / 4) + "]." + kComponents[index % 4];
    }
    return node;
}

std::unique_ptr<ExpressionGenerator::Node> ExpressionGenerator::Operation(int kind, int depth,
                                                                          const RandomConstants& constants) {
    auto node = std::make_unique<Node>();
    node->kind = kind;
    std::vector<const Function*> functions;
    for (const Function& f : Functions())
        if (f.result == kind) functions.push_back(&f);
    std::vector<const Operator*> operators;
    for (const Operator& op : kOperators)
        if (op.result == kind) operators.push_back(&op);
    // Functions and operators alike often, so every function is met.
    if (!functions.empty() && Below(2) == 0) {
        node->function = functions[static_cast<size_t>(Below(static_cast<int>(functions.size())))];
        for (int i = 0; i < node->function->arguments; ++i)
            node->arguments.push_back(Make(node->function->argument_kind, depth - 1, constants));
        return node;
    }
    node->op = operators[static_cast<size_t>(Below(static_cast<int>(operators.size())))];
    if (std::string(node->op->symbol) == "?:") {
        node->arguments.push_back(Make(BOOL, depth - 1, constants));
        node->arguments.push_back(Make(kind, depth - 1, constants));
        node->arguments.push_back(Make(kind, depth - 1, constants));
    } else {
        for (int i = 0; i < node->op->operands; ++i)
            node->arguments.push_back(Make(node->op->operand_kind, depth - 1, constants));
    }
    return node;
}

// A node of the kind whose value is defined and steady (see the header);
// a leaf when no try gives one.
std::unique_ptr<ExpressionGenerator::Node> ExpressionGenerator::Make(int kind, int depth,
                                                                     const RandomConstants& constants) {
    // The root is an operation; below it a leaf comes now and then.
    if (depth <= 0 || (depth < kMaxDepth && Below(3) == 0)) return Leaf(kind, constants);
    for (int attempt = 0; attempt < kTries; ++attempt) {
        std::unique_ptr<Node> node = Operation(kind, depth, constants);
        if (node->function && node->function->result == BOOL && node->IsLiteral()) continue;
        double exact = 0;
        if (!Evaluate(*node, nullptr, &exact)) continue;
        bool steady = true;
        Nudge nudge{&random};
        for (int i = 0; i < kNudges && steady; ++i) {
            double nudged = 0;
            steady = Evaluate(*node, &nudge, &nudged) && std::fabs(nudged - exact) <= kTolerance / 4;
        }
        if (steady) return node;
    }
    return Leaf(kind, constants);
}

RandomExpression ExpressionGenerator::Next(const RandomConstants& constants) {
    RandomExpression expression;
    expression.integer = Below(3) == 0;
    std::unique_ptr<Node> node = Make(expression.integer ? INT : FLOAT, kMaxDepth, constants);
    Evaluate(*node, nullptr, &expression.value);
    expression.text = Print(*node);
    return expression;
}

std::vector<std::string> ExpressionGenerator::FunctionNames() {
    std::vector<std::string> names;
    for (const Function& f : Functions()) names.push_back(f.name);
    return names;
}

}  // namespace draw
}  // namespace ShaderTool
