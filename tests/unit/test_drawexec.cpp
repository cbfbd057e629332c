// World coordinates, colours and the graphics statements: the executors draw into a drawing surface
// (first without a window, then in a real graphics window, offscreen), and whole programs run
// through the compiler and the run loop into the window's back buffer.
#include "core/errornumbers.h"
#include "core/itembuffers.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/coords.h"
#include "engine/dispatch.h"
#include "engine/drawexec.h"
#include "engine/enginestate.h"
#include "engine/handover.h"
#include "engine/lxthread.h"
#include "engine/runloop.h"
#include "engine/runwindowqueue.h"
#include "frontend/initall.h"
#include "tests/canvaspixels.h"
#include "tests/runsupport.h"
#include "ui/graphform.h"
#include "ui/runform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFontDatabase>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <initializer_list>
#include <limits>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace {

constexpr long double Pi = 3.141592653589793238462643383279502884L;

// ---- world coordinates and colours -------------------------------------------------------------------

class Coordinates : public ::testing::Test {
protected:
    void SetUp() override {
        InitAll();
        Ps.WorldXMin = Ps.WorldYMin = 0;
        Ps.WorldXMax = 640;
        Ps.WorldYMax = 480;
        Ps.WorldXScale = Ps.WorldYScale = 1;
    }
};

TEST_F(Coordinates, WorldToDeviceScalesLimitsAndRoundsHalfToEven) {
    EXPECT_EQ(WorldToDevice(0.5L, 1.5L).X, 0);
    EXPECT_EQ(WorldToDevice(0.5L, 1.5L).Y, 2);
    EXPECT_EQ(WorldToDevice(2.5L, -2.5L).X, 2);
    EXPECT_EQ(WorldToDevice(2.5L, -2.5L).Y, -2);
    // Far outside: held at +-32767, never an overflow.
    EXPECT_EQ(WorldToDevice(1e30L, -1e4000L).X, DeviceLimit);
    EXPECT_EQ(WorldToDevice(1e30L, -1e4000L).Y, -DeviceLimit);

    Ps.WorldXMin = -10;
    Ps.WorldYMin = 100;
    Ps.WorldXScale = 2;
    Ps.WorldYScale = 0.5L;
    EXPECT_EQ(WorldToDevice(0, 100).X, 20);
    EXPECT_EQ(WorldToDevice(0, 100).Y, 0);
    EXPECT_EQ(WorldToDevice(5, 141).Y, 20); // 20.5 rounds to even
    EXPECT_EQ(WorldToDevice(5, 143).Y, 22); // 21.5 too
}

TEST_F(Coordinates, DeviceToWorldReversesTheMappingAndFlipsWithMathGraph) {
    Ps.WorldXMin = -10;
    Ps.WorldYMin = 100;
    Ps.WorldYMax = 300;
    Ps.WorldXScale = 2;
    Ps.WorldYScale = 0.5L;
    Extended x = 0, y = 0;
    DeviceToWorld(20, 10, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 120);
    Ps.MathGraph = 1;
    DeviceToWorld(0, 0, x, y);
    EXPECT_EQ(y, Ps.WorldYMax); // the top pixel row is the top of the world window
    Gs.GScreenHeight = 480;
    EXPECT_EQ(MathGraphY(0), 479);
    EXPECT_EQ(MathGraphY(479), 0);
    Ps.MathGraph = 0;
    EXPECT_EQ(MathGraphY(7), 7);
}

TEST_F(Coordinates, ColourTextsGoBothWays) {
    EXPECT_EQ(ColorToHexText(Red), QStringLiteral("#FF0000"));
    EXPECT_EQ(ColorToHexText(0x0A0B0C), QStringLiteral("#0C0B0A"));
    EXPECT_EQ(ColorFromText(QStringLiteral("#FF0000")), Red);
    EXPECT_EQ(ColorFromText(QStringLiteral("#0c0b0a")), 0x0A0B0Cu);
    for (const ColorWord c : {0x000000u, 0x123456u, 0xABCDEFu, 0xFFFFFFu})
        EXPECT_EQ(ColorFromText(ColorToHexText(c)), c);
    // Not seven characters, or not hexadecimal, is black.
    EXPECT_EQ(ColorFromText(QStringLiteral("#FF000")), Black);
    EXPECT_EQ(ColorFromText(QStringLiteral("#FF00000")), Black);
    EXPECT_EQ(ColorFromText(QStringLiteral("#GG0000")), Black);
    EXPECT_EQ(ColorFromText(QStringLiteral("#+12345")), Black);
    EXPECT_EQ(ColorFromText(QString()), Black);
}

TEST_F(Coordinates, ColourNamesIgnoreCaseAndUnknownNamesAreBlack) {
    EXPECT_EQ(ColorFromText(QStringLiteral("navy")), Navy);
    EXPECT_EQ(ColorFromText(QStringLiteral("Lime")), Lime);
    EXPECT_EQ(ColorFromText(QStringLiteral("AQUA")), ColorFromText(QStringLiteral("cyan")));
    EXPECT_EQ(ColorFromText(QStringLiteral("aqua")), 0xFFFF00u);
    EXPECT_EQ(ColorFromText(QStringLiteral("fuchsia")), 0xFF00FFu);
    EXPECT_EQ(ColorFromText(QStringLiteral("silver")), 0xC0C0C0u);
    EXPECT_EQ(ColorFromText(QStringLiteral("white")), White);
    EXPECT_EQ(ColorFromText(QStringLiteral("orange")), Black);
    EXPECT_EQ(ColorFromText(QStringLiteral(" red")), Black);
}

