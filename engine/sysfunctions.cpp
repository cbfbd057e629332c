// The built-in functions and statements that reach outside the interpreter: clock and calendar, key
// waits, file and folder queries and changes, whole files, EOF, SHELL, array bounds and TAB.
#include "engine/sysfunctions.h"

#include "core/encodedetect.h"
#include "core/errornumbers.h"
#include "core/internalcodes.h"
#include "core/itembuffers.h"
#include "core/raiseerror.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/filechannels.h"
#include "engine/numconvert.h"
#include "engine/printline.h"
#include "engine/services.h"
#include "platform/memorybudget.h"
#include "platform/textencoding.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStorageInfo>
#include <QStringList>
#include <QTime>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <thread>

QDateTime CurrentLocalTime() {
    return QDateTime::currentDateTime();
}
QDateTime (*SystemClockNow)() = &CurrentLocalTime;

namespace {

constexpr int Str = GlValueType::String;
constexpr int Num = GlValueType::Number;

// The key waits look at the key state this often; INKEY$ pauses this long so that a polling loop
// leaves the processor to the rest of the system.
constexpr auto KeyPollInterval = std::chrono::milliseconds(5);
constexpr auto InkeyPause = std::chrono::milliseconds(5);

constexpr Extended MillisecondsPerSecond = 1000.0L;
constexpr qint64 MillisecondsPerDay = 86'400'000;

// Two-digit years of a date text lie within this many years of today.
constexpr int TwoDigitYearWindow = 50;
constexpr int YearsPerCentury = 100;
constexpr int MaxDateFieldDigits = 4;

// DISKFREE and DISKSIZE: the drive number of a letter is its code - 64 ("A" 1, "C" 3); 0 is the
// current drive. Linux has no drive letters: the current drive is the file system of the current
// folder, and "C", the system drive of the programs this language runs, is the root file system.
constexpr int CurrentDrive = 0;
constexpr int SystemDrive = 3;
constexpr char16_t DriveLetterBase = u'A' - 1;
constexpr Extended NoSuchDrive = -1;

const QString ShellProgram = QStringLiteral("/bin/sh");
const QString ShellCommandOption = QStringLiteral("-c");
const QString CrLf = QStringLiteral("\r\n");

// ---- errors and arguments -----------------------------------------------------------------------

// The tag `depth` entries below the top (0 is the top); None when the stack is not that deep.
int TagAt(int depth) {
    const int index = Vs.GlTypeStack.Count - depth;
    return index >= 1 ? Vs.GlTypeStack.Items[static_cast<std::size_t>(index)] : GlValueType::None;
}

// Tests the argument types (in source order, the last one on top). A mismatch is `error` naming
// `nameId`; nothing is popped then.
bool ArgsAre(int error, int nameId, std::initializer_list<int> tags) {
    int depth = static_cast<int>(tags.size()) - 1;
    for (const int tag : tags) {
        if (TagAt(depth) != tag) {
            RaiseError(error, nameId);
            return false;
        }
        --depth;
    }
    return true;
}

bool FunctionArgsAre(int fn, std::initializer_list<int> tags) {
    return ArgsAre(Err::FunctionArgType, fn, tags);
}

QString PopStr() {
    QString s;
    GlPopStr(s);
    return s;
}

// ---- clock and calendar -------------------------------------------------------------------------

// Digits are always the plain ASCII ones, whatever the locale.
QString Padded(int value, int width) {
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

// "yyyy/mm/dd" and "hh:nn:ss": four digits for the year, two for every other field.
constexpr int YearWidth = 4;
constexpr int FieldWidth = 2;

QString DateText(QDate date) {
    return Padded(date.year(), YearWidth) + u'/' + Padded(date.month(), FieldWidth) + u'/' +
           Padded(date.day(), FieldWidth);
}

QString TimeText(QTime time) {
    return Padded(time.hour(), FieldWidth) + u':' + Padded(time.minute(), FieldWidth) + u':' +
           Padded(time.second(), FieldWidth);
}

// Reads one number of a date text: blanks, then 1 to 4 digits.
bool ReadDateField(QStringView text, qsizetype& at, int& value, int& digits) {
    while (at < text.size() && text[at] == u' ')
        ++at;
    value = 0;
    digits = 0;
    while (at < text.size() && text[at] >= u'0' && text[at] <= u'9' && digits < MaxDateFieldDigits) {
        value = value * 10 + (text[at].unicode() - u'0');
        ++digits;
        ++at;
    }
    return digits > 0;
}

bool ReadDateSeparator(QStringView text, qsizetype& at) {
    while (at < text.size() && text[at] == u' ')
        ++at;
    if (at < text.size() && text[at] == u'/') {
        ++at;
        return true;
    }
    return false;
}

// A date in the interpreter's short date format, year/month/day: three numbers, or month and day of
// the current year. A year of one or two digits is the one within 50 years of today.
bool ReadShortDate(QStringView text, QDate today, QDate& date) {
    int fields[3] = {};
    int digits[3] = {};
    int count = 0;
    qsizetype at = 0;
    for (;;) {
        if (!ReadDateField(text, at, fields[count], digits[count])) return false;
        ++count;
        if (count == 3 || !ReadDateSeparator(text, at)) break;
    }
    while (at < text.size() && text[at] == u' ')
        ++at;
    if (at != text.size() || count < 2) return false;
    int year = today.year();
    int month = fields[0];
    int day = fields[1];
    if (count == 3) {
        year = fields[0];
        month = fields[1];
        day = fields[2];
        if (digits[0] <= 2) {
            const int current = today.year();
            year += current / YearsPerCentury * YearsPerCentury;
            if (year < current - TwoDigitYearWindow) year += YearsPerCentury;
            if (year >= current + TwoDigitYearWindow) year -= YearsPerCentury;
        }
    }
    if (year < 1 || !QDate::isValid(year, month, day)) return false;
    date = QDate(year, month, day);
    return true;
}

} // namespace

// DAYOFWEEK(date$): 1 Sunday to 7 Saturday.
void ExecDayOfWeek() {
    if (!FunctionArgsAre(Fn::DAYOFWEEK, {Str})) return;
    const QString text = PopStr();
    QDate date;
    if (!ReadShortDate(text, SystemClockNow().date(), date)) {
        RaiseError(Err::FunctionFailed, Fn::DAYOFWEEK);
        return;
    }
    constexpr int DaysPerWeek = 7;
    GlPushNum(date.dayOfWeek() % DaysPerWeek + 1); // Qt counts Monday 1 to Sunday 7
}

// ISLEAPYEAR(year): the Gregorian rule on trunc(abs(year)).
void ExecIsLeapYear() {
    if (!FunctionArgsAre(Fn::ISLEAPYEAR, {Num})) return;
    std::int64_t year = 0;
    if (!TruncToInt64(std::fabs(GlPopNum()), year)) {
        RaiseError(Err::FunctionFailed, Fn::ISLEAPYEAR);
        return;
    }
    GlPushBool((year % 4 == 0 && year % 100 != 0) || year % 400 == 0);
}

namespace {

// TIMER: seconds since midnight, to the millisecond.
Extended SecondsSinceMidnight(const QDateTime& now) {
    return now.time().msecsSinceStartOfDay() / MillisecondsPerSecond;
}

// YEARTIMER: seconds since the start of the current year, counted on the calendar (as the clock shows
// the time, so a change to or from summer time does not shift it).
Extended SecondsSinceYearStart(const QDateTime& now) {
    const qint64 ms = (now.date().dayOfYear() - 1) * MillisecondsPerDay + now.time().msecsSinceStartOfDay();
    return static_cast<Extended>(ms) / MillisecondsPerSecond;
}

// ---- keys ---------------------------------------------------------------------------------------

namespace VirtualKey {
constexpr int Back = 8;
constexpr int Tab = 9;
constexpr int Return = 13;
constexpr int Escape = 27;
constexpr int Space = 32;
constexpr int Left = 37;
constexpr int Up = 38;
constexpr int Right = 39;
constexpr int Down = 40;
constexpr int Digit0 = 48;
constexpr int Digit9 = 57;
constexpr int LetterA = 65;
constexpr int LetterZ = 90;
constexpr int Numpad0 = 96;
constexpr int Numpad9 = 105;
constexpr int Multiply = 106;
constexpr int Add = 107;
constexpr int Subtract = 109;
constexpr int Decimal = 110;
constexpr int Divide = 111;
} // namespace VirtualKey

// The cursor keys give the control characters of the classic BASIC screen editors.
constexpr char16_t CursorRightChar = 0x1C;
constexpr char16_t CursorLeftChar = 0x1D;
constexpr char16_t CursorUpChar = 0x1E;
constexpr char16_t CursorDownChar = 0x1F;
// Backspace and Tab give the characters one below their own codes: programs written for this language
// test INKEY$ for these two.
constexpr char16_t BackspaceChar = 7;
constexpr char16_t TabChar = 8;

} // namespace

// INKEY$: the last key pressed, taken (so it is given once), then a short pause.
void ExecInkey() {
    // A program polling the keys waits for the user, who may look at its files meanwhile.
    FlushFileOutput();
    GlPushStr(InkeyText(Rc.LastKeyCode.exchange(0)));
    std::this_thread::sleep_for(InkeyPause);
}

namespace {

// Waits for typed characters until `count` are collected or a stop is requested (which also comes at
// shutdown). Each character is taken from KeyBuffer with an exchange, so none is seen twice.
QString WaitForKeys(std::int64_t count) {
    QString result;
    while (result.size() < count) {
        const char16_t key = Rc.KeyBuffer.exchange(0);
        if (key != 0) {
            result += QChar(key);
            continue;
        }
        if (Rc.StopRequest.load() != 0) break;
        std::this_thread::sleep_for(KeyPollInterval);
    }
    return result;
}

} // namespace

// INPUT$ and INPUT$(n): the pending PRINT text is shown first, as the prompt of the wait. A stop
// request ends the wait with what was typed so far (the run then stops before it is used).
void ExecInputKeys(int code) {
    const bool withCount = code != Fn::INPUTStr;
    std::int64_t count = 1;
    if (withCount) {
        if (!FunctionArgsAre(Fn::INPUTStr, {Num})) return;
        if (!TruncLimited(GlPopNum(), 0, std::numeric_limits<std::int32_t>::max(), count)) {
            RaiseError(Err::FunctionFailed, Fn::INPUTStr);
            return;
        }
    }
    FlushInputEchoLine(QString());
    if (!FlushFileOutput()) return; // the user may look at the files while the program waits
    GlPushStr(WaitForKeys(count));
}

// INPUT$(n, channel): n characters of a channel open for input; fewer at the end of the file.
void ExecInputFromChannel() {
    if (!FunctionArgsAre(Fn::INPUTStr, {Num, Num})) return;
    const Extended channelValue = GlPopNum();
    const Extended countValue = GlPopNum();
    std::int32_t n = 0;
    if (!TruncToInt32(channelValue, n) || !IsFileChannel(n)) {
        RaiseError(Err::InputFileChannel);
        return;
    }
    switch (Ps.FileMode[static_cast<std::size_t>(n)]) {
    case FileModeKind::Input: break;
    case FileModeKind::Output: RaiseError(Err::InputFileForOutput); return;
    case FileModeKind::Append: RaiseError(Err::InputFileForAppend); return;
    default: RaiseError(Err::InputFileNotOpen); return;
    }
    FileChannelType& channel = FileChannels[static_cast<std::size_t>(n)];
    if (FileChannelAtEnd(n)) {
        RaiseError(Err::InputFileAtEnd);
        return;
    }
    std::int64_t count = 0;
    if (!TruncLimited(countValue, 0, std::numeric_limits<std::int32_t>::max(), count)) {
        RaiseError(Err::FunctionFailed, Fn::INPUTStr);
        return;
    }
    QString result;
    if (count > 0 && channel.PushbackPending) {
        result += QChar(channel.Pushback);
        channel.PushbackPending = false;
    }
    if (channel.Reader != nullptr) channel.Reader->AppendChars(result, count - result.size());
    if (Fe.ErrorNumber != 0) return; // the budget had no room for the rest
    GlPushStr(result);
}

// EOF(channel)
void ExecEof() {
    if (!FunctionArgsAre(Fn::Eof, {Num})) return;
    std::int32_t n = 0;
    if (!TruncToInt32(GlPopNum(), n) || !IsFileChannel(n)) {
        RaiseError(Err::EofSyntax);
        return;
    }
    if (Ps.FileMode[static_cast<std::size_t>(n)] != FileModeKind::Input) {
        RaiseError(Err::EofNotInput);
        return;
    }
    GlPushBool(FileChannelAtEnd(n));
}

namespace {

// ---- files and folders --------------------------------------------------------------------------

} // namespace

// The functions of one path argument that answer with a boolean.
void ExecPathTest(int fn) {
    if (!FunctionArgsAre(fn, {Str})) return;
    const QString path = ProgramFilePath(PopStr());
    bool result = false;
    switch (fn) {
    case Fn::FILEEXISTS: result = IsFileAt(path); break;
    case Fn::DIRECTORYEXISTS: result = QFileInfo(path).isDir(); break;
    // One new folder in an existing one; false when it exists already.
    case Fn::CREATEDIR: result = !path.isEmpty() && QDir().mkdir(path); break;
    // Files only: a folder is never deleted here (a link to one is a file).
    case Fn::DELETEFILE: {
        const QFileInfo info(path);
        result = (info.isSymLink() || !info.isDir()) && QFile::remove(path);
        break;
    }
    // An empty folder only.
    case Fn::REMOVEDIR: result = !path.isEmpty() && QDir().rmdir(path); break;
    case Fn::SETCURRENTDIR: result = !path.isEmpty() && QDir::setCurrent(path); break;
    default: break;
    }
    GlPushBool(result);
}

// RENAMEFILE(old, new): also moves to another folder; an existing target is never replaced.
void ExecRenameFile() {
    if (!FunctionArgsAre(Fn::RENAMEFILE, {Str, Str})) return;
    const QString target = ProgramFilePath(PopStr());
    const QString source = ProgramFilePath(PopStr());
    const bool ok =
        !source.isEmpty() && !target.isEmpty() && QFileInfo(source).exists() && QFile::rename(source, target);
    GlPushBool(ok);
}

// DISKFREE(drive$) and DISKSIZE(drive$): bytes free to the program, or in all; -1 for no such drive.
void ExecDiskBytes(int fn) {
    if (!FunctionArgsAre(fn, {Str})) return;
    const QString drive = PopStr();
    const int number = drive.isEmpty() ? CurrentDrive : drive[0].unicode() - DriveLetterBase;
    QString root;
    if (number == CurrentDrive)
        root = QDir::currentPath();
    else if (number == SystemDrive)
        root = QDir::rootPath();
    else {
        GlPushNum(NoSuchDrive);
        return;
    }
    const QStorageInfo storage(root);
    if (!storage.isValid() || !storage.isReady()) {
        GlPushNum(NoSuchDrive);
        return;
    }
    const qint64 bytes = fn == Fn::DISKSIZE ? storage.bytesTotal() : storage.bytesAvailable();
    GlPushNum(bytes < 0 ? NoSuchDrive : static_cast<Extended>(bytes));
}

namespace {

// The one operand of a function on a file: its path, once it names a file that `present` accepts;
// false when an error was raised.
bool ExistingFileOperand(int fn, bool (*present)(const QString&), QString& path) {
    if (!FunctionArgsAre(fn, {Str})) return false;
    path = ProgramFilePath(PopStr());
    if (present(path)) return true;
    RaiseError(Err::TargetFileNotFound);
    return false;
}

} // namespace

// FILELEN(file$)
void ExecFileLen() {
    QString path;
    // Opening a FIFO would wait for a writer.
    if (!ExistingFileOperand(Fn::FILELEN, IsRegularFileAt, path)) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        RaiseError(Err::FunctionFailed, Fn::FILELEN);
        return;
    }
    GlPushNum(static_cast<Extended>(file.size()));
}

