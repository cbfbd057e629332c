// Key codes as programs see them: the language returns the classic virtual-key numbers of the
// Windows keyboard (VK_LEFT = 37 and so on), so Qt's keys are mapped through a table of our own.
#pragma once

// The virtual-key number of a Qt key (Qt::Key); 0 for a key without one.
int VirtualKeyFromQtKey(int qtKey);
