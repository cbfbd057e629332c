// The canvas draws the pixels the classic desktop canvas draws: these tests look at single pixels
// of small pictures (lines without their last pixel, rectangles without their right and bottom
// edges, raster operations, flood fills of awkward shapes, ellipses that are exactly symmetric).
#include "platform/canvas.h"

#include "platform/settings.h"
#include "tests/canvaspixels.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QPainter>

#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {

// Every pixel of the canvas that is not white.
Pixels Drawn(const Canvas& canvas) {
    Pixels drawn;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            if (canvas.Pixel(x, y) != WhiteColor) drawn.insert({x, y});
    return drawn;
}

TEST(CanvasPixels, PixelsAreColourWordsAndOutsideIsInvalid) {
    Canvas canvas(4, 3);
    EXPECT_EQ(canvas.Pixel(0, 0), WhiteColor);
    canvas.SetPixel(1, 2, Red);
    EXPECT_EQ(canvas.Pixel(1, 2), Red);
    // Red is the low byte of a colour word and the high byte of the picture's own pixel format.
    EXPECT_EQ(qRed(canvas.Image().pixel(1, 2)), 0xFF);
    EXPECT_EQ(qBlue(canvas.Image().pixel(1, 2)), 0x00);
    canvas.SetPixel(-1, 0, Red);
    canvas.SetPixel(4, 0, Red);
    EXPECT_EQ(canvas.Pixel(4, 0), InvalidColor);
    EXPECT_EQ(canvas.Pixel(0, -1), InvalidColor);
    EXPECT_EQ(Drawn(canvas).size(), 1u);
}

TEST(CanvasPixels, SetSizeKeepsTheTopLeftAndRefusesNonsense) {
    Canvas canvas(10, 10);
    canvas.SetPixel(2, 3, Red);
    canvas.SetPixel(9, 9, Red);
    ASSERT_TRUE(canvas.SetSize(5, 20, Blue));
    EXPECT_EQ(canvas.Width(), 5);
    EXPECT_EQ(canvas.Height(), 20);
    EXPECT_EQ(canvas.Pixel(2, 3), Red);
    EXPECT_EQ(canvas.Pixel(4, 15), Blue); // new pixels
    EXPECT_FALSE(canvas.SetSize(0, 5));
    EXPECT_EQ(canvas.Width(), 5);
}

TEST(CanvasLines, LineToLeavesOutItsLastPixelAndMovesThePen) {
    Canvas canvas(20, 20);
    canvas.MoveTo(2, 5);
    ASSERT_TRUE(canvas.LineTo(10, 5));
    EXPECT_EQ(canvas.PenPos, QPoint(10, 5));
    Pixels expected;
    for (int x = 2; x < 10; ++x)
        expected.insert({x, 5});
    EXPECT_EQ(Drawn(canvas), expected);

    // Backwards and steep lines leave out their end too, and have one pixel per step of the
    // longer axis.
    Canvas steep(20, 20);
    steep.MoveTo(15, 18);
    steep.LineTo(12, 3);
    const Pixels drawn = Drawn(steep);
    EXPECT_EQ(drawn.size(), 15u);
    EXPECT_TRUE(drawn.count({15, 18}));
    EXPECT_FALSE(drawn.count({12, 3}));
    for (int y = 4; y <= 18; ++y) {
        int inRow = 0;
        for (const auto& p : drawn)
            inRow += p.second == y;
        EXPECT_EQ(inRow, 1) << "row " << y;
    }

    Canvas dot(5, 5);
    dot.MoveTo(2, 2);
    dot.LineTo(2, 2); // nothing: the only pixel is the last one
    EXPECT_TRUE(Drawn(dot).empty());
}

TEST(CanvasLines, ConsecutiveLinesMeetEachPixelOnceSoXorClosesCleanly) {
    // A closed path drawn with the XOR pen: a pixel drawn twice would come back white.
    Canvas canvas(30, 30);
    canvas.Pen.Mode = PenMode::XorPen;
    canvas.Pen.Color = WhiteColor;
    const QPoint box[5] = {{5, 5}, {20, 5}, {20, 15}, {5, 15}, {5, 5}};
    ASSERT_TRUE(canvas.Polyline(box, 5));
    const Pixels drawn = OfColor(canvas, BlackColor);
    EXPECT_EQ(drawn.size(), 2u * 15 + 2u * 10); // the whole outline, corners included, once each
    for (const QPoint& corner : box)
        EXPECT_TRUE(drawn.count({corner.x(), corner.y()}));
    EXPECT_EQ(Drawn(canvas), drawn);

    // The same path again restores the picture.
    canvas.Polyline(box, 5);
    EXPECT_TRUE(Drawn(canvas).empty());
}

