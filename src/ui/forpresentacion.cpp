#include "forpresentacion.h"

#include "botongrafico.h"
#include "centrado.h"
#include "creditos.h"
#include "fuentes.h"
#include "module1.h"
#include "svgpicture.h"
#include "twips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QTimer>

#include <algorithm>

namespace pindel {

namespace {

// The window's inner size as designed, in twips; with no frame it is also the outer size.
constexpr int kAnchoTwips = 7245;
constexpr int kAltoTwips = 3840;

void setColour(QWidget *control, QPalette::ColorRole role, QColor colour)
{
    QPalette palette = control->palette();
    palette.setColor(role, colour);
    control->setPalette(palette);
}

// The advert label: wraps at blanks only, as the advert was laid out for.  Unicode line
// breaking would also break before the acute accent of "E´mail" and leave "´mail." alone on
// the last line; in the drawing only, a word joiner on each side of the accent keeps the word
// whole.  text() stays exactly what was set.
class EtiquetaPublicidad : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QString shown = text();
        shown.replace(QChar(0x00B4), QStringLiteral("\u2060\u00b4\u2060"));
        QPainter painter(this);
        style()->drawItemText(&painter, contentsRect(),
                              QStyle::visualAlignment(layoutDirection(), alignment()) | Qt::TextWordWrap,
                              palette(), isEnabled(), shown, foregroundRole());
    }
};

} // namespace

QString ForPresentacion::textoPublicidad()
{
    return QStringLiteral("     Si usted quiere puede personalizar esta presentaci\u00f3n, asi como el "
                          "resto del programa. Consulte precios por E\u00b4mail.");
}

