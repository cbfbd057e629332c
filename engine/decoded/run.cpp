// The decoded run: from a code index, one decoded statement after the other, each run by the family
// its operation's row names (engine/decoded/ops.h), until an index that must run item by item.
#include "engine/decoded/run.h"

#include "core/itembuffers.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/valuestack.h"
#include "engine/calls.h"
#include "engine/charindex.h"
#include "engine/decoded/calls.h"
#include "engine/decoded/decode.h"
#include "engine/decoded/loops.h"
#include "engine/decoded/reading.h"
#include "engine/decoded/statements.h"
#include "engine/dispatch.h"
#include "engine/fastaccess.h"
#include "engine/fileexec.h"
#include "engine/operators.h"
#include "engine/strfunctions.h"
#include "platform/memorybudget.h"

#include <atomic>
#include <bit>
#include <type_traits>

namespace {

// The general executor of the procedure item an Executor row stands on (the table's third column), with
// the item's own value when it takes one.
template <auto Executor> [[gnu::always_inline]] inline void RunExecutor(int value) {
    if constexpr (std::is_invocable_v<decltype(Executor), int>)
        Executor(value);
    else
        Executor();
}
// The rows of the other families name none; they never come here.
void NoExecutor() {}

// The values of a PushValues entry onto the Gl stack, in order, each with its own tag.
void PushValues(const DecodedItem& entry, const Extended* values) {
    for (int k = 0; k < entry.ValueCount; ++k) {
        if (entry.BooleanMask & (1u << k))
            GlPushBool(values[k] != 0);
        else
            PushNumber(values[k]);
    }
}

// S$'s text and x the two strings on top of the Gl stack, appended to S$ in place: false (nothing
// changed) when the left operand is some other text or S$ an array. The stack lets go of the text first,
// so that the variable alone holds it and the append reuses its spare room instead of copying the whole
// text for every piece added: the result is the join's followed by the assignment, and neither fails.
bool AppendInPlace(StrVarType& record) {
    if (record.Kind != StrVarKind::Variable || record.DimCount != 0) return false;
    const int top = Vs.GlTypeStack.Count;
    const int strings = Vs.GlStrStack.Count;
    if (top < 2 || strings < 2) return false;
    const std::int32_t* tags = Vs.GlTypeStack.Items.data();
    if (tags[top] != GlValueType::String || tags[top - 1] != GlValueType::String) return false;
    QString* values = Vs.GlStrStack.Items.data();
    QString& left = values[strings - 1];
    if (left.constData() != record.Value.constData() || left.size() != record.Value.size()) return false;
    // Growing the text's room is the program taking memory: past its budget the general join refuses it.
    const qsizetype joined = left.size() + values[strings].size();
    if (joined > record.Value.capacity() &&
        !MemoryBudget::AllowsElements(static_cast<std::size_t>(joined) * 2, sizeof(char16_t)))
        return false;
    left = QString();
    record.Value.append(values[strings]);
    values[strings] = QString();
    Vs.GlStrStack.Count = strings - 2;
    Vs.GlTypeStack.Count = top - 2;
    return true;
}

// The values an OnStack entry takes, from the Gl stack into the places its nodes read them from; false
// when they are not the numbers and booleans it was decoded for.
bool ReadStacked(const DecodedItem& entry) {
    const int count = entry.Stacked;
    const int top = Vs.GlTypeStack.Count;
    if (top < count) return false;
    const std::int32_t* tags = Vs.GlTypeStack.Items.data();
    int numbers = Vs.GlNumStack.Count;
    int booleans = Vs.GlBoolStack.Count;
    for (int k = 0; k < count; ++k) {
        auto& value = DecodedStacked[static_cast<std::size_t>(k)];
        if (entry.StackedBooleans & (1u << k)) {
            if (tags[top - k] != GlValueType::Boolean || booleans < 1) return false;
            value = Vs.GlBoolStack.Items.data()[booleans--] != 0 ? 1 : 0;
        } else {
            if (tags[top - k] != GlValueType::Number || numbers < 1) return false;
            value = Vs.GlNumStack.Items.data()[numbers--];
        }
    }
    return true;
}

// The values ReadStacked read leave the Gl stack.
void DropStacked(const DecodedItem& entry) {
    const int booleans = std::popcount(static_cast<unsigned>(entry.StackedBooleans));
    Vs.GlTypeStack.Count -= entry.Stacked;
    Vs.GlBoolStack.Count -= booleans;
    Vs.GlNumStack.Count -= entry.Stacked - booleans;
}

// The OnStack entry of `at`, the cursor after its first item (at Next): its statement on the values of
// the Gl stack, the cursor then where the statement goes on; when the values are not what it was decoded
// for or its expression stops short, the first item by its general executor, and the items after it one
// by one as usual.
void RunOnStack(int at) {
    const DecodedItem& entry = *DecodedInRun(at);
    const ExprNode* nodes = DecodedNodes.data();
    if (entry.Inner == StackedStatement::Join || ReadStacked(entry)) {
        switch (entry.Inner) {
        case StackedStatement::LetElement: {
            // the value under the subscripts, the first on top
            const NumVarType& record = *entry.Target.Number;
            Extended* element = entry.Stacked == 2
                                    ? SimpleElement(record, DecodedStacked[0])
                                    : GridElement(record, DecodedStacked[0], DecodedStacked[1]);
            if (!element || record.DimCount != entry.Stacked - 1) break;
            *element = DecodedStacked[entry.Stacked - 1u];
            DropStacked(entry);
            Ib.CodeIndex = entry.Continue;
            return;
        }
        case StackedStatement::Let: {
            NumVarType* record = entry.Target.Number;
            if (entry.ValueCount == 0) {
                // the value itself
                if (record->DimCount != 0) break;
                record->Value = DecodedStacked[0];
                DropStacked(entry);
                Ib.CodeIndex = entry.Continue;
                return;
            }
            const Extended value = ValueOf(nodes, nodes + entry.Root);
            if (record->DimCount != 0 || IsStoppedShort(value)) break;
            DropStacked(entry);
            record->Value = value;
            Ib.CodeIndex = entry.Continue;
            return;
        }
        case StackedStatement::Branch: {
            const Extended condition = ValueOf(nodes, nodes + entry.Root);
            if (IsStoppedShort(condition)) break;
            DropStacked(entry);
            Ib.CodeIndex = condition != 0 ? entry.Continue : entry.Alternate;
            return;
        }
        case StackedStatement::Join:
            if (!AppendInPlace(*entry.Target.String)) break;
            Ib.CodeIndex = entry.Continue;
            return;
        case StackedStatement::Values: {
            Extended values[MaxPushedValues];
            if (!EvaluateRoots(entry, nodes, values)) break;
            DropStacked(entry);
            PushValues(entry, values);
            Ib.CodeIndex = entry.Continue;
            return;
        }
        }
    }
    const CodeItemType& item = Decoding::Item(entry.Next);
    if (item.FirstCode == CodeKind::Operator)
        ExecOperator(item.SecondCode);
    else if (item.FirstCode == CodeKind::Function)
        ExecuteFunction(item.SecondCode);
    else
        ExecuteStatement(item.SecondCode);
}

// The general executor of a procedure item, by the decoded operation that stands on it.
void RunProcedureItem(DecodedOp op, int value) {
    switch (op) {
#define LX_EXECUTOR_CASE(Name, Runs, Executor, Listed, What, Replaces)                                       \
    case DecodedOp::Name: RunExecutor<Executor>(value); return;
        LX_DECODED_OPS(LX_EXECUTOR_CASE)
#undef LX_EXECUTOR_CASE
    }
}

// S$ = S$ + CHR$(expression); false when it stops short. (The families' functions that have one way on
// say only whether they ran: a code index read back after them would be tested again.)
[[gnu::always_inline]] inline bool RunAppendChr(const DecodedItem& entry, const ExprNode* nodes) {
    StrVarType* record = entry.Target.String;
    if (record->Kind != StrVarKind::Variable || record->DimCount != 0) return false;
    const Extended code = ValueOf(nodes, nodes + entry.Root);
    if (IsStoppedShort(code)) return false;
    AppendText(record->Value, ChrText(code));
    return true;
}

// PRINT #n, value (PrintFileLine: the value that ends the line): the cursor after PRINT# as its
// executor has it, where a text the writer holds begins and where a failure is raised; StopsShort
// where the general path must run it (a channel that cannot be written raises its error there).
template <bool EndLine>
[[gnu::always_inline]] inline int RunPrintFile(const DecodedItem& entry, const ExprNode* nodes) {
    const int n = entry.Value;
    if (!IsWritable(n)) return StopsShort;
    QStringView text;
    if (entry.Operation == PrintedValue::Number) {
        const Extended value = ValueOf(nodes, nodes + entry.Root);
        if (IsStoppedShort(value)) return StopsShort;
        text = PrintedNumberText(value);
    } else if (entry.Operation == PrintedValue::Variable) {
        const StrVarType* record = entry.Target.String;
        if (record->Kind != StrVarKind::Variable || record->DimCount != 0) return StopsShort;
        text = record->Value;
    } else {
        const auto literal = static_cast<std::size_t>(entry.Root);
        if (literal >= Tb.StrConTable.size()) return StopsShort;
        text = Tb.StrConTable[literal];
    }
    Ib.CodeIndex = entry.Left;
    WritePrintedText(n, text, EndLine);
    return Fe.ErrorNumber == 0 ? entry.Next : entry.Left;
}

// GlPop X: GlPop Y ...: each takes the number on top (a by-value argument's is dropped); false when it
// stops short.
[[gnu::always_inline]] inline bool RunPopNumbers(const DecodedItem& entry, const ExprNode* nodes) {
    const int count = entry.ValueCount;
    const int top = Vs.GlTypeStack.Count;
    const int numbers = Vs.GlNumStack.Count;
    if (top < count || numbers < count) return false;
    const std::int32_t* tags = Vs.GlTypeStack.Items.data();
    for (int k = 0; k < count; ++k)
        if (tags[top - k] != GlValueType::Number && tags[top - k] != GlValueType::NumberAlt) return false;
    const Extended* stacked = Vs.GlNumStack.Items.data();
    const ExprNode* variables = nodes + entry.Root;
    for (int k = 0; k < count; ++k) {
        if (Extended* target = const_cast<Extended*>(variables[k].Operand.Value))
            *target = stacked[numbers - k];
    }
    Vs.GlTypeStack.Count = top - count;
    Vs.GlNumStack.Count = numbers - count;
    return true;
}

// GlPush X: GlPush Y ...
[[gnu::always_inline]] inline void RunPushNumbers(const DecodedItem& entry, const ExprNode* nodes) {
    for (int k = 0; k < entry.ValueCount; ++k)
        PushNumber(*nodes[entry.Root + k].Operand.Value);
}

} // namespace

