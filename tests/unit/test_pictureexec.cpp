// Pictures, program text and file statements through their engine routes, in a temporary folder and
// with a real graphics window (offscreen): pictures saved in each type and loaded back, the placing of
// the picture buffer, the ".bak" backups of SAVEPICTURE, KILL and FILECOPY, NAME, CHDIR, LOAD with
// LIST, and the functions GETIMAGESIZE$ and GETRGBPIXEL.
#include "core/errornumbers.h"
#include "core/sharedstate.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/coords.h"
#include "engine/dispatch.h"
#include "engine/drawexec.h"
#include "engine/enginestate.h"
#include "engine/handover.h"
#include "engine/pictureexec.h"
#include "engine/runloop.h"
#include "engine/runwindowqueue.h"
#include "frontend/initall.h"
#include "tests/canvaspixels.h"
#include "tests/testsupport.h"
#include "ui/graphform.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <memory>

namespace {

constexpr int Form1 = ArgumentFormStep;
constexpr int Form2 = 2 * ArgumentFormStep;
constexpr int Form3 = 3 * ArgumentFormStep;

bool Exists(const QString& path) {
    return QFileInfo::exists(path);
}

// The sum over the three channels of the colour differences, averaged over the pixels.
double MeanDifference(const QImage& a, const QImage& b) {
    long long sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum +=
                std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return static_cast<double>(sum) / (a.width() * a.height());
}

class PictureStatements : public ::testing::Test {
protected:
    void SetUp() override {
        InitAll();
        RunWindowQueue::Instance().Reset();
        ReopenHandOver();
        SetHandOverTarget(&target_); // the hand-over runs its work at once on this thread
        InstallGraphForm();
        Fe.ErrorNumber = 0;
        Fe.ErrorNameIndex = 0;
        Eng.ErrorAtCurrentItem = false;
    }
    void TearDown() override {
        CloseGraphForm();
        if (Win.LXGraphForm2 != nullptr) Win.LXGraphForm2->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        SetHandOverTarget(nullptr);
        SetCurrentGraphSurface(nullptr);
        Rc.GScreenOpen = 0;
        Ps.MathGraph = 0;
        RunWindowQueue::Instance().Reset();
        GlClear();
    }

    void GScreen(int width, int height) {
        GlPushNum(width);
        GlPushNum(height);
        ExecuteStatement(St::GSCREEN);
        ASSERT_EQ(Fe.ErrorNumber, 0);
        ASSERT_NE(CurrentGraphSurface(), nullptr);
    }
    static Canvas& Screen() { return CurrentGraphSurface()->Image1; }
    static Canvas& Buffer() { return CurrentGraphSurface()->Image2; }
    static void Fill(Canvas& canvas, QRect area, ColorWord colour) {
        canvas.Brush.Color = colour;
        canvas.Brush.Style = BrushStyle::Solid;
        canvas.FillRect(area.left(), area.top(), area.right() + 1, area.bottom() + 1);
    }
    // A picture of four coloured blocks on white.
    static void DrawBlocks() {
        Canvas& screen = Screen();
        Fill(screen, QRect(0, 0, screen.Width(), screen.Height()), White);
        Fill(screen, QRect(10, 10, 60, 40), Red);
        Fill(screen, QRect(80, 20, 50, 50), Blue);
        Fill(screen, QRect(20, 60, 100, 30), Green);
        Fill(screen, QRect(150, 5, 40, 90), Yellow);
    }

    // A statement or function run with no error before it; the error it raised.
    static int Run(void (*execute)(int), int code) {
        Fe.ErrorNumber = 0;
        Fe.ErrorNameIndex = 0;
        Eng.ErrorAtCurrentItem = false;
        execute(code);
        return Fe.ErrorNumber;
    }
    static int Route(int code) { return Run(ExecuteStatement, code); }
    static int Call(int code) { return Run(ExecuteFunction, code); }
    static int Statement(int code, const QString& name) {
        GlPushStr(name);
        return Route(code);
    }
    static int Statement(int code, const QString& first, const QString& second) {
        GlPushStr(first);
        GlPushStr(second);
        return Route(code);
    }
    static int Sized(int code, Extended width, Extended height) {
        GlPushNum(width);
        GlPushNum(height);
        return Route(code);
    }
    static int FileSized(int code, const QString& name, Extended width, Extended height) {
        GlPushStr(name);
        return Sized(code, width, height);
    }
    static QString PopText() {
        QString text;
        EXPECT_EQ(GlTopType(), GlValueType::String);
        GlPopStr(text);
        return text;
    }
    static QString ImageSize(const QString& name) {
        GlPushStr(name);
        EXPECT_EQ(Call(Fn::GETIMAGESIZEStr), 0);
        return PopText();
    }
    static QString PixelAt(Extended x, Extended y) {
        GlPushNum(x);
        GlPushNum(y);
        EXPECT_EQ(Call(Fn::GETRGBPIXEL), 0);
        return PopText();
    }
    static void ClearScreen() { Fill(Screen(), QRect(0, 0, Screen().Width(), Screen().Height()), White); }

