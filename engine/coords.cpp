// The screen geometry's one instance, Gs, and the conversions shared by drawing and window settings: world
// to pixels and back, colour texts, palette numbers, and the pen and brush codes.
#include "engine/coords.h"

#include "engine/numconvert.h"

#include <array>
#include <cmath>
#include <string_view>

// Before the first GSCREEN nothing is drawn, but GSCREEN keeps the previous size; this is the size a
// program that never asked for one would see.
constinit GraphScreenGeometry Gs;

namespace {

constexpr int PaletteSize = 16;
constexpr int OldPaletteVersion = 9; // SETVERSION 0.9 keeps the colour order of that version
constexpr int HexColorLength = 7;    // "#RRGGBB"
constexpr int HexBase = 16;

constexpr ColorWord Black = 0x000000, Navy = 0x800000, Blue = 0xFF0000, Green = 0x008000, Lime = 0x00FF00,
                    Teal = 0x808000, Cyan = 0xFFFF00, Maroon = 0x000080, Purple = 0x800080, Red = 0x0000FF,
                    Olive = 0x008080, Fuchsia = 0xFF00FF, Gray = 0x808080, Yellow = 0x00FFFF,
                    Silver = 0xC0C0C0, White = 0xFFFFFF;

constexpr std::array<ColorWord, PaletteSize> OldPalette = {Black,  Blue,  Red,   Purple, Green,  Cyan,
                                                           Yellow, White, Gray,  Navy,   Maroon, Fuchsia,
                                                           Lime,   Teal,  Olive, Silver};
constexpr std::array<ColorWord, PaletteSize> Palette = {Black, Navy,    Green,  Teal, Maroon, Purple,
                                                        Olive, Silver,  Gray,   Blue, Lime,   Cyan,
                                                        Red,   Fuchsia, Yellow, White};

struct NamedColor {
    std::u16string_view Name;
    ColorWord Color;
};
constexpr std::array<NamedColor, 17> ColorNames = {{
    {u"BLACK", Black},
    {u"NAVY", Navy},
    {u"BLUE", Blue},
    {u"GREEN", Green},
    {u"LIME", Lime},
    {u"TEAL", Teal},
    {u"CYAN", Cyan},
    {u"AQUA", Cyan},
    {u"MAROON", Maroon},
    {u"PURPLE", Purple},
    {u"RED", Red},
    {u"OLIVE", Olive},
    {u"FUCHSIA", Fuchsia},
    {u"GRAY", Gray},
    {u"YELLOW", Yellow},
    {u"SILVER", Silver},
    {u"WHITE", White},
}};

// Limited to +-32767 first, so the rounding never meets a value an int cannot hold.
int ToDevice(Extended v) {
    if (std::isnan(v)) return -DeviceLimit; // nothing sensible to draw: far off the bitmap
    if (v > DeviceLimit) v = DeviceLimit;
    if (v < -DeviceLimit) v = -DeviceLimit;
    return static_cast<int>(std::lrint(v)); // the rounding mode is to nearest, halves to even
}

// The pen and brush settings as programs number them: a code from first to last names the enumerator
// of that value, any other code the default.
template <typename Enum> Enum EnumFromCode(int code, int first, int last, Enum fallback) {
    return code >= first && code <= last ? static_cast<Enum>(code) : fallback;
}
template <typename Enum> int EnumToCode(Enum value, int first, int last, Enum fallback) {
    const int code = static_cast<int>(value);
    return code >= first && code <= last ? code : static_cast<int>(fallback);
}

} // namespace

DevicePoint WorldToDevice(Extended x, Extended y) {
    return DevicePoint{ToDevice((x - Ps.WorldXMin) * Ps.WorldXScale),
                       ToDevice((y - Ps.WorldYMin) * Ps.WorldYScale)};
}

void DeviceToWorld(int px, int py, Extended& x, Extended& y) {
    x = px / Ps.WorldXScale + Ps.WorldXMin;
    y = py / Ps.WorldYScale + Ps.WorldYMin;
    if (Ps.MathGraph != 0) y = Ps.WorldYMin + Ps.WorldYMax - y;
}

QString ColorToHexText(ColorWord color) {
    const auto hex = [](unsigned byte) {
        return QStringLiteral("%1").arg(byte & 0xFFu, 2, HexBase, QLatin1Char('0'));
    };
    return (QStringLiteral("#") + hex(color) + hex(color >> 8) + hex(color >> 16)).toUpper();
}

ColorWord ColorFromText(const QString& text) {
    const QString key = text.isEmpty() ? QStringLiteral(" ") : text.toUpper();
    if (key.size() == HexColorLength && key.front() == u'#') {
        // "#RRGGBB" is the number BBGGRR: the pairs are read in the reverse order.
        const QString reordered = key.mid(5, 2) + key.mid(3, 2) + key.mid(1, 2);
        bool ok = false;
        const uint value = reordered.toUInt(&ok, HexBase);
        for (QChar c : reordered)
            if (!c.isDigit() && (c < u'A' || c > u'F')) ok = false; // no sign or blank inside
        return ok ? value : Black;
    }
    for (const NamedColor& named : ColorNames)
        if (QStringView(key) == named.Name) return named.Color;
    return Black;
}

ColorWord PaletteColor(int number) {
    if (number < 0 || number >= PaletteSize) return Black;
    const auto& palette = Ps.LanguageVersion == OldPaletteVersion ? OldPalette : Palette;
    return palette[static_cast<std::size_t>(number)];
}

ColorWord PaletteColorOf(Extended number) {
    std::int32_t n = 0;
    if (!TruncToInt32(number, n)) return Black;
    return PaletteColor(n);
}

PenMode PenModeFromCode(int code) {
    return EnumFromCode(code, PenModeFirst, PenModeLast, PenMode::CopyPen);
}

int PenModeToCode(PenMode mode) {
    return EnumToCode(mode, PenModeFirst, PenModeLast, PenMode::CopyPen);
}

PenStyle PenStyleFromCode(int code) {
    return EnumFromCode(code, 0, PenStyleLast, PenStyle::Solid);
}

int PenStyleToCode(PenStyle style) {
    return EnumToCode(style, 0, PenStyleLast, PenStyle::Solid);
}

BrushStyle BrushStyleFromCode(int code) {
    return EnumFromCode(code, 0, BrushStyleLast, BrushStyle::Solid);
}

int BrushStyleToCode(BrushStyle style) {
    return EnumToCode(style, 0, BrushStyleLast, BrushStyle::Solid);
}

int PenWidthFromValue(int value) {
    return value < 1 ? 1 : value;
}
