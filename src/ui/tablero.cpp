#include "tablero.h"

#include "botongrafico.h"
#include "campoteclado.h"
#include "creditos.h"
#include "fuentes.h"
#include "holepicture.h"
#include "marcolista.h"
#include "module1.h"
#include "pixeles.h"
#include "svgpicture.h"

#include <QCloseEvent>
#include <QDate>
#include <QGuiApplication>
#include <QIcon>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSvgRenderer>
#include <QTimer>
#include <QValidator>

#include <cmath>
#include <memory>

namespace pindel {

namespace {

const QColor kOlive(128, 128, 0);

// One label of the window as designed.
struct LabelDesign {
    const char *name;
    QRect geometry;
    const char *caption;   // UTF-8; nullptr for the advertising text
    QColor color;
    Qt::Alignment alignment;
    bool bold;
    const char *tip;
};

QString textoPublicidad()
{
    return QStringLiteral("Le gustaria ver aqui su fotografia o publicidad para su empresa. "
                          "Consulte precios. Email:")
           + QStringLiteral("  ") + QString::fromLatin1(kAutorEmail) + QStringLiteral("   ")
           + QString::fromLatin1(kAutorWeb);
}

const LabelDesign kLabels[] = {
    {"Label2", {24, 48, 81, 25}, "Resto", QColor(0, 255, 255), Qt::AlignHCenter | Qt::AlignTop, true,
     "Huecos que faltan para finalizar el juego"},
    {"LblResto", {24, 64, 81, 25}, "32", QColor(0, 255, 255), Qt::AlignHCenter | Qt::AlignTop, true,
     "Huecos que faltan para finalizar el juego"},
    {"Label1", {264, 48, 81, 25}, "Jugadas", QColor(0, 255, 0), Qt::AlignHCenter | Qt::AlignTop, true,
     "Movimientos realizados "},
    {"LblMarcador", {264, 64, 81, 25}, "0", QColor(0, 255, 0), Qt::AlignHCenter | Qt::AlignTop, true,
     "Movimientos realizados "},
    {"Label4", {392, 24, 185, 113}, nullptr, QColor(192, 255, 255), Qt::AlignHCenter | Qt::AlignTop, false,
     ""},
    {"Label3", {392, 256, 166, 16}, "Los que lo consiguieron", QColor(192, 192, 255),
     Qt::AlignLeft | Qt::AlignTop, true, ""},
    {"Label5", {0, 352, 25, 25}, "", QColor(), Qt::AlignLeft | Qt::AlignTop, false, ""},
    {"Label6", {584, 0, 17, 17}, "", QColor(), Qt::AlignLeft | Qt::AlignTop, false, ""},
};

// One picture button as designed.
struct ButtonDesign {
    const char *name;
    QRect geometry;
    const char *picture;   // resource path, or nullptr for a caption
    QColor face;
    const char *tip;
};

const ButtonDesign kButtons[] = {
    {"Command1", {416, 152, 65, 33}, ":/art/informacion.svg", QColor(255, 128, 128), "Creditos y contacto"},
    {"Command2", {480, 152, 65, 33}, ":/art/carpeta.svg", QColor(255, 255, 128), "Inicia un nuevo juego"},
    {"Command3", {416, 184, 65, 33}, ":/art/libro.svg", QColor(128, 255, 128), "Ayuda"},
    {"Command4", {480, 184, 65, 33}, nullptr, QColor(255, 192, 255), "Abandonar el juego"},
};

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

// Accepts only what the winners file can hold as one entry.
class NombreValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        return input.isEmpty() || winners::isStorableName(input) ? Acceptable : Invalid;
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
    pal.setColor(QPalette::Window, kOlive);
    setPalette(pal);
    setAutoFillBackground(true);

    m_vacioPicture = new QSvgRenderer(QStringLiteral(":/art/anillo.svg"), this);
    m_muestraPicture = new QSvgRenderer(QStringLiteral(":/art/cdrom.svg"), this);
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
    static_assert(std::size(labels) == std::size(kLabels));
    for (std::size_t i = 0; i < std::size(kLabels); ++i) {
        auto *label = new QLabel(this);
        m_etiquetas[i] = label;
        label->setObjectName(QString::fromLatin1(kLabels[i].name));
        label->setWordWrap(true);
        label->setFocusPolicy(Qt::NoFocus);
        *labels[i] = label;
    }
    Label5->installEventFilter(this);
    Label6->installEventFilter(this);