TEST_F(Coordinates, PalettesFollowTheLanguageVersion) {
    Ps.LanguageVersion = 12;
    EXPECT_EQ(PaletteColor(1), Navy);
    EXPECT_EQ(PaletteColor(12), Red);
    EXPECT_EQ(PaletteColor(15), White);
    Ps.LanguageVersion = 9;
    EXPECT_EQ(PaletteColor(1), Blue);
    EXPECT_EQ(PaletteColor(2), Red);
    EXPECT_EQ(PaletteColor(7), White);
    EXPECT_EQ(PaletteColor(15), 0xC0C0C0u);
    // The two orders hold the same sixteen colours.
    std::set<ColorWord> old, current;
    for (int n = 0; n < 16; ++n)
        old.insert(PaletteColor(n));
    Ps.LanguageVersion = 12;
    for (int n = 0; n < 16; ++n)
        current.insert(PaletteColor(n));
    EXPECT_EQ(old, current);
    EXPECT_EQ(old.size(), 16u);
    EXPECT_EQ(PaletteColor(16), Black);
    EXPECT_EQ(PaletteColor(-1), Black);
    EXPECT_EQ(PaletteColorOf(12.9L), Red);   // truncated
    EXPECT_EQ(PaletteColorOf(-0.5L), Black); // truncated to 0, which is black anyway
    EXPECT_EQ(PaletteColorOf(1e30L), Black);
}

TEST_F(Coordinates, DrawingCodesOutsideTheirRangeGiveTheDefaults) {
    EXPECT_EQ(PenModeFromCode(0), PenMode::CopyPen);
    EXPECT_EQ(PenModeFromCode(17), PenMode::CopyPen);
    EXPECT_EQ(PenModeFromCode(7), PenMode::XorPen);
    EXPECT_EQ(PenModeToCode(PenModeFromCode(6)), 6);
    EXPECT_EQ(PenStyleFromCode(7), PenStyle::Solid);
    EXPECT_EQ(PenStyleFromCode(-1), PenStyle::Solid);
    EXPECT_EQ(PenStyleToCode(PenStyleFromCode(5)), 5);
    EXPECT_EQ(BrushStyleFromCode(8), BrushStyle::Solid);
    EXPECT_EQ(BrushStyleToCode(BrushStyleFromCode(7)), 7);
    EXPECT_EQ(PenWidthFromValue(0), 1);
    EXPECT_EQ(PenWidthFromValue(-5), 1);
    EXPECT_EQ(PenWidthFromValue(4), 4);
}

// ---- executors on a drawing surface --------------------------------------------------------------------

// A drawing surface as an open window has it, and the operand items after a statement.
class Drawing : public ::testing::Test {
protected:
    void SetUp() override {
        InitAll();
        RunWindowQueue::Instance().Reset();
        Fe.ErrorNumber = 0;
        Fe.ErrorNameIndex = 0;
        Eng.ErrorAtCurrentItem = false;
        Rc.GScreenOpen = 0;
        SetCurrentGraphSurface(nullptr);
    }
    void TearDown() override {
        SetCurrentGraphSurface(nullptr);
        Rc.GScreenOpen = 0;
        Ps.MathGraph = 0;
        Rc.StopRequest = 0;
        RunWindowQueue::Instance().Reset();
    }

    Canvas& Open(int width, int height) {
        Gs.GScreenWidth = width;
        Gs.GScreenHeight = height;
        Ps.WorldXMin = Ps.WorldYMin = 0;
        Ps.WorldXMax = width;
        Ps.WorldYMax = height;
        Gs.ViewX1 = Gs.ViewY1 = 0;
        Gs.ViewX2 = width;
        Gs.ViewY2 = height;
        Ps.WorldXScale = Ps.WorldYScale = 1;
        surface_ = std::make_shared<GraphSurface>(width, height);
        SetCurrentGraphSurface(surface_);
        Rc.GScreenOpen = 1;
        return surface_->Image1;
    }

    // The code items after the statement, from slot 101; the run loop's cursor on the first.
    void Items(std::initializer_list<CodeItemType> items) {
        const int end = ProgramCodeStart + static_cast<int>(items.size());
        InitCode();
        int at = ProgramCodeStart;
        for (const CodeItemType& item : items)
            SetCodeItem(at++, item);
        SetCodeItem(end, CodeItemType{CodeKind::End, 0, 0});
        Ib.CodeLimit = end;
        Ib.CodeIndex = ProgramCodeStart;
    }
    static CodeItemType Omitted() { return CodeItemType{CodeKind::SysNumConst, 3, 0}; }
    static CodeItemType Lit(Extended value) {
        Tb.NumConTable.push_back(value);
        return CodeItemType{CodeKind::NumLiteral, static_cast<int>(Tb.NumConTable.size()) - 2, 0};
    }
    static CodeItemType Name(const char* name, Extended value = 0) {
        NumVarType record;
        record.Name = QString::fromLatin1(name);
        record.Value = value;
        Tb.NumVarTable.push_back(record);
        return CodeItemType{CodeKind::NumVar, static_cast<int>(Tb.NumVarTable.size()) - 1, 0};
    }
    static void Push(std::initializer_list<Extended> values) {
        for (const Extended v : values)
            GlPushNum(v);
    }
    static void Route(int code) { ExecuteStatement(code); }
    // The error a statement raised, cleared with what it left on the stack, for the next case.
    static int TakeError() {
        const int number = Fe.ErrorNumber;
        Fe.ErrorNumber = 0;
        GlClear();
        return number;
    }
    // The statement `code` refuses the operands on the stack by their type, naming itself; the error
    // and the stack are cleared for the next case.
    static void ExpectTypeRefusal(int code) {
        Route(code);
        EXPECT_EQ(Fe.ErrorNameIndex, code);
        EXPECT_EQ(TakeError(), Err::StatementType);
    }
    // A statement with the numbers it takes on the stack and the code items after it.
    void Statement(int code, std::initializer_list<Extended> operands,
                   std::initializer_list<CodeItemType> items) {
        Push(operands);
        Items(items);
        Route(code);
    }

    std::shared_ptr<GraphSurface> surface_;
};

