// The state dump: the desktop's state written as text to the file LORVEX_STATE_FILE names, when it
// changes.
#include "ui/statedump.h"

#include "core/sharedstate.h"
#include "resources/texts.h"
#include "ui/editform.h"
#include "ui/mainframe.h"
#include "ui/runform.h"
#include "ui/syntaxcolor.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QProgressBar>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

#include <utility>

namespace {

constexpr char StateFileVariable[] = "LORVEX_STATE_FILE";
// Often enough that a waiting test sees a change at once, seldom enough to cost nothing.
constexpr int DumpIntervalMs = 40;

// One line per value: line breaks and backslashes escaped.
QString Escaped(const QString& text) {
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\\')
            result += QStringLiteral("\\\\");
        else if (c == u'\n')
            result += QStringLiteral("\\n");
        else if (c == u'\r')
            result += QStringLiteral("\\r");
        else
            result += c;
    }
    return result;
}

QString EditorName(const TLXEditForm* editor) {
    return QFileInfo(editor->FileName).fileName();
}

// Texts longer than this are written as their line count and a digest: the dump is written often,
// and a test that loads a long program compares the digest of the file it wrote.
constexpr qsizetype WholeTextLimit = 1 << 16;
// What an editor's line says of its text is kept on its document until the text changes: the picture
// is made every few milliseconds, the text read again only after an edit.
constexpr char CachedTextProperty[] = "lorvexStateText";
constexpr char WatchedProperty[] = "lorvexStateWatched";
// A long text's digest is worked out a slice at a time (a document is read only on the thread it
// lives on, and a million lines take a good part of a second), some lines between two looks at the
// clock.
constexpr qint64 DigestSliceMs = 10;
constexpr int DigestStepLines = 256;
constexpr char16_t DigestObjectName[] = u"lorvexStateDigest";

// Works out what the line of a long text says of it: its line count and the MD5 of its text in UTF-8
// with "\n" line ends. A change of the text on the way makes it give up; the next picture starts
// again.
class TextDigest : public QObject {
public:
    explicit TextDigest(QTextDocument* document)
        : QObject(document), document_(document), block_(document->begin()) {
        setObjectName(T(DigestObjectName));
        QObject::connect(document, &QTextDocument::contentsChanged, this, [this] {
            timer_.stop();
            deleteLater();
        });
        timer_.callOnTimeout(this, &TextDigest::Step);
        timer_.start(0);
    }

private:
    void Step() {
        QElapsedTimer clock;
        clock.start();
        while (block_.isValid() && clock.elapsed() < DigestSliceMs) {
            for (int i = 0; i < DigestStepLines && block_.isValid(); ++i) {
                hash_.addData(block_.text().toUtf8());
                block_ = block_.next();
                if (block_.isValid()) hash_.addData(QByteArrayView("\n"));
            }
        }
        if (block_.isValid()) return;
        timer_.stop();
        document_->setProperty(CachedTextProperty, QString::number(document_->blockCount()) +
                                                       QStringLiteral(" lines|") +
                                                       QString::fromLatin1(hash_.result().toHex()));
        deleteLater();
    }

    QTextDocument* document_;
    QTextBlock block_;
    QCryptographicHash hash_{QCryptographicHash::Md5};
    QTimer timer_;
};

// An editor's line: "editor=" with its name and text, or for a long text "editordigest=" with its
// name, line count and digest ("…|digesting" until it is known).
std::pair<const char*, QString> EditorLine(const TLXEditForm* editor) {
    QTextDocument* document = editor->Editor->document();
    const bool digest = document->characterCount() > WholeTextLimit;
    const char* key = digest ? "editordigest" : "editor";
    const QString head = EditorName(editor) + u'|';
    const QVariant cached = document->property(CachedTextProperty);
    if (cached.isValid()) return {key, head + cached.toString()};
    if (!document->property(WatchedProperty).toBool()) {
        document->setProperty(WatchedProperty, true);
        QObject::connect(document, &QTextDocument::contentsChanged, document,
                         [document] { document->setProperty(CachedTextProperty, QVariant()); });
    }
    if (digest) {
        if (document->findChild<QObject*>(T(DigestObjectName), Qt::FindDirectChildrenOnly) == nullptr)
            new TextDigest(document);
        return {key, head + QStringLiteral("digesting")};
    }
    const QString text = editor->EditorText();
    document->setProperty(CachedTextProperty, text);
    return {key, head + text};
}

