// Find and replace in the editor: the case-blind forward search, the replacements through the undo
// ring, and the modeless dialog.
#include "ui/findreplace.h"

#include "resources/texts.h"
#include "ui/undobuffer.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

#include <vector>

void DefaultShowFindDialog(TFindReplaceDialog* dialog) {
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void ShowFindDialog(TFindReplaceDialog* dialog) {
    if (dialog != nullptr && WinHooks.ShowFindDialogHook) WinHooks.ShowFindDialogHook(dialog);
}

namespace {

// Wide enough for a search text of a few words.
constexpr int FindEditWidth = 200;

} // namespace

QString UpperSameLength(QStringView text) {
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            const char32_t code = QChar::surrogateToUcs4(c, text.at(i + 1));
            const char32_t upper = QChar::toUpper(code);
            // A pair stays a pair only when its upper case needs one too.
            result += QChar::fromUcs4(QChar::requiresSurrogates(upper) ? upper : code);
            ++i;
            continue;
        }
        const char32_t upper = QChar::toUpper(static_cast<char32_t>(c.unicode()));
        result += QChar::requiresSurrogates(upper) ? c : QChar(static_cast<char16_t>(upper));
    }
    return result;
}

int FindForward(QPlainTextEdit& editor, const QString& findText) {
    if (findText.isEmpty()) return -1;
    const int start = editor.textCursor().selectionEnd();
    const QString text = EditorPlainText(editor);
    const qsizetype hit = UpperSameLength(text).indexOf(UpperSameLength(findText), start);
    if (hit < 0) return -1;
    QTextCursor cursor(editor.document());
    cursor.setPosition(static_cast<int>(hit));
    cursor.setPosition(static_cast<int>(hit + findText.size()), QTextCursor::KeepAnchor);
    editor.setTextCursor(cursor);
    editor.ensureCursorVisible();
    return static_cast<int>(hit);
}

bool SelectionMatches(const QPlainTextEdit& editor, const QString& findText) {
    const QTextCursor cursor = editor.textCursor();
    if (findText.isEmpty() || !cursor.hasSelection()) return false;
    QString selected = cursor.selectedText();
    selected.replace(QChar::ParagraphSeparator, u'\n');
    return UpperSameLength(selected) == UpperSameLength(findText);
}

void ReplaceSelection(my_UndoClass& buffer, QPlainTextEdit& editor, const QString& replaceText) {
    const QTextCursor cursor = editor.textCursor();
    QString selected = cursor.selectedText();
    selected.replace(QChar::ParagraphSeparator, u'\n');
    RecordReplacement(buffer, editor, cursor.selectionStart(), selected, replaceText);
}

int ReplaceAllForward(my_UndoClass& buffer, QPlainTextEdit& editor, const QString& findText,
                      const QString& replaceText) {
    if (findText.isEmpty()) return 0;
    // One pass over the text finds what the repeated find steps would: each search starts after the
    // previous hit, so a replace text holding the find text is never searched again.
    const qsizetype start = editor.textCursor().selectionEnd();
    const QString text = EditorPlainText(editor);
    const QString upper = UpperSameLength(text);
    const QString find = UpperSameLength(findText);
    std::vector<qsizetype> hits;
    for (qsizetype at = upper.indexOf(find, start); at >= 0; at = upper.indexOf(find, at + find.size()))
        hits.push_back(at);
    if (hits.empty()) return 0;

    const qsizetype first = hits.front();
    const qsizetype end = hits.back() + find.size();
    QString after;
    qsizetype copied = first;
    for (const qsizetype at : hits) {
        after += QStringView(text).mid(copied, at - copied);
        after += replaceText;
        copied = at + find.size();
    }
    RecordReplacement(buffer, editor, static_cast<int>(first), text.mid(first, end - first), after);
    return static_cast<int>(hits.size());
}

// ---- the dialog -------------------------------------------------------------------------------------

TFindReplaceDialog::TFindReplaceDialog(Mode mode, QWidget* parent) : QDialog(parent), Mode_(mode) {
    setWindowTitle(T(mode == Mode::Find ? Txt::FindCaption : Txt::ReplaceCaption));
    setModal(false);

    // One grid, so each text box stands level with the button beside it; the buttons run down the
    // right-hand column.
    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize); // a dialog border: not resizable
    auto* findLabel = new QLabel(T(Txt::FindWhatLabel), this);
    FindEdit = new QLineEdit(this);
    FindEdit->setMinimumWidth(FindEditWidth);
    findLabel->setBuddy(FindEdit);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(FindEdit, 0, 1);
    if (mode == Mode::Replace) {
        auto* replaceLabel = new QLabel(T(Txt::ReplaceWithLabel), this);
        ReplaceEdit = new QLineEdit(this);
        replaceLabel->setBuddy(ReplaceEdit);
        grid->addWidget(replaceLabel, 1, 0);
        grid->addWidget(ReplaceEdit, 1, 1);
    }

    int buttonRow = 0;
    FindNextButton = new QPushButton(T(Txt::FindNextButton), this);
    FindNextButton->setDefault(true);
    grid->addWidget(FindNextButton, buttonRow++, 2);
    connect(FindNextButton, &QPushButton::clicked, this, &TFindReplaceDialog::FindRequested);
    if (mode == Mode::Replace) {
        ReplaceButton = new QPushButton(T(Txt::ReplaceNextButton), this);
        ReplaceAllButton = new QPushButton(T(Txt::ReplaceAllButton), this);
        grid->addWidget(ReplaceButton, buttonRow++, 2);
        grid->addWidget(ReplaceAllButton, buttonRow++, 2);
        connect(ReplaceButton, &QPushButton::clicked, this, &TFindReplaceDialog::ReplaceRequested);
        connect(ReplaceAllButton, &QPushButton::clicked, this, &TFindReplaceDialog::ReplaceAllRequested);
    }
    CancelButton = new QPushButton(T(Txt::FindCancelButton), this);
    grid->addWidget(CancelButton, buttonRow++, 2);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::hide);
    grid->setRowStretch(buttonRow, 1);

    connect(FindEdit, &QLineEdit::textChanged, this, &TFindReplaceDialog::UpdateButtons);
    UpdateButtons();
}

QString TFindReplaceDialog::FindText() const {
    return FindEdit->text();
}

QString TFindReplaceDialog::ReplaceText() const {
    return ReplaceEdit != nullptr ? ReplaceEdit->text() : QString();
}

void TFindReplaceDialog::SetFindText(const QString& text) {
    FindEdit->setText(text);
}

void TFindReplaceDialog::SetReplaceText(const QString& text) {
    if (ReplaceEdit != nullptr) ReplaceEdit->setText(text);
}

void TFindReplaceDialog::UpdateButtons() {
    // Without a find text there is nothing to search for.
    const bool searchable = !FindEdit->text().isEmpty();
    FindNextButton->setEnabled(searchable);
    if (ReplaceButton != nullptr) ReplaceButton->setEnabled(searchable);
    if (ReplaceAllButton != nullptr) ReplaceAllButton->setEnabled(searchable);
}
