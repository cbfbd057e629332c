// Our drawing canvas over a QImage: the pen, brush and font of the classic desktop canvas with its
// pixel conventions kept, so a program draws the pixels it always drew: a filled rectangle and an
// ellipse's bounding box leave out their right and bottom edges, a line leaves out its last pixel,
// fonts are sized at 96 dots per inch. Pens and brushes meet the pixels below through the sixteen
// binary raster operations. Colours are colour words 0x00BBGGRR (red in the low byte).
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

using ColorWord = std::uint32_t;
inline constexpr ColorWord ColorWordMask = 0x00FFFFFF;
inline constexpr ColorWord BlackColor = 0x000000;
inline constexpr ColorWord WhiteColor = 0xFFFFFF;
inline constexpr ColorWord InvalidColor = 0xFFFFFFFF; // what Pixel() gives outside the picture

// The sixteen binary raster operations, numbered as the platform numbers them (P pen, D pixel).
enum class PenMode : std::uint8_t {
    Black = 1,        // 0
    NotMergePen = 2,  // ~(P | D)
    MaskNotPen = 3,   // ~P & D
    NotCopyPen = 4,   // ~P
    MaskPenNot = 5,   // P & ~D
    Not = 6,          // ~D
    XorPen = 7,       // P ^ D
    NotMaskPen = 8,   // ~(P & D)
    MaskPen = 9,      // P & D
    NotXorPen = 10,   // ~(P ^ D)
    Nop = 11,         // D
    MergeNotPen = 12, // ~P | D
    CopyPen = 13,     // P
    MergePenNot = 14, // P | ~D
    MergePen = 15,    // P | D
    White = 16,       // 1
};
inline constexpr int PenModeFirst = 1;
inline constexpr int PenModeLast = 16;

// Pen styles in their classic order. The broken styles are drawn broken only by one-pixel lines (as
// the platform does); wider pens and the outlines of ellipses draw them solid.
enum class PenStyle : std::uint8_t { Solid, Dash, Dot, DashDot, DashDotDot, Clear, InsideFrame };
inline constexpr int PenStyleLast = 6;

// Brush styles in their classic order. A hatched brush leaves the pixels between its lines as they
// were; Clear fills nothing.
enum class BrushStyle : std::uint8_t {
    Solid,
    Clear,
    Horizontal,
    Vertical,
    FDiagonal,
    BDiagonal,
    Cross,
    DiagCross
};
inline constexpr int BrushStyleLast = 7;

enum class FloodFillType : std::uint8_t {
    Border,  // fill everything connected to the start point up to pixels of the colour
    Surface, // fill everything connected to the start point that has the colour
};

