#include "runtime/NameCodec.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <unistd.h>

int runPassesTests(int argc, char** argv);
int runFiltersTests(int argc, char** argv);
int runReportAndCopyTests(int argc, char** argv);

// One executable for the engine; each test class reports on its own.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // Some tests give a job an empty start folder, whose paths would resolve
    // against the current folder: run everything inside a scratch folder so
    // that a regression there can never touch the folder the suite ran from.
    QTemporaryDir scratch;
    if (!scratch.isValid() || ::chdir(rt::encodeName(scratch.path()).constData()) != 0)
        return 2;
    int failed = 0;
    failed += runPassesTests(argc, argv);
    failed += runFiltersTests(argc, argv);
    failed += runReportAndCopyTests(argc, argv);
    return failed == 0 ? 0 : 1;
}
