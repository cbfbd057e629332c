// Run-time formulas compiled and run in the immediate area under the error trap, MOUSE, SETVERSION and
// HELP, and the debugging listings HELP prints to the run window.
#include "engine/formulaexec.h"

#include "core/errornumbers.h"
#include "core/internalcodes.h"
#include "core/raiseerror.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/coords.h"
#include "engine/drawexec.h"
#include "engine/enginehooks.h"
#include "engine/enginestate.h"
#include "engine/filechannels.h"
#include "engine/flowexec.h"
#include "engine/handover.h"
#include "engine/numberformat.h"
#include "engine/numconvert.h"
#include "engine/printline.h"
#include "engine/runloop.h"
#include "engine/services.h"
#include "frontend/declnames.h"
#include "frontend/initall.h"
#include "frontend/listing.h"
#include "frontend/parse.h"
#include "frontend/scan.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <climits>
#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

// ---- operands ------------------------------------------------------------------------------------------

template <typename Table> bool IsRecord(const Table& table, int index) {
    return index >= 1 && static_cast<std::size_t>(index) < table.size();
}

bool IsNumVarItem(const CodeItemType& item) {
    return item.FirstCode == CodeKind::NumVar && IsRecord(Tb.NumVarTable, item.SecondCode);
}

bool IsFormulaItem(const CodeItemType& item) {
    return item.FirstCode == CodeKind::FormulaVar && IsRecord(Tb.FormVarTable, item.SecondCode);
}

NumVarType& NumRecordOf(const CodeItemType& item) {
    return Tb.NumVarTable[static_cast<std::size_t>(item.SecondCode)];
}

// The text operand of STRTOFORM: a string literal or a string variable.
bool TextOperand(const CodeItemType& item, QString& text) {
    if (item.FirstCode == CodeKind::StrLiteral && IsRecord(Tb.StrConTable, item.SecondCode)) {
        text = Tb.StrConTable[static_cast<std::size_t>(item.SecondCode)];
        return true;
    }
    if (item.FirstCode == CodeKind::StrVar && IsRecord(Tb.StrVarTable, item.SecondCode)) {
        text = Tb.StrVarTable[static_cast<std::size_t>(item.SecondCode)].Value;
        return true;
    }
    return false;
}

// Fetches the next `N` operand items of the statement.
template <std::size_t N> void FetchOperands(std::array<CodeItemType, N>& items) {
    for (CodeItemType& item : items)
        GetCode(item);
}

// A statement whose operands do not have the compiled shape: the error, and the run goes on (when the
// error is trapped) at the statement's end rather than with its operands.
void RefuseOperands(int start, int error) {
    Ib.CodeIndex = start;
    CodeItemType last;
    SkipToStatementEnd(last);
    RaiseError(error);
}

