// The engine's run state: the error trap of EVALFORM, the item in hand, the random generator, the
// PRINT line and the INPUT prompt. One process-wide instance, Eng, owned by the interpreter thread
// while a run is active.
//
// Reset: the members the interpreter reset brings back stand in a plain struct reset as a whole; those
// that survive it on purpose stand in EngineState itself, each saying why.
#pragma once

#include "core/errornumbers.h"
#include "core/itembuffers.h"
#include "core/raiseerror.h"
#include "core/sharedstate.h"

#include <QString>

#include <cstddef>
#include <cstdint>

inline constexpr std::uint32_t RandomStartSeed = 12345678;

struct EngineRunValues {
    int EvalFormTrap = 0;     // 1 while EVALFORM traps errors
    int EvalFormVarIndex = 0; // NumVarTable index that receives a trapped error number
    // Set by an executor whose error must be positioned at the failing item itself (the fetch of the
    // next item is skipped): the graphics-window check and the subscript errors.
    bool ErrorAtCurrentItem = false;
    // Set, with the error, by an executor that finds the failure of an earlier statement (lines PRINT#
    // held back that could not be written): the error stands at that statement. 0: the loop's rule.
    int HeldErrorPosition = 0;
    QString InputPrompt; // the prompt of the last INPUT or LINE INPUT; it outlives the dialog
};

struct EngineState : EngineRunValues {
    // The code index of the item in CurrentItem: where a stopped run resumes, since that item has not
    // run. Kept: the loop sets it with every item; a stop before the next run's first item resumes here.
    int CurrentItemIndex = 0;
    // Kept: every run but CONT seeds the generator at its start; CONT continues the sequence.
    // RandSeed := RandSeed * 134775813 + 1 (modulo 2^32); the value is RandSeed / 2^32.
    std::uint32_t RandSeed = RandomStartSeed;
    Extended LastRandom = 0; // the last number RND gave (or the one drawn at the start of the run); RND(0)
    // Kept: every run but CONT starts an empty line; CONT continues the line of the stopped run.
    QString PrintLine;
    // The item a stopped run resumes with when it is not the item in hand: a long function that a stop
    // ended before its result (0: none). Cleared as each pass of a run starts.
    int ResumeAtItem = 0;
    // False runs every item by its general executor alone, without the decoded run (the tests hold both
    // ways to the same results). Read when a run starts. Kept:
    // a choice of the tools that start runs, not a value of a program.
    bool FastPathsEnabled = true;

    void Reset() { static_cast<EngineRunValues&>(*this) = EngineRunValues{}; }
};

extern constinit EngineState Eng;

// Takes the item at CodeIndex into CurrentItem and notes where it stands (the run loop's fetch, also
// the formulas' and the thread's when they set the loop going again).
inline void FetchCurrentItem() {
    Eng.CurrentItemIndex = Ib.CodeIndex;
    GetCurrentItem();
}

// What a function that builds a long result step by step (NORMALIZE, the case mappings, REPLACE$) learns
// between its steps.
enum class BuildStep : std::uint8_t { Go, Stop, OutOfMemory };

// Whether a builder may go on, its result about to take `moreBytes` more: not once a stop is asked for
// (the budget's watcher asks for one too), nor past the run's memory budget.
BuildStep CheckBuildStep(std::size_t moreBytes);

// A function that a stop ended before its result puts its arguments back on the stack and calls this:
// CONT then runs it again, rather than going on without its value.
inline void ResumeWithItemInHand() {
    Eng.ResumeAtItem = Eng.CurrentItemIndex;
}

// Executors that are called for a statement or function without a routine yet report it clearly.
inline void ReportStatementNotBuilt(int code) {
    RaiseError(Err::StatementNotSupported, code);
}
inline void ReportFunctionNotBuilt(int code) {
    RaiseError(Err::FunctionNotSupported, code);
}
