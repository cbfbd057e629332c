// The window hooks' one table, WinHooks, and the message boxes every window shows through it.
#include "ui/windowhooks.h"

#include "resources/texts.h"

WindowHooks WinHooks;

QMessageBox::StandardButton ShowMessage(QWidget* parent, const MessageRequest& request) {
    if (!WinHooks.MessageBoxHook) return QMessageBox::NoButton;
    return WinHooks.MessageBoxHook(parent, request);
}

MessageRequest Question(const QString& text, QMessageBox::StandardButtons buttons,
                        QMessageBox::StandardButton defaultButton) {
    MessageRequest request;
    request.Text = text;
    request.Caption = T(ApplicationTitle);
    request.Icon = QMessageBox::Question;
    request.Buttons = buttons;
    request.DefaultButton = defaultButton;
    return request;
}

MessageRequest Notice(const QString& text, QMessageBox::Icon icon) {
    MessageRequest request;
    request.Text = text;
    request.Caption = T(ApplicationTitle);
    request.Icon = icon;
    return request;
}
