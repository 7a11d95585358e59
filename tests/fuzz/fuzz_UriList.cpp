#include "FuzzTarget.h"

#include "forms/Interaction.h"
#include "runtime/NameCodec.h"

#include <QMimeData>

// Raw text/uri-list bytes: at most one path per line, each an absolute local
// path without a trailing separator (the root excepted) that survives the
// name codec byte for byte.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QMimeData mime;
    mime.setData(QStringLiteral("text/uri-list"), bytes);
    const QStringList files = forms::droppedFiles(&mime);
    FUZZ_CHECK(files.size() <= bytes.count('\n') + 1);
    for (const QString& path : files) {
        FUZZ_CHECK(path.startsWith(u'/'));
        FUZZ_CHECK(path == u"/" || !path.endsWith(u'/'));
        if (!path.contains(QChar(u'\0')))
            FUZZ_CHECK(rt::decodeName(rt::encodeName(path)) == path);
    }
    return 0;
}
