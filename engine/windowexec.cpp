// The window-setting statements, their value functions and the standard dialogs on the interpreter's
// side: operands checked here, the widget work handed over through the window-setting hooks.
#include "engine/windowexec.h"

#include "core/codeitem.h"
#include "core/errornumbers.h"
#include "core/raiseerror.h"
#include "core/sharedstate.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/coords.h"
#include "engine/drawexec.h"
#include "engine/enginestate.h"
#include "engine/filechannels.h"
#include "engine/handover.h"
#include "engine/numconvert.h"
#include "engine/runwindowqueue.h"
#include "engine/stacktags.h"
#include "platform/settingsstore.h"

#include <QDir>

#include <cmath>
#include <mutex>

WindowSettingsHooks WindowSettingsHook;

namespace {

constexpr Extended PaletteLast = 15;
constexpr Extended FontNumberMax = 500; // font sizes and character sets
constexpr int PositionLeftMax = 2600;   // *WPOSITION and IBPOSITION
constexpr int PositionTopMax = 1200;
constexpr int TScreenMaxWidth = 3000;
constexpr int TScreenMaxHeight = 2500;
constexpr int RunWindowMargin = 20; // TSCREEN's sizes are of the text, the area is 20 larger
constexpr int PrecisionMin = 2;
constexpr int PrecisionMax = 18;
constexpr Extended DrawWidthLimit = 1024; // a wider DRAWWIDTH is taken as 1
constexpr int DrawStyleLast = PenStyleLast;
constexpr int FillStyleLast = BrushStyleLast;
constexpr int MsgBoxButtonModulus = 8;
constexpr int MsgBoxIconModulus = 128;
constexpr int MsgBoxIconLowBits = 7;

const QString MessageBoxCaption = QStringLiteral("Lorvex Message Box");
const QString MsgBoxCaption = QStringLiteral("Lorvex MsgBox");
const QString InputBoxCaption = QStringLiteral("Lorvex Input Box");

// The three answers of the window-state values.
const QString StateNormal = QStringLiteral("Normal");
const QString StateMinimize = QStringLiteral("Minimize");
const QString StateMaximize = QStringLiteral("Maximize");

// The control window's background as CBACKCOLOR last set it. A new control window (CSCREEN) starts in
// its default colour, but the setting's value stays what the program set, as for CFONTCOLOR; the
// interpreter reset leaves it too. Until a program sets it, the value is the window's own colour.
// Touched only on the interpreter thread.
int CBackColor = 0;
bool CBackColorSet = false;

// ---- operands -----------------------------------------------------------------------------------------

// A value already checked to lie within an int's range, truncated toward zero.
int TruncInRange(Extended value) {
    return static_cast<int>(std::trunc(value));
}

// A window position or size: negative (and NaN) is 0, beyond `largest` is `largest`, else truncated.
int LimitValue(Extended value, int largest) {
    if (!(value > 0)) return 0;
    if (value > largest) return largest;
    return TruncInRange(value);
}

// ---- hand-over ----------------------------------------------------------------------------------------

// Runs widget work on the user-interface thread. A hook that no window unit has installed means this
// build has no such window: the statement or function is reported as not supported.
template <typename Hook, typename Work> void HandOver(const Hook& hook, int code, bool function, Work work) {
    if (!hook) {
        if (function)
            ReportFunctionNotBuilt(code);
        else
            ReportStatementNotBuilt(code);
        return;
    }
    Synchronize(work);
}

// A dialog waits for the user, who may look at the program's files meanwhile: they are written out
// first (a failure to write them ends the statement before the dialog).
template <typename Hook, typename Work> void AskUser(const Hook& hook, int function, Work work) {
    if (FlushFileOutput()) HandOver(hook, function, true, work);
}

void ChangeText(SettingWindow window, int code, const TextSettingChange& change) {
    HandOver(WindowSettingsHook.ChangeText, code, false,
             [window, &change] { WindowSettingsHook.ChangeText(window, change); });
}

TextSettings ReadText(SettingWindow window, int code) {
    TextSettings settings;
    HandOver(WindowSettingsHook.ReadText, code, true,
             [window, &settings] { settings = WindowSettingsHook.ReadText(window); });
    return settings;
}

void MoveWindow(SettingWindow window, int code, int left, int top) {
    HandOver(WindowSettingsHook.Move, code, false,
             [window, left, top] { WindowSettingsHook.Move(window, left, top); });
}

// A change of the pen or brush of the open graphics window's drawing surface. Pen and brush do not
// change any pixel, so the window needs no repaint.
template <typename Change> void ChangeGraphCanvas(Change change) {
    if (Rc.GScreenOpen.load() == 0) return;
    const std::shared_ptr<GraphSurface> surface = CurrentGraphSurface();
    if (!surface) return;
    std::lock_guard<std::mutex> lock(surface->Lock);
    change(surface->Image1);
}

// ---- colours ------------------------------------------------------------------------------------------

// A colour operand: a palette number 0 to 15 or a colour text; anything else is error 50031.
bool PopColor(int code, ColorWord& color) {
    const int tag = GlTopType();
    if (IsNumberTag(tag)) {
        const Extended value = GlPopNum();
        if (!(value >= 0 && value <= PaletteLast)) {
            RaiseError(Err::PropertySyntax, code);
            return false;
        }
        color = PaletteColorOf(value);
        return true;
    }
    if (tag == GlValueType::String) {
        QString text;
        GlPopStr(text);
        color = ColorFromText(text);
        return true;
    }
    RaiseError(Err::PropertySyntax, code);
    return false;
}

TextSettingChange ColorChange(TextSetting what, ColorWord color) {
    TextSettingChange change;
    change.What = what;
    change.Number = static_cast<int>(color & ColorWordMask);
    return change;
}

// ---- window states ------------------------------------------------------------------------------------

SettingWindow StateWindowOf(int statement) {
    switch (statement) {
    case St::CWINDOWSTATE: return SettingWindow::Control;
    case St::EWINDOWSTATE: return SettingWindow::Frame;
    case St::GWINDOWSTATE: return SettingWindow::Graph;
    default: return SettingWindow::Run;
    }
}

// Whether the window can take a state now: the graphics and control windows only while open.
bool WindowOpen(SettingWindow window) {
    switch (window) {
    case SettingWindow::Graph: return Rc.GScreenOpen.load() != 0;
    case SettingWindow::Control: return Rc.CScreenOpen.load() != 0;
    default: return true;
    }
}

} // namespace