ForPresentacion::ForPresentacion(LazyWindow &tablero, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_tablero(tablero)
{
    setObjectName(QStringLiteral("ForPresentacion"));
    setWindowTitle(QStringLiteral("Form1"));
    ponerIconoDeVentana(this, art::kRetrato);
    setFixedSize(twips::size(kAnchoTwips, kAltoTwips));
    setColour(this, QPalette::Window, Qt::black);
    buildControls();
}

void ForPresentacion::buildControls()
{
    // Created in tab order: play, advert, exit, credits, credit line.
    auto *play = new BotonGraficoHerramienta(AspectoBoton::RelieveFocoNegro, QColor(255, 192, 192), this);
    play->setObjectName(QStringLiteral("Command1"));
    play->setText(QStringLiteral("&Pindel"));
    play->setGeometry(twips::rect(4035, 1200, 2820, 1215));
    play->setFont(fuenteSansSerif(13.5, true));
    // The sun stands above the caption; a tool button is the button that lays out so.
    play->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    play->setIcon(svgIcon(art::kSol));
    play->setIconSize(QSize(32, 32));
    play->setFocusPolicy(Qt::StrongFocus);
    m_command1 = play;

    m_lblPublicidad = new EtiquetaPublicidad(this);
    m_lblPublicidad->setObjectName(QStringLiteral("LblPublicidad"));
    m_lblPublicidad->setGeometry(twips::rect(375, 1080, 3165, 2160));
    m_lblPublicidad->setFont(fuenteSansSerif(13.5, true));
    m_lblPublicidad->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_lblPublicidad->setWordWrap(true);
    m_lblPublicidad->setTextFormat(Qt::PlainText);
    setColour(m_lblPublicidad, QPalette::WindowText, QColor(255, 255, 0));

    auto *salir = new BotonGrafico(AspectoBoton::RelieveFocoNegro, QColor(192, 192, 0), this);
    salir->setText(QStringLiteral("&Salir"));
    salir->setObjectName(QStringLiteral("Command3"));
    salir->setGeometry(twips::rect(4080, 2880, 1215, 375));
    salir->setFont(fuenteSansSerif(12, true));
    m_command3 = salir;

    auto *creditos = new BotonGrafico(AspectoBoton::RelieveFocoNegro, QColor(192, 192, 255), this);
    creditos->setText(QStringLiteral("&Creditos"));
    creditos->setObjectName(QStringLiteral("Command2"));
    creditos->setGeometry(twips::rect(5640, 2880, 1215, 375));
    creditos->setFont(fuenteSansSerif(9.75, true));
    m_command2 = creditos;

    m_label1 = new QLabel(QStringLiteral("Pindel.  Maberto"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(twips::rect(0, 240, 7215, 615));
    m_label1->setFont(fuenteDecorativa(18, true));
    m_label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_label1->setTextFormat(Qt::PlainText);
    setColour(m_label1, QPalette::WindowText, QColor(0, 0, 255));

    setTabOrder(m_command1, m_command3);
    setTabOrder(m_command3, m_command2);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(10);
    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(50);

    connect(m_timer1, &QTimer::timeout, this, &ForPresentacion::Timer1_Timer);
    connect(m_timer2, &QTimer::timeout, this, &ForPresentacion::Timer2_Timer);
    connect(m_command1, &QAbstractButton::clicked, this, &ForPresentacion::Command1_Click);
    connect(m_command2, &QAbstractButton::clicked, this, &ForPresentacion::Command2_Click);
    connect(m_command3, &QAbstractButton::clicked, this, &ForPresentacion::Command3_Click);
}

void ForPresentacion::resetToDesign()
{
    m_lblPublicidad->setText(textoPublicidad());
    // Both timers are enabled as designed and run from the moment the window is loaded.
    m_timer1->start();
    m_timer2->start();
    m_command1->setFocus();
}

void ForPresentacion::load()
{
    pintarDegradado();
    centrado::centrar(this, centrado::Por::Fuera, centrado::Unidad::Twips);
    Module1::minimizeAllWindows(this);
    m_unaLetraMas = 0;
    m_aumentaPublicidad = 0;
    m_fijar = 0;
    m_publicidad = m_lblPublicidad->text().size();
    m_frasePublicidad = m_lblPublicidad->text();
    m_lblPublicidad->setText(QString());
}

void ForPresentacion::pintarDegradado()
{
    // From now on the window shows the gradient; paintEvent draws it, so it survives the
    // window being covered and costs no picture of its own.
    m_degradadoPintado = true;
    update();
}

void ForPresentacion::paintEvent(QPaintEvent *event)
{
    if (!m_degradadoPintado)
        return;  // not loaded yet: the black background
    // Each row y is a one-pixel band from x = 0 to the inner width in RGB(255, 127, y); a
    // band rather than a line, so it stays whole at any device pixel ratio.  Only the rows
    // and columns that need drawing are drawn: the advert's 20 ticks a second repaint its
    // own small area.
    QPainter painter(this);
    const QRect area = event->rect();
    const int primera = std::max(area.top(), 0);
    const int ultima = std::min(area.bottom(), 255);
    for (int fila = primera; fila <= ultima; ++fila)
        painter.fillRect(QRectF(area.left(), fila, area.width(), 1), QColor(255, 127, fila));
}

void ForPresentacion::Timer1_Timer()
{
    pintarDegradado();
    m_timer1->stop();
}

void ForPresentacion::Timer2_Timer()
{
    m_timer2->stop();
    Module1::lockWindowUpdate(this);
    if (m_aumentaPublicidad >= m_publicidad) {
        // The whole advert is shown: hold it for 69 ticks, clear it on the 70th.
        Module1::unlockWindowUpdate();
        ++m_fijar;
        if (m_fijar == 70) {
            m_unaLetraMas = 0;
            m_fijar = 0;
            m_lblPublicidad->setText(QString());
            m_aumentaPublicidad = 0;
        }
    } else {
        // Typing: one more character every second tick.
        ++m_unaLetraMas;
        if (m_unaLetraMas == 2) {
            m_unaLetraMas = 0;
            ++m_aumentaPublicidad;
            m_lblPublicidad->setText(m_frasePublicidad.left(m_aumentaPublicidad));
        }
        Module1::unlockWindowUpdate();
    }
    m_timer2->start();
}

void ForPresentacion::Command1_Click()
{
    // The animation ends for good: nothing starts Timer2 again.
    m_timer2->stop();
    m_lblPublicidad->setText(textoPublicidad());
    Lifecycle::show(m_tablero);
    Lifecycle::setNormal(m_tablero);
}

void ForPresentacion::Command2_Click()
{
    mostrarCreditos(this);
}

void ForPresentacion::Command3_Click()
{
    Lifecycle::endProgram();
}

void ForPresentacion::unload()
{
    // The window has no close handler of its own: when the platform closes it, its timers go
    // with its controls.
    m_timer1->stop();
    m_timer2->stop();
}

void ForPresentacion::closeEvent(QCloseEvent *event)
{
    Lifecycle::closeRequested(*this, event);
}

} // namespace pindel
