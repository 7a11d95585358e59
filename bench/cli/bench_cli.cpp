// The command line's preview and --apply against plain loops, tail ".jpeg"
// to ".jpg" with descent:
//   preview W1 against a readdir + fstatat loop over the same folder;
//   --apply (preview, journal, carrying out the steps) on W1 and W2 against
//   the floor loop of bench_rename (full paths, stat, renameat2).
// Each run happens in a forked child on a workload created just before it;
// the sides alternate baseline, command, command, baseline. The parent
// reads the child's peak resident set (ru_maxrss from wait4).
//
// Usage: bench_cli [files [folder]]  (defaults: 100000, /dev/shm or $TMPDIR)

#include "bench/support/Workload.h"
#include "cli/CliApply.h"
#include "runtime/FileDateTime.h"
#include "runtime/NameCodec.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using bench::createWorkload;
using bench::fail;

// Removes the tree; returns the number of files named *.jpg in it.
long removeTree(const std::string& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        fail("opendir", folder);
    std::vector<std::pair<std::string, bool>> entries;
    while (const dirent* e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            entries.emplace_back(e->d_name, e->d_type == DT_DIR);
    }
    ::closedir(dir);
    long jpg = 0;
    for (const auto& [name, isDir] : entries) {
        const std::string path = folder + '/' + name;
        if (isDir) {
            jpg += removeTree(path);
            continue;
        }
        jpg += name.size() > 4 && name.compare(name.size() - 4, 4, ".jpg") == 0;
        if (::unlink(path.c_str()) != 0)
            fail("unlink", path);
    }
    if (::rmdir(folder.c_str()) != 0)
        fail("rmdir", folder);
    return jpg;
}

// What a preview cannot do without: read the folder and look at each entry.
long listingLoop(const std::string& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return 0;
    long seen = 0;
    struct stat info {};
    while (const dirent* e = ::readdir(dir)) {
        if (e->d_name[0] != '.' && ::fstatat(::dirfd(dir), e->d_name, &info, 0) == 0)
            ++seen;
    }
    ::closedir(dir);
    return seen;
}

long command(const std::string& root, bool apply)
{
    CliSettings settings;
    settings.head = false;
    settings.from = QStringLiteral(".jpeg");
    settings.to = QStringLiteral(".jpg");
    settings.recursive = true;
    settings.apply = apply;
    settings.folder = rt::decodeName(QByteArray::fromStdString(root));
    const CommandResult result = runCommand(settings);
    return apply ? result.applied.renamed : result.preview.renamed;
}

struct Result {
    double seconds = 0;
    long count = 0;
    long peakKiB = 0;
};

template <typename Work> Result runInChild(Work work)
{
    int fds[2];
    if (::pipe(fds) != 0)
        fail("pipe", "");
    const pid_t pid = ::fork();
    if (pid < 0)
        fail("fork", "");
    if (pid == 0) {
        ::close(fds[0]);
        Result r;
        const auto t0 = std::chrono::steady_clock::now();
        r.count = work();
        r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (::write(fds[1], &r, sizeof r) != sizeof r)
            ::_exit(3);
        ::_exit(0);
    }
    ::close(fds[1]);
    Result r;
    if (::read(fds[0], &r, sizeof r) != sizeof r)
        fail("read from child", "");
    ::close(fds[0]);
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail("child", "");
    r.peakKiB = usage.ru_maxrss;
    return r;
}

}  // namespace

int main(int argc, char** argv)
{
    bench::programName = "bench_cli";
    rt::pinLocalTimeZone();
    QCoreApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
    if (files < 1000 || files % 1000 != 0) {
        std::fprintf(stderr, "usage: bench_cli [files, a multiple of 1000 [folder]]\n");
        return 2;
    }
    std::string where = argc > 2 ? argv[2] : "";
    if (where.empty()) {
        struct stat info {};
        const char* tmp = std::getenv("TMPDIR");
        where = ::stat("/dev/shm", &info) == 0 ? "/dev/shm" : tmp && *tmp ? tmp : "/tmp";
    }
    std::string base = where + "/bench_cli.XXXXXX";
    if (!::mkdtemp(base.data()))
        fail("mkdtemp", base);
    // The journals go with the workloads.
    ::setenv("XDG_STATE_HOME", (base + "/state").c_str(), 1);
    std::printf("workload root %s; each run in a forked child on a fresh workload\n\n",
                base.c_str());

    struct Kind {
        const char* label;
        bool spread;
        bool apply;
    };
    bool ok = true;
    int serial = 0;
    for (const Kind kind : {Kind{"preview W1", false, false}, Kind{"apply W1", false, true},
                            Kind{"apply W2", true, true}}) {
        double sums[2] = {0, 0};
        long peak = 0;
        for (const bool cli : {false, true, true, false}) {
            const std::string root = base + "/run" + std::to_string(serial++);
            createWorkload(root, files, kind.spread);
            const Result r = runInChild([&] {
                if (cli)
                    return command(root, kind.apply);
                return kind.apply ? bench::floorPass(root) : listingLoop(root);
            });
            const long renamed = removeTree(root);
            const bool right = r.count == files && renamed == (kind.apply ? files : 0);
            ok = ok && right;
            sums[cli] += r.seconds;
            if (cli)
                peak = std::max(peak, r.peakKiB);
            std::printf("%-10s %-8s %7.3f s  count %ld%s  peak %ld KiB\n", kind.label,
                        cli ? "command" : "baseline", r.seconds, r.count,
                        right ? "" : "  WRONG RESULT", r.peakKiB);
            std::fflush(stdout);
        }
        std::printf("%s (%d files): baseline %.3f s, command %.3f s, ratio %.2f; command peak "
                    "%.1f MiB\n\n",
                    kind.label, files, sums[0], sums[1], sums[1] / sums[0], peak / 1024.0);
    }
    std::system(("rm -rf '" + base + "'").c_str());
    return ok ? 0 : 1;
}
