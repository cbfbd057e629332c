// Small services the run loop and many executors share: the GOSUB and DEF-function return stacks,
// the boolean-number conversions of boolean array elements, source offsets as line and column, the
// statement-end tests used by executors that read their operands from the code, and what counts as a
// file for the file statements and functions.
#pragma once

#include "core/codeitem.h"
#include "core/sharedstate.h"
#include "core/vocabulary.h"

#include <QString>

#include <cstdint>

// GOSUB return addresses: 1040 when 100 are already stacked; popping an empty stack is 1041 (result 0).
void PushGosubReturn(int index);
int PopGosubReturn();

// DEF-function return addresses, the same with 1000 entries.
void PushSubReturn(int index);
int PopSubReturn();

// Boolean array elements are held as numbers: -1 true, 0 false. Any other number is 54100 (false).
bool NumberToBoolean(Extended n);
inline std::int32_t BooleanToNumber(bool b) {
    return b ? -1 : 0;
}

// The line and column of a 1-based character offset in CompiledProgramText, lines counted by LF.
void OffsetToLineCol(int offset, int& line, int& column);

// True for "no item" (kind 0), ":" and the line end.
inline bool IsStatementEnd(const CodeItemType& item) {
    return item.FirstCode == CodeKind::None ||
           (item.FirstCode == CodeKind::Operator &&
            (item.SecondCode == Op::Colon || item.SecondCode == Op::LineEnd));
}

// Pops the top entry of the Gl stack whatever its type (an argument passed by value, a CASE selector
// of no comparable type). An empty stack is 52302.
void DiscardGlTop();

// Fetches items up to the statement end (or the end item) and leaves CodeIndex on it, unconsumed, so
// that the run loop executes it next. `last` receives the last item before it ({1, ":"} when none).
void SkipToStatementEnd(CodeItemType& last);

// A file in the sense of the file functions and statements that do not read it: anything that
// exists and is not a folder.
bool IsFileAt(const QString& path);

// A file that a read may open: a regular file, or a link to one. A FIFO keeps its reader waiting for a
// writer and a device may never end, so, as for OPEN, anything else is no file to read.
bool IsRegularFileAt(const QString& path);
