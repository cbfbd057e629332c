// The text built-in functions: characters counted with surrogate pairs as one, search and replace, case,
// width and kana mapping, normalisation, number texts, VAL and SPLIT$.
#include "engine/strfunctions.h"

#include "engine/fastaccess.h"

#include "core/encodedetect.h"
#include "core/errornumbers.h"
#include "core/raiseerror.h"
#include "core/tables.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/charindex.h"
#include "engine/enginestate.h"
#include "engine/kanatables.h"
#include "engine/numberformat.h"
#include "engine/numconvert.h"
#include "platform/memorybudget.h"
#include "platform/textencoding.h"

#include <array>
#include <atomic>
#include <cfenv>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>

namespace {

// Length limits of the width and kana mappings (in UTF-16 units), kept from the mapping buffer of
// 4,099 characters the language has always used: full width may take 2,049 units, the others 4,098.
constexpr qsizetype FullWidthMaxLength = 2049;
constexpr qsizetype MappingMaxLength = 4098;
constexpr int SpaceMaxCount = 1024;
constexpr int StringRepeatMax = 255;
constexpr qsizetype LongestFormName = 4; // "NFKC", "NFKD"
// No text can be longer than a size can count; a result beyond it is refused as out of memory before
// its length is converted or allocated. Below it memory decides, and an allocation that fails is caught.
constexpr qsizetype MaxResultLength =
    std::numeric_limits<qsizetype>::max() / static_cast<qsizetype>(sizeof(char16_t));

constexpr std::int32_t FirstSupplementary = 0x10000;
constexpr std::int32_t LastCodePoint = 0x10FFFF;
constexpr Extended ByteModulus = 256.0L;
constexpr Extended UnitModulus = 65536.0L;
constexpr char16_t LastControlOrBlank = 32; // TRIM$ drops every unit up to the blank

namespace StrConvMode {
constexpr int UpperCase = 1;
constexpr int LowerCase = 2;
constexpr int ProperCase = 3;
constexpr int Wide = 4;
constexpr int Narrow = 8;
constexpr int Katakana = 16;
constexpr int Hiragana = 32;
} // namespace StrConvMode

const QString PiDigitsText = QStringLiteral("3.14159 26535 89793 23846 26433 83279 50288 41971 69399 37510");

// ---- errors ------------------------------------------------------------------------------------------

// ---- the arguments on the Gl stack -------------------------------------------------------------------

// The tag `depth` entries below the top (0 is the top); None when the stack is not that deep.
int TagAt(int depth) {
    const int index = Vs.GlTypeStack.Count - depth;
    return index >= 1 ? Vs.GlTypeStack.Items[static_cast<std::size_t>(index)] : GlValueType::None;
}

// Tests the types of a function's arguments (in source order, the last one on top). A mismatch is
// error 50011 naming the function; nothing is popped then.
bool ArgsAre(int nameId, std::initializer_list<int> tags) {
    int depth = static_cast<int>(tags.size()) - 1;
    for (const int tag : tags) {
        if (TagAt(depth) != tag) {
            RaiseError(Err::FunctionArgType, nameId);
            return false;
        }
        --depth;
    }
    return true;
}

// The string on top of the stack, not popped (the caller has tested the tag).
const QString& TopStr() {
    return Vs.GlStrStack.Items[static_cast<std::size_t>(Vs.GlStrStack.Count)];
}

QString PopStr() {
    QString s;
    GlPopStr(s);
    return s;
}

constexpr int Str = GlValueType::String;
constexpr int Num = GlValueType::Number;

// ---- numbers to integers -----------------------------------------------------------------------------

// The low bits of trunc(x) as in two's complement (x modulo `modulus`, never negative); exact for
// every finite value, also beyond the 64-bit range.
int LowBits(Extended x, Extended modulus) {
    Extended r = std::fmod(std::trunc(x), modulus);
    if (r < 0) r += modulus;
    std::int32_t out = 0;
    TruncToInt32(r, out);
    return out;
}

// A count or position argument: trunc(x) held to lo..the largest int64 (lo for every x below it); false
// only for NaN. Whole numbers of a sensible size, the usual arguments, are taken without rounding calls.
bool WholeArgument(Extended x, std::int64_t lo, std::int64_t& out) {
    constexpr Extended SureToFit = 0x1p62L;
    if (x >= static_cast<Extended>(lo) && x < SureToFit) [[likely]] {
        // Rounded in the current mode and then cut down: a cast would switch the rounding mode of
        // the floating-point unit there and back, which costs more than the rest of the call.
        std::int64_t whole = NearestInteger(x);
        if (static_cast<Extended>(whole) > x) --whole;
        out = whole;
        return true;
    }
    return TruncLimited(x, lo, std::numeric_limits<std::int64_t>::max(), out);
}

// ---- characters: a surrogate pair is one character ----------------------------------------------------

// Every UTF-16 unit once, for the texts of one unit that the substring functions return: a loop taking
// a text apart character by character would otherwise allocate a text for every character. A text
// over these units owns no memory, so copying and dropping it costs no reference count either.
constexpr std::size_t UnitCount = 0x10000;
constexpr std::array<char16_t, UnitCount> EveryUnit = [] {
    std::array<char16_t, UnitCount> units{};
    for (std::size_t u = 0; u < UnitCount; ++u)
        units[u] = static_cast<char16_t>(u);
    return units;
}();

// The units [from, from + length) of `s` as a text of their own.
QString Substring(const QString& s, qsizetype from, qsizetype length) {
    if (length == 1)
        return QString::fromRawData(reinterpret_cast<const QChar*>(&EveryUnit[s[from].unicode()]), 1);
    return s.mid(from, length);
}

// The code point of the character at `at` (a lone surrogate stands for itself).
char32_t CodePointAt(QStringView s, qsizetype at) {
    if (CharWidthAt(s, at) == 2) return QChar::surrogateToUcs4(s[at], s[at + 1]);
    return s[at].unicode();
}

void AppendCodePoint(QString& out, char32_t cp) {
    if (QChar::requiresSurrogates(cp)) {
        out += QChar(QChar::highSurrogate(cp));
        out += QChar(QChar::lowSurrogate(cp));
    } else {
        out += QChar(static_cast<char16_t>(cp));
    }
}

// Position of `what` in `s` from unit `from`, -1 when absent. An empty `what` is never found, so
// that INSTR, SPLIT$ and REPLACE$ treat it as absent rather than as found everywhere.
qsizetype FindText(QStringView s, QStringView what, qsizetype from = 0) {
    if (what.isEmpty()) return -1;
    return s.indexOf(what, from, Qt::CaseSensitive);
}

// ---- case mapping per code point (not language dependent; the length of a character is kept) ----------

enum class CaseKind { Upper, Lower, Proper };

// Word separators of proper case: the control characters of white space, the blank and the
// ideographic space.
bool SeparatesWords(char32_t c) {
    return c == 0 || (c >= 9 && c <= 13) || c == u' ' || c == 0x3000;
}

// Steps of a long result between two looks at the stop request and the budget (units or hits).
constexpr qsizetype BuildCheckInterval = 64 * 1024;

// `s` mapped into `out` character by character; a long text is weighed first and looks at the stop
// request as it goes.
BuildStep MapCase(QStringView s, CaseKind kind, QString& out) {
    out.clear();
    if (s.size() >= BuildCheckInterval) {
        const BuildStep step = CheckBuildStep(static_cast<std::size_t>(s.size()) * sizeof(char16_t));
        if (step != BuildStep::Go) return step;
    }
    out.reserve(s.size());
    bool wordStart = true;
    qsizetype nextCheck = BuildCheckInterval;
    for (qsizetype i = 0; i < s.size();) {
        if (i >= nextCheck) {
            nextCheck = i + BuildCheckInterval;
            if (const BuildStep step = CheckBuildStep(0); step != BuildStep::Go) return step;
        }
        const char32_t cp = CodePointAt(s, i);
        i += CharWidthAt(s, i);
        char32_t mapped = cp;
        switch (kind) {
        case CaseKind::Upper: mapped = QChar::toUpper(cp); break;
        case CaseKind::Lower: mapped = QChar::toLower(cp); break;
        case CaseKind::Proper:
            mapped = wordStart ? QChar::toTitleCase(cp) : QChar::toLower(cp);
            wordStart = SeparatesWords(cp);
            break;
        }
        AppendCodePoint(out, mapped);
    }
    return BuildStep::Go;
}

// Why NormalizeUnicode was last abandoned by the check it was given.
BuildStep NormalizeStep = BuildStep::Go;

bool NormalizeGoesOn(std::size_t moreBytes) {
    NormalizeStep = CheckBuildStep(moreBytes);
    return NormalizeStep == BuildStep::Go;
}

// A builder its check ended: past the budget it is the out-of-memory error; after a stop its
// arguments, pushed back by `restore`, wait for CONT to run the function again.
template <typename Restore> void EndBuilding(BuildStep step, int id, Restore restore) {
    if (step == BuildStep::OutOfMemory) return RaiseError(Err::OutOfMemory, id);
    restore();
    ResumeWithItemInHand();
}

// ---- the system code page (ASC, CHR$) ------------------------------------------------------------------

const TEncoding& SystemEncoding() {
    static const std::unique_ptr<TEncoding> encoding = [] {
        std::unique_ptr<TEncoding> e = NewSystemEncoding();
        return e ? std::move(e) : NewUtf8Encoding(false);
    }();
    return *encoding;
}

// The text of one byte read in the system code page, converted once per byte: the code page is fixed
// for the life of the process, and CHR$ in a loop would otherwise run the converter for every call.
const QString& SystemCodePageChar(std::uint8_t byte) {
    static const std::array<QString, 256> texts = [] {
        std::array<QString, 256> all;
        for (int b = 0; b < 256; ++b) {
            const char c = static_cast<char>(b);
            all[static_cast<std::size_t>(b)] = SystemEncoding().GetString(QByteArrayView(&c, 1));
        }
        return all;
    }();
    return texts[byte];
}

// The first byte of a character in the system code page (0 when it gives none).
int FirstSystemCodePageByte(QStringView character) {
    const QByteArray bytes = SystemEncoding().GetBytes(character);
    return bytes.isEmpty() ? 0 : static_cast<unsigned char>(bytes[0]);
}

// ASC's byte for every unit of one unit's character, as far as it has been asked for (0: not yet; the
// byte + 1 once known): the code page is fixed for the life of the process, and ASC in a loop would
// otherwise make a converter at every call.
std::array<std::atomic<std::uint16_t>, UnitCount> SystemCodePageByteOfUnit{};

// ---- the functions ---------------------------------------------------------------------------------------

} // namespace

