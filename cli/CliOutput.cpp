#include "cli/CliOutput.h"

#include "runtime/NameCodec.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

const char kHexDigits[] = "0123456789abcdef";

void appendEscape(QByteArray& out, char16_t unit)
{
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += kHexDigits[(unit >> shift) & 0xF];
}

bool isWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
           (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1FAFF) ||
           (c >= 0x20000 && c <= 0x3FFFD);
}

// The path's bytes as they are on disk: a terminal shows what the disk holds.
QByteArray pathBytes(const QString& path)
{
    try {
        return rt::encodeName(path);
    } catch (...) {
        return path.toUtf8();
    }
}

const char kBold[] = "\033[1m";
const char kChanged[] = "\033[1;33m";
const char kReset[] = "\033[0m";

// The path with the part between the common head and tail of the two names
// highlighted.
QByteArray highlighted(const QString& path, const QString& other, bool colour)
{
    if (!colour)
        return pathBytes(path);
    const qsizetype slash = path.lastIndexOf(u'/') + 1;
    const QStringView name = QStringView(path).mid(slash);
    const QStringView otherName = QStringView(other).mid(other.lastIndexOf(u'/') + 1);
    qsizetype head = 0;
    while (head < name.size() && head < otherName.size() && name[head] == otherName[head])
        ++head;
    qsizetype tail = 0;
    while (tail < name.size() - head && tail < otherName.size() - head &&
           name[name.size() - 1 - tail] == otherName[otherName.size() - 1 - tail])
        ++tail;
    QByteArray out = pathBytes(path.left(slash + head));
    out += kChanged;
    out += pathBytes(name.mid(head, name.size() - head - tail).toString());
    out += kReset;
    out += pathBytes(name.right(tail).toString());
    return out;
}

}  // namespace

QByteArray jsonString(const QString& text)
{
    QByteArray out;
    out.reserve(text.size() + 2);
    out += '"';
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < size &&
            QChar::isLowSurrogate(text[i + 1].unicode())) {
            out += QStringView(text).mid(i, 2).toUtf8();
            ++i;
        } else if (QChar::isSurrogate(c)) {
            appendEscape(out, c);
        } else if (c == u'"' || c == u'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == u'\n') {
            out += "\\n";
        } else if (c == u'\r') {
            out += "\\r";
        } else if (c == u'\t') {
            out += "\\t";
        } else if (c < 0x20) {
            appendEscape(out, c);
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += QStringView(text).mid(i, 1).toUtf8();
        }
    }
    out += '"';
    return out;
}

QByteArray outcomeJson(const RunOutcome& outcome, bool applied, const QString& journal)
{
    QByteArray out = "{\"applied\": ";
    out += applied ? "true" : "false";
    out += ", \"steps\": [";
    for (qsizetype i = 0; i < outcome.steps.size(); ++i) {
        const RenameStep& step = outcome.steps[i];
        out += i == 0 ? "\n  " : ",\n  ";
        out += "{\"from\": " + jsonString(step.from()) + ", \"to\": " + jsonString(step.to()) +
               ", \"status\": " + jsonString(stepStatus(step)) +
               ", \"message\": " + jsonString(stepMessage(step)) + "}";
    }
    out += outcome.steps.isEmpty() ? "]" : "\n]";
    out += ", \"unreadable\": [";
    for (qsizetype i = 0; i < outcome.unreadable.size(); ++i) {
        const FolderFailure& failure = outcome.unreadable[i];
        out += i == 0 ? "\n  " : ",\n  ";
        out += "{\"folder\": " + jsonString(failure.path) + ", \"message\": " +
               jsonString(QString::fromLocal8Bit(std::strerror(failure.systemError))) + "}";
    }
    out += outcome.unreadable.isEmpty() ? "]" : "\n]";
    out += ", \"renamed\": " + QByteArray::number(outcome.renamed);
    out += ", \"skipped\": " + QByteArray::number(outcome.skipped);
    out += ", \"examined\": " + QByteArray::number(outcome.examined);
    out += ", \"journal\": " + jsonString(journal) + "}\n";
    return out;
}

QByteArray journalsJson(const QList<JournalSummary>& journals)
{
    QByteArray out = "{\"journals\": [";
    for (qsizetype i = 0; i < journals.size(); ++i) {
        const JournalSummary& journal = journals[i];
        out += i == 0 ? "\n  " : ",\n  ";
        out += "{\"journal\": " + jsonString(journal.path) +
               ", \"when\": " + jsonString(journal.when.toString(Qt::ISODate)) +
               ", \"folder\": " + jsonString(journal.folder) +
               ", \"steps\": " + QByteArray::number(journal.steps) +
               ", \"undone\": " + (journal.undone ? "true" : "false") +
               ", \"madeBy\": " + jsonString(journal.madeBy) + "}";
    }
    out += journals.isEmpty() ? "]}\n" : "\n]}\n";
    return out;
}

qsizetype displayWidth(QStringView text)
{
    qsizetype width = 0;
    for (const char32_t c : text.toUcs4())
        width += isWide(c) ? 2 : 1;
    return width;
}

QByteArray stepLines(const RunOutcome& outcome, bool colour)
{
    qsizetype widest = 0;
    for (const RenameStep& step : outcome.steps)
        widest = std::max(widest, displayWidth(step.from()));
    QByteArray out;
    for (const RenameStep& step : outcome.steps) {
        const QString status = stepStatus(step);
        const bool ok = step.error == 0;
        if (colour)
            out += ok ? "\033[32m" : "\033[31m";
        out += status.leftJustified(7).toUtf8();
        if (colour)
            out += kReset;
        out += ' ';
        const QString from = step.from();
        const QString to = step.to();
        out += highlighted(from, to, colour);
        out += QByteArray(widest - displayWidth(from), ' ');
        out += colour ? QByteArray(kBold) + " -> " + kReset : QByteArray(" -> ");
        out += highlighted(to, from, colour);
        const QString message = stepMessage(step);
        if (!message.isEmpty())
            out += "  (" + message.toUtf8() + ')';
        out += '\n';
    }
    // A folder the run could not read is a line of its own.
    for (const FolderFailure& failure : outcome.unreadable) {
        out += colour ? QByteArray("\033[31munread\033[0m  ") : QByteArray("unread  ");
        out += pathBytes(failure.path) + "  (" +
               QString::fromLocal8Bit(std::strerror(failure.systemError)).toUtf8() + ")\n";
    }
    return out;
}

bool colourWanted()
{
    const char* noColour = std::getenv("NO_COLOR");
    return ::isatty(STDOUT_FILENO) == 1 && noColour == nullptr && qgetenv("TERM") != "dumb";
}
