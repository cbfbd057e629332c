// The compiler's state's one instance, Cs.
#include "frontend/compilerstate.h"

constinit CompilerState Cs;
