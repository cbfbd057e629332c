// The statements on the program's data files: OPEN, CLOSE, PRINT# (with its zone and line-end
// separators), PRINT# USING, INPUT# and LINE INPUT#. They read their operands from the code items after
// the statement item and from the Gl stack, and work through the channels of filechannels.h.
#pragma once

#include "core/sharedstate.h"

#include <QStringView>

// OPEN name FOR {INPUT | OUTPUT | APPEND} AS #n
void ExecOpen();
// CLOSE [#n]: the literal after the statement (0 closes every channel).
void ExecClose();
// PRINT #n, value;  the value below, the channel on top of the Gl stack.
void ExecPrintFile();
// The last value of a PRINT #n, ... that ends its line.
void ExecPrintFileLineEnd();
// A PRINT# separator item (kind 52): value 21 moves to the channel's next zone, 136 ends its line.
void ExecPrintFileSeparator(int value);
// PRINT #n, USING format; values
void ExecPrintUsingFile();
// INPUT #n, target: one field into one target.
void ExecInputFile();
// LINE INPUT #n, target$
void ExecLineInputFile();

// Writing primitives of PRINT#: each writes only to a channel open for output or append.
void WriteFileText(int n, QStringView text);
void WriteFileNextZone(int n);
void WriteFileLineEnd(int n);
// Whether channel n (any number) is open for output or append with its writer.
bool IsWritable(int n);
// What PRINT# does with its value's text once it is off the stack, for a channel IsWritable: the text
// written (with `endLine`, as the value that ends the line), the column moved on; a failed write is
// raised as the failure of this PRINT#.
void WritePrintedText(int n, QStringView text, bool endLine);
// The text PRINT# writes for a number (it stands until the next one).
QStringView PrintedNumberText(const Extended& value);
