// A plain-text picture of what the desktop shows: the active window, the question a message box asks,
// the editor that holds the keyboard focus, each editor's text, the run window's caption, state and
// text. Written to the file that LORVEX_STATE_FILE names whenever it changes, so a test driving the
// real desktop (keys from outside the process) can wait for the state it expects and check where the
// keys went.
#pragma once

#include <QString>

// The picture as it stands now.
QString DesktopStateText();

// Starts writing the picture when LORVEX_STATE_FILE is set (once; nothing otherwise).
void StartStateDump();
