// lxrun: runs a program through the real engine and the real run window (offscreen) and prints the run
// window's text when the run has ended. Used by the golden-program tests and the benchmarks.
//
//   lxrun [--time] [--peak] [--general] [--timeout SECONDS] [--expect FILE] [--input TEXT]...
//         [--answer TEXT | --cancel]... PROGRAM.lxt
//
// --expect compares the run window's text with FILE and exits 1 (printing both) when they differ.
// --input answers the program's INPUT and LINE INPUT dialogs in order, as a person typing TEXT would.
// --answer and --cancel answer the other dialogs, MSGBOX, INPUTBOX, SELECTOPENFILE and SELECTSAVEFILE,
// one each in the order the dialogs open: --answer presses the message box's button named TEXT (OK,
// Cancel, Abort, Retry, Ignore, Yes, No), enters TEXT in the input box and presses OK, or chooses the
// file TEXT (relative to the dialog's folder) in a file dialog; --cancel closes the dialog as Escape
// does. A dialog that opens with no answer left waits, as it would for a person.
// --time prints the compile-and-run time to stderr, --peak the process's peak resident size ("peak N kB"). A
// run that has not ended after --timeout seconds (default 60), also one waiting in a dialog, is stopped and
// reported with exit code 2; so is an answer a dialog cannot take, or one left over at the end. --general
// runs every item by the general path, without the decoded statements, so that the tests can hold both ways
// to the same text.
#include "controlwindow/installhooks.h"
#include "core/programfile.h"
#include "core/sharedstate.h"
#include "engine/enginehooks.h"
#include "engine/enginestate.h"
#include "engine/filechannels.h"
#include "engine/lxthread.h"
#include "engine/runloop.h"
#include "frontend/initall.h"
#include "platform/endsignals.h"
#include "ui/inputform.h"
#include "ui/mplayerform.h"
#include "ui/runform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <sys/resource.h>
#include <thread>

namespace {

int Usage() {
    std::fprintf(
        stderr,
        "usage: lxrun [--time] [--peak] [--general] [--timeout SECONDS] [--expect FILE] [--input TEXT]...\n"
        "             [--answer TEXT | --cancel]... PROGRAM.lxt\n");
    return 2;
}

// The dialogs are looked at this often while the program runs.
constexpr int WatchIntervalMs = 10;

// An answer to a dialog other than INPUT's.
struct DialogAnswer {
    bool Cancel = false;
    QString Text;
};

struct ButtonName {
    const char* Name;
    QMessageBox::StandardButton Button;
};
constexpr ButtonName ButtonNames[] = {
    {"OK", QMessageBox::Ok},       {"Cancel", QMessageBox::Cancel}, {"Abort", QMessageBox::Abort},
    {"Retry", QMessageBox::Retry}, {"Ignore", QMessageBox::Ignore}, {"Yes", QMessageBox::Yes},
    {"No", QMessageBox::No},
};

void Complain(const QString& text) {
    std::fprintf(stderr, "lxrun: %s\n", text.toLocal8Bit().constData());
}

// Answers the program's dialogs as they open, and ends a run that outlives its time, also one waiting
// in a dialog. It runs on a timer, so that it also works inside the dialog's own event loop.
class DialogWatcher {
public:
    DialogWatcher(std::deque<DialogAnswer> answers, double timeoutSeconds)
        : answers_(std::move(answers)), timeoutMs_(static_cast<qint64>(timeoutSeconds * 1000)) {
        clock_.start();
        QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
        timer_.start(WatchIntervalMs);
    }

    bool TimedOut() const { return timedOut_; }
    bool Failed() const { return failed_; }
    std::size_t AnswersLeft() const { return answers_.size(); }

private:
    void Look() {
        if (!timedOut_ && clock_.elapsed() > timeoutMs_) {
            timedOut_ = true;
            Rc.StopRequest = 1; // the loop sees it after the item in hand; waits wake on it
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == pending_) return;
        if (timedOut_) {
            Post(modal, [](QWidget* dialog) { Close(dialog); });
            return;
        }
        // A message box of the program has no owner; the boxes a file dialog raises itself are not
        // the program's and are left to the timeout, like an INPUT dialog with no answer given.
        auto* box = qobject_cast<QMessageBox*>(modal);
        const bool programDialog = (box != nullptr && box->parentWidget() == nullptr) ||
                                   qobject_cast<QInputDialog*>(modal) != nullptr ||
                                   qobject_cast<QFileDialog*>(modal) != nullptr;
        if (!programDialog || answers_.empty()) return;
        const DialogAnswer answer = answers_.front();
        answers_.pop_front();
        Post(modal, [this, answer](QWidget* dialog) {
            Answer(dialog, answer);
            if (dialog->isVisible())
                Refuse(dialog, QStringLiteral("a %1 did not take the answer \"%2\"")
                                   .arg(QLatin1String(dialog->metaObject()->className()), answer.Text));
        });
    }

