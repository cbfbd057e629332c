// The canvas's own rasterising: lines, rectangles, ellipses, arcs and sectors traced in whole numbers,
// the scanline flood fill, and text through one kept painter, a text drawn again stamped from its pixels.
#include "platform/canvas.h"

#include "platform/memorybudget.h"
#include "platform/settings.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <new>
#include <optional>
#include <vector>

namespace {

using Int = std::int64_t;

constexpr int ScreenDpi = 96;
constexpr int PointsPerInch = 72;
constexpr int HatchMask = 7; // hatch lines every 8 pixels, aligned to the picture's origin
// Coordinates are pulled in to this range first: far outside any picture, and small enough that the
// arithmetic below cannot overflow.
constexpr Int CoordinateLimit = Int{1} << 24;
constexpr long double Pi = 3.141592653589793238462643383279502884L;
constexpr long double FullTurn = 2 * Pi;
// An angle this close to the end of an arc still belongs to it (rounding of the end point).
constexpr long double AngleTolerance = 1e-12L;

// The ellipse trace's error terms grow as the cube of the box's size; below this size they fit in
// 64-bit integers with room to spare.
constexpr Int ExactTraceLimit = Int{1} << 17;

// How many rows ahead an ellipse's drawing asks for the memory of its rows.
constexpr Int RowsAhead = 8;

// Wider pens than this draw as this wide (far beyond any picture).
constexpr int MaxPenWidth = 1 << 16;

Int Limit(Int v) {
    return std::clamp(v, -CoordinateLimit, CoordinateLimit);
}

Int FloorDiv(Int a, Int b) {
    Int q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

// Broken pen styles of one-pixel lines: runs of drawn and skipped pixels, starting with a drawn one.
constexpr int DashRuns[] = {18, 6};
constexpr int DotRuns[] = {3, 3};
constexpr int DashDotRuns[] = {9, 6, 3, 6};
constexpr int DashDotDotRuns[] = {9, 3, 3, 3, 3, 3};

template <std::size_t N> bool RunsOn(const int (&runs)[N], Int index) {
    int total = 0;
    for (int run : runs)
        total += run;
    Int at = index % total;
    for (std::size_t k = 0; k < N; ++k) {
        if (at < runs[k]) return k % 2 == 0;
        at -= runs[k];
    }
    return true;
}

bool DashOn(PenStyle style, Int index) {
    switch (style) {
    case PenStyle::Dash: return RunsOn(DashRuns, index);
    case PenStyle::Dot: return RunsOn(DotRuns, index);
    case PenStyle::DashDot: return RunsOn(DashDotRuns, index);
    case PenStyle::DashDotDot: return RunsOn(DashDotDotRuns, index);
    default: return true;
    }
}

bool HatchOn(BrushStyle style, int x, int y) {
    const bool horizontal = (y & HatchMask) == 0;
    const bool vertical = (x & HatchMask) == 0;
    const bool falling = ((x - y) & HatchMask) == 0; // "\": down from left to right
    const bool rising = ((x + y) & HatchMask) == 0;  // "/": up from left to right
    switch (style) {
    case BrushStyle::Solid: return true;
    case BrushStyle::Clear: return false;
    case BrushStyle::Horizontal: return horizontal;
    case BrushStyle::Vertical: return vertical;
    case BrushStyle::FDiagonal: return falling;
    case BrushStyle::BDiagonal: return rising;
    case BrushStyle::Cross: return horizontal || vertical;
    case BrushStyle::DiagCross: return falling || rising;
    }
    return false;
}

// A set of pixels inside a clip rectangle, so that a figure whose parts overlap (thick lines, the
// radii of a sector) meets each pixel's raster operation once.
class PixelMask {
public:
    bool Init(const QRect& clip) {
        clip_ = clip;
        bits_.clear();
        if (clip_.isEmpty()) return true;
        try {
            bits_.assign(static_cast<std::size_t>(clip_.width()) * static_cast<std::size_t>(clip_.height()),
                         0);
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }
    bool Inside(Int x, Int y) const {
        return x >= clip_.left() && x <= clip_.right() && y >= clip_.top() && y <= clip_.bottom();
    }
    void Set(Int x, Int y) {
        if (Inside(x, y)) bits_[Offset(x, y)] = 1;
    }
    bool Test(Int x, Int y) const { return Inside(x, y) && bits_[Offset(x, y)] != 0; }
    const QRect& Clip() const { return clip_; }

private:
    std::size_t Offset(Int x, Int y) const {
        return static_cast<std::size_t>(y - clip_.top()) * static_cast<std::size_t>(clip_.width()) +
               static_cast<std::size_t>(x - clip_.left());
    }
    QRect clip_;
    std::vector<std::uint8_t> bits_;
};

// The pixels of the line from (x0, y0) to (x1, y1), each with its index along the line, for the
// indices whose pixel can lie within `clip` widened by `margin`. Each pixel is computed directly
// from its index, so a line that reaches far outside the picture costs only its visible part.
template <typename Plot>
void WalkLine(Int x0, Int y0, Int x1, Int y1, bool includeLast, const QRect& clip, int margin, Plot plot) {
    const Int dx = x1 - x0, dy = y1 - y0;
    const Int adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    const bool xMajor = adx >= ady;
    const Int major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    Int last = includeLast ? major : major - 1;
    if (last < 0) return;
    if (major == 0) {
        plot(x0, y0, Int{0});
        return;
    }
    const Int start = xMajor ? x0 : y0;
    const int step = xMajor ? sx : sy;
    const Int low = (xMajor ? clip.left() : clip.top()) - margin;
    const Int high = (xMajor ? clip.right() : clip.bottom()) + margin;
    Int first = 0;
    if (step > 0) {
        first = std::max(first, low - start);
        last = std::min(last, high - start);
    } else {
        first = std::max(first, start - high);
        last = std::min(last, start - low);
    }
    for (Int i = first; i <= last; ++i) {
        const Int along = (2 * i * minor + major) / (2 * major); // the minor step, rounded
        if (xMajor)
            plot(x0 + sx * i, y0 + sy * along, i);
        else
            plot(x0 + sx * along, y0 + sy * i, i);
    }
}

// Marks the pixels within half the pen's width of the segment from (x0, y0) to (x1, y1): a wide pen
// with round ends. Costs the area of the segment's box, whatever the width.
void StrokeSegment(PixelMask& mask, Int x0, Int y0, Int x1, Int y1, int width) {
    const QRect& clip = mask.Clip();
    if (clip.isEmpty()) return;
    const long double radius = width / 2.0L;
    const Int reach = width / 2 + 1;
    const Int left = std::max<Int>(std::min(x0, x1) - reach, clip.left());
    const Int right = std::min<Int>(std::max(x0, x1) + reach, clip.right());
    const Int top = std::max<Int>(std::min(y0, y1) - reach, clip.top());
    const Int bottom = std::min<Int>(std::max(y0, y1) + reach, clip.bottom());
    const long double dx = static_cast<long double>(x1 - x0), dy = static_cast<long double>(y1 - y0);
    const long double length2 = dx * dx + dy * dy;
    for (Int y = top; y <= bottom; ++y)
        for (Int x = left; x <= right; ++x) {
            const long double px = static_cast<long double>(x - x0), py = static_cast<long double>(y - y0);
            long double t = length2 > 0 ? (px * dx + py * dy) / length2 : 0;
            t = std::clamp(t, 0.0L, 1.0L);
            const long double ex = px - t * dx, ey = py - t * dy;
            if (ex * ex + ey * ey <= radius * radius) mask.Set(x, y);
        }
}

// An ellipse inscribed in the box [X1, X2) x [Y1, Y2), traced with the midpoint method between the
// box's corner pixels: it touches all four sides of its box however flat it is, and its four
// quarters are traced together as mirror images, so the shape is exactly symmetric. Only the rows
// asked for are kept.
class EllipseRows {
public:
    EllipseRows(Int x1, Int y1, Int x2, Int y2, Int firstRow, Int lastRow)
        : X1(x1), Y1(y1), X2(x2), Y2(y2), first_(std::max(firstRow, y1)), last_(std::min(lastRow, y2 - 1)) {
        if (X2 <= X1 || Y2 <= Y1 || first_ > last_) return;
        rows_.assign(static_cast<std::size_t>(last_ - first_ + 1), RowSpan{});
        Trace();
    }

    const Int X1, Y1, X2, Y2;

    // The pixels of row y inside the ellipse: xl..xr; false when the row has none (or was not kept).
    bool Span(Int y, Int& xl, Int& xr) const {
        if (y < first_ || y > last_ || rows_.empty()) return false;
        const RowSpan& row = rows_[static_cast<std::size_t>(y - first_)];
        xl = row.Left;
        xr = row.Right;
        return xl <= xr;
    }

    // The pixels of row y that lie inside with all four neighbours inside too: the ellipse less its
    // one-pixel outline (rows y - 1 and y + 1 must be kept as well).
    bool InnerSpan(Int y, Int& xl, Int& xr) const {
        if (y - 1 < first_ || y + 1 > last_ || rows_.empty()) return false;
        const RowSpan* const row = &rows_[static_cast<std::size_t>(y - first_)];
        const RowSpan &up = row[-1], &middle = row[0], &down = row[1];
        if (up.Left > up.Right || middle.Left > middle.Right || down.Left > down.Right) return false;
        xl = std::max({middle.Left + 1, up.Left, down.Left});
        xr = std::min({middle.Right - 1, up.Right, down.Right});
        return xl <= xr;
    }

private:
    struct RowSpan {
        Int Left = 1, Right = 0; // empty
    };

    // Row y reaches from left to right at least (left <= right).
    void Plot(Int y, Int left, Int right) {
        if (y < first_ || y > last_) return;
        RowSpan& row = rows_[static_cast<std::size_t>(y - first_)];
        if (row.Left > row.Right) {
            row.Left = left;
            row.Right = right;
            return;
        }
        row.Left = std::min(row.Left, left);
        row.Right = std::max(row.Right, right);
    }

    // From the middle of the left and right sides towards the top and bottom, one step in x or y
    // (or both) at a time, whichever keeps the error of the implicit equation smallest. The terms
    // are whole numbers: up to a box of ExactTraceLimit they stay within 64 bits and are summed
    // exactly as integers; larger boxes sum them in extended precision, rounding as they always did.
    void Trace() {
        if (X2 - 1 - X1 < ExactTraceLimit && Y2 - 1 - Y1 < ExactTraceLimit)
            TraceIn<Int>();
        else
            TraceIn<long double>();
    }

    template <typename Num> void TraceIn() {
        Int x0 = X1, x1 = X2 - 1;
        const Int a = x1 - x0, b = Y2 - 1 - Y1, bOdd = b & 1;
        const Num na = static_cast<Num>(a), nb = static_cast<Num>(b);
        Num dx = Num{4} * static_cast<Num>(1 - a) * nb * nb,
            dy = Num{4} * static_cast<Num>(bOdd + 1) * na * na;
        Num err = dx + dy + static_cast<Num>(bOdd) * na * na;
        Int y0 = Y1 + (b + 1) / 2;
        Int y1 = y0 - bOdd;
        const Num stepA = Num{8} * na * na, stepB = Num{8} * nb * nb;
        do {
            Plot(y0, x0, x1);
            Plot(y1, x0, x1);
            const Num e2 = 2 * err;
            if (e2 <= dy) {
                ++y0;
                --y1;
                dy += stepA;
                err += dy;
            }
            if (e2 >= dx || 2 * err > dy) {
                ++x0;
                --x1;
                dx += stepB;
                err += dx;
            }
        } while (x0 <= x1);
        // A very narrow ellipse stops before its tips: finish them straight up and down.
        while (y0 - y1 <= b) {
            const Int left = std::min(x0 - 1, x1 + 1), right = std::max(x0 - 1, x1 + 1);
            Plot(y0++, left, right);
            Plot(y1--, left, right);
        }
    }

    Int first_, last_;
    std::vector<RowSpan> rows_;
};

// The counter-clockwise sweep (as seen on the screen) from one ray from the centre to another.
struct Sweep {
    bool Full = true;
    long double Start = 0, Extent = 0;

    static long double Normal(long double a) {
        a = std::fmod(a, FullTurn);
        if (a < 0) a += FullTurn;
        return a;
    }
    // u and v: doubled offsets from the centre, v downwards.
    static long double AngleOf(long double u, long double v) { return std::atan2(-v, u); }

    bool Contains(long double u, long double v) const {
        if (Full) return true;
        return Normal(AngleOf(u, v) - Start) <= Extent + AngleTolerance;
    }
};

struct RowPart {
    Int Left = 0, Right = -1;
};

// Pixels left..right of one row (within the picture) meet the colour through the raster operation.
inline void BlendRun(PenMode mode, QRgb* row, Int left, Int right, ColorWord color) {
    if (mode == PenMode::CopyPen) {
        const QRgb rgb = ColorWordToRgb(color & ColorWordMask);
        for (Int x = left; x <= right; ++x)
            row[x] = rgb;
        return;
    }
    for (Int x = left; x <= right; ++x)
        row[x] = ColorWordToRgb(ApplyRasterOp(mode, color, RgbToColorWord(row[x])));
}

} // namespace

ColorWord ApplyRasterOp(PenMode mode, ColorWord pen, ColorWord pixel) {
    ColorWord result = pen;
    switch (mode) {
    case PenMode::Black: result = 0; break;
    case PenMode::NotMergePen: result = ~(pen | pixel); break;
    case PenMode::MaskNotPen: result = ~pen & pixel; break;
    case PenMode::NotCopyPen: result = ~pen; break;
    case PenMode::MaskPenNot: result = pen & ~pixel; break;
    case PenMode::Not: result = ~pixel; break;
    case PenMode::XorPen: result = pen ^ pixel; break;
    case PenMode::NotMaskPen: result = ~(pen & pixel); break;
    case PenMode::MaskPen: result = pen & pixel; break;
    case PenMode::NotXorPen: result = ~(pen ^ pixel); break;
    case PenMode::Nop: result = pixel; break;
    case PenMode::MergeNotPen: result = ~pen | pixel; break;
    case PenMode::CopyPen: result = pen; break;
    case PenMode::MergePenNot: result = pen | ~pixel; break;
    case PenMode::MergePen: result = pen | pixel; break;
    case PenMode::White: result = ColorWordMask; break;
    }
    return result & ColorWordMask;
}

namespace {

// A picture is the program's memory too: one larger than its budget has room for is not made (the
// caller reports the canvas it did not get as out of memory).
bool PictureFits(int width, int height) {
    return MemoryBudget::AllowsElements(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                                        sizeof(QRgb));
}

} // namespace
Canvas::Canvas() = default;
Canvas::~Canvas() = default;

Canvas::Canvas(int width, int height, ColorWord fill) {
    if (width < 1 || height < 1 || !PictureFits(width, height)) return;
    image_ = QImage(width, height, QImage::Format_RGB32);
    if (!image_.isNull()) image_.fill(ColorWordToRgb(fill));
}

bool Canvas::SetSize(int width, int height, ColorWord fill) {
    if (width < 1 || height < 1) return false;
    if (width == Width() && height == Height()) return true;
    if (!PictureFits(width, height)) return false;
    EndText();
    QImage resized(width, height, QImage::Format_RGB32);
    if (resized.isNull()) return false;
    resized.fill(ColorWordToRgb(fill));
    if (!image_.isNull()) {
        QPainter painter(&resized);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, image_);
    }
    image_ = std::move(resized);
    return true;
}

ColorWord Canvas::Pixel(int x, int y) const {
    if (!image_.valid(x, y)) return InvalidColor;
    return RgbToColorWord(reinterpret_cast<const QRgb*>(image_.constScanLine(y))[x]);
}

void Canvas::SetPixel(int x, int y, ColorWord color) {
    if (!image_.valid(x, y)) return;
    reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = ColorWordToRgb(color & ColorWordMask);
}

void Canvas::BlendPixel(int x, int y, ColorWord color) {
    if (!image_.valid(x, y)) return;
    QRgb& pixel = reinterpret_cast<QRgb*>(image_.scanLine(y))[x];
    pixel = ColorWordToRgb(ApplyRasterOp(Pen.Mode, color, RgbToColorWord(pixel)));
}

bool Canvas::LineTo(int x, int y) {
    const QPoint points[2] = {PenPos, QPoint(x, y)};
    PenPos = points[1];
    return DrawLines(points, 2, false);
}

bool Canvas::Polyline(const QPoint* points, int count) {
    if (count < 2) return true;
    return DrawLines(points, count, false);
}

bool Canvas::DrawLines(const QPoint* points, int count, bool includeLast) {
    if (IsNull() || Pen.Style == PenStyle::Clear) return true;
    const QRect picture = image_.rect();
    const int width = std::clamp(Pen.Width, 1, MaxPenWidth);
    if (width == 1) {
        // Each pixel is met once: a segment leaves out its end, which the next segment starts with.
        Int along = 0;
        for (int k = 0; k + 1 < count; ++k) {
            const Int x0 = Limit(points[k].x()), y0 = Limit(points[k].y());
            const Int x1 = Limit(points[k + 1].x()), y1 = Limit(points[k + 1].y());
            WalkLine(x0, y0, x1, y1, includeLast, picture, 0, [&](Int px, Int py, Int i) {
                if (DashOn(Pen.Style, along + i))
                    BlendPixel(static_cast<int>(px), static_cast<int>(py), Pen.Color);
            });
            along += std::max(std::llabs(x1 - x0), std::llabs(y1 - y0));
        }
        return true;
    }
    // A wide pen: the union of round pen prints along the whole path, ends included.
    Int left = CoordinateLimit, top = CoordinateLimit, right = -CoordinateLimit, bottom = -CoordinateLimit;
    for (int k = 0; k < count; ++k) {
        left = std::min<Int>(left, Limit(points[k].x()));
        right = std::max<Int>(right, Limit(points[k].x()));
        top = std::min<Int>(top, Limit(points[k].y()));
        bottom = std::max<Int>(bottom, Limit(points[k].y()));
    }
    const QRect bounds = QRect(QPoint(static_cast<int>(std::max<Int>(left - width, picture.left())),
                                      static_cast<int>(std::max<Int>(top - width, picture.top()))),
                               QPoint(static_cast<int>(std::min<Int>(right + width, picture.right())),
                                      static_cast<int>(std::min<Int>(bottom + width, picture.bottom()))));
    PixelMask mask;
    if (!mask.Init(bounds.isValid() ? bounds : QRect())) return false;
    if (mask.Clip().isEmpty()) return true;
    for (int k = 0; k + 1 < count; ++k)
        StrokeSegment(mask, Limit(points[k].x()), Limit(points[k].y()), Limit(points[k + 1].x()),
                      Limit(points[k + 1].y()), width);
    for (int y = bounds.top(); y <= bounds.bottom(); ++y)
        for (int x = bounds.left(); x <= bounds.right(); ++x)
            if (mask.Test(x, y)) BlendPixel(x, y, Pen.Color);
    return true;
}

void Canvas::FillRect(int x1, int y1, int x2, int y2) {
    if (IsNull() || Brush.Style == BrushStyle::Clear) return;
    const QRect fill =
        QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2) - 1, std::max(y1, y2) - 1))
            .intersected(image_.rect());
    if (fill.isEmpty()) return;
    const QRgb color = ColorWordToRgb(Brush.Color & ColorWordMask);
    for (int y = fill.top(); y <= fill.bottom(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
        if (Brush.Style == BrushStyle::Solid) {
            std::fill(row + fill.left(), row + fill.right() + 1, color);
            continue;
        }
        for (int x = fill.left(); x <= fill.right(); ++x)
            if (HatchOn(Brush.Style, x, y)) row[x] = color;
    }
}

