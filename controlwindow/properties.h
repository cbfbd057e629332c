// The control-window properties: a program's CBUTTON(k).word, CLABEL(k).word and CTEXTBOX(k).word
// reach one handler each, chosen by the property code the engine hands over, and the show statements
// reach SyncShowControl. Every handler runs on the user-interface thread while the interpreter waits, takes
// its arguments from the Gl stack and leaves a getter's value there.
#pragma once

#include "engine/controlexec.h"

#include <QString>

#include <cstdint>

class QWidget;

// Installs the engine's window hooks. Call once the application object exists.
void InstallControlWindow();

// The hooks: the property handler that `code` names (nothing for a code without one), the show
// statement, and the opening and closing of the window for CSCREEN and CLOSECSCREEN.
void RunControlProperty(int code);
void SyncShowControl(int kind, int k, bool on);
void SyncOpenControlForm();
void SyncCloseControlForm();

// Getters: k on top of the Gl stack is replaced by the value. `code` is the property function served.
void SyncGetControlText(int code);
void SyncGetControlHeight(int code);
void SyncGetControlLeft(int code);
void SyncGetControlTop(int code);
void SyncGetControlWidth(int code);
void SyncGetControlVisible(int code);
void SyncGetControlFontCharset(int code);
void SyncGetControlColor(int code); // font colours, and the background of labels, buttons, text boxes
void SyncGetControlFontName(int code);
void SyncGetControlFontSize(int code);
void SyncGetControlFontStyle(int code);
void SyncGetControlMultiLine(int code); // a text box's multi-line switch

// Setters: the value on top of the Gl stack and k below it are popped. `code` is the property function
// served.
void SyncSetControlText(int code);
void SyncSetControlColor(int code);
void SyncSetControlHeight(int code);
void SyncSetControlLeft(int code);
void SyncSetControlTop(int code);
void SyncSetControlWidth(int code);
void SyncSetControlVisible(int code);
void SyncSetControlMultiLine(int code);
void SyncSetControlFontCharset(int code);
void SyncSetControlFontColor(int code);
void SyncSetControlFontName(int code);
void SyncSetControlFontSize(int code);
void SyncSetControlFontStyle(int code);

// ---- shared by the handlers ----------------------------------------------------------------------------
// The control kind (St::CBUTTON, St::CLABEL, St::CTEXTBOX) and property number n of property function
// `code`; 0 when it is no property code.
int PropertyKindOfCode(int code);
int PropertyNumberOfCode(int code);
// Control k of a kind: the button, the label, or a text box's one-line edit.
QWidget* KindControl(int kind, int k);
// The active control of text box k: its memo in multi-line mode, else its edit.
QWidget* ActiveTextBox(int k);
// Control k of a kind as a property of the active control alone sees it: a text box's active control,
// else the button or label.
QWidget* ActiveControl(int kind, int k);
// The text of a button, label, edit or memo (a memo's lines joined by CR LF), and setting it.
QString ControlText(const QWidget* control);
void SetControlText(QWidget* control, const QString& text);
// A number truncated toward zero into int32; beyond the range the nearest limit, NaN 0.
int TruncSaturated(long double value);
