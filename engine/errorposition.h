// Where an error raised while the program runs is reported: the position the run loop's rule gives it,
// kept from standing before the statement that failed.
#pragma once

// The error position of an error raised by the item at `failedAt`, `position` as the loop's rule gives it.
int ErrorPositionOf(int position, int failedAt);
