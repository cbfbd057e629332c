// The error position of a failing item, moved onto its statement when the loop's rule puts it before.
#include "engine/errorposition.h"

#include "core/codeitem.h"
#include "core/internalcodes.h"
#include "core/itembuffers.h"
#include "core/sharedstate.h"
#include "core/vocabulary.h"
#include "frontend/parsecodes.h"

#include <QString>

#include <string_view>

namespace {

// The items between two statement ends (":", a line end, or the edge of the code) form one piece of
// a statement.
bool EndsStatementPiece(const CodeItemType& item) {
    return item.FirstCode <= CodeKind::None ||
           (item.FirstCode == CodeKind::Operator &&
            (item.SecondCode == Op::Colon || item.SecondCode == Op::LineEnd));
}

// Where the statement owning the code item at `at` begins in the text; 0 when that is not known. The
// compiler gives the statement items it writes for a statement the position of its keyword (of the
// target, for an assignment without LET), while the items of its expressions carry their own, later
// positions, and the step that a NEXT takes over from its FOR lies in the NEXT's piece with the FOR's
// positions: so the least position of a statement item in the piece.
int StatementStartAround(int at) {
    const CodeItemType* code = Ib.CodeBuffer.data();
    const int last = static_cast<int>(Ib.CodeBuffer.size()) - 1;
    if (at < 1 || at > last || EndsStatementPiece(code[at])) return 0;
    int first = at;
    while (first > 1 && !EndsStatementPiece(code[first - 1]))
        --first;
    int end = at;
    while (end < last && !EndsStatementPiece(code[end + 1]))
        ++end;
    int start = 0;
    for (int k = first; k <= end; ++k) {
        const CodeItemType& item = code[k];
        if (item.FirstCode == CodeKind::Statement && item.Position >= 1 &&
            (start == 0 || item.Position < start))
            start = item.Position;
    }
    return start;
}

// A statement of two or more words (DO WHILE, LINE INPUT, INPUT #, END IF) has its item at its last
// word: the start of the words before `start` on its line that make one statement with it. THEN and
// ELSE end the statement before them, any other statement word joins the one after it.
int FirstWordOfStatement(int start) {
    const QString& text = Fe.ProgramText;
    if (start < 1 || start > text.size()) return start;
    auto isBlank = [&](int at) {
        return text[at - 1] == QLatin1Char(' ') || text[at - 1] == QLatin1Char('\t');
    };
    auto isLetter = [&](int at) {
        const char16_t c = text[at - 1].unicode();
        return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
    };
    for (;;) {
        int at = start - 1; // 1-based, walking back
        while (at >= 1 && isBlank(at))
            --at;
        const int wordEnd = at;
        while (at >= 1 && isLetter(at))
            --at;
        if (at == wordEnd || (at >= 1 && text[at - 1].isLetterOrNumber())) return start;
        const QString word = text.mid(at, wordEnd - at).toUpper();
        const int slot = SearchStatement(std::u16string_view(reinterpret_cast<const char16_t*>(word.utf16()),
                                                             static_cast<std::size_t>(word.size())));
        if (slot == 0 || slot == St::THEN || slot == St::ELSE) return start;
        start = at + 1;
    }
}

} // namespace

// The error position of an error raised by the item at `failedAt`, `position` as the loop's rule gives
// it. The reported character is the one before the error position, and the rule's "next item less one"
// puts it before the statement when the statement's first item failed (IF X with X a number, the LET
// of a FOR's start): on the end of the line before, or in the indentation. Such an error stands at the
// statement's first character instead; one inside the statement keeps its place.
int ErrorPositionOf(int position, int failedAt) {
    int start = StatementStartAround(failedAt);
    if (start < 1 || position - 1 >= start) return position;
    start = FirstWordOfStatement(start);
    return position - 1 < start ? start + 1 : position;
}

int ErrorPositionBefore(int next) {
    if (next < 1 || static_cast<std::size_t>(next) >= Ib.CodeBuffer.size()) return 0;
    const int position = Ib.CodeBuffer[static_cast<std::size_t>(next)].Position;
    return ErrorPositionOf(position >= 1 ? position - 1 : 0, next - 1);
}
