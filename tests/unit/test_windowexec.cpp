// The window-setting statements and their values: every setter read back through its value function
// for the run, graphics and control windows; the graphics pen and fill; PRECISION and what PRINT then
// writes; window states, captions, places and TSCREEN; the dialog functions through replaced hooks and
// the real dialogs driven by timers; the error numbers of wrong operands.
#include "controlwindow/properties.h"
#include "core/codeitem.h"
#include "core/errornumbers.h"
#include "core/sharedstate.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/coords.h"
#include "engine/dispatch.h"
#include "engine/drawexec.h"
#include "engine/enginestate.h"
#include "engine/handover.h"
#include "engine/numberformat.h"
#include "engine/printline.h"
#include "engine/runloop.h"
#include "engine/runwindowqueue.h"
#include "engine/windowexec.h"
#include "frontend/initall.h"
#include "platform/settings.h"
#include "tests/testsupport.h"
#include "ui/controlform.h"
#include "ui/graphform.h"
#include "ui/mainframe.h"
#include "ui/runform.h"
#include "ui/windowsettings.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <limits>
#include <memory>

namespace {

constexpr int Value = SettingValueBase;
constexpr int Form2 = FunctionFormStep;
constexpr int Form3 = 2 * FunctionFormStep;

class WindowExec : public ::testing::Test {
protected:
    void SetUp() override {
        ReopenHandOver();
        RunWindowQueue::Instance().Reset();
        InitAll();
        runForm_ = std::make_unique<TRunForm>(); // also the hand-over's target: work runs at once here
        runForm_->CLSBtnClick();
        InstallControlWindow();
        InstallGraphForm();
        InstallWindowSettings();
        Fe.ErrorNumber = 0;
        Fe.ErrorNameIndex = 0;
    }
    void TearDown() override {
        CloseGraphForm();
        if (Win.LXGraphForm2 != nullptr) Win.LXGraphForm2->close();
        if (Win.LXControlForm != nullptr) Win.LXControlForm->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        runForm_.reset();
        WindowSettingsHook = WindowSettingsHooks{};
        SetCurrentGraphSurface(nullptr);
        Rc.GScreenOpen = 0;
        Rc.CScreenOpen = 0;
        ReopenHandOver();
        RunWindowQueue::Instance().Reset();
    }

    void Statement(int code) { ExecuteStatement(code); }
    void Set(int code, Extended value) {
        GlPushNum(value);
        Statement(code);
    }
    void Set(int code, const QString& text) {
        GlPushStr(text);
        Statement(code);
    }
    void Set(int code, const char* text) { Set(code, QString::fromUtf8(text)); }
    void SetPair(int code, Extended first, Extended second) {
        GlPushNum(first);
        GlPushNum(second);
        Statement(code);
    }
    void SetOk(int code, Extended value) {
        Set(code, value);
        EXPECT_EQ(Fe.ErrorNumber, 0) << code;
    }
    void SetOk(int code, const char* text) {
        Set(code, text);
        EXPECT_EQ(Fe.ErrorNumber, 0) << code;
    }

    // The value function of setting statement `statement`.
    QString GetStr(int statement) {
        ExecuteFunction(Value + statement);
        EXPECT_EQ(Fe.ErrorNumber, 0) << statement;
        QString text;
        EXPECT_TRUE(GlPopStr(text)) << statement;
        return text;
    }
    Extended GetNum(int statement) {
        ExecuteFunction(Value + statement);
        EXPECT_EQ(Fe.ErrorNumber, 0) << statement;
        EXPECT_EQ(GlTopType(), GlValueType::Number) << statement;
        return GlPopNum();
    }

    // An error with the culprit it names; both are cleared for the next step.
    void ExpectError(int number, int nameIndex) {
        EXPECT_EQ(Fe.ErrorNumber, number);
        EXPECT_EQ(Fe.ErrorNameIndex, nameIndex);
        Fe.ErrorNumber = 0;
        Fe.ErrorNameIndex = 0;
        GlClear();
    }

    void OpenGraphics(int width = 200, int height = 100) {
        GlPushNum(width);
        GlPushNum(height);
        ExecuteStatement(St::GSCREEN);
        ASSERT_EQ(Fe.ErrorNumber, 0);
        ASSERT_NE(Win.LXGraphForm, nullptr);
    }
    void OpenControls() {
        CScreenSize.Width = 600;
        CScreenSize.Height = 400;
        SyncOpenControlForm();
        ASSERT_NE(Win.LXControlForm, nullptr);
    }
    static const Canvas& Pen() { return CurrentGraphSurface()->Image1; }

