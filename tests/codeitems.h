// Shared by the tests that lay out compiled items by hand and run them on the engine's executors.
#pragma once

#include "core/codeitem.h"
#include "core/itembuffers.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/dispatch.h"
#include "engine/fileexec.h"

#include <gtest/gtest.h>

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

// What the run loop does with the items these tests lay out: statements run, operands pushed, until
// the end item, the code limit, an error or a stop request.
inline void RunItems() {
    constexpr int ItemGuard = 10000; // a program that never ends fails instead of hanging
    for (int guard = 0; guard < ItemGuard; ++guard) {
        if (Rc.StopRequest != 0) return;
        GetCurrentItem();
        const int kind = Ib.CurrentItem.FirstCode;
        const auto value = static_cast<std::size_t>(Ib.CurrentItem.SecondCode);
        if (kind == CodeKind::End || Ib.CodeIndex > Ib.CodeLimit + 1) return;
        switch (kind) {
        case CodeKind::Statement: ExecuteStatement(Ib.CurrentItem.SecondCode); break;
        case CodeKind::NumLiteral: GlPushNum(NumConValue(Ib.CurrentItem)); break;
        case CodeKind::StrLiteral: GlPushStr(Tb.StrConTable[value]); break;
        case CodeKind::NumVar: GlPushNum(Tb.NumVarTable[value].Value); break;
        case CodeKind::StrVar: GlPushStr(Tb.StrVarTable[value].Value); break;
        case CodeKind::PublicNum: GlPushNum(Tb.PublicNumTable[value].Value); break;
        case CodeKind::PublicStr: GlPushStr(Tb.PublicStrTable[value].Value); break;
        case CodeKind::PrintFileSep: ExecPrintFileSeparator(Ib.CurrentItem.SecondCode); break;
        default: break;
        }
        if (Fe.ErrorNumber != 0) return;
    }
    ADD_FAILURE() << "the items did not end";
}
