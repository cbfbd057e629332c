// The graphics statements at run time: world coordinates turned into pixels, drawing into the graphics
// window's picture under its lock, and the window opened, cleared or refreshed through the hand-over.
#include "engine/drawexec.h"

#include "core/encodedetect.h"
#include "core/errornumbers.h"
#include "core/itembuffers.h"
#include "core/raiseerror.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/coords.h"
#include "engine/enginestate.h"
#include "engine/filechannels.h"
#include "engine/handover.h"
#include "engine/numberformat.h"
#include "engine/numconvert.h"
#include "engine/runwindowqueue.h"
#include "engine/stacktags.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <vector>

GraphFormHooks GraphFormHook;

namespace {

constexpr long double Pi = 3.141592653589793238462643383279502884L;
constexpr long double FullTurnDegrees = 360;
constexpr long double HalfTurnDegrees = 180;
// Whole degrees of an angle are taken after this nudge, so that 2 pi in radians is 360 degrees and
// not 359 by a rounding of the last bit.
constexpr long double DegreeNudge = 1e-9L;
// Radii are held within this many pixels: the whole figure is then still far outside any bitmap.
constexpr Extended MaxRadius = 1 << 20;

constexpr int PointOperandItems = 1;  // PSET, PRESET: colour
constexpr int PaintOperandItems = 2;  // fill colour, border colour
constexpr int LineOperandItems = 2;   // colour, B or BF
constexpr int CircleOperandItems = 6; // colour, start, end, aspect, F, fill colour

constexpr int ClsRunWindow = 1;
constexpr int ClsGraphics = 2;
constexpr int ClsBoth = 3;

std::mutex SurfaceMutex;
std::shared_ptr<GraphSurface> SurfaceOfWindow;

// ---- operands ------------------------------------------------------------------------------------

// An optional operand: the code item after the statement. A built-in constant stands for an
// omitted operand; a literal gives its value; a numeric variable its value and, for option words
// such as B, BF and F, its name.
struct Operand {
    int Kind = CodeKind::None;
    bool Given = false;
    Extended Value = 0;
    QString Name;
};

Operand FetchOperand() {
    CodeItemType item;
    GetCode(item);
    Operand operand;
    operand.Kind = item.FirstCode;
    if (item.FirstCode == CodeKind::NumLiteral) {
        operand.Given = true;
        operand.Value = NumConValue(item);
    } else if (item.FirstCode == CodeKind::NumVar && item.SecondCode >= 0 &&
               static_cast<std::size_t>(item.SecondCode) < Tb.NumVarTable.size()) {
        const NumVarType& record = Tb.NumVarTable[static_cast<std::size_t>(item.SecondCode)];
        operand.Given = true;
        operand.Value = record.Value;
        operand.Name = record.Name;
    }
    return operand;
}

ColorWord ColorOperand(const Operand& operand, ColorWord omitted) {
    return operand.Given ? PaletteColorOf(operand.Value) : omitted;
}

Extended NumberOperand(const Operand& operand, Extended omitted) {
    return operand.Given ? operand.Value : omitted;
}

bool IsOptionName(const Operand& operand, const char* word) {
    return operand.Kind == CodeKind::NumVar &&
           operand.Name.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

// A device point of a drawing statement: world to device, then the MATHGRAPH flip.
QPoint DrawPoint(Extended x, Extended y) {
    const DevicePoint p = WorldToDevice(x, y);
    return QPoint(p.X, MathGraphY(p.Y));
}

int SkipOperandItems(int code) {
    switch (code) {
    case St::PSET:
    case St::PRESET: return PointOperandItems;
    case St::PAINT: return PaintOperandItems;
    case St::LINE: return LineOperandItems;
    case St::CIRCLE: return CircleOperandItems;
    default: return 0;
    }
}

// Steps over the optional operand items of the statement `code` that follows CodeIndex: a refused
// statement must not leave them to run as values of their own.
void SkipOperands(int code) {
    for (int k = SkipOperandItems(code); k > 0 && Ib.CodeIndex >= 0 && Ib.CodeIndex <= Ib.CodeLimit; --k) {
        const int kind = Ib.CodeBuffer[static_cast<std::size_t>(Ib.CodeIndex)].FirstCode;
        if (kind != CodeKind::SysNumConst && kind != CodeKind::NumLiteral && kind != CodeKind::NumVar) break;
        ++Ib.CodeIndex;
    }
}

// The points of a drawing statement are checked before its optional operands are read, so that a
// point of the wrong type is reported at the item after the statement. Only a trapped error steps
// over the operands (the run goes on after the statement); an untrapped one ends the run there.
void PointError(int number, int code) {
    RaiseError(number);
    if (Eng.EvalFormTrap != 0) SkipOperands(code);
}

int ToPixel(Extended v) {
    if (std::isnan(v)) return 0;
    return static_cast<int>(std::clamp<Extended>(std::trunc(v), -DeviceLimit, DeviceLimit));
}

// ---- the surface -----------------------------------------------------------------------------------

// The surface of the open window for a drawing statement (RequireGraphForm has checked it exists).
std::shared_ptr<GraphSurface> DrawingSurface() {
    return CurrentGraphSurface();
}

bool OnOffItem(bool& on) {
    CodeItemType item;
    GetCode(item);
    if (item.FirstCode != CodeKind::Statement) return false;
    if (item.SecondCode == St::ON) {
        on = true;
        return true;
    }
    if (item.SecondCode == St::OFF) {
        on = false;
        return true;
    }
    return false;
}

// GSCREEN's limits: at or below the least size the least, above the largest the largest, else the
// value truncated.
int LimitSize(Extended value, int least, int largest) {
    if (!(value > least)) return least;
    if (value > largest) return largest;
    return static_cast<int>(std::trunc(value));
}

// Pops width and height (height on top) within the bitmap limits; false on an operand error.
bool PopSizePair(int& width, int& height) {
    if (!IsNumberTag(GlTagAt(1))) {
        RaiseError(Err::ScreenHeightNotNumber);
        return false;
    }
    if (!IsNumberTag(GlTagAt(2))) {
        RaiseError(Err::ScreenWidthNotNumber);
        return false;
    }
    height = LimitSize(GlPopNum(), GScreenMinHeight, GScreenMaxHeight);
    width = LimitSize(GlPopNum(), GScreenMinWidth, GScreenMaxWidth);
    return true;
}

// The canvas of a new window as the screen state sets it, filled with the background colour.
void PrepareCanvas(Canvas& canvas) {
    canvas.Font.Charset = Ps.GFontCharset;
    canvas.Font.Name = Ps.GFontName;
    canvas.Font.Size = Ps.GFontSize;
    canvas.Font.Style = static_cast<std::uint8_t>(Ps.GFontStyle);
    canvas.Brush.Color = static_cast<ColorWord>(Ps.GBackColor) & ColorWordMask;
    canvas.Brush.Style = BrushStyle::Solid;
    canvas.Pen.Mode = PenModeFromCode(Ps.DrawMode);
    canvas.Pen.Color = static_cast<ColorWord>(Ps.GForeColor) & ColorWordMask;
    canvas.Pen.Style = PenStyleFromCode(Ps.DrawStyle);
    canvas.Pen.Width = PenWidthFromValue(Ps.DrawWidth);
    canvas.FillRect(0, 0, canvas.Width(), canvas.Height());
}

// ---- FILEPSET's file ---------------------------------------------------------------------------------

// Reads "x y colour" triples the way a classic read of three numbers does: the numbers are separated
// by blanks (or line ends), and what follows the third on its line is skipped.
class PointFileReader {
public:
    explicit PointFileReader(TFileTextReader& reader) : reader_(reader) {}

    // False at the end of the file; `bad` is set when a field is not a number.
    bool Next(Extended& x, Extended& y, Extended& colour, bool& bad) {
        Extended values[3] = {};
        for (int k = 0; k < 3; ++k) {
            QStringView field;
            if (!NextField(field)) return false;
            if (!TextToReal(field, values[k])) {
                bad = true;
                return false;
            }
        }
        fields_.clear(); // the rest of the line of the third number
        at_ = 0;
        x = values[0];
        y = values[1];
        colour = values[2];
        return true;
    }

private:
    bool NextField(QStringView& field) {
        while (at_ >= fields_.size()) {
            if (!reader_.ReadLine(line_)) return false;
            fields_ = QStringView(line_).split(u' ', Qt::SkipEmptyParts);
            // Tabs separate as blanks do.
            if (line_.contains(u'\t')) {
                line_.replace(u'\t', u' ');
                fields_ = QStringView(line_).split(u' ', Qt::SkipEmptyParts);
            }
            at_ = 0;
        }
        field = fields_[at_++];
        return true;
    }

    TFileTextReader& reader_;
    QString line_;
    QList<QStringView> fields_;
    qsizetype at_ = 0;
};

} // namespace

// ---- the surface ---------------------------------------------------------------------------------------

GraphSurface::GraphSurface(int width, int height) : Image1(width, height), Image2(width, height) {}

std::shared_ptr<GraphSurface> CurrentGraphSurface() {
    std::lock_guard<std::mutex> lock(SurfaceMutex);
    return SurfaceOfWindow;
}

void SetCurrentGraphSurface(std::shared_ptr<GraphSurface> surface) {
    std::lock_guard<std::mutex> lock(SurfaceMutex);
    SurfaceOfWindow = std::move(surface);
}

bool RequireGraphForm(int code) {
    if (Rc.GScreenOpen.load() != 0 && CurrentGraphSurface() != nullptr) return true;
    RaiseError(Err::NoGraphicsWindow);
    Eng.ErrorAtCurrentItem = true;
    // The operand items belong to the refused statement: a trapped error goes on after them.
    SkipOperands(code);
    return false;
}

// ---- screens ---------------------------------------------------------------------------------------------

// GSCREEN w, h   GSCREEN w, h, client w, client h
void ExecGScreen(bool fourSizes) {
    int clientWidth = 0, clientHeight = 0;
    if (fourSizes && !PopSizePair(clientWidth, clientHeight)) return;
    int width = 0, height = 0;
    if (!PopSizePair(width, height)) return;
    Ps.GScreenPrevWidth = Gs.GScreenWidth;
    Ps.GScreenPrevHeight = Gs.GScreenHeight;
    Rc.GScreenSizeMode = fourSizes ? 1 : 0;
    if (fourSizes) {
        Gs.GScreenClientWidth = clientWidth;
        Gs.GScreenClientHeight = clientHeight;
    }
    Gs.GScreenWidth = width;
    Gs.GScreenHeight = height;
}

void SyncOpenGraphForm() {
    auto surface = std::make_shared<GraphSurface>(Gs.GScreenWidth, Gs.GScreenHeight);
    if (surface->Image1.IsNull() || surface->Image2.IsNull()) {
        RaiseError(Err::OutOfMemory);
        return;
    }
    PrepareCanvas(surface->Image1);
    PrepareCanvas(surface->Image2);

    bool opened = false;
    if (GraphFormHook.Open != nullptr) {
        bool (*open)(const std::shared_ptr<GraphSurface>&) = GraphFormHook.Open;
        Synchronize([&] { opened = open(surface); });
    }
    // The world window starts as the bitmap itself.
    static_cast<WorldWindow&>(Ps) = WorldWindow{
        0, 0, static_cast<Extended>(Gs.GScreenWidth), static_cast<Extended>(Gs.GScreenHeight), 1, 1};
    Gs.ViewX1 = 0;
    Gs.ViewY1 = 0;
    Gs.ViewX2 = Gs.GScreenWidth;
    Gs.ViewY2 = Gs.GScreenHeight;
    if (!opened) return; // the check after GSCREEN reports it
    SetCurrentGraphSurface(std::move(surface));
    Ps.GScreenUsed = 1;
}

// CLOSEGSCREEN
void SyncCloseGraphForm() {
    if (void (*close)() = GraphFormHook.Close) Synchronize([close] { close(); });
}

// GSCROLL ON | OFF
void SyncGScroll() {
    bool on = false;
    if (!OnOffItem(on)) return;
    if (Rc.GScreenOpen.load() == 0 || Rc.GScreenSizeMode.load() == 0) return;
    if (void (*scroll)(bool) = GraphFormHook.Scroll) Synchronize([scroll, on] { scroll(on); });
}

// GSTRETCH ON | OFF
void SyncGStretch() {
    bool on = false;
    if (!OnOffItem(on)) return;
    if (Rc.GScreenOpen.load() == 0 || Rc.GScreenSizeMode.load() == 0) return;
    if (void (*stretch)(bool) = GraphFormHook.Stretch) Synchronize([stretch, on] { stretch(on); });
}

// WINDOW (x1, y1)-(x2, y2)
void ExecWindow() {
    if (!TopAreNumbers(4)) {
        RaiseError(Err::WindowNotNumbers);
        return;
    }
    const Extended y2 = GlPopNum(), x2 = GlPopNum(), y1 = GlPopNum(), x1 = GlPopNum();
    if (!(x2 > x1) || !(y2 > y1)) {
        RaiseError(Err::WindowEmptyArea);
        return;
    }
    const Extended xScale = (Gs.ViewX2 - Gs.ViewX1) / (x2 - x1);
    const Extended yScale = (Gs.ViewY2 - Gs.ViewY1) / (y2 - y1);
    // An area too wide or too narrow to map (infinite ends, a width of 1e-4000) maps nothing.
    if (!std::isfinite(xScale) || !std::isfinite(yScale) || !(xScale > 0) || !(yScale > 0)) {
        RaiseError(Err::WindowEmptyArea);
        return;
    }
    static_cast<WorldWindow&>(Ps) = WorldWindow{x1, y1, x2, y2, xScale, yScale};
}

// MATHGRAPH ON | OFF
void ExecMathGraph() {
    bool on = false;
    if (OnOffItem(on)) Ps.MathGraph = on ? 1 : 0;
}

// ---- drawing
// -----------------------------------------------------------------------------------------------

// PSET (x, y)[, colour]   PRESET (x, y)[, colour]
void ExecPSet(bool reset) {
    if (!TopAreNumbers(2)) return PointError(Err::PsetNotNumbers, St::PSET);
    const Operand colourItem = FetchOperand();
    const Extended y = GlPopNum(), x = GlPopNum();
    const ColorWord colour = ColorOperand(
        colourItem, static_cast<ColorWord>(reset ? Ps.GBackColor : Ps.GForeColor) & ColorWordMask);
    const QPoint p = DrawPoint(x, y);
    const std::shared_ptr<GraphSurface> surface = DrawingSurface();
    std::lock_guard<std::mutex> lock(surface->Lock);
    surface->Image1.SetPixel(p.x(), p.y(), colour);
    surface->Changed();
}

// LINE (x1, y1)-(x2, y2)[, colour[, B | BF]]
void ExecLine() {
    if (!TopAreNumbers(4)) return PointError(Err::LineNotNumbers, St::LINE);
    const Operand colourItem = FetchOperand();
    const Operand optionItem = FetchOperand();
    const Extended y2 = GlPopNum(), x2 = GlPopNum(), y1 = GlPopNum(), x1 = GlPopNum();
    enum class Form { Line, Box, FilledBox } form = Form::Line;
    if (optionItem.Kind == CodeKind::NumVar && IsOptionName(optionItem, "B"))
        form = Form::Box;
    else if (optionItem.Kind == CodeKind::NumVar && IsOptionName(optionItem, "BF"))
        form = Form::FilledBox;
    else if (optionItem.Kind != CodeKind::SysNumConst) {
        // Another word, a number, or anything else where B or BF belongs.
        RaiseError(Err::LineOptionKind);
        return;
    }
    const ColorWord colour = ColorOperand(colourItem, static_cast<ColorWord>(Ps.GForeColor) & ColorWordMask);
    const QPoint p1 = DrawPoint(x1, y1), p2 = DrawPoint(x2, y2);

    const std::shared_ptr<GraphSurface> surface = DrawingSurface();
    std::lock_guard<std::mutex> lock(surface->Lock);
    Canvas& canvas = surface->Image1;
    canvas.Pen.Color = colour;
    bool drawn = true;
    switch (form) {
    case Form::Line:
        canvas.MoveTo(p1.x(), p1.y());
        drawn = canvas.LineTo(p2.x(), p2.y());
        break;
    case Form::Box: {
        const QPoint corners[5] = {p1, QPoint(p2.x(), p1.y()), p2, QPoint(p1.x(), p2.y()), p1};
        drawn = canvas.Polyline(corners, 5);
        break;
    }
    case Form::FilledBox:
        canvas.Brush.Color = colour;
        canvas.Brush.Style = BrushStyleFromCode(Ps.FillStyle);
        canvas.FillRect(p1.x(), p1.y(), p2.x(), p2.y());
        break;
    }
    surface->Changed();
    if (!drawn) RaiseError(Err::OutOfMemory);
}

// CIRCLE (x, y), r[, colour, start, end, aspect, F, fill colour]
void ExecCircle() {
    if (!IsNumberTag(GlTagAt(1)) || !IsNumberTag(GlTagAt(2)))
        return PointError(Err::ScreenHeightNotNumber, St::CIRCLE);
    if (!IsNumberTag(GlTagAt(3))) return PointError(Err::ScreenWidthNotNumber, St::CIRCLE);
    const Extended r = GlPopNum(), y = GlPopNum(), x = GlPopNum();

    Operand items[CircleOperandItems];
    for (Operand& item : items)
        item = FetchOperand();
    const Operand& colourItem = items[0];
    const Operand& startItem = items[1];
    const Operand& endItem = items[2];
    const Operand& aspectItem = items[3];
    const Operand& optionItem = items[4];
    const Operand& fillItem = items[5];

    bool filled = false;
    if (optionItem.Kind == CodeKind::NumVar) {
        if (!IsOptionName(optionItem, "F")) {
            RaiseError(Err::CircleOptionName);
            return;
        }
        filled = true;
    } else if (optionItem.Kind != CodeKind::SysNumConst) {
        RaiseError(Err::CircleOptionKind);
        return;
    }

    const ColorWord colour = ColorOperand(colourItem, static_cast<ColorWord>(Ps.GForeColor) & ColorWordMask);
    const ColorWord fill = ColorOperand(fillItem, colour);
    Extended start = NumberOperand(startItem, 0);
    Extended end = NumberOperand(endItem, 2 * Pi);
    const Extended aspect = NumberOperand(aspectItem, 1);
    if (!std::isfinite(start)) start = 0;
    if (!std::isfinite(end)) end = 2 * Pi;

    const QPoint centre = DrawPoint(x, y);
    auto radius = [](Extended v) {
        v = std::fabs(v);
        return std::isnan(v) ? 0 : static_cast<int>(std::trunc(std::min(v, MaxRadius)));
    };
    const int rx = radius(r * Ps.WorldXScale);
    const int ry = radius(r * Ps.WorldYScale * aspect);

    // Whole degrees decide between a whole ellipse and a sector.
    auto degrees = [](Extended angle) {
        Extended d = std::trunc(angle * HalfTurnDegrees / Pi + (angle >= 0 ? DegreeNudge : -DegreeNudge));
        if (d < 0) d += FullTurnDegrees;
        return d;
    };
    const bool wholeEllipse = degrees(start) == 0 && degrees(end) == FullTurnDegrees;
    if (start < 0) start += 2 * Pi;
    if (end < 0) end += 2 * Pi;

    const int cx = centre.x(), cy = centre.y();
    const int xs = cx + static_cast<int>(std::trunc(std::cos(start) * rx));
    const int ys = cy - static_cast<int>(std::trunc(std::sin(start) * ry));
    const int xe = cx + static_cast<int>(std::trunc(std::cos(end) * rx));
    const int ye = cy - static_cast<int>(std::trunc(std::sin(end) * ry));

    const std::shared_ptr<GraphSurface> surface = DrawingSurface();
    std::lock_guard<std::mutex> lock(surface->Lock);
    Canvas& canvas = surface->Image1;
    canvas.Pen.Color = colour;
    canvas.Brush.Color = fill;
    bool drawn = true;
    if (!filled)
        drawn = canvas.Arc(cx - rx, cy - ry, cx + rx, cy + ry, xs, ys, xe, ye);
    else if (wholeEllipse)
        drawn = canvas.Ellipse(cx - rx, cy - ry, cx + rx, cy + ry);
    else
        drawn = canvas.Pie(cx - rx, cy - ry, cx + rx, cy + ry, xs, ys, xe, ye);
    surface->Changed();
    if (!drawn) RaiseError(Err::OutOfMemory);
}

// PAINT (x, y)[, fill colour[, border colour]]
void ExecPaint() {
    if (!TopAreNumbers(2)) return PointError(Err::PaintPointNotNumbers, St::PAINT);
    const Operand fillItem = FetchOperand();
    const Operand borderItem = FetchOperand();
    const Extended y = GlPopNum(), x = GlPopNum();
    const ColorWord foreColour = static_cast<ColorWord>(Ps.GForeColor) & ColorWordMask;
    const ColorWord fill = ColorOperand(fillItem, foreColour);
    const ColorWord border = ColorOperand(
        borderItem,
        Ps.GBorderColorSet != 0 ? static_cast<ColorWord>(Ps.GBorderColor) & ColorWordMask : foreColour);
    const QPoint p = DrawPoint(x, y);

    const std::shared_ptr<GraphSurface> surface = DrawingSurface();
    std::lock_guard<std::mutex> lock(surface->Lock);
    Canvas& canvas = surface->Image1;
    canvas.Brush.Color = fill;
    canvas.Brush.Style = BrushStyleFromCode(Ps.FillStyle);
    const bool filled = canvas.FloodFill(p.x(), p.y(), border, FloodFillType::Border);
    surface->Changed();
    if (!filled) RaiseError(Err::OutOfMemory);
}

// FILEPSET file
void ExecFilePSet() {
    QString name;
    if (!PopStringOperand(St::FILEPSET, name)) return;
    const QString path = ProgramFilePath(name);
    if (name.isEmpty() || !QFileInfo(path).isFile()) {
        RaiseError(Err::FilePsetNotFound);
        return;
    }
    if (Rc.GScreenOpen.load() == 0 || CurrentGraphSurface() == nullptr) {
        RaiseError(Err::FilePsetNoGraphicsWindow);
        return;
    }
    const std::unique_ptr<TEncoding> encoding =
        Ps.FileEncoding < 1 ? GetFileEncoding(path) : EncodingFromCodePage(Ps.FileEncoding);
    int error = Err::None;
    std::unique_ptr<TFileTextReader> reader =
        encoding ? TFileTextReader::Open(path, *encoding, error) : nullptr;
    if (!reader) {
        RaiseError(Err::FilePsetFailed);
        return;
    }
    PointFileReader points(*reader);
    const std::shared_ptr<GraphSurface> surface = DrawingSurface();
    Extended x = 0, y = 0, colourNumber = 0;
    bool bad = false;
    while (Rc.StopRequest.load(std::memory_order_relaxed) == 0 && points.Next(x, y, colourNumber, bad)) {
        const QPoint p = DrawPoint(x, y);
        std::lock_guard<std::mutex> lock(surface->Lock);
        surface->Image1.SetPixel(p.x(), p.y(), PaletteColorOf(colourNumber));
        surface->Changed();
    }
    if (bad) RaiseError(Err::FilePsetFailed);
}

// GLOCATE (x, y)
void ExecGLocate() {
    if (!TopAreNumbers(2)) {
        RaiseError(Err::StatementType, St::GLOCATE);
        return;
    }
    const Extended y = GlPopNum(), x = GlPopNum();
    const DevicePoint p = WorldToDevice(x, y);
    const int px = std::clamp(p.X, 0, Gs.GScreenWidth - 1);
    const int py = MathGraphY(std::clamp(p.Y, 0, Gs.GScreenHeight - 1));
    Ps.GLocateX = px;
    Ps.GLocateY = py;
    const std::shared_ptr<GraphSurface> surface = DrawingSurface();
    std::lock_guard<std::mutex> lock(surface->Lock);
    surface->Image1.MoveTo(px, py);
}

// GFLOCATE (x, y)
void ExecGFLocate() {
    if (!TopAreNumbers(2)) {
        RaiseError(Err::StatementType, St::GFLOCATE);
        return;
    }
    Ps.GFLocateY = std::trunc(GlPopNum());
    Ps.GFLocateX = std::trunc(GlPopNum());
}

// GREFRESH
void ExecGRefresh() {
    if (const std::shared_ptr<GraphSurface> surface = CurrentGraphSurface()) surface->Changed();
}

// GPRINT value
void ExecGPrint() {
    QString text;
    const int tag = GlTopType();
    if (IsNumberTag(tag)) {
        text = FormatNumber(GlPopNum());
    } else if (tag == GlValueType::String) {
        GlPopStr(text);
    } else {
        RaiseError(Err::StatementType, St::GPRINT);
        return;
    }
    const std::shared_ptr<GraphSurface> surface = DrawingSurface();
    std::lock_guard<std::mutex> lock(surface->Lock);
    Canvas& canvas = surface->Image1;
    canvas.Font.Charset = Ps.GFontCharset;
    canvas.Font.Name = Ps.GFontName;
    canvas.Font.Style = static_cast<std::uint8_t>(Ps.GFontStyle);
    canvas.Font.Color = static_cast<ColorWord>(Ps.GFontColor) & ColorWordMask;
    canvas.Font.Size = Ps.GFontSize;
    canvas.Brush.Color = static_cast<ColorWord>(Ps.GBackColor) & ColorWordMask;
    canvas.Brush.Style = BrushStyle::Solid;
    surface->ChangedPart(canvas.TextOut(ToPixel(Ps.GLocateX), ToPixel(Ps.GLocateY), text));
}

// CLS [mode]
void ExecCls() {
    CodeItemType item;
    GetCode(item);
    int mode = ClsRunWindow;
    if (item.FirstCode == CodeKind::NumLiteral) {
        std::int32_t value = 0;
        mode = TruncToInt32(NumConValue(item), value) ? value : 0; // out of range: no mode at all
    } else if (item.FirstCode != CodeKind::SysNumConst) {
        RaiseError(Err::UnexpectedParseError); // the run window is still cleared
    }
    const bool open = Rc.GScreenOpen.load() != 0 && CurrentGraphSurface() != nullptr;
    switch (mode) {
    case ClsRunWindow:
    case ClsBoth: {
        RunWindowEvent event;
        event.Op = RunWindowOp::ClearText;
        RunWindowQueue::Instance().Push(std::move(event));
        if (mode == ClsBoth && open) ClearGraphForm();
        break;
    }
    case ClsGraphics:
        if (!open) {
            RaiseError(Err::NoGraphicsWindow);
            break;
        }
        ClearGraphForm();
        break;
    default: RaiseError(Err::ClsMode); break;
    }
}

void ClearGraphForm() {
    const std::shared_ptr<GraphSurface> surface = CurrentGraphSurface();
    if (!surface) return;
    std::lock_guard<std::mutex> lock(surface->Lock);
    Canvas& canvas = surface->Image1;
    const ColorWord brushColour = canvas.Brush.Color;
    canvas.Brush.Color = static_cast<ColorWord>(Ps.GBackColor) & ColorWordMask;
    canvas.Brush.Style = BrushStyle::Solid;
    canvas.FillRect(0, 0, canvas.Width(), canvas.Height());
    canvas.Brush.Color = brushColour;
    surface->Changed();
}

// GSCREEN and OPENGSCREEN with two sizes or four (by code).
void ExecGScreenStatement(int code) {
    ExecGScreen(code > ArgumentFormStep);
    if (Fe.ErrorNumber == 0) SyncOpenGraphForm();
    if (Fe.ErrorNumber == 0) RequireGraphForm(code);
}

void ExecCloseGScreen(int code) {
    if (RequireGraphForm(code)) SyncCloseGraphForm();
}

void ExecPSetStatement(int code) {
    if (RequireGraphForm(code)) ExecPSet(code == St::PRESET);
}
