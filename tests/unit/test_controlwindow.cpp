// The control window and its properties: values set through the property codes read back through
// the getter codes for every kind, the checks of k and of the window, the multi-line switch, the show
// statements, CSCREEN, and the button clicks (polled flags and event SUBs).
#include "controlwindow/properties.h"
#include "core/codeitem.h"
#include "core/errornumbers.h"
#include "core/errortext.h"
#include "core/internalcodes.h"
#include "core/itembuffers.h"
#include "core/sharedstate.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/controlexec.h"
#include "engine/dispatch.h"
#include "engine/handover.h"
#include "engine/lxthread.h"
#include "engine/runwindowqueue.h"
#include "frontend/initall.h"
#include "tests/runsupport.h"
#include "ui/controlform.h"
#include "ui/runform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace {

// Property numbers as the front end emits them (see core/controlproperties.h).
constexpr int Set = PropertySetBase;
constexpr int Get = PropertyGetBase;
constexpr int BtnText = 196, BtnColor = 198, BtnCharset = 199, BtnFontColor = 200, BtnFontName = 201,
              BtnFontSize = 202, BtnFontStyle = 203, BtnHeight = 204, BtnLeft = 205, BtnTop = 206,
              BtnVisible = 207, BtnWidth = 208;
constexpr int LblText = 209, LblColor = 210, LblFontColor = 212, LblFontName = 213, LblFontStyle = 215,
              LblHeight = 216, LblLeft = 217, LblTop = 218, LblVisible = 219, LblWidth = 220;
constexpr int TxtColor = 224, TxtCharset = 225, TxtFontColor = 226, TxtFontName = 227, TxtFontSize = 228,
              TxtHeight = 230, TxtLeft = 231, TxtMultiLine = 232, TxtText = 233, TxtTop = 234,
              TxtVisible = 235, TxtWidth = 236;

class ControlWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ReopenHandOver();
        RunWindowQueue::Instance().Reset();
        InitAll();
        runForm_ = std::make_unique<TRunForm>(); // also the hand-over's target
        runForm_->CLSBtnClick();
        InstallControlWindow();
        CScreenSize.Width = 600;
        CScreenSize.Height = 400;
        SyncOpenControlForm();
        Fe.ErrorNumber = 0;
    }
    void TearDown() override {
        TLXMTHread::StopAndJoin();
        if (Win.LXControlForm != nullptr) Win.LXControlForm->close();
        runForm_.reset();
        ReopenHandOver();
        RunWindowQueue::Instance().Reset();
        Rc.StopRequest = 0;
        Rc.ThreadBusy = 0;
    }

    // A property statement: k, then the value, then the setter item.
    template <typename Push> void SetProperty(int n, Extended k, Push push) {
        GlPushNum(k);
        push();
        ExecuteFunction(Set + n);
    }
    void SetNum(int n, Extended k, Extended value) {
        SetProperty(n, k, [value] { GlPushNum(value); });
    }
    void SetStr(int n, Extended k, const QString& value) {
        SetProperty(n, k, [value] { GlPushStr(value); });
    }
    void SetBool(int n, Extended k, bool value) {
        SetProperty(n, k, [value] { GlPushBool(value); });
    }

    // A property expression: k, then the getter item, which leaves one value.
    void Read(int n, Extended k) {
        GlPushNum(k);
        ExecuteFunction(Get + n);
    }
    Extended GetNum(int n, Extended k) {
        Read(n, k);
        EXPECT_EQ(Fe.ErrorNumber, 0);
        EXPECT_EQ(GlTopType(), GlValueType::Number);
        return GlPopNum();
    }
    QString GetStr(int n, Extended k) {
        Read(n, k);
        EXPECT_EQ(Fe.ErrorNumber, 0);
        QString text;
        EXPECT_TRUE(GlPopStr(text));
        return text;
    }
    bool GetBool(int n, Extended k) {
        Read(n, k);
        EXPECT_EQ(Fe.ErrorNumber, 0);
        EXPECT_EQ(GlTopType(), GlValueType::Boolean);
        return GlPopBool();
    }

    // A show statement: k, the statement item, then the ON or OFF item that the handler takes.
    void Show(int kind, Extended k, bool on) {
        InitCode();
        SetCodeItem(1, CodeItemType{CodeKind::Statement, on ? St::ON : St::OFF, 1});
        SetCodeItem(2, CodeItemType{CodeKind::End, 0, 2});
        Ib.CodeIndex = 1;
        Ib.CodeLimit = 2;
        GlPushNum(k);
        ExecuteStatement(kind);
    }

    void RunProgram(const char* text) {
        StartProgramRun(text);
        ASSERT_TRUE(WaitForRunEnd(runForm_.get()));
    }

    std::unique_ptr<TRunForm> runForm_;
};

