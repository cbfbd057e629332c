// The executors of INPUT, LINE INPUT, READ, RESTORE and RANDOMIZE: the dialog asked through its hook,
// the typed line split into fields, and the DATA constants walked in the code.
#include "engine/inputexec.h"

#include "core/errornumbers.h"
#include "core/internalcodes.h"
#include "core/itembuffers.h"
#include "core/raiseerror.h"
#include "core/tables.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/enginehooks.h"
#include "engine/enginestate.h"
#include "engine/filechannels.h"
#include "engine/handover.h"
#include "engine/numconvert.h"
#include "engine/numfunctions.h"
#include "engine/printline.h"
#include "engine/services.h"
#include "resources/texts.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

constexpr int TransferSlot = 1; // entry 1 of the public tables carries input to its LET
constexpr int RandomizeWithSeed = ArgumentFormStep + St::RANDOMIZE;
constexpr Extended RandomizeSeedMin = -32768;
constexpr Extended RandomizeSeedMax = 32767;

template <typename Table> bool InTable(const Table& table, long at) {
    return at >= 0 && static_cast<std::size_t>(at) < table.size();
}

// The item kinds that name one type's variables: global, local to a procedure's frame, and PUBLIC.
struct VariableKinds {
    int Global;
    int Local;
    int Public;
};

// Stores `value` in the variable a target item names in one type's tables; an item of another kind, or
// a slot outside its table, stores nothing.
template <typename GlobalTable, typename LocalTable, typename PublicTable, typename T>
void StoreInTables(const CodeItemType& item, const VariableKinds& kinds, int frameBase, GlobalTable& globals,
                   LocalTable& locals, PublicTable& publics, const T& value) {
    const int at = item.SecondCode;
    if (item.FirstCode == kinds.Global) {
        if (InTable(globals, at)) globals[static_cast<std::size_t>(at)].Value = value;
    } else if (item.FirstCode == kinds.Local) {
        const long local = static_cast<long>(frameBase) + at;
        if (InTable(locals, local)) locals[static_cast<std::size_t>(local)].Value = value;
    } else if (item.FirstCode == kinds.Public) {
        if (at >= 1 && at <= PublicSlotCount) publics[static_cast<std::size_t>(at)].Value = value;
    }
}

// READ's statement end, and where a DATA statement's values stop: no item, the end item, ":" or the
// line end.
bool IsReadEnd(const CodeItemType& item) {
    return IsStatementEnd(item) || item.FirstCode == CodeKind::End;
}

// The same for a position in the code; every position outside the code counts as one.
bool IsDataEnd(int at) {
    if (at < 1 || at > Ib.CodeLimit || !InTable(Ib.CodeBuffer, at)) return true;
    return IsReadEnd(Ib.CodeBuffer[static_cast<std::size_t>(at)]);
}

int DataCount() {
    return std::min<int>(Tb.NumofRegisteredDataPtr, static_cast<int>(Tb.DataPtrTable.size()) - 1);
}

// The code index of the first DATA statement at or after `index`, 0 when there is none. An entry whose
// slot no longer holds a DATA statement (an immediate command's, since overwritten) is passed over.
int NextDataStatement(int index) {
    const int count = DataCount();
    for (int k = 1; k <= count; ++k) {
        const int at = Tb.DataPtrTable[static_cast<std::size_t>(k)];
        if (at < index || at > Ib.CodeLimit || !InTable(Ib.CodeBuffer, at)) continue;
        const CodeItemType& item = Ib.CodeBuffer[static_cast<std::size_t>(at)];
        if (item.FirstCode == CodeKind::Statement && item.SecondCode == St::DATA) return at;
    }
    return 0;
}

// The first value of the DATA statement numbered k + 1 (k DATA statements before it). When k is the
// count of DATA statements, a position past all of them, so that the next READ reports 1006.
int DataStartAfter(int k) {
    if (k < DataCount()) {
        const int line = NextDataStatement(Tb.DataPtrTable[static_cast<std::size_t>(k + 1)]);
        if (line != 0) return line + 1;
    }
    return Ib.CodeLimit + 1;
}

void RestoreTo(int k) {
    if (k < 0 || k > Tb.NumofRegisteredDataPtr) {
        RaiseError(Err::RestoreLineNumber);
        return;
    }
    Ps.DataReadPos = DataStartAfter(k);
}

