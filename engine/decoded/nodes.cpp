// The functions that compute the nodes of decoded expressions, one for each node code and operand form,
// and the choice among them that the decoder makes for each node.
#include "engine/decoded/nodes.h"

#include "engine/decoded/decode.h"

#include "engine/charindex.h"
#include "engine/dispatch.h"
#include "engine/numericops.h"
#include "engine/stacktags.h"

#include "core/sharedstate.h"
#include "core/valuestack.h"

#include <cmath>
#include <cstdint>
#include <utility>

namespace {

using namespace NodeCode;

// The nodes' functions. Every value travels in the floating-point register the result is returned in:
// an 80-bit value stored and read back at once would wait for the memory round trip at every operation.
Extended LeafValue(const ExprNode* nodes, const ExprNode* n) {
    return ValueOf(nodes, n);
}

Extended LengthValue(const ExprNode*, const ExprNode* n) {
    if (n->Operand.String->Kind != StrVarKind::Variable) return StoppedShort;
    return static_cast<Extended>(CharacterCount(n->Operand.String->Value));
}

Extended ElementNodeValue(const ExprNode* nodes, const ExprNode* n) {
    return ElementValue(n->Operand.Number, LeftOf(nodes, n));
}
Extended ElementLeafValue(const ExprNode*, const ExprNode* n) {
    return ElementValue(n->Operand.Number, *n->Value2);
}

Extended GridElementValue(const ExprNode* nodes, const ExprNode* n) {
    const Extended first = LeftOf(nodes, n);
    const Extended second = RightOf(nodes, n);
    const NumVarType* record = n->Operand.Number;
    const Extended* element =
        record->Kind == NumVarKind::Array ? GridElement(*record, first, second) : nullptr;
    return element ? *element : StoppedShort; // a NaN subscript finds no element
}

Extended SgnValue(const ExprNode* nodes, const ExprNode* n) {
    return Numeric::Sgn<true>(LeftOf(nodes, n));
}
Extended AbsValue(const ExprNode* nodes, const ExprNode* n) {
    return Numeric::Abs(LeftOf(nodes, n));
}
Extended IntValue(const ExprNode* nodes, const ExprNode* n) {
    return Numeric::Int(LeftOf(nodes, n));
}
Extended FixValue(const ExprNode* nodes, const ExprNode* n) {
    return Numeric::Fix(LeftOf(nodes, n));
}
Extended NegateValue(const ExprNode* nodes, const ExprNode* n) {
    return Numeric::Negate(LeftOf(nodes, n));
}
Extended NotValue(const ExprNode* nodes, const ExprNode* n) {
    const Extended x = LeftOf(nodes, n);
    return x == 0 ? 1 : (x == 1 ? 0 : StoppedShort);
}
// A condition's value as a truth: 1 or 0, or -1 when it stopped short.
[[gnu::always_inline]] inline int TruthOf(Extended condition) {
    if (IsStoppedShort(condition)) return -1;
    return condition != 0 ? 1 : 0;
}
// AND or OR (the node code) of two conditions. The left one is made a truth before the right one is
// computed: an 80-bit value live across that call would be stored and read back.
// With `Compared`, both are comparisons, which are never leaves: each is computed by its function at once.
template <std::uint8_t Logic, bool Compared = false>
Extended LogicValue(const ExprNode* nodes, const ExprNode* n) {
    static_assert(Logic == And || Logic == Or, "a logical node");
    const ExprNode* left = nodes + n->Left;
    const int a = TruthOf(Compared ? left->Run(nodes, left) : ValueOf(nodes, left));
    const ExprNode* right = nodes + n->Right;
    const int b = TruthOf(Compared ? right->Run(nodes, right) : ValueOf(nodes, right));
    if ((a | b) < 0) return StoppedShort;
    return Logic == And ? (a & b) : (a | b);
}

// Whether node `at` of the decoded nodes is a comparison of two numbers.
bool IsComparisonNode(std::int32_t at) {
    if (at < 0 || static_cast<std::size_t>(at) >= DecodedNodes.size()) return false;
    const std::uint8_t code = DecodedNodes[static_cast<std::size_t>(at)].Code;
    return code >= Binary(Equal, 0) && code < Binary(BinaryCount, 0);
}

// The value of built-in function `code` of `count` arguments, worked out by its general executor on the
// Gl stack; StoppedShort when it raised an error or gave no finite number. Such a function does nothing
// but compute (CalledFunctionArity), so a call that failed is undone here, the stacks and the error as
// they were, and the statement's items then run one by one and raise it where the general path does.
Extended CalledFunctionValue(int code, const Extended* arguments, int count) {
    const int tags = Vs.GlTypeStack.Count;
    const int numbers = Vs.GlNumStack.Count;
    const int strings = Vs.GlStrStack.Count;
    const int booleans = Vs.GlBoolStack.Count;
    const int nameIndex = Fe.ErrorNameIndex;
    for (int k = 0; k < count; ++k)
        PushNumber(arguments[k]);
    if (Fe.ErrorNumber == 0) ExecuteFunction(code);
    Extended result = StoppedShort;
    if (Fe.ErrorNumber == 0 && Vs.GlTypeStack.Count == tags + 1 && Vs.GlNumStack.Count == numbers + 1 &&
        IsNumberTag(Vs.GlTypeStack.Items.data()[tags + 1])) {
        const Extended value = Vs.GlNumStack.Items.data()[numbers + 1];
        if (std::isfinite(value)) result = value;
    }
    Vs.GlTypeStack.Count = tags;
    Vs.GlNumStack.Count = numbers;
    Vs.GlStrStack.Count = strings;
    Vs.GlBoolStack.Count = booleans;
    if (Fe.ErrorNumber != 0) {
        Fe.ErrorNumber = 0;
        Fe.ErrorNameIndex = nameIndex;
    }
    return result;
}

// Call1 and Call2: the arguments first, each of which may stop short.
template <int Arity> Extended CallValue(const ExprNode* nodes, const ExprNode* n) {
    Extended arguments[Arity];
    arguments[0] = LeftOf(nodes, n);
    if constexpr (Arity == 2) arguments[1] = RightOf(nodes, n);
    for (const Extended argument : arguments)
        if (IsStoppedShort(argument)) return StoppedShort;
    return CalledFunctionValue(n->Function, arguments, Arity);
}

// Where a binary node's operand is: a child node, a leaf read through its pointer (a variable, or a
// literal a double cannot hold), or the node's literal held as a double.
enum class Where : std::uint8_t { Node, Pointer, Small };

template <Where W>
[[gnu::always_inline]] inline Extended LeftOperand(const ExprNode* nodes, const ExprNode* n) {
    if constexpr (W == Where::Node)
        return LeftOf(nodes, n);
    else if constexpr (W == Where::Pointer)
        return *n->Operand.Value;
    else
        return n->Literal64;
}
template <Where W>
[[gnu::always_inline]] inline Extended RightOperand(const ExprNode* nodes, const ExprNode* n) {
    if constexpr (W == Where::Node)
        return RightOf(nodes, n);
    else if constexpr (W == Where::Pointer)
        return *n->Value2;
    else
        return n->Literal64;
}

// A child node is computed before any leaf is read, so no value is live across its call.
template <std::uint8_t Op, Where L, Where R> Extended BinaryValue(const ExprNode* nodes, const ExprNode* n) {
    if constexpr (R == Where::Node && L != Where::Node) {
        const Extended b = RightOperand<R>(nodes, n);
        return Apply<Op>(LeftOperand<L>(nodes, n), b);
    } else {
        const Extended a = LeftOperand<L>(nodes, n);
        return Apply<Op>(a, RightOperand<R>(nodes, n));
    }
}

// v MOD d or v \ d of a variable by a whole literal d in (0, WholeOperandLimit), which the decoder
// checked (IsWholeDivisor): the divisor converted from its double exactly, without the divisor's
// tests and conversion through the x87 unit that Apply makes for any operand.
template <std::uint8_t Op> [[gnu::always_inline]] inline Extended WholeDivisionOf(const ExprNode* n) {
    static_assert(Op == Modulo || Op == IntDivide, "MOD or \\");
    const Extended a = *n->Operand.Value;
    if (!(std::fabs(a) < Numeric::WholeOperandLimit)) return StoppedShort;
    const std::int64_t dividend = NearestInteger(a);
    if (static_cast<Extended>(dividend) != a) return StoppedShort; // not whole: the operator's error
    return static_cast<Extended>(
        Numeric::WholeQuotient(Op == Modulo, dividend, static_cast<std::int64_t>(n->Literal64)));
}

template <std::uint8_t Op> Extended WholeDivisionByLiteral(const ExprNode*, const ExprNode* n) {
    return WholeDivisionOf<Op>(n);
}

// A comparison of v MOD d (WholeDivisionByLiteral's) with a literal, as in I MOD 3 = 0: the remainder
// worked out in the comparison's own call.
template <std::uint8_t Op> Extended RemainderComparedValue(const ExprNode* nodes, const ExprNode* n) {
    return Apply<Op>(WholeDivisionOf<Modulo>(nodes + n->Left), n->Literal64);
}
template <std::size_t... Ops>
constexpr NodeFunction RemainderComparedOf(std::uint8_t op, std::index_sequence<Ops...>) {
    NodeFunction result = nullptr;
    ((op == Ops ? (result = RemainderComparedValue<static_cast<std::uint8_t>(Equal + Ops)>, 0) : 0), ...);
    return result;
}

// Whether a literal divisor is one WholeDivisionByLiteral takes.
bool IsWholeDivisor(double literal) {
    return literal > 0 && literal < static_cast<double>(Numeric::WholeOperandLimit) &&
           literal == std::trunc(literal);
}

Extended NoValue(const ExprNode*, const ExprNode*) {
    return StoppedShort;
}

template <std::uint8_t Op> constexpr NodeFunction BinaryFunction(std::uint8_t form, bool small) {
    constexpr Where N = Where::Node, P = Where::Pointer, S = Where::Small;
    switch (form) {
    case NodeNode: return BinaryValue<Op, N, N>;
    case NodeLiteral: return small ? BinaryValue<Op, N, S> : BinaryValue<Op, N, P>;
    case NodeVariable: return BinaryValue<Op, N, P>;
    case LiteralNode: return small ? BinaryValue<Op, S, N> : BinaryValue<Op, P, N>;
    case VariableNode: return BinaryValue<Op, P, N>;
    case LiteralVariable: return small ? BinaryValue<Op, S, P> : BinaryValue<Op, P, P>;
    case VariableLiteral: return small ? BinaryValue<Op, P, S> : BinaryValue<Op, P, P>;
    default: return BinaryValue<Op, P, P>; // VariableVariable
    }
}

template <std::size_t... Ops>
constexpr NodeFunction BinaryFunctionOf(std::uint8_t op, std::uint8_t form, bool small,
                                        std::index_sequence<Ops...>) {
    NodeFunction result = NoValue;
    ((op == Ops ? (result = BinaryFunction<static_cast<std::uint8_t>(Ops)>(form, small), 0) : 0), ...);
    return result;
}

} // namespace

