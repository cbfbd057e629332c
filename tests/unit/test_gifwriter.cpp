// GIF writing: every file is read back through the framework's own GIF reader. Pictures of at most
// 256 colours come back pixel for pixel; richer ones come back with at most 256 colours close to the
// originals; an empty, oversized or unwritable picture is refused.
#include "platform/gifwriter.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QSet>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

QImage ReadBack(const QByteArray& bytes) {
    return QImage::fromData(bytes, "GIF").convertToFormat(QImage::Format_RGB32);
}

QByteArray Written(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(WriteGifImage(image, buffer));
    return bytes;
}

// Counts the pixels whose colour differs, ignoring alpha.
int DifferentPixels(const QImage& a, const QImage& b) {
    int different = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF)) ++different;
    return different;
}

QSet<QRgb> ColoursOf(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y) & 0xFFFFFF);
    return colours;
}

// A picture using exactly `count` colours, spread over both axes.
QImage PictureOfColours(int count, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int k = (x + y * width) % count;
            image.setPixel(x, y, qRgb((k * 37) % 256, (k * 91 + 13) % 256, k));
        }
    return image;
}

TEST(GifWriter, PicturesOfFewColoursComeBackExactly) {
    for (const int count : {1, 2, 5, 17, 255, 256}) {
        SCOPED_TRACE(count);
        const QImage image = PictureOfColours(count, 40, 30);
        ASSERT_EQ(ColoursOf(image).size(), count);
        const QImage back = ReadBack(Written(image));
        ASSERT_EQ(back.size(), image.size());
        EXPECT_EQ(DifferentPixels(image, back), 0);
    }
}

TEST(GifWriter, PicturesOfManyColoursAreReducedToCloseColours) {
    // A smooth picture of far more than 256 colours.
    QImage image(120, 90, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 2, y * 2, (x + y) % 256));
    ASSERT_GT(ColoursOf(image).size(), GifMaxColors);

    const QImage back = ReadBack(Written(image));
    ASSERT_EQ(back.size(), image.size());
    EXPECT_LE(ColoursOf(back).size(), GifMaxColors);
    long long error = 0;
    int worst = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb a = image.pixel(x, y), b = back.pixel(x, y);
            const int d =
                std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
            error += d;
            worst = std::max(worst, d);
        }
    const double mean = static_cast<double>(error) / (image.width() * image.height());
    EXPECT_LT(mean, 24.0); // a real reduction, not a picture of some other colours
    EXPECT_LT(worst, 160);
}

TEST(GifWriter, TheSamePictureAlwaysGivesTheSameFile) {
    const QImage image = PictureOfColours(7, 16, 16);
    EXPECT_EQ(Written(image), Written(image));
    // Alpha does not count: an opaque and a transparent pixel of one colour are the same colour.
    QImage translucent = image.convertToFormat(QImage::Format_ARGB32);
    translucent.setPixel(0, 0, image.pixel(0, 0) & 0x00FFFFFF);
    EXPECT_EQ(DifferentPixels(ReadBack(Written(translucent)), image), 0);
}

TEST(GifWriter, EmptyOversizedAndUnwritablePicturesAreRefused) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QString error;
    EXPECT_FALSE(WriteGifImage(QImage(), buffer, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(WriteGifImage(QImage(70000, 1, QImage::Format_RGB32), buffer));
    EXPECT_TRUE(bytes.isEmpty());

    QByteArray fixed("x");
    QBuffer readOnly(&fixed);
    readOnly.open(QIODevice::ReadOnly);
    error.clear();
    EXPECT_FALSE(WriteGifImage(PictureOfColours(3, 8, 8), readOnly, &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