    // The answer runs from the event loop, not inside this timer's handler: a dialog it leads to
    // (a file dialog's own warning) then still sees the timer.
    template <typename Act> void Post(QWidget* dialog, Act act) {
        pending_ = dialog;
        QMetaObject::invokeMethod(
            &timer_,
            [this, target = QPointer<QWidget>(dialog), act] {
                if (target) act(target.data());
                pending_ = nullptr;
            },
            Qt::QueuedConnection);
    }

    static void Close(QWidget* dialog) {
        if (auto* d = qobject_cast<QDialog*>(dialog))
            d->reject();
        else
            dialog->close();
    }

    void Answer(QWidget* dialog, const DialogAnswer& answer) {
        if (answer.Cancel) return Close(dialog);
        if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            for (const ButtonName& name : ButtonNames) {
                if (answer.Text.compare(QLatin1String(name.Name), Qt::CaseInsensitive) != 0) continue;
                if (QAbstractButton* button = box->button(name.Button)) {
                    button->click();
                    return;
                }
            }
            Refuse(dialog,
                   QStringLiteral("the message box \"%1\" has no button %2").arg(box->text(), answer.Text));
        } else if (auto* input = qobject_cast<QInputDialog*>(dialog)) {
            input->setTextValue(answer.Text);
            input->accept();
        } else if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
            const QString path = files->directory().absoluteFilePath(answer.Text);
            if (files->acceptMode() == QFileDialog::AcceptOpen && !QFileInfo(path).isFile())
                return Refuse(dialog, QStringLiteral("no file %1 to open").arg(path));
            // The dialog leaves its name field alone while the field has the focus.
            if (QWidget* focused = files->focusWidget()) focused->clearFocus();
            files->selectFile(path);
            static_cast<QDialog*>(files)->accept(); // the file dialog hides its accept()
        }
    }

    void Refuse(QWidget* dialog, const QString& why) {
        Complain(why);
        failed_ = true;
        Close(dialog);
    }

    QTimer timer_;
    std::deque<DialogAnswer> answers_;
    QElapsedTimer clock_;
    qint64 timeoutMs_;
    QPointer<QWidget> pending_;
    bool timedOut_ = false;
    bool failed_ = false;
};

// Prints the run window's text, or compares it with the expected text; the exit code.
int Report(const QString& output, const DialogWatcher& watcher, bool timedOut, double timeoutSeconds,
           const QString& expectPath) {
    if (watcher.AnswersLeft() != 0)
        Complain(QStringLiteral("%1 dialog answers were not used").arg(watcher.AnswersLeft()));
    if (timedOut || watcher.Failed() || watcher.AnswersLeft() != 0) {
        if (timedOut) std::fprintf(stderr, "lxrun: the run did not end within %g s\n", timeoutSeconds);
        std::fwrite(output.toUtf8().constData(), 1, static_cast<std::size_t>(output.toUtf8().size()), stdout);
        return 2;
    }
    if (!expectPath.isEmpty()) {
        QFile file(expectPath);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "lxrun: cannot read %s\n", expectPath.toLocal8Bit().constData());
            return 2;
        }
        const QString expected = QString::fromUtf8(file.readAll());
        if (expected != output) {
            std::fprintf(stdout, "--- expected\n%s--- got\n%s", expected.toUtf8().constData(),
                         output.toUtf8().constData());
            return 1;
        }
        return 0;
    }
    std::fwrite(output.toUtf8().constData(), 1, static_cast<std::size_t>(output.toUtf8().size()), stdout);
    return 0;
}

