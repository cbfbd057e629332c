// What an entry of a decoded procedure call knows, resolved when the call decoder reads its items and
// read by the decoded run of the call (the entry's Target.Shape).
#pragma once

#include "core/tables.h"
#include "core/valuestack.h"
#include "engine/decoded/entries.h"

#include <array>
#include <cstdint>

// What an entry of the call sequence knows, resolved when decoding (the entry's Target.Shape).
struct CallShape {
    // Call: where the jump goes, the index it pushes for the return, and the name's record (its entry
    // point and kind, checked at every call as the jump reads them; null for a jump target item).
    std::int32_t Target = 0;
    std::int32_t Return = 0;
    const std::int32_t* NameBase = nullptr;
    const std::uint8_t* NameKind = nullptr;
    std::uint8_t Kind = 0;
    // Enter, and a Call whose jump lands on the callee's frame item: the frame pushed, and where the
    // run goes on after the binds (Call: Entered is false when the callee begins otherwise).
    CallFrameType Frame;
    std::int32_t Body = 0;
    bool Entered = false;
    // The records of Frame's numbers when it holds numbers alone and they lie in the table as decoded
    // (null otherwise): a recursive call's caller has this frame on top, and its save needs no look-up.
    NumVarType* FrameNumbers = nullptr;
    // Enter and such a Call: the parameters bound; Return: the variables handed back; ReturnSite: the
    // variables that take them. In the order of their items; null for an argument passed by value,
    // whose value is dropped.
    std::uint8_t Count = 0;
    std::array<Extended*, MaxPushedValues> Variables{};
    // ReturnSite: the arithmetic operator after the restore, applied to the two numbers on top
    // (NumberOp::Count for none), the numeric scalar its LET assigns (null: the result stays on the
    // stack; with no operator, the scalar a LET assigns the function's value to), and where the run
    // goes on after them.
    std::uint8_t Operation = NumberOp::Count;
    NumVarType* Assigned = nullptr;
    std::int32_t AfterOperation = 0;
};

// The index of the item a Call returns to (for the listing).
inline int CallReturnIndex(const DecodedItem& entry) {
    return entry.Target.Shape->Return;
}
