// The listings of pre-code and code: each item's text by its kind, a line per item from slot 101.
#include "frontend/listing.h"

#include "core/internalcodes.h"
#include "core/itembuffers.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/vocabulary.h"

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

QString InternalFunctionName(int code) {
    return QStringLiteral("InnerFn") + QString::number(code);
}

// A statement or function item: a word's code by its word, any other code by its internal name.
QString CodeName(const CodeItemType& item, std::u16string_view word, QString (*internalName)(int)) {
    if (!word.empty()) return FromTable(word);
    if (item.SecondCode >= 1) return internalName(item.SecondCode);
    return RawItemText(item);
}

// The sign the listing puts before a numeric or boolean variable's name for its kind; 0: none.
char16_t NumVarSign(int kind) {
    switch (kind) {
    case NumVarKind::Variable: return u'#';
    case NumVarKind::Label: return u'*';
    case NumVarKind::SubName: return u'%';
    case NumVarKind::DefFunction: return u'&';
    default: return 0;
    }
}

char16_t BoolVarSign(int kind) {
    switch (kind) {
    case BoolVarKind::Variable: return u'@';
    case BoolVarKind::FunctionName: return u'%';
    case BoolVarKind::UserFunction: return u'&';
    default: return 0;
    }
}

// A name from `table` between `before` and `after`; the raw item when the number is outside the table.
template <typename Table>
QString TableName(const CodeItemType& item, const Table& table, int count, QStringView before,
                  QStringView after) {
    const int n = item.SecondCode;
    if (!InTable(table, count, n)) return RawItemText(item);
    QString text = before.toString();
    text += table[static_cast<std::size_t>(n)].Name;
    text += after;
    return text;
}

// A variable of `table` with its kind's sign before the name; the raw item when the number is outside
// the table.
template <typename Table>
QString SignedVarText(const CodeItemType& item, const Table& table, int count, char16_t (*signOf)(int)) {
    const int n = item.SecondCode;
    if (!InTable(table, count, n)) return RawItemText(item);
    const auto& record = table[static_cast<std::size_t>(n)];
    const char16_t sign = signOf(record.Kind);
    return sign != 0 ? QChar(sign) + record.Name : record.Name;
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
    case CodeKind::Function: text = CodeName(item, FunctionWord(n), InternalFunctionName); return;
    case CodeKind::Statement: text = CodeName(item, StatementWord(n), InternalStatementName); return;
    case CodeKind::SysNumConst:
        text = n >= 1 && n <= FixedConstSlots ? RoundedText(NumConstTable[static_cast<std::size_t>(n)])
                                              : RawItemText(item);
        return;
    case CodeKind::NumLiteral:
        text = InTable(Tb.NumConTable, Tb.NumofRegisteredNumCon, n + 1) ? RoundedText(NumConValue(item))
                                                                        : RawItemText(item);
        return;
    case CodeKind::NumVar:
        text = SignedVarText(item, Tb.NumVarTable, Tb.NumofRegisteredNumVar, NumVarSign);
        return;
    case CodeKind::LocalNumVar: text = u'L' + number; return;
    case CodeKind::NumArray:
        text = TableName(item, Tb.NumVarTable, Tb.NumofRegisteredNumVar, u"NumArrVar(", u")");
        return;
    case CodeKind::StrLiteral:
        // Entry 1 is also the pre-scan's scratch literal, so it counts even before any literal.
        text = n >= 1 && n < static_cast<int>(Tb.StrConTable.size())
                   ? Tb.StrConTable[static_cast<std::size_t>(n)]
                   : RawItemText(item);
        return;
    case CodeKind::StrVar:
        text = TableName(item, Tb.StrVarTable, Tb.NumofRegisteredStrVar, u"", u"$");
        return;
    case CodeKind::LocalStrVar: text = u'L' + number + u'$'; return;
    case CodeKind::StrArray:
        text = TableName(item, Tb.StrVarTable, Tb.NumofRegisteredStrVar, u"StrArrVar(", u")");
        return;
    case CodeKind::BoolConst:
        text = n == BoolConstTrue    ? QStringLiteral("BCTrue")
               : n == BoolConstFalse ? QStringLiteral("BCFalse")
                                     : QString();
        return;
    case CodeKind::BoolVar:
        text = SignedVarText(item, Tb.BoolVarTable, Tb.NumofRegisteredBoolVar, BoolVarSign);
        return;
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
        text = TableName(item, Tb.FormVarTable, Tb.NumofRegisteredFormVar, u"", u"@");
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