    std::unique_ptr<TRunForm> runForm_;
};

// ---- colours ------------------------------------------------------------------------------------------

TEST_F(WindowExec, GraphicsColoursReadBackAsColourTextsAndReachTheOpenCanvas) {
    OpenGraphics();
    SetOk(St::FORECOLOR, 12); // red in the default palette
    EXPECT_EQ(GetStr(St::FORECOLOR), QStringLiteral("#FF0000"));
    EXPECT_EQ(GetStr(St::GFORECOLOR), QStringLiteral("#FF0000"));
    EXPECT_EQ(Pen().Pen.Color, 0x0000FFu);
    // FORECOLOR is GPRINT's text colour too.
    EXPECT_EQ(GetStr(St::GFONTCOLOR), QStringLiteral("#FF0000"));

    SetOk(St::GBACKCOLOR, "navy");
    EXPECT_EQ(GetStr(St::BACKCOLOR), QStringLiteral("#000080"));
    EXPECT_EQ(Pen().Brush.Color, 0x800000u);

    SetOk(St::GFONTCOLOR, "#00ff80");
    EXPECT_EQ(GetStr(St::GFONTCOLOR), QStringLiteral("#00FF80"));
    EXPECT_EQ(Pen().Font.Color, 0x80FF00u);
    EXPECT_EQ(GetStr(St::FORECOLOR), QStringLiteral("#FF0000")); // the pen keeps its colour

    EXPECT_EQ(Ps.GBorderColorSet, 0);
    SetOk(St::BORDERCOLOR, 10); // lime
    EXPECT_EQ(GetStr(St::GBORDERCOLOR), QStringLiteral("#00FF00"));
    EXPECT_EQ(Ps.GBorderColorSet, 1);
    SetOk(St::GBORDERCOLOR, 14.9); // fractions are truncated: yellow
    EXPECT_EQ(GetStr(St::BORDERCOLOR), QStringLiteral("#FFFF00"));
    Set(St::GBORDERCOLOR, 15.5); // above 15
    ExpectError(Err::PropertySyntax, St::GBORDERCOLOR);
    EXPECT_EQ(GetStr(St::BORDERCOLOR), QStringLiteral("#FFFF00"));
}

TEST_F(WindowExec, GraphicsColoursWithTheWindowClosedOnlySetTheValues) {
    SetOk(St::GFORECOLOR, "yellow");
    EXPECT_EQ(GetStr(St::FORECOLOR), QStringLiteral("#FFFF00"));
    // The next window draws with it.
    OpenGraphics();
    EXPECT_EQ(Pen().Pen.Color, 0x00FFFFu);
}

TEST_F(WindowExec, AColourOutsideThePaletteOrOfAnotherTypeIsRefusedNamingTheStatement) {
    Ps.GForeColor = 0x123456;
    Set(St::GBACKCOLOR, 16);
    ExpectError(Err::PropertySyntax, St::GBACKCOLOR);
    Set(St::FORECOLOR, -1);
    ExpectError(Err::PropertySyntax, St::FORECOLOR);
    Set(St::FORECOLOR, -0.5);
    ExpectError(Err::PropertySyntax, St::FORECOLOR);
    Set(St::TFONTCOLOR, std::numeric_limits<Extended>::quiet_NaN());
    ExpectError(Err::PropertySyntax, St::TFONTCOLOR);
    GlPushBool(true);
    Statement(St::CBACKCOLOR);
    ExpectError(Err::PropertySyntax, St::CBACKCOLOR);
    EXPECT_EQ(Ps.GForeColor, 0x123456);
    // An unknown colour name is black, not an error.
    SetOk(St::FORECOLOR, "chartreuse");
    EXPECT_EQ(GetStr(St::FORECOLOR), QStringLiteral("#000000"));
}

TEST_F(WindowExec, RunWindowColoursAndFontRoundTrip) {
    SetOk(St::TBACKCOLOR, "#102030");
    EXPECT_EQ(GetStr(St::TBACKCOLOR), QStringLiteral("#102030"));
    EXPECT_EQ(runForm_->Memo()->palette().color(QPalette::Base), QColor(0x10, 0x20, 0x30));

    SetOk(St::TFONTCOLOR, 12);
    // The one colour value that is the colour word as a number.
    EXPECT_EQ(GetNum(St::TFONTCOLOR), 0x0000FF);
    EXPECT_EQ(runForm_->Memo()->palette().color(QPalette::Text), QColor(255, 0, 0));

    SetOk(St::TFONTSIZE, 14.7);
    EXPECT_EQ(GetNum(St::TFONTSIZE), 14);
    EXPECT_EQ(runForm_->Memo()->font().pointSize(), 14);

    SetOk(St::TFONTNAME, "Serif");
    EXPECT_EQ(GetStr(St::TFONTNAME), QStringLiteral("Serif"));

    SetOk(St::TFONTSTYLE, "  bold, underline ");
    EXPECT_EQ(GetStr(St::TFONTSTYLE), QStringLiteral(" Bold Underline"));
    EXPECT_TRUE(runForm_->Memo()->font().bold());
    SetOk(St::TFONTSTYLE, "plain");
    EXPECT_EQ(GetStr(St::TFONTSTYLE), QStringLiteral("Normal"));

    // Until a program sets one, the character set is the preference's.
    {
        std::lock_guard<std::mutex> lock(SettingsMutex());
        Settings.TScreenFontCharset = 77;
    }
    EXPECT_EQ(GetNum(St::TFONTCHARSET), 77);
    SetOk(St::TFONTCHARSET, 128);
    EXPECT_EQ(GetNum(St::TFONTCHARSET), 128);
}

TEST_F(WindowExec, FontSizesAreRangeCheckedAndZeroIsHarmless) {
    const int before = runForm_->Memo()->font().pointSize();
    Set(St::TFONTSIZE, 501);
    ExpectError(Err::PropertySyntax, St::TFONTSIZE);
    Set(St::TFONTSIZE, -1);
    ExpectError(Err::PropertySyntax, St::TFONTSIZE);
    Set(St::GFONTSIZE, std::numeric_limits<Extended>::infinity());
    ExpectError(Err::PropertySyntax, St::GFONTSIZE);
    Set(St::TFONTSIZE, "12");
    ExpectError(Err::PropertySyntax, St::TFONTSIZE);
    EXPECT_EQ(runForm_->Memo()->font().pointSize(), before);

    // Size 0 asks for the default size: the font stays drawable and the value reads back 0.
    SetOk(St::TFONTSIZE, 0.0L);
    EXPECT_EQ(GetNum(St::TFONTSIZE), 0);
    EXPECT_GT(runForm_->Memo()->font().pointSize(), 0);
    SetOk(St::TFONTSIZE, 500);
    EXPECT_EQ(GetNum(St::TFONTSIZE), 500);

    Set(St::TFONTNAME, 3);
    ExpectError(Err::PropertySyntax, St::TFONTNAME);
    Set(St::GFONTSTYLE, 3);
    ExpectError(Err::PropertySyntax, St::GFONTSTYLE);
}

TEST_F(WindowExec, GraphicsFontSettingsAreValuesForGprint) {
    SetOk(St::GFONTSIZE, 24);
    SetOk(St::GFONTNAME, "Monospace");
    SetOk(St::GFONTCHARSET, 128);
    SetOk(St::GFONTSTYLE, "Bold and Italic");
    EXPECT_EQ(GetNum(St::GFONTSIZE), 24);
    EXPECT_EQ(GetStr(St::GFONTNAME), QStringLiteral("Monospace"));
    EXPECT_EQ(GetNum(St::GFONTCHARSET), 128);
    EXPECT_EQ(GetStr(St::GFONTSTYLE), QStringLiteral(" Bold Italic"));
    SetOk(St::GFONTSTYLE, "");
    EXPECT_EQ(GetStr(St::GFONTSTYLE), QStringLiteral("Normal"));
    SetOk(St::GFONTSTYLE, "strikeout underline");
    EXPECT_EQ(GetStr(St::GFONTSTYLE), QStringLiteral(" Underline StrikeOut"));
}

TEST_F(WindowExec, ControlWindowColoursAndFontsReachEveryControl) {
    OpenControls();
    SetOk(St::CBACKCOLOR, "teal");
    EXPECT_EQ(GetStr(St::CBACKCOLOR), QStringLiteral("#008080"));
    EXPECT_EQ(Win.LXControlForm->palette().color(QPalette::Window), QColor(0, 0x80, 0x80));

    SetOk(St::CFONTCOLOR, "red");
    EXPECT_EQ(GetStr(St::CFONTCOLOR), QStringLiteral("#FF0000"));
    SetOk(St::CFONTSIZE, 15);
    EXPECT_EQ(GetNum(St::CFONTSIZE), 15);
    SetOk(St::CFONTNAME, "Sans");
    EXPECT_EQ(GetStr(St::CFONTNAME), QStringLiteral("Sans"));
    SetOk(St::CFONTSTYLE, "italic");
    EXPECT_EQ(GetStr(St::CFONTSTYLE), QStringLiteral(" Italic"));
    SetOk(St::CFONTCHARSET, 2);
    EXPECT_EQ(GetNum(St::CFONTCHARSET), 2);

    // The first and the last control of every kind, the multi-line text boxes included.
    for (int n : {1, ControlCount}) {
        for (QWidget* control :
             std::initializer_list<QWidget*>{Win.LXControlForm->Label(n), Win.LXControlForm->Button(n),
                                             Win.LXControlForm->Edit(n), Win.LXControlForm->Memo(n)}) {
            EXPECT_EQ(ControlFontColor(control), 0x0000FFu) << n;
            EXPECT_EQ(ControlFontSize(control), 15) << n;
            EXPECT_EQ(ControlFontName(control), QStringLiteral("Sans")) << n;
            EXPECT_EQ(ControlFontStyle(control), FontStyleBit::Italic) << n;
            EXPECT_EQ(ControlFontCharset(control), 2) << n;
        }
    }

    // A new control window starts in its default look; the settings' values stay what was set.
    OpenControls();
    EXPECT_NE(Win.LXControlForm->palette().color(QPalette::Window), QColor(0, 0x80, 0x80));
    EXPECT_EQ(GetStr(St::CBACKCOLOR), QStringLiteral("#008080"));
    EXPECT_EQ(GetStr(St::CFONTCOLOR), QStringLiteral("#FF0000"));
}

// ---- pen and fill -------------------------------------------------------------------------------------

TEST_F(WindowExec, PenAndFillSettingsReachTheCanvasAndReadBack) {
    OpenGraphics();
    SetOk(St::DRAWMODE, 7.9);
    EXPECT_EQ(Pen().Pen.Mode, PenMode::XorPen);
    EXPECT_EQ(GetNum(St::DRAWMODE), 7);
    EXPECT_EQ(GetNum(St::GDRAWMODE), 7);
    // Out of range: kept as it was, without an error.
    SetOk(St::GDRAWMODE, 0.0L);
    SetOk(St::DRAWMODE, 17);
    SetOk(St::DRAWMODE, 0.5);
    EXPECT_EQ(GetNum(St::DRAWMODE), 7);
    EXPECT_EQ(Ps.DrawMode, 7);

    Ps.GBackColor = 0x00AA00;
    SetOk(St::GDRAWSTYLE, 2);
    EXPECT_EQ(Pen().Pen.Style, PenStyle::Dot);
    EXPECT_EQ(Pen().Brush.Color, 0x00AA00u);
    EXPECT_EQ(GetNum(St::DRAWSTYLE), 2);
    SetOk(St::DRAWSTYLE, 7);
    SetOk(St::DRAWSTYLE, -1);
    EXPECT_EQ(GetNum(St::GDRAWSTYLE), 2);

    SetOk(St::DRAWWIDTH, -5.5);
    EXPECT_EQ(GetNum(St::DRAWWIDTH), 5);
    SetOk(St::GDRAWWIDTH, 1024);
    EXPECT_EQ(GetNum(St::GDRAWWIDTH), 1024);
    SetOk(St::DRAWWIDTH, 1024.5);
    EXPECT_EQ(GetNum(St::DRAWWIDTH), 1);
    SetOk(St::DRAWWIDTH, std::numeric_limits<Extended>::infinity());
    EXPECT_EQ(GetNum(St::DRAWWIDTH), 1);
    SetOk(St::DRAWWIDTH, 0.0L); // a pen is at least one pixel wide
    EXPECT_EQ(GetNum(St::DRAWWIDTH), 1);

    SetOk(St::FILLSTYLE, 3);
    EXPECT_EQ(Pen().Brush.Style, BrushStyle::Vertical);
    EXPECT_EQ(GetNum(St::GFILLSTYLE), 3);
    SetOk(St::GFILLSTYLE, 8);
    EXPECT_EQ(GetNum(St::FILLSTYLE), 3);
}

TEST_F(WindowExec, PenSettingsWithTheWindowClosedAreKeptForTheNextWindow) {
    SetOk(St::DRAWMODE, 6);
    SetOk(St::DRAWSTYLE, 1);
    SetOk(St::DRAWWIDTH, 3);
    SetOk(St::FILLSTYLE, 7);
    EXPECT_EQ(Ps.DrawMode, 6);
    EXPECT_EQ(Ps.FillStyle, 7);
    // Reading them needs the window.
    for (int statement : {St::DRAWMODE, St::GDRAWSTYLE, St::DRAWWIDTH, St::GFILLSTYLE}) {
        ExecuteFunction(Value + statement);
        EXPECT_EQ(Fe.ErrorNumber, Err::NoGraphicsWindow) << statement;
        EXPECT_EQ(ValueStackCount, 0);
        Fe.ErrorNumber = 0;
    }
    OpenGraphics();
    EXPECT_EQ(GetNum(St::DRAWMODE), 6);
    EXPECT_EQ(GetNum(St::DRAWSTYLE), 1);
    EXPECT_EQ(GetNum(St::DRAWWIDTH), 3);
    EXPECT_EQ(GetNum(St::FILLSTYLE), 0); // a new window's brush is solid; FILLSTYLE applies when it fills
}

TEST_F(WindowExec, PenSettingsOfTheWrongTypeNameThePlainStatement) {
    const std::pair<int, int> cases[] = {{St::DRAWMODE, St::DRAWMODE},    {St::GDRAWMODE, St::DRAWMODE},
                                         {St::GDRAWSTYLE, St::DRAWSTYLE}, {St::GFILLSTYLE, St::FILLSTYLE},
                                         {St::DRAWWIDTH, St::DRAWWIDTH},  {St::GDRAWWIDTH, St::DRAWWIDTH}};
    for (const auto& [code, named] : cases) {
        Fe.ErrorNameIndex = St::PRINT; // a stale culprit must not survive
        Set(code, "1");
        ExpectError(Err::StatementType, named);
    }
}

// ---- PRECISION ----------------------------------------------------------------------------------------

TEST_F(WindowExec, PrecisionSetsTheDigitsAndTheZonesOfPrint) {
    SetOk(St::PRECISION, 5.9);
    EXPECT_EQ(GetNum(St::PRECISION), 5);
    EXPECT_EQ(FormatNumber(1.0L / 3), QStringLiteral(" 0.33333"));

    SetOk(St::PRECISION, 1);
    EXPECT_EQ(Ps.PrintPrecision, 2);
    EXPECT_EQ(FormatNumber(2.0L / 3), QStringLiteral(" 0.67"));
    Eng.PrintLine = QStringLiteral("ab");
    PrintNextZone();
    EXPECT_EQ(Eng.PrintLine.size(), 7); // zones of 2 + 5 characters
    Eng.PrintLine.clear();

    SetOk(St::PRECISION, 25);
    EXPECT_EQ(GetNum(St::PRECISION), 18);
    SetOk(St::PRECISION, -1e300L);
    EXPECT_EQ(GetNum(St::PRECISION), 2);

    Set(St::PRECISION, "9");
    ExpectError(Err::StatementType, St::PRECISION);
    Set(St::PRECISION, std::numeric_limits<Extended>::quiet_NaN());
    ExpectError(Err::StatementType, St::PRECISION);
    EXPECT_EQ(Ps.PrintPrecision, 2);
}

// ---- window states ------------------------------------------------------------------------------------

TEST_F(WindowExec, WindowStatesInAnyCaseAndReadBack) {
    SetOk(St::TWINDOWSTATE, "maximize");
    EXPECT_TRUE(runForm_->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(GetStr(St::TWINDOWSTATE), QStringLiteral("Maximize"));
    SetOk(St::TWINDOWSTATE, "MiniMize");
    EXPECT_EQ(GetStr(St::TWINDOWSTATE), QStringLiteral("Minimize"));
    SetOk(St::TWINDOWSTATE, "hidden"); // any other word does nothing
    EXPECT_EQ(GetStr(St::TWINDOWSTATE), QStringLiteral("Minimize"));
    SetOk(St::TWINDOWSTATE, " normal"); // not trimmed: no such word
    EXPECT_EQ(GetStr(St::TWINDOWSTATE), QStringLiteral("Minimize"));
    SetOk(St::TWINDOWSTATE, "Normal");
    EXPECT_EQ(GetStr(St::TWINDOWSTATE), QStringLiteral("Normal"));
    EXPECT_FALSE(runForm_->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized));

    Set(St::TWINDOWSTATE, 1);
    ExpectError(Err::PropertySyntax, St::TWINDOWSTATE);
}

TEST_F(WindowExec, GraphicsAndControlWindowStatesNeedTheirWindows) {
    ExecuteFunction(Value + St::GWINDOWSTATE);
    EXPECT_EQ(Fe.ErrorNumber, Err::NoGraphicsWindow);
    Fe.ErrorNumber = 0;
    ExecuteFunction(Value + St::CWINDOWSTATE);
    EXPECT_EQ(Fe.ErrorNumber, Err::ControlWindowClosed);
    Fe.ErrorNumber = 0;
    EXPECT_EQ(ValueStackCount, 0);
    SetOk(St::GWINDOWSTATE, "maximize"); // nothing to change

    OpenGraphics();
    OpenControls();
    SetOk(St::GWINDOWSTATE, "MAXIMIZE");
    EXPECT_EQ(GetStr(St::GWINDOWSTATE), QStringLiteral("Maximize"));
    EXPECT_TRUE(Win.LXGraphForm->windowState() & Qt::WindowMaximized);
    SetOk(St::CWINDOWSTATE, "minimize");
    EXPECT_EQ(GetStr(St::CWINDOWSTATE), QStringLiteral("Minimize"));
    EXPECT_EQ(GetStr(St::TWINDOWSTATE), QStringLiteral("Normal"));
}

TEST_F(WindowExec, TheMainFrameStateWithoutAFrameIsNormal) {
    ASSERT_EQ(Win.LxFrameForm, nullptr);
    SetOk(St::EWINDOWSTATE, "maximize");
    EXPECT_EQ(GetStr(St::EWINDOWSTATE), QStringLiteral("Normal"));
    SetPair(St::EWPOSITION, 10, 10);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(ValueStackCount, 0);
}

// ---- captions -----------------------------------------------------------------------------------------

TEST_F(WindowExec, CaptionsOfEveryWindow) {
    SetOk(St::PRINTTITLE, "My run");
    runForm_->ApplyQueue(); // in order with the lines printed before it
    EXPECT_EQ(runForm_->windowTitle(), QStringLiteral("My run"));

    OpenControls();
    SetOk(St::PRINTCTITLE, "Buttons");
    EXPECT_EQ(Win.LXControlForm->windowTitle(), QStringLiteral("Buttons"));
    OpenGraphics();
    SetOk(St::PRINTGTITLE, "Picture");
    EXPECT_EQ(Win.LXGraphForm->windowTitle(), QStringLiteral("Picture"));
    SetOk(St::PRINTITITLE, "Answer please");
    EXPECT_EQ(Ps.InputTitle, QStringLiteral("Answer please"));

    for (int code : {St::PRINTTITLE, St::PRINTCTITLE, St::PRINTGTITLE, St::PRINTITITLE}) {
        Set(code, 5);
        ExpectError(Err::StatementType, code);
    }
    EXPECT_EQ(Ps.InputTitle, QStringLiteral("Answer please"));
}

TEST_F(WindowExec, TitlesBeyondWhatTheWindowSystemTakesAreCut) {
    // A title of millions of characters would drop the connection to the X server; each statement
    // keeps the first MaxWindowTitleLength units and goes on without an error.
    const QString huge(MaxWindowTitleLength * 1000, u'x');
    const QString kept = huge.left(MaxWindowTitleLength);
    OpenControls();
    OpenGraphics();
    for (int code : {St::PRINTTITLE, St::PRINTCTITLE, St::PRINTGTITLE, St::PRINTITITLE}) {
        Set(code, huge);
        EXPECT_EQ(Fe.ErrorNumber, 0) << code;
    }
    runForm_->ApplyQueue();
    EXPECT_EQ(runForm_->windowTitle(), kept);
    EXPECT_EQ(Win.LXControlForm->windowTitle(), kept);
    EXPECT_EQ(Win.LXGraphForm->windowTitle(), kept);
    EXPECT_EQ(Ps.InputTitle, kept);

    // A surrogate pair across the limit goes whole; a title at the limit stays as it is.
    const QString pair = QStringLiteral("\U0001F600");
    const QString straddling = QString(MaxWindowTitleLength - 1, u'a') + pair + u'b';
    EXPECT_EQ(WindowTitleText(straddling), QString(MaxWindowTitleLength - 1, u'a'));
    const QString full = QString(MaxWindowTitleLength - 2, u'a') + pair;
    EXPECT_EQ(WindowTitleText(full), full);
    EXPECT_EQ(WindowTitleText(full + u'c'), full);
}

// ---- places and sizes ---------------------------------------------------------------------------------

TEST_F(WindowExec, PositionsAreHeldWithinTheScreenAndTruncated) {
    SetPair(St::TWPOSITION, -5, 5000);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(runForm_->pos(), QPoint(0, 1200));
    SetPair(St::TWPOSITION, 30.9, 40.2);
    EXPECT_EQ(runForm_->pos(), QPoint(30, 40));

    // The control window closed: only the place of the next one.
    SetPair(St::CWPOSITION, 3000.7, 10.9);
    EXPECT_EQ(Ps.CScreenLeft, 2600);
    EXPECT_EQ(Ps.CScreenTop, 10);
    OpenControls();
    EXPECT_EQ(Win.LXControlForm->pos(), QPoint(2600, 10));
    SetPair(St::CWPOSITION, 50, 60);
    EXPECT_EQ(Win.LXControlForm->pos(), QPoint(50, 60));

    SetPair(St::GWPOSITION, 70, 80);
    EXPECT_EQ(Ps.GScreenLeft, 70);
    OpenGraphics();
    EXPECT_EQ(Win.LXGraphForm->pos(), QPoint(70, 80));
    SetPair(St::GWPOSITION, std::numeric_limits<Extended>::quiet_NaN(), 1e30L);
    EXPECT_EQ(Win.LXGraphForm->pos(), QPoint(0, 1200));

    for (int code : {St::TWPOSITION, St::CWPOSITION, St::GWPOSITION, St::EWPOSITION, St::IBPOSITION}) {
        GlPushNum(1);
        GlPushStr(QStringLiteral("2"));
        Statement(code);
        ExpectError(Err::StatementType, code);
    }
}

TEST_F(WindowExec, IbPositionPlacesOrCentresTheInputDialog) {
    SetPair(St::IBPOSITION, 10.5, 20);
    EXPECT_EQ(Ps.InputBoxPositioned, 1);
    EXPECT_EQ(Ps.InputBoxLeft, 10);
    EXPECT_EQ(Ps.InputBoxTop, 20);
    SetPair(St::IBPOSITION, 9999, 9999);
    EXPECT_EQ(Ps.InputBoxLeft, 2600);
    EXPECT_EQ(Ps.InputBoxTop, 1200);
    SetPair(St::IBPOSITION, 5, -1);
    EXPECT_EQ(Ps.InputBoxPositioned, 0);
    SetPair(St::IBPOSITION, 0, 0);
    EXPECT_EQ(Ps.InputBoxPositioned, 1);
    EXPECT_EQ(Ps.InputBoxLeft, 0);
}

TEST_F(WindowExec, TScreenSizesTheRunWindowsTextArea) {
    // The button bar above the text area: what the window has beyond an area of no text at all.
    SetPair(St::TSCREEN, 0, 0);
    const int panel = runForm_->height() - 20;
    EXPECT_EQ(runForm_->width(), 20);
    SetPair(St::TSCREEN, 300.9, 200);
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(runForm_->width(), 320);
    EXPECT_EQ(runForm_->height() - panel, 220);
    // Beyond the limits: the limits; below zero: nothing but the margin.
    SetPair(St::TSCREEN, 5000, -10);
    EXPECT_EQ(runForm_->width(), 3020);
    EXPECT_EQ(runForm_->height() - panel, 20);

    GlPushNum(1);
    GlPushStr(QStringLiteral("x"));
    Statement(St::TSCREEN);
    EXPECT_EQ(Fe.ErrorNumber, Err::ScreenHeightNotNumber);
    Fe.ErrorNumber = 0;
    GlClear();
    GlPushStr(QStringLiteral("x"));
    GlPushNum(1);
    Statement(St::TSCREEN);
    EXPECT_EQ(Fe.ErrorNumber, Err::ScreenWidthNotNumber);
    Fe.ErrorNumber = 0;
    GlClear();
}

// ---- dialogs through replaced hooks -------------------------------------------------------------------

class Dialogs : public WindowExec {
protected:
    void SetUp() override {
        WindowExec::SetUp();
        WindowSettingsHook.MessageBox = [this](const MessageBoxRequest& request) {
            ++shown_;
            box_ = request;
            return boxAnswer_;
        };
        WindowSettingsHook.InputBox = [this](const InputBoxRequest& request, QString& answer) {
            ++shown_;
            input_ = request;
            answer = QStringLiteral("typed");
            return inputOk_;
        };
        WindowSettingsHook.SelectFile = [this](const FileDialogRequest& request) {
            ++shown_;
            file_ = request;
            return QStringLiteral("/chosen/file.txt");
        };
    }

