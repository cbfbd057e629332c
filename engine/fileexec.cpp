// The executors of the data-file statements: the channel number checked against its mode, the text
// laid out in zones and tab columns as PRINT does, and fields read through the channel's reader.
#include "engine/fileexec.h"

#include "core/errornumbers.h"
#include "core/internalcodes.h"
#include "core/itembuffers.h"
#include "core/raiseerror.h"
#include "core/tables.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/filechannels.h"
#include "engine/inputexec.h"
#include "engine/numberformat.h"
#include "engine/numconvert.h"
#include "engine/printusing.h"
#include "engine/services.h"

#include <array>
#include <cmath>

namespace {

constexpr int ZoneExtra = 5; // a zone is PrintPrecision + 5 characters, as for PRINT
constexpr Extended MaxTabColumn = 120;
constexpr int NoChannel = -1;

FileChannelType& Channel(int n) {
    return FileChannels[static_cast<std::size_t>(n)];
}
int ModeOf(int n) {
    return Ps.FileMode[static_cast<std::size_t>(n)];
}

// The text of the value PRINT# is writing: its room serves every line (interpreter thread only).
QString PrintFileText;

// INPUT# and LINE INPUT# read into a transfer slot, which the statement then assigns to the variable
// through the value stack: the slot, the variable and a stack cell share texts, and the slot would need
// new room for every line. It takes a spare room instead: two of them, so that one has always been let
// go by the time it is wanted again; reading line after line then allocates nothing. A room beyond
// this size is not kept.
std::array<QString, 2> SpareRooms;
std::size_t NextSpareRoom = 0;
constexpr qsizetype MaxSpareRoom = 64 * 1024;

QString& ReadingRoom(QString& slot) {
    if (slot.isDetached()) return slot;
    std::size_t k = 0;
    while (k < SpareRooms.size() && !SpareRooms[k].isDetached())
        ++k;
    if (k == SpareRooms.size()) {
        k = NextSpareRoom;
        NextSpareRoom = (NextSpareRoom + 1) % SpareRooms.size();
    }
    slot.swap(SpareRooms[k]);
    if (SpareRooms[k].capacity() > MaxSpareRoom) SpareRooms[k] = QString();
    return slot;
}

// A channel number truncated towards zero; NoChannel when it does not fit an int.
int ChannelFromValue(Extended value) {
    // The channels themselves, the numbers PRINT# meets on every line, truncated by comparisons: an
    // 80-bit conversion switches the FPU's rounding mode twice and stalls on it.
    if (value >= 1 && value < FileChannelCount + 1) {
        int n = 1;
        while (value >= n + 1)
            ++n;
        return n;
    }
    std::int32_t n = 0;
    return TruncToInt32(value, n) ? n : NoChannel;
}

// The channel literal after the statement item: a numeric literal or a fixed constant.
int FetchChannelLiteral() {
    CodeItemType item;
    GetCode(item);
    if (item.FirstCode == CodeKind::NumLiteral) return ChannelFromValue(NumConValue(item));
    if (item.FirstCode == CodeKind::SysNumConst && item.SecondCode >= 1 && item.SecondCode <= FixedConstSlots)
        return ChannelFromValue(NumConstTable[static_cast<std::size_t>(item.SecondCode)]);
    return NoChannel;
}

// What INPUT# and LINE INPUT# each report for a channel they cannot read.
struct ReadChannelErrors {
    int BadNumber;
    int NotOpen;
    int ForOutput;
    int ForAppend;
};
constexpr ReadChannelErrors InputFileErrors{Err::InputFileChannel, Err::InputFileNotOpen,
                                            Err::InputFileForOutput, Err::InputFileForAppend};
constexpr ReadChannelErrors LineInputFileErrors{Err::FileNumberInvalid, Err::LineInputFileNotOpen,
                                                Err::LineInputFileForOutput, Err::LineInputFileForAppend};

// The channel literal of a reading statement, checked to be open for input; NoChannel with the error
// raised otherwise.
int FetchReadableChannel(const ReadChannelErrors& errors) {
    const int n = FetchChannelLiteral();
    if (!IsFileChannel(n)) {
        RaiseError(errors.BadNumber);
        return NoChannel;
    }
    switch (ModeOf(n)) {
    case FileModeKind::Closed: RaiseError(errors.NotOpen); return NoChannel;
    case FileModeKind::Output: RaiseError(errors.ForOutput); return NoChannel;
    case FileModeKind::Append: RaiseError(errors.ForAppend); return NoChannel;
    default: return n;
    }
}

// Drops the value a failed PRINT# would have written, so the stack stays in step.
void DropValue() {
    if (GlTopType() != GlValueType::None) DiscardGlTop();
}

// The channel on top of the Gl stack, checked for writing (PRINT#, PRINT# USING). NoChannel with
// the error set otherwise.
int PopWritableChannel() {
    if (!IsGlNumberTag(GlTopType())) {
        RaiseError(Err::StatementType, St::PRINTFile);
        return NoChannel;
    }
    const int n = ChannelFromValue(GlPopNum());
    if (!IsFileChannel(n)) {
        RaiseError(Err::FileNumberInvalid);
        return NoChannel;
    }
    if (ModeOf(n) == FileModeKind::Closed) {
        RaiseError(Err::PrintFileNotOpen);
        return NoChannel;
    }
    if (ModeOf(n) == FileModeKind::Input) {
        RaiseError(Err::PrintFileOpenForInput);
        return NoChannel;
    }
    return n;
}

void ReportWriteFailure() {
    RaiseError(Err::StatementFailed, St::PRINTFile);
}

// The text of a PRINT# value of type number, string or boolean (popped): a number's in PrintFileText,
// a string's in `popped`. False when the top is another type (nothing popped).
bool PopPrintText(QStringView& text, QString& popped) {
    switch (GlTopType()) {
    case GlValueType::Number:
        // Formatted where it lies on the stack (see FormatNumberInto), then taken off.
        text = PrintedNumberText(Vs.GlNumStack.Items.data()[Vs.GlNumStack.Count]);
        GlPopNum();
        return true;
    case GlValueType::String:
        GlPopStr(popped);
        text = popped;
        return true;
    case GlValueType::Boolean: text = GlPopBool() ? u"True" : u"False"; return true;
    default: return false;
    }
}

// TAB of PRINT#: blanks from the channel's column up to min(column, 120), truncated.
QString TabText(int n, Extended column) {
    if (!(column < MaxTabColumn)) column = MaxTabColumn; // also NaN
    const Extended target = std::trunc(column);
    const qsizetype from = Channel(n).Column;
    if (!(target > static_cast<Extended>(from))) return QString();
    return QString(static_cast<qsizetype>(target) - from, QLatin1Char(' '));
}

// PRINT# of one value; `endLine` writes it with the line end (internal 277).
void PrintFileValue(bool endLine) {
    const int n = PopWritableChannel();
    if (n == NoChannel) {
        DropValue();
        return;
    }
    QStringView text;
    QString popped; // a string leaves the stack without a copy
    if (GlTopType() == GlValueType::NumberAlt && !endLine) {
        popped = TabText(n, GlPopNum());
        text = popped;
    } else if (!PopPrintText(text, popped)) {
        RaiseError(Err::StatementType, St::PRINTFile);
        return;
    }
    WritePrintedText(n, text, endLine);
}

} // namespace

