// The decoded operations, declared once: each row gives the operation's name (its DecodedOp and the
// word `lxcompile --decoded` prints), how the decoded run runs it (a family of run.cpp, LX_RUNS_<family>;
// Executor: the executor of the item it stands on, named in the third column), the operands its listing
// line shows (ListedOperands), what it does and which items of the code buffer it replaces (the two texts
// the listing explains its operations with). The enum, the names, the listing and the run's dispatch are
// made from this list; a new operation is a new row, its decoder and, when no family fits, a family of its
// own. The rows stand in the order the run's switch has its cases in, which the compiler's layout of the
// run follows: the commonest statements first (bench/callgrind counts what a new order costs, and what a
// new case costs: a new kind of rare entry is better a case of an existing row, as OnStack's
// StackedStatement is).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The operands a listing line shows after the operation's name.
namespace ListedOperands {
inline constexpr std::uint16_t Target = 1;          // the variable it assigns
inline constexpr std::uint16_t Count = 2;           // how many values or variables it moves
inline constexpr std::uint16_t Stacked = 4;         // the statement it runs on stacked values, and how many
inline constexpr std::uint16_t Item = 8;            // the item whose executor it runs (at Next)
inline constexpr std::uint16_t Value = 16;          // that item's own value
inline constexpr std::uint16_t Next = 32;           // where the run goes on
inline constexpr std::uint16_t Return = 64;         // the return index a call leaves
inline constexpr std::uint16_t Else = 128;          // where a false condition or a finished loop goes
inline constexpr std::uint16_t ToReturnIndex = 256; // goes on at the return index on the stack
} // namespace ListedOperands