// How each family of the table runs its operation OP. Each ends its case: on to `next`, to stopShort,
// to procedureItem (the general executor of the item, which RunProcedureItem finds by the table's
// Executor column), or out of the run.
#define LX_RUNS_Generic(OP, EXECUTOR) return at;
#define LX_RUNS_Jump(OP, EXECUTOR)                                                                           \
    next = entry->Next;                                                                                      \
    break;
#define LX_RUNS_Statement(OP, EXECUTOR)                                                                      \
    next = RunStatement<DecodedOp::OP>(*entry, nodes, scratch);                                              \
    if (next < 0) [[unlikely]] {                                                                             \
        if (next == StopsShort) goto stopShort;                                                              \
        goto handOver;                                                                                       \
    }                                                                                                        \
    break;
#define LX_RUNS_Values(OP, EXECUTOR)                                                                         \
    {                                                                                                        \
        Extended values[MaxPushedValues];                                                                    \
        if (!EvaluateRoots(*entry, nodes, values)) goto stopShort;                                           \
        PushValues(*entry, values);                                                                          \
        if (Fe.ErrorNumber != 0) [[unlikely]]                                                                \
            return entry->Next; /* the stack found no memory */                                              \
        next = entry->Next;                                                                                  \
        break;                                                                                               \
    }