TEST_F(Drawing, PsetAndPresetTakeTheirColourOrTheDefault) {
    Canvas& canvas = Open(50, 40);
    Ps.GForeColor = static_cast<int>(Green);
    Ps.GBackColor = static_cast<int>(Lime);
    Statement(St::PSET, {3, 4}, {Omitted()});
    EXPECT_EQ(canvas.Pixel(3, 4), Green);
    Statement(St::PSET, {5, 6}, {Lit(12)});
    EXPECT_EQ(canvas.Pixel(5, 6), Red);
    Statement(St::PRESET, {7, 8}, {Omitted()});
    EXPECT_EQ(canvas.Pixel(7, 8), Lime);
    Push({9, 10});
    Items({Name("C", 1)}); // a variable's value
    Route(St::PRESET);
    EXPECT_EQ(canvas.Pixel(9, 10), Navy);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(ValueStackCount, 0);
    EXPECT_TRUE(surface_->Dirty.load());
}

TEST_F(Drawing, MathGraphAndTheWorldWindowPlaceThePixel) {
    Canvas& canvas = Open(200, 100);
    Push({0, 0});
    Items({Omitted()});
    Ps.MathGraph = 1;
    Route(St::PSET);
    EXPECT_EQ(canvas.Pixel(0, 99), Black); // y upwards: the bottom row

    Ps.MathGraph = 0;
    Push({0, 0, 100, 10});
    Route(St::WINDOW);
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Ps.WorldXScale, 2);
    EXPECT_EQ(Ps.WorldYScale, 10);
    Statement(St::PSET, {50, 5}, {Lit(12)});
    EXPECT_EQ(canvas.Pixel(100, 50), Red);

    // A window of no width or height, or one that cannot be mapped, is refused.
    Push({0, 0, 0, 10});
    Route(St::WINDOW);
    EXPECT_EQ(TakeError(), Err::WindowEmptyArea);
    Push({0, 10, 5, 0});
    Route(St::WINDOW);
    EXPECT_EQ(TakeError(), Err::WindowEmptyArea);
    Push({0, 0, std::numeric_limits<Extended>::infinity(), 10});
    Route(St::WINDOW);
    EXPECT_EQ(TakeError(), Err::WindowEmptyArea);
    GlPushStr(QStringLiteral("0"));
    Push({0, 5, 5});
    Route(St::WINDOW);
    EXPECT_EQ(Fe.ErrorNumber, Err::WindowNotNumbers);
    EXPECT_EQ(Ps.WorldXScale, 2); // unchanged by the refusals
}

TEST_F(Drawing, APointOfTheWrongTypeIsRefusedBeforeTheOptionalOperandsAreRead) {
    // The error lies at the item after the statement: its operands stay unread. Only a trapped error
    // steps over them, so that the run goes on after the statement.
    Open(20, 20);
    struct Case {
        int Code;
        int Points; // numbers on the stack; a string goes below them
        int Operands;
        int Error;
    };
    for (const Case& c :
         {Case{St::PSET, 1, 1, Err::PsetNotNumbers}, Case{St::PRESET, 1, 1, Err::PsetNotNumbers},
          Case{St::PAINT, 1, 2, Err::PaintPointNotNumbers}, Case{St::LINE, 3, 2, Err::LineNotNumbers},
          Case{St::CIRCLE, 2, 6, Err::ScreenWidthNotNumber}}) {
        for (const bool trapped : {false, true}) {
            GlClear();
            GlPushStr(QStringLiteral("1"));
            for (int k = 0; k < c.Points; ++k)
                GlPushNum(k);
            std::vector<CodeItemType> operands(static_cast<std::size_t>(c.Operands), Lit(4));
            operands.push_back(CodeItemType{CodeKind::Statement, St::PRINT, 0});
            InitCode();
            int at = ProgramCodeStart;
            for (const CodeItemType& item : operands)
                SetCodeItem(at++, item);
            Ib.CodeLimit = at - 1;
            Ib.CodeIndex = ProgramCodeStart;
            Eng.EvalFormTrap = trapped ? 1 : 0;
            Route(c.Code);
            Eng.EvalFormTrap = 0;
            EXPECT_EQ(Fe.ErrorNumber, c.Error) << c.Code;
            EXPECT_EQ(Ib.CodeIndex, ProgramCodeStart + (trapped ? c.Operands : 0))
                << c.Code << " trapped " << trapped;
            Fe.ErrorNumber = 0;
        }
    }
}

TEST_F(Drawing, WithoutAWindowDrawingIsRefusedAtTheStatementItself) {
    Items({Omitted(),
           Omitted(),
           Omitted(),
           Omitted(),
           Omitted(),
           Omitted(),
           {CodeKind::Operator, Op::LineEnd, 0}});
    Push({1, 2, 3});
    Route(St::CIRCLE);
    EXPECT_EQ(Fe.ErrorNumber, Err::NoGraphicsWindow);
    EXPECT_TRUE(Eng.ErrorAtCurrentItem);
    // A trapped error goes on after the statement's six operand items, not into them.
    EXPECT_EQ(Ib.CodeIndex, ProgramCodeStart + 6);

    Fe.ErrorNumber = 0;
    Eng.ErrorAtCurrentItem = false;
    Items({{CodeKind::Operator, Op::LineEnd, 0}});
    Route(St::GPRINT);
    EXPECT_EQ(Fe.ErrorNumber, Err::NoGraphicsWindow);
    EXPECT_EQ(Ib.CodeIndex, ProgramCodeStart); // nothing of the next statement is taken

    // A window the user has closed counts as none.
    Open(20, 20);
    Rc.GScreenOpen = 0;
    Fe.ErrorNumber = 0;
    Items({Omitted()});
    Push({1, 1});
    Route(St::PSET);
    EXPECT_EQ(Fe.ErrorNumber, Err::NoGraphicsWindow);
}

