#include "CliTest.h"

#include <pty.h>

// The command line's own texts: parsing, the JSON escapes, the alignment.
class CliTextTest : public QObject {
    Q_OBJECT

private slots:
    // Usage errors end with 2 and one line; a valid line fills the settings.
    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");  // empty: accepted
        const auto row = [](const char* name, const QStringList& arguments, const char* error) {
            QTest::newRow(name) << arguments << QString(error);
        };
        row("tail run", {"--tail", "--from", ".jpeg", "--to", ".jpg", "/d"}, "");
        row("head run, every option, empty texts",
            {"--head", "--from", "", "--to", "", "-r", "--dirs", "--whole", "--narrow", "/d"}, "");
        row("narrow tail", {"--tail", "--from", "a", "--to", "b", "--narrow", "/d"},
            "--narrow works in head runs only.");
        row("no kind", {"--from", "a", "--to", "b"}, "Give exactly one of --head and --tail.");
        row("no to", {"--head", "--from", "a", "/d"},
            "Give both --from and --to (an empty text is allowed).");
        row("two folders", {"--head", "--from", "a", "--to", "b", "/d", "/e"},
            "Give exactly one FOLDER.");
        // A relative folder is made absolute and otherwise kept as typed.
        row("relative folder", {"--head", "--from", "a", "--to", "b", " d "}, "");
        row("undo", {"--undo", "--apply", "/j"}, "");
        row("undo with a rename option", {"--undo", "--head"},
            "--undo takes no rename options (--head).");
    }
    void parse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        CliSettings s;
        QString message;
        int exitCode = -1;
        const bool accepted =
            parseCommandLine(QStringList{"nemirou-cli"} + arguments, s, message, exitCode);
        QCOMPARE(message, error);
        QCOMPARE(accepted, error.isEmpty());
        QCOMPARE(exitCode, 2);
        if (!accepted)
            return;
        const QString typed = arguments.last();
        QCOMPARE(s.undo ? s.journal : s.folder,
                 typed.startsWith(u'/') ? typed : QDir::currentPath() + u'/' + typed);
        const auto given = [&](const char* option) { return arguments.contains(option); };
        const auto text = [&](const char* option) {
            return given(option) ? arguments[arguments.indexOf(option) + 1] : QString();
        };
        QCOMPARE((QStringList{s.from, s.to}), (QStringList{text("--from"), text("--to")}));
        QCOMPARE((QList<bool>{s.undo, s.apply, s.head, s.recursive, s.folders, s.whole, s.narrow}),
                 (QList<bool>{given("--undo"), given("--apply"), !given("--tail"), given("-r"),
                              given("--dirs"), given("--whole"), given("--narrow")}));
    }

    // The step lines and the JSON answer, whole: statuses and messages by
    // error (a valid name the volume refuses has its own), old paths padded
    // to one column by display width (wide forms count two), no colour.
    void report()
    {
        RunOutcome outcome{{}, 1, 3, 4, {{"/d/s", EACCES}}};
        outcome.steps = {{"/d", u"テスト"_qs, "x", 0, 0, false, {}, 0},
                         {"/d", "abcdefg", "b", 58, EEXIST, false, {}, 0},
                         {"/d", "e", "x/y", 52, 0, false, {}, 0},
                         {"/d", "f", "f?", 52, 0, false, {}, 0}};
        // A lone surrogate (a byte that is not UTF-8) as \udcXX, a pair as
        // UTF-8, quotes and controls escaped.
        QCOMPARE(jsonString(u"x/"_qs + QChar(0xDCFF) + u"😀\"\\\n\x01"_qs),
                 "\"x/\\udcff\xf0\x9f\x98\x80\\\"\\\\\\n\\u0001\"");
        QCOMPARE(displayWidth(u"一テストＡ한가𠀀"_qs), 16);  // 가, 𠀀: where two ranges start
        QCOMPARE(displayWidth(u"ﾃｽﾄ"_qs), 3);
        const QByteArray lines(R"(ok      /d/テスト  -> /d/x
exists  /d/abcdefg -> /d/b  (File exists)
invalid /d/e       -> /d/x/y  (not a single valid name)
invalid /d/f       -> /d/f?  (this volume cannot hold the character "?" in a name)
unread  /d/s  (Permission denied)
)");
        QCOMPARE(stepLines(outcome, false), lines);
        QCOMPARE(
            outcomeJson(outcome, true, "/j"),
            "{\"applied\": true, \"steps\": [\n"
            "  {\"from\": \"/d/テスト\", \"to\": \"/d/x\", \"status\": \"ok\", \"message\": "
            "\"\"},\n"
            "  {\"from\": \"/d/abcdefg\", \"to\": \"/d/b\", \"status\": \"exists\", \"message\": "
            "\"File exists\"},\n"
            "  {\"from\": \"/d/e\", \"to\": \"/d/x/y\", \"status\": \"invalid\", \"message\": "
            "\"not a single valid name\"},\n"
            "  {\"from\": \"/d/f\", \"to\": \"/d/f?\", \"status\": \"invalid\", \"message\": "
            "\"this volume cannot hold the character \\\"?\\\" in a name\"}\n"
            "], \"unreadable\": [\n  {\"folder\": \"/d/s\", \"message\": \"Permission denied\"}\n]"
            ", \"renamed\": 1, \"skipped\": 3, \"examined\": 4, \"journal\": \"/j\"}\n");
        // In colour, what lies between the names' common head and tail stands out.
        outcome.steps = {{"/d", "ab", "aab", 0, 0, false, {}, 0}};
        QCOMPARE(stepLines(outcome, true),
                 "\033[32mok     \033[0m /d/a\033[1;33m\033[0mb\033[1m -> \033[0m/d/a\033[1;33ma"
                 "\033[0mb\n\033[31munread\033[0m  /d/s  (Permission denied)\n");
    }

    // A folder that cannot be read is kept in the outcome and fails the run,
    // even where no step did.
    void unreadableFolder()
    {
        QTemporaryDir scratch;
        QVERIFY(QDir(scratch.path()).mkpath(u"sub/inner"_qs));
        CliSettings settings;
        settings.from = u"x"_qs;
        settings.recursive = true;
        settings.folder = scratch.path();
        // The start folder is opened and listed; the subfolder's open fails.
        const faultplan::Failing plan(faultplan::Call::Open, 2, EACCES);
        const RunOutcome outcome = runCommand(settings).preview;
        QCOMPARE(outcome.steps.size(), 0);
        QCOMPARE(outcome.unreadable.size(), 1);
        QCOMPARE(outcome.unreadable[0].path, scratch.path() + u"/sub"_qs);
        QCOMPARE(outcome.unreadable[0].systemError, EACCES);
        QCOMPARE(exitStatusOf(outcome), 1);
    }

    // Colour only on a terminal, and not on a dumb one or with NO_COLOR.
    void colour()
    {
        int pty = -1, terminal = -1;
        QCOMPARE(::openpty(&pty, &terminal, nullptr, nullptr, nullptr), 0);
        const int saved = ::dup(STDOUT_FILENO);
        const auto wanted = [&](const char* term, bool noColour) {
            qputenv("TERM", term);
            noColour ? qputenv("NO_COLOR", "1") : qunsetenv("NO_COLOR");
            ::dup2(terminal, STDOUT_FILENO);
            const bool answer = colourWanted();
            ::dup2(saved, STDOUT_FILENO);
            return answer;
        };
        const QList<bool> answers{wanted("xterm", false), wanted("dumb", false),
                                  wanted("xterm", true), colourWanted()};
        for (const int fd : {pty, terminal, saved})
            ::close(fd);
        QCOMPARE(answers, (QList<bool>{true, false, false, false}));
    }

    // Under a Japanese locale: the help is Japanese, Qt's own texts too, its
    // descriptions start in one display column; without arguments the usage
    // goes to stderr with status 2; the JSON messages stay English.
    void japanese()
    {
        // The exit status, a blank, and what the run wrote.
        const auto run = [](const QStringList& arguments,
                            const QString& locale = u"ja_JP.UTF-8"_qs) {
            QProcess cli;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(u"LC_ALL"_qs, locale);
            cli.setProcessEnvironment(environment);
            cli.start(QStringLiteral(NEMIROU_CLI_PATH), arguments);
            cli.waitForFinished(60000);
            return QString::number(cli.exitCode()) + u' ' +
                   QString::fromUtf8(cli.readAllStandardOutput() + cli.readAllStandardError());
        };
        const QString help = run({u"--help"_qs});
        QVERIFY(help.startsWith(u"0 使い方: nemirou-cli (--head | --tail)"));
        QVERIFY(help.contains(u"\n        nemirou-cli --undo") && help.contains(u"オプション:"));
        QVERIFY(help.contains(u"\n  -r, --recursive  サブフォルダも対象にします。\n"));
        // English lines break between words only.
        QVERIFY(run({u"--help"_qs}, u"C.UTF-8"_qs).contains(u"would take are\nlisted."));
        QSet<qsizetype> columns;
        for (const QString& line : help.mid(help.indexOf(u"オプション:")).split(u'\n')) {
            const qsizetype gap = line.indexOf(u"  ", 2);
            if (line.startsWith(u"  ") && gap > 0)
                columns.insert(displayWidth(QStringView(line).left(gap)) +
                               (line.mid(gap).size() - line.mid(gap).trimmed().size()));
        }
        QCOMPARE(columns.size(), 1);
        QVERIFY(run({}).startsWith(u"2"_qs + help.mid(1, help.indexOf(u"\n\n") - 1)));
        const QString unknown = run({u"--frm"_qs});
        QVERIFY(unknown.startsWith(u"2 ") && unknown.contains(u"未知のオプション"));

        QTemporaryDir dir;
        QVERIFY(QFile(dir.filePath(u"a.jpeg"_qs)).open(QIODevice::WriteOnly));
        const QString json = run({"--tail", "--from", ".jpeg", "--to", "/", "--json", dir.path()});
        const QString message =
            QJsonDocument::fromJson(json.mid(2).toUtf8())["steps"][0]["message"].toString();
        QVERIFY(json.startsWith(u"1 ") && !message.isEmpty());
        QCOMPARE(message, QString::fromLatin1(message.toLatin1()));
    }
};

NEMIROU_CLI_TESTS(CliTextTest)

#include "tst_CliText.moc"
