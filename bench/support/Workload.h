#pragma once

// The benchmarks' workloads, made the same way for every benchmark so that
// their ratios speak of the same trees.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

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

// The baseline: the same walk as the job (list first, then rename, then
// descend), with nothing but the system calls and string paths.
inline long floorPass(const std::string& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return 0;
    std::vector<std::pair<std::string, unsigned char>> entries;
    while (const dirent* e = ::readdir(dir)) {
        if (e->d_name[0] == '.')
            continue;
        entries.emplace_back(e->d_name, e->d_type);
    }
    ::closedir(dir);
    long renamed = 0;
    std::vector<std::string> subFolders;
    static const std::string from = ".jpeg";
    for (const auto& [name, type] : entries) {
        const std::string path = folder + '/' + name;
        if (type == DT_DIR) {
            subFolders.push_back(path);
            continue;
        }
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0)
            continue;
        if (name.size() < from.size() ||
            name.compare(name.size() - from.size(), from.size(), from) != 0)
            continue;
        const std::string target =
            folder + '/' + name.substr(0, name.size() - from.size()) + ".jpg";
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
            ++renamed;
    }
    for (const std::string& sub : subFolders)
        renamed += floorPass(sub);
    return renamed;
}

}  // namespace bench
