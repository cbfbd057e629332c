// The decoded run's numeric statements (and the branch on a piece of a text) and the operands they
// read (a part of run.cpp, kept apart for reading and included by the decoded run alone): each
// statement checks every case the general path would treat otherwise before it changes anything, and
// gives StopsShort for such a case.
#pragma once

#include "core/tables.h"
#include "engine/charindex.h"
#include "engine/decoded/decode.h"
#include "engine/decoded/nodes.h"
#include "engine/fastaccess.h"
#include "engine/filechannels.h"
#include "engine/strfunctions.h"
#include "platform/memorybudget.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>

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

// How OperandOf reads an operand. CallFree: the caller knows the node is a leaf or one of the forms
// OperandOf works out itself (IsInlineOperand), so no call is compiled in: a floating-point value live
// around a call would be stored and reloaded. KnownVariable: call-free, and the node's variable (the
// caller knows it has one) holds `known`, which is read instead.
enum class OperandRead : std::uint8_t { MayCall, CallFree, KnownVariable };

// ValueOf that also works out + - * of a variable and a small literal at once: a FOR loop's limit
// such as N - 1, evaluated at every step, or a subscript such as I + 1.
template <OperandRead Read = OperandRead::MayCall>
[[gnu::always_inline]] inline Extended OperandOf(const ExprNode* nodes, const ExprNode* n,
                                                 Extended known = 0) {
    constexpr bool CallFree = Read != OperandRead::MayCall;
    constexpr bool Known = Read == OperandRead::KnownVariable;
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
        // a variable and a small literal or a variable: no node's code tested, no comparison switched on
        const Extended a = *left->Operand.Value;
        const Extended b =
            (entry.Outcomes & CompareOutcome::RightVariable) != 0 ? *right->Operand.Value : right->Literal64;
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

// What a statement below gives for a case the general path must run: nothing of it has happened.
constexpr int StopsShort = -1;
// The same for a case the general path runs this time only, which does not count against the entry:
// the work of the general path's that the statement meets now and then as it goes on (a file's next
// piece read).
constexpr int HandsOver = -2;

// The values a FOR loop's body and step carry from one round to the next (RunLoopBody).
enum class Carry : std::uint8_t {
    None,
    Values,      // the loop variable's and the body's variable's
    LoopOperand, // and the body's operand reads the loop variable, whose value it takes from the loop
};

// How a statement carrying values reads its operand.
constexpr OperandRead ReadOf(Carry carried) {
    if (carried == Carry::None) return OperandRead::MayCall;
    return carried == Carry::LoopOperand ? OperandRead::KnownVariable : OperandRead::CallFree;
}

// Whether a value carried by a loop is stored at once, or left in its register until the loop is left,
// which stores it then.
enum class Store : std::uint8_t { AtOnce, Deferred };

// What a statement gives when it succeeds: where the run goes on, or 0 for a statement with one way on
// whose caller knows it.
enum class WayOn : std::uint8_t { Given, KnownToCaller };

// The numeric statements a FOR loop's body may be, run as the decoded run runs them: each gives the
// index the run goes on at, or StopsShort.
// With Carried, `carried` is the value of a LetUpdate's variable as its last run left it (the caller
// knows nothing else writes it), and becomes the new one: no reading back what was just stored. With
// Carry::LoopOperand the operand's variable is the loop's, whose value is `loopValue`.
// Store::Deferred: a carried LetUpdate leaves its value in `carried` alone (its loop writes it back).
template <DecodedOp Op, Carry Carried = Carry::None, WayOn Way = WayOn::Given, Store Values = Store::AtOnce>
[[gnu::always_inline]] inline int RunStatement(const DecodedItem& entry, const ExprNode* nodes,
                                               Extended& carried, Extended loopValue = 0) {
    constexpr bool Carries = Carried != Carry::None;
    constexpr OperandRead Read = ReadOf(Carried);
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
        const Extended x = OperandOf<Read>(nodes, nodes + entry.Right, loopValue);
        const Extended old = Carries ? carried : record->Value;
        // an x stopped short (NaN) gives a NaN, which the one finite test refuses as well
        Extended value = 0;
        switch (entry.Operation) {
        case Add: value = Numeric::Arithmetic<Add>(old, x); break;
        case Subtract: value = Numeric::Arithmetic<Subtract>(old, x); break;
        default: value = Numeric::Arithmetic<Multiply>(old, x); break;
        }
        if (!Numeric::IsFinalResult(value)) return StopsShort;
        if constexpr (!Carries || Values == Store::AtOnce) record->Value = value;
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
            const Extended a = OperandOf<Read>(nodes, nodes + entry.Left, loopValue);
            holds = Decide(entry.Operation, a, OperandOf<OperandRead::CallFree>(nodes, nodes + entry.Right));
        } else {
            holds = ConditionOf(entry, nodes);
        }
        if (holds < 0) return StopsShort;
        return holds != 0 ? entry.Next : entry.Alternate;
    } else if constexpr (Op == DecodedOp::MidBranch) {
        // IF MID$(S$, start, count) compared with a literal: the piece is compared where it stands in
        // S$, no text made for it. Arguments MID$ refuses (and a value stopped short, a NaN, which fails
        // the same tests) are the general path's, which raises the error where it belongs.
        const StrVarType* record = entry.Target.String;
        const auto literal = static_cast<std::size_t>(entry.Value);
        if (record->Kind != StrVarKind::Variable || record->DimCount != 0 || literal >= Tb.StrConTable.size())
            return StopsShort;
        const std::int32_t* roots = DecodedRoots.data() + entry.Root;
        const Extended startValue = ValueOf(nodes, nodes + roots[0]);
        const Extended n = ValueOf(nodes, nodes + roots[1]);
        std::int64_t start = 0;
        std::int64_t count = 0;
        if (!MidArguments(startValue, n, start, count)) return StopsShort;
        const QString& text = record->Value;
        const qsizetype from = CharOffset(text, start - 1);
        const qsizetype to = AdvanceChars(text, from, count);
        const QString& other = Tb.StrConTable[literal];
        // ordinal order of UTF-16 units, as the comparison operator orders texts
        const std::u16string_view piece(reinterpret_cast<const char16_t*>(text.constData()) + from,
                                        static_cast<std::size_t>(to - from));
        const std::u16string_view against(reinterpret_cast<const char16_t*>(other.constData()),
                                          static_cast<std::size_t>(other.size()));
        return Numeric::Holds(entry.Operation, piece.compare(against), 0) ? entry.Next : entry.Alternate;
    } else if constexpr (Op == DecodedOp::AppendPiece) {
        // S$ = S$ + MID$(T$, start, count) (or LEFT$, RIGHT$; T$ another variable or a literal): the
        // piece appended from where it stands, no text made for it and none through the stack. What
        // the function refuses, or a text the budget may refuse, is the general path's.
        StrVarType* record = entry.Target.String;
        if (record->Kind != StrVarKind::Variable || record->DimCount != 0) return StopsShort;
        const QString* source = nullptr;
        if (entry.Left >= 0) {
            const StrVarType* variable = nodes[entry.Left].Operand.String;
            if (variable->Kind != StrVarKind::Variable || variable->DimCount != 0) return StopsShort;
            source = &variable->Value;
        } else {
            const auto literal = static_cast<std::size_t>(entry.Right);
            if (literal >= Tb.StrConTable.size()) return StopsShort;
            source = &Tb.StrConTable[literal];
        }
        const std::int32_t* roots = entry.ValueCount == 1 ? &entry.Root : DecodedRoots.data() + entry.Root;
        const Extended first = ValueOf(nodes, nodes + roots[0]);
        std::int64_t start = 0;
        std::int64_t count = 0;
        qsizetype from = 0;
        qsizetype to = source->size();
        if (entry.Operation == PieceOf::Mid) {
            if (!MidArguments(first, ValueOf(nodes, nodes + roots[1]), start, count)) return StopsShort;
            from = CharOffset(*source, start - 1);
            to = AdvanceChars(*source, from, count);
        } else if (!CountArgument(first, count)) {
            return StopsShort;
        } else if (entry.Operation == PieceOf::Left) {
            to = AdvanceChars(*source, 0, count);
        } else {
            from = RetreatChars(*source, count);
        }
        // Growing the text's room is the program taking memory, weighed as the join in place weighs it.
        const qsizetype joined = record->Value.size() + (to - from);
        if (joined > record->Value.capacity() &&
            !MemoryBudget::AllowsElements(static_cast<std::size_t>(joined) * 2, sizeof(char16_t)))
            return StopsShort;
        AppendText(record->Value, QString::fromRawData(source->constData() + from, to - from));
    } else if constexpr (Op == DecodedOp::EofBranch) {
        // IF EOF(n) or IF NOT EOF(n), the channel's number known: its end is not reached while its
        // reader has a character at hand. Reading the file's next piece (which writes out what the
        // channels hold first, and may fail) is the general path's EOF.
        const int n = entry.Value;
        if (Ps.FileMode[static_cast<std::size_t>(n)] != FileModeKind::Input) return StopsShort;
        if (!FileChannelHasBuffered(n)) return HandsOver;
        return Numeric::Holds(entry.Operation, false, true) ? entry.Next : entry.Alternate;
    } else if constexpr (Op == DecodedOp::LetText) {
        // LET S$ = T$: the text shared, as the push and the LET leave it
        StrVarType* record = entry.Target.String;
        const StrVarType* source = nodes[entry.Root].Operand.String;
        if (record->Kind != StrVarKind::Variable || record->DimCount != 0 ||
            source->Kind != StrVarKind::Variable || source->DimCount != 0)
            return StopsShort;
        record->Value = source->Value;
    } else {
        static_assert(Op == DecodedOp::LetElementLiteral, "a numeric statement");
        // LET A(subscript) = literal: the literal's image copied, as storing its value would write it
        const std::int32_t* roots = DecodedRoots.data() + entry.Root;
        const Extended subscript = OperandOf<Read>(nodes, nodes + roots[1], loopValue);
        Extended* element = SimpleElement(*entry.Target.Number, subscript);
        if (!element) return StopsShort; // a subscript stopped short (NaN) finds no element
        CopyNumber(element, nodes[roots[0]].Operand.Value);
    }
    return Way == WayOn::Given ? entry.Next : 0;
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

} // namespace
