#include "runtime/NameCodec.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <unistd.h>

int runPassesTests(int argc, char** argv);
int runProceduresTests(int argc, char** argv);

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
    const int failed = runPassesTests(argc, argv) + runProceduresTests(argc, argv);
    return failed == 0 ? 0 : 1;
}