bool Canvas::Ellipse(int x1, int y1, int x2, int y2) {
    return DrawEllipseShape(x1, y1, x2, y2, 0, 0, 0, 0, 0);
}

bool Canvas::Arc(int x1, int y1, int x2, int y2, int xs, int ys, int xe, int ye) {
    return DrawEllipseShape(x1, y1, x2, y2, xs, ys, xe, ye, 1);
}

bool Canvas::Pie(int x1, int y1, int x2, int y2, int xs, int ys, int xe, int ye) {
    return DrawEllipseShape(x1, y1, x2, y2, xs, ys, xe, ye, 2);
}

namespace {

// What the rows of one ellipse, arc or sector are drawn from: the traced ellipses, the sweep of an
// arc or a sector, and the picture's rows.
struct EllipseFrame {
    QRect Picture;
    bool Pen = false;  // an outline is drawn
    bool Wide = false; // by a pen wider than a pixel: between an outer and an inner ellipse
    const EllipseRows* Box = nullptr;
    const EllipseRows* Outer = nullptr;
    const EllipseRows* Inner = nullptr;
    Sweep Arc;
    Int SumX = 0, SumY = 0;
    QRgb* Bits = nullptr;
    qsizetype Stride = 0;

    bool InSweep(Int x, Int y) const {
        return Arc.Contains(static_cast<long double>(2 * x + 1 - SumX),
                            static_cast<long double>(2 * y + 1 - SumY));
    }
    // Per row: the brush part (inside the outline) and the pen part (the outline, up to two pieces).
    void RowParts(Int y, RowPart& fill, RowPart& rimLeft, RowPart& rimRight) const {
        fill = rimLeft = rimRight = RowPart{};
        Int ol = 0, orr = 0;
        if (!Pen) {
            if (Box->Span(y, ol, orr)) fill = RowPart{ol, orr};
            return;
        }
        if (!Outer->Span(y, ol, orr)) return;
        Int il = 0, ir = 0;
        const bool hasInner = Wide ? Inner->Span(y, il, ir) : Box->InnerSpan(y, il, ir);
        if (!hasInner) {
            rimLeft = RowPart{ol, orr};
            return;
        }
        fill = RowPart{il, ir};
        rimLeft = RowPart{ol, il - 1};
        rimRight = RowPart{ir + 1, orr};
    }
    RowPart Clipped(RowPart part) const {
        part.Left = std::max<Int>(part.Left, Picture.left());
        part.Right = std::min<Int>(part.Right, Picture.right());
        return part;
    }
    QRgb* RowAt(Int y) const { return Bits + static_cast<qsizetype>(y) * Stride; }
};

// An ellipse or an arc, rows top to bottom. The brush part and the pen part of a row never overlap:
// each pixel is met once.
void DrawEllipseRows(const EllipseFrame& f, const CanvasPen& pen, const CanvasBrush& brush, bool filled,
                     Int top, Int bottom) {
    for (Int y = top; y <= bottom; ++y) {
        QRgb* const row = f.RowAt(y);
        // An outline touches a few pixels in each of many rows: ask for the rows ahead early, so
        // that their memory is on its way while this row is drawn.
        Int aheadLeft = 0, aheadRight = 0;
        if (y + RowsAhead <= bottom && f.Outer->Span(y + RowsAhead, aheadLeft, aheadRight)) {
            QRgb* const ahead = f.RowAt(y + RowsAhead);
            __builtin_prefetch(ahead + std::clamp<Int>(aheadLeft, f.Picture.left(), f.Picture.right()), 1);
            __builtin_prefetch(ahead + std::clamp<Int>(aheadRight, f.Picture.left(), f.Picture.right()), 1);
        }
        RowPart fill, rimLeft, rimRight;
        f.RowParts(y, fill, rimLeft, rimRight);
        if (filled) {
            const RowPart part = f.Clipped(fill);
            if (brush.Style == BrushStyle::Solid)
                BlendRun(pen.Mode, row, part.Left, part.Right, brush.Color);
            else
                for (Int x = part.Left; x <= part.Right; ++x)
                    if (HatchOn(brush.Style, static_cast<int>(x), static_cast<int>(y)))
                        BlendRun(pen.Mode, row, x, x, brush.Color);
        }
        if (f.Pen && f.Arc.Full) {
            const RowPart left = f.Clipped(rimLeft), right = f.Clipped(rimRight);
            BlendRun(pen.Mode, row, left.Left, left.Right, pen.Color);
            BlendRun(pen.Mode, row, right.Left, right.Right, pen.Color);
        } else if (f.Pen) {
            for (const RowPart& rim : {rimLeft, rimRight}) {
                const RowPart part = f.Clipped(rim);
                for (Int x = part.Left; x <= part.Right; ++x)
                    if (f.InSweep(x, y)) BlendRun(pen.Mode, row, x, x, pen.Color);
            }
        }
    }
}

// A sector of the box bx1, by1 - bx2, by2 from the ray through `start` to the ray through `end`: the
// arc and the two radii overlap, so the pen's pixels are gathered first. False when the mask of the
// pen's pixels cannot be had.
bool DrawSectorRows(const EllipseFrame& f, const CanvasPen& pen, const CanvasBrush& brush, bool filled,
                    int width, Int top, Int bottom, const Int (&box)[4], QPoint start, QPoint end) {
    const Int bx1 = box[0], by1 = box[1], bx2 = box[2], by2 = box[3];
    const QRect bounds = QRect(
        QPoint(static_cast<int>(std::max<Int>(f.Outer->X1 - width, f.Picture.left())), static_cast<int>(top)),
        QPoint(static_cast<int>(std::min<Int>(f.Outer->X2 + width, f.Picture.right())),
               static_cast<int>(bottom)));
    PixelMask penMask;
    if (!penMask.Init(bounds.isValid() ? bounds : QRect())) return false;
    if (penMask.Clip().isEmpty()) return true;
    if (f.Pen) {
        for (Int y = top; y <= bottom; ++y) {
            RowPart fill, rimLeft, rimRight;
            f.RowParts(y, fill, rimLeft, rimRight);
            for (const RowPart& rim : {rimLeft, rimRight}) {
                const RowPart part = f.Clipped(rim);
                for (Int x = part.Left; x <= part.Right; ++x)
                    if (f.InSweep(x, y)) penMask.Set(x, y);
            }
        }
        // The radii from the centre to where the two rays meet the ellipse.
        const Int cx = FloorDiv(f.SumX, 2), cy = FloorDiv(f.SumY, 2);
        const long double w = static_cast<long double>(bx2 - bx1), h = static_cast<long double>(by2 - by1);
        auto radius = [&](int px, int py) {
            const long double u = 2.0L * px - f.SumX, v = 2.0L * py - f.SumY;
            if (u == 0 && v == 0) return;
            const long double t = w * h / std::sqrt(u * u * h * h + v * v * w * w);
            const Int ex = std::clamp<Int>(static_cast<Int>(std::floor((f.SumX + t * u) / 2)), bx1, bx2 - 1);
            const Int ey = std::clamp<Int>(static_cast<Int>(std::floor((f.SumY + t * v) / 2)), by1, by2 - 1);
            if (width > 1)
                StrokeSegment(penMask, cx, cy, ex, ey, width);
            else
                WalkLine(cx, cy, ex, ey, true, f.Picture, 0, [&](Int x, Int y, Int) { penMask.Set(x, y); });
        };
        radius(start.x(), start.y());
        if (!f.Arc.Full) radius(end.x(), end.y());
    }
    for (Int y = top; y <= bottom; ++y) {
        QRgb* const row = f.RowAt(y);
        if (filled) {
            RowPart fill, rimLeft, rimRight;
            f.RowParts(y, fill, rimLeft, rimRight);
            const RowPart part = f.Clipped(fill);
            for (Int x = part.Left; x <= part.Right; ++x)
                if (!penMask.Test(x, y) && f.InSweep(x, y) &&
                    HatchOn(brush.Style, static_cast<int>(x), static_cast<int>(y)))
                    BlendRun(pen.Mode, row, x, x, brush.Color);
        }
        for (int x = bounds.left(); x <= bounds.right(); ++x)
            if (penMask.Test(x, y)) BlendRun(pen.Mode, row, x, x, pen.Color);
    }
    return true;
}

} // namespace

