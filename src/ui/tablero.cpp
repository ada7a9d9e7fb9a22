#include "tablero.h"

#include "botongrafico.h"
#include "campoteclado.h"
#include "centrado.h"
#include "creditos.h"
#include "disenotablero.h"
#include "fuentes.h"
#include "holepicture.h"
#include "marcolista.h"
#include "module1.h"
#include "nombreganador.h"
#include "older_program_file.h"
#include "pixeles.h"
#include "svgpicture.h"

#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>
#include <QTimer>

#include <memory>

namespace pindel {

using namespace disenotablero;

namespace {

const QString kPlaceholder = QString::fromLatin1(winners::kPlaceholder);

// The red goal frame around the centre hole: a 4-pixel outline, no fill.
class Marco : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        // The frame stands two pixels round the hole it marks, half outside it and half
        // under the hole's two border lines.  In device pixels it is laid out from the hole,
        // so the band a player sees round the hole is as wide on every side.
        QPainter painter(this);
        const PixelesDispositivo pixeles(painter);
        const QRectF hueco = QRectF(rect()).adjusted(2, 2, -2, -2);
        const int fuera = pixeles.banda(hueco, 2);
        pixeles.anillo(pixeles.caja(hueco).adjusted(-fuera, -fuera, fuera, fuera), fuera + 2 * pixeles.grosor(1),
                       QColor(255, 0, 0));
    }
};

} // namespace

Tablero::Tablero(LazyWindow &solucion, bool modoTeclado, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint),
      m_solucion(solucion),
      m_modoTeclado(modoTeclado)
{
    setObjectName(QStringLiteral("Tablero"));
    setWindowTitle(QStringLiteral(" Pindel.  Maberto."));
    ponerIconoDeVentana(this, art::kSol);
    setFixedSize(kWidth, kHeight);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kOliva);
    setPalette(pal);
    setAutoFillBackground(true);

    m_vacioPicture = new QSvgRenderer(art::kAnillo, this);
    m_muestraPicture = new QSvgRenderer(art::kCdrom, this);
    crearControles();
    aplicarDiseno();
    resetToDesign();
}

Tablero::~Tablero() = default;

void Tablero::crearControles()
{
    // Stacking follows creation: the goal frame lies under the holes.
    Shape1 = new Marco(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);

    Vacio = new Imagen(this);
    Vacio->setObjectName(QStringLiteral("Vacio"));
    Muestra = new Imagen(this);
    Muestra->setObjectName(QStringLiteral("Muestra"));

    for (const Hole &h : holes()) {
        auto *hole = new HolePicture(h.index, this);
        hole->setObjectName(QStringLiteral("Image1_%1").arg(h.index));
        connect(hole, &HolePicture::dropped, this, &Tablero::Image1_DragDrop);
        Image1[h.index] = hole;
    }

    QLabel **labels[] = {&Label2, &LblResto, &Label1, &LblMarcador, &Label4, &Label3, &Label5, &Label6};
    static_assert(std::size(labels) == std::size(kEtiquetas));
    for (std::size_t i = 0; i < std::size(kEtiquetas); ++i) {
        auto *label = new QLabel(this);
        m_etiquetas[i] = label;
        label->setObjectName(QString::fromLatin1(kEtiquetas[i].nombre));
        label->setWordWrap(true);
        label->setFocusPolicy(Qt::NoFocus);
        *labels[i] = label;
    }
    Label5->installEventFilter(this);
    Label6->installEventFilter(this);

    QPushButton **buttons[] = {&Command1, &Command2, &Command3, &Command4};
    for (std::size_t i = 0; i < std::size(kBotones); ++i) {
        auto *button = new BotonGrafico(AspectoBoton::RelievePunteado, kBotones[i].cara, this);
        button->setObjectName(QString::fromLatin1(kBotones[i].nombre));
        *buttons[i] = button;
    }
    connect(Command1, &QPushButton::clicked, this, &Tablero::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Tablero::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Tablero::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Tablero::Command4_Click);

    Lista = new QListWidget(this);
    Lista->setObjectName(QStringLiteral("Lista"));
    enmarcarEnPixeles(Lista);
    Lista->setSelectionMode(QAbstractItemView::SingleSelection);
    Lista->setSortingEnabled(false);
    Lista->setUniformItemSizes(true);

    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Command3);
    setTabOrder(Command3, Lista);
    setTabOrder(Lista, Command4);

    // Keyboard play: a field over the holes, made last so it lies on top of them, and one
    // more stop of the tab chain.  Its drops are the mouse's, through the same handler.
    if (m_modoTeclado) {
        m_campo = new CampoTeclado(m_board, this);
        connect(m_campo, &CampoTeclado::dropped, this, &Tablero::Image1_DragDrop);
        setTabOrder(Command4, m_campo);
    }
}

