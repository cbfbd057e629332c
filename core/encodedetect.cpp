// Encoding detection by byte-order mark, JIS escapes and the validity scans of Shift-JIS, EUC and UTF-8;
// the encodings by index, code page and name; whole-file reading, writing and NORMALIZE over them.
#include "core/encodedetect.h"

#include <QFile>
#include <QIODevice>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <limits>
#include <new>

namespace {

constexpr std::array<const char*, EncodingIndex::Count> EncodingNames = {
    "SJIS", "EUC", "JIS", "Unicode", "Big Endian Unicode", "UTF-8", "UTF-8BOM", "UTF-32LE", "UTF-32BE",
};
constexpr const char* DefaultName = "Default";
constexpr const char* AsciiName = "ASCII";

constexpr std::uint8_t Esc = 0x1B;

// Byte classes of the three validity scans.
bool InRange(std::uint8_t c, std::uint8_t low, std::uint8_t high) {
    return c >= low && c <= high;
}
bool IsAscii(std::uint8_t c) {
    return c <= 0x7F;
}
bool IsSjisSingle(std::uint8_t c) {
    return IsAscii(c) || InRange(c, 0xA1, 0xDF);
}
bool IsSjisLead(std::uint8_t c) {
    return InRange(c, 0x81, 0x9F) || InRange(c, 0xE0, 0xFC);
}
bool IsSjisTrail(std::uint8_t c) {
    return InRange(c, 0x40, 0x7E) || InRange(c, 0x80, 0xFC);
}
bool IsEucByte(std::uint8_t c) {
    return InRange(c, 0xA1, 0xFE);
}
bool IsEucKana(std::uint8_t c) {
    return InRange(c, 0xA1, 0xDF);
}
constexpr std::uint8_t EucKanaLead = 0x8E;     // a half-width katakana follows
constexpr std::uint8_t EucJisX0212Lead = 0x8F; // two bytes of JIS X 0212 follow
bool IsUtf8Continuation(std::uint8_t c) {
    return InRange(c, 0x80, 0xBF);
}

// The result of one validity scan: whether the sample can be that encoding, and how many of its
// bytes belong to multi-byte characters (the measure of how much evidence it holds for it).
struct ScanResult {
    bool valid = false;
    qsizetype count = 0;
};

using ByteTest = bool (*)(std::uint8_t);

// What a lead byte announces: how many trail bytes follow, and the test each of them must pass. No
// trails: the byte cannot start a character.
struct Sequence {
    int trails = 0;
    ByteTest isTrail = nullptr;
};

Sequence SjisSequence(std::uint8_t c) {
    return IsSjisLead(c) ? Sequence{1, IsSjisTrail} : Sequence{};
}

Sequence EucSequence(std::uint8_t c) {
    if (IsEucByte(c)) return {1, IsEucByte};
    if (c == EucKanaLead) return {1, IsEucKana};
    if (c == EucJisX0212Lead) return {2, IsEucByte};
    return {};
}

Sequence Utf8Sequence(std::uint8_t c) {
    if (InRange(c, 0xC0, 0xDF)) return {1, IsUtf8Continuation};
    if (InRange(c, 0xE0, 0xEF)) return {2, IsUtf8Continuation};
    if (InRange(c, 0xF0, 0xF7)) return {3, IsUtf8Continuation};
    return {};
}

// One multi-byte sequence at position i, as its lead byte describes it.
// Returns false when the sample is invalid. A sequence cut by the end of the sample is not counted:
// its remaining bytes must still be trail bytes, and the scan goes on at the byte after the lead,
// which is then judged as a lead itself (*i is left at the lead).
bool TakeSequence(const std::uint8_t* b, qsizetype length, qsizetype* i, Sequence sequence,
                  ScanResult& result) {
    const qsizetype lead = *i;
    const qsizetype available = std::min<qsizetype>(sequence.trails, length - 1 - lead);
    for (qsizetype k = 1; k <= available; ++k)
        if (!sequence.isTrail(b[lead + k])) return false;
    if (available < sequence.trails) return true;
    result.count += sequence.trails + 1;
    *i = lead + sequence.trails;
    return true;
}

// One validity scan: every byte that is not a character of its own must lead a whole sequence.
template <ByteTest IsSingle, Sequence (*SequenceOf)(std::uint8_t)>
ScanResult Scan(const std::uint8_t* b, qsizetype length) {
    ScanResult r{true, 0};
    for (qsizetype i = 0; i < length && r.valid; ++i) {
        if (IsSingle(b[i])) continue;
        const Sequence sequence = SequenceOf(b[i]);
        r.valid = sequence.trails > 0 && TakeSequence(b, length, &i, sequence, r);
    }
    return r;
}

int DetectBom(const std::uint8_t* b, qsizetype length) {
    if (length >= 4 && b[0] == 0xFF && b[1] == 0xFE && b[2] == 0 && b[3] == 0) return EncodingIndex::UTF32LE;
    if (length >= 4 && b[0] == 0 && b[1] == 0 && b[2] == 0xFE && b[3] == 0xFF) return EncodingIndex::UTF32BE;
    if (length >= 2 && b[0] == 0xFF && b[1] == 0xFE) return EncodingIndex::Unicode;
    if (length >= 2 && b[0] == 0xFE && b[1] == 0xFF) return EncodingIndex::BigEndianUnicode;
    if (length >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) return EncodingIndex::UTF8BOM;
    return EncodingIndex::Default;
}

// An escape sequence of ISO-2022-JP before the first byte above 127.
bool HasJisEscape(const std::uint8_t* b, qsizetype length) {
    const qsizetype last = length - 1;
    for (qsizetype i = 0; i < length; ++i) {
        if (b[i] > 0x7F) return false;
        if (b[i] != Esc) continue;
        if (i < last - 1) {
            const std::uint8_t c1 = b[i + 1], c2 = b[i + 2];
            if (c1 == '(' && (c2 == 'B' || c2 == 'J' || c2 == 'I')) return true; // ASCII, JIS Roman, kana
            if (c1 == '$' && (c2 == '@' || c2 == 'B')) return true;              // JIS X 0208
        }
        if (i < last - 2 && b[i + 1] == '$' && b[i + 2] == '(' && b[i + 3] == 'D') return true; // JIS X 0212
        if (i < last - 4 && b[i + 1] == '&' && b[i + 2] == '@' && b[i + 3] == Esc && b[i + 4] == '$' &&
            b[i + 5] == 'B')
            return true; // JIS X 0208-1990
    }
    return false;
}

// The code page of the encoding that a byte-order mark announces.
int BomCodePage(int index) {
    switch (index) {
    case EncodingIndex::Unicode: return CodePage::Utf16LE;
    case EncodingIndex::BigEndianUnicode: return CodePage::Utf16BE;
    case EncodingIndex::UTF8BOM: return CodePage::Utf8;
    case EncodingIndex::UTF32LE: return CodePage::Utf32LE;
    case EncodingIndex::UTF32BE: return CodePage::Utf32BE;
    default: return -1;
    }
}

// The encodings below exist in every ICU build; should one still be missing, the locale's
// character set is better than no encoding at all.
std::unique_ptr<TEncoding> OrSystem(std::unique_ptr<TEncoding> encoding) {
    return encoding ? std::move(encoding) : NewSystemEncoding();
}

bool ReadFileBytes(const QString& fileName, QByteArray& bytes) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return false;
    try {
        bytes = file.readAll();
    } catch (const std::bad_alloc&) {
        return false;
    }
    return file.error() == QFileDevice::NoError;
}

} // namespace

