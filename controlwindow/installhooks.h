// The hooks of every window a program reaches (the input dialog, the graphics windows, the control
// window and the window settings), installed at once, as the application and the tools that run
// programs alike need them.
#pragma once

// Call once the application object exists.
void InstallWindowHooks();
