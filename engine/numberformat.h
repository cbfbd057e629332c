// The texts of numbers: the general format that PRINT, PRINT#, STR$ and the graphics text output
// write, and the fixed-width scientific form of FLOATTOSTR. All of them are independent of the
// locale: "." is always the decimal point and "E" marks the exponent.
#pragma once

#include "core/sharedstate.h"

#include <QString>

// The most significant digits an 80-bit number carries into a text (and the largest PRECISION).
inline constexpr int MaxGeneralDigits = 18;

// The general format with `precision` significant digits (limited to 1..18): trailing zeros dropped,
// no decimal point when none is needed; fixed notation while the integer part has at most `precision`
// digits and the rounded magnitude is at least 0.00001, otherwise scientific with "E", a "-" only for
// negative exponents and no leading zeros in the exponent (1E20, 1.5E-7). No leading blank.
// NaN, infinities: "NAN", "INF", "-INF".
QString GeneralNumberText(Extended value, int precision);

// The number text of PRINT: GeneralNumberText with PrintPrecision digits and one leading blank for a
// value of 0 or more (" 3", "-3").
QString FormatNumber(Extended value);
// The same into `text`, whose room is used again when it is its own (PRINT# writes a number a line).
// The value is read where it lies: a copy of an 80-bit number just stored waits for the store.
void FormatNumberInto(const Extended& value, QString& text);

// 18 significant digits in scientific form with at least four exponent digits and the exponent's
// sign always written: "1.00000000000000000E+0000", "-2.50000000000000000E-0003". False (text
// untouched) for NaN and infinities.
bool ScientificText18(Extended value, QString& text);
