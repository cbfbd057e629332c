// The decoded run of SUB and FUNCTION calls. A call of the general path is a dozen items on each side:
// the argument values pushed, the caller's locals saved, the jump with its return index, the callee's
// frame and parameter binds, and at the end the hand-backs, the frame and return index dropped, the
// locals restored and the hand-backs taken. Decoded (engine/decoded/decodecalls), it is four entries
// whose operands are resolved once (the callee's entry point and frame, the variables bound, the
// return index):
//   Call        at the arguments (or at the save of the locals): values, save, return index, jump;
//   Enter       at the callee's frame item: the frame and the numeric parameter binds;
//   Return      at the hand-backs before END SUB or END FUNCTION: pushed, frame and return index dropped;
//   ReturnSite  at the restore of the locals: restored, the numeric hand-backs taken, and a function
//               value combined with the number below it and assigned, or assigned as it is, where the
//               items do that next.
// Call runs the callee's frame and binds at once (read from the callee's items when the call is
// decoded, as its Enter reads them) and Return runs ReturnSite at once when it is decoded, when no stop
// is requested, handing the values over directly; every entry also runs on its own, taking its values
// from the Gl stack, so the run may leave the sequence at any of them as the general path would. An
// entry checks everything that could fail before it changes anything, and stops short otherwise.
#pragma once

#include "engine/decoded/entries.h"

// What the run functions return when the entry stopped short (no code index is negative).
inline constexpr int CallStoppedShort = -1;

// Run a Call with its argument values worked out, a Return, and an Enter or a ReturnSite on its own;
// each returns where the run goes on, or CallStoppedShort.
int RunCall(const DecodedItem& entry, const Extended* values, int limit);
int RunReturn(const DecodedItem& entry, int limit);
int RunCallPart(const DecodedItem& entry);
