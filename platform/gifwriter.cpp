// GIF writing over giflib: a picture's exact palette when it has at most 256 colours, else the library's
// quantised one.
#include "platform/gifwriter.h"

#include <QHash>
#include <QIODevice>

#include <gif_lib.h>

#include <algorithm>
#include <new>
#include <vector>

namespace {

constexpr int GifMaxSide = 65535;     // the format stores sizes in 16 bits
constexpr int GifColorResolution = 8; // bits per primary colour
constexpr int GifMinPaletteSize = 2;  // the smallest colour table the format knows
constexpr int GifBackgroundIndex = 0;

struct OutputTarget {
    QIODevice* Device = nullptr;
    bool Failed = false;
};

int WriteToDevice(GifFileType* gif, const GifByteType* bytes, int count) {
    auto* target = static_cast<OutputTarget*>(gif->UserData);
    if (target->Failed) return 0;
    if (target->Device->write(reinterpret_cast<const char*>(bytes), count) != count) {
        target->Failed = true;
        return 0;
    }
    return count;
}

// Colour tables hold a power of two entries.
int PaletteSizeFor(int colours) {
    int size = GifMinPaletteSize;
    while (size < colours)
        size *= 2;
    return size;
}

GifColorType ToGifColor(QRgb rgb) {
    GifColorType c;
    c.Red = static_cast<GifByteType>(qRed(rgb));
    c.Green = static_cast<GifByteType>(qGreen(rgb));
    c.Blue = static_cast<GifByteType>(qBlue(rgb));
    return c;
}

// The picture's own colours when there are at most 256 of them, each pixel as its index; false when
// there are more.
bool ExactPalette(const QImage& image, std::vector<GifColorType>& palette, std::vector<GifByteType>& pixels) {
    QHash<QRgb, int> index;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QRgb last = 0;
        bool haveLast = false;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x] | 0xFF000000u;
            if (haveLast && c == last) continue;
            last = c;
            haveLast = true;
            if (!index.contains(c)) {
                if (index.size() == GifMaxColors) return false;
                index.insert(c, 0);
            }
        }
    }
    // A sorted table: the same picture always gives the same file.
    std::vector<QRgb> colours(index.keyBegin(), index.keyEnd());
    std::sort(colours.begin(), colours.end());
    for (std::size_t k = 0; k < colours.size(); ++k) {
        index[colours[k]] = static_cast<int>(k);
        palette.push_back(ToGifColor(colours[k]));
    }
    const std::size_t width = static_cast<std::size_t>(image.width());
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        GifByteType* out = pixels.data() + static_cast<std::size_t>(y) * width;
        for (std::size_t x = 0; x < width; ++x)
            out[x] = static_cast<GifByteType>(index.value(line[x] | 0xFF000000u));
    }
    return true;
}

// More than 256 colours: the library's median cut picks the table and maps every pixel to it.
bool QuantizedPalette(const QImage& image, std::vector<GifColorType>& palette,
                      std::vector<GifByteType>& pixels) {
    const std::size_t count = pixels.size();
    std::vector<GifByteType> red(count), green(count), blue(count);
    const std::size_t width = static_cast<std::size_t>(image.width());
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        const std::size_t row = static_cast<std::size_t>(y) * width;
        for (std::size_t x = 0; x < width; ++x) {
            red[row + x] = static_cast<GifByteType>(qRed(line[x]));
            green[row + x] = static_cast<GifByteType>(qGreen(line[x]));
            blue[row + x] = static_cast<GifByteType>(qBlue(line[x]));
        }
    }
    std::vector<GifColorType> table(GifMaxColors);
    int size = GifMaxColors;
    if (GifQuantizeBuffer(static_cast<unsigned>(image.width()), static_cast<unsigned>(image.height()), &size,
                          red.data(), green.data(), blue.data(), pixels.data(), table.data()) != GIF_OK)
        return false;
    size = std::clamp(size, 1, GifMaxColors);
    palette.assign(table.begin(), table.begin() + size);
    return true;
}

bool Fail(QString* error, const QString& reason) {
    if (error != nullptr) *error = reason;
    return false;
}

} // namespace

bool WriteGifImage(const QImage& source, QIODevice& device, QString* error) {
    if (source.isNull() || source.width() < 1 || source.height() < 1)
        return Fail(error, QStringLiteral("empty picture"));
    if (source.width() > GifMaxSide || source.height() > GifMaxSide)
        return Fail(error, QStringLiteral("picture too large for GIF"));

    std::vector<GifColorType> palette;
    std::vector<GifByteType> pixels;
    try {
        const QImage image = source.convertToFormat(QImage::Format_RGB32);
        if (image.isNull()) return Fail(error, QStringLiteral("out of memory"));
        pixels.resize(static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height()));
        if (!ExactPalette(image, palette, pixels)) {
            palette.clear();
            if (!QuantizedPalette(image, palette, pixels))
                return Fail(error, QStringLiteral("quantisation failed"));
        }
    } catch (const std::bad_alloc&) {
        return Fail(error, QStringLiteral("out of memory"));
    }

    std::vector<GifColorType> table(
        static_cast<std::size_t>(PaletteSizeFor(static_cast<int>(palette.size()))), GifColorType{0, 0, 0});
    std::copy(palette.begin(), palette.end(), table.begin());

    OutputTarget target;
    target.Device = &device;
    int code = E_GIF_SUCCEEDED;
    GifFileType* gif = EGifOpen(&target, WriteToDevice, &code);
    if (gif == nullptr) return Fail(error, QString::fromLatin1(GifErrorString(code)));
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(table.size()), table.data());
    const int width = source.width(), height = source.height();
    bool ok = map != nullptr &&
              EGifPutScreenDesc(gif, width, height, GifColorResolution, GifBackgroundIndex, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < height; ++y)
        ok = EGifPutLine(gif, pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width),
                         width) == GIF_OK;
    if (!ok) code = gif->Error;
    GifFreeMapObject(map);
    int closeCode = E_GIF_SUCCEEDED;
    // The library frees its file structure whether or not closing succeeds.
    if (EGifCloseFile(gif, &closeCode) != GIF_OK && ok) {
        ok = false;
        code = closeCode;
    }
    if (target.Failed) return Fail(error, QStringLiteral("write failed"));
    if (!ok) return Fail(error, QString::fromLatin1(GifErrorString(code)));
    return true;
}