TEST_F(Drawing, LineDrawsWithoutItsLastPixelAndBoxesHaveTheirCorners) {
    Canvas& canvas = Open(60, 60);
    Statement(St::LINE, {2, 3, 12, 3}, {Lit(12), Omitted()});
    EXPECT_EQ(OfColor(canvas, Red).size(), 10u);
    EXPECT_EQ(canvas.Pixel(2, 3), Red);
    EXPECT_EQ(canvas.Pixel(12, 3), White);
    EXPECT_EQ(canvas.PenPos, QPoint(12, 3));

    Statement(St::LINE, {10, 20, 30, 40}, {Lit(2), Name("b")});
    const Pixels box = OfColor(canvas, Green);
    EXPECT_EQ(box.size(), 2u * 21 + 2u * 19);
    for (const auto& corner : {std::pair{10, 20}, std::pair{30, 20}, std::pair{30, 40}, std::pair{10, 40}})
        EXPECT_TRUE(box.count(corner));
    EXPECT_EQ(canvas.Pixel(20, 30), White);
    EXPECT_EQ(Fe.ErrorNumber, 0);
}

TEST_F(Drawing, FilledBoxesUseTheFillStyleAndLeaveOutTheFarEdges) {
    Canvas& canvas = Open(60, 60);
    Push({30, 40, 10, 20}); // corners in either order
    Items({Lit(12), Name("BF")});
    Route(St::LINE);
    const Pixels filled = OfColor(canvas, Red);
    EXPECT_EQ(filled.size(), 20u * 20);
    EXPECT_TRUE(filled.count({10, 20}));
    EXPECT_FALSE(filled.count({30, 40}));

    Ps.FillStyle = 3; // vertical hatching
    Statement(St::LINE, {40, 0, 56, 16}, {Lit(2), Name("BF")});
    for (const auto& p : OfColor(canvas, Green))
        EXPECT_EQ(p.first % 8, 0);
    EXPECT_EQ(OfColor(canvas, Green).size(), 2u * 16);
}

TEST_F(Drawing, LineOptionsOtherThanBAndBfAreRefused) {
    Open(20, 20);
    Statement(St::LINE, {0, 0, 5, 5}, {Omitted(), Name("X")});
    EXPECT_EQ(TakeError(), Err::LineOptionKind);
    Statement(St::LINE, {0, 0, 5, 5}, {Omitted(), Lit(1)});
    EXPECT_EQ(TakeError(), Err::LineOptionKind);
    GlPushStr(QStringLiteral("0"));
    Statement(St::LINE, {0, 5, 5}, {Omitted(), Omitted()});
    EXPECT_EQ(Fe.ErrorNumber, Err::LineNotNumbers);
}

TEST_F(Drawing, CircleOutlineFilledEllipseAndHalfDisc) {
    Canvas& canvas = Open(100, 100);
    Statement(St::CIRCLE, {50, 50, 20}, {Lit(12), Omitted(), Omitted(), Omitted(), Omitted(), Omitted()});
    const Pixels rim = OfColor(canvas, Red);
    ASSERT_FALSE(rim.empty());
    EXPECT_TRUE(rim.count({30, 49}) || rim.count({30, 50})); // the box is 30..69
    EXPECT_TRUE(rim.count({69, 49}) || rim.count({69, 50}));
    EXPECT_EQ(canvas.Pixel(50, 50), White); // outline only
    for (const auto& p : rim)
        EXPECT_TRUE(rim.count({99 - p.first, p.second})); // symmetric about x = 49.5

    // F and no angles: a whole filled ellipse in the fill colour (the colour when omitted).
    Canvas& filled = Open(100, 100);
    Statement(St::CIRCLE, {50, 50, 20}, {Lit(12), Omitted(), Omitted(), Lit(0.5L), Name("F"), Lit(2)});
    EXPECT_EQ(filled.Pixel(50, 50), Green);
    EXPECT_EQ(filled.Pixel(50, 35), White); // aspect 0.5: ten pixels high each way
    EXPECT_EQ(filled.Pixel(50, 42), Green);
    EXPECT_EQ(filled.Pixel(50, 58), Green);

    // Start 0 and end pi: the upper half disc.
    Canvas& half = Open(100, 100);
    Statement(St::CIRCLE, {50, 50, 20}, {Lit(12), Lit(0), Lit(Pi), Omitted(), Name("f"), Omitted()});
    EXPECT_EQ(half.Pixel(50, 40), Red);
    EXPECT_EQ(half.Pixel(50, 60), White);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(ValueStackCount, 0);
}

TEST_F(Drawing, CircleRefusesBadOptionsAndOperandsAndSurvivesHugeRadii) {
    Open(40, 40);
    Statement(St::CIRCLE, {10, 10, 5}, {Omitted(), Omitted(), Omitted(), Omitted(), Name("G"), Omitted()});
    EXPECT_EQ(TakeError(), Err::CircleOptionName);
    Statement(St::CIRCLE, {10, 10, 5}, {Omitted(), Omitted(), Omitted(), Omitted(), Lit(1), Omitted()});
    EXPECT_EQ(TakeError(), Err::CircleOptionKind);
    Push({10, 10});
    GlPushStr(QStringLiteral("r"));
    Items({Omitted(), Omitted(), Omitted(), Omitted(), Omitted(), Omitted()});
    Route(St::CIRCLE);
    EXPECT_EQ(TakeError(), Err::ScreenHeightNotNumber);
    GlPushStr(QStringLiteral("x"));
    Statement(St::CIRCLE, {10, 5}, {Omitted(), Omitted(), Omitted(), Omitted(), Omitted(), Omitted()});
    EXPECT_EQ(TakeError(), Err::ScreenWidthNotNumber);

    Canvas& canvas = Open(40, 40);
    Statement(St::CIRCLE, {20, 20, 1e300L},
              {Omitted(), Lit(1e300L), Omitted(), Lit(1e300L), Name("F"), Omitted()});
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(canvas.Pixel(20, 20), Black); // inside the huge filled circle
}