// ---- round trips ----------------------------------------------------------------------------------------

TEST_F(ControlWindow, TextAndCaptionRoundTripForEveryKind) {
    SetStr(BtnText, 3, QStringLiteral("押して"));
    EXPECT_EQ(GetStr(BtnText, 3), QStringLiteral("押して"));
    EXPECT_EQ(Win.LXControlForm->Button(3)->text(), QStringLiteral("押して"));

    SetStr(LblText, 40, QStringLiteral("<b>not markup</b>"));
    EXPECT_EQ(GetStr(LblText, 40), QStringLiteral("<b>not markup</b>"));
    EXPECT_EQ(Win.LXControlForm->Label(40)->textFormat(), Qt::PlainText);

    SetStr(TxtText, 12, QStringLiteral("hello"));
    EXPECT_EQ(GetStr(TxtText, 12), QStringLiteral("hello"));
    EXPECT_EQ(Win.LXControlForm->Edit(12)->text(), QStringLiteral("hello"));
    // The memo of a one-line text box keeps its own text.
    EXPECT_EQ(Win.LXControlForm->Memo(12)->Text(), QStringLiteral("TextBox12"));
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(ValueStackCount, 0);
}

TEST_F(ControlWindow, GeometryRoundTripsAndATextBoxMovesBothControls) {
    SetNum(BtnLeft, 1, 11.9); // truncated
    SetNum(BtnTop, 1, 22);
    SetNum(BtnWidth, 1, 33);
    SetNum(BtnHeight, 1, 44);
    EXPECT_EQ(GetNum(BtnLeft, 1), 11);
    EXPECT_EQ(GetNum(BtnTop, 1), 22);
    EXPECT_EQ(GetNum(BtnWidth, 1), 33);
    EXPECT_EQ(GetNum(BtnHeight, 1), 44);

    SetNum(LblLeft, 2, -5);
    SetNum(LblTop, 2, 300);
    EXPECT_EQ(GetNum(LblLeft, 2), -5);
    EXPECT_EQ(GetNum(LblTop, 2), 300);
    SetNum(LblWidth, 2, 77);
    SetNum(LblHeight, 2, 19);
    EXPECT_EQ(GetNum(LblWidth, 2), 77);
    EXPECT_EQ(GetNum(LblHeight, 2), 19);

    SetNum(TxtLeft, 5, 123);
    SetNum(TxtTop, 5, 45);
    SetNum(TxtWidth, 5, 210);
    SetNum(TxtHeight, 5, 60);
    for (QWidget* control : {static_cast<QWidget*>(Win.LXControlForm->Edit(5)),
                             static_cast<QWidget*>(Win.LXControlForm->Memo(5))})
        EXPECT_EQ(control->geometry(), QRect(123, 45, 210, 60));
    EXPECT_EQ(GetNum(TxtLeft, 5), 123);
    EXPECT_EQ(GetNum(TxtWidth, 5), 210);
}

TEST_F(ControlWindow, ATextBoxReadsTheEditsGeometryEvenInMultiLineMode) {
    // The layout gives the edit 29 pixels and the memo 30.
    EXPECT_EQ(GetNum(TxtHeight, 7), 29);
    EXPECT_EQ(Win.LXControlForm->Memo(7)->height(), 30);
    SetBool(TxtMultiLine, 7, true);
    EXPECT_EQ(GetNum(TxtHeight, 7), 29);
    // The layout: control 13 stands in column 1, row 2.
    EXPECT_EQ(GetNum(TxtLeft, 13), 260);
    EXPECT_EQ(GetNum(TxtTop, 13), 80);
    EXPECT_EQ(GetNum(LblLeft, 1), 6);
    EXPECT_EQ(GetNum(BtnLeft, 11), 220);
}

