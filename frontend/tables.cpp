#include "frontend/tables.h"

std::vector<Extended> NumConTable;
int NumofRegisteredNumCon = 0;
std::vector<NumVarType> NumVarTable;
int NumofRegisteredNumVar = 0;
std::vector<Extended> ANumVarTable;
int NumofRegisteredANumVar = 0;
std::vector<FormVarType> FormVarTable;
int NumofRegisteredFormVar = 0;
std::vector<std::int32_t> DataPtrTable;
int NumofRegisteredDataPtr = 0;
std::vector<LabelType> LabelTable;
int NumofRegisteredLabel = 0;
std::vector<NumVarType> LocalNumVarTable;
int NumofRegisteredLocalNumVar = 0;

std::vector<QString> StrConTable;
int NumofRegisteredStrCon = 0;
std::vector<StrVarType> StrVarTable;
int NumofRegisteredStrVar = 0;
std::vector<QString> AStrVarTable;
int NumofRegisteredAStrVar = 0;
std::vector<StrVarType> LocalStrVarTable;
int NumofRegisteredLocalStrVar = 0;

std::vector<BoolVarType> BoolVarTable;
int NumofRegisteredBoolVar = 0;
std::vector<std::int32_t> ABoolVarTable;
int NumofRegisteredABoolVar = 0;

std::array<DcVarType, DcVarCapacity + 1> DcVarTable;
int NumofRegisteredDcVar = 0;

std::array<NumVarType, PublicSlotCount + 1> PublicNumTable;
std::array<StrVarType, PublicSlotCount + 1> PublicStrTable;
std::array<BoolVarType, PublicSlotCount + 1> PublicBoolTable;

const std::array<Extended, FixedConstSlots + 1> NumConstTable = {0.0L,     0.0L,  1.0L, -1.0L,
                                                                 65535.0L, 10.0L, 0.5L};
const std::array<QString, FixedConstSlots + 1> StrConstTable = {QString(), QString(), QStringLiteral("? ")};
const std::array<std::uint8_t, 3> BoolConstTable = {0, 1, 0};

void ResetNumTbl() {
    NumofRegisteredNumCon = 0;
    NumofRegisteredNumVar = 0;
    NumofRegisteredANumVar = 0;
    NumofRegisteredFormVar = 0;
    NumofRegisteredLabel = 0;
    NumofRegisteredDataPtr = 0;
    NumVarTable.assign(1, NumVarType{});
    NumConTable.assign(1, 0.0L);
    ANumVarTable.assign(1, 0.0L);
    FormVarTable.assign(1, FormVarType{});
    DataPtrTable.assign(1, 0);
    LabelTable.assign(1, LabelType{});
}

void ResetLocalNumTbl() {
    NumofRegisteredLocalNumVar = 0;
    LocalNumVarTable.assign(1, NumVarType{});
}

void ResetStrTbl() {
    NumofRegisteredStrCon = 0;
    NumofRegisteredStrVar = 0;
    NumofRegisteredAStrVar = 0;
    StrVarTable.assign(1, StrVarType{});
    StrConTable.assign(2, QString());
    AStrVarTable.assign(2, QString());
}

void ResetLocalStrTbl() {
    NumofRegisteredLocalStrVar = 0;
    LocalStrVarTable.assign(1, StrVarType{});
}

void ResetBoolTbl() {
    NumofRegisteredBoolVar = 0;
    NumofRegisteredABoolVar = 0;
    BoolVarTable.assign(1, BoolVarType{});
    ABoolVarTable.assign(1, 0);
}

Extended NumConValue(const CodeItemType& item) {
    if (item.FirstCode != CodeKind::NumLiteral) return 0.0L;
    const long at = static_cast<long>(item.SecondCode) + 1;
    if (at < 0 || at >= static_cast<long>(NumConTable.size())) return 0.0L;
    return NumConTable[static_cast<std::size_t>(at)];
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