TEST(CanvasLines, RasterOperationsCombinePenAndPixel) {
    Canvas canvas(10, 3);
    canvas.FillRect(0, 0, 10, 3);
    canvas.SetPixel(1, 1, 0x123456);
    canvas.SetPixel(2, 1, 0x123456);
    canvas.Pen.Color = 0x00FF0F;

    canvas.Pen.Mode = PenMode::Not; // ignores the pen
    canvas.MoveTo(1, 1);
    canvas.LineTo(2, 1);
    EXPECT_EQ(canvas.Pixel(1, 1), 0xEDCBA9u);

    canvas.Pen.Mode = PenMode::MaskPen;
    canvas.MoveTo(2, 1);
    canvas.LineTo(3, 1);
    EXPECT_EQ(canvas.Pixel(2, 1), 0x123456u & 0x00FF0Fu);

    canvas.Pen.Mode = PenMode::Nop;
    canvas.MoveTo(3, 1);
    canvas.LineTo(9, 1);
    EXPECT_EQ(canvas.Pixel(5, 1), WhiteColor);

    canvas.Pen.Mode = PenMode::Black;
    canvas.MoveTo(0, 0);
    canvas.LineTo(9, 0);
    EXPECT_EQ(canvas.Pixel(4, 0), BlackColor);
    canvas.Pen.Mode = PenMode::White;
    canvas.MoveTo(0, 0);
    canvas.LineTo(9, 0);
    EXPECT_EQ(canvas.Pixel(4, 0), WhiteColor);

    // Every mode keeps the colour within 24 bits.
    for (int mode = PenModeFirst; mode <= PenModeLast; ++mode)
        EXPECT_EQ(ApplyRasterOp(static_cast<PenMode>(mode), 0xFFFFFF, 0x000000) & ~ColorWordMask, 0u);
    EXPECT_EQ(ApplyRasterOp(PenMode::NotXorPen, Red, Red), WhiteColor);
    EXPECT_EQ(ApplyRasterOp(PenMode::MergePenNot, BlackColor, WhiteColor), BlackColor);
}

TEST(CanvasLines, LinesFarOutsideThePictureDrawOnlyTheirVisiblePart) {
    Canvas canvas(40, 40);
    canvas.MoveTo(-30000, -30000);
    canvas.LineTo(30000, 30000);
    const Pixels drawn = Drawn(canvas);
    EXPECT_EQ(drawn.size(), 40u);
    for (int k = 0; k < 40; ++k)
        EXPECT_TRUE(drawn.count({k, k}));
}

TEST(CanvasLines, BrokenStylesAndWidePens) {
    Canvas dotted(30, 5);
    dotted.Pen.Style = PenStyle::Dot;
    dotted.MoveTo(0, 2);
    dotted.LineTo(30, 2);
    for (int x = 0; x < 30; ++x)
        EXPECT_EQ(dotted.Pixel(x, 2) == BlackColor, x % 6 < 3) << x;

    Canvas clear(10, 10);
    clear.Pen.Style = PenStyle::Clear;
    clear.MoveTo(0, 0);
    clear.LineTo(9, 9);
    EXPECT_TRUE(Drawn(clear).empty());

    // A wide pen covers the band around the line with round ends, its last point included.
    Canvas wide(50, 40);
    wide.Pen.Width = 5;
    wide.MoveTo(10, 20);
    ASSERT_TRUE(wide.LineTo(30, 20));
    for (int x = 10; x <= 30; ++x)
        for (int y = 18; y <= 22; ++y)
            EXPECT_EQ(wide.Pixel(x, y), BlackColor) << x << "," << y;
    EXPECT_EQ(wide.Pixel(20, 17), WhiteColor);
    EXPECT_EQ(wide.Pixel(20, 23), WhiteColor);
    EXPECT_EQ(wide.Pixel(33, 20), WhiteColor);
    EXPECT_EQ(wide.Pixel(32, 20), BlackColor); // the round end reaches half the width beyond
    EXPECT_EQ(wide.Pixel(32, 18), WhiteColor); // but not into the corner

    // Wide XOR lines meet each pixel once even where the segments overlap.
    Canvas joined(40, 40);
    joined.Pen.Width = 3;
    joined.Pen.Mode = PenMode::XorPen;
    joined.Pen.Color = WhiteColor;
    const QPoint path[3] = {{5, 5}, {30, 5}, {30, 30}};
    joined.Polyline(path, 3);
    EXPECT_EQ(joined.Pixel(30, 5), BlackColor);
    EXPECT_EQ(joined.Pixel(31, 6), BlackColor);
}

