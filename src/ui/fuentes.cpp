#include "fuentes.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontDatabase>
#include <QStringList>

namespace pindel {

namespace {

// The faces the program carries as resources where the system has neither (the Windows
// build: see src/ui/CMakeLists.txt).
constexpr const char *kArchivosPropios[] = {":/fuentes/LiberationSans-Regular.ttf",
                                            ":/fuentes/LiberationSans-Bold.ttf",
                                            ":/fuentes/Z003-MediumItalic.otf"};

bool fuentesPropias()
{
    static const bool propias = QFileInfo::exists(QString::fromLatin1(kArchivosPropios[0]));
    return propias;
}

void registrarFuentesPropias()
{
    static bool registradas = false;
    if (registradas)
        return;
    registradas = true;
    for (const char *archivo : kArchivosPropios) {
        if (QFontDatabase::addApplicationFont(QString::fromLatin1(archivo)) < 0)
            qWarning("pindel: no se pudo cargar la fuente %s", archivo);
    }
}

// The controls with no face of their own (the message boxes, the name prompt, tool tips) take
// the system's dialog font.  Windows names it "MS Shell Dlg", a name the system maps to a face
// it may not have: Wine without its own fonts draws it in a serif.  The carried sans stands in
// for it, at the size the system gives, as it does for "MS Sans Serif" in every window.
void dialogosEnFuentePropia()
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    QFont dialogos = QApplication::font();
    dialogos.setFamily(QString::fromLatin1(kSansSerifSustituta));
    // Without a class name this also drops the per-class fonts the platform set, so every
    // kind of control follows.
    QApplication::setFont(dialogos);
}

// The family a window's font asks for.  Where the program carries the faces, their own
// name: a face of the designed name on the system (Windows' bitmap "MS Sans Serif", blocky
// when scaled) would win over any substitution.  Elsewhere the designed name, which the
// substitution maps to the installed face unless the system really has the designed one.
QString familia(const char *disenada, const char *sustituta)
{
    return QString::fromLatin1(fuentesPropias() ? sustituta : disenada);
}

QFont fuente(const QString &familia, qreal points, bool bold)
{
    QFont font(familia);
    font.setPointSizeF(points);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

} // namespace

void instalarFuentes()
{
    if (fuentesPropias()) {
        registrarFuentesPropias();
        dialogosEnFuentePropia();
    }
    QFont::insertSubstitutions(QString::fromLatin1(kSansSerif),
                               {QString::fromLatin1(kSansSerifSustituta), QStringLiteral("Arial")});
    QFont::insertSubstitutions(QString::fromLatin1(kDecorativa),
                               {QString::fromLatin1(kDecorativaSustituta), QStringLiteral("URW Chancery L")});
}

QFont fuenteSansSerif(qreal points, bool bold)
{
    return fuente(familia(kSansSerif, kSansSerifSustituta), points, bold);
}

QFont fuenteDecorativa(qreal points, bool bold)
{
    return fuente(familia(kDecorativa, kDecorativaSustituta), points, bold);
}

} // namespace pindel