    Extended CallNum(int code) {
        ExecuteFunction(code);
        EXPECT_EQ(Fe.ErrorNumber, 0);
        EXPECT_EQ(ValueStackCount, 1);
        return GlPopNum();
    }
    QString CallStr(int code) {
        ExecuteFunction(code);
        EXPECT_EQ(Fe.ErrorNumber, 0);
        EXPECT_EQ(ValueStackCount, 1);
        QString text;
        GlPopStr(text);
        return text;
    }
    void Str(const char* text) { GlPushStr(QString::fromUtf8(text)); }
    // The message box last shown: its text, caption and buttons.
    void ExpectBox(const char* text, const char* caption, int buttons) const {
        EXPECT_EQ(box_.Text, QString::fromUtf8(text));
        EXPECT_EQ(box_.Caption, QString::fromUtf8(caption));
        EXPECT_EQ(box_.Buttons, buttons);
    }
    // The function `fn` in its argument form `form` refuses the arguments on the stack by their type.
    void ExpectArgTypeError(int fn, int form = 0) {
        ExecuteFunction(fn + form);
        ExpectError(Err::FunctionArgType, fn);
    }

    int shown_ = 0;
    int boxAnswer_ = MsgBoxResult::Yes;
    bool inputOk_ = true;
    MessageBoxRequest box_;
    InputBoxRequest input_;
    FileDialogRequest file_;
};

TEST_F(Dialogs, MsgBoxFormsCaptionsButtonsAndAnswers) {
    Str("Hello");
    EXPECT_EQ(CallNum(Fn::MSGBOX), 0); // whatever is pressed
    ExpectBox("Hello", "Lorvex Message Box", MsgBoxButtons::Ok);

    Str("Sure?");
    GlPushNum(36);
    EXPECT_EQ(CallNum(Fn::MSGBOX + Form2), MsgBoxResult::Yes);
    EXPECT_EQ(box_.Caption, QStringLiteral("Lorvex MsgBox"));
    EXPECT_EQ(box_.Buttons, MsgBoxButtons::YesNo);
    EXPECT_EQ(box_.Icon, MsgBoxIcon::Question);

    Str("Body");
    Str("Title");
    boxAnswer_ = MsgBoxResult::Ok;
    EXPECT_EQ(CallNum(Fn::MSGBOX + Form2), MsgBoxResult::Ok);
    ExpectBox("Body", "Title", MsgBoxButtons::Ok);

    Str("x");
    GlPushNum(1.9);
    Str("T");
    boxAnswer_ = MsgBoxResult::Cancel;
    EXPECT_EQ(CallNum(Fn::MSGBOX + Form3), MsgBoxResult::Cancel);
    ExpectBox("x", "T", MsgBoxButtons::OkCancel);
    EXPECT_EQ(shown_, 4);

    // A program's caption is cut as a window title is.
    const QString huge(MaxWindowTitleLength * 1000, u'c');
    Str("x");
    GlPushStr(huge);
    CallNum(Fn::MSGBOX + Form2);
    EXPECT_EQ(box_.Caption.size(), MaxWindowTitleLength);
    Str("x");
    GlPushNum(1);
    GlPushStr(huge);
    CallNum(Fn::MSGBOX + Form3);
    EXPECT_EQ(box_.Caption.size(), MaxWindowTitleLength);
    Str("Name?");
    GlPushStr(huge);
    EXPECT_EQ(CallStr(Fn::INPUTBOX + Form2), QStringLiteral("typed"));
    EXPECT_EQ(input_.Caption.size(), MaxWindowTitleLength);
}

TEST_F(Dialogs, MsgBoxFlagsKeepOnlyButtonsAndIcon) {
    auto style = [](std::int32_t flags) {
        const MsgBoxStyle s = MsgBoxStyleFromFlags(flags);
        return std::make_pair(s.Buttons, s.Icon);
    };
    EXPECT_EQ(style(7), std::make_pair(MsgBoxButtons::Ok, MsgBoxIcon::None)); // no such buttons
    EXPECT_EQ(style(6), std::make_pair(MsgBoxButtons::Ok, MsgBoxIcon::None));
    EXPECT_EQ(style(5 + 16), std::make_pair(MsgBoxButtons::RetryCancel, MsgBoxIcon::Stop));
    EXPECT_EQ(style(2 + 48), std::make_pair(MsgBoxButtons::AbortRetryIgnore, MsgBoxIcon::Exclamation));
    EXPECT_EQ(style(3 + 64 + 256 + 4096),
              std::make_pair(MsgBoxButtons::YesNoCancel, MsgBoxIcon::Information));
    EXPECT_EQ(style(80), std::make_pair(MsgBoxButtons::Ok, MsgBoxIcon::None)); // no such icon
    EXPECT_EQ(style(-36), std::make_pair(MsgBoxButtons::Ok, MsgBoxIcon::None));
    EXPECT_EQ(style(std::numeric_limits<std::int32_t>::min()),
              std::make_pair(MsgBoxButtons::Ok, MsgBoxIcon::None));

    // Flags beyond 32 bits cannot be taken apart: refused before any box is shown.
    Str("x");
    GlPushNum(1e20L);
    ExecuteFunction(Fn::MSGBOX + Form2);
    EXPECT_EQ(Fe.ErrorNumber, Err::FunctionArgRange);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::MSGBOX);
    EXPECT_EQ(shown_, 0);
}

