// The text encodings over ICU converters: the converter for each code page, invalid bytes and unmappable
// characters as "?", and the UTF-16, UTF-32 and ISO-2022-JP encodings.
#include "platform/textencoding.h"

#include "platform/halfwidthkana.h"

#include <unicode/normalizer2.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/unistr.h>

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>
#include <utility>

namespace {

constexpr int DecodeBufferUnits = 2048;
constexpr int EncodeBufferBytes = 4096;
constexpr int Utf16UnitBytes = 2;
constexpr int Utf32UnitBytes = 4;
constexpr char32_t LastCodePoint = 0x10FFFF;
constexpr char32_t FirstSupplementary = 0x10000;

// Byte-order marks.
const QByteArray Utf8Bom("\xEF\xBB\xBF", 3);
const QByteArray Utf16LEBom("\xFF\xFE", 2);
const QByteArray Utf16BEBom("\xFE\xFF", 2);
const QByteArray Utf32LEBom("\xFF\xFE\x00\x00", 4);
const QByteArray Utf32BEBom("\x00\x00\xFE\xFF", 4);

// ICU converters. ISO-2022-JP is read with the JIS7 variant, a superset that also understands the
// half-width katakana set (ESC ( I and SO/SI) and JIS X 0212 (ESC $ ( D), which files in the wild use;
// it is written as plain ISO-2022-JP.
constexpr const char* ShiftJisConverter = "windows-31j";
constexpr const char* EucJpConverter = "EUC-JP";
constexpr const char* Iso2022JpWriteConverter = "ISO-2022-JP";
constexpr const char* Iso2022JpReadConverter = "ISO_2022,locale=ja,version=3";
constexpr const char* Utf8Converter = "UTF-8";

// Windows code page numbers that do not follow the "windows-<n>" / "ibm-<n>" naming of ICU.
struct CodePageName {
    int codePage;
    const char* converter;
};
constexpr CodePageName NamedCodePages[] = {
    {CodePage::ShiftJis, ShiftJisConverter},
    {CodePage::EucJp, EucJpConverter},
    {51932, EucJpConverter},
    {CodePage::Ascii, "US-ASCII"},
    {CodePage::Utf8, Utf8Converter},
    {65000, "UTF-7"},
    {2, "macintosh"},
    {10000, "macintosh"},
    {20866, "KOI8-R"},
    {21866, "KOI8-U"},
    {51949, "EUC-KR"},
    {52936, "HZ-GB-2312"},
    {54936, "GB18030"},
    {28591, "ISO-8859-1"},
    {28592, "ISO-8859-2"},
    {28593, "ISO-8859-3"},
    {28594, "ISO-8859-4"},
    {28595, "ISO-8859-5"},
    {28596, "ISO-8859-6"},
    {28597, "ISO-8859-7"},
    {28598, "ISO-8859-8"},
    {28599, "ISO-8859-9"},
    {28603, "ISO-8859-13"},
    {28605, "ISO-8859-15"},
    {38598, "ISO-8859-8-I"},
};

// Further Windows spellings of "the system's code page" (on this platform there is only one).
constexpr int OemCodePage = 1;
constexpr int ThreadCodePage = 3;
// The ISO-2022-JP variants that may write half-width katakana; they are written widened like 50220.
constexpr int Iso2022JpKanaEsc = 50221;
constexpr int Iso2022JpKanaSO = 50222;

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// --- Half-width katakana for ISO-2022-JP ---------------------------------------------------------
// ISO-2022-JP has no half-width katakana, so they are widened before encoding; a base followed by a
// voiced or semi-voiced mark becomes the one voiced character (ｶﾞ -> ガ), as a reader expects.

constexpr char16_t FullwidthU = 0x30A6;  // ウ
constexpr char16_t FullwidthVu = 0x30F4; // ヴ

bool IsHalfwidthKana(char16_t c) {
    return c >= FirstHalfwidthKana && c <= LastHalfwidthKana;
}
bool IsHalfwidthMark(char16_t c) {
    return c == HalfwidthVoicedMark || c == HalfwidthSemiVoicedMark;
}

// Full-width katakana whose voiced form follows them directly (カ -> ガ): the K, S, T and H rows.
// Only ever asked about characters of the table above, so the small ッ is the one gap to leave out.
bool TakesVoicedMark(char16_t c) {
    return (c >= 0x30AB && c <= 0x30C8 && c != 0x30C3) ||
           (c >= 0x30CF && c <= 0x30DB && (c - 0x30CF) % 3 == 0);
}
// The H row, whose semi-voiced form is two further on (ハ -> パ).
bool TakesSemiVoicedMark(char16_t c) {
    return c >= 0x30CF && c <= 0x30DB && (c - 0x30CF) % 3 == 0;
}

QString WidenHalfwidthKana(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (!IsHalfwidthKana(c)) {
            out.append(QChar(c));
            continue;
        }
        char16_t wide = FullwidthKana[c - FirstHalfwidthKana];
        const char16_t next = i + 1 < text.size() ? text[i + 1].unicode() : 0;
        if (next == HalfwidthVoicedMark && wide == FullwidthU) {
            wide = FullwidthVu;
            ++i;
        } else if (next == HalfwidthVoicedMark && TakesVoicedMark(wide)) {
            wide += 1;
            ++i;
        } else if (next == HalfwidthSemiVoicedMark && TakesSemiVoicedMark(wide)) {
            wide += 2;
            ++i;
        }
        out.append(QChar(wide));
    }
    return out;
}

