#include "frontend/compile.h"

#include "frontend/compilerstate.h"
#include "frontend/itembuffers.h"
#include "frontend/parse.h"
#include "frontend/prescan.h"
#include "frontend/scan.h"
#include "frontend/sharedstate.h"
#include "frontend/tokenizer.h"

bool CompileCutShort = false;

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

} // namespace

bool CompileProgram() {
    CompileCutShort = false;
    ResetSourcePos();
    Ib.PreCodeIndex = ProgramCodeStart;
    Fe.ErrorPosition = 0;
    PreScan();
    if (Fe.ErrorNumber != 0) {
        Fe.ErrorPosition = Fe.SourcePos;
        return false;
    }
    if (CompileCutShort) return false;
    Ib.PreCodeIndex = ProgramCodeStart;
    Fe.ErrorPosition = 0;
    ScanProgram();
    if (ScanFailed() || CompileCutShort) return false;
    InitCode();
    Ib.PreCodeIndex = ProgramCodeStart;
    Fe.ErrorPosition = 0;
    Ib.CodeIndex = ProgramCodeStart;
    ParseProgram();
    return !ParseFailed() && !CompileCutShort;
}

bool CompileImmediate() {
    constexpr int ImmediateStart = 1;
    CompileCutShort = false;
    ResetSourcePos();
    Fe.ErrorPosition = 0;
    ResetPreCode();
    Ib.PreCodeIndex = ImmediateStart;
    ScanProgram();
    if (ScanFailed() || CompileCutShort) return false;
    ResetCode();
    Ib.PreCodeIndex = ImmediateStart;
    Ib.CodeIndex = ImmediateStart;
    ParseProgram();
    return !ParseFailed() && !CompileCutShort;
}
