// The listing of the decoded side: every entry the run can reach, walked from the program's start and
// its entry points as the run meets them, with the operation's name and where it goes on.
#include "engine/decoded/listing.h"

#include "core/itembuffers.h"
#include "core/tables.h"
#include "engine/decoded/callshape.h"
#include "engine/decoded/decode.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

namespace {

const QString CrLf = QStringLiteral("\r\n");

// Whether an operation may go on at its Alternate as well as at its Next.
bool TakesAlternate(DecodedOp op) {
    return op == DecodedOp::Branch || op == DecodedOp::MidBranch || op == DecodedOp::EofBranch ||
           op == DecodedOp::ForNext;
}

QString OpName(DecodedOp op) {
    const std::string_view name = DecodedOpName(op);
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

// The procedure machinery: the entry runs the executor of its own item, at Next, which moves the
// cursor itself, so there is no one place where the run goes on.
bool RunsItsExecutor(const DecodedItem& entry) {
    return RunsOf(entry.Op) == DecodedRuns::Executor;
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
    if (!FitDecodedCode(limit)) return;

    Walk walk(limit);
    walk.Add(ProgramCodeStart);
    AddEntryPoints(walk);
    std::vector<int> decoded;
    int at = 0;
    while (walk.Next(at)) {
        const CodeItemType& item = Ib.CodeBuffer[static_cast<std::size_t>(at)];
        if (MayBeginDecoded(item.FirstCode, item.SecondCode)) {
            const DecodedItem* decodedEntry = DecodeItem(at, limit);
            if (decodedEntry && decodedEntry->Op != DecodedOp::Generic) {
                const DecodedItem& entry = *decodedEntry;
                decoded.push_back(at);
                if (RunsItsExecutor(entry)) {
                    walk.Add(entry.Next + 1); // the executor's item is at Next; the fetch goes on after it
                } else if (entry.Op == DecodedOp::Return) {
                    // where it goes is the return index on the stack, reached from its call
                } else {
                    if (entry.Op == DecodedOp::Call) walk.Add(CallReturnIndex(entry));
                    walk.Add(entry.Next);
                    if (TakesAlternate(entry.Op)) walk.Add(entry.Alternate);
                }
                continue;
            }
        }
        walk.Add(at + 1);
        if (item.FirstCode == CodeKind::JumpTarget) walk.Add(item.SecondCode);
    }

    std::sort(decoded.begin(), decoded.end());
    for (const int index : decoded) {
        const DecodedItem& entry = *DecodedEntry(index);
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
        if (TakesAlternate(entry.Op)) text += QStringLiteral(", else ") + QString::number(entry.Alternate);
        text += CrLf;
    }
}