TEST_F(ControlWindow, HugePositionsAndSizesAreHeldWithoutOverflow) {
    SetNum(BtnLeft, 4, 1e30);
    SetNum(BtnWidth, 4, 3e9);
    SetNum(BtnTop, 4, -1e30);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(GetNum(BtnLeft, 4), QWIDGETSIZE_MAX);
    EXPECT_EQ(GetNum(BtnWidth, 4), QWIDGETSIZE_MAX);
    EXPECT_EQ(GetNum(BtnTop, 4), -QWIDGETSIZE_MAX);
}

TEST_F(ControlWindow, VisibilityRoundTripsForEveryKind) {
    EXPECT_FALSE(GetBool(BtnVisible, 9));
    SetBool(BtnVisible, 9, true);
    EXPECT_TRUE(GetBool(BtnVisible, 9));
    SetBool(LblVisible, 9, true);
    EXPECT_TRUE(GetBool(LblVisible, 9));
    SetBool(LblVisible, 9, false);
    EXPECT_FALSE(GetBool(LblVisible, 9));
    SetBool(TxtVisible, 9, true);
    EXPECT_TRUE(GetBool(TxtVisible, 9));
    EXPECT_FALSE(Win.LXControlForm->Edit(9)->isHidden());
    EXPECT_TRUE(Win.LXControlForm->Memo(9)->isHidden());
}

TEST_F(ControlWindow, FontPropertiesRoundTripAndReachBothTextBoxControls) {
    SetNum(BtnCharset, 2, 128);
    EXPECT_EQ(GetNum(BtnCharset, 2), 128);
    SetNum(BtnCharset, 2, 300); // the low eight bits
    EXPECT_EQ(GetNum(BtnCharset, 2), 44);
    SetNum(TxtCharset, 2, -1);
    EXPECT_EQ(GetNum(TxtCharset, 2), 255);
    EXPECT_EQ(ControlFontCharset(Win.LXControlForm->Memo(2)), 255);
    // Untouched controls keep the window's default character set.
    EXPECT_EQ(GetNum(BtnCharset, 3), 1);

    SetStr(TxtFontName, 40, QStringLiteral("NoSuchFontAnywhere"));
    EXPECT_EQ(GetStr(TxtFontName, 40), QStringLiteral("NoSuchFontAnywhere"));
    EXPECT_EQ(Win.LXControlForm->Memo(40)->font().family(), QStringLiteral("NoSuchFontAnywhere"));
    SetStr(BtnFontName, 1, QStringLiteral("Serif"));
    EXPECT_EQ(GetStr(BtnFontName, 1), QStringLiteral("Serif"));

    SetNum(BtnFontSize, 6, 14.7);
    EXPECT_EQ(GetNum(BtnFontSize, 6), 14);
    EXPECT_EQ(Win.LXControlForm->Button(6)->font().pointSize(), 14);
    SetNum(TxtFontSize, 6, -12); // kept as set, drawn at a size the font system accepts
    EXPECT_EQ(GetNum(TxtFontSize, 6), -12);
    EXPECT_GT(Win.LXControlForm->Memo(6)->font().pointSize(), 0);

    EXPECT_EQ(GetStr(BtnFontStyle, 8), QStringLiteral("Normal"));
    SetStr(BtnFontStyle, 8, QStringLiteral("italic, bold"));
    EXPECT_EQ(GetStr(BtnFontStyle, 8), QStringLiteral(" Bold Italic"));
    SetStr(LblFontStyle, 8, QStringLiteral("  strikeout underline "));
    EXPECT_EQ(GetStr(LblFontStyle, 8), QStringLiteral(" Underline StrikeOut"));
    SetStr(LblFontStyle, 8, QStringLiteral("NORMAL"));
    EXPECT_EQ(GetStr(LblFontStyle, 8), QStringLiteral("Normal"));
}

