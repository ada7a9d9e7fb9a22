#include "traducciones.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace pindel {

void instalarTraduccionesDeQt()
{
    static QTranslator traductor;   // lives as long as the program
    const QString carpetas[] = {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                                QStringLiteral(":/traducciones")};
    for (const QString &carpeta : carpetas) {
        // Tries each of the system's languages in turn, and each one less precisely
        // (es-ES, es_ES, es) before the next.
        if (traductor.load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"), carpeta)) {
            QCoreApplication::installTranslator(&traductor);
            return;
        }
    }
}

} // namespace pindel
