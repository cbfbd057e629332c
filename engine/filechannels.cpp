// The file channels: the buffered text reader and writer over an encoding, the field reading of INPUT#
// with its one character of look-ahead, and the matching of FILES patterns.
#include "engine/filechannels.h"

#include "core/encodedetect.h"
#include "core/errornumbers.h"
#include "core/itembuffers.h"
#include "core/raiseerror.h"
#include "core/tables.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/enginestate.h"
#include "engine/errorposition.h"
#include "engine/numconvert.h"
#include "engine/printline.h"
#include "resources/texts.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cfenv>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>

std::array<FileChannelType, FileChannelCount + 1> FileChannels;

namespace {

// Bytes read, and bytes a writer holds, at a time: enough to make each system call worth it, and no
// more than a cache keeps.
constexpr qint64 ReadChunkBytes = 64 * 1024;
constexpr qsizetype WriteBufferBytes = 64 * 1024;
constexpr char16_t LineEnd[] = u"\r\n";
constexpr char16_t AsciiLimit = 0x80;
constexpr char16_t Cr = u'\r';
constexpr char16_t Lf = u'\n';
constexpr char16_t Blank = u' ';
constexpr char16_t Comma = u',';
constexpr char16_t Quote = u'"';
constexpr char16_t LastControl = u' '; // trimming takes blanks and every control character
constexpr qsizetype MaxExactDigits = 18;
constexpr std::uint64_t DecimalBase = 10;

constexpr char Utf8Bom[] = "\xEF\xBB\xBF";
constexpr qint64 Utf8BomLength = 3;

// FILES: a size is right-aligned in this many columns; a folder shows this mark in their place.
constexpr int FilesSizeColumns = 14;
constexpr char16_t FilesDirectoryMark[] = u"<DIR>          ";
constexpr char16_t FilesAllPattern[] = u"*.*";

// SETENCODING names and their code pages, compared upper-cased.
struct EncodingNameEntry {
    const char16_t* Name;
    int CodePage;
};
constexpr int AutoEncoding = -1;
constexpr EncodingNameEntry EncodingNames[] = {
    {u"SHIFT_JIS", CodePage::ShiftJis},
    {u"UTF-16", CodePage::Utf16LE},
    {u"UNICODEFFFE", CodePage::Utf16BE},
    {u"EUC-JP", CodePage::EucJp},
    {u"ISO-2022-JP", CodePage::Iso2022Jp},
    {u"UTF-8", CodePage::Utf8},
    {u"AUTO", AutoEncoding},
};

// A text of leading blanks, an optional sign and 1 to 18 digits: its value, which an 80-bit number
// holds exactly. False for any other text.
bool WholeNumberValue(QStringView text, Extended& value) {
    qsizetype i = 0;
    const qsizetype size = text.size();
    while (i < size && text[i] == Blank)
        ++i;
    bool negative = false;
    if (i < size && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    const qsizetype digits = size - i;
    if (digits < 1 || digits > MaxExactDigits) return false;
    std::uint64_t whole = 0;
    for (; i < size; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') return false;
        whole = whole * DecimalBase + (c - u'0');
    }
    const auto magnitude = static_cast<Extended>(whole);
    value = negative ? -magnitude : magnitude;
    return true;
}

bool IsLineEndChar(int c) {
    return c == Cr || c == Lf;
}

// Why a file to write cannot be opened, as the error the program sees.
int WriteOpenError(const QString& path) {
    const QFileInfo info(path);
    if (!info.absoluteDir().exists()) return Err::PathNotFound;
    if (info.isDir() || (info.exists() && !info.isWritable())) return Err::AccessDenied;
    return Err::FileCreateFailed;
}

// The encoding of a channel: the code page chosen by SETENCODING, else `automatic`.
std::unique_ptr<TEncoding> ChannelEncoding(std::unique_ptr<TEncoding> automatic) {
    if (Ps.FileEncoding < 1) return automatic;
    return EncodingFromCodePage(Ps.FileEncoding);
}

// Pushback first, then the reader.
int NextFieldChar(FileChannelType& channel) {
    if (channel.PushbackPending) {
        channel.PushbackPending = false;
        return channel.Pushback;
    }
    return channel.Reader->Read();
}

void HoldBack(FileChannelType& channel, int c) {
    channel.Pushback = static_cast<char16_t>(c);
    channel.PushbackPending = true;
}

// The folder part and the name pattern of FILES' argument.
void SplitPattern(const QString& pattern, QString& folder, QString& names) {
    const QString path = ProgramFilePath(pattern);
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0) {
        folder = QStringLiteral(".");
        names = path;
        return;
    }
    folder = slash == 0 ? QStringLiteral("/") : path.left(slash);
    names = path.mid(slash + 1);
}

bool MatchFrom(QStringView pattern, QStringView name) {
    qsizetype p = 0, n = 0;
    qsizetype starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || QChar::toCaseFolded(pattern[p].unicode()) ==
                                                             QChar::toCaseFolded(name[n].unicode()))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

// Gives the channel a fresh writer on `path`, at its end when appending; false, with the error raised,
// where the file does not open.
bool OpenChannelWriter(FileChannelType& channel, const QString& path, const TEncoding& encoding,
                       bool append) {
    int error = Err::None;
    std::unique_ptr<TFileTextWriter> writer = TFileTextWriter::Open(path, encoding, append, error);
    if (!writer) {
        RaiseError(error);
        return false;
    }
    channel.Reader.reset();
    channel.Writer = std::move(writer);
    channel.Column = 0;
    return true;
}

// The writer whose buffer holds bytes not yet in its file; at most one at a time.
TFileTextWriter* HoldingWriter = nullptr;

} // namespace