TEST(CanvasFills, FillRectLeavesOutTheRightAndBottomEdges) {
    Canvas canvas(20, 20);
    canvas.Brush.Color = Red;
    canvas.FillRect(3, 4, 8, 10);
    Pixels expected;
    for (int y = 4; y < 10; ++y)
        for (int x = 3; x < 8; ++x)
            expected.insert({x, y});
    EXPECT_EQ(OfColor(canvas, Red), expected);

    // Corners in the other order fill the same pixels.
    Canvas swapped(20, 20);
    swapped.Brush.Color = Red;
    swapped.FillRect(8, 10, 3, 4);
    EXPECT_EQ(OfColor(swapped, Red), expected);

    // Fills take no raster operation, are clipped, and a clear brush fills nothing.
    Canvas clipped(10, 10);
    clipped.Pen.Mode = PenMode::XorPen;
    clipped.Brush.Color = Blue;
    clipped.FillRect(-5, -5, 100, 100);
    EXPECT_EQ(OfColor(clipped, Blue).size(), 100u);
    clipped.Brush.Style = BrushStyle::Clear;
    clipped.Brush.Color = Red;
    clipped.FillRect(0, 0, 10, 10);
    EXPECT_TRUE(OfColor(clipped, Red).empty());
}

TEST(CanvasFills, HatchedBrushesLeaveTheGapsAsTheyWere) {
    Canvas canvas(16, 16);
    canvas.Brush.Color = Red;
    canvas.Brush.Style = BrushStyle::Horizontal;
    canvas.FillRect(0, 0, 16, 16);
    const Pixels red = OfColor(canvas, Red);
    EXPECT_EQ(red.size(), 2u * 16); // two lines of 16 in 16 rows
    for (const auto& p : red)
        EXPECT_EQ(p.second % 8, red.begin()->second % 8);
    EXPECT_EQ(OfColor(canvas, WhiteColor).size(), 16u * 16 - 32);

    Canvas cross(16, 16);
    cross.Brush.Color = Red;
    cross.Brush.Style = BrushStyle::Cross;
    cross.FillRect(0, 0, 16, 16);
    EXPECT_EQ(OfColor(cross, Red).size(), 2u * 16 + 2u * 16 - 4);
}

// A comb: an outline whose inside reaches up into narrow teeth, so the fill needs many seeds.
void DrawComb(Canvas& canvas) {
    canvas.Pen.Color = Blue;
    const QPoint outline[] = {{2, 2},   {4, 2},  {4, 20}, {8, 20},  {8, 2},  {10, 2}, {10, 20},
                              {14, 20}, {14, 2}, {16, 2}, {16, 26}, {2, 26}, {2, 2}};
    canvas.Polyline(outline, static_cast<int>(std::size(outline)));
}

TEST(CanvasFills, FloodFillReachesEveryPocketOfAConcaveShapeAndStopsAtTheBorder) {
    Canvas canvas(24, 30);
    DrawComb(canvas);
    canvas.Brush.Color = Red;
    ASSERT_TRUE(canvas.FloodFill(3, 25, Blue, FloodFillType::Border));
    EXPECT_EQ(canvas.Pixel(3, 3), Red);         // the top of the first tooth
    EXPECT_EQ(canvas.Pixel(15, 3), Red);        // the top of the last tooth
    EXPECT_EQ(canvas.Pixel(9, 10), Red);        // the middle tooth
    EXPECT_EQ(canvas.Pixel(6, 10), WhiteColor); // the gap between teeth is outside
    EXPECT_EQ(canvas.Pixel(0, 0), WhiteColor);
    EXPECT_EQ(canvas.Pixel(20, 28), WhiteColor);
    EXPECT_EQ(canvas.Pixel(2, 10), Blue); // the border stays
    for (const auto& p : OfColor(canvas, Red)) {
        EXPECT_GT(p.first, 2);
        EXPECT_LT(p.first, 16);
        EXPECT_LT(p.second, 26);
    }

    // The outside is one area too: it flows into the gaps between the teeth.
    canvas.Brush.Color = Green;
    ASSERT_TRUE(canvas.FloodFill(0, 0, Blue, FloodFillType::Border));
    EXPECT_EQ(canvas.Pixel(6, 10), Green);
    EXPECT_EQ(canvas.Pixel(23, 29), Green);
    EXPECT_EQ(canvas.Pixel(9, 10), Red);
}

