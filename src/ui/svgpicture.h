#pragma once
// The program's artwork is vector: small SVG files compiled in as resources.  These helpers
// turn one into a window or button icon, or paint it into a rectangle, always rendered at the
// device's real resolution so pictures stay crisp at any desktop scale factor.

#include <QIcon>
#include <QPixmap>
#include <QRectF>
#include <QString>

class QPainter;
class QWidget;

namespace pindel {

// The artwork resources, and the solution window's list of moves beside them.
namespace art {
inline const QString kSol = QStringLiteral(":/art/sol.svg");                   // yellow sun
inline const QString kCdrom = QStringLiteral(":/art/cdrom.svg");               // peg picture
inline const QString kAnillo = QStringLiteral(":/art/anillo.svg");             // empty hole
inline const QString kInformacion = QStringLiteral(":/art/informacion.svg");   // letter i
inline const QString kCarpeta = QStringLiteral(":/art/carpeta.svg");           // open folder
inline const QString kLibro = QStringLiteral(":/art/libro.svg");               // red book
inline const QString kRetrato = QStringLiteral(":/art/retrato.svg");           // portrait
inline const QString kSolucion = QStringLiteral(":/art/solucion.txt");         // the 31 moves
} // namespace art

// An icon holding the picture rendered at the usual icon sizes (16 to 256 pixels), so it
// needs no image plugin and the platform picks the size it wants.  A resource that is
// missing or not valid SVG gives a null icon.
QIcon svgIcon(const QString &resource);

// Gives `window` the picture as its window icon once the window has been painted for the first
// time.  A window icon goes to the desktop at every size (up to 256 pixels), and rendering
// them all takes longer than building the whole window: done after the first frame, nobody
// waits for it.  `window` must be a top-level widget.
void ponerIconoDeVentana(QWidget *window, const QString &resource);

// The picture rendered into a transparent pixmap of `size` device-independent pixels at the
// given device pixel ratio (pass the target widget's devicePixelRatioF()).  Null pixmap for
// a missing or invalid resource.
QPixmap svgPixmap(const QString &resource, const QSize &size, qreal devicePixelRatio = 1.0);

// Paints the picture scaled into `target`, in the painter's own coordinates, at the
// resolution of the painter's device.  Returns false, painting nothing, for a missing or
// invalid resource.  Renderers are parsed once and kept for the whole run.
bool paintSvg(QPainter &painter, const QString &resource, const QRectF &target);

} // namespace pindel