TEST_F(ControlWindow, ColoursFromPaletteNumbersAndTexts) {
    SetNum(BtnFontColor, 1, 12); // red in the default palette order
    EXPECT_EQ(GetStr(BtnFontColor, 1), QStringLiteral("#FF0000"));
    SetStr(LblFontColor, 1, QStringLiteral("#12ab34"));
    EXPECT_EQ(GetStr(LblFontColor, 1), QStringLiteral("#12AB34"));
    SetStr(TxtFontColor, 1, QStringLiteral("Lime"));
    EXPECT_EQ(GetStr(TxtFontColor, 1), QStringLiteral("#00FF00"));
    EXPECT_EQ(ControlFontColor(Win.LXControlForm->Memo(1)), 0x00FF00u);

    for (Extended bad : {16.0L, -1.0L}) {
        SetNum(LblColor, 2, 15);
        SetNum(LblColor, 2, bad);
        EXPECT_EQ(GetStr(LblColor, 2), QStringLiteral("#000000")) << static_cast<double>(bad);
    }
    SetStr(LblColor, 3, QStringLiteral("#FFFFFF"));
    SetStr(LblColor, 3, QStringLiteral("chartreuse"));
    EXPECT_EQ(GetStr(LblColor, 3), QStringLiteral("#000000"));
    SetStr(LblColor, 3, QStringLiteral("#FF00")); // too short for a colour text
    EXPECT_EQ(GetStr(LblColor, 3), QStringLiteral("#000000"));
    SetStr(LblColor, 3, QStringLiteral("#GG0000"));
    EXPECT_EQ(GetStr(LblColor, 3), QStringLiteral("#000000"));

    // Version 9 programs number the palette the other way.
    Ps.LanguageVersion = 9;
    SetNum(LblColor, 4, 1);
    EXPECT_EQ(GetStr(LblColor, 4), QStringLiteral("#0000FF"));
}

TEST_F(ControlWindow, AButtonsColourIsItsBrushNotItsCaption) {
    const std::uint32_t caption = ControlFontColor(Win.LXControlForm->Button(5));
    SetStr(BtnColor, 5, QStringLiteral("yellow"));
    EXPECT_EQ(ControlColor(Win.LXControlForm->Button(5)), 0x00FFFFu);
    EXPECT_EQ(ControlFontColor(Win.LXControlForm->Button(5)), caption);
    EXPECT_EQ(GetStr(BtnColor, 5), QStringLiteral("#FFFF00"));

    SetStr(TxtColor, 5, QStringLiteral("navy"));
    EXPECT_EQ(ControlColor(Win.LXControlForm->Edit(5)), 0x800000u);
    EXPECT_EQ(ControlColor(Win.LXControlForm->Memo(5)), 0x800000u);
    EXPECT_EQ(GetStr(TxtColor, 5), QStringLiteral("#000080"));
}

TEST_F(ControlWindow, AnUnsetFontColourReadsAsTheColourOnTheScreen) {
    const QColor shown = Win.LXControlForm->Label(1)->palette().color(QPalette::WindowText);
    EXPECT_EQ(GetStr(LblFontColor, 1), shown.name().toUpper());
}

// ---- the checks of k and of the window -------------------------------------------------------------------

TEST_F(ControlWindow, AGetterRefusesABadControlNumberAndPushesNothing) {
    for (Extended k : {41.0L, 0.0L, 0.7L, -1.0L}) {
        Fe.ErrorNumber = 0;
        Read(BtnWidth, k);
        EXPECT_EQ(Fe.ErrorNumber, Err::FunctionArgType) << static_cast<double>(k);
        EXPECT_EQ(ValueStackCount, 0) << "k is popped and nothing pushed";
    }
    // 40.9 is control 40.
    Fe.ErrorNumber = 0;
    EXPECT_EQ(GetNum(TxtWidth, 40.9L), 120);

    // A string as k stays where it is.
    Fe.ErrorNumber = 0;
    GlPushStr(QStringLiteral("3"));
    ExecuteFunction(Get + LblText);
    EXPECT_EQ(Fe.ErrorNumber, Err::FunctionArgType);
    EXPECT_EQ(ValueStackCount, 1);
    EXPECT_EQ(GlTopType(), GlValueType::String);
    // The message names the control kind, not an unrelated function.
    EXPECT_TRUE(ErrorMessage(Fe.ErrorNumber).contains(QStringLiteral("CLABEL")))
        << ErrorMessage(Fe.ErrorNumber).toStdString();
}

