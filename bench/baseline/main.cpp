// The yardstick for the start-up benchmark: the smallest Qt Widgets program that shows a
// window, one label.  Built and run by scripts/bench-desktop next to the game.

#include <QApplication>
#include <QLabel>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Hola"));
    label.resize(483, 256);
    label.show();
    return app.exec();
}
