// dragfile: a file dragged the way a file manager drags it, for the desktop test. Shows a small window
// titled "dragfile"; a mouse press in it starts a drag of the file (its URL and, as text, its path)
// over the X drag-and-drop protocol. When the drag ends it prints what the target did and exits:
//
//   dragfile FILE
//   -> "drop=copied", "drop=moved", "drop=linked" or "drop=refused"
//
// Exits 2 on a usage error.
#include <QApplication>
#include <QDrag>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>

#include <cstdio>

namespace {

constexpr int SourceSize = 120;

class DragSource : public QWidget {
public:
    explicit DragSource(QString path) : path_(std::move(path)) {
        setWindowTitle(QStringLiteral("dragfile"));
        resize(SourceSize, SourceSize);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        auto* data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(path_)});
        data->setText(path_);
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction);
        const char* what = action == Qt::CopyAction   ? "copied"
                           : action == Qt::MoveAction ? "moved"
                           : action == Qt::LinkAction ? "linked"
                                                      : "refused";
        std::printf("drop=%s\n", what);
        std::fflush(stdout);
        QApplication::quit();
    }

private:
    QString path_;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: dragfile FILE\n");
        return 2;
    }
    QApplication app(argc, argv);
    DragSource source(QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath());
    source.show();
    return app.exec();
}