    TemporaryCurrentFolder dir_;
    QObject target_;
};

// ---- saving and loading ----------------------------------------------------------------------------------

TEST_F(PictureStatements, EachTypeIsSavedAndLoadedBack) {
    GScreen(200, 100);
    DrawBlocks();
    const QImage drawn = Screen().Image().copy();
    for (const char* name : {"pic.png", "pic.bmp", "pic.gif", "pic.jpg"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(Statement(St::SAVEPICTURE + Form1, QString::fromLatin1(name)), 0);
        EXPECT_EQ(Vs.GlTypeStack.Count, 0);
        ClearScreen();
        ASSERT_EQ(Statement(St::LOADPICTURE + Form1, QString::fromLatin1(name)), 0);
        EXPECT_EQ(Vs.GlTypeStack.Count, 0);
        EXPECT_EQ(ImageSize(QString::fromLatin1(name)), QStringLiteral(" 200: 100"));
        if (QByteArray(name).endsWith("jpg"))
            EXPECT_LT(MeanDifference(Screen().Image(), drawn), 12.0);
        else
            EXPECT_EQ(Screen().Image(), drawn);
    }
}

TEST_F(PictureStatements, TheExtensionChoosesTheTypeInAnyCase) {
    GScreen(60, 40);
    DrawBlocks();
    ASSERT_EQ(Statement(St::SAVEPICTURE + Form1, QStringLiteral("a.Jpg")), 0);
    ASSERT_EQ(Statement(St::SAVEPICTURE + Form1, QStringLiteral("b.pNg")), 0);
    ASSERT_EQ(Statement(St::SAVEPICTURE + Form1, QStringLiteral("c.GIF")), 0);
    ASSERT_EQ(Statement(St::SAVEPICTURE + Form1, QStringLiteral("d.bmp")), 0);
    EXPECT_TRUE(ReadBytes(QStringLiteral("a.Jpg")).startsWith("\xFF\xD8\xFF"));
    EXPECT_TRUE(ReadBytes(QStringLiteral("b.pNg")).startsWith("\x89PNG"));
    EXPECT_TRUE(ReadBytes(QStringLiteral("c.GIF")).startsWith("GIF8"));
    EXPECT_TRUE(ReadBytes(QStringLiteral("d.bmp")).startsWith("BM"));
    // "\" separates folders in the names programs give.
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("sub")));
    ASSERT_EQ(Statement(St::SAVEPICTURE + Form1, QStringLiteral("sub\\e.png")), 0);
    EXPECT_TRUE(Exists(QStringLiteral("sub/e.png")));
}

