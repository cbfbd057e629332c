#include "engine/enginehooks.h"

constinit EngineHooks Hooks;
