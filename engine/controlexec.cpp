// The control-window statements and property items on the interpreter's side: their operands checked
// here, the window work handed to the user-interface thread through the control window's hooks.
#include "engine/controlexec.h"

#include "core/codeitem.h"
#include "core/controlproperties.h"
#include "core/errornumbers.h"
#include "core/internalcodes.h"
#include "core/raiseerror.h"
#include "core/sharedstate.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/enginehooks.h"
#include "engine/enginestate.h"
#include "engine/filechannels.h"
#include "engine/handover.h"
#include "engine/numconvert.h"

#include <chrono>
#include <cmath>
#include <thread>

CScreenSizeType CScreenSize;

namespace {

// A polling loop gives the user-interface thread this long to deliver clicks.
constexpr auto ClickPollPause = std::chrono::milliseconds(10);

// Runs a window hook on the user-interface thread; a hook that no window has installed is reported as
// a statement or function this build cannot run. The hook's arguments travel with the work by value.
template <typename... Args> void HandOver(void (*hook)(Args...), int code, bool function, Args... args) {
    if (hook == nullptr) {
        if (function)
            ReportFunctionNotBuilt(code);
        else
            ReportStatementNotBuilt(code);
        return;
    }
    Synchronize([hook, args...] { hook(args...); });
}

// Whether function code `code` (1000 + n or 2000 + n) names a property that some handler serves:
// n lies in one of the three kinds' ranges; the gap 221 to 223 belongs to other codes, and the click
// property is read through 1197 only.
bool IsPropertyCode(int code) {
    int n = 0;
    if (code > PropertySetBase && code < PropertyGetBase)
        n = code - PropertySetBase;
    else if (code > PropertyGetBase && code < PropertyGetBase + PropertySetBase)
        n = code - PropertyGetBase;
    if (ControlKindOfProperty(n) == 0) return false;
    return code != PropertyGetBase + ControlProperty::Click;
}

// The limits of CSCREEN: at most the minimum gives the minimum, above the maximum the maximum, else
// the number truncated.
int LimitCScreenSize(Extended value, int maximum) {
    if (!(value > CScreenMinSize)) return CScreenMinSize; // NaN included
    if (value > maximum) return maximum;
    return static_cast<int>(std::trunc(value)); // within 10..maximum here
}

} // namespace

// Whether `code` lies in the two blocks the control window owns: 1196 to 1236 and 2196 to 2236.
bool InPropertyBlocks(int code) {
    const auto inBlock = [code](int base) {
        return code >= base + PropertyRange::ButtonFirst && code <= base + PropertyRange::TextBoxLast;
    };
    return inBlock(PropertySetBase) || inBlock(PropertyGetBase);
}

int ControlIndexFromNumber(long double value) {
    std::int32_t k = 0;
    if (!TruncToInt32(value, k)) return 0;
    return k >= 1 && k <= ControlCount ? k : 0;
}

int PopControlIndex(int kindStatement) {
    // The message of 50011 names a function; the setting-value codes 1000 + s name statement s, so the
    // name becomes the control kind's word instead of whatever item failed before.
    if (GlTopType() != GlValueType::Number) {
        RaiseError(Err::FunctionArgType, SettingValueBase + kindStatement);
        return 0;
    }
    const int k = ControlIndexFromNumber(GlPopNum());
    if (k == 0) {
        RaiseError(Err::FunctionArgType, SettingValueBase + kindStatement);
        return 0;
    }
    if (Rc.CScreenOpen == 0) {
        RaiseError(Err::ControlWindowClosed);
        return 0;
    }
    return k;
}

// CSCREEN (width, height)
void ExecCScreen() {
    if (GlTopType() != GlValueType::Number || GlSecondType() != GlValueType::Number) {
        RaiseError(Err::StatementSyntax, St::CSCREEN);
        return;
    }
    const Extended height = GlPopNum();
    const Extended width = GlPopNum();
    CScreenSize.Width = LimitCScreenSize(width, CScreenMaxWidth);
    CScreenSize.Height = LimitCScreenSize(height, CScreenMaxHeight);
}

// CBUTTON(k) ON|OFF, CLABEL(k) ON|OFF, CTEXTBOX(k) ON|OFF
void ExecShowControl(int kind) {
    if (Hooks.ShowControlHook == nullptr) return ReportStatementNotBuilt(kind);
    if (GlTopType() != GlValueType::Number) {
        RaiseError(Err::StatementSyntax, kind);
        return;
    }
    const int k = ControlIndexFromNumber(GlPopNum());
    if (k == 0) {
        RaiseError(Err::StatementSyntax, kind);
        return;
    }
    // The ON or OFF item is this statement's own: taking it here lets the run loop go on after it.
    GetCurrentItem();
    const bool on = Ib.CurrentItem.FirstCode == CodeKind::Statement && Ib.CurrentItem.SecondCode == St::ON;
    HandOver(Hooks.ShowControlHook, kind, false, kind, k, on);
}

// CBUTTON(k).CLICK
void PollControlClick() {
    const int k = PopControlIndex(St::CBUTTON);
    if (k != 0) {
        const auto at = static_cast<std::size_t>(k);
        if (Rc.ControlButtonWatched[at] != 0) {
            // Taken in one step: a click landing between a read and a clear would be lost.
            GlPushBool(Rc.ControlButtonPressed[at].exchange(0) != 0);
        } else {
            GlPushBool(false);
            Rc.ControlButtonWatched[at] = 1;
        }
    }
    FlushFileOutput(); // a program polling the buttons waits for the user, who may look at its files
    std::this_thread::sleep_for(ClickPollPause);
}

void ExecOpenCScreen(int code) {
    ExecCScreen();
    if (Fe.ErrorNumber == 0) HandOver(Hooks.OpenControlFormHook, code, false);
}

void ExecCloseCScreen(int code) {
    if (Rc.CScreenOpen != 0) HandOver(Hooks.CloseControlFormHook, code, false);
}

void ExecControlProperty(int code) {
    if (!IsPropertyCode(code)) return;
    HandOver(Hooks.ControlPropertyHook, code, true, code);
}
