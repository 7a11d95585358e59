#include "journal/RenameJournal.h"

#include "runtime/NameCodec.h"
#include "runtime/VbError.h"

#include <QDateTime>
#include <QHash>

#include <algorithm>
#include <functional>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qsizetype kFlushSize = 64 * 1024;
const QByteArray kHeader = "nemirou-journal 1\n";

// Separators are kept as they are: the fields stay readable and short, and
// a path never holds a blank or a newline unencoded.
QByteArray encoded(const QString& path)
{
    return rt::encodeName(path).toPercentEncoding("/");
}

QString decoded(const QByteArray& field)
{
    return rt::decodeName(QByteArray::fromPercentEncoding(field));
}

bool writeAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// Creates every missing folder of path, as mkdir -p does.
bool makeFolders(const QByteArray& path)
{
    for (qsizetype i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '/')
            continue;
        const QByteArray part = path.left(i);
        if (::mkdir(part.constData(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

// As encoded(text) appends it. An ASCII text (the usual name) is written
// in place, at most three bytes a character: a plan of 100,000 steps is
// encoded in one pass, not character by character into a growing array.
void appendEncoded(QByteArray& out, QStringView text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    const qsizetype start = out.size();
    out.resize(start + 3 * text.size());
    char* to = out.data() + start;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit == 0 || unit >= 0x80) {
            out.resize(to - out.constData());
            out += encoded(text.mid(i).toString());
            return;
        }
        const char byte = static_cast<char>(unit);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
            (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
            byte == '~' || byte == '/') {
            *to++ = byte;
        } else {
            *to++ = '%';
            *to++ = kHex[(unit >> 4) & 0xF];
            *to++ = kHex[unit & 0xF];
        }
    }
    out.resize(to - out.constData());
}

// The steps of a run come folder by folder: each folder's encoded path
// (with its separator) is made once.
struct FolderBytes {
    const QChar* text = nullptr;
    qsizetype size = -1;
    QByteArray bytes;

    const QByteArray& of(const QString& folder)
    {
        if (folder.constData() != text || folder.size() != size) {
            bytes.resize(0);
            appendEncoded(bytes, folder);
            if (!folder.isEmpty() && !folder.endsWith(u'/'))
                bytes += '/';
            text = folder.constData();
            size = folder.size();
        }
        return bytes;
    }
};

// The encoded path of name in folder, joined as the engine joins them.
void appendPath(QByteArray& out, const QString& folder, const QString& name)
{
    FolderBytes bytes;
    out += bytes.of(folder);
    appendEncoded(out, name);
}

// Writes text percent-encoded at to, as encoded(text) would; false (and
// nothing certain written) when the text is not all ASCII without NUL.
bool encodeAscii(char*& to, QStringView text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit == 0 || unit >= 0x80)
            return false;
        const char byte = static_cast<char>(unit);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
            (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
            byte == '~' || byte == '/') {
            *to++ = byte;
        } else {
            *to++ = '%';
            *to++ = kHex[(unit >> 4) & 0xF];
            *to++ = kHex[unit & 0xF];
        }
    }
    return true;
}

// A planned step carries the entry's inode number when the preview read it,
// so that undo can tell the entry from another one put at its name since.
// An ASCII line is written in place, at one resize: one line for each of
// 100,000 steps.
void appendStepLine(QByteArray& out, const StepList::View& step, FolderBytes& folders)
{
    const QByteArray& folder = folders.of(step.folder);
    const qsizetype start = out.size();
    if (!step.toFolder) {
        out.resize(start + 5 + 2 * folder.size() + 3 * (step.fromName.size() + step.toName.size()) +
                   24);
        char* to = out.data() + start;
        std::memcpy(to, "step ", 5);
        to += 5;
        std::memcpy(to, folder.constData(), static_cast<std::size_t>(folder.size()));
        to += folder.size();
        bool ascii = encodeAscii(to, step.fromName);
        *to++ = ' ';
        std::memcpy(to, folder.constData(), static_cast<std::size_t>(folder.size()));
        to += folder.size();
        ascii = ascii && encodeAscii(to, step.toName);
        if (ascii) {
            if (step.identity != 0) {
                *to++ = ' ';
                to = std::to_chars(to, to + 21, step.identity).ptr;
            }
            *to++ = '\n';
            out.resize(to - out.constData());
            return;
        }
        out.resize(start);
    }
    out += "step ";
    out += folder;
    appendEncoded(out, step.fromName);
    out += ' ';
    appendPath(out, step.toFolder ? *step.toFolder : step.folder, step.toName);
    if (step.identity != 0) {
        out += ' ';
        out += QByteArray::number(step.identity);
    }
    out += '\n';
}

