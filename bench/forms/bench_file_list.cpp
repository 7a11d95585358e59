// Times FileListBox::setPath (listing, sort, model fill and one pass of the
// event loop so the view lays out) against the runtime's raw listing of the
// same folder (rt::Dir until ""). Each side gets a folder created fresh for
// it, and the sides alternate which goes first.

#include "forms/ListBoxes.h"
#include "runtime/Dir.h"
#include "runtime/NameCodec.h"
#include "runtime/PathSeparator.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kFiles = 100000;
constexpr int kRounds = 3;

// Next to the executable rather than in the shared temporary folder, which
// other jobs on the machine clean up.
QString workloadTemplate()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/workload-XXXXXX");
}

bool fillFolder(const QString& folder)
{
    const QByteArray base = rt::encodeName(folder) + static_cast<char>(rt::kPathSeparator);
    for (int i = 0; i < kFiles; ++i) {
        const QByteArray name = base + "file_" + QByteArray::number((i * 7919) % kFiles) + ".txt";
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0 || ::close(fd) != 0) {
            std::perror(name.constData());
            return false;
        }
    }
    return true;
}

// Milliseconds of one side on a fresh folder; -1 on failure.
double timeRaw()
{
    QTemporaryDir dir(workloadTemplate());
    if (!dir.isValid() || !fillFolder(dir.path())) {
        std::fprintf(stderr, "could not create the workload\n");
        return -1;
    }
    QElapsedTimer timer;
    timer.start();
    int count = 0;
    for (QString name = rt::Dir(dir.path() + rt::kPathSeparator + QStringLiteral("*"));
         !name.isEmpty(); name = rt::Dir())
        ++count;
    const double ms = timer.nsecsElapsed() / 1e6;
    if (count != kFiles)
        std::fprintf(stderr, "rt::Dir listed %d names\n", count);
    return count == kFiles ? ms : -1;
}

double timeFileList()
{
    QTemporaryDir dir(workloadTemplate());
    if (!dir.isValid() || !fillFolder(dir.path())) {
        std::fprintf(stderr, "could not create the workload\n");
        return -1;
    }
    forms::FileListBox box;
    box.resize(300, 400);
    box.show();
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    box.setPath(dir.path());
    QCoreApplication::processEvents();
    const double ms = timer.nsecsElapsed() / 1e6;
    if (box.ListCount() != kFiles)
        std::fprintf(stderr, "FileListBox listed %d names\n", box.ListCount());
    return box.ListCount() == kFiles ? ms : -1;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    std::vector<double> raw, list;
    for (int round = 0; round < kRounds; ++round) {
        const bool rawFirst = round % 2 == 0;
        double a = rawFirst ? timeRaw() : timeFileList();
        double b = rawFirst ? timeFileList() : timeRaw();
        const double rawMs = rawFirst ? a : b;
        const double listMs = rawFirst ? b : a;
        if (rawMs < 0 || listMs < 0) {
            std::fprintf(stderr, "round %d failed\n", round + 1);
            return 1;
        }
        raw.push_back(rawMs);
        list.push_back(listMs);
        std::printf("round %d: rt::Dir %.1f ms, FileListBox::setPath %.1f ms\n", round + 1, rawMs,
                    listMs);
        std::fflush(stdout);
    }
    const double rawMedian = median(raw);
    const double listMedian = median(list);
    std::printf("median of %d rounds, %d files: rt::Dir %.1f ms, FileListBox::setPath %.1f ms, "
                "ratio %.2f (target <= 3)\n",
                kRounds, kFiles, rawMedian, listMedian, listMedian / rawMedian);
    return 0;
}
