#pragma once
// The board window as the board tests make it, one for each test function: an empty data
// folder of its own, the program's end forgotten before and after, the solution window made
// on its first opening, the board made (with or without keyboard play) and registered for
// "end on last close" as the program registers it.  A test class takes it as a base and calls
// the four steps from its own initTestCase, init and cleanup.

#include "carpeta_datos.h"

#include "frmsolucion.h"
#include "fuentes.h"
#include "lifecycle.h"
#include "tablero.h"

#include <QApplication>
#include <QCoreApplication>
#include <QtTest>

#include <memory>

// Sends the key a letter of a test table stands for to the widget that has the focus: L R U D
// arrows, _ Space, E Return, K keypad Enter, X Escape.  False when no widget has the focus or
// the letter is no key.
inline bool pulsarTeclaDePrueba(QChar letra)
{
    QWidget *foco = QApplication::focusWidget();
    if (!foco)
        return false;
    switch (letra.toLatin1()) {
    case 'L': QTest::keyClick(foco, Qt::Key_Left); break;
    case 'R': QTest::keyClick(foco, Qt::Key_Right); break;
    case 'U': QTest::keyClick(foco, Qt::Key_Up); break;
    case 'D': QTest::keyClick(foco, Qt::Key_Down); break;
    case '_': QTest::keyClick(foco, Qt::Key_Space); break;
    case 'E': QTest::keyClick(foco, Qt::Key_Return); break;
    case 'K': QTest::keyClick(foco, Qt::Key_Enter, Qt::KeypadModifier); break;
    case 'X': QTest::keyClick(foco, Qt::Key_Escape); break;
    default: return false;
    }
    QCoreApplication::processEvents();
    return true;
}

class TableroDePrueba {
protected:
    // Once per test program: the program's faces, and an end of the program that only
    // records (a real exit would make every later modal box of the process return at once).
    static void iniciarPrograma()
    {
        pindel::instalarFuentes();
        pindel::Lifecycle::setExitFunctionForTesting([](int) {});
    }

    // Before each test function; false when the data folder could not be made.
    bool prepararPrueba()
    {
        m_data = std::make_unique<CarpetaDatos>();
        pindel::Lifecycle::resetEndForTesting();
        m_solucion = std::make_unique<pindel::LazyWindow>([] { return std::make_unique<pindel::FrmSolucion>(); });
        return m_data->isValid();
    }

    // The board, made now and not yet opened.
    pindel::Tablero &hacerTablero(bool modoTeclado = false)
    {
        m_tablero = std::make_unique<pindel::Tablero>(*m_solucion, modoTeclado);
        pindel::Lifecycle::track(*m_tablero);
        return *m_tablero;
    }

    // After each test function: the windows go, and whatever they left queued runs first.
    void limpiarPrueba()
    {
        m_tablero.reset();
        m_solucion.reset();
        QCoreApplication::processEvents();
        pindel::Lifecycle::resetEndForTesting();
    }

    std::unique_ptr<CarpetaDatos> m_data;
    std::unique_ptr<pindel::LazyWindow> m_solucion;
    std::unique_ptr<pindel::Tablero> m_tablero;
};
