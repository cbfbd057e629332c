// The state dump: the desktop's state written as text to the file LORVEX_STATE_FILE names, when it
// changes.
#include "ui/statedump.h"

#include "core/sharedstate.h"
#include "ui/editform.h"
#include "ui/mainframe.h"
#include "ui/runform.h"

#include <QApplication>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QSaveFile>
#include <QTimer>

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
        for (QMdiSubWindow* window : Win.LxFrameForm->MdiArea()->subWindowList())
            if (const auto* editor = qobject_cast<TLXEditForm*>(window->widget()))
                line("editor", EditorName(editor) + u'|' + editor->EditorText());
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
