#include "frontend/compilerstate.h"

constinit CompilerState Cs;
