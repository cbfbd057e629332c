// The nodes of a decoded expression at run time: a node's value, a leaf read at once and any other
// node through the function the decoder chose for it by its code (NodeFunctionOf, which makes the
// choice without running anything).
#pragma once

#include "core/tables.h"
#include "core/vocabulary.h"
#include "engine/decoded/entries.h"
#include "engine/fastaccess.h"

// How many numbers the built-in function `code` takes when a decoded expression may call its general
// executor as a node: 0 for every function that does more than compute a number from its arguments
// (RND draws, the string and device functions read and change state) or that the nodes compute
// themselves.
constexpr int CalledFunctionArity(int code) {
    switch (code) {
    case Fn::CEIL:
    case Fn::ROUND:
    case Fn::SQR:
    case Fn::EXP:
    case Fn::LOG:
    case Fn::LOG10:
    case Fn::LOG2:
    case Fn::SIN:
    case Fn::COS:
    case Fn::TAN:
    case Fn::ATN:
    case Fn::ASIN:
    case Fn::ACOS:
    case Fn::SINH:
    case Fn::COSH:
    case Fn::TANH:
    case Fn::SEC:
    case Fn::CSC:
    case Fn::COT:
    case Fn::DEG:
    case Fn::RAD: return 1;
    case Fn::MAX:
    case Fn::MIN:
    case Fn::GCD:
    case Fn::LCM: return 2;
    default: return 0;
    }
}

// The function that computes `node` (by its code and where its literal is).
NodeFunction NodeFunctionOf(const ExprNode& node);

// The value of node `n`: a leaf read at once, any other node through its function. A call with an
// 80-bit value live around it stores and reloads that value (the calling convention keeps no
// floating-point register across a call), so leaves are never reached by a call.
[[gnu::always_inline]] inline Extended ValueOf(const ExprNode* nodes, const ExprNode* n) {
    if (n->Code <= NodeCode::Variable) return *n->Operand.Value;
    if (n->Code == NodeCode::SmallLiteral) return n->Literal64;
    return n->Run(nodes, n);
}
[[gnu::always_inline]] inline Extended LeftOf(const ExprNode* nodes, const ExprNode* n) {
    return ValueOf(nodes, nodes + n->Left);
}
[[gnu::always_inline]] inline Extended RightOf(const ExprNode* nodes, const ExprNode* n) {
    return ValueOf(nodes, nodes + n->Right);
}

// The element of a one-dimensional numeric array for a subscript, or StoppedShort.
[[gnu::always_inline]] inline Extended ElementValue(const NumVarType* record, Extended subscript) {
    const Extended* element = record->Kind == NumVarKind::Array ? SimpleElement(*record, subscript) : nullptr;
    return element ? *element : StoppedShort; // a NaN subscript finds no element
}
