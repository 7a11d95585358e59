#pragma once

// The benchmarks' workloads, made the same way for every benchmark so that
// their ratios speak of the same trees.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace bench {

// The benchmark's name, for its failure lines.
inline const char* programName = "bench";

[[noreturn]] inline void fail(const char* what, const std::string& path)
{
    std::fprintf(stderr, "%s: %s %s: %s\n", programName, what, path.c_str(), std::strerror(errno));
    std::exit(2);
}

// `count` empty files IMG_<first..>.jpeg in a new folder.
inline void createFiles(const std::string& folder, int first, int count)
{
    if (::mkdir(folder.c_str(), 0755) != 0)
        fail("mkdir", folder);
    char name[32];
    for (int i = first; i < first + count; ++i) {
        std::snprintf(name, sizeof name, "/IMG_%06d.jpeg", i);
        const std::string path = folder + name;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0)
            fail("create", path);
        ::close(fd);
    }
}

// W1: all files in the root; W2: the root holds folders of 1,000 files each.
inline void createWorkload(const std::string& root, int files, bool spread)
{
    if (!spread) {
        createFiles(root, 0, files);
        return;
    }
    if (::mkdir(root.c_str(), 0755) != 0)
        fail("mkdir", root);
    char name[16];
    for (int f = 0; f < files / 1000; ++f) {
        std::snprintf(name, sizeof name, "/d%03d", f);
        createFiles(root + name, f * 1000, 1000);
    }
}

}  // namespace bench
