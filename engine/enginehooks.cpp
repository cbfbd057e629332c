// The one table of the hooks through which the engine reaches the windows, Hooks.
#include "engine/enginehooks.h"

constinit EngineHooks Hooks;