const QString kTimeFormat = QStringLiteral("yyyyMMdd-HHmmss-zzz");

// The journals of the journal folder, newest first (their names begin
// with the time of the run).
QStringList journalPaths()
{
    const QString folder = journalFolder();
    QList<QByteArray> names;
    if (DIR* dir = ::opendir(rt::encodeName(folder).constData())) {
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name.endsWith(".journal"))
                names.append(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end(), std::greater<>());
    QStringList paths;
    for (const QByteArray& name : std::as_const(names))
        paths.append(folder + u'/' + rt::decodeName(name));
    return paths;
}

}  // namespace

QDateTime journalTime(const QString& path)
{
    QDateTime when = QDateTime::fromString(path.mid(path.lastIndexOf(u'/') + 1, kTimeFormat.size()),
                                           kTimeFormat);
    when.setTimeSpec(Qt::UTC);
    return when;
}

namespace {

// The undone mark is the last line a journal gets.
bool undoneMarked(const QString& path)
{
    const int fd = ::open(rt::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char tail[8] = {};
    const off_t size = ::lseek(fd, 0, SEEK_END);
    const bool read = size >= 7 && ::pread(fd, tail, 7, size - 7) == 7;
    ::close(fd);
    return read && QByteArray(tail, 7) == "undone\n";
}

}  // namespace

QString journalFolder()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    QString base;
    if (state && state[0] == '/') {
        base = rt::decodeName(QByteArray(state));
    } else {
        const char* home = std::getenv("HOME");
        base = rt::decodeName(QByteArray(home ? home : "")) + QStringLiteral("/.local/state");
    }
    return base + QStringLiteral("/nemirou/journal");
}

QString newestJournal()
{
    for (const QString& path : journalPaths()) {
        if (!undoneMarked(path))
            return path;
    }
    return QString();
}

QList<JournalSummary> listJournals()
{
    QList<JournalSummary> list;
    for (const QString& path : journalPaths()) {
        Journal journal;
        QString error;
        if (!readJournal(path, journal, error))
            continue;
        JournalSummary summary{path,           journalTime(path),
                               journal.folder, journal.steps.size(),
                               journal.undone, journal.madeBy};
        list.append(summary);
    }
    return list;
}

void pruneJournals(const QDateTime& now)
{
    const QStringList paths = journalPaths();
    const QDateTime oldest = now.addDays(-kKeptJournalDays);
    for (qsizetype i = kKeptJournals; i < paths.size(); ++i) {
        if (journalTime(paths[i]) < oldest)
            ::unlink(rt::encodeName(paths[i]).constData());
    }
}

JournalWriter::JournalWriter(Front front) : m_Front(front) {}

JournalWriter::~JournalWriter()
{
    if (m_Fd >= 0) {
        flush();
        ::close(m_Fd);
    }
}

