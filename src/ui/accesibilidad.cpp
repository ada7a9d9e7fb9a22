#include "accesibilidad.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QWidget>

#include <iterator>

namespace pindel {
namespace {

struct Descripcion {
    const char *window;
    const char *control;     // object name; the window itself when empty
    const char *name;        // nullptr: keep the name the control has (its text)
    const char *description;
};

// Names repeat what the tips say, in plain Spanish with its accents; descriptions say what
// the control does or holds.  The gesture spots `Label5` and `Label6` of the board are left
// out on purpose: the help says the solution is hidden, and naming the spots would give it
// away.
const Descripcion kDescripciones[] = {
    // The presentation window.  Its title "Form1" is never shown, so it gets a real name.
    {"ForPresentacion", "", "Pindel", "Presentación del juego"},
    {"ForPresentacion", "Command1", "Pindel", "Abre el tablero para jugar"},
    {"ForPresentacion", "Command2", "Créditos", "Muestra los datos del autor"},
    {"ForPresentacion", "Command3", "Salir", "Termina el programa"},
    // The advert types itself letter by letter; a fixed name keeps a screen reader from
    // announcing every letter.
    {"ForPresentacion", "LblPublicidad", "Publicidad", "Texto publicitario que se escribe letra a letra"},
    {"ForPresentacion", "Label1", nullptr, "Nombre del juego y de su autor"},

    // The board window.
    {"Tablero", "", nullptr, "Tablero del juego: 33 huecos en cruz"},
    {"Tablero", "Command1", "Créditos y contacto", "Muestra los datos del autor"},
    {"Tablero", "Command2", "Inicia un nuevo juego",
     "Vuelve a colocar los Cd-rom en la posición de salida"},
    {"Tablero", "Command3", "Ayuda", "Muestra las instrucciones del juego"},
    {"Tablero", "Command4", "Abandonar el juego", "Cierra el tablero; la partida en curso se pierde"},
    {"Tablero", "Lista", "Los que lo consiguieron",
     "Lista de las personas que han conseguido completar el juego"},
    {"Tablero", "LblResto", "Resto", "Huecos que faltan para finalizar el juego"},
    {"Tablero", "LblMarcador", "Jugadas", "Movimientos realizados"},
    {"Tablero", "Label2", nullptr, "Título del contador de Cd-rom que quedan"},
    {"Tablero", "Label1", nullptr, "Título del contador de movimientos"},
    {"Tablero", "Label3", nullptr, "Título de la lista de ganadores"},
    {"Tablero", "Label4", nullptr, "Publicidad"},
    {"Tablero", "Shape1", "Hueco central", "Marco rojo: el último Cd-rom debe quedar en este hueco"},

    // The solution window.
    {"FrmSolucion", "", nullptr, "Solución del juego"},
    {"FrmSolucion", "Command1", "OK", "Cierra la ventana de la solución"},
    {"FrmSolucion", "Label2", "Centro", "Hueco central del tablero"},
    {"FrmSolucion", "Label3", nullptr, "Título de la lista de movimientos"},
    {"FrmSolucion", "List1", "Lista de movimientos",
     "Los 31 movimientos que resuelven el juego, en orden: desde qué hueco, sobre cuál y a cuál"},
};

constexpr int kHuecosNumerados = 32;  // Label1_0 .. Label1_31 of the solution window

// The board's counters are labels whose text is a bare number.  Read alone, "31" says
// nothing; with a fixed accessible name the number would be lost.  So their accessible name
// is the table's name followed by the current text, and Qt tells the screen reader whenever
// the text changes (QLabel does so while the widget has no accessible name of its own).
class Contador : public QAccessibleWidget {
public:
    Contador(QLabel *label, const QString &que)
        : QAccessibleWidget(label, QAccessible::StaticText), m_que(que) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return QStringLiteral("%1: %2").arg(m_que, static_cast<QLabel *>(widget())->text());
        return QAccessibleWidget::text(t);
    }

private:
    QString m_que;
};

bool esContador(const QObject *object)
{
    const QObject *window = object->parent();
    return window && window->objectName() == QLatin1String("Tablero")
           && (object->objectName() == QLatin1String("LblResto")
               || object->objectName() == QLatin1String("LblMarcador"));
}

const Descripcion *descripcion(const QString &window, const QString &control)
{
    for (const Descripcion &d : kDescripciones) {
        if (window == QLatin1String(d.window) && control == QLatin1String(d.control))
            return &d;
    }
    return nullptr;
}

// A plain top-level QWidget reaches a screen reader as a bare "filler"; the program's windows
// are windows, read with their title (or the accessible name a window was given).
bool esVentana(const QString &className, QObject *object)
{
    return className == QLatin1String("QWidget") && object->isWidgetType()
           && static_cast<QWidget *>(object)->isWindow();
}

QAccessibleInterface *fabrica(const QString &className, QObject *object)
{
    if (esVentana(className, object))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    if (className != QLatin1String("QLabel") || !esContador(object))
        return nullptr;
    auto *label = static_cast<QLabel *>(object);
    const Descripcion *d = descripcion(label->parent()->objectName(), label->objectName());
    return d ? new Contador(label, QString::fromUtf8(d->name)) : nullptr;
}

// One factory for the whole program, installed with the first window described: cheap, and
// it only answers when something (a screen reader) asks for an interface.
void instalarFabrica()
{
    static bool instalada = false;
    if (!instalada) {
        QAccessible::installFactory(fabrica);
        instalada = true;
    }
}

// An interface Qt made for the window before the factory was there is dropped, so the next
// request gets a window.
void olvidarVentanaAnterior(QWidget *window)
{
    QAccessibleInterface *actual = QAccessible::queryAccessibleInterface(window);
    if (actual && actual->role() != QAccessible::Window)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(actual));
}

// Qt makes and keeps an interface for a label as soon as its text is first set, even with no
// screen reader listening; one made before the factory was there is dropped, so the next
// request gets a Contador.
void olvidarInterfazAnterior(QLabel *label)
{
    QAccessibleInterface *actual = QAccessible::queryAccessibleInterface(label);
    if (actual && !dynamic_cast<Contador *>(actual))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(actual));
}

void aplicar(QWidget *widget, const Descripcion &d)
{
    // The counters' name is built live; an accessible name set on the widget would also
    // stop Qt from announcing their changes.
    if (d.name && !esContador(widget))
        widget->setAccessibleName(QString::fromUtf8(d.name));
    widget->setAccessibleDescription(QString::fromUtf8(d.description));
}

} // namespace

void describirControles(QWidget *window)
{
    if (!window)
        return;
    const QString ventana = window->objectName();
    instalarFabrica();
    olvidarVentanaAnterior(window);
    for (const Descripcion &d : kDescripciones) {
        if (ventana != QLatin1String(d.window))
            continue;
        QWidget *control = d.control[0] ? window->findChild<QWidget *>(QLatin1String(d.control))
                                        : window;
        if (!control)
            continue;
        aplicar(control, d);
        if (auto *label = qobject_cast<QLabel *>(control); label && esContador(label))
            olvidarInterfazAnterior(label);
    }

    if (ventana == QLatin1String("FrmSolucion")) {
        for (int i = 0; i < kHuecosNumerados; ++i) {
            if (auto *numero = window->findChild<QLabel *>(QStringLiteral("Label1_%1").arg(i)))
                numero->setAccessibleDescription(
                    QStringLiteral("Número de hueco que usa la lista de movimientos"));
        }
    }
}

} // namespace pindel