TEST(CanvasFills, FloodFillEdgeCases) {
    Canvas canvas(24, 30);
    DrawComb(canvas);
    canvas.Brush.Color = Red;
    // Starting on the border colour, or outside the picture, fills nothing.
    ASSERT_TRUE(canvas.FloodFill(2, 10, Blue, FloodFillType::Border));
    ASSERT_TRUE(canvas.FloodFill(-1, 10, Blue, FloodFillType::Border));
    EXPECT_TRUE(OfColor(canvas, Red).empty());

    // A fill colour equal to the border colour still stops at the border (the area is found on
    // the pixels as they were).
    canvas.Brush.Color = Blue;
    ASSERT_TRUE(canvas.FloodFill(3, 25, Blue, FloodFillType::Border));
    EXPECT_EQ(canvas.Pixel(6, 10), WhiteColor);
    EXPECT_EQ(canvas.Pixel(3, 3), Blue);

    // A surface fill replaces the connected pixels of one colour.
    Canvas surface(10, 10);
    surface.Brush.Color = Red;
    surface.FillRect(0, 0, 5, 10);
    surface.Brush.Color = Green;
    ASSERT_TRUE(surface.FloodFill(1, 1, Red, FloodFillType::Surface));
    EXPECT_EQ(OfColor(surface, Green).size(), 50u);
    EXPECT_EQ(OfColor(surface, WhiteColor).size(), 50u);

    // A hatched fill paints the pattern over the area and leaves the rest of it as it was.
    Canvas hatched(24, 30);
    DrawComb(hatched);
    hatched.Brush.Color = Red;
    hatched.Brush.Style = BrushStyle::Vertical;
    ASSERT_TRUE(hatched.FloodFill(3, 25, Blue, FloodFillType::Border));
    const Pixels red = OfColor(hatched, Red);
    ASSERT_FALSE(red.empty());
    for (const auto& p : red)
        EXPECT_EQ(p.first % 8, 0);
    EXPECT_EQ(hatched.Pixel(9, 22), WhiteColor);
}

// What a flood fill must take, found pixel by pixel: the pixels connected to (x, y) through
// neighbours above, below, left and right that are in the area.
Pixels AreaAround(const Canvas& canvas, int x, int y, ColorWord color, FloodFillType type) {
    auto inArea = [&](int px, int py) {
        const ColorWord pixel = canvas.Pixel(px, py);
        if (pixel == InvalidColor) return false;
        return (pixel == color) == (type == FloodFillType::Surface);
    };
    Pixels area;
    if (!inArea(x, y)) return area;
    std::vector<std::pair<int, int>> pending{{x, y}};
    area.insert({x, y});
    while (!pending.empty()) {
        const auto [px, py] = pending.back();
        pending.pop_back();
        for (const auto& [nx, ny] : {std::pair{px - 1, py}, {px + 1, py}, {px, py - 1}, {px, py + 1}})
            if (inArea(nx, ny) && area.insert({nx, ny}).second) pending.emplace_back(nx, ny);
    }
    return area;
}

TEST(CanvasFills, FloodFillTakesTheConnectedAreaOfRandomPicturesWhateverItsFillColour) {
    // Pictures wider than two words of marks, shapes with holes and pixels already of the fill
    // colour inside the area (the fill must pass through them), for both kinds of area and a
    // solid and a hatched brush.
    std::mt19937 random(20261207);
    auto between = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const ColorWord colours[] = {Blue, Red, Green};
    for (int round = 0; round < 200; ++round) {
        Canvas canvas(150, 60);
        for (int figure = between(0, 25); figure > 0; --figure) {
            canvas.Pen.Color = canvas.Brush.Color = colours[between(0, 2)];
            const int x = between(-10, 150), y = between(-10, 60);
            switch (between(0, 2)) {
            case 0:
                canvas.MoveTo(x, y);
                canvas.LineTo(between(-10, 160), between(-10, 70));
                break;
            case 1: canvas.Ellipse(x, y, x + between(0, 80), y + between(0, 40)); break;
            default: canvas.FillRect(x, y, x + between(0, 30), y + between(0, 20)); break;
            }
        }
        // Two fills on one canvas: the second must not see the first one's marks.
        for (int fill = 0; fill < 2; ++fill) {
            const FloodFillType type =
                (round + fill) % 3 == 0 ? FloodFillType::Surface : FloodFillType::Border;
            const bool hatched = (round + fill) % 4 == 1;
            const int x = between(0, 149), y = between(0, 59);
            const ColorWord key =
                type == FloodFillType::Surface ? canvas.Pixel(x, y) : colours[between(0, 2)];
            canvas.Brush.Color = (round + fill) % 2 == 0 ? colours[between(0, 2)] : WhiteColor;
            canvas.Brush.Style = hatched ? BrushStyle::Vertical : BrushStyle::Solid;

            std::vector<ColorWord> expected(150 * 60);
            for (int py = 0; py < 60; ++py)
                for (int px = 0; px < 150; ++px)
                    expected[py * 150 + px] = canvas.Pixel(px, py);
            for (const auto& [px, py] : AreaAround(canvas, x, y, key, type))
                if (!hatched || px % 8 == 0) expected[py * 150 + px] = canvas.Brush.Color;

            ASSERT_TRUE(canvas.FloodFill(x, y, key, type));
            for (int py = 0; py < 60; ++py)
                for (int px = 0; px < 150; ++px)
                    ASSERT_EQ(canvas.Pixel(px, py), expected[py * 150 + px])
                        << "round " << round << " fill " << fill << " at " << px << "," << py;
        }
    }
}

