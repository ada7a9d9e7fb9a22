#pragma once
// Keyboard play on the board: a transparent field over the 33 holes that takes the focus,
// keeps a cursor on one hole and turns keys into the same drops the mouse makes.
//
// It exists only in keyboard mode; a mouse player never meets it.  It owns what a keyboard
// game needs beyond the board itself: where the cursor stands, which hole is taken, and the
// last thing told to a screen reader.  The position and counters stay in the board's model,
// read here and never written: a drop is the signal `dropped`, which the board window
// connects to its one drop handler, as it connects every hole's.
//
// Keys: arrows move the cursor to the next hole of the cross in that direction (never off
// the cross; at an edge it stays).  Space or Enter takes the peg under the cursor; on another
// hole, drops the taken peg there; on the taken hole, puts it back.  Escape puts it back.

#include "anuncio.h"

#include <QWidget>

namespace pindel {

class Board;

class CampoTeclado : public QWidget {
    Q_OBJECT
public:
    // Where the field stands in the board window: the cross with room for the cursor frame.
    static constexpr int kMargen = 6;
    static QRect geometria();

    CampoTeclado(const Board &board, QWidget *parent);
    ~CampoTeclado() override;

    // A new game: the cursor back on the centre, nothing taken, nothing left to say.
    void nuevaPartida();
    // The board has changed under the field: a peg taken with the keys that the mouse has
    // moved or jumped away meanwhile is no longer taken.
    void tableroCambiado();

    int cursor() const { return m_cursor; }   // hole index
    int tomado() const { return m_tomado; }   // hole index, -1 when nothing is taken
    // The last message for a screen reader ("Movimiento hecho. Jugadas: 1, Resto: 31"); it
    // belongs to the hole under the cursor and is forgotten when the cursor moves.
    const QString &aviso() const { return m_aviso; }
    // The empty widget that tells a screen reader each message as it appears (see anuncio.h).
    QWidget *notificacion() const { return m_anuncio.widget(); }

    // What a screen reader asks of a hole's cell (its table navigation, a click on it): put
    // the cursor on hole `index` and the focus on the field; the same, then Space there.
    void irA(int index);
    void pulsarEn(int index);

    // What a screen reader says for a hole: "Fila 4, columna 4, vacío".
    QString nombreHueco(int index) const;
    // The keyboard instructions, in the field's accessible description.
    static QString instrucciones();
    // The hole's rectangle in the field's coordinates.
    static QRect rectanguloHueco(int index);

signals:
    // The taken peg was dropped with the keys on hole `targetIndex`: the same signal, in the
    // same order, as a hole's HolePicture::dropped.  Emitted from the event loop after the key
    // has been handled, so the handler may open boxes and restart the board.
    void dropped(int targetIndex, int sourceIndex);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void mover(int dFila, int dColumna);
    void ponerCursor(int index);
    void pulsar();
    void devolver();
    void soltarTomado(int destino);
    void avisar(const QString &texto);
    void anunciarFoco();
    void repintarHueco(int index);

    const Board &m_board;
    Anuncio m_anuncio;   // tells a screen reader the messages
    int m_cursor;
    int m_tomado = -1;
    QString m_aviso;
    int m_partida = 0;   // counts new games, so a drop knows whether it ended one
};

} // namespace pindel
