// The user-interface side of the window-setting statements and the dialog functions: places, captions,
// window states, the run window's text area, the control window's colours and fonts, and the message
// box, input box and file dialogs a program shows. InstallWindowSettings puts these behind the engine's
// hooks (engine/windowexec.h); tests replace the dialog hooks so that nothing waits for a person.
#pragma once

#include "engine/windowexec.h"

#include <QString>

// Installs every hook of WindowSettingsHook. Call once the application object exists.
void InstallWindowSettings();

// The dialogs themselves (modal, user-interface thread).
int ShowMessageBox(const MessageBoxRequest& request);
bool ShowInputBox(const InputBoxRequest& request, QString& answer);
QString ShowFileDialog(const FileDialogRequest& request);

// A program's filter ("Text|*.txt;*.log|All|*.*") as the file dialog's name filters
// ("Text (*.txt *.log);;All (*)"); "*.*" matches every file, as it does where the filter comes from.
// A text without "|" is one pattern list; a description without its pattern is left out.
QString FileDialogFilter(const QString& filter);
