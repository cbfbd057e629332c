// The property setters: each checks the value and k on the Gl stack, pops both, checks k and the
// window, and writes the property of control k. A text box's geometry, colours and font go to its edit
// and its memo alike; its text and visibility belong to the active control alone.
#include "controlwindow/properties.h"

#include "core/errornumbers.h"
#include "core/raiseerror.h"
#include "core/sharedstate.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/coords.h"
#include "engine/numconvert.h"
#include "platform/settingsstore.h"
#include "ui/controlform.h"

#include <QLineEdit>
#include <QWidget>

#include <array>
#include <cstdint>

namespace {

// What a setter accepts on top of the stack.
enum class ValueType { String, Number, Boolean, Colour };

struct SetterArgs {
    int K = 0;
    int Kind = 0;
    QString Text;
    long double Number = 0;
    bool Flag = false;
    std::uint32_t Colour = 0;
};

bool TopHasType(ValueType type) {
    const int top = GlTopType();
    switch (type) {
    case ValueType::String: return top == GlValueType::String;
    case ValueType::Number: return top == GlValueType::Number;
    case ValueType::Boolean: return top == GlValueType::Boolean;
    case ValueType::Colour: return top == GlValueType::Number || top == GlValueType::String;
    }
    return false;
}

void FailSyntax(int kind) {
    RaiseError(Err::StatementSyntax, kind);
}

// The colour of a setter's value: a palette number, or a colour text or name.
std::uint32_t PopColour() {
    if (GlTopType() == GlValueType::String) {
        QString text;
        GlPopStr(text);
        return ColorFromText(text);
    }
    return PaletteColorOf(GlPopNum());
}

// The checks and pops every setter shares. False (error set, nothing written) when a check fails: a
// wrong type pops nothing; a bad k or a closed window has popped the value and k.
bool PopSetterArgs(int code, ValueType type, SetterArgs& args) {
    args.Kind = PropertyKindOfCode(code);
    if (GlSecondType() != GlValueType::Number || !TopHasType(type)) {
        FailSyntax(args.Kind);
        return false;
    }
    switch (type) {
    case ValueType::String: GlPopStr(args.Text); break;
    case ValueType::Number: args.Number = GlPopNum(); break;
    case ValueType::Boolean: args.Flag = GlPopBool(); break;
    case ValueType::Colour: args.Colour = PopColour(); break;
    }
    args.K = ControlIndexFromNumber(GlPopNum());
    if (args.K == 0) {
        FailSyntax(args.Kind);
        return false;
    }
    if (Rc.CScreenOpen == 0 || Win.LXControlForm == nullptr) {
        RaiseError(Err::ControlWindowClosed);
        return false;
    }
    return args.Kind != 0;
}

// The controls a shared property goes to: the button, the label, or a text box's edit and then memo.
std::array<QWidget*, 2> Targets(const SetterArgs& args) {
    QWidget* memo = args.Kind == St::CTEXTBOX ? Win.LXControlForm->Memo(args.K) : nullptr;
    return {KindControl(args.Kind, args.K), memo};
}

template <typename Write> void SetOnAll(int code, ValueType type, Write write) {
    SetterArgs args;
    if (!PopSetterArgs(code, type, args)) return;
    for (QWidget* control : Targets(args))
        if (control != nullptr) write(control, args);
}

// A property in whole pixels or points: the number cut towards zero, held within int.
void SetWholeOnAll(int code, void (*set)(QWidget*, int)) {
    SetOnAll(code, ValueType::Number,
             [set](QWidget* control, const SetterArgs& args) { set(control, TruncSaturated(args.Number)); });
}

} // namespace

// kind(k).CAPTION = text, kind(k).TEXT = text
void SyncSetControlText(int code) {
    SetterArgs args;
    if (!PopSetterArgs(code, ValueType::String, args)) return;
    QWidget* control = ActiveControl(args.Kind, args.K);
    if (control != nullptr) SetControlText(control, args.Text);
}

// kind(k).COLOR = palette number | colour text
void SyncSetControlColor(int code) {
    SetOnAll(code, ValueType::Colour,
             [](QWidget* control, const SetterArgs& args) { SetControlColor(control, args.Colour); });
}

// kind(k).HEIGHT = pixels
void SyncSetControlHeight(int code) {
    SetWholeOnAll(code, SetControlHeight);
}

// kind(k).LEFT = pixels
void SyncSetControlLeft(int code) {
    SetWholeOnAll(code, SetControlLeft);
}

// kind(k).TOP = pixels
void SyncSetControlTop(int code) {
    SetWholeOnAll(code, SetControlTop);
}

// kind(k).WIDTH = pixels
void SyncSetControlWidth(int code) {
    SetWholeOnAll(code, SetControlWidth);
}

// kind(k).VISIBLE = boolean
void SyncSetControlVisible(int code) {
    SetterArgs args;
    if (!PopSetterArgs(code, ValueType::Boolean, args)) return;
    QWidget* control = ActiveControl(args.Kind, args.K);
    if (control != nullptr) control->setVisible(args.Flag);
}

// CTEXTBOX(k).MULTILINE = boolean: makes the memo (true) or the edit (false) the active control. When
// the text box is on view the other control takes its place and the text moves across; when it is
// hidden only the switch changes.
void SyncSetControlMultiLine(int code) {
    SetterArgs args;
    if (!PopSetterArgs(code, ValueType::Boolean, args)) return;
    if (args.Kind != St::CTEXTBOX) return;
    const int k = args.K;
    Rc.ControlTextMultiLine[static_cast<std::size_t>(k)] = args.Flag ? 1 : 0;
    QLineEdit* edit = Win.LXControlForm->Edit(k);
    TLXMemo* memo = Win.LXControlForm->Memo(k);
    if (args.Flag && !edit->isHidden()) {
        edit->setVisible(false);
        memo->setVisible(true);
        memo->SetText(edit->text());
    } else if (!args.Flag && !memo->isHidden()) {
        memo->setVisible(false);
        edit->setVisible(true);
        // The first line: a text set while the box had one line comes back unchanged.
        edit->setText(memo->Line(0));
    }
}

// kind(k).FONTCHARSET = number (the low eight bits count)
void SyncSetControlFontCharset(int code) {
    SetOnAll(code, ValueType::Number, [](QWidget* control, const SetterArgs& args) {
        std::int64_t charset = 0; // beyond 64 bits no low byte is meaningful: 0
        if (!TruncToInt64(args.Number, charset)) charset = 0;
        SetControlFontCharset(control, static_cast<int>(charset & 0xFF));
    });
}

// kind(k).FONTCOLOR = palette number | colour text
void SyncSetControlFontColor(int code) {
    SetOnAll(code, ValueType::Colour,
             [](QWidget* control, const SetterArgs& args) { SetControlFontColor(control, args.Colour); });
}

// kind(k).FONTNAME = name
void SyncSetControlFontName(int code) {
    SetOnAll(code, ValueType::String,
             [](QWidget* control, const SetterArgs& args) { SetControlFontName(control, args.Text); });
}

// kind(k).FONTSIZE = points
void SyncSetControlFontSize(int code) {
    SetWholeOnAll(code, SetControlFontSize);
}

// kind(k).FONTSTYLE = "Bold Italic Underline StrikeOut" in any mix, or "Normal"
void SyncSetControlFontStyle(int code) {
    SetOnAll(code, ValueType::String, [](QWidget* control, const SetterArgs& args) {
        SetControlFontStyle(control, StrToFontStyle(args.Text));
    });
}
