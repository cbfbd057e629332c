// Internal statement and function codes: values of statement items (kind 6) from 192 up and of function
// items (kind 2) from 126 up that the scan and the compiler emit for forms that have no word of their
// own. The code listings print them by number ("InnerSt" 249), so they keep their numbers whatever words
// the vocabulary gains: words take the codes below First and, once those are used up, the codes from
// AfterLast on (core/vocabulary.h).
#pragma once

#include "core/codelist.h"

#include <algorithm>

// Statement codes (kind 6).
namespace InSt {
inline constexpr int First = 192; // codes below are words' codes
#define LX_CODE(identifier, code, executor, form) inline constexpr int identifier = code;
LX_INTERNAL_STATEMENTS(LX_CODE)
#undef LX_CODE
// One past the highest internal code; the control property numbers (PropertyRange) lie between.
inline constexpr int AfterLast = 1 + std::max({
#define LX_CODE(identifier, code, executor, form) code,
                                         LX_INTERNAL_STATEMENTS(LX_CODE)
#undef LX_CODE
                                     });
inline constexpr int CaseTestFirst = CaseEqual; // the CASE tests stand together
inline constexpr int CaseTestLast = CaseRange;
} // namespace InSt

// Function codes (kind 2).
namespace InFn {
inline constexpr int First = 126; // codes below are words' codes
#define LX_CODE(identifier, code, executor) inline constexpr int identifier = code;
LX_INTERNAL_FUNCTIONS(LX_CODE)
#undef LX_CODE
inline constexpr int AfterLast = 1 + std::max({
#define LX_CODE(identifier, code, executor) code,
                                         LX_INTERNAL_FUNCTIONS(LX_CODE)
#undef LX_CODE
                                     });
} // namespace InFn
static_assert(InSt::First == InSt::AudioMixerMasterMute && InFn::First == InFn::Direct,
              "First names the lowest internal code");

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
static_assert(PropertyRange::ButtonFirst > InSt::First && PropertyRange::TextBoxLast < InSt::AfterLast,
              "the control property numbers lie among the internal codes, which words never take");
