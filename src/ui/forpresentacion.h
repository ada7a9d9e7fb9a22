#pragma once
// The presentation window: the first window of the program.  A borderless window with an
// orange-to-pink gradient, a credit line, an advert that types itself letter by letter in a
// loop, and three buttons: play (opens the board), credits, exit (ends the program).

#include "lifecycle.h"

#include <QString>
#include <QWidget>

class QAbstractButton;
class QLabel;
class QTimer;

namespace pindel {

class ForPresentacion : public QWidget, public ManagedWindow {
    Q_OBJECT
public:
    // `tablero` is the board window the play button opens; it is made on its first opening.
    explicit ForPresentacion(LazyWindow &tablero, QWidget *parent = nullptr);

    // The advert as designed: 119 characters, five leading blanks, "E´mail" with U+00B4.
    static QString textoPublicidad();

    // ManagedWindow
    QWidget *widget() override { return this; }
    void resetToDesign() override;
    void load() override;
    void unload() override;

    // One tick of the advert animation.  Public so a test can drive the rhythm tick by tick;
    // the timer `Timer2` calls it every 50 ms otherwise.
    void Timer2_Timer();
    // The one late repaint of the gradient, 10 ms after loading.
    void Timer1_Timer();

    // The buttons' handlers: play, credits, exit.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    // The advert state, for reading.
    const QString &FrasePublicidad() const { return m_frasePublicidad; }
    qint32 Publicidad() const { return m_publicidad; }
    quint8 AumentaPublicidad() const { return m_aumentaPublicidad; }
    qint16 UnaLetraMas() const { return m_unaLetraMas; }
    qint16 Fijar() const { return m_fijar; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void pintarDegradado();

    LazyWindow &m_tablero;

    QAbstractButton *m_command1 = nullptr;
    QAbstractButton *m_command2 = nullptr;
    QAbstractButton *m_command3 = nullptr;
    QLabel *m_lblPublicidad = nullptr;
    QLabel *m_label1 = nullptr;
    QTimer *m_timer1 = nullptr;
    QTimer *m_timer2 = nullptr;

    bool m_degradadoPintado = false;  // the gradient shows from the first load on

    QString m_frasePublicidad;
    qint32 m_publicidad = 0;
    quint8 m_aumentaPublicidad = 0;
    qint16 m_unaLetraMas = 0;
    qint16 m_fijar = 0;
};

} // namespace pindel
