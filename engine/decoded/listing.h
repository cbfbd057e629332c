// What the run loop's decoded side makes of a compiled program: for every index the run can reach
// where a statement runs in one pass rather than item by item, which kind of decoded entry runs there
// and where the run goes on. For inspecting the compiled code beside its listing.
#pragma once

#include <QString>

// "decoded:" and one line "[index:position]Operation[ target][, operand ...]" per decoded entry, in
// index order, with the operands its row of ops.h lists; then one line "Operation: what it does; in
// place of the items it replaces" per operation met. Every index not listed runs by the general path.
// Decodes afresh from the current code buffer and tables, so it may only run while no program runs.
void DecodedListing(QString& text);