// After Cancel: the run loop takes the item at CodeIndex in hand, sees the stop request before running
// it and resumes there on CONT. Pointing it back at the INPUT item makes CONT ask again instead of
// letting the field items take an old or empty answer.
void StopAtInput() {
    Rc.StopRequest = 1;
    if (Rc.RunMode != RunKind::Immediate) Rc.ResumePC = Ps.InputRestartPC;
    Ib.CodeIndex = Ps.InputRestartPC;
}

} // namespace

// ---- targets ----------------------------------------------------------------------------------------------

bool IsNumTarget(const CodeItemType& item) {
    return item.FirstCode == CodeKind::NumVar || item.FirstCode == CodeKind::LocalNumVar ||
           item.FirstCode == CodeKind::PublicNum;
}

bool IsStrTarget(const CodeItemType& item) {
    return item.FirstCode == CodeKind::StrVar || item.FirstCode == CodeKind::LocalStrVar ||
           item.FirstCode == CodeKind::PublicStr;
}

void StoreNumTarget(const CodeItemType& item, Extended value) {
    StoreInTables(item, {CodeKind::NumVar, CodeKind::LocalNumVar, CodeKind::PublicNum}, Ps.NumFrameBase,
                  Tb.NumVarTable, Tb.LocalNumVarTable, Tb.PublicNumTable, value);
}

void StoreStrTarget(const CodeItemType& item, const QString& value) {
    StoreInTables(item, {CodeKind::StrVar, CodeKind::LocalStrVar, CodeKind::PublicStr}, Ps.StrFrameBase,
                  Tb.StrVarTable, Tb.LocalStrVarTable, Tb.PublicStrTable, value);
}

QString* StrTargetSlot(const CodeItemType& item) {
    const int at = item.SecondCode;
    switch (item.FirstCode) {
    case CodeKind::StrVar:
        return InTable(Tb.StrVarTable, at) ? &Tb.StrVarTable[static_cast<std::size_t>(at)].Value : nullptr;
    case CodeKind::LocalStrVar: {
        const long local = static_cast<long>(Ps.StrFrameBase) + at;
        return InTable(Tb.LocalStrVarTable, local)
                   ? &Tb.LocalStrVarTable[static_cast<std::size_t>(local)].Value
                   : nullptr;
    }
    case CodeKind::PublicStr:
        return at >= 1 && at <= PublicSlotCount ? &Tb.PublicStrTable[static_cast<std::size_t>(at)].Value
                                                : nullptr;
    default: return nullptr;
    }
}

bool StringItemValue(const CodeItemType& item, QString& value) {
    const int at = item.SecondCode;
    switch (item.FirstCode) {
    case CodeKind::StrLiteral:
        if (!InTable(Tb.StrConTable, at)) return false;
        value = Tb.StrConTable[static_cast<std::size_t>(at)];
        return true;
    case CodeKind::StrVar:
        if (!InTable(Tb.StrVarTable, at)) return false;
        value = Tb.StrVarTable[static_cast<std::size_t>(at)].Value;
        return true;
    case CodeKind::LocalStrVar: {
        const long local = static_cast<long>(Ps.StrFrameBase) + at;
        if (!InTable(Tb.LocalStrVarTable, local)) return false;
        value = Tb.LocalStrVarTable[static_cast<std::size_t>(local)].Value;
        return true;
    }
    default: return false;
    }
}

// ---- INPUT and LINE INPUT ---------------------------------------------------------------------------------

QString InputEchoInProgress(bool lineInput, const QString& prompt) {
    return (lineInput ? QStringLiteral("LineInput ") : QStringLiteral("Input ")) + prompt +
           ResourceText(Res::InputWaitingSuffix);
}

QString InputEchoFinal(bool lineInput, const QString& prompt, const QString& text) {
    return (lineInput ? QStringLiteral("Line Input ") : QStringLiteral("Input ")) + prompt +
           QLatin1Char(' ') + text;
}