QString WindowName(const QWidget* window) {
    if (window == nullptr) return QStringLiteral("-");
    return QString::fromLatin1(window->metaObject()->className());
}

} // namespace

QString DesktopStateText() {
    QString text;
    auto line = [&text](const char* key, const QString& value) {
        text += QString::fromLatin1(key) + u'=' + Escaped(value) + u'\n';
    };
    line("active", WindowName(QApplication::activeWindow()));
    line("popup", WindowName(QApplication::activePopupWidget()));
    const auto* box = qobject_cast<const QMessageBox*>(QApplication::activeModalWidget());
    line("message", box != nullptr ? box->text() : QStringLiteral("-"));
    QString focus = QStringLiteral("-");
    for (QWidget* widget = QApplication::focusWidget(); widget != nullptr; widget = widget->parentWidget()) {
        if (auto* editor = qobject_cast<TLXEditForm*>(widget)) {
            focus = EditorName(editor);
            break;
        }
        if (widget == Win.RunForm) {
            focus = QStringLiteral("run");
            break;
        }
    }
    line("focus", focus);
    if (Win.LxFrameForm != nullptr) {
        line("frame", Win.LxFrameForm->isMinimized() ? QStringLiteral("minimised") : QStringLiteral("shown"));
        line("status", Win.LxFrameForm->PanelText(0));
        const TLXEditForm* active = Win.LxFrameForm->ActiveEditor();
        line("mdi", active != nullptr ? EditorName(active) : QStringLiteral("-"));
        for (QMdiSubWindow* window : Win.LxFrameForm->MdiArea()->subWindowList()) {
            const auto* editor = qobject_cast<TLXEditForm*>(window->widget());
            if (editor == nullptr) continue;
            // A text still loading is not a state to wait for.
            if (editor->IsLoading()) {
                line("loading", EditorName(editor));
                continue;
            }
            const auto [key, value] = EditorLine(editor);
            line(key, value);
        }
    }
    // The wait window and its progress bar.
    if (const TLXLoadWaitForm* wait = LXLoadWaitForm(); wait->isVisible()) {
        line("wait", wait->windowTitle() + u' ' + QString::number(wait->ProgressBar1->value()) + u'/' +
                         QString::number(wait->ProgressBar1->maximum()));
    } else {
        line("wait", QStringLiteral("-"));
    }
    if (Win.RunForm != nullptr) {
        line("run", Win.RunForm->isHidden()      ? QStringLiteral("hidden")
                    : Win.RunForm->isMinimized() ? QStringLiteral("minimised")
                                                 : QStringLiteral("shown"));
        line("runcaption", Win.RunForm->windowTitle());
        line("runtext", Win.RunForm->Text());
    }
    line("busy", QString::number(Rc.ThreadBusy != 0 ? 1 : 0));
    return text;
}

void StartStateDump() {
    static bool started = false;
    if (started || qEnvironmentVariableIsEmpty(StateFileVariable)) return;
    started = true;
    const QString path = qEnvironmentVariable(StateFileVariable);
    auto* timer = new QTimer(qApp);
    timer->setInterval(DumpIntervalMs);
    QObject::connect(timer, &QTimer::timeout, timer, [path, last = QString()]() mutable {
        const QString state = DesktopStateText();
        if (state == last) return;
        // Written whole and then renamed: a reader never sees half a picture.
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return;
        file.write(state.toUtf8());
        if (file.commit()) last = state;
    });
    timer->start();
}