// --- ICU converters ------------------------------------------------------------------------------

// Reads every byte sequence that is not valid, or has no Unicode mapping, as "?".
void SubstituteToUnicode(const void*, UConverterToUnicodeArgs* args, const char*, int32_t,
                         UConverterCallbackReason reason, UErrorCode* err) {
    if (reason > UCNV_IRREGULAR) return; // reset, close and clone need nothing
    *err = U_ZERO_ERROR;
    const UChar substitute = SubstitutionChar;
    ucnv_cbToUWriteUChars(args, &substitute, 1, 0, err);
}

// Opens a converter set up the same way for every use: "?" both ways, and the best-fit mappings of
// the code page (¥ to 5C, the wave dash to its Shift-JIS code) so that text moved between the
// Japanese code pages keeps its characters. Null when ICU does not know the name.
UConverter* OpenConverter(const char* name) {
    UErrorCode err = U_ZERO_ERROR;
    UConverter* conv = ucnv_open(name, &err);
    if (U_FAILURE(err)) return nullptr;
    const UChar substitute = SubstitutionChar;
    ucnv_setSubstString(conv, &substitute, 1, &err);
    ucnv_setToUCallBack(conv, SubstituteToUnicode, nullptr, nullptr, nullptr, &err);
    ucnv_setFallback(conv, true);
    if (U_FAILURE(err)) {
        ucnv_close(conv);
        return nullptr;
    }
    return conv;
}