// ASC(s): the first byte of s in the system code page (the lead byte of a multi-byte character).
void FnAsc() {
    if (!ArgsAre(Fn::ASC, {Str})) return;
    if (TopStr().isEmpty()) return RaiseError(Err::FunctionArgType, Fn::ASC);
    const QString s = PopStr();
    const QStringView first = QStringView(s).first(CharWidthAt(s, 0));
    if (first.size() != 1) return GlPushNum(FirstSystemCodePageByte(first));
    // A character of one unit: its byte is found once for the life of the process.
    std::atomic<std::uint16_t>& known = SystemCodePageByteOfUnit[first[0].unicode()];
    std::uint16_t byte = known.load(std::memory_order_relaxed);
    if (byte == 0) {
        byte = static_cast<std::uint16_t>(FirstSystemCodePageByte(first) + 1);
        known.store(byte, std::memory_order_relaxed);
    }
    GlPushNum(byte - 1);
}

// ASCW(s): the first UTF-16 unit.
void FnAscW() {
    if (!ArgsAre(Fn::ASCW, {Str})) return;
    if (TopStr().isEmpty()) return RaiseError(Err::FunctionArgType, Fn::ASCW);
    GlPushNum(PopStr()[0].unicode());
}

// ASCU(s): the code point of the first character. A surrogate that is not part of a pair gives its
// own unit rather than a number made up from the unit after it.
void FnAscU() {
    if (!ArgsAre(Fn::ASCU, {Str})) return;
    if (TopStr().isEmpty()) return RaiseError(Err::FunctionArgType, Fn::ASCU);
    const QString s = PopStr();
    GlPushNum(CodePointAt(s, 0));
}

