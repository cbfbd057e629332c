// Which encoding a program or data file is written in: detection from its first bytes, the encoding
// numbers and names that the editor's open and save dialogs offer, the encodings of the code page
// numbers that SETENCODING and the file functions take, whole-file reading and writing with them, and
// the Unicode normalisation behind NORMALIZE.
#pragma once

#include "platform/textencoding.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

class QIODevice;

// EncodingIndex: the encodings detection can tell apart, by number.
namespace EncodingIndex {
inline constexpr int Default = -1; // undetermined: the locale's character set
inline constexpr int SJIS = 0;
inline constexpr int EUC = 1;
inline constexpr int JIS = 2;
inline constexpr int Unicode = 3;          // UTF-16 little-endian
inline constexpr int BigEndianUnicode = 4; // UTF-16 big-endian
inline constexpr int UTF8 = 5;             // without byte-order mark
inline constexpr int UTF8BOM = 6;
inline constexpr int UTF32LE = 7;
inline constexpr int UTF32BE = 8;
inline constexpr int Count = 9;
} // namespace EncodingIndex

// Detection switches: a set bit turns that test off.
namespace DetectFlag {
inline constexpr std::uint8_t NoShiftJis = 1;
inline constexpr std::uint8_t NoEucJp = 2;
inline constexpr std::uint8_t NoUtf8 = 4;
inline constexpr std::uint8_t NoJisEscape = 8;
inline constexpr std::uint8_t NoBom = 16;
} // namespace DetectFlag

// How much of a file its encoding is judged by.
inline constexpr qint64 DetectSampleSize = 1024;

// The EncodingIndex of a sample of bytes, EncodingIndex::Default when it cannot be told (pure ASCII,
// an empty sample, ties).
int DetectEncoding(QByteArrayView bytes, std::uint8_t flags = 0);
// Detection on the first maxBytes bytes of a stream (the whole stream when maxBytes is 0, negative or
// larger than the stream); the stream is left after the bytes read. An empty stream is Default.
int DetectEncodingStream(QIODevice& stream, qint64 maxBytes, std::uint8_t flags = 0);

// The detected EncodingIndex of a file; nothing when the file cannot be opened.
std::optional<int> GetFileEncodingIndex(const QString& fileName);
// The name ("SJIS" ... "UTF-32BE", "Default") of a file's detected encoding; false when it cannot be
// opened.
bool GetFileEncodingName(const QString& fileName, QString& name);
// A new encoding object for the file's detected encoding; null when the file cannot be opened.
std::unique_ptr<TEncoding> GetFileEncoding(const QString& fileName);

// "SJIS", "EUC", ... by EncodingIndex; "Default" for any other number.
QString EncodingIndexName(int index);

// A new encoding object by EncodingIndex; any number outside 0 to 8 gives the locale's character set.
std::unique_ptr<TEncoding> EncodingFromIndex(int index);
// A new encoding object for a Windows code page number: 1200 and 1201 are UTF-16 with a byte-order
// mark, 0 the locale's character set, others the code page by that number (without one). Null for a
// number that names no code page: the caller reports it.
std::unique_ptr<TEncoding> EncodingFromCodePage(int codePage);
// A new encoding object for a name of the editor's lists ("ASCII", "Unicode", "Big Endian Unicode",
// "SJIS", "EUC", "JIS", "UTF-8", "UTF-8BOM", "Default") or of detection ("UTF-32LE", "UTF-32BE");
// exact spelling. Any other name (a new window's "UnSaved") gives the locale's character set.
std::unique_ptr<TEncoding> EncodingFromName(const QString& name);

// UTF-32 as files carry it: little- or big-endian, with or without the byte-order mark FF FE 00 00 /
// 00 00 FE FF in front. The encodings made for EncodingIndex 7 and 8 write the mark.
class TUCS4Encoding final : public TUtf32Encoding {
public:
    TUCS4Encoding() : TUtf32Encoding(false, true) {}
    explicit TUCS4Encoding(bool bigEndian) : TUtf32Encoding(bigEndian, true) {}
    TUCS4Encoding(bool bigEndian, bool useBom) : TUtf32Encoding(bigEndian, useBom) {}
    std::unique_ptr<TEncoding> Clone() const override { return std::make_unique<TUCS4Encoding>(*this); }
};

// Decodes a file's bytes: a byte-order mark that the encoding writes itself is skipped; with
// bomChooses, any byte-order mark (UTF-8, UTF-16, UTF-32) picks the encoding instead of the one given.
// Line ends are kept as they are.
QString DecodeFileBytes(QByteArrayView bytes, const TEncoding& encoding, bool bomChooses = false);

// Reads a whole file as text (see DecodeFileBytes). False when the file cannot be read.
bool ReadTextFile(const QString& fileName, const TEncoding& encoding, QString& text, bool bomChooses = false);
// Reads a whole file in its detected encoding; detectedIndex receives the EncodingIndex.
bool ReadTextFileDetected(const QString& fileName, QString& text, int* detectedIndex = nullptr);
// Writes text as a whole file: the encoding's preamble, then the text, line ends unchanged. The old
// file is replaced only once the new one is completely written. False when that fails.
bool WriteTextFile(const QString& fileName, const TEncoding& encoding, QStringView text);

// NORMALIZE's normalisation: form 1 (NFC), 2 (NFD), 5 (NFKC) or 6 (NFKD). An empty source gives an
// empty result and true; another form gives false, with dest empty.
bool NormalizeText(const QString& source, QString& dest, int form);
