#pragma once
// Small helpers shared by the winners-register tests: raw file access and the line-end
// normalisation a load and a save are expected to apply, written independently of the
// register's own code.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

namespace regtest {

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
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

inline QStringList entriesOf(const QString &directory)
{
    return QDir(directory).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

} // namespace regtest
