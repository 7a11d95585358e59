#include "engine/FolderWalk.h"

#include "runtime/NameCodec.h"

#include <algorithm>

// The run's folder may be spelled with a trailing or doubled separator or a
// "." in it, and a journal's paths are split again at their last separator,
// so paths are compared component by component, empty ones left out. Below
// the run's folder only plain names are accepted.
bool componentsWithin(const QString& root, const QString& folder, QStringList& components)
{
    components.clear();
    if (root.startsWith(u'/') != folder.startsWith(u'/'))
        return false;
    const QList<QStringView> top = QStringView(root).split(u'/', Qt::SkipEmptyParts);
    const QList<QStringView> parts = QStringView(folder).split(u'/', Qt::SkipEmptyParts);
    if (parts.size() < top.size() || !std::equal(top.begin(), top.end(), parts.begin()))
        return false;
    for (qsizetype i = top.size(); i < parts.size(); ++i) {
        if (parts[i] == u"." || parts[i] == u"..")
            return false;
        components.append(parts[i].toString());
    }
    return true;
}

FolderWalk::FolderWalk(Cls_RenameDisk& disk, const QString& root) : m_Disk(disk), m_Root(root)
{
    int ignored = 0;
    m_Top = m_Disk.openStart(root, ignored);
}

FolderWalk::~FolderWalk()
{
    for (const Cls_RenameDisk::Handle handle : std::as_const(m_Open))
        m_Disk.close(handle);
    m_Disk.close(m_Top);
}

Cls_RenameDisk::Handle FolderWalk::at(const QString& folder)
{
    if (m_Last != Cls_RenameDisk::kNoFolder && folder == m_LastPath)
        return m_Last;
    if (m_Top == Cls_RenameDisk::kNoFolder)
        return Cls_RenameDisk::kNoFolder;
    QStringList components;
    if (!componentsWithin(m_Root, folder, components))
        return Cls_RenameDisk::kNoFolder;
    Cls_RenameDisk::Handle handle = m_Top;
    QString walked;
    for (const QString& part : std::as_const(components)) {
        walked += u'/' + part;
        const auto known = m_Open.constFind(walked);
        if (known != m_Open.cend()) {
            handle = *known;
            continue;
        }
        int ignored = 0;
        handle = m_Disk.openSub(handle, rt::encodeName(part), ignored);
        if (handle == Cls_RenameDisk::kNoFolder)
            return handle;
        m_Open.insert(walked, handle);
    }
    m_LastPath = folder;
    m_Last = handle;
    return handle;
}

void FolderWalk::forget(const QString& path)
{
    QStringList components;
    if (!componentsWithin(m_Root, path, components) || components.isEmpty())
        return;
    const QString key = u'/' + components.join(u'/');
    // Folders are opened through their parents, so nothing below an unopened
    // one is open either.
    if (!m_Open.contains(key))
        return;
    for (auto it = m_Open.begin(); it != m_Open.end();) {
        if (it.key() == key || it.key().startsWith(key + u'/')) {
            m_Disk.close(*it);
            it = m_Open.erase(it);
        } else {
            ++it;
        }
    }
    m_Last = Cls_RenameDisk::kNoFolder;
}
