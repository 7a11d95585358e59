#include <QCoreApplication>

int runCliTextTests(int argc, char** argv);
int runDifferentialTests(int argc, char** argv);
int runCrashTests(int argc, char** argv);
int runVolumesTests(int argc, char** argv);

// One executable for the command line; each test class reports on its own.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int failed = runCliTextTests(argc, argv) + runDifferentialTests(argc, argv) +
                       runCrashTests(argc, argv) + runVolumesTests(argc, argv);
    return failed == 0 ? 0 : 1;
}
