#include "cli/CliSettings.h"
#include "cli/CliHelp.h"
#include "cli/CliText.h"

#include "runtime/NameCodec.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

namespace {

// A relative folder is taken from the current folder; the text itself is
// used as typed (no clean-up, no trimming).
QString absoluteFolder(const QString& folder)
{
    if (folder.startsWith(u'/'))
        return folder;
    char buffer[4096];
    if (!::getcwd(buffer, sizeof buffer))
        return folder;
    QString current = rt::decodeName(QByteArray(buffer));
    if (!current.endsWith(u'/'))
        current += u'/';
    return current + folder;
}

}  // namespace

bool parseCommandLine(const QStringList& arguments, CliSettings& settings, QString& error,
                      int& exitCode)
{
    exitCode = 2;
    if (arguments.size() <= 1) {
        const QString usage =
            usageText() + CliText::tr("Run nemirou-cli --help for the options.") + u'\n';
        std::fputs(usage.toUtf8().constData(), stderr);
        return false;
    }
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  CliText::tr("Show this help."));
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                     CliText::tr("Show the version."));
    const QCommandLineOption head(QStringLiteral("head"),
                                  CliText::tr("Match the part at the head of "
                                              "each name."));
    const QCommandLineOption tail(QStringLiteral("tail"),
                                  CliText::tr("Match the part at the tail of "
                                              "each name."));
    const QCommandLineOption from(QStringLiteral("from"),
                                  CliText::tr("The part of the name to change."),
                                  CliText::tr("TEXT"));
    const QCommandLineOption to(QStringLiteral("to"), CliText::tr("What the part becomes."),
                                CliText::tr("TEXT"));
    const QCommandLineOption whole(QStringLiteral("whole"),
                                   CliText::tr("On a match, replace the whole name."));
    const QCommandLineOption narrow(QStringLiteral("narrow"),
                                    CliText::tr("Convert names to half-width characters (head runs "
                                                "only)."));
    const QCommandLineOption dirs(QStringLiteral("dirs"),
                                  CliText::tr("Rename folders instead of files."));
    const QCommandLineOption recursive(
        QStringList{QStringLiteral("r"), QStringLiteral("recursive")},
        CliText::tr("Descend into subfolders."));
    const QCommandLineOption apply(QStringLiteral("apply"),
                                   CliText::tr("Rename (or undo) for real."));
    const QCommandLineOption json(QStringLiteral("json"),
                                  CliText::tr("Write one JSON object on stdout."));
    const QCommandLineOption undo(
        QStringLiteral("undo"),
        CliText::tr("Undo the newest run, or the one whose journal is named."));
    const QCommandLineOption journals(
        QStringLiteral("journals"),
        CliText::tr("List the journals of earlier runs, the window's and the command line's."));
    const QList<QCommandLineOption> options{head,   tail,     from,      to,     whole,
                                            narrow, dirs,     recursive, apply,  json,
                                            undo,   journals, help,      version};
    parser.addOptions(options);

    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return false;
    }
    if (parser.isSet(help)) {
        const QString text = helpText(
            CliText::tr("Renames files (or folders) in bulk by replacing one part of their names. "
                        "Without --apply nothing on disk changes: the steps the run would take "
                        "are listed."),
            options,
            {{CliText::tr("FOLDER"), CliText::tr("The folder to rename in.")},
             {CliText::tr("JOURNAL"),
              CliText::tr(
                  "With --undo: the journal of the run to undo (the newest without it).")}});
        std::fputs(text.toUtf8().constData(), stdout);
        exitCode = 0;
        return false;
    }
    if (parser.isSet(version)) {
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                    qPrintable(QCoreApplication::applicationVersion()));
        exitCode = 0;
        return false;
    }
    const QStringList positional = parser.positionalArguments();
    settings.apply = parser.isSet(apply);
    settings.json = parser.isSet(json);
    if (parser.isSet(journals)) {
        settings.journals = true;
        return true;
    }
    if (parser.isSet(undo)) {
        for (const QCommandLineOption* option :
             {&head, &tail, &from, &to, &whole, &narrow, &dirs, &recursive}) {
            if (parser.isSet(*option)) {
                error = CliText::tr("--undo takes no rename options (--%1).")
                            .arg(option->names().last());
                return false;
            }
        }
        if (positional.size() > 1) {
            error = CliText::tr("--undo takes at most one journal.");
            return false;
        }
        settings.undo = true;
        settings.journal = positional.value(0);
        return true;
    }
    if (parser.isSet(head) == parser.isSet(tail)) {
        error = CliText::tr("Give exactly one of --head and --tail.");
        return false;
    }
    if (!parser.isSet(from) || !parser.isSet(to)) {
        error = CliText::tr("Give both --from and --to (an empty text is allowed).");
        return false;
    }
    if (parser.isSet(narrow) && parser.isSet(tail)) {
        error = CliText::tr("--narrow works in head runs only.");
        return false;
    }
    if (positional.size() != 1) {
        error = CliText::tr("Give exactly one FOLDER.");
        return false;
    }
    settings.head = parser.isSet(head);
    settings.from = parser.value(from);
    settings.to = parser.value(to);
    settings.whole = parser.isSet(whole);
    settings.narrow = parser.isSet(narrow);
    settings.folders = parser.isSet(dirs);
    settings.recursive = parser.isSet(recursive);
    settings.folder = absoluteFolder(positional[0]);
    return true;
}
