// The executors of the picture, program-text and file-management statements: picture files read and
// written on the interpreter thread, their pixels copied under the drawing surface's lock.
#include "engine/pictureexec.h"

#include "core/errornumbers.h"
#include "core/programfile.h"
#include "core/raiseerror.h"
#include "core/sharedstate.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/coords.h"
#include "engine/drawexec.h"
#include "engine/filechannels.h"
#include "engine/runwindowqueue.h"
#include "engine/services.h"
#include "engine/stacktags.h"
#include "platform/gifwriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <system_error>

namespace {

using Index = std::int64_t;

// Positions and sizes of the picture statements are held within this magnitude, far outside any
// picture, so that sums of them never overflow.
constexpr Index CoordinateLimit = Index{1} << 30;
// The saving quality of JPEG files (0 to 100).
constexpr int JpegQuality = 90;
// GETIMAGESIZE$: each number right-aligned in this many columns.
constexpr int ImageSizeColumns = 4;
// The colour GETRGBPIXEL gives for a position outside the picture.
constexpr ColorWord OutsideColor = 0xFFFFF;
// Attempts at a name for a file being written beside its target.
constexpr int FreshNameAttempts = 100;

const QString BackupExtension = QStringLiteral(".bak");

// ---- operands --------------------------------------------------------------------------------------

QString PopString() {
    QString text;
    GlPopStr(text);
    return text;
}

// The operands of a picture statement in argument form `form`: a file name (forms 1 and 3) below a
// width and a height (forms 2 and 3).
bool PictureOperandsFit(int form) {
    switch (form) {
    case 0: return true;
    case 1: return GlTagAt(1) == GlValueType::String;
    case 2: return IsNumberTag(GlTagAt(1)) && IsNumberTag(GlTagAt(2));
    case 3: return IsNumberTag(GlTagAt(1)) && IsNumberTag(GlTagAt(2)) && GlTagAt(3) == GlValueType::String;
    default: return false;
    }
}

// A position as the program gave it, truncated and held within CoordinateLimit (NaN is 0).
Index Coordinate(Extended v) {
    if (std::isnan(v)) return 0;
    return static_cast<Index>(std::clamp<Extended>(std::trunc(v), -CoordinateLimit, CoordinateLimit));
}

// A width or height operand: its absolute value truncated.
Index AreaSize(Extended v) {
    return Coordinate(std::fabs(v));
}

// The surface a picture statement works on, once its operands fit, and the w, h it names (the drawing
// surface's size in the forms without them); empty when an error was raised.
std::shared_ptr<GraphSurface> PictureOperands(int form, int statement, Index& w, Index& h) {
    if (!PictureOperandsFit(form)) {
        RaiseError(Err::StatementType, statement);
        return nullptr;
    }
    std::shared_ptr<GraphSurface> surface = CurrentGraphSurface();
    if (!surface) {
        RaiseError(Err::NoGraphicsWindow);
        return nullptr;
    }
    w = Gs.GScreenWidth;
    h = Gs.GScreenHeight;
    if (form >= 2) {
        h = AreaSize(GlPopNum());
        w = AreaSize(GlPopNum());
    }
    return surface;
}

// ---- file names ------------------------------------------------------------------------------------

// Where the extension of the name begins (the last "." of its last part), or -1 when it has none.
qsizetype ExtensionStart(const QString& name) {
    for (qsizetype i = name.size() - 1; i >= 0; --i) {
        const QChar c = name.at(i);
        if (c == u'.') return i;
        if (c == u'/' || c == u'\\' || c == u':') return -1;
    }
    return -1;
}

const char* ImageFormatName(PictureType type) {
    switch (type) {
    case PictureType::Jpeg: return "jpeg";
    case PictureType::Bmp: return "bmp";
    case PictureType::Png: return "png";
    case PictureType::Gif: return "gif";
    case PictureType::None: break;
    }
    return "";
}

// Anything at all under the name, a link that leads nowhere included.
bool AnythingAt(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

std::filesystem::path FsPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// A new, empty file beside `target` to write into; empty when none can be made.
QString CreateFreshFile(const QString& target, QFile& file) {
    static std::atomic<int> counter{0};
    const QFileInfo info(target);
    const QString stem = info.dir().filePath(QLatin1Char('.') + info.fileName() + QStringLiteral(".lxnew"));
    for (int attempt = 0; attempt < FreshNameAttempts; ++attempt) {
        const QString name = stem + QString::number(counter.fetch_add(1));
        file.setFileName(name);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return name;
        if (!AnythingAt(name)) return {}; // the folder refuses new files
    }
    return {};
}

// ---- the surface -----------------------------------------------------------------------------------

// A copied span on one axis that starts before its picture's edge (`start` < 0) begins at the edge
// instead: it grows shorter, and the other picture's start moves on by as much.
void ClipSpanStart(Index& start, Index& otherStart, Index& length) {
    if (start >= 0) return;
    otherStart -= start;
    length += start;
    start = 0;
}

// Copies the w x h area at (sx, sy) of `source` to (dx, dy) of `dest`, pixel for pixel; the parts
// that lie outside either picture are left out.
void CopyArea(Canvas& dest, Index dx, Index dy, const Canvas& source, Index sx, Index sy, Index w, Index h) {
    ClipSpanStart(sx, dx, w);
    ClipSpanStart(sy, dy, h);
    ClipSpanStart(dx, sx, w);
    ClipSpanStart(dy, sy, h);
    w = std::min({w, source.Width() - sx, dest.Width() - dx});
    h = std::min({h, source.Height() - sy, dest.Height() - dy});
    if (w <= 0 || h <= 0) return;
    QPainter painter(&dest.Image());
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(
        QPoint(static_cast<int>(dx), static_cast<int>(dy)), source.Image(),
        QRect(static_cast<int>(sx), static_cast<int>(sy), static_cast<int>(w), static_cast<int>(h)));
}

// The graphics position (GLOCATE) in pixels.
Index LocateX() {
    return Coordinate(Ps.GLocateX);
}
Index LocateY() {
    return Coordinate(Ps.GLocateY);
}

// Places the w x h area of the picture buffer at the buffer position (GFLOCATE) on the drawing
// surface at the graphics position (GLOCATE).
void PlaceBuffer(GraphSurface& surface, Index w, Index h) {
    std::lock_guard<std::mutex> lock(surface.Lock);
    CopyArea(surface.Image1, LocateX(), LocateY(), surface.Image2, Coordinate(Ps.GFLocateX),
             Coordinate(Ps.GFLocateY), w, h);
    surface.Changed();
}

// The w x h area of the drawing surface at the graphics position, its right and bottom edges held
// within the bitmap.
QRect SavedArea(Index w, Index h) {
    const Index left = LocateX(), top = LocateY();
    const Index right = std::min<Index>(left + w, Gs.GScreenWidth);
    const Index bottom = std::min<Index>(top + h, Gs.GScreenHeight);
    const Index x = std::max<Index>(left, 0), y = std::max<Index>(top, 0);
    if (right <= x || bottom <= y) return {};
    return QRect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(right - x),
                 static_cast<int>(bottom - y));
}

// ---- picture files -----------------------------------------------------------------------------------

// The path of the file a program names; false, with 2101 raised, where no file is there.
bool FindProgramFile(const QString& name, QString& path) {
    path = ProgramFilePath(name);
    if (!name.isEmpty() && IsRegularFileAt(path)) return true;
    RaiseError(Err::FileNotFound);
    return false;
}

// Points `reader` at the picture file a program names. Errors: 2101 no such file, 54089 not one of the
// four types.
bool OpenPictureFile(const QString& name, QImageReader& reader) {
    QString path;
    if (!FindProgramFile(name, path)) return false;
    if (PictureTypeOf(name) == PictureType::None) {
        RaiseError(Err::PictureFormat);
        return false;
    }
    reader.setFileName(path);
    // The contents decide how the file is read: a picture of another type under the name is still read.
    reader.setDecideFormatFromContent(true);
    return true;
}

// Reads the picture file of a program's name. Errors: those of OpenPictureFile, 2112 a file that cannot
// be read as a picture.
bool ReadPictureFile(const QString& name, QImage& picture) {
    QImageReader reader;
    if (!OpenPictureFile(name, reader)) return false;
    picture = reader.read();
    if (picture.isNull()) {
        RaiseError(Err::LoadSaveFailed);
        return false;
    }
    return true;
}

bool EncodePicture(const QImage& picture, PictureType type, QFile& file) {
    if (type == PictureType::Gif) return WriteGifImage(picture, file);
    QImageWriter writer(&file, ImageFormatName(type));
    if (type == PictureType::Jpeg) writer.setQuality(JpegQuality);
    return writer.write(picture);
}

// Writes `picture` to the program's file name in the type of its extension; an existing file is kept
// under its ".bak" name. Errors: 54089 not one of the four types (nothing is moved then), 2112 the
// file could not be written (nothing changed).
void WritePictureFile(const QString& name, const QImage& picture) {
    const PictureType type = PictureTypeOf(name);
    if (type == PictureType::None) {
        RaiseError(Err::PictureFormat);
        return;
    }
    const QString path = ProgramFilePath(name);
    if (picture.isNull() || QFileInfo(path).isDir()) {
        RaiseError(Err::LoadSaveFailed);
        return;
    }
    QFile file;
    const QString fresh = CreateFreshFile(path, file);
    if (fresh.isEmpty()) {
        RaiseError(Err::LoadSaveFailed);
        return;
    }
    bool written = EncodePicture(picture, type, file);
    written = file.flush() && written;
    file.close();
    written = written && file.error() == QFileDevice::NoError;
    if (!written || !ReplaceKeepingBackup(fresh, path)) {
        QFile::remove(fresh);
        RaiseError(Err::LoadSaveFailed);
    }
}

// ---- file copies -------------------------------------------------------------------------------------

bool HasWildcard(const QString& name) {
    return name.contains(u'*') || name.contains(u'?');
}

// Copies one file; an existing target is kept under its ".bak" name. False when nothing was copied.
bool CopyOneFile(const QString& source, const QString& target) {
    std::error_code ec;
    if (AnythingAt(target) && std::filesystem::equivalent(FsPath(source), FsPath(target), ec)) return false;
    QFile file;
    const QString fresh = CreateFreshFile(target, file);
    if (fresh.isEmpty()) return false;
    file.close();
    // The fresh file is replaced by the copy, which brings the source's permissions along.
    const bool copied = std::filesystem::copy_file(FsPath(source), FsPath(fresh),
                                                   std::filesystem::copy_options::overwrite_existing, ec) &&
                        !ec;
    if (!copied || !ReplaceKeepingBackup(fresh, target)) {
        QFile::remove(fresh);
        return false;
    }
    return true;
}

} // namespace