// ISSURROGATE(s): whether the first unit is a surrogate.
void FnIsSurrogate() {
    if (!ArgsAre(Fn::ISSURROGATE, {Str})) return;
    if (TopStr().isEmpty()) return RaiseError(Err::FunctionArgType, Fn::ISSURROGATE);
    GlPushBool(IsSurrogate(PopStr()[0].unicode()));
}

// CHR(n), CHR$(n): the byte n (low 8 bits) read in the system code page.
void FnChr() {
    if (!ArgsAre(Fn::CHRStr, {Num})) return;
    const Extended n = GlPopNum();
    if (!std::isfinite(n)) return RaiseError(Err::FunctionArgRange, Fn::CHRStr);
    GlPushStr(ChrText(n));
}

// CHRW(n): the UTF-16 unit n (low 16 bits).
void FnChrW() {
    if (!ArgsAre(Fn::CHRW, {Num})) return;
    const Extended n = GlPopNum();
    if (!std::isfinite(n)) return RaiseError(Err::FunctionArgRange, Fn::CHRW);
    GlPushStr(QString(QChar(static_cast<char16_t>(LowBits(n, UnitModulus)))));
}

// CHRU(n): the character of code point n; below 65536 (negative values included) the unit n modulo
// 65536, above it a surrogate pair. Beyond U+10FFFF there is no character: refused.
void FnChrU() {
    if (!ArgsAre(Fn::CHRU, {Num})) return;
    const Extended n = GlPopNum();
    std::int32_t cp = 0;
    if (!TruncToInt32(n, cp) || cp > LastCodePoint) return RaiseError(Err::FunctionArgRange, Fn::CHRU);
    if (cp < FirstSupplementary) {
        GlPushStr(QString(QChar(static_cast<char16_t>(LowBits(cp, UnitModulus)))));
        return;
    }
    QString s;
    AppendCodePoint(s, static_cast<char32_t>(cp));
    GlPushStr(s);
}