// GETFILEDATETIME(file$): "yyyy/mm/dd hh:nn:ss" of the last write; only the date at exactly midnight.
void ExecFileDateTime() {
    QString path;
    if (!ExistingFileOperand(Fn::GETFILEDATETIME, IsFileAt, path)) return;
    const QDateTime written = QFileInfo(path).lastModified();
    QString text = DateText(written.date());
    if (written.time().msecsSinceStartOfDay() != 0) text += u' ' + TimeText(written.time());
    GlPushStr(text);
}

namespace {

// The one folder search of FINDFIRSTFILE and FINDNEXTFILE: the matching names, taken when the search
// starts, and the next one to give.
struct FileSearchType {
    QStringList Names;
    qsizetype Next = 0;
};
FileSearchType FileSearch;

QString NextFoundName() {
    if (FileSearch.Next >= FileSearch.Names.size()) return QString();
    return FileSearch.Names[FileSearch.Next++];
}

} // namespace

// FINDFIRSTFILE(pattern$): every entry matches the wildcards, "." and ".." and hidden ones included.
void ExecFindFirstFile() {
    if (!FunctionArgsAre(Fn::FINDFIRSTFILE, {Str})) return;
    QString pattern = ProgramFilePath(PopStr());
    if (pattern.isEmpty()) pattern = QStringLiteral("*.*");
    const qsizetype slash = pattern.lastIndexOf(u'/');
    const QString folder = slash < 0    ? QStringLiteral(".")
                           : slash == 0 ? QStringLiteral("/")
                                        : pattern.left(slash);
    const QString names = pattern.mid(slash + 1);

    FileSearch = FileSearchType{};
    const QDir dir(folder);
    if (!names.isEmpty() && dir.exists()) {
        const QStringList entries =
            dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
        for (const QString& entry : entries)
            if (MatchFilePattern(names, entry)) FileSearch.Names.append(entry);
    }
    GlPushStr(NextFoundName());
}

