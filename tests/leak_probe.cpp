// Leaks on purpose, for sanitized builds: LeakSanitizer must still report a leak of our own
// code whatever tests/lsan.supp suppresses. The leaked font has been through the font
// database, as the suppressed leaks of fontconfig have.
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    auto* font = new QFont(QStringLiteral("serif"));
    const int advance = QFontMetrics(*font).horizontalAdvance(QStringLiteral("将棋"));
    font = nullptr;
    return advance > 0 ? 0 : 3;
}
