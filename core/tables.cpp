// The tables' one instance, Tb, their resets (which give large arrays' room back),
// the fixed constants, and the offset of an array element from its subscripts.
#include "core/tables.h"

constinit VariableTables Tb;

namespace {

// A table back to `count` entries of `value`, its storage given back: a reset after a run with large
// arrays must not keep their room.
template <typename T> void Fresh(std::vector<T>& table, std::size_t count, const T& value) {
    std::vector<T>(count, value).swap(table);
}

} // namespace

const std::array<Extended, FixedConstSlots + 1> NumConstTable = {0.0L,     0.0L,  1.0L, -1.0L,
                                                                 65535.0L, 10.0L, 0.5L};
const std::array<QString, FixedConstSlots + 1> StrConstTable = {QString(), QString(), QStringLiteral("? ")};
const std::array<std::uint8_t, 3> BoolConstTable = {0, 1, 0};

void ResetNumTbl() {
    Tb.NumofRegisteredNumCon = 0;
    Tb.NumofRegisteredNumVar = 0;
    Tb.NumofRegisteredANumVar = 0;
    Tb.NumofRegisteredFormVar = 0;
    Tb.NumofRegisteredLabel = 0;
    Tb.NumofRegisteredDataPtr = 0;
    Fresh(Tb.NumVarTable, 1, NumVarType{});
    Tb.NumVarNames.Clear();
    Tb.FormVarNames.Clear();
    Fresh(Tb.NumConTable, 1, 0.0L);
    Fresh(Tb.ANumVarTable, 1, 0.0L);
    Fresh(Tb.FormVarTable, 1, FormVarType{});
    Fresh(Tb.DataPtrTable, 1, 0);
    Fresh(Tb.LabelTable, 1, LabelType{});
}

void ResetLocalNumTbl() {
    Tb.NumofRegisteredLocalNumVar = 0;
    Fresh(Tb.LocalNumVarTable, 1, NumVarType{});
}

void ResetStrTbl() {
    Tb.NumofRegisteredStrCon = 0;
    Tb.NumofRegisteredStrVar = 0;
    Tb.NumofRegisteredAStrVar = 0;
    Fresh(Tb.StrVarTable, 1, StrVarType{});
    Tb.StrVarNames.Clear();
    Fresh(Tb.StrConTable, 2, QString());
    Fresh(Tb.AStrVarTable, 2, QString());
}

void ResetLocalStrTbl() {
    Tb.NumofRegisteredLocalStrVar = 0;
    Fresh(Tb.LocalStrVarTable, 1, StrVarType{});
}

void ResetBoolTbl() {
    Tb.NumofRegisteredBoolVar = 0;
    Tb.NumofRegisteredABoolVar = 0;
    Fresh(Tb.BoolVarTable, 1, BoolVarType{});
    Tb.BoolVarNames.Clear();
    Fresh(Tb.ABoolVarTable, 1, 0);
}

void VariableTables::Reset() {
    ResetNumTbl();
    ResetStrTbl();
    ResetBoolTbl();
    for (DcVarType& entry : DcVarTable)
        entry = DcVarType{};
    NumofRegisteredDcVar = 0;
}

Extended NumConValue(const CodeItemType& item) {
    if (item.FirstCode != CodeKind::NumLiteral) return 0.0L;
    const long at = static_cast<long>(item.SecondCode) + 1;
    if (at < 0 || at >= static_cast<long>(Tb.NumConTable.size())) return 0.0L;
    return Tb.NumConTable[static_cast<std::size_t>(at)];
}

long ArrayElementOffset(const std::int32_t* bounds1Based, int dimCount, const long* subscripts) {
    long offset = 0;
    long stride = 1;
    for (int d = 1; d <= dimCount; ++d) {
        const long bound = bounds1Based[d];
        const long i = subscripts[d - 1];
        if (i < 0 || i > bound) return -1;
        offset += i * stride;
        stride *= bound + 1;
    }
    return offset;
}
