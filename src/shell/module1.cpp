// Module1's own values, the same on every system.  The system declarations are answered by
// the platform's file (see module1.h).

#include "module1.h"

#include <QCoreApplication>
#include <QLocale>
#include <QPointer>
#include <QWidget>

namespace pindel::Module1 {

QString DirectorioSistema;

void setProgramIdentity()
{
    // No display name: Qt would append it to every window title.
    QCoreApplication::setApplicationName(QString::fromLatin1(kInternalName));
    QCoreApplication::setOrganizationName(QString::fromLatin1(kProductName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kVersion));
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
}

namespace {
// The window frozen now; null when nothing is, or when it was frozen already by its owner.
QPointer<QWidget> g_locked;
}

void lockWindowUpdate(QWidget *window)
{
    unlockWindowUpdate();
    if (window && window->updatesEnabled()) {
        g_locked = window;
        window->setAttribute(Qt::WA_UpdatesDisabled, true);
    }
}

void unlockWindowUpdate()
{
    if (g_locked)
        g_locked->setAttribute(Qt::WA_UpdatesDisabled, false);
    g_locked = nullptr;
}

} // namespace pindel::Module1
