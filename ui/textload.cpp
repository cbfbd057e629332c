// Loading a program file: reading on a worker thread, the lines into the document in slices.
#include "ui/textload.h"

#include "core/encodedetect.h"

#include <QFileInfo>
#include <QTextCursor>
#include <QTextDocument>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

// How long one slice of the insertion keeps the event loop waiting, and how many characters go in
// between two looks at the clock (each piece ends with a line).
constexpr qint64 SliceMs = 20;
constexpr qsizetype PieceLength = 1 << 13;

// The share of the progress that reading and decoding the file take (about their share of the time
// for a long program); the insertion of the lines has the rest.
constexpr int ReadShare = 50;

} // namespace

ProgramFileText ReadProgramFile(const QString& fileName, const QString& encodingName) {
    ProgramFileText file;
    QString name = encodingName;
    if (name == QStringView(EncodingAuto) && !GetFileEncodingName(fileName, name)) return file;
    const std::unique_ptr<TEncoding> encoding = EncodingFromName(name);
    QString text;
    if (!QFileInfo(fileName).isFile() || !ReadTextFile(fileName, *encoding, text)) return file;
    file.Read = true;
    file.EncodingName = name;
    file.LineEnds = DetectLineEnds(text);
    file.Text = WithLineEnds(std::move(text), LineEndKind::Lf);
    return file;
}

// ---- TTextLoad --------------------------------------------------------------------------------------

TTextLoad::TTextLoad(const QString& fileName, const QString& encodingName, QTextDocument* document,
                     QObject* parent)
    : QObject(parent), fileName_(fileName), encodingName_(encodingName), document_(document) {}

TTextLoad::~TTextLoad() {
    if (thread_ != nullptr) {
        thread_->wait();
        delete thread_;
    }
    if (inserting_ && document_ != nullptr) document_->setUndoRedoEnabled(undoRedo_);
}

void TTextLoad::Start() {
    emit ProgressChanged(0);
    thread_ = QThread::create([this] { file_ = ReadProgramFile(fileName_, encodingName_); });
    connect(thread_, &QThread::finished, this, &TTextLoad::FileRead);
    thread_->start();
}

void TTextLoad::FileRead() {
    thread_->wait();
    if (!file_.Read || document_ == nullptr) {
        emit Finished();
        return;
    }
    emit ProgressChanged(ReadShare);
    // As a new text: no undo step for it, and nothing of an earlier text left.
    undoRedo_ = document_->isUndoRedoEnabled();
    document_->setUndoRedoEnabled(false);
    inserting_ = true;
    document_->clear();
    InsertSlice();
}

void TTextLoad::InsertSlice() {
    if (document_ == nullptr) return;
    QElapsedTimer clock;
    clock.start();
    const QString& text = file_.Text;
    const qsizetype size = text.size();
    QTextCursor cursor(document_);
    cursor.movePosition(QTextCursor::End);
    while (inserted_ < size && clock.elapsed() < SliceMs) {
        qsizetype end = text.indexOf(u'\n', std::min(size, inserted_ + PieceLength));
        end = end < 0 ? size : end + 1;
        cursor.insertText(QStringView(text).sliced(inserted_, end - inserted_).toString());
        inserted_ = end;
    }
    emit ProgressChanged(ReadShare + static_cast<int>(static_cast<double>(LoadProgressMaximum - ReadShare) *
                                                      static_cast<double>(inserted_) /
                                                      static_cast<double>(std::max<qsizetype>(1, size))));
    if (inserted_ < size) {
        // The next slice after the events that came meanwhile (a ping, a paint, a key).
        QTimer::singleShot(0, this, &TTextLoad::InsertSlice);
        return;
    }
    file_.Text = QString();
    inserting_ = false;
    document_->setUndoRedoEnabled(undoRedo_);
    emit Finished();
}
