#include "engine/Cls_FileRename.h"

#include "runtime/PathSeparator.h"
#include "runtime/StringFunctions.h"
#include "runtime/VbError.h"

#include <QDate>

#include <algorithm>

namespace {

constexpr int kTypeMismatch = 13;

[[noreturn]] void raiseNotADate()
{
    rt::raiseError(kTypeMismatch, QStringLiteral("Cls_FileRename.FncStr_FormatDateTime"));
}

// Reads a run of 1..maxDigits ASCII digits at position i; -1 when there is none.
int readNumber(QStringView text, qsizetype& i, qsizetype minDigits, qsizetype maxDigits)
{
    int value = 0;
    qsizetype digits = 0;
    while (i < text.size() && digits < maxDigits && text[i] >= u'0' && text[i] <= u'9') {
        value = value * 10 + (text[i].unicode() - u'0');
        ++i;
        ++digits;
    }
    return digits < minDigits ? -1 : value;
}

bool expect(QStringView text, qsizetype& i, char16_t c)
{
    if (i >= text.size() || text[i] != c)
        return false;
    ++i;
    return true;
}

void appendPadded(QString& out, int value, int width)
{
    char16_t digits[4];
    for (int k = width - 1; k >= 0; --k) {
        digits[k] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    }
    out.append(QStringView(digits, width));
}

QString formatStamp(int year, int month, int day, int hour, int minute, int second)
{
    QString out;
    out.reserve(19);
    appendPadded(out, year, 4);
    out.append(u'/');
    appendPadded(out, month, 2);
    out.append(u'/');
    appendPadded(out, day, 2);
    out.append(u' ');
    appendPadded(out, hour, 2);
    out.append(u':');
    appendPadded(out, minute, 2);
    out.append(u':');
    appendPadded(out, second, 2);
    return out;
}

}  // namespace

void Cls_FileRename::setFilter_SetDateIsNewerThanFileDate(const QString& date)
{
    Sub_SetDateFilter(date, QStringLiteral("000000"), m_DateNewerThan, m_IsDateNewerThan);
}

void Cls_FileRename::setFilter_SetDateIsNewerThanFileDateTime(const QString& date,
                                                              const QString& time)
{
    Sub_SetDateFilter(date, time.isEmpty() ? QStringLiteral("000000") : time, m_DateNewerThan,
                      m_IsDateNewerThan);
}

void Cls_FileRename::setFilter_SetDateEqualsFileDate(const QString& date)
{
    Sub_SetDateFilter(date, QStringLiteral("235959"), m_DateEquals, m_IsDateEquals);
}

void Cls_FileRename::setFilter_SetDateEqualsFileDateTime(const QString& date, const QString& time)
{
    Sub_SetDateFilter(date, time, m_DateEquals, m_IsDateEquals);
}

void Cls_FileRename::setFilter_SetDateIsOlderThanFileDate(const QString& date)
{
    Sub_SetDateFilter(date, QStringLiteral("235959"), m_DateOlderThan, m_IsDateOlderThan);
}

void Cls_FileRename::setFilter_SetDateIsOlderThanFileDateTime(const QString& date,
                                                              const QString& time)
{
    Sub_SetDateFilter(date, time.isEmpty() ? QStringLiteral("235959") : time, m_DateOlderThan,
                      m_IsDateOlderThan);
}

void Cls_FileRename::setFilter_AddExtension(const QString& value)
{
    Sub_AddFilterItem(value, *m_ExtensionList);
}

void Cls_FileRename::setFilter_AddFolder(const QString& value)
{
    Sub_AddFilterItem(value, *m_FolderList);
}

// An empty date switches the threshold off and keeps its earlier text.
void Cls_FileRename::Sub_SetDateFilter(const QString& date, const QString& time, QString& text,
                                       bool& flag)
{
    if (date.isEmpty()) {
        flag = false;
        return;
    }
    flag = true;
    text = FncStr_LayDigits(date, QStringLiteral("0000/00/00")) + u' ' +
           FncStr_LayDigits(time, QStringLiteral("00:00:00"));
}

// A text of digits is read as a whole number whose digits fill the pattern's
// digit places from the right; surplus digits stand in front. Any other text
// (empty, or already punctuated such as 2006/12/31) is kept as it is and
// judged later by FncStr_FormatDateTime.
QString Cls_FileRename::FncStr_LayDigits(const QString& text, const QString& pattern)
{
    if (text.isEmpty())
        return text;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return text;
    }
    qsizetype first = 0;
    while (first < text.size() - 1 && text[first] == u'0')
        ++first;
    const QStringView digits = QStringView(text).mid(first);
    QString out = pattern;
    qsizetype next = digits.size() - 1;
    for (qsizetype i = out.size() - 1; i >= 0 && next >= 0; --i) {
        if (out[i] == u'0')
            out[i] = digits[next--];
    }
    if (next >= 0)
        out.prepend(digits.left(next + 1));
    return out;
}