bool IsWritable(int n) {
    return IsFileChannel(n) && (ModeOf(n) == FileModeKind::Output || ModeOf(n) == FileModeKind::Append) &&
           Channel(n).Writer != nullptr;
}

QStringView PrintedNumberText(const Extended& value) {
    FormatNumberInto(value, PrintFileText);
    return PrintFileText;
}

void WritePrintedText(int n, QStringView text, bool endLine) {
    if (endLine) {
        if (!Channel(n).Writer->WriteLine(text)) ReportWriteFailure();
        Channel(n).Column = 0;
        return;
    }
    WriteFileText(n, text);
    Channel(n).Column += text.size();
}

void WriteFileText(int n, QStringView text) {
    if (!IsWritable(n) || text.isEmpty()) return;
    if (!Channel(n).Writer->Write(text)) ReportWriteFailure();
}

void WriteFileNextZone(int n) {
    if (!IsWritable(n)) return;
    const qsizetype width = Ps.PrintPrecision + ZoneExtra;
    FileChannelType& channel = Channel(n);
    const qsizetype target = (channel.Column / width + 1) * width;
    if (!channel.Writer->Write(QString(target - channel.Column, QLatin1Char(' ')))) ReportWriteFailure();
    channel.Column = target;
}

void WriteFileLineEnd(int n) {
    if (!IsFileChannel(n)) return;
    Channel(n).Column = 0;
    if (IsWritable(n) && !Channel(n).Writer->WriteLine(QStringView())) ReportWriteFailure();
}

