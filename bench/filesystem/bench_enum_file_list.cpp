// Lists a folder of 100,000 empty files with PFncCol_EnumFileList and with a
// plain opendir/readdir loop, alternating the two, and prints the medians and
// their ratio. The folder is only read, so both sides share it.
#include "filesystem/Cls_FileSystem.h"
#include "runtime/NameCodec.h"
#include "runtime/PathSeparator.h"

#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kFiles = 100000;
constexpr int kRounds = 5;

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool createFiles(const QByteArray& folder)
{
    const int folderFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY);
    if (folderFd < 0)
        return false;
    bool ok = true;
    for (int i = 0; i < kFiles && ok; ++i) {
        const std::string name = "file_" + std::to_string(i) + ".txt";
        const int fd = ::openat(folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        ok = fd >= 0;
        if (ok)
            ::close(fd);
    }
    ::close(folderFd);
    return ok;
}

std::size_t listWithService(const QString& folder)
{
    Cls_FileSystem fs;
    return static_cast<std::size_t>(
        fs.PFncCol_EnumFileList(folder + rt::kPathSeparator + QStringLiteral("*")).size());
}

std::size_t listWithReaddir(const QByteArray& folder)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.' || entry->d_type != DT_REG)
            continue;
        names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    return names.size();
}

}  // namespace

int main()
{
    QTemporaryDir temp;
    if (!temp.isValid())
        return 1;
    const QString folder = temp.path();
    const QByteArray osFolder = rt::encodeName(folder);
    if (!createFiles(osFolder)) {
        std::fprintf(stderr, "could not create the files\n");
        return 1;
    }

    // Warm the directory cache and both code paths once.
    const std::size_t serviceCount = listWithService(folder);
    const std::size_t readdirCount = listWithReaddir(osFolder);
    if (serviceCount != kFiles || readdirCount != kFiles) {
        std::fprintf(stderr, "listed %zu and %zu names, expected %d\n", serviceCount, readdirCount,
                     kFiles);
        return 1;
    }

    std::vector<double> service, baseline;
    const auto timeService = [&] {
        const auto start = Clock::now();
        listWithService(folder);
        service.push_back(millisecondsSince(start));
    };
    const auto timeBaseline = [&] {
        const auto start = Clock::now();
        listWithReaddir(osFolder);
        baseline.push_back(millisecondsSince(start));
    };
    // Which side goes first alternates from round to round.
    for (int round = 0; round < kRounds; ++round) {
        if (round % 2 == 0) {
            timeService();
            timeBaseline();
        } else {
            timeBaseline();
            timeService();
        }
    }
    const double serviceMedian = median(service);
    const double baselineMedian = median(baseline);
    std::printf("files: %d, rounds: %d each\n", kFiles, kRounds);
    std::printf("PFncCol_EnumFileList median: %.2f ms\n", serviceMedian);
    std::printf("opendir/readdir median:      %.2f ms\n", baselineMedian);
    std::printf("ratio: %.2f (target <= 1.5)\n", serviceMedian / baselineMedian);
    return 0;
}
