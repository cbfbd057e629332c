// Runs the decoded statements of the code buffer: from a code index, one decoded statement after the
// other, until an index that must run item by item, a stop request, or the end of the code.
#pragma once

// Runs from `at` (the index of the item in hand; `limit` the last index the run may read) and returns
// the index of the item to go on with. `stoppedShort` is set when the entry at the returned index
// began but met a case for the general path: that item must then run item by item.
int RunDecoded(int at, int limit, bool& stoppedShort);