void Tablero::aplicarDiseno()
{
    // Everything here is fixed for the life of the window; resetToDesign() restores only
    // what a game can change.
    for (std::size_t i = 0; i < std::size(kEtiquetas); ++i) {
        const Etiqueta &d = kEtiquetas[i];
        QLabel *label = m_etiquetas[i];
        label->setGeometry(d.geometria);
        label->setAlignment(d.alineacion);
        label->setFont(fuenteSansSerif(9.75, d.negrita));
        label->setToolTip(QString::fromUtf8(d.consejo));
        QPalette pal = label->palette();
        if (d.color.isValid())
            pal.setColor(QPalette::WindowText, d.color);
        label->setPalette(pal);
        label->setAutoFillBackground(false);
    }

    for (const Boton &d : kBotones) {
        auto *button = findChild<QPushButton *>(QString::fromLatin1(d.nombre));
        button->setGeometry(d.geometria);
        button->setToolTip(QString::fromUtf8(d.consejo));
        if (d.dibujo) {
            button->setIcon(svgIcon(*d.dibujo));
            button->setIconSize(QSize(32, 32));
        }
    }
    Command4->setText(QStringLiteral("X"));
    Command4->setFont(fuenteSansSerif(24, true));

    Lista->setGeometry(kLista);
    Lista->setFont(fuenteSansSerif(9.75, true));
    Lista->setToolTip(QStringLiteral("Lista de las personas que han conseguido completar el juego"));
    QPalette pal = Lista->palette();
    pal.setColor(QPalette::Base, kOliva);
    pal.setColor(QPalette::Text, QColor(255, 255, 0));
    Lista->setPalette(pal);

    Shape1->setGeometry(kShape1);

    Vacio->setGeometry(kVacio);
    Vacio->setPicture(m_vacioPicture);
    Vacio->hide();
    Muestra->setGeometry(kMuestra);
    Muestra->setPicture(m_muestraPicture);
    Muestra->hide();

    for (const Hole &h : holes()) {
        Image1[h.index]->setGeometry(h.left, h.top, kHoleSize, kHoleSize);
        Image1[h.index]->setAccessibleName(QStringLiteral("Hueco %1").arg(h.index));
    }
}

void Tablero::resetToDesign()
{
    for (std::size_t i = 0; i < std::size(kEtiquetas); ++i) {
        const Etiqueta &d = kEtiquetas[i];
        m_etiquetas[i]->setText(d.texto ? QString::fromUtf8(d.texto) : textoPublicidad());
    }
    Lista->clear();
    // The holes have no picture of their own until the load handler gives them one.
    for (HolePicture *hole : Image1)
        hole->setPicture(nullptr);
    Command1->setFocus();
}

void Tablero::load()
{
    m_board.setUp();  // Movimientos := 0, Restantes := 32, the start position
    Solucion = 0;
    LblResto->setText(QString::number(m_board.restantes()));
    centrar();
    mostrarHuecos();
    MirarArchivo();
    if (m_campo) {
        m_campo->nuevaPartida();
        m_campo->setFocus();
    } else {
        Command1->setFocus();
    }
}

void Tablero::unload()
{
    Lifecycle::close(m_solucion);
}

void Tablero::closeEvent(QCloseEvent *event)
{
    Lifecycle::closeRequested(*this, event);
}

void Tablero::centrar()
{
    centrado::centrar(this, centrado::Por::Fuera, centrado::Unidad::Pixeles, &m_centradoCon);
}

