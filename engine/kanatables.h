// Width and kana mappings of Japanese text for AKCNV$, KACNV$ and STRCONV: ASCII and half-width
// katakana to their full-width forms and back (voiced marks joined to or split from their kana), and
// hiragana to katakana and back. Characters without a counterpart pass through unchanged.
#pragma once

#include <QString>
#include <QStringView>

QString ToFullWidth(QStringView text);
QString ToHalfWidth(QStringView text);
QString ToKatakana(QStringView text);
QString ToHiragana(QStringView text);
