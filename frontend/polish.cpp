// The infix-to-postfix conversion of one expression: an operator stack ordered by priority, with the
// checks that an operand and an operator alternate.
#include "frontend/polish.h"

#include "core/raiseerror.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/vocabulary.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr int OperatorStackSize = 40;
constexpr int CallPriority = 20;      // built-in functions, arrays and callable names: bind tightest
constexpr int EmptyStackPriority = 0; // what an empty operator stack shows; also the priority of "("

// What the reader has just seen; only "after an operand" is checked against the next item.
enum class ReaderState { AfterOperand, AfterOperator, ExpectOperand };

// Higher binds tighter. The comparisons are deliberately not one level: A = B < C is A = (B < C).
// ")" and "," sit below "(" so that a "," on the stack stops the flush of the group it opened.
constexpr std::array<int, OperatorCount + 1> OperatorPriorities = [] {
    std::array<int, OperatorCount + 1> p{};
    p[Op::Eqv] = 1;
    p[Op::Imp] = 2;
    p[Op::Or] = 3;
    p[Op::Xor] = 4;
    p[Op::And] = 5;
    p[Op::Not] = 6;
    p[Op::Equal] = 7;
    p[Op::NotEqual] = 8;
    p[Op::Less] = p[Op::Greater] = 9;
    p[Op::LessEqual] = p[Op::GreaterEqual] = 10;
    p[Op::Plus] = p[Op::Minus] = p[Op::Ampersand] = 11;
    p[Op::Mod] = 12;
    p[Op::IntDivide] = 13;
    p[Op::ChgSgn] = 14;
    p[Op::Multiply] = p[Op::Divide] = 15;
    p[Op::Power] = 16;
    p[Op::CloseBracket] = p[Op::Comma] = -1;
    return p;
}();

constexpr CodeItemType OpenBracketItem{CodeKind::Operator, Op::OpenBracket, 0};
constexpr CodeItemType CloseBracketItem{CodeKind::Operator, Op::CloseBracket, 0};

// The operators that have a routine in the engine and so may stand in an expression: those with a
// priority. The alternative spellings "><", "=<" and "=>" are made canonical before conversion and
// have none.
bool IsExpressionOperator(int slot) {
    return slot >= 1 && slot <= OperatorCount && OperatorPriorities[static_cast<std::size_t>(slot)] > 0;
}

// The Kind of the variable record a name item refers to. An index outside its table reads as a plain
// variable, so a damaged item is passed through as an operand instead of reading past the table.
template <typename Record> int RecordKind(const std::vector<Record>& table, std::int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= table.size()) return 0;
    return table[static_cast<std::size_t>(index)].Kind;
}
int NumNameKind(const CodeItemType& item) {
    return RecordKind(Tb.NumVarTable, item.SecondCode);
}
int StrNameKind(const CodeItemType& item) {
    return RecordKind(Tb.StrVarTable, item.SecondCode);
}
int BoolNameKind(const CodeItemType& item) {
    return RecordKind(Tb.BoolVarTable, item.SecondCode);
}

bool IsNumName(int kind) {
    return kind == CodeKind::NumVar || kind == CodeKind::NumArray;
}
bool IsStrName(int kind) {
    return kind == CodeKind::StrVar || kind == CodeKind::StrArray;
}
bool IsBoolName(int kind) {
    return kind == CodeKind::BoolVar || kind == CodeKind::BoolArray;
}

// A numeric name that takes arguments: a FUNCTION, a DEF function or an array.
bool NumNameTakesArguments(const CodeItemType& item) {
    const int k = NumNameKind(item);
    return k == NumVarKind::FunctionName || k == NumVarKind::DefFunction || k == NumVarKind::ArrayParameter ||
           k == NumVarKind::Array;
}

