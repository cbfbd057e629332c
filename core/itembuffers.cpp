// The item buffers' one instance, Ib, with their readers and writers: each buffer grows by doubling,
// within the program's memory budget.
#include "core/itembuffers.h"

#include "core/errornumbers.h"
#include "core/raiseerror.h"
#include "core/sharedstate.h"
#include "core/vocabulary.h"
#include "platform/memorybudget.h"

#include <algorithm>
#include <new>

constinit ItemBuffers Ib;

namespace {

constexpr std::size_t InitialSlots = ImmediateAreaLast + 1;

// Makes room for index `at` (never shrinking the buffer); false (and error 30101) when memory runs
// out or the program's budget has no room. The buffer doubles, so a program of n items costs O(n)
// copies rather than O(n^2).
bool GrowTo(std::vector<CodeItemType>& buffer, int at, int& currentMax) {
    if (static_cast<std::size_t>(at) >= buffer.size()) {
        try {
            const std::size_t needed = static_cast<std::size_t>(at) + 1;
            if (needed > buffer.capacity()) {
                const std::size_t capacity = std::max(needed, buffer.capacity() * 2);
                if (!MemoryBudget::AllowsElements(capacity, sizeof(CodeItemType))) {
                    RaiseError(Err::OutOfMemory);
                    return false;
                }
                buffer.reserve(capacity);
            }
            buffer.resize(needed);
        } catch (const std::bad_alloc&) {
            RaiseError(Err::OutOfMemory);
            return false;
        } catch (const std::length_error&) {
            RaiseError(Err::OutOfMemory);
            return false;
        }
    }
    if (at > currentMax) currentMax = at;
    return true;
}

} // namespace

class CodeWriter {
public:
    static std::vector<CodeItemType>& Items() { return Ib.CodeBuffer.items_; }
};

void InitPreCode() {
    // A fresh buffer: the room a large program took goes back.
    std::vector<CodeItemType>(InitialSlots).swap(Ib.PreCodeBuffer);
    Ib.CurrentmaxPreCodeNum = ImmediateAreaLast;
    Ib.PreCodeLimit = ImmediateAreaLast;
    Ib.PreCodeBuffer[0] = {CodeKind::Operator, Op::Colon, 0};
    Ib.PreCodeBuffer[ImmediateAreaLast] = {CodeKind::Operator, Op::Colon, 0};
}

void ResetPreCode() {
    if (Ib.CurrentmaxPreCodeNum < ImmediateAreaLast) {
        Ib.PreCodeBuffer.assign(InitialSlots, CodeItemType{});
        Ib.CurrentmaxPreCodeNum = ImmediateAreaLast;
    }
    if (Fe.ErrorNumber != 0) return;
    for (int i = 0; i <= ImmediateAreaLast; ++i)
        Ib.PreCodeBuffer[i].FirstCode = CodeKind::End;
    Ib.PreCodeBuffer[0] = {CodeKind::None, 0, Ib.PreCodeBuffer[0].Position};
    Ib.PreCodeBuffer[ImmediateAreaLast] = {CodeKind::None, 0, Ib.PreCodeBuffer[ImmediateAreaLast].Position};
}

void AddPreCode(const CodeItemType& item) {
    if (item.FirstCode == CodeKind::None) return;
    // An immediate command is scanned into slots 1 to 100; past them it would overwrite the program.
    if (Rc.RunMode.load(std::memory_order_relaxed) == RunKind::Immediate &&
        Ib.PreCodeIndex > ImmediateAreaLast) {
        RaiseError(Err::ProgramTooLarge);
        return;
    }
    if (Ib.PreCodeIndex < 0) return;
    if (!GrowTo(Ib.PreCodeBuffer, Ib.PreCodeIndex, Ib.CurrentmaxPreCodeNum)) return;
    CodeItemType stored = item;
    // Pre-code carries the position of the token's first character (or of the INCLUDE statement
    // while included text is scanned), so that errors point at the start of what went wrong.
    if (Rd.IncludeMode == 0 || Rd.IncludeMode == 1) stored.Position = Rd.TokenStart;
    Ib.PreCodeBuffer[static_cast<std::size_t>(Ib.PreCodeIndex)] = stored;
    ++Ib.PreCodeIndex;
}