// ---- names and texts ---------------------------------------------------------------------------------

PictureType PictureTypeOf(const QString& name) {
    const qsizetype dot = ExtensionStart(name);
    if (dot < 0) return PictureType::None;
    const QString extension = name.mid(dot).toUpper();
    if (extension == QLatin1String(".JPG")) return PictureType::Jpeg;
    if (extension == QLatin1String(".BMP")) return PictureType::Bmp;
    if (extension == QLatin1String(".PNG")) return PictureType::Png;
    if (extension == QLatin1String(".GIF")) return PictureType::Gif;
    return PictureType::None;
}

QString BackupNameOf(const QString& path) {
    const qsizetype dot = ExtensionStart(path);
    return (dot < 0 ? path : path.left(dot)) + BackupExtension;
}

bool ReplaceKeepingBackup(const QString& fresh, const QString& target) {
    // A folder is never replaced by a file, nor moved aside for one.
    if (QFileInfo(target).isDir()) return false;
    const QString backup = BackupNameOf(target);
    bool keptOld = false;
    if (AnythingAt(target)) {
        if (backup == target) {
            // A ".bak" file itself is replaced: there is no backup of a backup.
            if (!QFile::remove(target)) return false;
        } else {
            if (AnythingAt(backup) && !QFile::remove(backup)) return false;
            if (!QFile::rename(target, backup)) return false;
            keptOld = true;
        }
    }
    if (QFile::rename(fresh, target)) return true;
    if (keptOld) QFile::rename(backup, target);
    return false;
}

