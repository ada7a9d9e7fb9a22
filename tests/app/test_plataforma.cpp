// The window-system plug-in asked for when the player starts the game without choosing one.
#include "plataforma.h"

#include <QtTest>

class TestPlataforma : public QObject {
    Q_OBJECT
private slots:
    void porDefecto_data();
    void porDefecto();
};

void TestPlataforma::porDefecto_data()
{
    QTest::addColumn<QByteArray>("qtQpaPlatform");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("expected");   // empty: QT_QPA_PLATFORM left as it is

    // No choice of the user's: X when a display is named (XWayland on a Wayland desktop),
    // Wayland when the X server turns out unreachable or none is named.
    QTest::newRow("unset, X display") << QByteArray() << QByteArray(":0") << QByteArray("xcb;wayland");
    QTest::newRow("unset, remote X display") << QByteArray() << QByteArray("host:1.0")
                                             << QByteArray("xcb;wayland");
    QTest::newRow("unset, no X display") << QByteArray() << QByteArray() << QByteArray("wayland");
    QTest::newRow("empty counts as unset") << QByteArray("") << QByteArray(":1")
                                           << QByteArray("xcb;wayland");
    // The user's own choice always wins, whatever the display.
    QTest::newRow("wayland chosen, X display") << QByteArray("wayland") << QByteArray(":0") << QByteArray();
    QTest::newRow("xcb chosen, no X display") << QByteArray("xcb") << QByteArray() << QByteArray();
    QTest::newRow("offscreen chosen") << QByteArray("offscreen") << QByteArray(":0") << QByteArray();
    QTest::newRow("list chosen") << QByteArray("wayland;xcb") << QByteArray() << QByteArray();
}

void TestPlataforma::porDefecto()
{
    QFETCH(QByteArray, qtQpaPlatform);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, expected);
    QCOMPARE(pindel::plataformaPorDefecto(qtQpaPlatform, display), expected);
}

QTEST_APPLESS_MAIN(TestPlataforma)
#include "test_plataforma.moc"
