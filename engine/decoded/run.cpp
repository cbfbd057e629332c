#include "engine/decoded/run.h"

#include "engine/calls.h"
#include "engine/decoded/calls.h"
#include "engine/fastaccess.h"
#include "engine/decoded/decode.h"
#include "engine/strfunctions.h"
#include "frontend/itembuffers.h"
#include "frontend/sharedstate.h"
#include "frontend/tables.h"
#include "frontend/valuestack.h"

#include <atomic>
#include <cstring>
#include <limits>
#include <utility>

namespace {

using namespace NodeCode;

static_assert(std::numeric_limits<Extended>::digits == 64, "Extended is the 80-bit format");

// Whether the 80-bit number at `value` is finite, read from its sign and exponent word (the last two
// of its ten bytes): an infinity or a NaN has every exponent bit set.
[[gnu::always_inline]] inline bool IsFiniteImage(const Extended* value) {
    constexpr std::size_t ExponentAt = 8;
    constexpr std::uint16_t ExponentBits = 0x7fff;
    std::uint16_t word = 0;
    std::memcpy(&word, reinterpret_cast<const unsigned char*>(value) + ExponentAt, sizeof word);
    return (word & ExponentBits) != ExponentBits;
}

// A leaf's value copied as its bytes (read into the x87 unit and stored again, it would wait for the
// 80-bit store on its way); false, and nothing copied, when it is not finite.
[[gnu::always_inline]] inline bool CopyFinite(Extended* to, const Extended* from) {
    if (!IsFiniteImage(from)) return false;
    CopyNumber(to, from);
    return true;
}

// The value of node `n`: a leaf read at once, any other node through its function. A call with an
// 80-bit value live around it stores and reloads that value (the calling convention keeps no
// floating-point register across a call), so leaves are never reached by a call.
[[gnu::always_inline]] inline Extended ValueOf(const ExprNode* nodes, const ExprNode* n) {
    if (n->Code <= Variable) return *n->Operand.Value;
    if (n->Code == SmallLiteral) return n->Literal64;
    return n->Run(nodes, n);
}
[[gnu::always_inline]] inline Extended LeftOf(const ExprNode* nodes, const ExprNode* n) {
    return ValueOf(nodes, nodes + n->Left);
}
[[gnu::always_inline]] inline Extended RightOf(const ExprNode* nodes, const ExprNode* n) {
    return ValueOf(nodes, nodes + n->Right);
}

// The nodes' functions. Every value travels in the floating-point register the result is returned in:
// an 80-bit value stored and read back at once would wait for the memory round trip at every operation.
Extended LeafValue(const ExprNode* nodes, const ExprNode* n) {
    return ValueOf(nodes, n);
}

Extended LengthValue(const ExprNode*, const ExprNode* n) {
    if (n->Operand.String->Kind != StrVarKind::Variable) return StoppedShort;
    return static_cast<Extended>(CharacterCount(n->Operand.String->Value));
}

[[gnu::always_inline]] inline Extended ElementValue(const NumVarType* record, Extended subscript) {
    const Extended* element = record->Kind == NumVarKind::Array ? SimpleElement(*record, subscript) : nullptr;
    return element ? *element : StoppedShort; // a NaN subscript finds no element
}
Extended ElementNodeValue(const ExprNode* nodes, const ExprNode* n) {
    return ElementValue(n->Operand.Number, LeftOf(nodes, n));
}
Extended ElementLeafValue(const ExprNode*, const ExprNode* n) {
    return ElementValue(n->Operand.Number, *n->Value2);
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
template <bool IsAnd> Extended LogicValue(const ExprNode* nodes, const ExprNode* n) {
    const Extended a = LeftOf(nodes, n);
    const Extended b = RightOf(nodes, n);
    if (__builtin_isunordered(a, b)) return StoppedShort;
    return (IsAnd ? (a != 0 && b != 0) : (a != 0 || b != 0)) ? 1 : 0;
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
    case And: return LogicValue<true>;
    case Or: return LogicValue<false>;
    default: break;
    }
    if (code < BinaryBase || code >= BinaryBase + BinaryCount * FormCount) return NoValue;
    const auto op = static_cast<std::uint8_t>((code - BinaryBase) / FormCount);
    const auto form = static_cast<std::uint8_t>((code - BinaryBase) % FormCount);
    return BinaryFunctionOf(op, form, node.Small, std::make_index_sequence<BinaryCount>{});
}

namespace {

// ValueOf that also works out + - * of a variable and a small literal at once: a FOR loop's limit
// such as N - 1, evaluated at every step, or a subscript such as I + 1.
// CallFree: the caller knows the node is one of these or a leaf (IsInlineOperand), so no call is
// compiled in: a floating-point value live around a call would be stored and reloaded.
// Known: the node's variable (the caller knows it has one) holds `known`, which is read instead.
template <bool CallFree = false, bool Known = false>
[[gnu::always_inline]] inline Extended OperandOf(const ExprNode* nodes, const ExprNode* n,
                                                 Extended known = 0) {
    static_assert(CallFree || !Known, "a known variable only in the forms without a call");
    if (n->Small) {
        switch (n->Code) {
        case Binary(Add, VariableLiteral): return Apply<Add>(Known ? known : *n->Operand.Value, n->Literal64);
        case Binary(Subtract, VariableLiteral):
            return Apply<Subtract>(Known ? known : *n->Operand.Value, n->Literal64);
        case Binary(Multiply, VariableLiteral):
            return Apply<Multiply>(Known ? known : *n->Operand.Value, n->Literal64);
        default: break;
        }
    }
    if constexpr (CallFree) {
        // an element for a leaf subscript (the known variable's, with Known)
        if (n->Code == ElementOfLeaf) return ElementValue(n->Operand.Number, Known ? known : *n->Value2);
    }
    if constexpr (Known) return known; // a variable leaf: the known one
    if constexpr (CallFree) return n->Code == SmallLiteral ? n->Literal64 : *n->Operand.Value;
    return ValueOf(nodes, n);
}

// Whether OperandOf works `n` out without a call, reading the variable at `v` (or none).
inline bool ReadsOnly(const ExprNode* n, const Extended* v) {
    if (n->Code == ElementOfLeaf) return n->Value2 == v;
    return n->Code != SmallLiteral && n->Code != Literal && n->Operand.Value == v;
}

// Whether OperandOf works `n` out without a call.
inline bool IsInlineOperand(const ExprNode* n) {
    if (n->Code <= Variable || n->Code == SmallLiteral || n->Code == ElementOfLeaf) return true;
    return n->Small &&
           (n->Code == Binary(Add, VariableLiteral) || n->Code == Binary(Subtract, VariableLiteral) ||
            n->Code == Binary(Multiply, VariableLiteral));
}

[[gnu::always_inline]] inline bool IsLeaf(const ExprNode* n) {
    return n->Code <= Variable || n->Code == SmallLiteral;
}

// Whether comparison `op` holds for a and b: 1 or 0, or -1 where the general path decides (an operand
// stopped short). Taken as it is, without a value 1 or 0 to test again.
[[gnu::always_inline]] inline int Decide(std::uint8_t op, Extended a, Extended b) {
    if (__builtin_isunordered(a, b)) return -1;
    return Numeric::Holds(op, a, b) ? 1 : 0;
}

// The outcome of a Branch entry's condition, as Decide gives it.
[[gnu::always_inline]] inline int ConditionOf(const DecodedItem& entry, const ExprNode* nodes) {
    if (entry.Operation == NumberOp::Count) {
        const Extended condition = ValueOf(nodes, nodes + entry.Root);
        return IsStoppedShort(condition) ? -1 : (condition != 0 ? 1 : 0);
    }
    const ExprNode* left = nodes + entry.Left;
    const ExprNode* right = nodes + entry.Right;
    if (entry.Outcomes != 0) {
        // a variable and a small literal: no node's code tested, no comparison switched on
        const Extended a = *left->Operand.Value;
        const Extended b = right->Literal64;
        if (a < b) return (entry.Outcomes & CompareOutcome::Less) != 0 ? 1 : 0;
        if (a > b) return (entry.Outcomes & CompareOutcome::Greater) != 0 ? 1 : 0;
        if (a == b) return (entry.Outcomes & CompareOutcome::Equal) != 0 ? 1 : 0;
        return -1; // unordered
    }
    // a node before a leaf, so that no value is live across its call
    if (IsLeaf(right)) {
        const Extended a = ValueOf(nodes, left);
        return Decide(entry.Operation, a, ValueOf(nodes, right));
    }
    const Extended b = ValueOf(nodes, right);
    return Decide(entry.Operation, ValueOf(nodes, left), b);
}

// The FOR step of a ForNext entry whose operands are leaves: v = step + v stored, and the test's
// outcome as Decide gives it; false (nothing stored) when v stops short. The same operations as on
// the nodes, each leaf read once.
[[gnu::always_inline]] inline Extended StepOf(const DecodedItem& entry) {
    return (entry.LoopForm & LoopForm::SmallStep) ? static_cast<Extended>(entry.Step64) : *entry.StepValue;
}
// StoppedShort when N + c is not finite.
[[gnu::always_inline]] inline Extended LimitOf(const DecodedItem& entry) {
    const std::uint8_t form = entry.LoopForm;
    if (form & LoopForm::SmallLimit) return entry.LimitAdd;
    if (form & LoopForm::LimitSum)
        return Apply<Add>(*entry.LimitValue, static_cast<Extended>(entry.LimitAdd));
    return *entry.LimitValue;
}

// The double at `d` widened where it is used: left to itself the compiler widens it once and keeps the
// 80-bit copy in memory, and an 80-bit load is the slow one.
[[gnu::always_inline]] inline Extended Widen(const double& d) {
#if defined(__x86_64__) || defined(__i386__)
    Extended x;
    asm volatile("fldl %1" : "=t"(x) : "m"(d));
    return x;
#else
    return d;
#endif
}

// With Fixed, the step and the limit are `fixedStep[0]` and `fixedLimit` (StepOf and LimitOf as the
// caller worked them out, no variable of theirs written since), and the test's factor + SGN(step) is
// `fixedStep[1]`.
// Without Stores the new value is left in `current` alone (a loop that writes it back when it leaves).
template <bool Fixed = false, bool Stores = true>
[[gnu::always_inline]] inline bool
StepOnLeaves(const DecodedItem& entry, NumVarType* record, Extended& current, int& holds,
             const double* fixedStep = nullptr, const double* fixedLimit = nullptr) {
    const std::uint8_t form = entry.LoopForm;
    const Extended step = Fixed ? Widen(*fixedStep) : StepOf(entry);
    const Extended v = Numeric::Arithmetic<Add>(step, current);
    if (!Numeric::IsFinalResult(v)) return false;
    if constexpr (Stores) record->Value = v;
    current = v;
    const Extended limit = Fixed ? Widen(*fixedLimit) : LimitOf(entry);
    if (!(form & LoopForm::WithStep)) {
        // a fixed limit is a finite double, and v is finite: the comparison cannot be unordered
        holds = Fixed ? (Numeric::Holds<GreaterEqual>(limit, v) ? 1 : 0) : Decide(GreaterEqual, limit, v);
        return true;
    }
    // limit - v and factor + SGN feed the checked product only (a fixed step's factor is fixed too)
    const Extended factor =
        Fixed ? Widen(fixedStep[1])
              : Apply<Add, false>(static_cast<Extended>(entry.Factor64), Numeric::Sgn<true>(step));
    const Extended product = Apply<Multiply>(Apply<Subtract, false>(limit, v), factor);
    holds = Decide(GreaterEqual, product, 0);
    return true;
}

// What a statement below gives for a case the general path must run: nothing of it has happened.
constexpr int StopsShort = -1;

// The values a FOR loop's body and step carry from one round to the next (RunLoopBody).
enum class Carry : std::uint8_t {
    None,
    Values,      // the loop variable's and the body's variable's
    LoopOperand, // and the body's operand reads the loop variable, whose value it takes from the loop
};

// The numeric statements a FOR loop's body may be, run as the decoded run runs them: each gives the
// index the run goes on at, or StopsShort.
// With Carried, `carried` is the value of a LetUpdate's variable as its last run left it (the caller
// knows nothing else writes it), and becomes the new one: no reading back what was just stored. With
// Carry::LoopOperand the operand's variable is the loop's, whose value is `loopValue`.
// Without GivesNext (a statement with one way on, whose caller knows it), success gives 0. Without
// Stores a carried LetUpdate leaves its value in `carried` alone (its loop writes it back).
template <std::uint8_t Op, Carry Carried = Carry::None, bool GivesNext = true, bool Stores = true>
[[gnu::always_inline]] inline int RunStatement(const DecodedItem& entry, const ExprNode* nodes,
                                               Extended& carried, Extended loopValue = 0) {
    constexpr bool Carries = Carried != Carry::None;
    constexpr bool Known = Carried == Carry::LoopOperand;
    if constexpr (Op == DecodedOp::LetNumber) {
        // LET X = expression
        NumVarType* record = entry.Target.Number;
        if (record->DimCount != 0) return StopsShort;
        const ExprNode* root = nodes + entry.Root;
        if (root->Code <= Variable) {
            // LET X = Y (or an 80-bit literal): the image copied with integer moves; an 80-bit store
            // read back soon after (a function's value, by its return) waits for memory
            if (!CopyFinite(&record->Value, root->Operand.Value)) return StopsShort;
        } else {
            const Extended value = ValueOf(nodes, root);
            if (IsStoppedShort(value)) return StopsShort;
            record->Value = value;
        }
    } else if constexpr (Op == DecodedOp::LetUpdate) {
        // LET v = v op x
        NumVarType* record = entry.Target.Number;
        if (!Carries && record->DimCount != 0) return StopsShort; // carried: the loop's start tested it
        const Extended x = OperandOf<Carries, Known>(nodes, nodes + entry.Right, loopValue);
        const Extended old = Carries ? carried : record->Value;
        // an x stopped short (NaN) gives a NaN, which the one finite test refuses as well
        Extended value = 0;
        switch (entry.Operation) {
        case Add: value = Numeric::Arithmetic<Add>(old, x); break;
        case Subtract: value = Numeric::Arithmetic<Subtract>(old, x); break;
        default: value = Numeric::Arithmetic<Multiply>(old, x); break;
        }
        if (!Numeric::IsFinalResult(value)) return StopsShort;
        if constexpr (!Carries || Stores) record->Value = value;
        carried = value;
    } else if constexpr (Op == DecodedOp::LetElement) {
        // LET A(subscript) = expression: the value, then the subscript
        const std::int32_t* roots = DecodedRoots.data() + entry.Root;
        const Extended value = ValueOf(nodes, nodes + roots[0]);
        const Extended subscript = OperandOf(nodes, nodes + roots[1]);
        if (IsStoppedShort(value) || IsStoppedShort(subscript)) return StopsShort;
        Extended* element = SimpleElement(*entry.Target.Number, subscript);
        if (!element) return StopsShort;
        *element = value;
    } else if constexpr (Op == DecodedOp::Branch) {
        // IF condition: true goes on after the jump target, false takes it
        int holds = 0;
        if constexpr (Carries) {
            // a comparison of two operands without a call (CarryOf)
            const Extended a = OperandOf<true, Known>(nodes, nodes + entry.Left, loopValue);
            holds = Decide(entry.Operation, a, OperandOf<true>(nodes, nodes + entry.Right));
        } else {
            holds = ConditionOf(entry, nodes);
        }
        if (holds < 0) return StopsShort;
        return holds != 0 ? entry.Next : entry.Alternate;
    } else {
        static_assert(Op == DecodedOp::LetElementLiteral, "a numeric statement");
        // LET A(subscript) = literal: the literal's image copied, as storing its value would write it
        const std::int32_t* roots = DecodedRoots.data() + entry.Root;
        const Extended subscript = OperandOf<Carries, Known>(nodes, nodes + roots[1], loopValue);
        Extended* element = SimpleElement(*entry.Target.Number, subscript);
        if (!element) return StopsShort; // a subscript stopped short (NaN) finds no element
        CopyNumber(element, nodes[roots[0]].Operand.Value);
    }
    return GivesNext ? entry.Next : 0;
}

// NEXT v of a ForNext entry: v = step + v, then the loop's test as its IF would make it. Gives where
// the run goes on (the test's own index when the test stops short, the step being done), or
// StopsShort.
// With Carried, `carried` is the loop variable's value as the last step left it, and becomes the new
// one (a loop on leaves only); without Stores, it is not stored (the loop writes it back).
template <bool Carried = false, bool Stores = true>
[[gnu::always_inline]] inline int StepLoop(const DecodedItem& entry, const ExprNode* nodes, Extended& carried,
                                           const double* fixedStep = nullptr,
                                           const double* fixedLimit = nullptr) {
    NumVarType* record = entry.Target.Number;
    if (!Carried && record->DimCount != 0) return StopsShort; // carried: the loop's start tested it
    int holds = 0;
    if (entry.LoopForm != 0) {
        if (!Carried) carried = record->Value;
        constexpr bool StoresValue = Stores || !Carried; // a value not carried is stored at once
        if (!StepOnLeaves<Carried, StoresValue>(entry, record, carried, holds, fixedStep, fixedLimit))
            return StopsShort;
    } else {
        const Extended v = Apply<Add>(ValueOf(nodes, nodes + entry.Step), record->Value);
        if (IsStoppedShort(v)) return StopsShort;
        record->Value = v;
        carried = v;
        const Extended limitValue = OperandOf(nodes, nodes + entry.Limit);
        if (entry.Sign < 0) {
            holds = Decide(GreaterEqual, limitValue, v);
        } else {
            const ExprNode* factor = nodes + entry.Sign; // 0.5 + SGN(step)
            const Extended sign = Numeric::Sgn<true>(ValueOf(nodes, nodes + nodes[factor->Right].Left));
            // limit - v and 0.5 + SGN feed the checked product only
            const Extended product = Apply<Multiply>(Apply<Subtract, false>(limitValue, v),
                                                     Apply<Add, false>(factor->Literal, sign));
            holds = Decide(GreaterEqual, product, 0);
        }
    }
    // A test that stops short runs by itself, the LET being done.
    if (holds < 0) [[unlikely]]
        return entry.Test;
    return holds != 0 ? entry.Next : entry.Alternate;
}

[[gnu::always_inline]] inline bool StopRequested() {
    return Fe.StopRequest.load(std::memory_order_relaxed) != 0;
}

// A FOR loop whose body is one numeric statement that leads straight back to the NEXT at `loopAt`
// (a branch: one of its ways), from the step that has just gone on into the body: body and step run
// here in turn, without the way through the run's head (neither can change the code or the tables, so
// their entries stay as they are), the stop request seen after each as there. Gives where the run goes
// on; `stopped` is the entry that stopped short there, if one did.
// With a Carry (a loop on leaves whose body computes without a call), the loop variable's value and the
// body's variable's (when it updates one) travel in registers from one round to the next: the body's
// variable is not the loop's, so each is written by one of the two alone. Deferred, they are stored
// when the loop is left, whichever way (a stop request, an entry stopping short, the loop's end or the
// branch's other way), and not at every statement: nothing inside the loop reads them from memory
// (WritesBack), and nothing outside it runs before the loop is left, where each holds what the last
// statement run left in it. Not deferred, each is stored at once.
template <std::uint8_t Op, Carry Carried, bool Deferred = false>
[[gnu::always_inline]] inline int RunLoopBody(const DecodedItem& loop, DecodedItem& body, int loopAt,
                                              const ExprNode* nodes, DecodedItem*& stopped) {
    static_assert(!Deferred || Carried != Carry::None, "only carried values are written back");
    const int bodyAt = loop.Next;
    Extended loopValue = loop.Target.Number->Value;
    Extended bodyValue = 0;
    if constexpr (Op == DecodedOp::LetUpdate) bodyValue = body.Target.Number->Value;
    // The step and the limit, whose variables the body does not write (CarryOf), are the same at
    // every round. They are kept as doubles, which are read back from memory at little cost (the
    // floating-point registers do not hold all the values); a step or a limit a double cannot hold, or
    // a limit that stops short, goes the way through the head.
    double step[2] = {0, 0}; // the step, and the test's factor + SGN(step)
    double limit = 0;
    if constexpr (Carried != Carry::None) {
        // the shapes of the variables the round writes, which nothing in the loop can change
        if (loop.Target.Number->DimCount != 0) return bodyAt;
        if constexpr (Op == DecodedOp::LetUpdate)
            if (body.Target.Number->DimCount != 0) return bodyAt;
        const Extended fullStep = StepOf(loop);
        const Extended fullLimit = LimitOf(loop);
        if (IsStoppedShort(fullLimit) || !FitsDouble(fullStep) || !FitsDouble(fullLimit)) return bodyAt;
        const Extended factor =
            Apply<Add, false>(static_cast<Extended>(loop.Factor64), Numeric::Sgn<true>(fullStep));
        if (!FitsDouble(factor)) return bodyAt;
        step[0] = static_cast<double>(fullStep);
        step[1] = static_cast<double>(factor);
        limit = static_cast<double>(fullLimit);
    }
    // One way out, where the deferred values are stored, whichever way the loop is left.
    int at = bodyAt;
    for (;;) {
        if (StopRequested()) [[unlikely]]
            break;
        const int after =
            RunStatement<Op, Carried, Op == DecodedOp::Branch, !Deferred>(body, nodes, bodyValue, loopValue);
        if (after == StopsShort) [[unlikely]] {
            stopped = &body;
            break;
        }
        if constexpr (Op == DecodedOp::Branch) {
            if (after != loopAt) { // the branch's other way
                at = after;
                break;
            }
        }
        at = loopAt;
        if (StopRequested()) [[unlikely]]
            break;
        const int next = StepLoop<Carried != Carry::None, !Deferred>(loop, nodes, loopValue, step, &limit);
        if (next == StopsShort) [[unlikely]] {
            stopped = const_cast<DecodedItem*>(&loop);
            break;
        }
        at = next;
        if (next != bodyAt) break;
    }
    if constexpr (Deferred) {
        loop.Target.Number->Value = loopValue;
        if constexpr (Op == DecodedOp::LetUpdate) body.Target.Number->Value = bodyValue;
    }
    return at;
}

// What a loop on leaves carries for a body statement whose one operand is `operand` and which writes
// the variable at `written` (or none): values, when the operand computes without a call and the body
// writes no variable of the step or the limit, and the operand's variable when it is the loop's.
inline Carry CarryOf(const DecodedItem& loop, const ExprNode* operand, const Extended* written) {
    if (loop.LoopForm == 0 || !IsInlineOperand(operand)) return Carry::None;
    if (written && (written == loop.StepValue || written == loop.LimitValue)) return Carry::None;
    // nor may the step or the limit be the loop variable itself, which every round changes
    const Extended* variable = &loop.Target.Number->Value;
    if (variable == loop.StepValue || variable == loop.LimitValue) return Carry::None;
    return ReadsOnly(operand, &loop.Target.Number->Value) ? Carry::LoopOperand : Carry::Values;
}

// Whether a carrying loop may leave its carried values unstored until it is left: when no operand of
// the body reads one of them from memory. An operand reads one variable at most (IsInlineOperand); the
// carry has made sure the body's one operand reads the loop variable only through the loop's value,
// but an update's operand may read the updated variable, and a condition's right operand the loop
// variable.
template <std::uint8_t Op>
inline bool WritesBack(const DecodedItem& loop, const DecodedItem& body, const ExprNode* nodes) {
    if constexpr (Op == DecodedOp::LetUpdate)
        return !ReadsOnly(nodes + body.Right, &body.Target.Number->Value);
    if constexpr (Op == DecodedOp::Branch) return !ReadsOnly(nodes + body.Right, &loop.Target.Number->Value);
    return true;
}

// RunLoopBody with the carry worked out for it (a LET of an expression and an element LET of one
// carry nothing: their expressions may need calls).
template <std::uint8_t Op>
[[gnu::always_inline]] inline int RunLoopWith(Carry carry, const DecodedItem& loop, DecodedItem& body,
                                              int loopAt, const ExprNode* nodes, DecodedItem*& stopped) {
    if constexpr (Op != DecodedOp::LetNumber && Op != DecodedOp::LetElement) {
        const bool deferred = WritesBack<Op>(loop, body, nodes);
        if (carry == Carry::LoopOperand)
            return deferred ? RunLoopBody<Op, Carry::LoopOperand, true>(loop, body, loopAt, nodes, stopped)
                            : RunLoopBody<Op, Carry::LoopOperand>(loop, body, loopAt, nodes, stopped);
        if (carry == Carry::Values)
            return deferred ? RunLoopBody<Op, Carry::Values, true>(loop, body, loopAt, nodes, stopped)
                            : RunLoopBody<Op, Carry::Values>(loop, body, loopAt, nodes, stopped);
    }
    return RunLoopBody<Op, Carry::None>(loop, body, loopAt, nodes, stopped);
}

// The value of a value node: a leaf read at once, an argument such as N - 1 worked out without a call.
[[gnu::always_inline]] inline Extended ValueOfRoot(const ExprNode* nodes, const ExprNode* n) {
    if (n->Small) {
        if (n->Code == SmallLiteral) return n->Literal64;
        return OperandOf(nodes, n);
    }
    if (n->Code <= Variable) return *n->Operand.Value;
    return n->Run(nodes, n);
}

// The value of a value node into `value`; false when it stops short. A leaf is copied as its bytes.
[[gnu::always_inline]] inline bool RootInto(const ExprNode* nodes, const ExprNode* n, Extended* value) {
    if (!n->Small && n->Code <= Variable) return CopyFinite(value, n->Operand.Value);
    *value = ValueOfRoot(nodes, n);
    return !IsStoppedShort(*value);
}

// The values of an entry's roots (ValueCount of them) into `values`; false when one stops short. One
// value, the common case, is its entry's own root.
[[gnu::always_inline]] inline bool EvaluateRoots(const DecodedItem& entry, const ExprNode* nodes,
                                                 Extended* values) {
    const int count = entry.ValueCount;
    if (count == 1) return RootInto(nodes, nodes + entry.Root, values);
    const std::int32_t* roots = DecodedRoots.data() + entry.Root;
    if (count == 2) // a call's two arguments, the next commonest: without the loop
        return RootInto(nodes, nodes + roots[0], values) && RootInto(nodes, nodes + roots[1], values + 1);
    for (int k = 0; k < count; ++k)
        if (!RootInto(nodes, nodes + roots[k], values + k)) return false;
    return true;
}

// The executor of a procedure item (a decoded operation of the machinery; `value` the item's own).
void RunProcedureItem(std::uint8_t op, int value) {
    switch (op) {
    case DecodedOp::SaveLocals: SaveLocals(); return;
    case DecodedOp::RestoreLocals: RestoreLocals(); return;
    case DecodedOp::SubJump: JumpViaLabelVariable(); return;
    case DecodedOp::SubFrame: PushSubFrame(value); return;
    case DecodedOp::EndSub: ExecEndSub(); return;
    case DecodedOp::FrameSizes: PushFrameSizes(value); return;
    default: ReturnFromFunction(); return; // DecodedOp::FunctionReturn
    }
}

// The values of a PushValues entry onto the Gl stack, in order, each with its own tag.
void PushValues(const DecodedItem& entry, const Extended* values) {
    for (int k = 0; k < entry.ValueCount; ++k) {
        if (entry.BooleanMask & (1u << k))
            GlPushBool(values[k] != 0);
        else
            PushNumber(values[k]);
    }
}

} // namespace

int RunDecoded(int at, int limit, bool& stoppedShort) {
    stoppedShort = false;
    if (DecodedTablesMoved()) NoteCodeChanged();
    const std::uint64_t generation = Ib.CodeGeneration;
    // The decoded side as far as it goes; decoding an entry may extend it.
    if (limit < 0) return at;
    if (static_cast<std::size_t>(limit) >= DecodedCode.size()) FitDecodedCode();
    if (static_cast<std::size_t>(limit) >= DecodedCode.size()) return at; // the code is not that long
    DecodedItem* const decoded = DecodedCode.data();
    const ExprNode* nodes = DecodedNodes.data();
    for (;;) {
        // 1 .. limit, which the decoded side covers
        if (static_cast<unsigned>(at - 1) >= static_cast<unsigned>(limit)) return at;
        DecodedItem* entry = decoded + at;
        if (entry->Generation != generation) [[unlikely]] {
            entry = &DecodeItem(at, limit);
            nodes = DecodedNodes.data();
        }
        int next = 0;
        Extended scratch = 0; // no value carried from an earlier statement
        switch (entry->Op) {
        case DecodedOp::Jump: next = entry->Next; break;
#define LX_NUMERIC_STATEMENT(OP)                                                                             \
    case DecodedOp::OP:                                                                                      \
        next = RunStatement<DecodedOp::OP>(*entry, nodes, scratch);                                          \
        if (next == StopsShort) goto stopShort;                                                              \
        break;
            LX_NUMERIC_STATEMENT(LetNumber)
            LX_NUMERIC_STATEMENT(LetElement)
            LX_NUMERIC_STATEMENT(Branch)
            LX_NUMERIC_STATEMENT(LetUpdate)
            LX_NUMERIC_STATEMENT(LetElementLiteral)
#undef LX_NUMERIC_STATEMENT
        case DecodedOp::PushValues: {
            Extended values[MaxPushedValues];
            if (!EvaluateRoots(*entry, nodes, values)) goto stopShort;
            PushValues(*entry, values);
            if (Fe.ErrorNumber != 0) [[unlikely]]
                return entry->Next; // the stack found no memory
            next = entry->Next;
            break;
        }
        case DecodedOp::AppendChr: {
            // S$ = S$ + CHR$(expression)
            StrVarType* record = entry->Target.String;
            if (record->Kind != StrVarKind::Variable || record->DimCount != 0) goto stopShort;
            const Extended code = ValueOf(nodes, nodes + entry->Root);
            if (IsStoppedShort(code)) goto stopShort;
            record->Value.append(ChrText(code));
            next = entry->Next;
            break;
        }
        case DecodedOp::PopNumbers: {
            // GlPop X: GlPop Y ...: each takes the number on top (a by-value argument's is dropped)
            const int count = entry->ValueCount;
            const int top = Vs.GlTypeStack.Count;
            const int numbers = Vs.GlNumStack.Count;
            if (top < count || numbers < count) goto stopShort;
            const std::int32_t* tags = Vs.GlTypeStack.Items.data();
            for (int k = 0; k < count; ++k)
                if (tags[top - k] != GlValueType::Number && tags[top - k] != GlValueType::NumberAlt)
                    goto stopShort;
            const Extended* stacked = Vs.GlNumStack.Items.data();
            const ExprNode* variables = nodes + entry->Root;
            for (int k = 0; k < count; ++k) {
                if (Extended* target = const_cast<Extended*>(variables[k].Operand.Value))
                    *target = stacked[numbers - k];
            }
            Vs.GlTypeStack.Count = top - count;
            Vs.GlNumStack.Count = numbers - count;
            next = entry->Next;
            break;
        }
        case DecodedOp::PushNumbers:
            // GlPush X: GlPush Y ...
            for (int k = 0; k < entry->ValueCount; ++k)
                PushNumber(*nodes[entry->Root + k].Operand.Value);
            if (Fe.ErrorNumber != 0) [[unlikely]]
                return entry->Next; // the stack found no memory
            next = entry->Next;
            break;
        case DecodedOp::ForNext: {
            next = StepLoop(*entry, nodes, scratch);
            if (next == StopsShort) goto stopShort;
            // Into a body of one numeric statement that leads straight back here: the two run together.
            if (next != entry->Next || static_cast<unsigned>(next - 1) >= static_cast<unsigned>(limit)) break;
            DecodedItem* body = decoded + next;
            // The body must not write the loop variable, whose value the loop carries.
            if (body->Generation != generation ||
                (body->Next != at && !(body->Op == DecodedOp::Branch && body->Alternate == at)) ||
                ((body->Op == DecodedOp::LetNumber || body->Op == DecodedOp::LetUpdate) &&
                 body->Target.Number == entry->Target.Number))
                break;
            DecodedItem* stopped = nullptr;
            switch (body->Op) {
            case DecodedOp::LetNumber:
                next = RunLoopWith<DecodedOp::LetNumber>(Carry::None, *entry, *body, at, nodes, stopped);
                break;
            case DecodedOp::LetUpdate:
                next = RunLoopWith<DecodedOp::LetUpdate>(
                    CarryOf(*entry, nodes + body->Right, &body->Target.Number->Value), *entry, *body, at,
                    nodes, stopped);
                break;
            case DecodedOp::LetElement:
                next = RunLoopWith<DecodedOp::LetElement>(Carry::None, *entry, *body, at, nodes, stopped);
                break;
            case DecodedOp::LetElementLiteral:
                next = RunLoopWith<DecodedOp::LetElementLiteral>(
                    CarryOf(*entry, nodes + DecodedRoots[static_cast<std::size_t>(body->Root) + 1], nullptr),
                    *entry, *body, at, nodes, stopped);
                break;
            case DecodedOp::Branch:
                next = RunLoopWith<DecodedOp::Branch>(body->Operation == NumberOp::Count ||
                                                              !IsInlineOperand(nodes + body->Right)
                                                          ? Carry::None
                                                          : CarryOf(*entry, nodes + body->Left, nullptr),
                                                      *entry, *body, at, nodes, stopped);
                break;
            default: break;
            }
            if (stopped) [[unlikely]] {
                entry = stopped;
                at = next;
                goto stopShort;
            }
            break;
        }
        case DecodedOp::Call: {
            // A procedure call with its argument values
            Extended values[MaxPushedValues];
            if (!EvaluateRoots(*entry, nodes, values)) goto stopShort;
            next = RunCall(*entry, values, limit);
            if (next == CallStoppedShort) goto stopShort;
            break;
        }
        case DecodedOp::Return:
            next = RunReturn(*entry, limit);
            if (next == CallStoppedShort) goto stopShort;
            break;
        case DecodedOp::Enter:
        case DecodedOp::ReturnSite:
            next = RunCallSequence(*entry, limit);
            if (next == CallStoppedShort) goto stopShort;
            break;
        case DecodedOp::SaveLocals:
        case DecodedOp::RestoreLocals:
        case DecodedOp::SubJump:
        case DecodedOp::SubFrame:
        case DecodedOp::EndSub:
        case DecodedOp::FrameSizes:
        case DecodedOp::FunctionReturn:
            // The executor reads its operands after the item, as in the item-by-item loop.
            Ib.CodeIndex = entry->Next + 1;
            RunProcedureItem(entry->Op, entry->Value);
            goto executed;
        default: return at; // Generic
        }
        at = next;
        // A stop request is seen after every decoded statement, as after every item.
        if (Fe.StopRequest.load(std::memory_order_relaxed) != 0) [[unlikely]]
            return at;
        continue;
    executed:
        // After an executor the run goes on at its cursor; an error it raised is the run loop's to
        // report, positioned as after any item.
        at = Ib.CodeIndex;
        if (Fe.ErrorNumber != 0 || Fe.StopRequest.load(std::memory_order_relaxed) != 0) [[unlikely]]
            return at;
        continue;
    stopShort:
        // The general path runs this statement; an entry that keeps stopping short is left to it.
        if (--entry->Retries == 0) entry->Op = DecodedOp::Generic;
        stoppedShort = true;
        return at;
    }
}