QString FromTable(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// ---- the front end borrowed by STRTOFORM -----------------------------------------------------------------

// The reader, the error state and the pre-code of the program (or of the immediate command) as they
// were before a formula is compiled in the middle of a run. The formula is scanned into a pre-code
// buffer of its own, so the program's pre-code (which HELP -LORVEXC lists) stays as it is.
class BorrowedFrontEnd {
public:
    BorrowedFrontEnd()
        : reader_(Rd), error_(Fe), preCodeIndex_(Ib.PreCodeIndex),
          currentmaxPreCodeNum_(Ib.CurrentmaxPreCodeNum), preCodeLimit_(Ib.PreCodeLimit),
          codeIndex_(Ib.CodeIndex), dcVarCount_(Tb.NumofRegisteredDcVar) {
        // A fresh pre-code buffer laid out as a reset leaves one: the immediate area ended by a blank.
        std::vector<CodeItemType> fresh(static_cast<std::size_t>(ImmediateAreaLast) + 1,
                                        CodeItemType{CodeKind::End, 0, 0});
        fresh[0] = CodeItemType{};
        fresh[static_cast<std::size_t>(ImmediateAreaLast)] = CodeItemType{};
        preCode_.swap(Ib.PreCodeBuffer);
        Ib.PreCodeBuffer.swap(fresh);
        Ib.CurrentmaxPreCodeNum = ImmediateAreaLast;
        Ib.PreCodeIndex = 1;
    }

    // A failed compilation may have declared names (a CONST in the text): they are dropped again.
    void DropDeclarations() { Tb.NumofRegisteredDcVar = dcVarCount_; }

    ~BorrowedFrontEnd() {
        Ib.PreCodeBuffer.swap(preCode_);
        Rd = std::move(reader_);
        static_cast<ErrorState&>(Fe) = error_;
        Ib.PreCodeIndex = preCodeIndex_;
        Ib.CurrentmaxPreCodeNum = currentmaxPreCodeNum_;
        Ib.PreCodeLimit = preCodeLimit_;
        Ib.CodeIndex = codeIndex_;
    }

    BorrowedFrontEnd(const BorrowedFrontEnd&) = delete;
    BorrowedFrontEnd& operator=(const BorrowedFrontEnd&) = delete;

private:
    std::vector<CodeItemType> preCode_;
    SourceReaderState reader_; // the reader and the error state as wholes: a field added to them is kept too
    ErrorState error_;
    int preCodeIndex_, currentmaxPreCodeNum_, preCodeLimit_, codeIndex_;
    int dcVarCount_;
};

// After the expression only the end of the text may follow: the ":" that closes it, line ends and the
// end item.
bool OnlyTextEndFollows() {
    for (int at = Ib.PreCodeIndex; at <= Ib.CurrentmaxPreCodeNum; ++at) {
        const CodeItemType& item = Ib.PreCodeBuffer[static_cast<std::size_t>(at)];
        if (item.FirstCode == CodeKind::End || item.FirstCode == CodeKind::None) return true;
        const bool separator = item.FirstCode == CodeKind::Operator &&
                               (item.SecondCode == Op::Colon || item.SecondCode == Op::LineEnd);
        if (!separator) return false;
    }
    return true;
}

// ---- evaluations in progress ------------------------------------------------------------------------------

using ImmediateArea = std::array<CodeItemType, ImmediateAreaLast + 1>;

// What an evaluation borrows and gives back at its end.
struct EvalFrame {
    ImmediateArea Area{}; // slots 1 to 100 as they were (an immediate command, an outer formula)
    int ReturnIndex = 0;  // the item after the EVALFORM statement
    int EndIndex = 0;     // the evaluation's end item, where the formula is left
    int SavedTrap = 0;    // the trap of an outer evaluation
    int SavedVarIndex = 0;
    int StackDepth = 0; // Gl entries below the formula's value
    int ResultVar = 0;
    int ErrorVar = 0;
    bool Failed = false; // an error was trapped: the result variable keeps its value
};
std::vector<std::unique_ptr<EvalFrame>> EvalFrames;

// Removes whatever the formula left above the values that were there before it.
void DiscardAbove(int depth) {
    while (ValueStackCount > depth && ValueStackCount > 0)
        DiscardGlTop();
}

bool ImmediateAreaExists() {
    return Ib.CodeBuffer.size() > static_cast<std::size_t>(ImmediateAreaLast);
}

bool IsLoPopAll(const CodeItemType& item) {
    return item.FirstCode == CodeKind::Statement && item.SecondCode == InSt::LoPopAll;
}

// The index of the closing item of a compiled formula, 0 when the record holds none.
int FormulaCloseIndex(const FormVarType& formula) {
    if (formula.Code[1].FirstCode != CodeKind::ExprOpen) return 0;
    for (int at = 2; at <= FormulaCodeSize; ++at) {
        const int kind = formula.Code[static_cast<std::size_t>(at)].FirstCode;
        if (kind == CodeKind::ExprClose) return at;
        if (kind == CodeKind::None) return 0;
    }
    return 0;
}

// ---- listings ---------------------------------------------------------------------------------------------

QString ListSeparator() {
    return QStringLiteral(" : ");
}
QString NameTail() {
    return QStringLiteral("  ");
}
QString CrossRefTail() {
    return QStringLiteral("   ");
}
constexpr std::uint8_t StoredTrue = 1;
constexpr std::uint8_t StoredFalse = 0;

void ListTable(const auto& names, int count) {
    for (int slot = 1; slot <= count; ++slot) {
        const QString word = FromTable(names[static_cast<std::size_t>(slot)]);
        if (word == word.toUpper()) FlushPrintLine(word);
    }
}

QString VariableLine(const QString& value, const QString& name) {
    return value + ListSeparator() + ListedName(name) + NameTail();
}

QString BooleanText(std::uint8_t stored) {
    if (stored == StoredTrue) return QStringLiteral("TRUE");
    if (stored == StoredFalse) return QStringLiteral("FALSE");
    return QStringLiteral("ERROR");
}

template <typename Table> int RegisteredCount(const Table& table, int registered) {
    const int inTable = static_cast<int>(table.size()) - 1;
    return registered < inTable ? registered : inTable;
}

// The references of one variable: the line and column of every item of `kind` naming `index`, from
// the program's first item to the first blank slot after its end. `lastLine` is the line printed last.
void ListReferences(int kind, int index, QString& lastLine) {
    const int last = Ib.CodeLimit < Ib.CurrentmaxCodeNum ? Ib.CodeLimit : Ib.CurrentmaxCodeNum;
    for (int at = ProgramCodeStart; at <= last; ++at) {
        const CodeItemType& item = Ib.CodeBuffer[static_cast<std::size_t>(at)];
        if (item.FirstCode == CodeKind::None) return;
        if (item.FirstCode != kind || item.SecondCode != index) continue;
        int line = 0;
        int column = 0;
        OffsetToLineCol(item.Position, line, column);
        const QString text = QString::number(line) + u':' + QString::number(column) + CrossRefTail();
        if (text == lastLine) continue;
        FlushPrintLine(text);
        lastLine = text;
    }
}

template <typename Table>
void ListCrossReference(const QString& title, const Table& table, int registered, int kind,
                        QString& lastLine) {
    FlushPrintLine(title);
    lastLine = title;
    const int count = RegisteredCount(table, registered);
    for (int index = 1; index <= count; ++index) {
        const QString& name = table[static_cast<std::size_t>(index)].Name;
        FlushPrintLine(QString());
        FlushPrintLine(name);
        lastLine = name;
        ListReferences(kind, index, lastLine);
    }
}

// ---- the literals of formulas
// -------------------------------------------------------------------------------

// The literal slots a formula record holds in NumConTable and StrConTable. A text compiled again into
// the same record takes its literals into these slots, so that STRTOFORM in a loop stores its
// numbers and strings over the old ones instead of adding to the tables at every call.
struct FormulaLiteralSlots {
    std::vector<int> Numbers;
    std::vector<int> Strings;
};
std::vector<FormulaLiteralSlots> LiteralSlots; // by FormVarTable index

// How far the literal tables were filled before a formula was compiled.
struct LiteralMark {
    int Numbers = 0;
    int Strings = 0;
    std::size_t NumberTableSize = 0;
    std::size_t StringTableSize = 0;
};

LiteralMark MarkLiterals() {
    return LiteralMark{Tb.NumofRegisteredNumCon, Tb.NumofRegisteredStrCon, Tb.NumConTable.size(),
                       Tb.StrConTable.size()};
}

// Brings a literal table's count back to `count`; the entries above it are left empty.
template <typename T> void CutLiterals(std::vector<T>& table, int& registered, int count, std::size_t size) {
    const std::size_t keep = std::max(size, static_cast<std::size_t>(count) + 1);
    for (std::size_t at = static_cast<std::size_t>(count) + 1; at < table.size(); ++at)
        table[at] = T{};
    if (table.size() > keep) table.resize(keep);
    registered = count;
}

// A formula that did not compile keeps none of the literals its text registered.
void DropNewLiterals(const LiteralMark& mark) {
    CutLiterals(Tb.NumConTable, Tb.NumofRegisteredNumCon, mark.Numbers, mark.NumberTableSize);
    CutLiterals(Tb.StrConTable, Tb.NumofRegisteredStrCon, mark.Strings, mark.StringTableSize);
}

// Moves the literals registered since `mark` (slots mark + 1 to the count) into the slots the record
// `owned` already holds, then into the first free slots above `mark`, and returns the slot each new
// one went to, by its old slot less `mark` - 1.
template <typename T>
std::vector<int> SettleLiterals(std::vector<T>& table, int& registered, int mark, std::size_t size,
                                std::vector<int>& owned) {
    const int added = registered - mark;
    std::vector<int> moved(static_cast<std::size_t>(std::max(added, 0)));
    const std::size_t reused = std::min(owned.size(), moved.size());
    // The destinations above the mark never lie above their source, so going up moves each value
    // before its slot is written.
    for (std::size_t k = 0; k < moved.size(); ++k) {
        const int from = mark + 1 + static_cast<int>(k);
        const int to = k < reused ? owned[k] : mark + 1 + static_cast<int>(k - reused);
        if (to != from)
            table[static_cast<std::size_t>(to)] = std::move(table[static_cast<std::size_t>(from)]);
        moved[k] = to;
        if (k >= reused) owned.push_back(to);
    }
    CutLiterals(table, registered, mark + static_cast<int>(moved.size() - reused), size);
    return moved;
}

// The new literals of a compiled formula settled into the record's own slots, and its items pointed
// at them.
void SettleFormulaLiterals(const LiteralMark& mark, int formulaIndex, ItemBuffer& items, int close) {
    if (formulaIndex < 1) return;
    if (LiteralSlots.size() <= static_cast<std::size_t>(formulaIndex))
        LiteralSlots.resize(static_cast<std::size_t>(formulaIndex) + 1);
    FormulaLiteralSlots& record = LiteralSlots[static_cast<std::size_t>(formulaIndex)];
    const std::vector<int> numbers = SettleLiterals(Tb.NumConTable, Tb.NumofRegisteredNumCon, mark.Numbers,
                                                    mark.NumberTableSize, record.Numbers);
    const std::vector<int> strings = SettleLiterals(Tb.StrConTable, Tb.NumofRegisteredStrCon, mark.Strings,
                                                    mark.StringTableSize, record.Strings);
    for (int at = 2; at <= close; ++at) {
        CodeItemType& item = items[static_cast<std::size_t>(at)];
        // A numeric literal item names its slot less one, a string literal item its slot.
        if (item.FirstCode == CodeKind::NumLiteral && item.SecondCode >= mark.Numbers)
            item.SecondCode = numbers[static_cast<std::size_t>(item.SecondCode - mark.Numbers)] - 1;
        else if (item.FirstCode == CodeKind::StrLiteral && item.SecondCode > mark.Strings)
            item.SecondCode = strings[static_cast<std::size_t>(item.SecondCode - mark.Strings - 1)];
    }
}

} // namespace

