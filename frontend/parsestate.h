// The statement compiler's state: what Cs.Parse holds (frontend/compilerstate.h), apart from the
// compiler's routines so that the compiler's state can hold it without including them.
#pragma once

#include "core/codeitem.h"
#include "core/raiseerror.h"
#include "frontend/polish.h"

#include <array>
#include <cstdint>

namespace LXParse {

namespace ProcMode {
inline constexpr std::uint8_t None = 0;
inline constexpr std::uint8_t Sub = 1;
inline constexpr std::uint8_t Function = 2;
} // namespace ProcMode

// ---- block stacks -------------------------------------------------------------------------------------
inline constexpr int BlockStackSize = 256;
inline constexpr int SwapStackSize = 6;

// A fixed stack of T used from index 1. Push on a full stack and pop on an empty one set the error
// numbers given and change nothing.
template <typename T, int Capacity> struct FixedStack {
    std::array<T, Capacity + 1> Items{};
    int Count = 0;

    bool Push(const T& value, int fullError) {
        if (Count >= Capacity) {
            RaiseError(fullError);
            return false;
        }
        Items[static_cast<std::size_t>(++Count)] = value;
        return true;
    }
    bool Pop(T& value, int emptyError) {
        if (Count < 1) {
            RaiseError(emptyError);
            return false;
        }
        value = Items[static_cast<std::size_t>(Count--)];
        return true;
    }
    T& Top() { return Items[static_cast<std::size_t>(Count)]; }
    bool Empty() const { return Count == 0; }
};

struct ForEntry {
    CodeItemType Variable;
    int LoopTop = 0;
    int ExitSlot = 0;
    int Position = 0; // of the FOR statement, for the open-block error
    ItemBuffer Step{};
};
struct ExitForEntry {
    int Flag = 0; // 0 marks one FOR level, 1 one EXIT FOR jump
    int Slot = 0;
};
struct LoopEntry {
    int Kind = 0; // LoopKind
    int LoopTop = 0;
    int Slot = 0;
    int Position = 0; // of the opening statement
};
namespace LoopKind {
inline constexpr int Loop = 0;
inline constexpr int ExitDo = 1;
} // namespace LoopKind

// The compiler's block stacks. Only the entries below each count are alive, so clearing the counts
// clears the stacks; writing the entries over would mean megabytes per compile.
struct BlockStacks {
    FixedStack<int, BlockStackSize> IfStack;
    FixedStack<ForEntry, BlockStackSize> ForStack;
    FixedStack<ExitForEntry, BlockStackSize> ExitForList;
    FixedStack<int, BlockStackSize> ExitProcList;
    FixedStack<LoopEntry, BlockStackSize> LoopStack;
    FixedStack<ItemBuffer, BlockStackSize> SelectStack;
    FixedStack<ItemBuffer, BlockStackSize> IndexStack;
    FixedStack<ItemBuffer, SwapStackSize> SwapStack1;
    FixedStack<ItemBuffer, SwapStackSize> SwapStack2;
    FixedStack<int, BlockStackSize> CaseSlotStack;
    FixedStack<int, BlockStackSize> EndSelectStack;
    FixedStack<CodeItemType, BlockStackSize> ProcItemStack;
    FixedStack<CodeItemType, BlockStackSize> CallArgStack;

    void Clear();
};

// The statement compiler's own values, reset whole when a compile begins.
struct ParseValues {
    CodeItemType PreCodeItem;  // the pre-code item read or looked at last: the error position
    int StatementPosition = 0; // position of the statement's first item; most items written get it
    int StatementKind = 0;     // kind and value of that first item
    int StatementCode = 0;
    std::uint8_t StopFlag = 0;
    std::uint8_t ProcedureMode = ProcMode::None; // ProcMode
    int ProcedureSkipSlot = 0; // the jump that lets straight-line execution pass a procedure body
    // After CheckOpenBlocks: the source position of the statement that opened the block reported, for
    // the error position; 0 when nothing is open.
    int OpenBlockPosition = 0;
};

struct ParseState : ParseValues, BlockStacks {
    void Reset() {
        static_cast<ParseValues&>(*this) = ParseValues{};
        Clear();
    }
};

} // namespace LXParse
