// The tokenizer: characters read from the compile text into tokens (operators, keywords, names,
// numbers, strings and hex literals), literals stored in the constant tables as they are met.
#include "frontend/tokenizer.h"

#include "core/errornumbers.h"
#include "core/raiseerror.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/vocabulary.h"
#include "frontend/declnames.h"

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace {

constexpr char16_t Nul = 0;
constexpr char16_t Tab = 9;
constexpr char16_t Lf = 10;
constexpr char16_t Cr = 13;
constexpr char16_t Blank = u' ';
constexpr char16_t FirstWideChar = 128; // full-width and other non-ASCII characters
constexpr int MaxHexDigits = 8;         // a signed 32-bit value

// Items of the tokenizer that are not operator slots of their own.
constexpr int RawOtherChar = Op::Question2; // (1, 41): any character that is no token
constexpr int LoneLf = Op::Empty40;         // (1, 40): LF without CR

CodeItemType Item(int kind, int code) {
    return CodeItemType{kind, code, 0};
}

// The keyword `name` looked up in one word table: the item of `kind` for its slot, or the empty item,
// placed at the current source position.
void FindKeyword(int (*search)(std::u16string_view), int kind, const QString& name, CodeItemType& item) {
    const int slot = search(std::u16string_view(reinterpret_cast<const char16_t*>(name.utf16()),
                                                static_cast<std::size_t>(name.size())));
    item = slot > 0 ? Item(kind, slot) : CodeItemType{};
    item.Position = Rd.SourcePos;
}

// An operator of one or two characters: the first character read, the next one decides: `second1`
// gives `slot1`, `second2` gives `slot2`, anything else is put back and gives `single`.
CodeItemType PairedOperator(char16_t second1, int slot1, char16_t second2, int slot2, int single) {
    const char16_t next = ReadChar();
    if (next == second1) return Item(CodeKind::Operator, slot1);
    if (next == second2) return Item(CodeKind::Operator, slot2);
    UnreadChar();
    return Item(CodeKind::Operator, single);
}

bool IsOperatorItem(const CodeItemType& item, int slot) {
    return item.FirstCode == CodeKind::Operator && item.SecondCode == slot;
}

// The character at a 1-based position, 0 outside the text.
char16_t CharAt(int pos) {
    if (pos < 1 || pos > Rd.CompileTextLength || pos > Rd.CompileText.size()) return Nul;
    return Rd.CompileText[pos - 1].unicode();
}

bool IsLetter(char16_t c) {
    return c >= u'A' && c <= u'Z';
}
bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}
bool IsHexDigit(char16_t c) {
    return IsDigit(c) || (c >= u'A' && c <= u'F');
}

// Stores a value as the next numeric literal: (11, new count - 1).
void AppendNumCon(Extended value, CodeItemType& item) {
    item = CodeItemType{};
    const int at = Tb.NumofRegisteredNumCon + 1;
    if (!GrowTable(Tb.NumConTable, static_cast<std::size_t>(at))) return;
    Tb.NumConTable[static_cast<std::size_t>(at)] = value;
    Tb.NumofRegisteredNumCon = at;
    item = Item(CodeKind::NumLiteral, at - 1);
}

// Checks the decimal grammar by hand, so that strtold never sees what it would also take but the
// language does not write ("inf", "nan", hexadecimal floats, blanks): [+|-] digits [. [digits]] or
// [+|-] . digits, then optionally E [+|-] digits.
bool IsDecimalNumberText(const std::string& s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t mantissaDigits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9')
        ++i, ++mantissaDigits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9')
            ++i, ++mantissaDigits;
    }
    if (mantissaDigits == 0) return false;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t exponentDigits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9')
            ++i, ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    return i == s.size();
}

// Decimal text to the nearest extended value, independent of the process locale.
bool ParseDecimal(const QString& text, Extended& value) {
    const std::string s = text.toStdString();
    if (!IsDecimalNumberText(s)) return false;
    static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    if (cLocale == static_cast<locale_t>(nullptr)) return false;
    char* end = nullptr;
    const Extended v = strtold_l(s.c_str(), &end, cLocale);
    if (end != s.c_str() + s.size()) return false;
    // Overflow gives an infinity (refused); underflow gives zero or a denormal, which is the value.
    if (!std::isfinite(v)) return false;
    value = v;
    return true;
}

