#include "forms/Interaction.h"

#include "runtime/NameCodec.h"
#include "runtime/PathSeparator.h"

#include <QByteArrayView>
#include <QMimeData>
#include <QSysInfo>

namespace forms {
namespace {

const char* const kUriList = "text/uri-list";

bool startsWithNoCase(QByteArrayView text, QByteArrayView prefix)
{
    return text.size() >= prefix.size() &&
           text.first(prefix.size()).compare(prefix, Qt::CaseInsensitive) == 0;
}

// The percent-encoded path of a local file URI, or an empty array when the URI
// names something else (another scheme, another host).
QByteArray encodedLocalPath(QByteArrayView uri)
{
    const QByteArrayView scheme("file:");
    if (!startsWithNoCase(uri, scheme))
        return {};
    QByteArrayView rest = uri.sliced(scheme.size());
    const char separator = static_cast<char>(rt::kPathSeparator);
    if (rest.startsWith("//")) {
        rest = rest.sliced(2);
        const qsizetype pathStart = rest.indexOf(separator);
        if (pathStart < 0)
            return {};
        const QByteArrayView host = rest.first(pathStart);
        if (!host.isEmpty() && host.compare("localhost", Qt::CaseInsensitive) != 0 &&
            host != QSysInfo::machineHostName().toUtf8())
            return {};
        rest = rest.sliced(pathStart);
    }
    if (!rest.startsWith(separator))
        return {};
    // A fragment is not part of the path; a '#' inside a name arrives
    // percent-encoded. A '?' is kept as part of the name: a local file has no
    // query.
    const qsizetype end = rest.indexOf('#');
    if (end >= 0)
        rest = rest.first(end);
    return rest.toByteArray();
}

}  // namespace

QStringList droppedFiles(const QMimeData* data)
{
    QStringList files;
    if (!data || !data->hasFormat(QString::fromLatin1(kUriList)))
        return files;
    const QByteArray list = data->data(QString::fromLatin1(kUriList));
    for (const QByteArray& rawLine : list.split('\n')) {
        const QByteArray line = rawLine.trimmed();  // CR LF line ends, stray blanks
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QByteArray encoded = encodedLocalPath(line);
        if (encoded.isEmpty())
            continue;
        QByteArray path = QByteArray::fromPercentEncoding(encoded);
        // A dropped folder may come with a trailing separator; its path is
        // the folder itself, not an empty name inside it.
        while (path.size() > 1 && path.endsWith(static_cast<char>(rt::kPathSeparator)))
            path.chop(1);
        files.append(rt::decodeName(path));
    }
    return files;
}

}  // namespace forms
