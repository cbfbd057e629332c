// The decoder: for a code index where a statement the decoded run covers begins, it reads the items
// once and makes the index's entry; every other index decodes to Generic and runs as before. Entries
// are decoded on first use and belong to one generation of the code buffer: any write to the buffer
// starts a new generation, so nothing stale is ever run. The decoded form is the program's memory like
// any other: weighed against the run's budget before it grows (past it the run goes on item by item),
// and given back with the program.
#pragma once

#include "core/itembuffers.h"
#include "core/tables.h"
#include "engine/decoded/entries.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

extern std::vector<ExprNode> DecodedNodes;
extern std::vector<std::int32_t> DecodedRoots;
// The values an entry that begins on the Gl stack takes from it, as its nodes read them (OnStack).
extern std::array<Extended, MaxStackedValues> DecodedStacked;

// The entries: for every code index of the decoded side the number of its entry, and the entries of
// the generation DecodedGeneration in the order they were decoded.
extern std::vector<std::uint32_t> DecodedSlots;
extern std::vector<DecodedItem> DecodedEntries;
extern std::uint64_t DecodedGeneration;

// The entries as a decoded run reads them: the slots and entries as they stand (decoding an entry may
// move the entries: the run reads them afresh after it).
struct DecodedView {
    const std::uint32_t* Slots = DecodedSlots.data();
    DecodedItem* Entries = DecodedEntries.data();
    std::size_t Count = DecodedEntries.size();
    // The entry of `at` (an index the decoded side covers), or null when it has none yet.
    [[gnu::always_inline]] DecodedItem* Find(int at) const {
        const std::uint32_t number = Slots[at];
        if (number >= Count) return nullptr;
        DecodedItem* entry = Entries + number;
        return entry->At == at ? entry : nullptr;
    }
};

// Brings the store to the current generation (empty) when it is of an older one; a decoded run does
// this when it begins, and its lookups then need not ask.
void KeepDecodedGeneration();

// The entry of `at` (an index the decoded side covers) in the current generation, or null when it
// has not been decoded yet; DecodedInRun the same inside a decoded run.
[[gnu::always_inline]] inline DecodedItem* DecodedInRun(int at) {
    return DecodedView{}.Find(at);
}
[[gnu::always_inline]] inline DecodedItem* DecodedEntry(int at) {
    return DecodedGeneration == Ib.CodeGeneration ? DecodedInRun(at) : nullptr;
}

// True when `at` is decoded, in this generation, as an item for the general path.
inline bool DecodedAsGeneric(int at) {
    if (static_cast<std::size_t>(static_cast<unsigned>(at)) >= DecodedSlots.size()) return false;
    const DecodedItem* entry = DecodedEntry(at);
    return entry && entry->Op == DecodedOp::Generic;
}

// True when a variable table no longer has the storage the current generation's nodes point into;
// the caller then starts a new generation.
extern const NumVarType* DecodedNumbers; // the tables' storage when the generation's nodes began
extern const StrVarType* DecodedStrings;
inline bool DecodedTablesMoved() {
    return Tb.NumVarTable.data() != DecodedNumbers || Tb.StrVarTable.data() != DecodedStrings;
}
// Makes the decoded side cover the code indices 1 .. limit; false when it cannot: the budget has no
// room for it, or a stop was requested while it grew (it grows in steps, seeing the request between
// them, so that a long program's stop is not kept waiting).
bool FitDecodedCode(int limit);
// Decodes the entry of `at` in the current generation; `limit` is the last index the run may read.
// Null when the budget has no room for it.
DecodedItem* DecodeItem(int at, int limit);
// The memory the decoded form holds, in bytes.
std::size_t DecodedBytes();
// Gives all of it back (the interpreter reset, a run that ran out of memory).
void ReleaseDecodedCode();
