// The entries of the decoded side of the code buffer. For a code index where a whole statement of
// plain numbers begins (a LET of a numeric expression, an IF on a comparison, a GOTO, a FOR loop's NEXT
// with its test, a numeric expression whose values the next items take, the binds and calls of
// procedures), an entry records once what the items do: its operation (engine/decoded/ops.h), the
// expression as a small tree of nodes with its operands resolved, where the statement ends, where it
// jumps. The decoder fills the entries, the decoded run runs them.
#pragma once

#include "core/codeitem.h"
#include "core/internalcodes.h"
#include "core/parsecodes.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/vocabulary.h"
#include "engine/decoded/ops.h"
#include "engine/fastaccess.h"

#include <array>
#include <cstdint>
#include <vector>

// Items that do nothing when the loop meets them: no item, expression brackets, a jump target or a
// frame-size word not taken by its statement, the frame words, and the ":" and line-end operators.
inline constexpr int InertKindLimit = 128;
constexpr std::array<bool, InertKindLimit> MakeInertKinds() {
    std::array<bool, InertKindLimit> inert{};
    for (const int kind :
         {CodeKind::None, CodeKind::ExprOpen, CodeKind::ExprClose, CodeKind::JumpTarget,
          CodeKind::FrameCountB, CodeKind::FrameCountS, CodeKind::SubFrameN, CodeKind::SubFrameS,
          CodeKind::SubBegin, CodeKind::SubEndMark, CodeKind::DummyCode})
        inert[static_cast<std::size_t>(kind)] = true;
    return inert;
}
inline constexpr std::array<bool, InertKindLimit> InertKinds = MakeInertKinds();

inline bool IsInertItem(const CodeItemType& item) {
    const auto kind = static_cast<unsigned>(item.FirstCode);
    if (kind == CodeKind::Operator) return item.SecondCode == Op::Colon || item.SecondCode == Op::LineEnd;
    return kind < InertKindLimit && InertKinds[kind];
}

// The statements that mark the structure of procedures and do nothing when run; stepped over like
// inert items.
constexpr bool IsStructureMark(int code) {
    switch (code) {
    case ParseCode::CallStatement:
    case InSt::SubStart:
    case InSt::SubEnd:
    case InSt::FunctionEnd:
    case InSt::LoPush:
    case InSt::LoPop: return true;
    default: return false;
    }
}

// The decoded operation of an item of the procedure machinery (its kind and value); Generic for any
// other item.
constexpr DecodedOp ProcedureOp(int kind, int value) {
    if (kind == CodeKind::SubFrame) return DecodedOp::SubFrame;
    if (kind == CodeKind::FrameCountN) return DecodedOp::FrameSizes;
    if (kind != CodeKind::Statement) return DecodedOp::Generic;
    switch (value) {
    case InSt::LoPushAll: return DecodedOp::SaveLocals;
    case InSt::LoPopAll: return DecodedOp::RestoreLocals;
    case InSt::SubJump: return DecodedOp::SubJump;
    case St::ENDSUB:
    case St::ENDFUNCTION: return DecodedOp::EndSub;
    case InSt::ReturnFromFunction: return DecodedOp::FunctionReturn;
    default: return DecodedOp::Generic;
    }
}

// Whether a decoded entry can begin at an item: a number, a numeric or string variable, an operator,
// a function, an inert item, GOTO, IF, LET and LINE INPUT#, the parameter binds and hand-backs, the
// procedure machinery. The run loop asks this before it looks at the decoded side at all.
constexpr bool MayBeginDecoded(int kind, int value) {
    switch (kind) {
    case CodeKind::Operator:
    case CodeKind::Function: return true;
    case CodeKind::NumLiteral:
    case CodeKind::SysNumConst:
    case CodeKind::NumVar:
    case CodeKind::StrVar: return true;
    case CodeKind::Statement:
        return value == St::GOTO || value == InSt::GlPop || value == InSt::GlPush || value == St::IF ||
               value == St::LET || value == St::LINEINPUTFile || IsStructureMark(value) ||
               ProcedureOp(kind, value) != DecodedOp::Generic;
    default:
        return ProcedureOp(kind, value) != DecodedOp::Generic || IsInertItem(CodeItemType{kind, value, 0});
    }
}