bool Canvas::DrawEllipseShape(int x1, int y1, int x2, int y2, int xs, int ys, int xe, int ye, int shape) {
    constexpr int ShapeEllipse = 0, ShapeArc = 1, ShapePie = 2;
    if (IsNull()) return true;
    const Int bx1 = Limit(std::min(x1, x2)), by1 = Limit(std::min(y1, y2));
    const Int bx2 = Limit(std::max(x1, x2)), by2 = Limit(std::max(y1, y2));
    if (bx2 <= bx1 || by2 <= by1) return true;

    const bool pen = Pen.Style != PenStyle::Clear;
    const bool brush = shape != ShapeArc && Brush.Style != BrushStyle::Clear;
    const int width = std::clamp(Pen.Width, 1, MaxPenWidth);
    // The outline runs between an outer and an inner ellipse; a one-pixel pen is the ellipse's own
    // rim. Inside-frame pens keep the whole outline within the box.
    Int outerBy = 0, innerBy = 0;
    if (pen && width > 1) {
        outerBy = Pen.Style == PenStyle::InsideFrame ? 0 : width / 2;
        innerBy = outerBy - width;
    }
    const QRect picture = image_.rect();
    const Int firstRow = picture.top() - 1, lastRow = picture.bottom() + 1;
    // Only the ellipses that differ are traced: a one-pixel or inside-frame pen's outer ellipse is
    // the box's own, and only a wide pen has an inner one.
    const bool wide = pen && width > 1;
    std::optional<EllipseRows> boxRows, outerRows, innerRows;
    if (!wide || outerBy == 0) boxRows.emplace(bx1, by1, bx2, by2, firstRow, lastRow);
    if (wide && outerBy != 0)
        outerRows.emplace(bx1 - outerBy, by1 - outerBy, bx2 + outerBy, by2 + outerBy, firstRow, lastRow);
    if (wide)
        innerRows.emplace(bx1 - innerBy, by1 - innerBy, bx2 + innerBy, by2 + innerBy, firstRow, lastRow);
    const EllipseRows& outer = outerRows ? *outerRows : *boxRows;
    const Int sumX = bx1 + bx2, sumY = by1 + by2;

    Sweep sweep;
    if (shape != ShapeEllipse) {
        const long double us = 2.0L * xs - sumX, vs = 2.0L * ys - sumY;
        const long double ue = 2.0L * xe - sumX, ve = 2.0L * ye - sumY;
        sweep.Start = Sweep::Normal(Sweep::AngleOf(us, vs));
        sweep.Extent = Sweep::Normal(Sweep::AngleOf(ue, ve) - sweep.Start);
        sweep.Full = sweep.Extent == 0;
    }

    const Int top = std::max<Int>(outer.Y1, picture.top());
    const Int bottom = std::min<Int>(outer.Y2 - 1, picture.bottom());

    EllipseFrame frame;
    frame.Picture = picture;
    frame.Pen = pen;
    frame.Wide = wide;
    frame.Box = boxRows ? &*boxRows : nullptr;
    frame.Outer = &outer;
    frame.Inner = innerRows ? &*innerRows : nullptr;
    frame.Arc = sweep;
    frame.SumX = sumX;
    frame.SumY = sumY;
    frame.Bits = reinterpret_cast<QRgb*>(image_.bits());
    frame.Stride = image_.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    if (shape != ShapePie) {
        DrawEllipseRows(frame, Pen, Brush, brush, top, bottom);
        return true;
    }
    const Int box[4] = {bx1, by1, bx2, by2};
    return DrawSectorRows(frame, Pen, Brush, brush, width, top, bottom, box, QPoint(xs, ys), QPoint(xe, ye));
}