// ---- captions and positions ---------------------------------------------------------------------------

QString WindowTitleText(const QString& text) {
    if (text.size() <= MaxWindowTitleLength) return text;
    qsizetype length = MaxWindowTitleLength;
    if (text.at(length - 1).isHighSurrogate()) --length;
    return text.left(length);
}

// PRINTTITLE text, PRINTCTITLE text, PRINTGTITLE text, PRINTITITLE text
void ExecTitle(int code) {
    QString text;
    if (!PopStringOperand(code, text)) return;
    text = WindowTitleText(text);
    switch (code) {
    case St::PRINTTITLE: {
        // In order with the lines printed before it: through the run window's queue.
        RunWindowEvent event;
        event.Op = RunWindowOp::SetCaption;
        event.Text = text;
        RunWindowQueue::Instance().Push(std::move(event));
        return;
    }
    case St::PRINTITITLE: Ps.InputTitle = text; return;
    case St::PRINTCTITLE:
    case St::PRINTGTITLE: {
        const SettingWindow window = code == St::PRINTCTITLE ? SettingWindow::Control : SettingWindow::Graph;
        HandOver(WindowSettingsHook.SetCaption, code, false,
                 [window, &text] { WindowSettingsHook.SetCaption(window, text); });
        return;
    }
    default: return;
    }
}

