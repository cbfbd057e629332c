// The language's vocabulary: operator, statement, function and reserved-word tables, and the searches
// the tokenizer and the editor use on them. An operator token's SecondCode is its slot, a statement or
// function token's the code of its word (below).
#pragma once

#include "core/codeitem.h"
#include "core/codelist.h"
#include "core/internalcodes.h"

#include <array>
#include <string_view>

inline constexpr int OperatorCount = 44;
inline constexpr int ReservedWordCount = 38;

// Slots 26, 38 and 40 are empty; "?" stands twice and the linear search always finds slot 25.
inline constexpr std::array<std::u16string_view, OperatorCount + 1> OperatorNames = {
    u"",    u"=", u"<>", u"><",  u"<", u">", u"<=",   u"=<",  u">=",     u"=>", u"+",   u"-",
    u"*",   u"/", u"\\", u"MOD", u"^", u"(", u")",    u"{",   u"}",      u",",  u";",   u":",
    u".",   u"?", u"",   u"\"",  u"#", u"$", u"'",    u"NOT", u"AND",    u"OR", u"XOR", u"IMP",
    u"EQV", u"_", u"",   u"^Cr", u"",  u"?", u"SJis", u"&",   u"ChgSgn",
};

// Operator slots.
namespace Op {
inline constexpr int Equal = 1;           // "="
inline constexpr int NotEqual = 2;        // "<>"
inline constexpr int NotEqualAlt = 3;     // "><"
inline constexpr int Less = 4;            // "<"
inline constexpr int Greater = 5;         // ">"
inline constexpr int LessEqual = 6;       // "<="
inline constexpr int LessEqualAlt = 7;    // "=<"
inline constexpr int GreaterEqual = 8;    // ">="
inline constexpr int GreaterEqualAlt = 9; // "=>"
inline constexpr int Plus = 10;           // "+"
inline constexpr int Minus = 11;          // "-"
inline constexpr int Multiply = 12;       // "*" (also starts a label definition)
inline constexpr int Divide = 13;         // "/"
inline constexpr int IntDivide = 14;      // "\"
inline constexpr int Mod = 15;            // "MOD"
inline constexpr int Power = 16;          // "^"
inline constexpr int OpenBracket = 17;    // "("
inline constexpr int CloseBracket = 18;   // ")"
inline constexpr int OpenBrace = 19;      // "{"
inline constexpr int CloseBrace = 20;     // "}"
inline constexpr int Comma = 21;          // ","
inline constexpr int Semicolon = 22;      // ";"
inline constexpr int Colon = 23;          // ":" (statement separator)
inline constexpr int Period = 24;         // "."
inline constexpr int Question = 25;       // "?" (PRINT shorthand)
inline constexpr int Empty26 = 26;
inline constexpr int DoubleQuote = 27; // the double-quote character
inline constexpr int Hash = 28;        // "#"
inline constexpr int Dollar = 29;      // "$"
inline constexpr int Apostrophe = 30;  // "'" (comment)
inline constexpr int Not = 31;
inline constexpr int And = 32;
inline constexpr int Or = 33;
inline constexpr int Xor = 34;
inline constexpr int Imp = 35;
inline constexpr int Eqv = 36;
inline constexpr int Underscore = 37; // "_"
inline constexpr int LineEnd = 38;    // empty text; as a code, the end of a line (listed as CR LF)
inline constexpr int PrintCr = 39;    // "^Cr"
inline constexpr int Empty40 = 40;
inline constexpr int Question2 = 41; // the second "?", never found by the search
inline constexpr int SJis = 42;
inline constexpr int Ampersand = 43; // "&"
inline constexpr int ChgSgn = 44;    // unary minus, made by the compiler
} // namespace Op

// Statement and function words: slot k is the k-th word of its list (core/codelist.h), the lists being
// searched by binary search. The code an item of a word carries is its slot, except that the internal
// codes keep their numbers (the code listings print them, and the control properties share their
// number space): a word whose slot reaches them carries a code past the last of them. So a new word
// is one row of the list, and no number that a listing prints moves. A word's code is neither stored
// nor printed (listings, messages and the reserved-word list give its word), so a word may move.
constexpr int StatementCodeOfSlot(int slot) {
    return slot < InSt::First ? slot : slot - InSt::First + InSt::AfterLast;
}
constexpr int FunctionCodeOfSlot(int slot) {
    return slot < InFn::First ? slot : slot - InFn::First + InFn::AfterLast;
}

namespace St {
namespace Slot {
enum : int {
    None,
#define LX_SLOT(identifier, word, executor, form) identifier,
    LX_STATEMENT_SLOTS(LX_SLOT)
#undef LX_SLOT
        End
};
} // namespace Slot
#define LX_SLOT(identifier, word, executor, form)                                                            \
    inline constexpr int identifier = StatementCodeOfSlot(Slot::identifier);
LX_STATEMENT_SLOTS(LX_SLOT)
#undef LX_SLOT
} // namespace St

namespace Fn {
namespace Slot {
enum : int {
    None,
#define LX_SLOT(identifier, word, executor) identifier,
    LX_FUNCTION_SLOTS(LX_SLOT)
#undef LX_SLOT
        End
};
} // namespace Slot
#define LX_SLOT(identifier, word, executor)                                                                  \
    inline constexpr int identifier = FunctionCodeOfSlot(Slot::identifier);
LX_FUNCTION_SLOTS(LX_SLOT)
#undef LX_SLOT
} // namespace Fn