// AKCNV$(s): full width; KACNV$(s): half width.
void FnWidth(int code) {
    const bool full = code == Fn::AKCNVStr;
    const int id = full ? Fn::AKCNVStr : Fn::KACNVStr;
    if (!ArgsAre(id, {Str})) return;
    const QString s = PopStr();
    if (s.size() > (full ? FullWidthMaxLength : MappingMaxLength))
        return RaiseError(Err::ConversionTooLong, id);
    GlPushStr(full ? ToFullWidth(s) : ToHalfWidth(s));
}

// STRCONV(s, mode): 1 upper case, 2 lower case, 3 proper case (the first letter of every word in
// upper case, the others in lower case), 4 full width, 8 half width, 16 katakana, 32 hiragana.
void FnStrConv() {
    if (!ArgsAre(Fn::STRCONV, {Str, Num})) return;
    const Extended modeValue = GlPopNum();
    const QString s = PopStr();
    std::int32_t mode = 0;
    if (!TruncToInt32(modeValue, mode)) return RaiseError(Err::FunctionArgRange, Fn::STRCONV);
    qsizetype limit = MappingMaxLength;
    const auto mapCase = [&](CaseKind kind) {
        QString mapped;
        const BuildStep step = MapCase(s, kind, mapped);
        if (step == BuildStep::Go) return GlPushStr(mapped);
        EndBuilding(step, Fn::STRCONV, [&] {
            GlPushStr(s);
            GlPushNum(modeValue);
        });
    };
    switch (mode) {
    case StrConvMode::UpperCase: return mapCase(CaseKind::Upper);
    case StrConvMode::LowerCase: return mapCase(CaseKind::Lower);
    case StrConvMode::ProperCase: return mapCase(CaseKind::Proper);
    case StrConvMode::Wide: limit = FullWidthMaxLength; break;
    case StrConvMode::Narrow:
    case StrConvMode::Katakana:
    case StrConvMode::Hiragana: break;
    default: return RaiseError(Err::FunctionArgRange, Fn::STRCONV);
    }
    if (s.size() > limit) return RaiseError(Err::ConversionTooLong, Fn::STRCONV);
    switch (mode) {
    case StrConvMode::Wide: return GlPushStr(ToFullWidth(s));
    case StrConvMode::Narrow: return GlPushStr(ToHalfWidth(s));
    case StrConvMode::Katakana: return GlPushStr(ToKatakana(s));
    default: return GlPushStr(ToHiragana(s));
    }
}

