#include "filesystem/Cls_FileSystem.h"

#include "runtime/PathSeparator.h"

#include <array>
#include <exception>

namespace {

// Characters no folder name may hold, even where the file system would accept
// them. These are name characters, not separators: the backslash is an
// ordinary character in a name here and is rejected like the others.
constexpr std::array<char16_t, 12> kForbiddenCharacters = {
    u'\\', u'/', u':', u',', u';', u'*', u'?', u'"', u'<', u'>', u'|', u'\'',
};

bool holdsForbiddenCharacter(const QString& name)
{
    for (const char16_t c : kForbiddenCharacters) {
        if (name.contains(QChar(c)))
            return true;
    }
    return false;
}

}  // namespace

bool Cls_FileSystem::ChkBln_IsDriveValid(const QString& Astr_Path)
{
    try {
        const scripting::Drive drive = FSO->GetDrive(FSO->GetDriveName(Astr_Path));
        return drive.IsReady();
    } catch (const std::exception&) {
        return false;
    }
}

bool Cls_FileSystem::ChkBln_IsFolderNameValid(const QString& Astr_Path)
{
    if (Astr_Path.size() < 3)
        return false;
    // A longer path loses one trailing separator; a three-character one keeps
    // it, as a drive root does.
    const QString working = (Astr_Path.size() > 3 && Astr_Path.endsWith(rt::kPathSeparator))
                                ? Astr_Path.chopped(1)
                                : Astr_Path;

    // Only the lengths are compared: a relative path, "." or ".." parts or
    // doubled separators all change the length of the absolute form.
    try {
        if (FSO->GetAbsolutePathName(working).size() != working.size())
            return false;
    } catch (const std::exception&) {
        return false;
    }
    if (PFncBln_CheckFileExists(working))
        return false;
    if (!ChkBln_IsDriveValid(working))
        return false;

    QString drivePart;
    try {
        drivePart = FSO->GetDriveName(working);
    } catch (const std::exception&) {
        // Without a drive part the whole path is checked.
    }
    // The names are taken from the path as passed in, a trailing separator
    // giving an empty last name.
    const QStringList names =
        Astr_Path.mid(drivePart.size()).split(rt::kPathSeparator, Qt::KeepEmptyParts);
    for (const QString& name : names) {
        if (holdsForbiddenCharacter(name))
            return false;
    }
    return true;
}
