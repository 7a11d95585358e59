#include "FuzzTarget.h"

#include "common/mdl_All.h"

// The token cutter over every start position of a text and a non-empty
// delimiter: the token is the text from the start up to the next delimiter,
// and the position returned is just after that delimiter, or 1 at the end.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const qsizetype delimiterLength = 1 + data[0] % 3;
    const QString all = QString::fromUtf16(reinterpret_cast<const char16_t*>(data + 1),
                                           static_cast<qsizetype>((size - 1) / 2));
    if (all.size() < delimiterLength)
        return 0;
    const QString delimiter = all.left(delimiterLength);
    const QString source = all.mid(delimiterLength);
    for (std::int32_t start = 1; start <= source.size() + 2; ++start) {
        QString token;
        const std::int32_t next = FncLng_GetToken(source, delimiter, start, token);
        const qsizetype from = start - 1;
        FUZZ_CHECK(token == source.mid(from, token.size()));
        FUZZ_CHECK(!token.contains(delimiter));
        if (next == 1) {
            FUZZ_CHECK(token == source.mid(from));
        } else {
            FUZZ_CHECK(QStringView(source).mid(from + token.size(), delimiter.size()) == delimiter);
            FUZZ_CHECK(next == start + token.size() + delimiter.size());
        }
    }
    return 0;
}