void Tablero::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The window manager reports the frame some time after the window is mapped.  For a
    // short while, centre again whenever the frame it reports changes, so the window ends up
    // centred with its real frame; a window the player moves keeps its frame and stays put.
    auto ticks = std::make_shared<int>(0);
    auto *timer = new QTimer(this);
    timer->setInterval(25);
    connect(timer, &QTimer::timeout, this, [this, timer, ticks] {
        if (isOpen() && centrado::marcoVisto(this).size() != m_centradoCon)
            centrar();
        if (++*ticks >= 24 || !isOpen()) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

void Tablero::mostrarHuecos()
{
    for (const Hole &h : holes()) {
        const bool vacio = m_board.isEmpty(h.index);
        HolePicture *hole = Image1[h.index];
        const QSvgRenderer *picture = vacio ? Vacio->picture() : Muestra->picture();
        if (hole->picture() == picture)
            continue;
        hole->setPicture(picture);
        hole->setAccessibleDescription(vacio ? QStringLiteral("Vacío") : QStringLiteral("Con un Cd-rom"));
    }
    if (m_campo)
        m_campo->tableroCambiado();
}

void Tablero::Image1_DragDrop(int index, int source)
{
    if (!isOpen())
        return;
    const DropOutcome outcome = m_board.drop(index, source);
    if (outcome == DropOutcome::Ignored)
        return;
    if (outcome == DropOutcome::Moved)
        mostrarHuecos();
    LblMarcador->setText(QString::number(m_board.movimientos()));
    LblResto->setText(QString::number(m_board.restantes()));
    Conseguido();
}

void Tablero::Conseguido()
{
    if (m_board.isWon()) {
        const QString prompt = promptVictoria(LblMarcador->text());
        do {
            Jugador = pedirNombreGanador(this, prompt);
        } while (Jugador.isEmpty() || Jugador.size() > 27 || !winners::isStorableName(Jugador));

        if (Lista->count() > 0 && Lista->item(0)->text() == kPlaceholder)
            Lista->item(0)->setText(Jugador);
        else
            Lista->addItem(Jugador);
        GuardarArchivo();
        Lifecycle::restart(*this);
    }
    // After a win the restart has set Restantes back to 32, so this never follows a win.
    if (m_board.isLost()) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral(" Le falto muy poco"),
                        QStringLiteral("     Ho ha conseguido dejar el Cd-rom en el centro, "
                                       "¡¡PRUEBA NO SUPERADA!!."),
                        QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("MensajeDerrota"));
        box.exec();
        Lifecycle::restart(*this);
    }
}

void Tablero::MirarArchivo()
{
    // Located afresh by every load; the older program's file is looked for only while the
    // player's own does not exist yet.
    Module1::DirectorioSistema = winners::winnersDirectory();
    m_archivo = winners::WinnersFile(Module1::DirectorioSistema,
                                     winners::olderProgramFiles(Module1::olderProgramFolders()));
    const winners::LoadResult result = m_archivo.load();
    Lista->addItems(result.lines);
    if (!result.ok()) {
        // Told once per problem, after the window has appeared, not on every new game.
        const QString aviso = result.error;
        if (aviso != m_ultimoAviso) {
            m_ultimoAviso = aviso;
            QTimer::singleShot(0, this, [this, aviso] {
                avisar(QStringLiteral("Lista de ganadores"), aviso);
            });
        }
    } else {
        m_ultimoAviso.clear();
    }
}

void Tablero::GuardarArchivo()
{
    // The file gets the winner, not this board's list: other running copies may have added
    // winners since the load, and the register adds this one to the file as it is now.
    const winners::SaveResult result = m_archivo.addWinner(Jugador);
    if (!result.ok)
        avisar(QStringLiteral("Lista de ganadores"),
               QStringLiteral("No se ha podido guardar el nombre del ganador.\n") + result.error);
}

void Tablero::avisar(const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("AvisoArchivo"));
    box.exec();
}

void Tablero::Command1_Click() { mostrarCreditos(this); }

void Tablero::Command2_Click()
{
    Lifecycle::close(m_solucion);
    Lifecycle::restart(*this);
}

void Tablero::Command3_Click()
{
    QMessageBox box(QMessageBox::Information, QStringLiteral(" Instrucciones de juego"), textoAyuda(),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("MensajeAyuda"));
    box.exec();
}

void Tablero::Command4_Click()
{
    Lifecycle::close(m_solucion);
    Lifecycle::close(*this);
}

void Tablero::Label5_Click() { Solucion = 1; }

void Tablero::Label6_MouseDown(Qt::MouseButton button)
{
    if (button == Qt::RightButton && Solucion == 1) {
        Lifecycle::show(m_solucion);
        Lifecycle::setNormal(m_solucion);
    }
    Solucion = 0;
}

bool Tablero::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label5 && event->type() == QEvent::MouseButtonPress)
        return true;  // taken, so the release comes back here
    if (watched == Label5 && event->type() == QEvent::MouseButtonRelease) {
        // A click: the primary button released over the spot it was pressed on.
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && Label5->rect().contains(mouse->position().toPoint()))
            Label5_Click();
        return true;
    }
    if (watched == Label6 && event->type() == QEvent::MouseButtonPress) {
        Label6_MouseDown(static_cast<QMouseEvent *>(event)->button());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace pindel
