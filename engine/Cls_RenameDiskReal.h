#pragma once

#include "engine/Cls_RenameDisk.h"

// The disk itself, through folder descriptors: a handle is the descriptor.
class Cls_RenameDiskReal final : public Cls_RenameDisk {
public:
    Handle openStart(const QString& path, int& error) override;
    Handle openSub(Handle parent, const QByteArray& name, int& error) override;
    void close(Handle folder) override;
    int list(Handle folder, QStringList* files, QStringList* folders) override;
    bool modified(Handle folder, const QByteArray& name, std::int64_t& seconds) override;
    bool identity(Handle folder, const QByteArray& name, std::uint64_t& number) override;
    bool exists(Handle folder, const QByteArray& name) override;
    int rename(Handle folder, const QByteArray& from, const QByteArray& to, bool isFolder) override;
};