// The ellipse of a box is the same under both mirrors of the box.
void ExpectSymmetric(const Pixels& pixels, int x1, int y1, int x2, int y2) {
    for (const auto& p : pixels) {
        EXPECT_TRUE(pixels.count({x1 + x2 - 1 - p.first, p.second})) << p.first << "," << p.second;
        EXPECT_TRUE(pixels.count({p.first, y1 + y2 - 1 - p.second})) << p.first << "," << p.second;
        EXPECT_GE(p.first, x1);
        EXPECT_LT(p.first, x2);
        EXPECT_GE(p.second, y1);
        EXPECT_LT(p.second, y2);
    }
}

TEST(CanvasEllipses, OutlineIsSymmetricClosedAndWithinTheBox) {
    for (const QRect& box : {QRect(QPoint(10, 10), QPoint(51, 31)), QRect(QPoint(5, 5), QPoint(45, 45)),
                             QRect(QPoint(3, 20), QPoint(60, 24))}) {
        Canvas canvas(70, 60);
        canvas.Brush.Style = BrushStyle::Clear;
        const int x1 = box.left(), y1 = box.top(), x2 = box.right(), y2 = box.bottom();
        ASSERT_TRUE(canvas.Ellipse(x1, y1, x2, y2));
        const Pixels outline = Drawn(canvas);
        ExpectSymmetric(outline, x1, y1, x2, y2);
        // It touches all four sides of the box (right and bottom exclusive).
        bool left = false, right = false, top = false, bottom = false;
        for (const auto& p : outline) {
            left |= p.first == x1;
            right |= p.first == x2 - 1;
            top |= p.second == y1;
            bottom |= p.second == y2 - 1;
        }
        EXPECT_TRUE(left && right && top && bottom);
        // Closed: filling the inside from the centre does not leak out.
        canvas.Brush.Style = BrushStyle::Solid;
        canvas.Brush.Color = Red;
        canvas.FloodFill((x1 + x2) / 2, (y1 + y2) / 2, BlackColor, FloodFillType::Border);
        EXPECT_EQ(canvas.Pixel(0, 0), WhiteColor);
        EXPECT_EQ(canvas.Pixel(x1, y1), WhiteColor); // a corner of the box is outside
    }
}

TEST(CanvasEllipses, FilledCircleHasBrushInsidePenOutlineAndNoOverlap) {
    Canvas canvas(40, 40);
    canvas.Pen.Color = Blue;
    canvas.Brush.Color = Red;
    ASSERT_TRUE(canvas.Ellipse(10, 10, 30, 30));
    const Pixels inside = OfColor(canvas, Red), rim = OfColor(canvas, Blue);
    ExpectSymmetric(inside, 10, 10, 30, 30);
    ExpectSymmetric(rim, 10, 10, 30, 30);
    EXPECT_TRUE(inside.count({19, 19}) && inside.count({20, 20}));
    // The circle's shape is the same along both axes.
    for (const auto& p : rim)
        EXPECT_TRUE(rim.count({p.second, p.first}));

    // With the XOR pen each pixel is met once: drawing it twice restores the picture.
    Canvas xored(40, 40);
    xored.Pen.Mode = PenMode::XorPen;
    xored.Pen.Color = Blue;
    xored.Brush.Color = Red;
    xored.Ellipse(10, 10, 30, 30);
    xored.Ellipse(10, 10, 30, 30);
    EXPECT_TRUE(Drawn(xored).empty());

    // An empty box draws nothing; a box one pixel wide is a line.
    Canvas thin(20, 20);
    thin.Ellipse(5, 5, 5, 15);
    EXPECT_TRUE(Drawn(thin).empty());
    thin.Ellipse(5, 5, 6, 15);
    EXPECT_EQ(Drawn(thin).size(), 10u);
}

