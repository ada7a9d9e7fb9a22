#include "creditos.h"

#include <QMessageBox>

namespace pindel {

QString textoCreditos()
{
    return QStringLiteral("     Este juego ha sido programado por MABERTO, Email: ")
           + QLatin1String(kAutorEmail) + QStringLiteral("   ") + QLatin1String(kAutorWeb);
}

void mostrarCreditos(QWidget *parent)
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Datos del autor"), textoCreditos(),
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("Creditos"));
    box.exec();
}

} // namespace pindel
