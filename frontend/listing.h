// The text listings of pre-code and code: one item's text, and whole listings of a program's pre-code
// and code from slot 101. The debug statement HELP -LORVEXC prints them, and tests compare them, so
// their format is fixed.
#pragma once

#include "core/codeitem.h"

#include <QString>

// The text of one item (a line end and the end item of a line end give CR LF).
void CodeItemText(const CodeItemType& item, QString& text);
// "[index:position]text" for each item of PreCodeBuffer from 101 up to CurrentmaxPreCodeNum - 1,
// ended by CR LF. Uses PreCodeIndex as its cursor and leaves it after the last item read.
void PreCodeListing(QString& text);
// The same for CodeBuffer from 101 to the end item. Uses CodeIndex as its cursor, so it may only run
// while no program runs.
void CodeListing(QString& text);