// OPEN name FOR {INPUT | OUTPUT | APPEND} AS #n
void ExecOpen() {
    CodeItemType item;
    GetCode(item);
    QString name;
    if (!StringItemValue(item, name)) {
        RaiseError(Err::UnexpectedParseError);
        return;
    }
    GetCode(item);
    int mode = FileModeKind::Closed;
    if (item.FirstCode == CodeKind::Statement) {
        if (item.SecondCode == St::APPEND)
            mode = FileModeKind::Append;
        else if (item.SecondCode == St::INPUT)
            mode = FileModeKind::Input;
        else if (item.SecondCode == St::OUTPUT)
            mode = FileModeKind::Output;
    }
    const int n = FetchChannelLiteral();
    if (!IsFileChannel(n)) {
        RaiseError(Err::FileNumberInvalid);
        return;
    }
    if (ModeOf(n) != FileModeKind::Closed) {
        RaiseError(Err::ChannelAlreadyOpen);
        return;
    }
    OpenFileChannel(name, mode, n);
}

// CLOSE [#n]
void ExecClose() {
    const int n = FetchChannelLiteral();
    if (n != 0 && !IsFileChannel(n)) {
        RaiseError(Err::FileNumberInvalid);
        return;
    }
    // The lines PRINT# held back are written now: a failure is the failure of their PRINT#.
    if (!CloseFileChannel(n)) ReportWriteFailure();
}

// PRINT #n, value
void ExecPrintFile() {
    PrintFileValue(false);
}

// PRINT #n, ..., value  (the line ends after it)
void ExecPrintFileLineEnd() {
    PrintFileValue(true);
}

// PRINT #n, ... ,   and   PRINT #n
void ExecPrintFileSeparator(int value) {
    // A separator on a channel that cannot be written is as wrong as a value would be there.
    const int n = PopWritableChannel();
    if (n == NoChannel) return;
    if (value == Op::Comma)
        WriteFileNextZone(n);
    else if (value == PrintSepEnd)
        WriteFileLineEnd(n);
}

// PRINT #n, USING format; values
void ExecPrintUsingFile() {
    const int n = PopWritableChannel();
    if (n == NoChannel) return;
    QString format;
    if (!PopUsingFormat(format)) return;
    QString text;
    const bool laidOut = FormatUsing(format, text, UsingWidePairs::Ignore);
    WriteFileText(n, text); // what was laid out before a failing field is written, as it would be
    if (!laidOut || Fe.ErrorNumber != 0) return;
    // The statement's own ending: a zone after ",", a line end unless ";" or "," ended it.
    CodeItemType last;
    SkipToStatementEnd(last);
    if (last.FirstCode != CodeKind::PrintSep) return;
    if (last.SecondCode == Op::Comma)
        WriteFileNextZone(n);
    else if (last.SecondCode == PrintSepEnd)
        WriteFileLineEnd(n);
}

// INPUT #n, target
void ExecInputFile() {
    const int n = FetchReadableChannel(InputFileErrors);
    if (n == NoChannel) return;
    CodeItemType target;
    GetCode(target);
    const bool numeric = IsNumTarget(target);
    if (!numeric && !IsStrTarget(target)) return;
    if (FileChannelAtEnd(n)) {
        RaiseError(Err::InputFileAtEnd);
        return;
    }
    if (numeric) {
        const Extended value = ReadFileNumber(n);
        if (Fe.ErrorNumber == 0) StoreNumTarget(target, value);
    } else if (QString* slot = StrTargetSlot(target)) {
        ReadFileItemInto(n, ReadItemMode::String, ReadingRoom(*slot));
    } else {
        ReadFileItem(n, ReadItemMode::String);
    }
}

// LINE INPUT #n, target$
void ExecLineInputFile() {
    const int n = FetchReadableChannel(LineInputFileErrors);
    if (n == NoChannel) return;
    CodeItemType target;
    GetCode(target);
    if (FileChannelAtEnd(n)) {
        RaiseError(Err::LineInputFileAtEnd);
        return;
    }
    // The character a field read held back begins the line; the reader may have nothing after it.
    // The line goes straight into the variable's own room; another target receives nothing.
    FileChannelType& channel = Channel(n);
    QString* slot = IsStrTarget(target) ? StrTargetSlot(target) : nullptr;
    QString discarded;
    QString& line = slot != nullptr ? ReadingRoom(*slot) : discarded;
    line.resize(0);
    if (channel.PushbackPending) line.append(QChar(channel.Pushback));
    channel.PushbackPending = false;
    channel.Reader->AppendLine(line);
}
