// The executors of flow and assignment: jumps and their targets, LET into scalars and array elements,
// the SELECT CASE matches, the return stacks' statements, and the small switches and waits.
#include "engine/flowexec.h"

#include "core/errornumbers.h"
#include "core/internalcodes.h"
#include "core/itembuffers.h"
#include "core/parsecodes.h"
#include "core/raiseerror.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/drawexec.h"
#include "engine/enginehooks.h"
#include "engine/filechannels.h"
#include "engine/handover.h"
#include "engine/numconvert.h"
#include "engine/numericops.h"
#include "engine/runwindowqueue.h"
#include "engine/services.h"
#include "engine/stacktags.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <thread>

namespace {

constexpr int SleepLimitMs = 10000; // SLEEP waits 10 seconds at most
// SLEEP looks at the stop request this often, so a stop or the application's exit is never kept waiting.
constexpr std::chrono::milliseconds SleepSlice{10};

// A code index that a jump may take: inside the code buffer and never the reserved slot 0.
inline bool IsCodeTarget(long target) {
    return target >= 1 && target <= Ib.CurrentmaxCodeNum;
}

// Taking a jump target: the next item; when it is a code index, execution goes on there.
void TakeJumpTarget() {
    CodeItemType target;
    GetCode(target);
    if (target.FirstCode != CodeKind::JumpTarget) return;
    if (!IsCodeTarget(target.SecondCode)) {
        RaiseError(Err::JumpTargetInvalid);
        return;
    }
    Ib.CodeIndex = target.SecondCode;
}

// Skipping the target: step over the item without reading it.
inline void SkipJumpTarget() {
    ++Ib.CodeIndex;
}

inline void Branch(bool match) {
    if (match)
        SkipJumpTarget();
    else
        TakeJumpTarget();
}

void PostButtons(int mode) {
    RunWindowEvent event;
    event.Op = RunWindowOp::ButtonMode;
    event.Value = mode;
    RunWindowQueue::Instance().Push(std::move(event));
}

// ---- LET ------------------------------------------------------------------------------------------

// Pops the subscripts of an element assignment, the first popped being subscript 1. Each must be a
// number (1403) of 0 or more (1402); it is rounded half to even, as an element read rounds it, so that
// A(1.5) written and A(1.5) read are the same element.
bool PopLetSubscripts(int n, long* subscripts) {
    for (int k = 0; k < n; ++k) {
        if (GlTopType() != GlValueType::Number) {
            RaiseError(Err::SubscriptInvalid);
            return false;
        }
        const Extended value = GlPopNum();
        if (!(value >= 0)) {
            RaiseError(Err::SubscriptNegative);
            return false;
        }
        std::int32_t rounded = 0;
        if (!RoundToInt32(value, rounded)) {
            RaiseError(Err::SubscriptTooLarge);
            return false;
        }
        subscripts[k] = rounded;
    }
    return true;
}

// The element index of the popped subscripts in an element table of `tableSize` entries, or -1 with
// error 1401 when a subscript passes its bound.
template <typename Record>
long LetElementIndex(const Record& record, int n, const long* subscripts, std::size_t tableSize) {
    const long offset = ArrayElementOffset(record.Bounds.data(), n, subscripts);
    const long at = offset < 0 ? -1 : static_cast<long>(record.Base) + offset;
    if (at < 0 || static_cast<std::size_t>(at) >= tableSize) {
        RaiseError(Err::SubscriptTooLarge);
        return -1;
    }
    return at;
}

void TypeError() {
    RaiseError(Err::StatementType, St::LET);
}

// The dimension count as the signed byte it is stored as; a negative count marks a name that
// cannot be assigned.
inline int SignedDimCount(std::uint8_t dimCount) {
    return static_cast<std::int8_t>(dimCount);
}
constexpr int BoolScalarMark = -4; // a boolean record with this count is assigned as a scalar

template <typename Record> bool LetDimensions(const Record& record, int& n, bool scalarMarkAllowed) {
    n = SignedDimCount(record.DimCount);
    if (n < 0) {
        if (scalarMarkAllowed && n == BoolScalarMark) {
            n = 0;
            return true;
        }
        RaiseError(Err::LetTargetInvalid);
        return false;
    }
    if (n > MaxDimensions) { // never declared so; refuse rather than read past the bounds
        RaiseError(Err::SubscriptInvalid);
        return false;
    }
    return true;
}

// LET into the variable `index` of `table` or, with subscripts, into its element of `elements`: the
// subscripts are popped and checked, then the value on top, whose tag `fits` must accept, is popped
// into the one or the other.
template <typename Record, typename Element, typename Fits, typename PopScalar, typename PopElement>
void LetVariable(std::vector<Record>& table, std::vector<Element>& elements, int index,
                 bool scalarMarkAllowed, Fits fits, PopScalar popScalar, PopElement popElement) {
    if (index < 0 || static_cast<std::size_t>(index) >= table.size()) {
        RaiseError(Err::LetTargetInvalid);
        return;
    }
    Record& record = table[static_cast<std::size_t>(index)];
    int n = 0;
    long subscripts[MaxDimensions] = {};
    if (!LetDimensions(record, n, scalarMarkAllowed) || !PopLetSubscripts(n, subscripts)) return;
    if (!fits(GlTopType())) return TypeError();
    if (n < 1) {
        popScalar(record.Value);
        return;
    }
    const long at = LetElementIndex(record, n, subscripts, elements.size());
    if (at >= 0) popElement(elements[static_cast<std::size_t>(at)]);
}

void LetString(int index) {
    const auto pop = [](QString& target) { GlPopStr(target); };
    LetVariable(
        Tb.StrVarTable, Tb.AStrVarTable, index, false, [](int tag) { return tag == GlValueType::String; },
        pop, pop);
}

void LetBoolean(int index) {
    LetVariable(
        Tb.BoolVarTable, Tb.ABoolVarTable, index, true, [](int tag) { return tag == GlValueType::Boolean; },
        [](std::uint8_t& target) { target = GlPopBool() ? 1 : 0; },
        [](std::int32_t& target) { target = BooleanToNumber(GlPopBool()); });
}

// The values of a CASE list below its selector: `count` values of the selector's `type`, every one
// popped by `popMatches`, which tells whether it equals the selector. False with the error when a value
// has another type.
template <typename PopMatches> bool MatchCaseValues(int type, int count, PopMatches popMatches, bool& match) {
    for (int k = 0; k < count; ++k) {
        if (GlTopType() != type) {
            RaiseError(Err::CaseTypeMismatch);
            return false;
        }
        if (popMatches()) match = true; // every value comes off
    }
    return true;
}

inline bool IsPublicSlot(int slot) {
    return slot >= 1 && slot <= PublicSlotCount;
}

// ---- CASE tests -----------------------------------------------------------------------------------

// The test of a relational CASE code: the selector A (on top of the stack) against x (below it).
template <typename T> bool Compare(int code, const T& a, const T& x) {
    switch (code) {
    case ParseCode::CaseEqual: return Numeric::Holds<NumberOp::Equal>(a, x);
    case ParseCode::CaseGreater: return Numeric::Holds<NumberOp::Greater>(a, x);
    case ParseCode::CaseGreaterEqual: return Numeric::Holds<NumberOp::GreaterEqual>(a, x);
    case ParseCode::CaseLess: return Numeric::Holds<NumberOp::Less>(a, x);
    case ParseCode::CaseLessEqual: return Numeric::Holds<NumberOp::LessEqual>(a, x);
    case ParseCode::CaseNotEqual: return Numeric::Holds<NumberOp::NotEqual>(a, x);
    default: return false;
    }
}

// CASE x TO y: low <= x <= high.
template <typename T> bool InRange(const T& x, const T& low, const T& high) {
    return Numeric::Holds<NumberOp::LessEqual>(low, x) && Numeric::Holds<NumberOp::LessEqual>(x, high);
}

} // namespace

