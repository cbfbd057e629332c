// The one item shape of the language: tokens, pre-code, final code and formula code are all
// CodeItemType records, {kind, value, source position}. CodeKind names the kinds.
#pragma once

#include <cstdint>

struct CodeItemType {
    std::int32_t FirstCode = 0;  // the item kind (CodeKind)
    std::int32_t SecondCode = 0; // an index or code qualified by the kind
    std::int32_t Position = 0;   // 1-based character offset in the compiled text

    friend bool operator==(const CodeItemType&, const CodeItemType&) = default;
};

namespace CodeKind {
inline constexpr int End = -1;          // end of the program or of an immediate command
inline constexpr int None = 0;          // no item
inline constexpr int Operator = 1;      // OperatorNames slot
inline constexpr int Function = 2;      // a function word's code, internal code or property/setting code
inline constexpr int FunctionName = 4;  // tokenizer only: a name just declared as FUNCTION or DEF
inline constexpr int SubName = 5;       // tokenizer only: a name just declared as SUB
inline constexpr int Statement = 6;     // a statement word's code or internal code (InSt)
inline constexpr int SysNumConst = 7;   // NumConstTable slot
inline constexpr int SysStrConst = 8;   // StrConstTable slot
inline constexpr int NumLiteral = 11;   // NumConTable index (value is entry SecondCode + 1)
inline constexpr int NumVar = 12;       // NumVarTable index
inline constexpr int LocalNumVar = 13;  // slot in the current frame of LocalNumVarTable
inline constexpr int NumArray = 14;     // NumVarTable index of an array
inline constexpr int StrLiteral = 21;   // StrConTable index
inline constexpr int StrVar = 22;       // StrVarTable index
inline constexpr int LocalStrVar = 23;  // slot in the current frame of LocalStrVarTable
inline constexpr int StrArray = 24;     // StrVarTable index of an array
inline constexpr int BoolConst = 31;    // 1 true, 2 false
inline constexpr int BoolVar = 32;      // BoolVarTable index
inline constexpr int BoolArray = 34;    // BoolVarTable index of an array
inline constexpr int ExprOpen = 41;     // opens an expression in final code
inline constexpr int ExprClose = 42;    // closes it
inline constexpr int JumpTarget = 45;   // a code index
inline constexpr int PrintSep = 51;     // PRINT separator: 21 ",", 22 ";", 136 end of the PRINT
inline constexpr int PrintFileSep = 52; // PRINT# separator: 21 or 136
inline constexpr int PublicNum = 61;    // 1-based PublicNumTable entry (61, 1 is the transfer slot)
inline constexpr int PublicStr = 62;
inline constexpr int PublicBool = 63;
inline constexpr int FormulaVar = 71;  // FormVarTable index
inline constexpr int NumArgBind = 81;  // numeric parameter slot
inline constexpr int StrArgBind = 82;  // string parameter slot
inline constexpr int FrameCountB = 83; // "NLBV": no run-time action
inline constexpr int FrameCountN = 84; // "NLNV": with the next item, a FUNCTION's frame sizes
inline constexpr int FrameCountS = 85; // "NLSV"
inline constexpr int SubFrame = 89;    // "LBVP": with the five items after it, a call frame
inline constexpr int SubFrameN = 90;   // "LNVP"
inline constexpr int SubFrameS = 91;   // "LSVP"
inline constexpr int SubBegin = 92;
inline constexpr int SubEndMark = 93;
inline constexpr int DummyCode = 94; // marks an argument passed by value in CALL
} // namespace CodeKind

// Values that several kinds share.
inline constexpr int PrintSepEnd = 136; // separator value that ends a PRINT / PRINT#
inline constexpr int BoolConstTrue = 1; // kind 31 values
inline constexpr int BoolConstFalse = 2;
inline constexpr int ArgumentFormStep = 1000;  // statement + 1000 * k: the k-th argument form
inline constexpr int FunctionFormStep = 10000; // function + 10000 * k: the k-th argument form
inline constexpr int SettingValueBase = 1000;  // function 1000 + s: value of window setting s
inline constexpr int PropertySetBase = 1000;   // function 1000 + n: control property setter
inline constexpr int PropertyGetBase = 2000;   // function 2000 + n: control property getter
