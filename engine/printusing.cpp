// The PRINT USING format language: the walk over the format, its string and numeric fields with their
// exact rounding, and the PRINT USING executor.
#include "engine/printusing.h"

#include "core/errornumbers.h"
#include "core/raiseerror.h"
#include "core/sharedstate.h"
#include "core/valuestack.h"
#include "engine/printline.h"
#include "platform/textencoding.h"

#include <algorithm>
#include <bitset>
#include <charconv>
#include <cmath>
#include <memory>
#include <new>
#include <string>

namespace {

// Marks that open a field in the walk over the format.
constexpr char16_t FirstCharMark = u'!';  // the first character of the string
constexpr char16_t BlankFieldMark = u'&'; // "&", blanks, "&": as many characters as the field is wide
constexpr char16_t WholeStringMark = u'@';
constexpr char16_t EscapeMark = u'_'; // the character after it is text
constexpr char16_t DigitMark = u'#';
constexpr char16_t AsteriskMark = u'*';
constexpr char16_t PlusMark = u'+';
constexpr char16_t YenMark = u'\\'; // the currency sign (a yen sign in Japanese fonts)
// Marks that only continue a numeric field.
constexpr char16_t PointMark = u'.';
constexpr char16_t CommaMark = u',';
constexpr char16_t ExponentMark = u'^';
constexpr char16_t MinusMark = u'-';
constexpr char16_t ZeroMark = u'0';
constexpr char16_t Blank = u' ';
constexpr char16_t OverflowMark = u'%';

// The numeric lead marks count only this near the start of the field (1-based positions).
constexpr qsizetype SignLeadPosition = 1;
constexpr qsizetype AsteriskLeadLast = 2;
constexpr qsizetype ZeroLeadPosition = 2;
constexpr qsizetype YenLeadLast = 3;

constexpr int GroupSize = 3; // digits between thousands commas

// Exponent notation: at most the 18 significant digits an 80-bit number carries, and at least two
// exponent digits.
constexpr int MaxExponentDecimals = 17;
constexpr int MinExponentDigits = 2;
// An 80-bit number is f x 2^e with a 64-bit f in [0.5, 1): its binary fraction has at most 64 - e bits,
// and so at most that many decimal digits after the point.
constexpr int MantissaBits = 64;
// Room in the digit buffer beyond the digits themselves (sign, point, rounding).
constexpr std::size_t DigitBufferMargin = 16;

constexpr char16_t FirstNonAscii = 0x80;
constexpr char16_t FirstSurrogate = 0xD800;
constexpr char16_t LastSurrogate = 0xDFFF;
constexpr std::size_t CodeUnitCount = 0x10000;
constexpr qsizetype DoubleByteLength = 2;

bool IsStringFieldStart(QChar c) {
    const char16_t u = c.unicode();
    return u == FirstCharMark || u == BlankFieldMark || u == WholeStringMark || u == EscapeMark;
}

bool IsNumericFieldStart(QChar c) {
    const char16_t u = c.unicode();
    return u == DigitMark || u == AsteriskMark || u == PlusMark || u == YenMark;
}

// Every BMP character that Shift-JIS writes with two bytes. Built once, on the first non-ASCII
// character a format holds.
std::bitset<CodeUnitCount> BuildDoubleByteTable() {
    std::bitset<CodeUnitCount> table;
    const std::unique_ptr<TEncoding> shiftJis = NewCodePageEncoding(CodePage::ShiftJis);
    if (!shiftJis) return table;
    const std::unique_ptr<TextEncoder> encoder = shiftJis->NewEncoder();
    for (std::size_t u = FirstNonAscii; u < CodeUnitCount; ++u) {
        if (u >= FirstSurrogate && u <= LastSurrogate) continue;
        const char16_t c = static_cast<char16_t>(u);
        if (encoder->Encode(QStringView(&c, 1), true).size() == DoubleByteLength) table.set(u);
    }
    return table;
}

// ---- number texts ------------------------------------------------------------------------------------

// The exact decimal expansion of a finite magnitude: the integer digits ("0" when there are none) and
// every fractional digit up to the last one that can be non-zero. Exact digits let the field round a
// half away from zero, as the general number format does, instead of to the even neighbour.
struct ExactExpansion {
    std::string Integer;
    std::string Fraction;
};

ExactExpansion ExpandExactly(Extended magnitude) {
    int binaryExponent = 0;
    std::frexp(magnitude, &binaryExponent);
    const int fractionDigits = std::max(0, MantissaBits - binaryExponent);
    // 2^e has fewer than e / 3 + 1 decimal digits.
    const std::size_t integerDigits = static_cast<std::size_t>(std::max(1, binaryExponent / 3 + 1));
    std::string buffer(integerDigits + static_cast<std::size_t>(fractionDigits) + DigitBufferMargin, '\0');
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                      std::chars_format::fixed, fractionDigits);
    buffer.resize(static_cast<std::size_t>(result.ptr - buffer.data()));
    ExactExpansion out;
    const std::size_t point = buffer.find('.');
    if (point == std::string::npos) {
        out.Integer = std::move(buffer);
    } else {
        out.Integer = buffer.substr(0, point);
        out.Fraction = buffer.substr(point + 1);
    }
    return out;
}

