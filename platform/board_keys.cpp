#include "platform/board_keys.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QShortcut>

#include <algorithm>
#include <utility>

#include "game/form1.h"
#include "platform/board_access.h"
#include "platform/device_pixels.h"
#include "platform/qt_platform.h"

namespace {

// The cursor's colour: none of the game's frames is cyan (they are green, magenta or white).
const QColor kCursorColour(0, 255, 255);

int devicePixel(double twips, qreal ratio) {
    // Twips to whole logical pixels, then to a device pixel, as the game's frames are placed.
    return toDevice(logicalPixelsOfTwips(twips), ratio);
}

// The frame over the cursor's square. It lies inside the square's own green frame, so its
// neighbours keep every pixel, and it is painted in whole device pixels at any scale.
class CursorFrame : public QWidget {
public:
    explicit CursorFrame(Canvas* canvas) : QWidget(canvas), canvas_(canvas) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(canvas->rect());
        hide();
    }

    void placeOn(int X, int Y) {
        update(logicalArea());
        X_ = X;
        Y_ = Y;
        update(logicalArea());
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        // Device pixels, as the canvas paints them.
        paintInDevicePixels(painter, devicePixelRatioF());
        const QRect inside = deviceInside();
        const int t = 2 * lineWidth();
        for (const QRect& strip :
             {QRect(inside.left(), inside.top(), inside.width(), t),
              QRect(inside.left(), inside.bottom() + 1 - t, inside.width(), t),
              QRect(inside.left(), inside.top(), t, inside.height()),
              QRect(inside.right() + 1 - t, inside.top(), t, inside.height())}) {
            painter.fillRect(strip, kCursorColour);
        }
    }

private:
    int lineWidth() const { return ::lineWidth(canvas_->ratio()); }
    // The square's device pixels inside its frame lines.
    QRect deviceInside() const {
        const qreal ratio = canvas_->ratio();
        const double x1 = Form1::盤X + X_ * Form1::桝幅;
        const double y1 = Form1::盤Y + Y_ * Form1::桝高;
        const int left = devicePixel(x1, ratio) + lineWidth();
        const int top = devicePixel(y1, ratio) + lineWidth();
        const int right = devicePixel(x1 + Form1::桝幅, ratio) - 1;
        const int bottom = devicePixel(y1 + Form1::桝高, ratio) - 1;
        return QRect(QPoint(left, top), QPoint(right, bottom));
    }
    QRect logicalArea() const { return logicalCover(deviceInside(), canvas_->ratio()); }

    Canvas* canvas_;
    int X_ = 5;
    int Y_ = 5;
};

// The usual English letters of the pieces, with the kinds they pick.
constexpr std::pair<int, int> kPieceLetters[] = {
    {Qt::Key_P, Form1::駒_歩}, {Qt::Key_L, Form1::駒_香}, {Qt::Key_N, Form1::駒_桂},
    {Qt::Key_S, Form1::駒_銀}, {Qt::Key_G, Form1::駒_金}, {Qt::Key_B, Form1::駒_角},
    {Qt::Key_R, Form1::駒_飛}, {Qt::Key_K, Form1::駒_王},
};

// The kind a piece letter picks, 0 for any other key.
int kindOfLetter(int key) {
    for (const auto& [letter, kind] : kPieceLetters) {
        if (letter == key) {
            return kind;
        }
    }
    return 0;
}

constexpr int kLeftButton = 1;

} // namespace

BoardKeys::BoardKeys(Canvas* canvas, Form1& form)
    : QObject(canvas), canvas_(canvas), form_(form), frame_(new CursorFrame(canvas)) {
    canvas->installEventFilter(this);
}

bool BoardKeys::cursorShown() const {
    return frame_->isVisible();
}

bool BoardKeys::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        frame_->hide();
        pendingFile_ = 0;
    } else if (event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        // Keys with Ctrl or Alt belong to the menus and commands.
        if ((k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0) {
            return key(k->key(), k->modifiers());
        }
    }
    return false;
}

bool BoardKeys::key(int key, Qt::KeyboardModifiers modifiers) {
    const int file = pendingFile_;
    pendingFile_ = 0;
    auto* frame = static_cast<CursorFrame*>(frame_);
    switch (key) {
    case Qt::Key_Left:
        moveTo(std::max(1, cursorX_ - 1), cursorY_);
        return true;
    case Qt::Key_Right:
        moveTo(std::min(Form1::盤サイズ, cursorX_ + 1), cursorY_);
        return true;
    case Qt::Key_Up:
        moveTo(cursorX_, std::max(1, cursorY_ - 1));
        return true;
    case Qt::Key_Down:
        moveTo(cursorX_, std::min(Form1::盤サイズ, cursorY_ + 1));
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: {
        frame->show();
        const Form1::Twips at = Form1::squareCentre(cursorX_, cursorY_);
        const bool promoted = key != Qt::Key_Space && (modifiers & Qt::ShiftModifier) != 0;
        press(promoted ? Form1::ボタン_右 : kLeftButton, at.x, at.y);
        return true;
    }
    default:
        break;
    }
    if (key >= Qt::Key_1 && key <= Qt::Key_9) {
        const int digit = key - Qt::Key_0;
        if (file == 0) {
            pendingFile_ = digit;
            frame->show();
        } else {
            // Files are numbered from the right-hand edge of the board.
            moveTo(10 - file, digit);
        }
        return true;
    }
    if (const int kind = kindOfLetter(key); kind != 0) {
        frame->show();
        const Form1::Twips at = form_.handSquareOf(kind);
        press(kLeftButton, at.x, at.y);
        return true;
    }
    return false;
}

void BoardKeys::moveTo(int X, int Y) {
    cursorX_ = X;
    cursorY_ = Y;
    auto* frame = static_cast<CursorFrame*>(frame_);
    frame->placeOn(X, Y);
    frame->show();
    if (onCursor) {
        onCursor(X, Y);
    }
}

void BoardKeys::press(int button, double x, double y) {
    // The canvas's own press handler: the game, then the board's words, as for the mouse.
    if (canvas_->onPress) {
        canvas_->onPress(button, x, y);
    }
}

void installKeyboardAndReader(QtPlatform& platform, Form1& form) {
    Canvas* canvas = platform.canvas();
    auto* access = new BoardAccess(canvas, form);
    auto* keys = new BoardKeys(canvas, form);
    keys->onCursor = [access](int X, int Y) { access->setCursor(X, Y); };
    platform.onDescribe = [access] { access->refresh(); };
    platform.onBoxOpening = [access] { access->letReaderHear(); };
    auto* copy = new QShortcut(QKeySequence::Copy, platform.window());
    QObject::connect(copy, &QShortcut::activated, canvas, [&form] {
        QGuiApplication::clipboard()->setText(QString::fromStdString(form.recordText()));
    });
}
