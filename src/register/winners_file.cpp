#include "winners_file.h"

#include "cp1252.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

namespace pindel::winners {

namespace {

constexpr qint64 kReadChunk = 64 * 1024;

QString readFailed(const QString &path, const QString &reason)
{
    return QStringLiteral("No se pudo leer el archivo de ganadores %1: %2").arg(path, reason);
}

QString createFailed(const QString &path, const QString &reason)
{
    return QStringLiteral("No se pudo crear el archivo de ganadores %1: %2").arg(path, reason);
}

QString saveFailed(const QString &path, const QString &reason)
{
    return QStringLiteral("No se pudo guardar el archivo de ganadores %1: %2").arg(path, reason);
}

// Creates `directory` and its missing parents.  QDir::mkpath gives no reason when it
// fails; the standard library does, and the player is owed one.
bool makeDirectory(const QString &directory, QString &reason)
{
    if (directory.isEmpty() || QFileInfo(directory).isDir())
        return true;
#ifdef Q_OS_WIN
    const std::filesystem::path native(directory.toStdWString());
#else
    const std::filesystem::path native(QFile::encodeName(directory).toStdString());
#endif
    std::error_code error;
    std::filesystem::create_directories(native, error);
    if (!error)
        return true;
    reason = QStringLiteral("no se pudo crear la carpeta %1 (%2)")
                 .arg(directory, QString::fromLocal8Bit(error.message()));
    return false;
}

// The reason to give when the path holds something other than a regular file; empty
// when it is a regular file (or nothing at all).
QString notARegularFile(const QFileInfo &info)
{
    if (info.isDir())
        return QStringLiteral("en su lugar hay una carpeta");
    if (info.exists() && !info.isFile())
        return QStringLiteral("no es un archivo normal");
    return {};
}

// A full disk or a file size limit first shows as a short write with no error set; only
// the next write fails and gives the system's reason, which the player is owed.
bool writeAll(QFileDevice &file, const QByteArray &bytes, QString &reason)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            reason = file.error() == QFileDevice::NoError ? QStringLiteral("no se pudo escribir")
                                                          : file.errorString();
            return false;
        }
        done += n;
    }
    return true;
}

// The entries joined, CR LF after each, in one pass through the converter (one converter
// per entry would cost more than the whole write for a long list).
QByteArray encodeText(const QStringList &entries, bool *exact)
{
    qsizetype total = 0;
    for (const QString &entry : entries)
        total += entry.size() + 2;
    QString text;
    text.reserve(total);
    for (const QString &entry : entries) {
        text.append(entry);
        text.append(QLatin1String("\r\n"));
    }
    return cp1252::encode(text, exact);
}

// The first entry that would not come back as itself: one holding a CR would come back as
// two, one with a character outside the code page would come back changed.  -1 if none.
qsizetype firstChangedEntry(const QStringList &entries)
{
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries[i].contains(QLatin1Char('\r')) || !cp1252::canEncode(entries[i]))
            return i;
    }
    return -1;
}

} // namespace

QString cleanDirectory(const QString &reported, bool fileSystemIgnoresCase)
{
    QString directory = fileSystemIgnoresCase ? reported.toLower() : reported;
    qsizetype end = directory.size();
    while (end > 0 && directory.at(end - 1) == QLatin1Char(' '))
        --end;
    directory.truncate(end);
    return directory;
}

QString filePath(const QString &directory)
{
    if (directory.endsWith(QLatin1Char('/')))
        return directory + QLatin1String(kFileName);
    return directory + QLatin1Char('/') + QLatin1String(kFileName);
}

QStringList decodeLines(const QByteArray &bytes)
{
    const QString text = cp1252::decode(bytes);
    QStringList lines;
    lines.reserve(bytes.count('\r') + 1);
    const qsizetype size = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        if (text.at(i) != QLatin1Char('\r'))
            continue;
        lines.append(text.mid(start, i - start));
        if (i + 1 < size && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

QByteArray encodeLines(const QStringList &entries)
{
    return encodeText(entries, nullptr);
}

bool isStorableName(const QString &name)
{
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F))
            return false;
    }
    return cp1252::canEncode(name);
}

WinnersFile::WinnersFile(QString directory)
    : m_directory(std::move(directory))
{
}

