#pragma once
// Windows-1252, the 8-bit code page of the winners file, both ways.
//
// Every byte value 0x00..0xFF decodes to one character and encodes back to the same byte,
// the five bytes Windows leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) included: they
// read as U+0081, U+008D, U+008F, U+0090, U+009D.  So any file, even one that is not text,
// survives a read and a write unchanged.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace pindel::cp1252 {

// One character per byte.
QString decode(QByteArrayView bytes);

// One byte per character.  A character the code page cannot hold is written as a
// substitute byte; `exact`, when given, tells whether every character was encoded as
// itself (false as soon as one was substituted or dropped).
QByteArray encode(QStringView text, bool *exact = nullptr);

// Whether every character of `text` has a byte of its own that decodes back to it.
bool canEncode(QStringView text);

// The built-in table behind decode/encode, used where Qt offers no converter by the name
// "windows-1252" (a Qt built without ICU).  Same results as the converter for every byte.
QString decodeWithTable(QByteArrayView bytes);
QByteArray encodeWithTable(QStringView text, bool *exact = nullptr);

} // namespace pindel::cp1252