TEST_F(Dialogs, MsgBoxArgumentTypes) {
    GlPushNum(5);
    ExpectArgTypeError(Fn::MSGBOX);
    Str("a");
    GlPushBool(true);
    ExpectArgTypeError(Fn::MSGBOX, Form2);
    GlPushNum(1);
    Str("title");
    ExpectArgTypeError(Fn::MSGBOX, Form2);
    Str("a");
    Str("b");
    Str("c");
    ExpectArgTypeError(Fn::MSGBOX, Form3);
    EXPECT_EQ(shown_, 0);
}

TEST_F(Dialogs, InputBoxFormsAndCancel) {
    Str("Name?");
    EXPECT_EQ(CallStr(Fn::INPUTBOX), QStringLiteral("typed"));
    EXPECT_EQ(input_.Prompt, QStringLiteral("Name?"));
    EXPECT_EQ(input_.Caption, QStringLiteral("Lorvex Input Box"));
    EXPECT_TRUE(input_.Default.isEmpty());

    Str("Name?");
    Str("Title");
    EXPECT_EQ(CallStr(Fn::INPUTBOX + Form2), QStringLiteral("typed"));
    EXPECT_EQ(input_.Caption, QStringLiteral("Title"));

    Str("Name?");
    Str("Title");
    Str("abc");
    inputOk_ = false;
    EXPECT_EQ(CallStr(Fn::INPUTBOX + Form3), QString());
    EXPECT_EQ(input_.Default, QStringLiteral("abc"));
    Str("Name?");
    EXPECT_EQ(CallStr(Fn::INPUTBOX), QString());

    Str("Name?");
    GlPushNum(1);
    ExpectArgTypeError(Fn::INPUTBOX, Form2);
    EXPECT_EQ(shown_, 4);
}