namespace {

// ---- whole files --------------------------------------------------------------------------------

// The encoding to read a file in: the code page given, else the one SETENCODING chose, else the one
// detected from the file's first bytes. Null when the number names no code page.
std::unique_ptr<TEncoding> ReadingEncoding(const QString& path, std::optional<Extended> codePage) {
    if (codePage) {
        std::int32_t number = 0;
        if (!RoundToInt32(*codePage, number)) return nullptr;
        return EncodingFromCodePage(number);
    }
    if (Ps.FileEncoding >= 1) return EncodingFromCodePage(Ps.FileEncoding);
    return GetFileEncoding(path);
}

// The encoding to write a file in: the code page given, else SETENCODING's, else the system's.
std::unique_ptr<TEncoding> WritingEncoding(std::optional<Extended> codePage) {
    if (codePage) {
        std::int32_t number = 0;
        if (!RoundToInt32(*codePage, number)) return nullptr;
        return EncodingFromCodePage(number);
    }
    if (Ps.FileEncoding >= 1) return EncodingFromCodePage(Ps.FileEncoding);
    return NewSystemEncoding();
}

// Reads a whole file as text; a byte-order mark chooses the encoding. Errors: 2101 no such file,
// 50014 naming `fn` when the encoding cannot be chosen or the file cannot be read.
bool ReadWholeFile(const QString& name, std::optional<Extended> codePage, int fn, QString& text) {
    const QString path = ProgramFilePath(name);
    if (!IsRegularFileAt(path)) {
        RaiseError(Err::FileNotFound);
        return false;
    }
    // The file's bytes and their text (at most one UTF-16 unit a byte) are in memory together.
    if (!MemoryBudget::AllowsElements(static_cast<std::size_t>(std::max<qint64>(QFileInfo(path).size(), 0)),
                                      1 + sizeof(char16_t))) {
        RaiseError(Err::OutOfMemory);
        return false;
    }
    const std::unique_ptr<TEncoding> encoding = ReadingEncoding(path, codePage);
    if (!encoding || !ReadTextFile(path, *encoding, text, true)) {
        RaiseError(Err::FunctionFailed, fn);
        return false;
    }
    return true;
}

// Creates or replaces a file with `text`. Errors: 50026 naming `statement` for a code page that names
// no encoding, 52105 when the file cannot be written.
void WriteWholeFile(const QString& name, std::optional<Extended> codePage, int statement,
                    const QString& text) {
    const std::unique_ptr<TEncoding> encoding = WritingEncoding(codePage);
    if (!encoding) {
        RaiseError(Err::StatementFailed, statement);
        return;
    }
    if (!WriteTextFile(ProgramFilePath(name), *encoding, text)) RaiseError(Err::FileCreateFailed);
}

// The lines of a text as a line reader gives them: CR LF, LF and a lone CR end a line, and a line
// end at the very end starts no further line.
QStringList SplitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = text[i].unicode();
        if (c != u'\r' && c != u'\n') continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < size && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (start < size) lines.append(text.mid(start));
    return lines;
}