// After a CR in a number or name: CR LF is the line end, left for the next token; a CR without LF is
// an error (the number of which depends on where it stands).
bool LineEndFollowsCr(int errorWithoutLf) {
    if (ReadChar() == Lf) {
        UnreadChar();
        UnreadChar();
        return true;
    }
    RaiseError(errorWithoutLf);
    return false;
}

// The character after a number literal's last one: a CR must begin the line end; any other is left
// unread. False once an error was raised.
bool EndNumberLiteral(char16_t c) {
    if (c == Cr) return LineEndFollowsCr(Err::BadLineEnd);
    UnreadChar();
    return true;
}

// The pre-scan keeps no numbers: there a number literal only says what it is. True where it gave that.
bool KeepsNoNumbers(int mode, CodeItemType& result) {
    if (mode != TokenMode::Declare) return false;
    result = Item(CodeKind::NumLiteral, 0);
    return true;
}

// ---- token readers --------------------------------------------------------------------------------

// "..." with every character allowed and no escapes; the opening quote is read.
void ReadStringLiteral(CodeItemType& result, int mode) {
    const int start = Rd.SourcePos;
    for (;;) {
        // A literal running into the end of the text would otherwise read NULs for ever.
        if (Rd.SourcePos > Rd.CompileTextLength) {
            RaiseError(Err::StringNotClosed);
            return;
        }
        const char16_t c = ReadChar();
        if (c == u'"') break;
        if (c == Cr) {
            UnreadChar();
            RaiseError(Err::StringNotClosed);
            return;
        }
    }
    const QString text = Rd.CompileText.mid(start - 1, Rd.SourcePos - 1 - start);
    if (mode == TokenMode::Declare) {
        // The pre-scan needs the text (an INCLUDE file name) but keeps no literals.
        if (!GrowTable(Tb.StrConTable, 1)) return;
        Tb.StrConTable[1] = text;
        result = Item(CodeKind::StrLiteral, 1);
        return;
    }
    AddStrCon(text, result);
}

// "&H" and hexadecimal digits; "&H" is read.
void ReadHexLiteral(CodeItemType& result, int mode) {
    QString digits;
    for (;;) {
        const char16_t c = ReadUpper();
        if (IsHexDigit(c)) {
            digits += QChar(c);
            continue;
        }
        if (!EndNumberLiteral(c)) return;
        break;
    }
    if (KeepsNoNumbers(mode, result)) return;
    // Leading zeros do not count; up to eight digits are a 32-bit pattern, and those of eight digits
    // above 7FFFFFFF wrap to negative values (&HFFFFFFFF is -1), as a signed 32-bit word reads them.
    qsizetype first = 0;
    while (first < digits.size() && digits[first] == u'0')
        ++first;
    if (digits.isEmpty() || digits.size() - first > MaxHexDigits) {
        RaiseError(Err::BadHexLiteral);
        return;
    }
    std::uint32_t bits = 0;
    for (qsizetype i = first; i < digits.size(); ++i) {
        const char16_t d = digits[i].unicode();
        bits = bits * 16u + static_cast<std::uint32_t>(IsDigit(d) ? d - u'0' : d - u'A' + 10);
    }
    AppendNumCon(static_cast<Extended>(static_cast<std::int32_t>(bits)), result);
}

// A number: digits and points, an exponent "E" with its sign or first digit; the first character
// is read and given.
void ReadNumberLiteral(char16_t first, CodeItemType& result, int mode) {
    QString text(QChar{first});
    for (;;) {
        const char16_t c = ReadUpper();
        if (IsDigit(c) || c == u'.') {
            text += QChar(c);
            continue;
        }
        if (c == u'E') {
            text += QChar(c);
            const char16_t next = ReadUpper();
            if (next == u'+' || next == u'-' || IsDigit(next)) {
                text += QChar(next);
                continue;
            }
            RaiseError(Err::BadNumericLiteral);
            return;
        }
        if (!EndNumberLiteral(c)) return;
        break;
    }
    if (KeepsNoNumbers(mode, result)) return;
    AddNumCon(text, result);
}