void DropEvaluations() {
    EvalFrames.clear();
    LiteralSlots.clear();
}

// ---- compiling a formula -------------------------------------------------------------------------------

int CompileFormula(const QString& text, FormVarType& record) {
    auto converted = std::make_unique<ItemBuffer>();
    int error = 0;
    const LiteralMark literals = MarkLiterals();
    const int declaredBefore = Tb.NumofRegisteredDcVar;
    {
        BorrowedFrontEnd borrowed;
        Fe.ErrorNumber = 0;
        Rd.CompileText = text + u':';
        Rd.CompileTextLength = static_cast<int>(Rd.CompileText.size());
        ScanFormula();
        if (Fe.ErrorNumber == 0) {
            Ib.PreCodeIndex = 1;
            ParseExpression(*converted);
        }
        if (Fe.ErrorNumber == 0) {
            // A formula is exactly one expression: nothing, or anything after it, is no formula.
            if (LXParse::IsEmptyExpression(*converted) || !OnlyTextEndFollows())
                RaiseError(Err::ExpressionFormMismatch);
        }
        // A FUNCTION call grows into more items than it was written with, so the record may be short.
        if (Fe.ErrorNumber == 0 && LXParse::ExpressionCloseIndex(*converted) > FormulaCodeSize)
            RaiseError(Err::ProgramTooLarge);
        error = Fe.ErrorNumber;
        if (error != 0) borrowed.DropDeclarations();
    }
    if (error != 0) {
        DropNewLiterals(literals);
        return error;
    }

    // {41} at position 1, the postfix items, then the closing {42} of the expression.
    ItemBuffer& items = *converted;
    const int close = LXParse::ExpressionCloseIndex(items);
    // The record's old literals are still read while an evaluation runs (a formula whose FUNCTION
    // compiles it again), and a declaration the text made may name a literal: then the new literals
    // stay where the compiler put them.
    const std::ptrdiff_t formulaIndex = &record - Tb.FormVarTable.data();
    if (EvalFrames.empty() && Tb.NumofRegisteredDcVar == declaredBefore && formulaIndex >= 1 &&
        static_cast<std::size_t>(formulaIndex) < Tb.FormVarTable.size())
        SettleFormulaLiterals(literals, static_cast<int>(formulaIndex), items, close);
    record.Code.fill(CodeItemType{});
    record.Code[1] = CodeItemType{CodeKind::ExprOpen, 0, 1};
    for (int at = 2; at <= close; ++at)
        record.Code[static_cast<std::size_t>(at)] = items[static_cast<std::size_t>(at)];
    return 0;
}

