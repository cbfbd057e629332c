// The run-time side of SUB, FUNCTION and DEF calls: binding arguments, saving and restoring a
// recursive procedure's variables on the Lo stack, the frame and return stacks, and the way back.
#include "engine/calls.h"

#include "core/errornumbers.h"
#include "core/itembuffers.h"
#include "core/raiseerror.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/valuestack.h"
#include "engine/fastaccess.h"
#include "engine/numconvert.h"
#include "engine/services.h"
#include "engine/stacktags.h"

#include <algorithm>

namespace {

constexpr int FrameItemsAfterFirst = 5; // a call frame is one kind-89 item and five more

inline bool IsCodeTarget(long target) {
    return target >= 1 && target <= Ib.CurrentmaxCodeNum;
}

template <typename Table> bool InTable(const Table& table, long at) {
    return at >= 0 && static_cast<std::size_t>(at) < table.size();
}

// ---- SUB and FUNCTION arguments ---------------------------------------------------------------------

// An array parameter takes the caller's array: its shape, elements and kind (it stays marked as a
// parameter, so saving the locals leaves the caller's elements alone).
template <typename Table> void BindArray(Table& table, int parameter, int referenceTag) {
    if (GlTopType() != referenceTag) {
        RaiseError(Err::CallArgumentType);
        return;
    }
    std::int32_t source = 0;
    if (!TruncToInt32(GlPopNum(), source) || !InTable(table, source)) {
        RaiseError(Err::CallArgumentType);
        return;
    }
    const auto& from = table[static_cast<std::size_t>(source)];
    auto& to = table[static_cast<std::size_t>(parameter)];
    to.DimCount = from.DimCount;
    to.Bounds = from.Bounds;
    to.Base = from.Base;
    to.Kind = from.Kind;
}

// ---- saving and restoring a frame's variables ------------------------------------------------------

// The entries first..last of a table that a frame's pair (start, end) brackets.
struct EntryRange {
    long First = 1;
    long Last = 0;
};

template <typename Table> EntryRange FrameRange(const Table& table, std::int32_t start, std::int32_t end) {
    EntryRange range;
    range.First = std::max<long>(static_cast<long>(start) + 1, 1);
    range.Last = std::min<long>(end, static_cast<long>(table.size()) - 1);
    return range;
}

// The elements of a procedure's own array, [First, First + Count) of its element table. False for
// every other record: scalars, labels, and array parameters (which name the caller's array).
struct ElementRange {
    long First = 0;
    long Count = 0;
};

template <typename Record>
bool OwnArray(const Record& record, std::uint8_t arrayKind, std::size_t tableSize, ElementRange& range) {
    if (record.Kind != arrayKind || record.ArrayParam != 0) return false;
    if (record.DimCount < 1 || record.DimCount > MaxDimensions) return false;
    long long count = 1;
    for (int d = 1; d <= record.DimCount; ++d) {
        const long long bound = record.Bounds[static_cast<std::size_t>(d)];
        if (bound < 0) return false;
        count *= bound + 1;
        if (count > static_cast<long long>(tableSize)) return false;
    }
    if (record.Base < 0 || record.Base + count > static_cast<long long>(tableSize)) return false;
    range.First = record.Base;
    range.Count = static_cast<long>(count);
    return true;
}

template <typename Table>
long long SavedCount(const Table& table, EntryRange entries, std::uint8_t arrayKind, std::size_t tableSize) {
    long long count = 0;
    for (long i = entries.First; i <= entries.Last; ++i) {
        ElementRange elements;
        const bool own = OwnArray(table[static_cast<std::size_t>(i)], arrayKind, tableSize, elements);
        count += own ? elements.Count : 1;
    }
    return count;
}

} // namespace