// The one-dimensional string array an item names, or null. Its elements 0 to Bounds[1] are checked
// to lie inside the element table.
StrVarType* OneDimStrArray(const CodeItemType& item) {
    if (item.FirstCode != CodeKind::StrArray || item.SecondCode < 1 ||
        static_cast<std::size_t>(item.SecondCode) >= Tb.StrVarTable.size())
        return nullptr;
    StrVarType& record = Tb.StrVarTable[static_cast<std::size_t>(item.SecondCode)];
    if ((record.Kind != StrVarKind::Array && record.Kind != StrVarKind::ArrayParameter) ||
        record.DimCount != 1)
        return nullptr;
    const std::int64_t last = static_cast<std::int64_t>(record.Base) + record.Bounds[1];
    if (record.Base < 0 || record.Bounds[1] < 0 || last >= static_cast<std::int64_t>(Tb.AStrVarTable.size()))
        return nullptr;
    return &record;
}

QString& ElementOf(const StrVarType& array, std::int64_t i) {
    return Tb.AStrVarTable[static_cast<std::size_t>(array.Base + i)];
}

} // namespace

// READALLTEXT(file$ [, codepage])
void ExecReadAllText(int code) {
    const bool withCodePage = code != Fn::READALLTEXT;
    if (!(withCodePage ? FunctionArgsAre(Fn::READALLTEXT, {Str, Num})
                       : FunctionArgsAre(Fn::READALLTEXT, {Str})))
        return;
    std::optional<Extended> codePage;
    if (withCodePage) codePage = GlPopNum();
    const QString name = PopStr();
    QString text;
    if (ReadWholeFile(name, codePage, Fn::READALLTEXT, text)) GlPushStr(std::move(text));
}