ColorWord ApplyRasterOp(PenMode mode, ColorWord pen, ColorWord pixel);
inline QRgb ColorWordToRgb(ColorWord c) {
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline ColorWord RgbToColorWord(QRgb rgb) {
    return ((rgb >> 16) & 0xFFu) | (rgb & 0xFF00u) | ((rgb & 0xFFu) << 16);
}

struct CanvasPen {
    ColorWord Color = BlackColor;
    PenMode Mode = PenMode::CopyPen;
    PenStyle Style = PenStyle::Solid;
    int Width = 1; // below 1 counts as 1
};

struct CanvasBrush {
    ColorWord Color = WhiteColor;
    BrushStyle Style = BrushStyle::Solid;
};

struct CanvasFont {
    QString Name;
    int Size = 10;          // points at 96 dots per inch
    std::uint8_t Style = 0; // FontStyleBit set (bold 1, italic 2, underline 4, strike-out 8)
    ColorWord Color = BlackColor;
    int Charset = 1; // kept for the programs that read it back; glyphs come from any font
};

class Canvas {
public:
    Canvas();
    // A picture of width x height pixels filled with `fill`. When memory runs out the canvas is
    // empty (IsNull) and draws nothing.
    Canvas(int width, int height, ColorWord fill = WhiteColor);
    ~Canvas();
    // A canvas is not copied: its text painter stays with its own picture.
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool IsNull() const { return image_.isNull(); }
    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    // A new size: the part of the picture that still fits stays at the top left, new pixels get
    // `fill`. False, with the canvas unchanged, when memory runs out or a size is below 1.
    bool SetSize(int width, int height, ColorWord fill = WhiteColor);

    // The pixels (format RGB32). Whoever shares the canvas between threads guards it with a lock.
    // Text leaves a painter open on the picture for the next text; asking for the picture closes
    // it, so that what is done with the picture (another painter, a copy) is done on it alone.
    QImage& Image() {
        EndText();
        return image_;
    }
    const QImage& Image() const {
        EndText();
        return image_;
    }

    CanvasPen Pen;
    CanvasBrush Brush;
    CanvasFont Font;
    QPoint PenPos;

    // The colour of a pixel; InvalidColor outside the picture.
    ColorWord Pixel(int x, int y) const;
    // Sets one pixel to the colour as it stands (no raster operation); outside the picture nothing.
    void SetPixel(int x, int y, ColorWord color);

    void MoveTo(int x, int y) { PenPos = QPoint(x, y); }
    // A line from PenPos to (x, y) with the pen, without its last pixel; PenPos moves there.
    // Wider pens draw the whole line with round ends.
    bool LineTo(int x, int y);
    // Lines through the points in order; each leaves out its last pixel, which the next one draws.
    bool Polyline(const QPoint* points, int count);
    // Fills x1..x2-1 by y1..y2-1 with the brush's pattern as it stands (no raster operation); the
    // corners are taken in either order.
    void FillRect(int x1, int y1, int x2, int y2);
    // The ellipse in the box x1..x2-1 by y1..y2-1: the inside with the brush, the outline with the
    // pen, both through the pen's raster operation.
    bool Ellipse(int x1, int y1, int x2, int y2);
    // The part of the ellipse's outline from the ray through (xs, ys) counter-clockwise to the ray
    // through (xe, ye); the whole outline when both rays are the same.
    bool Arc(int x1, int y1, int x2, int y2, int xs, int ys, int xe, int ye);
    // The sector of the ellipse between the two rays: the arc and the two radii with the pen, the
    // inside with the brush.
    bool Pie(int x1, int y1, int x2, int y2, int xs, int ys, int xe, int ye);
    // Fills the area around (x, y) with the brush's pattern (no raster operation); what is filled is
    // decided on the pixels as they were before. A start outside the area, or outside the picture,
    // fills nothing.
    bool FloodFill(int x, int y, ColorWord color, FloodFillType type);
    // The text with its top-left corner at (x, y) in the font and its colour; behind it a box of the
    // brush colour when the brush is solid. PenPos does not move. Gives the part of the picture that
    // the text may have changed (a band of rows for text in the font's own characters, otherwise
    // the whole picture), found without laying the text out a second time.
    QRect TextOut(int x, int y, const QString& text);
    QSize TextExtent(const QString& text) const;
    // Copies sourceRect of `source` (this canvas itself too) onto dest, stretched to fit.
    void CopyRect(const QRect& dest, const Canvas& source, const QRect& sourceRect);

private:
    // A font of the texts with its metrics, for as long as Font names the same font.
    struct TextFont {
        QString Name;
        int Size = 0;
        std::uint8_t Style = 0;
        QFont Font;
        std::optional<QFontMetrics> Metrics;
        int Ascent = 0, Height = 0;
        std::bitset<256> OwnCharacters; // the printable Latin-1 characters the font has itself
        bool OpaqueBox = false;         // the painter's opaque background is the text's box
        std::uint64_t Epoch = 0;        // which resolution of a font this is
        // Whether the font draws the text all alone, from its own printable Latin-1 characters.
        bool OwnText(const QString& text) const;
        // Whether the text can be drawn on its box in one pass.
        bool OnePiece(const QString& text) const;
    };
    const TextFont& FontForText() const;
    // The painter of the texts, open on the picture with the font of `font`.
    QPainter& TextPainter(const TextFont& font);
    // The text's pixels as TextOut lays them down: on a box of `box` when `boxed`.
    static void DrawTextIn(QPainter& painter, const TextFont& font, int x, int y, const QString& text,
                           bool boxed, const QColor& box);

    // A text drawn again in the same font (a label or a score redrawn in a loop) is not shaped and
    // rasterised anew: the second time it is drawn once on a scratch picture, and the pixels that
    // drawing changed are kept as runs of glyph and box pixels, which every later time writes in
    // the colours of that time. The pixels are the painter's own, so they are the same.
    struct StampRun {
        int Dy = 0, Dx = 0, Length = 0; // from the text's top-left corner
        bool Glyph = false;             // the font colour; else the box's
    };
    struct TextStamp {
        enum class Kind : std::uint8_t { Seen, Stamped, Refused };
        std::uint64_t Epoch = 0; // the TextFont's; 0: a free place
        bool Boxed = false;
        QString Text;
        Kind State = Kind::Seen;
        std::uint64_t LastUse = 0;
        std::vector<StampRun> Runs;
    };
    // The stamp for the text in the font, made on its second drawing; null while there is none.
    const TextStamp* StampFor(const TextFont& font, const QString& text, bool boxed);
    static bool MakeStamp(TextStamp& stamp, const TextFont& font);
    void DrawStamp(const TextStamp& stamp, int x, int y, QRgb glyph, QRgb box);
    // Closes the painter of the texts before the picture is changed or handed out another way.
    void EndText() const;

    bool DrawLines(const QPoint* points, int count, bool closeLastPixel);
    bool DrawEllipseShape(int x1, int y1, int x2, int y2, int xs, int ys, int xe, int ye, int shape);
    void BlendPixel(int x, int y, ColorWord color);

    QImage image_;
    static constexpr std::size_t KeptTextFonts = 4;
    mutable std::array<TextFont, KeptTextFonts> textFonts_;
    mutable std::size_t nextTextFont_ = 0;    // the kept font to replace next
    mutable std::uint64_t textFontEpoch_ = 0; // counts the fonts resolved
    mutable std::unique_ptr<QPainter> textPainter_;
    std::uint64_t painterFontEpoch_ = 0;    // the font textPainter_ has
    static constexpr QRgb NoPainterPen = 0; // no pen colour is transparent
    QRgb painterPen_ = NoPainterPen;        // the pen colour textPainter_ has
    bool painterPenTiled_ = false;          // and whether its pen tiles it
    std::vector<std::uint64_t> fillMarks_;  // a flood fill's marks, clear between fills
    static constexpr std::size_t KeptStamps = 8;
    std::array<TextStamp, KeptStamps> stamps_;
    std::uint64_t stampUses_ = 0; // the clock of TextStamp::LastUse
};