TEST_F(ControlWindow, ASetterRefusesWrongTypesBeforePoppingAndBadNumbersAfter) {
    // A string for HEIGHT: both values stay.
    SetStr(TxtHeight, 3, QStringLiteral("tall"));
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementSyntax);
    EXPECT_EQ(Fe.ErrorNameIndex, St::CTEXTBOX);
    EXPECT_EQ(ValueStackCount, 2);
    GlClear();

    // k as a string: nothing popped either.
    Fe.ErrorNumber = 0;
    GlPushStr(QStringLiteral("1"));
    GlPushNum(5);
    ExecuteFunction(Set + BtnLeft);
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementSyntax);
    EXPECT_EQ(Fe.ErrorNameIndex, St::CBUTTON);
    EXPECT_EQ(ValueStackCount, 2);
    GlClear();

    // k out of range: both popped, nothing written, the label's statement named.
    for (Extended k : {0.0L, 41.0L, -3.0L}) {
        Fe.ErrorNumber = 0;
        SetStr(LblText, k, QStringLiteral("x"));
        EXPECT_EQ(Fe.ErrorNumber, Err::StatementSyntax);
        EXPECT_EQ(Fe.ErrorNameIndex, St::CLABEL);
        EXPECT_EQ(ValueStackCount, 0);
    }
    // FONTNAME uses the same range as every other setter.
    for (int k = 1; k <= ControlCount; ++k) {
        Fe.ErrorNumber = 0;
        SetStr(LblFontName, k, QStringLiteral("Mono"));
        ASSERT_EQ(Fe.ErrorNumber, 0) << k;
    }
    EXPECT_EQ(ControlFontName(Win.LXControlForm->Label(40)), QStringLiteral("Mono"));
}

TEST_F(ControlWindow, AClosedWindowIsReportedOnlyForWellFormedArguments) {
    SyncCloseControlForm();
    ASSERT_EQ(Rc.CScreenOpen, 0);

    SetNum(BtnWidth, 1, 50);
    EXPECT_EQ(Fe.ErrorNumber, Err::ControlWindowClosed);
    EXPECT_EQ(ValueStackCount, 0);

    Fe.ErrorNumber = 0;
    SetNum(BtnWidth, 0, 50); // the range check comes first
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementSyntax);

    Fe.ErrorNumber = 0;
    Read(TxtText, 1);
    EXPECT_EQ(Fe.ErrorNumber, Err::ControlWindowClosed);
    EXPECT_EQ(ValueStackCount, 0);

    Fe.ErrorNumber = 0;
    GlPushNum(2);
    ExecuteFunction(PropertyRange::ButtonClick);
    EXPECT_EQ(Fe.ErrorNumber, Err::ControlWindowClosed);
    EXPECT_EQ(ValueStackCount, 0);
}

TEST_F(ControlWindow, CodesWithoutAPropertyDoNothingAndOtherCodesAreNotTaken) {
    for (int code : {1221, 1222, 1223, 2197, 2221, 2223}) {
        GlPushNum(1);
        ExecuteFunction(code);
        EXPECT_EQ(ValueStackCount, 1) << code;
        EXPECT_EQ(Fe.ErrorNumber, 0) << code;
        GlClear();
    }
    // Just outside the blocks no executor serves the code: reported, the stack left alone.
    for (int code : {1195, 1237, 2195, 2237}) {
        GlPushNum(1);
        ExecuteFunction(code);
        EXPECT_EQ(ValueStackCount, 1) << code;
        EXPECT_EQ(Fe.ErrorNumber, Err::FunctionNotSupported) << code;
        Fe.ErrorNumber = 0;
        GlClear();
    }
}

// ---- the multi-line switch
// ----------------------------------------------------------------------------------

TEST_F(ControlWindow, MultiLineOnAVisibleTextBoxMovesVisibilityAndText) {
    SetBool(TxtVisible, 4, true);
    SetStr(TxtText, 4, QStringLiteral("abc"));
    SetBool(TxtMultiLine, 4, true);
    EXPECT_TRUE(Win.LXControlForm->Edit(4)->isHidden());
    EXPECT_FALSE(Win.LXControlForm->Memo(4)->isHidden());
    EXPECT_EQ(Win.LXControlForm->Memo(4)->Text(), QStringLiteral("abc"));
    EXPECT_TRUE(GetBool(TxtMultiLine, 4));
    EXPECT_TRUE(GetBool(TxtVisible, 4));

    // Back to one line: the edit receives the memo's first line, the text it gave.
    SetBool(TxtMultiLine, 4, false);
    EXPECT_FALSE(Win.LXControlForm->Edit(4)->isHidden());
    EXPECT_TRUE(Win.LXControlForm->Memo(4)->isHidden());
    EXPECT_EQ(GetStr(TxtText, 4), QStringLiteral("abc"));
    EXPECT_FALSE(GetBool(TxtMultiLine, 4));
}

