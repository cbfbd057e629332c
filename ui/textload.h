// Loading a program file into the editor's text document. Reading and decoding the file runs on a
// worker thread; the lines then go into the document on the user-interface thread in slices of a few
// milliseconds with the event loop running in between, so the windows keep answering and the wait
// window shows how far a long load has come. (A document built on the worker would have to be handed
// to the editor whole, and the editor lays out every line of a document it is handed: 300 bytes and
// a pause for each of a million lines.)
#pragma once

#include "ui/editform.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>

class QTextDocument;
class QThread;

// A program file as read.
struct ProgramFileText {
    // False when the file could not be opened, its encoding not detected or its bytes not read.
    bool Read = false;
    // The encoding the text was read in ("Auto" replaced by the one detected).
    QString EncodingName;
    // The file's own line ends; the text has "\n" line ends.
    LineEndKind LineEnds = LineEndKind::CrLf;
    QString Text;
};

// Reads fileName in the named encoding ("Auto": detected). Safe on any thread.
ProgramFileText ReadProgramFile(const QString& fileName, const QString& encodingName);

// How far a load has come: ProgressChanged gives values from 0 to LoadProgressMaximum.
inline constexpr int LoadProgressMaximum = 1000;

// One load into `document` (whose undo is off while the lines go in). Destroying it before the end
// gives the load up: the worker is waited for (the reading cannot be cut short) and the document
// keeps the lines it has.
class TTextLoad : public QObject {
    Q_OBJECT
public:
    TTextLoad(const QString& fileName, const QString& encodingName, QTextDocument* document,
              QObject* parent = nullptr);
    ~TTextLoad() override;

    void Start();
    // Once Finished has come: the encoding and line ends (Read false: nothing was loaded).
    const ProgramFileText& File() const { return file_; }

signals:
    void ProgressChanged(int value);
    void Finished();

private:
    void FileRead();
    void InsertSlice();

    QString fileName_;
    QString encodingName_;
    QPointer<QTextDocument> document_;
    // Set while the lines go in, with the document's own undo setting to give back.
    bool inserting_ = false;
    bool undoRedo_ = true;
    ProgramFileText file_;
    qsizetype inserted_ = 0;
    QThread* thread_ = nullptr;
};