struct ConverterCloser {
    void operator()(UConverter* conv) const { ucnv_close(conv); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// Converts one piece through ICU in buffer-sized steps: `step` is ucnv_toUnicode or ucnv_fromUnicode,
// `reset` its reset, `Unit` the unit it writes. A failure, not expected with the substituting callback,
// is marked with one substitution character and starts the converter afresh.
template <typename Unit, std::size_t BufferUnits, typename Source, typename Step, typename Out>
void ConvertPiece(UConverter* conv, Step step, void (*reset)(UConverter*), const Source* src,
                  const Source* srcEnd, bool last, Out& out) {
    using View = std::conditional_t<std::is_same_v<Unit, char>, QByteArrayView, QStringView>;
    std::array<Unit, BufferUnits> buffer;
    for (;;) {
        Unit* target = buffer.data();
        UErrorCode err = U_ZERO_ERROR;
        step(conv, &target, buffer.data() + buffer.size(), &src, srcEnd, nullptr, last, &err);
        out.append(View(buffer.data(), target - buffer.data()));
        if (err == U_BUFFER_OVERFLOW_ERROR) continue;
        if (U_FAILURE(err)) {
            reset(conv);
            out.append(static_cast<Unit>(SubstitutionChar));
        }
        return;
    }
}

// ICU reads a null source pointer as a bad argument even when the length is zero.
const char* NonNullBytes(QByteArrayView bytes) {
    static const char empty = 0;
    return bytes.isEmpty() ? &empty : bytes.data();
}

class IcuDecoder final : public TextDecoder {
public:
    IcuDecoder(const std::string& converter, QByteArray preamble)
        : TextDecoder(std::move(preamble)), FConv(OpenConverter(converter.c_str())),
          FAsciiAsIs(converter == Utf8Converter) {}

protected:
    void DecodePiece(QByteArrayView bytes, bool last, QString& out) override {
        if (!FConv) {
            out.append(QString(bytes.size(), QChar(SubstitutionChar)));
            return;
        }
        if (!FAsciiAsIs) {
            Convert(bytes, last, out);
            return;
        }
        // UTF-8 text is mostly ASCII, which stands for itself: runs of it are widened directly, and
        // only the bytes between go through the converter, each stretch with the ASCII byte that ends
        // it, after which the converter holds nothing (a cut sequence before it has become "?").
        const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
        const qsizetype size = bytes.size();
        qsizetype i = 0;
        while (i < size) {
            if (!FConverterHolds) {
                const qsizetype j = AsciiEnd(b, i, size);
                out.append(QLatin1StringView(bytes.data() + i, j - i));
                i = j;
                if (i == size) break;
            }
            qsizetype j = i;
            while (j < size && b[j] >= AsciiLimit)
                ++j;
            const bool closed = j < size;
            if (closed) ++j;
            Convert(bytes.sliced(i, j - i), last && j == size, out);
            FConverterHolds = !closed && !(last && j == size);
            i = j;
        }
        if (last && FConverterHolds) {
            Convert(QByteArrayView(), true, out);
            FConverterHolds = false;
        }
    }

private:
    static constexpr unsigned char AsciiLimit = 0x80;
    static constexpr std::uint64_t WordHighBits = 0x8080808080808080ULL;

    // The first byte from `from` on that is not ASCII, or `size`; eight bytes a step.
    static qsizetype AsciiEnd(const unsigned char* b, qsizetype from, qsizetype size) {
        constexpr qsizetype Word = sizeof(std::uint64_t);
        for (; from + Word <= size; from += Word) {
            std::uint64_t word;
            std::memcpy(&word, b + from, Word);
            if (word & WordHighBits) break;
        }
        while (from < size && b[from] < AsciiLimit)
            ++from;
        return from;
    }

    void Convert(QByteArrayView bytes, bool last, QString& out) {
        const char* src = NonNullBytes(bytes);
        const char* srcEnd = src + bytes.size();
        ConvertPiece<UChar, DecodeBufferUnits>(FConv.get(), ucnv_toUnicode, ucnv_resetToUnicode, src, srcEnd,
                                               last, out);
    }

    ConverterPtr FConv;
    bool FAsciiAsIs;              // the encoding is UTF-8
    bool FConverterHolds = false; // the converter may hold the start of a sequence
};

class IcuEncoder final : public TextEncoder {
public:
    IcuEncoder(const std::string& converter, bool widenKana)
        : FConv(OpenConverter(converter.c_str())), FWidenKana(widenKana),
          FAsciiAsIs(converter == Utf8Converter) {}

    bool TakesAsciiAsIs() const override { return FAsciiAsIs && !FConverterHolds; }

    void EncodeAppend(QStringView text, bool last, QByteArray& out) override {
        if (FAsciiAsIs && !FConverterHolds && AppendAscii(text, out)) return;
        if (!FWidenKana) {
            Convert(text, last, out);
            // A high surrogate at the end waits in the converter for its partner (an empty piece
            // changes nothing).
            if (last)
                FConverterHolds = false;
            else if (!text.isEmpty())
                FConverterHolds = IsHighSurrogate(text.back().unicode());
            return;
        }
        // A half-width base at the end of a piece may still get its voiced mark with the next piece.
        QString pending = std::exchange(FPendingKana, QString());
        pending.append(text);
        if (!last && !pending.isEmpty() && IsHalfwidthKana(pending.back().unicode()) &&
            !IsHalfwidthMark(pending.back().unicode())) {
            FPendingKana = pending.back();
            pending.chop(1);
        }
        Convert(WidenHalfwidthKana(pending), last, out);
    }

private:
    static constexpr char16_t AsciiLimit = 0x80;

    // UTF-8 writes ASCII as it stands: a text of nothing else is narrowed straight into `out`. False,
    // with `out` as it was, for any other text.
    static bool AppendAscii(QStringView text, QByteArray& out) {
        const qsizetype start = out.size();
        const qsizetype size = text.size();
        out.resize(start + size);
        char* to = out.data() + start;
        const char16_t* from = text.utf16();
        char16_t seen = 0;
        for (qsizetype i = 0; i < size; ++i) {
            seen |= from[i];
            to[i] = static_cast<char>(from[i]);
        }
        if (seen < AsciiLimit) return true;
        out.resize(start);
        return false;
    }

    void Convert(QStringView text, bool last, QByteArray& out) {
        if (!FConv) {
            out.append(text.size(), SubstitutionChar);
            return;
        }
        static const UChar empty = 0;
        const UChar* src = text.isEmpty() ? &empty : reinterpret_cast<const UChar*>(text.utf16());
        const UChar* srcEnd = src + text.size();
        ConvertPiece<char, EncodeBufferBytes>(FConv.get(), ucnv_fromUnicode, ucnv_resetFromUnicode, src,
                                              srcEnd, last, out);
    }

    ConverterPtr FConv;
    bool FWidenKana;
    bool FAsciiAsIs;              // the encoding is UTF-8
    bool FConverterHolds = false; // the converter may hold a high surrogate
    QString FPendingKana;
};

// A code page served by ICU. Reading and writing may use different converters (ISO-2022-JP).
class TIcuEncoding final : public TEncoding {
public:
    TIcuEncoding(int codePage, QByteArray preamble, std::string readConverter, std::string writeConverter,
                 bool widenKana)
        : TEncoding(codePage, std::move(preamble)), FReadConverter(std::move(readConverter)),
          FWriteConverter(std::move(writeConverter)), FWidenKana(widenKana) {}

    std::unique_ptr<TEncoding> Clone() const override { return std::make_unique<TIcuEncoding>(*this); }
    std::unique_ptr<TextDecoder> NewDecoder(bool skipPreamble) const override {
        return std::make_unique<IcuDecoder>(FReadConverter, skipPreamble ? GetPreamble() : QByteArray());
    }
    std::unique_ptr<TextEncoder> NewEncoder() const override {
        return std::make_unique<IcuEncoder>(FWriteConverter, FWidenKana);
    }

private:
    std::string FReadConverter;
    std::string FWriteConverter;
    bool FWidenKana;
};

bool ConverterExists(const char* name) {
    UErrorCode err = U_ZERO_ERROR;
    UConverter* conv = ucnv_open(name, &err);
    if (U_FAILURE(err)) return false;
    ucnv_close(conv);
    return true;
}

std::unique_ptr<TEncoding> NewIcuEncoding(int codePage, const std::string& converter) {
    if (!ConverterExists(converter.c_str())) return nullptr;
    return std::make_unique<TIcuEncoding>(codePage, QByteArray(), converter, converter, false);
}

std::unique_ptr<TEncoding> NewIso2022JpEncoding(int codePage) {
    return std::make_unique<TIcuEncoding>(codePage, QByteArray(), Iso2022JpReadConverter,
                                          Iso2022JpWriteConverter, true);
}

// --- UTF-16 and UTF-32 reading --------------------------------------------------------------------
// By hand rather than by ICU: every code unit is copied as it stands, so strings holding lone
// surrogates (which programs can build) are written and read back unchanged.

char32_t ReadUtf32(const std::uint8_t* b, bool bigEndian) {
    return bigEndian ? char32_t(b[0]) << 24 | char32_t(b[1]) << 16 | char32_t(b[2]) << 8 | b[3]
                     : char32_t(b[3]) << 24 | char32_t(b[2]) << 16 | char32_t(b[1]) << 8 | b[0];
}

void AppendCodePoint(QString& out, char32_t cp) {
    if (cp > LastCodePoint) {
        out.append(QChar(SubstitutionChar));
    } else if (cp >= FirstSupplementary) {
        out.append(QChar(QChar::highSurrogate(cp)));
        out.append(QChar(QChar::lowSurrogate(cp)));
    } else {
        out.append(QChar(char16_t(cp))); // surrogate values too: they come back as the unit they were
    }
}

// UTF-16 units that a decoded code point takes.
int Utf16Length(char32_t cp) {
    return cp >= FirstSupplementary && cp <= LastCodePoint ? 2 : 1;
}

// Both read in groups of a fixed number of bytes; a group cut by the end of a piece waits for the next.
template <int UnitBytes> class FixedUnitDecoder final : public TextDecoder {
public:
    FixedUnitDecoder(bool bigEndian, QByteArray preamble)
        : TextDecoder(std::move(preamble)), FBigEndian(bigEndian) {}

protected:
    void DecodePiece(QByteArrayView bytes, bool last, QString& out) override {
        qsizetype i = 0;
        if (!FPending.isEmpty()) {
            const qsizetype take = std::min<qsizetype>(UnitBytes - FPending.size(), bytes.size());
            FPending.append(bytes.first(take));
            i = take;
            if (FPending.size() == UnitBytes) {
                AppendUnit(out, reinterpret_cast<const std::uint8_t*>(FPending.constData()));
                FPending.clear();
            }
        }
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
        for (; i + UnitBytes <= bytes.size(); i += UnitBytes)
            AppendUnit(out, data + i);
        if (i < bytes.size()) FPending.append(bytes.sliced(i));
        if (last && !FPending.isEmpty()) {
            out.append(QChar(SubstitutionChar)); // a file cut inside its last character
            FPending.clear();
        }
    }

private:
    void AppendUnit(QString& out, const std::uint8_t* b) const {
        if constexpr (UnitBytes == Utf16UnitBytes)
            out.append(QChar(FBigEndian ? char16_t(b[0] << 8 | b[1]) : char16_t(b[1] << 8 | b[0])));
        else
            AppendCodePoint(out, ReadUtf32(b, FBigEndian));
    }
    bool FBigEndian;
    QByteArray FPending; // the first bytes of a group cut by the end of a piece
};

using Utf16Decoder = FixedUnitDecoder<Utf16UnitBytes>;
using Utf32Decoder = FixedUnitDecoder<Utf32UnitBytes>;

// --- UTF-16 ---------------------------------------------------------------------------------------

class Utf16Encoder final : public TextEncoder {
public:
    explicit Utf16Encoder(bool bigEndian) : FBigEndian(bigEndian) {}
    void EncodeAppend(QStringView text, bool, QByteArray& out) override {
        const qsizetype start = out.size();
        out.resize(start + text.size() * Utf16UnitBytes);
        char* b = out.data() + start;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            const char high = char(c >> 8), low = char(c & 0xFF);
            b[Utf16UnitBytes * i] = FBigEndian ? high : low;
            b[Utf16UnitBytes * i + 1] = FBigEndian ? low : high;
        }
    }

private:
    bool FBigEndian;
};

class TUtf16Encoding final : public TEncoding {
public:
    TUtf16Encoding(bool bigEndian, bool withBom)
        : TEncoding(bigEndian ? CodePage::Utf16BE : CodePage::Utf16LE,
                    withBom ? (bigEndian ? Utf16BEBom : Utf16LEBom) : QByteArray()),
          FBigEndian(bigEndian) {}
    std::unique_ptr<TEncoding> Clone() const override { return std::make_unique<TUtf16Encoding>(*this); }
    std::unique_ptr<TextDecoder> NewDecoder(bool skipPreamble) const override {
        return std::make_unique<Utf16Decoder>(FBigEndian, skipPreamble ? GetPreamble() : QByteArray());
    }
    std::unique_ptr<TextEncoder> NewEncoder() const override {
        return std::make_unique<Utf16Encoder>(FBigEndian);
    }

private:
    bool FBigEndian;
};

// --- UTF-32 ---------------------------------------------------------------------------------------

class Utf32Encoder final : public TextEncoder {
public:
    explicit Utf32Encoder(bool bigEndian) : FBigEndian(bigEndian) {}
    void EncodeAppend(QStringView text, bool last, QByteArray& out) override {
        out.reserve(out.size() + (text.size() + 1) * Utf32UnitBytes);
        qsizetype i = 0;
        if (FPendingHigh && text.isEmpty() && !last) return;
        if (FPendingHigh) {
            if (!text.isEmpty() && IsLowSurrogate(text[0].unicode())) {
                Append(out, QChar::surrogateToUcs4(FPendingHigh, text[0].unicode()));
                i = 1;
            }
            FPendingHigh = 0;
        }
        for (; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            if (IsHighSurrogate(c)) {
                if (i + 1 < text.size() && IsLowSurrogate(text[i + 1].unicode())) {
                    Append(out, QChar::surrogateToUcs4(c, text[i + 1].unicode()));
                    ++i;
                } else if (i + 1 == text.size() && !last) {
                    FPendingHigh = c; // its partner may open the next piece
                }
                // a high surrogate without its partner has no code point: left out like a lone low one
            } else if (!IsLowSurrogate(c)) {
                Append(out, c);
            }
        }
        if (last) FPendingHigh = 0;
    }

private:
    void Append(QByteArray& out, char32_t cp) const {
        std::array<char, Utf32UnitBytes> b;
        for (int k = 0; k < Utf32UnitBytes; ++k) {
            const char byte = char(cp >> (8 * k) & 0xFF);
            b[FBigEndian ? Utf32UnitBytes - 1 - k : k] = byte;
        }
        out.append(b.data(), b.size());
    }
    bool FBigEndian;
    char16_t FPendingHigh = 0;
};

} // namespace

