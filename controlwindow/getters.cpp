// The property getters: each pops the control number k, checks it, and pushes the
// property of control k. For a text box only the text and the visibility follow the active control;
// everything else is read from the one-line edit, which the setters keep alike with the memo.
#include "controlwindow/properties.h"

#include "core/controlproperties.h"
#include "core/sharedstate.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/coords.h"
#include "platform/settingsstore.h"
#include "ui/controlform.h"

#include <QWidget>

namespace {

// Steps shared by every getter: k from the stack, then control k of the kind of `code` (or, with
// `active`, a text box's active control). nullptr when a check failed (error set) or the code is none
// of this handler's, which then pushes nothing.
QWidget* GetterControl(int code, bool active = false, int* index = nullptr) {
    const int kind = PropertyKindOfCode(code);
    const int k = PopControlIndex(kind != 0 ? kind : St::CBUTTON);
    if (Fe.ErrorNumber != 0 || k == 0) return nullptr;
    // Before the first CSCREEN a getter reads the hidden window's controls.
    ControlForm();
    if (index != nullptr) *index = k;
    return active ? ActiveControl(kind, k) : KindControl(kind, k);
}

void PushGeometry(int code, int (QWidget::*read)() const) {
    if (const QWidget* control = GetterControl(code)) GlPushNum((control->*read)());
}

} // namespace

// CBUTTON(k).CAPTION, CBUTTON(k).TEXT, CLABEL(k).CAPTION, CLABEL(k).TEXT, CTEXTBOX(k).TEXT
void SyncGetControlText(int code) {
    if (const QWidget* control = GetterControl(code, true)) GlPushStr(ControlText(control));
}

// kind(k).HEIGHT
void SyncGetControlHeight(int code) {
    PushGeometry(code, &QWidget::height);
}
// kind(k).LEFT
void SyncGetControlLeft(int code) {
    PushGeometry(code, &QWidget::x);
}
// kind(k).TOP
void SyncGetControlTop(int code) {
    PushGeometry(code, &QWidget::y);
}
// kind(k).WIDTH
void SyncGetControlWidth(int code) {
    PushGeometry(code, &QWidget::width);
}

// kind(k).VISIBLE: the control's own switch, whether or not the window is on the screen.
void SyncGetControlVisible(int code) {
    if (const QWidget* control = GetterControl(code, true)) GlPushBool(!control->isHidden());
}

// kind(k).FONTCHARSET
void SyncGetControlFontCharset(int code) {
    if (const QWidget* control = GetterControl(code)) GlPushNum(ControlFontCharset(control));
}

// kind(k).FONTCOLOR, and kind(k).COLOR: a label's colour, a button's brush, a text box's colour.
void SyncGetControlColor(int code) {
    const bool background =
        PropertyNumberOfCode(code) == ControlPropertyNumber(PropertyKindOfCode(code), u"COLOR");
    if (const QWidget* control = GetterControl(code))
        GlPushStr(ColorToHexText(background ? ControlColor(control) : ControlFontColor(control)));
}

// kind(k).FONTNAME
void SyncGetControlFontName(int code) {
    if (const QWidget* control = GetterControl(code)) GlPushStr(ControlFontName(control));
}

// kind(k).FONTSIZE
void SyncGetControlFontSize(int code) {
    if (const QWidget* control = GetterControl(code)) GlPushNum(ControlFontSize(control));
}

// kind(k).FONTSTYLE: "Normal", or " Bold", " Italic", " Underline", " StrikeOut" joined.
void SyncGetControlFontStyle(int code) {
    if (const QWidget* control = GetterControl(code)) GlPushStr(FontStyleToStr(ControlFontStyle(control)));
}

// CTEXTBOX(k).MULTILINE
void SyncGetControlMultiLine(int code) {
    int k = 0;
    if (GetterControl(code, false, &k) == nullptr) return;
    GlPushBool(Rc.ControlTextMultiLine[static_cast<std::size_t>(k)] != 0);
}