// The letters, digits and "_" of a name after its first letter, upper-cased; "$" or "@" is taken
// and ends it, "(" ends it unread. ender receives "$", "@", "(" or 0. False on a CR without LF.
bool ReadNameText(char16_t first, QString& name, char16_t& ender) {
    name = QString(QChar{first});
    ender = Nul;
    for (;;) {
        const char16_t c = ReadUpper();
        if (IsLetter(c) || IsDigit(c) || c == u'_') {
            name += QChar(c);
            continue;
        }
        if (c == u'$' || c == u'@') {
            name += QChar(c);
            ender = c;
            return true;
        }
        if (c == u'(') {
            UnreadChar();
            ender = c;
            return true;
        }
        if (c == Cr) return LineEndFollowsCr(Err::LoneCr);
        UnreadChar();
        return true;
    }
}

void ResolveUnknownName(const QString& name, CodeItemType& result, int mode) {
    switch (mode) {
    case TokenMode::Declare: RegisterDcVar(name, result); break;
    case TokenMode::Scan: LookUpVariable(name, result); break;
    default: result = name.endsWith(u'$') ? Item(CodeKind::StrVar, 1) : Item(CodeKind::NumVar, 1); break;
    }
}

void ReadName(char16_t first, CodeItemType& result, int mode) {
    QString name;
    char16_t ender = Nul;
    if (!ReadNameText(first, name, ender)) return;
    const bool localLookup = mode == TokenMode::Scan && Rd.LocalNameMode == 1;
    CodeItemType found{};
    if (ender == u'@') {
        // Formula names are never keywords.
        if (mode == TokenMode::Declare)
            RegisterDcVar(name, result);
        else
            LookUpVariable(name, result);
        return;
    }
    const bool bracketFollows = ender == u'(' || (ender == u'$' && CharAt(Rd.SourcePos) == u'(');
    if (ender == u'$' && !bracketFollows) {
        FindFunction(name, found);
        if (found.FirstCode == CodeKind::None && localLookup) FindLocalVar(name, found);
    } else if (bracketFollows) {
        FindFunction(name, found);
        if (found.FirstCode == CodeKind::None) FindStatement(name, found);
    } else {
        FindOperator(name, found);
        if (found.FirstCode == CodeKind::None) FindBoolConst(name, found);
        if (found.FirstCode == CodeKind::None) FindFunction(name, found);
        if (found.FirstCode == CodeKind::None) FindStatement(name, found);
        if (found.FirstCode == CodeKind::None && localLookup) FindLocalVar(name, found);
    }
    if (found.FirstCode != CodeKind::None) {
        result = found;
        return;
    }
    ResolveUnknownName(name, result, mode);
}

// "_" at the end of a line joins the next line to it. True when the continuation is valid and the
// reader stands at the start of the next line.
bool ReadLineContinuation(bool afterBlank) {
    if (!afterBlank) {
        RaiseError(Err::UnderscoreMisplaced);
        return false;
    }
    char16_t c = ReadChar();
    while (c == Blank)
        c = ReadChar();
    if (c != Cr || ReadChar() != Lf) {
        RaiseError(Err::UnderscoreMisplaced);
        return false;
    }
    return true;
}

void UpdateTokenStart(int mode) {
    if (mode != TokenMode::Scan) return;
    Rd.TokenStart = Rd.IncludeMode == 0 ? Rd.SourcePos - Rd.IncludeOffset - 1 : Rd.IncludePosition;
}

