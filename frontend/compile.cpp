#include "frontend/compile.h"

#include "frontend/compilerstate.h"
#include "frontend/itembuffers.h"
#include "frontend/parse.h"
#include "frontend/prescan.h"
#include "frontend/scan.h"
#include "frontend/sharedstate.h"
#include "frontend/tokenizer.h"

namespace {

// A scan error is reported at the position of the scan's item in hand, the one after its token; a
// compiler error where the pre-code item read last begins.
bool ScanFailed() {
    if (Fe.ErrorNumber == 0) return false;
    Fe.ErrorPosition = Cs.Scan.PreCodeItem.Position;
    return true;
}

bool ParseFailed() {
    if (Fe.ErrorNumber == 0) return false;
    Fe.ErrorPosition = Cs.Parse.PreCodeItem.Position;
    return true;
}

bool Stopped() {
    return Fe.StopRequest.load(std::memory_order_relaxed) != 0;
}

} // namespace

bool CompileProgram() {
    ResetSourcePos();
    Ib.PreCodeIndex = ProgramCodeStart;
    Fe.ErrorPosition = 0;
    PreScan();
    if (Fe.ErrorNumber != 0) {
        Fe.ErrorPosition = Fe.SourcePos;
        return false;
    }
    if (Stopped()) return false;
    Ib.PreCodeIndex = ProgramCodeStart;
    Fe.ErrorPosition = 0;
    ScanProgram();
    if (ScanFailed() || Stopped()) return false;
    InitCode();
    Ib.PreCodeIndex = ProgramCodeStart;
    Fe.ErrorPosition = 0;
    Ib.CodeIndex = ProgramCodeStart;
    ParseProgram();
    return !ParseFailed() && !Stopped();
}

bool CompileImmediate() {
    constexpr int ImmediateStart = 1;
    ResetSourcePos();
    Fe.ErrorPosition = 0;
    ResetPreCode();
    Ib.PreCodeIndex = ImmediateStart;
    ScanProgram();
    if (ScanFailed()) return false;
    ResetCode();
    Ib.PreCodeIndex = ImmediateStart;
    Ib.CodeIndex = ImmediateStart;
    ParseProgram();
    return !ParseFailed();
}
