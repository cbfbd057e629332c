// The memory a program may take while it runs. A program that fills memory must end with an error of
// its own, not leave the interface thread without room to paint (or the system to end the process):
// the budget is what the process may grow by during a run, a share of the physical memory and of any
// address-space limit, and a run that passes it is asked to stop. Large requests are weighed before
// they are made; a watcher samples the process's usage while a run goes on.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace MemoryBudget {

// Requests below this size are not weighed one by one (the watcher sees what many of them add up to).
inline constexpr std::size_t WeighedRequestMinimum = std::size_t{1} << 20;

// Where the process stands against its budget.
struct Limits {
    std::uint64_t ResidentAtStart = 0; // resident bytes when the run began
    std::uint64_t ResidentGrowth = 0;  // how much they may grow during the run
    std::uint64_t AddressCeiling = 0;  // the address-space size the process must stay below (0: none)
};

// The budget of a run that starts now: LORVEX_MEMORY_BUDGET (bytes, or with a K, M or G suffix) sets
// the growth of resident memory; by default it is three quarters of the memory available now, less
// the interface's reserve. Under an address-space limit the process also keeps the larger of a
// quarter of that limit and the reserve free, but at most half of the room it has left now.
Limits LimitsForRunStartingNow();

// Starts weighing for a run: `stopRequest` is set to 1 when the watcher finds the process past its
// budget. Ends with EndRun; one run at a time.
void BeginRun(std::atomic<int>& stopRequest);
void EndRun();

// True when the process may take `bytes` more now without passing the run's budget (always while no
// run is being weighed). Only requests of WeighedRequestMinimum or more are looked at.
bool AllowsSlow(std::size_t bytes);
inline bool Allows(std::size_t bytes) {
    return bytes < WeighedRequestMinimum || AllowsSlow(bytes);
}
// The same for `count` elements of `size` bytes each, without overflowing.
bool AllowsElements(std::size_t count, std::size_t size);

// True once after the watcher stopped the run for its memory (the stop request it set is the
// budget's, not the user's); cleared by the call and by BeginRun.
bool TakeExceeded();
// The same without clearing it: whether the watcher has stopped the run so far.
bool IsExceeded();

// Hands memory that the run freed back to the system, so the interface finds it again.
void ReturnFreedMemory();

} // namespace MemoryBudget
