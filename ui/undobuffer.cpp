// The editor's undo ring: entries recorded before each editing action, and their replay by Undo and
// Redo, the clipboard actions included.
#include "ui/undobuffer.h"

#include <QApplication>
#include <QClipboard>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

QString ClipboardText() {
    const QClipboard* clipboard = QApplication::clipboard();
    return clipboard != nullptr ? clipboard->text() : QString();
}

void SetClipboardText(const QString& text) {
    if (QClipboard* clipboard = QApplication::clipboard()) clipboard->setText(text);
}

// The text between two editor positions, line breaks as "\n".
QString RangeText(const QPlainTextEdit& editor, int pos, int len) {
    QTextCursor cursor(editor.document());
    cursor.setPosition(pos);
    cursor.setPosition(pos + len, QTextCursor::KeepAnchor);
    QString text = cursor.selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

// A range limited to the text: entries replayed after the text changed elsewhere stay inside it.
void ClampRange(const QPlainTextEdit& editor, int& pos, int& len) {
    const int length = EditorTextLength(editor);
    pos = std::clamp(pos, 0, length);
    len = std::clamp(len, 0, length - pos);
}

void SelectRange(QPlainTextEdit& editor, int pos, int len) {
    ClampRange(editor, pos, len);
    QTextCursor cursor(editor.document());
    cursor.setPosition(pos);
    cursor.setPosition(pos + len, QTextCursor::KeepAnchor);
    editor.setTextCursor(cursor);
}

// The selection replacement every editing action ends in; the caret ends after the new text.
void ReplaceRange(QPlainTextEdit& editor, int pos, int len, const QString& text) {
    ClampRange(editor, pos, len);
    QTextCursor cursor(editor.document());
    cursor.setPosition(pos);
    cursor.setPosition(pos + len, QTextCursor::KeepAnchor);
    cursor.insertText(text);
    editor.setTextCursor(cursor);
    editor.ensureCursorVisible();
}

bool IsHigh(QChar c) {
    return c.isHighSurrogate();
}
bool IsLow(QChar c) {
    return c.isLowSurrogate();
}

// The start of `text` that fits into `room` characters without splitting a surrogate pair.
QString FittingPart(const QString& text, int room) {
    if (room <= 0) return QString();
    if (text.size() <= room) return text;
    qsizetype cut = room;
    if (cut > 0 && IsHigh(text.at(cut - 1)) && IsLow(text.at(cut))) --cut;
    return text.left(cut);
}

// The selection as its start and length; false when nothing is selected.
bool SelectedRange(const QPlainTextEdit& editor, int& start, int& len) {
    const QTextCursor cursor = editor.textCursor();
    if (!cursor.hasSelection()) return false;
    start = cursor.selectionStart();
    len = cursor.selectionEnd() - start;
    return true;
}

// Cut and Copy: the selection recorded under `kind`, with the clipboard text it replaces, and put on
// the clipboard. False when nothing is selected.
bool RecordToClipboard(my_UndoClass& buffer, QPlainTextEdit& editor, std::uint8_t kind, int& start,
                       int& len) {
    if (!SelectedRange(editor, start, len)) return false;
    const QString selected = RangeText(editor, start, len);
    buffer.Add(start, len, kind, selected, ClipboardText(), &editor);
    SetClipboardText(selected);
    return true;
}

} // namespace

// ---- the ring ---------------------------------------------------------------------------------------

void my_UndoClass::Initialize(int capacity) {
    Capacity = std::clamp(capacity, MinCapacity, MaxCapacity);
    Entries_.assign(static_cast<std::size_t>(Capacity), Undo_state{});
    Newest = 0;
    Oldest = 0;
    Current = 0;
}

void my_UndoClass::Add(int pos, int len, std::uint8_t kind, const QString& textAfter,
                       const QString& textBefore, QPlainTextEdit* editor) {
    if (Entries_.empty()) Initialize(EditorCapacity);
    Current = (Current + 1) % Capacity;
    Newest = Current;
    if (Oldest == Newest) Oldest = (Oldest + 1) % Capacity; // the oldest entry is dropped
    Entries_[static_cast<std::size_t>(Current)] = Undo_state{pos, len, textBefore, textAfter, kind, editor};
}

Undo_state my_UndoClass::GetUndo() {
    if (Entries_.empty()) return {};
    Undo_state entry = Entries_[static_cast<std::size_t>(Current)];
    if (Current != Oldest) Current = (Current + Capacity - 1) % Capacity;
    return entry;
}

Undo_state my_UndoClass::GetRedo() {
    if (Entries_.empty()) return {};
    if (Current != Newest) Current = (Current + 1) % Capacity;
    return Entries_[static_cast<std::size_t>(Current)];
}

// ---- helpers ----------------------------------------------------------------------------------------