TEST_F(PictureStatements, SavingOverAPictureKeepsTheOldOneAsBak) {
    GScreen(60, 40);
    Fill(Screen(), QRect(0, 0, 60, 40), Red);
    ASSERT_EQ(Statement(St::SAVEPICTURE + Form1, QStringLiteral("p.png")), 0);
    EXPECT_FALSE(Exists(QStringLiteral("p.bak")));
    Fill(Screen(), QRect(0, 0, 60, 40), Blue);
    ASSERT_EQ(Statement(St::SAVEPICTURE + Form1, QStringLiteral("p.png")), 0);
    EXPECT_EQ(QImage(QStringLiteral("p.bak"), "PNG").pixel(5, 5), ColorWordToRgb(Red));
    EXPECT_EQ(QImage(QStringLiteral("p.png")).pixel(5, 5), ColorWordToRgb(Blue));
    // A second replacement replaces the ".bak" file.
    Fill(Screen(), QRect(0, 0, 60, 40), Green);
    ASSERT_EQ(Statement(St::SAVEPICTURE + Form1, QStringLiteral("p.png")), 0);
    EXPECT_EQ(QImage(QStringLiteral("p.bak"), "PNG").pixel(5, 5), ColorWordToRgb(Blue));
    EXPECT_EQ(QImage(QStringLiteral("p.png")).pixel(5, 5), ColorWordToRgb(Green));
    // No file is left behind by the writing.
    EXPECT_EQ(QDir().entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST_F(PictureStatements, AnUnknownExtensionOrAFailedWriteChangesNothing) {
    GScreen(60, 40);
    ASSERT_TRUE(WriteBytes(QStringLiteral("notes.txt"), "keep me"));
    ASSERT_TRUE(WriteBytes(QStringLiteral("notes.bak"), "older"));
    EXPECT_EQ(Statement(St::SAVEPICTURE + Form1, QStringLiteral("notes.txt")), Err::PictureFormat);
    EXPECT_EQ(ReadBytes(QStringLiteral("notes.txt")), QByteArray("keep me"));
    EXPECT_EQ(ReadBytes(QStringLiteral("notes.bak")), QByteArray("older"));
    EXPECT_EQ(Statement(St::SAVEPICTURE + Form1, QStringLiteral("p.jpeg")), Err::PictureFormat);
    EXPECT_EQ(Statement(St::SAVEPICTURE + Form1, QStringLiteral("noext")), Err::PictureFormat);

    // A folder that does not exist, or a folder in the file's place: reported, nothing changed.
    EXPECT_EQ(Statement(St::SAVEPICTURE + Form1, QStringLiteral("missing\\p.png")), Err::LoadSaveFailed);
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("d.png")));
    EXPECT_EQ(Statement(St::SAVEPICTURE + Form1, QStringLiteral("d.png")), Err::LoadSaveFailed);
    EXPECT_TRUE(QFileInfo(QStringLiteral("d.png")).isDir());
    EXPECT_FALSE(Exists(QStringLiteral("d.bak")));
    // An empty area gives no picture to save.
    EXPECT_EQ(FileSized(St::SAVEPICTURE + Form3, QStringLiteral("e.png"), 0, 10), Err::LoadSaveFailed);
    EXPECT_FALSE(Exists(QStringLiteral("e.png")));
    EXPECT_EQ(Vs.GlTypeStack.Count, 0);
}

TEST_F(PictureStatements, LoadingRefusesMissingUnknownAndBrokenFiles) {
    GScreen(60, 40);
    EXPECT_EQ(Statement(St::LOADPICTURE + Form1, QStringLiteral("missing.png")), Err::FileNotFound);
    EXPECT_EQ(Statement(St::LOADPICTURE + Form1, QString()), Err::FileNotFound);
    ASSERT_TRUE(WriteBytes(QStringLiteral("p.jpeg"), "x"));
    EXPECT_EQ(Statement(St::LOADPICTURE + Form1, QStringLiteral("p.jpeg")), Err::PictureFormat);
    ASSERT_TRUE(WriteBytes(QStringLiteral("broken.png"), "not a picture"));
    EXPECT_EQ(Statement(St::LOADPICTURE + Form1, QStringLiteral("broken.png")), Err::LoadSaveFailed);
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("folder.png")));
    EXPECT_EQ(Statement(St::LOADPICTURE + Form1, QStringLiteral("folder.png")), Err::FileNotFound);
    // A PNG file named .gif is still read.
    ASSERT_TRUE(QImage(8, 8, QImage::Format_RGB32).save(QStringLiteral("png.gif"), "PNG"));
    EXPECT_EQ(Statement(St::LOADPICTURE + Form1, QStringLiteral("png.gif")), 0);
}

TEST_F(PictureStatements, OperandsOfTheWrongTypeNameTheStatement) {
    GScreen(60, 40);
    GlPushNum(1);
    EXPECT_EQ(Route(St::LOADPICTURE + Form1), Err::StatementType);
    EXPECT_EQ(Fe.ErrorNameIndex, St::LOADPICTURE);
    GlClear();
    GlPushStr(QStringLiteral("a"));
    GlPushNum(1);
    EXPECT_EQ(Route(St::SAVEPICTURE + Form2), Err::StatementType);
    EXPECT_EQ(Fe.ErrorNameIndex, St::SAVEPICTURE);
    GlClear();
    GlPushNum(1);
    GlPushNum(2);
    GlPushNum(3);
    EXPECT_EQ(Route(St::SAVEPICTURE + Form3), Err::StatementType);
    EXPECT_EQ(Fe.ErrorNameIndex, St::SAVEPICTURE);
}