// STRTOFORM (text, formula@, error)
void ExecStrToForm() {
    const int start = Ib.CodeIndex;
    std::array<CodeItemType, 3> operands;
    FetchOperands(operands);
    QString text;
    if (!TextOperand(operands[0], text) || !IsFormulaItem(operands[1]) || !IsNumVarItem(operands[2]))
        return RefuseOperands(start, Err::StrToFormSyntax);
    const int next = Ib.CodeIndex;
    FormVarType& formula = Tb.FormVarTable[static_cast<std::size_t>(operands[1].SecondCode)];
    const int error = CompileFormula(text, formula);
    NumRecordOf(operands[2]).Value = error;
    Ib.CodeIndex = next;
}

// ---- evaluating a formula -------------------------------------------------------------------------------

// EVALFORM (formula@, result, error)
void ExecEvalForm() {
    const int start = Ib.CodeIndex;
    const int position = Ib.CurrentItem.Position;
    std::array<CodeItemType, 3> operands;
    FetchOperands(operands);
    if (!IsFormulaItem(operands[0]) || !IsNumVarItem(operands[1]) || !IsNumVarItem(operands[2]))
        return RefuseOperands(start, Err::EvalFormSyntax);
    NumVarType& errorVar = NumRecordOf(operands[2]);

    // Frames left by a run that ended in the middle of an evaluation are stale: with the trap clear
    // no evaluation is in progress.
    if (Eng.EvalFormTrap == 0) EvalFrames.clear();

    const FormVarType& formula = Tb.FormVarTable[static_cast<std::size_t>(operands[0].SecondCode)];
    const int close = FormulaCloseIndex(formula);
    // A formula that was never compiled is an error of the formula, reported like the others.
    if (close == 0) {
        errorVar.Value = Err::ExpressionFormMismatch;
        return;
    }
    if (!ImmediateAreaExists()) {
        errorVar.Value = Err::ProgramTooLarge;
        return;
    }
    if (static_cast<int>(EvalFrames.size()) >= MaxEvalFormDepth) {
        RaiseError(Err::StackOverflow);
        return;
    }

    auto frame = std::make_unique<EvalFrame>();
    for (int at = 1; at <= ImmediateAreaLast; ++at)
        frame->Area[static_cast<std::size_t>(at)] = Ib.CodeBuffer[static_cast<std::size_t>(at)];
    frame->ReturnIndex = Ib.CodeIndex;
    frame->SavedTrap = Eng.EvalFormTrap;
    frame->SavedVarIndex = Eng.EvalFormVarIndex;
    frame->StackDepth = ValueStackCount;
    frame->ResultVar = operands[1].SecondCode;
    frame->ErrorVar = operands[2].SecondCode;
    // The opening bracket does nothing when run; the end item takes its room.
    frame->EndIndex = close;
    EvalFrames.push_back(std::move(frame));

    // Whatever is not the evaluation ends the run if it is ever reached.
    for (int at = 1; at <= ImmediateAreaLast; ++at)
        SetCodeItem(at, CodeItemType{CodeKind::End, 0, position});
    for (int k = 2; k <= close; ++k) {
        CodeItemType item = formula.Code[static_cast<std::size_t>(k)];
        item.Position = position;
        SetCodeItem(k - 1, item);
    }
    SetCodeItem(close, CodeItemType{CodeKind::Statement, EvalFormCode::End, position});

    Eng.EvalFormVarIndex = operands[2].SecondCode;
    Eng.EvalFormTrap = 1;
    errorVar.Value = 0;
    Ib.CodeIndex = 1;
}

