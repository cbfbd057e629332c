// Where an error raised while the program runs is reported: the position the run loop's rule gives it,
// kept from standing before the statement that failed.
#pragma once

// The error position of an error raised by the item at `failedAt`, `position` as the loop's rule gives it.
int ErrorPositionOf(int position, int failedAt);

// The error position of an error raised now by the item just before the code index `next`, as the loop
// gives it when that item's executor fails: for a failure found only later, reported where it began.
int ErrorPositionBefore(int next);
