// The built-in functions that take or give text: character codes, substrings counted in characters
// (a surrogate pair is one character), search and replace, case, width and kana mapping, Unicode
// normalisation, number texts and VAL, and SPLIT$. Arguments come from the Gl stack, the last one on
// top; the result is pushed there; failures set ErrorNumber and name the function in ErrorNameIndex.
#pragma once

#include "frontend/sharedstate.h"

#include <QString>
#include <QStringView>

// The further argument form of NORMALIZE: NORMALIZE(s, form).
inline constexpr int NormalizeWithForm = 10082;

// True for every function code ExecStringFunction serves.
bool IsStringFunctionCode(int code);
// Runs the string function of `code` (a FunctionNames slot or a further argument form).
void ExecStringFunction(int code);

// VAL's reading of a text: "&H" followed by hexadecimal digits, or a decimal number in the language's
// own syntax (leading blanks, a sign, digits, ".", an exponent); anything else is 0.
Extended ValText(const QString& text);
// CHR$'s text for a finite number: the byte of its low 8 bits read in the system code page.
const QString& ChrText(Extended n);
// The number of characters of a text, a surrogate pair counting as one.
qsizetype CharacterCount(QStringView text);
