#pragma once

#include <QString>

// One command line, parsed: a rename run or an undo.
struct CliSettings {
    bool undo = false;
    bool journals = false;  // list the journals
    bool head = true;
    QString from;
    QString to;
    bool whole = false;
    bool narrow = false;
    bool folders = false;
    bool recursive = false;
    bool apply = false;
    bool json = false;
    QString folder;   // the folder of a run, made absolute, otherwise as typed
    QString journal;  // the journal an undo names; empty for the newest
};

// Parses the arguments (argv[0] first). On a usage error returns false with
// one line for the user in error; help and version are printed here and
// answered with exitCode 0.
bool parseCommandLine(const QStringList& arguments, CliSettings& settings, QString& error,
                      int& exitCode);
