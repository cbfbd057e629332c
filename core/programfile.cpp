// Reading a program file: its text decoded in the detected encoding and every line end made CR LF.
#include "core/programfile.h"

#include "core/encodedetect.h"

#include <QFileInfo>

QString ToCrLf(const QString& text) {
    QString out;
    out.reserve(text.size() + text.size() / 16);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r')) {
            out += QStringLiteral("\r\n");
            if (i + 1 < n && text.at(i + 1) == QLatin1Char('\n')) ++i;
        } else if (c == QLatin1Char('\n')) {
            out += QStringLiteral("\r\n");
        } else {
            out += c;
        }
    }
    return out;
}

bool ReadProgramFile(const QString& path, QString& text, QString& error) {
    if (!QFileInfo(path).isFile()) {
        error = QStringLiteral("no such file: ") + path;
        return false;
    }
    QString raw;
    if (!ReadTextFileDetected(path, raw)) {
        error = QStringLiteral("cannot read: ") + path;
        return false;
    }
    text = ToCrLf(raw);
    return true;
}