QString ImageSizeText(QSize size) {
    return QStringLiteral("%1:%2").arg(size.width(), ImageSizeColumns).arg(size.height(), ImageSizeColumns);
}

// ---- pictures ------------------------------------------------------------------------------------------

// LOADPICTURE   LOADPICTURE file   LOADPICTURE w, h   LOADPICTURE file, w, h
void ExecLoadPicture(int code) {
    const int form = code / ArgumentFormStep;
    Index w = 0, h = 0;
    const std::shared_ptr<GraphSurface> surface = PictureOperands(form, St::LOADPICTURE, w, h);
    if (!surface) return;
    if (form == 1 || form == 3) {
        QImage picture;
        if (!ReadPictureFile(PopString(), picture)) return;
        std::lock_guard<std::mutex> lock(surface->Lock);
        Canvas& buffer = surface->Image2;
        // A picture larger than the buffer enlarges it, so that GFLOCATE can reach all of it.
        const int width = std::max(buffer.Width(), picture.width());
        const int height = std::max(buffer.Height(), picture.height());
        if ((width != buffer.Width() || height != buffer.Height()) && !buffer.SetSize(width, height)) {
            RaiseError(Err::OutOfMemory);
            return;
        }
        QPainter painter(&buffer.Image());
        painter.drawImage(QPoint(0, 0), picture);
    }
    PlaceBuffer(*surface, w, h);
}

