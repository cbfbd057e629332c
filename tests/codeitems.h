// Shared by the tests that lay out compiled items by hand and run them on the engine's executors.
#pragma once

#include "frontend/codeitem.h"
#include "frontend/itembuffers.h"
#include "frontend/sharedstate.h"
#include "frontend/tables.h"
#include "frontend/vocabulary.h"

#include <QString>

#include <initializer_list>

inline CodeItemType Stmt(int code) {
    return {CodeKind::Statement, code, 0};
}
inline CodeItemType Colon() {
    return {CodeKind::Operator, Op::Colon, 0};
}
inline CodeItemType LineEnd() {
    return {CodeKind::Operator, Op::LineEnd, 0};
}
inline CodeItemType PubStr() {
    return {CodeKind::PublicStr, 1, 0};
}

// A numeric literal item: it names entry SecondCode + 1 of the literal table.
inline CodeItemType Num(Extended value) {
    Tb.NumConTable.push_back(value);
    return {CodeKind::NumLiteral, static_cast<int>(Tb.NumConTable.size()) - 2, 0};
}

inline CodeItemType Str(const QString& text) {
    Tb.StrConTable.push_back(text);
    return {CodeKind::StrLiteral, static_cast<int>(Tb.StrConTable.size()) - 1, 0};
}

inline CodeItemType NumVar(int index) {
    return {CodeKind::NumVar, index, 0};
}
inline CodeItemType StrVar(int index) {
    return {CodeKind::StrVar, index, 0};
}

// A new global variable; its slot.
inline int NewNum() {
    Tb.NumVarTable.push_back(NumVarType{});
    return static_cast<int>(Tb.NumVarTable.size()) - 1;
}
inline int NewStr() {
    Tb.StrVarTable.push_back(StrVarType{});
    return static_cast<int>(Tb.StrVarTable.size()) - 1;
}

// Lays the items out from slot `start` (the program's first slot unless given), followed by the end item,
// and runs from `start`; returns the slot of the end item.
inline int Program(std::initializer_list<CodeItemType> items, int start = ProgramCodeStart) {
    int at = start;
    for (const CodeItemType& item : items)
        SetCodeItem(at++, item);
    SetCodeItem(at, {CodeKind::End, 0, 0});
    Ib.CodeLimit = at;
    Ib.CodeIndex = start;
    return at;
}
