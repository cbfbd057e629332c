// Declared names and variable lookup. The pre-scan enters every declared name (SUB, FUNCTION, DEF,
// parameters, DIM, PUBLIC; constants come from the statement scan) into DcVarTable; when the statement
// scan reads a name, LookUpVariable decides from that table and the declaration context whether it is a
// constant, a declared, local or new variable, and creates the variable record on first use.
#pragma once

#include "core/codeitem.h"

#include <QString>

#include <array>
#include <cstdint>
#include <string_view>

// What a DcVarTable entry declares (its Kind); only the low 7 bits of a stored kind are read.
namespace DcVarKind {
inline constexpr int Skip = 0;
inline constexpr int Sub = 1;
inline constexpr int NumberFunction = 2;
inline constexpr int StringFunction = 3;
inline constexpr int BooleanFunction = 4;
inline constexpr int FormulaFunction = 5;
inline constexpr int NumberVariable = 6;
inline constexpr int StringVariable = 7;
inline constexpr int BooleanVariable = 8;
inline constexpr int FormulaVariable = 9;
inline constexpr int NumberPublicVariable = 10;
inline constexpr int StringPublicVariable = 11;
inline constexpr int BooleanPublicVariable = 12;
inline constexpr int FormulaPublicVariable = 13;
inline constexpr int NumberLocalVariable = 14;
inline constexpr int StringLocalVariable = 15;
inline constexpr int BooleanLocalVariable = 16;
inline constexpr int FormulaLocalVariable = 17;
inline constexpr int NumberConstant = 18;
inline constexpr int StringConstant = 19;
inline constexpr int BooleanConstant = 20;
inline constexpr int FormulaConstant = 21;
inline constexpr int NumberPublicConstant = 22;
inline constexpr int StringPublicConstant = 23;
inline constexpr int BooleanPublicConstant = 24;
inline constexpr int Count = 25;
inline constexpr int Mask = 0x7F;
} // namespace DcVarKind

// The words the debug listing of declared names prints, by DcVarKind.
inline constexpr std::array<std::u16string_view, DcVarKind::Count> DcVarKindNames = {
    u"Skip",
    u"Sub",
    u"NumberFunction",
    u"StringFunction",
    u"BooleanFunction",
    u"FormulaFunction",
    u"NumberVariable",
    u"StringVariable",
    u"BooleanVariable",
    u"FormulaVariable",
    u"NumberPublicVariable",
    u"StringPublicVariable",
    u"BooleanPublicVariable",
    u"FormulaPublicVariable",
    u"NumberLocalVariable",
    u"StringLocalVariable",
    u"BooleanLocalVariable",
    u"FormulaLocalVariable",
    u"NumberConstant",
    u"StringConstant",
    u"BooleanConstant",
    u"FormulaConstant",
    u"NumberPublicConstant",
    u"StringPublicConstant",
    u"BooleanPublicConstant",
};

// Values of DeclContext: what the name now being read is.
namespace DeclCtx {
inline constexpr std::uint8_t Main = 0; // a name in the main program
inline constexpr std::uint8_t PublicList = 1;
inline constexpr std::uint8_t SubName = 2;
inline constexpr std::uint8_t SubBody = 3;
inline constexpr std::uint8_t SubParams = 4; // also DIM inside a SUB
inline constexpr std::uint8_t FunctionName = 5;
inline constexpr std::uint8_t FunctionBody = 6;
inline constexpr std::uint8_t FunctionParams = 7; // also DIM inside a FUNCTION
inline constexpr std::uint8_t DefName = 8;
inline constexpr std::uint8_t LocalDecl = 9; // treated as 4 and 7; not set by the scans
inline constexpr std::uint8_t DimList = 11;
inline constexpr std::uint8_t Const = 13;
inline constexpr std::uint8_t SubConst = 14;
inline constexpr std::uint8_t FunctionConst = 15;
inline constexpr std::uint8_t PublicConst = 16;
} // namespace DeclCtx

// Type codes of a name: from its AS clause or its "$" / "@".
namespace VarType {
inline constexpr int None = 0;
inline constexpr int Real = 1;
inline constexpr int String = 2;
inline constexpr int Boolean = 3;
inline constexpr int Formula = 4;
} // namespace VarType

inline constexpr int MaxDeclaredNameLength = 30; // longer names are error 30005 when declared
inline constexpr int MaxLocalVarNameLength = 40; // DEF parameters are cut to this

// The local-name prefix of header number n: the last four digits of n, zero-filled ("0001").
QString LocalPrefixFor(int counter);
// A SUB, FUNCTION or DEF header begins: DefCounter + 1 and LocalNamePrefix for it.
void AdvanceLocalNamePrefix();

// Mode 0 (declare): enters the name by DeclContext and gives its token kind (4, 5, 12, 22, 32, 71, 15,
// 25, 35, 72). When an entry was made, SecondCode is its DcVarTable index, else 0.
void RegisterDcVar(const QString& name, CodeItemType& token);
// Mode 1 (scan): the token standing for the name: a variable (12, 22, 32, 71 with its table index), a
// constant (11, 21, 31) or kind 0 in contexts where no name is resolved.
void LookUpVariable(const QString& name, CodeItemType& token);

// DcVarTable searches, over entries 1 to NumofRegisteredDcVar; 0 when none.
int FindDcVar(const QString& name);
// Only entries of SUBs, functions, public variables and public constants count.
int FindGlobalDcVar(const QString& name);
bool DcVarExists(const QString& name);
// Whether the first entry of this name declares a SUB. The user-interface thread asks this before it
// starts an event handler, only while no interpreter thread is busy.
bool IsSubName(const QString& name);

// The variable table of the type (0 and 1 numbers, 2 strings, 3 booleans, 4 formulas): index of the
// first record with this name, 0 when none.
int FindVariable(const QString& name, int type);
// Appends a record with this name to the table of the type; token (12|22|32|71, index). A table that
// cannot grow is error 30101 and gives kind 0.
void CreateVariable(const QString& name, int type, CodeItemType& token);
CodeItemType MakeVarItem(int index, int type);

// DEF parameters in LocalNumVarTable and LocalStrVarTable (names ending in "$"), cut to 40 characters.
// FindLocalVar: (13, index), (23, index) or kind 0.
void FindLocalVar(const QString& name, CodeItemType& token);
// Appends the parameter: (13, count) or (23, count) with the given Position (the position after the
// name's first character); kind 0 when the name is there already.
void AddLocalVar(const QString& name, CodeItemType& token, int position);
