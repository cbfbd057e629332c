// The language's vocabulary: operator, statement, function and reserved-word tables, and the searches
// the tokenizer and the editor use on them. A token's SecondCode is its slot in one of these tables, so
// the slots below are part of the compiled code's format and must never move.
#pragma once

#include "core/codelist.h"

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

// Statement slots (kind 6 items below 192) and function slots (kind 2 items below 126), numbered by
// their place in the lists.
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
#define LX_SLOT(identifier, word, executor, form) inline constexpr int identifier = Slot::identifier;
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
#define LX_SLOT(identifier, word, executor) inline constexpr int identifier = Slot::identifier;
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

// Reserved-word slots; function codes 126 + slot - 1 name them.
namespace Rw {
inline constexpr int AS = 1;
inline constexpr int BOOLEAN = 2;
inline constexpr int CALL = 3;
inline constexpr int CASE = 4;
inline constexpr int CLOSE = 5;
inline constexpr int CONST = 6;
inline constexpr int DATA = 7;
inline constexpr int DIM = 8;
inline constexpr int DO = 9;
inline constexpr int ELSE = 10;
inline constexpr int ELSEIF = 11;
inline constexpr int END = 12;
inline constexpr int EXIT = 13;
inline constexpr int EXPLICIT = 14;
inline constexpr int FOR = 15;
inline constexpr int FUNCTION = 16;
inline constexpr int GOSUB = 17;
inline constexpr int GOTO = 18;
inline constexpr int IF = 19;
inline constexpr int IS = 20;
inline constexpr int LET = 21;
inline constexpr int LOOP = 22;
inline constexpr int NEXT = 23;
inline constexpr int OPEN = 24;
inline constexpr int OPTION = 25;
inline constexpr int PUBLIC = 26;
inline constexpr int REAL = 27;
inline constexpr int REM = 28;
inline constexpr int RETURN = 29;
inline constexpr int SELECT = 30;
inline constexpr int STOP = 31;
inline constexpr int STRING = 32;
inline constexpr int SUB = 33;
inline constexpr int THEN = 34;
inline constexpr int TO = 35;
inline constexpr int UNTIL = 36;
inline constexpr int WEND = 37;
inline constexpr int WHILE = 38;
} // namespace Rw

// Combined slot numbering: the four tables stand one after another, so statement s is the combined
// slot s + CombinedStatementBase and function f the combined slot f + CombinedFunctionBase.
inline constexpr int CombinedStatementBase = OperatorCount;
inline constexpr int CombinedFunctionBase = OperatorCount + StatementCount;

// Function codes 126 and up that name reserved words: 126 + slot - 1.
inline constexpr int ReservedWordFunctionBase = 126;

template <std::size_t N> constexpr bool IsStrictlySorted(const std::array<std::u16string_view, N>& table) {
    for (std::size_t i = 2; i < N; ++i)
        if (!(table[i - 1] < table[i])) return false;
    return true;
}
static_assert(IsStrictlySorted(StatementNames), "StatementNames must stay sorted for the binary search");
static_assert(IsStrictlySorted(FunctionNames), "FunctionNames must stay sorted for the binary search");
static_assert(IsStrictlySorted(ReservedWords), "ReservedWords must stay sorted for the binary search");
// Compiled code carries these numbers: an entry added to or taken from the lists above must not move them.
static_assert(StatementCount == 191 && St::CONT == 33 && St::SYSTEM == 171);
static_assert(FunctionCount == 125 && Fn::SEEK == 101 && FunctionNames[Fn::SEEK] == u"SEEK ");

// The searches. Each returns the slot (1-based) or 0 when the word is not in the table.
// Operators: linear over slots 1 to 44, first match wins (so "?" is always 25).
int SearchOperator(std::u16string_view word);
// Statements, functions and reserved words: binary search with the midpoint rounded to the nearest
// integer (halves to even) and ordinal comparison of UTF-16 units. Words are compared as given: the
// tokenizer upper-cases before searching.
int SearchStatement(std::u16string_view word);
int SearchFunction(std::u16string_view word);
int SearchReservedWord(std::u16string_view word);
