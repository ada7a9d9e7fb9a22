#include "frmsolucion.h"

#include "board.h"
#include "botongrafico.h"
#include "centrado.h"
#include "fuentes.h"
#include "marcolista.h"
#include "module1.h"
#include "svgpicture.h"
#include "twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace pindel {

namespace {

// The numbered board: where the squares stand, in twips.  The two gaps on either side of
// the middle column are 420 twips, the others 480.
constexpr int kColumnLeft[kGridSize] = {120, 600, 1080, 1500, 1920, 2400, 2880};
constexpr int kRowTop[kGridSize] = {360, 840, 1320, 1800, 2280, 2760, 3240};
constexpr int kSquareSide = 255;

// The winning moves in the numbering of the squares, one per line of the resource
// solucion.txt.  The blanks are part of the texts: a one-digit number stands after three
// blanks so the columns line up, except in the move "C sobre 10 a  5".
QStringList winningMoves()
{
    QFile file(art::kSolucion);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("pindel: the solution's moves are missing from the program's resources");
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

using Kind = SolucionControl::Kind;
using Font = SolucionControl::Font;

std::vector<SolucionControl> buildDesign()
{
    std::vector<SolucionControl> rows;
    rows.push_back({QStringLiteral("Command1"), Kind::Button, 2123, 3840, 1935, 375,
                    QStringLiteral("&OK"), {}, QColor(), QColor(255, 192, 192), true,
                    Font::Window, Qt::AlignCenter});

    // The squares, in reading order over the cross, skipping the centre.
    int square = 0;
    for (int row = 0; row < kGridSize; ++row) {
        for (int column = 0; column < kGridSize; ++column) {
            if (!isHoleCell(row, column) || (row == 3 && column == 3))
                continue;
            rows.push_back({QStringLiteral("Label1_%1").arg(square++), Kind::Label,
                            kColumnLeft[column], kRowTop[row], kSquareSide, kSquareSide,
                            QStringLiteral("1"), {}, QColor(), QColor(), true, Font::Small,
                            Qt::AlignHCenter | Qt::AlignTop});
        }
    }

    // Red text on red: a solid block on the centre.
    rows.push_back({QStringLiteral("Label2"), Kind::Label, 1560, 1800, 180, 240,
                    QStringLiteral("O"), {}, QColor(255, 0, 0), QColor(255, 0, 0), true,
                    Font::Window, Qt::AlignLeft | Qt::AlignTop});
    rows.push_back({QStringLiteral("Label3"), Kind::Label, 3480, 360, 2415, 255,
                    QStringLiteral("Lista de movimientos"), {}, QColor(0, 0, 192), QColor(),
                    false, Font::Window, Qt::AlignHCenter | Qt::AlignTop});

    rows.push_back({QStringLiteral("List1"), Kind::List, 3360, 720, 2655, 2790, QString(),
                    winningMoves(), QColor(), QColor(), true, Font::Small, Qt::AlignLeft});
    return rows;
}

QFont designFont(Font font)
{
    return font == Font::Window ? fuenteSansSerif(9.75, true) : fuenteSansSerif(8.25, false);
}

} // namespace

const std::vector<SolucionControl> &FrmSolucion::design()
{
    static const std::vector<SolucionControl> rows = buildDesign();
    return rows;
}

FrmSolucion::FrmSolucion(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("FrmSolucion"));
    setWindowTitle(QStringLiteral("Solución al Pindel. Maberto."));
    ponerIconoDeVentana(this, art::kSol);
    setFixedSize(twips::size(kInnerWidthTwips, kInnerHeightTwips));
    setFont(designFont(Font::Window));

    QPalette background = palette();
    background.setColor(QPalette::Window, backgroundColour());
    setPalette(background);
    setAutoFillBackground(true);

    createControls();
    resetToDesign();
}

void FrmSolucion::createControls()
{
    for (const SolucionControl &control : design()) {
        QWidget *created = nullptr;
        switch (control.kind) {
        case Kind::Button:
            // A flat face in the button's own colour: the design's background, which
            // applyDesign() keeps in the palette.
            m_ok = new BotonGrafico(AspectoBoton::BlancoGrisPunteado, control.background, this);
            created = m_ok;
            break;
        case Kind::Label: {
            auto *label = new QLabel(this);
            label->setTextFormat(Qt::PlainText);
            label->setFocusPolicy(Qt::NoFocus);
            if (control.name.startsWith(QLatin1String("Label1_")))
                m_squares.push_back(label);
            created = label;
            break;
        }
        case Kind::List:
            m_list = new QListWidget(this);
            m_list->setSortingEnabled(false);
            m_list->setSelectionMode(QAbstractItemView::SingleSelection);
            m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
            m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            enmarcarEnPixeles(m_list);
            created = m_list;
            break;
        }
        created->setObjectName(control.name);
        m_controls.push_back(created);
    }
    setTabOrder(m_ok, m_list);
    connect(m_ok, &QPushButton::clicked, this, [this] { Lifecycle::close(*this); });
}

void FrmSolucion::applyDesign(const SolucionControl &control, QWidget *widget)
{
    widget->setGeometry(twips::rect(control.left, control.top, control.width, control.height));
    widget->setFont(designFont(control.font));

    // Start from the platform's colours for this kind of control, not the window's peach.
    // Every role is set explicitly: a role left unset would be inherited from the window.
    const QPalette platform = QApplication::palette(widget);
    QPalette colours = platform;
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        colours.setColor(role, control.foreground.isValid() ? control.foreground
                                                            : platform.color(role));
    for (auto role : {QPalette::Window, QPalette::Button})
        colours.setColor(role, control.background.isValid() ? control.background
                                                             : platform.color(role));
    widget->setPalette(colours);

    switch (control.kind) {
    case Kind::Button:
        m_ok->setText(control.text);
        break;
    case Kind::Label: {
        auto *label = static_cast<QLabel *>(widget);
        label->setText(control.text);
        label->setAlignment(control.alignment);
        label->setAutoFillBackground(control.opaque);
        break;
    }
    case Kind::List:
        m_list->clear();
        m_list->addItems(control.items);
        m_list->clearSelection();
        m_list->setCurrentRow(-1);
        m_list->scrollToTop();
        break;
    }
}

void FrmSolucion::resetToDesign()
{
    const auto &rows = design();
    for (std::size_t i = 0; i < rows.size(); ++i)
        applyDesign(rows[i], m_controls[i]);
    m_ok->setFocus(Qt::OtherFocusReason);
}

void FrmSolucion::load()
{
    m_frameCorner = centrado::centrar(this, centrado::Por::Dentro, centrado::Unidad::Twips);
    for (int i = 0; i < kNumberedSquares; ++i)
        m_squares[static_cast<std::size_t>(i)]->setText(QString::number(i + 1));
}

void FrmSolucion::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The frame drawn is known once the native window exists; where it is not the frame Qt
    // placed (Windows), its corner goes where the load handler put the frame.
    const QPoint drawn = Module1::outerFrame(this).topLeft();
    if (drawn != frameGeometry().topLeft() && drawn != m_frameCorner)
        centrado::ponerMarcoEn(this, m_frameCorner);
}

void FrmSolucion::closeEvent(QCloseEvent *event)
{
    Lifecycle::closeRequested(*this, event);
}

} // namespace pindel