bool JournalWriter::begin(const QString& folder, const StepList& plan)
{
    m_Lock = std::make_unique<RunLock>(folder);
    m_Lock->lock();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    pruneJournals(now);
    QString& error = m_Error;
    const QByteArray where = rt::encodeName(journalFolder());
    if (!makeFolders(where)) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    // Named by time; the process id keeps two runs of one millisecond apart.
    const QString name =
        now.toString(kTimeFormat) + u'-' + QString::number(::getpid()) + QStringLiteral(".journal");
    m_Path = journalFolder() + u'/' + name;
    m_Fd = ::open(rt::encodeName(m_Path).constData(),
                  O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
    if (m_Fd < 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    // Written in pieces: a plan of many steps is never held as one text.
    // Only the steps the run expects to succeed: undoing a step that failed
    // would move a file the run never touched.
    QByteArray text = kHeader + "folder " + encoded(folder) + '\n' + "made-by " +
                      (m_Front == Front::Window ? "window" : "command-line") + '\n';
    bool written = true;
    FolderBytes folders;
    text.reserve(kFlushSize + 4096);
    for (qsizetype i = 0; i < plan.size(); ++i) {
        const StepList::View step = plan.view(i);
        if (step.error == 0)
            appendStepLine(text, step, folders);
        if (text.size() >= kFlushSize) {
            written = written && writeAll(m_Fd, text);
            text.resize(0);  // keeps its memory for the next piece
        }
    }
    text += "begin\n";
    if (!written || !writeAll(m_Fd, text) || ::fsync(m_Fd) != 0) {
        // A journal that cannot say what the run does is not left behind.
        error = QString::fromLocal8Bit(std::strerror(errno));
        ::close(m_Fd);
        m_Fd = -1;
        ::unlink(rt::encodeName(m_Path).constData());
        m_Path.clear();
        return false;
    }
    return true;
}

void JournalWriter::markDone(qsizetype number)
{
    if (m_Fd < 0)
        return;
    char line[32] = "done ";
    char* end = std::to_chars(line + 5, line + sizeof line - 1, number).ptr;
    *end++ = '\n';
    m_Buffer.append(line, end - line);
    if (m_Buffer.size() >= kFlushSize)
        flush();
}

void JournalWriter::markTemporary(const StepList::View& step, const QByteArray& temporary)
{
    if (m_Fd < 0)
        return;
    m_Buffer += "via ";
    appendPath(m_Buffer, step.folder, step.fromName);
    m_Buffer += ' ';
    appendPath(m_Buffer, step.folder, step.toName);
    m_Buffer += ' ';
    appendPath(m_Buffer, step.folder, rt::decodeName(temporary));
    m_Buffer += '\n';
    flush();
}

void JournalWriter::flush()
{
    if (m_Fd >= 0 && !m_Buffer.isEmpty())
        writeAll(m_Fd, m_Buffer);
    m_Buffer.resize(0);
}

void JournalWriter::finish()
{
    m_Buffer += "end\n";
    flush();
}

bool readJournal(const QString& path, Journal& journal, QString& error)
{
    const int fd = ::open(rt::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    QByteArray text;
    char buffer[65536];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, n);
    ::close(fd);
    if (!text.startsWith(kHeader)) {
        error = QStringLiteral("not a journal");
        return false;
    }
    journal = Journal{};
    journal.path = path;
    journal.madeBy = QStringLiteral("command line");  // before the window kept journals
    QHash<QPair<QString, QString>, bool> planned;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields[0] == "folder" && fields.size() == 2) {
            journal.folder = decoded(fields[1]);
        } else if ((fields[0] == "step" && (fields.size() == 3 || fields.size() == 4)) ||
                   (fields[0] == "done" && fields.size() == 3)) {
            const QPair<QString, QString> key{decoded(fields[1]), decoded(fields[2])};
            RenameStep step = RenameStep::between(key.first, key.second);
            if (fields.size() == 4)
                step.identity = fields[3].toULongLong();
            if (fields[0] == "step")
                planned.insert(key, true);
            else if (planned.contains(key))
                continue;  // a done mark of a planned step
            journal.steps.append(step);
        } else if (fields[0] == "via" && fields.size() == 4) {
            journal.temporaries.insert({decoded(fields[1]), decoded(fields[2])},
                                       decoded(fields[3]));
        } else if (fields[0] == "made-by" && fields.size() == 2) {
            journal.madeBy =
                fields[1] == "window" ? QStringLiteral("window") : QStringLiteral("command line");
        } else if (fields[0] == "undone") {
            journal.undone = true;
        }
    }
    if (journal.folder.isEmpty()) {
        error = QStringLiteral("not a journal");
        return false;
    }
    return true;
}

bool markJournalUndone(const QString& path)
{
    const int fd = ::open(rt::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool done = writeAll(fd, "undone\n") && ::fsync(fd) == 0;
    ::close(fd);
    return done;
}
