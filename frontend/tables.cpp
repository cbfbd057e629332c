#include "frontend/tables.h"

constinit VariableTables Tb;

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
    Tb.NumVarTable.assign(1, NumVarType{});
    Tb.NumVarNames.Clear();
    Tb.FormVarNames.Clear();
    Tb.NumConTable.assign(1, 0.0L);
    Tb.ANumVarTable.assign(1, 0.0L);
    Tb.FormVarTable.assign(1, FormVarType{});
    Tb.DataPtrTable.assign(1, 0);
    Tb.LabelTable.assign(1, LabelType{});
}

void ResetLocalNumTbl() {
    Tb.NumofRegisteredLocalNumVar = 0;
    Tb.LocalNumVarTable.assign(1, NumVarType{});
}

void ResetStrTbl() {
    Tb.NumofRegisteredStrCon = 0;
    Tb.NumofRegisteredStrVar = 0;
    Tb.NumofRegisteredAStrVar = 0;
    Tb.StrVarTable.assign(1, StrVarType{});
    Tb.StrVarNames.Clear();
    Tb.StrConTable.assign(2, QString());
    Tb.AStrVarTable.assign(2, QString());
}

void ResetLocalStrTbl() {
    Tb.NumofRegisteredLocalStrVar = 0;
    Tb.LocalStrVarTable.assign(1, StrVarType{});
}

void ResetBoolTbl() {
    Tb.NumofRegisteredBoolVar = 0;
    Tb.NumofRegisteredABoolVar = 0;
    Tb.BoolVarTable.assign(1, BoolVarType{});
    Tb.BoolVarNames.Clear();
    Tb.ABoolVarTable.assign(1, 0);
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
