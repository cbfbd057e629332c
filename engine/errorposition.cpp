// The error position of a failing item, moved onto its statement when the loop's rule puts it before.
#include "engine/errorposition.h"

#include "core/codeitem.h"
#include "core/errortext.h"
#include "core/internalcodes.h"
#include "core/itembuffers.h"
#include "core/parsecodes.h"
#include "core/vocabulary.h"

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

} // namespace

// The error position of an error raised by the item at `failedAt`, `position` as the loop's rule gives
// it: the rule's "next item less one" puts it before the statement when the statement's first item
// failed (IF X with X a number, the LET of a FOR's start).
int ErrorPositionOf(int position, int failedAt) {
    return ErrorPositionInStatement(position, StatementStartAround(failedAt));
}

int ErrorPositionBefore(int next) {
    if (next < 1 || static_cast<std::size_t>(next) >= Ib.CodeBuffer.size()) return 0;
    const int position = Ib.CodeBuffer[static_cast<std::size_t>(next)].Position;
    return ErrorPositionOf(position >= 1 ? position - 1 : 0, next - 1);
}