#define LX_RUNS_AppendChr(OP, EXECUTOR)                                                                      \
    if (!RunAppendChr(*entry, nodes)) goto stopShort;                                                        \
    next = entry->Next;                                                                                      \
    break;
#define LX_RUNS_PrintFile(OP, EXECUTOR)                                                                      \
    next = RunPrintFile<DecodedOp::OP == DecodedOp::PrintFileLine>(*entry, nodes);                           \
    if (next == StopsShort) goto stopShort;                                                                  \
    if (Fe.ErrorNumber != 0) [[unlikely]]                                                                    \
        return next; /* the write failed: raised as this PRINT#'s failure, after its item */                 \
    break;
// Binds run by themselves (a call's own entry binds its parameters) and the executor rows (what a one-pass
// call leaves, the rests of statements on stacked values) are the rare ones: so marked, the compiler keeps
// the commonest statements' values in registers (bench/callgrind counts the difference).
#define LX_RUNS_PopNumbers(OP, EXECUTOR)                                                                     \
    [[unlikely]] if (!RunPopNumbers(*entry, nodes)) goto stopShort;                                          \
    next = entry->Next;                                                                                      \
    break;
#define LX_RUNS_PushNumbers(OP, EXECUTOR)                                                                    \
    RunPushNumbers(*entry, nodes);                                                                           \
    if (Fe.ErrorNumber != 0) [[unlikely]]                                                                    \
        return entry->Next; /* the stack found no memory */                                                  \
    next = entry->Next;                                                                                      \
    break;
