// The program's eight file channels: each holds a buffered text reader (INPUT) or writer (OUTPUT,
// APPEND) over the text encodings, the output column of PRINT#, and the one character that reading a
// field may look ahead. Also the field reading of INPUT#, the SETENCODING choice and the FILES listing.
// Everything here runs on the interpreter thread (or, when no run is active, on the thread that resets).
#pragma once

#include "core/sharedstate.h"
#include "platform/textencoding.h"

#include <QFile>
#include <QString>
#include <QStringView>

#include <array>
#include <memory>

// Reads a text file character by character and line by line. Line ends are CR LF, LF or a lone CR.
class TFileTextReader {
public:
    // Opens `path` for reading in `encoding`; a byte-order mark of that encoding at the start is
    // skipped. Null with `error` set (an error number) when the file cannot be opened.
    static std::unique_ptr<TFileTextReader> Open(const QString& path, const TEncoding& encoding, int& error);

    bool EndOfStream() { return pos_ >= buffer_.size() && !Fill(); }
    // Whether a character is at hand in the buffer, so that the stream has not ended, with nothing read.
    bool HasBuffered() const { return pos_ < buffer_.size(); }
    // The next character without taking it; -1 at the end of the stream.
    int Peek() { return pos_ < buffer_.size() || Fill() ? buffer_[pos_].unicode() : -1; }
    // The next character; -1 at the end of the stream.
    int Read() { return pos_ < buffer_.size() || Fill() ? buffer_[pos_++].unicode() : -1; }
    // The rest of the current line without its line end (which is consumed). False at the end.
    bool ReadLine(QString& line) {
        line.resize(0); // the room stays for the next line
        return AppendLine(line);
    }
    // The same, appended to `line`. A line of any length is read; as it grows it is weighed against
    // the run's memory budget (30101 when it does not fit) and a stop request ends it where it stands:
    // false then too, so that a reader of line after line ends with it.
    bool AppendLine(QString& line);
    // Up to `count` characters appended to `text`: fewer at the end of the stream, or where the budget
    // or a stop ends the reading as for AppendLine.
    void AppendChars(QString& text, qsizetype count);
    // A CR LF, CR or LF at the current position is consumed; true when one was there.
    bool SkipLineEnd();

private:
    TFileTextReader() = default;
    // Decodes the next piece of the file into the buffer; false at the end of the file.
    bool Fill();

    QFile file_;
    std::unique_ptr<TextDecoder> decoder_;
    QByteArray bytes_;
    QString buffer_;
    qsizetype pos_ = 0;
    bool done_ = false;
};

// Writes text to a file in an encoding. What is written is held in a buffer and reaches the file when
// the buffer fills, when the writer closes, and whenever anything may look at the file (FlushFileOutput):
// a program cannot tell the difference, only the speed. Nor in its failures: held text that cannot be
// written, whoever writes it out, is reported as the failure of the PRINT# that began it (error 50026
// naming PRINT#, at that statement), and after a failure nothing more is written or taken as written.
class TFileTextWriter {
public:
    // Creates (or empties) `path`, or appends to it with `append`. The encoding's byte-order mark is
    // written when the file starts empty. Null with `error` set when the file cannot be opened.
    static std::unique_ptr<TFileTextWriter> Open(const QString& path, const TEncoding& encoding, bool append,
                                                 int& error);
    ~TFileTextWriter();

    bool Write(QStringView text);
    // `text` followed by the line end of files written by programs, CR LF.
    bool WriteLine(QStringView text);
    // Hands what the buffer holds to the file.
    bool Flush();
    // Ends the encoding's output (a pending shift state returns to ASCII) and closes the file.
    bool Close();

private:
    TFileTextWriter() = default;
    // Makes this the one writer whose buffer holds bytes: another one's go to their file first, so the
    // files see the writes of all channels in the order the program made them.
    void TakeTurn();
    // `text` encoded into the buffer; what does not fit goes to the file.
    bool Append(QStringView text);
    // Plain ASCII that the encoder would write as it stands, narrowed straight into the buffer;
    // false, with nothing written, for any other text.
    bool AppendAscii(QStringView text);
    bool Put(QByteArrayView bytes);
    bool WriteBytes(QByteArrayView bytes);
    // The buffer is about to take its first bytes: they belong to the statement running now.
    void NoteFirstBytes();
    // Raises the failure of the statement whose text was lost, unless an error already stands.
    void ReportLostText() const;

    QFile file_;
    bool open_ = false;
    bool failed_ = false; // a write to the file failed: the file ends where it did
    int heldFrom_ = 0;    // the code index after the statement whose text the buffer begins with
    std::unique_ptr<TextEncoder> encoder_;
    std::unique_ptr<char[]> buffer_; // the bytes not yet in the file: used_ of them
    qsizetype used_ = 0;
    QByteArray encoded_; // a text the encoder had to convert
};