TEST_F(Drawing, PaintFillsUpToTheBorderColour) {
    Canvas& canvas = Open(60, 60);
    Statement(St::LINE, {10, 10, 40, 40}, {Lit(2), Name("B")});
    // The border defaults to the drawing colour: with green drawing, the green box holds the fill.
    Ps.GForeColor = static_cast<int>(Green);
    Statement(St::PAINT, {20, 20}, {Lit(12), Omitted()});
    EXPECT_EQ(canvas.Pixel(20, 20), Red);
    EXPECT_EQ(canvas.Pixel(39, 39), Red);
    EXPECT_EQ(canvas.Pixel(5, 5), White);
    EXPECT_EQ(canvas.Pixel(10, 10), Green);

    // A border colour that is not there: the fill runs over everything but stops at nothing else.
    Ps.GBorderColor = static_cast<int>(Lime);
    Ps.GBorderColorSet = 1;
    Statement(St::PAINT, {5, 5}, {Lit(1), Omitted()});
    EXPECT_EQ(canvas.Pixel(0, 0), Navy);
    EXPECT_EQ(canvas.Pixel(10, 10), Navy);
    EXPECT_EQ(canvas.Pixel(20, 20), Navy);
    EXPECT_EQ(Fe.ErrorNumber, 0);

    GlPushStr(QStringLiteral("x"));
    Statement(St::PAINT, {1}, {Omitted(), Omitted()});
    EXPECT_EQ(Fe.ErrorNumber, Err::PaintPointNotNumbers);
}

TEST_F(Drawing, GLocateIsHeldOnTheBitmapAndGFLocateTruncates) {
    Canvas& canvas = Open(80, 60);
    Push({500, -20});
    Route(St::GLOCATE);
    EXPECT_EQ(Ps.GLocateX, 79);
    EXPECT_EQ(Ps.GLocateY, 0);
    EXPECT_EQ(canvas.PenPos, QPoint(79, 0));
    Ps.MathGraph = 1;
    Push({10, 0});
    Route(St::GLOCATE);
    EXPECT_EQ(Ps.GLocateY, 59);
    Ps.MathGraph = 0;
    GlPushStr(QStringLiteral("x"));
    Push({1});
    ExpectTypeRefusal(St::GLOCATE);

    Push({3.9L, -2.7L});
    Route(St::GFLOCATE);
    EXPECT_EQ(Ps.GFLocateX, 3);
    EXPECT_EQ(Ps.GFLocateY, -2);
    GlPushStr(QStringLiteral("x"));
    Route(St::GFLOCATE);
    EXPECT_EQ(Fe.ErrorNameIndex, St::GFLOCATE);
}

TEST_F(Drawing, GPrintWritesAtTheGraphicsPositionOnTheBackColour) {
    if (QFontDatabase::families().isEmpty()) GTEST_SKIP() << "no fonts installed";
    Canvas& canvas = Open(200, 60);
    Ps.GFontColor = static_cast<int>(Red);
    Ps.GBackColor = static_cast<int>(Lime);
    Ps.GFontSize = 12;
    Push({40, 10});
    Route(St::GLOCATE);
    Push({123});
    Route(St::GPRINT);
    ASSERT_EQ(Fe.ErrorNumber, 0);
    const Pixels text = OfColor(canvas, Red);
    ASSERT_FALSE(text.empty());
    for (const auto& p : text) {
        EXPECT_GE(p.first, 40);
        EXPECT_GE(p.second, 10);
    }
    EXPECT_EQ(canvas.Pixel(40, 10), Lime); // the leading blank of a number's text
    EXPECT_EQ(Ps.GLocateX, 40);            // the position does not advance
    EXPECT_EQ(canvas.Brush.Color, Lime);

    GlPushBool(true);
    ExpectTypeRefusal(St::GPRINT);
}

TEST_F(Drawing, ClsClearsTheWindowsItsModeNames) {
    // Mode 2 needs the graphics window; mode 3 does without.
    Items({Lit(2)});
    Route(St::CLS);
    EXPECT_EQ(Fe.ErrorNumber, Err::NoGraphicsWindow);
    EXPECT_FALSE(Eng.ErrorAtCurrentItem);
    Fe.ErrorNumber = 0;
    Items({Lit(3)});
    Route(St::CLS);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_FALSE(RunWindowQueue::Instance().Empty()); // the run window is cleared
    RunWindowQueue::Instance().Reset();

    Canvas& canvas = Open(30, 30);
    Ps.GBackColor = static_cast<int>(Lime);
    canvas.Brush.Color = Red;
    canvas.SetPixel(5, 5, Black);
    Items({Lit(2)});
    Route(St::CLS);
    EXPECT_EQ(OfColor(canvas, Lime).size(), 900u);
    EXPECT_EQ(canvas.Brush.Color, Red); // the brush colour is given back
    EXPECT_TRUE(RunWindowQueue::Instance().Empty());

    Items({Lit(5)});
    Route(St::CLS);
    EXPECT_EQ(Fe.ErrorNumber, Err::ClsMode);
    Fe.ErrorNumber = 0;
    Items({Lit(1e30L)});
    Route(St::CLS);
    EXPECT_EQ(Fe.ErrorNumber, Err::ClsMode);
    Fe.ErrorNumber = 0;
    // A variable as the mode is refused, but the run window is still cleared.
    Items({Name("M", 2)});
    Route(St::CLS);
    EXPECT_EQ(Fe.ErrorNumber, Err::UnexpectedParseError);
    EXPECT_FALSE(RunWindowQueue::Instance().Empty());
}

TEST_F(Drawing, GScreenHoldsTheSizesWithinTheirLimits) {
    Push({10, 5});
    ExecGScreen(false);
    EXPECT_EQ(Gs.GScreenWidth, 50);
    EXPECT_EQ(Gs.GScreenHeight, 10);
    Push({5000, 5000});
    ExecGScreen(false);
    EXPECT_EQ(Gs.GScreenWidth, 3000);
    EXPECT_EQ(Gs.GScreenHeight, 2500);
    EXPECT_EQ(Ps.GScreenPrevWidth, 50);
    EXPECT_EQ(Ps.GScreenPrevHeight, 10);
    EXPECT_EQ(Rc.GScreenSizeMode.load(), 0);
    Push({320.9L, 200.2L, 100, 5000});
    ExecGScreen(true);
    EXPECT_EQ(Gs.GScreenWidth, 320);
    EXPECT_EQ(Gs.GScreenHeight, 200);
    EXPECT_EQ(Gs.GScreenClientWidth, 100);
    EXPECT_EQ(Gs.GScreenClientHeight, 2500);
    EXPECT_EQ(Rc.GScreenSizeMode.load(), 1);

    Push({100});
    GlPushStr(QStringLiteral("h"));
    ExecGScreen(false);
    EXPECT_EQ(TakeError(), Err::ScreenHeightNotNumber);
    GlPushStr(QStringLiteral("w"));
    Push({100});
    ExecGScreen(false);
    EXPECT_EQ(Fe.ErrorNumber, Err::ScreenWidthNotNumber);
    EXPECT_EQ(Gs.GScreenWidth, 320);
}

