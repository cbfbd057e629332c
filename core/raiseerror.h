// The one way every phase and executor reports a failure.
//
// The first error raised stands until someone clears ErrorNumber: the checks of a phase or a
// statement run in the order that finds the cause first, and what a later check sees is often only a
// consequence of that cause (an operand left unread, a block left open). A site whose more specific
// error must replace a generic one clears ErrorNumber itself before it raises, and says why.
#pragma once

#include "core/sharedstate.h"

// The name slot of an error whose message names nothing, or adds the culprit only when there is one.
inline constexpr int NoNameIndex = 0;

// Raises `number`; the name slot the message may read is left as it is.
inline void RaiseError(int number) {
    if (Fe.ErrorNumber == 0) Fe.ErrorNumber = number;
}

// Raises `number` for a message that names the statement, function or operator in slot `nameIndex`.
inline void RaiseError(int number, int nameIndex) {
    if (Fe.ErrorNumber != 0) return;
    Fe.ErrorNumber = number;
    Fe.ErrorNameIndex = nameIndex;
}
