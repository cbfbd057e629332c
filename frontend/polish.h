// Infix-to-postfix conversion of one expression for the engine's stack machine: brackets and commas
// vanish, and every operator, built-in function, array and callable name follows its operands.
// The statement compiler gathers an expression's items into an ItemBuffer and converts it in place.
#pragma once

#include "core/codeitem.h"
#include "core/errornumbers.h"

#include <array>

// An expression buffer: slots 1 to ItemBufferSize hold items, ended by the first item of kind 0 or
// less; slot 0 is never used.
inline constexpr int ItemBufferSize = 1024;
using ItemBuffer = std::array<CodeItemType, ItemBufferSize + 1>;

// The most items one expression may have. Longer ones are refused with ExpressionTooLongError rather
// than cut short, so no expression is ever converted from a part of itself.
inline constexpr int PolishItemLimit = 80;
inline constexpr int ExpressionTooLongError = Err::ExpressionStackOverflow;

// Converts the expression in `input` to postfix order. `input` and `output` may be the same buffer.
// ErrorNumber and `error` are cleared first. On success `output` holds the postfix items from slot 1,
// followed by a cleared item, and `error` is 0. On failure ErrorNumber and `error` hold the number and
// `output` is left as it was. The caller may pass ErrorNumber itself as `error`.
void ToPolish(const ItemBuffer& input, ItemBuffer& output, int& error);
