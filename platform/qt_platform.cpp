#include "platform/qt_platform.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontMetricsF>
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
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "game/form1.h"
#include "platform/board_keys.h"
#include "platform/embedded_pictures.h"

// Resources compiled into a static library must be registered by hand.
static void initResources() {
    Q_INIT_RESOURCE(kovalt);
}

namespace {

// The classic 16 colours, 0 black .. 15 white.
constexpr QRgb kPalette[16] = {
    0xff000000, 0xff000080, 0xff008000, 0xff008080, 0xff800000, 0xff800080, 0xff808000, 0xffc0c0c0,
    0xff808080, 0xff0000ff, 0xff00ff00, 0xff00ffff, 0xffff0000, 0xffff00ff, 0xffffff00, 0xffffffff,
};

QRgb paletteRgb(int number) {
    return kPalette[number & 15];
}

// Sets the pixels of `area` (inside the image whose rows are `stride` pixels apart) to `colour`.
void fillPixels(QRgb* bits, qsizetype stride, const QRect& area, QRgb colour) {
    QRgb* to = bits + area.top() * stride + area.left();
    const int width = area.width();
    if (width == 1) { // the sides of a frame at scale 1
        for (int row = area.top(); row <= area.bottom(); ++row, to += stride) {
            *to = colour;
        }
        return;
    }
    for (int row = area.top(); row <= area.bottom(); ++row, to += stride) {
        std::fill_n(to, width, colour);
    }
}

} // namespace

QColor paletteColour(int number) {
    return QColor(paletteRgb(number));
}

namespace {

// std::lround without the call into the maths library: halves away from zero.
int roundToInt(double v) {
    return v >= 0 ? static_cast<int>(v + 0.5) : -static_cast<int>(0.5 - v);
}

// Twips to whole logical pixels, the way the layout was measured.
int px(double twips) {
    return roundToInt(twips / kTwipsPerPixel);
}

// Japanese Mincho faces, best first; the last resort is whatever serif face there is.
QFont gameFontOfPixels(int pixelSize, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("IPAPMincho"), QStringLiteral("IPAexMincho"),
                      QStringLiteral("IPAMincho"), QStringLiteral("Noto Serif CJK JP"),
                      QStringLiteral("serif")});
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

int pixelsOfPoints(double points) {
    return static_cast<int>(std::lround(points * 96.0 / 72.0));
}

// Every logical position is rounded to a device pixel once, on its own, so that a cell edge
// lands on the same device pixel whichever cell draws it.
int toDevice(int logical, qreal ratio) {
    return roundToInt(logical * ratio);
}

// Frames and grid lines: a whole number of device pixels, the same everywhere.
int lineWidth(qreal ratio) {
    return std::max(1, static_cast<int>(std::lround(ratio)));
}

QSize deviceSize(int width, int height, qreal ratio) {
    return QSize(static_cast<int>(std::ceil(width * ratio - 1e-9)),
                 static_cast<int>(std::ceil(height * ratio - 1e-9)));
}

QImage placeholder(PictureSize size, qreal ratio) {
    QImage image(deviceSize(size.width, size.height, ratio), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(QColor(128, 128, 128));
    {
        QPainter p(&image);
        p.setPen(QPen(QColor(255, 0, 0), 1));
        p.drawRect(0, 0, size.width - 1, size.height - 1);
        p.drawLine(0, 0, size.width - 1, size.height - 1);
        p.drawLine(size.width - 1, 0, 0, size.height - 1);
    }
    image.setDevicePixelRatio(1);
    return image;
}

// One channel of a text pixel: coverage `a` (0..255) of ink value `c` over the value `d`.
// The result only ever moves from `d` towards `c`, and never further than the ink at that
// coverage, so drawing the same text again leaves every pixel as it is.
inline int inked(int c, int d, int a) {
    if (c >= d) {
        return std::max(d, (c * a + 127) / 255);
    }
    return std::min(d, c + ((255 - c) * (255 - a) + 127) / 255);
}

// The platform's own keys for a standard command, and the usual ones wherever the platform
// knows none (Qt's Windows key scheme has no key to quit, for example).
QList<QKeySequence> commandKeys(QKeySequence::StandardKey command,
                                std::initializer_list<QKeySequence> usual) {
    QList<QKeySequence> keys = QKeySequence::keyBindings(command);
    for (const QKeySequence& key : usual) {
        if (!keys.contains(key)) {
            keys.append(key);
        }
    }
    return keys;
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

// Runs `then` once from the event loop right after the watched widget's first paint, so that
// it cannot delay the first picture on screen.
class AfterFirstPaint : public QObject {
public:
    AfterFirstPaint(QWidget* widget, std::function<void()> then)
        : QObject(widget), then_(std::move(then)) {
        widget->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                then_();
                deleteLater();
            });
        }
        return false;
    }