TEST_F(PictureStatements, WithoutAWindowThePictureStatementsStopAtTheStatement) {
    EXPECT_EQ(Route(St::SAVEPICTURE), Err::NoGraphicsWindow);
    EXPECT_TRUE(Eng.ErrorAtCurrentItem);
    EXPECT_EQ(FileSized(St::LOADPICTURE + Form3, QStringLiteral("a.png"), 1, 2), Err::NoGraphicsWindow);
    EXPECT_TRUE(Eng.ErrorAtCurrentItem);
    EXPECT_EQ(Vs.GlTypeStack.Count, 0); // the refused statement's operands are gone
    GlPushNum(1);
    GlPushNum(1);
    EXPECT_EQ(Call(Fn::GETRGBPIXEL), Err::NoGraphicsWindow);
}

// ---- the picture buffer -----------------------------------------------------------------------------------

TEST_F(PictureStatements, TheBufferIsPlacedFromGfLocateAtGLocate) {
    GScreen(200, 100);
    // A 50 x 40 picture whose every pixel tells its position.
    QImage picture(50, 40, QImage::Format_RGB32);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x)
            picture.setPixel(x, y, qRgb(x * 4, y * 4, 100));
    ASSERT_TRUE(picture.save(QStringLiteral("f.png")));

    ClearScreen();
    ASSERT_EQ(Statement(St::LOADPICTURE + Form1, QStringLiteral("f.png")), 0);
    // Without GFLOCATE the buffer is taken from (0, 0).
    EXPECT_EQ(Screen().Image().pixel(0, 0), picture.pixel(0, 0));
    EXPECT_EQ(Screen().Image().pixel(49, 39), picture.pixel(49, 39));

    ClearScreen();
    Ps.GFLocateX = 10;
    Ps.GFLocateY = 5;
    Ps.GLocateX = 20;
    Ps.GLocateY = 30;
    ASSERT_EQ(FileSized(St::LOADPICTURE + Form3, QStringLiteral("f.png"), -15, 10.9L), 0);
    EXPECT_EQ(Screen().Image().pixel(20, 30), picture.pixel(10, 5));
    EXPECT_EQ(Screen().Image().pixel(34, 39), picture.pixel(24, 14));
    EXPECT_EQ(Screen().Pixel(35, 30), White); // 15 wide
    EXPECT_EQ(Screen().Pixel(20, 40), White); // 10 high
    EXPECT_EQ(Screen().Pixel(19, 30), White);

    // The size form places the buffer as it stands.
    ClearScreen();
    ASSERT_EQ(Sized(St::LOADPICTURE + Form2, 3, 2), 0);
    EXPECT_EQ(Screen().Image().pixel(22, 31), picture.pixel(12, 6));
    EXPECT_EQ(Screen().Pixel(23, 30), White);
    EXPECT_EQ(Vs.GlTypeStack.Count, 0);
}

TEST_F(PictureStatements, APictureLargerThanTheWindowCanBeReachedWithGfLocate) {
    GScreen(200, 100);
    QImage picture(300, 150, QImage::Format_RGB32);
    picture.fill(qRgb(0, 0, 255));
    for (int y = 100; y < 150; ++y)
        for (int x = 200; x < 300; ++x)
            picture.setPixel(x, y, qRgb(255, 0, 0));
    ASSERT_TRUE(picture.save(QStringLiteral("big.bmp")));
    ASSERT_EQ(Statement(St::LOADPICTURE + Form1, QStringLiteral("big.bmp")), 0);
    EXPECT_EQ(Buffer().Width(), 300);
    EXPECT_EQ(Buffer().Height(), 150);
    EXPECT_EQ(Screen().Pixel(199, 99), Blue);
    ClearScreen();
    Ps.GFLocateX = 200;
    Ps.GFLocateY = 100;
    ASSERT_EQ(Route(St::LOADPICTURE), 0);
    EXPECT_EQ(Screen().Pixel(0, 0), Red);
    EXPECT_EQ(Screen().Pixel(99, 49), Red);
    EXPECT_EQ(Screen().Pixel(100, 49), White); // beyond the buffer nothing is copied
    EXPECT_EQ(Screen().Pixel(99, 50), White);
    EXPECT_EQ(ImageSize(QStringLiteral("big.bmp")), QStringLiteral(" 300: 150"));
}

