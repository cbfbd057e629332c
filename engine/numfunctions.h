// The numeric built-in functions (rounding, signs, powers and logarithms, trigonometry with the degree
// switch, integer number theory, PI) and the random generator behind RND and RANDG. Each routine
// takes its arguments from the Gl stack (the last one on top) and pushes one number.
#pragma once

#include "core/sharedstate.h"

#include <cstdint>

// Advances the generator and returns its next value in [0, 1).
Extended DrawRandom();
// The start of every run but a resume: the seed goes back to RandomStartSeed and one value is drawn
// at once into LastRandom, so each run sees the same sequence.
void SeedRandom();

// The executors, by code where one serves several functions or forms: ABS, SGN, FIX, INT, CEIL,
// PI and the internal sign change; ROUND and ROUND(x, n); MAX, MIN; SQR, EXP and the logarithms;
// the trigonometric and hyperbolic functions, DEG and RAD; GCD, LCM; RND and RND(x).
void FnExact(int code);
void FnRound(int code);
void FnMaxMin(int code);
void FnPowerAndLog(int code);
void FnTrigonometry(int code);
void FnGcdLcm(int code);
void FnPrimeFactor();
void FnFactorial();
void FnBinomial();
void FnRandom(int code);
void FnNormalRandom();
