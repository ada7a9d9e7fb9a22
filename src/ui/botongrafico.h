#pragma once
// The graphical-style buttons: a flat face in the button's own colour inside a two-pixel
// edge, drawn here rather than by the platform's style, which would shade the face into a
// gradient of colours of its own.  The face colour is the button's palette colour
// QPalette::Button; the caption and picture are laid out by the platform's style inside the
// edge, as for any button.

#include <QPushButton>
#include <QToolButton>

namespace pindel {

// How a graphical button draws its edge and shows the keyboard focus.  Each window was
// designed with one of these looks.
enum class AspectoBoton {
    // A raised edge in shades of the face colour, sunken while pressed; with the focus,
    // and not pressed, the edge is solid black instead.  A push button adds the platform's
    // own focus mark inside the edge, where the platform shows one.
    RelieveFocoNegro,
    // A raised edge in shades of the face colour, sunken while pressed; the focus is a
    // dotted black line just inside the edge.
    RelievePunteado,
    // A white and dark grey edge, swapped while pressed; the focus is a dotted black line
    // just inside the edge.
    BlancoGrisPunteado,
};

// A push button with a caption and/or a picture.  Enter and Space press it when it has the
// focus; Escape does not.
class BotonGrafico : public QPushButton {
    Q_OBJECT
public:
    // `cara` becomes the palette's QPalette::Button.
    BotonGrafico(AspectoBoton aspecto, const QColor &cara, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    AspectoBoton m_aspecto;
};

// A tool button, for a picture standing above its caption (Qt::ToolButtonTextUnderIcon).
class BotonGraficoHerramienta : public QToolButton {
    Q_OBJECT
public:
    // `cara` becomes the palette's QPalette::Button.
    BotonGraficoHerramienta(AspectoBoton aspecto, const QColor &cara, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    AspectoBoton m_aspecto;
};

} // namespace pindel
