// The listing of the decoded side: every entry the run can reach, walked from the program's start and
// its entry points as the run meets them, with the operation's name, the operands its row of
// engine/decoded/ops.h lists and where it goes on; then what each operation met does, from its row.
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

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// The name of a decoded entry's target: a numeric variable, an array with "()", a string variable (its
// name holds its "$").
QString NumberTargetName(const NumVarType* record) {
    if (!record) return {};
    return record->DimCount != 0 ? record->Name + QStringLiteral("()") : record->Name;
}
QString StringTargetName(const StrVarType* record) {
    return record ? record->Name : QString();
}

// The statements an OnStack entry runs, as the listing names them.
QString StackedName(StackedStatement inner) {
    switch (inner) {
    case StackedStatement::Values: return QStringLiteral("Values");
    case StackedStatement::Let: return QStringLiteral("Let");
    case StackedStatement::LetElement: return QStringLiteral("LetElement");
    case StackedStatement::Branch: return QStringLiteral("Branch");
    case StackedStatement::Join: return QStringLiteral("Join");
    }
    return {};
}

// The variable an entry assigns or reads: a string for the text entries and an OnStack join, none for an
// OnStack entry whose statement assigns nothing, a number otherwise.
QString TargetName(const DecodedItem& entry) {
    if (entry.Op == DecodedOp::AppendChr || entry.Op == DecodedOp::AppendPiece ||
        entry.Op == DecodedOp::MidBranch || entry.Op == DecodedOp::LetText)
        return StringTargetName(entry.Target.String);
    if (entry.Op != DecodedOp::OnStack) return NumberTargetName(entry.Target.Number);
    switch (entry.Inner) {
    case StackedStatement::Let:
    case StackedStatement::LetElement: return NumberTargetName(entry.Target.Number);
    case StackedStatement::Join: return StringTargetName(entry.Target.String);
    default: return {};
    }
}

// The operands of an entry that its row lists, each after a comma but the target, which follows the name.
QString OperandsText(const DecodedItem& entry) {
    const std::uint16_t listed = RowOf(entry.Op).Listed;
    QString text;
    if (listed & ListedOperands::Target) {
        const QString name = TargetName(entry);
        if (!name.isEmpty()) text += QLatin1Char(' ') + name;
    }
    if (listed & ListedOperands::Count)
        text += QStringLiteral(", count ") + QString::number(entry.ValueCount);
    if (listed & ListedOperands::Stacked)
        text += QStringLiteral(", on ") + QString::number(entry.Stacked) + QStringLiteral(" stacked: ") +
                StackedName(entry.Inner);
    if (listed & ListedOperands::Item) text += QStringLiteral(", item ") + QString::number(entry.Next);
    if (listed & ListedOperands::Value) text += QStringLiteral(", value ") + QString::number(entry.Value);
    if (listed & ListedOperands::Next) text += QStringLiteral(", next ") + QString::number(entry.Next);
    if (listed & ListedOperands::Return)
        text += QStringLiteral(", return ") + QString::number(CallReturnIndex(entry));
    if (listed & ListedOperands::Else) text += QStringLiteral(", else ") + QString::number(entry.Alternate);
    if (listed & ListedOperands::ToReturnIndex) text += QStringLiteral(", to the return index");
    return text;
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
                // Where the run goes on, as the row lists it; an entry that goes to the return index on
                // the stack adds nothing, since that index is reached from its call.
                const std::uint16_t listed = RowOf(entry.Op).Listed;
                if (listed & ListedOperands::Item)
                    walk.Add(entry.Next + 1); // the executor's item is at Next; the fetch goes on after it
                if (listed & ListedOperands::Next) walk.Add(entry.Next);
                if (listed & ListedOperands::Return) walk.Add(CallReturnIndex(entry));
                if (listed & ListedOperands::Else) walk.Add(entry.Alternate);
                continue;
            }
        }
        walk.Add(at + 1);
        if (item.FirstCode == CodeKind::JumpTarget) walk.Add(item.SecondCode);
    }

    std::sort(decoded.begin(), decoded.end());
    std::vector<bool> met(DecodedOps::Rows.size(), false);
    for (const int index : decoded) {
        const DecodedItem& entry = *DecodedEntry(index);
        text += QLatin1Char('[') + QString::number(index) + QLatin1Char(':') +
                QString::number(Ib.CodeBuffer[static_cast<std::size_t>(index)].Position) + QLatin1Char(']') +
                Latin1(RowOf(entry.Op).Name) + OperandsText(entry) + CrLf;
        met[static_cast<std::size_t>(entry.Op)] = true;
    }
    // What the operations met do and which items each replaces, in the table's order.
    for (std::size_t k = 0; k < met.size(); ++k) {
        if (!met[k]) continue;
        const DecodedOpRow& row = DecodedOps::Rows[k];
        text += Latin1(row.Name) + QStringLiteral(": ") + Latin1(row.What) +
                QStringLiteral("; in place of ") + Latin1(row.Replaces) + CrLf;
    }
}
