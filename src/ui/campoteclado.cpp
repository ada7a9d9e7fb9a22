#include "campoteclado.h"

#include "board.h"
#include "pixeles.h"
#include "tablahuecos.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>

namespace pindel {

namespace {

// The holes' cells start at (23, 24) of the board window, 48 pixels apart.
constexpr int kPrimeraX = 23;
constexpr int kPrimeraY = 24;

// The cursor: a light band three pixels wide with a dark line inside it, clear of the hole's
// own border and of the red goal frame around the centre.
const QColor kCursorClaro(255, 255, 255);
const QColor kCursorOscuro(0, 0, 0);
// A taken hole: the dark outline a dragged hole shows, two pixels wide just inside the
// hole's own border.
const QColor kTomado(32, 32, 32);

} // namespace

QRect CampoTeclado::geometria()
{
    const int lado = (kGridSize - 1) * kCellPitch + kHoleSize + 2 * kMargen;
    return QRect(kPrimeraX - kMargen, kPrimeraY - kMargen, lado, lado);
}

QRect CampoTeclado::rectanguloHueco(int index)
{
    const Hole &h = holes()[index];
    return QRect(h.left - kPrimeraX + kMargen, h.top - kPrimeraY + kMargen, kHoleSize, kHoleSize);
}

CampoTeclado::CampoTeclado(const Board &board, QWidget *parent)
    : QWidget(parent), m_board(board), m_anuncio(parent), m_cursor(kCentre)
{
    instalarTablaHuecos(this);
    setObjectName(QStringLiteral("CampoTeclado"));
    setGeometry(geometria());
    setFocusPolicy(Qt::StrongFocus);
    // The holes under it keep every mouse press, drag and drop.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleName(QStringLiteral("Huecos del tablero"));
    setAccessibleDescription(instrucciones());
}

CampoTeclado::~CampoTeclado() = default;

QString CampoTeclado::instrucciones()
{
    return QStringLiteral(
        "Las flechas llevan el cursor de un hueco a otro. Espacio o Intro toma el Cd-rom del "
        "hueco; pulsado después en otro hueco, el Cd-rom salta hasta allí si la jugada es "
        "válida. Pulsado otra vez en el mismo hueco, o con Escape, el Cd-rom se queda donde "
        "estaba.");
}

QString CampoTeclado::nombreHueco(int index) const
{
    const Hole &h = holes()[index];
    QString estado;
    if (index == m_tomado)
        estado = QStringLiteral("Cd-rom tomado");
    else if (m_board.isEmpty(index))
        estado = QStringLiteral("vacío");
    else
        estado = QStringLiteral("con Cd-rom");
    return QStringLiteral("Fila %1, columna %2, %3").arg(h.row + 1).arg(h.column + 1).arg(estado);
}

void CampoTeclado::nuevaPartida()
{
    ++m_partida;
    m_cursor = kCentre;
    m_tomado = -1;
    m_aviso.clear();
    update();
}

void CampoTeclado::tableroCambiado()
{
    if (m_tomado >= 0 && m_board.isEmpty(m_tomado)) {
        repintarHueco(m_tomado);
        m_tomado = -1;
    }
}

void CampoTeclado::paintEvent(QPaintEvent *)
{
    // In device pixels, laid out from each hole as its own border is: the hole's two lines,
    // the goal frame's band outside it, then the cursor, out to the field's margin.
    QPainter painter(this);
    const PixelesDispositivo pixeles(painter);
    const int linea = pixeles.grosor(1);
    if (m_tomado >= 0) {
        const int borde = 2 * linea;
        pixeles.anillo(pixeles.caja(rectanguloHueco(m_tomado)).adjusted(borde, borde, -borde, -borde),
                       pixeles.grosor(2), kTomado);
    }
    if (hasFocus()) {
        const QRect hueco = rectanguloHueco(m_cursor);
        const QRect caja = pixeles.caja(hueco);
        const int marco = pixeles.banda(hueco, 2), oscuro = marco + linea;
        const int fuera = pixeles.banda(hueco, kMargen);
        pixeles.anillo(caja.adjusted(-fuera, -fuera, fuera, fuera), fuera - oscuro, kCursorClaro);
        pixeles.anillo(caja.adjusted(-oscuro, -oscuro, oscuro, oscuro), linea, kCursorOscuro);
    }
}

void CampoTeclado::repintarHueco(int index)
{
    update(rectanguloHueco(index).adjusted(-kMargen, -kMargen, kMargen, kMargen));
}

void CampoTeclado::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left: mover(0, -1); break;
    case Qt::Key_Right: mover(0, 1); break;
    case Qt::Key_Up: mover(-1, 0); break;
    case Qt::Key_Down: mover(1, 0); break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter: pulsar(); break;
    case Qt::Key_Escape: devolver(); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void CampoTeclado::mover(int dFila, int dColumna)
{
    const Hole &aqui = holes()[m_cursor];
    for (int fila = aqui.row + dFila, columna = aqui.column + dColumna;
         fila >= 0 && fila < kGridSize && columna >= 0 && columna < kGridSize;
         fila += dFila, columna += dColumna) {
        if (!isHoleCell(fila, columna))
            continue;
        ponerCursor(holeAtCell(fila, columna));
        return;
    }
}

void CampoTeclado::ponerCursor(int index)
{
    repintarHueco(m_cursor);
    m_cursor = index;
    m_aviso.clear();
    repintarHueco(m_cursor);
    anunciarFoco();
}

void CampoTeclado::irA(int index)
{
    if (index < 0 || index >= kHoleCount)
        return;
    if (index != m_cursor)
        ponerCursor(index);
    // A field that takes the focus now tells the reader the hole itself (focusInEvent).
    if (!hasFocus())
        setFocus(Qt::OtherFocusReason);
}

void CampoTeclado::pulsarEn(int index)
{
    if (index < 0 || index >= kHoleCount)
        return;
    irA(index);
    pulsar();
}

void CampoTeclado::pulsar()
{
    if (m_tomado == m_cursor) {
        devolver();
    } else if (m_tomado >= 0) {
        soltarTomado(m_cursor);
    } else if (!m_board.isEmpty(m_cursor)) {
        m_tomado = m_cursor;
        repintarHueco(m_tomado);
        avisar(QStringLiteral("Cd-rom tomado"));
    }
}

void CampoTeclado::devolver()
{
    if (m_tomado < 0)
        return;
    repintarHueco(m_tomado);
    m_tomado = -1;
    avisar(QStringLiteral("Cd-rom devuelto a su hueco"));
}

void CampoTeclado::soltarTomado(int destino)
{
    const int origen = m_tomado;
    repintarHueco(origen);
    m_tomado = -1;
    // The drop handler may open boxes and restart the board, which resets this field: it
    // runs once this key has been handled, as the mouse's drop runs after its drag.
    QTimer::singleShot(0, this, [this, destino, origen] {
        const int partida = m_partida;
        const int antes = m_board.movimientos();
        emit dropped(destino, origen);
        if (m_partida != partida)
            return;   // the game ended and a new one began: the boxes have said it all
        repintarHueco(destino);
        if (m_board.movimientos() != antes)
            avisar(QStringLiteral("Movimiento hecho. Jugadas: %1, Resto: %2")
                       .arg(m_board.movimientos())
                       .arg(m_board.restantes()));
        else
            avisar(QStringLiteral("Movimiento no válido"));
    });
}

void CampoTeclado::avisar(const QString &texto)
{
    // The hole under the cursor keeps the message as its description, for a reader that asks
    // where it is; the notification says it now, and the focus stays on the hole.
    m_aviso = texto;
    m_anuncio.decir(texto);
}

void CampoTeclado::anunciarFoco()
{
    if (!hasFocus())
        return;
    if (QAccessibleInterface *celda = celdaDeHueco(this, m_cursor)) {
        QAccessibleEvent foco(celda, QAccessible::Focus);
        QAccessible::updateAccessibility(&foco);
    }
}

void CampoTeclado::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    repintarHueco(m_cursor);
    // The widget tells the screen reader it has the focus once this handler returns; the
    // hole under the cursor takes it over right after, and a reader skips straight to the
    // hole.  So the hole carries the instructions until the cursor first moves.
    m_aviso = instrucciones();
    QTimer::singleShot(0, this, &CampoTeclado::anunciarFoco);
}

void CampoTeclado::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    repintarHueco(m_cursor);
}

} // namespace pindel
