// Module1 on Windows.  What it asks of Windows itself is in escritorio_windows.cpp and
// marco_windows.cpp, in plain C++ without Qt; this file turns their answers into the
// program's terms.

#include "module1.h"

#include "escritorio_windows.h"
#include "marco_windows.h"

#include <QDir>
#include <QGuiApplication>
#include <QWidget>

#include <windows.h>   // the build defines WIN32_LEAN_AND_MEAN and NOMINMAX
#include <shellapi.h>

namespace pindel::Module1 {

void markGameRunning()
{
    escritorio::anunciarJuegoAbierto();
}

QStringList commandLine(int argc, char **argv)
{
    // The words Windows was given, every letter as typed: `argv` holds them in the ANSI code
    // page, which turns a letter it lacks (Greek, Cyrillic, CJK on a Spanish Windows) into "?".
    // Split by the rule Qt's entry point splits them by, so the two lists match word for word.
    QStringList palabras;
    int cuantas = 0;
    if (LPWSTR *anchas = CommandLineToArgvW(GetCommandLineW(), &cuantas)) {
        for (int i = 0; i < cuantas; ++i)
            palabras << QString::fromWCharArray(anchas[i]);
        LocalFree(anchas);
    }
    if (palabras.size() == argc)
        return palabras;
    palabras.clear();
    for (int i = 0; i < argc; ++i)
        palabras << QString::fromLocal8Bit(argv[i]);
    return palabras;
}

bool showText(const QString &text, bool error)
{
    // A desktop program has no console of its own: the text goes where the person who
    // started it can see it.
    return escritorio::mostrarTexto(text.toStdWString(),
                                    error ? escritorio::Canal::Error : escritorio::Canal::Salida);
}

std::optional<QByteArray> defaultPlatform(const QByteArray &)
{
    // Windows' own platform, drawing text with FreeType, the engine (and the faces) the Linux
    // build draws with.  Qt's default here, the GDI engine, loses the blank after a capital A
    // ("¡¡PRUEBANO SUPERADA!!.", "SEATAN AMABLE"); DirectWrite is not in the Qt for Windows
    // the program is built with.
    return QByteArrayLiteral("windows:fontengine=freetype");
}

bool screenReaderRunning()
{
    return escritorio::hayLectorDePantalla();
}

void minimizeAllWindows(const QWidget *)
{
    escritorio::minimizarTodasLasVentanas();
}

QRect outerFrame(const QWidget *window)
{
    // Qt 6.4 takes Windows 10's invisible resize borders off every framed window, drawn or not
    // (none are under Wine, nor round a window without a resize border), so the frame drawn is
    // asked of Windows itself.  Only Qt's Windows platform gives a window an HWND; another
    // one's window id (offscreen, minimal) names no window Windows knows, or one not ours.
    escritorio::MargenesMarco m;
    if (window->internalWinId() && QGuiApplication::platformName() == QLatin1String("windows")
        && escritorio::margenesDelMarco(reinterpret_cast<void *>(window->internalWinId()), m)) {
        // Windows counts in physical pixels, the widget in device-independent ones.
        const qreal ratio = window->devicePixelRatioF();
        const auto logical = [ratio](long physical) { return qRound(physical / ratio); };
        return window->geometry().marginsAdded(
            QMargins(logical(m.izquierda), logical(m.arriba), logical(m.derecha), logical(m.abajo)));
    }
    return window->frameGeometry();
}

QStringList olderProgramFolders()
{
    // The system folder, then the 32-bit programs' one on 64-bit Windows, where the writes
    // of the older 32-bit program went.  Both in the ANSI code page, as the older program got
    // them.
    QStringList folders;
    for (const std::string &reported : {escritorio::carpetaDeSistema(), escritorio::carpetaDeSistemaDe32Bits()}) {
        if (!reported.empty())
            folders << QDir::fromNativeSeparators(
                QString::fromLocal8Bit(reported.data(), qsizetype(reported.size())));
    }
    return folders;
}

} // namespace pindel::Module1