void LeaveFormulaAtTrappedError() {
    if (EvalFrames.empty() || !ImmediateAreaExists()) return;
    EvalFrame& frame = *EvalFrames.back();
    frame.Failed = true;
    // Items already run are never reached again, so every item but the restoring ends of FUNCTION
    // calls (whose locals must come back when a call returns into the formula) may give way.
    for (int at = 1; at < frame.EndIndex; ++at) {
        const CodeItemType& item = Ib.CodeBuffer[static_cast<std::size_t>(at)];
        if (!IsLoPopAll(item))
            SetCodeItem(at, CodeItemType{CodeKind::Statement, EvalFormCode::Leave, item.Position});
    }
    // The item in hand may be one of them: it is taken again as it now stands.
    if (Eng.CurrentItemIndex >= 1 && Eng.CurrentItemIndex < frame.EndIndex) {
        Ib.CodeIndex = Eng.CurrentItemIndex;
        FetchCurrentItem();
    }
}

// An item of a formula left after a trapped error.
void ExecEvalFormLeave() {
    if (EvalFrames.empty()) {
        RaiseError(Err::UnexpectedRunError);
        return;
    }
    Ib.CodeIndex = EvalFrames.back()->EndIndex;
}

// The end of an evaluation: the value into the result variable (unless an error was trapped), the
// trap as it was before, the immediate area given back, and on with the item after the EVALFORM
// statement.
void ExecEvalFormEnd() {
    if (EvalFrames.empty()) {
        RaiseError(Err::UnexpectedRunError);
        return;
    }
    const std::unique_ptr<EvalFrame> frame = std::move(EvalFrames.back());
    EvalFrames.pop_back();
    if (!frame->Failed) {
        LetNumber(frame->ResultVar);
        // A value that cannot be stored (a string, say) is an error of the formula: the trap is still
        // armed for it.
        if (Fe.ErrorNumber != 0 && IsRecord(Tb.NumVarTable, frame->ErrorVar)) {
            Tb.NumVarTable[static_cast<std::size_t>(frame->ErrorVar)].Value = Fe.ErrorNumber;
            Fe.ErrorNumber = 0;
        }
    }
    DiscardAbove(frame->StackDepth);
    if (ImmediateAreaExists()) {
        for (int at = 1; at <= ImmediateAreaLast; ++at)
            SetCodeItem(at, frame->Area[static_cast<std::size_t>(at)]);
    }
    Eng.EvalFormTrap = frame->SavedTrap;
    Eng.EvalFormVarIndex = frame->SavedVarIndex;
    Ib.CodeIndex = frame->ReturnIndex;
}

