// The decoder of SUB and FUNCTION calls (their run: engine/decoded/calls.h): the entries of a call's
// sequence read from their items, the callee, its frame and the variables bound resolved once.
#pragma once

#include "engine/decoded/entries.h"

#include <cstddef>

// Decodes the entry beginning at `start` when it is one of the call sequence (the arguments excepted);
// false for any other item.
bool DecodeCallSequence(DecodedItem& entry, int start, int limit);
// Decodes a Call whose argument values end at `end` (the values' roots are the caller's to store);
// false when no call follows them.
bool DecodeCallAfterValues(DecodedItem& entry, int end, int limit);
// The memory the shapes of the decoded calls hold, and giving it back (with the rest of the decoded form).
std::size_t CallShapeBytes();
void ReleaseCallShapes();
