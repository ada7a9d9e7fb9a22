#pragma once
// The winners file's format: plain Windows-1252 text, one entry per line, CR LF after every
// line.  A line ends at CR or at CR LF; a LF alone stays part of the entry; the last line
// needs no line end; a final line end adds no empty entry; zero bytes are no lines.  And
// which names it can store, and how a winner is added to a file's bytes.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace pindel::winners {

inline constexpr char kPlaceholder[] = "Aun no lo ha logrado nadie";

// The byte format, both ways.  decodeLines/encodeLines are exact inverses for every list
// whose entries hold no CR; every byte value 0x00..0xFF survives a round trip.
QStringList decodeLines(const QByteArray &bytes);
QByteArray encodeLines(const QStringList &entries);

// Whether a winner's name can be stored so that it reads back as the same one entry:
// every character is in the 8-bit code page and none is a control character.
bool isStorableName(const QString &name);

// The file a first load creates, and what a file that has gone missing stands for: the
// placeholder alone.
QByteArray placeholderFile();

// The file `bytes` with the winner `name` added by the game's rule: a first line that is
// exactly the placeholder is replaced by the name, otherwise the name becomes the last
// line.  Line ends become CR LF, as every save writes them.
QByteArray withWinner(QByteArray bytes, const QString &name);

} // namespace pindel::winners
