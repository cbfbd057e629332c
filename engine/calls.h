// SUB and FUNCTION calls and DEF functions at run time. A SUB or FUNCTION keeps its variables in the
// ordinary variable tables: a call frame says which entries are its own, so a recursive call saves them
// on the Lo stack and restores them afterwards. A DEF function keeps its parameters in the frame-relative
// local tables: a call shifts the frame bases by the caller's frame sizes.
#pragma once

#include "core/tables.h"
#include "core/valuestack.h"
#include "engine/fastaccess.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Calls nested deeper than this stop with the call-stack errors instead of exhausting memory.
inline constexpr int MaxCallDepth = 100000;
// The Lo stack holds at most this many saved values (30102 beyond it).
inline constexpr int MaxSavedLocals = 1 << 22;

// Kind 89 and the five items after it: push the call frame they describe.
void PushSubFrame(int firstValue);
// Internal 245: bind the top of the Gl stack to the parameter item that follows.
void BindArgument();
// Internal 246: push the value of the variable item that follows (array reference for an array).
void PushVariableValue();
// Internal 267 and 265: save the top frame's variables on the Lo stack, and restore them.
void SaveLocals();
void RestoreLocals();
// The same without an error, for the decoded calls: false when the general executor would fail, and
// then nothing is saved or restored. The main program has no frame and saves nothing; a frame of
// numeric scalars, the commonest, is copied inline.
bool SaveTopFrameLocals();
bool RestoreTopFrameLocals();

namespace CallFrames {
// The numbers of a frame that holds nothing but numeric scalars (the commonest procedure): their
// records, [First, First + Count) of the table. False for any frame with booleans or strings.
struct NumberRun {
    NumVarType* Records = nullptr;
    long Count = 0;
};
// Notes in a frame whether it holds numbers alone (a pair (start, end) with end <= start brackets
// nothing, whatever the table's size), and which.
inline void NoteNumberRun(CallFrameType& frame) {
    frame.Numbers = -1;
    if (frame.W2 > std::max(frame.W1, 0) || frame.W6 > std::max(frame.W5, 0)) return;
    const long first = std::max<long>(static_cast<long>(frame.W3) + 1, 1);
    const long count = static_cast<long>(frame.W4) - first + 1;
    frame.FirstNumber = count > 0 ? static_cast<std::int32_t>(first) : 0;
    frame.Numbers = count > 0 ? static_cast<std::int32_t>(count) : 0;
}
// The frame of a frame item: its own word and the words of the five items after it, with its numbers
// noted.
inline CallFrameType FrameOfItems(std::int32_t first, const CodeItemType* rest) {
    CallFrameType frame;
    frame.W1 = first;
    frame.W2 = rest[0].SecondCode;
    frame.W3 = rest[1].SecondCode;
    frame.W4 = rest[2].SecondCode;
    frame.W5 = rest[3].SecondCode;
    frame.W6 = rest[4].SecondCode;
    NoteNumberRun(frame);
    return frame;
}
// Whether two frames note the same numbers (then the same records): the noted pair as one word.
[[gnu::always_inline]] inline bool SameNumbers(const CallFrameType& a, const CallFrameType& b) {
    std::uint64_t x = 0, y = 0;
    static_assert(offsetof(CallFrameType, Numbers) ==
                  offsetof(CallFrameType, FirstNumber) + sizeof(std::int32_t));
    std::memcpy(&x, &a.FirstNumber, sizeof x);
    std::memcpy(&y, &b.FirstNumber, sizeof y);
    return x == y;
}
// The noted numbers of a frame, when they lie inside the table (FrameRange's result then); false for
// any other frame, which the general save takes.
[[gnu::always_inline]] inline bool NumbersOnly(const CallFrameType& frame, NumberRun& run) {
    run.Count = frame.Numbers;
    if (run.Count <= 0) return run.Count == 0;
    // The last of the numbers is W4 when they were noted (W4 >= FirstNumber >= 1): compared as the byte
    // offset of its record, the bound is one compare of the frame's word with the table's byte size.
    const std::size_t last = static_cast<std::size_t>(static_cast<std::uint32_t>(frame.W4));
    if (last * sizeof(NumVarType) >= Tb.NumVarTable.size() * sizeof(NumVarType)) return false;
    run.Records = Tb.NumVarTable.data() + frame.FirstNumber;
    return true;
}

// A frame of numeric scalars saved as one copy: the values and their tags are written above the tops
// and only then taken into the stacks, so a record that turns out to be an array leaves them as they
// were. False (nothing saved) when the frame is not of that kind or the stacks have no room.
// The copy above the tops of stacks with room for it; false when a record is an array.
[[gnu::always_inline]] inline bool CopyAboveTops(const NumberRun& run) {
    Extended* values = Vs.LoNumStack.Items.data() + Vs.LoNumStack.Count + 1;
    std::int32_t* tags = Vs.LoTypeStack.Items.data() + Vs.LoTypeStack.Count + 1;
    // A procedure with one number of its own (the commonest) spares the loop.
    if (run.Count == 1) {
        if (run.Records->Kind == NumVarKind::Array) return false;
        CopyNumber(values, &run.Records->Value);
        *tags = GlValueType::Number;
        return true;
    }
    for (long k = 0; k < run.Count; ++k) {
        if (run.Records[k].Kind == NumVarKind::Array) return false;
        CopyNumber(values + k, &run.Records[k].Value);
        tags[k] = GlValueType::Number;
    }
    return true;
}
// The copy taken into the stacks.
[[gnu::always_inline]] inline void TakeCopyIn(const NumberRun& run) {
    Vs.LoNumStack.Count += static_cast<int>(run.Count);
    Vs.LoTypeStack.Count += static_cast<int>(run.Count);
}
[[gnu::always_inline]] inline bool SaveNumberRun(const NumberRun& run) {
    if (!Vs.LoNumStack.Reserve(run.Count) || !Vs.LoTypeStack.Reserve(run.Count) || !CopyAboveTops(run))
        return false;
    TakeCopyIn(run);
    return true;
}

// The reverse: the top Count values, each tagged a number, back into the records, from the last record
// down as the general restore pops them. A value it cannot take stops it where the general restore,
// which then runs, raises its error, having restored the records above with the same values.
[[gnu::always_inline]] inline bool RestoreNumberRun(const NumberRun& run) {
    const int top = Vs.LoTypeStack.Count;
    const int numbers = Vs.LoNumStack.Count;
    if (top < run.Count || numbers < run.Count) return false;
    const std::int32_t* tags = Vs.LoTypeStack.Items.data() + top - run.Count + 1;
    const Extended* values = Vs.LoNumStack.Items.data() + numbers - run.Count + 1;
    if (run.Count == 1) {
        if (*tags != GlValueType::Number || run.Records->Kind == NumVarKind::Array) return false;
        CopyNumber(&run.Records->Value, values);
    } else {
        for (long k = run.Count - 1; k >= 0; --k) {
            if (tags[k] != GlValueType::Number || run.Records[k].Kind == NumVarKind::Array) return false;
            CopyNumber(&run.Records[k].Value, values + k);
        }
    }
    Vs.LoTypeStack.Count = top - static_cast<int>(run.Count);
    Vs.LoNumStack.Count = numbers - static_cast<int>(run.Count);
    return true;
}

} // namespace CallFrames

