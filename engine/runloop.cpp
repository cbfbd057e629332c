// The run loop: the one switch over the item kinds that runs every item by its general executor, and
// the hand-over to the decoded run wherever a decoded statement may begin.
#include "engine/runloop.h"

#include "core/internalcodes.h"
#include "core/itembuffers.h"
#include "core/parsecodes.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/calls.h"
#include "engine/decoded/decode.h"
#include "engine/decoded/run.h"
#include "engine/dispatch.h"
#include "engine/enginestate.h"
#include "engine/errorposition.h"
#include "engine/fileexec.h"
#include "engine/formulaexec.h"
#include "engine/namevalues.h"
#include "engine/operators.h"
#include "engine/printline.h"

#include <atomic>
#include <utility>

namespace {

// The loop's two builds: the general executors alone, the reference the tests hold the other to; or
// with the decoded run taking every statement it covers. The choice is made once per run, so neither
// build carries a test of it.
enum class RunTier : std::uint8_t { General, Decoded };

template <typename Table> bool InTable(const Table& table, long at) {
    return at >= 0 && static_cast<std::size_t>(at) < table.size();
}

// The fetch that ends every item: the next item into CurrentItem. While no error is pending, items that
// do nothing are stepped over here rather than one pass of the loop each; that is invisible, since the
// stop request is still seen before the next item with an effect and CurrentItemIndex names an item
// that has not run. An error is positioned by the item right after the failing one, and a stop already
// requested leaves the run at the item right after the last one run, so nothing is stepped over then.
// The loop's copies of the cursor and the limit (`pc`, `limit`) come back updated.
template <RunTier Tier> [[gnu::always_inline]] inline void FetchNextEffectiveItem(int& pc, int& limit) {
    int at = Ib.CodeIndex;
    limit = Ib.CodeLimit;
    if (at < 0 || at > limit) [[unlikely]] {
        FetchCurrentItem(); // past the end: the kind becomes 0 and the cursor stays
        pc = Ib.CodeIndex;
        return;
    }
    const CodeItemType* item = Ib.CodeBuffer.data() + at;
    if constexpr (Tier == RunTier::Decoded) {
        if ((Fe.ErrorNumber | Rc.StopRequest.load(std::memory_order_relaxed)) == 0) [[likely]] {
            while (at < limit && IsInertItem(*item)) {
                ++at;
                ++item;
            }
        }
    }
    Ib.CurrentItem = *item;
    Eng.CurrentItemIndex = at;
    pc = at + 1;
    Ib.CodeIndex = pc;
}

// The item at `at` into CurrentItem as the fetch would leave it (past the limit: no item, the cursor
// staying), after a run of decoded statements.
[[gnu::always_inline]] inline void EnterItem(int at, int limit, int& pc) {
    Eng.CurrentItemIndex = at;
    if (at >= 0 && at <= limit) {
        Ib.CurrentItem = Ib.CodeBuffer.data()[at];
        pc = at + 1;
    } else {
        Ib.CurrentItem.FirstCode = CodeKind::None;
        pc = at;
    }
    Ib.CodeIndex = pc;
}

// True when the entry of `at` is decoded, in this generation, as an item for the general path: the
// loop then goes on without calling the decoded run at all.
[[gnu::always_inline]] inline bool IsDecodedGeneric(int at) {
    return DecodedAsGeneric(at);
}

// An error raised by the item just run: positioned, and trapped while EVALFORM traps errors. Normally
// the next item is in hand and the error lies just before it; the item before that one is the last
// the failing executor read, since none jumps and fails. When the failing item itself is still in hand
// (subscripts, the graphics-window check), its own position is the error's. False when the run ends
// with the error.
bool TakeError(int& pc, int& limit) {
    if (Eng.HeldErrorPosition > 0)
        Fe.ErrorPosition = std::exchange(Eng.HeldErrorPosition, 0);
    else if (Eng.ErrorAtCurrentItem)
        Fe.ErrorPosition = ErrorPositionOf(Ib.CurrentItem.Position, Eng.CurrentItemIndex);
    else
        Fe.ErrorPosition = ErrorPositionOf(Ib.CurrentItem.Position >= 1 ? Ib.CurrentItem.Position - 1 : 0,
                                           Eng.CurrentItemIndex - 1);
    if (Eng.EvalFormTrap == 0) return false;
    if (InTable(Tb.NumVarTable, Eng.EvalFormVarIndex))
        Tb.NumVarTable[static_cast<std::size_t>(Eng.EvalFormVarIndex)].Value = Fe.ErrorNumber;
    Fe.ErrorNumber = 0;
    if (Eng.ErrorAtCurrentItem) FetchCurrentItem(); // never dispatch the failing item again
    LeaveFormulaAtTrappedError();
    pc = Ib.CodeIndex;
    limit = Ib.CodeLimit;
    return true;
}

// The item in hand by its general executor: an operator, a function or a statement; a value (a constant,
// a literal, a variable, a PUBLIC name) onto the Gl stack; an item of PRINT or of the procedure
// machinery; nothing for the items that do nothing. False when it is one of the statements that leave
// the loop (the way out in `exit`).
[[gnu::always_inline]] inline bool RunItem(int kind, int value, LoopExit& exit) {
    switch (kind) {
    case CodeKind::Operator: ExecOperator(value); break;
    case CodeKind::Function: ExecuteFunction(value); break;
    case CodeKind::Statement:
        switch (value) {
        case St::SYSTEM: exit = LoopExit::System; break;
        case St::CONT: exit = LoopExit::Cont; break;
        case St::RUN: exit = LoopExit::Run; break;
        default: ExecuteStatement(value); return true;
        }
        ExecuteStatement(value);
        return false;
    case CodeKind::SysNumConst:
        if (value >= 1 && value <= FixedConstSlots)
            PushNumber(NumConstTable[static_cast<std::size_t>(value)]);
        break;
    case CodeKind::SysStrConst:
        if (value >= 1 && value <= FixedConstSlots) GlPushStr(StrConstTable[static_cast<std::size_t>(value)]);
        break;
    case CodeKind::NumLiteral: {
        const long at = static_cast<long>(value) + 1;
        PushNumber(InTable(Tb.NumConTable, at) ? Tb.NumConTable[static_cast<std::size_t>(at)] : 0.0L);
        break;
    }
    case CodeKind::NumVar: PushNumName(value); break;
    case CodeKind::LocalNumVar: {
        const long at = static_cast<long>(Ps.NumFrameBase) + value;
        if (InTable(Tb.LocalNumVarTable, at))
            PushNumber(Tb.LocalNumVarTable[static_cast<std::size_t>(at)].Value);
        break;
    }
    case CodeKind::NumArray: GlPushNumArray(value); break;
    case CodeKind::StrLiteral:
        if (InTable(Tb.StrConTable, value)) GlPushStr(Tb.StrConTable[static_cast<std::size_t>(value)]);
        break;
    case CodeKind::StrVar: PushStrName(value); break;
    case CodeKind::LocalStrVar: {
        const long at = static_cast<long>(Ps.StrFrameBase) + value;
        if (InTable(Tb.LocalStrVarTable, at))
            GlPushStr(Tb.LocalStrVarTable[static_cast<std::size_t>(at)].Value);
        break;
    }
    case CodeKind::StrArray: GlPushStrArray(value); break;
    case CodeKind::BoolConst:
        if (value == BoolConstTrue || value == BoolConstFalse)
            GlPushBool(BoolConstTable[static_cast<std::size_t>(value)] != 0);
        break;
    case CodeKind::BoolVar: PushBoolName(value); break;
    case CodeKind::BoolArray: GlPushBoolArray(value); break;
    case CodeKind::PrintSep:
        if (value == Op::Comma)
            PrintNextZone();
        else if (value == PrintSepEnd)
            FlushPrintLine();
        break;
    case CodeKind::PublicNum:
        if (value >= 1 && value <= PublicSlotCount)
            PushNumber(Tb.PublicNumTable[static_cast<std::size_t>(value)].Value);
        break;
    case CodeKind::PublicStr:
        if (value >= 1 && value <= PublicSlotCount)
            GlPushStr(Tb.PublicStrTable[static_cast<std::size_t>(value)].Value);
        break;
    case CodeKind::PublicBool:
        if (value >= 1 && value <= PublicSlotCount)
            GlPushBool(Tb.PublicBoolTable[static_cast<std::size_t>(value)].Value != 0);
        break;
    case CodeKind::PrintFileSep: ExecPrintFileSeparator(value); break;
    case CodeKind::NumArgBind: StoreNumArgument(value); break;
    case CodeKind::StrArgBind: StoreStrArgument(value); break;
    case CodeKind::FrameCountN: PushFrameSizes(value); break;
    case CodeKind::SubFrame: PushSubFrame(value); break;
    default: break; // 0, 41, 42, 45, 71, 83, 85, 90 to 94: nothing
    }
    return true;
}

// What the loop does after handing over to the decoded run.
enum class AfterDecoded : std::uint8_t { RunItem, NextItem, Leave };

// The decoded statements from the item in hand as far as they go; the item they end on is then in hand.
// `generalAt` is the index whose decoded statement stopped short, whose item runs by the general path.
[[gnu::always_inline]] inline AfterDecoded HandOverToDecoded(int& pc, int& limit, int& generalAt) {
    if (Eng.CurrentItemIndex == generalAt ||
        !MayBeginDecoded(Ib.CurrentItem.FirstCode, Ib.CurrentItem.SecondCode) ||
        IsDecodedGeneric(Eng.CurrentItemIndex)) {
        generalAt = -1;
        return AfterDecoded::RunItem;
    }
    const int start = Eng.CurrentItemIndex;
    bool stoppedShort = false;
    const int at = RunDecoded(start, limit, stoppedShort);
    if (stoppedShort) generalAt = at;
    if (at == start) {
        generalAt = -1;
        return AfterDecoded::RunItem;
    }
    EnterItem(at, limit, pc);
    if (Fe.ErrorNumber == 0) [[likely]]
        return AfterDecoded::NextItem;
    // An error of a procedure item's executor (or a push that found no memory): the next item is in
    // hand, as after any item.
    Eng.ErrorAtCurrentItem = false;
    return TakeError(pc, limit) ? AfterDecoded::NextItem : AfterDecoded::Leave;
}

template <RunTier Tier> LoopExit RunItems() {
    LoopExit exit = LoopExit::End;
    // The loop's own copies of CodeIndex and CodeLimit as the last fetch left them; executors work on
    // the globals, and every fetch reads those afresh.
    int pc = Ib.CodeIndex;
    int limit = Ib.CodeLimit;
    // The index whose decoded statement stopped short: its item runs by the general path next.
    int generalAt = -1;
    // Every run decodes afresh: what an earlier run decoded may describe code since replaced.
    NoteCodeChanged();
    for (;;) {
        // Stop condition, tested before every dispatch.
        const int kind = Ib.CurrentItem.FirstCode;
        if (kind == CodeKind::End) return LoopExit::End;
        if (Rc.StopRequest.load(std::memory_order_relaxed) != 0) [[unlikely]]
            return LoopExit::Stop;
        if (pc > limit) [[unlikely]]
            return LoopExit::End;

        if constexpr (Tier == RunTier::Decoded) {
            const AfterDecoded after = HandOverToDecoded(pc, limit, generalAt);
            if (after == AfterDecoded::NextItem) continue;
            if (after == AfterDecoded::Leave) return LoopExit::Error;
        }

        Eng.ErrorAtCurrentItem = false;
        if (!RunItem(kind, Ib.CurrentItem.SecondCode, exit)) [[unlikely]]
            return exit;

        if (!Eng.ErrorAtCurrentItem) [[likely]]
            FetchNextEffectiveItem<Tier>(pc, limit);
        if (Fe.ErrorNumber != 0) [[unlikely]] {
            if (!TakeError(pc, limit)) return LoopExit::Error;
        } else if (Eng.ErrorAtCurrentItem) [[unlikely]] {
            pc = Ib.CodeIndex; // the item stays in hand (no executor does this without an error)
            limit = Ib.CodeLimit;
        }
    }
}

} // namespace

LoopExit RunLoop() {
    return Eng.FastPathsEnabled ? RunItems<RunTier::Decoded>() : RunItems<RunTier::General>();
}