// Kind 89: {89, W1} {89, W2} {90, W3} {90, W4} {91, W5} {91, W6}
void PushSubFrame(int firstValue) {
    CallFrameType frame;
    const int at = Ib.CodeIndex;
    if (at >= 0 && at + FrameItemsAfterFirst - 1 <= Ib.CodeLimit) [[likely]] {
        // the five words read straight from the buffer, as five fetches would read them
        frame = CallFrames::FrameOfItems(firstValue, Ib.CodeBuffer.data() + at);
        Ib.CodeIndex = at + FrameItemsAfterFirst;
    } else {
        frame.W1 = firstValue;
        CodeItemType item;
        for (std::int32_t* word : {&frame.W2, &frame.W3, &frame.W4, &frame.W5, &frame.W6}) {
            GetCode(item);
            *word = item.SecondCode;
        }
        CallFrames::NoteNumberRun(frame);
    }
    if (Vs.CallFrameStack.Count >= MaxCallDepth) {
        RaiseError(Err::CallFrameOverflow);
        return;
    }
    PushCallFrame(frame);
}

// Internal 245 ("GlPop") parameter
void BindArgument() {
    CodeItemType parameter;
    GetCode(parameter);
    const int index = parameter.SecondCode;
    switch (parameter.FirstCode) {
    case CodeKind::NumVar:
        if (!InTable(Tb.NumVarTable, index)) break;
        if (!IsNumberTag(GlTopType())) break;
        Tb.NumVarTable[static_cast<std::size_t>(index)].Value = GlPopNum();
        return;
    case CodeKind::StrVar:
        if (!InTable(Tb.StrVarTable, index)) break;
        if (GlTopType() != GlValueType::String) break;
        GlPopStr(Tb.StrVarTable[static_cast<std::size_t>(index)].Value);
        return;
    case CodeKind::BoolVar:
        if (!InTable(Tb.BoolVarTable, index)) break;
        if (GlTopType() != GlValueType::Boolean) break;
        Tb.BoolVarTable[static_cast<std::size_t>(index)].Value = GlPopBool() ? 1 : 0;
        return;
    case CodeKind::NumArray:
        if (!InTable(Tb.NumVarTable, index)) break;
        BindArray(Tb.NumVarTable, index, GlValueType::NumArrayRef);
        return;
    case CodeKind::StrArray:
        if (!InTable(Tb.StrVarTable, index)) break;
        BindArray(Tb.StrVarTable, index, GlValueType::StrArrayRef);
        return;
    case CodeKind::BoolArray:
        if (!InTable(Tb.BoolVarTable, index)) break;
        BindArray(Tb.BoolVarTable, index, GlValueType::BoolArrayRef);
        return;
    case CodeKind::DummyCode: DiscardGlTop(); return; // an argument passed by value comes back unused
    default: return;
    }
    RaiseError(Err::CallArgumentType);
}

// Internal 246 ("GlPush") variable
void PushVariableValue() {
    CodeItemType item;
    GetCode(item);
    const int index = item.SecondCode;
    switch (item.FirstCode) {
    case CodeKind::NumVar:
        if (InTable(Tb.NumVarTable, index)) GlPushNum(Tb.NumVarTable[static_cast<std::size_t>(index)].Value);
        return;
    case CodeKind::StrVar:
        if (InTable(Tb.StrVarTable, index)) GlPushStr(Tb.StrVarTable[static_cast<std::size_t>(index)].Value);
        return;
    case CodeKind::BoolVar:
        if (InTable(Tb.BoolVarTable, index))
            GlPushBool(Tb.BoolVarTable[static_cast<std::size_t>(index)].Value != 0);
        return;
    case CodeKind::NumArray:
        if (InTable(Tb.NumVarTable, index))
            GlPushNumArray(Tb.NumVarTable[static_cast<std::size_t>(index)].Base);
        return;
    case CodeKind::StrArray:
        if (InTable(Tb.StrVarTable, index))
            GlPushStrArray(Tb.StrVarTable[static_cast<std::size_t>(index)].Base);
        return;
    case CodeKind::BoolArray:
        if (InTable(Tb.BoolVarTable, index))
            GlPushBoolArray(Tb.BoolVarTable[static_cast<std::size_t>(index)].Base);
        return;
    default: return;
    }
}

