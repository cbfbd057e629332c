// lxcompile [--decoded] FILE.lxt: compiles a program file as a run of the program would (pre-scan,
// scan, compiler, open-block check) and prints its code listing; on an error it prints the error line
// the run window would show and exits with 1. Used to inspect and compare compiled code.
// --decoded adds, after the listing, the statements the run loop runs in one pass: "decoded:", then
// "[index:position]Kind, next N" (", else M" where a condition picks one of two ways) for every index
// the run can reach whose statement runs decoded; every other item runs by the general path.
#include "core/errortext.h"
#include "core/programfile.h"
#include "core/sharedstate.h"
#include "engine/decoded/listing.h"
#include "frontend/listing.h"
#include "resources/texts.h"
#include "tests/compiletext.h"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstring>

namespace {

constexpr int ExitError = 1;
constexpr int ExitUsage = 2;

void Write(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
}

} // namespace

int main(int argc, char** argv) {
    const bool decoded = argc == 3 && std::strcmp(argv[1], "--decoded") == 0;
    if (argc != 2 && !decoded) {
        std::fputs(
            "usage: lxcompile [--decoded] FILE.lxt\n"
            "  --decoded  after the listing, \"decoded:\" and one line \"[index:position]Kind, next N\"\n"
            "             (\", else M\" for a condition) per statement the run loop runs in one pass\n",
            stderr);
        return ExitUsage;
    }
    QString text;
    QString readError;
    if (!ReadProgramFile(QString::fromLocal8Bit(argv[argc - 1]), text, readError)) {
        Write(stderr, readError + QLatin1Char('\n'));
        return ExitUsage;
    }

    const bool compiled = CompileWholeProgramText(text);
    if (!compiled) {
        const int number = Fe.ErrorNumber;
        Write(stdout, ResourceText(Res::ErrorWord) + QLatin1Char(':') + ErrorMessage(number) +
                          QLatin1Char('(') + LineColumnText(Fe.ErrorPosition - 1) + QStringLiteral(")\n"));
        return ExitError;
    }
    QString listing;
    CodeListing(listing);
    Write(stdout, listing);
    if (decoded) {
        DecodedListing(listing);
        Write(stdout, listing);
    }
    return 0;
}
