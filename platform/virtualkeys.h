// Key codes as programs see them: the language returns the classic virtual-key numbers of the
// Windows keyboard (VK_LEFT = 37 and so on), so Qt's keys are mapped through a table of our own.
#pragma once

#include <Qt>

// The virtual-key number of a Qt key (Qt::Key) pressed with `modifiers`; 0 for a key without one. The
// numeric keypad's digits and operators have numbers of their own, told apart by Qt::KeypadModifier.
int VirtualKeyFromQtKey(int qtKey, Qt::KeyboardModifiers modifiers);