void LetNumber(int index) {
    const auto pop = [](Extended& target) { target = GlPopNum(); };
    LetVariable(Tb.NumVarTable, Tb.ANumVarTable, index, false, IsNumberTag, pop, pop);
}

// END
void ExecEnd() {
    if (Ib.CodeBuffer.empty()) return;
    SetCodeItem(0, CodeItemType{CodeKind::End, 0, 0});
    Ib.CodeIndex = 0;
}

// [LET] target[(subscripts)] = value
void ExecLet() {
    CodeItemType target;
    GetCode(target);
    const int slot = target.SecondCode;
    switch (target.FirstCode) {
    case CodeKind::PublicNum: {
        if (!IsPublicSlot(slot)) break;
        const Extended value = GlPopNum();
        if (Fe.ErrorNumber == 0) Tb.PublicNumTable[static_cast<std::size_t>(slot)].Value = value;
        return;
    }
    case CodeKind::PublicStr:
        if (!IsPublicSlot(slot)) break;
        GlPopStr(Tb.PublicStrTable[static_cast<std::size_t>(slot)].Value);
        return;
    case CodeKind::PublicBool: {
        if (!IsPublicSlot(slot)) break;
        const bool value = GlPopBool();
        if (Fe.ErrorNumber == 0) Tb.PublicBoolTable[static_cast<std::size_t>(slot)].Value = value ? 1 : 0;
        return;
    }
    case CodeKind::NumVar: LetNumber(slot); return;
    case CodeKind::StrVar: LetString(slot); return;
    case CodeKind::BoolVar: LetBoolean(slot); return;
    default: return;
    }
    RaiseError(Err::LetTargetInvalid); // a transfer slot that does not exist
}