int EvalFormDepth() {
    return static_cast<int>(EvalFrames.size());
}

// ---- MOUSE, SETVERSION, HELP -------------------------------------------------------------------------

namespace {
constexpr auto MousePollPause = std::chrono::milliseconds(5);
constexpr Extended MaxLanguageVersion = 100;
constexpr Extended VersionScale = 10;
} // namespace

int ScaleToBitmap(int position, int bitmapSize, int shownSize) {
    if (shownSize <= 0) return position;
    const long long scaled = static_cast<long long>(position) * bitmapSize / shownSize;
    return static_cast<int>(std::clamp<long long>(scaled, INT32_MIN, INT32_MAX));
}

// MOUSE (event, x, y)
void ExecMouse() {
    const int start = Ib.CodeIndex;
    std::array<CodeItemType, 3> operands;
    FetchOperands(operands);
    for (const CodeItemType& item : operands)
        if (!IsNumVarItem(item)) return RefuseOperands(start, Err::MouseSyntax);

    // Taken with exchange: an event that arrives meanwhile is kept for the next MOUSE.
    NumRecordOf(operands[0]).Value = Rc.MouseEvent.exchange(0);
    if (Rc.GScreenOpen.load() != 0) {
        int x = Rc.MouseX.load();
        int y = Rc.MouseY.load();
        const std::shared_ptr<GraphSurface> surface = CurrentGraphSurface();
        if (surface != nullptr && surface->Stretched.load()) {
            x = ScaleToBitmap(x, Gs.GScreenWidth, surface->ShownWidth.load());
            y = ScaleToBitmap(y, Gs.GScreenHeight, surface->ShownHeight.load());
        }
        Extended worldX = 0;
        Extended worldY = 0;
        DeviceToWorld(x, y, worldX, worldY);
        NumRecordOf(operands[1]).Value = worldX;
        NumRecordOf(operands[2]).Value = worldY;
    }
    // A program that polls the mouse in a loop leaves the processor to the windows in between, and
    // its files to the user who is looked for.
    FlushFileOutput();
    std::this_thread::sleep_for(MousePollPause);
}

