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

void appendNumber(QByteArray& out, std::uint64_t number)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    out.append(digits, end - digits);
}

// As encoded(text) appends it; an ASCII text is written without a copy.
void appendEncoded(QByteArray& out, const QString& text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit == 0 || unit >= 0x80) {
            out += encoded(text.mid(i));
            return;
        }
        const char byte = static_cast<char>(unit);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
            (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
            byte == '~' || byte == '/') {
            out += byte;
        } else {
            out += '%';
            out += kHex[(unit >> 4) & 0xF];
            out += kHex[unit & 0xF];
        }
    }
}

// The encoded path of name in folder, joined as the engine joins them.
void appendPath(QByteArray& out, const QString& folder, const QString& name)
{
    appendEncoded(out, folder);
    if (!folder.isEmpty() && !folder.endsWith(u'/'))
        out += '/';
    appendEncoded(out, name);
}

// A planned step carries the entry's inode number when the preview read it,
// so that undo can tell the entry from another one put at its name since.
void appendStepLine(QByteArray& out, const StepList::View& step)
{
    out += "step ";
    appendPath(out, step.folder, step.fromName);
    out += ' ';
    appendPath(out, step.toFolder ? *step.toFolder : step.folder, step.toName);
    if (step.identity != 0) {
        out += ' ';
        appendNumber(out, step.identity);
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
    QDateTime when = QDateTime::fromString(
        path.mid(path.lastIndexOf(u'/') + 1, kTimeFormat.size()), kTimeFormat);
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
        JournalSummary summary{path,           journalTime(path),    journal.folder,
                               journal.steps.size(), journal.undone, journal.madeBy};
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
    const QString name = now.toString(kTimeFormat) + u'-' + QString::number(::getpid()) +
                         QStringLiteral(".journal");
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
    for (qsizetype i = 0; i < plan.size(); ++i) {
        const StepList::View step = plan.view(i);
        if (step.error == 0)
            appendStepLine(text, step);
        if (text.size() >= kFlushSize) {
            written = written && writeAll(m_Fd, text);
            text.clear();
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
    m_Buffer += "done ";
    appendNumber(m_Buffer, static_cast<std::uint64_t>(number));
    m_Buffer += '\n';
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
    m_Buffer.clear();
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
            journal.madeBy = fields[1] == "window" ? QStringLiteral("window")
                                                   : QStringLiteral("command line");
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

