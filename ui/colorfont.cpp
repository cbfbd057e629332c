// The conversions between colour words and Qt's colours, and between font-style bits and Qt's fonts.
#include "ui/colorfont.h"

#include "platform/settings.h"

namespace {

constexpr std::uint32_t ByteMask = 0xFF;
constexpr int GreenShift = 8;
constexpr int BlueShift = 16;

} // namespace

QColor FromColorRef(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & ByteMask), static_cast<int>((bgr >> GreenShift) & ByteMask),
                  static_cast<int>((bgr >> BlueShift) & ByteMask));
}

std::uint32_t ToColorRef(const QColor& color) {
    return static_cast<std::uint32_t>(color.red()) |
           (static_cast<std::uint32_t>(color.green()) << GreenShift) |
           (static_cast<std::uint32_t>(color.blue()) << BlueShift);
}

std::uint8_t StyleOfFont(const QFont& font) {
    std::uint8_t style = 0;
    if (font.bold()) style |= FontStyleBit::Bold;
    if (font.italic()) style |= FontStyleBit::Italic;
    if (font.underline()) style |= FontStyleBit::Underline;
    if (font.strikeOut()) style |= FontStyleBit::StrikeOut;
    return style;
}

void SetFontStyle(QFont& font, std::uint8_t style) {
    font.setBold((style & FontStyleBit::Bold) != 0);
    font.setItalic((style & FontStyleBit::Italic) != 0);
    font.setUnderline((style & FontStyleBit::Underline) != 0);
    font.setStrikeOut((style & FontStyleBit::StrikeOut) != 0);
}
