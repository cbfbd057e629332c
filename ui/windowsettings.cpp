// The window-setting statements and dialog functions on the user-interface side, behind the engine's
// hooks: places, captions, window states, colours and fonts, and the dialogs a program shows.
#include "ui/windowsettings.h"

#include "core/sharedstate.h"
#include "platform/settings.h"
#include "ui/controlform.h"
#include "ui/dialoglayout.h"
#include "ui/graphform.h"
#include "ui/mainframe.h"
#include "ui/runform.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QStringList>

#include <initializer_list>

namespace {

// The run window's character set has no meaning to the font system; the memo keeps it for the value
// TFONTCHARSET. Until a program sets one, the preference holds.
constexpr char RunCharsetProperty[] = "lxRunFontCharset";

constexpr Qt::WindowStates ShowStateFlags = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

QColor FromColorWord(int color) {
    return QColor::fromRgb(ColorWordToRgb(static_cast<ColorWord>(color)));
}

ColorWord ToColorWord(const QColor& color) {
    return RgbToColorWord(color.rgb()) & ColorWordMask;
}

QWidget* WindowOf(SettingWindow window) {
    switch (window) {
    case SettingWindow::Run: return Win.RunForm;
    case SettingWindow::Graph: return Win.LXGraphForm;
    case SettingWindow::Control: return ControlForm();
    case SettingWindow::Frame: return Win.LxFrameForm;
    }
    return nullptr;
}

void MoveWindow(SettingWindow window, int left, int top) {
    if (QWidget* widget = WindowOf(window)) widget->move(left, top);
}

void SizeRunTextArea(int width, int height) {
    if (Win.RunForm != nullptr) Win.RunForm->SetTextAreaSize(width, height);
}

void SetCaption(SettingWindow window, const QString& caption) {
    if (QWidget* widget = WindowOf(window)) widget->setWindowTitle(caption);
}

void SetState(SettingWindow window, WindowShowState state) {
    QWidget* widget = WindowOf(window);
    if (widget == nullptr) return;
    Qt::WindowStates flags = widget->windowState() & ~ShowStateFlags;
    if (state == WindowShowState::Minimize) flags |= Qt::WindowMinimized;
    if (state == WindowShowState::Maximize) flags |= Qt::WindowMaximized;
    widget->setWindowState(flags);
}

WindowShowState State(SettingWindow window) {
    const QWidget* widget = WindowOf(window);
    if (widget == nullptr) return WindowShowState::Normal;
    const Qt::WindowStates flags = widget->windowState();
    if (flags & Qt::WindowMinimized) return WindowShowState::Minimize;
    if (flags & Qt::WindowMaximized) return WindowShowState::Maximize;
    return WindowShowState::Normal;
}

// A font change of one control (the run window's memo or a control of the control window).
void ChangeFont(QWidget* control, const TextSettingChange& change) {
    switch (change.What) {
    case TextSetting::FontColor:
        SetControlFontColor(control, static_cast<std::uint32_t>(change.Number));
        break;
    case TextSetting::FontCharset: SetControlFontCharset(control, change.Number); break;
    case TextSetting::FontSize: SetControlFontSize(control, change.Number); break;
    case TextSetting::FontName: SetControlFontName(control, change.Name); break;
    case TextSetting::FontStyle:
        SetControlFontStyle(control, static_cast<std::uint8_t>(change.Number));
        break;
    case TextSetting::BackColor: break;
    }
}

void ChangeRunText(const TextSettingChange& change) {
    if (Win.RunForm == nullptr) return;
    QPlainTextEdit* memo = Win.RunForm->Memo();
    switch (change.What) {
    case TextSetting::BackColor:
    case TextSetting::FontColor: {
        QPalette palette = memo->palette();
        palette.setColor(change.What == TextSetting::BackColor ? QPalette::Base : QPalette::Text,
                         FromColorWord(change.Number));
        memo->setPalette(palette);
        return;
    }
    case TextSetting::FontCharset: memo->setProperty(RunCharsetProperty, change.Number); return;
    default: ChangeFont(memo, change); return;
    }
}

// The control window's background, or the font of all its labels, buttons and text boxes (both the
// one-line and the multi-line form of each, so a text box keeps its look when it changes form).
void ChangeControlText(const TextSettingChange& change) {
    TLXControlForm* form = ControlForm();
    if (change.What == TextSetting::BackColor) {
        QPalette palette = form->palette();
        palette.setColor(QPalette::Window, FromColorWord(change.Number));
        form->setPalette(palette);
        form->setAutoFillBackground(true);
        return;
    }
    for (int n = 1; n <= ControlCount; ++n)
        for (QWidget* control :
             std::initializer_list<QWidget*>{form->Label(n), form->Button(n), form->Edit(n), form->Memo(n)})
            ChangeFont(control, change);
}

void ChangeText(SettingWindow window, const TextSettingChange& change) {
    if (window == SettingWindow::Run)
        ChangeRunText(change);
    else if (window == SettingWindow::Control)
        ChangeControlText(change);
}

TextSettings ReadText(SettingWindow window) {
    TextSettings settings;
    if (window == SettingWindow::Control) {
        settings.BackColor = ToColorWord(ControlForm()->palette().color(QPalette::Window));
        return settings;
    }
    if (Win.RunForm == nullptr) return settings;
    const QPlainTextEdit* memo = Win.RunForm->Memo();
    settings.BackColor = ToColorWord(memo->palette().color(QPalette::Base));
    settings.FontColor = ToColorWord(memo->palette().color(QPalette::Text));
    const QVariant charset = memo->property(RunCharsetProperty);
    if (charset.isValid()) {
        settings.FontCharset = charset.toInt();
    } else {
        std::lock_guard<std::mutex> lock(SettingsMutex());
        settings.FontCharset = Settings.TScreenFontCharset;
    }
    settings.FontSize = ControlFontSize(memo);
    settings.FontName = ControlFontName(memo);
    settings.FontStyle = ControlFontStyle(memo);
    return settings;
}

QMessageBox::StandardButtons ButtonsOf(int buttons) {
    switch (buttons) {
    case MsgBoxButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgBoxButtons::AbortRetryIgnore:
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case MsgBoxButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgBoxButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MsgBoxButtons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    default: return QMessageBox::Ok;
    }
}

QMessageBox::Icon IconOf(int icon) {
    switch (icon) {
    case MsgBoxIcon::Stop: return QMessageBox::Critical;
    case MsgBoxIcon::Question: return QMessageBox::Question;
    case MsgBoxIcon::Exclamation: return QMessageBox::Warning;
    case MsgBoxIcon::Information: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

int ResultOf(QMessageBox::StandardButton button) {
    switch (button) {
    case QMessageBox::Ok: return MsgBoxResult::Ok;
    case QMessageBox::Cancel: return MsgBoxResult::Cancel;
    case QMessageBox::Abort: return MsgBoxResult::Abort;
    case QMessageBox::Retry: return MsgBoxResult::Retry;
    case QMessageBox::Ignore: return MsgBoxResult::Ignore;
    case QMessageBox::Yes: return MsgBoxResult::Yes;
    case QMessageBox::No: return MsgBoxResult::No;
    default: return 0;
    }
}

// One pattern of a program's filter as the dialog reads it.
QString DialogPattern(QString pattern) {
    pattern = pattern.trimmed();
    return pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern;
}

QString NameFilter(const QString& description, const QString& patterns) {
    QStringList list;
    for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (const QString p = DialogPattern(pattern); !p.isEmpty()) list.append(p);
    if (list.isEmpty()) return QString();
    const QString joined = list.join(QLatin1Char(' '));
    const QString name = description.trimmed().isEmpty() ? joined : description.trimmed();
    return name + QStringLiteral(" (") + joined + QLatin1Char(')');
}

} // namespace

QString FileDialogFilter(const QString& filter) {
    if (filter.trimmed().isEmpty()) return QString();
    const QStringList parts = filter.split(QLatin1Char('|'));
    if (parts.size() == 1) return NameFilter(QString(), parts.front());
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        if (const QString f = NameFilter(parts[i], parts[i + 1]); !f.isEmpty()) filters.append(f);
    return filters.join(QStringLiteral(";;"));
}

int ShowMessageBox(const MessageBoxRequest& request) {
    QMessageBox box(IconOf(request.Icon), request.Caption, request.Text, ButtonsOf(request.Buttons));
    FitMessageBox(box, request.Caption);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    const int result = clicked != nullptr ? ResultOf(box.standardButton(clicked)) : 0;
    if (result != 0) return result;
    // Closed without a button: a box with Cancel says Cancel, the OK box says OK.
    return request.Buttons == MsgBoxButtons::Ok ? MsgBoxResult::Ok : MsgBoxResult::Cancel;
}

bool ShowInputBox(const InputBoxRequest& request, QString& answer) {
    QInputDialog dialog;
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(request.Caption);
    dialog.setLabelText(request.Prompt);
    dialog.setTextValue(request.Default);
    if (dialog.exec() != QDialog::Accepted) return false;
    answer = dialog.textValue();
    return true;
}

QString ShowFileDialog(const FileDialogRequest& request) {
    QFileDialog dialog(nullptr, QString(), request.Directory);
    dialog.setAcceptMode(request.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QString filter = FileDialogFilter(request.Filter);
    if (!filter.isEmpty()) dialog.setNameFilter(filter);
    if (!request.FileName.isEmpty()) dialog.selectFile(request.FileName);
    FitFileDialog(dialog);
    if (dialog.exec() != QDialog::Accepted) return QString();
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.front();
}

void InstallWindowSettings() {
    WindowSettingsHook.Move = &MoveWindow;
    WindowSettingsHook.SizeRunTextArea = &SizeRunTextArea;
    WindowSettingsHook.SetCaption = &SetCaption;
    WindowSettingsHook.SetState = &SetState;
    WindowSettingsHook.State = &State;
    WindowSettingsHook.ChangeText = &ChangeText;
    WindowSettingsHook.ReadText = &ReadText;
    WindowSettingsHook.MessageBox = &ShowMessageBox;
    WindowSettingsHook.InputBox = &ShowInputBox;
    WindowSettingsHook.SelectFile = &ShowFileDialog;
}