TEST_F(Dialogs, FileDialogsStartPlainEveryTime) {
    Str("Text|*.txt");
    EXPECT_EQ(CallStr(Fn::SELECTOPENFILE + Form2), QStringLiteral("/chosen/file.txt"));
    EXPECT_FALSE(file_.Save);
    EXPECT_EQ(file_.Filter, QStringLiteral("Text|*.txt"));
    EXPECT_EQ(file_.Directory, QDir::currentPath());

    EXPECT_EQ(CallStr(Fn::SELECTOPENFILE), QStringLiteral("/chosen/file.txt"));
    EXPECT_TRUE(file_.Filter.isEmpty());
    EXPECT_TRUE(file_.FileName.isEmpty());

    Str("Data|*.dat");
    Str("out\\result.dat");
    EXPECT_EQ(CallStr(Fn::SELECTSAVEFILE + Form3), QStringLiteral("/chosen/file.txt"));
    EXPECT_TRUE(file_.Save);
    EXPECT_EQ(file_.Filter, QStringLiteral("Data|*.dat"));
    EXPECT_EQ(file_.FileName, QStringLiteral("out/result.dat"));
    EXPECT_EQ(CallStr(Fn::SELECTSAVEFILE), QStringLiteral("/chosen/file.txt"));
    EXPECT_TRUE(file_.FileName.isEmpty());
    EXPECT_EQ(shown_, 4);

    GlPushNum(5);
    ExpectArgTypeError(Fn::SELECTOPENFILE, Form2);
    Str("filter");
    GlPushNum(5);
    ExpectArgTypeError(Fn::SELECTSAVEFILE, Form3);
    EXPECT_EQ(shown_, 4);
}