namespace {

// How many values a frame's save puts into each part of the Lo stack.
struct SavedCounts {
    long long Bools = 0, Nums = 0, Strs = 0;
};
SavedCounts CountSaved(const CallFrameType& frame) {
    SavedCounts counts;
    counts.Bools = SavedCount(Tb.BoolVarTable, FrameRange(Tb.BoolVarTable, frame.W1, frame.W2),
                              BoolVarKind::Array, Tb.ABoolVarTable.size());
    counts.Nums = SavedCount(Tb.NumVarTable, FrameRange(Tb.NumVarTable, frame.W3, frame.W4),
                             NumVarKind::Array, Tb.ANumVarTable.size());
    counts.Strs = SavedCount(Tb.StrVarTable, FrameRange(Tb.StrVarTable, frame.W5, frame.W6),
                             StrVarKind::Array, Tb.AStrVarTable.size());
    return counts;
}

// Whether the top of the Lo stack holds what restoring `frame` pops: its strings on top, then its
// numbers, then its booleans, each with its own tag.
bool HoldsSavedFrame(const CallFrameType& frame) {
    const SavedCounts counts = CountSaved(frame);
    if (Vs.LoTypeStack.Count < counts.Bools + counts.Nums + counts.Strs ||
        Vs.LoBoolStack.Count < counts.Bools || Vs.LoNumStack.Count < counts.Nums ||
        Vs.LoStrStack.Count < counts.Strs)
        return false;
    const std::int32_t* tag = Vs.LoTypeStack.Items.data() + Vs.LoTypeStack.Count;
    for (const auto& [count, expected] :
         {std::pair{counts.Strs, GlValueType::String}, std::pair{counts.Nums, GlValueType::Number},
          std::pair{counts.Bools, GlValueType::Boolean}})
        for (long long k = 0; k < count; ++k)
            if (*tag-- != expected) return false;
    return true;
}

} // namespace

bool SaveTopFrameLocals() {
    const CallFrameType& frame = Vs.CallFrameStack.Items.data()[Vs.CallFrameStack.Count];
    // Refuse before pushing anything, so that a refused save leaves the Lo stack as it was.
    const SavedCounts counts = CountSaved(frame);
    const long long needed = counts.Bools + counts.Nums + counts.Strs;
    if (Vs.LoTypeStack.Count + needed > MaxSavedLocals ||
        !Vs.LoTypeStack.Reserve(static_cast<long>(needed)) ||
        !Vs.LoBoolStack.Reserve(static_cast<long>(counts.Bools)) ||
        !Vs.LoNumStack.Reserve(static_cast<long>(counts.Nums)) ||
        !Vs.LoStrStack.Reserve(static_cast<long>(counts.Strs)))
        return false;

    // Booleans, then numbers, then strings, each in ascending order; an own array pushes all its
    // elements.
    const EntryRange bools = FrameRange(Tb.BoolVarTable, frame.W1, frame.W2);
    const EntryRange nums = FrameRange(Tb.NumVarTable, frame.W3, frame.W4);
    const EntryRange strs = FrameRange(Tb.StrVarTable, frame.W5, frame.W6);
    ElementRange elements;
    for (long i = bools.First; i <= bools.Last; ++i) {
        const BoolVarType& record = Tb.BoolVarTable[static_cast<std::size_t>(i)];
        if (OwnArray(record, BoolVarKind::Array, Tb.ABoolVarTable.size(), elements)) {
            for (long e = elements.First; e < elements.First + elements.Count; ++e)
                LoPushBool(NumberToBoolean(Tb.ABoolVarTable[static_cast<std::size_t>(e)]));
        } else {
            LoPushBool(record.Value != 0);
        }
    }
    for (long i = nums.First; i <= nums.Last; ++i) {
        const NumVarType& record = Tb.NumVarTable[static_cast<std::size_t>(i)];
        if (OwnArray(record, NumVarKind::Array, Tb.ANumVarTable.size(), elements)) {
            for (long e = elements.First; e < elements.First + elements.Count; ++e)
                LoPushNum(Tb.ANumVarTable[static_cast<std::size_t>(e)]);
        } else {
            LoPushNum(record.Value);
        }
    }
    for (long i = strs.First; i <= strs.Last; ++i) {
        const StrVarType& record = Tb.StrVarTable[static_cast<std::size_t>(i)];
        if (OwnArray(record, StrVarKind::Array, Tb.AStrVarTable.size(), elements)) {
            for (long e = elements.First; e < elements.First + elements.Count; ++e)
                LoPushStr(Tb.AStrVarTable[static_cast<std::size_t>(e)]);
        } else {
            LoPushStr(record.Value);
        }
    }
    return true;
}