// NORMALIZE(s) (NFC) and NORMALIZE(s, form) with form "NFC", "NFD", "NFKC" or "NFKD" in any case.
// Another form, or a normalisation that fails, gives s unchanged.
void FnNormalize(int code) {
    int form = NormForm::NFC;
    QString s;
    QString formText;
    const bool withForm = code == NormalizeWithForm;
    if (withForm) {
        if (!ArgsAre(Fn::NORMALIZE, {Str, Str})) return;
        formText = PopStr();
        s = PopStr();
        // A text longer than the longest form's name names none (and is not worth mapping).
        QString name;
        if (formText.size() <= LongestFormName) MapCase(formText, CaseKind::Upper, name);
        if (name == u"NFC")
            form = NormForm::NFC;
        else if (name == u"NFD")
            form = NormForm::NFD;
        else if (name == u"NFKC")
            form = NormForm::NFKC;
        else if (name == u"NFKD")
            form = NormForm::NFKD;
        else
            form = 0;
    } else {
        if (!ArgsAre(Fn::NORMALIZE, {Str})) return;
        s = PopStr();
    }
    QString normalized;
    NormalizeStep = BuildStep::Go;
    if (NormalizeUnicode(s, form, normalized, NormalizeGoesOn)) return GlPushStr(normalized);
    if (NormalizeStep == BuildStep::Go) return GlPushStr(s);
    normalized = QString(); // the part done goes back before the arguments are put back
    EndBuilding(NormalizeStep, Fn::NORMALIZE, [&] {
        GlPushStr(s);
        if (withForm) GlPushStr(formText);
    });
}

// INSTR(start, s, t), KINSTR: the position of t in the part of s from unit start (below 1 counts
// as 1), counted within that part; 0 when absent.
void FnInstr() {
    if (!ArgsAre(Fn::INSTR, {Num, Str, Str})) return;
    const QString t = PopStr();
    const QString s = PopStr();
    std::int64_t start = 0;
    if (!TruncLimited(GlPopNum(), 1, static_cast<std::int64_t>(s.size()) + 1, start))
        return RaiseError(Err::FunctionArgRange, Fn::INSTR);
    const qsizetype from = static_cast<qsizetype>(start - 1);
    const qsizetype at = FindText(s, t, from);
    GlPushNum(at < 0 ? 0 : static_cast<Extended>(at - from + 1));
}

bool CountArgument(Extended n, std::int64_t& count) {
    return std::isgreaterequal(n, 0) && WholeArgument(n, 0, count);
}

// LEFT$(s, n), KLEFT$: the first n characters.
void FnLeft() {
    if (!ArgsAre(Fn::LEFTStr, {Str, Num})) return;
    const Extended n = GlPopNum();
    const QString s = PopStr();
    std::int64_t count = 0;
    if (!CountArgument(n, count)) return RaiseError(Err::ArgumentOutOfRange, Fn::LEFTStr);
    GlPushStr(Substring(s, 0, AdvanceChars(s, 0, count)));
}

// RIGHT$(s, n), KRIGHT$: the last n characters.
void FnRight() {
    if (!ArgsAre(Fn::RIGHTStr, {Str, Num})) return;
    const Extended n = GlPopNum();
    const QString s = PopStr();
    std::int64_t count = 0;
    if (!CountArgument(n, count)) return RaiseError(Err::ArgumentOutOfRange, Fn::RIGHTStr);
    // Counted back from the end: the cost is the characters taken, however long the text.
    const qsizetype from = RetreatChars(s, count);
    GlPushStr(from == 0 ? s : Substring(s, from, s.size() - from));
}

bool MidArguments(Extended startValue, Extended n, std::int64_t& start, std::int64_t& count) {
    return CountArgument(n, count) && std::isgreater(startValue, 0) && WholeArgument(startValue, 1, start);
}