TEST_F(Drawing, FilePsetDrawsThePointsOfAFile) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("points.txt"));
    ASSERT_TRUE(WriteBytes(path, "1 2 12 the rest of the line is skipped\r\n\r\n  3.5\t4 2\n5\n6\n1\n"));
    GlPushStr(path);
    Route(St::FILEPSET);
    EXPECT_EQ(Fe.ErrorNumber, Err::FilePsetNoGraphicsWindow);
    Fe.ErrorNumber = 0;

    Canvas& canvas = Open(20, 20);
    GlPushStr(path);
    Route(St::FILEPSET);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(canvas.Pixel(1, 2), Red);
    EXPECT_EQ(canvas.Pixel(4, 4), Green); // 3.5 rounds to even
    EXPECT_EQ(canvas.Pixel(5, 6), Navy);  // the numbers may stand on lines of their own

    GlPushStr(folder.filePath(QStringLiteral("missing.txt")));
    Route(St::FILEPSET);
    EXPECT_EQ(Fe.ErrorNumber, Err::FilePsetNotFound);
    Fe.ErrorNumber = 0;
    Push({1});
    ExpectTypeRefusal(St::FILEPSET);

    const QString bad = folder.filePath(QStringLiteral("bad.txt"));
    ASSERT_TRUE(WriteBytes(bad, "7 7 12\nseven 7 12\n"));
    GlPushStr(bad);
    Route(St::FILEPSET);
    EXPECT_EQ(Fe.ErrorNumber, Err::FilePsetFailed);
    EXPECT_EQ(canvas.Pixel(7, 7), Red); // the points before the bad line are drawn
}

TEST_F(Drawing, FilePsetStopsAtAStopRequest) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("many.txt"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        for (int k = 0; k < 100000; ++k)
            file.write("3 3 12\n");
    }
    Canvas& canvas = Open(10, 10);
    Rc.StopRequest = 1;
    GlPushStr(path);
    QElapsedTimer clock;
    clock.start();
    Route(St::FILEPSET);
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(canvas.Pixel(3, 3), White);
    Rc.StopRequest = 0;
}

// ---- the graphics window ---------------------------------------------------------------------------------

class GraphWindow : public Drawing {
protected:
    void SetUp() override {
        Drawing::SetUp();
        ReopenHandOver();
        SetHandOverTarget(&target_); // the hand-over runs its work at once on this thread
        InstallGraphForm();
    }
    void TearDown() override {
        CloseGraphForm();
        if (Win.LXGraphForm2 != nullptr) Win.LXGraphForm2->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        SetHandOverTarget(nullptr);
        Drawing::TearDown();
    }
    void GScreen(int width, int height) {
        Push({static_cast<Extended>(width), static_cast<Extended>(height)});
        Route(St::GSCREEN);
        ASSERT_EQ(Fe.ErrorNumber, 0);
    }

    QObject target_;
};

TEST_F(GraphWindow, GScreenOpensAFilledWindowWithTheWorldReset) {
    Ps.GBackColor = static_cast<int>(Lime);
    Ps.WorldXScale = 5;
    Ps.GScreenLeft = 30;
    Ps.GScreenTop = 40;
    GScreen(200, 100);
    ASSERT_NE(Win.LXGraphForm, nullptr);
    EXPECT_EQ(Rc.GScreenOpen.load(), 1);
    EXPECT_EQ(Ps.GScreenUsed, 1);
    EXPECT_EQ(Win.LXGraphForm->windowTitle(), QStringLiteral("Lorvex Graph 画面"));
    EXPECT_EQ(Win.LXGraphForm->size(), QSize(200, 100));
    EXPECT_EQ(Win.LXGraphForm->pos(), QPoint(30, 40));
    const std::shared_ptr<GraphSurface> surface = CurrentGraphSurface();
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface, Win.LXGraphForm->Surface());
    EXPECT_EQ(OfColor(surface->Image1, Lime).size(), 200u * 100);
    EXPECT_EQ(Ps.WorldXScale, 1);
    EXPECT_EQ(Ps.WorldXMax, 200);
    EXPECT_EQ(Gs.ViewY2, 100);

    // What is drawn reaches the window's display.
    Statement(St::PSET, {10, 20}, {Lit(12)});
    PumpFor(60);
    EXPECT_EQ(Win.LXGraphForm->PaintBox1->grab().toImage().pixelColor(10, 20), QColor(Qt::red));

    // A text names its part, and the window takes that part for its repaint.
    if (QFontDatabase::families().isEmpty()) return;
    Ps.GBackColor = static_cast<int>(Red);
    Push({5, 50});
    Route(St::GLOCATE);
    Push({7});
    Route(St::GPRINT);
    EXPECT_FALSE(surface->Dirty.load());
    EXPECT_TRUE(surface->PartDirty.load());
    PumpFor(60);
    EXPECT_FALSE(surface->PartDirty.load());
    {
        std::lock_guard<std::mutex> lock(surface->Lock);
        EXPECT_TRUE(surface->ChangedArea.isEmpty());
    }
    EXPECT_EQ(Win.LXGraphForm->PaintBox1->grab().toImage().pixelColor(5, 50), QColor(Qt::red));
}