// IF condition THEN
void ExecIf() {
    if (GlTopType() != GlValueType::Boolean) {
        RaiseError(Err::ConditionType);
        return;
    }
    Branch(GlPopBool());
}

// DO UNTIL c, LOOP WHILE c: jumps when the condition holds.
void ExecCaseBoolean() {
    if (GlTopType() != GlValueType::Boolean) {
        RaiseError(Err::ConditionType);
        return;
    }
    Branch(!GlPopBool());
}

// CASE x1, x2, ..., xn
void ExecSelectCaseNum() {
    if (GlTopType() != GlValueType::Number) {
        RaiseError(Err::UnexpectedParseError);
        return;
    }
    std::int32_t count = 0;
    if (!RoundToInt32(GlPopNum(), count) || count < 0) {
        RaiseError(Err::UnexpectedParseError);
        return;
    }
    const int type = GlTopType();
    bool match = false;
    switch (type) {
    case GlValueType::Number: {
        const Extended selector = GlPopNum();
        const auto matches = [&selector] { return Numeric::Holds<NumberOp::Equal>(GlPopNum(), selector); };
        if (!MatchCaseValues(type, count, matches, match)) return;
        break;
    }
    case GlValueType::String: {
        QString selector;
        GlPopStr(selector);
        QString value;
        const auto matches = [&selector, &value] {
            GlPopStr(value);
            return value == selector;
        };
        if (!MatchCaseValues(type, count, matches, match)) return;
        break;
    }
    case GlValueType::Boolean: {
        const bool selector = GlPopBool();
        const auto matches = [selector] { return GlPopBool() == selector; };
        if (!MatchCaseValues(type, count, matches, match)) return;
        break;
    }
    default:
        // A selector that cannot be compared: it comes off alone and the CASE does not match.
        DiscardGlTop();
        if (Fe.ErrorNumber != 0) return;
        break;
    }
    Branch(match);
}

// CASE x TO y
void ExecSelectCaseRange() {
    const int type = GlTopType();
    if ((type != GlValueType::Number && type != GlValueType::String) || GlSecondType() != type ||
        GlThirdType() != type) {
        RaiseError(Err::CaseTypeMismatch);
        return;
    }
    bool match = false;
    if (type == GlValueType::Number) {
        const Extended x = GlPopNum();
        const Extended high = GlPopNum();
        const Extended low = GlPopNum();
        match = InRange(x, low, high);
    } else {
        QString x, high, low;
        GlPopStr(x);
        GlPopStr(high);
        GlPopStr(low);
        match = InRange(x, low, high); // ordinal (code unit) order
    }
    Branch(match);
}

// CASE IS op x: the selector A on top, x (B) below it.
void ExecCaseCompare(int code) {
    const int type = GlTopType();
    bool match = false;
    if (type == GlValueType::Number || type == GlValueType::String) {
        if (GlSecondType() != type) {
            RaiseError(Err::CaseTypeMismatch);
            return;
        }
        if (type == GlValueType::Number) {
            const Extended a = GlPopNum();
            const Extended b = GlPopNum();
            match = Compare(code, a, b);
        } else {
            QString a, b;
            GlPopStr(a);
            GlPopStr(b);
            match = Compare(code, a, b);
        }
    } else if (type == GlValueType::Boolean) {
        RaiseError(Err::CaseTypeMismatch);
        return;
    }
    // Any other value on top is left alone and counts as no match.
    Branch(match);
}

// GOTO target, GOSUB target: target is a line number, * label, or a code index.
void ExecGoto(bool gosub) {
    CodeItemType target;
    GetCode(target);
    if (gosub) {
        PushGosubReturn(Ib.CodeIndex);
        if (Fe.ErrorNumber != 0) return;
    }
    switch (target.FirstCode) {
    case CodeKind::NumLiteral: {
        std::int32_t key = 0;
        const int at = TruncToInt32(NumConValue(target), key) ? FindLabel(key) : 0;
        if (!IsCodeTarget(at)) {
            RaiseError(Err::GotoLineNumber);
            return;
        }
        Ib.CodeIndex = at;
        return;
    }
    case CodeKind::NumVar: {
        const int index = target.SecondCode;
        if (index < 0 || static_cast<std::size_t>(index) >= Tb.NumVarTable.size()) {
            RaiseError(Err::NoSuchLabel);
            return;
        }
        const NumVarType& record = Tb.NumVarTable[static_cast<std::size_t>(index)];
        if (record.Kind != NumVarKind::Label || !IsCodeTarget(record.Base)) {
            RaiseError(Err::NoSuchLabel);
            return;
        }
        Ib.CodeIndex = record.Base;
        return;
    }
    case CodeKind::JumpTarget:
        if (!IsCodeTarget(target.SecondCode)) {
            RaiseError(Err::JumpTargetInvalid);
            return;
        }
        Ib.CodeIndex = target.SecondCode;
        return;
    default: return;
    }
}