// TWPOSITION (left, top), CWPOSITION, GWPOSITION, EWPOSITION, IBPOSITION
void ExecPosition(int code) {
    if (!IsNumberTag(GlTagAt(1)) || !IsNumberTag(GlTagAt(2))) {
        RaiseError(Err::StatementType, code);
        return;
    }
    const Extended top = GlPopNum();
    const Extended left = GlPopNum();
    if (code == St::IBPOSITION) {
        // A negative coordinate asks for the centred dialog again.
        if (!(left >= 0) || !(top >= 0)) {
            Ps.InputBoxPositioned = 0;
            return;
        }
        Ps.InputBoxPositioned = 1;
        Ps.InputBoxLeft = LimitValue(left, PositionLeftMax);
        Ps.InputBoxTop = LimitValue(top, PositionTopMax);
        return;
    }
    const int x = LimitValue(left, PositionLeftMax);
    const int y = LimitValue(top, PositionTopMax);
    switch (code) {
    case St::TWPOSITION:
        Ps.TScreenLeft = x;
        Ps.TScreenTop = y;
        MoveWindow(SettingWindow::Run, code, x, y);
        return;
    case St::CWPOSITION:
        Ps.CScreenLeft = x;
        Ps.CScreenTop = y;
        if (Rc.CScreenOpen.load() != 0) MoveWindow(SettingWindow::Control, code, x, y);
        return;
    case St::GWPOSITION:
        Ps.GScreenLeft = x;
        Ps.GScreenTop = y;
        if (Rc.GScreenOpen.load() != 0) MoveWindow(SettingWindow::Graph, code, x, y);
        return;
    case St::EWPOSITION: MoveWindow(SettingWindow::Frame, code, x, y); return;
    default: return;
    }
}

// ---- pen and fill -------------------------------------------------------------------------------------

// The plain statement of a G form: the name the type error gives.
int PlainPenStatement(int code) {
    switch (code) {
    case St::GDRAWMODE: return St::DRAWMODE;
    case St::GDRAWSTYLE: return St::DRAWSTYLE;
    case St::GDRAWWIDTH: return St::DRAWWIDTH;
    case St::GFILLSTYLE: return St::FILLSTYLE;
    default: return code;
    }
}

// DRAWMODE = n, DRAWSTYLE = n, DRAWWIDTH = n, FILLSTYLE = n and their G forms. A mode or style out of
// its range leaves the setting as it was.
void ExecPenSetting(int code) {
    const int plain = PlainPenStatement(code);
    if (!IsNumberTag(GlTopType())) {
        RaiseError(Err::StatementType, plain);
        return;
    }
    const Extended value = GlPopNum();
    switch (plain) {
    case St::DRAWMODE: {
        // Below 1 truncates to no mode at all: kept out as well.
        if (!(value >= PenModeFirst && value < PenModeLast + 1)) return;
        Ps.DrawMode = TruncInRange(value);
        const PenMode mode = PenModeFromCode(Ps.DrawMode);
        ChangeGraphCanvas([mode](Canvas& canvas) { canvas.Pen.Mode = mode; });
        return;
    }
    case St::DRAWSTYLE: {
        if (!(value >= 0 && value <= DrawStyleLast)) return;
        Ps.DrawStyle = TruncInRange(value);
        const PenStyle style = PenStyleFromCode(Ps.DrawStyle);
        const ColorWord back = static_cast<ColorWord>(Ps.GBackColor) & ColorWordMask;
        ChangeGraphCanvas([style, back](Canvas& canvas) {
            canvas.Brush.Color = back;
            canvas.Pen.Style = style;
        });
        return;
    }
    case St::DRAWWIDTH: {
        Extended width = std::fabs(value);
        if (!(width <= DrawWidthLimit)) width = 1; // NaN and infinities too
        Ps.DrawWidth = TruncInRange(width);
        const int penWidth = PenWidthFromValue(Ps.DrawWidth);
        ChangeGraphCanvas([penWidth](Canvas& canvas) { canvas.Pen.Width = penWidth; });
        return;
    }
    case St::FILLSTYLE: {
        if (!(value >= 0 && value <= FillStyleLast)) return;
        Ps.FillStyle = TruncInRange(value);
        const BrushStyle style = BrushStyleFromCode(Ps.FillStyle);
        ChangeGraphCanvas([style](Canvas& canvas) { canvas.Brush.Style = style; });
        return;
    }
    default: return;
    }
}

// The values DRAWMODE, DRAWSTYLE, DRAWWIDTH, FILLSTYLE (and the G forms): read from the open window's
// drawing surface.
void PushPenSetting(int statement) {
    const std::shared_ptr<GraphSurface> surface =
        Rc.GScreenOpen.load() != 0 ? CurrentGraphSurface() : nullptr;
    if (!surface) {
        RaiseError(Err::NoGraphicsWindow);
        return;
    }
    int value = 0;
    {
        std::lock_guard<std::mutex> lock(surface->Lock);
        const Canvas& canvas = surface->Image1;
        switch (PlainPenStatement(statement)) {
        case St::DRAWMODE: value = PenModeToCode(canvas.Pen.Mode); break;
        case St::DRAWSTYLE: value = PenStyleToCode(canvas.Pen.Style); break;
        case St::DRAWWIDTH: value = canvas.Pen.Width; break;
        case St::FILLSTYLE: value = BrushStyleToCode(canvas.Brush.Style); break;
        default: break;
        }
    }
    GlPushNum(value);
}

