// Hints to the system about how a large block of memory will be used.
#pragma once

#include <cstddef>

// Asks for the block [data, data + bytes) to be backed by large pages where the system offers them:
// a big array is then faulted in a few large pages instead of thousands of small ones. Only a hint;
// without support it does nothing.
void AdviseLargePages(void* data, std::size_t bytes);

// Blocks below this size are not worth the hint.
inline constexpr std::size_t LargePageAdviceMinimum = std::size_t{4} << 20;
