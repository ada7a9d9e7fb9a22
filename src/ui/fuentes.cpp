#include "fuentes.h"

#include <QStringList>

namespace pindel {

void instalarFuentes()
{
    QFont::insertSubstitutions(QString::fromLatin1(kSansSerif),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    QFont::insertSubstitutions(QString::fromLatin1(kDecorativa),
                               {QStringLiteral("Z003"), QStringLiteral("URW Chancery L")});
}

QFont fuenteSansSerif(qreal points, bool bold)
{
    QFont font(QString::fromLatin1(kSansSerif));
    font.setPointSizeF(points);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

} // namespace pindel
