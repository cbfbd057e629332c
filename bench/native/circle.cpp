// circle: 10,000 circle outlines about the centre of a 1000 x 1000 picture, radius 1 to 490 in turn,
// with QPainter::drawEllipse on a QImage (the pen black, no brush, no antialiasing). Prints N.
// Usage: circle [N] [--units]  (--units: N circles)
#include "workload.h"

#include <QImage>
#include <QPainter>

int main(int argc, char** argv) {
    const Workload work = ReadWorkload(argc, argv, 10000LL);
    AnswerUnitsIfAsked(work);
    QImage image(1000, 1000, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setPen(Qt::black);
        painter.setBrush(Qt::NoBrush);
        for (long long k = 1; k <= work.N; ++k) {
            const int r = 1 + static_cast<int>((k - 1) % 490);
            painter.drawEllipse(QPoint(500, 500), r, r);
        }
    }
    printf("%lld\n", work.N);
    return 0;
}