TEST_F(ControlWindow, AMultiLineTextKeepsItsLineBreaksAndTheEditGetsTheFirstLine) {
    SetBool(TxtVisible, 6, true);
    SetBool(TxtMultiLine, 6, true);
    SetStr(TxtText, 6, QStringLiteral("a\r\nb\r\nc"));
    EXPECT_EQ(Win.LXControlForm->Memo(6)->document()->blockCount(), 3);
    EXPECT_EQ(GetStr(TxtText, 6), QStringLiteral("a\r\nb\r\nc"));
    EXPECT_EQ(Win.LXControlForm->Edit(6)->text(), QStringLiteral("TextBox6"))
        << "the edit keeps its own text";
    SetBool(TxtMultiLine, 6, false);
    EXPECT_EQ(GetStr(TxtText, 6), QStringLiteral("a"));
}

TEST_F(ControlWindow, MultiLineOnAHiddenTextBoxOnlySetsTheSwitch) {
    SetStr(TxtText, 8, QStringLiteral("one line"));
    SetBool(TxtMultiLine, 8, true);
    EXPECT_TRUE(Win.LXControlForm->Edit(8)->isHidden());
    EXPECT_TRUE(Win.LXControlForm->Memo(8)->isHidden());
    EXPECT_EQ(Rc.ControlTextMultiLine[8], 1);

    Show(St::CTEXTBOX, 8, true);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_FALSE(Win.LXControlForm->Memo(8)->isHidden());
    EXPECT_TRUE(Win.LXControlForm->Edit(8)->isHidden()) << "the other control is not touched";
    EXPECT_EQ(Win.LXControlForm->Memo(8)->Text(), QStringLiteral("TextBox8")) << "no text moves";
}

TEST_F(ControlWindow, AMultiLineSetterWithAWrongValueChangesNothing) {
    SetNum(TxtMultiLine, 3, 1);
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementSyntax);
    EXPECT_EQ(Fe.ErrorNameIndex, St::CTEXTBOX);
    EXPECT_EQ(Rc.ControlTextMultiLine[3], 0);
}

// ---- show statements
// --------------------------------------------------------------------------------------------

TEST_F(ControlWindow, ShowStatementsSwitchTheNamedControlAndTakeTheirOnOffItem) {
    Show(St::CBUTTON, 3, true);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_FALSE(Win.LXControlForm->Button(3)->isHidden());
    EXPECT_EQ(Ib.CodeIndex, 2) << "the ON item was taken";
    Show(St::CLABEL, 3, true);
    EXPECT_FALSE(Win.LXControlForm->Label(3)->isHidden());
    Show(St::CBUTTON, 3, false);
    EXPECT_TRUE(Win.LXControlForm->Button(3)->isHidden());
    EXPECT_FALSE(Win.LXControlForm->Label(3)->isHidden());
    Show(St::CTEXTBOX, 40.9L, true);
    EXPECT_FALSE(Win.LXControlForm->Edit(40)->isHidden());
    EXPECT_TRUE(Win.LXControlForm->Memo(40)->isHidden());
    EXPECT_EQ(ValueStackCount, 0);
}

TEST_F(ControlWindow, ShowStatementErrors) {
    Show(St::CLABEL, 41, true);
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementSyntax);
    EXPECT_EQ(Fe.ErrorNameIndex, St::CLABEL);
    EXPECT_EQ(Ib.CodeIndex, 1) << "the ON item is left for the run loop";

    Fe.ErrorNumber = 0;
    GlClear();
    Ib.CodeIndex = 1;
    GlPushStr(QStringLiteral("x"));
    ExecuteStatement(St::CBUTTON);
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementSyntax);
    EXPECT_EQ(ValueStackCount, 1);
    GlClear();

    Fe.ErrorNumber = 0;
    SyncCloseControlForm();
    Show(St::CBUTTON, 2, true);
    EXPECT_EQ(Fe.ErrorNumber, Err::ControlWindowClosed);
    EXPECT_EQ(Ib.CodeIndex, 2) << "the ON item stays taken";
}

