// How the standard dialogs are laid out, whoever shows them (the windows' own message boxes, the
// dialog functions of a program, Open and Save As): message boxes as wide as their caption and their
// lines, file dialogs large enough for their columns to read whole.
#pragma once

#include <QString>
#include <QStringList>

class QFileDialog;
class QFont;
class QMessageBox;

// The width a message box keeps at least, so that its whole caption shows in the title bar.
int MessageBoxCaptionWidth(const QString& caption, const QFont& font);

// The lines a message box shows for text: a line that fits within maxWidth pixels (as the font draws
// it) stays whole; a longer one is broken after path separators and blanks, never inside a word, a
// part with no such place in maxWidth staying whole.
QStringList MessageBoxLines(const QString& text, const QFont& font, int maxWidth);

// Lays out a message box (before it is shown): wide enough for its caption, and its text broken only
// where MessageBoxLines breaks it, within what the screen allows, instead of wherever the toolkit's
// own width limit falls (in the middle of a Japanese word).
void FitMessageBox(QMessageBox& box, const QString& caption);

// Sizes a file dialog of our own (not the platform's) so that names, sizes, types and dates read whole,
// within the screen: the list's columns fit their texts once the folder is read.
void FitFileDialog(QFileDialog& dialog);