// ---- reader -------------------------------------------------------------------------------------------

std::unique_ptr<TFileTextReader> TFileTextReader::Open(const QString& path, const TEncoding& encoding,
                                                       int& error) {
    std::unique_ptr<TFileTextReader> reader(new TFileTextReader);
    reader->file_.setFileName(path);
    // The reader reads in large pieces itself; the device's own buffer would only copy them once more.
    if (!reader->file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        error = Err::AccessDenied;
        return nullptr;
    }
    // A UTF-8 mark is never text, even for the code page 65001 that writes none.
    if (encoding.GetPreamble().isEmpty() && encoding.CodePage() == CodePage::Utf8) {
        if (reader->file_.peek(Utf8BomLength) == QByteArray(Utf8Bom, Utf8BomLength))
            reader->file_.seek(Utf8BomLength);
    }
    reader->decoder_ = encoding.NewDecoder(true);
    return reader;
}

bool TFileTextReader::Fill() {
    // A channel writing this file has its lines in it before they are read.
    FlushFileOutput();
    while (pos_ >= buffer_.size()) {
        if (done_) return false;
        bytes_.resize(ReadChunkBytes);
        const qint64 got = file_.read(bytes_.data(), ReadChunkBytes);
        bytes_.resize(got > 0 ? got : 0); // a read error simply ends the stream
        buffer_.resize(0);
        pos_ = 0;
        decoder_->DecodeAppend(bytes_, bytes_.isEmpty(), buffer_);
        if (bytes_.isEmpty()) done_ = true;
    }
    return true;
}

bool TFileTextReader::SkipLineEnd() {
    const int c = Peek();
    if (c == Lf) {
        ++pos_;
        return true;
    }
    if (c != Cr) return false;
    ++pos_;
    if (Peek() == Lf) ++pos_;
    return true;
}

bool TFileTextReader::AppendLine(QString& line) {
    if (EndOfStream()) return false;
    while (pos_ < buffer_.size() || Fill()) {
        const char16_t* const data = reinterpret_cast<const char16_t*>(buffer_.constData());
        const qsizetype size = buffer_.size();
        const qsizetype start = pos_;
        qsizetype at = start;
        while (at < size && !IsLineEndChar(data[at]))
            ++at;
        if (!ReadingMayGrow(line, at - start)) return false;
        line.append(QStringView(data + start, at - start));
        pos_ = at;
        if (at < size) {
            SkipLineEnd();
            break;
        }
    }
    return true;
}

