// The decoded run of procedure calls: a Call with its argument values, the callee's Enter, the Return
// with its hand-backs and the caller's ReturnSite, each checking everything that could fail before it
// changes anything.
#include "engine/decoded/calls.h"

#include "core/itembuffers.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/valuestack.h"
#include "engine/calls.h"
#include "engine/decoded/callshape.h"
#include "engine/decoded/decode.h"
#include "engine/fastaccess.h"
#include "engine/stacktags.h"

#include <atomic>

namespace {

// Whether the top `count` entries of the Gl stack are numbers.
[[gnu::always_inline]] inline bool NumbersOnTop(int count) {
    const int top = Vs.GlTypeStack.Count;
    if (top < count || Vs.GlNumStack.Count < count) return false;
    const std::int32_t* tags = Vs.GlTypeStack.Items.data() + top;
    for (int k = 0; k < count; ++k)
        if (!IsNumberTag(tags[-k])) return false;
    return true;
}

// Room on the Gl stack for `count` more numbers (growing it, which nothing can see, where needed).
[[gnu::always_inline]] inline bool RoomForNumbers(int count) {
    return count <= 0 || (Vs.GlNumStack.Reserve(count) && Vs.GlTypeStack.Reserve(count));
}

// Pushes onto a Gl stack with room for them.
[[gnu::always_inline]] inline void PushNumbers(const Extended* values, int count) {
    Extended* numbers = Vs.GlNumStack.Items.data() + Vs.GlNumStack.Count;
    std::int32_t* tags = Vs.GlTypeStack.Items.data() + Vs.GlTypeStack.Count;
    for (int k = 1; k <= count; ++k) {
        CopyNumber(numbers + k, values + k - 1);
        tags[k] = GlValueType::Number;
    }
    Vs.GlNumStack.Count += count;
    Vs.GlTypeStack.Count += count;
}

// The variables (null: a value dropped) take `count` values in hand, the last of them (the top) first;
// one to three values, the commonest, without the loop.
[[gnu::always_inline]] inline void BindAll(Extended* const* variables, const Extended* values, int count) {
    if (count == 1) {
        if (variables[0]) CopyNumber(variables[0], values);
        return;
    }
    if (count == 2) {
        if (variables[0]) CopyNumber(variables[0], values + 1);
        if (variables[1]) CopyNumber(variables[1], values);
        return;
    }
    if (count == 3) {
        if (variables[0]) CopyNumber(variables[0], values + 2);
        if (variables[1]) CopyNumber(variables[1], values + 1);
        if (variables[2]) CopyNumber(variables[2], values);
        return;
    }
    for (int k = count - 1; k >= 0; --k, ++variables)
        if (*variables) CopyNumber(*variables, values + k);
}

// Takes the shape's variables from `count` values in hand (the last is the top, taken first), then
// from the Gl stack (already checked to hold numbers enough). Values in hand that no variable takes are
// the deepest: they go onto the Gl stack, where the general path leaves them.
[[gnu::always_inline]] inline void TakeValues(const CallShape& shape, const Extended* values, int count) {
    const int variables = shape.Count;
    if (variables == 0) {
        // A function's value alone, the commonest, spares the loop.
        if (count == 1)
            PushNumbers(values, 1);
        else if (count > 0)
            PushNumbers(values, count);
        return;
    }
    if (count > variables) {
        PushNumbers(values, count - variables);
        values += count - variables;
        count = variables;
    }
    BindAll(shape.Variables.data(), values, count);
    Extended* const* variable = shape.Variables.data() + count;
    const int fromStack = variables - count;
    if (fromStack <= 0) return;
    const Extended* stacked = Vs.GlNumStack.Items.data() + Vs.GlNumStack.Count;
    for (int k = 0; k < fromStack; ++k, ++variable)
        if (*variable) CopyNumber(*variable, stacked - k);
    Vs.GlNumStack.Count -= fromStack;
    Vs.GlTypeStack.Count -= fromStack;
}

// Whether the shape's variables can take `count` values in hand and the Gl stack below them.
[[gnu::always_inline]] inline bool CanTakeValues(const CallShape& shape, int count) {
    return count >= shape.Count ? RoomForNumbers(count - shape.Count) : NumbersOnTop(shape.Count - count);
}

// The decoded entry of `at` when it is `op` in this generation, else null. The decoded run has made
// the decoded side cover 1 .. limit.
[[gnu::always_inline]] inline const DecodedItem* DecodedAs(int at, DecodedOp op, int limit) {
    if (static_cast<unsigned>(at - 1) >= static_cast<unsigned>(limit)) return nullptr;
    const DecodedItem* entry = DecodedInRun(at);
    return entry && entry->Op == op ? entry : nullptr;
}

[[gnu::always_inline]] inline bool StopRequested() {
    return Rc.StopRequest.load(std::memory_order_relaxed) != 0;
}

// The callee's frame and binds, with `count` values in hand; false (nothing done) when the frame
// item's or a bind's own check would fail.
[[gnu::always_inline]] inline bool EnterFrame(const CallShape& shape, const Extended* values, int count) {
    if (Vs.CallFrameStack.Count >= MaxCallDepth || !Vs.CallFrameStack.Reserve()) return false;
    if (count == shape.Count) {
        // A call whose binds take all its values, the commonest: nothing to check on the Gl stack.
        Vs.CallFrameStack.Items.data()[++Vs.CallFrameStack.Count] = shape.Frame;
        BindAll(shape.Variables.data(), values, count);
        return true;
    }
    if (!CanTakeValues(shape, count)) return false;
    Vs.CallFrameStack.Items.data()[++Vs.CallFrameStack.Count] = shape.Frame;
    TakeValues(shape, values, count);
    return true;
}

// The caller's side of the return without the operator after it: the restore, then the hand-backs
// taken or pushed (checked to have room first, as the general path needs it).
[[gnu::always_inline]] inline int TakeAtSite(const DecodedItem& entry, const Extended* values, int count) {
    const CallShape& shape = *entry.Target.Shape;
    if (count > shape.Count && !RoomForNumbers(count - shape.Count)) return CallStoppedShort;
    if (!RestoreFrameLocals()) return CallStoppedShort;
    TakeValues(shape, values, count);
    return entry.Next;
}

// The caller's side of the return, with `count` hand-backs in hand; CallStoppedShort (nothing done)
// when the restore or a take would fail, or when the Gl stack has no room for the hand-backs that no
// variable takes (a function's value waiting for the operator after it): the general path pushes them
// all, so it needs that room as well, and fails where this would. Where the operator after it takes
// the function's value in hand, nothing is pushed: that way, the commonest, checks no room.
[[gnu::always_inline]] inline int ReturnSite(const DecodedItem& entry, const Extended* values, int count) {
    const CallShape& shape = *entry.Target.Shape;
    if (count < shape.Count && !NumbersOnTop(shape.Count - count)) return CallStoppedShort;
    const bool inHand = count == shape.Count + 1;
    if (shape.Operation == NumberOp::Count) {
        // No operator after it. A function's value that a LET assigns at once goes straight to its
        // variable, after the restore and the takes, as the LET's item would assign it after them; in
        // any other case (a SUB's call, a value for what comes later) the hand-backs are taken and the
        // function's value pushed.
        if (!shape.Assigned || !inHand || shape.Assigned->DimCount != 0)
            return TakeAtSite(entry, values, count);
        if (!RestoreFrameLocals()) return CallStoppedShort;
        TakeValues(shape, values + 1, shape.Count);
        CopyNumber(&shape.Assigned->Value, values);
        return shape.AfterOperation;
    }
    // The operator after it applies to the two numbers on top, as its item does it when both are plain
    // numbers and the result is finite; in any other case the operator's item runs next. A function's
    // value in hand is the top one. The restore changes neither the Gl stack nor the values in hand, so
    // the result is worked out before it and assigned after it.
    const int below = inHand ? 1 : 2; // the operands on the Gl stack
    const int top = Vs.GlTypeStack.Count;
    const int numbers = Vs.GlNumStack.Count;
    const std::int32_t* tags = Vs.GlTypeStack.Items.data();
    Extended* stacked = Vs.GlNumStack.Items.data();
    Extended result = 0;
    const bool operates =
        (inHand || count + shape.Count == 0) && !(shape.Assigned && shape.Assigned->DimCount != 0) &&
        top >= below && numbers >= below && tags[top] == GlValueType::Number &&
        (inHand || tags[top - 1] == GlValueType::Number) &&
        !IsStoppedShort(result = ApplyArithmetic(shape.Operation, stacked[numbers - below + 1],
                                                 inHand ? values[0] : stacked[numbers]));
    if (!operates) return TakeAtSite(entry, values, count);
    if (!RestoreFrameLocals()) return CallStoppedShort;
    TakeValues(shape, values + count - shape.Count, shape.Count);
    if (shape.Assigned) {
        shape.Assigned->Value = result;
        Vs.GlNumStack.Count = numbers - below;
        Vs.GlTypeStack.Count = top - below;
    } else {
        stacked[numbers - below + 1] = result; // A's entry, tagged a number, takes the result
        Vs.GlNumStack.Count = numbers - below + 1;
        Vs.GlTypeStack.Count = top - below + 1;
    }
    return shape.AfterOperation;
}

// The hand-backs onto the Gl stack, where the caller's side takes them item by item; with no memory for
// them, the frame and the return index are put back (still in place above the counts) and the Return
// runs item by item, to fail as the general path fails.
[[gnu::noinline]] int PushHandBacks(const Extended* values, int count, int back) {
    if (!RoomForNumbers(count)) {
        ++Vs.CallFrameStack.Count;
        ++Vs.CallReturnStack.Count;
        return CallStoppedShort;
    }
    PushNumbers(values, count);
    return back;
}

// The hand-backs pushed, the frame and the return index dropped; the caller's side at once when it is
// decoded, the hand-backs handed over directly.
int Return(const DecodedItem& entry, int limit) {
    const CallShape& shape = *entry.Target.Shape;
    const int count = shape.Count;
    if (Vs.CallFrameStack.Count < 1 || Vs.CallReturnStack.Count < 1) return CallStoppedShort;
    Extended values[MaxPushedValues];
    for (int k = 0; k < count; ++k)
        CopyNumber(values + k, shape.Variables[static_cast<std::size_t>(k)]);
    --Vs.CallFrameStack.Count;
    const int back = Vs.CallReturnStack.Items.data()[Vs.CallReturnStack.Count--];
    if (!StopRequested()) {
        if (const DecodedItem* site = DecodedAs(back, DecodedOp::ReturnSite, limit)) {
            const int next = ReturnSite(*site, values, count);
            if (next != CallStoppedShort) return next;
        }
    }
    return PushHandBacks(values, count, back);
}

// Whether the callee's name no longer names the entry point decoded (the jump's own check then runs).
[[gnu::always_inline]] inline bool CalleeMoved(const CallShape& shape) {
    return shape.NameBase && (*shape.NameKind != shape.Kind || *shape.NameBase != shape.Target);
}

// Every call: the callee as the jump finds it, its frame and binds when decoded, the values on the Gl
// stack otherwise; any stack grown where needed.
[[gnu::noinline]] int CallInGeneral(const DecodedItem& entry, const Extended* values) {
    const CallShape& shape = *entry.Target.Shape;
    const int count = entry.ValueCount;
    // Everything the general path could fail at, before anything is done: the values' pushes, the
    // save of the locals (all or nothing), the return index and the callee as the jump finds it.
    if (CalleeMoved(shape)) return CallStoppedShort;
    if (Vs.CallReturnStack.Count >= MaxCallDepth || !Vs.CallReturnStack.Reserve() || !RoomForNumbers(count))
        return CallStoppedShort;
    if (!SaveFrameLocals()) return CallStoppedShort;
    Vs.CallReturnStack.Items.data()[++Vs.CallReturnStack.Count] = shape.Return;
    // The callee's frame and binds take the values in hand; otherwise they go onto the Gl stack and the
    // run goes on at the callee's first item, as after the jump.
    if (shape.Entered && !StopRequested() && EnterFrame(shape, values, count)) return shape.Body;
    PushNumbers(values, count);
    return shape.Target;
}

} // namespace