// May a "(" follow this item? Functions, arrays, user FUNCTIONs and DEF functions take arguments.
bool IsCallableName(const CodeItemType& item) {
    const int kind = item.FirstCode;
    if (kind == CodeKind::Function) return true;
    if (IsNumName(kind)) return NumNameTakesArguments(item);
    if (IsStrName(kind)) {
        const int k = StrNameKind(item);
        return k >= StrVarKind::FunctionName && k <= StrVarKind::Array;
    }
    if (IsBoolName(kind)) {
        const int k = BoolNameKind(item);
        return k >= BoolVarKind::FunctionName && k <= BoolVarKind::Array;
    }
    return false;
}

// Names that wait on the operator stack for their arguments, like a built-in function. The other
// name kinds (plain variables, labels, ...) go straight to the output.
bool WaitsForArguments(const CodeItemType& item) {
    const int kind = item.FirstCode;
    if (IsNumName(kind)) return NumNameTakesArguments(item);
    if (IsStrName(kind)) {
        const int k = StrNameKind(item);
        // A string DEF function follows its arguments like a numeric one; appended at once it would
        // run before them and find its argument missing.
        return k == StrVarKind::FunctionName || k == StrVarKind::DefFunction ||
               k == StrVarKind::ArrayParameter || k == StrVarKind::Array;
    }
    if (IsBoolName(kind)) {
        const int k = BoolNameKind(item);
        return k == BoolVarKind::FunctionName || k == BoolVarKind::ArrayParameter || k == BoolVarKind::Array;
    }
    return false;
}

// Items that are complete operands by themselves: constants, literals and procedure locals.
bool IsPlainOperand(int kind) {
    switch (kind) {
    case CodeKind::SysNumConst:
    case CodeKind::SysStrConst:
    case CodeKind::NumLiteral:
    case CodeKind::LocalNumVar:
    case CodeKind::StrLiteral:
    case CodeKind::LocalStrVar:
    case CodeKind::BoolConst: return true;
    default: return false;
    }
}

// Items that may not directly follow an operand. String, array and boolean-array names are left
// out on purpose: a PRINT list may run a value and a string name together.
bool CannotFollowOperand(int kind) {
    return IsPlainOperand(kind) || kind == CodeKind::Function || kind == CodeKind::NumVar ||
           kind == CodeKind::BoolVar;
}

bool IsOperatorItem(const CodeItemType& item, int slot) {
    return item.FirstCode == CodeKind::Operator && item.SecondCode == slot;
}

// NOT and ChgSgn have no left operand.
bool IsPrefixOperator(int slot) {
    return slot == Op::Not || slot == Op::ChgSgn;
}

bool IsExpressionOperatorItem(const CodeItemType& item) {
    return item.FirstCode == CodeKind::Operator && IsExpressionOperator(item.SecondCode);
}

// Does this item complete an operand, so that a binary operator may follow it? A function item
// does: either it takes no arguments or its bracketed arguments follow.
bool EndsOperand(const CodeItemType& item) {
    if (item.FirstCode <= CodeKind::None) return false; // nothing before the first item
    return item.FirstCode != CodeKind::Operator || item.SecondCode == Op::CloseBracket;
}

// An operand is missing: a binary operator with nothing on its left, or an operator directly before a
// ")" or "," (the end of the expression counts as a ")"). Converting these anyway would give postfix
// code whose operator takes a stray value from the stack, or the wrong argument of a call.
bool OperandMissing(const CodeItemType& previous, const CodeItemType& current) {
    if (IsExpressionOperatorItem(current) && !IsPrefixOperator(current.SecondCode) && !EndsOperand(previous))
        return true;
    return (IsOperatorItem(current, Op::CloseBracket) || IsOperatorItem(current, Op::Comma)) &&
           IsExpressionOperatorItem(previous);
}

