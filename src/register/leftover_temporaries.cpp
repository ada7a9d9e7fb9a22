#include "leftover_temporaries.h"

#include "winners_location.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace pindel::winners {

namespace {

// The random part of the name: six letters of the unaccented Latin alphabet, either case.
constexpr int kRandomLength = 6;

bool isAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
}

} // namespace

bool isTemporaryName(const QString &fileName)
{
    const QString stem = QLatin1String(kFileName) + QLatin1Char('.');
    if (fileName.size() != stem.size() + kRandomLength || !fileName.startsWith(stem))
        return false;
    for (qsizetype i = stem.size(); i < fileName.size(); ++i) {
        if (!isAsciiLetter(fileName.at(i)))
            return false;
    }
    return true;
}

int removeLeftoverTemporaries(const QString &directory, int minimumAgeSeconds)
{
    // One listing of the folder; the name filter only narrows it, the exact form and the
    // kind of each entry are checked below.
    const QString filter = QLatin1String(kFileName) + QStringLiteral(".??????");
    const QFileInfoList candidates = QDir(directory.isEmpty() ? QStringLiteral("/") : directory)
            .entryInfoList({filter}, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::CaseSensitive);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    int removed = 0;
    for (const QFileInfo &info : candidates) {
        if (!isTemporaryName(info.fileName()) || info.isSymLink() || !info.isFile())
            continue;
        if (info.lastModified().secsTo(now) < minimumAgeSeconds)
            continue;
        removed += QFile::remove(info.filePath()) ? 1 : 0;
    }
    return removed;
}

} // namespace pindel::winners