void TFileTextReader::AppendChars(QString& text, qsizetype count) {
    qsizetype wanted = count;
    while (wanted > 0 && (pos_ < buffer_.size() || Fill())) {
        const qsizetype piece = std::min(wanted, buffer_.size() - pos_);
        if (!ReadingMayGrow(text, piece)) break;
        text.append(QStringView(buffer_).mid(pos_, piece));
        pos_ += piece;
        wanted -= piece;
    }
}

bool ReadingMayGrow(const QString& text, qsizetype more) {
    const qsizetype size = text.size() + more;
    // Past its room the text moves to a room about twice its size, while the old room is still held.
    const std::size_t growth =
        size <= text.capacity() ? 0 : static_cast<std::size_t>(size) * 2 * sizeof(char16_t);
    switch (CheckBuildStep(growth)) {
    case BuildStep::Go: return true;
    case BuildStep::Stop: return false;
    case BuildStep::OutOfMemory: break;
    }
    RaiseError(Err::OutOfMemory);
    return false;
}

// ---- writer -------------------------------------------------------------------------------------------

std::unique_ptr<TFileTextWriter> TFileTextWriter::Open(const QString& path, const TEncoding& encoding,
                                                       bool append, int& error) {
    std::unique_ptr<TFileTextWriter> writer(new TFileTextWriter);
    writer->file_.setFileName(path);
    const QIODevice::OpenMode mode =
        QIODevice::WriteOnly | QIODevice::Unbuffered | (append ? QIODevice::Append : QIODevice::Truncate);
    if (QFileInfo(path).isDir() || !writer->file_.open(mode)) {
        error = WriteOpenError(path);
        return nullptr;
    }
    writer->open_ = true;
    writer->encoder_ = encoding.NewEncoder();
    writer->buffer_ = std::make_unique<char[]>(WriteBufferBytes);
    const QByteArray preamble = encoding.GetPreamble();
    if (writer->file_.size() == 0 && !preamble.isEmpty() &&
        writer->file_.write(preamble) != preamble.size()) {
        error = Err::FileCreateFailed;
        return nullptr;
    }
    return writer;
}

TFileTextWriter::~TFileTextWriter() {
    Close();
}

bool TFileTextWriter::WriteBytes(QByteArrayView bytes) {
    // A file that lost some text is not written after the gap: what it holds is what came before.
    if (failed_) return false;
    if (bytes.isEmpty() || file_.write(bytes.data(), bytes.size()) == bytes.size()) return true;
    failed_ = true;
    ReportLostText();
    return false;
}

void TFileTextWriter::NoteFirstBytes() {
    heldFrom_ = Ib.CodeIndex;
}

void TFileTextWriter::ReportLostText() const {
    if (Fe.ErrorNumber != 0) return;
    RaiseError(Err::StatementFailed, St::PRINTFile);
    Eng.HeldErrorPosition = ErrorPositionBefore(heldFrom_);
}

// The other channel's text goes to its file first; its failure is its own, raised by its writer.
void TFileTextWriter::TakeTurn() {
    if (HoldingWriter == this) return;
    if (HoldingWriter != nullptr) HoldingWriter->Flush();
    HoldingWriter = this;
}

bool TFileTextWriter::Flush() {
    if (HoldingWriter == this) HoldingWriter = nullptr;
    const bool ok = WriteBytes(QByteArrayView(buffer_.get(), used_));
    used_ = 0;
    return ok;
}

bool TFileTextWriter::Put(QByteArrayView bytes) {
    if (used_ + bytes.size() > WriteBufferBytes && !Flush()) return false;
    if (used_ == 0) NoteFirstBytes();
    if (bytes.size() > WriteBufferBytes) return WriteBytes(bytes);
    std::memcpy(buffer_.get() + used_, bytes.data(), static_cast<std::size_t>(bytes.size()));
    used_ += bytes.size();
    return !failed_;
}

bool TFileTextWriter::AppendAscii(QStringView text) {
    const qsizetype size = text.size();
    if (used_ + size > WriteBufferBytes || !encoder_->TakesAsciiAsIs()) return false;
    char* to = buffer_.get() + used_;
    const char16_t* from = text.utf16();
    char16_t seen = 0;
    for (qsizetype i = 0; i < size; ++i) {
        seen |= from[i];
        to[i] = static_cast<char>(from[i]);
    }
    if (seen >= AsciiLimit) return false; // the bytes past used_ are simply written over
    used_ += size;
    return true;
}