// PRECISION = n
void ExecPrecision() {
    if (!IsNumberTag(GlTopType())) {
        RaiseError(Err::StatementType, St::PRECISION);
        return;
    }
    const Extended value = GlPopNum();
    if (std::isnan(value)) {
        RaiseError(Err::StatementType, St::PRECISION);
        return;
    }
    if (value >= PrecisionMax)
        Ps.PrintPrecision = PrecisionMax;
    else if (value <= PrecisionMin)
        Ps.PrintPrecision = PrecisionMin;
    else
        Ps.PrintPrecision = TruncInRange(value);
}

namespace {

// ---- value functions ----------------------------------------------------------------------------------

void PushColorText(int color) {
    GlPushStr(ColorToHexText(static_cast<ColorWord>(color) & ColorWordMask));
}

void PushStyleText(int style) {
    GlPushStr(FontStyleToStr(static_cast<std::uint8_t>(style)));
}

// The values of the run window's text settings (1172 to 1177) and of the control window's background.
void PushWindowText(int code) {
    const SettingWindow window =
        code == SettingValueBase + St::CBACKCOLOR ? SettingWindow::Control : SettingWindow::Run;
    const TextSettings settings = ReadText(window, code);
    if (Fe.ErrorNumber != 0) return;
    switch (code - SettingValueBase) {
    case St::CBACKCOLOR:
    case St::TBACKCOLOR: PushColorText(static_cast<int>(settings.BackColor)); return;
    case St::TFONTCHARSET: GlPushNum(settings.FontCharset); return;
    // The one colour value that is a number, not a colour text.
    case St::TFONTCOLOR: GlPushNum(settings.FontColor & ColorWordMask); return;
    case St::TFONTNAME: GlPushStr(settings.FontName); return;
    case St::TFONTSIZE: GlPushNum(settings.FontSize); return;
    case St::TFONTSTYLE: PushStyleText(settings.FontStyle); return;
    default: return;
    }
}

// ---- dialogs ------------------------------------------------------------------------------------------

QString PopText() {
    QString text;
    GlPopStr(text);
    return text;
}

// MSGBOX(text), MSGBOX(text, title), MSGBOX(text, flags), MSGBOX(text, flags, title)
void ExecMsgBox(int arguments) {
    MessageBoxRequest request;
    bool answerZero = false;
    Extended flags = 0;
    bool hasFlags = false;
    switch (arguments) {
    case 1:
        if (!TopAreStrings(1)) return RaiseError(Err::FunctionArgType, Fn::MSGBOX);
        request.Text = PopText();
        request.Caption = MessageBoxCaption;
        answerZero = true; // whatever is pressed
        break;
    case 2:
        if (TopAreStrings(2)) {
            request.Caption = WindowTitleText(PopText());
            request.Text = PopText();
        } else if (IsNumberTag(GlTagAt(1)) && GlTagAt(2) == GlValueType::String) {
            flags = GlPopNum();
            hasFlags = true;
            request.Text = PopText();
            request.Caption = MsgBoxCaption;
        } else {
            return RaiseError(Err::FunctionArgType, Fn::MSGBOX);
        }
        break;
    default:
        if (GlTagAt(1) != GlValueType::String || !IsNumberTag(GlTagAt(2)) ||
            GlTagAt(3) != GlValueType::String)
            return RaiseError(Err::FunctionArgType, Fn::MSGBOX);
        request.Caption = WindowTitleText(PopText());
        flags = GlPopNum();
        hasFlags = true;
        request.Text = PopText();
        break;
    }
    if (hasFlags) {
        std::int32_t f = 0;
        if (!TruncToInt32(flags, f)) return RaiseError(Err::FunctionArgRange, Fn::MSGBOX);
        const MsgBoxStyle style = MsgBoxStyleFromFlags(f);
        request.Buttons = style.Buttons;
        request.Icon = style.Icon;
    }
    int answer = MsgBoxResult::Ok;
    AskUser(WindowSettingsHook.MessageBox, Fn::MSGBOX,
            [&request, &answer] { answer = WindowSettingsHook.MessageBox(request); });
    if (Fe.ErrorNumber != 0) return;
    GlPushNum(answerZero ? 0 : answer);
}

// INPUTBOX(prompt), INPUTBOX(prompt, caption), INPUTBOX(prompt, caption, default)
void ExecInputBox(int arguments) {
    if (!TopAreStrings(arguments)) return RaiseError(Err::FunctionArgType, Fn::INPUTBOX);
    InputBoxRequest request;
    if (arguments >= 3) request.Default = PopText();
    request.Caption = arguments >= 2 ? WindowTitleText(PopText()) : InputBoxCaption;
    request.Prompt = PopText();
    QString answer;
    bool accepted = false;
    AskUser(WindowSettingsHook.InputBox, Fn::INPUTBOX,
            [&request, &answer, &accepted] { accepted = WindowSettingsHook.InputBox(request, answer); });
    if (Fe.ErrorNumber != 0) return;
    GlPushStr(accepted ? answer : QString()); // Cancel gives the empty text
}

// SELECTOPENFILE[(filter[, file name])] and SELECTSAVEFILE[(filter[, file name])]
void ExecSelectFile(bool save, int arguments) {
    const int function = save ? Fn::SELECTSAVEFILE : Fn::SELECTOPENFILE;
    if (!TopAreStrings(arguments)) return RaiseError(Err::FunctionArgType, function);
    // Every call starts from a plain dialog: only what this call gives is set.
    FileDialogRequest request;
    request.Save = save;
    if (arguments >= 2) request.FileName = PopText().replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (arguments >= 1) request.Filter = PopText();
    request.Directory = QDir::currentPath();
    QString chosen;
    AskUser(WindowSettingsHook.SelectFile, function,
            [&request, &chosen] { chosen = WindowSettingsHook.SelectFile(request); });
    if (Fe.ErrorNumber != 0) return;
    GlPushStr(chosen);
}

} // namespace

