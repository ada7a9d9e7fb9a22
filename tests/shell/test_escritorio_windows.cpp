// What the Windows build asks of Windows, as a Windows system answers it: the keys that
// minimise every window (a wrong key, a lost key-up or a wrong order would each leave the
// player's desktop in a different state), the system folders where the older program kept
// its winners, and where the command line's answer goes when the program has no console.
#include "escritorio_windows.h"

#include <windows.h>   // the stand-in, which answers as set up and records the calls

#include <QtTest>

using pindel::escritorio::Canal;

class TestEscritorioWindows : public QObject {
    Q_OBJECT
private slots:
    void minimizarTodas();
    void carpetasDeSistema_data();
    void carpetasDeSistema();
    void mostrarTexto_data();
    void mostrarTexto();
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

void TestEscritorioWindows::carpetasDeSistema_data()
{
    QTest::addColumn<QString>("reported");
    QTest::addColumn<QString>("folder");
    const QString fits = "C:\\" + QString(124, 'a'), tooLong = fits + 'a';
    QTest::newRow("as reported") << "C:\\WINDOWS\\system32" << "C:\\WINDOWS\\system32";
    QTest::newRow("the call fails") << "" << "";
    QTest::newRow("127 characters fit with their end") << fits << fits;
    QTest::newRow("128 characters do not") << tooLong << "";
}

void TestEscritorioWindows::carpetasDeSistema()
{
    QFETCH(QString, reported);
    QFETCH(QString, folder);
    g_windows = {};
    g_windows.systemFolder = reported.toStdString();
    QCOMPARE(QString::fromStdString(pindel::escritorio::carpetaDeSistema()), folder);
    QCOMPARE(g_windows.bufferSize, 128u);
    g_windows = {};
    g_windows.systemFolder32 = reported.toStdString();
    QCOMPARE(QString::fromStdString(pindel::escritorio::carpetaDeSistemaDe32Bits()), folder);
    QCOMPARE(g_windows.bufferSize, 128u);
}

void TestEscritorioWindows::mostrarTexto_data()
{
    QTest::addColumn<bool>("error");           // standard error, or standard output
    QTest::addColumn<QString>("handle");       // what the standard handle is
    QTest::addColumn<bool>("parentConsole");   // started from a console program
    QTest::addColumn<QStringList>("calls");
    const QString crLf = QString::fromUtf8("Versión 1.00\r\nFin\r\n"), lf = QString::fromUtf8("Versión 1.00\nFin\n");
    QTest::newRow("a pipe: UTF-8, CR LF") << false << "pipe" << true << QStringList{"WriteFile out " + crLf};
    QTest::newRow("standard error to a file") << true << "file" << false << QStringList{"WriteFile err " + crLf};
    QTest::newRow("a console") << false << "console" << false << QStringList{"WriteConsoleW out " + lf};
    QTest::newRow("from cmd.exe: the shell's console, on a line of its own")
        << false << "none" << true << QStringList{"WriteConsoleW CONOUT$ \n" + lf};
    QTest::newRow("a console handle it is not attached to")
        << true << "another's console" << true << QStringList{"WriteConsoleW CONOUT$ \n" + lf};
    QTest::newRow("from a shortcut: a message box") << false << "none" << false
                                                    << QStringList{"MessageBoxW Pindel 65600 " + lf};
    QTest::newRow("a refusal from a shortcut: a warning") << true << "none" << false
                                                          << QStringList{"MessageBoxW Pindel 65584 " + lf};
}

void TestEscritorioWindows::mostrarTexto()
{
    QFETCH(bool, error);
    QFETCH(QString, handle);
    QFETCH(bool, parentConsole);
    QFETCH(QStringList, calls);
    g_windows = {};
    g_calls.clear();
    g_windows.parentConsole = parentConsole;
    const StandInHandle kinds[] = {{FILE_TYPE_PIPE, false, true, ""}, {FILE_TYPE_DISK, false, true, ""},
                                   {FILE_TYPE_CHAR, true, true, ""}, {FILE_TYPE_CHAR, false, false, ""}};
    const int kind = QStringList{"pipe", "file", "console", "another's console"}.indexOf(handle);
    if (kind >= 0) {
        const DWORD which = error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE;
        g_windows.standard[which] = HANDLE(std::uintptr_t(which));
        g_windows.handles[g_windows.standard[which]] = kinds[kind];
        g_windows.handles[g_windows.standard[which]].name = error ? "err" : "out";
    }
    QVERIFY(pindel::escritorio::mostrarTexto(L"Versi\u00f3n 1.00\nFin\n", error ? Canal::Error : Canal::Salida));
    QStringList recorded;
    for (const std::string &call : g_calls)
        recorded << QString::fromStdString(call);
    QCOMPARE(recorded, calls);
}

QTEST_APPLESS_MAIN(TestEscritorioWindows)
#include "test_escritorio_windows.moc"
