// The user's text for an error number: the one place that knows the interpreter's error messages.
// Messages about a statement, function or operator name it through ErrorNameIndex; error 1 quotes the
// character the tokenizer kept in BadCharText. Also where an error lies: its line and column, and its
// position kept within the statement that failed.
#pragma once

#include <QString>

// The message for `number`; it changes nothing. Reads ErrorNameIndex and BadCharText; a number without a
// message of its own gives "エラーです。".
QString ErrorMessage(int number);

// Where an error lies, as the run window reports it: "N行,　M 桁" for a character offset in
// CompiledProgramText (lines counted by their CR characters; the column is 1 or more).
QString LineColumnText(int offset);

// The error position of an error in the statement whose item stands at `statementStart`, `position`
// being the one the phase's rule gives it (positions in CompiledProgramText). The character reported is
// the one before the error position, so an error at the statement's own first item would stand before
// the statement: in its indentation, on the ":" or THEN before it, or on the line before. Such an error
// stands at the statement's first character instead; one inside the statement keeps its place.
int ErrorPositionInStatement(int position, int statementStart);
