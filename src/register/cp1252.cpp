#include "cp1252.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace pindel::cp1252 {

namespace {

constexpr const char *kName = "windows-1252";

// 0x80..0x9F as Windows maps them; the bytes Windows leaves undefined map to the C1
// control of the same value, so that they survive a round trip.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool byteFor(char16_t c, char &byte)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        byte = char(c);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == c) {
            byte = char(0x80 + i);
            return true;
        }
    }
    return false;
}

} // namespace

QString decodeWithTable(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? QChar(kHigh[b - 0x80]) : QChar(b);
    }
    return text;
}

QByteArray encodeWithTable(QStringView text, bool *exact)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    bool all = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char b;
        if (!byteFor(text[i].unicode(), b)) {
            b = '?';
            all = false;
        }
        bytes[i] = b;
    }
    if (exact)
        *exact = all;
    return bytes;
}

// Qt's converter (ICU underneath) maps all 256 bytes both ways, the five undefined ones
// to their C1 controls, and flags every character it cannot hold, so it is the first
// choice.  It drops a lone surrogate without flagging it, hence the length check.
QString decode(QByteArrayView bytes)
{
    QStringDecoder decoder(kName);
    if (!decoder.isValid())
        return decodeWithTable(bytes);
    return decoder.decode(bytes);
}

QByteArray encode(QStringView text, bool *exact)
{
    QStringEncoder encoder(kName);
    if (!encoder.isValid())
        return encodeWithTable(text, exact);
    QByteArray bytes = encoder.encode(text);
    if (exact)
        *exact = !encoder.hasError() && bytes.size() == text.size();
    return bytes;
}

bool canEncode(QStringView text)
{
    bool exact = false;
    encode(text, &exact);
    return exact;
}

} // namespace pindel::cp1252
