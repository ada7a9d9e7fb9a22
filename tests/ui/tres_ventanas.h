#pragma once
// The program's three windows, made as the program makes them (the board and the solution
// window on their first opening), for one test; the board and solution window count how
// often their close handler ran.

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

// One run of the "program" inside a test: made after the windows (so it goes before them),
// it ends the program and lets that end run its course, so the next test starts clean.
struct FinDelPrograma {
    FinDelPrograma() { pindel::Lifecycle::resetEndForTesting(); }
    ~FinDelPrograma()
    {
        // A short event loop swallows the deferred last-close checks and the exit request,
        // which would otherwise end the next test's modal boxes and event loops at once.
        pindel::Lifecycle::endProgram();
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
        pindel::Lifecycle::resetEndForTesting();
    }
    FinDelPrograma(const FinDelPrograma &) = delete;
    FinDelPrograma &operator=(const FinDelPrograma &) = delete;
};

struct TresVentanas {
    pindel::LazyWindow ventanaSolucion{[] { return std::make_unique<Contada<pindel::FrmSolucion>>(); }};
    pindel::LazyWindow ventanaTablero{[this] { return std::make_unique<Contada<pindel::Tablero>>(ventanaSolucion); }};
    pindel::ForPresentacion presentacion{ventanaTablero};
    FinDelPrograma fin;

    TresVentanas() { pindel::Lifecycle::track(presentacion); }

    TresVentanas(const TresVentanas &) = delete;
    TresVentanas &operator=(const TresVentanas &) = delete;

    // The windows themselves; asking for one that was never opened makes it.
    Contada<pindel::Tablero> &tablero() { return static_cast<Contada<pindel::Tablero> &>(ventanaTablero.get()); }
    Contada<pindel::FrmSolucion> &solucion()
    {
        return static_cast<Contada<pindel::FrmSolucion> &>(ventanaSolucion.get());
    }

    // Whether a window is on the screen; one never made is not.
    static bool visible(const pindel::LazyWindow &window)
    {
        return window.existing() && window.existing()->widget()->isVisible();
    }
};
