// The dispatch of statement and function codes to their executors, made from the rows of codelist.h.
#include "engine/dispatch.h"

#include "core/codeitem.h"
#include "core/internalcodes.h"
#include "core/vocabulary.h"
#include "engine/calls.h"
#include "engine/controlexec.h"
#include "engine/deviceexec.h"
#include "engine/enginestate.h"
#include "engine/filechannels.h"
#include "engine/fileexec.h"
#include "engine/flowexec.h"
#include "engine/formulaexec.h"
#include "engine/inputexec.h"
#include "engine/numfunctions.h"
#include "engine/pictureexec.h"
#include "engine/printline.h"
#include "engine/printusing.h"
#include "engine/strfunctions.h"
#include "engine/sysfunctions.h"
#include "engine/windowexec.h"

void ExecuteStatement(int code) {
    switch (code) {
#define LX_SLOT(identifier, word, executor, form)                                                            \
    case St::identifier: Invoke<executor>(code); return;
        LX_STATEMENT_SLOTS(LX_SLOT)
#undef LX_SLOT
#define LX_CODE(identifier, value, executor, form)                                                           \
    case InSt::identifier: Invoke<executor>(code); return;
        LX_INTERNAL_STATEMENTS(LX_CODE)
#undef LX_CODE
#define LX_FORM(base, form, executor, argumentForm)                                                          \
    case (base) + (form)*ArgumentFormStep: Invoke<executor>(code); return;
        LX_STATEMENT_FORMS(LX_FORM)
#undef LX_FORM
    default: ReportStatementNotBuilt(code); return;
    }
}

void ExecuteFunction(int code) {
    switch (code) {
#define LX_SLOT(identifier, word, executor)                                                                  \
    case Fn::identifier: Invoke<executor>(code); return;
        LX_FUNCTION_SLOTS(LX_SLOT)
#undef LX_SLOT
#define LX_CODE(identifier, value, executor)                                                                 \
    case InFn::identifier: Invoke<executor>(code); return;
        LX_INTERNAL_FUNCTIONS(LX_CODE)
#undef LX_CODE
#define LX_FORM(base, form, executor)                                                                        \
    case (base) + (form)*FunctionFormStep: Invoke<executor>(code); return;
        LX_FUNCTION_FORMS(LX_FORM)
#undef LX_FORM
#define LX_SETTING(statement, executor)                                                                      \
    case SettingValueBase + (statement): Invoke<executor>(code); return;
        LX_SETTING_VALUES(LX_SETTING)
#undef LX_SETTING
    case PropertyRange::ButtonClick: PollControlClick(); return;
    default:
        // The control windows' properties: 1000 + n sets and 2000 + n reads property n, in blocks per kind.
        if (InPropertyBlocks(code))
            ExecControlProperty(code);
        else
            ReportFunctionNotBuilt(code);
        return;
    }
}