bool TFileTextWriter::Append(QStringView text) {
    if (failed_) return false;
    if (used_ == 0) NoteFirstBytes();
    if (AppendAscii(text)) return true;
    encoded_.resize(0);
    encoder_->EncodeAppend(text, false, encoded_);
    return Put(encoded_);
}

bool TFileTextWriter::Write(QStringView text) {
    if (!open_) return false;
    TakeTurn();
    return Append(text);
}

bool TFileTextWriter::WriteLine(QStringView text) {
    if (!open_) return false;
    TakeTurn();
    return Append(text) && Append(LineEnd);
}

bool TFileTextWriter::Close() {
    if (!open_) return true;
    TakeTurn();
    encoded_.resize(0);
    encoder_->EncodeAppend(QStringView(), true, encoded_);
    Put(encoded_);
    const bool ok = Flush();
    file_.close();
    open_ = false;
    return ok;
}

bool FlushFileOutput() {
    return HoldingWriter == nullptr || HoldingWriter->Flush();
}

// ---- channels -------------------------------------------------------------------------------------------

QString ProgramFilePath(const QString& name) {
    FlushFileOutput();
    QString path = name;
    path.replace(u'\\', u'/');
    return path;
}

void OpenFileChannel(const QString& name, int mode, int n) {
    if (Fe.ErrorNumber != 0 || !IsFileChannel(n)) return;
    if (name.isEmpty()) {
        RaiseError(Err::EmptyFileName);
        return;
    }
    if (mode != FileModeKind::Input && mode != FileModeKind::Output && mode != FileModeKind::Append) return;

    const QString path = ProgramFilePath(name);
    if (Fe.ErrorNumber != 0) return; // held text of another channel was lost
    FileChannelType& channel = FileChannels[static_cast<std::size_t>(n)];
    if (mode == FileModeKind::Output) {
        const std::unique_ptr<TEncoding> encoding = ChannelEncoding(NewSystemEncoding());
        if (!encoding) {
            RaiseError(Err::OpenFailed);
            return;
        }
        if (!OpenChannelWriter(channel, path, *encoding, false)) return;
    } else {
        if (!QFileInfo(path).isFile()) {
            RaiseError(Err::FileNotFound);
            return;
        }
        std::unique_ptr<TEncoding> encoding =
            Ps.FileEncoding < 1 ? GetFileEncoding(path) : EncodingFromCodePage(Ps.FileEncoding);
        if (!encoding) {
            RaiseError(Ps.FileEncoding < 1 ? Err::AccessDenied : Err::OpenFailed);
            return;
        }
        if (mode == FileModeKind::Input) {
            int error = Err::None;
            std::unique_ptr<TFileTextReader> reader = TFileTextReader::Open(path, *encoding, error);
            if (!reader) {
                RaiseError(error);
                return;
            }
            channel.Writer.reset();
            channel.Reader = std::move(reader);
        } else {
            if (!OpenChannelWriter(channel, path, *encoding, true)) return;
        }
        channel.PushbackPending = false;
    }
    Ps.FileMode[static_cast<std::size_t>(n)] = mode;
    Ps.FileName[static_cast<std::size_t>(n)] = name;
}

bool CloseFileChannel(int n) {
    if (n == 0) {
        bool ok = true;
        for (int k = 1; k <= FileChannelCount; ++k)
            ok = CloseFileChannel(k) && ok;
        return ok;
    }
    if (!IsFileChannel(n)) return true;
    FileChannelType& channel = FileChannels[static_cast<std::size_t>(n)];
    channel.Reader.reset();
    bool ok = true;
    if (channel.Writer) {
        ok = channel.Writer->Close();
        channel.Writer.reset();
    }
    channel.PushbackPending = false;
    channel.Column = 0;
    Ps.FileMode[static_cast<std::size_t>(n)] = FileModeKind::Closed;
    return ok;
}

void CloseAllFileChannels() {
    CloseFileChannel(0);
}

// The interpreter reset closes the channels through this hook; installed as soon as the engine's
// channels exist in the program.
[[maybe_unused]] const bool ChannelHookInstalled = [] {
    Ps.CloseAllFileChannelsHook = &CloseAllFileChannels;
    return true;
}();

