// Internal statement and function codes: values of statement items (kind 6) from 192 up and of function
// items (kind 2) from 126 up that the scan and the compiler emit for forms that have no word of their
// own. Like the vocabulary slots they are part of the compiled code's format.
#pragma once

#include "core/codelist.h"

// Statement codes (kind 6).
namespace InSt {
inline constexpr int First = 192; // codes below are StatementNames slots
#define LX_CODE(identifier, code, executor, form) inline constexpr int identifier = code;
LX_INTERNAL_STATEMENTS(LX_CODE)
#undef LX_CODE
inline constexpr int CaseTestFirst = CaseEqual; // the CASE tests stand together
inline constexpr int CaseTestLast = CaseRange;
} // namespace InSt

// Function codes (kind 2).
namespace InFn {
inline constexpr int First = 126; // codes below are FunctionNames slots
#define LX_CODE(identifier, code, executor) inline constexpr int identifier = code;
LX_INTERNAL_FUNCTIONS(LX_CODE)
#undef LX_CODE
inline constexpr int ReservedWordLast = 163; // 126 to 163 name the ReservedWords slots (126 also runs Direct)
} // namespace InFn
static_assert(InSt::First == InSt::AudioMixerMasterMute && InFn::First == InFn::Direct);

// Control-window property numbers n: the item carries 1000 + n (set) or 2000 + n (get).
namespace PropertyRange {
inline constexpr int ButtonFirst = 196; // CBUTTON
inline constexpr int ButtonLast = 208;
inline constexpr int ButtonClick = 1197; // CLICK: read only, carried as 1197
inline constexpr int LabelFirst = 209;   // CLABEL
inline constexpr int LabelLast = 220;
inline constexpr int TextBoxFirst = 224; // CTEXTBOX
inline constexpr int TextBoxLast = 236;
} // namespace PropertyRange