int OperatorPriority(const CodeItemType& item) {
    const int kind = item.FirstCode;
    if (kind == CodeKind::Operator) {
        const int slot = item.SecondCode;
        return slot >= 0 && slot <= OperatorCount ? OperatorPriorities[static_cast<std::size_t>(slot)] : 0;
    }
    if (kind == CodeKind::Function) return CallPriority;
    // Only names that wait for arguments reach the stack, so a Kind of 0 here is an internal fault.
    if (IsNumName(kind) || IsBoolName(kind)) {
        const int k = IsNumName(kind) ? NumNameKind(item) : BoolNameKind(item);
        if (k != 0) return CallPriority;
        RaiseError(Err::NumNameWithoutKind);
        return 0;
    }
    if (IsStrName(kind)) {
        if (StrNameKind(item) != 0) return CallPriority;
        RaiseError(Err::StrNameWithoutKind);
        return 0;
    }
    return 0;
}

// One conversion's working state: the operator stack and the input and output slots. Everything is
// a fixed array, so a conversion allocates nothing.
struct Conversion {
    std::array<CodeItemType, OperatorStackSize + 1> Stack{}; // 1-based; StackCount is the top
    int StackCount = 0;
    std::array<CodeItemType, PolishItemLimit + 2> Input{};  // the items, then the closing ")"
    std::array<CodeItemType, PolishItemLimit + 2> Output{}; // the postfix items, then a cleared item
    int OutputIndex = 1;                                    // the next slot to write

    void PushOperator(const CodeItemType& item) {
        if (StackCount >= OperatorStackSize) {
            RaiseError(Err::OperatorStackFull);
            return;
        }
        Stack[static_cast<std::size_t>(++StackCount)] = item;
    }

    bool PopOperator(CodeItemType& item) {
        if (StackCount < 1) {
            RaiseError(Err::OperatorStackEmpty);
            return false;
        }
        item = Stack[static_cast<std::size_t>(StackCount--)];
        return true;
    }

    int TopPriority() const {
        return StackCount < 1 ? EmptyStackPriority
                              : OperatorPriority(Stack[static_cast<std::size_t>(StackCount)]);
    }

    // A "(" reaching the output means a group was never closed.
    void AppendPolish(const CodeItemType& item) {
        if (IsOperatorItem(item, Op::OpenBracket)) {
            RaiseError(Err::OpenBracketInOutput);
            return;
        }
        if (OutputIndex > PolishItemLimit) { // cannot happen: the output never outgrows the input
            RaiseError(ExpressionTooLongError);
            return;
        }
        Output[static_cast<std::size_t>(OutputIndex++)] = item;
    }

    // Everything on the stack that binds at least as tightly goes out first, which makes every
    // binary operator left-associative ("^" too): 2 ^ 3 ^ 2 is (2 ^ 3) ^ 2.
    void PushByPriority(const CodeItemType& item) {
        for (;;) {
            if (OperatorPriority(item) <= TopPriority()) {
                CodeItemType top;
                if (PopOperator(top)) AppendPolish(top);
                if (Fe.ErrorNumber != 0) return;
            } else {
                PushOperator(item);
                return;
            }
        }
    }

    // Flushes the group down to the "(" or "," that opened it and drops that item.
    void CloseBracket() {
        while (TopPriority() > EmptyStackPriority && Fe.ErrorNumber == 0) {
            CodeItemType top;
            if (PopOperator(top)) AppendPolish(top);
        }
        CodeItemType opener;
        PopOperator(opener);
    }
};

} // namespace

