// Tail-mode rename ".jpeg" -> ".jpg" with descent: the rename job as the
// window runs it (journaled: previewed against the model, the plan written
// and synced, then carried out) against a plain loop doing the least the job
// must do (readdir, one stat per entry, renameat2 with RENAME_NOREPLACE,
// full paths built as strings).
//
// Each run happens in a forked child on a workload created just before it in
// a folder that never existed before; the sides alternate baseline, engine,
// engine, baseline, twice. The child times its run; the parent reads the child's
// peak resident set (ru_maxrss from wait4) to measure the engine's memory.
//
// Usage: bench_rename [files [folder]]
//   files: default 100000; W2 uses files/1000 folders of 1,000.
//   folder: where the workloads go; default /dev/shm when present (creating
//   100,000 files on the build machine's ext4 takes minutes), else $TMPDIR
//   or /tmp.

#include "bench/support/Workload.h"
#include "engine/Cls_FileRename.h"
#include "journal/RenameJournal.h"
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

struct Tally {
    long jpg = 0;
    long other = 0;
};

void removeTree(const std::string& folder, Tally& tally)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        fail("opendir", folder);
    std::vector<std::pair<std::string, bool>> entries;
    while (const dirent* e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
            continue;
        entries.emplace_back(e->d_name, e->d_type == DT_DIR);
    }
    ::closedir(dir);
    for (const auto& [name, isDir] : entries) {
        const std::string path = folder + '/' + name;
        if (isDir) {
            removeTree(path, tally);
        } else {
            const bool jpg = name.size() > 4 && name.compare(name.size() - 4, 4, ".jpg") == 0;
            (jpg ? tally.jpg : tally.other) += 1;
            if (::unlink(path.c_str()) != 0)
                fail("unlink", path);
        }
    }
    if (::rmdir(folder.c_str()) != 0)
        fail("rmdir", folder);
}

// Returns the trail the window would keep, one line per rename. The
// window's runs are journaled.
QString enginePass(const std::string& root)
{
    JournalWriter journal(JournalWriter::Front::Window);
    Cls_FileRename job;
    job.setJournal(&journal);
    job.setProp_PathFrom(rt::decodeName(QByteArray::fromStdString(root)));
    job.setRenameKubunIsTop(false);
    job.setString_FileName(QStringLiteral(".jpeg"));
    job.setString_Rename(QStringLiteral(".jpg"));
    job.setIsNoAnderTheWorld(false);
    if (!job.PFncBln_FileRename())
        return QString();
    return job.getReport_FileList();
}

struct Result {
    double seconds = 0;
    long renamed = 0;
    long peakKiB = 0;
    long startKiB = 0;
    double userSeconds = 0;
    double systemSeconds = 0;
};

double seconds(const timeval& t)
{
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

long currentRssKiB()
{
    long pages = 0, resident = 0;
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (f) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

Result runInChild(bool engine, const std::string& root)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        fail("pipe", root);
    const pid_t pid = ::fork();
    if (pid < 0)
        fail("fork", root);
    if (pid == 0) {
        ::close(pipeFds[0]);
        Result r;
        r.startKiB = currentRssKiB();
        rusage before{};
        rusage after{};
        ::getrusage(RUSAGE_SELF, &before);
        const auto t0 = std::chrono::steady_clock::now();
        QString trail;
        if (engine)
            trail = enginePass(root);
        else
            r.renamed = bench::floorPass(root);
        r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        ::getrusage(RUSAGE_SELF, &after);
        r.userSeconds = seconds(after.ru_utime) - seconds(before.ru_utime);
        r.systemSeconds = seconds(after.ru_stime) - seconds(before.ru_stime);
        if (engine)
            r.renamed = trail.count(QStringLiteral("\r\n"));
        if (::write(pipeFds[1], &r, sizeof r) != sizeof r)
            ::_exit(3);
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    Result r;
    if (::read(pipeFds[0], &r, sizeof r) != sizeof r)
        fail("read from child", root);
    ::close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail("child", root);
    r.peakKiB = usage.ru_maxrss;
    return r;
}

}  // namespace

int main(int argc, char** argv)
{
    bench::programName = "bench_rename";
    rt::pinLocalTimeZone();  // as the application does at start-up
    QCoreApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
    if (files < 1000 || files % 1000 != 0) {
        std::fprintf(stderr, "usage: bench_rename [files, a multiple of 1000]\n");
        return 2;
    }
    std::string where;
    if (argc > 2) {
        where = argv[2];
    } else {
        struct stat info {};
        const char* tmp = std::getenv("TMPDIR");
        where = ::stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode) ? "/dev/shm"
                : tmp && *tmp                                           ? tmp
                                                                        : "/tmp";
    }
    std::string templ = where + "/bench_rename.XXXXXX";
    if (!::mkdtemp(templ.data()))
        fail("mkdtemp", templ);
    const std::string base = templ;
    // The journals go with the workloads, on the same disk.
    ::setenv("XDG_STATE_HOME", (base + "/state").c_str(), 1);
    std::printf("workload root %s; each run in a forked child on a fresh copy\n", base.c_str());
    std::printf("memory: peak resident set of the child (ru_maxrss via wait4), minus its\n"
                "resident set when it started\n");
    // With TZ unset, every local-time conversion of a file time makes the C
    // library stat /etc/localtime again: one more system call per entry.
    const char* zone = std::getenv("TZ");
    std::printf("TZ %s\n\n", zone ? zone : "unset (one stat of /etc/localtime per file time)");

    bool ok = true;
    int serial = 0;
    for (const bool spread : {false, true}) {
        const char* label = spread ? "W2" : "W1";
        double sums[2] = {0, 0};
        long enginePeak = 0;
        long engineStart = 0;
        // Twice baseline, engine, engine, baseline: on a shared machine one
        // slow run would otherwise tip the ratio.
        for (const bool engine : {false, true, true, false, false, true, true, false}) {
            const std::string root = base + "/run" + std::to_string(serial++);
            createWorkload(root, files, spread);
            const Result r = runInChild(engine, root);
            Tally tally;
            removeTree(root, tally);
            const bool right = r.renamed == files && tally.jpg == files && tally.other == 0;
            ok = ok && right;
            sums[engine] += r.seconds;
            if (engine && r.peakKiB > enginePeak) {
                enginePeak = r.peakKiB;
                engineStart = r.startKiB;
            }
            std::printf("%s %-8s %7.3f s (user %.3f, system %.3f)  renamed %ld%s  peak %ld KiB\n",
                        label, engine ? "engine" : "baseline", r.seconds, r.userSeconds,
                        r.systemSeconds, r.renamed, right ? "" : "  WRONG RESULT", r.peakKiB);
            std::fflush(stdout);
        }
        std::printf("%s (%d files%s): baseline %.3f s, engine %.3f s, ratio %.2f; engine peak "
                    "%.1f MiB (%.1f MiB above its start)\n\n",
                    label, files, spread ? " in folders of 1000" : " in one folder", sums[0],
                    sums[1], sums[1] / sums[0], enginePeak / 1024.0,
                    (enginePeak - engineStart) / 1024.0);
    }
    std::system(("rm -rf '" + base + "'").c_str());
    return ok ? 0 : 1;
}
