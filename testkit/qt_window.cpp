#include "testkit/qt_window.h"

#include <QAbstractButton>
#include <QTimer>

QPoint cellPixel(double gx, double gy) {
    return QPoint(qRound((Form1::盤X + (gx + 0.5) * Form1::桝幅) / kTwipsPerPixel),
                  qRound((Form1::盤Y + (gy + 0.5) * Form1::桝高) / kTwipsPerPixel));
}

void BoxAnswers::answerBoxesOf(QtPlatform& platform) {
    platform.beforeDialog = [this](QMessageBox& box) {
        dialogs.push_back(box.windowTitle().toStdString() + "|" + box.text().toStdString());
        dialogFaces.push_back(box.font().family());
        QAbstractButton* answer = box.button(QMessageBox::Ok);
        if (QAbstractButton* yes = box.button(QMessageBox::Yes); yes != nullptr) {
            const bool sayYes = answers.empty() || answers.front();
            if (!answers.empty()) {
                answers.pop_front();
            }
            answer = sayYes ? yes : box.button(QMessageBox::No);
        }
        QTimer::singleShot(0, &box, [this, &box, answer] {
            if (whileShown) {
                whileShown(box);
            }
            answer->click();
        });
    };
}
