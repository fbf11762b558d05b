// The anchor for the press-to-screen measurement: a plain Qt Widgets window of the given size
// that repaints all of itself, with a full-size image, on every press. It links only Qt.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

class Bare : public QWidget {
public:
    explicit Bare(QSize size) {
        setFixedSize(size);
        setAttribute(Qt::WA_OpaquePaintEvent);
        const qreal ratio = devicePixelRatioF();
        for (QImage& image : images_) {
            image = QImage(size * ratio, QImage::Format_RGB32);
            image.setDevicePixelRatio(ratio);
        }
        images_[0].fill(QColor(0, 128, 0));
        images_[1].fill(QColor(0, 0, 128));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawImage(QPoint(0, 0), images_[shown_]);
    }
    void mousePressEvent(QMouseEvent*) override {
        shown_ ^= 1;
        update();
    }

private:
    QImage images_[2];
    int shown_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QSize size(argc > 2 ? std::atoi(argv[1]) : 559, argc > 2 ? std::atoi(argv[2]) : 499);
    Bare window(size);
    window.show();
    QTimer::singleShot(200, [&] {
        std::printf("%llu %d %d %d %d\n", static_cast<unsigned long long>(window.winId()),
                    size.width() / 2, size.height() / 2, size.width(), size.height());
        std::fflush(stdout);
    });
    return QApplication::exec();
}
