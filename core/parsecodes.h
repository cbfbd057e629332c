// Codes the statement compiler writes that have no name in the shared table of internal codes: the
// CALL marker, the six relational CASE tests, the OPTION EXPLICIT forms and the fixed-constant slots
// it names; the engine reads the same codes, so they stand in core.
#pragma once

#include "core/internalcodes.h"

namespace ParseCode {
inline constexpr int CallStatement = InSt::CallStatement; // opens the item sequence of a SUB call
// The relational CASE IS tests; each is followed by the jump taken when the test fails.
inline constexpr int CaseEqual = InSt::CaseEqual;               // selector = x
inline constexpr int CaseGreater = InSt::CaseGreater;           // selector > x
inline constexpr int CaseGreaterEqual = InSt::CaseGreaterEqual; // selector >= x
inline constexpr int CaseLess = InSt::CaseLess;                 // selector < x
inline constexpr int CaseLessEqual = InSt::CaseLessEqual;       // selector <= x
inline constexpr int CaseNotEqual = InSt::CaseNotEqual;         // selector <> x
inline constexpr int OptionExplicitOff =
    InSt::OptionExplicitOff; // OPTION EXPLICIT OFF: the pre-scan did the work
inline constexpr int OptionExplicitOn = InSt::OptionExplicitOn;
inline constexpr int ByValueArgument = 1; // value of the DummyCode item of a CALL argument
} // namespace ParseCode

// Slots of the fixed constant tables that compiled code names (kind 7 numbers, kind 8 strings).
namespace ParseConst {
inline constexpr int Zero = 1;         // 0.0; CLOSE without a channel: close all
inline constexpr int One = 2;          // 1.0; the step of a FOR without STEP, the CLS default
inline constexpr int MinusOne = 3;     // -1.0; an omitted optional graphics argument
inline constexpr int Half = 6;         // 0.5
inline constexpr int FilesDefault = 1; // the empty text: FILES without an argument
inline constexpr int InputPrompt = 2;  // "? ": INPUT without a prompt of its own
} // namespace ParseConst