TEST_F(GraphWindow, ASecondGScreenKeepsTheOldPictureInTheSecondWindow) {
    GScreen(100, 80);
    Statement(St::PSET, {10, 20}, {Lit(12)});
    TLXGraphForm* first = Win.LXGraphForm;
    Win.LXGraphForm->move(15, 25);
    GScreen(60, 50);
    ASSERT_NE(Win.LXGraphForm, nullptr);
    EXPECT_NE(Win.LXGraphForm, first);
    ASSERT_NE(Win.LXGraphForm2, nullptr);
    EXPECT_EQ(Win.LXGraphForm2->Picture().size(), QSize(100, 80));
    EXPECT_EQ(RgbToColorWord(Win.LXGraphForm2->Picture().pixel(10, 20)), Red);
    EXPECT_EQ(Win.LXGraphForm2->pos(), QPoint(15, 25));
    EXPECT_EQ(Win.LXGraphForm2->size(), QSize(100, 80));
    // The new window is fresh.
    EXPECT_EQ(CurrentGraphSurface()->Image1.Width(), 60);
    EXPECT_EQ(OfColor(CurrentGraphSurface()->Image1, Red).size(), 0u);
}

TEST_F(GraphWindow, GScreenInALoopLeavesOneGraphicsWindowAndOneSecondWindow) {
    constexpr int Screens = 6;
    for (int n = 0; n < Screens; ++n)
        GScreen(120 + n, 90);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    int graphWindows = 0;
    int secondWindows = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<TLXGraphForm*>(widget) != nullptr) ++graphWindows;
        if (qobject_cast<TLXGraphForm2*>(widget) != nullptr) ++secondWindows;
    }
    EXPECT_EQ(graphWindows, 1);
    EXPECT_EQ(secondWindows, 1);
    ASSERT_NE(Win.LXGraphForm2, nullptr);
    EXPECT_EQ(Win.LXGraphForm2->Picture().width(), 120 + Screens - 2)
        << "the second window shows the last screen replaced";
}

TEST_F(GraphWindow, ClosingTheWindowMakesTheNextDrawingFail) {
    GScreen(100, 80);
    Items({});
    Route(St::CLOSEGSCREEN);
    EXPECT_EQ(Rc.GScreenOpen.load(), 0);
    Statement(St::PSET, {1, 1}, {Omitted()});
    EXPECT_EQ(TakeError(), Err::NoGraphicsWindow);
    Route(St::CLOSEGSCREEN);
    EXPECT_EQ(Fe.ErrorNumber, Err::NoGraphicsWindow);
    Fe.ErrorNumber = 0;

    // The user closing it is the same.
    GScreen(100, 80);
    Win.LXGraphForm->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Rc.GScreenOpen.load(), 0);
    EXPECT_EQ(Win.LXGraphForm, nullptr);
    Statement(St::PSET, {1, 1}, {Omitted()});
    EXPECT_EQ(Fe.ErrorNumber, Err::NoGraphicsWindow);
}

TEST_F(GraphWindow, ScrollAndStretchNeedTheClientSizePair) {
    GScreen(200, 100);
    Items({{CodeKind::Statement, St::ON, 0}});
    Route(St::GSTRETCH);
    EXPECT_FALSE(Win.LXGraphForm->Image1Stretched()); // opened without a client size: nothing

    Push({200, 100, 300, 120});
    Route(St::GSCREEN + ArgumentFormStep);
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Win.LXGraphForm->size(), QSize(300, 120));
    Items({{CodeKind::Statement, St::ON, 0}});
    Route(St::GSTRETCH);
    PumpFor(30);
    EXPECT_TRUE(Win.LXGraphForm->Image1Stretched());
    EXPECT_TRUE(Win.LXGraphForm->PaintBox1->isHidden());
    EXPECT_EQ(Win.LXGraphForm->height(), 150); // the bitmap's proportions: 300 * 100 / 200
    EXPECT_TRUE(CurrentGraphSurface()->Stretched.load());
    EXPECT_EQ(CurrentGraphSurface()->ShownWidth.load(), 300);

    // Resizing a stretched window keeps the proportions.
    Win.LXGraphForm->resize(400, 50);
    PumpFor(30);
    EXPECT_EQ(Win.LXGraphForm->height(), 200);

    Items({{CodeKind::Statement, St::OFF, 0}});
    Route(St::GSTRETCH);
    EXPECT_FALSE(Win.LXGraphForm->Image1Stretched());
    EXPECT_FALSE(Win.LXGraphForm->PaintBox1->isHidden());
    Win.LXGraphForm->resize(250, 90);
    PumpFor(30);
    EXPECT_EQ(Win.LXGraphForm->size(), QSize(250, 90)); // an unstretched window keeps any size

    Items({{CodeKind::Statement, St::ON, 0}});
    Route(St::GSCROLL);
    EXPECT_FALSE(Win.LXGraphForm->Image1->isHidden());
    EXPECT_TRUE(Win.LXGraphForm->PaintBox1->isHidden());
    EXPECT_EQ(Win.LXGraphForm->Image1->size(), QSize(200, 100));
    Items({{CodeKind::Statement, St::OFF, 0}});
    Route(St::GSCROLL);
    EXPECT_TRUE(Win.LXGraphForm->Image1->isHidden());
    EXPECT_EQ(Fe.ErrorNumber, 0);
}