[[gnu::always_inline]] inline bool SaveFrameLocals() {
    if (Vs.CallFrameStack.Count < 1) return true;
    CallFrames::NumberRun run;
    if (CallFrames::NumbersOnly(Vs.CallFrameStack.Items.data()[Vs.CallFrameStack.Count], run) &&
        Vs.LoTypeStack.Count + run.Count <= MaxSavedLocals && CallFrames::SaveNumberRun(run))
        return true;
    return SaveTopFrameLocals();
}
[[gnu::always_inline]] inline bool RestoreFrameLocals() {
    if (Vs.CallFrameStack.Count < 1) return true;
    CallFrames::NumberRun run;
    if (CallFrames::NumbersOnly(Vs.CallFrameStack.Items.data()[Vs.CallFrameStack.Count], run) &&
        CallFrames::RestoreNumberRun(run))
        return true;
    return RestoreTopFrameLocals();
}

// Internal 281: the call of the SUB or FUNCTION named by the item that follows.
void JumpViaLabelVariable();
// END SUB and END FUNCTION: drop the frame and return to the caller.
void ExecEndSub();

// Kind 84 and the item after it: push a DEF function's frame sizes.
void PushFrameSizes(int numCount);
// Kinds 81 and 82: store an argument into the DEF function's parameter slot.
void StoreNumArgument(int slot);
void StoreStrArgument(int slot);
// A DEF function's name met in an expression: call the function whose code starts at `entry`.
void CallUserFunction(std::int32_t entry);
// Internal 237: the end of a DEF function's expression.
void ReturnFromFunction();
