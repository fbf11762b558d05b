#include "platform/message_boxes.h"

#include <QCloseEvent>
#include <QKeyEvent>

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

void showOkBox(const std::string& text, const std::string& title, QWidget* parent,
               const BeforeBox& before) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title),
                    QString::fromStdString(text), QMessageBox::Ok, parent);
    if (before) {
        before(box);
    }
    box.exec();
}

bool askYesNoBox(const std::string& text, const std::string& title, QWidget* parent,
                 const BeforeBox& before) {
    YesNoBox box(QString::fromStdString(text), QString::fromStdString(title), parent);
    if (before) {
        before(box);
    }
    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Yes);
}