int DetectEncoding(QByteArrayView bytes, std::uint8_t flags) {
    const auto* b = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const qsizetype length = bytes.size();
    if (length <= 0) return EncodingIndex::Default;

    if (!(flags & DetectFlag::NoBom)) {
        const int bom = DetectBom(b, length);
        if (bom != EncodingIndex::Default) return bom;
    }
    if (!(flags & DetectFlag::NoJisEscape) && HasJisEscape(b, length)) return EncodingIndex::JIS;

    const ScanResult sjis =
        flags & DetectFlag::NoShiftJis ? ScanResult{} : Scan<IsSjisSingle, SjisSequence>(b, length);
    const ScanResult euc = flags & DetectFlag::NoEucJp ? ScanResult{} : Scan<IsAscii, EucSequence>(b, length);
    const ScanResult utf8 =
        flags & DetectFlag::NoUtf8 ? ScanResult{} : Scan<IsAscii, Utf8Sequence>(b, length);

    // The encoding with the most multi-byte evidence wins, if its scan found no byte it forbids.
    if (euc.valid && euc.count > sjis.count && euc.count > utf8.count) return EncodingIndex::EUC;
    if (sjis.valid && sjis.count > euc.count && sjis.count > utf8.count) return EncodingIndex::SJIS;
    if (utf8.valid && utf8.count > sjis.count && utf8.count > euc.count) return EncodingIndex::UTF8;
    return EncodingIndex::Default;
}