namespace {

// The part of a field left once blanks and control characters are cut from both ends: [first, last).
void FieldBounds(QStringView text, qsizetype& first, qsizetype& last) {
    first = 0;
    last = text.size();
    while (first < last && text[first].unicode() <= LastControl)
        ++first;
    while (last > first && text[last - 1].unicode() <= LastControl)
        --last;
}

} // namespace

void TrimFieldInPlace(QString& text) {
    qsizetype first = 0;
    qsizetype last = 0;
    FieldBounds(text, first, last);
    text.truncate(last);
    if (first > 0) text.remove(0, first);
}

QString TrimField(QStringView text) {
    qsizetype first = 0;
    qsizetype last = 0;
    FieldBounds(text, first, last);
    return text.mid(first, last - first).toString();
}

bool FileChannelAtEnd(int n) {
    if (!IsFileChannel(n)) return true;
    FileChannelType& channel = FileChannels[static_cast<std::size_t>(n)];
    if (channel.PushbackPending) return false;
    return channel.Reader == nullptr || channel.Reader->EndOfStream();
}

// ---- reading fields --------------------------------------------------------------------------------------

QString ReadFileItem(int n, int mode) {
    QString text;
    ReadFileItemInto(n, mode, text);
    return text;
}

void ReadFileItemInto(int n, int mode, QString& text) {
    text.resize(0);
    if (!IsFileChannel(n)) return;
    FileChannelType& channel = FileChannels[static_cast<std::size_t>(n)];
    TFileTextReader* reader = channel.Reader.get();
    if (reader == nullptr) return;

    if (!channel.PushbackPending) {
        if (reader->EndOfStream()) return;
        if (reader->SkipLineEnd()) return; // an empty field at the end of a line
    }

    bool blankAfterText = false; // mode 0: a blank has ended the text
    bool quoteOpen = false;      // mode 1: inside "..."
    bool quoteClosed = false;    // mode 1: the closing quote has been read
    bool hasText = false;        // mode 1: a character other than a blank has been taken
    bool ended = false;
    qsizetype sinceCheck = 0;
    while (!ended) {
        if (++sinceCheck == ReadCheckChars) {
            sinceCheck = 0;
            if (!ReadingMayGrow(text, ReadCheckChars)) return;
        }
        const int c = NextFieldChar(channel);
        if (c < 0) break;
        if (mode == ReadItemMode::Number) {
            if (c == Blank) {
                if (!text.isEmpty()) blankAfterText = true;
            } else if (c == Comma) {
                ended = true;
            } else if (blankAfterText) {
                HoldBack(channel, c);
                ended = true;
            } else {
                text += QChar(static_cast<char16_t>(c));
            }
        } else if (quoteClosed) {
            // After the closing quote: blanks are dropped, "," ends the field, anything else is kept
            // for the next read.
            if (c == Comma) {
                ended = true;
            } else if (c != Blank) {
                HoldBack(channel, c);
                ended = true;
            }
        } else if (c == Blank) {
            text += QChar(Blank);
        } else if (c == Quote) {
            if (quoteOpen) {
                quoteClosed = true;
            } else if (!hasText) {
                quoteOpen = true;
                hasText = true;
                text.resize(0); // blanks before the opening quote are outside the field
            } else {
                text += QChar(Quote);
            }
        } else if (c == Comma && !quoteOpen) {
            ended = true;
        } else {
            hasText = true;
            text += QChar(static_cast<char16_t>(c));
        }
        if (!ended) {
            const int next = reader->Peek();
            if (next < 0) {
                ended = true;
            } else if (IsLineEndChar(next)) {
                reader->SkipLineEnd();
                ended = true;
            }
        }
    }
    TrimFieldInPlace(text);
}

Extended ReadFileNumber(int n) {
    // The field's room serves every number read (interpreter thread only).
    static QString text;
    ReadFileItemInto(n, ReadItemMode::Number, text);
    if (text.isEmpty()) return 0;
    Extended value = 0;
    if (!TextToReal(text, value)) {
        RaiseError(Err::InputFileBadNumber, St::INPUTFile);
        return 0;
    }
    return value;
}

