// Program text through the whole front end as a run of the program takes it: the file's bytes decoded
// in their detected encoding, line ends made CR LF, then pre-scan, statement scan, compiler and the
// open-block check; a compiled program is listed (pre-code and code), an error is put into the words
// the run window shows. The same text is compiled a second time and must give the same result: the
// interpreter reset has to leave nothing of the previous compilation behind.
#include "core/encodedetect.h"
#include "core/errortext.h"
#include "core/programfile.h"
#include "core/sharedstate.h"
#include "frontend/listing.h"
#include "tests/compiletext.h"

#include <QByteArrayView>
#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// The largest program text a run accepts (the engine refuses longer ones before compiling).
constexpr int CompileTextLimit = 0x40000;

QString CompileAndList(const QString& text) {
    const bool compiled = CompileWholeProgramText(text);
    QString result;
    if (!compiled) {
        result = ErrorMessage(Fe.ErrorNumber) + LineColumnText(Fe.ErrorPosition - 1);
    } else {
        PreCodeListing(result);
        CodeListing(result);
    }
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    const int detected = DetectEncoding(bytes.first(std::min<qsizetype>(bytes.size(), DetectSampleSize)));
    const QString text = ToCrLf(DecodeFileBytes(bytes, *EncodingFromIndex(detected)));
    if (text.size() + 4 >= CompileTextLimit) return 0;

    const QString first = CompileAndList(text);
    const QString second = CompileAndList(text);
    if (first != second) {
        std::fprintf(stderr, "a second compilation of the same text differs:\n%s\n---\n%s\n",
                     qPrintable(first), qPrintable(second));
        std::abort();
    }
    return 0;
}