// Reads the token itself (GetToken keeps the bookkeeping around it).
void ReadToken(CodeItemType& result, int mode) {
    bool afterBlank = true; // at the start of a call the character before counts as a blank
    for (;;) {
        const char16_t c = ReadUpper();
        UpdateTokenStart(mode);
        if (c >= FirstWideChar) {
            RaiseError(Err::WideCharacter);
            return;
        }
        switch (c) {
        case Nul: return;
        case Tab:
            while (ReadChar() == Tab) {
            }
            UnreadChar();
            afterBlank = false;
            continue;
        case Blank:
            while (ReadChar() == Blank) {
            }
            UnreadChar();
            afterBlank = true;
            continue;
        case Lf:
            result = Item(CodeKind::Operator, LoneLf);
            RaiseError(Err::BadLineEnd);
            return;
        case Cr:
            if (ReadChar() == Lf) {
                result = Item(CodeKind::Operator, Op::LineEnd);
            } else {
                UnreadChar();
                RaiseError(Err::LoneCr);
            }
            return;
        case u'"': ReadStringLiteral(result, mode); return;
        case u'#': result = Item(CodeKind::Operator, Op::Hash); return;
        case u'&':
            if (ReadUpper() == u'H') {
                ReadHexLiteral(result, mode);
            } else {
                UnreadChar();
                result = Item(CodeKind::Operator, Op::Ampersand);
            }
            return;
        case u'\'': result = Item(CodeKind::Operator, Op::Apostrophe); return;
        case u'(': result = Item(CodeKind::Operator, Op::OpenBracket); return;
        case u')': result = Item(CodeKind::Operator, Op::CloseBracket); return;
        case u'*': result = Item(CodeKind::Operator, Op::Multiply); return;
        case u'+': result = Item(CodeKind::Operator, Op::Plus); return;
        case u',': result = Item(CodeKind::Operator, Op::Comma); return;
        case u'-': result = Item(CodeKind::Operator, Op::Minus); return;
        case u'/': result = Item(CodeKind::Operator, Op::Divide); return;
        case u':': result = Item(CodeKind::Operator, Op::Colon); return;
        case u';': result = Item(CodeKind::Operator, Op::Semicolon); return;
        case u'<': result = PairedOperator(u'=', Op::LessEqual, u'>', Op::NotEqual, Op::Less); return;
        case u'=': result = PairedOperator(u'<', Op::LessEqual, u'>', Op::GreaterEqual, Op::Equal); return;
        case u'>': result = PairedOperator(u'<', Op::NotEqual, u'=', Op::GreaterEqual, Op::Greater); return;
        case u'?': result = Item(CodeKind::Statement, St::PRINT); return;
        case u'\\': result = Item(CodeKind::Operator, Op::IntDivide); return;
        case u'^': result = Item(CodeKind::Operator, Op::Power); return;
        case u'{': result = Item(CodeKind::Operator, Op::OpenBrace); return;
        case u'}': result = Item(CodeKind::Operator, Op::CloseBrace); return;
        case u'_':
            if (!ReadLineContinuation(afterBlank)) return;
            afterBlank = true;
            continue;
        case u'.':
            if (IsOperatorItem(Rd.ScanPrevToken, Op::CloseBracket) || Rd.MemberDotMode == 1) {
                result = Item(CodeKind::Operator, Op::Period);
                return;
            }
            ReadNumberLiteral(c, result, mode);
            return;
        default: break;
        }
        if (IsDigit(c)) {
            ReadNumberLiteral(c, result, mode);
            return;
        }
        if (IsLetter(c)) {
            ReadName(c, result, mode);
            return;
        }
        // Everything else, "~" and DEL included, starts no token.
        Rd.BadCharText = QString(QChar(c));
        result = Item(CodeKind::Operator, RawOtherChar);
        RaiseError(Err::BadCharacter);
        return;
    }
}

void FinishToken(CodeItemType& token) {
    token.Position = Rd.SourcePos;
    Rd.PreviousToken = Rd.LastToken;
    Rd.LastToken = token;
}

void ScanRaw(CodeItemType& item, bool statementMarks) {
    Rd.SourceLinePos = Rd.SourcePos;
    CodeItemType result{};
    const char16_t c = ReadChar();
    switch (c) {
    case u'{': result = Item(CodeKind::Operator, Op::OpenBrace); break;
    case u'}': result = Item(CodeKind::Operator, Op::CloseBrace); break;
    case Cr:
        // A CR without LF gives nothing, and the character after it is passed over with it.
        if (ReadChar() == Lf) result = Item(CodeKind::Operator, Op::LineEnd);
        break;
    case Lf: result = Item(CodeKind::Operator, LoneLf); break;
    case Nul: break;
    case u':':
        result =
            statementMarks ? Item(CodeKind::Operator, Op::Colon) : Item(CodeKind::Operator, RawOtherChar);
        break;
    case u'\'':
        result = statementMarks ? Item(CodeKind::Operator, Op::Apostrophe)
                                : Item(CodeKind::Operator, RawOtherChar);
        break;
    default: result = Item(CodeKind::Operator, RawOtherChar); break;
    }
    FinishToken(result);
    item = result;
}

} // namespace

// ---- character reader -----------------------------------------------------------------------------

void ResetSourcePos() {
    Rd.SourcePos = 1;
    Rd.SourceLinePos = 1;
}

void ResetReaderState() {
    Rd.Reset();
}

char16_t ReadChar() {
    if (Rd.SourcePos < 1) {
        RaiseError(Err::UnexpectedLexError);
        return Nul;
    }
    const char16_t c = CharAt(Rd.SourcePos);
    ++Rd.SourcePos;
    return c;
}