// ---- CSCREEN and the window's life
// --------------------------------------------------------------------------------

TEST_F(ControlWindow, CScreenLimitsTheSizesAndRefusesNonNumbers) {
    struct Case {
        Extended Width, Height;
        int WantWidth, WantHeight;
    };
    for (const Case& c : {Case{5, 10, 10, 10}, Case{2000, 1000, 1280, 960}, Case{500.7L, 300.2L, 500, 300},
                          Case{10.5L, -7, 10, 10}}) {
        Fe.ErrorNumber = 0;
        GlPushNum(c.Width);
        GlPushNum(c.Height);
        ExecCScreen();
        EXPECT_EQ(Fe.ErrorNumber, 0);
        EXPECT_EQ(CScreenSize.Width, c.WantWidth);
        EXPECT_EQ(CScreenSize.Height, c.WantHeight);
    }
    GlPushNum(300);
    GlPushStr(QStringLiteral("200"));
    ExecuteStatement(St::CSCREEN);
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementSyntax);
    EXPECT_EQ(Fe.ErrorNameIndex, St::CSCREEN);
    EXPECT_EQ(ValueStackCount, 2);
}

TEST_F(ControlWindow, CScreenRecreatesTheWindowButKeepsTheMultiLineSwitches) {
    SetStr(BtnText, 1, QStringLiteral("changed"));
    SetBool(TxtMultiLine, 2, true);
    TLXControlForm* before = Win.LXControlForm;

    Ps.CScreenLeft = 30;
    Ps.CScreenTop = 40;
    GlPushNum(320);
    GlPushNum(240);
    ExecuteStatement(St::OPENCSCREEN);
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_NE(Win.LXControlForm, before);
    EXPECT_EQ(Rc.CScreenOpen, 1);
    EXPECT_TRUE(Win.LXControlForm->isVisible());
    EXPECT_EQ(Win.LXControlForm->size(), QSize(320, 240));
    EXPECT_EQ(Win.LXControlForm->windowTitle(), QStringLiteral("LXコントロール"));
    EXPECT_EQ(GetStr(BtnText, 1), QStringLiteral("Button1"));
    EXPECT_TRUE(GetBool(TxtMultiLine, 2));
    // Both controls of the new text box are hidden, the memo is active.
    EXPECT_FALSE(GetBool(TxtVisible, 2));
    SetStr(TxtText, 2, QStringLiteral("x\r\ny"));
    EXPECT_EQ(Win.LXControlForm->Memo(2)->Text(), QStringLiteral("x\r\ny"));
}

TEST_F(ControlWindow, CloseCScreenClosesAndDoesNothingWhenClosed) {
    ExecuteStatement(St::CLOSECSCREEN);
    EXPECT_EQ(Rc.CScreenOpen, 0);
    EXPECT_FALSE(Win.LXControlForm->isVisible());
    ExecuteStatement(St::CLOSECSCREEN);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    // Closing by the window's own close box clears the flag as well.
    SyncOpenControlForm();
    ASSERT_EQ(Rc.CScreenOpen, 1);
    Win.LXControlForm->close();
    EXPECT_EQ(Rc.CScreenOpen, 0);
}

TEST_F(ControlWindow, KeysTypedInAControlReachTheProgramAndTheControl) {
    QLineEdit* edit = Win.LXControlForm->Edit(1);
    edit->show();
    edit->setText(QString());
    Rc.KeyBuffer = 0;
    Rc.LastKeyCode = 0;
    QTest::keyClick(edit, Qt::Key_Q);
    EXPECT_EQ(Rc.KeyBuffer.load(), u'q');
    EXPECT_EQ(Rc.LastKeyCode.load(), 'Q');
    EXPECT_EQ(edit->text(), QStringLiteral("q"));
    QTest::keyClick(edit, Qt::Key_Left);
    EXPECT_EQ(Rc.LastKeyCode.load(), 37);
}

// ---- clicks
// ----------------------------------------------------------------------------------------------------

bool Poll(int k) {
    GlPushNum(k);
    PollControlClick();
    return GlPopBool();
}

