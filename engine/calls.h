// SUB and FUNCTION calls and DEF functions at run time. A SUB or FUNCTION keeps its variables in the
// ordinary variable tables: a call frame says which entries are its own, so a recursive call saves them
// on the Lo stack and restores them afterwards. A DEF function keeps its parameters in the frame-relative
// local tables: a call shifts the frame bases by the caller's frame sizes.
#pragma once

#include <cstdint>

// Kind 89 and the five items after it: push the call frame they describe.
void PushSubFrame(int firstValue);
// Internal 245: bind the top of the Gl stack to the parameter item that follows.
void BindArgument();
// Internal 246: push the value of the variable item that follows (array reference for an array).
void PushVariableValue();
// Internal 267 and 265: save the top frame's variables on the Lo stack, and restore them.
void SaveLocals();
void RestoreLocals();
// The same without an error, for the decoded calls: false when the general executor would fail, and
// then nothing is saved or restored.
bool SaveFrameLocals();
bool RestoreFrameLocals();
// Internal 281: the call of the SUB or FUNCTION named by the item that follows.
void JumpViaLabelVariable();
// END SUB and END FUNCTION: drop the frame and return to the caller.
void ExecEndSub();

// Kind 84 and the item after it: push a DEF function's frame sizes.
void PushFrameSizes(int numCount);
// Kinds 81 and 82: store an argument into the DEF function's parameter slot.
void StoreNumArgument(int slot);
void StoreStrArgument(int slot);
// A DEF function's name met in an expression: call the function whose code starts at `entry`.
void CallUserFunction(std::int32_t entry);
// Internal 237: the end of a DEF function's expression.
void ReturnFromFunction();

// Calls nested deeper than this stop with the call-stack errors instead of exhausting memory.
inline constexpr int MaxCallDepth = 100000;
// The Lo stack holds at most this many saved values (30102 beyond it).
inline constexpr int MaxSavedLocals = 1 << 22;