namespace {

// The pixels a flood fill has taken, one bit each, rows of whole 64-bit words. A fill that paints
// its pixels in a colour of the area itself (or leaves some of them unpainted, with a hatched
// brush) needs them to tell the pixels it has taken from those it has not reached yet. The words
// are the canvas's, kept clear between fills: a fill clears the rows it marked, so a small fill in
// a large picture costs its own rows only.
class FillMarks {
public:
    using Word = std::uint64_t;
    static constexpr int WordBits = 64;

    explicit FillMarks(std::vector<Word>& bits) : bits_(bits) {}
    FillMarks(const FillMarks&) = delete;
    FillMarks& operator=(const FillMarks&) = delete;
    ~FillMarks() {
        if (top_ <= bottom_)
            std::fill(bits_.begin() + static_cast<std::ptrdiff_t>(top_) * words_,
                      bits_.begin() + static_cast<std::ptrdiff_t>(bottom_ + 1) * words_, Word{0});
    }

    bool Init(int width, int height) {
        words_ = (width + WordBits - 1) / WordBits;
        const std::size_t size = static_cast<std::size_t>(words_) * static_cast<std::size_t>(height);
        if (bits_.size() == size) return true;
        try {
            bits_.assign(size, 0);
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }
    const Word* Row(int y) const { return bits_.data() + static_cast<std::size_t>(y) * words_; }
    static bool Test(const Word* row, int x) { return ((row[x / WordBits] >> (x % WordBits)) & 1) != 0; }
    // Marks left..right of row y.
    void SetRun(int y, int left, int right) {
        top_ = std::min(top_, y);
        bottom_ = std::max(bottom_, y);
        Word* row = bits_.data() + static_cast<std::size_t>(y) * words_;
        for (int x = left; x <= right;) {
            const int bit = x % WordBits;
            const int count = std::min(WordBits - bit, right - x + 1);
            const Word run = count == WordBits ? ~Word{0} : ((Word{1} << count) - 1) << bit;
            row[x / WordBits] |= run;
            x += count;
        }
    }

private:
    std::vector<Word>& bits_;
    int words_ = 0;
    int top_ = std::numeric_limits<int>::max(), bottom_ = std::numeric_limits<int>::min();
};

// The scanline fill from (x, y), for one kind of area and brush, known at compile time so that
// the test of each pixel is a compare or two. Each run is painted as soon as it is taken, and what
// is taken is decided on the pixels as they were: a painted pixel is either out of the area by its
// new colour, or marked as taken (Marked: a hatched brush, or a fill colour that belongs to the
// area).
template <bool Border, bool Marked, bool Solid> struct AreaFill {
    QRgb* Bits;
    qsizetype Stride;
    int Width, Height;
    QRgb Key, Fill;
    BrushStyle Style;
    FillMarks Marks;

    static bool InArea(QRgb pixel, QRgb key) { return (pixel == key) != Border; }
    QRgb* RowAt(int y) const { return Bits + static_cast<qsizetype>(y) * Stride; }
    bool Open(const QRgb* row, const FillMarks::Word* rowMarks, int x) const {
        const QRgb pixel = row[x];
        if (!InArea(pixel, Key)) return false;
        if constexpr (!Marked) return true;
        if constexpr (Solid)
            if (pixel != Fill) return true;
        return !FillMarks::Test(rowMarks, x);
    }

    bool Run(int x, int y) {
        if (Marked && !Marks.Init(Width, Height)) return false;
        std::vector<QPoint> seeds;
        try {
            seeds.reserve(64);
            seeds.emplace_back(x, y);
            while (!seeds.empty()) {
                const QPoint seed = seeds.back();
                seeds.pop_back();
                const int sy = seed.y();
                QRgb* const row = RowAt(sy);
                const FillMarks::Word* const rowMarks = Marked ? Marks.Row(sy) : nullptr;
                if (!Open(row, rowMarks, seed.x())) continue;
                int left = seed.x(), right = seed.x();
                while (left > 0 && Open(row, rowMarks, left - 1))
                    --left;
                while (right + 1 < Width && Open(row, rowMarks, right + 1))
                    ++right;
                if constexpr (Marked) Marks.SetRun(sy, left, right);
                if constexpr (Solid)
                    std::fill(row + left, row + right + 1, Fill);
                else
                    for (int px = left; px <= right; ++px)
                        if (HatchOn(Style, px, sy)) row[px] = Fill;
                for (const int ny : {sy - 1, sy + 1})
                    if (ny >= 0 && ny < Height) SeedRow(seeds, ny, left, right);
            }
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }

    // A seed at the start of every open run of row y between left and right.
    void SeedRow(std::vector<QPoint>& seeds, int y, int left, int right) const {
        const QRgb* const row = RowAt(y);
        const FillMarks::Word* const rowMarks = Marked ? Marks.Row(y) : nullptr;
        int x = left;
        while (x <= right) {
            // A whole word of taken pixels (the row this run was reached from) is passed over
            // without reading its pixels.
            if constexpr (Marked)
                if (x % FillMarks::WordBits == 0 && right - x >= FillMarks::WordBits - 1 &&
                    rowMarks[x / FillMarks::WordBits] == ~FillMarks::Word{0}) {
                    x += FillMarks::WordBits;
                    continue;
                }
            if (!Open(row, rowMarks, x)) {
                ++x;
                continue;
            }
            seeds.emplace_back(x, y);
            while (x <= right && Open(row, rowMarks, x))
                ++x;
        }
    }
};

template <bool Border, bool Marked, bool Solid>
bool FillArea(QImage& image, std::vector<FillMarks::Word>& marks, int x, int y, QRgb key, QRgb fill,
              BrushStyle style) {
    AreaFill<Border, Marked, Solid> area{reinterpret_cast<QRgb*>(image.bits()),
                                         image.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb)),
                                         image.width(),
                                         image.height(),
                                         key,
                                         fill,
                                         style,
                                         FillMarks(marks)};
    return area.Run(x, y);
}

template <bool Border>
bool FillAreaOf(QImage& image, std::vector<FillMarks::Word>& marks, int x, int y, QRgb key, QRgb fill,
                BrushStyle style) {
    if (style != BrushStyle::Solid)
        return FillArea<Border, true, false>(image, marks, x, y, key, fill, style);
    if (AreaFill<Border, true, true>::InArea(fill, key))
        return FillArea<Border, true, true>(image, marks, x, y, key, fill, style);
    return FillArea<Border, false, true>(image, marks, x, y, key, fill, style);
}

} // namespace