// Writes out what a channel's writer holds. Everything that reads, measures, copies or names a file,
// or starts a process, or waits for the user or the clock, calls it first (ProgramFilePath does), and
// so do the end, stop and restart of a run. False when the writing failed, which is raised as the
// failure of the PRINT# whose text was lost (Eng.HeldErrorPosition names it).
bool FlushFileOutput();

struct FileChannelType {
    std::unique_ptr<TFileTextReader> Reader; // mode 1
    std::unique_ptr<TFileTextWriter> Writer; // modes 2 and 3
    qsizetype Column = 0;                    // characters written on the current line (PRINT# zones)
    char16_t Pushback = 0;                   // one character read ahead by ReadFileItem
    bool PushbackPending = false;
};

// 1-based; index 0 is unused. FileMode and FileName (shared state) go with them.
extern std::array<FileChannelType, FileChannelCount + 1> FileChannels;

inline bool IsFileChannel(int n) {
    return n >= 1 && n <= FileChannelCount;
}

// The path of a file name a program gives: "\" separates folders as "/" does. Whatever uses the path
// will look at the file system, so the channels' buffered output is written out first.
QString ProgramFilePath(const QString& name);

// OPEN: mode 1 input, 2 output, 3 append; any other mode does nothing. The channel must be closed
// and within 1 to 8 (the executor checks). Errors: 54092 empty name, 2101 a file to read or append to
// that does not exist, 2102 / 2103 / 52105 a file that cannot be opened or created, 3003 a code page
// that names no encoding. Nothing happens while ErrorNumber is already set.
void OpenFileChannel(const QString& name, int mode, int n);
// CLOSE: n 1 to 8 closes that channel (what a writer holds reaches its file); 0 closes all eight.
// False when what a writer held could not all be written.
bool CloseFileChannel(int n);
void CloseAllFileChannels();

namespace ReadItemMode {
inline constexpr int Number = 0; // an unquoted field: ends at a blank after text or at ","
inline constexpr int String = 1; // a field that may be quoted: commas inside quotes are kept
} // namespace ReadItemMode

// One field of INPUT# from the channel's reader (the channel must be open for input). The text is
// trimmed of blanks and control characters.
QString ReadFileItem(int n, int mode);
// The same into `text`, whose room serves again when it is its own (a variable read line after line).
void ReadFileItemInto(int n, int mode, QString& text);
// The text without the blanks and control characters at either end, as INPUT and INPUT# take a field.
QString TrimField(QStringView text);
// The same in place.
void TrimFieldInPlace(QString& text);
// A numeric field: empty counts as 0; a text that is not a number is error 3041 (result 0).
Extended ReadFileNumber(int n);
// Whether the channel has nothing more to give: its reader is at the end and no character read ahead
// is still held back. Every reader of a channel (INPUT#, LINE INPUT#, INPUT$, EOF) asks this one test,
// so the last field of a file without a final line end is data to all of them.
bool FileChannelAtEnd(int n);
// Whether the channel (1 to 8) has a character at hand, so that FileChannelAtEnd would be false without
// reading the file: false says nothing either way.
inline bool FileChannelHasBuffered(int n) {
    const FileChannelType& channel = FileChannels[static_cast<std::size_t>(n)];
    return channel.PushbackPending || (channel.Reader != nullptr && channel.Reader->HasBuffered());
}

// Whether a text read piece by piece may take `more` characters: false when a stop is requested, or
// (with 30101 raised) when the room it would grow into passes the run's memory budget. Reading that
// builds a value from a file asks it at least every ReadCheckChars characters.
bool ReadingMayGrow(const QString& text, qsizetype more);
inline constexpr qsizetype ReadCheckChars = 64 * 1024;

// The standard conversion of typed or read text to a number: leading blanks, a sign, digits with an
// optional "." and an exponent "E" / "e" with an optional sign. Anything else (a trailing blank
// included), or a value beyond the number range, is refused with false.
bool TextToReal(QStringView text, Extended& value);

// SETENCODING code page | name: sets FileEncoding from the value on the Gl stack.
void ExecSetEncoding();
// FILES [pattern]: lists the current folder's entries that match (the next item holds the pattern).
void ExecFiles();
// The text of one FILES line for an entry.
QString FilesEntryLine(const QString& name, bool directory, qint64 size);
// Windows-style wildcard match ("*", "?", a trailing ".*" also matching names without a dot),
// ignoring case as file names on Windows do.
bool MatchFilePattern(const QString& pattern, const QString& name);