TEST_F(ControlWindow, TheFirstPollWatchesAndLaterPollsTakeEachClick) {
    Win.LXControlForm->ButtonClick(3); // not watched yet: no effect
    EXPECT_EQ(Rc.ControlButtonPressed[3], 0);
    EXPECT_FALSE(Poll(3));
    EXPECT_EQ(Rc.ControlButtonWatched[3], 1);
    EXPECT_FALSE(Poll(3));
    Win.LXControlForm->Button(3)->show();
    QTest::mouseClick(Win.LXControlForm->Button(3), Qt::LeftButton);
    EXPECT_TRUE(Poll(3));
    EXPECT_FALSE(Poll(3));
    // Another button is untouched by all this.
    EXPECT_EQ(Rc.ControlButtonWatched[5], 0);
    EXPECT_EQ(Rc.ControlButtonPressed[5], 0);
    EXPECT_EQ(Fe.ErrorNumber, 0);
}

TEST_F(ControlWindow, PollingABadButtonFails) {
    GlPushNum(41);
    PollControlClick();
    EXPECT_EQ(Fe.ErrorNumber, Err::FunctionArgType);
    EXPECT_EQ(ValueStackCount, 0);
    EXPECT_TRUE(ErrorMessage(Fe.ErrorNumber).contains(QStringLiteral("CBUTTON")));
}

// Clicks on the user-interface thread while the interpreter polls: every click is seen by a poll.
TEST_F(ControlWindow, NoClickIsLostWhileThePollTakesIt) {
    constexpr int Clicks = 60;
    ASSERT_FALSE(Poll(9)); // starts watching
    std::atomic<bool> done{false};
    std::atomic<int> seen{0};
    std::thread poller([&] {
        // The poller owns the Gl stack while it runs.
        while (!done) {
            GlPushNum(9);
            PollControlClick();
            if (GlPopBool()) ++seen;
        }
    });
    for (int i = 0; i < Clicks; ++i) {
        // Clicks at varied moments of the poll's cycle (it pauses 10 ms after each poll).
        std::this_thread::sleep_for(std::chrono::microseconds((i * 1700) % 12000));
        Win.LXControlForm->ButtonClick(9);
        // Wait until the poll has taken this click before the next one, so clicks cannot merge.
        QElapsedTimer clock;
        clock.start();
        while (Rc.ControlButtonPressed[9] != 0 && clock.elapsed() < 2000)
            std::this_thread::yield();
    }
    done = true;
    poller.join();
    if (Poll(9)) ++seen;
    EXPECT_EQ(seen.load(), Clicks);
}

TEST_F(ControlWindow, AClickRunsTheButtonsSubAfterTheProgramHasEnded) {
    RunProgram("PRINT \"start\"\r\nSUB CButton33_Click\r\nPRINT \"clicked 33\"\r\nEND SUB\r\n");
    runForm_->CLSBtnClick();
    Win.LXControlForm->ButtonClick(7); // no SUB for button 7
    EXPECT_EQ(Rc.ThreadBusy, 0);
    Win.LXControlForm->ButtonClick(33);
    EXPECT_EQ(Fe.CommandText, QStringLiteral("Call CButton33_Click"));
    ASSERT_TRUE(WaitForRunEnd(runForm_.get()));
    EXPECT_TRUE(runForm_->Text().startsWith(QStringLiteral("clicked 33\n")))
        << runForm_->Text().toStdString();
}

TEST_F(ControlWindow, AClickWhileAThreadIsBusyStartsNoSecondRun) {
    RunProgram("SUB CButton2_Click\r\nPRINT \"event\"\r\nEND SUB\r\n");
    runForm_->CLSBtnClick();
    Rc.ControlButtonWatched[2] = 1;
    Fe.CommandText = QStringLiteral("unchanged");
    Rc.ThreadBusy = 1; // as while a program runs
    Win.LXControlForm->ButtonClick(2);
    EXPECT_EQ(Fe.CommandText, QStringLiteral("unchanged"));
    EXPECT_EQ(Rc.ControlButtonPressed[2], 1) << "the watched button is still marked";
    EXPECT_FALSE(StartControlButtonEvent(QStringLiteral("Call CButton2_Click")));
    Rc.ThreadBusy = 0;
    QApplication::processEvents();
    runForm_->ApplyQueue();
    EXPECT_EQ(runForm_->Text(), QString());
}

} // namespace