// --- TextDecoder ------------------------------------------------------------------------------------

void TextDecoder::DecodeAppend(QByteArrayView bytes, bool last, QString& out) {
    if (FPreamble.isEmpty() || FPreambleDone) {
        DecodePiece(bytes, last, out);
        if (last) FPreambleDone = false;
        return;
    }
    FHead.append(bytes);
    const bool couldStillMatch = FHead.size() < FPreamble.size() && FPreamble.startsWith(FHead);
    if (couldStillMatch && !last) return;
    const QByteArray head = std::exchange(FHead, QByteArray());
    QByteArrayView rest(head);
    if (rest.startsWith(FPreamble)) rest = rest.sliced(FPreamble.size());
    FPreambleDone = !last;
    DecodePiece(rest, last, out);
}

QString DecodeSkippingPreamble(const TEncoding& encoding, QByteArrayView bytes) {
    return encoding.NewDecoder(true)->Decode(bytes, true);
}

// --- TUtf32Encoding ---------------------------------------------------------------------------------

TUtf32Encoding::TUtf32Encoding(bool bigEndian, bool useBom)
    : TEncoding(bigEndian ? CodePage::Utf32BE : CodePage::Utf32LE,
                useBom ? (bigEndian ? Utf32BEBom : Utf32LEBom) : QByteArray()),
      FBigEndian(bigEndian), FUseBOM(useBom) {}

