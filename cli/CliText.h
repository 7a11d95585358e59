#pragma once

#include <QCoreApplication>

// The translation context of the command line's messages (lupdate reads
// CliText::tr calls).
class CliText {
    Q_DECLARE_TR_FUNCTIONS(CliText)
};