TEST_F(PictureStatements, PositionsAndSizesFarOutsideTheBitmapAreClipped) {
    GScreen(100, 50);
    Fill(Buffer(), QRect(0, 0, 100, 50), Red);
    ClearScreen();
    Ps.GFLocateX = -5;
    Ps.GFLocateY = -5;
    ASSERT_EQ(Sized(St::LOADPICTURE + Form2, 1e30L, -1e4000L), 0);
    EXPECT_EQ(Screen().Pixel(4, 4), White);
    EXPECT_EQ(Screen().Pixel(5, 5), Red);
    EXPECT_EQ(Screen().Pixel(99, 49), Red);

    ClearScreen();
    Ps.GFLocateX = 1e300L;
    Ps.GLocateX = -1e300L;
    ASSERT_EQ(Sized(St::LOADPICTURE + Form2, 1e30L, 1e30L), 0);
    Ps.GFLocateX = std::numeric_limits<Extended>::quiet_NaN();
    ASSERT_EQ(Route(St::LOADPICTURE), 0);
    Ps.GLocateX = 0;
    Ps.GLocateY = 1e20L;
    ASSERT_EQ(Sized(St::SAVEPICTURE + Form2, 1e30L, 1e30L), 0);
    EXPECT_EQ(FileSized(St::SAVEPICTURE + Form3, QStringLiteral("x.png"), 10, 10), Err::LoadSaveFailed);
}

TEST_F(PictureStatements, SavePictureFormsFillTheBufferOrTheFile) {
    GScreen(200, 100);
    DrawBlocks();
    Fill(Buffer(), QRect(0, 0, Buffer().Width(), Buffer().Height()), Green);
    ASSERT_TRUE(Buffer().SetSize(250, 120, Green));

    // SAVEPICTURE: the buffer becomes the bitmap's size and a copy of the surface.
    ASSERT_EQ(Route(St::SAVEPICTURE), 0);
    EXPECT_EQ(Buffer().Image(), Screen().Image());

    // SAVEPICTURE w, h: the area at GLOCATE, held within the bitmap, goes to (0, 0) of the buffer.
    Fill(Buffer(), QRect(0, 0, 200, 100), Green);
    Ps.GLocateX = 150;
    Ps.GLocateY = 80;
    ASSERT_EQ(Sized(St::SAVEPICTURE + Form2, -100, 100), 0);
    EXPECT_EQ(Buffer().Pixel(0, 0), Yellow);   // screen (150, 80)
    EXPECT_EQ(Buffer().Pixel(39, 14), Yellow); // screen (189, 94)
    EXPECT_EQ(Buffer().Pixel(49, 19), White);  // screen (199, 99)
    EXPECT_EQ(Buffer().Pixel(50, 0), Green);   // beyond the right edge of the bitmap
    EXPECT_EQ(Buffer().Pixel(0, 20), Green);

    // SAVEPICTURE file, w, h: a picture file of that area.
    ASSERT_EQ(FileSized(St::SAVEPICTURE + Form3, QStringLiteral("part.png"), 100, 100), 0);
    const QImage part(QStringLiteral("part.png"));
    EXPECT_EQ(part.size(), QSize(50, 20));
    EXPECT_EQ(part.pixel(0, 0), ColorWordToRgb(Yellow));
    Ps.GLocateX = 10;
    Ps.GLocateY = 10;
    ASSERT_EQ(FileSized(St::SAVEPICTURE + Form3, QStringLiteral("part.gif"), 3, 2), 0);
    EXPECT_EQ(ImageSize(QStringLiteral("part.gif")), QStringLiteral("   3:   2"));
    EXPECT_EQ(QImage(QStringLiteral("part.gif")).pixel(2, 1), ColorWordToRgb(Red));
    EXPECT_EQ(Vs.GlTypeStack.Count, 0);
}

// ---- pixels and picture sizes -----------------------------------------------------------------------------

TEST_F(PictureStatements, GetRgbPixelReadsWherePsetDraws) {
    GScreen(100, 50);
    Screen().SetPixel(10, 20, Red);
    Screen().SetPixel(10, 29, Blue);
    EXPECT_EQ(PixelAt(10, 20), QStringLiteral("#FF0000"));
    EXPECT_EQ(PixelAt(10.4L, 19.6L), QStringLiteral("#FF0000"));
    EXPECT_EQ(PixelAt(0, 0), QStringLiteral("#FFFFFF"));
    // Outside the picture: the colour 0xFFFFF.
    EXPECT_EQ(PixelAt(100, 0), QStringLiteral("#FFFF0F"));
    EXPECT_EQ(PixelAt(-1e30L, 5), QStringLiteral("#FFFF0F"));
    // With the y axis upwards the pixel that PSET drew for the same point is read.
    Ps.MathGraph = 1;
    EXPECT_EQ(PixelAt(10, 20), QStringLiteral("#0000FF"));
    Ps.MathGraph = 0;
    // World coordinates.
    Ps.WorldXScale = 2;
    Ps.WorldYScale = 2;
    EXPECT_EQ(PixelAt(5, 10), QStringLiteral("#FF0000"));

    GlPushStr(QStringLiteral("1"));
    GlPushNum(1);
    EXPECT_EQ(Call(Fn::GETRGBPIXEL), Err::FunctionArgType);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::GETRGBPIXEL);
}