bool Canvas::FloodFill(int x, int y, ColorWord color, FloodFillType type) {
    if (IsNull() || !image_.valid(x, y) || Brush.Style == BrushStyle::Clear) return true;
    const QRgb key = ColorWordToRgb(color & ColorWordMask);
    const QRgb fill = ColorWordToRgb(Brush.Color & ColorWordMask);
    const bool border = type == FloodFillType::Border;
    const QRgb start = reinterpret_cast<const QRgb*>(image_.constScanLine(y))[x];
    if ((start == key) == border) return true; // the start is outside the area
    return border ? FillAreaOf<true>(image_, fillMarks_, x, y, key, fill, Brush.Style)
                  : FillAreaOf<false>(image_, fillMarks_, x, y, key, fill, Brush.Style);
}

namespace {

QFont CanvasQFont(const CanvasFont& font) {
    QFont qfont(font.Name);
    // Sizes are points at 96 dots per inch, rounded as the classic conversion does.
    const int pixels = std::max(1, (std::abs(font.Size) * ScreenDpi + PointsPerInch / 2) / PointsPerInch);
    qfont.setPixelSize(pixels);
    qfont.setBold((font.Style & FontStyleBit::Bold) != 0);
    qfont.setItalic((font.Style & FontStyleBit::Italic) != 0);
    qfont.setUnderline((font.Style & FontStyleBit::Underline) != 0);
    qfont.setStrikeOut((font.Style & FontStyleBit::StrikeOut) != 0);
    // Whole pixels of the text colour, as the program asked for, and the same on every machine.
    qfont.setStyleStrategy(QFont::NoAntialias);
    return qfont;
}

} // namespace