// MID$(s, start, n), KMID$: n characters from character start, cut at the end of s.
void FnMid() {
    if (!ArgsAre(Fn::MIDStr, {Str, Num, Num})) return;
    const Extended n = GlPopNum();
    const Extended startValue = GlPopNum();
    std::int64_t count = 0;
    std::int64_t start = 0;
    if (!MidArguments(startValue, n, start, count)) {
        PopStr();
        return RaiseError(Err::ArgumentOutOfRange, Fn::MIDStr);
    }
    // The result takes the text's place on the stack (a loop taking a text apart calls this for
    // every character).
    QString& s = Vs.GlStrStack.Items[static_cast<std::size_t>(Vs.GlStrStack.Count)];
    const qsizetype from = CharOffset(s, start - 1);
    // A start beyond the last character also lands here, and its result is empty.
    s = Substring(s, from, AdvanceChars(s, from, count) - from);
}

// LEN(s), KLEN: the number of characters.
void FnLen() {
    if (!ArgsAre(Fn::LEN, {Str})) return;
    GlPushNum(static_cast<Extended>(CharacterCount(PopStr())));
}

// REPLACE$(s, old, new): every occurrence of old, left to right, replaced text not searched again.
void FnReplace() {
    if (!ArgsAre(Fn::REPLACEStr, {Str, Str, Str})) return;
    const QString replacement = PopStr();
    const QString old = PopStr();
    const QString s = PopStr();
    const auto stopped = [&](qsizetype steps) {
        if (steps % BuildCheckInterval != 0) return false;
        const BuildStep step = CheckBuildStep(0);
        if (step == BuildStep::Go) return false;
        EndBuilding(step, Fn::REPLACEStr, [&] {
            GlPushStr(s);
            GlPushStr(old);
            GlPushStr(replacement);
        });
        return true;
    };
    qsizetype hits = 0;
    for (qsizetype at = FindText(s, old); at >= 0; at = FindText(s, old, at + old.size()))
        if (stopped(++hits)) return;
    if (hits == 0) return GlPushStr(s);
    // Counted before building, so that a result too large for memory is refused cleanly.
    const long double length = static_cast<long double>(s.size()) +
                               static_cast<long double>(hits) * (replacement.size() - old.size());
    if (length > MaxResultLength ||
        !MemoryBudget::AllowsElements(static_cast<std::size_t>(length), sizeof(char16_t)))
        return RaiseError(Err::OutOfMemory, Fn::REPLACEStr);
    QString out;
    out.reserve(static_cast<qsizetype>(length));
    qsizetype done = 0;
    qsizetype made = 0;
    for (qsizetype at = FindText(s, old); at >= 0; at = FindText(s, old, done)) {
        out += QStringView(s).mid(done, at - done);
        out += replacement;
        done = at + old.size();
        if (stopped(++made)) return;
    }
    out += QStringView(s).mid(done);
    GlPushStr(out);
}

// TRIM$, LTRIM$, RTRIM$: without the units of code 32 or less at the ends.
void FnTrim(int id) {
    if (!ArgsAre(id, {Str})) return;
    const QString s = PopStr();
    qsizetype first = 0;
    qsizetype last = s.size();
    if (id != Fn::RTRIMStr) {
        while (first < last && s[first].unicode() <= LastControlOrBlank)
            ++first;
    }
    if (id != Fn::LTRIMStr) {
        while (last > first && s[last - 1].unicode() <= LastControlOrBlank)
            --last;
    }
    GlPushStr(s.mid(first, last - first));
}

// UCASE$(s), LCASE$(s).
void FnCase(int id) {
    if (!ArgsAre(id, {Str})) return;
    const QString s = PopStr();
    QString mapped;
    const BuildStep step = MapCase(s, id == Fn::UCASEStr ? CaseKind::Upper : CaseKind::Lower, mapped);
    if (step == BuildStep::Go) return GlPushStr(mapped);
    EndBuilding(step, id, [&] { GlPushStr(s); });
}

// SPACE$(n), SPC(n): trunc(abs(n)) blanks; abs(n) above 1024 is error 1026.
void FnSpace() {
    if (!ArgsAre(Fn::SPACEStr, {Num})) return;
    const Extended n = std::fabs(GlPopNum());
    if (!std::islessequal(n, SpaceMaxCount)) {
        RaiseError(Err::SpaceArgument);
        return;
    }
    GlPushStr(QString(static_cast<qsizetype>(std::trunc(n)), u' '));
}