NodeFunction NodeFunctionOf(const ExprNode& node) {
    const std::uint8_t code = node.Code;
    switch (code) {
    case Literal:
    case Variable:
    case SmallLiteral: return LeafValue;
    case Length: return LengthValue;
    case Element: return ElementNodeValue;
    case ElementOfLeaf: return ElementLeafValue;
    case Sgn: return SgnValue;
    case Abs: return AbsValue;
    case Int: return IntValue;
    case Fix: return FixValue;
    case Negate: return NegateValue;
    case Not: return NotValue;
    case And:
        return IsComparisonNode(node.Left) && IsComparisonNode(node.Right) ? LogicValue<And, true>
                                                                           : LogicValue<And>;
    case Or:
        return IsComparisonNode(node.Left) && IsComparisonNode(node.Right) ? LogicValue<Or, true>
                                                                           : LogicValue<Or>;
    case Call1: return CallValue<1>;
    case Call2: return CallValue<2>;
    case Element2: return GridElementValue;
    default: break;
    }
    if (code < BinaryBase || code >= BinaryBase + BinaryCount * FormCount) return NoValue;
    if (node.Small && IsWholeDivisor(node.Literal64)) {
        if (code == Binary(Modulo, VariableLiteral)) return WholeDivisionByLiteral<Modulo>;
        if (code == Binary(IntDivide, VariableLiteral)) return WholeDivisionByLiteral<IntDivide>;
    }
    const auto op = static_cast<std::uint8_t>((code - BinaryBase) / FormCount);
    const auto form = static_cast<std::uint8_t>((code - BinaryBase) % FormCount);
    if (Numeric::IsComparison(op) && form == NodeLiteral && node.Small &&
        node.Left < static_cast<std::int32_t>(DecodedNodes.size())) {
        const ExprNode& left = DecodedNodes[static_cast<std::size_t>(node.Left)];
        if (left.Code == Binary(Modulo, VariableLiteral) && left.Small && IsWholeDivisor(left.Literal64))
            return RemainderComparedOf(static_cast<std::uint8_t>(op - Equal),
                                       std::make_index_sequence<NumberOp::Count - Equal>{});
    }
    return BinaryFunctionOf(op, form, node.Small, std::make_index_sequence<BinaryCount>{});
}