// SETVERSION (v)
void ExecSetVersion() {
    const int tag = GlTopType();
    if (tag != GlValueType::Number && tag != GlValueType::NumberAlt) {
        RaiseError(Err::StatementType, St::SETVERSION);
        return;
    }
    Extended v = std::fabs(GlPopNum());
    if (!(v < MaxLanguageVersion)) v = MaxLanguageVersion; // also NaN and infinity
    std::int32_t version = 0;
    TruncToInt32(v * VersionScale, version);
    Ps.LanguageVersion = version;
}

// HELP
void ExecHelp() {
    if (Hooks.ShowHelpHook != nullptr) Synchronize([] { Hooks.ShowHelpHook(); });
}

// ---- the debugging listings -----------------------------------------------------------------------------

QString ShortestNumberText(Extended value) {
    if (!std::isfinite(value)) return GeneralNumberText(value, MaxGeneralDigits);
    for (int digits = 1; digits < MaxGeneralDigits; ++digits) {
        const QString text = GeneralNumberText(value, digits);
        const std::string ascii = text.toStdString();
        Extended back = 0;
        const auto parsed = std::from_chars(ascii.data(), ascii.data() + ascii.size(), back);
        if (parsed.ec == std::errc() && parsed.ptr == ascii.data() + ascii.size() && back == value)
            return text;
    }
    return GeneralNumberText(value, MaxGeneralDigits);
}

QString ListedName(const QString& name) {
    qsizetype at = 0;
    while (at < name.size() && (name.at(at).isDigit() || name.at(at) == u' '))
        ++at;
    return name.mid(at);
}

// HELP -RW
void ListReservedWords() {
    FlushPrintLine(QStringLiteral("予約語"));
    ListTable(OperatorNames, OperatorCount);
    ListTable(StatementNames, StatementCount);
    ListTable(FunctionNames, FunctionCount);
}

