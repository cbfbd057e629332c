// The mapping of Qt's keys to the Windows virtual-key numbers programs see.
#include "platform/virtualkeys.h"

#include <Qt>

#include <array>

namespace {

struct KeyPair {
    int QtKey;
    int VirtualKey;
};

// Keys whose numbers differ between the two worlds. Letters and digits share theirs (A = 0x41, 0 = 0x30).
constexpr std::array<KeyPair, 56> Pairs = {{
    {Qt::Key_Backspace, 0x08},    {Qt::Key_Tab, 0x09},         {Qt::Key_Backtab, 0x09},
    {Qt::Key_Return, 0x0D},       {Qt::Key_Enter, 0x0D},       {Qt::Key_Shift, 0x10},
    {Qt::Key_Control, 0x11},      {Qt::Key_Alt, 0x12},         {Qt::Key_Pause, 0x13},
    {Qt::Key_CapsLock, 0x14},     {Qt::Key_Escape, 0x1B},      {Qt::Key_Space, 0x20},
    {Qt::Key_PageUp, 0x21},       {Qt::Key_PageDown, 0x22},    {Qt::Key_End, 0x23},
    {Qt::Key_Home, 0x24},         {Qt::Key_Left, 0x25},        {Qt::Key_Up, 0x26},
    {Qt::Key_Right, 0x27},        {Qt::Key_Down, 0x28},        {Qt::Key_Print, 0x2C},
    {Qt::Key_Insert, 0x2D},       {Qt::Key_Delete, 0x2E},      {Qt::Key_Help, 0x2F},
    {Qt::Key_Meta, 0x5B},         {Qt::Key_Menu, 0x5D},        {Qt::Key_F1, 0x70},
    {Qt::Key_F2, 0x71},           {Qt::Key_F3, 0x72},          {Qt::Key_F4, 0x73},
    {Qt::Key_F5, 0x74},           {Qt::Key_F6, 0x75},          {Qt::Key_F7, 0x76},
    {Qt::Key_F8, 0x77},           {Qt::Key_F9, 0x78},          {Qt::Key_F10, 0x79},
    {Qt::Key_F11, 0x7A},          {Qt::Key_F12, 0x7B},         {Qt::Key_NumLock, 0x90},
    {Qt::Key_ScrollLock, 0x91},   {Qt::Key_Semicolon, 0xBA},   {Qt::Key_Colon, 0xBA},
    {Qt::Key_Plus, 0xBB},         {Qt::Key_Equal, 0xBB},       {Qt::Key_Comma, 0xBC},
    {Qt::Key_Less, 0xBC},         {Qt::Key_Minus, 0xBD},       {Qt::Key_Period, 0xBE},
    {Qt::Key_Greater, 0xBE},      {Qt::Key_Slash, 0xBF},       {Qt::Key_Question, 0xBF},
    {Qt::Key_QuoteLeft, 0xC0},    {Qt::Key_BracketLeft, 0xDB}, {Qt::Key_Backslash, 0xDC},
    {Qt::Key_BracketRight, 0xDD}, {Qt::Key_Apostrophe, 0xDE},
}};

// The keypad's operators; its digits follow Numpad0 in order. The decimal key gives a comma on some
// layouts and is the same key.
constexpr int Numpad0 = 0x60;
constexpr std::array<KeyPair, 6> KeypadPairs = {{
    {Qt::Key_Asterisk, 0x6A},
    {Qt::Key_Plus, 0x6B},
    {Qt::Key_Minus, 0x6D},
    {Qt::Key_Period, 0x6E},
    {Qt::Key_Comma, 0x6E},
    {Qt::Key_Slash, 0x6F},
}};

} // namespace

int VirtualKeyFromQtKey(int qtKey, Qt::KeyboardModifiers modifiers) {
    if (modifiers.testFlag(Qt::KeypadModifier)) {
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return Numpad0 + (qtKey - Qt::Key_0);
        for (const KeyPair& pair : KeypadPairs)
            if (pair.QtKey == qtKey) return pair.VirtualKey;
        // Without Num Lock the keypad's keys are the cursor keys, Insert and Delete: as below.
    }
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey;
    for (const KeyPair& pair : Pairs)
        if (pair.QtKey == qtKey) return pair.VirtualKey;
    return 0;
}
