// The values of named variables met in an expression: a plain variable's value, an element of an array
// for the subscripts on the Gl stack, or the value of a DEF function called, pushed onto the Gl stack
// with the errors the subscripts may raise.
#pragma once

// A numeric (kind 12), string (kind 22) or boolean (kind 32) name of the variable table's slot `index`.
void PushNumName(int index);
void PushStrName(int index);
void PushBoolName(int index);