#define LX_RUNS_Executor(OP, EXECUTOR) [[unlikely]] goto procedureItem;
#define LX_RUNS_ForNext(OP, EXECUTOR)                                                                        \
    if (!RunForNext(entry, at, next, limit, decoded, nodes, scratch)) goto stopShort;                        \
    break;
#define LX_RUNS_Call(OP, EXECUTOR)                                                                           \
    {                                                                                                        \
        Extended values[MaxPushedValues];                                                                    \
        if (!EvaluateRoots(*entry, nodes, values)) goto stopShort;                                           \
        next = RunCall(*entry, values, limit);                                                               \
        if (next == CallStoppedShort) goto stopShort;                                                        \
        break;                                                                                               \
    }
#define LX_RUNS_Return(OP, EXECUTOR)                                                                         \
    next = RunReturn(*entry, limit);                                                                         \
    if (next == CallStoppedShort) goto stopShort;                                                            \
    break;
#define LX_RUNS_CallPart(OP, EXECUTOR)                                                                       \
    next = RunCallPart(*entry);                                                                              \
    if (next == CallStoppedShort) goto stopShort;                                                            \
    break;

int RunDecoded(int at, int limit, bool& stoppedShort) {
    stoppedShort = false;
    if (DecodedTablesMoved()) NoteCodeChanged();
    // The decoded side as far as the code goes (none, when the budget has no room for it or a stop
    // came while it grew: the items then run one by one).
    if (static_cast<std::size_t>(limit) >= DecodedSlots.size() && !FitDecodedCode(limit)) return at;
    KeepDecodedGeneration();
    DecodedView decoded;
    const ExprNode* nodes = DecodedNodes.data();
    for (;;) {
        // 1 .. limit, which the decoded side covers
        if (static_cast<unsigned>(at - 1) >= static_cast<unsigned>(limit)) return at;
        DecodedItem* entry = decoded.Find(at);
        if (!entry) [[unlikely]] {
            entry = DecodeItem(at, limit);
            if (!entry) return at; // no room for it: the item runs by the general path
            decoded = DecodedView{};
            nodes = DecodedNodes.data();
        }
        int next = 0;
        Extended scratch = 0; // no value carried from an earlier statement
        switch (entry->Op) {
#define LX_DECODED_CASE(Name, Runs, Executor, Listed, What, Replaces)                                        \
    case DecodedOp::Name: LX_RUNS_##Runs(Name, Executor)
            LX_DECODED_OPS(LX_DECODED_CASE)
#undef LX_DECODED_CASE
        default: __builtin_unreachable(); // no operation has another value
        }
        at = next;
        // A stop request is seen after every decoded statement, as after every item.
        if (Rc.StopRequest.load(std::memory_order_relaxed) != 0) [[unlikely]]
            return at;
        continue;
    procedureItem:
        // The executor reads its operands after the item, as in the item-by-item loop.
        Ib.CodeIndex = entry->Next + 1;
        RunProcedureItem(entry->Op, entry->Value);
        // After an executor the run goes on at its cursor; an error it raised is the run loop's to
        // report, positioned as after any item.
        at = Ib.CodeIndex;
        if (Fe.ErrorNumber != 0 || Rc.StopRequest.load(std::memory_order_relaxed) != 0) [[unlikely]]
            return at;
        continue;
    stopShort:
        // The general path runs this statement; an entry that keeps stopping short is left to it.
        if (--entry->Retries == 0) entry->Op = DecodedOp::Generic;
    handOver:
        stoppedShort = true;
        return at;
    }
}