#pragma once
// The board window: the 33 holes, the counters, the advertising text, the four picture
// buttons, the winners list, and the two hidden spots that open the solution window.
//
// It owns the game: the position and counters (in a Board), the gesture flag, and the
// winners list shown in `Lista` and kept in the winners file.  Opening it (through the
// lifecycle) puts every control back to its design and runs the load handler, which sets
// up a new game; a restart closes and opens it again in place.

#include "board.h"
#include "lifecycle.h"
#include "winners_file.h"

#include <QWidget>

#include <array>

class QLabel;
class QListWidget;
class QPushButton;
class QSvgRenderer;

namespace pindel {

class CampoTeclado;
class HolePicture;
class Imagen;

class Tablero : public QWidget, public ManagedWindow {
    Q_OBJECT
public:
    static constexpr int kWidth = 600;
    static constexpr int kHeight = 371;

    // `solucion` is the solution window the hidden gesture opens; it is made on its first opening.
    // `modoTeclado` turns on keyboard play (off: the board is exactly the mouse game's).
    explicit Tablero(LazyWindow &solucion, bool modoTeclado = false, QWidget *parent = nullptr);
    ~Tablero() override;

    // ManagedWindow
    QWidget *widget() override { return this; }
    void resetToDesign() override;
    void load() override;
    void unload() override;

    // The drop handler of the holes: hole `source` was dropped on hole `index`.
    void Image1_DragDrop(int index, int source);
    // The buttons.
    void Command1_Click();  // credits
    void Command2_Click();  // new game
    void Command3_Click();  // help
    void Command4_Click();  // leave
    // The hidden gesture.
    void Label5_Click();
    void Label6_MouseDown(Qt::MouseButton button);

    const Board &board() const { return m_board; }
    bool modoTeclado() const { return m_modoTeclado; }
    quint8 solucion() const { return Solucion; }
    HolePicture *hole(int index) const { return Image1[index]; }
    // The keyboard field over the holes; nullptr with keyboard play off.
    CampoTeclado *campoTeclado() const { return m_campo; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void crearControles();
    void aplicarDiseno();
    void centrar();
    void mostrarHuecos();
    void Conseguido();
    void MirarArchivo();
    void GuardarArchivo();
    void avisar(const QString &title, const QString &text);

    LazyWindow &m_solucion;
    const bool m_modoTeclado;

    // Controls, named as designed.
    std::array<HolePicture *, kHoleCount> Image1{};
    Imagen *Vacio = nullptr;
    Imagen *Muestra = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *LblMarcador = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *LblResto = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command4 = nullptr;
    QListWidget *Lista = nullptr;
    QWidget *Shape1 = nullptr;
    CampoTeclado *m_campo = nullptr;   // keyboard mode only: the last stop of the tab chain
    std::array<QLabel *, 8> m_etiquetas{};   // the labels, in the order of their design table

    // The two pictures; a hole is empty exactly when it shows m_vacioPicture.
    QSvgRenderer *m_vacioPicture = nullptr;
    QSvgRenderer *m_muestraPicture = nullptr;

    // Window state.
    Board m_board;            // pegs, Movimientos, Restantes
    quint8 Solucion = 0;      // hidden gesture: 0 disarmed, 1 armed
    QString Jugador;          // the winner's name
    winners::WinnersFile m_archivo;
    QString m_ultimoAviso;    // the last winners-file problem told to the player
    QSize m_centradoCon;      // the outer size the window was last centred with
};

} // namespace pindel
