// The one table of the hooks through which the engine reaches the windows, Hooks; and the engine's part
// of the interpreter reset.
#include "engine/enginehooks.h"

#include "engine/decoded/decode.h"
#include "engine/enginestate.h"
#include "engine/formulaexec.h"
#include "frontend/initall.h"

constinit EngineHooks Hooks;

void InstallEngineReset() {
    HandOverEngineReset([] {
        Eng.Reset();
        DropEvaluations();
        ReleaseDecodedCode();
    });
}