LoadResult WinnersFile::load()
{
    LoadResult result;
    result.path = path();
    const QFileInfo info(result.path);

    if (const QString odd = notARegularFile(info); !odd.isEmpty()) {
        // A directory or a device where the file should be: reading it could block, and
        // nothing may be created over it.
        m_lastLoadComplete = false;
        result.status = LoadResult::Status::Unreadable;
        result.error = readFailed(result.path, odd);
        return result;
    }

    if (!info.exists()) {
        QString reason;
        if (createWithPlaceholder(reason)) {
            m_lastLoadComplete = true;
            result.status = LoadResult::Status::Created;
            result.lines = QStringList{QString::fromLatin1(kPlaceholder)};
            return result;
        }
        if (!QFileInfo::exists(result.path)) {
            m_lastLoadComplete = true;  // nothing stored there that a save could lose
            result.status = LoadResult::Status::CreateFailed;
            result.lines = QStringList{QString::fromLatin1(kPlaceholder)};
            result.error = createFailed(result.path, reason);
            return result;
        }
        // Another copy of the program created the file in the meantime: read that one.
    }

    QFile file(result.path);
    QByteArray bytes;
    QString reason;
    if (file.open(QIODevice::ReadOnly)) {
        char chunk[kReadChunk];
        for (;;) {
            const qint64 n = file.read(chunk, kReadChunk);
            if (n < 0) {
                reason = file.errorString();
                break;
            }
            if (n == 0)
                break;
            bytes.append(chunk, n);
        }
    } else {
        reason = file.errorString();
    }
    result.lines = decodeLines(bytes);
    m_lastLoadComplete = reason.isEmpty();
    if (m_lastLoadComplete) {
        result.status = LoadResult::Status::Read;
    } else {
        result.status = LoadResult::Status::Unreadable;
        result.error = readFailed(result.path, reason);
    }
    return result;
}

bool WinnersFile::createWithPlaceholder(QString &reason)
{
    if (!makeDirectory(m_directory, reason))
        return false;
    // NewOnly: never replaces a file, even one that appeared since the caller looked.
    QFile file(path());
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        reason = file.errorString();
        return false;
    }
    const QByteArray bytes = encodeLines({QString::fromLatin1(kPlaceholder)});
    if (!writeAll(file, bytes, reason) || !file.flush()) {
        if (reason.isEmpty())
            reason = file.errorString();
        file.close();
        file.remove();
        return false;
    }
    file.close();
    return true;
}

SaveResult WinnersFile::save(const QStringList &entries)
{
    SaveResult result;
    result.path = path();
    if (!m_lastLoadComplete) {
        result.error = saveFailed(result.path,
                                  QStringLiteral("no se pudo leer entero al abrir el tablero y "
                                                 "se perderían los nombres que guarda"));
        return result;
    }
    bool exact = false;
    const QByteArray bytes = encodeText(entries, &exact);
    const bool hasCr = std::any_of(entries.cbegin(), entries.cend(), [](const QString &entry) {
        return entry.contains(QLatin1Char('\r'));
    });
    if (!exact || hasCr) {
        const qsizetype bad = firstChangedEntry(entries);
        result.error = saveFailed(result.path,
                                  QStringLiteral("«%1» tiene caracteres que el archivo no puede guardar")
                                      .arg(bad >= 0 ? entries[bad] : QString()));
        return result;
    }
    QString reason;
    if (!makeDirectory(m_directory, reason)) {
        result.error = saveFailed(result.path, reason);
        return result;
    }
    if (const QString odd = notARegularFile(QFileInfo(result.path)); !odd.isEmpty()) {
        result.error = saveFailed(result.path, odd);
        return result;
    }

    // The new content goes to a temporary file beside the old one and replaces it in one
    // rename, so a crash or a full disk leaves the old file whole.
    // Unbuffered, so that a short write shows at once and is retried for its reason.
    QSaveFile file(result.path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        result.error = saveFailed(result.path, file.errorString());
        return result;
    }
    if (!writeAll(file, bytes, reason)) {
        result.error = saveFailed(result.path, reason);
        file.cancelWriting();
        return result;
    }
    if (!file.commit()) {
        result.error = saveFailed(result.path, file.errorString());
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace pindel::winners