#define LX_DECODED_OPS(X)                                                                                    \
    X(Generic, Generic, NoExecutor, 0, "nothing: the item runs by the general path", "none")                 \
    X(Jump, Jump, NoExecutor, L::Next, "GOTO, its target resolved", "GOTO and its jump target")              \
    X(LetNumber, Statement, NoExecutor, L::Target | L::Next,                                                 \
      "LET of a numeric expression to a numeric scalar", "the expression's items, LET and its variable")     \
    X(LetElement, Statement, NoExecutor, L::Target | L::Count | L::Next,                                     \
      "LET of a numeric expression to an element of a one-dimensional numeric array",                        \
      "the value's and the subscript's items, LET and the array")                                            \
    X(Branch, Statement, NoExecutor, L::Next | L::Else,                                                      \
      "IF on a condition: Next when it holds, Alternate when not",                                           \
      "the condition's items, IF and its jump target")                                                       \
    X(LetUpdate, Statement, NoExecutor, L::Target | L::Next,                                                 \
      "LET v = v op x for + - *, on the variable's own value", "v, x's items, the operator, LET and v")      \
    X(LetElementLiteral, Statement, NoExecutor, L::Target | L::Next,                                         \
      "LetElement of a literal: its 80-bit image copied",                                                    \
      "the literal, the subscript's items, LET and the array")                                               \
    X(PushValues, Values, NoExecutor, L::Count | L::Next,                                                    \
      "numeric and boolean values the items after them take from the Gl stack", "the values' items")         \
    X(AppendChr, AppendChr, NoExecutor, L::Target | L::Next, "S$ = S$ + CHR$(expression)",                   \
      "the variable, the expression, CHR$, + or &, LET and the variable")                                    \
    X(MidBranch, Statement, NoExecutor, L::Target | L::Next | L::Else,                                       \
      "IF on MID$ of a string variable compared with a text literal, the piece compared where it stands",    \
      "the variable, MID$'s start and count items, MID$, the literal, the comparison, IF and its jump "      \
      "target")                                                                                              \
    X(AppendPiece, Statement, NoExecutor, L::Target | L::Next,                                               \
      "S$ = S$ + MID$, LEFT$ or RIGHT$ of another string variable or a text literal, appended in place",     \
      "the variable, the source, the arguments' items, the function, + or &, LET and the variable")          \
    X(EofBranch, Statement, NoExecutor, L::Next | L::Else,                                                   \
      "IF on EOF of a channel (or NOT EOF) while its reader has a character at hand",                        \
      "the channel's literal, EOF, NOT, IF and its jump target")                                             \
    X(LetText, Statement, NoExecutor, L::Target | L::Next,                                                   \
      "LET of a string variable (or a PUBLIC text) to a string variable",                                    \
      "the source, LET and the variable")                                                                    \
    X(PrintFile, PrintFile, NoExecutor, L::Next, "PRINT# of a number, a string variable or a text literal",  \
      "the value's items, the channel's literal and PRINT#")                                                 \
    X(PrintFileLine, PrintFile, NoExecutor, L::Next, "PrintFile of the value that ends the line",            \
      "the value's items, the channel's literal and the line-ending PRINT#")                                 \
    X(PopNumbers, PopNumbers, NoExecutor, L::Count | L::Next,                                                \
      "parameter binds into numeric variables (a by-value argument's value dropped)",                        \
      "a run of GlPop items with their variables")                                                           \
    X(PushNumbers, PushNumbers, NoExecutor, L::Count | L::Next,                                              \
      "numeric variables handed back onto the Gl stack", "a run of GlPush items with their variables")       \
    X(ForNext, ForNext, NoExecutor, L::Target | L::Next | L::Else,                                           \
      "NEXT of a FOR loop and the loop's test in one pass (and a body of one statement with it)",            \
      "LET v = step + v, the test's items, IF and its jump target")                                          \
    X(Call, Call, NoExecutor, L::Count | L::Next | L::Return,                                                \
      "a procedure call: argument values, locals saved, return index, jump (and the callee's frame and "     \
      "binds)",                                                                                              \
      "the argument values' items, LoPushAll, SubJump and the name")                                         \
    X(Return, Return, NoExecutor, L::ToReturnIndex,                                                          \
      "hand-backs pushed, frame and return index dropped (and the caller's side at once)",                   \
      "the GlPush hand-backs and END SUB or END FUNCTION")                                                   \
    X(Enter, CallPart, NoExecutor, L::Next, "the callee's frame and numeric parameter binds",                \
      "the SUB frame item, its words and the GlPop binds")                                                   \
    X(ReturnSite, CallPart, NoExecutor, L::Next,                                                             \
      "the locals restored, the hand-backs taken, a function's value combined and assigned",                 \
      "LoPopAll, the GlPop takes, an arithmetic operator and a LET")                                         \
    X(SaveLocals, Executor, SaveLocals, L::Item, "the caller's locals saved on the Lo stack", "LoPushAll")   \
    X(RestoreLocals, Executor, RestoreLocals, L::Item, "the caller's locals restored from the Lo stack",     \
      "LoPopAll")                                                                                            \
    X(SubJump, Executor, JumpViaLabelVariable, L::Item,                                                      \
      "the jump into a SUB or FUNCTION with its return index", "SubJump and the name")                       \
    X(SubFrame, Executor, PushSubFrame, L::Item | L::Value, "the callee's frame pushed",                     \
      "the SUB frame item and its words")                                                                    \
    X(EndSub, Executor, ExecEndSub, L::Item, "the frame and the return index dropped",                       \
      "END SUB or END FUNCTION")                                                                             \
    X(FrameSizes, Executor, PushFrameSizes, L::Item | L::Value, "a DEF function's frame sizes pushed",       \
      "the frame-size items")                                                                                \
    X(FunctionReturn, Executor, ReturnFromFunction, L::Item, "a DEF function's return",                      \
      "its return statement")                                                                                \
    X(LineInputFile, Executor, ExecLineInputFile, L::Item,                                                   \
      "LINE INPUT# by its executor, the run staying decoded", "LINE INPUT#, its channel and its target")     \
    X(OnStack, Executor, RunOnStack, L::Target | L::Stacked | L::Item,                                       \
      "the rest of a statement on values the items before it left on the Gl stack (StackedStatement): a "    \
      "numeric expression and a LET, an IF or the items after it; a LET of the value to a scalar or an "     \
      "element; S$ = S$ + x appending in place; the first item's general executor when the values do not "   \
      "fit",                                                                                                 \
      "the first item (an operator, a function, IF or LET) and the items after it that the rest covers")

// What a decoded entry does.
enum class DecodedOp : std::uint8_t {
#define LX_DECODED_ENUM(Name, Runs, Executor, Listed, What, Replaces) Name,
    LX_DECODED_OPS(LX_DECODED_ENUM)
#undef LX_DECODED_ENUM
};

// An operation's row as the listing reads it.
struct DecodedOpRow {
    std::string_view Name;
    std::uint16_t Listed; // ListedOperands
    std::string_view What;
    std::string_view Replaces;
};

namespace DecodedOps {
namespace L = ListedOperands;
inline constexpr std::array Rows{
#define LX_DECODED_ROW(Name, Runs, Executor, Listed, What, Replaces)                                         \
    DecodedOpRow{#Name, static_cast<std::uint16_t>(Listed), What, Replaces},
    LX_DECODED_OPS(LX_DECODED_ROW)
#undef LX_DECODED_ROW
};
} // namespace DecodedOps

constexpr const DecodedOpRow& RowOf(DecodedOp op) {
    return DecodedOps::Rows[static_cast<std::size_t>(op)];
}