// HELP -UV
void DumpVariables() {
    FlushPrintLine(QStringLiteral("Boole変数・Boole配列変数"));
    for (int index = 1; index <= RegisteredCount(Tb.BoolVarTable, Tb.NumofRegisteredBoolVar); ++index) {
        const BoolVarType& record = Tb.BoolVarTable[static_cast<std::size_t>(index)];
        if (record.Kind == BoolVarKind::Variable || record.Kind == BoolVarKind::Array)
            FlushPrintLine(VariableLine(BooleanText(record.Value), record.Name));
    }
    FlushPrintLine(QStringLiteral("数値変数・数値配列変数"));
    for (int index = 1; index <= RegisteredCount(Tb.NumVarTable, Tb.NumofRegisteredNumVar); ++index) {
        const NumVarType& record = Tb.NumVarTable[static_cast<std::size_t>(index)];
        if (record.Kind == NumVarKind::Variable || record.Kind == NumVarKind::Array)
            FlushPrintLine(VariableLine(ShortestNumberText(record.Value), record.Name));
    }
    FlushPrintLine(QStringLiteral("文字列変数・文字列配列変数"));
    for (int index = 1; index <= RegisteredCount(Tb.StrVarTable, Tb.NumofRegisteredStrVar); ++index) {
        const StrVarType& record = Tb.StrVarTable[static_cast<std::size_t>(index)];
        if (record.Kind == StrVarKind::Variable || record.Kind == StrVarKind::Array)
            FlushPrintLine(VariableLine(record.Value, record.Name));
    }
    FlushPrintLine(QStringLiteral("宣言定数・変数・配列変数"));
    const int declared = Tb.NumofRegisteredDcVar < DcVarCapacity ? Tb.NumofRegisteredDcVar : DcVarCapacity;
    for (int index = 1; index <= declared; ++index) {
        const DcVarType& entry = Tb.DcVarTable[static_cast<std::size_t>(index)];
        const int kind = entry.Kind & DcVarKind::Mask;
        const int word = kind < DcVarKind::Count ? kind : DcVarKind::Skip;
        FlushPrintLine(VariableLine(FromTable(DcVarKindNames[static_cast<std::size_t>(word)]), entry.Name));
    }
}

// HELP -CR
void DumpCrossReference() {
    // The references are read straight from the code: the program counter stays where it is, so the
    // statements after this one still run.
    QString lastLine;
    ListCrossReference(QStringLiteral("数値変数クロスリファレンス"), Tb.NumVarTable, Tb.NumofRegisteredNumVar,
                       CodeKind::NumVar, lastLine);
    FlushPrintLine(QString());
    ListCrossReference(QStringLiteral("文字列変数クロスリファレンス"), Tb.StrVarTable,
                       Tb.NumofRegisteredStrVar, CodeKind::StrVar, lastLine);
}

// HELP -LORVEXC
void DumpCodeListing() {
    // The listings walk the buffers with the program's own cursors; they are put back afterwards so
    // that the run goes on after this statement.
    const int preCodeIndex = Ib.PreCodeIndex;
    const int codeIndex = Ib.CodeIndex;
    QString text;
    PreCodeListing(text);
    FlushPrintLine(text);
    text.clear();
    CodeListing(text);
    FlushPrintLine(text);
    Ib.PreCodeIndex = preCodeIndex;
    Ib.CodeIndex = codeIndex;

    const std::pair<int, const char16_t*> counters[] = {
        {Ib.CurrentmaxPreCodeNum, u" : CurrentmaxPreCodeNum"},
        {Ib.CurrentmaxCodeNum, u" : CurrentmaxCodeNum"},
        {Tb.NumofRegisteredDataPtr, u" : NumofRegisteredDataPtr"},
        {Tb.NumofRegisteredNumCon, u" : NumofRegisteredNumCon"},
        {Tb.NumofRegisteredNumVar, u" : NumofRegisteredNumVar"},
        {Tb.NumofRegisteredANumVar, u" : NumofRegisteredANumVar"},
        {Tb.NumofRegisteredStrCon, u" : NumofRegisteredStrCon"},
        {Tb.NumofRegisteredStrVar, u" : NumofRegisteredStrVar"},
        {Tb.NumofRegisteredAStrVar, u" : NumofRegisteredAStrVar"},
    };
    for (const auto& [value, label] : counters)
        FlushPrintLine(QString::number(value) + QString::fromUtf16(label));
}

void ExecEvalFormTrapOff() {
    Eng.EvalFormTrap = 0;
}
