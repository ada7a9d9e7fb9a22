#include "older_program_file.h"

#include "durable_file.h"
#include "file_system.h"
#include "winners_location.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace pindel::winners {

QStringList olderProgramFiles(const QStringList &folders)
{
    const QString local = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    QStringList places;
    for (const QString &folder : folders) {
        // The older program, denied the folder itself, read and wrote its VirtualStore copy
        // whenever there was one: that copy is the list it showed this player.
        if (!local.isEmpty() && folder.size() > 2 && folder.at(1) == QLatin1Char(':'))
            places << local + QStringLiteral("/VirtualStore") + folder.mid(2);
        places << folder;
    }
    for (QString &place : places)
        place = filePath(cleanDirectory(place, fileSystemIgnoresCase()));
    return places;
}

QString OlderProgramFile::unreadableMessage() const
{
    return QStringLiteral("No se pudo leer el archivo de ganadores anterior %1: %2\n"
                          "No se ha creado el archivo nuevo, para no perder los nombres que "
                          "guarda; se intentará otra vez al abrir el tablero.").arg(path, reason);
}

QString OlderProgramFile::wouldBeLost() const
{
    return QStringLiteral("no se pudo leer el archivo de ganadores anterior %1 y se perderían los "
                          "nombres que guarda").arg(path);
}

OlderProgramFile findOlderProgramFile(const QStringList &places)
{
    OlderProgramFile old;
    for (const QString &place : places) {
        const QFileInfo info(place);
        if (!info.exists())
            continue;
        old.path = place;
        if (const QString odd = notARegularFile(info); !odd.isEmpty()) {
            old.state = OlderProgramFile::State::Unreadable;
            old.reason = odd;
        } else {
            old.state = readWhole(place, old.bytes, old.reason) ? OlderProgramFile::State::Found
                                                                : OlderProgramFile::State::Unreadable;
        }
        return old;
    }
    return old;
}

} // namespace pindel::winners
