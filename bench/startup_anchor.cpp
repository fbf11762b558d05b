// The anchor of the start-up benchmark: a bare QMainWindow of the game window's outer size
// (a menu bar and a 559 x 480 client area), linked with Qt alone, that quits at its first
// paint event exactly as the game's probe does.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

#include "bench/first_paint_quit.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QuitAtFirstPaint::install();
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Anchor"));
    window.menuBar()->addMenu(QStringLiteral("File"));
    auto* client = new QWidget;
    client->setFixedSize(559, 480);
    window.setCentralWidget(client);
    window.show();
    return QApplication::exec();
}
