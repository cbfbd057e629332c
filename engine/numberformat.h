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

// The decimal digits of |value| rounded to `digits` significant digits (1..18), and the power of ten
// of the first one (|value| = d.ddd x 10^Exponent). A value exactly halfway rounds away from zero
// (0.125 at two digits is 0.13), as a BASIC user expects; every other value rounds to the nearer
// neighbour, decided on the exact binary value, never on digits already rounded. Every text above is
// made from these digits.
struct DecimalDigits {
    char Digits[MaxGeneralDigits + 1] = {};
    int Count = 0;
    int Exponent = 0;
};
// From an exact expansion in integers for magnitudes from about 4.3E-19 to 1.7E38, otherwise as
// LibraryRoundedDigits.
DecimalDigits RoundedDigits(Extended value, int digits);
// The same digits from the C++ library's exact conversion (std::to_chars), at many times the cost:
// the reference RoundedDigits is held to.
DecimalDigits LibraryRoundedDigits(Extended value, int digits);