// Adds one unit in the last place of a digit string; true when it carried out of the first digit
// (the string is then all zeros and a "1" belongs in front).
bool IncrementDigits(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return false;
        }
        *it = '0';
    }
    return true;
}

QString NonFiniteText(Extended x) {
    if (std::isnan(x)) return QStringLiteral("NAN");
    return x < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

// Fixed notation with exactly `decimals` digits after the point (no point for 0), a "-" for a negative
// value and nothing in front of a positive one.
QString FixedText(Extended x, qsizetype decimals) {
    if (!std::isfinite(x)) return NonFiniteText(x);
    const ExactExpansion exact = ExpandExactly(std::fabs(x));
    const std::size_t kept = static_cast<std::size_t>(decimals);
    std::string digits = exact.Integer;
    if (kept >= exact.Fraction.size()) {
        // Every digit beyond the exact expansion is a zero, however many the field asks for.
        digits += exact.Fraction;
        digits.append(kept - exact.Fraction.size(), '0');
    } else {
        digits.append(exact.Fraction, 0, kept);
        if (exact.Fraction[kept] >= '5' && IncrementDigits(digits)) digits.insert(digits.begin(), '1');
    }
    const std::size_t integerLength = digits.size() - kept;
    QString text;
    text.reserve(static_cast<qsizetype>(digits.size()) + 2);
    if (x < 0) text += QLatin1Char('-');
    text += QLatin1StringView(digits.data(), static_cast<qsizetype>(integerLength));
    if (kept > 0) {
        text += QLatin1Char('.');
        text += QLatin1StringView(digits.data() + integerLength, static_cast<qsizetype>(kept));
    }
    return text;
}

// Exponent notation in at most `width` characters: one digit before the point, as many decimals as
// the width leaves room for (at most 17, so 18 significant digits), "E", the exponent's sign and at
// least two exponent digits; a "-" in front of a negative value takes one place. Without room for a
// decimal the point is left out ("1E+03"); a width too small even for that gives the shortest text,
// which the field then reports as an overflow. A width that is too large leaves the text shorter.
//   ##.##^^^^ (9 places, text width 8):  1234.5 -> "1.23E+03",  -1234.5 -> "-1.2E+03"
QString ExponentText(Extended x, qsizetype width) {
    if (!std::isfinite(x)) return NonFiniteText(x);
    const ExactExpansion exact = ExpandExactly(std::fabs(x));
    const std::string all = exact.Integer + exact.Fraction;
    const std::size_t first = all.find_first_not_of('0');
    const bool zero = first == std::string::npos;
    const int baseExponent = zero ? 0 : static_cast<int>(exact.Integer.size()) - static_cast<int>(first) - 1;

    QString text;
    for (int decimals = MaxExponentDecimals; decimals >= 0; --decimals) {
        const std::size_t count = static_cast<std::size_t>(decimals) + 1;
        std::string digits(count, '0');
        int exponent = baseExponent;
        if (!zero) {
            const std::string significant = all.substr(first, count);
            std::copy(significant.begin(), significant.end(), digits.begin());
            const std::size_t next = first + count;
            if (next < all.size() && all[next] >= '5' && IncrementDigits(digits)) {
                digits[0] = '1'; // 9.99 became 10.0: one more power of ten
                ++exponent;
            }
        }
        QString exponentDigits = QString::number(std::abs(exponent));
        if (exponentDigits.size() < MinExponentDigits)
            exponentDigits.prepend(QString(MinExponentDigits - exponentDigits.size(), QLatin1Char('0')));

        text.clear();
        if (x < 0) text += QLatin1Char('-');
        text += QLatin1Char(digits[0]);
        if (decimals > 0) {
            text += QLatin1Char('.');
            text += QLatin1StringView(digits.data() + 1, decimals);
        }
        text += QLatin1Char('E');
        text += exponent < 0 ? QLatin1Char('-') : QLatin1Char('+');
        text += exponentDigits;
        if (text.size() <= width) break;
    }
    return text;
}

// What the characters of a numeric field ask for.
struct NumericField {
    QString Lead;        // "+", "*", "**", "*0", "\", "**\" ... from the start of the field
    char16_t Trail = 0;  // a trailing "+" or "-", 0 for none
    qsizetype Width = 0; // the characters the field takes
    qsizetype Decimals = 0;
    bool Point = false;
    bool Grouping = false;
    bool Exponent = false;
};

// Reads the field that starts at `index`; `index` moves to its last character.
NumericField ScanNumericField(const QString& format, qsizetype& index, qsizetype length) {
    NumericField field;
    qsizetype last = index;
    for (qsizetype j = index; j < length; ++j) {
        const qsizetype position = j - index + 1;
        const char16_t c = format[j].unicode();
        if (c == DigitMark) {
            if (field.Point) ++field.Decimals;
        } else if (c == PointMark) {
            field.Point = true;
        } else if (c == CommaMark) {
            field.Grouping = true;
        } else if (c == ExponentMark) {
            field.Exponent = true;
        } else if (c == PlusMark || c == MinusMark) {
            if (position == SignLeadPosition)
                field.Lead += QChar(c);
            else
                field.Trail = c;
        } else if (c == AsteriskMark) {
            if (position <= AsteriskLeadLast) field.Lead += QChar(c);
        } else if (c == ZeroMark) {
            if (position != ZeroLeadPosition) break;
            field.Lead += QChar(c);
        } else if (c == YenMark) {
            if (position <= YenLeadLast) field.Lead += QChar(c);
        } else {
            break;
        }
        last = j;
    }
    field.Width = last - index + 1;
    index = last;
    return field;
}

// Pads a field's text on the left to `width` characters, as the lead marks ask: "**" fills with
// asterisks, "*0" with zeros, any other lead starting with "*" leaves the text as it is, and every
// other field is filled with blanks.
QString PadNumericText(const QString& text, const QString& lead, qsizetype width) {
    const qsizetype missing = width - text.size();
    if (missing <= 0) return text;
    const bool asteriskLead = lead.startsWith(QChar(AsteriskMark));
    const QChar second = lead.size() > 1 ? lead[1] : QChar();
    if (asteriskLead && second == QChar(AsteriskMark)) return QString(missing, QChar(AsteriskMark)) + text;
    if (asteriskLead && second == QChar(ZeroMark)) {
        // Zeros belong between a leading sign or currency sign and the digits: "-005", not "00-5".
        qsizetype digitsStart = 0;
        while (digitsStart < text.size() &&
               (text[digitsStart] == QChar(MinusMark) || text[digitsStart] == QChar(PlusMark) ||
                text[digitsStart] == QChar(YenMark)))
            ++digitsStart;
        QString padded = text;
        padded.insert(digitsStart, QString(missing, QChar(ZeroMark)));
        return padded;
    }
    if (asteriskLead) return text;
    return QString(missing, QChar(Blank)) + text;
}

// The walk over the format. Literal text is held back until the next field or the end of the format,
// so a failing field leaves out the text in front of it only when that text was already written.
bool WalkFormat(const QString& format, QString& out, bool widePairs) {
    const qsizetype length = format.size();
    QString pending;
    QString field;
    for (qsizetype i = 0; i < length; ++i) {
        const QChar c = format[i];
        if (widePairs && IsDoubleByteChar(c)) {
            // A full-width character and the character after it are text: a mark right after a kanji
            // does not open a field.
            pending += c;
            if (i + 1 < length) pending += format[++i];
            continue;
        }
        bool ok = true;
        if (IsStringFieldStart(c)) {
            out += pending;
            pending.clear();
            ok = ScanUsingField(format, i, length, field);
        } else if (IsNumericFieldStart(c)) {
            out += pending;
            pending.clear();
            ok = FormatPrintUsing(format, i, length, field);
        } else {
            pending += c;
            continue;
        }
        if (!ok) return false;
        out += field;
    }
    out += pending;
    return true;
}

// The checks every field scanner makes on its arguments: a position inside the format.
bool FieldIndexValid(const QString& format, qsizetype index, qsizetype& length) {
    length = std::min(length, format.size());
    if (index >= 0 && index < length) return true;
    RaiseError(Err::UnexpectedRunError);
    return false;
}

} // namespace

