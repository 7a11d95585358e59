#pragma once

#include <QByteArray>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <vector>

// Volumes mounted for one test, detached (latest first) when it goes out of
// scope, also when a check fails. Mounting needs the right to mount; each
// call returns why it could not, for a skip, or an empty text.
class ScopedMount {
public:
    ScopedMount() = default;
    ~ScopedMount()
    {
        for (auto it = m_paths.rbegin(); it != m_paths.rend(); ++it)
            ::umount2(it->constData(), MNT_DETACH);
    }
    ScopedMount(const ScopedMount&) = delete;
    ScopedMount& operator=(const ScopedMount&) = delete;

    // A fresh tmpfs at the existing folder path.
    QByteArray tmpfs(const QByteArray& path)
    {
        return done(path, ::mount("nemirou-test", path.constData(), "tmpfs", 0, "size=4m"));
    }
    // The folder from, seen again at the existing folder path: the same
    // device, another mount.
    QByteArray bind(const QByteArray& from, const QByteArray& path)
    {
        return done(path, ::mount(from.constData(), path.constData(), nullptr, MS_BIND, nullptr));
    }

private:
    QByteArray done(const QByteArray& path, int result)
    {
        if (result == 0)
            m_paths.push_back(path);
        return result == 0 ? QByteArray()
                           : QByteArray("cannot mount here: ") + std::strerror(errno);
    }

    std::vector<QByteArray> m_paths;
};
