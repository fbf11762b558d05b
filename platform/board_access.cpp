#include "platform/board_access.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QThread>
#include <QtGlobal>

#include <algorithm>
#include <array>
#include <memory>

#include "game/form1.h"
#include "platform/device_pixels.h"
#include "platform/input_drop.h"
#include "platform/qt_platform.h"

namespace {

BoardAccess* current = nullptr;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// The logical rectangle of grid cell (column, row) on the canvas.
QRect cellRect(int column, int row) {
    const auto px = logicalPixelsOfTwips;
    return QRect(QPoint(px(Form1::盤X + column * Form1::桝幅), px(Form1::盤Y + row * Form1::桝高)),
                 QPoint(px(Form1::盤X + (column + 1) * Form1::桝幅) - 1,
                        px(Form1::盤Y + (row + 1) * Form1::桝高) - 1));
}

// A leaf or a list without an object of its own: its words come from the game when asked.
class Item : public QAccessibleInterface {
public:
    Item(QAccessibleInterface* parent, QAccessible::Role role, std::function<QString()> name,
         QRect area)
        : parent_(parent), role_(role), name_(std::move(name)), area_(area) {}

    bool isValid() const override { return current != nullptr; }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return parent_; }
    QAccessibleInterface* child(int index) const override {
        return index >= 0 && index < int(children_.size()) ? children_[index] : nullptr;
    }
    int childCount() const override { return int(children_.size()); }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto at = std::find(children_.begin(), children_.end(), child);
        return at == children_.end() ? -1 : int(at - children_.begin());
    }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && current != nullptr ? name_() : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        const QWidget* w = qobject_cast<QWidget*>(parent_->object());
        for (const QAccessibleInterface* p = parent_; w == nullptr && p != nullptr;
             p = p->parent()) {
            w = qobject_cast<QWidget*>(p->object());
        }
        return w != nullptr ? QRect(w->mapToGlobal(area_.topLeft()), area_.size()) : QRect();
    }
    QAccessible::Role role() const override { return role_; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.readOnly = true;
        return s;
    }
    void add(QAccessibleInterface* child) { children_.push_back(child); }

protected:
    QAccessibleInterface* parent_;
    QAccessible::Role role_;
    std::function<QString()> name_;
    QRect area_;
    std::vector<QAccessibleInterface*> children_;
};

} // namespace

// One square of the board: its name and what it holds, and the news while the cursor is on it.
class CellInterface : public Item, public QAccessibleTableCellInterface {
public:
    CellInterface(QAccessibleInterface* table, int X, int Y)
        : Item(
              table, kRole, [X, Y] { return qs(current->form_.squareText(X, Y)); }, cellRect(X, Y)),
          X_(X), Y_(Y) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TableCellInterface
                   ? static_cast<QAccessibleTableCellInterface*>(this)
                   : nullptr;
    }
    QAccessible::State state() const override {
        QAccessible::State s = Item::state();
        s.focusable = true;
        s.focused = onCursor() && current->canvas_->hasFocus();
        return s;
    }
    bool isSelected() const override { return false; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return X_ - 1; }
    int rowIndex() const override { return Y_ - 1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent_; }

private:
    // Orca reads a whole row of table cells on every change of row; a square is enough.
    static constexpr QAccessible::Role kRole = QAccessible::ListItem;
    bool onCursor() const {
        return current != nullptr && current->cursorX_ == X_ && current->cursorY_ == Y_;
    }
    int X_;
    int Y_;
};

// The canvas: the board as a table of cells, then the hands and the status texts.
class BoardInterface : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit BoardInterface(QWidget* canvas) : QAccessibleWidget(canvas, QAccessible::Table) {
        for (int Y = 1; Y <= Form1::盤サイズ; ++Y) {
            for (int X = 1; X <= Form1::盤サイズ; ++X) {
                own(new CellInterface(this, X, Y));
            }
        }
        for (const bool right : {true, false}) {
            const int column = right ? 11 : -1;
            auto* hand = new Item(
                this, QAccessible::List,
                [right] { return qs(current->form_.handOwnerName(right) + "の持駒"); },
                cellRect(column, right ? 2 : 1).united(cellRect(column, right ? 9 : 8)));
            own(hand);
            for (int slot = 1; slot <= 8; ++slot) {
                const int row = right ? slot + 1 : 9 - slot;
                auto* item = new Item(
                    hand, QAccessible::ListItem,
                    [right, slot] { return qs(current->form_.handItemText(right, slot)); },
                    cellRect(column, row));
                hand->add(item);
                ids_.push_back(QAccessible::registerAccessibleInterface(item));
            }
        }
        own(new Item(
            this, QAccessible::StaticText,
            [] { return QString::number(current->form_.手数) + QStringLiteral("手目"); },
            cellRect(12, 3).united(cellRect(14, 3))));
        own(new Item(
            this, QAccessible::StaticText,
            [] { return QStringLiteral("LEVEL ") + QString::number(current->form_.レベル); },
            cellRect(-1, 0).united(cellRect(0, 0))));
        for (const int side : {Form1::手番_先手, Form1::手番_後手}) {
            own(new Item(
                this, QAccessible::StaticText,
                [side] {
                    return QStringLiteral("最後の手 ") + qs(current->form_.lastDropOf(side));
                },
                side == Form1::手番_先手 ? cellRect(13, 2).united(cellRect(14, 2))
                                         : cellRect(-1, 9).united(cellRect(0, 9))));
        }
        // Two, taken in turn: orca speaks an object that takes the focus, not the one it
        // is on already. It also takes two objects with the same role, name and place for
        // one (and both say the same news), so their places differ by a pixel: else a step
        // right after a drop would not be spoken.
        for (int i = 0; i < 2; ++i) {
            own(new Item(
                this, QAccessible::StaticText, [] { return current->news_; },
                cellRect(1, 1).united(cellRect(9, 9)).adjusted(0, 0, 0, -i)));
        }
    }
    ~BoardInterface() override {
        for (const QAccessible::Id id : ids_) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TableInterface ? static_cast<QAccessibleTableInterface*>(this)
                                                   : QAccessibleWidget::interface_cast(type);
    }
    int childCount() const override { return int(children_.size()); }
    QAccessibleInterface* child(int index) const override {
        return index >= 0 && index < int(children_.size()) ? children_[index] : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto at = std::find(children_.begin(), children_.end(), child);
        return at == children_.end() ? -1 : int(at - children_.begin());
    }
    QAccessibleInterface* focusChild() const override {
        return current != nullptr && widget()->hasFocus()
                   ? cellAt(current->cursorY_ - 1, current->cursorX_ - 1)
                   : nullptr;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (QAccessibleInterface* c : children_) {
            if (c->rect().contains(x, y)) {
                return c;
            }
        }
        return nullptr;
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        return row >= 0 && row < kSize && column >= 0 && column < kSize
                   ? children_[row * kSize + column]
                   : nullptr;
    }
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    QString columnDescription(int column) const override {
        // Files are numbered from the right.
        const char* file = Form1::notationText(kSize - column);
        return file != nullptr ? QString::fromUtf8(file) : QString();
    }
    QString rowDescription(int row) const override {
        return row >= 0 && row < kSize ? QString::fromUtf8(Form1::kKanjiNumerals[row + 1])
                                       : QString();
    }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return kSize; }
    int rowCount() const override { return kSize; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    static constexpr int kSize = Form1::盤サイズ;
    void own(QAccessibleInterface* child) {
        children_.push_back(child);
        ids_.push_back(QAccessible::registerAccessibleInterface(child));
    }
    std::vector<QAccessibleInterface*> children_;
    std::vector<QAccessible::Id> ids_;
};

