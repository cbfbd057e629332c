// PRINT USING and the number texts. The input is a format, then the values for its fields (each a
// number of any class the arithmetic can make, or a text), then the precision of PRINT. The format is
// laid out both ways (PRINT USING and PRINT# USING); each number is also written in the general format
// at every precision, in FLOATTOSTR's form and in the shortest form, and each text is read back as a
// number the ways VAL and INPUT read it.
#include "fuzzinput.h"

#include "core/sharedstate.h"
#include "core/valuestack.h"
#include "engine/filechannels.h"
#include "engine/formulaexec.h"
#include "engine/numberformat.h"
#include "engine/printusing.h"
#include "engine/strfunctions.h"
#include "frontend/initall.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <variant>
#include <vector>

namespace {

// More values than any useful format takes: the walk over the format must stop when they run out.
constexpr std::size_t MaxValues = 12;
constexpr int PrecisionChoices = MaxGeneralDigits + 3; // 0 and beyond 18 are held to the range

using Value = std::variant<Extended, QString>;

void PushValues(const std::vector<Value>& values) {
    GlClear();
    // The first field's value is on top.
    for (auto it = values.rbegin(); it != values.rend(); ++it) {
        if (const Extended* number = std::get_if<Extended>(&*it)) {
            GlPushNum(*number);
        } else {
            GlPushStr(std::get<QString>(*it));
        }
    }
}

void WriteNumber(Extended value) {
    for (int precision = 0; precision < PrecisionChoices; ++precision)
        GeneralNumberText(value, precision);
    FormatNumber(value);
    QString text;
    ScientificText18(value, text);
    ShortestNumberText(value);
}

void ReadNumber(const QString& text) {
    ValText(text);
    Extended value;
    TextToReal(text, value);
    SplitNumberText(text);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    InitAll();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const QString format = input.Text();
    Ps.PrintPrecision = input.Byte() % PrecisionChoices;
    std::vector<Value> values;
    while (!input.Empty() && values.size() < MaxValues) {
        if (input.Byte() % 2 == 0) {
            values.emplace_back(input.Number());
        } else {
            values.emplace_back(input.Text());
        }
    }

    for (const UsingWidePairs pairs : {UsingWidePairs::Keep, UsingWidePairs::Ignore}) {
        PushValues(values);
        Fe.ErrorNumber = 0;
        QString out;
        FormatUsing(format, out, pairs);
    }
    GlClear();
    Fe.ErrorNumber = 0;
    for (const Value& value : values) {
        if (const Extended* number = std::get_if<Extended>(&value)) {
            WriteNumber(*number);
        } else {
            ReadNumber(std::get<QString>(value));
        }
    }
    ReadNumber(format);
    return 0;
}
