// Statement codes the statement scan writes that the shared table of internal codes does not name:
// the two explicit forms of OPTION EXPLICIT. Like every code item value they are part of the pre-code
// format that the statement compiler reads.
#pragma once

namespace ScanCode {
inline constexpr int OptionExplicitOff = 275; // OPTION EXPLICIT OFF (the pre-scan already did the work)
inline constexpr int OptionExplicitOn = 276;  // OPTION EXPLICIT ON
} // namespace ScanCode