MsgBoxStyle MsgBoxStyleFromFlags(std::int32_t flags) {
    MsgBoxStyle style;
    const int buttons = flags % MsgBoxButtonModulus; // the sign of the flags
    if (buttons >= MsgBoxButtons::OkCancel && buttons <= MsgBoxButtons::RetryCancel) style.Buttons = buttons;
    const int icon = (flags % MsgBoxIconModulus) & ~MsgBoxIconLowBits;
    switch (icon) {
    case MsgBoxIcon::Stop:
    case MsgBoxIcon::Question:
    case MsgBoxIcon::Exclamation:
    case MsgBoxIcon::Information: style.Icon = icon; break;
    default: break; // no icon for the codes the box does not know, negative ones included
    }
    return style;
}

// ---- the families -------------------------------------------------------------------------------------

// BACKCOLOR = c, BORDERCOLOR, FORECOLOR, GBACKCOLOR, GBORDERCOLOR, GFORECOLOR, GFONTCOLOR, CBACKCOLOR,
// CFONTCOLOR, TBACKCOLOR, TFONTCOLOR
void SyncSetColor(int code) {
    ColorWord color = BlackColor;
    if (!PopColor(code, color)) return;
    const int value = static_cast<int>(color);
    switch (code) {
    case St::BACKCOLOR:
    case St::GBACKCOLOR:
        Ps.GBackColor = value;
        ChangeGraphCanvas([color](Canvas& canvas) { canvas.Brush.Color = color; });
        return;
    case St::BORDERCOLOR:
    case St::GBORDERCOLOR:
        Ps.GBorderColor = value;
        Ps.GBorderColorSet = 1;
        return;
    case St::FORECOLOR:
    case St::GFORECOLOR:
        // The drawing colour is the text colour of GPRINT as well.
        Ps.GForeColor = value;
        Ps.GFontColor = value;
        ChangeGraphCanvas([color](Canvas& canvas) { canvas.Pen.Color = color; });
        return;
    case St::GFONTCOLOR:
        Ps.GFontColor = value;
        ChangeGraphCanvas([color](Canvas& canvas) { canvas.Font.Color = color; });
        return;
    case St::CBACKCOLOR:
        CBackColor = value;
        CBackColorSet = true;
        ChangeText(SettingWindow::Control, code, ColorChange(TextSetting::BackColor, color));
        return;
    case St::CFONTCOLOR:
        Ps.CFontColor = value;
        ChangeText(SettingWindow::Control, code, ColorChange(TextSetting::FontColor, color));
        return;
    case St::TBACKCOLOR:
        ChangeText(SettingWindow::Run, code, ColorChange(TextSetting::BackColor, color));
        return;
    case St::TFONTCOLOR:
        ChangeText(SettingWindow::Run, code, ColorChange(TextSetting::FontColor, color));
        return;
    default: return;
    }
}

