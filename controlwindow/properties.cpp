// The control-window properties' dispatch: the handler each property code names, the show statements,
// the opening and closing of the window, and the helpers the getters and setters share.
#include "controlwindow/properties.h"

#include "core/controlproperties.h"
#include "core/errornumbers.h"
#include "core/raiseerror.h"
#include "core/sharedstate.h"
#include "core/vocabulary.h"
#include "engine/enginehooks.h"
#include "ui/controlform.h"

#include <QLineEdit>
#include <QPushButton>

#include <cmath>
#include <limits>
#include <string_view>

namespace {

// The handlers of each property word; CAPTION and TEXT share theirs, CLICK is polled by the engine.
struct PropertyHandler {
    std::u16string_view Word;
    void (*Set)(int code);
    void (*Get)(int code);
};

constexpr PropertyHandler PropertyHandlers[] = {
    {u"CAPTION", SyncSetControlText, SyncGetControlText},
    {u"CLICK", nullptr, nullptr},
    {u"COLOR", SyncSetControlColor, SyncGetControlColor},
    {u"FONTCHARSET", SyncSetControlFontCharset, SyncGetControlFontCharset},
    {u"FONTCOLOR", SyncSetControlFontColor, SyncGetControlColor},
    {u"FONTNAME", SyncSetControlFontName, SyncGetControlFontName},
    {u"FONTSIZE", SyncSetControlFontSize, SyncGetControlFontSize},
    {u"FONTSTYLE", SyncSetControlFontStyle, SyncGetControlFontStyle},
    {u"HEIGHT", SyncSetControlHeight, SyncGetControlHeight},
    {u"LEFT", SyncSetControlLeft, SyncGetControlLeft},
    {u"MULTILINE", SyncSetControlMultiLine, SyncGetControlMultiLine},
    {u"TEXT", SyncSetControlText, SyncGetControlText},
    {u"TOP", SyncSetControlTop, SyncGetControlTop},
    {u"VISIBLE", SyncSetControlVisible, SyncGetControlVisible},
    {u"WIDTH", SyncSetControlWidth, SyncGetControlWidth},
};

// The word of property number n in its kind; empty when no kind has it.
std::u16string_view PropertyWord(int n) {
    for (const ControlPropertyEntry& entry : ControlProperties)
        if (entry.Button == n || entry.Label == n || entry.TextBox == n) return entry.Word;
    return {};
}

const PropertyHandler* HandlerOf(std::u16string_view word) {
    for (const PropertyHandler& handler : PropertyHandlers)
        if (handler.Word == word) return &handler;
    return nullptr;
}

bool IsSetterCode(int code) {
    return code > PropertySetBase && code < PropertyGetBase;
}

} // namespace

int PropertyNumberOfCode(int code) {
    const int n = IsSetterCode(code) ? code - PropertySetBase : code - PropertyGetBase;
    return ControlKindOfProperty(n) != 0 ? n : 0;
}

int PropertyKindOfCode(int code) {
    return ControlKindOfProperty(PropertyNumberOfCode(code));
}

void RunControlProperty(int code) {
    const int n = PropertyNumberOfCode(code);
    if (n == 0) return;
    const PropertyHandler* handler = HandlerOf(PropertyWord(n));
    if (handler == nullptr) return;
    void (*run)(int) = IsSetterCode(code) ? handler->Set : handler->Get;
    if (run != nullptr) run(code);
}

QWidget* KindControl(int kind, int k) {
    if (Win.LXControlForm == nullptr) return nullptr;
    switch (kind) {
    case St::CBUTTON: return Win.LXControlForm->Button(k);
    case St::CLABEL: return Win.LXControlForm->Label(k);
    case St::CTEXTBOX: return Win.LXControlForm->Edit(k);
    default: return nullptr;
    }
}

QWidget* ActiveTextBox(int k) {
    if (Win.LXControlForm == nullptr || k < 1 || k > ControlCount) return nullptr;
    if (Rc.ControlTextMultiLine[static_cast<std::size_t>(k)] != 0) return Win.LXControlForm->Memo(k);
    return Win.LXControlForm->Edit(k);
}

QWidget* ActiveControl(int kind, int k) {
    return kind == St::CTEXTBOX ? ActiveTextBox(k) : KindControl(kind, k);
}

QString ControlText(const QWidget* control) {
    if (const auto* button = qobject_cast<const QPushButton*>(control)) return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(control)) return label->text();
    if (const auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text();
    if (const auto* memo = qobject_cast<const TLXMemo*>(control)) return memo->Text();
    return QString();
}

void SetControlText(QWidget* control, const QString& text) {
    if (auto* button = qobject_cast<QPushButton*>(control))
        button->setText(text);
    else if (auto* label = qobject_cast<TLXLabel*>(control))
        label->SetCaption(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(text);
    else if (auto* memo = qobject_cast<TLXMemo*>(control))
        memo->SetText(text);
}

int TruncSaturated(long double value) {
    if (std::isnan(value)) return 0;
    constexpr long double Low = std::numeric_limits<int>::min();
    constexpr long double High = std::numeric_limits<int>::max();
    if (value <= Low) return std::numeric_limits<int>::min();
    if (value >= High) return std::numeric_limits<int>::max();
    return static_cast<int>(std::trunc(value)); // strictly inside the range here
}

// CBUTTON(k) ON|OFF, CLABEL(k) ON|OFF, CTEXTBOX(k) ON|OFF, with k checked and the ON or OFF taken by
// the engine.
void SyncShowControl(int kind, int k, bool on) {
    if (Rc.CScreenOpen == 0 || Win.LXControlForm == nullptr) {
        RaiseError(Err::ControlWindowClosed);
        return;
    }
    QWidget* control = ActiveControl(kind, k);
    if (control != nullptr) control->setVisible(on);
}

void SyncOpenControlForm() {
    TLXControlForm* old = Win.LXControlForm;
    if (old != nullptr && Rc.CScreenOpen != 0) old->close();
    Win.LXControlForm = new TLXControlForm;
    Win.LXControlForm->setFixedSize(CScreenSize.Width, CScreenSize.Height);
    Win.LXControlForm->move(Ps.CScreenLeft, Ps.CScreenTop);
    Win.LXControlForm->show();
    Rc.CScreenOpen = 1;
    // The old window is closed and no handler reaches it any more.
    if (old != nullptr) old->deleteLater();
}

void SyncCloseControlForm() {
    if (Win.LXControlForm != nullptr) Win.LXControlForm->close();
}

void InstallControlWindow() {
    Hooks.ControlPropertyHook = &RunControlProperty;
    Hooks.ShowControlHook = &SyncShowControl;
    Hooks.OpenControlFormHook = &SyncOpenControlForm;
    Hooks.CloseControlFormHook = &SyncCloseControlForm;
}
