// Compiling a program or an immediate command: pre-scan, statement scan and statement compiler in turn,
// and where the error of each phase stands: after a line end on its own line, within its statement.
#include "frontend/compile.h"

#include "core/errortext.h"
#include "core/itembuffers.h"
#include "core/sharedstate.h"
#include "core/vocabulary.h"
#include "frontend/compilerstate.h"
#include "frontend/compilestop.h"
#include "frontend/parse.h"
#include "frontend/prescan.h"
#include "frontend/scan.h"
#include "frontend/tokenizer.h"

namespace {

// The error position of a pre-scan or scan error, `position` being the one after the token in hand.
// After a line end (CR LF) that is the start of the next line: the error stands on the CR instead,
// just after the last character of the line it ends. (Included text carries the INCLUDE's position.)
int AfterToken(const CodeItemType& token, int position) {
    const int cr = position - 2; // 1-based
    if (token.FirstCode == CodeKind::Operator && token.SecondCode == Op::LineEnd && cr >= 1 &&
        cr <= Fe.CompiledProgramText.size() && Fe.CompiledProgramText.at(cr - 1) == QLatin1Char('\r'))
        return cr + 1;
    return position;
}

// A scan error is reported at the position of the scan's item in hand, the one after its token; a
// compiler error where the pre-code item read last begins, within the statement it compiled.
bool ScanFailed() {
    if (Fe.ErrorNumber == 0) return false;
    Fe.ErrorPosition = AfterToken(Cs.Scan.PreCodeItem, Cs.Scan.PreCodeItem.Position);
    return true;
}

bool ParseFailed() {
    if (Fe.ErrorNumber == 0) return false;
    Fe.ErrorPosition = ErrorPositionInStatement(Cs.Parse.PreCodeItem.Position, Cs.Parse.StatementPosition);
    return true;
}

} // namespace

bool CompileProgram() {
    // The text the positions of this compile are offsets in, whatever the program does to ProgramText.
    Fe.CompiledProgramText = Fe.ProgramText;
    Cs.CutShort = false;
    ResetSourcePos();
    Ib.PreCodeIndex = ProgramCodeStart;
    Fe.ErrorPosition = 0;
    PreScan();
    if (Fe.ErrorNumber != 0) {
        Fe.ErrorPosition = AfterToken(Rd.ScanToken, Rd.SourcePos);
        return false;
    }
    if (Cs.CutShort) return false;
    Ib.PreCodeIndex = ProgramCodeStart;
    Fe.ErrorPosition = 0;
    ScanProgram();
    if (ScanFailed() || Cs.CutShort) return false;
    InitCode();
    Ib.PreCodeIndex = ProgramCodeStart;
    Fe.ErrorPosition = 0;
    Ib.CodeIndex = ProgramCodeStart;
    ParseProgram();
    return !ParseFailed() && !Cs.CutShort;
}

bool CompileImmediate() {
    constexpr int ImmediateStart = 1;
    Cs.CutShort = false;
    ResetSourcePos();
    Fe.ErrorPosition = 0;
    ResetPreCode();
    Ib.PreCodeIndex = ImmediateStart;
    ScanProgram();
    if (ScanFailed() || Cs.CutShort) return false;
    ResetCode();
    Ib.PreCodeIndex = ImmediateStart;
    Ib.CodeIndex = ImmediateStart;
    ParseProgram();
    return !ParseFailed() && !Cs.CutShort;
}
