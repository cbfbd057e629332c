// The application's windows as the rest of the program reaches them, and the editors' shared flags.
// One process-wide instance, Win, touched only on the user-interface thread (the interpreter reaches
// the windows through the hand-over).
//
// No reset: the pointers follow the windows' own lives (set by whatever makes or opens a window), and
// the flags belong to the editors' session, not to a program run.
#pragma once

#include <QPointer>
#include <QStringList>

class TLXControlForm;
class TLXEditForm;
class TLXGraphForm;
class TLXGraphForm2;
class TLxFrameForm;
class TMPlayerForm;
class TRunForm;

struct WindowsState {
    // The one main frame of the application (set while it exists).
    TLxFrameForm* LxFrameForm = nullptr;
    // The one run window of the application.
    TRunForm* RunForm = nullptr;
    TLXGraphForm* LXGraphForm = nullptr;
    TLXGraphForm2* LXGraphForm2 = nullptr;
    // The current control window; CSCREEN replaces it.
    TLXControlForm* LXControlForm = nullptr;
    // The one media-player window (set while it exists).
    TMPlayerForm* MPlayerForm = nullptr;

    // The editor window last created by Open, the command line or a drop (null once it is closed).
    QPointer<TLXEditForm> LXEditForm;
    // The number of the last "Untitled" window.
    int UntitledCounter = 0;
    // Set while text is loaded or recoloured: the change handlers leave the text alone.
    int EditorUpdating = 0;
    // Set when a program run starts from an editor or the command line; the next editor activated after
    // the run has ended shows its error (if any) and clears it.
    bool RunErrorPending = false;

    // Answers given in advance (the test runner's --input): while the list is not empty, each dialog
    // takes the first entry as if it had been typed and OK pressed, without showing itself.
    QStringList ScriptedInputAnswers;
};

extern constinit WindowsState Win;
