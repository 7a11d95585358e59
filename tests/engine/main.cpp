#include <QCoreApplication>

int runPassesTests(int argc, char** argv);
int runFiltersTests(int argc, char** argv);
int runReportAndCopyTests(int argc, char** argv);

// One executable for the engine; each test class reports on its own.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int failed = 0;
    failed += runPassesTests(argc, argv);
    failed += runFiltersTests(argc, argv);
    failed += runReportAndCopyTests(argc, argv);
    return failed == 0 ? 0 : 1;
}
