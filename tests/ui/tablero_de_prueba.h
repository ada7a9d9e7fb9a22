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

#include <QCoreApplication>

#include <memory>

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
