#pragma once

#include <QMessageBox>

#include <functional>
#include <string>

// A Yes/No box without a way out: Escape and the window's close button are ignored, so
// only Yes or No answers it.
class YesNoBox : public QMessageBox {
    Q_OBJECT
public:
    YesNoBox(const QString& text, const QString& title, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

// Called with each box just before it is shown: tests answer it from here.
using BeforeBox = std::function<void(QMessageBox&)>;

// Modal boxes over `parent`: one with an OK button, and a Yes/No box (true for Yes).
void showOkBox(const std::string& text, const std::string& title, QWidget* parent,
               const BeforeBox& before);
bool askYesNoBox(const std::string& text, const std::string& title, QWidget* parent,
                 const BeforeBox& before);