char16_t ReadUpper() {
    const char16_t c = ReadChar();
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - (u'a' - u'A')) : c;
}

void UnreadChar() {
    --Rd.SourcePos;
}

void ReadWord(QString& word) {
    for (;;) {
        const char16_t c = ReadUpper();
        if (c >= FirstWideChar) {
            RaiseError(Err::WideCharInWord);
            return;
        }
        if (!IsLetter(c)) return;
        word += QChar(c);
    }
}

void ScanRawChar(CodeItemType& item) {
    ScanRaw(item, false);
}

void ScanRawStmtChar(CodeItemType& item) {
    ScanRaw(item, true);
}

bool IsStmtEnd(const CodeItemType& item) {
    if (item.FirstCode == CodeKind::None) return true;
    if (item.FirstCode != CodeKind::Operator) return false;
    if (item.SecondCode == Op::Colon || item.SecondCode == Op::LineEnd) return true;
    if (item.SecondCode == Op::Apostrophe) {
        UnreadChar();
        return true;
    }
    return false;
}

// ---- tokenizer --------------------------------------------------------------------------------------

void GetToken(CodeItemType& item, int mode) {
    // item may be ScanToken itself: take the copy before anything is written.
    Rd.ScanPrevToken = Rd.ScanToken;
    Rd.SourceLinePos = Rd.SourcePos;
    CodeItemType result{};
    ReadToken(result, mode);
    FinishToken(result);
    item = result;
}

void PeekToken(CodeItemType& item) {
    const int linePos = Rd.SourceLinePos;
    GetToken(item, TokenMode::Scan);
    Rd.SourcePos = Rd.SourceLinePos;
    Rd.SourceLinePos = linePos;
}

void PeekToken2(CodeItemType& item) {
    const int linePos = Rd.SourceLinePos;
    GetToken(item, TokenMode::LookAhead);
    Rd.SourcePos = Rd.SourceLinePos;
    Rd.SourceLinePos = linePos;
}

void GetDefToken(CodeItemType& item) {
    item = CodeItemType{};
    char16_t c = ReadUpper();
    while (c == Blank)
        c = ReadUpper();
    if (c >= FirstWideChar) {
        RaiseError(Err::WideCharInWord);
        return;
    }
    if (!IsLetter(c)) {
        Rd.BadCharText = QString(QChar(c));
        item = Item(CodeKind::Operator, RawOtherChar);
        RaiseError(Err::BadCharacter);
        return;
    }
    const int afterFirst = Rd.SourcePos;
    QString name;
    char16_t ender = Nul;
    if (!ReadNameText(c, name, ender)) return;
    AddLocalVar(name, item, afterFirst);
    if (Fe.ErrorNumber == 0 && item.FirstCode == CodeKind::None) RaiseError(Err::DefParameterTwice);
}

void AddNumCon(const QString& text, CodeItemType& item) {
    item = CodeItemType{};
    Extended value = 0.0L;
    if (!ParseDecimal(text, value)) {
        RaiseError(Err::BadNumericLiteral);
        return;
    }
    AppendNumCon(value, item);
}

void AddStrCon(const QString& text, CodeItemType& item) {
    item = CodeItemType{};
    const int at = Tb.NumofRegisteredStrCon + 1;
    if (!GrowTable(Tb.StrConTable, static_cast<std::size_t>(at))) return;
    Tb.StrConTable[static_cast<std::size_t>(at)] = text;
    Tb.NumofRegisteredStrCon = at;
    item = Item(CodeKind::StrLiteral, at);
}

// ---- keyword lookups --------------------------------------------------------------------------------

void FindOperator(const QString& name, CodeItemType& item) {
    FindKeyword(SearchOperator, CodeKind::Operator, name, item);
}

void FindBoolConst(const QString& name, CodeItemType& item) {
    if (name == u"TRUE")
        item = Item(CodeKind::BoolConst, BoolConstTrue);
    else if (name == u"FALSE")
        item = Item(CodeKind::BoolConst, BoolConstFalse);
    else
        item = CodeItemType{};
    item.Position = Rd.SourcePos;
}

void FindFunction(const QString& name, CodeItemType& item) {
    FindKeyword(SearchFunction, CodeKind::Function, name, item);
}

void FindStatement(const QString& name, CodeItemType& item) {
    FindKeyword(SearchStatement, CodeKind::Statement, name, item);
}