int RunCall(const DecodedItem& entry, const Extended* values, int) {
    // The commonest call in one pass that calls nothing and grows nothing: the callee's frame and
    // binds decoded and taking every value, every stack with room as it is, the caller's frame of
    // numbers alone (or none). It checks all of that before it changes anything, and leaves every
    // other case to the general one from the start.
    const CallShape& shape = *entry.Target.Shape;
    const int count = entry.ValueCount;
    if (!shape.Entered || count != shape.Count) return CallInGeneral(entry, values);
    if (CalleeMoved(shape)) return CallStoppedShort;
    const int returns = Vs.CallReturnStack.Count;
    const int frames = Vs.CallFrameStack.Count;
    // The values go straight to the callee's variables: the Gl stack, which the general path grows for
    // them, is not touched.
    if (returns >= MaxCallDepth || returns >= Vs.CallReturnStack.Capacity || frames >= MaxCallDepth ||
        frames >= Vs.CallFrameStack.Capacity)
        return CallInGeneral(entry, values);
    CallFrameType* const frame = Vs.CallFrameStack.Items.data() + frames;
    CallFrames::NumberRun run;
    if (frames >= 1) {
        // A recursive call finds its own frame on top, whose numbers the decoding has found already.
        if (shape.FrameNumbers && CallFrames::SameNumbers(*frame, shape.Frame)) {
            run.Records = shape.FrameNumbers;
            run.Count = shape.Frame.Numbers;
        } else if (!CallFrames::NumbersOnly(*frame, run)) {
            return CallInGeneral(entry, values);
        }
        if (Vs.LoTypeStack.Count + run.Count > MaxSavedLocals ||
            Vs.LoTypeStack.Count + run.Count > Vs.LoTypeStack.Capacity ||
            Vs.LoNumStack.Count + run.Count > Vs.LoNumStack.Capacity || !CallFrames::CopyAboveTops(run))
            return CallInGeneral(entry, values);
    }
    if (StopRequested()) return CallInGeneral(entry, values);
    CallFrames::TakeCopyIn(run);
    Vs.CallReturnStack.Items.data()[returns + 1] = shape.Return;
    Vs.CallReturnStack.Count = returns + 1;
    frame[1] = shape.Frame;
    Vs.CallFrameStack.Count = frames + 1;
    BindAll(shape.Variables.data(), values, count);
    return shape.Body;
}

namespace {
// Enter and ReturnSite on their own, with their values on the Gl stack: out of line, so that the
// return, which runs at every call, keeps the registers to itself.
[[gnu::noinline]] int EnterAlone(const DecodedItem& entry) {
    return EnterFrame(*entry.Target.Shape, nullptr, 0) ? entry.Next : CallStoppedShort;
}
[[gnu::noinline]] int ReturnSiteAlone(const DecodedItem& entry) {
    return ReturnSite(entry, nullptr, 0);
}
} // namespace

int RunCallPart(const DecodedItem& entry) {
    return entry.Op == DecodedOp::Enter ? EnterAlone(entry) : ReturnSiteAlone(entry);
}

int RunReturn(const DecodedItem& entry, int limit) {
    return Return(entry, limit);
}