bool IsDoubleByteChar(QChar c) {
    if (c.unicode() < FirstNonAscii) return false;
    static const std::bitset<CodeUnitCount> table = BuildDoubleByteTable();
    return table.test(c.unicode());
}

QString SplitNumberText(const QString& text) {
    qsizetype point = text.indexOf(QChar(PointMark));
    if (point < 0) point = text.size();
    // A sign in front is not a digit: "-123,456", never "-,123,456".
    qsizetype start = 0;
    while (start < point && (text[start] == QChar(MinusMark) || text[start] == QChar(PlusMark)))
        ++start;
    const qsizetype digits = point - start;
    if (digits <= GroupSize) return text;

    QString out;
    out.reserve(text.size() + digits / GroupSize);
    out += QStringView(text).first(start);
    for (qsizetype j = start; j < point; ++j) {
        const qsizetype fromRight = point - j; // 1 for the last digit of the integer part
        if (j > start && fromRight % GroupSize == 0) out += QChar(CommaMark);
        out += text[j];
    }
    out += QStringView(text).sliced(point);
    return out;
}

bool ScanUsingField(const QString& format, qsizetype& index, qsizetype length, QString& result) {
    if (!FieldIndexValid(format, index, length)) return false;
    const char16_t first = format[index].unicode();
    if (first == EscapeMark) {
        if (index + 1 >= length) {
            RaiseError(Err::UsingUnderscore);
            return false;
        }
        result = QString(format[++index]);
        return true;
    }

    qsizetype width = 1;
    if (first == BlankFieldMark) {
        // Blanks widen the field; a second "&" closes it; anything else ends it before that character.
        while (index + 1 < length) {
            const char16_t next = format[index + 1].unicode();
            if (next != Blank && next != BlankFieldMark) break;
            ++index;
            ++width;
            if (next == BlankFieldMark) break;
        }
    } else if (first != FirstCharMark && first != WholeStringMark) {
        RaiseError(Err::UnexpectedRunError);
        return false;
    }

    if (GlTopType() != GlValueType::String) {
        RaiseError(Err::UsingFieldType);
        return false;
    }
    QString value;
    GlPopStr(value);
    if (first == WholeStringMark) {
        result = std::move(value);
    } else if (value.size() >= width) {
        result = value.first(width);
    } else {
        // Shorter strings are padded with blanks to the full width of the field, however wide it is.
        result = value + QString(width - value.size(), QChar(Blank));
    }
    return true;
}