// CFONTCHARSET = n, CFONTSIZE, GFONTCHARSET, GFONTSIZE, TFONTCHARSET, TFONTSIZE
void SyncSetFontSize(int code) {
    if (!IsNumberTag(GlTopType())) return RaiseError(Err::PropertySyntax, code);
    const Extended value = GlPopNum();
    if (!(value >= 0 && value <= FontNumberMax)) return RaiseError(Err::PropertySyntax, code);
    TextSettingChange change;
    change.Number = TruncInRange(value);
    change.What = TextSetting::FontSize;
    switch (code) {
    case St::CFONTCHARSET:
        Ps.CFontCharset = change.Number;
        change.What = TextSetting::FontCharset;
        ChangeText(SettingWindow::Control, code, change);
        return;
    case St::CFONTSIZE:
        // Kept, so that the value CFONTSIZE reads back what was set.
        Ps.CFontSize = change.Number;
        ChangeText(SettingWindow::Control, code, change);
        return;
    case St::GFONTCHARSET: Ps.GFontCharset = change.Number; return;
    case St::GFONTSIZE: Ps.GFontSize = change.Number; return;
    case St::TFONTCHARSET:
        change.What = TextSetting::FontCharset;
        ChangeText(SettingWindow::Run, code, change);
        return;
    case St::TFONTSIZE: ChangeText(SettingWindow::Run, code, change); return;
    default: return;
    }
}

// CFONTNAME = s, CFONTSTYLE, GFONTNAME, GFONTSTYLE, TFONTNAME, TFONTSTYLE
void SyncSetFontName(int code) {
    if (GlTopType() != GlValueType::String) return RaiseError(Err::PropertySyntax, code);
    const QString text = PopText();
    TextSettingChange change;
    change.What = TextSetting::FontName;
    change.Name = text;
    TextSettingChange styleChange;
    styleChange.What = TextSetting::FontStyle;
    styleChange.Number = StrToFontStyle(text);
    switch (code) {
    case St::CFONTNAME:
        Ps.CFontName = text;
        ChangeText(SettingWindow::Control, code, change);
        return;
    case St::CFONTSTYLE:
        Ps.CFontStyle = styleChange.Number;
        ChangeText(SettingWindow::Control, code, styleChange);
        return;
    case St::GFONTNAME: Ps.GFontName = text; return;
    case St::GFONTSTYLE: Ps.GFontStyle = styleChange.Number; return;
    case St::TFONTNAME: ChangeText(SettingWindow::Run, code, change); return;
    case St::TFONTSTYLE: ChangeText(SettingWindow::Run, code, styleChange); return;
    default: return;
    }
}

// CWINDOWSTATE = s, EWINDOWSTATE, GWINDOWSTATE, TWINDOWSTATE: "Normal", "Maximize" or "Minimize" in any
// case; any other text does nothing.
void SyncSetWindowState(int code) {
    if (GlTopType() != GlValueType::String) return RaiseError(Err::PropertySyntax, code);
    const QString word = PopText().toUpper();
    WindowShowState state = WindowShowState::Normal;
    if (word == QLatin1String("NORMAL"))
        state = WindowShowState::Normal;
    else if (word == QLatin1String("MAXIMIZE"))
        state = WindowShowState::Maximize;
    else if (word == QLatin1String("MINIMIZE"))
        state = WindowShowState::Minimize;
    else
        return;
    const SettingWindow window = StateWindowOf(code);
    if (!WindowOpen(window)) return;
    HandOver(WindowSettingsHook.SetState, code, false,
             [window, state] { WindowSettingsHook.SetState(window, state); });
}