TEST_F(WindowExec, WithoutTheWindowSideTheStatementsAndFunctionsAreNotSupported) {
    WindowSettingsHook = WindowSettingsHooks{};
    Set(St::TBACKCOLOR, 1);
    ExpectError(Err::StatementNotSupported, St::TBACKCOLOR);
    SetPair(St::TWPOSITION, 1, 1);
    ExpectError(Err::StatementNotSupported, St::TWPOSITION);
    GlPushStr(QStringLiteral("x"));
    ExecuteFunction(Fn::MSGBOX);
    ExpectError(Err::FunctionNotSupported, Fn::MSGBOX);
    ExecuteFunction(Value + St::TFONTNAME);
    ExpectError(Err::FunctionNotSupported, Value + St::TFONTNAME);
    // The settings that are values only still work.
    SetOk(St::GFONTNAME, "Serif");
    SetOk(St::PRECISION, 9);
    EXPECT_EQ(GetNum(St::PRECISION), 9);
}

TEST_F(WindowExec, SettingsWithoutAValueAreReported) {
    ExecuteFunction(Value + St::GSCREEN);
    EXPECT_EQ(Fe.ErrorNumber, Err::FunctionNotSupported);
    Fe.ErrorNumber = 0;
    EXPECT_EQ(ValueStackCount, 0);
}