    QPushButton **buttons[] = {&Command1, &Command2, &Command3, &Command4};
    for (std::size_t i = 0; i < std::size(kButtons); ++i) {
        auto *button = new BotonGrafico(AspectoBoton::RelievePunteado, kButtons[i].face, this);
        button->setObjectName(QString::fromLatin1(kButtons[i].name));
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
        m_campo = new CampoTeclado(
            m_board, [this](int target, int source) { Image1_DragDrop(target, source); }, this);
        setTabOrder(Command4, m_campo);
    }
}

void Tablero::aplicarDiseno()
{
    // Everything here is fixed for the life of the window; resetToDesign() restores only
    // what a game can change.
    for (std::size_t i = 0; i < std::size(kLabels); ++i) {
        const LabelDesign &d = kLabels[i];
        QLabel *label = m_etiquetas[i];
        label->setGeometry(d.geometry);
        label->setAlignment(d.alignment);
        label->setFont(fuenteSansSerif(9.75, d.bold));
        label->setToolTip(QString::fromUtf8(d.tip));
        QPalette pal = label->palette();
        if (d.color.isValid())
            pal.setColor(QPalette::WindowText, d.color);
        label->setPalette(pal);
        label->setAutoFillBackground(false);
    }

    for (const ButtonDesign &d : kButtons) {
        auto *button = findChild<QPushButton *>(QString::fromLatin1(d.name));
        button->setGeometry(d.geometry);
        button->setToolTip(QString::fromUtf8(d.tip));
        if (d.picture) {
            button->setIcon(svgIcon(QString::fromLatin1(d.picture)));
            button->setIconSize(QSize(32, 32));
        }
    }
    Command4->setText(QStringLiteral("X"));
    Command4->setFont(fuenteSansSerif(24, true));

    Lista->setGeometry(360, 280, 225, 68);
    Lista->setFont(fuenteSansSerif(9.75, true));
    Lista->setToolTip(QStringLiteral("Lista de las personas que han conseguido completar el juego"));
    QPalette pal = Lista->palette();
    pal.setColor(QPalette::Base, kOlive);
    pal.setColor(QPalette::Text, QColor(255, 255, 0));
    Lista->setPalette(pal);

    Shape1->setGeometry(165, 166, 40, 40);

    Vacio->setGeometry(24, 272, 32, 32);
    Vacio->setPicture(m_vacioPicture);
    Vacio->hide();
    Muestra->setGeometry(64, 272, 32, 32);
    Muestra->setPicture(m_muestraPicture);
    Muestra->hide();

    for (const Hole &h : holes()) {
        Image1[h.index]->setGeometry(h.left, h.top, kHoleSize, kHoleSize);
        Image1[h.index]->setAccessibleName(QStringLiteral("Hueco %1").arg(h.index));
    }
}

void Tablero::resetToDesign()
{
    for (std::size_t i = 0; i < std::size(kLabels); ++i) {
        const LabelDesign &d = kLabels[i];
        m_etiquetas[i]->setText(d.caption ? QString::fromUtf8(d.caption) : textoPublicidad());
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
    if (isOpen() && !Lifecycle::closingByPlatform(*this)) {
        // Already closing: a second request changes nothing.
        event->ignore();
        return;
    }
    event->accept();
}

QRect Tablero::marcoExterior() const
{
    // The window's own size is fixed; the frame is whatever the platform has said it adds,
    // and nothing while it has said nothing sensible yet (a freshly mapped window can
    // briefly report a frame smaller than the window itself).
    const QRect frame = Module1::outerFrame(this);
    const QSize extra = frame.size() - size();
    if (extra.width() < 0 || extra.height() < 0 || extra.width() > 200 || extra.height() > 200)
        return QRect(frameGeometry().topLeft(), size());
    return frame;
}

void Tablero::centrar()
{
    // Top first, then left, from the outer frame; single precision, no clamping, so a
    // window larger than the screen gets a negative coordinate.
    const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect pantalla = s->geometry();
    const QRect marco = marcoExterior();
    const QSize outer = marco.size();
    m_centradoCon = outer;
    // move() places the frame Qt knows, which on Windows need not be the one drawn.
    const QPoint desde = frameGeometry().topLeft() - marco.topLeft();
    const float top = (static_cast<float>(pantalla.height()) - static_cast<float>(outer.height())) / 2.0f;
    move(x(), static_cast<int>(std::floor(top)) + pantalla.top() + desde.y());
    const float left = (static_cast<float>(pantalla.width()) - static_cast<float>(outer.width())) / 2.0f;
    move(static_cast<int>(std::floor(left)) + pantalla.left() + desde.x(), pos().y());
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
        if (isOpen() && marcoExterior().size() != m_centradoCon)
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
    const DropOutcome outcome = m_board.drop(source, index);
    if (outcome == DropOutcome::Ignored)
        return;
    if (outcome == DropOutcome::Moved)
        mostrarHuecos();
    LblMarcador->setText(QString::number(m_board.movimientos()));
    LblResto->setText(QString::number(m_board.restantes()));
    Conseguido();
}

QString Tablero::promptVictoria(const QString &movimientos)
{
    return QStringLiteral("Ha conseguido dejar una sola imagen en el centro en tan solo ") + movimientos
           + QStringLiteral(" intentos,  ¡¡Enhorabuena!!.  SEA TAN AMABLE DE INTRODUCIR SU NOMBRE");
}

void Tablero::Conseguido()
{
    if (m_board.isWon()) {
        const QString prompt = promptVictoria(LblMarcador->text());
        do {
            Jugador = pedirNombre(prompt);
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

QString Tablero::fechaDeHoy()
{
    // Today in the system's short date format; in a format the winners file could not hold
    // (a script outside its code page), the same date written the international way.
    const QDate hoy = QDate::currentDate();
    const QString corta = QLocale::system().toString(hoy, QLocale::ShortFormat);
    return winners::isStorableName(corta) ? corta : hoy.toString(Qt::ISODate);
}

QString Tablero::pedirNombre(const QString &prompt)
{
    QInputDialog dialog(this);
    dialog.setObjectName(QStringLiteral("PedirNombre"));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(QStringLiteral("Lo ha conseguido"));
    dialog.setLabelText(prompt);
    dialog.setTextValue(fechaDeHoy());
    // The prompt is one long sentence: wrapped, it keeps the box a sensible width.
    if (auto *label = dialog.findChild<QLabel *>())
        label->setWordWrap(true);
    if (auto *edit = dialog.findChild<QLineEdit *>())
        edit->setValidator(new NombreValidator(edit));
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.textValue();
}

void Tablero::MirarArchivo()
{
    Module1::DirectorioSistema =
        winners::cleanDirectory(Module1::systemDirectory(), Module1::fileSystemIgnoresCase());
    // The older program's file, looked for only while the player's own does not exist yet.
    QStringList antiguos;
    for (const QString &carpeta : Module1::legacyDirectories())
        antiguos << winners::filePath(winners::cleanDirectory(carpeta, Module1::fileSystemIgnoresCase()));
    m_archivo = winners::WinnersFile(Module1::DirectorioSistema, antiguos);
    const winners::LoadResult result = m_archivo.load();
    QStringList lines;
    lines.reserve(result.lines.size());
    for (const QString &line : result.lines) {
        Module1::Linea = line;
        lines.append(Module1::Linea);
    }
    Lista->addItems(lines);
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
    Module1::Linea = Jugador;
    const winners::SaveResult result = m_archivo.addWinner(Module1::Linea);
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

QString Tablero::textoAyuda()
{
    return QStringLiteral(
        "     El juego consiste en intentar dejar solamente un Cd-rom y ademas situado en el centro "
        "del tablero. Los Cd-rom se desplazan arrastrandolos con el raton desde su posiciòn de "
        "origen hasta la de destino, pero cumpliendo los siguientes requisitos:  1º.- Los "
        "desplazamientos tienen que ser verticales u horizontales, nunca en diagonal.  2º.- El "
        "Cd-rom que se desplace debera pasar por encima de uno contiguo a él, depositandose en un "
        "hueco vacio y contiguo al que se ha pasado.   La solución esta escondida dentro del juego "
        "y se hara visible haciendo determinadas operaciones sobre el tablero.");
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
