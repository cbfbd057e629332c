// The built-in functions that take or give text: character codes, substrings counted in characters
// (a surrogate pair is one character), search and replace, case, width and kana mapping, Unicode
// normalisation, number texts and VAL, and SPLIT$. Arguments come from the Gl stack, the last one on
// top; the result is pushed there; failures set ErrorNumber and name the function in ErrorNameIndex.
#pragma once

#include "core/sharedstate.h"

#include <QString>
#include <QStringView>

#include <cstdint>

// The further argument form of NORMALIZE: NORMALIZE(s, form).
inline constexpr int NormalizeWithForm = 10082;

// The executors; those taking `code` serve several functions (the K forms share the plain ones).
void FnAsc();
void FnAscW();
void FnAscU();
void FnIsSurrogate();
void FnChr();
void FnChrW();
void FnChrU();
void FnWidth(int code); // AKCNV$, KACNV$
void FnStrConv();
void FnNormalize(int code);
void FnInstr();
void FnLeft();
void FnRight();
void FnMid();
// The count of LEFT$, RIGHT$ and MID$ as a whole number from 0: false where they refuse it.
bool CountArgument(Extended n, std::int64_t& count);
// MID$'s start and count as whole numbers (start from 1, count from 0): false where MID$ refuses them.
bool MidArguments(Extended startValue, Extended n, std::int64_t& start, std::int64_t& count);
void FnLen();
void FnReplace();
void FnTrim(int code);
void FnCase(int code);
void FnSpace();
void FnString();
void FnStr();
void FnHex();
void FnFloatToStr();
void FnFloatToStrBin();
void FnVal();
void FnSplit();
void FnPiText(); // PI$

// VAL's reading of a text: "&H" followed by hexadecimal digits, or a decimal number in the language's
// own syntax (leading blanks, a sign, digits, ".", an exponent); anything else is 0.
Extended ValText(const QString& text);
// CHR$'s text for a finite number: the byte of its low 8 bits read in the system code page.
const QString& ChrText(Extended n);