namespace {

// The string array of READALLLINES and WRITEALLLINES, once the file name (and code page) before it fit.
// Its item is taken in every case, so that it is never run as a value. Null when `error` was raised,
// naming `name`.
StrVarType* LinesArrayOperand(int error, int name, bool withCodePage) {
    CodeItemType arrayItem;
    GetCode(arrayItem);
    if (!(withCodePage ? ArgsAre(error, name, {Str, Num}) : ArgsAre(error, name, {Str}))) return nullptr;
    StrVarType* array = OneDimStrArray(arrayItem);
    if (array == nullptr) RaiseError(error, name);
    return array;
}

} // namespace

// array$() = READALLLINES(file$ [, codepage]): lines into elements 1, 2, ...; element 0 receives the
// number of lines, or "-1" when the array filled before the file ended.
void ExecReadAllLines(int code) {
    const bool withCodePage = code != InSt::ReadAllLinesStatement;
    StrVarType* array = LinesArrayOperand(Err::FunctionArgType, Fn::READALLLINES, withCodePage);
    if (array == nullptr) return;
    std::optional<Extended> codePage;
    if (withCodePage) codePage = GlPopNum();
    const QString name = PopStr();
    QString text;
    if (!ReadWholeFile(name, codePage, Fn::READALLLINES, text)) return;
    const QStringList lines = SplitLines(text);
    const std::int64_t room = array->Bounds[1];
    const std::int64_t count = std::min<std::int64_t>(room, lines.size());
    for (std::int64_t i = 1; i <= count; ++i)
        ElementOf(*array, i) = lines[static_cast<qsizetype>(i - 1)];
    ElementOf(*array, 0) = lines.size() <= room ? QString::number(lines.size()) : QStringLiteral("-1");
}

