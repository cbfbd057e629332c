// The decoded side of the code buffer. For a code index where a whole statement of plain numbers begins
// (a LET of a numeric expression, an IF on a comparison, a GOTO, a numeric expression whose value the
// next items take), the decoder records once what the items do: the expression as a short list of
// steps with their operands resolved, where the statement ends, where it jumps. The run loop runs such
// an entry in one pass instead of item by item; every other index decodes to Generic and runs as before.
// Entries are decoded on first use and belong to one generation of the code buffer: any write to the
// buffer starts a new generation, so nothing stale is ever run.
#pragma once

#include "frontend/codeitem.h"
#include "frontend/sharedstate.h"
#include "frontend/vocabulary.h"

#include <array>
#include <cstdint>
#include <vector>

// Items that do nothing when the loop meets them: no item, expression brackets, a jump target or a
// frame-size word not taken by its statement, the frame words, and the ":" and line-end operators.
inline constexpr int InertKindLimit = 128;
constexpr std::array<bool, InertKindLimit> MakeInertKinds() {
    std::array<bool, InertKindLimit> inert{};
    for (const int kind : {CodeKind::None, CodeKind::ExprOpen, CodeKind::ExprClose, CodeKind::JumpTarget,
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

// What a decoded entry does.
namespace DecodedOp {
inline constexpr std::uint8_t Generic = 0;    // run the item by the general path
inline constexpr std::uint8_t LetNumber = 1;  // expression; LET to a numeric scalar
inline constexpr std::uint8_t LetElement = 2; // value, subscript; LET to an element of a 1-D numeric array
inline constexpr std::uint8_t Branch = 3;     // condition; IF with its jump target
inline constexpr std::uint8_t Jump = 4;       // GOTO (the target already resolved)
inline constexpr std::uint8_t PushValues = 5; // expression values the following items take from the Gl stack
inline constexpr std::uint8_t AppendChr = 6;  // S$ = S$ + CHR$(expression)
} // namespace DecodedOp

// One step of a decoded expression. The steps work on a small stack of numbers; a boolean is held as
// 1 or 0. A binary step takes its right operand from the stack, a literal or a variable, as its code
// says; a step that meets a case the general path would treat differently (an error, a value that
// is not finite, a subscript that is not a whole number in range) stops the evaluation, and the
// statement then runs item by item from its start, so nothing of it has happened yet.
namespace StepCode {
// Operand forms, added to the binary codes below.
inline constexpr std::uint8_t OnStack = 0;
inline constexpr std::uint8_t OnLiteral = 1;
inline constexpr std::uint8_t OnVariable = 2;
inline constexpr std::uint8_t FormCount = 3;

inline constexpr std::uint8_t End = 0;
inline constexpr std::uint8_t PushLiteral = 1;
inline constexpr std::uint8_t PushVariable = 2;
inline constexpr std::uint8_t PushLength = 3;    // LEN of a scalar string variable
inline constexpr std::uint8_t Element = 4;       // the element of a 1-D numeric array for the subscript on top
inline constexpr std::uint8_t Sgn = 5;
inline constexpr std::uint8_t Abs = 6;
inline constexpr std::uint8_t Int = 7;
inline constexpr std::uint8_t Fix = 8;
inline constexpr std::uint8_t Negate = 9;
inline constexpr std::uint8_t Not = 10;
inline constexpr std::uint8_t And = 11;
inline constexpr std::uint8_t Or = 12;
inline constexpr std::uint8_t BinaryBase = 16;  // BinaryBase + operator * FormCount + operand form
inline constexpr std::uint8_t Add = 0, Subtract = 1, Multiply = 2, Divide = 3, IntDivide = 4, Modulo = 5,
                              Equal = 6, NotEqual = 7, Less = 8, Greater = 9, LessEqual = 10, GreaterEqual = 11,
                              BinaryCount = 12;
constexpr std::uint8_t Binary(std::uint8_t op, std::uint8_t form) {
    return static_cast<std::uint8_t>(BinaryBase + op * FormCount + form);
}
} // namespace StepCode

struct ExprStep {
    Extended Literal = 0;     // the literal operand
    std::int32_t Index = 0;   // the variable's table index
    std::uint8_t Code = 0;    // StepCode
};

// The most values a decoded expression holds at once; deeper expressions run item by item.
inline constexpr int MaxDecodedDepth = 16;
// How often an entry may stop short before it is run item by item for the rest of its generation.
inline constexpr std::uint8_t DecodedRetries = 16;

struct DecodedItem {
    std::uint64_t Generation = 0;  // the code generation it was decoded in; 0 never matches
    std::uint8_t Op = DecodedOp::Generic;
    std::uint8_t Retries = 0;      // stops short left
    std::uint8_t ValueCount = 0;   // PushValues: values pushed
    std::uint8_t BooleanMask = 0;  // PushValues: bit k set when value k is a boolean
    std::int32_t Next = 0;         // code index after the statement (IF: where a true condition goes)
    std::int32_t Alternate = 0;    // IF: where a false condition goes
    std::int32_t Target = 0;       // the LET's NumVarTable (StrVarTable) index
    std::int32_t Steps = 0;        // first step of the expression in DecodedSteps
};

extern std::vector<DecodedItem> DecodedCode;
extern std::vector<ExprStep> DecodedSteps;

// Makes the decoded side as long as the code buffer (new entries undecoded).
void FitDecodedCode();
// Decodes the entry of `at` in the current generation; `limit` is the last index the run may read.
DecodedItem& DecodeItem(int at, int limit);
