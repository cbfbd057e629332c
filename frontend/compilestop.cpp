// The flag a stop leaves when it cuts a compile phase short.
#include "frontend/compilestop.h"

bool CompileCutShort = false;