// WRITEALLTEXT(file$, text$ [, codepage]): the text as it is, no line end added.
void ExecWriteAllText(int code) {
    const bool withCodePage = code != St::WRITEALLTEXT;
    if (!(withCodePage ? ArgsAre(Err::StatementType, St::WRITEALLTEXT, {Str, Str, Num})
                       : ArgsAre(Err::StatementType, St::WRITEALLTEXT, {Str, Str})))
        return;
    std::optional<Extended> codePage;
    if (withCodePage) codePage = GlPopNum();
    const QString text = PopStr();
    const QString name = PopStr();
    WriteWholeFile(name, codePage, St::WRITEALLTEXT, text);
}

// WRITEALLLINES(file$, array$() [, codepage]): elements 1 to the last, or to the number element 0
// holds when that is smaller, each followed by CR LF.
void ExecWriteAllLines(int code) {
    const bool withCodePage = code != St::WRITEALLLINES;
    const StrVarType* array = LinesArrayOperand(Err::StatementType, St::WRITEALLLINES, withCodePage);
    if (array == nullptr) return;
    std::optional<Extended> codePage;
    if (withCodePage) codePage = GlPopNum();
    const QString name = PopStr();

    std::int64_t count = array->Bounds[1];
    Extended limit = 0;
    if (TextToReal(ElementOf(*array, 0).trimmed(), limit) && limit >= 1 && limit == std::trunc(limit) &&
        limit < static_cast<Extended>(count))
        TruncToInt64(limit, count);
    QString text;
    for (std::int64_t i = 1; i <= count; ++i) {
        text += ElementOf(*array, i);
        text += CrLf;
    }
    WriteWholeFile(name, codePage, St::WRITEALLLINES, text);
}

