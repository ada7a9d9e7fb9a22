// The keys the Windows build sends at start-up to minimise every window, as a Windows desktop
// receives them: a wrong key, a lost key-up (a Windows key held down for good) or a wrong
// order would each leave the player's desktop in a different state.
#include "escritorio_windows.h"

#include <windows.h>   // the stand-in, which records the calls

#include <QtTest>

class TestEscritorioWindows : public QObject {
    Q_OBJECT
private slots:
    void minimizarTodas();
};

void TestEscritorioWindows::minimizarTodas()
{
    g_keyEvents.clear();
    pindel::escritorio::minimizarTodasLasVentanas();

    // Each call as "key code, scan code, flags (2: key up), extra information".
    QStringList sent;
    for (const KeyEventCall &call : g_keyEvents)
        sent << QStringLiteral("%1 %2 %3 %4").arg(call.key).arg(call.scan).arg(call.flags).arg(call.extra);
    QCOMPARE(sent, QStringList({
                       QStringLiteral("91 0 0 0"),   // left Windows key down
                       QStringLiteral("77 0 0 0"),   // M down
                       QStringLiteral("91 0 2 0"),   // left Windows key up; M gets no key-up
                   }));
}

QTEST_APPLESS_MAIN(TestEscritorioWindows)
#include "test_escritorio_windows.moc"
