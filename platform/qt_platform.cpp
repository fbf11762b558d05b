#include "platform/qt_platform.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QTime>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <limits>

#include "game/form1.h"

// Resources compiled into a static library must be registered by hand.
static void initResources() {
    Q_INIT_RESOURCE(kovalt);
}

QColor paletteColour(int number) {
    static const QRgb palette[16] = {
        qRgb(0, 0, 0),       qRgb(0, 0, 128),   qRgb(0, 128, 0),   qRgb(0, 128, 128),
        qRgb(128, 0, 0),     qRgb(128, 0, 128), qRgb(128, 128, 0), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(0, 0, 255),   qRgb(0, 255, 0),   qRgb(0, 255, 255),
        qRgb(255, 0, 0),     qRgb(255, 0, 255), qRgb(255, 255, 0), qRgb(255, 255, 255),
    };
    return QColor(palette[number & 15]);
}

namespace {

// Twips to whole logical pixels, the way the layout was measured.
int px(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

// Japanese Mincho faces, best first; the last resort is whatever serif face there is.
QFont gameFont(double points, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("IPAPMincho"), QStringLiteral("IPAexMincho"),
                      QStringLiteral("IPAMincho"), QStringLiteral("Noto Serif CJK JP"),
                      QStringLiteral("serif")});
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
    font.setBold(bold);
    return font;
}

QPixmap placeholder(PictureSize size, qreal ratio) {
    QImage image(QSize(size.width, size.height) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(QColor(128, 128, 128));
    QPainter p(&image);
    p.setPen(QPen(QColor(255, 0, 0), 1));
    p.drawRect(0, 0, size.width - 1, size.height - 1);
    p.drawLine(0, 0, size.width - 1, size.height - 1);
    p.drawLine(size.width - 1, 0, 0, size.height - 1);
    return QPixmap::fromImage(image);
}

int buttonCode(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

} // namespace

Canvas::Canvas(QSize logicalSize, qreal pixelRatio)
    : image_(logicalSize * pixelRatio, QImage::Format_RGB32) {
    image_.setDevicePixelRatio(pixelRatio);
    image_.fill(paletteColour(Form1::背景色));
    setFixedSize(logicalSize);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Canvas::paintEvent(QPaintEvent* event) {
    for (const QRect& r : event->region()) {
        paintedArea += qint64(r.width()) * r.height();
    }
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), image_);
}

void Canvas::mousePressEvent(QMouseEvent* event) {
    if (onPress) {
        const QPointF pos = event->position();
        onPress(buttonCode(event->button()), pos.x() * kTwipsPerPixel, pos.y() * kTwipsPerPixel);
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (onClose) {
        onClose();
    }
}

YesNoBox::YesNoBox(const QString& text, const QString& title, QWidget* parent)
    : QMessageBox(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, parent) {
    setDefaultButton(QMessageBox::Yes);
}

void YesNoBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QMessageBox::keyPressEvent(event);
}

void YesNoBox::closeEvent(QCloseEvent* event) {
    event->ignore();
}

QtPlatform::QtPlatform(const QString& picturePrefix, const QString& soundPrefix)
    : window_((initResources(), std::make_unique<MainWindow>())), sound_(soundPrefix) {
    const qreal ratio = qApp->devicePixelRatio();
    canvas_ = new Canvas(QSize(kClientWidth, kClientHeight), ratio);
    window_->setCentralWidget(canvas_);
    window_->setWindowTitle(QStringLiteral("Kovalt"));
    window_->setFont(gameFont(9, false));
    buildMenus();
    loadPictures(picturePrefix);
    window_->layout()->setSizeConstraint(QLayout::SetFixedSize);
    destroyedWatch_ =
        std::make_unique<DestroyedWindowWatch>(window_.get(), [this] { windowDestroyed(); });
    // Sounds are made ready as soon as the event loop runs, before any press can come.
    QTimer::singleShot(0, window_.get(), [this] { sound_.load(); });
}

QtPlatform::~QtPlatform() = default;