// ---- the real dialogs, answered by timers -------------------------------------------------------------

// Acts on the next modal dialog once it shows; a dialog left open too long is closed, so a failing
// test cannot hang.
template <typename Act> void WhenModal(Act act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, act, ticks] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            if (++*ticks > 500) timer->deleteLater();
            return;
        }
        timer->stop();
        timer->deleteLater();
        act(modal);
    });
    timer->start();
}

TEST(RealDialogs, MessageBoxShowsTheButtonsAndAnswersTheOnePressed) {
    MessageBoxRequest request;
    request.Text = QStringLiteral("Sure?");
    request.Caption = QStringLiteral("Ask");
    request.Buttons = MsgBoxButtons::YesNo;
    request.Icon = MsgBoxIcon::Question;
    QString caption;
    bool hasYes = false;
    WhenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        caption = box->windowTitle();
        hasYes = box->button(QMessageBox::Yes) != nullptr;
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(ShowMessageBox(request), MsgBoxResult::No);
    EXPECT_EQ(caption, QStringLiteral("Ask"));
    EXPECT_TRUE(hasYes);

    // Escape closes the OK box with OK.
    request.Buttons = MsgBoxButtons::Ok;
    WhenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    EXPECT_EQ(ShowMessageBox(request), MsgBoxResult::Ok);
    request.Buttons = MsgBoxButtons::RetryCancel;
    WhenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    EXPECT_EQ(ShowMessageBox(request), MsgBoxResult::Cancel);
}