// STRING$(n, c): c (a unit code or a text) repeated trunc(n) times, n limited to 0..255.
void FnString() {
    const int charTag = TagAt(0);
    if (charTag != Num && charTag != Str) return RaiseError(Err::FunctionArgType, Fn::STRINGStr);
    if (TagAt(1) != Num) return RaiseError(Err::FunctionArgType, Fn::STRINGStr);
    QString piece;
    bool pieceOk = true;
    if (charTag == Str) {
        piece = PopStr();
    } else {
        std::int32_t unit = 0;
        pieceOk = TruncToInt32(GlPopNum(), unit) && unit >= 0 && unit < FirstSupplementary;
        if (pieceOk) piece = QString(QChar(static_cast<char16_t>(unit)));
    }
    std::int64_t count = 0;
    if (!TruncLimited(GlPopNum(), 0, StringRepeatMax, count) || !pieceOk)
        return RaiseError(Err::FunctionArgRange, Fn::STRINGStr);
    if (static_cast<long double>(piece.size()) * count > MaxResultLength ||
        !MemoryBudget::AllowsElements(
            static_cast<std::size_t>(piece.size()) * static_cast<std::size_t>(count), sizeof(char16_t)))
        return RaiseError(Err::OutOfMemory, Fn::STRINGStr);
    GlPushStr(piece.repeated(static_cast<qsizetype>(count)));
}

// STR$(x): the number text of PRINT.
void FnStr() {
    if (!ArgsAre(Fn::STRStr, {Num})) return;
    GlPushStr(FormatNumber(GlPopNum()));
}

// HEX$(x): trunc(x) as a signed 64-bit number in hexadecimal; negative numbers in two's complement.
void FnHex() {
    if (!ArgsAre(Fn::HEXStr, {Num})) return;
    std::int64_t v = 0;
    if (!TruncToInt64(GlPopNum(), v)) return RaiseError(Err::FunctionFailed, Fn::HEXStr);
    GlPushStr(QString::number(static_cast<std::uint64_t>(v), 16).toUpper());
}

// FLOATTOSTR(x): "d.<17 digits>E+dddd".
void FnFloatToStr() {
    if (!ArgsAre(Fn::FLOATTOSTR, {Num})) return;
    QString text;
    if (!ScientificText18(GlPopNum(), text)) return RaiseError(Err::FunctionFailed, Fn::FLOATTOSTR);
    GlPushStr(text);
}

// FLOATTOSTRBIN(x): "+ 2^(e)*1." and the 63 fraction bits of the 80-bit value.
void FnFloatToStrBin() {
    if (!ArgsAre(Fn::FLOATTOSTRBIN, {Num})) return;
    const Extended x = GlPopNum();
    // The x87 layout: a 64-bit mantissa with an explicit integer bit, then sign and 15-bit exponent.
    static_assert(LDBL_MANT_DIG == 64 && sizeof(Extended) >= 10);
    constexpr int FractionBits = 63;
    constexpr int ExponentBias = 16383;
    constexpr std::uint16_t ExponentMask = 0x7FFF;
    constexpr std::uint16_t SignMask = 0x8000;
    unsigned char raw[sizeof(Extended)] = {};
    std::memcpy(raw, &x, sizeof x);
    std::uint64_t mantissa = 0;
    std::uint16_t signExponent = 0;
    std::memcpy(&mantissa, raw, sizeof mantissa);
    std::memcpy(&signExponent, raw + sizeof mantissa, sizeof signExponent);
    QString text = (signExponent & SignMask) ? QStringLiteral("- ") : QStringLiteral("+ ");
    text += u"2^(";
    text += QString::number(static_cast<int>(signExponent & ExponentMask) - ExponentBias);
    text += u")*1.";
    for (int bit = FractionBits - 1; bit >= 0; --bit)
        text += ((mantissa >> bit) & 1U) ? u'1' : u'0';
    GlPushStr(text);
}

// VAL(s).
void FnVal() {
    if (!ArgsAre(Fn::VAL, {Str})) return;
    GlPushNum(ValText(PopStr()));
}

