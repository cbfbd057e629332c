// PRINT USING: the format language that lays values out in fields ("!", "& &", "@" for strings,
// "#", "*", "+", "\" for numbers, "_" to write the next character as it stands). The walk over the
// format is shared with PRINT# USING, which sends the same text to a file instead of the run window.
#pragma once

#include <QString>

// PRINT USING format; values...
// The format is on top of the Gl stack and the values below it, the first field's value on top. The
// formatted text is appended to PrintLine; the line is not ended. On an error the text of the fields
// laid out before it stays in PrintLine.
void ExecPrintUsing();

// Whether a full-width character takes the character after it along as literal text (PRINT USING),
// or every character is classified on its own (PRINT# USING).
enum class UsingWidePairs { Keep, Ignore };

// Lays out `format` with values popped from the Gl stack and appends the text to `out`. False with
// ErrorNumber set on an error; `out` then holds the text of the fields laid out before the failing
// one, and the values they used are popped. Values left over stay on the stack.
bool FormatUsing(const QString& format, QString& out, UsingWidePairs widePairs = UsingWidePairs::Keep);

// Pops the format of a PRINT USING; false, with the error raised, where the compiled code put none there.
bool PopUsingFormat(QString& format);

// A string field ("!", "&...&", "@") or an "_" escape starting at `index` (0-based) of `format`,
// which is looked at up to `length`. `index` moves to the field's last character. The field's text is
// put in `result`; a string field pops its value. False with ErrorNumber set on an error.
bool ScanUsingField(const QString& format, qsizetype& index, qsizetype length, QString& result);

// A numeric field starting at `index`: the same contract as ScanUsingField, with a number popped.
bool FormatPrintUsing(const QString& format, qsizetype& index, qsizetype length, QString& result);

// Puts thousands commas into the integer part of a number text ("-1234567.5" -> "-1,234,567.5").
QString SplitNumberText(const QString& text);

// True for a character that takes two bytes in Shift-JIS (kanji, kana, full-width forms).
bool IsDoubleByteChar(QChar c);
