#pragma once

#include "cli/CliRun.h"
#include "journal/RenameJournal.h"

#include <QByteArray>
#include <QString>

// A JSON string literal, quotes included, as UTF-8. A lone surrogate (how
// the name codec keeps a byte that is not UTF-8) is written as its \udcXX
// escape, so os.fsencode(json.loads(...)) in Python gives the bytes back.
QByteArray jsonString(const QString& text);

// The whole --json answer.
QByteArray outcomeJson(const RunOutcome& outcome, bool applied, const QString& journal);

// The --journals --json answer.
QByteArray journalsJson(const QList<JournalSummary>& journals);

// The step lines: status, old path, new path, aligned; with colour the part
// of each name that changes is highlighted.
QByteArray stepLines(const RunOutcome& outcome, bool colour);

// The terminal width of a text: East Asian wide forms count two columns.
qsizetype displayWidth(QStringView text);

// True when stdout is a terminal, NO_COLOR is unset and TERM is not "dumb".
bool colourWanted();