TEST(CanvasEllipses, ArcsAndSectorsRunCounterClockwiseFromStartToEnd) {
    // The upper right quarter: from the ray to the right to the ray upwards.
    Canvas arc(50, 50);
    ASSERT_TRUE(arc.Arc(10, 10, 40, 40, 40, 25, 25, 10));
    const Pixels quarter = Drawn(arc);
    ASSERT_FALSE(quarter.empty());
    for (const auto& p : quarter) {
        EXPECT_GE(p.first, 24);
        EXPECT_LE(p.second, 25);
    }
    // From up to right counter-clockwise is the other three quarters.
    Canvas rest(50, 50);
    rest.Arc(10, 10, 40, 40, 25, 10, 40, 25);
    const Pixels three = Drawn(rest);
    ASSERT_TRUE(quarter.count({28, 10})); // on the outline, up and to the right
    EXPECT_FALSE(three.count({28, 10}));
    EXPECT_TRUE(three.count({10, 25}));
    // The same start and end is the whole outline.
    Canvas whole(50, 50), ellipse(50, 50);
    whole.Arc(10, 10, 40, 40, 40, 25, 40, 25);
    ellipse.Brush.Style = BrushStyle::Clear;
    ellipse.Ellipse(10, 10, 40, 40);
    EXPECT_EQ(Drawn(whole), Drawn(ellipse));

    // The upper half as a sector: filled above the centre, nothing below, radii drawn.
    Canvas pie(50, 50);
    pie.Pen.Color = Blue;
    pie.Brush.Color = Red;
    ASSERT_TRUE(pie.Pie(10, 10, 40, 40, 40, 25, 10, 25));
    EXPECT_EQ(pie.Pixel(25, 15), Red);
    EXPECT_EQ(pie.Pixel(25, 35), WhiteColor);
    EXPECT_EQ(pie.Pixel(17, 25), Blue); // on the radius to the left
    EXPECT_EQ(pie.Pixel(33, 25), Blue); // and to the right
    for (const auto& p : OfColor(pie, Red))
        EXPECT_LE(p.second, 25);
}

TEST(CanvasEllipses, RasterOperationsMeetTheSamePixelsAsCopying) {
    // Outlines and insides are drawn as runs of a row; a raster operation must meet exactly the
    // pixels a plain copy paints, for thin and wide pens and for an ellipse reaching outside.
    for (const int width : {1, 4}) {
        for (const QRect& box :
             {QRect(QPoint(10, 8), QPoint(70, 50)), QRect(QPoint(-40, -30), QPoint(90, 75))}) {
            Canvas copied(80, 60), inverted(80, 60);
            copied.Pen.Width = inverted.Pen.Width = width;
            copied.Pen.Color = BlackColor;
            copied.Brush.Color = Red;
            inverted.Pen.Mode = PenMode::XorPen;
            inverted.Pen.Color = WhiteColor; // white over white gives black
            inverted.Brush.Color = 0xFFFF00; // gives red
            ASSERT_TRUE(copied.Ellipse(box.left(), box.top(), box.right(), box.bottom()));
            ASSERT_TRUE(inverted.Ellipse(box.left(), box.top(), box.right(), box.bottom()));
            EXPECT_FALSE(OfColor(copied, BlackColor).empty());
            EXPECT_EQ(OfColor(inverted, BlackColor), OfColor(copied, BlackColor));
            EXPECT_EQ(OfColor(inverted, Red), OfColor(copied, Red));
        }
    }
}

TEST(CanvasText, TextFollowsItsFontAndLetsOtherPaintersAndPixelsBe) {
    if (QFontDatabase::families().isEmpty()) GTEST_SKIP() << "no fonts installed";
    Canvas canvas(300, 120);
    canvas.Font.Color = Red;
    canvas.Brush.Color = Green;
    canvas.Font.Size = 8;
    canvas.TextOut(5, 5, QStringLiteral("small"));
    const int smallHeight = canvas.TextExtent(QStringLiteral("small")).height();

    // Another painter on the picture between two texts paints (one painter at a time).
    {
        QPainter other(&canvas.Image());
        ASSERT_TRUE(other.isActive());
        other.fillRect(QRect(290, 0, 10, 10), QColor::fromRgb(ColorWordToRgb(Blue)));
    }
    EXPECT_EQ(canvas.Pixel(295, 5), Blue);
    canvas.Font.Size = 24;
    canvas.Font.Style = FontStyleBit::Bold;
    canvas.TextOut(5, 40, QStringLiteral("large"));

    // The second text has the new font: a taller box.
    const int largeHeight = canvas.TextExtent(QStringLiteral("large")).height();
    EXPECT_GT(largeHeight, smallHeight);
    EXPECT_EQ(canvas.Pixel(5, 40 + largeHeight - 1), Green);
    EXPECT_EQ(canvas.Pixel(5, 40 + largeHeight), WhiteColor);

    // Back to the first font: the text is the first size again.
    canvas.Font.Size = 8;
    canvas.Font.Style = 0;
    canvas.TextOut(150, 5, QStringLiteral("small"));
    EXPECT_EQ(canvas.Pixel(150, 5 + smallHeight - 1), Green);
    EXPECT_EQ(canvas.Pixel(150, 5 + smallHeight), WhiteColor);

    // Pixels written between texts and a new size stay as they are.
    canvas.SetPixel(250, 100, Blue);
    canvas.TextOut(5, 80, QStringLiteral("more"));
    EXPECT_EQ(canvas.Pixel(250, 100), Blue);
    ASSERT_TRUE(canvas.SetSize(310, 120));
    canvas.TextOut(200, 5, QStringLiteral("after"));
    EXPECT_EQ(canvas.Pixel(250, 100), Blue);
    EXPECT_EQ(canvas.Pixel(200, 5), Green);
}

