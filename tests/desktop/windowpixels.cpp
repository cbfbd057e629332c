// windowpixels: what one window of the X display shows, read back from the server, for the desktop
// test. Prints how many pixels the window's client area has, how many of them are black and how many
// colours there are, and saves the picture when asked:
//
//   windowpixels WINDOW-ID [OUT.png]
//   -> "pixels=N black=B colours=C"
//
// Exits 2 on a usage error or when the window cannot be read.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QSet>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: windowpixels WINDOW-ID [OUT.png]\n");
        return 2;
    }
    char* end = nullptr;
    const unsigned long long id = std::strtoull(argv[1], &end, 0);
    if (end == argv[1] || *end != '\0' || id == 0) {
        std::fprintf(stderr, "windowpixels: not a window id: %s\n", argv[1]);
        return 2;
    }
    QGuiApplication app(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return 2;
    const QImage shot =
        screen->grabWindow(static_cast<WId>(id)).toImage().convertToFormat(QImage::Format_RGB32);
    if (shot.isNull()) {
        std::fprintf(stderr, "windowpixels: window %s cannot be read\n", argv[1]);
        return 2;
    }
    if (argc == 3 && !shot.save(QString::fromLocal8Bit(argv[2]))) return 2;
    long long black = 0;
    QSet<QRgb> colours;
    for (int y = 0; y < shot.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb pixel = line[x] & RGB_MASK;
            if (pixel == 0) ++black;
            colours.insert(pixel);
        }
    }
    std::printf("pixels=%lld black=%lld colours=%lld\n", static_cast<long long>(shot.width()) * shot.height(),
                black, static_cast<long long>(colours.size()));
    return 0;
}