TEST_F(GraphWindow, MouseAndKeysFeedTheInputState) {
    GScreen(200, 100);
    Rc.MouseEvent = 0;
    QTest::mousePress(Win.LXGraphForm->PaintBox1, Qt::LeftButton, {}, QPoint(12, 34));
    EXPECT_EQ(Rc.MouseEvent.load(), 2);
    EXPECT_EQ(Rc.MouseX.load(), 12);
    EXPECT_EQ(Rc.MouseY.load(), 34);
    QTest::mouseRelease(Win.LXGraphForm->PaintBox1, Qt::LeftButton, {}, QPoint(12, 34));

    QMouseEvent both(QEvent::MouseButtonPress, QPointF(5, 6), QPointF(5, 6), Qt::LeftButton,
                     Qt::LeftButton | Qt::RightButton, Qt::NoModifier);
    Win.LXGraphForm->PaintBox1MouseDown(&both, false);
    EXPECT_EQ(Rc.MouseEvent.load(), 3); // right wins over left
    QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(7, 8), QPointF(7, 8), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    Win.LXGraphForm->PaintBox1MouseDown(&twice, true);
    EXPECT_EQ(Rc.MouseEvent.load(), 5);

    // Sent to the widget itself: a move through the window system is dropped when the pointer is
    // already there, and the application keeps the pointer where an earlier test left it.
    QMouseEvent move(QEvent::MouseMove, QPointF(40, 50),
                     Win.LXGraphForm->PaintBox1->mapToGlobal(QPointF(40, 50)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(Win.LXGraphForm->PaintBox1, &move);
    EXPECT_EQ(Rc.MouseEvent.load(), 1);
    EXPECT_EQ(Rc.MouseX.load(), 40);
    EXPECT_EQ(Rc.MouseY.load(), 50);

    Rc.KeyBuffer = 0;
    Rc.LastKeyCode = 0;
    QTest::keyClick(Win.LXGraphForm, Qt::Key_A);
    EXPECT_EQ(Rc.LastKeyCode.load(), 65);
    EXPECT_EQ(Rc.KeyBuffer.load(), u'a');
    QTest::keyClick(Win.LXGraphForm, Qt::Key_Left);
    EXPECT_EQ(Rc.LastKeyCode.load(), 37);
    EXPECT_EQ(Rc.KeyBuffer.load(), u'a'); // a key without a character leaves the typed character
}

// ---- whole programs --------------------------------------------------------------------------------------

class GraphProgram : public ::testing::Test {
protected:
    void SetUp() override {
        ReopenHandOver();
        RunWindowQueue::Instance().Reset();
        InitAll();
        InstallGraphForm();
        form_ = std::make_unique<TRunForm>();
        form_->CLSBtnClick();
    }
    void TearDown() override {
        TLXMTHread::StopAndJoin();
        CloseGraphForm();
        if (Win.LXGraphForm2 != nullptr) Win.LXGraphForm2->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        form_.reset();
        ReopenHandOver();
        RunWindowQueue::Instance().Reset();
        SetCurrentGraphSurface(nullptr);
        Rc.StopRequest = 0;
    }
    bool Run(const char* text) {
        StartProgramRun(text);
        return WaitForRunEnd(form_.get());
    }

    std::unique_ptr<TRunForm> form_;
};

TEST_F(GraphProgram, AProgramDrawsIntoTheBackBuffer) {
    ASSERT_TRUE(Run("GSCREEN (200, 100)\r\n"
                    "PSET (10, 10), 12\r\n"
                    "LINE (0, 50)-(199, 50), 1\r\n"
                    "LINE (20, 20)-(40, 40), 2, BF\r\n"
                    "CIRCLE (150, 50), 20, 12, , , , F, 10\r\n"
                    "WINDOW (0, 0)-(100, 50)\r\n"
                    "PSET (50, 40), 12\r\n"
                    "PRINT \"done\"\r\n"));
    EXPECT_EQ(form_->Text(), QStringLiteral("done\nOK\n\n"));
    ASSERT_NE(Win.LXGraphForm, nullptr);
    const Canvas& canvas = Win.LXGraphForm->Surface()->Image1;
    EXPECT_EQ(canvas.Pixel(10, 10), Red);
    EXPECT_EQ(canvas.Pixel(0, 50), Navy);
    EXPECT_EQ(canvas.Pixel(198, 50), Navy);
    EXPECT_EQ(canvas.Pixel(199, 50), White); // a line leaves out its last pixel
    EXPECT_EQ(canvas.Pixel(20, 20), Green);
    EXPECT_EQ(canvas.Pixel(39, 39), Green);
    EXPECT_EQ(canvas.Pixel(40, 40), White);
    EXPECT_EQ(canvas.Pixel(150, 40), Lime); // the fill colour inside the circle
    EXPECT_EQ(canvas.Pixel(100, 80), Red);  // world (50, 40) with two pixels per unit
}

TEST_F(GraphProgram, KeysOfTheGraphicsWindowReachInkey) {
    // Backspace and Tab give 7 and 8; the keypad's operators and digits their own characters.
    StartProgramRun("GSCREEN (200, 100)\r\nFOR N = 1 TO 8\r\nDO\r\nK$ = INKEY$\r\nLOOP WHILE K$ = \"\"\r\n"
                    "PRINT ASC(K$);\r\nNEXT\r\nPRINT\r\n");
    ASSERT_TRUE(PumpUntil([] { return Rc.GScreenOpen.load() != 0 && Win.LXGraphForm != nullptr; }));
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_Backspace, Qt::NoModifier},    {Qt::Key_Tab, Qt::NoModifier},
        {Qt::Key_Asterisk, Qt::KeypadModifier}, {Qt::Key_Plus, Qt::KeypadModifier},
        {Qt::Key_Minus, Qt::KeypadModifier},    {Qt::Key_Period, Qt::KeypadModifier},
        {Qt::Key_Slash, Qt::KeypadModifier},    {Qt::Key_7, Qt::KeypadModifier}};
    for (const auto& [key, modifiers] : keys) {
        QTest::keyClick(Win.LXGraphForm, key, modifiers);
        // INKEY$ takes the key; only then may the next one come, as a key overwrites the last.
        ASSERT_TRUE(PumpUntil([] { return Rc.LastKeyCode.load() == 0; })) << key;
    }
    ASSERT_TRUE(WaitForRunEnd(form_.get()));
    EXPECT_EQ(form_->Text(), QStringLiteral(" 7 8 42 43 45 46 47 55\nOK\n\n"));
}

TEST_F(GraphProgram, DrawingWithoutAWindowStopsAtTheStatement) {
    ASSERT_TRUE(Run("PRINT 1\r\nPSET (1, 1)\r\nPRINT 2\r\n"));
    EXPECT_EQ(form_->Text(),
              QStringLiteral(
                  " 1\nエラー:Graphicコマンドで処理するグラフ画面が開かれていません。(2行,　1 桁)\nOK\n\n"));
}

} // namespace