std::unique_ptr<TEncoding> TUtf32Encoding::Clone() const {
    return std::make_unique<TUtf32Encoding>(*this);
}

std::unique_ptr<TextDecoder> TUtf32Encoding::NewDecoder(bool skipPreamble) const {
    return std::make_unique<Utf32Decoder>(FBigEndian, skipPreamble ? GetPreamble() : QByteArray());
}

std::unique_ptr<TextEncoder> TUtf32Encoding::NewEncoder() const {
    return std::make_unique<Utf32Encoder>(FBigEndian);
}

qsizetype TUtf32Encoding::GetByteCount(QStringView text) const {
    qsizetype codePoints = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (IsHighSurrogate(c)) {
            if (i + 1 < text.size() && IsLowSurrogate(text[i + 1].unicode())) {
                ++codePoints;
                ++i;
            }
        } else if (!IsLowSurrogate(c)) {
            ++codePoints;
        }
    }
    return codePoints * Utf32UnitBytes;
}

qsizetype TUtf32Encoding::GetCharCount(QByteArrayView bytes) const {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    qsizetype units = 0, i = 0;
    for (; i + Utf32UnitBytes <= bytes.size(); i += Utf32UnitBytes)
        units += Utf16Length(ReadUtf32(data + i, FBigEndian));
    return units + (i < bytes.size() ? 1 : 0);
}

