// Text encodings of program and data files: turning file bytes into the interpreter's UTF-16 strings
// and back, over ICU converters, by the Windows code page numbers that programs and settings use.
// Whatever a target encoding cannot hold is written as "?", and bytes that are not valid in the
// source encoding are read as "?", so a conversion never fails half-way.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <cstddef>
#include <memory>

// The character written for anything that cannot be converted.
inline constexpr char16_t SubstitutionChar = u'?';

// Windows code page numbers with a meaning of their own here.
namespace CodePage {
inline constexpr int System = 0; // the locale's character set
inline constexpr int ShiftJis = 932;
inline constexpr int Utf16LE = 1200;
inline constexpr int Utf16BE = 1201;
inline constexpr int Utf32LE = 12000;
inline constexpr int Utf32BE = 12001;
inline constexpr int Ascii = 20127;
inline constexpr int EucJp = 20932;
inline constexpr int Iso2022Jp = 50220;
inline constexpr int Utf8 = 65001;
} // namespace CodePage

// Decodes one byte stream that arrives in pieces. A character cut at the end of a piece is kept for
// the next piece; the piece marked last turns such a remainder into "?" and leaves the decoder ready
// for a new stream. Stateful encodings (ISO-2022-JP) keep their shift state between pieces.
class TextDecoder {
public:
    virtual ~TextDecoder() = default;
    QString Decode(QByteArrayView bytes, bool last) {
        QString out;
        DecodeAppend(bytes, last, out);
        return out;
    }
    // The same, appended to `out`: a reader that keeps one buffer, or a whole file decoded piece by
    // piece into its one result, allocates nothing per piece.
    void DecodeAppend(QByteArrayView bytes, bool last, QString& out);

protected:
    // preambleToSkip: dropped when the stream begins with exactly these bytes (a byte-order mark).
    explicit TextDecoder(QByteArray preambleToSkip) : FPreamble(std::move(preambleToSkip)) {}
    virtual void DecodePiece(QByteArrayView bytes, bool last, QString& out) = 0;

private:
    QByteArray FPreamble;
    QByteArray FHead; // first bytes held back until they can be compared with the preamble
    bool FPreambleDone = false;
};

// Encodes one text that is written in pieces. A high surrogate at the end of a piece waits for its
// partner; the piece marked last flushes everything (ISO-2022-JP returns to ASCII). The preamble is
// not written here: writers decide whether the file needs one.
class TextEncoder {
public:
    virtual ~TextEncoder() = default;
    QByteArray Encode(QStringView text, bool last) {
        QByteArray out;
        EncodeAppend(text, last, out);
        return out;
    }
    // The same, appended to `out`: a writer that keeps one buffer allocates nothing per piece.
    virtual void EncodeAppend(QStringView text, bool last, QByteArray& out) = 0;
    // Whether a next piece of nothing but ASCII would be encoded as its own characters, one byte
    // each, leaving the encoder as it is: a writer may then narrow such a piece itself.
    virtual bool TakesAsciiAsIs() const { return false; }
};

// One text encoding. Objects are handed out by value in a unique_ptr (the caller owns them) and are
// cheap to clone; each decoder or encoder they create is independent, so one encoding object may
// serve a reader and a writer at the same time on the same thread.
class TEncoding {
public:
    virtual ~TEncoding() = default;
    virtual std::unique_ptr<TEncoding> Clone() const = 0;

    // The Windows code page number this encoding stands for, 0 when it has none.
    int CodePage() const { return FCodePage; }
    // The byte-order mark written in front of a file in this encoding; empty when it has none.
    const QByteArray& GetPreamble() const { return FPreamble; }

    virtual std::unique_ptr<TextDecoder> NewDecoder(bool skipPreamble = false) const = 0;
    virtual std::unique_ptr<TextEncoder> NewEncoder() const = 0;

    // Whole-text conversions. GetString does not look for a preamble; see DecodeSkippingPreamble.
    QByteArray GetBytes(QStringView text) const { return NewEncoder()->Encode(text, true); }
    QString GetString(QByteArrayView bytes) const { return NewDecoder(false)->Decode(bytes, true); }

protected:
    TEncoding(int codePage, QByteArray preamble) : FCodePage(codePage), FPreamble(std::move(preamble)) {}

private:
    int FCodePage;
    QByteArray FPreamble;
};

// UTF-32 written and read by hand rather than by ICU, so that a code point in the surrogate range read
// from a file comes back as the code unit it was. Encoding: a surrogate pair becomes one code point, a
// surrogate without its partner is left out. Decoding: a value above 10FFFF and an incomplete group of
// bytes at the end become "?".
class TUtf32Encoding : public TEncoding {
public:
    TUtf32Encoding(bool bigEndian, bool useBom);
    std::unique_ptr<TEncoding> Clone() const override;
    std::unique_ptr<TextDecoder> NewDecoder(bool skipPreamble = false) const override;
    std::unique_ptr<TextEncoder> NewEncoder() const override;

    bool BigEndian() const { return FBigEndian; }
    bool UseBOM() const { return FUseBOM; }

    // Exact sizes of a conversion (the preamble not included) and the largest sizes a buffer needs.
    qsizetype GetByteCount(QStringView text) const;
    qsizetype GetCharCount(QByteArrayView bytes) const;
    qsizetype GetMaxByteCount(qsizetype charCount) const;
    qsizetype GetMaxCharCount(qsizetype byteCount) const;

private:
    bool FBigEndian;
    bool FUseBOM;
};

// Decodes bytes, dropping the encoding's own preamble when they begin with it.
QString DecodeSkippingPreamble(const TEncoding& encoding, QByteArrayView bytes);

// The encoding of a Windows code page number: 0 (and 1, 3) the locale's character set, 932 Shift-JIS,
// 20932 and 51932 EUC-JP, 50220 to 50222 ISO-2022-JP, 65001 UTF-8, 1200/1201 UTF-16, 12000/12001
// UTF-32, and the other single- and double-byte code pages ICU knows. None of them has a preamble.
// Null for a number that names no code page.
std::unique_ptr<TEncoding> NewCodePageEncoding(int codePage);

std::unique_ptr<TEncoding> NewUtf8Encoding(bool withBom);
// UTF-16 keeps every code unit as it is, lone surrogates included, so any string survives a round trip.
std::unique_ptr<TEncoding> NewUtf16Encoding(bool bigEndian, bool withBom);
// The locale's character set ("Default"). Its CodePage() is 65001 when that is UTF-8, else 0.
std::unique_ptr<TEncoding> NewSystemEncoding();

// The ICU converter name that the locale's character set maps to: its codeset from LC_ALL / LC_CTYPE /
// LANG, but "UTF-8" when that codeset is UTF-8, plain ASCII or unknown to ICU.
const QString& SystemCharsetName();
QString CharsetForCodeset(const char* codeset);

// Unicode normalisation forms by their Windows numbers.
namespace NormForm {
inline constexpr int NFC = 1;
inline constexpr int NFD = 2;
inline constexpr int NFKC = 5;
inline constexpr int NFKD = 6;
} // namespace NormForm

// Asked by a long normalisation before its result grows, with the bytes it is about to add (0 between
// pieces that need no more room): false abandons the work.
using NormalizeCheck = bool (*)(std::size_t moreBytes);

// Normalises text to one of the four forms; false (dest empty) for another form number, and when
// `check` abandons the work. A long text is normalised piece by piece, each ending where the form
// lets the rest be normalised on its own, so that `check` is asked often and the result grows by
// steps instead of being made whole beside a copy.
bool NormalizeUnicode(QStringView source, int form, QString& dest, NormalizeCheck check = nullptr);
