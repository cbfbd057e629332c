// paint: 10 flood fills of a whole 2000 x 2000 picture (4,000,000 pixels) from its centre, navy and
// green in turn, up to a border colour that is nowhere: a scanline fill on a QImage's rows. Prints N.
// Usage: paint [N] [--units]  (--units: N fills)
#include "workload.h"

#include <QImage>

#include <vector>

namespace {

// Fills the pixels reachable from (x, y) that are neither the border colour nor already `fill`.
void ScanlineFill(QImage& image, int x, int y, QRgb fill, QRgb border) {
    const int w = image.width(), h = image.height();
    auto fillable = [&](const QRgb* row, int at) { return row[at] != border && row[at] != fill; };
    std::vector<QPoint> seeds{QPoint(x, y)};
    while (!seeds.empty()) {
        const QPoint seed = seeds.back();
        seeds.pop_back();
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(seed.y()));
        if (!fillable(row, seed.x())) continue;
        int left = seed.x(), right = seed.x();
        while (left > 0 && fillable(row, left - 1))
            --left;
        while (right < w - 1 && fillable(row, right + 1))
            ++right;
        for (int i = left; i <= right; ++i)
            row[i] = fill;
        for (const int ny : {seed.y() - 1, seed.y() + 1}) {
            if (ny < 0 || ny >= h) continue;
            const QRgb* next = reinterpret_cast<const QRgb*>(image.constScanLine(ny));
            bool inSpan = false;
            for (int i = left; i <= right; ++i) {
                const bool can = fillable(next, i);
                if (can && !inSpan) seeds.emplace_back(i, ny);
                inSpan = can;
            }
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    const Workload work = ReadWorkload(argc, argv, 10LL);
    AnswerUnitsIfAsked(work);
    QImage image(2000, 2000, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QRgb navy = qRgb(0, 0, 0x80), green = qRgb(0, 0x80, 0), maroon = qRgb(0x80, 0, 0);
    for (long long k = 1; k <= work.N; ++k)
        ScanlineFill(image, 1000, 1000, k % 2 ? green : navy, maroon);
    printf("%lld\n", work.N);
    return 0;
}
