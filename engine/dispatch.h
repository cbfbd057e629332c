// The general dispatch of statement and function items: one switch each, generated from the code
// lists of core/codelist.h, where every code names its executor. Where the decoded run covers a
// statement it runs it first; everything else, and everything with --general, runs through these.
#pragma once

#include "core/errornumbers.h"
#include "core/raiseerror.h"
#include "core/sharedstate.h"
#include "engine/drawexec.h"

#include <new>
#include <stdexcept>
#include <type_traits>

// Runs the statement item of `code` (a statement word's code, an internal code or a further argument
// form); a code without an executor is reported as not supported.
void ExecuteStatement(int code);
// Runs the function item of `code` likewise.
void ExecuteFunction(int code);

// ---- the shapes of executors the code lists name ----------------------------------------------------
// An executor takes the item's code or nothing; the call is made inline either way.
template <auto Executor> [[gnu::always_inline]] inline void Invoke(int code) {
    if constexpr (std::is_invocable_v<decltype(Executor), int>)
        Executor(code);
    else
        Executor();
}

// Words the compiler turns into other items or refuses, and markers the machinery passes over.
inline void NoAction() {}

// Executors whose data grows with the program's or the disk's (whole files, listings, the system's
// answers): a request memory cannot meet is the out-of-memory error, which EVALFORM may trap, rather
// than the end of the run.
template <auto Executor> void MemoryGuard(int code) {
    try {
        Invoke<Executor>(code);
    } catch (const std::bad_alloc&) {
        RaiseError(Err::OutOfMemory);
    }
}

// The same for the text functions, where a text longer than a string can hold counts too.
template <auto Executor> void TextMemoryGuard(int code) {
    try {
        Invoke<Executor>(code);
    } catch (const std::bad_alloc&) {
        RaiseError(Err::OutOfMemory);
    } catch (const std::length_error&) {
        RaiseError(Err::OutOfMemory);
    }
}

// Drawing statements that need the graphics window open.
template <auto Executor> void OnGraphForm(int code) {
    if (RequireGraphForm(code)) Invoke<Executor>(code);
}