namespace {

QAccessibleInterface* boardFactory(const QString& key, QObject* object) {
    if (key == QLatin1String("Canvas") && current != nullptr && object == current->parent()) {
        return new BoardInterface(static_cast<QWidget*>(object));
    }
    return nullptr;
}

} // namespace

BoardAccess::BoardAccess(Canvas* canvas, Form1& form)
    : QObject(canvas), canvas_(canvas), form_(form) {
    current = this;
    QAccessible::installFactory(boardFactory);
    // An interface made for the canvas before the factory was there is made again by it.
    if (QAccessibleInterface* before = QAccessible::queryAccessibleInterface(canvas);
        before != nullptr && before->tableInterface() == nullptr) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(before));
    }
}

BoardAccess::~BoardAccess() {
    QAccessible::removeFactory(boardFactory);
    current = nullptr;
}

void BoardAccess::setCursor(int X, int Y) {
    cursorX_ = X;
    cursorY_ = Y;
    if (!canvas_->hasFocus() || !QAccessible::isActive()) {
        return;
    }
    QAccessibleInterface* board = QAccessible::queryAccessibleInterface(canvas_);
    QAccessibleTableInterface* table = board != nullptr ? board->tableInterface() : nullptr;
    if (table == nullptr) {
        return;
    }
    QAccessibleEvent focus(table->cellAt(Y - 1, X - 1), QAccessible::Focus);
    QAccessible::updateAccessibility(&focus);
}

void BoardAccess::refresh() {
    const bool running = form_.手番 != Form1::手番_無;
    const std::string summary = form_.boardSummary();
    if (summary == toldSummary_) {
        return;
    }
    QString told;
    // Drops made since the last word, in order: a person's drop and the computer's answer.
    if (running && toldRunning_ && form_.手数 > toldMove_) {
        for (int move = toldMove_ + 1; move <= form_.手数; ++move) {
            told += qs(form_.moverOf(move) + form_.dropText(move)) + QStringLiteral("。");
        }
    }
    QString position = qs(summary);
    if (!told.isEmpty()) {
        // The last drop has been told already.
        position.remove(qs(" " + form_.moverOf(form_.手数) + form_.dropText(form_.手数)));
    }
    toldMove_ = form_.手数;
    toldRunning_ = running;
    toldSummary_ = summary;
    announce(told + position);
}

void BoardAccess::announce(const QString& words) {
    news_ = words;
    if (!QAccessible::isActive()) {
        return;
    }
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent announcement(canvas_, words);
    QAccessible::updateAccessibility(&announcement);
#endif
    // Orca speaks what a newly focused object says, not a change on the one it is on: one of
    // the two news items takes the focus; the next cursor key gives it back to a square.
    if (canvas_->hasFocus()) {
        QAccessibleInterface* board = QAccessible::queryAccessibleInterface(canvas_);
        if (board != nullptr) {
            newsItem_ = 1 - newsItem_;
            QAccessibleEvent focus(board->child(board->childCount() - 1 - newsItem_),
                                   QAccessible::Focus);
            QAccessible::updateAccessibility(&focus);
            toldAt_.start();
        }
    }
}

void BoardAccess::letReaderHear() {
    // orca takes a second at most, under load, to come to a focus it was sent.
    constexpr qint64 kReaderMs = 1000;
    while (toldAt_.isValid() && toldAt_.elapsed() < kReaderMs) {
        dropPendingInput();
        QThread::msleep(5);
    }
    toldAt_.invalidate();
}