// The values CWINDOWSTATE, EWINDOWSTATE, GWINDOWSTATE, TWINDOWSTATE
void SyncGetWindowState(int code) {
    const SettingWindow window = StateWindowOf(code - SettingValueBase);
    if (window == SettingWindow::Control && Rc.CScreenOpen.load() == 0) {
        RaiseError(Err::ControlWindowClosed);
        return;
    }
    if (window == SettingWindow::Graph && Rc.GScreenOpen.load() == 0) {
        RaiseError(Err::NoGraphicsWindow);
        return;
    }
    WindowShowState state = WindowShowState::Normal;
    HandOver(WindowSettingsHook.State, code, true,
             [window, &state] { state = WindowSettingsHook.State(window); });
    if (Fe.ErrorNumber != 0) return;
    switch (state) {
    case WindowShowState::Minimize: GlPushStr(StateMinimize); return;
    case WindowShowState::Maximize: GlPushStr(StateMaximize); return;
    default: GlPushStr(StateNormal); return;
    }
}

// TSCREEN (width, height): the run window's text area becomes 20 pixels larger than the sizes.
void ExecTScreen() {
    if (!IsNumberTag(GlTagAt(1))) {
        RaiseError(Err::ScreenHeightNotNumber);
        return;
    }
    if (!IsNumberTag(GlTagAt(2))) {
        RaiseError(Err::ScreenWidthNotNumber);
        return;
    }
    const Extended height = GlPopNum();
    const Extended width = GlPopNum();
    // A negative size would make no window at all: held at 0, so the area keeps its margin.
    const int w = LimitValue(width, TScreenMaxWidth);
    const int h = LimitValue(height, TScreenMaxHeight);
    HandOver(WindowSettingsHook.SizeRunTextArea, St::TSCREEN, false,
             [w, h] { WindowSettingsHook.SizeRunTextArea(w + RunWindowMargin, h + RunWindowMargin); });
}

// ---- routing ------------------------------------------------------------------------------------------

// The dialogs' argument forms: the item carries the function code + (count - 1) * FunctionFormStep.
void ExecMsgBoxForm(int code) {
    ExecMsgBox(1 + code / FunctionFormStep);
}

void ExecInputBoxForm(int code) {
    ExecInputBox(1 + code / FunctionFormStep);
}

void ExecSelectFileForm(int code) {
    ExecSelectFile(code % FunctionFormStep == Fn::SELECTSAVEFILE, code / FunctionFormStep);
}

void PushSettingValue(int code) {
    switch (code - SettingValueBase) {
    case St::BACKCOLOR:
    case St::GBACKCOLOR: PushColorText(Ps.GBackColor); return;
    case St::BORDERCOLOR:
    case St::GBORDERCOLOR: PushColorText(Ps.GBorderColor); return;
    case St::FORECOLOR:
    case St::GFORECOLOR: PushColorText(Ps.GForeColor); return;
    case St::CFONTCHARSET: GlPushNum(Ps.CFontCharset); return;
    case St::CFONTCOLOR: PushColorText(Ps.CFontColor); return;
    case St::CFONTNAME: GlPushStr(Ps.CFontName); return;
    case St::CFONTSIZE: GlPushNum(Ps.CFontSize); return;
    case St::CFONTSTYLE: PushStyleText(Ps.CFontStyle); return;
    case St::GFONTCHARSET: GlPushNum(Ps.GFontCharset); return;
    case St::GFONTCOLOR: PushColorText(Ps.GFontColor); return;
    case St::GFONTNAME: GlPushStr(Ps.GFontName); return;
    case St::GFONTSIZE: GlPushNum(Ps.GFontSize); return;
    case St::GFONTSTYLE: PushStyleText(Ps.GFontStyle); return;
    case St::PRECISION: GlPushNum(Ps.PrintPrecision); return;
    case St::CBACKCOLOR:
        if (CBackColorSet)
            PushColorText(CBackColor);
        else
            PushWindowText(code);
        return;
    case St::TBACKCOLOR:
    case St::TFONTCHARSET:
    case St::TFONTCOLOR:
    case St::TFONTNAME:
    case St::TFONTSIZE:
    case St::TFONTSTYLE: PushWindowText(code); return;
    case St::DRAWMODE:
    case St::GDRAWMODE:
    case St::DRAWSTYLE:
    case St::GDRAWSTYLE:
    case St::DRAWWIDTH:
    case St::GDRAWWIDTH:
    case St::FILLSTYLE:
    case St::GFILLSTYLE: PushPenSetting(code - SettingValueBase); return;
    default: return;
    }
}
