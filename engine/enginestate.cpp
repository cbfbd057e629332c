// The engine's run state's one instance, Eng, and its part in the interpreter reset.
#include "engine/enginestate.h"

#include "engine/decoded/decode.h"
#include "engine/formulaexec.h"
#include "frontend/initall.h"

constinit EngineState Eng;

namespace {

// The engine's part of the interpreter reset.
[[maybe_unused]] const bool EngineResetInstalled = [] {
    ResetEngineHook = [] {
        Eng.Reset();
        DropEvaluations();
        ReleaseDecodedCode();
    };
    return true;
}();

} // namespace