// SPLIT$(variable, d): the compiler passes the variable's index in StrVarTable (0 for none) below its
// value. The result is the text before the first d; the variable keeps the text after it, or "" when
// d does not occur.
void FnSplit() {
    if (!ArgsAre(Fn::SPLITStr, {Num, Str, Str})) return;
    const QString delimiter = PopStr();
    const QString value = PopStr();
    std::int32_t index = 0;
    if (!RoundToInt32(GlPopNum(), index)) index = 0;
    const qsizetype at = FindText(value, delimiter);
    if (index > 0 && index <= Tb.NumofRegisteredStrVar &&
        static_cast<std::size_t>(index) < Tb.StrVarTable.size()) {
        Tb.StrVarTable[static_cast<std::size_t>(index)].Value =
            at < 0 ? QString() : value.mid(at + delimiter.size());
    }
    GlPushStr(at < 0 ? value : value.left(at));
}

void FnPiText() {
    GlPushStr(PiDigitsText);
}

namespace {

// ---- VAL
// ---------------------------------------------------------------------------------------------------

constexpr int HexPrefixMinLength = 3; // "&H" and at least one digit
constexpr int HexBase = 16;

char16_t AsciiUpper(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - (u'a' - u'A')) : c;
}
bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

Extended HexValText(QStringView digits) {
    Extended value = 0;
    for (const QChar ch : digits) {
        const char16_t c = AsciiUpper(ch.unicode());
        int digit = 0;
        if (IsDigit(c))
            digit = c - u'0';
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return 0;
        // So many digits that the next would pass the largest number: not a number VAL can give.
        if (value > LDBL_MAX / HexBase) return 0;
        value = value * HexBase + digit;
    }
    return value;
}

// A decimal number in the language's syntax: [blanks] [sign] digits [. digits] [E [sign] digits], with
// at least one mantissa digit (".5" and "5." are numbers). Anything else, or a number beyond the
// range of the 80-bit format, is 0.
Extended DecimalValText(QStringView s) {
    qsizetype i = 0;
    std::string ascii; // what std::from_chars reads: no blanks, no "+"
    ascii.reserve(static_cast<std::size_t>(s.size()));
    const auto takeSign = [&](bool keepPlus) {
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
            if (s[i] == u'-' || keepPlus) ascii += static_cast<char>(s[i].unicode());
            ++i;
        }
    };
    const auto takeDigits = [&] {
        const qsizetype first = i;
        for (; i < s.size() && IsDigit(s[i].unicode()); ++i)
            ascii += static_cast<char>(s[i].unicode());
        return i - first;
    };

    while (i < s.size() && s[i] == u' ')
        ++i;
    takeSign(false);
    qsizetype mantissaDigits = takeDigits();
    if (i < s.size() && s[i] == u'.') {
        ascii += '.';
        ++i;
        mantissaDigits += takeDigits();
    }
    if (mantissaDigits == 0) return 0;
    if (i < s.size() && AsciiUpper(s[i].unicode()) == u'E') {
        ascii += 'e';
        ++i;
        takeSign(true);
        if (takeDigits() == 0) return 0;
    }
    if (i != s.size()) return 0;

    // A number beyond the range would leave the overflow flag set, which the arithmetic that follows
    // would take for its own fault: the flags are kept as they were.
    std::fexcept_t flags;
    std::fegetexceptflag(&flags, FE_ALL_EXCEPT);
    Extended value = 0;
    const auto result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    std::fesetexceptflag(&flags, FE_ALL_EXCEPT);
    if (result.ec != std::errc() || result.ptr != ascii.data() + ascii.size()) return 0;
    return value;
}

} // namespace

Extended ValText(const QString& text) {
    if (text.size() >= HexPrefixMinLength && text[0] == u'&' && AsciiUpper(text[1].unicode()) == u'H')
        return HexValText(QStringView(text).mid(2));
    return DecimalValText(text);
}

const QString& ChrText(Extended n) {
    // 0 to 255 is its own low byte once the fraction is cut off; that spares fmod for every character.
    if (n >= 0 && n < ByteModulus) {
        std::int64_t whole = NearestInteger(n);
        if (static_cast<Extended>(whole) > n) --whole; // rounded up: the fraction is cut off instead
        return SystemCodePageChar(static_cast<std::uint8_t>(whole));
    }
    return SystemCodePageChar(static_cast<std::uint8_t>(LowBits(n, ByteModulus)));
}
