// The anchor of the start-up benchmark: a bare QMainWindow of the game window's outer size
// (a menu bar with the game's five captions and the game's client area), linked with Qt
// alone, that quits at its first paint exactly as the game's probe does.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

#include "platform/client_size.h"
#include "platform/first_paint.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    quitAtFirstPaint();
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Anchor"));
    // The menu bar's font is paid for by both programs.
    for (const char* caption : {"対局", "局面", "戻", "進", "その他"}) {
        window.menuBar()->addMenu(QString::fromUtf8(caption));
    }
    auto* client = new QWidget;
    client->setFixedSize(kClientWidth, kClientHeight);
    window.setCentralWidget(client);
    window.show();
    return QApplication::exec();
}