// INPUT ["prompt" {, | ;}] targets  /  LINE INPUT ["prompt" {, | ;}] target$
void ExecInput(bool lineInput) {
    const int statement = lineInput ? St::LINEINPUT : St::INPUT;
    Ps.InputRestartPC = Ib.CodeIndex - 1;

    // The prompt: INPUT always has a separator and a text (the compiler supplies "? "); LINE INPUT
    // has an optional text, then the transfer slot that receives the line.
    CodeItemType item;
    if (!lineInput) {
        CodeItemType separator;
        GetCode(separator);
        GetCode(item);
        if (item.FirstCode == CodeKind::SysStrConst && item.SecondCode >= 1 &&
            item.SecondCode <= FixedConstSlots)
            Eng.InputPrompt = StrConstTable[static_cast<std::size_t>(item.SecondCode)];
        else if (item.FirstCode == CodeKind::StrLiteral && InTable(Tb.StrConTable, item.SecondCode))
            Eng.InputPrompt = Tb.StrConTable[static_cast<std::size_t>(item.SecondCode)];
        if (separator.SecondCode == Op::Semicolon) Eng.InputPrompt += QLatin1Char('?');
    } else {
        GetCode(item);
        if (item.FirstCode == CodeKind::StrLiteral && InTable(Tb.StrConTable, item.SecondCode)) {
            Eng.InputPrompt = Tb.StrConTable[static_cast<std::size_t>(item.SecondCode)];
        } else {
            Eng.InputPrompt = QStringLiteral("?");
            --Ib.CodeIndex;
        }
        GetCode(item);
        // A line that can go nowhere is refused before anybody is asked for it.
        if (item.FirstCode != CodeKind::PublicStr) {
            RaiseError(Err::StatementFailed, statement);
            return;
        }
    }
    if (Hooks.ShowInputDialogHook == nullptr) {
        RaiseError(Err::StatementFailed, statement);
        return;
    }

    // Text of a PRINT ended by ";" or "," opens the echo line; it comes back with the final echo.
    const QString pending = Eng.PrintLine;
    FlushPrintLine(InputEchoInProgress(lineInput, Eng.InputPrompt));

    InputDialogRequest request;
    request.LineInput = lineInput;
    request.Prompt = Eng.InputPrompt;
    request.Title = Ps.InputTitle;
    request.Retry = !lineInput && Ps.InputRetry != 0;
    request.PreviousText = Ps.InputResult;
    request.Positioned = Ps.InputBoxPositioned != 0;
    request.Left = Ps.InputBoxLeft;
    request.Top = Ps.InputBoxTop;
    Ps.InputRetry = 0;

    QString answer;
    bool accepted = false;
    // The user may look at the program's files while it waits for the answer.
    if (!FlushFileOutput()) return;
    const bool shown = Synchronize([&] { accepted = Hooks.ShowInputDialogHook(request, answer); });
    if (!shown) {
        // Shutdown has cancelled the hand-over and raised the stop request, or the dialog ran out of
        // memory (its error is set); otherwise there is no window to ask in.
        if (!HandOverCancelled() && Fe.ErrorNumber == 0) RaiseError(Err::StatementFailed, statement);
        return;
    }
    if (Hooks.ShowRunFormHook != nullptr) Synchronize(Hooks.ShowRunFormHook);
    if (!accepted) {
        StopAtInput();
        return;
    }
    if (lineInput) {
        Tb.PublicStrTable[TransferSlot].Value = answer;
    } else {
        Ps.InputResult = answer;
        Ps.InputLine = answer;
    }
    FlushPrintLine();
    Eng.PrintLine = pending;
    FlushPrintLine(InputEchoFinal(lineInput, Eng.InputPrompt, answer));
}

// Internal 243: the next field of InputLine as a number.
void ExecInputNumField() {
    QString field;
    if (!Ps.InputLine.isEmpty()) {
        const qsizetype comma = Ps.InputLine.indexOf(QLatin1Char(','));
        if (comma >= 0) {
            field = TrimField(QStringView(Ps.InputLine).left(comma));
            Ps.InputLine = Ps.InputLine.mid(comma + 1);
        } else {
            field = Ps.InputLine; // the last field is taken as typed
            Ps.InputLine.clear();
        }
    }
    Extended value = 0;
    if (!field.isEmpty() && !TextToReal(field, value)) {
        // Not a number: the INPUT asks again, showing what was typed.
        Ps.InputRetry = 1;
        Ib.CodeIndex = Ps.InputRestartPC;
        return;
    }
    Tb.PublicNumTable[TransferSlot].Value = value;
}

// Internal 244: the next field of InputLine as a string; a field in double quotes may hold commas
// and keeps its quotes.
void ExecInputStrField() {
    Ps.InputLine = TrimField(Ps.InputLine);
    if (Ps.InputLine.isEmpty()) {
        Tb.PublicStrTable[TransferSlot].Value.clear();
        return;
    }
    qsizetype comma = -1;
    if (Ps.InputLine.startsWith(QLatin1Char('"'))) {
        const qsizetype closing = Ps.InputLine.indexOf(QLatin1Char('"'), 1);
        comma = Ps.InputLine.indexOf(QLatin1Char(','), closing >= 0 ? closing + 1 : 1);
    } else {
        comma = Ps.InputLine.indexOf(QLatin1Char(','));
    }
    if (comma >= 0) {
        Tb.PublicStrTable[TransferSlot].Value = TrimField(QStringView(Ps.InputLine).left(comma));
        Ps.InputLine = Ps.InputLine.mid(comma + 1);
    } else {
        Tb.PublicStrTable[TransferSlot].Value = TrimField(Ps.InputLine);
        Ps.InputLine.clear();
    }
}