int DetectEncodingStream(QIODevice& stream, qint64 maxBytes, std::uint8_t flags) {
    const qint64 size = stream.size();
    if (size <= 0) return EncodingIndex::Default;
    stream.seek(0);
    const qint64 count = maxBytes > 0 && maxBytes <= size
                             ? maxBytes
                             : std::min<qint64>(size, std::numeric_limits<std::int32_t>::max());
    const QByteArray sample = stream.read(count);
    return DetectEncoding(sample, flags);
}

std::optional<int> GetFileEncodingIndex(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return DetectEncodingStream(file, DetectSampleSize);
}

bool GetFileEncodingName(const QString& fileName, QString& name) {
    const std::optional<int> index = GetFileEncodingIndex(fileName);
    if (!index) return false;
    name = EncodingIndexName(*index);
    return true;
}

std::unique_ptr<TEncoding> GetFileEncoding(const QString& fileName) {
    const std::optional<int> index = GetFileEncodingIndex(fileName);
    return index ? EncodingFromIndex(*index) : nullptr;
}

QString EncodingIndexName(int index) {
    if (index < 0 || index >= EncodingIndex::Count) return QString::fromLatin1(DefaultName);
    return QString::fromLatin1(EncodingNames[index]);
}

std::unique_ptr<TEncoding> EncodingFromIndex(int index) {
    switch (index) {
    case EncodingIndex::SJIS: return OrSystem(NewCodePageEncoding(CodePage::ShiftJis));
    case EncodingIndex::EUC: return OrSystem(NewCodePageEncoding(CodePage::EucJp));
    case EncodingIndex::JIS: return OrSystem(NewCodePageEncoding(CodePage::Iso2022Jp));
    case EncodingIndex::Unicode: return NewUtf16Encoding(false, true);
    case EncodingIndex::BigEndianUnicode: return NewUtf16Encoding(true, true);
    case EncodingIndex::UTF8: return NewUtf8Encoding(false);
    case EncodingIndex::UTF8BOM: return NewUtf8Encoding(true);
    case EncodingIndex::UTF32LE: return std::make_unique<TUCS4Encoding>(false);
    case EncodingIndex::UTF32BE: return std::make_unique<TUCS4Encoding>(true);
    default: return NewSystemEncoding();
    }
}

std::unique_ptr<TEncoding> EncodingFromCodePage(int codePage) {
    if (codePage == CodePage::Utf16LE) return NewUtf16Encoding(false, true);
    if (codePage == CodePage::Utf16BE) return NewUtf16Encoding(true, true);
    return NewCodePageEncoding(codePage);
}

std::unique_ptr<TEncoding> EncodingFromName(const QString& name) {
    if (name == QLatin1String(AsciiName)) return OrSystem(NewCodePageEncoding(CodePage::Ascii));
    // Every name detection gives is taken, so that a file saved under the name it was opened with
    // keeps its encoding (UTF-32 included).
    for (int index = 0; index < EncodingIndex::Count; ++index)
        if (name == QLatin1String(EncodingNames[index])) return EncodingFromIndex(index);
    return NewSystemEncoding();
}

