// The small services shared by the run loop and the executors: return stacks, boolean numbers, line and
// column of a source offset, statement ends, and file tests.
#include "engine/services.h"

#include "core/errornumbers.h"
#include "core/itembuffers.h"
#include "core/raiseerror.h"
#include "core/valuestack.h"

#include <QFileInfo>

namespace {

template <std::size_t N> void PushReturn(std::array<int, N>& stack, int& count, int index) {
    if (count >= static_cast<int>(N) - 1) {
        RaiseError(Err::ReturnStackFull);
        return;
    }
    stack[static_cast<std::size_t>(++count)] = index;
}

template <std::size_t N> int PopReturn(const std::array<int, N>& stack, int& count) {
    if (count < 1) {
        RaiseError(Err::ReturnStackEmpty);
        return 0;
    }
    return stack[static_cast<std::size_t>(count--)];
}

} // namespace

void PushGosubReturn(int index) {
    PushReturn(Ps.GosubStack, Ps.GosubStackCount, index);
}
int PopGosubReturn() {
    return PopReturn(Ps.GosubStack, Ps.GosubStackCount);
}
void PushSubReturn(int index) {
    PushReturn(Ps.SubReturnStack, Ps.SubReturnStackCount, index);
}
int PopSubReturn() {
    return PopReturn(Ps.SubReturnStack, Ps.SubReturnStackCount);
}

bool NumberToBoolean(Extended n) {
    if (n == -1.0L) return true;
    if (n == 0.0L) return false;
    RaiseError(Err::NotABoolean);
    return false;
}

void OffsetToLineCol(int offset, int& line, int& column) {
    const int length = static_cast<int>(Fe.CompiledProgramText.size());
    if (offset > length) offset = length;
    line = 1;
    if (offset < 2) {
        column = offset;
        return;
    }
    int lastLf = 0;
    for (int i = 1; i <= offset - 1; ++i) {
        if (Fe.CompiledProgramText.at(i - 1) == QLatin1Char('\n')) {
            ++line;
            lastLf = i;
        }
    }
    column = offset - lastLf;
}

void SkipToStatementEnd(CodeItemType& last) {
    last = CodeItemType{CodeKind::Operator, Op::Colon, 0};
    for (;;) {
        // Remember where the item was: a fetch past the end of the code does not move the cursor.
        const int at = Ib.CodeIndex;
        CodeItemType item;
        GetCode(item);
        if (IsStatementEnd(item) || item.FirstCode == CodeKind::End) {
            Ib.CodeIndex = at;
            return;
        }
        last = item;
    }
}

void DiscardGlTop() {
    switch (GlTopType()) {
    case GlValueType::None: RaiseError(Err::StackEmpty); return;
    case GlValueType::String: {
        QString discarded;
        GlPopStr(discarded);
        return;
    }
    case GlValueType::Boolean: GlPopBool(); return;
    default: GlPopNum(); return; // numbers, array references, TAB columns
    }
}

bool IsFileAt(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

bool IsRegularFileAt(const QString& path) {
    return QFileInfo(path).isFile();
}
