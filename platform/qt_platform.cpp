#include "platform/qt_platform.h"

#include <QAction>
#include <QApplication>
#include <QScreen>
#include <QThread>
#include <QTime>

#include "game/form1.h"
#include "platform/board_keys.h"
#include "platform/device_pixels.h"
#include "platform/first_paint.h"
#include "platform/idle_put_wait.h"
#include "platform/input_drop.h"

CompiledResources::CompiledResources() {
    // Resources compiled into a static library must be registered by hand.
    Q_INIT_RESOURCE(kovalt);
}

namespace {

// The pixel ratio of the screen a new window opens on. Not the application's ratio: that is
// the largest over all screens and never below 1, too large below a scale factor of 1.
qreal openingScreenRatio() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->devicePixelRatio() : 1.0;
}

} // namespace

QtPlatform::QtPlatform(const QString& picturePrefix, const QString& soundPrefix)
    : canvas_(new Canvas(QSize(kClientWidth, kClientHeight), openingScreenRatio(),
                         paletteRgb(Form1::背景色))),
      window_(std::make_unique<MainWindow>(canvas_)), pictures_(picturePrefix, canvas_->ratio()),
      masks_(canvas_->ratio()), sound_(soundPrefix),
      destroyedWatch_(
          std::make_unique<DestroyedWindowWatch>(window_.get(), [this] { windowDestroyed(); })) {
    // Screen readers announce the board when it has the focus; its description says what the
    // pictures show.
    canvas_->setAccessibleName(QStringLiteral("将棋盤"));
    canvas_->setFocusPolicy(Qt::StrongFocus);
    new IdlePutWait(canvas_);
    // The audio back end takes longer to load than the window, and may hang on a silent
    // sound server: its thread starts only once the first screen is on show.
    afterFirstPaint(window_.get(), [this] { sound_.start(); });
}

QtPlatform::~QtPlatform() {
    stopSound();
}

bool QtPlatform::stopSound() {
    window_->hide();
    return sound_.stop();
}

void QtPlatform::connect(Form1& form) {
    summary_ = [&form] { return form.boardSummary(); };
    installKeyboardAndReader(*this, form);
    describeBoard();
    canvas_->onPress = [this, &form](int button, double x, double y) {
        if (!quitting_) {
            form.Form_MouseDown(button, 0, x, y);
            describeBoard();
        }
    };
    window_->onCommand = [this, &form](MainWindow::Command command) {
        if (!quitting_) {
            (form.*command)();
            describeBoard();
        }
    };
    window_->onClose = [this, &form] {
        if (!quitting_) {
            form.Form_Unload();
        }
    };
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

void QtPlatform::describeBoard() {
    if (quitting_ || !summary_) {
        return;
    }
    if (onDescribe) {
        onDescribe();
    }
    const QString text = QString::fromStdString(summary_());
    if (text == canvas_->accessibleDescription()) {
        return;
    }
    // Qt tells screen readers of the change itself.
    canvas_->setAccessibleDescription(text);
}

void QtPlatform::paintPicture(Picture picture, double x, double y) {
    const PictureSize size = pictureSize(picture);
    canvas_->drawPicture(pictures_[picture],
                         QPoint(logicalPixelsOfTwips(x), logicalPixelsOfTwips(y)),
                         QSize(size.width, size.height));
}

void QtPlatform::outlineRect(double x1, double y1, double x2, double y2, int colour) {
    canvas_->drawFrame(logicalPixelsOfTwips(x1), logicalPixelsOfTwips(y1), logicalPixelsOfTwips(x2),
                       logicalPixelsOfTwips(y2), paletteRgb(colour));
}

void QtPlatform::printText(double x, double y, const std::string& text, double points, bool bold,
                           int colour) {
    const int pixelSize = pixelsOfPoints(points);
    const qreal ascent = masks_.ascent(pixelSize, bold);
    // The text's top-left point, baseline below it by the ascent, on a whole device pixel so
    // that the same text at the same place always has the same pixels.
    const qreal ratio = canvas_->ratio();
    const QPoint baseline(toDevice(x / kTwipsPerPixel, ratio),
                          toDevice(y / kTwipsPerPixel + ascent, ratio));
    canvas_->drawText(masks_.mask(text, pixelSize, bold), baseline, masks_.ink(paletteRgb(colour)));
}

void QtPlatform::setBackgroundColour(int colour) {
    canvas_->clear(paletteRgb(colour));
}

void QtPlatform::repaintNow() {
    canvas_->repaintChanged();
}

void QtPlatform::showMessage(const std::string& text, const std::string& title) {
    describeBoard();
    if (onBoxOpening) {
        onBoxOpening();
    }
    showOkBox(text, title, window_.get(), beforeDialog);
    canvas_->setFocus();
}

bool QtPlatform::askYesNo(const std::string& text, const std::string& title) {
    describeBoard();
    if (onBoxOpening) {
        onBoxOpening();
    }
    const bool yes = askYesNoBox(text, title, window_.get(), beforeDialog);
    canvas_->setFocus();
    return yes;
}

void QtPlatform::playSound(const std::string& name) {
    sound_.play(name);
}

int QtPlatform::clockSeconds() {
    return QTime::currentTime().second();
}

void QtPlatform::rest() {
    // The pause before the end of a match: a screen reader hears the last drops now. Told only
    // as the box opens, they would go unsaid: the box's focus comes first.
    describeBoard();
    QThread::msleep(5);
    dropPendingInput();
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
    return window_->topTwips();
}

void QtPlatform::placeWindow(double, double, double, double) {
    // The window's size is fixed by its client area.
    window_->placeAtHome();
}
