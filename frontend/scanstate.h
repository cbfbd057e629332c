// The statement scan's state: what Cs.Scan holds (frontend/compilerstate.h), apart from the scan's
// routines so that the compiler's state can hold it without including them.
#pragma once

#include "core/codeitem.h"
#include "core/vocabulary.h"

#include <QString>

#include <array>
#include <cstdint>

struct BlockChkType {
    int Code = 0; // the statement slot or internal code that opened the block
    QString Name; // the loop variable of a FOR, else empty
};

namespace LXScan {

inline constexpr int TokenStackSize = 64;
inline constexpr int BlockChkStackSize = 64;

// The scan's state, reset whole when a scan begins: nothing of an earlier scan that stopped at an error
// may leak into the next.
struct ScanState {
    CodeItemType PreCodeItem; // the token read last; Position: the one after it (a scan error's place)
    int ScanKind = 0;         // kind and value of the token the main loop dispatched
    int ScanCode = 0;
    CodeItemType LineEndItem{CodeKind::Operator, Op::LineEnd, 0};
    std::uint8_t SingleLineIf = 0; // 1 while an IF ... THEN with a statement on the same line is open
    int SubFrameIndex = 0;         // pre-code index of the second frame item of the open SUB or FUNCTION
    std::array<CodeItemType, TokenStackSize + 1> TokenStack{}; // 1-based
    int TokenStackCount = 0;
    std::array<BlockChkType, BlockChkStackSize + 1> BlockChkStack{}; // 1-based
    int BlockChkCount = 0;

    void Reset() { *this = ScanState{}; }
};

} // namespace LXScan
