#include <QApplication>
#include <QIcon>

#include "game/form1.h"
#include "platform/qt_platform.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kovalt"));
    QApplication::setApplicationVersion(QStringLiteral(KOVALT_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(KOVALT_APP_ID));
    QIcon icon;
    for (int size : {32, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icon/kovalt-%1.png").arg(size), QSize(size, size));
    }
    QApplication::setWindowIcon(icon);

    QtPlatform platform;
    Form1 form(platform);
    platform.connect(form);
    // The first screen is drawn before the window is first shown.
    form.Form_Load();
    if (form.hasQuit()) {
        return 0;
    }
    platform.window()->show();
    return QApplication::exec();
}
