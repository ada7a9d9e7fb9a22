#pragma once
// Small helpers shared by the winners-register tests: raw file access and the line-end
// normalisation a load and a save are expected to apply, written independently of the
// register's own code.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QThread>

namespace regtest {

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "<unreadable: " + file.errorString().toUtf8() + ">";
}

// The bytes of `path` as a reader finds them whenever it looks.  Windows refuses to open a
// file for the moment a save puts it in place (it holds the new file shared with no one
// until its rename is done); a reader there tries again, for up to a second.
inline QByteArray readWhenFree(const QString &path)
{
    QByteArray bytes = readBytes(path);
#ifdef Q_OS_WIN
    for (int tries = 0; bytes.startsWith("<unreadable: ") && QFile::exists(path) && tries < 1000; ++tries) {
        QThread::msleep(1);
        bytes = readBytes(path);
    }
#endif
    return bytes;
}

// The bytes a load followed by a save must give back: every line ends in CR LF, whether it
// ended in CR, CR LF or nothing; LF alone is ordinary text.
inline QByteArray normalised(const QByteArray &in)
{
    QByteArray out;
    out.reserve(in.size() + 2);
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] == '\r') {
            out += "\r\n";
            if (i + 1 < in.size() && in[i + 1] == '\n')
                ++i;
        } else {
            out += in[i];
        }
    }
    if (!in.isEmpty() && !out.endsWith("\r\n"))
        out += "\r\n";
    return out;
}

// Names of a large list, distinct and easy to tell apart.
inline QStringList names(int count, const QString &stem)
{
    QStringList list;
    list.reserve(count);
    for (int i = 0; i < count; ++i)
        list.append(QStringLiteral("%1 %2").arg(stem).arg(i, 6, 10, QLatin1Char('0')));
    return list;
}

// The file holding `lines` (plain ASCII), CR LF after each.
inline QByteArray fileOf(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toLatin1() + "\r\n";
    return bytes;
}

inline QStringList entriesOf(const QString &directory)
{
    return QDir(directory).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

// A file's modification time, to the finest step the system keeps (kTimeStepNs).
struct FileTime {
    qint64 seconds = 0;
    long nanoseconds = 0;
};

} // namespace regtest

// The same situations made the way each system allows: file times, a rename over a file, a
// symbolic link, a file or folder refused to this program.
#ifdef Q_OS_WIN
#include "register_test_windows.h"
#else
#include "register_test_linux.h"
#endif
