#include "centrado.h"

#include "module1.h"
#include "twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace pindel::centrado {

namespace {

// Where a side of `medida` pixels starts for it to stand in the middle of `pantalla` pixels.
int mitad(int pantalla, int medida, Unidad unidad)
{
    if (unidad == Unidad::Pixeles)
        return static_cast<int>(std::floor((static_cast<float>(pantalla) - static_cast<float>(medida)) / 2.0f));
    return twips::toPixels((twips::fromPixels(pantalla) - twips::fromPixels(medida)) / 2.0);
}

} // namespace

QRect marcoVisto(const QWidget *window)
{
    const QRect frame = Module1::outerFrame(window);
    const QSize extra = frame.size() - window->size();
    if (extra.width() < 0 || extra.height() < 0 || extra.width() > 200 || extra.height() > 200)
        return QRect(window->frameGeometry().topLeft(), window->size());
    return frame;
}

QPoint centrar(QWidget *window, Por por, Unidad unidad, QSize *medido)
{
    const QScreen *pantalla = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!pantalla)
        return window->frameGeometry().topLeft();
    const QRect area = pantalla->geometry();
    const QSize medida = por == Por::Fuera ? marcoVisto(window).size() : window->size();
    if (medido)
        *medido = medida;
    const QPoint esquina(area.x() + mitad(area.width(), medida.width(), unidad),
                         area.y() + mitad(area.height(), medida.height(), unidad));
    ponerMarcoEn(window, esquina);
    return esquina;
}

void ponerMarcoEn(QWidget *window, const QPoint &esquina)
{
    const QPoint desde = window->frameGeometry().topLeft() - marcoVisto(window).topLeft();
    window->move(window->x(), esquina.y() + desde.y());
    window->move(esquina.x() + desde.x(), window->y());
}

} // namespace pindel::centrado
