// The user's text for an error number: the one place that knows the interpreter's error messages.
// Messages about a statement, function or operator name it through ErrorNameIndex; error 1 quotes the
// character the tokenizer kept in BadCharText.
#pragma once

#include <QString>

// The message for `number`; it changes nothing. Reads ErrorNameIndex and BadCharText; a number without a
// message of its own gives "エラーです。".
QString ErrorMessage(int number);

// Where an error lies, as the run window reports it: "N行,　M 桁" for a character offset in ProgramText
// (lines counted by their CR characters).
QString LineColumnText(int offset);