void Cls_FileRename::Sub_AddFilterItem(const QString& text, rt::KeyedStringList& list)
{
    if (text.isEmpty())
        return;
    try {
        list.Add(text);
    } catch (...) {
        // A key that is already there (in any letter case) is dropped silently.
    }
}

// The stamp is written as text only for the comparisons, so a stamp that has
// no four-digit year fails only while a threshold is on.
bool Cls_FileRename::FncBln_IsDateMatch(std::int64_t seconds) const
{
    // Up to the end of year 9999 every stamp is a valid local time; only
    // beyond is the conversion asked.
    constexpr std::int64_t kPlainRange = 253402300799;
    if (!m_IsDateNewerThan && !m_IsDateEquals && !m_IsDateOlderThan)
        return (seconds >= -kPlainRange && seconds <= kPlainRange) ||
               QDateTime::fromSecsSinceEpoch(seconds, Qt::LocalTime).isValid();
    try {
        const QString stamp =
            FncStr_FormatDateTime(QDateTime::fromSecsSinceEpoch(seconds, Qt::LocalTime));
        if (m_IsDateNewerThan && stamp < FncStr_FormatDateTime(m_DateNewerThan))
            return false;
        if (m_IsDateEquals && stamp != FncStr_FormatDateTime(m_DateEquals))
            return false;
        if (m_IsDateOlderThan && stamp > FncStr_FormatDateTime(m_DateOlderThan))
            return false;
        return true;
    } catch (...) {
        return false;
    }
}

// Reads "yyyy/M/d" with an optional " H:m:s" (or " H:m"), blanks around it
// allowed, and writes it as "yyyy/mm/dd hh:mm:ss"; a date alone is 00:00:00.
// Anything else is not a date and time (error 13).
QString Cls_FileRename::FncStr_FormatDateTime(const QString& text)
{
    const QStringView view = QStringView(text).trimmed();
    qsizetype i = 0;
    const int year = readNumber(view, i, 4, 4);
    bool ok = year >= 0 && expect(view, i, u'/');
    const int month = ok ? readNumber(view, i, 1, 2) : -1;
    ok = ok && month >= 0 && expect(view, i, u'/');
    const int day = ok ? readNumber(view, i, 1, 2) : -1;
    ok = ok && day >= 0 && QDate::isValid(year, month, day);
    int hour = 0;
    int minute = 0;
    int second = 0;
    if (ok && i < view.size()) {
        ok = expect(view, i, u' ');
        while (ok && i < view.size() && view[i] == u' ')
            ++i;
        hour = ok ? readNumber(view, i, 1, 2) : -1;
        ok = ok && hour >= 0 && hour < 24 && expect(view, i, u':');
        minute = ok ? readNumber(view, i, 1, 2) : -1;
        ok = ok && minute >= 0 && minute < 60;
        if (ok && i < view.size()) {
            ok = expect(view, i, u':');
            second = ok ? readNumber(view, i, 1, 2) : -1;
            ok = ok && second >= 0 && second < 60;
        }
    }
    if (!ok || i != view.size())
        raiseNotADate();
    return formatStamp(year, month, day, hour, minute, second);
}

QString Cls_FileRename::FncStr_FormatDateTime(const QDateTime& stamp)
{
    if (!stamp.isValid())
        raiseNotADate();
    const QDate date = stamp.date();
    const QTime time = stamp.time();
    if (date.year() < 1 || date.year() > 9999)
        raiseNotADate();
    return formatStamp(date.year(), date.month(), date.day(), time.hour(), time.minute(),
                       time.second());
}

bool Cls_FileRename::FncBln_IsExtensionNotListed(const QString& path) const
{
    try {
        if (m_ExtensionList->Count() == 0)
            return true;
        const QString name = FncStr_GetLastPathName(path);
        for (const QString& entry : m_ExtensionList->Items()) {
            QString ending = entry;
            ending.remove(u'*');
            const QString tail = QStringView(name).right(ending.size()).toString();
            if (rt::LCase(tail) == rt::LCase(ending))
                return false;
        }
        return true;
    } catch (...) {
        return false;
    }
}

// Exactly one separator between folder and name. The folder is used as
// received: blanks at either end are characters of a folder name here, and
// dropping them would name a different folder (its namesake without them).
QString Cls_FileRename::FncStr_JoinPath(const QString& folder, const QString& name)
{
    const QStringView f(folder);
    if (f.isEmpty())
        return name;
    // One allocation, filled in place: this runs several times per entry.
    const bool separator = f.back() != rt::kPathSeparator;
    QString joined(f.size() + (separator ? 1 : 0) + name.size(), Qt::Uninitialized);
    QChar* out = joined.data();
    std::copy(f.begin(), f.end(), out);
    out += f.size();
    if (separator)
        *out++ = QChar(rt::kPathSeparator);
    std::copy(name.begin(), name.end(), out);
    return joined;
}