namespace {

// ---- processes ----------------------------------------------------------------------------------

// Starts the command line with the system's command interpreter in the current folder and does not
// wait for it. The text goes to the interpreter as one argument, exactly as the program wrote it.
bool StartCommandLine(const QString& command) {
    FlushFileOutput(); // the command may read what the program has written
    return QProcess::startDetached(ShellProgram, {ShellCommandOption, command}, QDir::currentPath());
}

} // namespace

// SHELL(command$): true when the command interpreter started.
void ExecShell() {
    if (!FunctionArgsAre(Fn::SHELL, {Str})) return;
    GlPushBool(StartCommandLine(PopStr()));
}

// SYSCMD command$
void ExecSysCmd() {
    if (!ArgsAre(Err::StatementType, St::SYSCMD, {Str})) return;
    StartCommandLine(PopStr());
}

namespace {

// ---- arrays and TAB -----------------------------------------------------------------------------

// The dimension record of an array reference, or null.
template <typename Record> const Record* RecordAt(const std::vector<Record>& table, Extended ref) {
    std::int64_t index = 0;
    if (!TruncToInt64(ref, index) || index < 0 || static_cast<std::uint64_t>(index) >= table.size())
        return nullptr;
    return &table[static_cast<std::size_t>(index)];
}

} // namespace