// RETURN
void ExecReturn() {
    const int index = PopGosubReturn();
    if (Fe.ErrorNumber == 0) Ib.CodeIndex = index;
}

// DATA ..., DEF ..., DIM ... met in the flow of the program.
void SkipDeclaration() {
    CodeItemType last;
    SkipToStatementEnd(last);
}

// STOP
void SyncStop() {
    Rc.StopRequest = 1;
    // A STOP typed as an immediate command keeps the stopped program's resume point.
    if (Rc.RunMode != RunKind::Immediate) Rc.ResumePC = Ib.CodeIndex + 1;
    PostButtons(RunButtonMode::Stop);
}

// RUN
void ExecGotoStatement(int code) {
    ExecGoto(code == St::GOSUB);
}

void ExecAngleUnit(int code) {
    Ps.RadianMode = code == St::RADIANS ? 1 : 0;
}

void ExecNew() {
    Fe.ProgramText.clear();
    Fe.ProgramTextLength = 0;
}

void ExecRun() {
    Rc.RunMode = RunKind::Rerun;
    Rc.ProgramRunning = 1;
    Rc.ContinueFlag = 0;
    // The stop request is left alone: it was clear when this item began, so a stop asked for since
    // is the user's and ends the new run too.
    PostButtons(RunButtonMode::Run);
}

namespace {
// ON (1) or OFF (0) from the statement item after ECHO or CHKMSG; -1 for anything else.
int OnOffSwitch() {
    CodeItemType item;
    GetCode(item);
    if (item.FirstCode != CodeKind::Statement) return -1;
    if (item.SecondCode == St::ON) return 1;
    if (item.SecondCode == St::OFF) return 0;
    return -1;
}
} // namespace

// ECHO ON | OFF
void ExecEcho() {
    const int on = OnOffSwitch();
    if (on >= 0) Rc.EchoOn = on;
}

// CHKMSG ON | OFF
void ExecChkMsg() {
    const int on = OnOffSwitch();
    if (on >= 0) Rc.ExitMessageCheck = on;
}

// BEEP
void ExecBeep() {
    if (void (*beep)() = Hooks.BeepHook) Synchronize([beep] { beep(); });
}

// SLEEP ms
void ExecSleep() {
    if (!IsNumberTag(GlTopType())) {
        RaiseError(Err::StatementType, St::SLEEP);
        return;
    }
    Extended ms = GlPopNum();
    if (!(ms > 0)) ms = 0; // a negative time (or NaN) does not wait
    if (ms > SleepLimitMs) ms = SleepLimitMs;
    const auto wait = std::chrono::milliseconds(static_cast<int>(ms)); // 0..10000: the cast is exact
    if (!FlushFileOutput()) return; // the files are there to look at while the program sleeps
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (Rc.StopRequest.load(std::memory_order_relaxed) != 0) return;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return;
        const std::chrono::steady_clock::duration left = deadline - now;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(left, SleepSlice));
    }
}

int FindLabel(int key) {
    const int count = std::min<int>(Tb.NumofRegisteredLabel, static_cast<int>(Tb.LabelTable.size()) - 1);
    for (int i = 1; i <= count; ++i) {
        const LabelType& entry = Tb.LabelTable[static_cast<std::size_t>(i)];
        if (entry.Key == key) return entry.CodeIndex;
    }
    return 0;
}

// SYSTEM
void ExecSystem() {
    Rc.SystemExitRequest = 1;
}

namespace {

void PostRunButtons(int mode) {
    RunWindowEvent event;
    event.Op = RunWindowOp::ButtonMode;
    event.Value = mode;
    RunWindowQueue::Instance().Push(std::move(event));
}

} // namespace

// CONT
void ExecCont() {
    // Execute starts again in the resume kind, with every variable and open file as they are.
    if (Rc.GScreenOpen) ExecGRefresh();
    Rc.RunMode = RunKind::Resume;
    Rc.ProgramRunning = 1;
    Rc.ContinueFlag = 1;
    // The stop request is left alone: it was clear when this item began, so a stop asked for
    // since is the user's and ends the resumed run.
    // The stop kept while this immediate command runs belongs to the program being resumed; it
    // must not make the resumed run end as stopped.
    Rc.SavedStopRequest = 0;
    PostRunButtons(RunButtonMode::Run);
}