inline constexpr int StatementCount = St::Slot::End - 1;
inline constexpr int FunctionCount = Fn::Slot::End - 1;

inline constexpr std::array<std::u16string_view, StatementCount + 1> StatementNames = {
    u"",
#define LX_SLOT(identifier, word, executor, form) word,
    LX_STATEMENT_SLOTS(LX_SLOT)
#undef LX_SLOT
};

inline constexpr std::array<std::u16string_view, FunctionCount + 1> FunctionNames = {
    u"",
#define LX_SLOT(identifier, word, executor) word,
    LX_FUNCTION_SLOTS(LX_SLOT)
#undef LX_SLOT
};

inline constexpr std::array<std::u16string_view, ReservedWordCount + 1> ReservedWords = {
    u"",         u"AS",     u"BOOLEAN", u"CALL",   u"CASE",  u"CLOSE",  u"CONST",    u"DATA",
    u"DIM",      u"DO",     u"ELSE",    u"ELSEIF", u"END",   u"EXIT",   u"EXPLICIT", u"FOR",
    u"FUNCTION", u"GOSUB",  u"GOTO",    u"IF",     u"IS",    u"LET",    u"LOOP",     u"NEXT",
    u"OPEN",     u"OPTION", u"PUBLIC",  u"REAL",   u"REM",   u"RETURN", u"SELECT",   u"STOP",
    u"STRING",   u"SUB",    u"THEN",    u"TO",     u"UNTIL", u"WEND",   u"WHILE",
};

// The first slot whose word is not after the word before it (0 when every word is): a word added twice
// or out of alphabetical order would never be found by the binary search.
template <std::size_t N> constexpr int FirstUnsortedSlot(const std::array<std::u16string_view, N>& table) {
    for (std::size_t i = 2; i < N; ++i)
        if (!(table[i - 1] < table[i])) return static_cast<int>(i);
    return 0;
}
// On failure the compiler shows the slot: the row of core/codelist.h at that place (counted from 1)
// stands twice or out of order.
static_assert(FirstUnsortedSlot(StatementNames) == 0,
              "LX_STATEMENT_SLOTS: a word stands twice or out of alphabetical order at the slot shown");
static_assert(FirstUnsortedSlot(FunctionNames) == 0,
              "LX_FUNCTION_SLOTS: a word stands twice or out of alphabetical order at the slot shown");
static_assert(FirstUnsortedSlot(ReservedWords) == 0, "ReservedWords: a word stands twice or out of order");
// SEEK's function word carries a blank, so that only the statement scan makes it (from SEEK "(").
static_assert(FunctionNames[Fn::Slot::SEEK] == u"SEEK ");
static_assert(StatementCodeOfSlot(StatementCount) < ArgumentFormStep,
              "statement codes must stay below the step of their further argument forms");
static_assert(FunctionCodeOfSlot(FunctionCount) < SettingValueBase,
              "function codes must stay below the codes of window settings and control properties");

// A window setting's value is read back by the function SettingValueBase + the statement's code: those
// must not meet the control properties' codes.
constexpr bool SettingsClearOfProperties() {
    for (const int code : {
#define LX_SETTING(statement, executor) statement,
             LX_SETTING_VALUES(LX_SETTING)
#undef LX_SETTING
         })
        if (code >= PropertyRange::ButtonFirst && code <= PropertyRange::TextBoxLast) return false;
    return true;
}
static_assert(SettingsClearOfProperties(), "LX_SETTING_VALUES: a setting's code meets a control property's");

// The slot of a word's code, and its word; 0 and empty for any other code (an internal code, a further
// argument form, a setting's or a property's code).
constexpr int StatementSlotOfCode(int code) {
    const int slot = code < InSt::First        ? code
                     : code >= InSt::AfterLast ? code - InSt::AfterLast + InSt::First
                                               : 0;
    return slot >= 1 && slot <= StatementCount ? slot : 0;
}
constexpr int FunctionSlotOfCode(int code) {
    const int slot = code < InFn::First        ? code
                     : code >= InFn::AfterLast ? code - InFn::AfterLast + InFn::First
                                               : 0;
    return slot >= 1 && slot <= FunctionCount ? slot : 0;
}
constexpr std::u16string_view StatementWord(int code) {
    return StatementNames[static_cast<std::size_t>(StatementSlotOfCode(code))];
}
constexpr std::u16string_view FunctionWord(int code) {
    return FunctionNames[static_cast<std::size_t>(FunctionSlotOfCode(code))];
}

// The searches. The operator and reserved-word searches return the slot (1-based), the statement and
// function searches the word's code; each 0 when the word is not in the table.
// Operators: linear over slots 1 to 44, first match wins (so "?" is always 25).
int SearchOperator(std::u16string_view word);
// Statements, functions and reserved words: binary search with the midpoint rounded to the nearest
// integer (halves to even) and ordinal comparison of UTF-16 units. Words are compared as given: the
// tokenizer upper-cases before searching.
int SearchStatement(std::u16string_view word);
int SearchFunction(std::u16string_view word);
int SearchReservedWord(std::u16string_view word);