void GetPreCode(CodeItemType& item) {
    PeekPreCode(item);
    ++Ib.PreCodeIndex;
}

void PeekPreCode(CodeItemType& item) {
    if (Ib.PreCodeIndex >= 0 && Ib.PreCodeIndex <= Ib.CurrentmaxPreCodeNum)
        item = Ib.PreCodeBuffer[static_cast<std::size_t>(Ib.PreCodeIndex)];
    else
        item = CodeItemType{};
}

void PeekPreCodeAhead(int n, CodeItemType& item) {
    const long at = static_cast<long>(Ib.PreCodeIndex) + n;
    if (at >= 0 && at <= Ib.CurrentmaxPreCodeNum)
        item = Ib.PreCodeBuffer[static_cast<std::size_t>(at)];
    else
        item = CodeItemType{};
}

void PeekPreCodeBack(int n, CodeItemType& item) {
    const long at = static_cast<long>(Ib.PreCodeIndex) - n;
    if (n >= 0 && n <= Ib.PreCodeIndex && at <= Ib.CurrentmaxPreCodeNum)
        item = Ib.PreCodeBuffer[static_cast<std::size_t>(at)];
    else
        item = CodeItemType{};
}

bool SetCodeItem(int at, CodeItemType item) {
    if (at < 0 || !GrowTo(CodeWriter::Items(), at, Ib.CurrentmaxCodeNum)) return false;
    CodeWriter::Items()[static_cast<std::size_t>(at)] = item;
    NoteCodeChanged();
    return true;
}

void InitCode() {
    NoteCodeChanged();
    std::vector<CodeItemType>& items = CodeWriter::Items();
    std::vector<CodeItemType>(InitialSlots, CodeItemType{CodeKind::End, 0, 0}).swap(items);
    Ib.CurrentmaxCodeNum = ImmediateAreaLast;
    Ib.CodeLimit = ImmediateAreaLast;
    items[0] = {CodeKind::None, 0, 0};
    items[ImmediateAreaLast] = {CodeKind::None, 0, 0};
    Ib.CodeIndex = ProgramCodeStart;
}

void ResetCode() {
    NoteCodeChanged();
    std::vector<CodeItemType>& items = CodeWriter::Items();
    if (Ib.CurrentmaxCodeNum < ImmediateAreaLast) {
        items.assign(InitialSlots, CodeItemType{});
        Ib.CurrentmaxCodeNum = ImmediateAreaLast;
    }
    if (Fe.ErrorNumber != 0) return;
    for (int i = 0; i <= ImmediateAreaLast; ++i)
        items[i].FirstCode = CodeKind::End;
    items[0] = {CodeKind::None, 0, items[0].Position};
    Ib.CodeIndex = 0;
}

void AddCode(const CodeItemType& item) {
    // An immediate command (and a formula run in the immediate area) must end before slot 101,
    // where the program's items begin: refuse it rather than overwrite the program.
    if (Rc.RunMode.load(std::memory_order_relaxed) == RunKind::Immediate &&
        Ib.CodeIndex > ImmediateAreaLast) {
        RaiseError(Err::ProgramTooLarge);
        return;
    }
    if (SetCodeItem(Ib.CodeIndex, item)) ++Ib.CodeIndex;
}

void LookBackCode(int depth, CodeItemType& item) {
    if (depth > Ib.CodeIndex || depth < 0) {
        RaiseError(Err::LookBackBeforeStart);
        return;
    }
    const int at = Ib.CodeIndex - depth;
    if (at > Ib.CurrentmaxCodeNum) {
        item = CodeItemType{};
        return;
    }
    item = Ib.CodeBuffer[static_cast<std::size_t>(at)];
}

void PeekCode(CodeItemType& item) {
    if (Ib.CodeIndex >= 0 && Ib.CodeIndex <= Ib.CurrentmaxCodeNum)
        item = Ib.CodeBuffer[static_cast<std::size_t>(Ib.CodeIndex)];
    else
        item = CodeItemType{};
}
