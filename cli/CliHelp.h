#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>

// The help of nemirou-cli, written here rather than by QCommandLineParser:
// the parser pads its columns by code units, so Japanese descriptions (two
// columns a character) would not line up, and its headings would need Qt's
// own translations. Every text goes through the command line's catalogue.

// A positional argument of the help: its name and what it is.
struct HelpArgument {
    QString name;
    QString description;
};

// The usage: every form (the run, --undo, --journals) under the program's
// bare name.
QString usageText();

// Usage, description, options and arguments; the descriptions start in one
// column, counted in display width, and wrap before 80 columns.
QString helpText(const QString& description, const QList<QCommandLineOption>& options,
                 const QList<HelpArgument>& arguments);