TEST(RealDialogs, AShortMessageKeepsRoomForItsWholeCaption) {
    MessageBoxRequest request;
    request.Text = QStringLiteral("Hi");
    request.Caption = QStringLiteral("Lorvex Message Box");
    int width = 0, captionWidth = 0;
    WhenModal([&](QWidget* modal) {
        QFont title = modal->font();
        title.setBold(true);
        captionWidth = QFontMetrics(title).horizontalAdvance(request.Caption);
        width = modal->width();
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    EXPECT_EQ(ShowMessageBox(request), MsgBoxResult::Ok);
    // The caption and the title bar's icon and buttons.
    EXPECT_GE(width, captionWidth + 100);
}

TEST(RealDialogs, InputBoxOffersTheDefaultAndGivesTheText) {
    InputBoxRequest request;
    request.Prompt = QStringLiteral("Name?");
    request.Caption = QStringLiteral("Who");
    request.Default = QStringLiteral("abc");
    QString offered, label;
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QInputDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        offered = dialog->textValue();
        label = dialog->labelText();
        dialog->setTextValue(QStringLiteral("xyz"));
        dialog->accept();
    });
    QString answer;
    EXPECT_TRUE(ShowInputBox(request, answer));
    EXPECT_EQ(answer, QStringLiteral("xyz"));
    EXPECT_EQ(offered, QStringLiteral("abc"));
    EXPECT_EQ(label, QStringLiteral("Name?"));

    WhenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    answer = QStringLiteral("untouched");
    EXPECT_FALSE(ShowInputBox(request, answer));
}

TEST(RealDialogs, FileDialogListsTheFilterAndGivesTheFullPath) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    FileDialogRequest request;
    request.Filter = QStringLiteral("Text|*.txt|All|*.*");
    request.Directory = dir.path();
    QStringList filters;
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        filters = dialog->nameFilters();
        dialog->reject();
    });
    EXPECT_EQ(ShowFileDialog(request), QString());
    EXPECT_EQ(filters, QStringList({QStringLiteral("Text (*.txt)"), QStringLiteral("All (*)")}));

    request.Save = true;
    request.Filter.clear();
    request.FileName = QStringLiteral("result.dat");
    QString mode;
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        mode =
            dialog->acceptMode() == QFileDialog::AcceptSave ? QStringLiteral("save") : QStringLiteral("open");
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(ShowFileDialog(request), QDir(dir.path()).filePath(QStringLiteral("result.dat")));
    EXPECT_EQ(mode, QStringLiteral("save"));
}

TEST(FileDialogFilter, ProgramFiltersBecomeNameFilters) {
    EXPECT_EQ(FileDialogFilter(QStringLiteral("Text|*.txt")), QStringLiteral("Text (*.txt)"));
    EXPECT_EQ(FileDialogFilter(QStringLiteral("Logs|*.log; *.txt|All files|*.*")),
              QStringLiteral("Logs (*.log *.txt);;All files (*)"));
    EXPECT_EQ(FileDialogFilter(QString()), QString());
    EXPECT_EQ(FileDialogFilter(QStringLiteral("*.bas")), QStringLiteral("*.bas (*.bas)"));
    // A description without its pattern is left out; a pattern without a description names itself.
    EXPECT_EQ(FileDialogFilter(QStringLiteral("Text|*.txt|Lost")), QStringLiteral("Text (*.txt)"));
    EXPECT_EQ(FileDialogFilter(QStringLiteral("|*.c|Empty|")), QStringLiteral("*.c (*.c)"));
}

} // namespace
