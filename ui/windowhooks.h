// The dialogs and desktop calls of the windows that tests replace, and the windows built elsewhere
// that plug into the main frame. One process-wide table, WinHooks, used on the user-interface thread.
// Each replaceable hook starts as the real dialog (the Default... functions below). Every window shows
// its message boxes through ShowMessage, so a test answers them all in one place.
#pragma once

#include <QColor>
#include <QFont>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QPrinter;
class QUrl;
class QWidget;
class TFindReplaceDialog;

struct MessageRequest {
    QString Text;
    QString Caption;
    QMessageBox::Icon Icon = QMessageBox::Information;
    QMessageBox::StandardButtons Buttons = QMessageBox::Ok;
    QMessageBox::StandardButton DefaultButton = QMessageBox::NoButton;
};

// An open or save dialog with an encoding list next to the file name.
struct TextFileDialogRequest {
    bool Save = false;
    QString Title;
    QString Folder;
    QString FileName;    // proposed name (save)
    QStringList Filters; // in the file dialog's form: "Name (patterns)"
    QString DefaultSuffix;
    QStringList Encodings;
    int EncodingIndex = 0; // preselected entry
};
struct TextFileChoice {
    QString FileName;
    int EncodingIndex = 0;
};

QMessageBox::StandardButton DefaultMessageBox(QWidget* parent, const MessageRequest& request);
std::optional<TextFileChoice> DefaultTextFileDialog(QWidget* parent, const TextFileDialogRequest& request);
bool DefaultPrintDialog(QWidget* parent, QPrinter& printer, bool offerSelection);
bool DefaultOpenUrl(const QUrl& url);
std::optional<QString> DefaultFolderDialog(QWidget* parent, const QString& caption, const QString& folder);
std::optional<QColor> DefaultColorDialog(QWidget* parent, const QColor& initial);
std::optional<QFont> DefaultFontDialog(QWidget* parent, const QFont& initial);
void DefaultShowFindDialog(TFindReplaceDialog* dialog);

struct WindowHooks {
    // Shows a message box and returns the button pressed.
    std::function<QMessageBox::StandardButton(QWidget* parent, const MessageRequest& request)>
        MessageBoxHook = DefaultMessageBox;
    std::function<std::optional<TextFileChoice>(QWidget* parent, const TextFileDialogRequest& request)>
        TextFileDialogHook = DefaultTextFileDialog;
    // The print dialog: true when confirmed (the printer then holds the user's choices).
    std::function<bool(QWidget* parent, QPrinter& printer, bool offerSelection)> PrintDialogHook =
        DefaultPrintDialog;
    // Opens a document or web address with the desktop's default program (help files, the home page).
    std::function<bool(const QUrl& url)> OpenUrlHook = DefaultOpenUrl;
    // The preferences' choosers. A folder chooser opened at folder (it may create a new folder); empty
    // when the user cancels.
    std::function<std::optional<QString>(QWidget* parent, const QString& caption, const QString& folder)>
        PreferencesFolderDialogHook = DefaultFolderDialog;
    std::function<std::optional<QColor>(QWidget* parent, const QColor& initial)> PreferencesColorDialogHook =
        DefaultColorDialog;
    std::function<std::optional<QFont>(QWidget* parent, const QFont& initial)> PreferencesFontDialogHook =
        DefaultFontDialog;
    // Shows a find or replace dialog (modeless).
    std::function<void(TFindReplaceDialog* dialog)> ShowFindDialogHook = DefaultShowFindDialog;

    // Windows built elsewhere plug in here; their menu items stay disabled while a hook is empty.
    std::function<void(QWidget* parent)> ShowPreferencesHook;
    std::function<void(QWidget* parent)> ShowAssociationHook;
    // Closes the media player when the application ends.
    std::function<void()> CloseMediaPlayerHook;
};

extern WindowHooks WinHooks;

// Shows a message box through the message-box hook and returns the button pressed.
QMessageBox::StandardButton ShowMessage(QWidget* parent, const MessageRequest& request);
// A question or a notice under the application's title.
MessageRequest Question(const QString& text, QMessageBox::StandardButtons buttons,
                        QMessageBox::StandardButton defaultButton);
MessageRequest Notice(const QString& text, QMessageBox::Icon icon = QMessageBox::Warning);
