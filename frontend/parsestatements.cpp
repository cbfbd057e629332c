// Code generation for the statements that declare arrays, assign and exchange values, hold and read
// DATA, read input from the keyboard and from files, print, open and close files, and draw. The item
// sequences written here are what the statement executors expect to find after their statement item.
#include "core/errornumbers.h"
#include "core/internalcodes.h"
#include "core/itembuffers.h"
#include "core/parsecodes.h"
#include "core/raiseerror.h"
#include "frontend/compilerstate.h"
#include "frontend/parse.h"

#include <cmath>

namespace LXParse {

namespace {

bool IsChannelItem(const CodeItemType& item) {
    return item.FirstCode == CodeKind::NumLiteral && IsChannelNumber(NumConValue(item));
}

// The transfer slot through which a value of the name's type reaches its LET.
int TransferKind(const CodeItemType& name) {
    switch (name.FirstCode) {
    case CodeKind::StrVar:
    case CodeKind::StrArray: return CodeKind::PublicStr;
    case CodeKind::BoolVar:
    case CodeKind::BoolArray: return CodeKind::PublicBool;
    default: return CodeKind::PublicNum;
    }
}
constexpr int TransferSlot = 1;

void EmitTransfer(const CodeItemType& name) {
    Emit(TransferKind(name), TransferSlot);
}

// The next item of a list whose items commas separate, the commas passed over; false at the statement
// end, which is left unread.
bool ReadListItem(CodeItemType& item) {
    for (;;) {
        LookItem(item);
        if (IsStatementEnd(item)) return false;
        ReadItem(item);
        if (!IsOperator(item, Op::Comma)) return true;
    }
}

// The indices of a target that is an array element, read onto the index stack (the errors as
// ReadArrayIndices takes them): how many, 0 for a plain variable, -1 after an error.
int TargetIndices(const CodeItemType& target, int openError, int otherError) {
    if (!IsArrayName(target)) return 0;
    return ReadArrayIndices(target, Cs.Parse.IndexStack, openError, otherError, Err::NestingTooDeep);
}

// The LET that stores the value before it into `target`, below its `indices` subscripts popped from
// the index stack.
void EmitLetInto(const CodeItemType& target, int indices) {
    EmitPoppedIndices(Cs.Parse.IndexStack, indices, Err::IfBlockMismatch);
    Emit(CodeKind::Statement, St::LET);
    AddCode(target);
}

// Writes the top `count` entries of an expression stack in the order they were pushed, leaving them
// on the stack.
template <int Capacity> void EmitStackedIndices(FixedStack<ItemBuffer, Capacity>& stack, int count) {
    for (int i = stack.Count - count + 1; i <= stack.Count && Fe.ErrorNumber == 0; ++i)
        EmitExpression(stack.Items[static_cast<std::size_t>(i)]);
}

} // namespace

// ---- DIM ------------------------------------------------------------------------------------------------

namespace {

// The most elements one element table may hold: beyond this an array is refused as too large for
// memory instead of being allocated.
constexpr long MaxArrayElements = 1L << 25;

bool IsDeclarableName(const CodeItemType& item) {
    return item.FirstCode == CodeKind::NumVar || item.FirstCode == CodeKind::StrVar ||
           item.FirstCode == CodeKind::BoolVar || item.FirstCode == CodeKind::FormulaVar;
}

// Reads "(" b1, ..., bn ")": numeric constants, truncated; the lower bound of every dimension is 0.
bool ReadBounds(std::array<std::int32_t, MaxDimensions + 1>& bounds, int& count) {
    count = 0;
    if (!ReadOperator(Op::OpenBracket)) {
        RaiseError(Err::DimSyntax);
        return false;
    }
    CodeItemType item;
    while (true) {
        if (count == MaxDimensions) {
            RaiseError(Err::TooManyDimensions);
            return false;
        }
        ReadItem(item);
        if (item.FirstCode != CodeKind::NumLiteral) {
            RaiseError(Err::DimSyntax);
            return false;
        }
        const Extended bound = std::trunc(NumConValue(item));
        // A negative bound would give a negative element count; a huge one cannot be held.
        if (!(bound >= 0.0L && bound < static_cast<Extended>(MaxArrayElements))) {
            RaiseError(bound >= 0.0L ? Err::OutOfMemory : Err::DimSyntax);
            return false;
        }
        bounds[static_cast<std::size_t>(++count)] = static_cast<std::int32_t>(bound);
        ReadItem(item);
        if (IsOperator(item, Op::CloseBracket)) return true;
        if (!IsOperator(item, Op::Comma)) {
            RaiseError(Err::DimSyntax);
            return false;
        }
    }
}

// Grows an element table by `elements` cleared entries after its first `used` ones.
template <typename T> bool AddElements(std::vector<T>& table, int& used, long elements) {
    if (used + elements > MaxArrayElements) {
        RaiseError(Err::OutOfMemory);
        return false;
    }
    const long last = used + elements;
    // Entries the table already had (left by an earlier declaration that failed) are cleared; the ones
    // it grows by start cleared.
    const long had = static_cast<long>(table.size()) - 1;
    if (!GrowTable(table, static_cast<std::size_t>(last))) return false;
    for (long i = used + 1; i <= last && i <= had; ++i)
        table[static_cast<std::size_t>(i)] = T{};
    used = static_cast<int>(last);
    return true;
}

template <typename Record>
void SetArrayShape(Record& record, std::uint8_t kind, int base,
                   const std::array<std::int32_t, MaxDimensions + 1>& bounds, int count) {
    record.Kind = kind;
    record.Base = base;
    record.DimCount = static_cast<std::uint8_t>(count);
    record.Bounds = {};
    for (int d = 1; d <= count; ++d)
        record.Bounds[static_cast<std::size_t>(d)] = bounds[static_cast<std::size_t>(d)];
}

bool DeclareArray(const CodeItemType& name) {
    NumVarType* num = NumRecord(name);
    StrVarType* str = StrRecord(name);
    BoolVarType* boolean = BoolRecord(name);
    if (name.FirstCode != CodeKind::FormulaVar) {
        const int kind = num ? num->Kind : str ? str->Kind : boolean ? boolean->Kind : -1;
        if (kind < 0) {
            RaiseError(Err::DimSyntax);
            return false;
        }
        if (kind != 0) {
            RaiseError(Err::DeclaredVariableUsed);
            return false;
        }
    }
    std::array<std::int32_t, MaxDimensions + 1> bounds{};
    int count = 0;
    if (!ReadBounds(bounds, count)) return false;
    if (name.FirstCode == CodeKind::FormulaVar) return true; // a formula takes no elements
    long elements = 1;
    for (int d = 1; d <= count; ++d) {
        elements *= static_cast<long>(bounds[static_cast<std::size_t>(d)]) + 1;
        if (elements > MaxArrayElements) {
            RaiseError(Err::OutOfMemory);
            return false;
        }
    }
    if (num) {
        const int base = Tb.NumofRegisteredANumVar + 1;
        if (!AddElements(Tb.ANumVarTable, Tb.NumofRegisteredANumVar, elements)) return false;
        SetArrayShape(*num, NumVarKind::Array, base, bounds, count);
    } else if (str) {
        const int base = Tb.NumofRegisteredAStrVar + 1;
        if (!AddElements(Tb.AStrVarTable, Tb.NumofRegisteredAStrVar, elements)) return false;
        SetArrayShape(*str, StrVarKind::Array, base, bounds, count);
    } else {
        const int base = Tb.NumofRegisteredABoolVar + 1;
        if (!AddElements(Tb.ABoolVarTable, Tb.NumofRegisteredABoolVar, elements)) return false;
        SetArrayShape(*boolean, BoolVarKind::Array, base, bounds, count);
    }
    return true;
}

void DeclarePlain(const CodeItemType& name) {
    if (NumVarType* r = NumRecord(name)) r->Kind = NumVarKind::Variable;
    if (StrVarType* r = StrRecord(name)) r->Kind = StrVarKind::Variable;
    if (BoolVarType* r = BoolRecord(name)) r->Kind = BoolVarKind::Variable;
    if (name.FirstCode == CodeKind::FormulaVar && name.SecondCode >= 1 &&
        static_cast<std::size_t>(name.SecondCode) < Tb.FormVarTable.size())
        Tb.FormVarTable[static_cast<std::size_t>(name.SecondCode)].Kind = 0;
}

} // namespace

// DIM name[(bounds)], ...: declares at compile time and writes no code.
void CompileDim() {
    CodeItemType item;
    while (ReadListItem(item)) {
        if (!IsDeclarableName(item)) return RaiseError(Err::StatementNotEnded, St::DIM);
        CodeItemType next;
        LookItem(next);
        if (IsOperator(next, Op::Comma) || IsStatementEnd(next)) {
            DeclarePlain(item);
            continue;
        }
        if (!DeclareArray(item)) return;
    }
}

// ---- LET and SWAP ----------------------------------------------------------------------------------------

// [LET] target[(indices)] = value
void CompileLet() {
    CodeItemType target;
    ReadItem(target);
    if (target.FirstCode != CodeKind::NumVar && target.FirstCode != CodeKind::StrVar &&
        target.FirstCode != CodeKind::BoolVar)
        return RaiseError(Err::LetNoVariable);
    const int indices = TargetIndices(target, Err::ArraySyntax, Err::ArraySyntax);
    if (indices < 0) return;
    CodeItemType item;
    ReadItem(item);
    if (!IsOperator(item, Op::Equal)) return RaiseError(Err::LetNoEqual);
    if (NextIsStatementEnd()) return RaiseError(Err::LetNoExpression);
    ItemBuffer value;
    ParseExpression(value);
    if (Fe.ErrorNumber != 0) return;
    EmitExpression(value);
    ExpectStatementEndNaming(St::LET);
    if (Fe.ErrorNumber != 0) return;
    // The executor pops the subscripts first, the first subscript on top.
    EmitLetInto(target, indices);
    EmitLineEnd();
}

namespace {

// 1 numbers, 2 strings, 3 booleans; 0 for anything that cannot be exchanged.
int SwapFamily(const CodeItemType& item) {
    switch (item.FirstCode) {
    case CodeKind::NumVar:
    case CodeKind::NumArray: return 1;
    case CodeKind::StrVar:
    case CodeKind::StrArray: return 2;
    case CodeKind::BoolVar:
    case CodeKind::BoolArray: return 3;
    default: return 0;
    }
}

bool IsDimArray(const CodeItemType& item) {
    return IsArrayName(item) && !IsArrayParameter(item);
}

void SwapSyntax() {
    RaiseError(Err::StatementSyntax, St::SWAP);
}

// The indices of a SWAP operand that is an array element, read and stacked: how many there are, 0 for
// a plain variable, -1 after an error.
template <int Capacity>
int StackSwapIndices(const CodeItemType& operand, bool element, FixedStack<ItemBuffer, Capacity>& stack) {
    if (!element) return 0;
    const int count =
        ReadArrayIndices(operand, stack, Err::ArraySyntax, Err::ArraySyntax, Err::InnerStackOverflow);
    if (count >= 0) EmitStackedIndices(stack, count);
    return count;
}

} // namespace

// SWAP a, b: a goes to the transfer slot, b to a, the slot to b.
void CompileSwap() {
    CodeItemType first;
    ReadItem(first);
    const int family = SwapFamily(first);
    if (family == 0) return SwapSyntax();
    const int firstIndices = StackSwapIndices(first, IsDimArray(first), Cs.Parse.SwapStack1);
    if (firstIndices < 0) return;
    AddCode(first);
    Emit(CodeKind::Statement, St::LET);
    EmitTransfer(first);
    EmitColon();
    if (!ReadOperator(Op::Comma)) return SwapSyntax();
    CodeItemType second;
    ReadItem(second);
    if (SwapFamily(second) != family) return SwapSyntax();
    const int secondIndices = StackSwapIndices(second, IsArrayName(second), Cs.Parse.SwapStack2);
    if (secondIndices < 0) return;
    if (std::abs(DeclaredDimCount(first) - DeclaredDimCount(second)) > 1 || !NextIsStatementEnd())
        return SwapSyntax();
    AddCode(second);
    EmitPoppedIndices(Cs.Parse.SwapStack1, firstIndices, Err::InnerStackUnderflow);
    Emit(CodeKind::Statement, St::LET);
    AddCode(first);
    EmitColon();
    EmitTransfer(first);
    EmitPoppedIndices(Cs.Parse.SwapStack2, secondIndices, Err::InnerStackUnderflow);
    Emit(CodeKind::Statement, St::LET);
    AddCode(second);
    EmitLineEnd();
}

// ---- DATA, READ, RESTORE -------------------------------------------------------------------------------

// DATA constant, ...: the constants stay in the code, where READ finds them.
void CompileData() {
    if (!GrowTable(Tb.DataPtrTable, static_cast<std::size_t>(Tb.NumofRegisteredDataPtr) + 1)) return;
    ++Tb.NumofRegisteredDataPtr;
    Tb.DataPtrTable[static_cast<std::size_t>(Tb.NumofRegisteredDataPtr)] = Ib.CodeIndex;
    Emit(CodeKind::Statement, St::DATA);
    CodeItemType item;
    if (!NextIsStatementEnd()) {
        while (true) {
            // An empty item (two commas, or a comma first or last) is refused rather than skipped.
            ReadItem(item);
            if (item.FirstCode != CodeKind::NumLiteral && item.FirstCode != CodeKind::StrLiteral)
                return RaiseError(Err::StatementNotEnded, St::DATA);
            AddCode(item);
            if (NextIsStatementEnd()) break;
            if (!ReadOperator(Op::Comma)) return RaiseError(Err::StatementNotEnded, St::DATA);
        }
    }
    EmitLineEnd();
}

// The targets of READ and INPUT#: one statement item per target (INPUT# with its channel after it),
// then the target itself or, for an array element, the transfer-slot sequence that stores into it.
static void CompileTransferTargets(int statement, const CodeItemType* channel) {
    CodeItemType item;
    while (ReadListItem(item)) {
        if (item.FirstCode != CodeKind::NumVar && item.FirstCode != CodeKind::StrVar)
            return RaiseError(Err::StatementNotEnded, statement);
        Emit(CodeKind::Statement, statement);
        if (channel != nullptr) AddCode(*channel);
        if (!IsArrayName(item)) {
            AddCode(item);
            EmitColon();
            continue;
        }
        EmitTransfer(item);
        EmitColon();
        const int indices = ReadArrayIndices(item, Cs.Parse.IndexStack, Err::ArraySyntax, Err::ArraySyntax,
                                             Err::NestingTooDeep);
        if (indices < 0) return;
        EmitTransfer(item);
        EmitLetInto(item, indices);
        EmitColon();
    }
    EmitLineEnd();
}

// READ target, ...
void CompileRead() {
    CompileTransferTargets(St::READ, nullptr);
}

// RESTORE [*label | line number]
void CompileRestore() {
    Emit(CodeKind::Statement, St::RESTORE);
    CodeItemType item;
    LookItem(item);
    if (IsOperator(item, Op::Multiply)) {
        ReadItem(item);
        ReadItem(item);
        if (item.FirstCode != CodeKind::NumVar) return RaiseError(Err::RestoreSyntax);
        AddCode(item);
    } else if (item.FirstCode == CodeKind::NumLiteral) {
        ReadItem(item);
        AddCode(item);
    }
    ExpectStatementEnd();
}

// ---- INPUT family -------------------------------------------------------------------------------------

namespace {

enum class PromptRead { None, Read, Failed };

// The "prompt" that INPUT and LINE INPUT may begin with, and the "," or ";" after it; a missing
// separator raises `error`.
PromptRead ReadPrompt(int error, CodeItemType& prompt, CodeItemType& separator) {
    LookItem(separator);
    if (separator.FirstCode != CodeKind::StrLiteral) return PromptRead::None;
    ReadItem(prompt);
    ReadItem(separator);
    if (IsOperator(separator, Op::Comma) || IsOperator(separator, Op::Semicolon)) return PromptRead::Read;
    RaiseError(error);
    return PromptRead::Failed;
}

} // namespace

// INPUT ["prompt" {, | ;}] target, ...: each target takes one field of the typed line through the
// transfer slot of its type.
void CompileInput() {
    Emit(CodeKind::Statement, St::INPUT);
    CodeItemType prompt, separator;
    const PromptRead read = ReadPrompt(Err::InputNoSeparator, prompt, separator);
    if (read == PromptRead::Failed) return;
    if (read == PromptRead::Read) {
        AddCode(separator);
        AddCode(prompt);
    } else {
        Emit(CodeKind::Operator, Op::Comma);
        Emit(CodeKind::SysStrConst, ParseConst::InputPrompt);
    }
    while (true) {
        CodeItemType target;
        ReadItem(target);
        if (target.FirstCode != CodeKind::NumVar && target.FirstCode != CodeKind::StrVar)
            return RaiseError(Err::InputVariableList);
        Emit(CodeKind::Statement,
             target.FirstCode == CodeKind::NumVar ? InSt::InputNumField : InSt::InputStrField);
        EmitColon();
        const int indices = TargetIndices(target, Err::ArraySyntax, Err::InputVariableList);
        if (indices < 0) return;
        EmitTransfer(target);
        EmitLetInto(target, indices);
        EmitColon();
        if (Fe.ErrorNumber != 0 || NextIsStatementEnd()) return;
        if (!ReadOperator(Op::Comma)) return RaiseError(Err::InputVariableList);
    }
}

namespace {

// The string target of LINE INPUT and LINE INPUT#, after its optional prompt.
void CompileLineInputTarget(bool promptAllowed) {
    if (promptAllowed) {
        CodeItemType prompt, separator;
        const PromptRead read = ReadPrompt(Err::InputSyntax, prompt, separator);
        if (read == PromptRead::Failed) return;
        if (read == PromptRead::Read) AddCode(prompt);
    }
    CodeItemType target;
    ReadItem(target);
    if (target.FirstCode != CodeKind::StrVar) return RaiseError(Err::InputSyntax);
    Emit(CodeKind::PublicStr, TransferSlot);
    EmitColon();
    const int indices = TargetIndices(target, Err::InputArrayType, Err::InputArrayType);
    if (indices < 0) return;
    Emit(CodeKind::PublicStr, TransferSlot);
    EmitLetInto(target, indices);
    EmitLineEnd();
    EmitColon();
    ExpectStatementEnd();
}

// "#" channel "," of INPUT# and LINE INPUT#: the channel literal, or kind 0 after an error.
CodeItemType ReadInputChannel() {
    CodeItemType channel;
    ReadItem(channel);
    if (!IsChannelItem(channel) || !ReadOperator(Op::Comma)) {
        RaiseError(Err::InputFileSyntax);
        return CodeItemType{};
    }
    return channel;
}

} // namespace

// LINE INPUT ["prompt" {, | ;}] string target
void CompileLineInput() {
    Emit(CodeKind::Statement, St::LINEINPUT);
    CompileLineInputTarget(true);
}

// INPUT #channel, target, ...: one INPUT# item per target, each with its channel, as its executor
// reads them.
void CompileInputFile() {
    const CodeItemType channel = ReadInputChannel();
    if (Fe.ErrorNumber != 0) return;
    CompileTransferTargets(St::INPUTFile, &channel);
}

// LINE INPUT #channel, string target
void CompileLineInputFile() {
    Emit(CodeKind::Statement, St::LINEINPUTFile);
    CodeItemType channel;
    ReadItem(channel);
    if (!IsChannelItem(channel)) return RaiseError(Err::InputFileSyntax);
    AddCode(channel);
    if (!ReadOperator(Op::Comma)) return RaiseError(Err::InputSyntax);
    CompileLineInputTarget(false);
}

// ---- PRINT family ---------------------------------------------------------------------------------------

namespace {

enum class Separator { None, Comma, Semicolon };

// PRINT USING and PRINT# USING end alike: a new line unless a separator ends the statement.
void EmitUsingEnding(Separator last) {
    if (last == Separator::None) Emit(CodeKind::PrintSep, PrintSepEnd);
    if (last == Separator::Comma) Emit(CodeKind::PrintSep, Op::Comma);
    EmitColon();
}

// The values and separators of a print list, up to the end of the statement. Every print statement reads
// them alike and differs only in what it emits: onSeparator(separator) for each "," or ";", and
// onValue(expression) for each value, which answers false when it raised an error. `last` holds the
// separator that ends the list (None where a value ends it); false once an error was raised.
template <typename OnSeparator, typename OnValue>
bool CompilePrintList(Separator& last, int noValueError, OnSeparator onSeparator, OnValue onValue) {
    CodeItemType item;
    while (true) {
        LookItem(item);
        if (IsStatementEnd(item)) return true;
        if (IsOperator(item, Op::Comma) || IsOperator(item, Op::Semicolon)) {
            ReadItem(item);
            last = IsOperator(item, Op::Comma) ? Separator::Comma : Separator::Semicolon;
            onSeparator(last);
            continue;
        }
        if (item.FirstCode == CodeKind::Statement) {
            RaiseError(noValueError);
            return false;
        }
        ItemBuffer value;
        ParseExpression(value);
        if (Fe.ErrorNumber != 0) return false;
        if (IsEmptyExpression(value)) {
            RaiseError(noValueError);
            return false;
        }
        if (!onValue(value)) return false;
        last = Separator::None;
    }
}

} // namespace

// PRINT [expression {, | ;}] ...
void CompilePrint() {
    Separator last = Separator::None;
    const bool read = CompilePrintList(
        last, Err::PrintNoExpression,
        [](Separator separator) {
            if (separator == Separator::Comma) Emit(CodeKind::PrintSep, Op::Comma);
        },
        [](const ItemBuffer& value) {
            EmitExpression(value);
            Emit(CodeKind::Statement, St::PRINT);
            return true;
        });
    if (!read) return;
    if (last == Separator::None) Emit(CodeKind::PrintSep, PrintSepEnd);
}

namespace {

bool ReadPrintChannel(CodeItemType& channel) {
    ReadItem(channel);
    if (channel.FirstCode != CodeKind::NumLiteral) {
        RaiseError(Err::PrintFileSyntax);
        return false;
    }
    if (!IsChannelNumber(NumConValue(channel))) {
        RaiseError(Err::FileNumberRange);
        return false;
    }
    return true;
}

} // namespace

// PRINT #channel, [expression {, | ;}] ...
void CompilePrintFile() {
    CodeItemType channel;
    if (!ReadPrintChannel(channel)) return;
    if (!ReadOperator(Op::Comma)) return RaiseError(Err::PrintFileNoComma);
    Separator last = Separator::None;
    bool printed = false;
    const bool read = CompilePrintList(
        last, Err::PrintFileNoExpression,
        [&](Separator separator) {
            if (separator != Separator::Comma) return;
            AddCode(channel);
            Emit(CodeKind::PrintFileSep, Op::Comma);
        },
        [&](const ItemBuffer& value) {
            EmitExpression(value);
            AddCode(channel);
            Emit(CodeKind::Statement, St::PRINTFile);
            printed = true;
            return true;
        });
    if (!read || last != Separator::None) return;
    if (!printed) {
        AddCode(channel);
        Emit(CodeKind::PrintFileSep, PrintSepEnd);
        return;
    }
    // The last value ends the line itself.
    --Ib.CodeIndex;
    Emit(CodeKind::Statement, InSt::PrintFileLineEnd);
}

// PRINT USING format; values and PRINT #channel, USING format; values
void CompilePrintUsing(bool toFile) {
    CodeItemType channel;
    if (toFile && !ReadPrintChannel(channel)) return;
    CodeItemType format;
    ReadItem(format);
    if (format.FirstCode != CodeKind::StrLiteral && format.FirstCode != CodeKind::StrVar)
        return RaiseError(Err::PrintUsingNoFormat);
    if (!ReadOperator(Op::Semicolon)) return RaiseError(Err::PrintUsingNoSemicolon);
    Separator last = Separator::Semicolon;
    int values = 0;
    const bool read = CompilePrintList(
        last, Err::PrintUsingSyntax, [](Separator) {},
        [&](const ItemBuffer& value) {
            if (!Cs.Parse.IndexStack.Push(value, Err::NestingTooDeep)) return false;
            ++values;
            return true;
        });
    if (!read) return;
    // The executor walks the format taking values from the top of the stack: the first value last.
    EmitPoppedIndices(Cs.Parse.IndexStack, values, Err::IfBlockMismatch);
    AddCode(format);
    if (toFile) AddCode(channel);
    Emit(CodeKind::Statement, toFile ? InSt::PrintUsingFile : St::PRINTUSING);
    EmitUsingEnding(last);
}

// ---- files ------------------------------------------------------------------------------------------------

// OPEN name FOR {INPUT | OUTPUT | APPEND} AS #channel
void CompileOpen() {
    Emit(CodeKind::Statement, St::OPEN);
    CodeItemType item;
    ReadItem(item);
    if (item.FirstCode != CodeKind::StrLiteral && item.FirstCode != CodeKind::StrVar)
        return RaiseError(Err::OpenSyntax);
    AddCode(item);
    ReadItem(item);
    if (!IsStatementItem(item, St::FOR)) return RaiseError(Err::OpenSyntax);
    ReadItem(item);
    if (!IsStatementItem(item, St::INPUT) && !IsStatementItem(item, St::OUTPUT) &&
        !IsStatementItem(item, St::APPEND))
        return RaiseError(Err::OpenSyntax);
    AddCode(item);
    ReadItem(item);
    if (!IsStatementItem(item, St::AS)) return RaiseError(Err::OpenSyntax);
    if (!ReadOperator(Op::Hash)) return RaiseError(Err::OpenSyntax);
    ReadItem(item);
    if (!IsChannelItem(item)) return RaiseError(Err::FileNumberInvalid);
    AddCode(item);
    if (!NextIsStatementEnd()) RaiseError(Err::OpenSyntax);
}

// CLOSE [#channel, ...]
void CompileClose() {
    Emit(CodeKind::Statement, St::CLOSE);
    if (NextIsStatementEnd()) {
        Emit(CodeKind::SysNumConst, ParseConst::Zero); // every channel
        return;
    }
    CodeItemType item;
    while (true) {
        if (!ReadOperator(Op::Hash)) return RaiseError(Err::StatementSyntax, St::CLOSE);
        ReadItem(item);
        if (!IsChannelItem(item)) return RaiseError(Err::FileNumberInvalid);
        AddCode(item);
        if (NextIsStatementEnd()) return;
        if (!ReadOperator(Op::Comma)) return RaiseError(Err::CloseSyntax);
        EmitColon();
        Emit(CodeKind::Statement, St::CLOSE);
    }
}

// FILES ["pattern"]
void CompileFiles() {
    Emit(CodeKind::Statement, St::FILES);
    CodeItemType item;
    LookItem(item);
    if (item.FirstCode == CodeKind::StrLiteral) {
        ReadItem(item);
        AddCode(item);
    } else if (IsStatementEnd(item)) {
        Emit(CodeKind::SysStrConst, ParseConst::FilesDefault);
    } else {
        return RaiseError(Err::FilesSyntax);
    }
    ExpectStatementEnd();
}

// NAME old AS new
void CompileName() {
    if (!CompileExpressionAsExpression()) return;
    Emit(CodeKind::Statement, St::NAME);
    ExpectStatementEnd();
}

// FILECOPY source, target
void CompileFileCopy() {
    if (!CompileTwoExpressions()) return;
    Emit(CodeKind::Statement, St::FILECOPY);
    ExpectStatementEnd();
}

// RUN file: load the program, then run it.
void CompileRunFile() {
    if (!CompileExpressionToEnd()) return;
    Emit(CodeKind::Statement, St::LOAD);
    EmitColon();
    Emit(CodeKind::Statement, St::RUN);
    ExpectStatementEnd();
}

// WRITEALLLINES(file, array$()) and WRITEALLLINES(file, array$(), encoding)
void CompileWriteAllLines(int code) {
    const auto failed = [code] { RaiseError(Err::StatementType, code); };
    if (!ReadOperator(Op::OpenBracket)) return failed();
    if (!CompileExpression()) return failed();
    if (!ReadOperator(Op::Comma)) return failed();
    CodeItemType array;
    ReadItem(array);
    if (array.FirstCode != CodeKind::StrArray) return failed();
    if (code != St::WRITEALLLINES) {
        if (!ReadOperator(Op::Comma) || !CompileExpression()) return failed();
    }
    if (!ReadOperator(Op::CloseBracket)) return failed();
    Emit(CodeKind::Statement, code);
    AddCode(array);
    ExpectStatementEnd();
}

// ---- graphics ---------------------------------------------------------------------------------------------

namespace {

void EmitPlaceholders(int count) {
    for (int i = 0; i < count; ++i)
        Emit(CodeKind::SysNumConst, ParseConst::MinusOne);
}

bool CompileTwoPoints(int dashError) {
    if (!CompileBracketList(2)) return false;
    if (!ReadOperator(Op::Minus)) {
        RaiseError(dashError);
        return false;
    }
    return CompileBracketList(2);
}

} // namespace

void CompileGraphics(int code) {
    constexpr int PointOptions = 1;  // PSET, PRESET: colour
    constexpr int PaintOptions = 2;  // fill colour, border colour
    constexpr int LineOptions = 2;   // colour, B or BF
    constexpr int CircleOptions = 6; // colour, start, end, aspect, F, fill colour
    int options = 0;
    switch (code) {
    case St::PSET: // PSET (x, y)[, colour]
    case St::PRESET:
        if (!CompileBracketList(2)) return;
        options = PointOptions;
        break;
    case St::PAINT: // PAINT (x, y)[, fill[, border]]
        if (!CompileBracketList(2)) return;
        options = PaintOptions;
        break;
    case St::LINE: // LINE (x1, y1)-(x2, y2)[, colour[, B | BF]]
        if (!CompileTwoPoints(Err::LineSyntax)) return;
        options = LineOptions;
        break;
    case St::CIRCLE: // CIRCLE (x, y), r[, colour, start, end, aspect, F, fill]
        if (!CompileBracketList(2)) return;
        if (!ReadOperator(Op::Comma)) return RaiseError(Err::StatementSyntax, St::CIRCLE);
        if (!CompileExpressionThenComma()) return;
        options = CircleOptions;
        break;
    case St::WINDOW: // WINDOW (x1, y1)-(x2, y2)
        if (!CompileTwoPoints(Err::WindowSyntax)) return;
        Emit(CodeKind::Statement, code);
        ExpectStatementEnd();
        return;
    case St::CLS: // CLS [mode]: the mode defaults to 1 and may follow CLS without a comma
        Emit(CodeKind::Statement, code);
        Emit(CodeKind::SysNumConst, ParseConst::One);
        FillOptionalArguments(1, true);
        if (Fe.ErrorNumber == 0) ExpectStatementEnd();
        return;
    default: return RaiseError(Err::UnknownStatement);
    }
    Emit(CodeKind::Statement, code);
    EmitPlaceholders(options);
    FillOptionalArguments(options);
    if (Fe.ErrorNumber == 0) ExpectStatementEnd();
}

// ---- formulas and the mouse
// --------------------------------------------------------------------------------

// STRTOFORM(text, formula@, error), EVALFORM(formula@, result, error), MOUSE(event, x, y): the
// operands are written without their brackets and commas.
void CompileFormulaOrMouse(int code) {
    int error = Err::MouseSyntax;
    std::array<int, 3> operands = {CodeKind::NumVar, CodeKind::NumVar, CodeKind::NumVar};
    if (code == St::STRTOFORM) {
        error = Err::StrToFormSyntax;
        operands = {CodeKind::StrVar, CodeKind::FormulaVar, CodeKind::NumVar};
    } else if (code == St::EVALFORM) {
        error = Err::EvalFormSyntax;
        operands = {CodeKind::FormulaVar, CodeKind::NumVar, CodeKind::NumVar};
    }
    Emit(CodeKind::Statement, code);
    if (!ReadOperator(Op::OpenBracket)) return RaiseError(error);
    for (std::size_t i = 0; i < operands.size(); ++i) {
        if (i > 0 && !ReadOperator(Op::Comma)) return RaiseError(error);
        CodeItemType item;
        ReadItem(item);
        const bool textLiteral = i == 0 && code == St::STRTOFORM && item.FirstCode == CodeKind::StrLiteral;
        if (item.FirstCode != operands[i] && !textLiteral) return RaiseError(error);
        AddCode(item);
    }
    if (!ReadOperator(Op::CloseBracket)) return RaiseError(error);
    ExpectStatementEnd();
}

} // namespace LXParse