namespace {

// Whole files are read in pieces of this size and decoded straight into the text, so that the file's
// bytes and its text are never both held whole.
constexpr qint64 WholeFileChunkBytes = 1 << 20;
// A text left with more spare room than this part of its length gives the room back.
constexpr qsizetype SpareRoomShare = 16;

// The encoding a file's bytes are decoded in, chosen from their first bytes (see DecodeFileBytes).
std::unique_ptr<TEncoding> FileBytesEncoding(QByteArrayView head, const TEncoding& encoding,
                                             bool bomChooses) {
    constexpr std::uint8_t BomOnly =
        DetectFlag::NoShiftJis | DetectFlag::NoEucJp | DetectFlag::NoUtf8 | DetectFlag::NoJisEscape;
    const int bom = DetectEncoding(head, BomOnly);
    // A mark of the encoding's own family is skipped even when the encoding writes none (UTF-8
    // without BOM reading a file with one).
    if (bom != EncodingIndex::Default && (bomChooses || BomCodePage(bom) == encoding.CodePage()))
        return EncodingFromIndex(bom);
    return encoding.Clone();
}

// The most UTF-16 units `bytes` bytes in `encoding` decode to, as the text's first capacity: one a
// byte, but for the encodings of two or four bytes a unit (two units at most for four bytes).
qsizetype MostUnits(const TEncoding& encoding, qint64 bytes) {
    switch (encoding.CodePage()) {
    case CodePage::Utf16LE:
    case CodePage::Utf16BE:
    case CodePage::Utf32LE:
    case CodePage::Utf32BE: return static_cast<qsizetype>(bytes / 2 + 1);
    default: return static_cast<qsizetype>(bytes + 1);
    }
}

} // namespace

QString DecodeFileBytes(QByteArrayView bytes, const TEncoding& encoding, bool bomChooses) {
    return DecodeSkippingPreamble(*FileBytesEncoding(bytes, encoding, bomChooses), bytes);
}

bool ReadTextFile(const QString& fileName, const TEncoding& encoding, QString& text, bool bomChooses) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return false;
    try {
        QByteArray chunk(WholeFileChunkBytes, Qt::Uninitialized);
        qint64 got = file.read(chunk.data(), chunk.size());
        if (got < 0) return false;
        const std::unique_ptr<TEncoding> chosen =
            FileBytesEncoding(QByteArrayView(chunk.constData(), got), encoding, bomChooses);
        const std::unique_ptr<TextDecoder> decoder = chosen->NewDecoder(true);
        QString result;
        result.reserve(MostUnits(*chosen, std::max<qint64>(file.size(), got)));
        while (got > 0) {
            decoder->DecodeAppend(QByteArrayView(chunk.constData(), got), false, result);
            got = file.read(chunk.data(), chunk.size());
        }
        if (got < 0) return false;
        decoder->DecodeAppend(QByteArrayView(), true, result);
        if (result.capacity() - result.size() > result.size() / SpareRoomShare) result.squeeze();
        text = std::move(result);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool ReadTextFileDetected(const QString& fileName, QString& text, int* detectedIndex) {
    QByteArray bytes;
    if (!ReadFileBytes(fileName, bytes)) return false;
    const int index =
        DetectEncoding(QByteArrayView(bytes).first(std::min<qsizetype>(bytes.size(), DetectSampleSize)));
    if (detectedIndex) *detectedIndex = index;
    try {
        text = DecodeFileBytes(bytes, *EncodingFromIndex(index));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool WriteTextFile(const QString& fileName, const TEncoding& encoding, QStringView text) {
    QSaveFile file(fileName);
    // A folder we may not create files in still lets us overwrite a file we may write.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) return false;
    try {
        const QByteArray bytes = encoding.GetBytes(text);
        if (file.write(encoding.GetPreamble()) != encoding.GetPreamble().size() ||
            file.write(bytes) != bytes.size()) {
            file.cancelWriting();
            return false;
        }
    } catch (const std::bad_alloc&) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool NormalizeText(const QString& source, QString& dest, int form) {
    return NormalizeUnicode(source, form, dest);
}
