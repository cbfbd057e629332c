// The calls the engine makes into the windows: installed by the user interface at start-up (before any
// run), each run on the user-interface thread. One process-wide table, Hooks. A hook not installed
// (as in the tests and the command-line tools) leaves its effect out.
#pragma once

#include <QString>

struct InputDialogRequest;

struct EngineHooks {
    // Sounds the default beep. Without it BEEP is silent.
    void (*BeepHook)() = nullptr;
    // Closes the main frame (and so the application) when SYSTEM ended the run.
    void (*CloseMainFormHook)() = nullptr;
    // The control window's, while the interpreter waits. ControlPropertyHook serves the property
    // function `code` (1000 + n or 2000 + n); ShowControlHook shows or hides control k of a kind
    // (St::CBUTTON, St::CLABEL, St::CTEXTBOX); the other two open (or re-create) and close the window.
    void (*ControlPropertyHook)(int code) = nullptr;
    void (*ShowControlHook)(int kind, int k, bool on) = nullptr;
    void (*OpenControlFormHook)() = nullptr;
    void (*CloseControlFormHook)() = nullptr;
    // Shows the reference help (the help file in the desktop's viewer). Without it HELP does nothing.
    void (*ShowHelpHook)() = nullptr;
    // Shows the INPUT dialog modally; true with the typed text in `answer` after OK; false after Cancel,
    // which has raised the stop request. On OK the dialog has removed the in-progress echo line from the
    // run window.
    bool (*ShowInputDialogHook)(const InputDialogRequest& request, QString& answer) = nullptr;
    // Shows the run window and gives it the focus.
    void (*ShowRunFormHook)() = nullptr;
};

extern constinit EngineHooks Hooks;

// Hands the engine's part of the interpreter reset (its run state, evaluations in progress, decoded
// code) to the front end's reset. Called once at start-up, before the first run, by whatever runs
// programs: the application, the tools, the tests.
void InstallEngineReset();
