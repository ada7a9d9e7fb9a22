#include "winners_location.h"

#include "file_system.h"

#include <QDir>
#include <QStandardPaths>

namespace pindel::winners {

QString dataFolder()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(base).filePath(QStringLiteral("pindel"));
}

QString cleanDirectory(const QString &reported, bool fileSystemIgnoresCase)
{
    QString directory = fileSystemIgnoresCase ? reported.toLower() : reported;
    qsizetype end = directory.size();
    while (end > 0 && directory.at(end - 1) == QLatin1Char(' '))
        --end;
    directory.truncate(end);
    return directory;
}

QString winnersDirectory()
{
    return cleanDirectory(dataFolder(), fileSystemIgnoresCase());
}

QString filePath(const QString &directory)
{
    if (directory.endsWith(QLatin1Char('/')))
        return directory + QLatin1String(kFileName);
    return directory + QLatin1Char('/') + QLatin1String(kFileName);
}

QString lockPath(const QString &directory)
{
    return filePath(directory) + QLatin1String(".lock");
}

} // namespace pindel::winners