// SAVEPICTURE   SAVEPICTURE file   SAVEPICTURE w, h   SAVEPICTURE file, w, h
void ExecSavePicture(int code) {
    const int form = code / ArgumentFormStep;
    Index w = 0, h = 0;
    const std::shared_ptr<GraphSurface> surface = PictureOperands(form, St::SAVEPICTURE, w, h);
    if (!surface) return;
    // What is saved lies within the drawing surface.
    w = std::min<Index>(w, Gs.GScreenWidth);
    h = std::min<Index>(h, Gs.GScreenHeight);
    QImage picture;
    {
        std::lock_guard<std::mutex> lock(surface->Lock);
        Canvas& screen = surface->Image1;
        switch (form) {
        case 0:
            // The buffer becomes a copy of the whole drawing surface.
            if (!surface->Image2.SetSize(Gs.GScreenWidth, Gs.GScreenHeight)) {
                RaiseError(Err::OutOfMemory);
                return;
            }
            CopyArea(surface->Image2, 0, 0, screen, 0, 0, Gs.GScreenWidth, Gs.GScreenHeight);
            return;
        case 2: {
            const QRect area = SavedArea(w, h);
            if (!area.isEmpty())
                CopyArea(surface->Image2, 0, 0, screen, area.x(), area.y(), area.width(), area.height());
            return;
        }
        case 1: picture = screen.Image().copy(); break;
        default: {
            const QRect area = SavedArea(w, h);
            if (!area.isEmpty()) picture = screen.Image().copy(area);
            break;
        }
        }
        // A copy of a picture that is there comes back empty only when memory ran out.
        if (picture.isNull() && !screen.Image().isNull() && (form == 1 || !SavedArea(w, h).isEmpty())) {
            RaiseError(Err::OutOfMemory);
            return;
        }
    }
    // The file is written outside the lock: the window goes on repainting meanwhile.
    WritePictureFile(PopString(), picture);
}

// ---- program text --------------------------------------------------------------------------------------

// LOAD file
void ExecLoad() {
    if (!ExpectStringOperands(St::LOAD, 1)) return;
    QString path;
    if (!FindProgramFile(PopString(), path)) return;
    QString text, reason;
    if (!ReadProgramFile(path, text, reason)) {
        RaiseError(Err::LoadSaveFailed);
        return;
    }
    // Read as a list of lines: every line, the last one too, ends with CR LF.
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n'))) text += QStringLiteral("\r\n");
    Fe.ProgramText = text;
    Fe.ProgramTextLength = static_cast<int>(text.size());
}

// LIST
void ExecList() {
    if (Fe.ProgramText.isEmpty()) return;
    QString text = Fe.ProgramText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    RunWindowEvent event;
    event.Op = RunWindowOp::AppendText;
    event.Text = std::move(text);
    RunWindowQueue::Instance().Push(std::move(event));
}

// ---- files and folders -----------------------------------------------------------------------------------

// CHDIR folder
void ExecChDir() {
    if (!ExpectStringOperands(St::CHDIR, 1)) return;
    const QString path = ProgramFilePath(PopString());
    if (path.isEmpty() || !QDir::setCurrent(path)) RaiseError(Err::ChDirFailed);
}

// KILL file: the file is not deleted but kept under its ".bak" name.
void ExecKill() {
    if (!ExpectStringOperands(St::KILL, 1)) return;
    const QString path = ProgramFilePath(PopString());
    if (path.isEmpty() || !IsFileAt(path)) {
        RaiseError(Err::KillFileMissing);
        return;
    }
    const QString backup = BackupNameOf(path);
    bool done = false;
    if (backup == path)
        done = QFile::remove(path); // a ".bak" file has no backup of its own
    else
        done = (!AnythingAt(backup) || QFile::remove(backup)) && QFile::rename(path, backup);
    if (!done) RaiseError(Err::KillFailed);
}