TEST_F(PictureStatements, GetImageSizeMeasuresAndRefuses) {
    ASSERT_TRUE(QImage(640, 480, QImage::Format_RGB32).save(QStringLiteral("v.jpg")));
    EXPECT_EQ(ImageSize(QStringLiteral("v.jpg")), QStringLiteral(" 640: 480"));
    // Five digits are shown whole, not cut to the last four.
    ASSERT_TRUE(QImage(12000, 1, QImage::Format_RGB32).save(QStringLiteral("wide.bmp")));
    EXPECT_EQ(ImageSize(QStringLiteral("wide.bmp")), QStringLiteral("12000:   1"));

    ASSERT_TRUE(QImage(5, 5, QImage::Format_RGB32).save(QStringLiteral("v.jpeg"), "JPEG"));
    GlPushStr(QStringLiteral("v.jpeg"));
    EXPECT_EQ(Call(Fn::GETIMAGESIZEStr), Err::PictureFormat);
    GlPushStr(QStringLiteral("missing.png"));
    EXPECT_EQ(Call(Fn::GETIMAGESIZEStr), Err::FileNotFound);
    ASSERT_TRUE(WriteBytes(QStringLiteral("broken.gif"), "GIF? no"));
    GlPushStr(QStringLiteral("broken.gif"));
    EXPECT_EQ(Call(Fn::GETIMAGESIZEStr), Err::FunctionFailed);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::GETIMAGESIZEStr);
    GlPushNum(3);
    EXPECT_EQ(Call(Fn::GETIMAGESIZEStr), Err::FunctionArgType);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::GETIMAGESIZEStr);
}

// ---- names and backups ------------------------------------------------------------------------------------

TEST(PictureNames, TypesAndBackupNamesFollowTheLastExtension) {
    EXPECT_EQ(PictureTypeOf(QStringLiteral("a.JPG")), PictureType::Jpeg);
    EXPECT_EQ(PictureTypeOf(QStringLiteral("dir.png\\a.bmp")), PictureType::Bmp);
    EXPECT_EQ(PictureTypeOf(QStringLiteral("a.gif.txt")), PictureType::None);
    EXPECT_EQ(PictureTypeOf(QStringLiteral("dir.png/a")), PictureType::None);
    EXPECT_EQ(PictureTypeOf(QStringLiteral(".png")), PictureType::Png);
    EXPECT_EQ(BackupNameOf(QStringLiteral("d/a.txt")), QStringLiteral("d/a.bak"));
    EXPECT_EQ(BackupNameOf(QStringLiteral("d.x/a")), QStringLiteral("d.x/a.bak"));
    EXPECT_EQ(BackupNameOf(QStringLiteral("a.tar.gz")), QStringLiteral("a.tar.bak"));
    EXPECT_EQ(ImageSizeText(QSize(7, 123456)), QStringLiteral("   7:123456"));
}

TEST_F(PictureStatements, KillKeepsTheFileUnderItsBakName) {
    ASSERT_TRUE(WriteBytes(QStringLiteral("a.txt"), "text"));
    ASSERT_TRUE(WriteBytes(QStringLiteral("a.bak"), "older"));
    ASSERT_EQ(Statement(St::KILL, QStringLiteral("a.txt")), 0);
    EXPECT_FALSE(Exists(QStringLiteral("a.txt")));
    EXPECT_EQ(ReadBytes(QStringLiteral("a.bak")), QByteArray("text"));

    EXPECT_EQ(Statement(St::KILL, QStringLiteral("a.txt")), Err::KillFileMissing);
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("folder")));
    EXPECT_EQ(Statement(St::KILL, QStringLiteral("folder")), Err::KillFileMissing);
    EXPECT_TRUE(QFileInfo(QStringLiteral("folder")).isDir());
    // A ".bak" file has no backup of its own.
    ASSERT_EQ(Statement(St::KILL, QStringLiteral("a.bak")), 0);
    EXPECT_FALSE(Exists(QStringLiteral("a.bak")));
    // A folder under the backup name is not removed: the file stays.
    ASSERT_TRUE(WriteBytes(QStringLiteral("b.txt"), "b"));
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("b.bak")));
    EXPECT_EQ(Statement(St::KILL, QStringLiteral("b.txt")), Err::KillFailed);
    EXPECT_EQ(ReadBytes(QStringLiteral("b.txt")), QByteArray("b"));

    GlPushNum(1);
    EXPECT_EQ(Route(St::KILL), Err::StatementType);
    EXPECT_EQ(Fe.ErrorNameIndex, St::KILL);
}

