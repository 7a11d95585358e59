#include "forms/App.h"

#include "forms/InstanceLock.h"
#include "forms/InstanceRaise.h"
#include "runtime/NameCodec.h"

#include <QDir>

#include <cstdlib>
#include <memory>
#include <optional>
#include <unistd.h>

namespace forms::App {
namespace {

// The lock is taken once and held until the process ends.
std::unique_ptr<InstanceLock> g_lock;

}  // namespace

bool PrevInstance()
{
    static std::optional<bool> answer;
    if (!answer) {
        g_lock = std::make_unique<InstanceLock>(instanceLockFileName());
        answer = g_lock->heldByAnother();
    }
    return *answer;
}

void RaisePrevInstance()
{
    if (g_lock)
        askToRaise(g_lock->socketName());
}

void ListenForLaterStarts()
{
    if (g_lock)
        listenForRaise(g_lock->socketName());
}

QString Path()
{
    // The directory's own bytes, so that a folder whose name is not UTF-8
    // survives. A working directory removed since the start has no path:
    // the home folder then, where a menu would have started the program.
    std::unique_ptr<char, decltype(&std::free)> current(::getcwd(nullptr, 0), &std::free);
    if (!current || current.get()[0] != '/')
        return QDir::homePath();
    return rt::decodeName(QByteArray(current.get()));
}

int Major()
{
    return PROJECT_VERSION_MAJOR;
}
int Minor()
{
    return PROJECT_VERSION_MINOR;
}
int Revision()
{
    return PROJECT_VERSION_PATCH;
}

QString Title()
{
    return QStringLiteral("Nemirou");
}

}  // namespace forms::App
