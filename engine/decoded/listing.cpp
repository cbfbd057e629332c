#include "engine/decoded/listing.h"

#include "engine/decoded/calls.h"
#include "engine/decoded/decode.h"
#include "frontend/itembuffers.h"
#include "frontend/tables.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

const QString CrLf = QStringLiteral("\r\n");

QString OpName(std::uint8_t op) {
    switch (op) {
    case DecodedOp::LetNumber: return QStringLiteral("LetNumber");
    case DecodedOp::LetElement: return QStringLiteral("LetElement");
    case DecodedOp::Branch: return QStringLiteral("Branch");
    case DecodedOp::Jump: return QStringLiteral("Jump");
    case DecodedOp::PushValues: return QStringLiteral("PushValues");
    case DecodedOp::AppendChr: return QStringLiteral("AppendChr");
    case DecodedOp::PopNumbers: return QStringLiteral("PopNumbers");
    case DecodedOp::PushNumbers: return QStringLiteral("PushNumbers");
    case DecodedOp::SaveLocals: return QStringLiteral("SaveLocals");
    case DecodedOp::RestoreLocals: return QStringLiteral("RestoreLocals");
    case DecodedOp::SubJump: return QStringLiteral("SubJump");
    case DecodedOp::SubFrame: return QStringLiteral("SubFrame");
    case DecodedOp::EndSub: return QStringLiteral("EndSub");
    case DecodedOp::FrameSizes: return QStringLiteral("FrameSizes");
    case DecodedOp::FunctionReturn: return QStringLiteral("FunctionReturn");
    case DecodedOp::ForNext: return QStringLiteral("ForNext");
    case DecodedOp::LetElementLiteral: return QStringLiteral("LetElementLiteral");
    case DecodedOp::LetUpdate: return QStringLiteral("LetUpdate");
    case DecodedOp::Call: return QStringLiteral("Call");
    case DecodedOp::Enter: return QStringLiteral("Enter");
    case DecodedOp::Return: return QStringLiteral("Return");
    case DecodedOp::ReturnSite: return QStringLiteral("ReturnSite");
    default: return QStringLiteral("Op") + QString::number(op);
    }
}

// The procedure machinery: the entry runs the executor of its own item, at Next, which moves the
// cursor itself, so there is no one place where the run goes on.
bool RunsItsExecutor(const DecodedItem& entry) {
    if (entry.Next < 0 || static_cast<std::size_t>(entry.Next) >= Ib.CodeBuffer.size()) return false;
    const CodeItemType& item = Ib.CodeBuffer[static_cast<std::size_t>(entry.Next)];
    return entry.Op != DecodedOp::Generic && ProcedureOp(item.FirstCode, item.SecondCode) == entry.Op;
}

// The indices the run can reach, walked as the run loop meets them: from the program's start, the
// bodies of procedures and labels, and every jump target on the way; past a decoded entry only where it
// goes on, since the items it covers are never fetched one by one.
class Walk {
public:
    explicit Walk(int limit) : limit_(limit), seen_(static_cast<std::size_t>(limit) + 1, false) {}

    void Add(long at) {
        if (at < ProgramCodeStart || at > limit_ || seen_[static_cast<std::size_t>(at)]) return;
        seen_[static_cast<std::size_t>(at)] = true;
        pending_.push_back(static_cast<int>(at));
    }

    bool Next(int& at) {
        if (pending_.empty()) return false;
        at = pending_.back();
        pending_.pop_back();
        return true;
    }

private:
    int limit_;
    std::vector<bool> seen_;
    std::vector<int> pending_;
};

// Where procedures, DEF functions and labels begin: reached by calls and jumps through their names.
void AddEntryPoints(Walk& walk) {
    for (const NumVarType& record : Tb.NumVarTable)
        if (record.Kind == NumVarKind::Label || record.Kind == NumVarKind::FunctionName ||
            record.Kind == NumVarKind::SubName || record.Kind == NumVarKind::DefFunction)
            walk.Add(record.Base);
    for (const StrVarType& record : Tb.StrVarTable)
        if (record.Kind == StrVarKind::FunctionName || record.Kind == StrVarKind::DefFunction)
            walk.Add(record.Base);
    for (const BoolVarType& record : Tb.BoolVarTable)
        if (record.Kind == BoolVarKind::FunctionName || record.Kind == BoolVarKind::UserFunction)
            walk.Add(record.Base);
}

} // namespace

void DecodedListing(QString& text) {
    text = QStringLiteral("decoded:") + CrLf;
    const int limit = Ib.CodeLimit;
    if (limit < ProgramCodeStart || limit > Ib.CurrentmaxCodeNum) return;
    NoteCodeChanged();
    FitDecodedCode();

    Walk walk(limit);
    walk.Add(ProgramCodeStart);
    AddEntryPoints(walk);
    std::vector<int> decoded;
    int at = 0;
    while (walk.Next(at)) {
        const CodeItemType& item = Ib.CodeBuffer[static_cast<std::size_t>(at)];
        if (MayBeginDecoded(item.FirstCode, item.SecondCode)) {
            const DecodedItem& entry = DecodeItem(at, limit);
            if (entry.Op != DecodedOp::Generic) {
                decoded.push_back(at);
                if (RunsItsExecutor(entry)) {
                    walk.Add(entry.Next + 1); // the executor's item is at Next; the fetch goes on after it
                } else if (entry.Op == DecodedOp::Return) {
                    // where it goes is the return index on the stack, reached from its call
                } else {
                    if (entry.Op == DecodedOp::Call) walk.Add(CallReturnIndex(entry));
                    walk.Add(entry.Next);
                    if (entry.Op == DecodedOp::Branch || entry.Op == DecodedOp::ForNext)
                        walk.Add(entry.Alternate);
                }
                continue;
            }
        }
        walk.Add(at + 1);
        if (item.FirstCode == CodeKind::JumpTarget) walk.Add(item.SecondCode);
    }

    std::sort(decoded.begin(), decoded.end());
    for (const int index : decoded) {
        const DecodedItem& entry = DecodedCode[static_cast<std::size_t>(index)];
        text += QLatin1Char('[') + QString::number(index) + QLatin1Char(':') +
                QString::number(Ib.CodeBuffer[static_cast<std::size_t>(index)].Position) + QLatin1Char(']') +
                OpName(entry.Op);
        if (entry.Op == DecodedOp::PushValues || entry.Op == DecodedOp::PopNumbers ||
            entry.Op == DecodedOp::PushNumbers || entry.Op == DecodedOp::Call)
            text += QLatin1Char(' ') + QString::number(entry.ValueCount);
        if (entry.Op == DecodedOp::Return)
            text += QStringLiteral(", to the return index");
        else if (!RunsItsExecutor(entry))
            text += QStringLiteral(", next ") + QString::number(entry.Next);
        if (entry.Op == DecodedOp::Call)
            text += QStringLiteral(", return ") + QString::number(CallReturnIndex(entry));
        if (entry.Op == DecodedOp::Branch || entry.Op == DecodedOp::ForNext)
            text += QStringLiteral(", else ") + QString::number(entry.Alternate);
        text += CrLf;
    }
}