qsizetype TUtf32Encoding::GetMaxByteCount(qsizetype charCount) const {
    return Utf32UnitBytes * charCount + (FUseBOM ? Utf32UnitBytes : 0);
}

qsizetype TUtf32Encoding::GetMaxCharCount(qsizetype byteCount) const {
    // Two units for each group that holds a supplementary code point, one "?" for a cut group.
    return 2 * (byteCount / Utf32UnitBytes) + (byteCount % Utf32UnitBytes ? 1 : 0) + (FUseBOM ? 1 : 0);
}

// --- Factories --------------------------------------------------------------------------------------

std::unique_ptr<TEncoding> NewUtf8Encoding(bool withBom) {
    return std::make_unique<TIcuEncoding>(CodePage::Utf8, withBom ? Utf8Bom : QByteArray(), Utf8Converter,
                                          Utf8Converter, false);
}

std::unique_ptr<TEncoding> NewUtf16Encoding(bool bigEndian, bool withBom) {
    return std::make_unique<TUtf16Encoding>(bigEndian, withBom);
}

std::unique_ptr<TEncoding> NewSystemEncoding() {
    const std::string charset = SystemCharsetName().toStdString();
    if (charset == Utf8Converter) return NewUtf8Encoding(false);
    auto encoding = NewIcuEncoding(CodePage::System, charset);
    return encoding ? std::move(encoding) : NewUtf8Encoding(false);
}

