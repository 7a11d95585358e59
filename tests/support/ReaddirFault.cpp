#include "support/ReaddirFault.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <dlfcn.h>
#include <mutex>
#include <sys/stat.h>

namespace {

struct Fault {
    bool armed = false;
    dev_t device = 0;
    ino_t inode = 0;
    int remaining = 0;
    int errnoValue = 0;
};

std::mutex g_lock;
Fault g_fault;
std::atomic<bool> g_armed{false};

bool isDot(const char* name)
{
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// True when this listing is the armed one and has used up its entries.
template <typename Entry> bool fails(DIR* dir, const Entry* entry)
{
    if (!g_armed.load())
        return false;
    struct stat status {};
    if (::fstat(::dirfd(dir), &status) != 0)
        return false;
    const std::lock_guard<std::mutex> guard(g_lock);
    if (!g_fault.armed || status.st_dev != g_fault.device || status.st_ino != g_fault.inode)
        return false;
    if (entry != nullptr && isDot(entry->d_name))
        return false;
    if (g_fault.remaining > 0) {
        --g_fault.remaining;
        return false;
    }
    errno = g_fault.errnoValue;
    return true;
}

template <typename Entry> Entry* filtered(const char* symbol, DIR* dir)
{
    using Real = Entry* (*)(DIR*);
    static const auto real = reinterpret_cast<Real>(::dlsym(RTLD_NEXT, symbol));
    Entry* entry = real(dir);
    return fails(dir, entry) ? nullptr : entry;
}

}  // namespace

extern "C" {

struct dirent* readdir(DIR* dir)
{
    return filtered<struct dirent>("readdir", dir);
}

struct dirent64* readdir64(DIR* dir)
{
    return filtered<struct dirent64>("readdir64", dir);
}
}

namespace readdirfault {

void failAfter(const QByteArray& path, int entries, int errnoValue)
{
    struct stat status {};
    if (::stat(path.constData(), &status) != 0)
        return;
    const std::lock_guard<std::mutex> guard(g_lock);
    g_fault = Fault{true, status.st_dev, status.st_ino, entries, errnoValue};
    g_armed.store(true);
}

void disarm()
{
    const std::lock_guard<std::mutex> guard(g_lock);
    g_fault = Fault{};
    g_armed.store(false);
}

}  // namespace readdirfault