namespace {

// Text is drawn on a box of the brush colour from its top-left corner, as wide as its advance and
// as high as the font.
void DrawTextOnBox(QPainter& painter, int x, int y, const QString& text, const QFontMetrics& metrics,
                   int ascent, int height, const QColor& box) {
    painter.fillRect(QRect(x, y, metrics.horizontalAdvance(text), height), box);
    painter.drawText(QPoint(x, y + ascent), text);
}

// The same in one pass: the painter's opaque background puts the box under the text as it lays
// the text out, so the text is shaped once and not twice. The box is the font's own height from
// the baseline, which is the box above only for fonts whose measures round to it (Canvas::TextFont
// finds out) and only for text that the font draws all alone in one piece.
void DrawTextOpaque(QPainter& painter, int x, int y, const QString& text, int ascent, const QColor& box) {
    painter.setBackground(box);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.drawText(QPoint(x, y + ascent), text);
    painter.setBackgroundMode(Qt::TransparentMode);
}

// The tiled pen's picture: a row of pixels, so that a run of text pixels is copied in few pieces.
constexpr int TextPenTileWidth = 64;
constexpr int Latin1Size = 256;
constexpr char16_t FirstPrintable = 0x20, LastAscii = 0x7E, FirstPrintableLatin1 = 0xA0, SoftHyphen = 0xAD;
// Longer text is cut into several pieces by the layout.
constexpr qsizetype MaxOnePieceText = 1000;
// How many font heights above and below its line a text's own glyphs are taken to reach at most.
constexpr qint64 TextReachLines = 2;
// A text stamp's scratch drawing: three colours that tell glyph, box and untouched pixels apart,
// and the widest text that is stamped (wider texts are rare and would need a large scratch picture).
constexpr QRgb StampGlyph = 0xFF000000u, StampBox = 0xFFFFFFFFu, StampUntouched = 0xFF808080u;
constexpr int MaxStampWidth = 4096;

} // namespace