bool RestoreTopFrameLocals() {
    const CallFrameType& frame = Vs.CallFrameStack.Items.data()[Vs.CallFrameStack.Count];
    if (!HoldsSavedFrame(frame)) return false;
    RestoreLocals(); // every pop finds its value
    return true;
}

// Internal 267 ("LoPushAll")
void SaveLocals() {
    if (!SaveFrameLocals()) RaiseError(Err::StackOutOfMemory);
}

// Internal 265 ("LoPopAll"): the exact reverse of SaveLocals.
void RestoreLocals() {
    if (Vs.CallFrameStack.Count < 1) return; // nothing was saved for the main program
    const CallFrameType& frame = Vs.CallFrameStack.Items.data()[Vs.CallFrameStack.Count];
    CallFrames::NumberRun run;
    if (CallFrames::NumbersOnly(frame, run) && CallFrames::RestoreNumberRun(run)) return;
    const EntryRange bools = FrameRange(Tb.BoolVarTable, frame.W1, frame.W2);
    const EntryRange nums = FrameRange(Tb.NumVarTable, frame.W3, frame.W4);
    const EntryRange strs = FrameRange(Tb.StrVarTable, frame.W5, frame.W6);

    ElementRange elements;
    for (long i = strs.Last; i >= strs.First; --i) {
        StrVarType& record = Tb.StrVarTable[static_cast<std::size_t>(i)];
        if (OwnArray(record, StrVarKind::Array, Tb.AStrVarTable.size(), elements)) {
            for (long e = elements.First + elements.Count - 1; e >= elements.First; --e)
                if (!LoPopStr(Tb.AStrVarTable[static_cast<std::size_t>(e)])) return;
        } else if (!LoPopStr(record.Value)) {
            return;
        }
    }
    for (long i = nums.Last; i >= nums.First; --i) {
        NumVarType& record = Tb.NumVarTable[static_cast<std::size_t>(i)];
        if (OwnArray(record, NumVarKind::Array, Tb.ANumVarTable.size(), elements)) {
            for (long e = elements.First + elements.Count - 1; e >= elements.First; --e) {
                const Extended value = LoPopNum();
                if (Fe.ErrorNumber != 0) return;
                Tb.ANumVarTable[static_cast<std::size_t>(e)] = value;
            }
        } else {
            const Extended value = LoPopNum();
            if (Fe.ErrorNumber != 0) return;
            record.Value = value;
        }
    }
    for (long i = bools.Last; i >= bools.First; --i) {
        BoolVarType& record = Tb.BoolVarTable[static_cast<std::size_t>(i)];
        if (OwnArray(record, BoolVarKind::Array, Tb.ABoolVarTable.size(), elements)) {
            for (long e = elements.First + elements.Count - 1; e >= elements.First; --e) {
                const bool value = LoPopBool();
                if (Fe.ErrorNumber != 0) return;
                Tb.ABoolVarTable[static_cast<std::size_t>(e)] = BooleanToNumber(value);
            }
        } else {
            const bool value = LoPopBool();
            if (Fe.ErrorNumber != 0) return;
            record.Value = value ? 1 : 0;
        }
    }
}

// Internal 281 ("SubJump") name
void JumpViaLabelVariable() {
    CodeItemType name;
    GetCode(name);
    if (Vs.CallReturnStack.Count >= MaxCallDepth) {
        RaiseError(Err::CallReturnOverflow);
        return;
    }
    PushCallReturn(Ib.CodeIndex);
    if (Fe.ErrorNumber != 0) return;

    const int index = name.SecondCode;
    bool callable = false;
    long target = 0;
    switch (name.FirstCode) {
    case CodeKind::NumVar:
        if (InTable(Tb.NumVarTable, index)) {
            const NumVarType& record = Tb.NumVarTable[static_cast<std::size_t>(index)];
            callable = record.Kind == NumVarKind::SubName || record.Kind == NumVarKind::FunctionName;
            target = record.Base;
        }
        break;
    case CodeKind::StrVar:
        if (InTable(Tb.StrVarTable, index)) {
            const StrVarType& record = Tb.StrVarTable[static_cast<std::size_t>(index)];
            callable = record.Kind == StrVarKind::FunctionName;
            target = record.Base;
        }
        break;
    case CodeKind::BoolVar:
        if (InTable(Tb.BoolVarTable, index)) {
            const BoolVarType& record = Tb.BoolVarTable[static_cast<std::size_t>(index)];
            callable = record.Kind == BoolVarKind::FunctionName;
            target = record.Base;
        }
        break;
    case CodeKind::JumpTarget:
        callable = true;
        target = index;
        break;
    default: return; // no call; the return index stays pushed
    }
    if (!callable || !IsCodeTarget(target)) {
        RaiseError(Err::SubCallFailed);
        return;
    }
    Ib.CodeIndex = static_cast<int>(target);
}