// GETDIMTYPE(array(), k): k = 0 the number of dimensions, else the bound DIM gave dimension k (0 for
// a dimension the array does not have).
void ExecGetDimType() {
    const int arrayTag = TagAt(1);
    if (TagAt(0) != Num || arrayTag < GlValueType::NumArrayRef || arrayTag > GlValueType::BoolArrayRef) {
        RaiseError(Err::FunctionArgType, Fn::GETDIMTYPE);
        return;
    }
    const Extended kValue = GlPopNum();
    const Extended ref = GlPopNum();
    std::int64_t k = 0;
    if (!TruncLimited(kValue, -1, std::numeric_limits<std::int32_t>::max(), k) || k < 0) {
        RaiseError(Err::FunctionArgType, Fn::GETDIMTYPE);
        return;
    }
    int dimCount = 0;
    const std::int32_t* bounds = nullptr;
    const auto take = [&](const auto* record) {
        if (record == nullptr) return;
        dimCount = record->DimCount;
        bounds = record->Bounds.data();
    };
    if (arrayTag == GlValueType::NumArrayRef)
        take(RecordAt(Tb.NumVarTable, ref));
    else if (arrayTag == GlValueType::StrArrayRef)
        take(RecordAt(Tb.StrVarTable, ref));
    else
        take(RecordAt(Tb.BoolVarTable, ref));
    if (bounds == nullptr) {
        RaiseError(Err::FunctionArgType, Fn::GETDIMTYPE);
        return;
    }
    dimCount = std::min(dimCount, MaxDimensions);
    if (k == 0)
        GlPushNum(dimCount);
    else if (k <= dimCount)
        GlPushNum(bounds[k]);
    else
        GlPushNum(0);
}

// TAB(column): the number stays on the stack, marked as a column for PRINT.
void ExecTab() {
    const int tag = TagAt(0);
    if (tag == GlValueType::NumberAlt) return;
    if (tag != Num) {
        RaiseError(Err::FunctionArgType, Fn::TAB);
        return;
    }
    Vs.GlTypeStack.Items[static_cast<std::size_t>(Vs.GlTypeStack.Count)] = GlValueType::NumberAlt;
}

void FnDateText() {
    GlPushStr(DateText(SystemClockNow().date()));
}

void FnTimeText() {
    GlPushStr(TimeText(SystemClockNow().time()));
}

void FnTimer() {
    GlPushNum(SecondsSinceMidnight(SystemClockNow()));
}

void FnYearTimer() {
    GlPushNum(SecondsSinceYearStart(SystemClockNow()));
}

// GETHOUR, GETMINUTE, GETSECOND, GETMSECOND (by code)
void FnClockField(int code) {
    const QTime now = SystemClockNow().time();
    switch (code) {
    case Fn::GETHOUR: GlPushNum(now.hour()); return;
    case Fn::GETMINUTE: GlPushNum(now.minute()); return;
    case Fn::GETSECOND: GlPushNum(now.second()); return;
    default: GlPushNum(now.msec()); return;
    }
}

void FnFindNextFile() {
    GlPushStr(NextFoundName());
}

void FnCurrentDir() {
    GlPushStr(QDir::currentPath());
}

void FnProgramDir() {
    GlPushStr(Fe.ProgramFolder);
}

QString InkeyText(int keyCode) {
    using namespace VirtualKey;
    switch (keyCode) {
    case Back: return QString(QChar(BackspaceChar));
    case Tab: return QString(QChar(TabChar));
    case Return: return QString(QChar(u'\r'));
    case Escape: return QString(QChar(char16_t(Escape)));
    case Space: return QStringLiteral(" ");
    case Left: return QString(QChar(CursorLeftChar));
    case Up: return QString(QChar(CursorUpChar));
    case Right: return QString(QChar(CursorRightChar));
    case Down: return QString(QChar(CursorDownChar));
    case Multiply: return QStringLiteral("*");
    case Add: return QStringLiteral("+");
    case Subtract: return QStringLiteral("-");
    case Decimal: return QStringLiteral(".");
    case Divide: return QStringLiteral("/");
    default: break;
    }
    // Digits and letters are the key code itself (letters always upper case, Shift or not).
    if ((keyCode >= Digit0 && keyCode <= Digit9) || (keyCode >= LetterA && keyCode <= LetterZ))
        return QString(QChar(static_cast<char16_t>(keyCode)));
    if (keyCode >= Numpad0 && keyCode <= Numpad9)
        return QString(QChar(static_cast<char16_t>(u'0' + keyCode - Numpad0)));
    return QString();
}

void CloseFileSearch() {
    FileSearch = FileSearchType{};
}
