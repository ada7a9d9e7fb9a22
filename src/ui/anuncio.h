#pragma once
// What the game tells a screen reader of its own accord, beyond the control that has the
// focus: the outcome of a key ("Cd-rom tomado", "Movimiento hecho. Jugadas: 1, Resto: 31",
// "Movimiento no válido"), one sentence at a time, said once, when the game decides it.
//
// A sentence reaches every screen reader through what its platform's Qt bridge carries, with
// the same calls on every platform; each bridge takes what it understands and drops the rest:
// - An empty widget of the window, never painted, of role Notification, whose accessible name
//   is the sentence, is hidden and shown again.  AT-SPI tells Orca it is showing, and Orca
//   speaks a notification as it appears.  Qt 6.4's UI Automation bridge drops the show and the
//   name change.
// - A value change carrying the sentence, on the same widget.  Qt's UI Automation bridge
//   raises it as a UIA notification (UiaRaiseNotificationEvent, Windows 10 1709 and later;
//   where that call is missing, a change of the element's Value, which is the sentence too),
//   and NVDA and Narrator speak it.  AT-SPI sends nothing for a value change on an element
//   that has no numeric value, so Orca hears the sentence once.

class QString;
class QWidget;

namespace pindel {

// The object name of the notification widget.
extern const char *const kObjetoAviso;

class Anuncio {
public:
    // Makes the notification widget in `ventana`, which owns it; it never takes the focus or a
    // mouse press and has no size.
    explicit Anuncio(QWidget *ventana);

    // Tells `texto` to the screen reader now.  Saying the same sentence twice says it twice.
    void decir(const QString &texto);

    // The notification widget: its accessible name is the last sentence said.
    QWidget *widget() const { return m_widget; }

private:
    QWidget *m_widget;
};

} // namespace pindel
