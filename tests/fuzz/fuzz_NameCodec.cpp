#include "FuzzTarget.h"

#include "runtime/NameCodec.h"

// Bytes -> text -> bytes is the identity for every byte string without NUL
// and "/", and text -> bytes -> text is the identity for every decoded text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    bytes.replace('\0', 'x').replace('/', 'y');
    const QString text = rt::decodeName(bytes);
    FUZZ_CHECK(rt::encodeName(text) == bytes);
    FUZZ_CHECK(rt::decodeName(rt::encodeName(text)) == text);
    FUZZ_CHECK(!text.contains(QChar(u'/')) && !text.contains(QChar(u'\0')));
    return 0;
}
