// The executors' checks of their operands' types before they pop anything: the tags on the Gl stack,
// counted from the top.
#pragma once

#include "core/errornumbers.h"
#include "core/raiseerror.h"
#include "core/valuestack.h"

#include <QString>

#include <cstddef>

// NumberAlt marks a number a function gave; it counts as a number wherever one is expected.
inline bool IsNumberTag(int tag) {
    return tag == GlValueType::Number || tag == GlValueType::NumberAlt;
}

// The tag `depth` entries down the Gl stack (1 is the top); None when the stack is not that deep.
inline int GlTagAt(int depth) {
    const int at = Vs.GlTypeStack.Count - depth + 1;
    return at >= 1 ? Vs.GlTypeStack.Items[static_cast<std::size_t>(at)] : GlValueType::None;
}

// Whether the top `count` entries are all numbers.
inline bool TopAreNumbers(int count) {
    for (int depth = 1; depth <= count; ++depth)
        if (!IsNumberTag(GlTagAt(depth))) return false;
    return true;
}

// Whether the top `count` entries are all strings.
inline bool TopAreStrings(int count) {
    for (int depth = 1; depth <= count; ++depth)
        if (GlTagAt(depth) != GlValueType::String) return false;
    return true;
}

// Whether the top `count` entries, the operands of `statement`, are all strings; when not, the type
// error naming the statement, and nothing is popped.
inline bool ExpectStringOperands(int statement, int count) {
    if (TopAreStrings(count)) return true;
    RaiseError(Err::StatementType, statement);
    return false;
}

// Pops the string a statement takes into `text`; false, and nothing popped, as ExpectStringOperands.
inline bool PopStringOperand(int statement, QString& text) {
    if (!ExpectStringOperands(statement, 1)) return false;
    GlPopStr(text);
    return true;
}