bool FormatPrintUsing(const QString& format, qsizetype& index, qsizetype length, QString& result) {
    if (!FieldIndexValid(format, index, length)) return false;
    qsizetype scanIndex = index;
    NumericField field = ScanNumericField(format, scanIndex, length);
    index = scanIndex;
    if (field.Lead.startsWith(QChar(PlusMark))) field.Trail = 0;

    if (GlTopType() != GlValueType::Number) {
        RaiseError(Err::UsingFieldType);
        return false;
    }
    Extended x = GlPopNum();
    if (x == 0) x = 0; // no "-0"

    QChar trail;
    if (field.Trail == PlusMark) {
        trail = QChar(PlusMark);
        if (x < 0) {
            x = -x;
            trail = QChar(MinusMark);
        }
    } else if (field.Trail == MinusMark) {
        trail = QChar(MinusMark);
        if (x < 0)
            x = -x;
        else
            trail = QChar(Blank);
    }

    // The exponent form leaves one place of the field for a sign in front or behind.
    QString text = field.Exponent ? ExponentText(x, field.Width - 1) : FixedText(x, field.Decimals);
    if (field.Grouping) text = SplitNumberText(text);
    if (!trail.isNull()) text += trail;
    if (field.Lead == QChar(PlusMark) && x > 0) text.prepend(QChar(PlusMark));
    if (field.Lead == QChar(YenMark) || (field.Lead.size() > 2 && field.Lead[2] == QChar(YenMark)))
        text.prepend(QChar(YenMark));

    if (text.size() > field.Width)
        result = QChar(OverflowMark) + text;
    else
        result = PadNumericText(text, field.Lead, field.Width);
    return true;
}

bool FormatUsing(const QString& format, QString& out, UsingWidePairs widePairs) {
    try {
        return WalkFormat(format, out, widePairs == UsingWidePairs::Keep);
    } catch (const std::bad_alloc&) { // a field as wide as a huge format
        RaiseError(Err::OutOfMemory);
        return false;
    }
}

bool PopUsingFormat(QString& format) {
    if (GlTopType() != GlValueType::String) {
        RaiseError(Err::UnexpectedParseError);
        return false;
    }
    GlPopStr(format);
    return true;
}

// PRINT USING format; value; value ...
void ExecPrintUsing() {
    QString format;
    if (!PopUsingFormat(format)) return;
    QString text;
    FormatUsing(format, text);
    AppendPrintText(text);
}