TEST_F(PictureStatements, NameRenamesButNeverReplaces) {
    ASSERT_TRUE(WriteBytes(QStringLiteral("old.txt"), "old"));
    ASSERT_TRUE(WriteBytes(QStringLiteral("other.txt"), "other"));
    EXPECT_EQ(Statement(St::NAME, QStringLiteral("old.txt"), QStringLiteral("other.txt")),
              Err::NameTargetExists);
    EXPECT_EQ(ReadBytes(QStringLiteral("old.txt")), QByteArray("old"));
    EXPECT_EQ(ReadBytes(QStringLiteral("other.txt")), QByteArray("other"));

    ASSERT_EQ(Statement(St::NAME, QStringLiteral("old.txt"), QStringLiteral("new.txt")), 0);
    EXPECT_FALSE(Exists(QStringLiteral("old.txt")));
    EXPECT_EQ(ReadBytes(QStringLiteral("new.txt")), QByteArray("old"));

    EXPECT_EQ(Statement(St::NAME, QStringLiteral("old.txt"), QStringLiteral("x.txt")),
              Err::NameSourceMissing);
    EXPECT_EQ(Statement(St::NAME, QStringLiteral("new.txt"), QStringLiteral("nofolder\\x.txt")),
              Err::NameFailed);
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("sub")));
    EXPECT_EQ(Statement(St::NAME, QStringLiteral("new.txt"), QStringLiteral("sub")), Err::NameFailed);
    ASSERT_EQ(Statement(St::NAME, QStringLiteral("new.txt"), QStringLiteral("sub\\moved.txt")), 0);
    EXPECT_EQ(ReadBytes(QStringLiteral("sub/moved.txt")), QByteArray("old"));

    GlPushStr(QStringLiteral("a"));
    GlPushNum(1);
    EXPECT_EQ(Route(St::NAME), Err::StatementType);
    EXPECT_EQ(Fe.ErrorNameIndex, St::NAME);
}

TEST_F(PictureStatements, FileCopyCopiesAndKeepsAReplacedFileAsBak) {
    ASSERT_TRUE(WriteBytes(QStringLiteral("s.txt"), "source"));
    ASSERT_EQ(Statement(St::FILECOPY, QStringLiteral("s.txt"), QStringLiteral("t.txt")), 0);
    EXPECT_EQ(ReadBytes(QStringLiteral("s.txt")), QByteArray("source"));
    EXPECT_EQ(ReadBytes(QStringLiteral("t.txt")), QByteArray("source"));

    ASSERT_TRUE(WriteBytes(QStringLiteral("s.txt"), "second"));
    ASSERT_EQ(Statement(St::FILECOPY, QStringLiteral("s.txt"), QStringLiteral("t.txt")), 0);
    EXPECT_EQ(ReadBytes(QStringLiteral("t.txt")), QByteArray("second"));
    EXPECT_EQ(ReadBytes(QStringLiteral("t.bak")), QByteArray("source"));

    // Into a folder, one file or several by a pattern.
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("into")));
    ASSERT_EQ(Statement(St::FILECOPY, QStringLiteral("s.txt"), QStringLiteral("into")), 0);
    EXPECT_EQ(ReadBytes(QStringLiteral("into/s.txt")), QByteArray("second"));
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("all")));
    ASSERT_EQ(Statement(St::FILECOPY, QStringLiteral("*.TXT"), QStringLiteral("all\\")), 0);
    EXPECT_EQ(QDir(QStringLiteral("all")).entryList(QDir::Files), QStringList({"s.txt", "t.txt"}));
    EXPECT_EQ(Statement(St::FILECOPY, QStringLiteral("*.txt"), QStringLiteral("one.txt")),
              Err::StatementFailed);
    EXPECT_EQ(Statement(St::FILECOPY, QStringLiteral("*.none"), QStringLiteral("all")), Err::FileNotFound);
    // A folder where the copy would go is neither replaced nor moved aside.
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("into2/s.txt")));
    EXPECT_EQ(Statement(St::FILECOPY, QStringLiteral("s.txt"), QStringLiteral("into2")),
              Err::StatementFailed);
    EXPECT_TRUE(QFileInfo(QStringLiteral("into2/s.txt")).isDir());
    EXPECT_FALSE(Exists(QStringLiteral("into2/s.bak")));

    // Failures are reported and lose nothing.
    EXPECT_EQ(Statement(St::FILECOPY, QStringLiteral("missing.txt"), QStringLiteral("m.txt")),
              Err::FileNotFound);
    EXPECT_EQ(Statement(St::FILECOPY, QStringLiteral("s.txt"), QStringLiteral("s.txt")),
              Err::StatementFailed);
    EXPECT_EQ(Fe.ErrorNameIndex, St::FILECOPY);
    EXPECT_EQ(ReadBytes(QStringLiteral("s.txt")), QByteArray("second"));
    EXPECT_EQ(Statement(St::FILECOPY, QStringLiteral("s.txt"), QStringLiteral("nofolder\\s.txt")),
              Err::StatementFailed);
    EXPECT_EQ(QDir().entryList(QDir::Files | QDir::Hidden).size(), 3); // s.txt, t.txt, t.bak

    GlPushNum(1);
    GlPushStr(QStringLiteral("a"));
    EXPECT_EQ(Route(St::FILECOPY), Err::StatementType);
    EXPECT_EQ(Fe.ErrorNameIndex, St::FILECOPY);
}

