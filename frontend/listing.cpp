#include "frontend/listing.h"

#include "frontend/internalcodes.h"
#include "frontend/itembuffers.h"
#include "frontend/sharedstate.h"
#include "frontend/tables.h"
#include "frontend/vocabulary.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

namespace {

const QString CrLf = QStringLiteral("\r\n");

QString FromTable(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// What an item whose kind has no text of its own, or whose value names nothing, lists as.
QString RawItemText(const CodeItemType& item) {
    return QStringLiteral("FirstCode=") + QString::number(item.FirstCode) + QStringLiteral(",SecondCode=") +
           QString::number(item.SecondCode);
}

// A value rounded to the nearest integer (halves to even), in full decimal digits.
QString RoundedText(Extended value) {
    if (std::isnan(value)) return QStringLiteral("NAN");
    if (std::isinf(value)) return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    const Extended rounded = std::nearbyint(value);
    constexpr Extended Int64Limit = 9223372036854775808.0L; // 2^63
    if (rounded > -Int64Limit && rounded < Int64Limit)
        return QString::number(static_cast<long long>(rounded)); // also makes -0 plain 0
    const int size = std::snprintf(nullptr, 0, "%.0Lf", rounded);
    if (size <= 0) return QString();
    std::string digits(static_cast<std::size_t>(size) + 1, '\0');
    std::snprintf(digits.data(), digits.size(), "%.0Lf", rounded);
    digits.resize(static_cast<std::size_t>(size));
    return QString::fromStdString(digits);
}

template <typename Table> bool InTable(const Table& table, int count, int index) {
    return index >= 1 && index <= count && index < static_cast<int>(table.size());
}

// Internal statement codes that list by name rather than by number.
QString InternalStatementName(int code) {
    switch (code) {
    case InSt::FunctionEnd: return QStringLiteral("FunctionEnd");
    case InSt::GlPop: return QStringLiteral("GlPop");
    case InSt::GlPush: return QStringLiteral("GlPush");
    case InSt::LoPop: return QStringLiteral("LoPop");
    case InSt::LoPopAll: return QStringLiteral("LoPopAll");
    case InSt::LoPush: return QStringLiteral("LoPush");
    case InSt::LoPushAll: return QStringLiteral("LoPushAll");
    case InSt::SubEnd: return QStringLiteral("SubEnd");
    case InSt::SubJump: return QStringLiteral("SubJump");
    case InSt::SubStart: return QStringLiteral("SubStart");
    default: return QStringLiteral("InnerSt") + QString::number(code);
    }
}

QString NumVarText(const CodeItemType& item) {
    const int n = item.SecondCode;
    if (!InTable(Tb.NumVarTable, Tb.NumofRegisteredNumVar, n)) return RawItemText(item);
    const NumVarType& record = Tb.NumVarTable[static_cast<std::size_t>(n)];
    switch (record.Kind) {
    case NumVarKind::Variable: return u'#' + record.Name;
    case NumVarKind::Label: return u'*' + record.Name;
    case NumVarKind::SubName: return u'%' + record.Name;
    case NumVarKind::DefFunction: return u'&' + record.Name;
    default: return record.Name;
    }
}

QString BoolVarText(const CodeItemType& item) {
    const int n = item.SecondCode;
    if (!InTable(Tb.BoolVarTable, Tb.NumofRegisteredBoolVar, n)) return RawItemText(item);
    const BoolVarType& record = Tb.BoolVarTable[static_cast<std::size_t>(n)];
    switch (record.Kind) {
    case BoolVarKind::Variable: return u'@' + record.Name;
    case BoolVarKind::FunctionName: return u'%' + record.Name;
    case BoolVarKind::UserFunction: return u'&' + record.Name;
    default: return record.Name;
    }
}

void AppendLine(QString& text, int index, const CodeItemType& item) {
    QString itemText;
    CodeItemText(item, itemText);
    text += u'[' + QString::number(index) + u':' + QString::number(item.Position) + u']' + itemText;
}

} // namespace

void CodeItemText(const CodeItemType& item, QString& text) {
    const int n = item.SecondCode;
    const QString number = QString::number(n);
    switch (item.FirstCode) {
    case CodeKind::End:
        text = n == Op::LineEnd ? QStringLiteral("EOF") + CrLf : QStringLiteral("EOF");
        return;
    case CodeKind::Operator:
        if (n == Op::LineEnd)
            text = CrLf;
        else if (n >= 1 && n <= OperatorCount)
            text = FromTable(OperatorNames[static_cast<std::size_t>(n)]);
        else
            text = RawItemText(item);
        return;
    case CodeKind::Function:
        if (n >= InFn::First)
            text = QStringLiteral("InnerFn") + number;
        else if (n >= 1)
            text = FromTable(FunctionNames[static_cast<std::size_t>(n)]);
        else
            text = RawItemText(item);
        return;
    case CodeKind::Statement:
        if (n >= InSt::First)
            text = InternalStatementName(n);
        else if (n >= 1)
            text = FromTable(StatementNames[static_cast<std::size_t>(n)]);
        else
            text = RawItemText(item);
        return;
    case CodeKind::SysNumConst:
        text = n >= 1 && n <= FixedConstSlots ? RoundedText(NumConstTable[static_cast<std::size_t>(n)])
                                              : RawItemText(item);
        return;
    case CodeKind::NumLiteral:
        text = InTable(Tb.NumConTable, Tb.NumofRegisteredNumCon, n + 1) ? RoundedText(NumConValue(item))
                                                                        : RawItemText(item);
        return;
    case CodeKind::NumVar: text = NumVarText(item); return;
    case CodeKind::LocalNumVar: text = u'L' + number; return;
    case CodeKind::NumArray:
        text = InTable(Tb.NumVarTable, Tb.NumofRegisteredNumVar, n)
                   ? QStringLiteral("NumArrVar(") + Tb.NumVarTable[static_cast<std::size_t>(n)].Name + u')'
                   : RawItemText(item);
        return;
    case CodeKind::StrLiteral:
        // Entry 1 is also the pre-scan's scratch literal, so it counts even before any literal.
        text = n >= 1 && n < static_cast<int>(Tb.StrConTable.size())
                   ? Tb.StrConTable[static_cast<std::size_t>(n)]
                   : RawItemText(item);
        return;
    case CodeKind::StrVar:
        text = InTable(Tb.StrVarTable, Tb.NumofRegisteredStrVar, n)
                   ? Tb.StrVarTable[static_cast<std::size_t>(n)].Name + u'$'
                   : RawItemText(item);
        return;
    case CodeKind::LocalStrVar: text = u'L' + number + u'$'; return;
    case CodeKind::StrArray:
        text = InTable(Tb.StrVarTable, Tb.NumofRegisteredStrVar, n)
                   ? QStringLiteral("StrArrVar(") + Tb.StrVarTable[static_cast<std::size_t>(n)].Name + u')'
                   : RawItemText(item);
        return;
    case CodeKind::BoolConst:
        text = n == BoolConstTrue    ? QStringLiteral("BCTrue")
               : n == BoolConstFalse ? QStringLiteral("BCFalse")
                                     : QString();
        return;
    case CodeKind::BoolVar: text = BoolVarText(item); return;
    case CodeKind::ExprOpen:
    case CodeKind::ExprClose: text = QStringLiteral("$"); return;
    case CodeKind::JumpTarget: text = number; return;
    case CodeKind::PrintSep: text = n == PrintSepEnd ? QStringLiteral("^PrintCR") : u'^' + number; return;
    case CodeKind::PrintFileSep:
        text = n == Op::Comma     ? QStringLiteral("^Print#,")
               : n == PrintSepEnd ? QStringLiteral("^Print#CR")
                                  : QString();
        return;
    case CodeKind::PublicNum: text = QStringLiteral("ANV") + number; return;
    case CodeKind::PublicStr: text = QStringLiteral("ASV") + number; return;
    case CodeKind::FormulaVar:
        text = InTable(Tb.FormVarTable, Tb.NumofRegisteredFormVar, n)
                   ? Tb.FormVarTable[static_cast<std::size_t>(n)].Name + u'@'
                   : RawItemText(item);
        return;
    case CodeKind::NumArgBind: text = QStringLiteral("PoPL") + number; return;
    case CodeKind::StrArgBind: text = QStringLiteral("PoPL") + number + u'$'; return;
    case CodeKind::FrameCountB: text = QStringLiteral("NLBV") + number; return;
    case CodeKind::FrameCountN: text = QStringLiteral("NLNV") + number; return;
    case CodeKind::FrameCountS: text = QStringLiteral("NLSV") + number; return;
    case CodeKind::SubFrame: text = QStringLiteral("LBVP") + number; return;
    case CodeKind::SubFrameN: text = QStringLiteral("LNVP") + number; return;
    case CodeKind::SubFrameS: text = QStringLiteral("LSVP") + number; return;
    case CodeKind::SubBegin: text = QStringLiteral("SubBegin"); return;
    case CodeKind::SubEndMark: text = QStringLiteral("SubEnd"); return;
    case CodeKind::DummyCode: text = QStringLiteral("DummyCode"); return;
    default: text = RawItemText(item); return;
    }
}

void PreCodeListing(QString& text) {
    text.clear();
    CodeItemType item;
    Ib.PreCodeIndex = ProgramCodeStart;
    GetPreCode(item);
    while (Ib.PreCodeIndex <= Ib.CurrentmaxPreCodeNum) {
        AppendLine(text, Ib.PreCodeIndex - 1, item);
        GetPreCode(item);
    }
    text += CrLf;
}

void CodeListing(QString& text) {
    text.clear();
    CodeItemType item;
    Ib.CodeIndex = ProgramCodeStart;
    for (;;) {
        const int index = Ib.CodeIndex;
        GetCode(item);
        // A fetch past CodeLimit does not advance; without this the listing would never end.
        if (Ib.CodeIndex == index) break;
        AppendLine(text, index, item);
        if (item.FirstCode == CodeKind::End || Ib.CodeIndex > Ib.CurrentmaxCodeNum) break;
    }
    text += CrLf;
}