void ToPolish(const ItemBuffer& input, ItemBuffer& output, int& error) {
    Fe.ErrorNumber = Err::None;
    error = Err::None;

    // Refuse an expression the conversion cannot hold instead of converting the part of it that fits.
    int length = 0;
    while (length < ItemBufferSize && input[static_cast<std::size_t>(length) + 1].FirstCode > CodeKind::None)
        ++length;
    if (length > PolishItemLimit) {
        RaiseError(ExpressionTooLongError);
        error = Fe.ErrorNumber;
        return;
    }

    // Everything is read from `input` before `output` is written, so the two may be one buffer.
    Conversion c;
    std::copy_n(input.begin() + 1, length, c.Input.begin() + 1);
    const int last = length + 1;
    c.Input[static_cast<std::size_t>(last)] = CloseBracketItem; // closes the "(" pushed below
    c.PushOperator(OpenBracketItem);

    ReaderState state = ReaderState::ExpectOperand;
    CodeItemType previous{}, current{};
    for (int index = 1; index <= last && Fe.ErrorNumber == 0; ++index) {
        previous = current;
        current = c.Input[static_cast<std::size_t>(index)];

        if (state == ReaderState::AfterOperand &&
            ((IsOperatorItem(current, Op::OpenBracket) && !IsCallableName(previous)) ||
             CannotFollowOperand(current.FirstCode))) {
            RaiseError(Err::OperandsInRow);
            error = Fe.ErrorNumber;
            return;
        }
        if (OperandMissing(previous, current)) {
            RaiseError(Err::OperandsInRow);
            error = Fe.ErrorNumber;
            return;
        }

        const int kind = current.FirstCode;
        if (kind == CodeKind::Operator) {
            const int slot = current.SecondCode;
            if (IsPrefixOperator(slot)) {
                // A prefix operator completes nothing to its left, so it must not flush the stack:
                // A * -B and 2 ^ -1 would otherwise emit the "*" or "^" before its right operand.
                c.PushOperator(current);
                state = ReaderState::AfterOperator;
            } else if (IsExpressionOperator(slot)) {
                c.PushByPriority(current);
                state = ReaderState::AfterOperator;
            } else if (slot == Op::OpenBracket) {
                c.PushOperator(current);
                state = ReaderState::ExpectOperand;
            } else if (slot == Op::CloseBracket) {
                c.CloseBracket();
                if (Fe.ErrorNumber != 0) {
                    // Whatever the group's closing tripped on, the fault the user made is this ")".
                    Fe.ErrorNumber = 0;
                    RaiseError(Err::UnmatchedCloseBracket);
                }
                state = ReaderState::ExpectOperand;
            } else if (slot == Op::Comma) {
                // The "," takes the place of the "(" or "," below it, so each argument is flushed at
                // its comma and the function waiting under the group comes out after the last one.
                c.CloseBracket();
                if (Fe.ErrorNumber == 0) c.PushOperator(current);
                if (Fe.ErrorNumber != 0) {
                    // As for ")": the fault the user made is this ",", not what the closing met.
                    Fe.ErrorNumber = 0;
                    RaiseError(Err::MisplacedComma);
                }
                state = ReaderState::ExpectOperand;
            } else {
                RaiseError(Err::NotInExpression);
            }
        } else if (kind == CodeKind::Function) {
            c.PushByPriority(current);
        } else if (IsPlainOperand(kind)) {
            c.AppendPolish(current);
            state = ReaderState::AfterOperand;
        } else if (IsNumName(kind) || IsStrName(kind) || IsBoolName(kind)) {
            if (WaitsForArguments(current))
                c.PushByPriority(current);
            else
                c.AppendPolish(current);
            state = ReaderState::AfterOperand;
        } else {
            RaiseError(Err::NotInExpression);
        }
    }

    // The closing ")" has matched the opening "(": anything still on the stack is an unclosed "(".
    // Only a conversion that went through gets here, so an earlier, more telling error stands.
    // What is left would go to an output that a failed conversion never hands over.
    if (Fe.ErrorNumber == 0 && c.StackCount > 0) RaiseError(Err::UnmatchedOpenBracket);
    if (Fe.ErrorNumber != 0) {
        error = Fe.ErrorNumber;
        return;
    }

    std::copy_n(c.Output.begin() + 1, PolishItemLimit + 1, output.begin() + 1);
    error = Fe.ErrorNumber;
}
