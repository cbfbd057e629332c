// The property words of the control window's buttons, labels and text boxes and their numbers. The
// statement scan turns "CBUTTON(k).word" into a function item of 1000 + n (set) or 2000 + n (get); the
// control-window code dispatches on the same numbers, so both read this one table.
#pragma once

#include "core/codeitem.h"
#include "core/internalcodes.h"
#include "core/vocabulary.h"

#include <array>
#include <string_view>

// A property word and its number n for each kind of control; 0 where the kind has no such property.
struct ControlPropertyEntry {
    std::u16string_view Word;
    int Button;  // CBUTTON
    int Label;   // CLABEL
    int TextBox; // CTEXTBOX
};

namespace ControlProperty {
inline constexpr int Click = 197; // the button's click flag: read only, its item carries 1197
} // namespace ControlProperty

// Within each kind the numbers follow the alphabetical order of the words; a button's and a label's
// CAPTION is the same property as their TEXT.
inline constexpr std::array<ControlPropertyEntry, 15> ControlProperties = {{
    {u"CAPTION", 196, 209, 0},
    {u"CLICK", ControlProperty::Click, 0, 0},
    {u"COLOR", 198, 210, 224},
    {u"FONTCHARSET", 199, 211, 225},
    {u"FONTCOLOR", 200, 212, 226},
    {u"FONTNAME", 201, 213, 227},
    {u"FONTSIZE", 202, 214, 228},
    {u"FONTSTYLE", 203, 215, 229},
    {u"HEIGHT", 204, 216, 230},
    {u"LEFT", 205, 217, 231},
    {u"MULTILINE", 0, 0, 232},
    {u"TEXT", 196, 209, 233},
    {u"TOP", 206, 218, 234},
    {u"VISIBLE", 207, 219, 235},
    {u"WIDTH", 208, 220, 236},
}};

// The property number of `word` for the control kind named by its statement slot (St::CBUTTON,
// St::CLABEL or St::CTEXTBOX); 0 when the kind has no such property or the slot is no control kind.
constexpr int ControlPropertyNumber(int controlStatement, std::u16string_view word) {
    for (const ControlPropertyEntry& entry : ControlProperties) {
        if (entry.Word != word) continue;
        switch (controlStatement) {
        case St::CBUTTON: return entry.Button;
        case St::CLABEL: return entry.Label;
        case St::CTEXTBOX: return entry.TextBox;
        default: return 0;
        }
    }
    return 0;
}

// The control kind (St::CBUTTON, St::CLABEL or St::CTEXTBOX) whose range holds property number n,
// or 0 for a number outside the three ranges.
constexpr int ControlKindOfProperty(int n) {
    if (n >= PropertyRange::ButtonFirst && n <= PropertyRange::ButtonLast) return St::CBUTTON;
    if (n >= PropertyRange::LabelFirst && n <= PropertyRange::LabelLast) return St::CLABEL;
    if (n >= PropertyRange::TextBoxFirst && n <= PropertyRange::TextBoxLast) return St::CTEXTBOX;
    return 0;
}

// Every number of the table lies in its own kind's range, so a code tells its kind.
constexpr bool ControlPropertiesInRange() {
    for (const ControlPropertyEntry& entry : ControlProperties) {
        if (entry.Button != 0 && ControlKindOfProperty(entry.Button) != St::CBUTTON) return false;
        if (entry.Label != 0 && ControlKindOfProperty(entry.Label) != St::CLABEL) return false;
        if (entry.TextBox != 0 && ControlKindOfProperty(entry.TextBox) != St::CTEXTBOX) return false;
    }
    return true;
}
static_assert(ControlPropertiesInRange(), "a control property number lies outside its kind's range");
static_assert(PropertyRange::ButtonClick == PropertySetBase + ControlProperty::Click);