// Handles the window's work while the run goes on, and returns when it has ended. The event loop
// sleeps until an event comes (a hand-over, the run window's batching timer, the dialog watcher);
// the end of the run wakes it through a thread that waits for the interpreter thread to finish.
// Looking for the end at short intervals instead made the process switch contexts all the way
// through a long run. An event call started from the window's events is waited for in turn.
void WaitForRunEnd() {
    while (Rc.ThreadBusy != 0) {
        std::atomic<bool> ended{false};
        std::thread waker([&ended] {
            TLXMTHread::WaitForIdle();
            ended = true;
            QMetaObject::invokeMethod(
                qApp, [] {}, Qt::QueuedConnection);
        });
        while (!ended)
            QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        waker.join();
    }
    TLXMTHread::WaitForIdle();
}

// Ends the process once the run has ended and its text is out. Tearing the application down does
// nothing a caller can see, and costs a whole start of the font system when the run window's text
// was never laid out (closing Qt's font database loads the configuration it never needed). Files the
// program left open (a stopped run keeps them for CONT) are closed as their teardown would close
// them. The sanitized build tears down as before, so that its leak check still sees everything.
int EndProcess(int code) {
    CloseAllFileChannels();
    if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "lxrun: the output could not be written\n");
        code = 2;
    }
#if !defined(__SANITIZE_ADDRESS__)
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) std::_Exit(code);
#endif
    return code;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QT_MEDIA_BACKEND", "gstreamer", 0);
    QString programPath, expectPath;
    bool timing = false;
    bool peak = false;
    double timeoutSeconds = 60.0;
    std::deque<DialogAnswer> dialogAnswers;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--time") == 0) {
            timing = true;
        } else if (std::strcmp(argv[i], "--peak") == 0) {
            peak = true;
        } else if (std::strcmp(argv[i], "--general") == 0) {
            Eng.FastPathsEnabled = false;
        } else if (std::strcmp(argv[i], "--timeout") == 0 && i + 1 < argc) {
            timeoutSeconds = std::atof(argv[++i]);
            if (!(timeoutSeconds > 0)) return Usage();
        } else if (std::strcmp(argv[i], "--expect") == 0 && i + 1 < argc) {
            expectPath = QString::fromLocal8Bit(argv[++i]);
        } else if (std::strcmp(argv[i], "--input") == 0 && i + 1 < argc) {
            Win.ScriptedInputAnswers.append(QString::fromLocal8Bit(argv[++i]));
        } else if (std::strcmp(argv[i], "--answer") == 0 && i + 1 < argc) {
            dialogAnswers.push_back({false, QString::fromLocal8Bit(argv[++i])});
        } else if (std::strcmp(argv[i], "--cancel") == 0) {
            dialogAnswers.push_back({true, QString()});
        } else if (argv[i][0] == '-' && argv[i][1] == '-') {
            return Usage();
        } else {
            programPath = QString::fromLocal8Bit(argv[i]);
        }
    }
    if (programPath.isEmpty()) return Usage();

    InstallEngineReset();
    InitAll();
    // The file dialogs are then widgets that can be answered, whatever the desktop offers.
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    // SIGTERM and SIGHUP stop the run; its files are then closed with everything written, as at its end.
    CallOnEndSignals(&app, [] { RequestStop(); });
    TRunForm runForm;
    TMPlayerForm mplayerForm;
    InstallWindowHooks();
    runForm.CLSBtnClick();

    QString text;
    QString error;
    if (!ReadProgramFile(programPath, text, error)) {
        std::fprintf(stderr, "lxrun: %s\n", error.toLocal8Bit().constData());
        return 2;
    }

    QElapsedTimer clock;
    clock.start();
    DialogWatcher watcher(std::move(dialogAnswers), timeoutSeconds);
    StartRun(RunRequest{RunStart::Program, text, QFileInfo(programPath).absolutePath()});
    WaitForRunEnd();
    const bool timedOut = watcher.TimedOut();
    const qint64 elapsed = clock.nsecsElapsed();
    runForm.ApplyQueue();
    if (timing) std::fprintf(stderr, "run %.6f s\n", static_cast<double>(elapsed) / 1e9);
    if (rusage usage{}; peak && getrusage(RUSAGE_SELF, &usage) == 0)
        std::fprintf(stderr, "peak %ld kB\n", usage.ru_maxrss);

    const QString output = runForm.Text();
    return EndProcess(Report(output, watcher, timedOut, timeoutSeconds, expectPath));
}
