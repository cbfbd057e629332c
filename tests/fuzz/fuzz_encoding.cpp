// Encoding detection and conversion, whole and in pieces. The first bytes choose an encoding (by
// detection number, code page or name), the detection switches and a piece length; the rest is the
// file's bytes. Decoding and encoding in pieces must give exactly what the whole conversion gives, a
// decoder or encoder that finished a stream must start the next one afresh, and the Unicode forms must
// give back the text they encoded.
#include "fuzzinput.h"

#include "core/encodedetect.h"
#include "platform/textencoding.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr std::array CodePages = {CodePage::System,
                                  CodePage::ShiftJis,
                                  CodePage::Utf16LE,
                                  CodePage::Utf16BE,
                                  CodePage::Utf32LE,
                                  CodePage::Utf32BE,
                                  CodePage::Ascii,
                                  CodePage::EucJp,
                                  CodePage::Iso2022Jp,
                                  50221,
                                  50222,
                                  51932,
                                  CodePage::Utf8,
                                  1252,
                                  936,
                                  949,
                                  950,
                                  437};
const std::array<QString, 11> Names = {
    QStringLiteral("ASCII"),    QStringLiteral("Unicode"),  QStringLiteral("Big Endian Unicode"),
    QStringLiteral("SJIS"),     QStringLiteral("EUC"),      QStringLiteral("JIS"),
    QStringLiteral("UTF-8"),    QStringLiteral("UTF-8BOM"), QStringLiteral("Default"),
    QStringLiteral("UTF-32LE"), QStringLiteral("UTF-32BE")};
constexpr std::array NormForms = {NormForm::NFC, NormForm::NFD, NormForm::NFKC, NormForm::NFKD, 3};

std::unique_ptr<TEncoding> ChooseEncoding(std::uint8_t choice) {
    constexpr int Ways = 3;
    const std::size_t pick = choice / Ways;
    switch (choice % Ways) {
    case 0: return EncodingFromIndex(static_cast<int>(pick % (EncodingIndex::Count + 1)) - 1);
    case 1: return EncodingFromCodePage(CodePages[pick % CodePages.size()]);
    default: return EncodingFromName(Names[pick % Names.size()]);
    }
}

[[noreturn]] void Finding(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

// One conversion made piece by piece, the last piece marked as such.
template <typename Whole, typename Convert> auto InPieces(Whole whole, qsizetype piece, Convert convert) {
    decltype(convert(whole, true)) out;
    qsizetype at = 0;
    do {
        const qsizetype n = std::min(piece, whole.size() - at);
        out += convert(whole.sliced(at, n), at + n >= whole.size());
        at += n;
    } while (at < whole.size());
    return out;
}

QString DecodeInPieces(TextDecoder& decoder, QByteArrayView bytes, qsizetype piece) {
    return InPieces(bytes, piece, [&](QByteArrayView part, bool last) { return decoder.Decode(part, last); });
}

QByteArray EncodeInPieces(TextEncoder& encoder, QStringView text, qsizetype piece) {
    return InPieces(text, piece, [&](QStringView part, bool last) { return encoder.Encode(part, last); });
}

bool KeepsEveryText(int codePage) {
    return codePage == CodePage::Utf16LE || codePage == CodePage::Utf16BE || codePage == CodePage::Utf8;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::unique_ptr<TEncoding> encoding = ChooseEncoding(input.Byte());
    const std::uint8_t flags = input.Byte();
    const qsizetype piece = 1 + input.Byte() % 17;
    const int form = NormForms[input.Byte() % NormForms.size()];
    const QByteArrayView bytes = input.Rest();

    DetectEncoding(bytes, flags & 0x1F);
    QByteArray copy = bytes.toByteArray();
    QBuffer stream(&copy);
    stream.open(QIODevice::ReadOnly);
    DetectEncodingStream(stream, piece * 64 - 65, flags & 0x1F);
    if (encoding == nullptr) return 0;

    const bool skipPreamble = (flags & 0x20) != 0;
    const QString whole = encoding->NewDecoder(skipPreamble)->Decode(bytes, true);
    const std::unique_ptr<TextDecoder> decoder = encoding->NewDecoder(skipPreamble);
    if (DecodeInPieces(*decoder, bytes, piece) != whole)
        Finding("decoding in pieces differs from decoding whole");
    if (DecodeInPieces(*decoder, bytes, piece) != whole)
        Finding("a decoder does not start a new stream afresh");
    DecodeFileBytes(bytes, *encoding, (flags & 0x40) != 0);

    const QByteArray encoded = encoding->GetBytes(whole);
    const std::unique_ptr<TextEncoder> encoder = encoding->NewEncoder();
    if (EncodeInPieces(*encoder, whole, piece) != encoded)
        Finding("encoding in pieces differs from encoding whole");
    if (EncodeInPieces(*encoder, whole, piece) != encoded)
        Finding("an encoder does not start a new text afresh");
    if (KeepsEveryText(encoding->CodePage()) && encoding->GetString(encoded) != whole)
        Finding("a Unicode form does not give back the text it encoded");

    QString normalized;
    NormalizeText(whole, normalized, form);
    return 0;
}