private:
    std::function<void()> then_;
};

} // namespace

Canvas::Canvas(QSize logicalSize, qreal pixelRatio)
    : image_(deviceSize(logicalSize.width(), logicalSize.height(), pixelRatio),
             QImage::Format_RGB32),
      ratio_(pixelRatio), tilesAcross_((image_.width() + kTile - 1) / kTile),
      tilesDown_((image_.height() + kTile - 1) / kTile),
      drawn_(std::size_t(tilesAcross_) * tilesDown_, 0) {
    image_.fill(paletteColour(Form1::背景色));
    setFixedSize(logicalSize);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Canvas::changed(const QRect& devicePixels) {
    const QRect area = devicePixels & image_.rect();
    if (area.isEmpty()) {
        return;
    }
    if (!flushQueued_) {
        flushQueued_ = true;
        QMetaObject::invokeMethod(this, &Canvas::flushChanged, Qt::QueuedConnection);
    }
    const int first = area.left() / kTile, last = area.right() / kTile;
    for (int ty = area.top() / kTile; ty <= area.bottom() / kTile; ++ty) {
        unsigned char* row = drawn_.data() + std::size_t(ty) * tilesAcross_;
        for (int tx = first; tx <= last; ++tx) {
            row[tx] = 1;
        }
    }
}

void Canvas::flushChanged() {
    flushQueued_ = false;
    // Runs of drawn tiles along each row of tiles; QRegion joins the same runs of neighbouring
    // rows into one rectangle.
    QRegion region;
    for (int ty = 0; ty < tilesDown_; ++ty) {
        unsigned char* row = drawn_.data() + std::size_t(ty) * tilesAcross_;
        for (int tx = 0; tx < tilesAcross_; ++tx) {
            if (!row[tx]) {
                continue;
            }
            const int first = tx;
            while (tx < tilesAcross_ && row[tx]) {
                row[tx++] = 0;
            }
            // The logical pixels that cover these tiles' device pixels.
            const QRect device =
                QRect(first * kTile, ty * kTile, (tx - first) * kTile, kTile) & image_.rect();
            const int left = static_cast<int>(std::floor(device.left() / ratio_));
            const int top = static_cast<int>(std::floor(device.top() / ratio_));
            const int right = static_cast<int>(std::ceil((device.right() + 1) / ratio_));
            const int bottom = static_cast<int>(std::ceil((device.bottom() + 1) / ratio_));
            region += QRect(left, top, right - left, bottom - top) & rect();
        }
    }
    if (!region.isEmpty()) {
        unpainted_ += region;
        update(region);
    }
}

void Canvas::repaintChanged() {
    flushChanged();
    if (isVisible() && !unpainted_.isEmpty()) {
        repaint(unpainted_);
    }
}

void Canvas::paintEvent(QPaintEvent* event) {
    unpainted_ -= event->region();
    QPainter painter(this);
    // Paint in device pixels: the painter's own scale for the screen's ratio is undone, and
    // the canvas's corner put on a whole device pixel, so that Qt copies pixels one to one
    // instead of resampling them.
    const QTransform toDevice = painter.deviceTransform();
    const QPointF corner = toDevice.map(QPointF(0, 0));
    painter.setWorldTransform(
        QTransform::fromTranslate(std::round(corner.x()), std::round(corner.y())) *
            toDevice.inverted(),
        true);
    for (const QRect& r : event->region()) {
        paintedArea += qint64(r.width()) * r.height();
        // The device pixels under this logical rectangle.
        const int left = static_cast<int>(std::floor(r.left() * ratio_));
        const int top = static_cast<int>(std::floor(r.top() * ratio_));
        const int right = static_cast<int>(std::ceil((r.right() + 1) * ratio_));
        const int bottom = static_cast<int>(std::ceil((r.bottom() + 1) * ratio_));
        const QRect source = QRect(left, top, right - left, bottom - top) & image_.rect();
        // In bands: Qt hands the copy of a taller rectangle to its worker threads, and waking
        // them costs more than copying what one event draws.
        for (int y = source.top(); y <= source.bottom(); y += kBandRows) {
            const QRect band(source.left(), y, source.width(),
                             std::min(kBandRows, source.bottom() + 1 - y));
            painter.drawImage(band.topLeft(), image_, band);
        }
    }
}

void Canvas::mousePressEvent(QMouseEvent* event) {
    if (onPress) {
        const QPointF pos = event->position();
        onPress(buttonCode(event->button()), pos.x() * kTwipsPerPixel, pos.y() * kTwipsPerPixel);
    }
}

void MainWindow::showEvent(QShowEvent* event) {
    // The last moment before the window is mapped, with its final size: the place given now
    // is taken by the window manager as the frame's corner (north-west gravity).
    if (framePositionAtShow && windowHandle() != nullptr) {
        windowHandle()->resize(size());
        windowHandle()->setFramePosition(*framePositionAtShow);
    }
    framePositionAtShow.reset();
    QMainWindow::showEvent(event);
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
    // Screen readers announce the board when it has the focus; its description says what the
    // pictures show.
    canvas_->setAccessibleName(QStringLiteral("将棋盤"));
    canvas_->setFocusPolicy(Qt::StrongFocus);
    buildMenus();
    loadPictures(picturePrefix);
    window_->layout()->setSizeConstraint(QLayout::SetFixedSize);
    destroyedWatch_ =
        std::make_unique<DestroyedWindowWatch>(window_.get(), [this] { windowDestroyed(); });
    // The audio back end takes longer to load than the window, and may hang on a silent
    // sound server: its thread starts only once the first screen is on show.
    new AfterFirstPaint(canvas_, [this] { sound_.start(); });
}

QtPlatform::~QtPlatform() {
    stopSound();
}

bool QtPlatform::stopSound() {
    window_->hide();
    return sound_.stop();
}

void QtPlatform::loadPictures(const QString& prefix) {
    // Each picture is made once at the screen's own pixel ratio, from the artwork nearest
    // above it (up to 3x), so that drawing it is a plain copy of pixels.
    const qreal ratio = canvas_->ratio();
    for (int i = 0; i < kPictureCount; ++i) {
        const auto picture = static_cast<Picture>(i);
        const QString name = QString::fromLatin1(pictureName(picture));
        const PictureSize size = pictureSize(picture);
        const QSize wanted = deviceSize(size.width, size.height, ratio);
        QImage image;
        int imageRatio = 1;
        const EmbeddedPicture* embedded = ratio == 1 && prefix == kCompiledPictures
                                              ? embeddedPicture(pictureName(picture))
                                              : nullptr;
        if (embedded != nullptr && QSize(embedded->width, embedded->height) == wanted) {
            // The pixels in the program itself, shown as they are: nothing to decode or copy.
            pictures_[i] = QImage(reinterpret_cast<const uchar*>(embedded->pixels), embedded->width,
                                  embedded->height, embedded->width * qsizetype(sizeof(QRgb)),
                                  QImage::Format_RGB32);
            continue;
        }
        if (ratio > 2 && image.load(prefix + name + QStringLiteral("@3x.png"))) {
            imageRatio = 3;
        } else if (ratio > 1 && image.load(prefix + name + QStringLiteral("@2x.png"))) {
            imageRatio = 2;
        } else {
            image.load(prefix + name + QStringLiteral(".png"));
        }
        if (image.isNull() || image.size() != QSize(size.width, size.height) * imageRatio) {
            std::fprintf(stderr, "kovalt: picture %s could not be loaded; a placeholder is shown\n",
                         qPrintable(name));
            ++missingPictures_;
            pictures_[i] = placeholder(size, ratio);
            continue;
        }
        if (image.size() != wanted) {
            image = image.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        image.setDevicePixelRatio(1);
        pictures_[i] = image.convertToFormat(QImage::Format_RGB32);
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

    // Keys reach the same actions as the mouse, so they run the same handlers.
    actions_["REPLAY"]->setShortcuts(
        commandKeys(QKeySequence::Undo, {QKeySequence(Qt::CTRL | Qt::Key_Z)}));
    actions_["AFTER"]->setShortcuts(
        commandKeys(QKeySequence::Redo, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                         QKeySequence(Qt::CTRL | Qt::Key_Y)}));
    actions_["OWARI"]->setShortcuts(
        commandKeys(QKeySequence::Quit, {QKeySequence(Qt::CTRL | Qt::Key_Q)}));
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
                                 describeBoard();
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

QAction* QtPlatform::action(const std::string& name) const {
    const auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

void QtPlatform::blit(const QImage& picture, int x, int y, PictureSize size) {
    const qreal ratio = canvas_->ratio();
    const int left = toDevice(x, ratio);
    const int top = toDevice(y, ratio);
    // The picture's own cell: at fractional ratios it is a pixel narrower than the picture at
    // some places, and the neighbour's pixels must stay.
    const QRect cell(left, top, std::min(toDevice(x + size.width, ratio) - left, picture.width()),
                     std::min(toDevice(y + size.height, ratio) - top, picture.height()));
    QImage& image = canvas_->image();
    const QRect area = cell & image.rect();
    if (area.isEmpty()) {
        return;
    }
    const qsizetype stride = image.bytesPerLine() / qsizetype(sizeof(QRgb));
    const qsizetype sourceStride = picture.bytesPerLine() / qsizetype(sizeof(QRgb));
    QRgb* to = reinterpret_cast<QRgb*>(image.bits()) + area.top() * stride + area.left();
    const QRgb* from = reinterpret_cast<const QRgb*>(picture.constBits()) +
                       (area.top() - top) * sourceStride + (area.left() - left);
    for (int row = area.top(); row <= area.bottom(); ++row, from += sourceStride, to += stride) {
        std::memcpy(to, from, std::size_t(area.width()) * sizeof(QRgb));
    }
    canvas_->changed(area);
}

void QtPlatform::paintPicture(Picture picture, double x, double y) {
    blit(pictures_[static_cast<int>(picture)], px(x), px(y), pictureSize(picture));
}

void QtPlatform::outlineRect(double x1, double y1, double x2, double y2, int colour) {
    // One-pixel strips through the corner pixels, as wide as a line is on this screen: the
    // edge two cells share falls on the same device pixels from either side.
    const qreal ratio = canvas_->ratio();
    const int w = lineWidth(ratio);
    const int left = toDevice(px(x1), ratio);
    const int top = toDevice(px(y1), ratio);
    const int right = toDevice(px(x2), ratio);
    const int bottom = toDevice(px(y2), ratio);
    const QRgb c = paletteRgb(colour);
    QImage& image = canvas_->image();
    const QRect inside = image.rect();
    QRgb* const bits = reinterpret_cast<QRgb*>(image.bits());
    const qsizetype stride = image.bytesPerLine() / qsizetype(sizeof(QRgb));
    for (const QRect& strip :
         {QRect(left, top, right + w - left, w), QRect(left, bottom, right + w - left, w),
          QRect(left, top, w, bottom + w - top), QRect(right, top, w, bottom + w - top)}) {
        const QRect area = strip & inside;
        if (!area.isEmpty()) {
            fillPixels(bits, stride, area, c);
            canvas_->changed(area); // the strips only: the square inside is not repainted
        }
    }
}

const QtPlatform::FontEntry& QtPlatform::font(int pixelSize, bool bold) {
    const auto key = std::pair(pixelSize, bold);
    auto it = fonts_.find(key);
    if (it == fonts_.end()) {
        QFont f = gameFontOfPixels(pixelSize, bold);
        const qreal ascent = QFontMetricsF(f).ascent();
        it = fonts_.emplace(key, FontEntry{f, ascent}).first;
    }
    return it->second;
}

const QtPlatform::TextMask& QtPlatform::textMask(const std::string& text, int pixelSize,
                                                 bool bold) {
    auto key = std::tuple(text, pixelSize, bold);
    if (const auto it = masks_.find(key); it != masks_.end()) {
        return it->second;
    }
    if (masks_.size() >= 4096) { // the game's texts are few; anything else is not kept long
        masks_.clear();
    }
    const FontEntry& entry = font(pixelSize, bold);
    const QString string = QString::fromStdString(text);
    const qreal ratio = canvas_->ratio();
    // The ink box in device pixels, with room for the emboldening and the smoothed edges.
    const QRectF ink = QFontMetricsF(entry.font).boundingRect(string);
    const int pad = 2 + static_cast<int>(std::ceil(ratio));
    const int left = static_cast<int>(std::floor(ink.left() * ratio)) - pad;
    const int top = static_cast<int>(std::floor(ink.top() * ratio)) - pad;
    const int right = static_cast<int>(std::ceil(ink.right() * ratio)) + pad;
    const int bottom = static_cast<int>(std::ceil(ink.bottom() * ratio)) + pad;
    QImage glyphs(right - left, bottom - top, QImage::Format_ARGB32_Premultiplied);
    glyphs.fill(Qt::transparent);
    glyphs.setDevicePixelRatio(ratio);
    {
        QPainter painter(&glyphs);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(entry.font);
        painter.setPen(Qt::white);
        painter.drawText(QPointF(-left / ratio, -top / ratio), string);
    }
    glyphs.setDevicePixelRatio(1);
    TextMask mask{glyphs.convertToFormat(QImage::Format_Alpha8), QPoint(-left, -top), {}};
    // Most of the box is empty: the runs of ink are found once.
    for (int row = 0; row < mask.coverage.height(); ++row) {
        const uchar* cover = mask.coverage.constScanLine(row);
        for (int x = 0; x < mask.coverage.width();) {
            if (cover[x] == 0) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < mask.coverage.width() && cover[x] != 0) {
                ++x;
            }
            mask.runs.push_back({row, start, x - start});
        }
    }
    return masks_.emplace(std::move(key), std::move(mask)).first->second;
}

void QtPlatform::printText(double x, double y, const std::string& text, double points, bool bold,
                           int colour) {
    const int pixelSize = pixelsOfPoints(points);
    const qreal ascent = font(pixelSize, bold).ascent;
    const TextMask& mask = textMask(text, pixelSize, bold);
    const qreal ratio = canvas_->ratio();
    // The text's top-left point, baseline below it by the ascent, on a whole device pixel so
    // that the same text at the same place always has the same pixels.
    const QPoint baseline(roundToInt(x / kTwipsPerPixel * ratio),
                          roundToInt((y / kTwipsPerPixel + ascent) * ratio));
    const QPoint at = baseline - mask.origin;
    QImage& image = canvas_->image();
    const QRect area = QRect(at, mask.coverage.size()) & image.rect();
    if (area.isEmpty()) {
        return;
    }
    const QRgb ink = paletteRgb(colour);
    const int r = qRed(ink), g = qGreen(ink), b = qBlue(ink);
    const qsizetype stride = image.bytesPerLine() / qsizetype(sizeof(QRgb));
    QRgb* const bits = reinterpret_cast<QRgb*>(image.bits());
    for (const TextMask::Run& run : mask.runs) {
        const int row = at.y() + run.row;
        const int from = std::max(at.x() + run.x, area.left());
        const int to = std::min(at.x() + run.x + run.length, area.right() + 1);
        if (row < area.top() || row > area.bottom() || from >= to) {
            continue;
        }
        const uchar* cover = mask.coverage.constScanLine(run.row) + (from - at.x());
        QRgb* pixel = bits + row * stride + from;
        for (int i = 0; i < to - from; ++i) {
            const int a = cover[i];
            const QRgb d = pixel[i];
            pixel[i] = qRgb(inked(r, qRed(d), a), inked(g, qGreen(d), a), inked(b, qBlue(d), a));
        }
    }
    canvas_->changed(area);
}

void QtPlatform::setBackgroundColour(int colour) {
    // As with a window whose background colour changes, the client area is cleared to it.
    canvas_->image().fill(paletteColour(colour));
    QPalette palette = canvas_->palette();
    palette.setColor(QPalette::Window, paletteColour(colour));
    canvas_->setPalette(palette);
    canvas_->changed(canvas_->image().rect());
}

void QtPlatform::repaintNow() {
    canvas_->repaintChanged();
}

void QtPlatform::showMessage(const std::string& text, const std::string& title) {
    describeBoard();
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title),
                    QString::fromStdString(text), QMessageBox::Ok, window_.get());
    if (beforeDialog) {
        beforeDialog(box);
    }
    box.exec();
    canvas_->setFocus();
}

bool QtPlatform::askYesNo(const std::string& text, const std::string& title) {
    describeBoard();
    YesNoBox box(QString::fromStdString(text), QString::fromStdString(title), window_.get());
    if (beforeDialog) {
        beforeDialog(box);
    }
    box.exec();
    canvas_->setFocus();
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
    // Presses and keys made while the game waits are not acted on: fetch them from the window
    // system now and throw them away, leaving paint and other events alone. A key bound to a
    // menu command comes as a shortcut event, not as a key press, so those go as well.
    struct Swallow : QObject {
        bool eventFilter(QObject*, QEvent* event) override {
            switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::ShortcutOverride:
            case QEvent::Shortcut:
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
    // A window at home reports the home top edge, one that was moved reports where it is now.
    if (!placed_) {
        return std::numeric_limits<double>::infinity();
    }
    return Form1::kWindowTop + (window_->frameGeometry().top() - home().y()) * kTwipsPerPixel;
}

QPoint QtPlatform::home() const {
    QScreen* screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().topLeft() : QPoint(0, 0);
}

void QtPlatform::placeWindow(double, double, double, double) {
    // The window's size is fixed by its client area; its home is the top-left corner of the
    // screen's available area, since window managers refuse places beyond the screen edge.
    // It is the frame that goes there, so that the title bar stays in reach.
    const QPoint at = home();
    window_->move(at);
    if (!window_->isVisible()) {
        // Before the first showing the frame's size is unknown: the window manager is asked to
        // put the frame's corner there when the window is mapped.
        window_->framePositionAtShow = at;
    }
    placed_ = true;
}