// A decoded expression is a tree of nodes. An operand that is a literal or a plain variable is held in
// the node that uses it rather than in a node of its own, as a pointer to its value (a literal's in the
// decoder's pool), so that reading it is the same for both. Each node carries the function that
// computes it, chosen by its code when decoding: no node is ever switched on at run time. A node that
// meets a case the general path would treat differently (an error, a value that is not finite, a
// subscript that is not a whole number in range) gives StoppedShort, and the statement then runs item by
// item from its start, so nothing of it has happened yet.
namespace NodeCode {
inline constexpr std::uint8_t Literal = 0;  // a leaf alone: Operand.Value points to the literal
inline constexpr std::uint8_t Variable = 1; // a leaf alone: Operand.Value points to the variable's value
inline constexpr std::uint8_t Length = 2;   // LEN of a scalar string variable
inline constexpr std::uint8_t Element = 3;  // the element of a 1-D numeric array for the subscript Left
inline constexpr std::uint8_t Sgn = 4;      // the unary nodes take Left
inline constexpr std::uint8_t Abs = 5;
inline constexpr std::uint8_t Int = 6;
inline constexpr std::uint8_t Fix = 7;
inline constexpr std::uint8_t Negate = 8;
inline constexpr std::uint8_t Not = 9;
inline constexpr std::uint8_t And = 10; // Left AND Right
inline constexpr std::uint8_t Or = 11;
inline constexpr std::uint8_t ElementOfLeaf = 12; // Element with the subscript a leaf, at Value2
inline constexpr std::uint8_t SmallLiteral = 13;  // a literal leaf alone that a double holds exactly
inline constexpr std::uint8_t Call1 = 14;         // a function of the general executors (Function) on Left
inline constexpr std::uint8_t Element2 = 15;      // the element of a 2-D numeric array for Left, Right
inline constexpr std::uint8_t BinaryBase = 16;    // BinaryBase + operator * FormCount + operand form

// Operand forms of the binary nodes: where the left and the right operand are (a node: Left or Right;
// a leaf: Operand.Value for a left one, Value2 for a right one; a literal's value is also in Literal).
inline constexpr std::uint8_t NodeNode = 0, NodeLiteral = 1, NodeVariable = 2, LiteralNode = 3,
                              VariableNode = 4, LiteralVariable = 5, VariableLiteral = 6,
                              VariableVariable = 7, FormCount = 8;
using NumberOp::Add, NumberOp::Subtract, NumberOp::Multiply, NumberOp::Divide, NumberOp::IntDivide,
    NumberOp::Modulo, NumberOp::Equal, NumberOp::NotEqual, NumberOp::Less, NumberOp::Greater,
    NumberOp::LessEqual, NumberOp::GreaterEqual;
inline constexpr std::uint8_t BinaryCount = NumberOp::Count;
constexpr std::uint8_t Binary(std::uint8_t op, std::uint8_t form) {
    return static_cast<std::uint8_t>(BinaryBase + op * FormCount + form);
}
// After the binary nodes' codes: the run tests for the codes below them as they stand.
inline constexpr std::uint8_t Call2 = BinaryBase + BinaryCount * FormCount; // Call1 on Left and Right
static_assert(Call2 < 256, "node codes are bytes");
} // namespace NodeCode

struct ExprNode;
// Computes a node of the tree whose nodes begin at `nodes`.
using NodeFunction = Extended (*)(const ExprNode* nodes, const ExprNode* n);

struct ExprNode {
    NodeFunction Run = nullptr;
    // Leaf operands, resolved when decoding: records do not move while the tables keep their storage,
    // and a table that moves starts a new generation (DecodedTablesMoved).
    union {
        const Extended* Value;    // a leaf: a plain numeric variable's value or a literal
        const NumVarType* Number; // an array's record (its shape is read at run time)
        const StrVarType* String; // a string variable's record
    } Operand{nullptr};
    const Extended* Value2 = nullptr; // a right leaf
    std::int32_t Left = -1;           // child nodes, indices in DecodedNodes
    std::int32_t Right = -1;
    std::uint8_t Code = NodeCode::Literal;
    // The node's literal leaf is read from Literal64, which holds it exactly: an 80-bit load from
    // memory costs several times a 64-bit one, and a literal is mostly a small number.
    bool Small = false;
    std::int32_t Function = 0; // Call1, Call2: the function's code
    double Literal64 = 0;
    Extended Literal = 0; // the literal a literal leaf points to, for the decoder's own matching
};

static_assert(sizeof(ExprNode) == 64, "a node is found by a shift of its index");

// Whether a double holds `value` exactly.
inline bool FitsDouble(Extended value) {
    return static_cast<Extended>(static_cast<double>(value)) == value;
}

// The most values a decoded expression holds at once; deeper expressions run item by item.
inline constexpr int MaxDecodedDepth = 16;
// The most values an entry hands to the items after it.
inline constexpr int MaxPushedValues = 8;
// The most values an entry takes from the Gl stack (OnStack).
inline constexpr int MaxStackedValues = 8;
// How often an entry may stop short before it is run item by item for the rest of its generation.
inline constexpr std::uint8_t DecodedRetries = 16;

struct CallShape;

// The statements an OnStack entry runs on values the items before it left on the Gl stack.
enum class StackedStatement : std::uint8_t {
    Values,     // an expression whose values the items after it take (as PushValues)
    Let,        // LET of an expression to a numeric scalar (as LetNumber); with no nodes, of the value
    LetElement, // LET of the value to an element of a one- or two-dimensional array, the subscripts above it
    Branch,     // IF on a condition (as Branch)
    Join,       // S$ = S$ + x: the join of S$'s text with x appended to S$ in place
};

