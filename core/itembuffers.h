// The two item buffers: pre-code (written by the statement scan, read by the statement compiler) and
// final code (written by the compiler, run by the interpreter). Slots 1 to 100 of both hold an
// immediate command; a program's items start at slot 101; slot 0 is never code.
#pragma once

#include "core/codeitem.h"

#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr int ImmediateAreaLast = 100; // last slot of the immediate area
inline constexpr int ProgramCodeStart = 101;  // first slot of a program's items

// ---- pre-code --------------------------------------------------------------------------------------

void InitPreCode();
void ResetPreCode();
void AddPreCode(const CodeItemType& item);
void GetPreCode(CodeItemType& item);
void PeekPreCode(CodeItemType& item);
void PeekPreCodeAhead(int n, CodeItemType& item);
void PeekPreCodeBack(int n, CodeItemType& item);
inline bool PreCodeIsNumCon(const CodeItemType& item) {
    return item.FirstCode == CodeKind::NumLiteral;
}

// ---- final code ------------------------------------------------------------------------------------
// The compiled program as the interpreter runs it. Everyone reads it as a plain array; only the
// functions below write it, and each write starts a new code generation, because the run loop's decoded
// side describes the items of one generation and must never outlive a change to them.
class CodeItems {
public:
    using const_iterator = std::vector<CodeItemType>::const_iterator;
    const CodeItemType& operator[](std::size_t at) const { return items_[at]; }
    const CodeItemType* data() const { return items_.data(); }
    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    const_iterator begin() const { return items_.begin(); }
    const_iterator end() const { return items_.end(); }
    const std::vector<CodeItemType>& Items() const { return items_; }

private:
    friend class CodeWriter; // itembuffers.cpp's own: the one way in for writes
    std::vector<CodeItemType> items_;
};

// Both buffers with their cursors, one process-wide instance Ib. The interpreter reset brings the
// buffers and their limits back through InitPreCode and InitCode; the cursors and the items in hand
// are set by every scan, compile and run before they are read.
struct ItemBuffers {
    std::vector<CodeItemType> PreCodeBuffer;
    int PreCodeIndex = 0;         // write cursor while scanning, read cursor while compiling
    int CurrentmaxPreCodeNum = 0; // highest valid index
    int PreCodeLimit = 0;         // the scan's final cursor; read by the compiler

    CodeItems CodeBuffer;
    int CodeIndex = 0;         // append position while compiling; next item to fetch while running
    int CurrentmaxCodeNum = 0; // highest valid index
    int CodeLimit = 0;         // index of the program's end item: the last index a fetch may read
    CodeItemType CurrentItem, NextItem, PeekItem;
    // Counts the changes to CodeBuffer: what the run loop decoded from the buffer holds only while the
    // count is unchanged. The writes below count themselves; a caller counts a change only when
    // something the decoded side rests on besides the items moves. Never goes back, not even in the
    // reset, so that nothing decoded before can pass for current.
    std::uint64_t CodeGeneration = 1;
};
extern constinit ItemBuffers Ib;
inline void NoteCodeChanged() {
    ++Ib.CodeGeneration;
}

// Writes `item` at `at`, growing the buffer when `at` lies past its end (false, with error 30101, when
// memory runs out; false also for a negative index).
bool SetCodeItem(int at, CodeItemType item);
void InitCode();
void ResetCode();
void AddCode(const CodeItemType& item);

// The run loop's fetch: past CodeLimit only the kind of the result becomes 0 and the cursor stays.
inline void GetCode(CodeItemType& item) {
    if (Ib.CodeIndex <= Ib.CodeLimit && Ib.CodeIndex >= 0) {
        item = Ib.CodeBuffer[static_cast<std::size_t>(Ib.CodeIndex)];
        ++Ib.CodeIndex;
    } else {
        item.FirstCode = CodeKind::None;
    }
}
inline void GetCurrentItem() {
    GetCode(Ib.CurrentItem);
}
inline void GetNextItem() {
    GetCode(Ib.NextItem);
}
inline void GetPeekItem() {
    GetCode(Ib.PeekItem);
}

void LookBackCode(int depth, CodeItemType& item);
// The item at the cursor without advancing; kind 0 outside the buffer.
void PeekCode(CodeItemType& item);
inline bool CodeIsNumCon(const CodeItemType& item) {
    return item.FirstCode == CodeKind::NumLiteral;
}
