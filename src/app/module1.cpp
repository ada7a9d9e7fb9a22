#include "module1.h"

#include <QDir>
#include <QPointer>
#include <QStandardPaths>
#include <QWidget>

namespace pindel::Module1 {

QString DirectorioSistema;
QString Linea;

QString systemDirectory()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(base).filePath(QStringLiteral("pindel"));
}

bool fileSystemIgnoresCase()
{
#if defined(Q_OS_WIN)
    return true;
#else
    return false;
#endif
}

namespace {
QPointer<QWidget> g_locked;
}

void lockWindowUpdate(QWidget *window)
{
    unlockWindowUpdate();
    if (window) {
        g_locked = window;
        window->setUpdatesEnabled(false);
    }
}

void unlockWindowUpdate()
{
    if (g_locked)
        g_locked->setUpdatesEnabled(true);
    g_locked = nullptr;
}

void minimizeAllWindows(const QWidget *except)
{
    // The platform layer for each desktop is added with the presentation window.
    Q_UNUSED(except);
}

} // namespace pindel::Module1
