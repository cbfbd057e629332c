// Find and replace in the editor: the search that runs forward from the end of the selection without
// regard to case, the replacement of the found text and of every later occurrence, and the small
// modeless dialog that takes the texts (one look for Find, one for Replace).
#pragma once

#include "ui/windowhooks.h"

#include <QDialog>
#include <QString>
#include <QStringView>

#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class my_UndoClass;

// The text upper-cased character by character; a character whose upper case would change the length
// (German sharp s and the like) stays as it is, so positions in the result are positions in the text.
QString UpperSameLength(QStringView text);

// The find step: searches the editor's text after the end of the selection for `findText`, ignoring
// case; a hit is selected and scrolled into view. Returns the hit's position, -1 when there is none
// (an empty find text never matches). Never wraps to the start.
int FindForward(QPlainTextEdit& editor, const QString& findText);
// Whether the selection is the find text (ignoring case).
bool SelectionMatches(const QPlainTextEdit& editor, const QString& findText);
// Replaces the selection with `replaceText` as one undoable step.
void ReplaceSelection(my_UndoClass& buffer, QPlainTextEdit& editor, const QString& replaceText);
// Replaces every occurrence after the end of the selection, each search starting after the previous
// replacement; one undoable step. Returns how many were replaced; the caret ends after the last one.
int ReplaceAllForward(my_UndoClass& buffer, QPlainTextEdit& editor, const QString& findText,
                      const QString& replaceText);

// The find dialog (Find Next and Cancel) or the replace dialog (also the replace text, Replace and
// Replace All). Modeless: the buttons only send signals, the editor window does the work.
class TFindReplaceDialog : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Find, Replace };
    explicit TFindReplaceDialog(Mode mode, QWidget* parent = nullptr);

    Mode DialogMode() const { return Mode_; }
    QString FindText() const;
    QString ReplaceText() const;
    void SetFindText(const QString& text);
    void SetReplaceText(const QString& text);

    QLineEdit* FindEdit = nullptr;
    QLineEdit* ReplaceEdit = nullptr; // null in the find dialog
    QPushButton* FindNextButton = nullptr;
    QPushButton* ReplaceButton = nullptr;    // null in the find dialog
    QPushButton* ReplaceAllButton = nullptr; // null in the find dialog
    QPushButton* CancelButton = nullptr;

signals:
    void FindRequested();
    void ReplaceRequested();
    void ReplaceAllRequested();

private:
    void UpdateButtons();
    Mode Mode_;
};

void ShowFindDialog(TFindReplaceDialog* dialog);
