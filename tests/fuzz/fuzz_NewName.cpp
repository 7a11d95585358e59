#include "FuzzTarget.h"

#include "engine/Cls_FileRename.h"
#include "runtime/NameCodec.h"

#include <QByteArrayList>

#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace {

// The names in a folder, without "." and "..".
QByteArrayList entriesOf(const std::string& folder)
{
    QByteArrayList names;
    DIR* dir = ::opendir(folder.c_str());
    FUZZ_CHECK(dir != nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.append(name);
    }
    ::closedir(dir);
    return names;
}

const std::string& scratch()
{
    static const std::string root = [] {
        std::string pattern = "/tmp/nemirou-fuzz-newname-XXXXXX";
        FUZZ_CHECK(::mkdtemp(pattern.data()) != nullptr);
        return pattern;
    }();
    return root;
}

void removeTree(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return;
    if (S_ISDIR(st.st_mode)) {
        for (const QByteArray& name : entriesOf(path))
            removeTree(path + '/' + name.toStdString());
        ::rmdir(path.c_str());
    } else {
        ::unlink(path.c_str());
    }
}

bool isBare(const QByteArray& name)
{
    return !name.isEmpty() && name != "." && name != ".." && !name.contains('/') &&
           !name.contains('\0');
}

}  // namespace

// One entry named by the input, renamed by the new-name computation with the
// settings the input picks: whatever the part to change, the replacement and
// the half-width step yield, the entry stays inside its folder, exactly once,
// with its content, and nothing else appears.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t flags = data[0];
    const QByteArrayList parts =
        QByteArray(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1))
            .split('\n');
    const QByteArray rawName = parts.value(0);
    if (!isBare(rawName) || rawName.size() > 200)
        return 0;
    const bool isFolder = flags & 1;

    const std::string box = scratch() + "/box";
    removeTree(box);
    FUZZ_CHECK(::mkdir(box.c_str(), 0700) == 0);
    const std::string entry = box + '/' + rawName.toStdString();
    if (isFolder) {
        FUZZ_CHECK(::mkdir(entry.c_str(), 0700) == 0);
    } else {
        const int fd = ::open(entry.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        FUZZ_CHECK(fd >= 0);
        FUZZ_CHECK(::write(fd, "payload", 7) == 7);
        ::close(fd);
    }

    Cls_FileRename job;
    job.setString_FileName(rt::decodeName(parts.value(1)));
    job.setString_Rename(rt::decodeName(parts.value(2)));
    job.setRenameKubunIsTop(flags & 2);
    job.setIsNarrow(flags & 4);
    job.setIs全置換(flags & 8);
    job.setProp_PathFrom(rt::decodeName(QByteArray::fromStdString(box)));
    job.MsgDisplayFlg_Prop(false);
    // The pass over the one-entry folder: its new-name computation and the
    // bare-name check decide what happens to the entry.
    if (isFolder)
        job.PFncBln_DirectoryRename();
    else
        job.PFncBln_FileRename();

    FUZZ_CHECK(entriesOf(scratch()) == QByteArrayList{"box"});
    const QByteArrayList inBox = entriesOf(box);
    FUZZ_CHECK(inBox.size() == 1);
    const std::string now = box + '/' + inBox.front().toStdString();
    struct stat st {};
    FUZZ_CHECK(::lstat(now.c_str(), &st) == 0);
    if (isFolder) {
        FUZZ_CHECK(S_ISDIR(st.st_mode) && entriesOf(now).isEmpty());
    } else {
        FUZZ_CHECK(S_ISREG(st.st_mode) && st.st_size == 7);
    }
    return 0;
}
