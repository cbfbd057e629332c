// The decoder: for a code index where a statement the decoded run covers begins, it reads the items
// once and fills the index's entry; every other index decodes to Generic and runs as before. Entries
// are decoded on first use and belong to one generation of the code buffer: any write to the buffer
// starts a new generation, so nothing stale is ever run.
#pragma once

#include "core/tables.h"
#include "engine/decoded/entries.h"

#include <array>
#include <cstdint>
#include <vector>

extern std::vector<DecodedItem> DecodedCode;
extern std::vector<ExprNode> DecodedNodes;
extern std::vector<std::int32_t> DecodedRoots;
// The values an entry that begins on the Gl stack takes from it, as its nodes read them (OnStack).
extern std::array<Extended, MaxStackedValues> DecodedStacked;

// True when a variable table no longer has the storage the current generation's nodes point into;
// the caller then starts a new generation.
extern const NumVarType* DecodedNumbers; // the tables' storage when the generation's nodes began
extern const StrVarType* DecodedStrings;
inline bool DecodedTablesMoved() {
    return Tb.NumVarTable.data() != DecodedNumbers || Tb.StrVarTable.data() != DecodedStrings;
}
// Makes the decoded side as long as the code buffer (new entries undecoded).
void FitDecodedCode();
// Decodes the entry of `at` in the current generation; `limit` is the last index the run may read.
DecodedItem& DecodeItem(int at, int limit);
