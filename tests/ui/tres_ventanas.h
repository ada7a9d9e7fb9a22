#pragma once
// The program's three windows, built and tracked as main builds them, for one test.  Its end
// ends the "program" and lets that end run its course, so the next test starts clean.

#include "forpresentacion.h"
#include "frmsolucion.h"
#include "lifecycle.h"
#include "tablero.h"

#include <QCoreApplication>
#include <QTimer>

// A real window that also counts how often its close handler ran.
template <typename Window>
struct Contada : Window {
    using Window::Window;
    int cierres = 0;
    void unload() override
    {
        ++cierres;
        Window::unload();
    }
};

struct TresVentanas {
    Contada<pindel::FrmSolucion> solucion;
    Contada<pindel::Tablero> tablero{solucion};
    pindel::ForPresentacion presentacion{tablero};

    TresVentanas()
    {
        pindel::Lifecycle::resetEndForTesting();
        pindel::Lifecycle::track(solucion);
        pindel::Lifecycle::track(tablero);
        pindel::Lifecycle::track(presentacion);
    }

    ~TresVentanas()
    {
        // A short event loop swallows the deferred last-close checks and the exit request,
        // which would otherwise end the next test's modal boxes and event loops at once.
        pindel::Lifecycle::endProgram();
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
        pindel::Lifecycle::resetEndForTesting();
    }

    TresVentanas(const TresVentanas &) = delete;
    TresVentanas &operator=(const TresVentanas &) = delete;
};
