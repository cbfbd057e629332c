// Program text from a file: read in its detected encoding, with every line end made CR LF, which is
// the only line end the front end knows.
#pragma once

#include <QString>

// Reads `path` (encoding detected) into `text` with CR LF line ends; false with `error` set when the
// file cannot be read.
bool ReadProgramFile(const QString& path, QString& text, QString& error);

// CR LF for every line end in `text` (CR LF, lone LF and lone CR are all accepted).
QString ToCrLf(const QString& text);