bool TextToReal(QStringView text, Extended& value) {
    // A whole number of up to 18 digits is exact as it stands: no conversion of text, no flags.
    if (WholeNumberValue(text, value)) return true;
    qsizetype i = 0;
    while (i < text.size() && text[i] == Blank)
        ++i;
    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(text.size()));
    auto isDigit = [&](qsizetype at) { return at < text.size() && text[at] >= u'0' && text[at] <= u'9'; };
    auto takeDigits = [&] {
        qsizetype count = 0;
        for (; isDigit(i); ++i, ++count)
            ascii += static_cast<char>(text[i].unicode());
        return count;
    };
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-') ascii += '-';
        ++i;
    }
    qsizetype digits = takeDigits();
    if (i < text.size() && text[i] == u'.') {
        ascii += '.';
        ++i;
        digits += takeDigits();
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == u'E' || text[i] == u'e')) {
        ascii += 'e';
        ++i;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            ascii += static_cast<char>(text[i++].unicode());
        if (takeDigits() == 0) return false;
    }
    if (i != text.size()) return false;

    // A value beyond the range would leave the overflow flag for the arithmetic after it to find.
    // Restoring the flags is slow, so only flags that were raised here are put back.
    const int raisedBefore = std::fetestexcept(FE_ALL_EXCEPT);
    std::fexcept_t flags;
    std::fegetexceptflag(&flags, FE_ALL_EXCEPT);
    Extended result = 0;
    const auto parsed = std::from_chars(ascii.data(), ascii.data() + ascii.size(), result);
    if (std::fetestexcept(FE_ALL_EXCEPT) != raisedBefore) std::fesetexceptflag(&flags, FE_ALL_EXCEPT);
    if (parsed.ec != std::errc() || parsed.ptr != ascii.data() + ascii.size()) return false;
    value = result;
    return true;
}

// ---- SETENCODING and FILES --------------------------------------------------------------------------------

// SETENCODING code page | name
void ExecSetEncoding() {
    switch (GlTopType()) {
    case GlValueType::Number: {
        std::int32_t codePage = 0;
        if (!RoundToInt32(GlPopNum(), codePage)) {
            RaiseError(Err::StatementFailed, St::SETENCODING);
            return;
        }
        Ps.FileEncoding = codePage;
        return;
    }
    case GlValueType::String: {
        QString name;
        GlPopStr(name);
        name = name.toUpper();
        int codePage = 0;
        for (const EncodingNameEntry& entry : EncodingNames)
            if (name == QStringView(entry.Name)) codePage = entry.CodePage;
        Ps.FileEncoding = codePage;
        return;
    }
    default: RaiseError(Err::StatementType, St::SETENCODING); return;
    }
}

QString FilesEntryLine(const QString& name, bool directory, qint64 size) {
    if (directory) return QStringView(FilesDirectoryMark).toString() + name;
    return QString::number(size).rightJustified(FilesSizeColumns, QLatin1Char(' ')) + QLatin1Char(' ') + name;
}

bool MatchFilePattern(const QString& pattern, const QString& name) {
    if (MatchFrom(pattern, name)) return true;
    // As on Windows, "x.*" also takes names without an extension ("*.*" takes every name).
    return pattern.endsWith(QStringLiteral(".*")) && MatchFrom(QStringView(pattern).chopped(2), name);
}

// FILES [pattern]
void ExecFiles() {
    CodeItemType item;
    GetCode(item);
    QString pattern = QStringView(FilesAllPattern).toString();
    if (item.FirstCode == CodeKind::StrLiteral && item.SecondCode >= 0 &&
        static_cast<std::size_t>(item.SecondCode) < Tb.StrConTable.size())
        pattern = Tb.StrConTable[static_cast<std::size_t>(item.SecondCode)];

    FlushPrintLine(ResourceText(Res::CurrentPath) + QDir::currentPath());
    QString folder, names;
    SplitPattern(pattern, folder, names);
    const QDir dir(folder);
    if (!dir.exists()) return;
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& entry : entries) {
        if (!MatchFilePattern(names, entry.fileName())) continue;
        FlushPrintLine(FilesEntryLine(entry.fileName(), entry.isDir(), entry.size()));
    }
}
