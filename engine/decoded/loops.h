// The decoded run's FOR loops (a part of run.cpp, kept apart for reading and included by the decoded
// run alone): the NEXT with its test in one pass, and a body of one numeric statement run together with
// it, its values carried in registers from one round to the next where nothing else can see them.
#pragma once

#include "engine/decoded/statements.h"

#include <atomic>

namespace {

// The step of a ForNext entry whose operands are leaves.
[[gnu::always_inline]] inline Extended StepOf(const DecodedItem& entry) {
    return (entry.LoopForm & LoopForm::SmallStep) ? static_cast<Extended>(entry.Loop->Step64)
                                                  : *entry.Loop->StepValue;
}
// StoppedShort when N + c is not finite.
[[gnu::always_inline]] inline Extended LimitOf(const DecodedItem& entry) {
    const std::uint8_t form = entry.LoopForm;
    if (form & LoopForm::SmallLimit) return entry.Loop->LimitAdd;
    if (form & LoopForm::LimitSum)
        return Apply<Add>(*entry.Loop->LimitValue, static_cast<Extended>(entry.Loop->LimitAdd));
    return *entry.Loop->LimitValue;
}

// The double at `d` widened where it is used: left to itself the compiler widens it once and keeps the
// 80-bit copy in memory, and an 80-bit load is the slow one.
[[gnu::always_inline]] inline Extended Widen(const double& d) {
#if defined(__x86_64__) || defined(__i386__)
    Extended x;
    asm volatile("fldl %1" : "=t"(x) : "m"(d));
    return x;
#else
    return d;
#endif
}

// Where a loop's step and limit come from: the entry's leaves, or fixed values the caller holds.
enum class Bounds : std::uint8_t { FromEntry, Fixed };

// The FOR step of a ForNext entry whose operands are leaves: v = step + v stored, and the test's
// outcome as Decide gives it; false (nothing stored) when v stops short. The same operations as on
// the nodes, each leaf read once.
// Bounds::Fixed: the step and the limit are `fixedStep[0]` and `fixedLimit` (StepOf and LimitOf as
// the caller worked them out, no variable of theirs written since), and the test's factor + SGN(step)
// is `fixedStep[1]`.
// Store::Deferred: the new value is left in `current` alone (a loop that writes it back when it leaves).
template <Bounds From = Bounds::FromEntry, Store Value = Store::AtOnce>
[[gnu::always_inline]] inline bool
StepOnLeaves(const DecodedItem& entry, NumVarType* record, Extended& current, int& holds,
             const double* fixedStep = nullptr, const double* fixedLimit = nullptr) {
    constexpr bool Fixed = From == Bounds::Fixed;
    const std::uint8_t form = entry.LoopForm;
    const Extended step = Fixed ? Widen(*fixedStep) : StepOf(entry);
    const Extended v = Numeric::Arithmetic<Add>(step, current);
    if (!Numeric::IsFinalResult(v)) return false;
    if constexpr (Value == Store::AtOnce) record->Value = v;
    current = v;
    const Extended limit = Fixed ? Widen(*fixedLimit) : LimitOf(entry);
    if (!(form & LoopForm::WithStep)) {
        // a fixed limit is a finite double, and v is finite: the comparison cannot be unordered
        holds = Fixed ? (Numeric::Holds<GreaterEqual>(limit, v) ? 1 : 0) : Decide(GreaterEqual, limit, v);
        return true;
    }
    // limit - v and factor + SGN feed the checked product only (a fixed step's factor is fixed too)
    const Extended factor = Fixed ? Widen(fixedStep[1])
                                  : Apply<Add, ResultCheck::None>(static_cast<Extended>(entry.Loop->Factor64),
                                                                  Numeric::Sgn<true>(step));
    const Extended product = Apply<Multiply>(Apply<Subtract, ResultCheck::None>(limit, v), factor);
    holds = Decide(GreaterEqual, product, 0);
    return true;
}

// NEXT v of a ForNext entry: v = step + v, then the loop's test as its IF would make it. Gives where
// the run goes on (the test's own index when the test stops short, the step being done), or
// StopsShort.
// With a Carry, `carried` is the loop variable's value as the last step left it, and becomes the new
// one (a loop on leaves only, its step and limit fixed); Store::Deferred: it is not stored (the loop
// writes it back).
template <Carry Carries = Carry::None, Store Value = Store::AtOnce>
[[gnu::always_inline]] inline int StepLoop(const DecodedItem& entry, const ExprNode* nodes, Extended& carried,
                                           const double* fixedStep = nullptr,
                                           const double* fixedLimit = nullptr) {
    constexpr bool Carried = Carries != Carry::None;
    NumVarType* record = entry.Target.Number;
    if (!Carried && record->DimCount != 0) return StopsShort; // carried: the loop's start tested it
    int holds = 0;
    if (entry.LoopForm != 0) {
        if (!Carried) carried = record->Value;
        // a value not carried is stored at once
        constexpr Store StepStore = Carried ? Value : Store::AtOnce;
        constexpr Bounds From = Carried ? Bounds::Fixed : Bounds::FromEntry;
        if (!StepOnLeaves<From, StepStore>(entry, record, carried, holds, fixedStep, fixedLimit))
            return StopsShort;
    } else {
        const Extended v = Apply<Add>(ValueOf(nodes, nodes + entry.Loop->Step), record->Value);
        if (IsStoppedShort(v)) return StopsShort;
        record->Value = v;
        carried = v;
        const Extended limitValue = OperandOf(nodes, nodes + entry.Loop->Limit);
        if (entry.Loop->Sign < 0) {
            holds = Decide(GreaterEqual, limitValue, v);
        } else {
            const ExprNode* factor = nodes + entry.Loop->Sign; // 0.5 + SGN(step)
            const Extended sign = Numeric::Sgn<true>(ValueOf(nodes, nodes + nodes[factor->Right].Left));
            // limit - v and 0.5 + SGN feed the checked product only
            const Extended product = Apply<Multiply>(Apply<Subtract, ResultCheck::None>(limitValue, v),
                                                     Apply<Add, ResultCheck::None>(factor->Literal, sign));
            holds = Decide(GreaterEqual, product, 0);
        }
    }
    // A test that stops short runs by itself, the LET being done.
    if (holds < 0) [[unlikely]]
        return entry.Loop->Test;
    return holds != 0 ? entry.Next : entry.Alternate;
}

[[gnu::always_inline]] inline bool StopRequested() {
    return Rc.StopRequest.load(std::memory_order_relaxed) != 0;
}

// A FOR loop whose body is one numeric statement that leads straight back to the NEXT at `loopAt`
// (a branch: one of its ways), from the step that has just gone on into the body: body and step run
// here in turn, without the way through the run's head (neither can change the code or the tables, so
// their entries stay as they are), the stop request seen after each as there. Gives where the run goes
// on; `stopped` is the entry that stopped short there, if one did.
// With a Carry (a loop on leaves whose body computes without a call), the loop variable's value and the
// body's variable's (when it updates one) travel in registers from one round to the next: the body's
// variable is not the loop's, so each is written by one of the two alone. Deferred, they are stored
// when the loop is left, whichever way (a stop request, an entry stopping short, the loop's end or the
// branch's other way), and not at every statement: nothing inside the loop reads them from memory
// (WritesBack), and nothing outside it runs before the loop is left, where each holds what the last
// statement run left in it. Stored at once, each is stored by the statement that computes it.
template <DecodedOp Op, Carry Carried, Store Values = Store::AtOnce>
[[gnu::always_inline]] inline int RunLoopBody(const DecodedItem& loop, DecodedItem& body, int loopAt,
                                              const ExprNode* nodes, DecodedItem*& stopped) {
    constexpr bool Deferred = Values == Store::Deferred;
    static_assert(!Deferred || Carried != Carry::None, "only carried values are written back");
    const int bodyAt = loop.Next;
    Extended loopValue = loop.Target.Number->Value;
    Extended bodyValue = 0;
    if constexpr (Op == DecodedOp::LetUpdate) bodyValue = body.Target.Number->Value;
    // The step and the limit, whose variables the body does not write (CarryOf), are the same at
    // every round. They are kept as doubles, which are read back from memory at little cost (the
    // floating-point registers do not hold all the values); a step or a limit a double cannot hold, or
    // a limit that stops short, goes the way through the head.
    double step[2] = {0, 0}; // the step, and the test's factor + SGN(step)
    double limit = 0;
    if constexpr (Carried != Carry::None) {
        // the shapes of the variables the round writes, which nothing in the loop can change
        if (loop.Target.Number->DimCount != 0) return bodyAt;
        if constexpr (Op == DecodedOp::LetUpdate)
            if (body.Target.Number->DimCount != 0) return bodyAt;
        const Extended fullStep = StepOf(loop);
        const Extended fullLimit = LimitOf(loop);
        if (IsStoppedShort(fullLimit) || !FitsDouble(fullStep) || !FitsDouble(fullLimit)) return bodyAt;
        const Extended factor = Apply<Add, ResultCheck::None>(static_cast<Extended>(loop.Loop->Factor64),
                                                              Numeric::Sgn<true>(fullStep));
        if (!FitsDouble(factor)) return bodyAt;
        step[0] = static_cast<double>(fullStep);
        step[1] = static_cast<double>(factor);
        limit = static_cast<double>(fullLimit);
    }
    // One way out, where the deferred values are stored, whichever way the loop is left.
    int at = bodyAt;
    for (;;) {
        if (StopRequested()) [[unlikely]]
            break;
        constexpr WayOn Way = Op == DecodedOp::Branch ? WayOn::Given : WayOn::KnownToCaller;
        const int after = RunStatement<Op, Carried, Way, Values>(body, nodes, bodyValue, loopValue);
        if (after == StopsShort) [[unlikely]] {
            stopped = &body;
            break;
        }
        if constexpr (Op == DecodedOp::Branch) {
            if (after != loopAt) { // the branch's other way
                at = after;
                break;
            }
        }
        at = loopAt;
        if (StopRequested()) [[unlikely]]
            break;
        const int next = StepLoop<Carried, Values>(loop, nodes, loopValue, step, &limit);
        if (next == StopsShort) [[unlikely]] {
            stopped = const_cast<DecodedItem*>(&loop);
            break;
        }
        at = next;
        if (next != bodyAt) break;
    }
    if constexpr (Deferred) {
        loop.Target.Number->Value = loopValue;
        if constexpr (Op == DecodedOp::LetUpdate) body.Target.Number->Value = bodyValue;
    }
    return at;
}

// What a loop on leaves carries for a body statement whose one operand is `operand` and which writes
// the variable at `written` (or none): values, when the operand computes without a call and the body
// writes no variable of the step or the limit, and the operand's variable when it is the loop's.
inline Carry CarryOf(const DecodedItem& loop, const ExprNode* operand, const Extended* written) {
    if (loop.LoopForm == 0 || !IsInlineOperand(operand)) return Carry::None;
    if (written && (written == loop.Loop->StepValue || written == loop.Loop->LimitValue)) return Carry::None;
    // nor may the step or the limit be the loop variable itself, which every round changes
    const Extended* variable = &loop.Target.Number->Value;
    if (variable == loop.Loop->StepValue || variable == loop.Loop->LimitValue) return Carry::None;
    return ReadsOnly(operand, &loop.Target.Number->Value) ? Carry::LoopOperand : Carry::Values;
}

// Whether a carrying loop may leave its carried values unstored until it is left: when no operand of
// the body reads one of them from memory. An operand reads one variable at most (IsInlineOperand); the
// carry has made sure the body's one operand reads the loop variable only through the loop's value,
// but an update's operand may read the updated variable, and a condition's right operand the loop
// variable.
template <DecodedOp Op>
inline bool WritesBack(const DecodedItem& loop, const DecodedItem& body, const ExprNode* nodes) {
    if constexpr (Op == DecodedOp::LetUpdate)
        return !ReadsOnly(nodes + body.Right, &body.Target.Number->Value);
    if constexpr (Op == DecodedOp::Branch) return !ReadsOnly(nodes + body.Right, &loop.Target.Number->Value);
    return true;
}

// RunLoopBody with the carry worked out for it (a LET of an expression and an element LET of one
// carry nothing: their expressions may need calls).
template <DecodedOp Op>
[[gnu::always_inline]] inline int RunLoopWith(Carry carry, const DecodedItem& loop, DecodedItem& body,
                                              int loopAt, const ExprNode* nodes, DecodedItem*& stopped) {
    constexpr Store Deferred = Store::Deferred;
    if constexpr (Op != DecodedOp::LetNumber && Op != DecodedOp::LetElement) {
        const bool deferred = WritesBack<Op>(loop, body, nodes);
        if (carry == Carry::LoopOperand)
            return deferred
                       ? RunLoopBody<Op, Carry::LoopOperand, Deferred>(loop, body, loopAt, nodes, stopped)
                       : RunLoopBody<Op, Carry::LoopOperand>(loop, body, loopAt, nodes, stopped);
        if (carry == Carry::Values)
            return deferred ? RunLoopBody<Op, Carry::Values, Deferred>(loop, body, loopAt, nodes, stopped)
                            : RunLoopBody<Op, Carry::Values>(loop, body, loopAt, nodes, stopped);
    }
    return RunLoopBody<Op, Carry::None>(loop, body, loopAt, nodes, stopped);
}

// A FOR loop's NEXT (`loop`, at `loopAt`) and its body of one numeric statement (`body`), run together
// (RunLoopBody) with the carry worked out for the body's operation; where the run goes on, and the entry
// that stopped short in `stopped`.
[[gnu::always_inline]] inline int RunLoopOf(const DecodedItem& loop, DecodedItem& body, int loopAt,
                                            const ExprNode* nodes, DecodedItem*& stopped) {
    switch (body.Op) {
    case DecodedOp::LetNumber:
        return RunLoopWith<DecodedOp::LetNumber>(Carry::None, loop, body, loopAt, nodes, stopped);
    case DecodedOp::LetUpdate:
        return RunLoopWith<DecodedOp::LetUpdate>(
            CarryOf(loop, nodes + body.Right, &body.Target.Number->Value), loop, body, loopAt, nodes,
            stopped);
    case DecodedOp::LetElement:
        return RunLoopWith<DecodedOp::LetElement>(Carry::None, loop, body, loopAt, nodes, stopped);
    case DecodedOp::LetElementLiteral:
        return RunLoopWith<DecodedOp::LetElementLiteral>(
            CarryOf(loop, nodes + DecodedRoots[static_cast<std::size_t>(body.Root) + 1], nullptr), loop, body,
            loopAt, nodes, stopped);
    case DecodedOp::Branch:
        return RunLoopWith<DecodedOp::Branch>(body.Operation == NumberOp::Count ||
                                                      !IsInlineOperand(nodes + body.Right)
                                                  ? Carry::None
                                                  : CarryOf(loop, nodes + body.Left, nullptr),
                                              loop, body, loopAt, nodes, stopped);
    default: return loop.Next; // no body of one numeric statement: on into it
    }
}

// A FOR loop whose body is two LETs of numbers, `first` leading to `second` and `second` straight back
// to the NEXT at `loopAt`: the two and the step run here in turn, as RunLoopBody runs a body of one
// (without the way through the run's head, the stop request seen after each statement), every value
// read from and stored to its variable at once. Gives where the run goes on; `stopped` is the entry
// that stopped short there, if one did.
template <DecodedOp First, DecodedOp Second>
[[gnu::always_inline]] inline int RunLoopPair(const DecodedItem& loop, DecodedItem& first,
                                              DecodedItem& second, int loopAt, const ExprNode* nodes,
                                              DecodedItem*& stopped) {
    constexpr WayOn Way = WayOn::KnownToCaller;
    const int firstAt = loop.Next;
    const int secondAt = first.Next;
    Extended unused = 0; // nothing is carried
    int at = firstAt;
    for (;;) {
        if (StopRequested()) [[unlikely]]
            break;
        if (RunStatement<First, Carry::None, Way>(first, nodes, unused) == StopsShort) [[unlikely]] {
            stopped = &first;
            break;
        }
        at = secondAt;
        if (StopRequested()) [[unlikely]]
            break;
        if (RunStatement<Second, Carry::None, Way>(second, nodes, unused) == StopsShort) [[unlikely]] {
            stopped = &second;
            break;
        }
        at = loopAt;
        if (StopRequested()) [[unlikely]]
            break;
        const int next = StepLoop(loop, nodes, unused);
        if (next == StopsShort) [[unlikely]] {
            stopped = const_cast<DecodedItem*>(&loop);
            break;
        }
        at = next;
        if (next != firstAt) break;
    }
    return at;
}

// Whether a decoded entry is a LET that RunLoopPair runs.
inline bool IsPairedLet(const DecodedItem* entry) {
    return entry && (entry->Op == DecodedOp::LetNumber || entry->Op == DecodedOp::LetUpdate);
}

// RunLoopPair for the operations of `first` and `second` (IsPairedLet).
[[gnu::always_inline]] inline int RunLoopPairOf(const DecodedItem& loop, DecodedItem& first,
                                                DecodedItem& second, int loopAt, const ExprNode* nodes,
                                                DecodedItem*& stopped) {
    constexpr DecodedOp Let = DecodedOp::LetNumber;
    constexpr DecodedOp Update = DecodedOp::LetUpdate;
    if (first.Op == Let)
        return second.Op == Let ? RunLoopPair<Let, Let>(loop, first, second, loopAt, nodes, stopped)
                                : RunLoopPair<Let, Update>(loop, first, second, loopAt, nodes, stopped);
    return second.Op == Let ? RunLoopPair<Update, Let>(loop, first, second, loopAt, nodes, stopped)
                            : RunLoopPair<Update, Update>(loop, first, second, loopAt, nodes, stopped);
}

// NEXT v of the ForNext entry at `at`; into a body of one numeric statement that leads straight back
// here, the two run together; into a body of two LETs that does, the three (RunLoopPair). `next` is where the
// run goes on; false when an entry stopped short, with `entry` and `at` that entry and its index. `decoded`
// is the decoded side, which covers 1 .. limit.
[[gnu::always_inline]] inline bool RunForNext(DecodedItem*& entry, int& at, int& next, int limit,
                                              const DecodedView& decoded, const ExprNode* nodes,
                                              Extended& scratch) {
    next = StepLoop(*entry, nodes, scratch);
    if (next == StopsShort) return false;
    if (next != entry->Next || static_cast<unsigned>(next - 1) >= static_cast<unsigned>(limit)) return true;
    DecodedItem* body = decoded.Find(next);
    if (!body) return true;
    // The second LET of a body of two, or none.
    DecodedItem* second = IsPairedLet(body) && body->Next != at &&
                                  static_cast<unsigned>(body->Next - 1) < static_cast<unsigned>(limit)
                              ? decoded.Find(body->Next)
                              : nullptr;
    if (!IsPairedLet(second) || second->Next != at) {
        second = nullptr;
        // A body of one must not write the loop variable, whose value the loop carries.
        if ((body->Next != at && !(body->Op == DecodedOp::Branch && body->Alternate == at)) ||
            ((body->Op == DecodedOp::LetNumber || body->Op == DecodedOp::LetUpdate) &&
             body->Target.Number == entry->Target.Number))
            return true;
    }
    DecodedItem* stopped = nullptr;
    next = second ? RunLoopPairOf(*entry, *body, *second, at, nodes, stopped)
                  : RunLoopOf(*entry, *body, at, nodes, stopped);
    if (stopped) [[unlikely]] {
        entry = stopped;
        at = next;
        return false;
    }
    return true;
}

} // namespace
