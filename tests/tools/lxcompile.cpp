// lxcompile FILE.lxt: compiles a program file as a run of the program would (pre-scan, scan,
// compiler, open-block check) and prints its code listing; on an error it prints the error line the
// run window would show and exits with 1. Used to inspect and compare compiled code.
#include "frontend/errortext.h"
#include "frontend/listing.h"
#include "frontend/programfile.h"
#include "frontend/sharedstate.h"
#include "resources/texts.h"
#include "tests/compiletext.h"

#include <QByteArray>
#include <QString>

#include <cstdio>

namespace {

constexpr int ExitError = 1;
constexpr int ExitUsage = 2;

void Write(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: lxcompile FILE.lxt\n", stderr);
        return ExitUsage;
    }
    QString text;
    QString readError;
    if (!ReadProgramFile(QString::fromLocal8Bit(argv[1]), text, readError)) {
        Write(stderr, readError + QLatin1Char('\n'));
        return ExitUsage;
    }

    const bool compiled = CompileWholeProgramText(text);
    if (!compiled) {
        const int number = ErrorNumber;
        Write(stdout, ResourceText(Res::ErrorWord) + QLatin1Char(':') + ErrorMessage(number) +
                          QLatin1Char('(') + LineColumnText(ErrorPosition - 1) + QStringLiteral(")\n"));
        return ExitError;
    }
    QString listing;
    CodeListing(listing);
    Write(stdout, listing);
    return 0;
}
