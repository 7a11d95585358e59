#include "cli/CliHelp.h"

#include "cli/CliOutput.h"
#include "cli/CliText.h"

#include <algorithm>

namespace {

const QString kProgram = QStringLiteral("nemirou-cli");
constexpr qsizetype kLineWidth = 79;
constexpr qsizetype kWidestNames = 24;  // a longer left cell goes on a line of its own

QString spaces(qsizetype count)
{
    return QString(std::max<qsizetype>(count, 0), u' ');
}

// "-r, --recursive" or "--from <TEXT>".
QString namesOf(const QCommandLineOption& option)
{
    QStringList names;
    for (const QString& name : option.names())
        names.append((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name);
    QString cell = names.join(QStringLiteral(", "));
    if (!option.valueName().isEmpty())
        cell += QStringLiteral(" <") + option.valueName() + u'>';
    return cell;
}

bool wide(QStringView character)
{
    return displayWidth(character) == 2;
}

// Japanese does not begin a line with these.
bool closing(QChar c)
{
    return QStringView(u"、。，．）」』！？").contains(c);
}

// Splits text into lines of at most width columns, breaking after a blank
// or beside a full-width character, so that Japanese (which has no blanks)
// wraps too and ASCII words stay whole.
QStringList wrapped(const QString& text, qsizetype width)
{
    QStringList lines;
    QString rest = text;
    while (displayWidth(rest) > width) {
        qsizetype used = 0;
        qsizetype cut = 0;
        QStringView previous;
        for (qsizetype i = 0; i < rest.size();) {
            const QStringView character =
                QStringView(rest).mid(i, rest[i].isHighSurrogate() ? 2 : 1);
            const bool breakable = i > 0 && !closing(character[0]) &&
                                   (previous == u" " || wide(previous) || wide(character));
            if (breakable)
                cut = i;
            used += displayWidth(character);
            if (used > width)
                break;
            previous = character;
            i += character.size();
        }
        if (cut == 0) {  // one word wider than the line: it stays whole
            const qsizetype blank = rest.indexOf(u' ');
            cut = blank > 0 ? blank : rest.size();
        }
        lines.append(rest.left(cut).trimmed());
        rest = rest.mid(cut).trimmed();
    }
    lines.append(rest);
    return lines;
}

// Rows of a two-column table, the descriptions starting at column.
QString table(const QList<std::pair<QString, QString>>& rows, qsizetype column)
{
    QString out;
    for (const auto& [left, right] : rows) {
        out += QStringLiteral("  ") + left;
        const qsizetype used = 2 + displayWidth(left);
        out += used + 2 > column ? u'\n' + spaces(column) : spaces(column - used);
        out += wrapped(right, kLineWidth - column).join(u'\n' + spaces(column)) + u'\n';
    }
    return out;
}

}  // namespace

QString usageText()
{
    const QString heading = CliText::tr("Usage:") + u' ';
    return heading + kProgram + u' ' +
           CliText::tr("(--head | --tail) --from TEXT --to TEXT [options] FOLDER") + u'\n' +
           spaces(displayWidth(heading)) + kProgram + u' ' +
           CliText::tr("--undo [--apply] [--json] [JOURNAL]") + u'\n' +
           spaces(displayWidth(heading)) + kProgram + QStringLiteral(" --journals [--json]\n");
}

QString helpText(const QString& description, const QList<QCommandLineOption>& options,
                 const QList<HelpArgument>& arguments)
{
    QList<std::pair<QString, QString>> optionRows;
    for (const QCommandLineOption& option : options)
        optionRows.append({namesOf(option), option.description()});
    QList<std::pair<QString, QString>> argumentRows;
    for (const HelpArgument& argument : arguments)
        argumentRows.append({argument.name, argument.description});
    // One column for both tables: two spaces of indent, the widest left cell
    // (a longer one goes on a line of its own), two spaces.
    qsizetype widest = 0;
    for (const auto* rows : {&optionRows, &argumentRows})
        for (const auto& row : *rows)
            if (displayWidth(row.first) <= kWidestNames)
                widest = std::max(widest, displayWidth(row.first));
    const qsizetype column = widest + 4;
    return usageText() + u'\n' + wrapped(description, kLineWidth).join(u'\n') +
           QStringLiteral("\n\n") + CliText::tr("Options:") + u'\n' + table(optionRows, column) +
           u'\n' + CliText::tr("Arguments:") + u'\n' + table(argumentRows, column);
}
