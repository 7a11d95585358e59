#include <QCoreApplication>

int runCliTextTest(int argc, char** argv);
int runDifferentialTest(int argc, char** argv);
int runCrashTest(int argc, char** argv);
int runVolumesTest(int argc, char** argv);

// One executable for the command line; each test class reports on its own.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return qMin(1, runCliTextTest(argc, argv) + runDifferentialTest(argc, argv) +
                       runCrashTest(argc, argv) + runVolumesTest(argc, argv));
}
