#include "winners_format.h"

#include "cp1252.h"

namespace pindel::winners {

namespace {

// Whether `bytes` is already in the form a save writes: every CR followed by LF, and a CR LF
// at the end unless there are no bytes.  Such a file reads as lines and writes back as
// itself, so a winner can be added to its bytes without taking it apart into lines.
bool endsEveryLineWithCrLf(const QByteArray &bytes)
{
    if (!bytes.isEmpty() && !bytes.endsWith("\r\n"))
        return false;
    for (qsizetype i = bytes.indexOf('\r'); i >= 0; i = bytes.indexOf('\r', i + 2)) {
        if (i + 1 == bytes.size() || bytes.at(i + 1) != '\n')
            return false;
    }
    return true;
}

} // namespace

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

// The entries joined, CR LF after each, in one pass through the converter (one converter
// per entry would cost more than the whole write for a long list).
QByteArray encodeLines(const QStringList &entries)
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
    return cp1252::encode(text);
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

QByteArray placeholderFile()
{
    return QByteArray(kPlaceholder) + "\r\n";
}

QByteArray withWinner(QByteArray bytes, const QString &name)
{
    if (!endsEveryLineWithCrLf(bytes))
        bytes = encodeLines(decodeLines(bytes));
    const QByteArray line = cp1252::encode(name) + "\r\n";
    const QByteArray placeholderLine = placeholderFile();
    if (bytes.startsWith(placeholderLine))
        return bytes.replace(0, placeholderLine.size(), line);
    return bytes.append(line);
}

} // namespace pindel::winners