TEST(CanvasText, TheBoxIsTheTextsAdvanceByTheFontsHeightForEveryKindOfText) {
    if (QFontDatabase::families().isEmpty()) GTEST_SKIP() << "no fonts installed";
    // Plain Latin text, text with a tab, with characters of another font and blanks alone: the
    // brush colour fills exactly the box from the corner, the glyphs lie on it.
    const QString texts[] = {QStringLiteral("Lorvex AV Wa"), QStringLiteral("a\tb"),
                             QString::fromUtf8("\xE6\x97\xA5\xE6\x9C\xAC x"), QStringLiteral("   ")};
    for (const QString& text : texts)
        for (int size = 6; size <= 30; size += 3)
            for (const std::uint8_t style : {std::uint8_t{0}, FontStyleBit::Bold}) {
                Canvas canvas(420, 80);
                canvas.Font.Size = size;
                canvas.Font.Style = style;
                canvas.Font.Color = Red;
                canvas.Brush.Color = Green;
                canvas.TextOut(7, 9, text);
                const QSize extent = canvas.TextExtent(text);
                const QRect box(7, 9, extent.width(), extent.height());
                for (const auto& p : OfColor(canvas, Green))
                    ASSERT_TRUE(box.contains(p.first, p.second)) << size << " " << p.first << "," << p.second;
                for (int y = box.top(); y <= box.bottom(); ++y)
                    for (int x = box.left(); x <= box.right(); ++x)
                        ASSERT_NE(canvas.Pixel(x, y), WhiteColor) << size << " " << x << "," << y;
            }
}

TEST(CanvasText, TextHasItsBoxOfBrushColourAndGlyphsOfTheFontColour) {
    if (QFontDatabase::families().isEmpty()) GTEST_SKIP() << "no fonts installed";
    Canvas canvas(200, 60);
    canvas.Font.Size = 12;
    canvas.Font.Color = Red;
    canvas.Brush.Color = Green;
    canvas.TextOut(10, 5, QStringLiteral("Lorvex"));
    const QSize extent = canvas.TextExtent(QStringLiteral("Lorvex"));
    EXPECT_GE(extent.height(), 16); // 12 points at 96 dpi are 16 pixels
    EXPECT_GT(extent.width(), 20);
    EXPECT_EQ(canvas.Pixel(10 + extent.width() - 1, 5), Green); // above the last small letter
    EXPECT_GT(OfColor(canvas, Red).size(), 10u);
    for (const auto& p : OfColor(canvas, Red)) {
        EXPECT_GE(p.first, 10);
        EXPECT_GE(p.second, 5);
        EXPECT_LT(p.second, 5 + extent.height());
    }
    EXPECT_EQ(canvas.Pixel(9, 5), WhiteColor);
    EXPECT_EQ(canvas.PenPos, QPoint(0, 0));
}

