#include "FuzzTarget.h"

#include "engine/Cls_FileRename.h"
#include "runtime/NameCodec.h"

#include <QByteArrayList>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace {

// The names in a folder, as bytes.
QByteArrayList entriesOf(const std::string& folder)
{
    QByteArrayList names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.append(QByteArray::fromStdString(entry.path().filename().native()));
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
    std::filesystem::remove_all(box);  // the last input's, inside our own mkdtemp folder
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
