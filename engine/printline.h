// The line writer of the run window: PRINT builds one line in PrintLine and hands each finished line
// over; every other text the engine writes to the run window (end-of-run messages, listings, FILES,
// the banner) goes through FlushPrintLine too, so a PRINT ended by ";" and the next message share a line.
#pragma once

#include <QString>

#include <optional>

void AppendPrintText(const QString& text);
// "," of PRINT: pad to the next zone of PrintPrecision + 5 characters (a full zone when on a boundary).
void PrintNextZone();
// TAB: pops the column (at most 120, truncated) and pads PrintLine up to it; never cuts or breaks.
void PrintWidth();
// Appends `text`, writes PrintLine as the run window's new last line, and empties it.
void FlushPrintLine(const QString& text = QString());
// The INPUT$ key echo's twin of FlushPrintLine.
void FlushInputEchoLine(const QString& text);
// The text PRINT shows for the value on top of the Gl stack, popped: a number as FormatNumber writes it,
// a string as it stands, a boolean as "True" or "False". None, with nothing popped, for any other value
// (a TAB column). A statement that shows values as PRINT does takes them through this.
std::optional<QString> PopValueAsPrintText();
// PRINT of the value on top of the Gl stack (a number, string, boolean or TAB column).
void ExecPrint();
