// gprint: 10,000 times one text at one place in DejaVu Sans 12 on a 1000 x 1000 picture, with
// QPainter::drawText on a QImage over an opaque white background. Prints N.
// Usage: gprint [N] [--units]  (--units: N texts)
#include "workload.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

int main(int argc, char** argv) {
    const Workload work = ReadWorkload(argc, argv, 10000LL);
    AnswerUnitsIfAsked(work);
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv); // the font system
    QImage image(1000, 1000, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
        painter.setPen(Qt::black);
        painter.setBackground(Qt::white);
        painter.setBackgroundMode(Qt::OpaqueMode);
        const QString text = QStringLiteral("GPRINT 1234567890");
        const QPoint at(100, 100 + painter.fontMetrics().ascent());
        for (long long k = 1; k <= work.N; ++k)
            painter.drawText(at, text);
    }
    printf("%lld\n", work.N);
    return 0;
}