std::unique_ptr<TEncoding> NewCodePageEncoding(int codePage) {
    switch (codePage) {
    case CodePage::System:
    case OemCodePage:
    case ThreadCodePage: return NewSystemEncoding();
    case CodePage::Utf16LE: return NewUtf16Encoding(false, false);
    case CodePage::Utf16BE: return NewUtf16Encoding(true, false);
    case CodePage::Utf32LE: return std::make_unique<TUtf32Encoding>(false, false);
    case CodePage::Utf32BE: return std::make_unique<TUtf32Encoding>(true, false);
    case CodePage::Iso2022Jp:
    case Iso2022JpKanaSO:
    case Iso2022JpKanaEsc: return NewIso2022JpEncoding(codePage);
    default: break;
    }
    if (codePage < 0) return nullptr;
    for (const CodePageName& entry : NamedCodePages)
        if (entry.codePage == codePage) return NewIcuEncoding(codePage, entry.converter);
    // ICU names the Windows ANSI code pages "windows-<n>" and the IBM/OEM ones "ibm-<n>".
    const std::string number = std::to_string(codePage);
    if (auto encoding = NewIcuEncoding(codePage, "windows-" + number)) return encoding;
    return NewIcuEncoding(codePage, "ibm-" + number);
}

// --- The locale's character set ----------------------------------------------------------------------

QString CharsetForCodeset(const char* codeset) {
    const QString utf8 = QString::fromLatin1(Utf8Converter);
    if (!codeset || !*codeset) return utf8;
    UErrorCode err = U_ZERO_ERROR;
    UConverter* conv = ucnv_open(codeset, &err);
    if (U_FAILURE(err)) return utf8;
    const QString name = QString::fromLatin1(ucnv_getName(conv, &err));
    ucnv_close(conv);
    if (U_FAILURE(err) || name == utf8 || name == QLatin1String("US-ASCII")) return utf8;
    return name;
}