void QtPlatform::loadPictures(const QString& prefix) {
    const qreal ratio = qApp->devicePixelRatio();
    for (int i = 0; i < kPictureCount; ++i) {
        const auto picture = static_cast<Picture>(i);
        const QString name = QString::fromLatin1(pictureName(picture));
        QImage image;
        qreal imageRatio = 1;
        // Scaled screens take the twice-size artwork so that pictures stay crisp.
        if (ratio > 1 && image.load(prefix + name + QStringLiteral("@2x.png"))) {
            imageRatio = 2;
        } else {
            image.load(prefix + name + QStringLiteral(".png"));
        }
        const PictureSize size = pictureSize(picture);
        if (image.isNull() || image.width() != qRound(size.width * imageRatio) ||
            image.height() != qRound(size.height * imageRatio)) {
            std::fprintf(stderr, "kovalt: picture %s could not be loaded; a placeholder is shown\n",
                         qPrintable(name));
            ++missingPictures_;
            pictures_[i] = placeholder(size, ratio);
            continue;
        }
        image.setDevicePixelRatio(imageRatio);
        pictures_[i] = QPixmap::fromImage(image);
    }
}

void QtPlatform::buildMenus() {
    QMenuBar* bar = window_->menuBar();
    auto command = [this](QWidget* parent, const char* name, const QString& caption) {
        auto* action = new QAction(caption, parent);
        action->setObjectName(QString::fromLatin1(name));
        parent->addAction(action);
        actions_[name] = action;
        return action;
    };
    auto submenu = [this](QWidget* parent, const char* name, const QString& caption) {
        auto* menu = new QMenu(caption, parent);
        menu->setObjectName(QString::fromLatin1(name));
        parent->addAction(menu->menuAction());
        actions_[name] = menu->menuAction();
        return menu;
    };
    QMenu* taikyoku = submenu(bar, "TAIKYOKU", QStringLiteral("対局"));
    QMenu* matchMan = submenu(taikyoku, "MATCH_MAN", QStringLiteral("対局(人間)"));
    command(matchMan, "START", QStringLiteral("スタート"));
    QMenu* start2 = submenu(taikyoku, "START2", QStringLiteral("対局(COM)"));
    command(start2, "SENTE", QStringLiteral("先手"));
    command(start2, "GOTE", QStringLiteral("後手"));
    QMenu* level = submenu(taikyoku, "LEVEL", QStringLiteral("COM対局ﾚﾍﾞﾙ"));
    for (const char* name : {"LEVEL1", "LEVEL2", "LEVEL3"}) {
        command(level, name, QString::fromLatin1(name))->setCheckable(true);
    }
    command(taikyoku, "OWARI", QStringLiteral("終わり"));
    QMenu* stop = submenu(bar, "STOP", QStringLiteral("局面"));
    command(stop, "CANCEL", QStringLiteral("最初"));
    command(bar, "REPLAY", QStringLiteral("戻"));
    command(bar, "AFTER", QStringLiteral("進"));
    command(bar, "VER", QStringLiteral("その他"));
}

void QtPlatform::connect(Form1& form) {
    canvas_->onPress = [this, &form](int button, double x, double y) {
        if (!quitting_) {
            form.Form_MouseDown(button, 0, x, y);
        }
    };
    window_->onClose = [this, &form] {
        if (!quitting_) {
            form.Form_Unload();
        }
    };
    const std::pair<const char*, void (Form1::*)()> handlers[] = {
        {"START", &Form1::START_Click},   {"SENTE", &Form1::SENTE_Click},
        {"GOTE", &Form1::GOTE_Click},     {"LEVEL1", &Form1::LEVEL1_Click},
        {"LEVEL2", &Form1::LEVEL2_Click}, {"LEVEL3", &Form1::LEVEL3_Click},
        {"OWARI", &Form1::OWARI_Click},   {"CANCEL", &Form1::CANCEL_Click},
        {"REPLAY", &Form1::REPLAY_Click}, {"AFTER", &Form1::AFTER_Click},
        {"VER", &Form1::VER_Click},
    };
    for (const auto& [name, handler] : handlers) {
        QAction* action = actions_.at(name);
        QObject::connect(action, &QAction::triggered, window_.get(),
                         [this, &form, handler, action] {
                             // The game alone decides the check marks: undo Qt's own toggling
                             // first.
                             if (action->isCheckable()) {
                                 action->setChecked(!action->isChecked());
                             }
                             if (!quitting_) {
                                 (form.*handler)();
                             }
                         });
    }
    QObject::connect(actions_.at("MATCH_MAN"), &QAction::triggered, window_.get(), [this, &form] {
        if (!quitting_) {
            form.MATCH_MAN_Click();
        }
    });
}