// END SUB, END FUNCTION
void ExecEndSub() {
    CallFrameType frame;
    if (!PopCallFrame(frame)) return;
    const std::int32_t index = PopCallReturn();
    if (Fe.ErrorNumber == 0) Ib.CodeIndex = index;
}

// Kind 84 with the kind-85 item after it: {84, numeric count} {85, string count}
void PushFrameSizes(int numCount) {
    CodeItemType strItem;
    GetCode(strItem);
    if (Ps.SubCallStackCount >= SubCallStackSize) {
        RaiseError(Err::ReturnStackFull);
        return;
    }
    Ps.SubCallStack[static_cast<std::size_t>(++Ps.SubCallStackCount)] =
        FrameSizes{numCount, strItem.SecondCode};
}

// Kind 81: the slot is relative to the frame base, and the local table grows to hold it: the
// table was sized for the last DEF compiled, so nested and recursive calls need more.
void StoreNumArgument(int slot) {
    if (!IsNumberTag(GlTopType())) {
        RaiseError(Err::TypeMismatch);
        return;
    }
    const long at = static_cast<long>(Ps.NumFrameBase) + slot;
    if (slot < 0 || at < 0) {
        RaiseError(Err::UnexpectedRunError);
        return;
    }
    if (!GrowTable(Tb.LocalNumVarTable, static_cast<std::size_t>(at))) return;
    Tb.LocalNumVarTable[static_cast<std::size_t>(at)].Value = GlPopNum();
}

// Kind 82
void StoreStrArgument(int slot) {
    if (GlTopType() != GlValueType::String) {
        RaiseError(Err::TypeMismatch);
        return;
    }
    const long at = static_cast<long>(Ps.StrFrameBase) + slot;
    if (slot < 0 || at < 0) {
        RaiseError(Err::UnexpectedRunError);
        return;
    }
    if (!GrowTable(Tb.LocalStrVarTable, static_cast<std::size_t>(at))) return;
    GlPopStr(Tb.LocalStrVarTable[static_cast<std::size_t>(at)].Value);
}

// A DEF function's name in an expression: its arguments are on the Gl stack.
void CallUserFunction(std::int32_t entry) {
    if (!IsCodeTarget(entry)) {
        RaiseError(Err::JumpTargetInvalid);
        return;
    }
    if (Ps.SubCallStackCount < 1 || Ps.SubCallStackCount > SubCallStackSize) {
        RaiseError(Err::ReturnStackEmpty);
        return;
    }
    PushSubReturn(Ib.CodeIndex);
    if (Fe.ErrorNumber != 0) return;
    // The callee's slots start after the caller's own.
    const FrameSizes& caller = Ps.SubCallStack[static_cast<std::size_t>(Ps.SubCallStackCount)];
    Ps.NumFrameBase += caller.NumCount;
    Ps.StrFrameBase += caller.StrCount;
    Ib.CodeIndex = entry;
}

// Internal 237: the function's value is on the Gl stack.
void ReturnFromFunction() {
    // The function's own sizes come off, and the caller's must be there below them.
    if (Ps.SubReturnStackCount < 1 || Ps.SubCallStackCount < 2 || Ps.SubCallStackCount > SubCallStackSize) {
        RaiseError(Err::ReturnStackEmpty);
        return;
    }
    const int index = PopSubReturn();
    --Ps.SubCallStackCount;
    const FrameSizes& caller = Ps.SubCallStack[static_cast<std::size_t>(Ps.SubCallStackCount)];
    Ps.NumFrameBase -= caller.NumCount;
    Ps.StrFrameBase -= caller.StrCount;
    Ib.CodeIndex = index;
}
