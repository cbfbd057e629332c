// The editor's own undo: a ring of entries (each editor window has its own), the recording operations
// that store what an editing action replaces before carrying it out, and the replay of an entry by
// the Undo and Redo commands. The text control's built-in undo is not used.
#pragma once

#include <QPlainTextEdit>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <vector>

// What an undo entry records.
namespace UndoKind {
inline constexpr std::uint8_t Typing = 0; // typing, input-method text, line break, replacement
inline constexpr std::uint8_t Delete = 1;
inline constexpr std::uint8_t Cut = 2;
inline constexpr std::uint8_t Copy = 3;
inline constexpr std::uint8_t Paste = 4;
} // namespace UndoKind

// One undo entry. Positions are editor positions (a line break counts one).
struct Undo_state {
    std::int32_t Pos = 0; // selection start
    std::int32_t Len = 0; // selection length
    QString TextA;        // the text before the action (see UndoKind)
    QString TextB;        // the text after it
    std::uint8_t Kind = UndoKind::Typing;
    // The editor the entry was recorded in: its positions mean something only in that text.
    QPointer<QPlainTextEdit> Editor;
};

class my_UndoClass {
public:
    static constexpr int MinCapacity = 100;
    static constexpr int MaxCapacity = 10000;
    static constexpr int EditorCapacity = 1000; // what every new editor window starts with

    // An empty ring of `capacity` entries, limited to MinCapacity..MaxCapacity.
    void Initialize(int capacity);
    // Stores an entry after the current one; the entries that could have been redone are gone, and
    // when the ring is full the oldest entry is dropped.
    void Add(int pos, int len, std::uint8_t kind, const QString& textAfter, const QString& textBefore,
             QPlainTextEdit* editor = nullptr);
    bool CanUndo() const { return Current != Oldest; }
    bool CanRedo() const { return Current != Newest; }
    // The entry to undo; steps back. Only meaningful while CanUndo().
    Undo_state GetUndo();
    // Steps forward; the entry to redo. Only meaningful while CanRedo().
    Undo_state GetRedo();

    int Capacity = 0;
    int Newest = 0;
    int Oldest = 0;
    int Current = 0;

private:
    std::vector<Undo_state> Entries_;
};

// ---- recording operations ----------------------------------------------------------------------------
// Each records the entry in `buffer` and then carries the action out on `editor`. maxLength (0: none)
// is the most characters the text may hold; insertions beyond it are refused or shortened. Actions
// that would change nothing record nothing. True when the text or the clipboard was changed.

// A typed character or string. Insert mode puts it at the selection start and keeps the selection's
// text; overwrite mode replaces the character after the selection start (not a line end).
bool RecordTyping(my_UndoClass& buffer, QPlainTextEdit& editor, const QString& text, bool insertMode,
                  int maxLength);
// A line break at the selection start (the selection's text stays).
bool RecordNewLine(my_UndoClass& buffer, QPlainTextEdit& editor, int maxLength);
// Deletes the selection.
bool RecordDelete(my_UndoClass& buffer, QPlainTextEdit& editor);
// Cuts the selection to the clipboard.
bool RecordCut(my_UndoClass& buffer, QPlainTextEdit& editor);
// Copies the selection to the clipboard and puts the caret at its end.
bool RecordCopy(my_UndoClass& buffer, QPlainTextEdit& editor);
// Replaces the selection with the clipboard text (line ends made the editor's own).
bool RecordPaste(my_UndoClass& buffer, QPlainTextEdit& editor, int maxLength);
// Records a replacement already decided elsewhere (find and replace, input-method text): the text
// `before` at pos was replaced by `after`; the replacement itself is done here.
void RecordReplacement(my_UndoClass& buffer, QPlainTextEdit& editor, int pos, const QString& before,
                       const QString& after);

// ---- replay -----------------------------------------------------------------------------------------
// Undo and Redo act on the editor an entry was recorded in (an entry of an editor that is gone is
// passed over). They return that editor, or null when there was nothing to do.
QPlainTextEdit* ApplyUndo(my_UndoClass& buffer);
QPlainTextEdit* ApplyRedo(my_UndoClass& buffer);

// ---- helpers shared by the editor -----------------------------------------------------------------------

// The editor's text with "\n" between lines, every other character as it stands; positions are the
// editor's positions.
QString EditorPlainText(const QPlainTextEdit& editor);
// Line ends of pasted or dropped text (CR LF, lone CR, LF) made the editor's own.
QString WithEditorLineEnds(const QString& text);
// How many characters the editor text holds (a line break counts one).
int EditorTextLength(const QPlainTextEdit& editor);
// The end of the character that starts at pos (a surrogate pair is one character).
int NextCharacterEnd(const QPlainTextEdit& editor, int pos);
// The start of the character that ends at pos.
int PreviousCharacterStart(const QPlainTextEdit& editor, int pos);