void QtPlatform::windowDestroyed() {
    // Another program destroyed the window: the game hears of it as of a closed window, and
    // the program ends in any case, since nothing could be shown any more.
    if (window_->onClose) {
        window_->onClose();
    }
    if (!quitting_) {
        quit();
    }
}

QAction* QtPlatform::action(const std::string& name) const {
    const auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

void QtPlatform::paintPicture(Picture picture, double x, double y) {
    QPainter painter(&canvas_->image());
    painter.drawPixmap(QPoint(px(x), px(y)), pictures_[static_cast<int>(picture)]);
    canvas_->update();
}

void QtPlatform::outlineRect(double x1, double y1, double x2, double y2, int colour) {
    // Four one-pixel strips give exactly the frame's pixels, at any scale.
    const int left = px(x1);
    const int top = px(y1);
    const int right = px(x2);
    const int bottom = px(y2);
    const QColor c = paletteColour(colour);
    QPainter painter(&canvas_->image());
    painter.fillRect(QRect(left, top, right - left + 1, 1), c);
    painter.fillRect(QRect(left, bottom, right - left + 1, 1), c);
    painter.fillRect(QRect(left, top, 1, bottom - top + 1), c);
    painter.fillRect(QRect(right, top, 1, bottom - top + 1), c);
    canvas_->update();
}

void QtPlatform::printText(double x, double y, const std::string& text, double points, bool bold,
                           int colour) {
    QPainter painter(&canvas_->image());
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QFont font = gameFont(points, bold);
    painter.setFont(font);
    painter.setPen(paletteColour(colour));
    const QFontMetricsF metrics(font);
    painter.drawText(QPointF(x / kTwipsPerPixel, y / kTwipsPerPixel + metrics.ascent()),
                     QString::fromStdString(text));
    canvas_->update();
}

void QtPlatform::setBackgroundColour(int colour) {
    // As with a window whose background colour changes, the client area is cleared to it.
    canvas_->image().fill(paletteColour(colour));
    QPalette palette = canvas_->palette();
    palette.setColor(QPalette::Window, paletteColour(colour));
    canvas_->setPalette(palette);
    canvas_->update();
}

void QtPlatform::repaintNow() {
    if (canvas_->isVisible()) {
        canvas_->repaint();
    }
}

void QtPlatform::showMessage(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title),
                    QString::fromStdString(text), QMessageBox::Ok, window_.get());
    if (beforeDialog) {
        beforeDialog(box);
    }
    box.exec();
}

bool QtPlatform::askYesNo(const std::string& text, const std::string& title) {
    YesNoBox box(QString::fromStdString(text), QString::fromStdString(title), window_.get());
    if (beforeDialog) {
        beforeDialog(box);
    }
    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Yes);
}

void QtPlatform::playSound(const std::string& name) {
    sound_.play(name);
}

int QtPlatform::clockSeconds() {
    return QTime::currentTime().second();
}

void QtPlatform::rest() {
    QThread::msleep(5);
    dropPendingInput();
}

void QtPlatform::dropPendingInput() {
    // Presses made while the game waits are not acted on: fetch them from the window system
    // now and throw them away, leaving paint and other events alone.
    struct Swallow : QObject {
        bool eventFilter(QObject*, QEvent* event) override {
            switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
                return true;
            default:
                return false;
            }
        }
    } swallow;
    qApp->installEventFilter(&swallow);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    qApp->removeEventFilter(&swallow);
}

void QtPlatform::quit() {
    quitting_ = true;
    QCoreApplication::quit();
}

void QtPlatform::setMenuChecked(const std::string& item, bool checked) {
    if (QAction* a = action(item)) {
        a->setChecked(checked);
    }
}

double QtPlatform::windowTop() {
    // The home place is wherever this program last put the window: a window still there
    // reports the home top edge, one that was moved reports where it is now.
    if (!placed_) {
        return std::numeric_limits<double>::infinity();
    }
    return Form1::kWindowTop + (window_->pos().y() - placedAt_.y()) * kTwipsPerPixel;
}

void QtPlatform::placeWindow(double, double, double, double) {
    // The window's size is fixed by its client area; its home is the top-left corner of the
    // screen's available area, since window managers refuse places beyond the screen edge.
    QScreen* screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen();
    const QPoint home = screen ? screen->availableGeometry().topLeft() : QPoint(0, 0);
    window_->move(home);
    placedAt_ = window_->pos();
    placed_ = true;
}