// NAME old AS new
void ExecName() {
    if (!ExpectStringOperands(St::NAME, 2)) return;
    const QString target = ProgramFilePath(PopString());
    const QString source = ProgramFilePath(PopString());
    if (source.isEmpty() || !IsFileAt(source)) {
        RaiseError(Err::NameSourceMissing);
        return;
    }
    if (IsFileAt(target)) {
        RaiseError(Err::NameTargetExists);
        return;
    }
    // Never replaces anything: a folder or link under the new name makes the rename fail.
    if (target.isEmpty() || !QFile::rename(source, target)) RaiseError(Err::NameFailed);
}

// FILECOPY source, destination: the source may name several files with "*" and "?" in its last part
// when the destination is a folder; an existing target file is kept under its ".bak" name.
void ExecFileCopy() {
    if (!ExpectStringOperands(St::FILECOPY, 2)) return;
    const QString destination = ProgramFilePath(PopString());
    const QString source = ProgramFilePath(PopString());
    const QFileInfo sourceInfo(source);
    const bool intoFolder = !destination.isEmpty() && QFileInfo(destination).isDir();

    QStringList sources;
    if (HasWildcard(sourceInfo.fileName())) {
        if (!intoFolder) {
            RaiseError(Err::StatementFailed, St::FILECOPY);
            return;
        }
        const QDir folder = sourceInfo.dir();
        const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
        // A FIFO or a device among the names is no file to copy: its read may never end.
        for (const QString& name : names)
            if (MatchFilePattern(sourceInfo.fileName(), name) && IsRegularFileAt(folder.filePath(name)))
                sources.append(folder.filePath(name));
    } else if (!source.isEmpty() && IsRegularFileAt(source)) {
        sources.append(source);
    }
    if (sources.isEmpty()) {
        RaiseError(Err::FileNotFound);
        return;
    }
    if (destination.isEmpty()) {
        RaiseError(Err::StatementFailed, St::FILECOPY);
        return;
    }
    for (const QString& file : sources) {
        const QString target =
            intoFolder ? QDir(destination).filePath(QFileInfo(file).fileName()) : destination;
        if (!CopyOneFile(file, target)) {
            RaiseError(Err::StatementFailed, St::FILECOPY);
            return;
        }
    }
}

// ---- functions -------------------------------------------------------------------------------------------

// GETIMAGESIZE$(file)
void ExecGetImageSize() {
    if (GlTagAt(1) != GlValueType::String) {
        RaiseError(Err::FunctionArgType, Fn::GETIMAGESIZEStr);
        return;
    }
    QImageReader reader;
    if (!OpenPictureFile(PopString(), reader)) return;
    // The header gives the size without decoding the picture; a reader that cannot tell decodes it.
    QSize size = reader.canRead() ? reader.size() : QSize();
    if (!size.isValid() && reader.canRead()) size = reader.read().size();
    if (!size.isValid()) {
        RaiseError(Err::FunctionFailed, Fn::GETIMAGESIZEStr);
        return;
    }
    GlPushStr(ImageSizeText(size));
}

// GETRGBPIXEL(x, y): the colour of the pixel at the world position, as drawing places it.
void ExecGetRgbPixel() {
    if (!IsNumberTag(GlTagAt(1)) || !IsNumberTag(GlTagAt(2))) {
        RaiseError(Err::FunctionArgType, Fn::GETRGBPIXEL);
        return;
    }
    const Extended y = GlPopNum(), x = GlPopNum();
    const DevicePoint p = WorldToDevice(x, y);
    const std::shared_ptr<GraphSurface> surface = CurrentGraphSurface();
    ColorWord colour = InvalidColor;
    if (surface) {
        std::lock_guard<std::mutex> lock(surface->Lock);
        colour = surface->Image1.Pixel(p.X, MathGraphY(p.Y));
    }
    GlPushStr(ColorToHexText(colour == InvalidColor ? OutsideColor : colour));
}

// ---- routing ----------------------------------------------------------------------------------------------

namespace {

// The graphics-window check of the picture statements. A refused statement's operands (one per
// argument form step) are dropped, so that a trapped error leaves nothing behind on the stack.
bool PictureWindowOpen(int code) {
    if (RequireGraphForm(code)) return true;
    for (int k = code / ArgumentFormStep; k > 0 && Vs.GlTypeStack.Count > 0; --k)
        DiscardGlTop();
    return false;
}

} // namespace

void ExecLoadPictureStatement(int code) {
    if (PictureWindowOpen(code)) ExecLoadPicture(code);
}

void ExecSavePictureStatement(int code) {
    if (PictureWindowOpen(code)) ExecSavePicture(code);
}

void ExecGetRgbPixelFunction() {
    if (RequireGraphForm()) ExecGetRgbPixel();
}