TEST(CanvasText, TextHasThePixelsOfAPlainPainterInEveryStyleColourAndPlaceAndNamesWhereTheyAre) {
    if (QFontDatabase::families().isEmpty()) GTEST_SKIP() << "no fonts installed";
    // The canvas draws its text the fast way it chooses; a plain painter with a pen of the colour,
    // a filled box and the text on it must give the very same pixels, clipped at the edges too.
    const QString texts[] = {QString::fromUtf8("GPRINT Hg|12 \xC3\x85\xC3\x89\xC3\xA7"),
                             QString::fromUtf8("\xC3\xA9\xC3\x9F \xE6\x97\xA5 x")};
    const QPoint places[] = {{6, 7}, {-9, 30}, {220, 82}, {20, -6}};
    constexpr int StyleCount = 16;
    for (int style = 0; style < StyleCount; ++style)
        for (const int size : {8, 12, 21, 60}) // the largest is drawn as outlines, not glyph pictures
            for (const QString& text : texts) {
                Canvas canvas(300, 90);
                for (int y = 0; y < canvas.Height(); y += 3) // a picture that is not all one colour
                    for (int x = 0; x < canvas.Width(); ++x)
                        canvas.SetPixel(x, y, static_cast<ColorWord>(x * 0x010203 + y));
                QImage expected = canvas.Image().copy();
                canvas.Font.Size = size;
                canvas.Font.Style = static_cast<std::uint8_t>(style);
                QFont font(canvas.Font.Name);
                font.setPixelSize((size * 96 + 36) / 72);
                font.setBold((style & FontStyleBit::Bold) != 0);
                font.setItalic((style & FontStyleBit::Italic) != 0);
                font.setUnderline((style & FontStyleBit::Underline) != 0);
                font.setStrikeOut((style & FontStyleBit::StrikeOut) != 0);
                font.setStyleStrategy(QFont::NoAntialias);
                const QFontMetrics metrics(font);
                // Each text three times at every place, boxed and not by turns that shift each
                // round: a text drawn again is stamped from a drawing of its own, and every place
                // gets a stamp of both kinds, in the colours of its turn.
                constexpr int Rounds = 3;
                const int placeCount = static_cast<int>(std::size(places));
                int turn = 0;
                for (int k = 0; k < Rounds * placeCount; ++k) {
                    const QPoint& at = places[k % placeCount];
                    const ColorWord pen = 0x203040u + static_cast<ColorWord>(turn * 0x402010);
                    const ColorWord box = 0xF0E0D0u - static_cast<ColorWord>(turn * 0x102030);
                    canvas.Font.Color = pen;
                    canvas.Brush.Color = box;
                    canvas.Brush.Style =
                        (turn + turn / placeCount) % 2 == 0 ? BrushStyle::Solid : BrushStyle::Clear;
                    const QImage before = canvas.Image().copy();
                    const QRect reach = canvas.TextOut(at.x(), at.y(), text);
                    // Every pixel the text changed lies in the part it names (the window repaints that).
                    const QImage& after = canvas.Image();
                    for (int y = 0; y < after.height(); ++y)
                        for (int x = 0; x < after.width(); ++x)
                            if (after.pixel(x, y) != before.pixel(x, y)) {
                                ASSERT_TRUE(reach.contains(x, y))
                                    << "style " << style << " size " << size << " at " << x << "," << y;
                            }
                    QPainter painter(&expected);
                    painter.setCompositionMode(QPainter::CompositionMode_Source);
                    painter.setFont(font);
                    painter.setPen(QColor::fromRgb(ColorWordToRgb(pen)));
                    if (canvas.Brush.Style == BrushStyle::Solid)
                        painter.fillRect(
                            QRect(at.x(), at.y(), metrics.horizontalAdvance(text), metrics.height()),
                            QColor::fromRgb(ColorWordToRgb(box)));
                    painter.drawText(QPoint(at.x(), at.y() + metrics.ascent()), text);
                    ++turn;
                }
                ASSERT_TRUE(canvas.Image() == expected)
                    << "style " << style << " size " << size << " " << text.toStdString();
            }
}

TEST(CanvasCopy, CopyRectCopiesAndStretches) {
    Canvas source(10, 10);
    source.SetPixel(2, 3, Red);
    Canvas target(40, 40);
    target.CopyRect(QRect(20, 20, 10, 10), source, QRect(0, 0, 10, 10));
    EXPECT_EQ(target.Pixel(22, 23), Red);
    EXPECT_EQ(OfColor(target, Red).size(), 1u);

    Canvas stretched(40, 40);
    stretched.CopyRect(QRect(0, 0, 20, 20), source, QRect(0, 0, 10, 10));
    EXPECT_EQ(OfColor(stretched, Red).size(), 4u);
    EXPECT_EQ(stretched.Pixel(4, 6), Red);
    EXPECT_EQ(stretched.Pixel(5, 7), Red);

    // Within one canvas, overlapping.
    Canvas same(10, 1);
    for (int x = 0; x < 5; ++x)
        same.SetPixel(x, 0, static_cast<ColorWord>(x));
    same.CopyRect(QRect(2, 0, 5, 1), same, QRect(0, 0, 5, 1));
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(same.Pixel(x + 2, 0), static_cast<ColorWord>(x));
}

} // namespace