// The leaves and nodes of a FOR loop's NEXT (ForNext), apart from its entry, which every other statement
// would otherwise carry unused: the nodes of the step, of the limit and of the test's factor 0.5 +
// SGN(step) (-1 for a loop without STEP), and the index of the test, where a test that stops short runs
// by itself; for a loop whose step, limit and test factor are leaves (LoopForm), the step (StepValue,
// or Step64 when small), the limit (LimitValue, plus LimitAdd when a sum, or LimitAdd alone when
// small) and the factor's literal.
struct LoopBounds {
    std::int32_t Step = -1;
    std::int32_t Limit = -1;
    std::int32_t Sign = -1;
    std::int32_t Test = 0;
    const Extended* StepValue = nullptr;
    const Extended* LimitValue = nullptr;
    double Step64 = 0;
    double LimitAdd = 0;
    double Factor64 = 0;
};

// One decoded statement. There is one for each index the run has decoded, not for every item of the
// code, and it is kept small: the decoded form of a program must not cost much more memory than its
// code.
struct alignas(64) DecodedItem {
    std::int32_t At = -1; // the code index it was decoded for
    DecodedOp Op = DecodedOp::Generic;
    std::uint8_t Retries = 0;     // stops short left
    std::uint8_t ValueCount = 0;  // LetElement, PushValues: the values (their roots in DecodedRoots);
                                  // PopNumbers, PushNumbers: the variables (in the Operand of the nodes
                                  // from Root on; none for a discarded argument)
    std::uint8_t BooleanMask = 0; // PushValues: bit k set when value k is a boolean
    std::int32_t Next = 0;        // code index after the statement (IF: where a true condition goes)
    std::int32_t Alternate = 0;   // IF: where a false condition goes
    std::int32_t Root = 0;        // the expression's node; with several values, the first in DecodedRoots
    std::int32_t Value = 0;       // SubFrame, FrameSizes: the item's own value; MidBranch: the literal;
                                  // EofBranch, PrintFile: the channel
    // Branch on a comparison of two numbers: the comparison and the nodes of its operands (a leaf has
    // a node of its own here), so that the branch is taken on the comparison itself; NumberOp::Count
    // for any other condition. LetUpdate: the operation and the node of its right operand.
    std::uint8_t Operation = NumberOp::Count;
    // ForNext whose step, limit and test factor are leaves, read from Loop without their nodes
    // (LoopForm:: bits, 0 when the nodes are used).
    std::uint8_t LoopForm = 0;
    // Branch on a comparison of a variable (left) with a literal a double holds or another variable
    // (right): the outcomes it holds for (CompareOutcome:: bits), its operands read from their nodes at
    // once; 0 for any other entry.
    std::uint8_t Outcomes = 0;
    // OnStack: the statement it runs (whose Next it keeps in Continue), the values it takes from the Gl
    // stack and which of them are booleans (bit k for the k-th from the top).
    StackedStatement Inner = StackedStatement::Values;
    std::uint8_t Stacked = 0;
    std::uint8_t StackedBooleans = 0;
    std::int32_t Left = -1;
    std::int32_t Right = -1;
    union {
        NumVarType* Number;     // the LET's numeric target
        StrVarType* String;     // the string variable of AppendChr, AppendPiece, MidBranch, LetText
                                // (its target) and PrintFile
        const CallShape* Shape; // an entry of a procedure call (engine/decoded/callshape.h)
    } Target{nullptr};
    std::int32_t Continue = 0;
    LoopBounds* Loop = nullptr; // ForNext
};

namespace LoopForm {
inline constexpr std::uint8_t Leaves = 1;     // the leaves below are used
inline constexpr std::uint8_t SmallStep = 2;  // the step is Step64
inline constexpr std::uint8_t LimitSum = 4;   // the limit is *LimitValue + LimitAdd
inline constexpr std::uint8_t SmallLimit = 8; // the limit is LimitAdd
inline constexpr std::uint8_t WithStep = 16;  // the test is (limit - v) * (Factor64 + SGN(step)) >= 0
} // namespace LoopForm

// What a PrintFile entry prints (its Operation): a number (the node Root), a string variable (Target)
// or a text literal (the literal Root).
namespace PrintedValue {
inline constexpr std::uint8_t Number = 0;
inline constexpr std::uint8_t Variable = 1;
inline constexpr std::uint8_t Literal = 2;
} // namespace PrintedValue

// Which piece an AppendPiece entry appends (its Operation).
namespace PieceOf {
inline constexpr std::uint8_t Mid = 0;
inline constexpr std::uint8_t Left = 1;
inline constexpr std::uint8_t Right = 2;
} // namespace PieceOf

namespace CompareOutcome {
inline constexpr std::uint8_t Less = 1;
inline constexpr std::uint8_t Equal = 2;
inline constexpr std::uint8_t Greater = 4;
inline constexpr std::uint8_t RightVariable = 8; // the right operand is a variable, not a small literal
} // namespace CompareOutcome

static_assert(sizeof(DecodedItem) == 64, "an entry is a cache line");