QString EditorPlainText(const QPlainTextEdit& editor) {
    QString text = editor.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

QString WithEditorLineEnds(const QString& text) {
    QString result = text;
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(u'\r', u'\n');
    result.replace(QChar::ParagraphSeparator, u'\n');
    return result;
}

int EditorTextLength(const QPlainTextEdit& editor) {
    return std::max(0, editor.document()->characterCount() - 1);
}

int NextCharacterEnd(const QPlainTextEdit& editor, int pos) {
    const int length = EditorTextLength(editor);
    if (pos >= length) return length;
    const QTextDocument* document = editor.document();
    if (IsHigh(document->characterAt(pos)) && pos + 1 < length && IsLow(document->characterAt(pos + 1)))
        return pos + 2;
    return pos + 1;
}

int PreviousCharacterStart(const QPlainTextEdit& editor, int pos) {
    if (pos <= 0) return 0;
    const QTextDocument* document = editor.document();
    if (pos >= 2 && IsLow(document->characterAt(pos - 1)) && IsHigh(document->characterAt(pos - 2)))
        return pos - 2;
    return pos - 1;
}

// ---- recording operations ----------------------------------------------------------------------------

bool RecordTyping(my_UndoClass& buffer, QPlainTextEdit& editor, const QString& text, bool insertMode,
                  int maxLength) {
    if (text.isEmpty()) return false;
    const int start = editor.textCursor().selectionStart();
    int len = 0;
    if (!insertMode) {
        // Overwrite takes the character after the caret, never the line break: typing at a line's
        // end adds to the line instead of joining it with the next.
        const QChar next = editor.document()->characterAt(start);
        if (start < EditorTextLength(editor) && next != QChar::ParagraphSeparator)
            len = NextCharacterEnd(editor, start) - start;
    }
    if (maxLength > 0 && EditorTextLength(editor) - len + text.size() > maxLength) {
        QApplication::beep();
        return false;
    }
    buffer.Add(start, len, UndoKind::Typing, text, RangeText(editor, start, len), &editor);
    ReplaceRange(editor, start, len, text);
    return true;
}

bool RecordNewLine(my_UndoClass& buffer, QPlainTextEdit& editor, int maxLength) {
    if (maxLength > 0 && EditorTextLength(editor) + 1 > maxLength) {
        QApplication::beep();
        return false;
    }
    const int start = editor.textCursor().selectionStart();
    const QString lineBreak(QChar(u'\n'));
    buffer.Add(start, 0, UndoKind::Typing, lineBreak, QString(), &editor);
    ReplaceRange(editor, start, 0, lineBreak);
    return true;
}

bool RecordDelete(my_UndoClass& buffer, QPlainTextEdit& editor) {
    int start = 0, len = 0;
    if (!SelectedRange(editor, start, len)) return false;
    buffer.Add(start, len, UndoKind::Delete, QString(), RangeText(editor, start, len), &editor);
    ReplaceRange(editor, start, len, QString());
    return true;
}

bool RecordCut(my_UndoClass& buffer, QPlainTextEdit& editor) {
    int start = 0, len = 0;
    if (!RecordToClipboard(buffer, editor, UndoKind::Cut, start, len)) return false;
    ReplaceRange(editor, start, len, QString());
    return true;
}

bool RecordCopy(my_UndoClass& buffer, QPlainTextEdit& editor) {
    int start = 0, len = 0;
    if (!RecordToClipboard(buffer, editor, UndoKind::Copy, start, len)) return false;
    SelectRange(editor, start + len, 0);
    return true;
}

bool RecordPaste(my_UndoClass& buffer, QPlainTextEdit& editor, int maxLength) {
    QString pasted = WithEditorLineEnds(ClipboardText());
    if (pasted.isEmpty()) return false;
    const QTextCursor cursor = editor.textCursor();
    const int start = cursor.selectionStart();
    const int len = cursor.selectionEnd() - start;
    if (maxLength > 0) {
        // Like the typed text, what does not fit is not taken; the clipboard keeps it all.
        const int room = maxLength - (EditorTextLength(editor) - len);
        const QString fitting = FittingPart(pasted, room);
        if (fitting.size() < pasted.size()) QApplication::beep();
        if (fitting.isEmpty()) return false;
        pasted = fitting;
    }
    buffer.Add(start, len, UndoKind::Paste, pasted, RangeText(editor, start, len), &editor);
    ReplaceRange(editor, start, len, pasted);
    return true;
}

void RecordReplacement(my_UndoClass& buffer, QPlainTextEdit& editor, int pos, const QString& before,
                       const QString& after) {
    buffer.Add(pos, static_cast<int>(before.size()), UndoKind::Typing, after, before, &editor);
    ReplaceRange(editor, pos, static_cast<int>(before.size()), after);
}

// ---- replay -----------------------------------------------------------------------------------------

QPlainTextEdit* ApplyUndo(my_UndoClass& buffer) {
    while (buffer.CanUndo()) {
        const Undo_state entry = buffer.GetUndo();
        QPlainTextEdit* editor = entry.Editor.data();
        if (editor == nullptr) continue; // its window is gone
        const int afterLength = static_cast<int>(entry.TextB.size());
        switch (entry.Kind) {
        case UndoKind::Typing:
        case UndoKind::Paste: ReplaceRange(*editor, entry.Pos, afterLength, entry.TextA); break;
        case UndoKind::Delete: ReplaceRange(*editor, entry.Pos, 0, entry.TextA); break;
        case UndoKind::Cut:
            ReplaceRange(*editor, entry.Pos, 0, entry.TextB);
            SetClipboardText(entry.TextA);
            break;
        case UndoKind::Copy:
            SelectRange(*editor, entry.Pos, afterLength);
            SetClipboardText(entry.TextA);
            break;
        default: break;
        }
        return editor;
    }
    return nullptr;
}

QPlainTextEdit* ApplyRedo(my_UndoClass& buffer) {
    while (buffer.CanRedo()) {
        const Undo_state entry = buffer.GetRedo();
        QPlainTextEdit* editor = entry.Editor.data();
        if (editor == nullptr) continue;
        switch (entry.Kind) {
        case UndoKind::Typing:
        case UndoKind::Paste: ReplaceRange(*editor, entry.Pos, entry.Len, entry.TextB); break;
        case UndoKind::Delete: ReplaceRange(*editor, entry.Pos, entry.Len, QString()); break;
        case UndoKind::Cut:
            ReplaceRange(*editor, entry.Pos, entry.Len, QString());
            SetClipboardText(entry.TextB);
            break;
        case UndoKind::Copy:
            SelectRange(*editor, entry.Pos, entry.Len);
            SetClipboardText(entry.TextB);
            break;
        default: break;
        }
        return editor;
    }
    return nullptr;
}
