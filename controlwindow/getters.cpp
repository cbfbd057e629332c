// The property getters: each pops the control number k, checks it and the window, and pushes the
// property of control k. For a text box only the text and the visibility follow the active control;
// everything else is read from the one-line edit, which the setters keep alike with the memo.
#include "controlwindow/properties.h"

#include "engine/coords.h"
#include "frontend/controlproperties.h"
#include "frontend/errornumbers.h"
#include "frontend/sharedstate.h"
#include "frontend/valuestack.h"
#include "frontend/vocabulary.h"
#include "platform/settingsstore.h"
#include "ui/controlform.h"

#include <QWidget>

namespace {

// Steps shared by every getter: k from the stack, then control k of the kind in SyncCode (or, with
// `active`, a text box's active control). nullptr when a check failed (error set) or the code is none
// of this handler's, which then pushes nothing.
QWidget* GetterControl(bool active = false, int* index = nullptr) {
    const int kind = PropertyKindOfSyncCode();
    const int k = PopControlIndex(kind != 0 ? kind : St::CBUTTON);
    if (ErrorNumber != 0 || k == 0) return nullptr;
    if (LXControlForm == nullptr) {
        ErrorNumber = Err::ControlWindowClosed;
        return nullptr;
    }
    if (index != nullptr) *index = k;
    if (active && kind == St::CTEXTBOX) return ActiveTextBox(k);
    return KindControl(kind, k);
}

void PushGeometry(int (QWidget::*read)() const) {
    if (const QWidget* control = GetterControl()) GlPushNum((control->*read)());
}

} // namespace

// CBUTTON(k).CAPTION, CBUTTON(k).TEXT, CLABEL(k).CAPTION, CLABEL(k).TEXT, CTEXTBOX(k).TEXT
void SyncGetControlText() {
    if (const QWidget* control = GetterControl(true)) GlPushStr(ControlText(control));
}

// kind(k).HEIGHT
void SyncGetControlHeight() { PushGeometry(&QWidget::height); }
// kind(k).LEFT
void SyncGetControlLeft() { PushGeometry(&QWidget::x); }
// kind(k).TOP
void SyncGetControlTop() { PushGeometry(&QWidget::y); }
// kind(k).WIDTH
void SyncGetControlWidth() { PushGeometry(&QWidget::width); }

// kind(k).VISIBLE: the control's own switch, whether or not the window is on the screen.
void SyncGetControlVisible() {
    if (const QWidget* control = GetterControl(true)) GlPushBool(!control->isHidden());
}

// kind(k).FONTCHARSET
void SyncGetControlFontCharset() {
    if (const QWidget* control = GetterControl()) GlPushNum(ControlFontCharset(control));
}

// kind(k).FONTCOLOR, and kind(k).COLOR: a label's colour, a button's brush, a text box's colour.
void SyncGetControlColor() {
    const bool background =
        PropertyNumberOfSyncCode() == ControlPropertyNumber(PropertyKindOfSyncCode(), u"COLOR");
    if (const QWidget* control = GetterControl())
        GlPushStr(ColorToHexText(background ? ControlColor(control) : ControlFontColor(control)));
}

// kind(k).FONTNAME
void SyncGetControlFontName() {
    if (const QWidget* control = GetterControl()) GlPushStr(ControlFontName(control));
}

// kind(k).FONTSIZE
void SyncGetControlFontSize() {
    if (const QWidget* control = GetterControl()) GlPushNum(ControlFontSize(control));
}

// kind(k).FONTSTYLE: "Normal", or " Bold", " Italic", " Underline", " StrikeOut" joined.
void SyncGetControlFontStyle() {
    if (const QWidget* control = GetterControl()) GlPushStr(FontStyleToStr(ControlFontStyle(control)));
}

// CTEXTBOX(k).MULTILINE
void SyncGetControlMultiLine() {
    int k = 0;
    if (GetterControl(false, &k) == nullptr) return;
    GlPushBool(ControlTextMultiLine[static_cast<std::size_t>(k)] != 0);
}