// ---- READ, RESTORE ----------------------------------------------------------------------------------------

int FindDataLine(int index) {
    const int line = NextDataStatement(index);
    if (line == 0) RaiseError(Err::ReadPastData);
    return line;
}

int FindLabelData(int key) {
    const int count = std::min<int>(Tb.NumofRegisteredLabel, static_cast<int>(Tb.LabelTable.size()) - 1);
    for (int k = 1; k <= count; ++k)
        if (Tb.LabelTable[static_cast<std::size_t>(k)].Key == key)
            return Tb.LabelTable[static_cast<std::size_t>(k)].Extra;
    return 0;
}

// READ target
void ExecRead() {
    CodeItemType item;
    PeekCode(item);
    if (IsReadEnd(item)) return;
    for (;;) {
        CodeItemType target;
        GetCode(target);
        while (IsDataEnd(Ps.DataReadPos)) {
            const int line = FindDataLine(Ps.DataReadPos);
            if (line == 0) return; // 1006: no value left
            Ps.DataReadPos = line + 1;
        }
        const CodeItemType value = Ib.CodeBuffer[static_cast<std::size_t>(Ps.DataReadPos)];
        ++Ps.DataReadPos;
        if (value.FirstCode == CodeKind::NumLiteral && IsNumTarget(target)) {
            StoreNumTarget(target, NumConValue(value));
        } else if (value.FirstCode == CodeKind::StrLiteral && IsStrTarget(target) &&
                   InTable(Tb.StrConTable, value.SecondCode)) {
            StoreStrTarget(target, Tb.StrConTable[static_cast<std::size_t>(value.SecondCode)]);
        } else {
            RaiseError(Err::ReadTypeMismatch);
            return;
        }
        PeekCode(item);
        if (IsReadEnd(item)) return;
    }
}

// RESTORE [*label | line number]
void ExecRestore() {
    CodeItemType item;
    PeekCode(item);
    if (item.FirstCode == CodeKind::NumLiteral) {
        GetCode(item);
        std::int32_t key = 0;
        const int k = TruncToInt32(NumConValue(item), key) ? FindLabelData(key) : 0;
        RestoreTo(k);
        return;
    }
    if (item.FirstCode == CodeKind::NumVar) {
        GetCode(item);
        if (!InTable(Tb.NumVarTable, item.SecondCode) ||
            Tb.NumVarTable[static_cast<std::size_t>(item.SecondCode)].Kind != NumVarKind::Label) {
            RaiseError(Err::RestoreNotLabel);
            --Ib.CodeIndex;
            return;
        }
        std::int32_t k = 0;
        if (!TruncToInt32(Tb.NumVarTable[static_cast<std::size_t>(item.SecondCode)].Value, k)) k = -1;
        RestoreTo(k);
        return;
    }
    // No DATA statement at all leaves the start position, where the next READ finds nothing.
    Ps.DataReadPos = Tb.NumofRegisteredDataPtr >= 1 ? DataStartAfter(0) : 0;
}

// RANDOMIZE [seed]
void ExecRandomize(bool withArgument) {
    if (!withArgument) {
        const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count() ^
                           std::chrono::system_clock::now().time_since_epoch().count();
        Eng.RandSeed = static_cast<std::uint32_t>(static_cast<std::uint64_t>(ticks));
        return;
    }
    if (GlTopType() != GlValueType::Number) {
        RaiseError(Err::FunctionArgType, RandomizeWithSeed);
        return;
    }
    const Extended seed = GlPopNum();
    if (!(seed >= RandomizeSeedMin && seed <= RandomizeSeedMax)) { // NaN is refused too
        RaiseError(Err::FunctionArgRange, RandomizeWithSeed);
        return;
    }
    // The generator works modulo 2^32: a negative seed is its two's complement.
    Eng.RandSeed = static_cast<std::uint32_t>(static_cast<std::int32_t>(std::trunc(seed)));
}

void ExecInputStatement(int code) {
    ExecInput(code == St::LINEINPUT);
}

void ExecRandomizeStatement(int code) {
    ExecRandomize(code == RandomizeWithSeed);
}
