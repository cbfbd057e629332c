#include "frontend/itembuffers.h"

#include "frontend/errornumbers.h"
#include "frontend/raiseerror.h"
#include "frontend/sharedstate.h"
#include "frontend/vocabulary.h"

#include <new>

std::vector<CodeItemType> PreCodeBuffer;
int PreCodeIndex = 0;
int CurrentmaxPreCodeNum = 0;
int PreCodeLimit = 0;

CodeItems CodeBuffer;
std::uint64_t CodeGeneration = 1;
int CodeIndex = 0;
int CurrentmaxCodeNum = 0;
int CodeLimit = 0;
CodeItemType CurrentItem, NextItem, PeekItem;

namespace {

constexpr std::size_t InitialSlots = ImmediateAreaLast + 1;

// Makes room for index `at` (never shrinking the buffer); false (and error 30101) when memory runs
// out. The vector grows geometrically, so a program of n items costs O(n) copies rather than O(n^2).
bool GrowTo(std::vector<CodeItemType>& buffer, int at, int& currentMax) {
    if (static_cast<std::size_t>(at) >= buffer.size()) {
        try {
            buffer.resize(static_cast<std::size_t>(at) + 1);
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
    static std::vector<CodeItemType>& Items() { return CodeBuffer.items_; }
};

void InitPreCode() {
    PreCodeBuffer.assign(InitialSlots, CodeItemType{});
    CurrentmaxPreCodeNum = ImmediateAreaLast;
    PreCodeLimit = ImmediateAreaLast;
    PreCodeBuffer[0] = {CodeKind::Operator, Op::Colon, 0};
    PreCodeBuffer[ImmediateAreaLast] = {CodeKind::Operator, Op::Colon, 0};
}

void ResetPreCode() {
    if (CurrentmaxPreCodeNum < ImmediateAreaLast) {
        PreCodeBuffer.assign(InitialSlots, CodeItemType{});
        CurrentmaxPreCodeNum = ImmediateAreaLast;
    }
    if (Fe.ErrorNumber != 0) return;
    for (int i = 0; i <= ImmediateAreaLast; ++i)
        PreCodeBuffer[i].FirstCode = CodeKind::End;
    PreCodeBuffer[0] = {CodeKind::None, 0, PreCodeBuffer[0].Position};
    PreCodeBuffer[ImmediateAreaLast] = {CodeKind::None, 0, PreCodeBuffer[ImmediateAreaLast].Position};
}

void AddPreCode(const CodeItemType& item) {
    if (item.FirstCode == CodeKind::None) return;
    // An immediate command is scanned into slots 1 to 100; past them it would overwrite the program.
    if (Fe.RunMode.load(std::memory_order_relaxed) == RunKind::Immediate &&
        PreCodeIndex > ImmediateAreaLast) {
        RaiseError(Err::ProgramTooLarge);
        return;
    }
    if (PreCodeIndex < 0) return;
    if (!GrowTo(PreCodeBuffer, PreCodeIndex, CurrentmaxPreCodeNum)) return;
    CodeItemType stored = item;
    // Pre-code carries the position of the token's first character (or of the INCLUDE statement
    // while included text is scanned), so that errors point at the start of what went wrong.
    if (Fe.IncludeMode == 0 || Fe.IncludeMode == 1) stored.Position = Fe.TokenStart;
    PreCodeBuffer[static_cast<std::size_t>(PreCodeIndex)] = stored;
    ++PreCodeIndex;
}

void GetPreCode(CodeItemType& item) {
    PeekPreCode(item);
    ++PreCodeIndex;
}

void PeekPreCode(CodeItemType& item) {
    if (PreCodeIndex >= 0 && PreCodeIndex <= CurrentmaxPreCodeNum)
        item = PreCodeBuffer[static_cast<std::size_t>(PreCodeIndex)];
    else
        item = CodeItemType{};
}

void PeekPreCodeAhead(int n, CodeItemType& item) {
    const long at = static_cast<long>(PreCodeIndex) + n;
    if (at >= 0 && at <= CurrentmaxPreCodeNum)
        item = PreCodeBuffer[static_cast<std::size_t>(at)];
    else
        item = CodeItemType{};
}

void PeekPreCodeBack(int n, CodeItemType& item) {
    const long at = static_cast<long>(PreCodeIndex) - n;
    if (n >= 0 && n <= PreCodeIndex && at <= CurrentmaxPreCodeNum)
        item = PreCodeBuffer[static_cast<std::size_t>(at)];
    else
        item = CodeItemType{};
}

bool SetCodeItem(int at, CodeItemType item) {
    if (at < 0 || !GrowTo(CodeWriter::Items(), at, CurrentmaxCodeNum)) return false;
    CodeWriter::Items()[static_cast<std::size_t>(at)] = item;
    NoteCodeChanged();
    return true;
}

void InitCode() {
    NoteCodeChanged();
    std::vector<CodeItemType>& items = CodeWriter::Items();
    items.assign(InitialSlots, CodeItemType{CodeKind::End, 0, 0});
    CurrentmaxCodeNum = ImmediateAreaLast;
    CodeLimit = ImmediateAreaLast;
    items[0] = {CodeKind::None, 0, 0};
    items[ImmediateAreaLast] = {CodeKind::None, 0, 0};
    CodeIndex = ProgramCodeStart;
}

void ResetCode() {
    NoteCodeChanged();
    std::vector<CodeItemType>& items = CodeWriter::Items();
    if (CurrentmaxCodeNum < ImmediateAreaLast) {
        items.assign(InitialSlots, CodeItemType{});
        CurrentmaxCodeNum = ImmediateAreaLast;
    }
    if (Fe.ErrorNumber != 0) return;
    for (int i = 0; i <= ImmediateAreaLast; ++i)
        items[i].FirstCode = CodeKind::End;
    items[0] = {CodeKind::None, 0, items[0].Position};
    CodeIndex = 0;
}

void AddCode(const CodeItemType& item) {
    // An immediate command (and a formula run in the immediate area) must end before slot 101,
    // where the program's items begin: refuse it rather than overwrite the program.
    if (Fe.RunMode.load(std::memory_order_relaxed) == RunKind::Immediate && CodeIndex > ImmediateAreaLast) {
        RaiseError(Err::ProgramTooLarge);
        return;
    }
    if (SetCodeItem(CodeIndex, item)) ++CodeIndex;
}

void LookBackCode(int depth, CodeItemType& item) {
    if (depth > CodeIndex || depth < 0) {
        RaiseError(Err::LookBackBeforeStart);
        return;
    }
    const int at = CodeIndex - depth;
    if (at > CurrentmaxCodeNum) {
        item = CodeItemType{};
        return;
    }
    item = CodeBuffer[static_cast<std::size_t>(at)];
}

void PeekCode(CodeItemType& item) {
    if (CodeIndex >= 0 && CodeIndex <= CurrentmaxCodeNum)
        item = CodeBuffer[static_cast<std::size_t>(CodeIndex)];
    else
        item = CodeItemType{};
}
