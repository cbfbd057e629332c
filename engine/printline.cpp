// The run window's line writer: the pending PRINT line, its zones and TAB, and the finished lines
// handed to the run-window queue.
#include "engine/printline.h"

#include "core/errornumbers.h"
#include "core/raiseerror.h"
#include "core/sharedstate.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/enginestate.h"
#include "engine/numberformat.h"
#include "engine/runwindowqueue.h"

#include <cmath>
#include <optional>

namespace {
constexpr int ZoneExtra = 5; // a print zone is PrintPrecision + 5 characters wide
constexpr Extended MaxTabColumn = 120;

// Ends the pending line with `text` and hands it to the run window as a line of kind `op`.
void FlushLineAs(RunWindowOp op, const QString& text) {
    Eng.PrintLine += text;
    RunWindowEvent event;
    event.Op = op;
    event.Text = std::move(Eng.PrintLine);
    Eng.PrintLine = QString();
    RunWindowQueue::Instance().Push(std::move(event));
}
} // namespace

void AppendPrintText(const QString& text) {
    Eng.PrintLine += text;
}

void PrintNextZone() {
    const qsizetype width = Ps.PrintPrecision + ZoneExtra;
    const qsizetype length = Eng.PrintLine.size();
    const qsizetype target = (length / width + 1) * width;
    Eng.PrintLine.append(QString(target - length, QLatin1Char(' ')));
}

void PrintWidth() {
    Extended n = GlPopNum();
    if (Fe.ErrorNumber != 0) return;
    if (!(n < MaxTabColumn)) n = MaxTabColumn; // also catches NaN
    const Extended column = std::trunc(n);
    if (column > static_cast<Extended>(Eng.PrintLine.size()))
        Eng.PrintLine.append(
            QString(static_cast<qsizetype>(column) - Eng.PrintLine.size(), QLatin1Char(' ')));
}

void FlushPrintLine(const QString& text) {
    FlushLineAs(RunWindowOp::AppendLine, text);
}

void FlushInputEchoLine(const QString& text) {
    FlushLineAs(RunWindowOp::AppendEchoLine, text);
}

// PRINT value
namespace {
// The one switch over the types PRINT shows, inlined into PRINT itself, the hot one of its users.
[[gnu::always_inline]] inline std::optional<QString> PopAsPrintText() {
    switch (GlTopType()) {
    case GlValueType::Number: return FormatNumber(GlPopNum());
    case GlValueType::String: {
        std::optional<QString> text(std::in_place);
        GlPopStr(*text);
        return text;
    }
    case GlValueType::Boolean: return GlPopBool() ? QStringLiteral("True") : QStringLiteral("False");
    default: return std::nullopt;
    }
}
} // namespace

std::optional<QString> PopValueAsPrintText() {
    return PopAsPrintText();
}

void ExecPrint() {
    if (const std::optional<QString> text = PopAsPrintText()) {
        AppendPrintText(*text);
        return;
    }
    if (GlTopType() == GlValueType::NumberAlt)
        PrintWidth();
    else
        RaiseError(Err::StatementType, St::PRINT);
}