TEST_F(PictureStatements, ChDirChangesTheFolderThatNamesAreFoundIn) {
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("a/b")));
    ASSERT_TRUE(WriteBytes(QStringLiteral("a/b/f.txt"), "f"));
    ASSERT_EQ(Statement(St::CHDIR, QStringLiteral("a\\b")), 0);
    EXPECT_EQ(QDir::current().dirName(), QStringLiteral("b"));
    ASSERT_EQ(Statement(St::KILL, QStringLiteral("f.txt")), 0);
    EXPECT_TRUE(Exists(dir_.FilePath(QStringLiteral("a/b/f.bak"))));
    EXPECT_EQ(Statement(St::CHDIR, QStringLiteral("nowhere")), Err::ChDirFailed);
    EXPECT_EQ(Statement(St::CHDIR, QString()), Err::ChDirFailed);
    EXPECT_EQ(QDir::current().dirName(), QStringLiteral("b"));
    GlPushNum(1);
    EXPECT_EQ(Route(St::CHDIR), Err::StatementType);
    EXPECT_EQ(Fe.ErrorNameIndex, St::CHDIR);
}

// ---- program text -----------------------------------------------------------------------------------------

TEST_F(PictureStatements, LoadReplacesTheProgramTextAndListAppendsIt) {
    Fe.ProgramText = QStringLiteral("PRINT 0\r\n");
    // UTF-8 with a byte-order mark, LF line ends and no line end at the end.
    ASSERT_TRUE(WriteBytes(QStringLiteral("prog.lxt"), "\xEF\xBB\xBFPRINT \"\xE6\x97\xA5\"\nPRINT 2"));
    ASSERT_EQ(Statement(St::LOAD, QStringLiteral("prog.lxt")), 0);
    EXPECT_EQ(Fe.ProgramText, QStringLiteral("PRINT \"日\"\r\nPRINT 2\r\n"));
    EXPECT_EQ(Fe.ProgramTextLength, Fe.ProgramText.size());

    RunWindowQueue::Instance().Reset();
    ASSERT_EQ(Route(St::LIST), 0);
    const std::deque<RunWindowEvent> events = RunWindowQueue::Instance().TakeAll();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].Op, RunWindowOp::AppendText);
    EXPECT_EQ(events[0].Text, QStringLiteral("PRINT \"日\"\nPRINT 2\n"));

    // Nothing to list: nothing appended.
    Fe.ProgramText.clear();
    ASSERT_EQ(Route(St::LIST), 0);
    EXPECT_TRUE(RunWindowQueue::Instance().TakeAll().empty());

    Fe.ProgramText = QStringLiteral("kept");
    EXPECT_EQ(Statement(St::LOAD, QStringLiteral("missing.lxt")), Err::FileNotFound);
    EXPECT_EQ(Fe.ProgramText, QStringLiteral("kept"));
    GlPushNum(1);
    EXPECT_EQ(Route(St::LOAD), Err::StatementType);
    EXPECT_EQ(Fe.ErrorNameIndex, St::LOAD);
}

TEST_F(PictureStatements, FormsWithoutAnExecutorAreReported) {
    ExecuteStatement(St::LOADPICTURE + 4 * ArgumentFormStep);
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementNotSupported);
    Fe.ErrorNumber = 0;
    ExecuteFunction(Fn::GETRGBPIXEL + FunctionFormStep);
    EXPECT_EQ(Fe.ErrorNumber, Err::FunctionNotSupported);
    Fe.ErrorNumber = 0;
}

} // namespace
