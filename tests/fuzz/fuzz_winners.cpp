// Fuzzes the winners-file format with the properties a player relies on, not only "no
// crash":
//  - the list never holds more entries than the file has CR characters plus one;
//  - writing the list back gives the same bytes whenever every line of the input ends in
//    CR LF, and otherwise the input with only its line ends made CR LF (nothing else lost);
//  - what was written reads back as the same list;
//  - the built-in code-page table and Qt's converter read every input the same way.

#include "cp1252.h"
#include "winners_file.h"
#include "register_test_util.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void fail(const char *what)
{
    std::fprintf(stderr, "winners-file property broken: %s\n", what);
    std::abort();
}

// Every line ends in CR LF: no CR without its LF, and the data ends with a line end.
bool allLinesEndCrLf(const QByteArray &in)
{
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] == '\r' && (i + 1 == in.size() || in[i + 1] != '\n'))
            return false;
    }
    return in.isEmpty() || in.endsWith("\r\n");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray in(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList entries = pindel::winners::decodeLines(in);

    if (entries.size() > in.count('\r') + 1)
        fail("more entries than CRs plus one");
    for (const QString &entry : entries) {
        if (entry.contains(QLatin1Char('\r')))
            fail("an entry holds a CR");
    }

    const QByteArray out = pindel::winners::encodeLines(entries);
    if (allLinesEndCrLf(in) && out != in)
        fail("CR LF input not written back byte for byte");
    if (out != regtest::normalised(in))
        fail("written bytes differ from the input beyond its line ends");
    if (pindel::winners::decodeLines(out) != entries)
        fail("written list does not read back the same");

    if (pindel::cp1252::decodeWithTable(in) != pindel::cp1252::decode(in))
        fail("table and converter disagree");
    return 0;
}