const Canvas::TextFont& Canvas::FontForText() const {
    // Resolving a font is most of the cost of a short text: the last few fonts are kept, so that
    // a program that writes in two or three fonts by turns resolves each once.
    for (const TextFont& kept : textFonts_)
        if (kept.Metrics && kept.Name == Font.Name && kept.Size == Font.Size && kept.Style == Font.Style)
            return kept;
    TextFont& font = textFonts_[nextTextFont_];
    nextTextFont_ = (nextTextFont_ + 1) % textFonts_.size();
    font.Name = Font.Name;
    font.Size = Font.Size;
    font.Style = Font.Style;
    font.Epoch = ++textFontEpoch_;
    font.Font = CanvasQFont(Font);
    font.Metrics.emplace(font.Font);
    const QFontMetrics& metrics = *font.Metrics;
    font.Ascent = metrics.ascent();
    font.Height = metrics.height();
    // The printable Latin-1 characters that the font has itself, without a stand-in font.
    font.OwnCharacters.reset();
    for (char16_t c = FirstPrintable; c < Latin1Size; ++c)
        if ((c <= LastAscii || (c >= FirstPrintableLatin1 && c != SoftHyphen)) && metrics.inFont(QChar(c)))
            font.OwnCharacters.set(c);
    // Whether the one-pass box is the box: both ways once on a scratch picture. Its height is the
    // font's alone; its right edge is the advance rounded either way.
    font.OpaqueBox = false;
    const QString sample = QStringLiteral("Hg|");
    const int margin = font.Height + 2;
    QImage twoPass(metrics.horizontalAdvance(sample) + 2 * margin, font.Height + 2 * margin,
                   QImage::Format_RGB32);
    if (!twoPass.isNull()) {
        twoPass.fill(Qt::white);
        QImage onePass = twoPass.copy();
        for (QImage* picture : {&twoPass, &onePass}) {
            QPainter painter(picture);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.setFont(font.Font);
            painter.setPen(Qt::black);
            if (picture == &twoPass)
                DrawTextOnBox(painter, margin, margin, sample, metrics, font.Ascent, font.Height, Qt::gray);
            else
                DrawTextOpaque(painter, margin, margin, sample, font.Ascent, Qt::gray);
        }
        font.OpaqueBox = !onePass.isNull() && onePass == twoPass;
    }
    return font;
}

bool Canvas::TextFont::OwnText(const QString& text) const {
    if (text.size() > MaxOnePieceText) return false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= Latin1Size || !OwnCharacters.test(u)) return false;
    }
    return true;
}

bool Canvas::TextFont::OnePiece(const QString& text) const {
    if (!OpaqueBox || !OwnText(text)) return false;
    for (const QChar c : text)
        if (c.unicode() != FirstPrintable) return true;
    return false; // a text of blanks alone gets no box that way
}

QSize Canvas::TextExtent(const QString& text) const {
    const TextFont& font = FontForText();
    return QSize(font.Metrics->horizontalAdvance(text), font.Height);
}

namespace {

// Whole pixels of one colour take either of two ways through the painter. A plain colour pen sends
// them to a blit that writes the picture past the processor's caches, a few bytes at a time, which
// costs more than the rest of a short text together; a pen that tiles a picture of the colour writes
// the same pixels by ordinary stores. The tiled pen draws a struck-out line elsewhere, and an
// underline is kept with it, so text with lines keeps the plain pen.
bool TiledTextPen(std::uint8_t style) {
    return (style & (FontStyleBit::Underline | FontStyleBit::StrikeOut)) == 0;
}

QPen TextPen(QRgb color, bool tiled) {
    if (!tiled) return QPen(QColor::fromRgb(color));
    QImage tile(TextPenTileWidth, 1, QImage::Format_RGB32);
    if (tile.isNull()) return QPen(QColor::fromRgb(color));
    tile.fill(color);
    return QPen(QBrush(tile), 1);
}

} // namespace

QPainter& Canvas::TextPainter(const TextFont& font) {
    // Opening a painter and giving it a font costs as much as a short text: one painter stays
    // open for the texts that follow, with the pixels written directly in between (they are
    // written into the same memory; only a new picture or another painter closes it).
    if (!textPainter_) {
        textPainter_ = std::make_unique<QPainter>(&image_);
        textPainter_->setCompositionMode(QPainter::CompositionMode_Source);
        painterFontEpoch_ = 0;
        painterPen_ = NoPainterPen;
    }
    if (painterFontEpoch_ != font.Epoch) {
        textPainter_->setFont(font.Font);
        painterFontEpoch_ = font.Epoch;
    }
    return *textPainter_;
}

