// A file to drag, as a file manager offers one: a small window of a program of its own that
// starts a drag of the file's URL when the mouse is pressed on it. A drop on a window of
// another program goes through the X server (XDND), as a drop from a file manager does.
//   drag_source FILE X Y
// Prints "window <id>" once the window is shown, "dropped <action>" when the drag ended with a
// drop the target accepted (and exits with 0 once the target has finished with the data, with
// 3 when it never says so), "refused" otherwise (exit 1).
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <cstdio>

namespace {

class FileToDrag : public QWidget {
  public:
    explicit FileToDrag(QString strPath) : m_strPath(std::move(strPath)) {
        setWindowFlag(Qt::FramelessWindowHint);
        setWindowTitle("drag source");
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(255, 230, 150));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, m_strPath.section('/', -1));
        if (!m_bAnnounced) {
            // Painted: the window is on the screen.
            m_bAnnounced = true;
            std::printf("window %llu\n", static_cast<unsigned long long>(winId()));
            std::fflush(stdout);
        }
    }
    void mousePressEvent(QMouseEvent*) override {
        auto* pData = new QMimeData;
        pData->setUrls({QUrl::fromLocalFile(m_strPath)});
        auto* pDrag = new QDrag(this);
        pDrag->setMimeData(pData);
        const Qt::DropAction action = pDrag->exec(Qt::CopyAction);
        if (action == Qt::IgnoreAction) {
            std::printf("refused\n");
            std::fflush(stdout);
            QCoreApplication::exit(1);
            return;
        }
        std::printf("dropped %d\n", static_cast<int>(action));
        std::fflush(stdout);
        // The target asks for the file's URL after the drop; the drag and its data stay until
        // the target says it has finished, then the toolkit deletes the drag.
        connect(pDrag, &QObject::destroyed, qApp, [] { QCoreApplication::exit(0); });
        QTimer::singleShot(20000, qApp, [] { QCoreApplication::exit(3); });
    }

  private:
    QString m_strPath;
    bool m_bAnnounced = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: drag_source FILE X Y\n");
        return 2;
    }
    FileToDrag window(QString::fromLocal8Bit(argv[1]));
    window.setGeometry(QString(argv[2]).toInt(), QString(argv[3]).toInt(), 200, 100);
    window.show();
    return app.exec();
}