const QString& SystemCharsetName() {
    static const QString name = [] {
        // The environment's locale, whether or not the program has called setlocale yet.
        locale_t loc = newlocale(LC_CTYPE_MASK, "", locale_t(0));
        if (loc == locale_t(0)) return CharsetForCodeset(nullptr);
        const QString charset = CharsetForCodeset(nl_langinfo_l(CODESET, loc));
        freelocale(loc);
        return charset;
    }();
    return name;
}

// --- Normalisation ----------------------------------------------------------------------------------

namespace {

// A piece of a long text normalised at a time: small enough that a stop between pieces is seen at
// once, large enough that a call into the normaliser costs nothing beside its work.
constexpr qsizetype NormalizePieceUnits = 32 * 1024;

// The end of the piece that starts at `from`: the first place at or after from + NormalizePieceUnits
// before which the form always has a boundary (the end of the text when there is none).
qsizetype PieceEnd(const icu::Normalizer2& normalizer, QStringView source, qsizetype from) {
    qsizetype at = from + NormalizePieceUnits;
    if (at >= source.size()) return source.size();
    // Never between the two halves of a surrogate pair.
    if (QChar::isLowSurrogate(source[at].unicode()) && QChar::isHighSurrogate(source[at - 1].unicode())) ++at;
    while (at < source.size()) {
        char32_t cp = source[at].unicode();
        qsizetype width = 1;
        if (QChar::isHighSurrogate(cp) && at + 1 < source.size() &&
            QChar::isLowSurrogate(source[at + 1].unicode())) {
            cp = QChar::surrogateToUcs4(source[at].unicode(), source[at + 1].unicode());
            width = 2;
        }
        if (normalizer.hasBoundaryBefore(static_cast<UChar32>(cp))) return at;
        at += width;
    }
    return at;
}

} // namespace

bool NormalizeUnicode(QStringView source, int form, QString& dest, NormalizeCheck check) {
    dest.clear();
    if (source.isEmpty()) return true;
    UErrorCode err = U_ZERO_ERROR;
    const icu::Normalizer2* normalizer = nullptr;
    switch (form) {
    case NormForm::NFC: normalizer = icu::Normalizer2::getNFCInstance(err); break;
    case NormForm::NFD: normalizer = icu::Normalizer2::getNFDInstance(err); break;
    case NormForm::NFKC: normalizer = icu::Normalizer2::getNFKCInstance(err); break;
    case NormForm::NFKD: normalizer = icu::Normalizer2::getNFKDInstance(err); break;
    default: return false;
    }
    if (U_FAILURE(err)) return false;
    auto abandon = [&dest] {
        dest = QString();
        return false;
    };
    for (qsizetype from = 0; from < source.size();) {
        const qsizetype end = PieceEnd(*normalizer, source, from);
        if (end - from > std::numeric_limits<int32_t>::max()) return abandon();
        const icu::UnicodeString piece(false, reinterpret_cast<const UChar*>(source.utf16() + from),
                                       static_cast<int32_t>(end - from));
        if (check != nullptr && !check(0)) return abandon();
        const icu::UnicodeString result = normalizer->normalize(piece, err);
        if (U_FAILURE(err)) return abandon();
        const qsizetype needed = dest.size() + result.length();
        if (needed > dest.capacity()) {
            // Grown by half again each time, so that the copies add up to less than the result.
            const qsizetype capacity = std::max(needed, dest.capacity() + dest.capacity() / 2);
            if (check != nullptr &&
                !check(static_cast<std::size_t>(capacity - dest.capacity()) * sizeof(char16_t)))
                return abandon();
            dest.reserve(capacity);
        }
        dest.append(reinterpret_cast<const QChar*>(result.getBuffer()), result.length());
        from = end;
    }
    return true;
}