void Canvas::EndText() const {
    textPainter_.reset();
}

void Canvas::DrawTextIn(QPainter& painter, const TextFont& font, int x, int y, const QString& text,
                        bool boxed, const QColor& box) {
    if (!boxed)
        painter.drawText(QPoint(x, y + font.Ascent), text);
    else if (font.OnePiece(text))
        DrawTextOpaque(painter, x, y, text, font.Ascent, box);
    else
        DrawTextOnBox(painter, x, y, text, *font.Metrics, font.Ascent, font.Height, box);
}

const Canvas::TextStamp* Canvas::StampFor(const TextFont& font, const QString& text, bool boxed) {
    TextStamp* oldest = &stamps_.front();
    for (TextStamp& stamp : stamps_) {
        if (stamp.Epoch == font.Epoch && stamp.Boxed == boxed && stamp.Text == text) {
            stamp.LastUse = ++stampUses_;
            if (stamp.State == TextStamp::Kind::Seen)
                stamp.State = MakeStamp(stamp, font) ? TextStamp::Kind::Stamped : TextStamp::Kind::Refused;
            return stamp.State == TextStamp::Kind::Stamped ? &stamp : nullptr;
        }
        if (stamp.LastUse < oldest->LastUse) oldest = &stamp;
    }
    // First seen: drawn the ordinary way and remembered, so that a text drawn once costs no scratch
    // drawing. The least recently used place goes, so that labels redrawn around a changing
    // number keep their stamps.
    oldest->Epoch = font.Epoch;
    oldest->Boxed = boxed;
    oldest->Text = text;
    oldest->State = TextStamp::Kind::Seen;
    oldest->LastUse = ++stampUses_;
    oldest->Runs.clear();
    return nullptr;
}

bool Canvas::MakeStamp(TextStamp& stamp, const TextFont& font) {
    const QString& text = stamp.Text;
    const int advance = font.Metrics->horizontalAdvance(text);
    const int margin = static_cast<int>(TextReachLines) * font.Height;
    if (advance > MaxStampWidth || font.Height > MaxStampWidth) return false;
    QImage scratch(advance + 2 * margin, font.Height + 2 * margin, QImage::Format_RGB32);
    if (scratch.isNull()) return false;
    scratch.fill(StampUntouched);
    {
        QPainter painter(&scratch);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setFont(font.Font);
        painter.setPen(TextPen(StampGlyph, TiledTextPen(font.Style)));
        DrawTextIn(painter, font, margin, margin, text, stamp.Boxed, QColor::fromRgb(StampBox));
    }
    // Whole pixels of the two colours alone, none at the scratch picture's edge; anything else (a
    // blended pixel, a glyph of another font reaching further) leaves the text to the painter.
    const int width = scratch.width(), height = scratch.height();
    std::vector<StampRun>& runs = stamp.Runs;
    runs.clear();
    for (int y = 0; y < height; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
        for (int x = 0; x < width;) {
            const QRgb pixel = row[x];
            if (pixel == StampUntouched) {
                ++x;
                continue;
            }
            if ((pixel != StampGlyph && pixel != StampBox) || y == 0 || y == height - 1 || x == 0)
                return false;
            int end = x + 1;
            while (end < width && row[end] == pixel)
                ++end;
            if (end == width) return false;
            try {
                runs.push_back(StampRun{y - margin, x - margin, end - x, pixel == StampGlyph});
            } catch (const std::bad_alloc&) {
                return false; // the painter draws it then, as it did before
            }
            x = end;
        }
    }
    return true;
}

void Canvas::DrawStamp(const TextStamp& stamp, int x, int y, QRgb glyph, QRgb box) {
    const Int width = Width(), height = Height();
    const qsizetype stride = image_.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    QRgb* const bits = reinterpret_cast<QRgb*>(image_.bits());
    for (const StampRun& run : stamp.Runs) {
        const Int row = Int{y} + run.Dy;
        if (row < 0 || row >= height) continue;
        const Int first = std::max<Int>(Int{x} + run.Dx, 0);
        const Int end = std::min<Int>(Int{x} + run.Dx + run.Length, width);
        if (first >= end) continue;
        QRgb* const line = bits + row * stride;
        std::fill(line + first, line + end, run.Glyph ? glyph : box);
    }
}

QRect Canvas::TextOut(int x, int y, const QString& text) {
    if (IsNull() || text.isEmpty()) return QRect();
    const TextFont& font = FontForText();
    const QRgb pen = ColorWordToRgb(Font.Color & ColorWordMask);
    const QRgb boxColour = ColorWordToRgb(Brush.Color & ColorWordMask);
    const bool boxed = Brush.Style == BrushStyle::Solid;
    if (const TextStamp* stamp = StampFor(font, text, boxed)) {
        DrawStamp(*stamp, x, y, pen, boxColour);
    } else {
        QPainter& painter = TextPainter(font);
        const bool tiled = TiledTextPen(Font.Style);
        if (painterPen_ != pen || painterPenTiled_ != tiled) {
            painter.setPen(TextPen(pen, tiled));
            painterPen_ = pen;
            painterPenTiled_ = tiled;
        }
        DrawTextIn(painter, font, x, y, text, boxed, QColor::fromRgb(boxColour));
    }
    if (!font.OwnText(text)) return image_.rect();
    // The font's own Latin-1 glyphs stay near their line: well within a font height above and
    // below it. The band spans the picture's width, so no advance is needed for it.
    const qint64 top = static_cast<qint64>(y) - TextReachLines * font.Height;
    const qint64 bottom = static_cast<qint64>(y) + (TextReachLines + 1) * font.Height;
    const int first = static_cast<int>(std::clamp<qint64>(top, 0, Height()));
    const int end = static_cast<int>(std::clamp<qint64>(bottom, 0, Height()));
    return QRect(0, first, Width(), end - first);
}

void Canvas::CopyRect(const QRect& dest, const Canvas& source, const QRect& sourceRect) {
    if (IsNull() || source.IsNull() || dest.isEmpty() || sourceRect.isEmpty()) return;
    EndText();
    // Copying within one picture reads the source before any of it is overwritten.
    const QImage from = &source == this ? image_.copy(sourceRect) : QImage();
    QPainter painter(&image_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (&source == this)
        painter.drawImage(QRectF(dest), from, QRectF(from.rect()));
    else
        painter.drawImage(QRectF(dest), source.image_, QRectF(sourceRect));
}
