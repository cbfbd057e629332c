// The decoders' reading of the code buffer: the item at an index, the items that do nothing a program
// can see (stepped over as the fetch steps over them), and where the run goes on after a statement.
// Shared by the statement decoder and the call decoder.
#pragma once

#include "core/codeitem.h"
#include "core/itembuffers.h"
#include "core/vocabulary.h"
#include "engine/decoded/entries.h"
#include "engine/fastaccess.h"

#include <cstddef>

namespace Decoding {

// The most jumps followed when resolving where a statement continues; a GOTO chain longer than this
// (or a loop of GOTOs) is simply left to run item by item.
inline constexpr int MaxJumpHops = 8;

// The item at `at`; no item outside the buffer.
inline const CodeItemType& Item(int at) {
    static const CodeItemType none{};
    return at >= 0 && static_cast<std::size_t>(at) < Ib.CodeBuffer.size()
               ? Ib.CodeBuffer[static_cast<std::size_t>(at)]
               : none;
}

// Whether the item at `at` (at most `limit`) is the statement `code`.
inline bool IsStatementAt(int at, int limit, int code) {
    return at <= limit && Item(at).FirstCode == CodeKind::Statement && Item(at).SecondCode == code;
}

// The first index from `at` (at most `limit`) whose item does something: inert items and structure
// marks are stepped over, which nothing a program can see tells from running them.
inline int StepOverInert(int at, int limit) {
    while (at < limit) {
        const CodeItemType& item = Item(at);
        if (!IsInertItem(item) &&
            !(item.FirstCode == CodeKind::Statement && IsStructureMark(item.SecondCode)))
            break;
        ++at;
    }
    return at;
}

// The first index from `at` (at most `limit`) that is not an expression bracket.
inline int StepOverBrackets(int at, int limit) {
    while (at < limit &&
           (Item(at).FirstCode == CodeKind::ExprOpen || Item(at).FirstCode == CodeKind::ExprClose))
        ++at;
    return at;
}

// Where the run goes on from `at`: past inert items and through GOTOs to a valid index. Stepping over
// them costs the run nothing it could see, as when the fetch steps over inert items.
inline int Continuation(int at, int limit) {
    for (int hop = 0; hop < MaxJumpHops; ++hop) {
        if (at < 0 || at > limit) return at;
        at = StepOverInert(at, limit);
        const CodeItemType& item = Item(at);
        if (item.FirstCode != CodeKind::Statement || item.SecondCode != St::GOTO || at + 1 > limit) return at;
        const CodeItemType& target = Item(at + 1);
        if (target.FirstCode != CodeKind::JumpTarget || !IsJumpIndex(target.SecondCode)) return at;
        at = target.SecondCode;
    }
    return at;
}

} // namespace Decoding
